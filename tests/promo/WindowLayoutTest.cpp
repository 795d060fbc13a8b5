// The promotion window laid out in every language under Wine, with the
// program's own description, pictures and text table: the bounds of every
// control, which tile descriptions were cut to two lines with an ellipsis (and
// their hints), the Dutch feature picture and the buy button's width.
// Expected sizes are measured independently with plain GDI in the same fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "promo/FormSaleMain.h"
#include "promo/LayoutHelper.h"
#include "promo/LocalizedTexts.h"
#include "ui/Form.h"
#include "ui/PictureSets.h"
#include "ui/PngImage.h"

namespace promo {
namespace {

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// Text measurement in Tahoma of a given height on a screen-compatible context.
class TahomaMeter {
public:
    explicit TahomaMeter(int height)
        : dc_(::CreateCompatibleDC(nullptr)),
          font_(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                              L"Tahoma")),
          old_(::SelectObject(dc_, font_)) {}
    ~TahomaMeter() {
        ::SelectObject(dc_, old_);
        ::DeleteObject(font_);
        ::DeleteDC(dc_);
    }
    TahomaMeter(const TahomaMeter&) = delete;
    TahomaMeter& operator=(const TahomaMeter&) = delete;

    int Width(const std::wstring& text) const {
        SIZE size{};
        ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    int LineHeight() const {
        SIZE size{};
        ::GetTextExtentPoint32W(dc_, L"`ghj_", 5, &size);
        return size.cy;
    }
    // Height of the text wrapped to a width (words, long words between characters).
    int WrappedHeight(const std::wstring& text, int width) const {
        RECT r{0, 0, width, 0};
        ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        return r.bottom - r.top;
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

// The window as the program shows it, in Preview mode (no launch checks),
// rendered once so that the labels have painted and know whether they cut.
struct ShownWindow {
    explicit ShownWindow(const std::wstring& code) : form(TFormSale::Mode::Preview, code) {
        if (!form.Created()) return;
        form.ApplySkinColors();
        form.ApplyTexts();
        form.ArrangeControls();
        rendered = form.RenderToImage(image);
    }
    void Rearrange() {
        form.ArrangeControls();
        rendered = form.RenderToImage(image);
    }
    std::uint32_t Pixel(int x, int y) const { return image.pixels[static_cast<size_t>(y) * image.width + x]; }

    TFormSale form;
    DecodedImage image;
    bool rendered = false;
};

constexpr const wchar_t* kLanguages[] = {L"de", L"DK", L"ES", L"FR", L"IT", L"NL",
                                         L"PL", L"PT", L"RU", L"SV", L"EN"};
constexpr int kFormWidth = 500;

}  // namespace

void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << "," << r.Top << " " << r.Right - r.Left << "x" << r.Bottom - r.Top << ")";
}

namespace {

// What a tile description should become at its width: one line when it
// fits, two when two lines hold it, otherwise two lines cut with "...".
struct ExpectedFit {
    int height;
    bool cut;
};
ExpectedFit ExpectFit(const TahomaMeter& meter, const std::wstring& text, int width) {
    const int line = meter.LineHeight();
    if (meter.Width(text) <= width) return {line, false};
    const int wrapped = meter.WrappedHeight(text, width);
    if (wrapped <= 2 * line) return {wrapped, false};
    return {2 * line, true};
}

class WindowLayout : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(WindowLayout, PlacesEveryControlAndCutsOnlyDescriptionsOverTwoLines) {
    const std::wstring code = GetParam();
    ShownWindow w(code);
    ASSERT_TRUE(w.form.Created()) << Narrow(w.form.CreateError());
    ASSERT_TRUE(w.rendered);
    TFormSale& f = w.form;
    const TLocalizedTexts texts = LoadTexts(code);
    ASSERT_EQ(f.LanguageCode, code);  // every language has its section
    EXPECT_EQ(f.lblDes->Caption(), texts.Get(TextId::lblDes));
    EXPECT_EQ(f.btnBuy->Caption(), texts.Get(TextId::btnBuy));
    EXPECT_EQ(TForm::HintFor(f.btnClose), texts.Get(TextId::btnclose));

