// Forms built from a description: the sample window embedded in this test
// program's resources by the build step, its handlers, the class table's
// defaults and round trips, errors for unknown names, and the rendered form.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first
#include <commctrl.h>

#include <cstdio>

#include "common/TestData.h"
#include "controls/ControlClasses.h"
#include "controls/PImageNote.h"
#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "support/DebugOutput.h"
#include "ui/Form.h"
#include "ui/FormReader.h"
#include "ui/PngWriter.h"
#include "ui/UiTestSupport.h"

namespace promo {
namespace {

using test::Rgb;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// A file beside the test program (its build folder).
std::string BesideTheProgram(const char* name) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + name;
}

class TSampleForm : public TForm {
public:
    TSampleForm() : TForm(L"TSampleForm") {
        RegisterHandler(L"FormCreate", this, &TSampleForm::FormCreate);
        RegisterHandler(L"FormShow", this, &TSampleForm::FormShow);
        RegisterHandler(L"btnBuyClick", this, &TSampleForm::btnBuyClick);
        RegisterHandler(L"shpMouseDown", this, &TSampleForm::shpMouseDown);
        RegisterHandler(L"shpMouseMove", this, &TSampleForm::shpMouseMove);
        RegisterHandler(L"shpContextPopup", this, &TSampleForm::shpContextPopup);
        RegisterEventHandler(L"anyShowHint", THintEvent([this](TControl*, std::wstring& hint, bool&) {
                                 hint = L"from the handler";
                                 ++hintsShown;
                             }));
        RegisterEventHandler(L"anyDragDrop", TDragDropEvent([](TControl*, TComponent*, int, int) {}));
        RegisterEventHandler(L"anyDragOver",
                             TDragOverEvent([](TControl*, TComponent*, int, int, TDragState, bool&) {}));
        RegisterEventHandler(L"anyEndDrag", TEndDragEvent([](TControl*, TComponent*, int, int) {}));
        RegisterEventHandler(L"anyStartDrag", TStartDragEvent([](TControl*, TComponent*&) {}));
    }
    void FormCreate(TControl*) {
        ++created;
        handleAtCreate = Handle() != nullptr;
        // Every control exists and was Loaded before the creation handler.
        labelWidthAtCreate = FindChild<TRdLabel>(L"lblTitle")->Width();
    }
    void FormShow(TControl*) { ++shown; }
    void btnBuyClick(TControl*) { ++buyClicks; }
    void shpMouseDown(TControl*, TMouseButton, TShiftState, int, int) { ++shapeDowns; }
    void shpMouseMove(TControl*, TShiftState, int, int) {}
    void shpContextPopup(TControl*, TPoint, bool&) {}

