// The window description: a text form of a window, its controls, their
// properties, pictures and handler names. This unit only parses the text
// into a tree; ui/FormReader applies the tree to real controls.
//
//   object FormSale: TFormSale          // one block per object, nested
//     ClientWidth = 500
//     Font.Name = 'Tahoma'              // nested property names
//     Color = $2E2E2E                   // $hex, 0xhex, decimal, -11
//     Anchors = [akLeft, akTop]         // sets
//     Caption = 'It''s '#8364' 5'       // '' quotes, #n adds a character
//     OnCreate = FormCreate             // identifiers: enums, booleans, handlers
//     object imgNote: TImageNote
//       Picture = picture('note.png')   // a picture, stored in stream form
//       Items = <
//         item
//           Name = 'Picture_0'
//           Picture = picture('note_0.png')
//         end>
//     end
//   end
//
// Files are UTF-8; "//" starts a comment that runs to the line end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace promo {

struct TDescProperty;

struct TDescItem {
    std::vector<TDescProperty> Properties;
    int Line = 0;
};

struct TDescValue {
    enum class Kind { Integer, String, Ident, Set, Picture, Items };
    Kind Type = Kind::Integer;
    std::int64_t Integer = 0;
    std::wstring Text;  // String, Ident, Picture (the picture's file name)
    std::vector<std::wstring> SetItems;
    std::vector<TDescItem> Items;
};

struct TDescProperty {
    std::wstring Name;  // may be dotted: "Font.Height"
    TDescValue Value;
    int Line = 0;
};

struct TDescObject {
    std::wstring Name;
    std::wstring ClassName;
    std::vector<TDescProperty> Properties;
    std::vector<TDescObject> Children;
    int Line = 0;
};

// Parses one top-level object block. False with a message naming the line on
// a syntax error; never throws.
bool ParseDescription(std::string_view utf8, TDescObject& root, std::wstring& error);

// Every picture file name referenced in a description (for the build step).
void CollectPictureFiles(const TDescObject& root, std::vector<std::wstring>& files);

// UTF-8 to the program's wide text (UTF-16 where wchar_t is 16-bit);
// malformed bytes become U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);

// The stream form of a picture: the picture kind's class name as a
// length-prefixed string, then the file's bytes ("\x09TPngImage" + PNG).
std::vector<std::uint8_t> MakePictureStream(std::string_view className,
                                            const std::vector<std::uint8_t>& file);
// Splits a picture stream; false when it is too short to hold its class name.
bool SplitPictureStream(const std::uint8_t* data, std::size_t size, std::string& className,
                        const std::uint8_t*& file, std::size_t& fileSize);

}  // namespace promo