    // Fixed places.
    EXPECT_EQ(f.btnClose->BoundsRect(), TRect::FromSize(465, 1, 34, 34));
    EXPECT_EQ(f.imgFuns->BoundsRect(), TRect::FromSize(68, 112, 364, 93));
    EXPECT_EQ(f.lblTitle->Left(), 10);
    EXPECT_EQ(f.lblTitle->Top(), 10);
    EXPECT_EQ(f.lblTitle->Height(), TahomaMeter(-13).LineHeight());
    EXPECT_EQ(f.imgRegType->Left(), f.lblTitle->Left() + f.lblTitle->Width() + 5);
    EXPECT_EQ(f.imgRegType->Top(), f.lblTitle->Top() + (f.lblTitle->Height() - 16) / 2);

    // The headline: centred across, and between the title and the picture.
    const int titleBottom = f.lblTitle->Top() + f.lblTitle->Height();
    EXPECT_EQ(f.lblDes->Width(), TahomaMeter(-20).Width(texts.Get(TextId::lblDes)));
    EXPECT_EQ(f.lblDes->Left(), (kFormWidth - f.lblDes->Width()) / 2);
    EXPECT_EQ(f.lblDes->Top(), titleBottom + (112 - titleBottom - f.lblDes->Height()) / 2);
    EXPECT_FALSE(f.lblDes->FoundTextEllipsis());

    // Tiles: headings under the icons, descriptions 5 below their headings.
    TahomaMeter tile(-12);
    TRdLabel* headings[] = {f.lblFun1Title, f.lblFun2Title, f.lblFun3Title};
    TRdLabel* descriptions[] = {f.lblFun1Des, f.lblFun2Des, f.lblFun3Des};
    const TextId descriptionIds[] = {TextId::lblFun1Des, TextId::lblFun2Des, TextId::lblFun3Des};
    const int headingLefts[] = {68 - 35, (kFormWidth - 120) / 2, 68 + 281};
    const int descriptionLefts[] = {33, 190, 334};
    const int descriptionWidths[] = {120, 120, 150};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("tile " + std::to_string(i + 1) + ": " + Narrow(descriptions[i]->Caption()));
        EXPECT_EQ(headings[i]->BoundsRect(),
                  TRect::FromSize(headingLefts[i], 175, 120, headings[i]->Height()));
        EXPECT_EQ(descriptions[i]->Left(), descriptionLefts[i]);
        // A heading is one line of its font high, so its descenders show.
        EXPECT_EQ(headings[i]->Height(), tile.LineHeight());
        EXPECT_FALSE(headings[i]->FoundTextEllipsis());
        EXPECT_EQ(descriptions[i]->Top(), headings[i]->Top() + headings[i]->Height() + 5);
        EXPECT_LT(descriptions[i]->Top() + descriptions[i]->Height(), f.btnBuy->Top());
        EXPECT_EQ(descriptions[i]->Width(), descriptionWidths[i]);
        const std::wstring& text = texts.Get(descriptionIds[i]);
        const ExpectedFit fit = ExpectFit(tile, text, descriptionWidths[i]);
        EXPECT_EQ(descriptions[i]->Height(), fit.height);
        EXPECT_EQ(descriptions[i]->FoundTextEllipsis(), fit.cut);
        EXPECT_EQ(TForm::HintFor(descriptions[i]), fit.cut ? text : L"");
    }