    int created = 0, shown = 0, buyClicks = 0, shapeDowns = 0, labelWidthAtCreate = 0, hintsShown = 0;
    bool handleAtCreate = false;
};

TEST(Form, BuildsTheSampleFromItsResource) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    EXPECT_EQ(form.created, 1);
    // The window comes with the first show, after the creation handler, so
    // that it takes the DPI awareness in force then.
    EXPECT_FALSE(form.handleAtCreate);
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(form.Name, L"SampleForm");
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.Controls().size(), 6u);
    auto* title = form.FindChild<TRdLabel>(L"lblTitle");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(form.FindChild<TRdImageButton>(L"lblTitle"), nullptr);  // typed lookup checks the class
    // Loaded fitted the label to its text in its -13 font.
    EXPECT_EQ(title->Width(), test::MeasureText(L"Pellorin 7", -13, DT_EXPANDTABS).cx);
    EXPECT_EQ(form.labelWidthAtCreate, title->Width());
    EXPECT_FALSE(title->ParentFont());
    auto* close = form.FindChild<TRdImageButton>(L"btnClose");
    EXPECT_EQ(close->BoundsRect(), TRect::FromSize(260, 0, 34, 34));  // AutoSize to its picture
    EXPECT_EQ(close->SkinLink().Name, L"btnClose_skinlink_");
    auto* note = form.FindChild<TImageNote>(L"imgNote");
    ASSERT_EQ(note->Items().Count(), 2);
    EXPECT_EQ(note->Items()[1]->Name, L"Picture_1");
    EXPECT_EQ(note->Items()[1]->Picture().Width(), 51);
    EXPECT_FALSE(note->Visible());
    // The badge gets the note's first picture as the window does it.
    auto* badge = form.FindChild<TImage>(L"imgBadge");
    badge->Picture().Assign(note->Items()[0]->Picture());
    EXPECT_EQ(badge->Width(), 34);
    EXPECT_EQ(badge->Height(), 16);
    // The parent's font reached controls that keep ParentFont.
    EXPECT_EQ(form.FindChild<TShape>(L"shp")->Font().Name(), L"Tahoma");
    form.Show();
    form.Show();
    EXPECT_EQ(form.shown, 1);
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
    // Owned by the application window (or none): never a task-bar window of its own.
    EXPECT_EQ(::GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(::GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_CAPTION, 0);
    form.Hide();
    EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

TEST(Form, RoutesClicksAndMouseDownsToTheBoundHandlers) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    form.CreateHandle();
    auto send = [&](UINT msg, int x, int y, WPARAM keys) {
        ::SendMessageW(form.Handle(), msg, keys, MAKELPARAM(x, y));
    };
    send(WM_MOUSEMOVE, 150, 70, 0);
    send(WM_LBUTTONDOWN, 150, 70, MK_LBUTTON);
    send(WM_LBUTTONUP, 150, 70, 0);
    EXPECT_EQ(form.buyClicks, 1);
    send(WM_RBUTTONDOWN, 5, 110, MK_RBUTTON);  // the background shape, any button
    send(WM_RBUTTONUP, 5, 110, 0);
    EXPECT_EQ(form.shapeDowns, 1);
    EXPECT_EQ(form.buyClicks, 1);
}

TEST(Form, ShowsTheHintOfTheControlUnderTheMouse) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    auto* close = form.FindChild<TRdImageButton>(L"btnClose");
    EXPECT_EQ(TForm::HintFor(close), L"Close");
    EXPECT_EQ(TForm::HintFor(form.FindChild<TRdLabel>(L"lblTitle")), L"");  // ShowHint off
}

TEST(Form, RendersOffScreenIntoAPicture) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    auto* note = form.FindChild<TImageNote>(L"imgNote");
    form.FindChild<TImage>(L"imgBadge")->Picture().Assign(note->Items()[0]->Picture());
    DecodedImage shot;
    ASSERT_TRUE(form.RenderToImage(shot));
    ASSERT_EQ(shot.width, 300);
    ASSERT_EQ(shot.height, 120);
    const std::string file = BesideTheProgram("sample-form.png");  // kept for a look
    ASSERT_TRUE(WritePngFile(shot, file));
    auto px = [&](int x, int y) { return shot.pixels[static_cast<size_t>(y) * 300 + x] & 0xFFFFFF; };
    EXPECT_EQ(px(0, 0), Rgb(0, 0, 0));  // the shape's frame
    EXPECT_EQ(px(150, 119), Rgb(0, 0, 0));
    EXPECT_EQ(px(5, 50), Rgb(0x2E, 0x2E, 0x2E));    // the shape's brush
    EXPECT_EQ(px(110, 15), Rgb(0xFF, 0xD0, 0));     // the badge
    EXPECT_EQ(px(31, 62), Rgb(0xC0, 0, 0));         // the buy button's left end ...
    EXPECT_EQ(px(268, 62), Rgb(0, 0, 0xC0));        // ... right end
    EXPECT_EQ(px(100, 62), Rgb(0, 0xA0, 0));        // ... stretched middle
    EXPECT_EQ(px(270, 5), Rgb(0x40, 0x40, 0x40));   // the close button
    EXPECT_EQ(px(210, 15), Rgb(0x2E, 0x2E, 0x2E));  // the hidden picture list draws nothing
    int white = 0;                                  // the title's and the caption's ink
    for (int y = 8; y < 24; ++y)
        for (int x = 10; x < 80; ++x) white += px(x, y) == Rgb(255, 255, 255);
    EXPECT_GT(white, 20);
    int caption = 0;
    for (int y = 60; y < 96; ++y)
        for (int x = 130; x < 170; ++x) caption += px(x, y) == Rgb(255, 255, 255);
    EXPECT_GT(caption, 20);
    // The saved file reads back the same.
    std::FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<std::uint8_t> bytes(1 << 20);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    DecodedImage back;
    ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back.pixels, shot.pixels);
}

