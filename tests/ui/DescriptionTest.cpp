// The window description text: objects, nested names, values of every kind,
// collections, pictures, and errors that name their line.
#include <gtest/gtest.h>

#include "ui/Description.h"

namespace promo {
namespace {

const char kSample[] = R"(// a sample
object FormSale: TFormSale
  ClientWidth = 500
  Color = $2E2E2E
  Font.Height = -11
  Caption = 'It''s '#8364' 5'
  Anchors = [akLeft, akTop]
  Empty = []
  OnCreate = FormCreate
  object imgNote: TImageNote
    Visible = False
    Items = <
      item
        Name = 'Picture_0'
        Picture = picture('note_0.png')
      end
      item
        Picture = picture('note_1.png')
      end>
  end
  object lbl: TRdLabel
    Caption = 'Grüße'
    Hex = 0xFF000015
  end
end
)";

TEST(Description, ParsesObjectsPropertiesAndValues) {
    TDescObject root;
    std::wstring error;
    ASSERT_TRUE(ParseDescription(kSample, root, error)) << std::string(error.begin(), error.end());
    EXPECT_EQ(root.Name, L"FormSale");
    EXPECT_EQ(root.ClassName, L"TFormSale");
    ASSERT_EQ(root.Properties.size(), 7u);
    EXPECT_EQ(root.Properties[0].Name, L"ClientWidth");
    EXPECT_EQ(root.Properties[0].Value.Integer, 500);
    EXPECT_EQ(root.Properties[1].Value.Integer, 0x2E2E2E);
    EXPECT_EQ(root.Properties[2].Name, L"Font.Height");
    EXPECT_EQ(root.Properties[2].Value.Integer, -11);
    EXPECT_EQ(root.Properties[3].Value.Type, TDescValue::Kind::String);
    EXPECT_EQ(root.Properties[3].Value.Text, std::wstring(L"It's \x20AC 5"));
    EXPECT_EQ(root.Properties[4].Value.SetItems, (std::vector<std::wstring>{L"akLeft", L"akTop"}));
    EXPECT_EQ(root.Properties[5].Value.Type, TDescValue::Kind::Set);
    EXPECT_TRUE(root.Properties[5].Value.SetItems.empty());
    EXPECT_EQ(root.Properties[6].Value.Type, TDescValue::Kind::Ident);
    EXPECT_EQ(root.Properties[6].Value.Text, L"FormCreate");
    EXPECT_EQ(root.Properties[6].Line, 9);

    ASSERT_EQ(root.Children.size(), 2u);
    const TDescObject& note = root.Children[0];
    EXPECT_EQ(note.ClassName, L"TImageNote");
    ASSERT_EQ(note.Properties.size(), 2u);
    const TDescValue& items = note.Properties[1].Value;
    ASSERT_EQ(items.Type, TDescValue::Kind::Items);
    ASSERT_EQ(items.Items.size(), 2u);
    EXPECT_EQ(items.Items[0].Properties[0].Value.Text, L"Picture_0");
    EXPECT_EQ(items.Items[0].Properties[1].Value.Type, TDescValue::Kind::Picture);
    EXPECT_EQ(items.Items[1].Properties[0].Value.Text, L"note_1.png");
    EXPECT_EQ(root.Children[1].Properties[0].Value.Text, std::wstring(L"Gr\x00FC\x00DF"
                                                                      L"e"));
    EXPECT_EQ(root.Children[1].Properties[1].Value.Integer, 0xFF000015ll);

    std::vector<std::wstring> files;
    CollectPictureFiles(root, files);
    EXPECT_EQ(files, (std::vector<std::wstring>{L"note_0.png", L"note_1.png"}));
}

std::wstring ErrorOf(const char* text) {
    TDescObject root;
    std::wstring error;
    EXPECT_FALSE(ParseDescription(text, root, error)) << text;
    return error;
}

TEST(Description, SyntaxErrorsNameTheirLine) {
    EXPECT_EQ(ErrorOf("object a: TForm\n  Left = \nend"), L"line 3: a value was expected");
    EXPECT_NE(ErrorOf("object a: TForm\n  Caption = 'open\nend").find(L"line 2: unterminated"),
              std::wstring::npos);
    EXPECT_NE(ErrorOf("object a: TForm\n  Left = 1\n").find(L"'end' of object 'a' is missing"),
              std::wstring::npos);
    EXPECT_NE(ErrorOf("object a TForm\nend").find(L"':' was expected"), std::wstring::npos);
    EXPECT_NE(ErrorOf("object a: TForm\nend\nend").find(L"text after"), std::wstring::npos);
    EXPECT_NE(ErrorOf("object a: TForm\n P = picture('')\nend").find(L"file name"), std::wstring::npos);
    EXPECT_NE(ErrorOf("object a: TForm\n Left = 99999999999\nend").find(L"out of range"), std::wstring::npos);
    EXPECT_NE(ErrorOf("object a: TForm\n I = < item X = 1 >\nend").find(L"line 2"), std::wstring::npos);
}

TEST(Description, PictureStreamIsClassNameThenFile) {
    const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G'};
    const auto stream = MakePictureStream("TPngImage", png);
    ASSERT_EQ(stream.size(), 14u);
    EXPECT_EQ(stream[0], 9);
    EXPECT_EQ(std::string(stream.begin() + 1, stream.begin() + 10), "TPngImage");
    std::string cls;
    const std::uint8_t* file = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(SplitPictureStream(stream.data(), stream.size(), cls, file, size));
    EXPECT_EQ(cls, "TPngImage");
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(file[0], 0x89);
    // A class name longer than the stream is refused.
    EXPECT_FALSE(SplitPictureStream(stream.data(), 5, cls, file, size));
    EXPECT_FALSE(SplitPictureStream(nullptr, 0, cls, file, size));
}

TEST(Description, Utf8DecodingReplacesMalformedBytes) {
    EXPECT_EQ(WideFromUtf8("a\xC3\xA9z"), std::wstring(L"a\x00E9z"));
    EXPECT_EQ(WideFromUtf8("a\xC3"), std::wstring(L"a\xFFFD"));
    EXPECT_EQ(WideFromUtf8("\xFF"
                           "b"),
              std::wstring(L"\xFFFD"
                           L"b"));
    const std::wstring emoji = WideFromUtf8("\xF0\x9F\x98\x80");
    if constexpr (sizeof(wchar_t) == 2)
        EXPECT_EQ(emoji, std::wstring(L"\xD83D\xDE00"));
    else
        EXPECT_EQ(emoji.size(), 1u);
}

}  // namespace
}  // namespace promo