    // The buy button: as wide as its caption in Tahoma -15 plus its margins, centred.
    EXPECT_EQ(f.btnBuy->Width(), TahomaMeter(-15).Width(texts.Get(TextId::btnBuy)) + 48);
    EXPECT_EQ(f.btnBuy->Left(), (kFormWidth - f.btnBuy->Width()) / 2);
    EXPECT_EQ(f.btnBuy->Top(), 260);
    EXPECT_EQ(f.btnBuy->Height(), 36);
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, WindowLayout, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             return Narrow(info.param);
                         });

TEST(WindowLayoutFit, DescriptionsNeedingThreeLinesAreCutToTwoAndHintTheWholeText) {
    ShownWindow w(L"EN");
    ASSERT_TRUE(w.rendered);
    TFormSale& f = w.form;
    TahomaMeter tile(-12);
    const std::wstring three = L"Scans every device and finds the newest signed drivers for each";
    ASSERT_GT(tile.WrappedHeight(three, 120), 2 * tile.LineHeight());  // the case is what it claims
    const std::wstring one = L"PRO";
    f.lblFun1Des->SetCaption(three);
    f.lblFun2Des->SetCaption(one);
    f.lblFun3Des->SetCaption(three);
    w.Rearrange();
    ASSERT_TRUE(w.rendered);

    for (TRdLabel* cut : {f.lblFun1Des, f.lblFun3Des}) {
        SCOPED_TRACE(Narrow(cut->Name));
        EXPECT_EQ(cut->Height(), 2 * tile.LineHeight());
        EXPECT_TRUE(cut->FoundTextEllipsis());
        EXPECT_EQ(TForm::HintFor(cut), three);
        EXPECT_EQ(cut->Caption(), three);  // the cut is drawn, the text stays whole
    }
    EXPECT_EQ(f.lblFun1Des->Width(), 120);
    EXPECT_EQ(f.lblFun3Des->Width(), 150);
    // A one-liner: one line, centred in its 120 pixels, no hint.
    EXPECT_EQ(f.lblFun2Des->BoundsRect(),
              TRect::FromSize(190, 175 + f.lblFun2Title->Height() + 5, 120, tile.LineHeight()));
    EXPECT_FALSE(f.lblFun2Des->FoundTextEllipsis());
    EXPECT_EQ(TForm::HintFor(f.lblFun2Des), L"");
    EXPECT_EQ(f.lblFun2Des->Alignment(), TAlignment::taCenter);

    // A later, shorter text makes the cut description whole again.
    f.lblFun1Des->SetCaption(one);
    w.Rearrange();
    EXPECT_EQ(f.lblFun1Des->Height(), tile.LineHeight());
    EXPECT_FALSE(f.lblFun1Des->FoundTextEllipsis());
    EXPECT_EQ(TForm::HintFor(f.lblFun1Des), L"");
}

TEST(WindowLayoutPictures, DutchWindowShowsTheSalePictureOthersTheFreeOne) {
    ShownWindow en(L"EN");
    ASSERT_TRUE(en.rendered);
    const TPicture& free = en.form.imgFuns->Picture();
    const TPicture& sale = en.form.img_nl->Picture();
    ASSERT_NE(free.Graphic(), sale.Graphic());
    struct Case {
        const wchar_t* code;
        bool sale;
    };
    for (const Case& c :
         {Case{L"NL", true}, Case{L"nl", true}, Case{L"EN", false}, Case{L"de", false}, Case{L"JP", false}}) {
        SCOPED_TRACE(Narrow(c.code));
        ShownWindow w(c.code);
        ASSERT_TRUE(w.rendered);
        TFormSale& f = w.form;
        EXPECT_EQ(f.imgFuns->Picture().Graphic() == f.img_nl->Picture().Graphic(), c.sale);
        EXPECT_EQ(f.imgFuns->BoundsRect(), TRect::FromSize(68, 112, 364, 93));
        EXPECT_FALSE(f.img_nl->Visible());
        // What is drawn where the two pictures differ (opaque pixels only).
        int saleShown = 0, freeShown = 0;
        for (int y = 0; y < 93; ++y)
            for (int x = 0; x < 364; ++x) {
                const std::uint32_t s = sale.Pixel(x, y), r = free.Pixel(x, y);
                if (s == r || (s >> 24) != 0xFF || (r >> 24) != 0xFF) continue;
                const std::uint32_t drawn = w.Pixel(68 + x, 112 + y) & 0xFFFFFF;
                if (drawn == (s & 0xFFFFFF)) ++saleShown;
                if (drawn == (r & 0xFFFFFF)) ++freeShown;
            }
        EXPECT_GT(c.sale ? saleShown : freeShown, 0);
        EXPECT_EQ(c.sale ? freeShown : saleShown, 0);
    }
}

TEST(WindowLayoutBuyButton, GermanCaptionMakesItWiderAndBothStayCentredWithUnstretchedEnds) {
    ShownWindow en(L"EN");
    ShownWindow de(L"de");
    ASSERT_TRUE(en.rendered);
    ASSERT_TRUE(de.rendered);
    TRdImageButton& e = *en.form.btnBuy;
    TRdImageButton& d = *de.form.btnBuy;
    EXPECT_GT(d.Width(), e.Width());
    for (TRdImageButton* b : {&e, &d}) {
        EXPECT_EQ(b->Left(), (kFormWidth - b->Width()) / 2);
        EXPECT_LE(std::abs(b->Left() - (kFormWidth - b->Left() - b->Width())), 1);  // centred to the pixel
        EXPECT_EQ(b->Top(), 260);
    }
    // The 52-pixel ends of the face keep their pixels; only the middle
    // stretches. Rows above the caption: the top 8 rows of the button.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 52; ++x) {
            ASSERT_EQ(en.Pixel(e.Left() + x, 260 + y), de.Pixel(d.Left() + x, 260 + y)) << x << "," << y;
            ASSERT_EQ(en.Pixel(e.Left() + e.Width() - 1 - x, 260 + y),
                      de.Pixel(d.Left() + d.Width() - 1 - x, 260 + y))
                << x << "," << y;
        }
}