// --- the reader's errors --------------------------------------------------------------------

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

// --- the class table --------------------------------------------------------------------------

TEST(ControlClasses, EveryDeclaredDefaultIsWhatANewObjectHas) {
    for (const TClassInfo& cls : ControlClasses()) {
        std::unique_ptr<TComponent> made;
        TSampleForm form;
        TComponent* obj = &form;
        if (cls.Create) {
            made = cls.Create();
            obj = made.get();
        }
        for (const TPropertyInfo& p : cls.Properties) {
            if (!cls.Create && (p.Name == L"ClientWidth" || p.Name == L"ClientHeight" || p.Name == L"Color"))
                continue;  // a form's own constructor defaults differ from the base form's
            EXPECT_TRUE(SameValue(p.Get(*obj), p.Default))
                << Narrow(cls.Name) << "." << Narrow(p.Name) << ": has " << Narrow(ValueText(p.Get(*obj)))
                << ", declared " << Narrow(ValueText(p.Default));
        }
    }
}

// A value of the property's kind that differs from its default.
TDescValue OtherValue(const TPropertyInfo& p) {
    TDescValue v = p.Default;
    switch (v.Type) {
        case TDescValue::Kind::Integer:
            v.Integer = p.Default.Integer == 37 ? 38 : 37;
            break;
        case TDescValue::Kind::String:
            v.Text = p.Name == L"Font.Name" || Contains(p.Name, L"Font.Name") ? L"Arial"
                                                                              : L"Gr\x00FC\x00DF"
                                                                                L"e 'x'";
            break;
        case TDescValue::Kind::Ident:
            if (v.Text == L"True" || v.Text == L"False") {
                v.Text = v.Text == L"True" ? L"False" : L"True";
            } else if (p.Name == L"OnMouseDown" || p.Name == L"OnMouseUp") {
                v.Text = L"shpMouseDown";
            } else if (p.Name == L"OnMouseMove") {
                v.Text = L"shpMouseMove";
            } else if (p.Name.rfind(L"On", 0) == 0 || Contains(p.Name, L"OnClick")) {
                v.Text = L"btnBuyClick";
            }
            break;
        case TDescValue::Kind::Set:
            v.SetItems = p.Name == L"Anchors" ? std::vector<std::wstring>{L"akRight", L"akBottom"}
                                              : std::vector<std::wstring>{L"fsBold"};
            break;
        case TDescValue::Kind::Picture:
            v.Text = L"btn_normal.png";
            break;
        case TDescValue::Kind::Items:
            break;
    }
    return v;
}

std::wstring Quote(const std::wstring& s) {
    std::wstring q = L"'";
    for (wchar_t c : s) {
        if (c == L'\'')
            q += L"''";
        else if (c > 127)
            q += L"'#" + std::to_wstring(static_cast<int>(c)) + L"'";
        else
            q += c;
    }
    return q + L"'";
}

std::wstring Written(const TDescValue& v) {
    switch (v.Type) {
        case TDescValue::Kind::String:
            return Quote(v.Text);
        case TDescValue::Kind::Picture:
            return L"picture(" + Quote(v.Text) + L")";
        default:
            return ValueText(v);
    }
}

