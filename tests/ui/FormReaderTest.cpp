// The reader of window descriptions with the program's class table: errors
// for unknown names and broken pictures, and the program's own description.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "controls/ControlClasses.h"
#include "support/DebugOutput.h"
#include "ui/Form.h"
#include "ui/FormReader.h"
#include "ui/SampleForm.h"

namespace promo {
namespace {

using test::TSampleForm;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::wstring ReadError(const std::string& body, const std::string& formProps = "") {
    TSampleForm form;
    std::wstring error;
    const std::string text = "object F: TSampleForm\n" + formProps + body + "end\n";
    EXPECT_FALSE(ReadForm(form, ControlClasses(), text, FolderPictures(L""), error, {.StrictPictures = true}))
        << text;
    return error;
}

bool Contains(const std::wstring& s, const wchar_t* part) { return s.find(part) != std::wstring::npos; }

TEST(FormReader, UnknownNamesAreErrorsNamingTheLine) {
    EXPECT_TRUE(Contains(ReadError("object a: TRdLabl\nend\n"), L"line 2: unknown class TRdLabl"));
    EXPECT_TRUE(Contains(ReadError("object a: TRdLabel\n Captoin = 'x'\nend\n"),
                         L"line 3: a.Captoin: unknown property of TRdLabel"));
    EXPECT_TRUE(Contains(ReadError("object a: TRdImageButton\n OnClick = btnNoSuchClick\nend\n"),
                         L"unknown handler btnNoSuchClick"));
    // A handler of the wrong kind is no handler at all.
    EXPECT_TRUE(
        Contains(ReadError("object a: TRdImageButton\n OnClick = shpMouseDown\nend\n"), L"unknown handler"));
    EXPECT_TRUE(Contains(ReadError("object a: TRdLabel\n Alignment = taMiddle\nend\n"),
                         L"unsuitable value taMiddle"));
    EXPECT_TRUE(Contains(ReadError("object a: TRdLabel\n WordWrap = 1\nend\n"), L"unsuitable value 1"));
    EXPECT_TRUE(Contains(ReadError("object a: TImage\n Picture = picture('nope.png')\nend\n"),
                         L"the picture file nope.png is missing"));
    EXPECT_TRUE(
        Contains(ReadError("object a: TImage\nend\nobject a: TShape\nend\n"), L"the name a is taken"));
    EXPECT_TRUE(Contains(ReadError("", " Colour = 5\n"), L"F.Colour: unknown property of TForm"));
    TSampleForm form;
    std::wstring error;
    EXPECT_FALSE(ReadForm(form, ControlClasses(), "object F: TOtherForm\nend\n", FolderPictures(L""), error));
    EXPECT_TRUE(Contains(error, L"the description is of class TOtherForm"));
    // The table is the caller's: one without the form's own class is an error, not a null read.
    EXPECT_FALSE(ReadForm(form, TClassTable{}, "object F: TSampleForm\nend\n", FolderPictures(L""), error));
    EXPECT_TRUE(Contains(error, L"the class table has no TForm"));
}

TEST(FormReader, APictureThatIsNotAPngIsAnError) {
    TSampleForm form;
    std::wstring error;
    auto junk = [](const std::wstring&, std::vector<std::uint8_t>& s) {
        s = MakePictureStream("TBitmap", {1, 2, 3});
        return true;
    };
    const char* text = "object F: TSampleForm\n object a: TImage\n Picture = picture('x.png')\n end\nend\n";
    EXPECT_FALSE(ReadForm(form, ControlClasses(), text, junk, error, {.StrictPictures = true}));
    EXPECT_TRUE(Contains(error, L"not a PNG picture stream"));
    // Not strict (the program): the picture stays empty and reading goes on.
    TSampleForm lenient;
    static std::vector<std::wstring> lines;
    lines.clear();
    SetDebugSink([](const std::wstring& line) { lines.push_back(line); });
    EXPECT_TRUE(ReadForm(lenient, ControlClasses(), text, junk, error)) << Narrow(error);
    SetDebugSink(nullptr);
    EXPECT_TRUE(lenient.FindChild<TImage>(L"a")->Picture().Empty());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(Contains(lines[0], L"x.png"));
}

// The program's own window description reads with the class table: every
// class, property, picture and handler name it uses exists.
class TWindowStandIn : public TForm {
public:
    TWindowStandIn() : TForm(L"TFormSale") {
        for (const wchar_t* n : {L"FormCreate", L"FormShow", L"btnCloseClick", L"btnBuyClick"})
            RegisterHandler(n, TNotifyEvent([](TControl*) {}));
        for (const wchar_t* n : {L"shpMouseDown", L"lblTitleMouseDown", L"imgRegTypeMouseDown"})
            RegisterHandler(n, TMouseEvent([](TControl*, TMouseButton, TShiftState, int, int) {}));
    }
};

std::wstring SourcePath(const char* relative) {
    std::string d = PROMO_TEST_DATA_DIR "/../../";
    d += relative;
    for (char& c : d)
        if (c == '/') c = '\\';
    return L"Z:" + std::wstring(d.begin(), d.end());
}

TEST(FormReader, TheProgramsWindowDescriptionReads) {
    std::FILE* f = _wfopen(SourcePath("resources/FormSale.txt").c_str(), L"rb");
    ASSERT_NE(f, nullptr);
    std::string text(1 << 20, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), f));
    std::fclose(f);
    TWindowStandIn form;
    std::wstring error;
    ASSERT_TRUE(ReadForm(form, ControlClasses(), text, FolderPictures(SourcePath("resources/pictures")),
                         error, {.StrictPictures = true}))
        << Narrow(error);
    EXPECT_EQ(form.Controls().size(), 15u);
}

}  // namespace
}  // namespace promo
