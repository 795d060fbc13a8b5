// Binding published properties to objects, the means a class table
// (ui/FormReader.h: TClassInfo) is written with. A class's properties are
// registered by a Builder from captureless accessor lambdas; every value kind
// (integer, colour, boolean, string, enumeration, set, picture, font, handler)
// has one pair of routines for all its properties, which set a property from
// a description value and read it back. What tells the properties of a kind
// apart is small data in TPropertyInfo: the accessors of the object's value
// (plain functions in the kind's own signature), a name table and an index.
// A kind of its own (a control's compound value) is written with the same
// parts: AddProperty, Erase/As and the value conversions below.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/Form.h"
#include "ui/FormReader.h"

namespace promo::binding {

using Kind = TDescValue::Kind;
using P = TPropertyInfo;

// Description values.
TDescValue IntV(std::int64_t v);
TDescValue TextV(Kind k, std::wstring t);
TDescValue StrV(std::wstring t);
TDescValue IdentV(std::wstring t);
TDescValue BoolV(bool b);
// What a picture property reads back as: its size ("" when empty).
TDescValue PictureV(const TPicture& p);

// Loads a picture named by a description value from the context's picture
// source. A missing or broken picture is an error when the context is strict;
// otherwise it leaves the picture empty, says so on the debug output, and
// reading goes on.
bool LoadPicture(TPicture& target, const TDescValue& v, TReadContext& ctx);

// A name table of an enumeration or a set: pairs of name and value, ended
// by a null name.
struct TNameValue {
    const wchar_t* Name;
    int Value;
};
template <typename E>
constexpr TNameValue NV(const wchar_t* name, E value) {
    return {name, static_cast<int>(value)};
}

// The accessors of the value kinds, kept in TPropertyInfo::Read/Write.
using IntRead = int (*)(TComponent&);
using IntWrite = void (*)(TComponent&, int);
using ColorRead = TColor (*)(TComponent&);
using ColorWrite = void (*)(TComponent&, TColor);
using BoolRead = bool (*)(TComponent&);
using BoolWrite = void (*)(TComponent&, bool);
using StrRead = std::wstring (*)(TComponent&);
using StrWrite = void (*)(TComponent&, const std::wstring&);
using SetRead = unsigned (*)(TComponent&);
using SetWrite = void (*)(TComponent&, unsigned);
using PictureAccess = TPicture& (*)(TComponent&, int index);
using FontAccess = TFont& (*)(TComponent&);

template <typename F>
P::Accessor Erase(F f) {
    return reinterpret_cast<P::Accessor>(f);
}
template <typename F>
F As(P::Accessor a) {
    return reinterpret_cast<F>(a);
}

// Description values to plain values and back; false for a value of
// another kind or out of range.
bool IntOf(const TDescValue& v, int& out);
bool ColorOf(const TDescValue& v, TColor& out);
bool EnumOf(const TDescValue& v, const TNameValue* names, int& out);
TDescValue EnumV(const TNameValue* names, int value);
bool SetOf(const TDescValue& v, const TNameValue* names, unsigned& out);
TDescValue SetV(const TNameValue* names, unsigned s);

// Handlers by name, from those the form registered, of exactly the event's type.
const TNotifyEvent* FindHandler(TForm& f, const std::wstring& n, const TNotifyEvent*);
const TMouseEvent* FindHandler(TForm& f, const std::wstring& n, const TMouseEvent*);
const TMouseMoveEvent* FindHandler(TForm& f, const std::wstring& n, const TMouseMoveEvent*);
const TContextPopupEvent* FindHandler(TForm& f, const std::wstring& n, const TContextPopupEvent*);
// The controls' own event types, registered by the form by type.
template <typename Ev>
const Ev* FindHandler(TForm& f, const std::wstring& n, const Ev*) {
    return f.FindEventHandler<Ev>(n);
}
bool UnknownHandler(const TDescValue& v, TReadContext& ctx);
template <typename Ev>
bool SetEvent(const P& p, TComponent& c, const TDescValue& v, TReadContext& ctx) {
    if (v.Type != Kind::Ident) return false;
    const Ev* handler = FindHandler(ctx.Form, v.Text, static_cast<const Ev*>(nullptr));
    if (!handler) return UnknownHandler(v, ctx);
    As<Ev& (*)(TComponent&)>(p.Read)(c) = *handler;
    c.HandlerNames[p.Name] = v.Text;
    return true;
}

void AddProperty(TClassInfo& info, std::wstring name, TDescValue def, P::SetProc set, P::GetProc get,
                 P::Accessor read, P::Accessor write = nullptr, const void* table = nullptr, int index = 0);
void AddFont(TClassInfo& info, const std::wstring& prefix, FontAccess font);
void AddInt(TClassInfo& info, const wchar_t* name, int def, IntRead read, IntWrite write);
void AddColor(TClassInfo& info, const wchar_t* name, TColor def, ColorRead read, ColorWrite write);
void AddBool(TClassInfo& info, const wchar_t* name, bool def, BoolRead read, BoolWrite write);
void AddStr(TClassInfo& info, const wchar_t* name, StrRead read, StrWrite write);
void AddEnum(TClassInfo& info, const wchar_t* name, int def, const TNameValue* names, IntRead read,
             IntWrite write);
void AddSet(TClassInfo& info, const wchar_t* name, unsigned def, const TNameValue* bits, SetRead read,
            SetWrite write);
void AddPicture(TClassInfo& info, std::wstring name, PictureAccess pic, int index);
void AddEvent(TClassInfo& info, const wchar_t* name, P::SetProc set, P::Accessor event);

// Registers the properties of class C. The accessors passed in are
// captureless lambdas on C; each becomes a small plain function on TControl,
// the only code made per property.
template <typename C>
class Builder {
public:
    explicit Builder(TClassInfo& info) : info_(info) {}
    TClassInfo& Info() { return info_; }