TEST(ControlClasses, EveryPropertyReadsBackWhatTheDescriptionSays) {
    const std::wstring pictures = std::wstring(L"Z:") + [] {
        std::string d = PROMO_TEST_DATA_DIR "/forms";
        for (char& c : d)
            if (c == '/') c = '\\';
        return std::wstring(d.begin(), d.end());
    }();
    int checked = 0;
    for (const TClassInfo& cls : ControlClasses()) {
        for (const TPropertyInfo& p : cls.Properties) {
            TDescValue want = OtherValue(p);
            if (p.Name == L"FocusControl") want.Text = L"edit";
            if (p.Name == L"PopupMenu") want.Text = L"menu";
            if (p.Name == L"OnContextPopup") want.Text = L"shpContextPopup";
            // Handlers of the controls' own event types.
            const std::pair<const wchar_t*, const wchar_t*> typedEvents[] = {
                {L"OnShowHint", L"anyShowHint"},  {L"OnDragDrop", L"anyDragDrop"},
                {L"OnDragOver", L"anyDragOver"},  {L"OnEndDock", L"anyEndDrag"},
                {L"OnEndDrag", L"anyEndDrag"},    {L"OnStartDock", L"anyStartDrag"},
                {L"OnStartDrag", L"anyStartDrag"}};
            for (const auto& [event, handler] : typedEvents)
                if (p.Name == event) want.Text = handler;
            if (p.Name == L"Items") {
                want.Items.resize(1);
                want.Items[0].Properties = {{L"Name", {}, 0}, {L"Picture", {}, 0}};
                want.Items[0].Properties[0].Value.Type = TDescValue::Kind::String;
                want.Items[0].Properties[0].Value.Text = L"Mine";
                want.Items[0].Properties[1].Value.Type = TDescValue::Kind::Picture;
                want.Items[0].Properties[1].Value.Text = L"note_1.png";
            }
            if (SameValue(want, p.Default)) continue;  // an enum: tried below by name
            std::wstring valueText = Written(want);
            if (p.Name == L"Items")
                valueText = L"<\n item\n Name = 'Mine'\n Picture = picture('note_1.png')\n end>";
            std::wstring text = L"object F: TSampleForm\n";
            std::wstring body = p.Name + L" = " + valueText + L"\n";
            // Referenced objects come after the referring one: names resolve
            // once every object exists.
            const std::wstring others = L"object edit: TEdit\nend\nobject menu: TPopupMenu\nend\n";
            if (cls.Name == L"TMenuItem")
                text += L"object m: TPopupMenu\nobject x: TMenuItem\n" + body + L"end\nend\n";
            else if (cls.Create)
                text += L"object x: " + cls.Name + L"\n" + body + L"end\n" + others;
            else
                text += body + others;
            text += L"end\n";
            TSampleForm form;
            std::wstring error;
            const std::string utf8(text.begin(), text.end());
            ASSERT_TRUE(ReadForm(form, ControlClasses(), utf8, FolderPictures(pictures), error,
                                 {.RunLoaded = false, .StrictPictures = true}))
                << Narrow(cls.Name) << "." << Narrow(p.Name) << ": " << Narrow(error);
            TComponent& obj = cls.Create ? *form.FindComponent(L"x") : form;
            TDescValue got = p.Get(obj);
            if (want.Type == TDescValue::Kind::Picture) want.Text = L"156x36";
            if (p.Name == L"Items") want.Items[0].Properties[1].Value.Text = L"51x16";
            EXPECT_TRUE(SameValue(got, want))
                << Narrow(cls.Name) << "." << Narrow(p.Name) << ": got " << Narrow(ValueText(got))
                << ", wrote " << Narrow(ValueText(want));
            ++checked;
        }
    }
    EXPECT_GT(checked, 200);
}

