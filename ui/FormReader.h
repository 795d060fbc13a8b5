// Reading a window description (ui/Description.h) into a form: controls are
// created by class name from the class table the caller hands in, published properties are set by
// name, pictures come from a picture source in their stream form, handlers
// are bound by name to the form's registered handlers, references to other
// components (FocusControl, PopupMenu) are resolved by name once every object
// exists. A popup menu holds its menu items as nested objects. The loading
// state is set on every control while reading and Loaded runs on each
// afterwards. An unknown class, property, value, handler or referenced name
// is an error, never skipped; a missing picture leaves its picture empty (see
// TReadOptions).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Description.h"

namespace promo {

class TComponent;
class TControl;
class TForm;

// Gives the stream form of a picture file named in a description.
using TPictureSource = std::function<bool(const std::wstring& file, std::vector<std::uint8_t>& stream)>;

// The resource name under which the build stores a picture file: the file
// name upper-cased, every character other than A-Z and 0-9 becoming '_'.
std::wstring PictureResourceName(const std::wstring& file);
// Pictures from the module's RCDATA resources (as the build stores them).
TPictureSource ResourcePictures(HMODULE module);
// Pictures from PNG files in a folder, put into stream form (tests).
TPictureSource FolderPictures(const std::wstring& folder);
// The text of an RCDATA resource.
bool LoadDescriptionResource(HMODULE module, const wchar_t* name, std::string& text);

struct TReadContext {
    TForm& Form;
    const TPictureSource& Pictures;
    std::wstring Error;
    bool StrictPictures = false;
    // "line N: object.Property" of the property being set.
    std::wstring Where;
    // Run once every object exists (references by name); false sets Error.
    std::vector<std::function<bool(TReadContext&)>> Fixups;
};

// One published property: how to set it from a description value, how to
// read it back, and its declared default (what a new object has). The
// routines are shared by every property of one value kind; what tells the
// properties apart is small data: the accessors of the object's value (plain
// functions, in the kind's own signature), a name table and an index.
struct TPropertyInfo {
    using SetProc = bool (*)(const TPropertyInfo& p, TComponent& c, const TDescValue& v, TReadContext& ctx);
    using GetProc = TDescValue (*)(const TPropertyInfo& p, TComponent& c);
    using Accessor = void (*)();  // cast back to its own signature by the kind's routines

    std::wstring Name;
    TDescValue Default;
    SetProc Setter = nullptr;
    GetProc Getter = nullptr;
    Accessor Read = nullptr;
    Accessor Write = nullptr;
    const void* Table = nullptr;
    int Index = 0;

    bool Set(TComponent& c, const TDescValue& v, TReadContext& ctx) const { return Setter(*this, c, v, ctx); }
    TDescValue Get(TComponent& c) const { return Getter(*this, c); }
};

struct TClassInfo {
    std::wstring Name;
    std::unique_ptr<TComponent> (*Create)() = nullptr;  // empty for form classes
    std::vector<TPropertyInfo> Properties;
    const TPropertyInfo* Find(const std::wstring& name) const;
};

// Every class a description may name, with its properties and defaults,
// handed to the reader by whoever builds the form (the program's table is
// controls/ControlClasses.h). The class of a form is looked up as "TForm".
using TClassTable = std::vector<TClassInfo>;
const TClassInfo* FindClass(const TClassTable& classes, const std::wstring& name);

struct TReadOptions {
    bool RunLoaded = true;  // false keeps every object in the loading state
    // A picture that is missing or not a PNG stream: an error when strict;
    // otherwise the picture stays empty (a debug line says so) and reading
    // goes on. The build step already refuses such pictures.
    bool StrictPictures = false;
};

bool ReadForm(TForm& form, const TClassTable& classes, std::string_view description,
              const TPictureSource& pictures, std::wstring& error, const TReadOptions& options = {});

// Two values compare equal (kind and content).
bool SameValue(const TDescValue& a, const TDescValue& b);
std::wstring ValueText(const TDescValue& v);

}  // namespace promo