    template <typename S, typename G>
    void Add(const wchar_t* name, TDescValue def, S, G) {
        AddProperty(
            info_, name, std::move(def),
            [](const P&, TComponent& c, const TDescValue& v, TReadContext& ctx) -> bool {
                return S{}(static_cast<C&>(c), v, ctx);
            },
            [](const P&, TComponent& c) -> TDescValue { return G{}(static_cast<C&>(c)); }, nullptr);
    }
    template <typename G, typename S>
    void Int(const wchar_t* name, int def, G, S) {
        AddInt(
            info_, name, def, [](TComponent& c) -> int { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, int v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G, typename S>
    void Color(const wchar_t* name, TColor def, G, S) {
        AddColor(
            info_, name, def, [](TComponent& c) -> TColor { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, TColor v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G, typename S>
    void Bool(const wchar_t* name, bool def, G, S) {
        AddBool(
            info_, name, def, [](TComponent& c) -> bool { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, bool v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G, typename S>
    void Str(const wchar_t* name, G, S) {
        AddStr(
            info_, name, [](TComponent& c) -> std::wstring { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, const std::wstring& v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename E, typename G, typename S>
    void Enum(const wchar_t* name, E def, const TNameValue* names, G, S) {
        AddEnum(
            info_, name, static_cast<int>(def), names,
            [](TComponent& c) -> int { return static_cast<int>(G{}(static_cast<C&>(c))); },
            [](TComponent& c, int v) { S{}(static_cast<C&>(c), static_cast<E>(v)); });
    }
    template <typename G, typename S>
    void Set(const wchar_t* name, unsigned def, const TNameValue* bits, G, S) {
        AddSet(
            info_, name, def, bits, [](TComponent& c) -> unsigned { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, unsigned v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G>
    void Picture(const wchar_t* name, G) {
        AddPicture(
            info_, name, [](TComponent& c, int) -> TPicture& { return G{}(static_cast<C&>(c)); }, 0);
    }
    // A picture picked by index from the object (G takes C& and the index).
    template <typename G>
    void PictureAt(std::wstring name, int index, G) {
        AddPicture(
            info_, std::move(name),
            [](TComponent& c, int i) -> TPicture& { return G{}(static_cast<C&>(c), i); }, index);
    }
    template <typename Ev, typename G>
    void Event(const wchar_t* name, G) {
        AddEvent(info_, name, SetEvent<Ev>,
                 Erase(+[](TComponent& c) -> Ev& { return G{}(static_cast<C&>(c)); }));
    }
    template <typename G>
    void Notify(const wchar_t* name, G g) {
        Event<TNotifyEvent>(name, g);
    }
    template <typename G>
    void Mouse(const wchar_t* name, G g) {
        Event<TMouseEvent>(name, g);
    }
    template <typename G>
    void MouseMove(const wchar_t* name, G g) {
        Event<TMouseMoveEvent>(name, g);
    }
    template <typename G>
    void ContextPopup(const wchar_t* name, G g) {
        Event<TContextPopupEvent>(name, g);
    }
    template <typename G>
    void Font(const std::wstring& prefix, G) {
        AddFont(info_, prefix, [](TComponent& c) -> TFont& { return G{}(static_cast<C&>(c)); });
    }

private:
    TClassInfo& info_;
};

// A reference to another object of the form by name, resolved once every
// object exists (it may come later in the description). An unknown name, or
// one of an object of another kind, is an error naming the property's line.
template <typename T, typename Assign>
bool DeferReference(const TDescValue& v, TReadContext& ctx, const wchar_t* kind, Assign assign) {
    if (v.Type != Kind::Ident) return false;
    ctx.Fixups.push_back([name = v.Text, where = ctx.Where, kind, assign](TReadContext& c) {
        T* target = dynamic_cast<T*>(c.Form.FindComponent(name));
        if (!target) {
            c.Error = where + L": no " + kind + L" named " + name;
            return false;
        }
        assign(target);
        return true;
    });
    return true;
}

// A new class of the table. The reader makes its objects with Create, which
// stays empty where it may not (creatable false: a form, made by its program).
template <typename C>
TClassInfo& NewClass(std::vector<TClassInfo>& table, const wchar_t* name, bool creatable = true) {
    TClassInfo& info = table.emplace_back();
    info.Name = name;
    if constexpr (std::is_default_constructible_v<C>) {
        if (creatable) info.Create = []() -> std::unique_ptr<TComponent> { return std::make_unique<C>(); };
    }
    return info;
}

}  // namespace promo::binding