TEST(ControlClasses, HintHandlersNamedInADescriptionRunAndMustHaveTheHintType) {
    const std::string description =
        "object F: TSampleForm\n"
        " object lbl: TRdLabel\n  Hint = 'label'\n  OnShowHint = anyShowHint\n  DragMode = dmAutomatic\n"
        "  OnStartDrag = anyStartDrag\n end\n"
        " object btn: TRdImageButton\n  Hint = 'button'\n  OnShowHint = anyShowHint\n end\n"
        "end\n";
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(ReadForm(form, ControlClasses(), description, TPictureSource{}, error)) << Narrow(error);
    auto* label = form.FindChild<TRdLabel>(L"lbl");
    auto* button = form.FindChild<TRdImageButton>(L"btn");
    ASSERT_TRUE(label && button);
    EXPECT_EQ(label->DragMode, TDragMode::dmAutomatic);
    EXPECT_TRUE(label->OnStartDrag);
    for (TControl* c : {static_cast<TControl*>(label), static_cast<TControl*>(button)}) {
        std::wstring hint = c->Hint();
        c->DoShowHint(hint);
        EXPECT_EQ(hint, L"from the handler");
    }
    EXPECT_EQ(form.hintsShown, 2);
    // A handler of another type under the name is not taken.
    TSampleForm other;
    const std::string wrongType =
        "object F: TSampleForm\n object lbl: TRdLabel\n  OnShowHint = btnBuyClick\n end\nend\n";
    EXPECT_FALSE(ReadForm(other, ControlClasses(), wrongType, TPictureSource{}, error));
    EXPECT_NE(error.find(L"btnBuyClick"), std::wstring::npos) << Narrow(error);
}

}  // namespace
}  // namespace promo

namespace promo {
namespace {

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

namespace promo {
namespace {

// The hint really shows: a tooltip window with the control's hint appears
// after the pointer rests on the control.
TEST(Form, TheTooltipShowsTheHintOfTheHoveredControl) {
    TSampleForm form;
    std::wstring error;
    ASSERT_TRUE(form.InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error)) << Narrow(error);
    form.SetBounds(100, 100, 300, 120);
    form.Show();
    ::SetCursorPos(100 + 275, 100 + 15);  // on btnClose
    ::SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(275, 15));
    HWND tip = nullptr;
    wchar_t text[64] = {};
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 4000 && !tip) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        HWND w = ::FindWindowW(TOOLTIPS_CLASSW, nullptr);
        if (w && ::IsWindowVisible(w)) {
            tip = w;
            TTTOOLINFOW ti{};
            ti.cbSize = TTTOOLINFOW_V1_SIZE;
            ti.lpszText = text;
            ::SendMessageW(w, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
            ::SendMessageW(w, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
        }
        ::Sleep(20);
    }
    ASSERT_NE(tip, nullptr);
    EXPECT_STREQ(text, L"Close");
}

// --- the kept composition -----------------------------------------------------------------

// A control that counts its paints and fills itself with one colour.
class TPaintCounter : public TControl {
public:
    explicit TPaintCounter(COLORREF fill) : fill_(fill) {}
    int paints = 0;

protected:
    void Paint(TCanvas& canvas) override {
        ++paints;
        HBRUSH b = ::CreateSolidBrush(fill_);
        RECT r{0, 0, Width(), Height()};
        ::FillRect(canvas.Handle(), &r, b);
        ::DeleteObject(b);
    }

private:
    COLORREF fill_;
};

// The window's pixels as they are on screen.
std::uint32_t WindowPixel(HWND wnd, int x, int y) {
    test::Surface s(1, 1);
    HDC dc = ::GetDC(wnd);
    ::BitBlt(s.Dc(), 0, 0, 1, 1, dc, x, y, SRCCOPY);
    ::ReleaseDC(wnd, dc);
    return s.At(0, 0);
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Puts the pointer on the window at (x, y) and lets the window see it move there.
void PointerOnWindow(HWND wnd, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(wnd, &p);
    ::SetCursorPos(p.x, p.y);
    ::SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

TEST(Form, PaintsAgainOnlyWhatWasInvalidated) {
    TForm form(L"TForm");
    form.CreateHandle();
    form.SetBounds(40, 40, 60, 40);
    form.SetColor(RGB(0x20, 0x40, 0x60));
    auto image = std::make_unique<TImage>();
    TImage* glass = image.get();
    // Half-transparent white: blended twice it would come out lighter.
    glass->Picture().SetGraphic(test::MakeImage(20, 20, [](int, int) { return 0x80808080u; }));
    glass->SetBounds(0, 0, 20, 20);
    form.AddControl(std::move(image));
    auto a = std::make_unique<TPaintCounter>(RGB(255, 0, 0));
    auto b = std::make_unique<TPaintCounter>(RGB(0, 0, 255));
    TPaintCounter* first = a.get();
    TPaintCounter* second = b.get();
    first->SetBounds(30, 0, 10, 10);
    second->SetBounds(30, 20, 10, 10);
    form.AddControl(std::move(a));
    form.AddControl(std::move(b));
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    // The composition is kept while the pointer is on the window.
    PointerOnWindow(form.Handle(), 50, 35);
    ::UpdateWindow(form.Handle());
    PumpMessages();
    ASSERT_EQ(first->paints, 1);
    ASSERT_EQ(second->paints, 1);
    const std::uint32_t glassPixel = WindowPixel(form.Handle(), 5, 5);
    EXPECT_NE(glassPixel, Rgb(0x20, 0x40, 0x60));  // the picture is there ...
    EXPECT_NE(glassPixel, Rgb(255, 255, 255));     // ... and translucent
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 5), Rgb(255, 0, 0));

    // Invalidated from outside (uncovered): presented again, nothing painted again.
    ::InvalidateRect(form.Handle(), nullptr, FALSE);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(first->paints, 1);
    EXPECT_EQ(second->paints, 1);
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 25), Rgb(0, 0, 255));
    EXPECT_EQ(WindowPixel(form.Handle(), 50, 35), Rgb(0x20, 0x40, 0x60));