TEST(WindowPlacement, AWorkAreaThatCannotBeReadGivesThePrimaryScreen) {
    RECT area{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    const TLayoutEdges read = PrimaryWorkArea();
    EXPECT_EQ(read.right, area.right);
    EXPECT_EQ(read.bottom, area.bottom);
    const TLayoutEdges fallback = PrimaryWorkArea([](RECT&) { return false; });
    EXPECT_EQ(fallback.left, 0);
    EXPECT_EQ(fallback.top, 0);
    EXPECT_EQ(fallback.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(fallback.bottom, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(fallback.right, 500);
}

// The system moves the window onto a monitor of another scale: it sends
// WM_DPICHANGED with the new DPI and the rectangle it suggests.
TEST(WindowScale, DpiChangedRescalesTheWindowAndMovesItToTheSuggestedRectangle) {
    constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED
    ShownWindow w(L"EN");
    ASSERT_TRUE(w.rendered);
    TFormSale& f = w.form;
    f.CreateHandle();
    ASSERT_NE(f.Handle(), nullptr);
    struct Step {
        int dpi;
        RECT suggested;
        int headlineFont;
    };
    const Step steps[] = {
        {144, {100, 50, 850, 545}, -30},
        {192, {40, 30, 1040, 690}, -40},
        {96, {300, 200, 800, 530}, -20},  // and back: the design again
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.dpi);
        const auto px = [&s](int v) { return ScaleLength(v, s.dpi); };
        ::SendMessageW(f.Handle(), kDpiChanged, MAKEWPARAM(s.dpi, s.dpi),
                       reinterpret_cast<LPARAM>(&s.suggested));
        EXPECT_EQ(f.Dpi(), s.dpi);
        EXPECT_EQ(f.ClientWidth(), px(500));
        EXPECT_EQ(f.ClientHeight(), px(330));
        RECT r{};
        ASSERT_TRUE(::GetWindowRect(f.Handle(), &r));
        EXPECT_EQ(r.left, s.suggested.left);
        EXPECT_EQ(r.top, s.suggested.top);
        EXPECT_EQ(r.right - r.left, px(500));
        EXPECT_EQ(r.bottom - r.top, px(330));
        // Fonts, the description's sizes, the button's slices and text
        // margins, and the layout, all at the new scale.
        EXPECT_EQ(f.lblDes->Font().Height(), s.headlineFont);
        EXPECT_EQ(f.shp->Width(), px(500));
        EXPECT_EQ(f.lblFun2Title->Width(), px(120));
        EXPECT_EQ(f.lblFun3Des->Width(), px(150));
        EXPECT_EQ(f.btnBuy->ImageOption().Left(), px(52));
        EXPECT_EQ(f.btnBuy->ImageOption().Right(), px(52));
        EXPECT_EQ(f.btnBuy->TextLeftMargin(), px(24));
        EXPECT_EQ(f.btnBuy->Height(), px(36));
        EXPECT_EQ(f.btnBuy->Top(), px(260));
        EXPECT_EQ(f.btnBuy->Left(), (px(500) - f.btnBuy->Width()) / 2);
        EXPECT_EQ(f.lblFun1Title->Top(), f.imgFuns->Top() + px(63));
        EXPECT_EQ(f.btnClose->Left(), px(500) - f.btnClose->Width() - 1);
        // The headline's text in its scaled font, measured on its own.
        EXPECT_EQ(f.lblDes->Width(), TahomaMeter(s.headlineFont).Width(f.lblDes->Caption()));
    }
}

}  // namespace
}  // namespace promo
