#include "promo/FormSaleMain.h"

#include "controls/ControlClasses.h"
#include "launch/CheckDPIScaled.h"
#include "launch/ShowDecision.h"
#include "launch/Uptime.h"
#include "product/SystemHelpers.h"
#include "promo/CampaignActions.h"
#include "promo/LayoutHelper.h"
#include "promo/LayoutMath.h"
#include "promo/LocalizedTexts.h"
#include "promo/PurchaseLink.h"
#include "support/BuildSettings.h"
#include "support/Timeline.h"
#include "support/WebRoutines.h"
#include "ui/Application.h"
#include "ui/PictureSets.h"

namespace promo {
namespace {

// Skin colours (0x00BBGGRR; all grey or white).
constexpr TColor kBackground = 0x2E2E2E;
constexpr TColor kFrame = 0x000000;
constexpr TColor kTitle = 0xCCCCCC;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kDescription = 0xB3B3B3;

// A skin font: its colour, and its design height at the form's DPI.
void SetFont(TControl* c, TColor color, int height, int dpi) {
    if (!c) return;
    c->Font().SetColor(color);
    c->Font().SetHeight(ScaleLength(height, dpi));
}

TLayoutSize SizeOf(const TControl* c) { return c ? TLayoutSize{c->Width(), c->Height()} : TLayoutSize{}; }

void Place(TControl* c, const TLayoutRect& r) {
    if (c) c->SetBounds(r.left, r.top, r.width, r.height);
}

}  // namespace

TFormSale::TFormSale(Mode mode, std::wstring languageCode, int previewDpi)
    : TForm(L"TFormSale"), LanguageCode(std::move(languageCode)), mode_(mode), previewDpi_(previewDpi) {
    RegisterHandlers();
    // The launch checks come before the description is read: building the
    // controls measures their texts, which brings up the font engine and the
    // display connection, and most runs end at the decision (the marker of an
    // earlier dismissal is there). Reading it has no effect outside the
    // process, so the order of what the run does on the system is the same.
    if (mode_ == Mode::Run) RunLaunchChecks();
    created_ = InitializeFromResource(ControlClasses(), L"TFORMSALE", createError_);
}

void TFormSale::RegisterHandlers() {
    RegisterHandler(L"FormCreate", this, &TFormSale::FormCreate);
    RegisterHandler(L"FormShow", this, &TFormSale::FormShow);
    RegisterHandler(L"btnCloseClick", this, &TFormSale::btnCloseClick);
    RegisterHandler(L"btnBuyClick", this, &TFormSale::btnBuyClick);
    RegisterHandler(L"shpMouseDown", this, &TFormSale::shpMouseDown);
    RegisterHandler(L"lblTitleMouseDown", this, &TFormSale::lblTitleMouseDown);
    RegisterHandler(L"imgRegTypeMouseDown", this, &TFormSale::imgRegTypeMouseDown);
}

bool TFormSale::FindControls() {
    shp = FindChild<TShape>(L"shp");
    lblTitle = FindChild<TRdLabel>(L"lblTitle");
    imgRegType = FindChild<TImage>(L"imgRegType");
    lblDes = FindChild<TRdLabel>(L"lblDes");
    btnClose = FindChild<TRdImageButton>(L"btnClose");
    imgFuns = FindChild<TImage>(L"imgFuns");
    lblFun1Title = FindChild<TRdLabel>(L"lblFun1Title");
    lblFun2Title = FindChild<TRdLabel>(L"lblFun2Title");
    lblFun3Title = FindChild<TRdLabel>(L"lblFun3Title");
    lblFun1Des = FindChild<TRdLabel>(L"lblFun1Des");
    lblFun2Des = FindChild<TRdLabel>(L"lblFun2Des");
    lblFun3Des = FindChild<TRdLabel>(L"lblFun3Des");
    btnBuy = FindChild<TRdImageButton>(L"btnBuy");
    imgNote = FindChild<TImageNote>(L"imgNote");
    img_nl = FindChild<TImage>(L"img_nl");
    return shp && lblTitle && imgRegType && lblDes && btnClose && imgFuns && lblFun1Title && lblFun2Title &&
           lblFun3Title && lblFun1Des && lblFun2Des && lblFun3Des && btnBuy && imgNote && img_nl;
}

void TFormSale::SetUpKeyboard() {
    // Tab reaches the buy button first, then the close button; Esc is the
    // close button. Nothing has the focus until Tab, so an Enter typed for
    // another program as the window comes to the front presses nothing.
    if (btnBuy) btnBuy->SetTabOrder(0);
    if (btnClose) btnClose->SetTabOrder(1);
    SetCancelControl(btnClose);
}

std::wstring TFormSale::AccessibleName() const { return lblDes ? lblDes->Caption() : Caption(); }

std::vector<TControl*> TFormSale::AccessibleChildren() const {
    std::vector<TControl*> list;
    for (TControl* c :
         std::initializer_list<TControl*>{lblTitle, lblDes, lblFun1Title, lblFun1Des, lblFun2Title,
                                          lblFun2Des, lblFun3Title, lblFun3Des, btnBuy, btnClose})
        if (c && c->Visible()) list.push_back(c);
    return list;
}

void TFormSale::FormCreate(TControl*) {
    controlsFound_ = FindControls();
    SetUpKeyboard();
}

void TFormSale::RunLaunchChecks() {
    RequestDpiAwareness();
    WaitForUptime(
        GetBuildSettings().minUptimeMs, &SystemUptimeMs, [] { return SessionAgeMs(); },
        [] {
            ::Sleep(1000);
            Application().ProcessMessages();
        });
    TimelineMark(L"uptime-wait");
    LanguageCode = ReadLanguageCode();
    if (!ShowDecision()) EndProgramNow();
    TimelineMark(L"decision");
}

bool TFormSale::ShowDecision() { return promo::ShowDecision(); }

void TFormSale::FormShow(TControl*) {
    TimelineMark(L"form-show");
    if (mode_ == Mode::Run && Application().Handle()) ::ShowWindow(Application().Handle(), SW_HIDE);
    ApplyScale();
    ApplySkinColors();
    ApplyTexts();
    TimelineMark(L"texts");
    ArrangeControls();
    TimelineMark(L"layout");
    if (mode_ == Mode::Run && !BringWindowToFront(Handle())) AppearWithoutKeyboard();
}

int TFormSale::ChooseDpi() {
    if (mode_ == Mode::Preview) return previewDpi_;
    const TLayoutEdges area = PrimaryWorkArea();
    return FittingDpi(CurrentWindowDpi(Handle()), {area.right - area.left, area.bottom - area.top});
}

void TFormSale::ApplyScale() { ChangeScale(ChooseDpi()); }

void TFormSale::DpiChanged(int dpi, const TRect& suggested) {
    ChangeScale(dpi);
    ApplySkinColors();
    ArrangeControls(false);
    SetBounds(suggested.Left, suggested.Top, Width(), Height());
}

void TFormSale::WorkAreaChanged() {
    if (mode_ != Mode::Run || movedByUser_ || !Handle() || !::IsWindowVisible(Handle())) return;
    const int dpi = ChooseDpi();
    if (dpi != Dpi()) {
        ChangeScale(dpi);
        ApplySkinColors();
    }
    ArrangeControls();
}

void TFormSale::ApplySkinColors() {
    SetColor(kBackground);
    if (shp) {
        shp->SetBrushColor(kBackground);
        shp->SetPenColor(kFrame);
    }
    const int dpi = Dpi();
    SetFont(lblTitle, kTitle, -13, dpi);
    SetFont(lblDes, kWhite, -20, dpi);
    for (TRdLabel* l : {lblFun1Title, lblFun2Title, lblFun3Title}) SetFont(l, kWhite, -12, dpi);
    for (TRdLabel* l : {lblFun1Des, lblFun2Des, lblFun3Des}) SetFont(l, kDescription, -12, dpi);
    SetFont(btnBuy, kWhite, -15, dpi);

    if (imgRegType && imgNote) {
        TPictureCollection& items = imgNote->Items();
        for (int i = 0; i < items.Count(); ++i)
            if (items[i]->Name == L"Picture_0") imgRegType->Picture().Assign(items[i]->Picture());
    }
    if (imgFuns && img_nl && LowerLanguageCode(LanguageCode) == L"nl")
        imgFuns->Picture().Assign(img_nl->Picture());
}

void TFormSale::ApplyTexts() {
    const TLocalizedTexts texts = LoadTexts(LanguageCode);
    LanguageCode = texts.languageCode;
    if (btnClose) btnClose->SetHint(texts.Get(TextId::btnclose));
    const std::pair<TControl*, TextId> captions[] = {
        {lblTitle, TextId::lblTitle},
        {lblDes, TextId::lblDes},
        {lblFun1Title, TextId::lblFun1Title},
        {lblFun1Des, TextId::lblFun1Des},
        {lblFun2Title, TextId::lblFun2Title},
        {lblFun2Des, TextId::lblFun2Des},
        {lblFun3Title, TextId::lblFun3Title},
        {lblFun3Des, TextId::lblFun3Des},
        {btnBuy, TextId::btnBuy},
    };
    for (const auto& [control, id] : captions)
        if (control) control->SetCaption(texts.Get(id));
}

void TFormSale::ArrangeControls(bool placeInCorner) {
    if (!controlsFound_) return;  // a description without them: leave the design layout
    TLayoutInput in;
    in.dpi = Dpi();
    in.form = {ClientWidth(), ClientHeight()};
    in.btnClose = SizeOf(btnClose);
    in.lblTitle = SizeOf(lblTitle);
    in.imgRegType = SizeOf(imgRegType);
    in.lblDes = SizeOf(lblDes);
    in.imgFuns = SizeOf(imgFuns);
    // A heading as tall as its font's line keeps its descenders ("0 руб.").
    TRdLabel* headings[] = {lblFun1Title, lblFun2Title, lblFun3Title};
    for (int i = 0; i < 3; ++i) in.funTitles[i] = {headings[i]->Width(), LabelLineHeight(*headings[i])};
    in.funDescriptions = {SizeOf(lblFun1Des), SizeOf(lblFun2Des), SizeOf(lblFun3Des)};
    // The button re-measured itself when its font and caption changed, which
    // left its font on its drawing surface.
    in.btnBuyCaptionWidth = btnBuy->Canvas().TextWidth(btnBuy->Caption());
    in.btnBuyHeight = btnBuy->Height();
    in.workArea = PrimaryWorkArea();

    const TLayoutResult out = ArrangeLayout(in);
    Place(btnBuy, out.btnBuy);
    Place(btnClose, out.btnClose);
    Place(lblTitle, out.lblTitle);
    Place(imgRegType, out.imgRegType);
    Place(lblDes, out.lblDes);
    Place(imgFuns, out.imgFuns);
    TRdLabel* titles[] = {lblFun1Title, lblFun2Title, lblFun3Title};
    TRdLabel* descriptions[] = {lblFun1Des, lblFun2Des, lblFun3Des};
    for (int i = 0; i < 3; ++i) {
        Place(titles[i], out.funTitles[i]);
        descriptions[i]->SetBounds(out.funDescriptions[i].left, out.funDescriptions[i].top,
                                   descriptions[i]->Width(), descriptions[i]->Height());
    }
    for (int i = 0; i < 3; ++i) {
        const int width = ScaleLength(kDescriptionWidths[i], Dpi());
        FitLabelText(*descriptions[i], width, kDescriptionLines, TEllipsisPosition::epEndEllipsis);
        descriptions[i]->Constraints().SetMinWidth(width);
        descriptions[i]->Constraints().SetMaxWidth(width);
        descriptions[i]->SetAutoSize(false);
        descriptions[i]->SetAlignment(TAlignment::taCenter);
    }
    if (placeInCorner) SetBounds(out.windowLeft, out.windowTop, Width(), Height());
}

void TFormSale::DragWindow() {
    RECT before{}, after{};
    ::GetWindowRect(Handle(), &before);
    ::ReleaseCapture();
    // The system's move loop returns when the user lets go.
    ::SendMessageW(Handle(), WM_SYSCOMMAND, 0xF012, 0);
    ::GetWindowRect(Handle(), &after);
    if (before.left != after.left || before.top != after.top) movedByUser_ = true;
}

void TFormSale::shpMouseDown(TControl*, TMouseButton, TShiftState, int, int) { DragWindow(); }
void TFormSale::lblTitleMouseDown(TControl*, TMouseButton, TShiftState, int, int) { DragWindow(); }
void TFormSale::imgRegTypeMouseDown(TControl*, TMouseButton, TShiftState, int, int) { DragWindow(); }

void TFormSale::SendCampaignStat(bool closedWithCloseButton) {
    if (mode_ == Mode::Run) promo::SendCampaignStat(LanguageCode, closedWithCloseButton);
}

void TFormSale::btnCloseClick(TControl*) {
    Hide();
    SendCampaignStat(true);
    Close();
}

void TFormSale::btnBuyClick(TControl*) {
    Hide();
    if (mode_ == Mode::Run) OpenUrlInBrowser(PurchaseAddress(LanguageCode));
    SendCampaignStat(false);
    Close();
}

}  // namespace promo