    // One control asks: only what lies in its area is painted again.
    first->Invalidate();
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(first->paints, 2);
    EXPECT_EQ(second->paints, 1);

    // A translucent control composed again over fresh background, not over itself.
    for (int i = 0; i < 3; ++i) {
        glass->Invalidate();
        ::UpdateWindow(form.Handle());
    }
    EXPECT_EQ(WindowPixel(form.Handle(), 5, 5), glassPixel);

    // A control that moves leaves nothing behind.
    first->SetBounds(45, 0, 10, 10);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 5), Rgb(0x20, 0x40, 0x60));
    EXPECT_EQ(WindowPixel(form.Handle(), 50, 5), Rgb(255, 0, 0));

    // A new size composes everything afresh.
    form.SetBounds(40, 40, 70, 40);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(second->paints, 2);
    EXPECT_EQ(WindowPixel(form.Handle(), 65, 35), Rgb(0x20, 0x40, 0x60));
}

TEST(Form, AnIdleWindowLetsItsCompositionGoAndPaintsTheSame) {
    // The pointer away from the window, and the motion that takes it there
    // (and any left over from earlier windows) delivered before the window
    // exists: a move into it would count as hovering and keep the buffer.
    // The window stands where no earlier test put one or the pointer.
    ::SetCursorPos(0, 0);
    for (int i = 0; i < 10; ++i) {
        PumpMessages();
        ::Sleep(20);
    }
    TForm form(L"TForm");
    form.CreateHandle();
    form.SetBounds(400, 300, 60, 40);
    form.SetColor(RGB(0x20, 0x40, 0x60));
    auto a = std::make_unique<TPaintCounter>(RGB(255, 0, 0));
    TPaintCounter* box = a.get();
    box->SetBounds(30, 0, 10, 10);
    form.AddControl(std::move(a));
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(form.Handle());
    ASSERT_EQ(box->paints, 1);
    // Within a burst the composition is there: presenting again paints nothing.
    ::InvalidateRect(form.Handle(), nullptr, FALSE);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(box->paints, 1);
    // Idle for a moment, it is gone: the next paint composes again, the same.
    for (int i = 0; i < 2; ++i) {
        const DWORD until = ::GetTickCount() + 600;
        while (::GetTickCount() < until) {
            PumpMessages();
            ::Sleep(20);
        }
        ::InvalidateRect(form.Handle(), nullptr, FALSE);
        ::UpdateWindow(form.Handle());
        EXPECT_EQ(box->paints, 2 + i);
        EXPECT_EQ(WindowPixel(form.Handle(), 35, 5), Rgb(255, 0, 0));
        EXPECT_EQ(WindowPixel(form.Handle(), 10, 30), Rgb(0x20, 0x40, 0x60));
    }
}

TEST(Form, WhatAnOpaqueControlCoversIsNotPainted) {
    TForm form(L"TForm");
    form.CreateHandle();
    form.SetBounds(40, 40, 60, 40);
    auto under = std::make_unique<TPaintCounter>(RGB(255, 0, 0));
    auto shape = std::make_unique<TShape>();
    auto over = std::make_unique<TPaintCounter>(RGB(0, 0, 255));
    TPaintCounter* hidden = under.get();
    TShape* cover = shape.get();
    TPaintCounter* top = over.get();
    hidden->SetBounds(5, 5, 10, 10);
    cover->SetBounds(0, 0, 60, 40);
    cover->SetBrushColor(RGB(0, 0x80, 0));
    top->SetBounds(30, 5, 10, 10);
    form.AddControl(std::move(under));
    form.AddControl(std::move(shape));
    form.AddControl(std::move(over));
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(form.Handle());
    PumpMessages();
    EXPECT_EQ(hidden->paints, 0);  // under a solid shape that covers the window
    EXPECT_EQ(top->paints, 1);
    EXPECT_EQ(WindowPixel(form.Handle(), 10, 10), Rgb(0, 0x80, 0));
    EXPECT_EQ(WindowPixel(form.Handle(), 35, 10), Rgb(0, 0, 255));

    // A hollow shape lets what is under it show: it is painted again.
    cover->SetBrushStyle(TBrushStyle::bsClear);
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(hidden->paints, 1);
    EXPECT_EQ(WindowPixel(form.Handle(), 10, 10), Rgb(255, 0, 0));
}

TEST(Picture, PixelsAreDecodedWhenFirstNeededAndABrokenFileDrawsNothing) {
    const auto whole = test::ReadDataFile("png/alpha-3x2.png");
    TPicture good;
    ASSERT_TRUE(good.LoadFromPng(whole.data(), whole.size()));
    EXPECT_EQ(good.Width(), 3);
    EXPECT_EQ(good.Pixel(1, 0), 0xFF0000FFu);  // decoded on this first read
    EXPECT_TRUE(good.HasAlpha());

    // Header intact, pixels cut off: the size is known at load, the picture
    // then turns out fully transparent.
    const auto idat = std::string(whole.begin(), whole.end()).find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(idat) + 8);
    TPicture broken;
    ASSERT_TRUE(broken.LoadFromPng(cut.data(), cut.size()));
    EXPECT_EQ(broken.Width(), 3);
    EXPECT_EQ(broken.Height(), 2);
    test::Surface s(3, 2, Rgb(1, 2, 3));
    TCanvas canvas;
    canvas.SetHandle(s.Dc());
    canvas.Draw(0, 0, broken);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(s.At(0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(s.At(2, 1), Rgb(1, 2, 3));
    EXPECT_EQ(broken.Pixel(1, 0), 0u);

    const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    TPicture none;
    EXPECT_FALSE(none.LoadFromPng(junk, sizeof junk));
    EXPECT_TRUE(none.Empty());
}

}  // namespace
}  // namespace promo
