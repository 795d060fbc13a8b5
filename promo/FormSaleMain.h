// The promotion window (TFormSale): the program's only form, built from its
// window description. Its creation runs the launch checks (DPI request,
// uptime wait, language code, show decision), which may end the program,
// before the description is read; its show handler applies skin, texts and
// layout and brings it to the front. The close and buy buttons end the run.
#pragma once

#include <string>
#include <vector>

#include "controls/PImageNote.h"
#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "ui/Form.h"

namespace promo {

class TFormSale : public TForm {
public:
    enum class Mode {
        Run,      // the program: the launch checks run first
        Preview,  // proof sheets and tests: no launch checks, nothing sent
    };

    // In Run mode runs the launch checks, which may end the program; then
    // reads the window description from the program's resources. A preview
    // is drawn at previewDpi; the program at the DPI the display asks for.
    explicit TFormSale(Mode mode = Mode::Run, std::wstring languageCode = L"EN", int previewDpi = 96);

    // False when the description could not be read (a build fault).
    bool Created() const { return created_; }
    const std::wstring& CreateError() const { return createError_; }

    // Handlers named by the description.
    void FormCreate(TControl* sender);
    void FormShow(TControl* sender);
    void btnCloseClick(TControl* sender);
    void btnBuyClick(TControl* sender);
    void shpMouseDown(TControl* sender, TMouseButton button, TShiftState shift, int x, int y);
    void lblTitleMouseDown(TControl* sender, TMouseButton button, TShiftState shift, int x, int y);
    void imgRegTypeMouseDown(TControl* sender, TMouseButton button, TShiftState shift, int x, int y);

    // Steps of FormShow. ApplyScale draws the window at the DPI it takes
    // (ChooseDpi); ArrangeControls also places the window in its corner
    // unless told to leave it where it is.
    void ApplyScale();
    void ApplySkinColors();
    void ApplyTexts();
    void ArrangeControls(bool placeInCorner = true);
    // The preview's DPI; for the program, the display's (launch/CheckDPIScaled.h)
    // lowered until the window fits the work area (FittingDpi).
    int ChooseDpi();

    // Another monitor's DPI: rescaled at the suggested place. A display or
    // work-area change puts a window the user has not moved back into its
    // corner, at the scale that applies now.
    void DpiChanged(int dpi, const TRect& suggested) override;
    void WorkAreaChanged() override;

    // For accessibility clients: a dialog named by its headline, its texts
    // and buttons in reading order (title, headline, each feature's heading
    // and description, buy, close).
    TAccessibleRole AccessibleRole() const override { return TAccessibleRole::Dialog; }
    std::wstring AccessibleName() const override;
    std::vector<TControl*> AccessibleChildren() const override;

    // The DPI request, the uptime wait, the language code and the show
    // decision; ends the program when the decision is no.
    void RunLaunchChecks();
    bool ShowDecision();
    void SendCampaignStat(bool closedWithCloseButton);
    void DragWindow();

    // The language code from lang.dat ("EN" when missing); after ApplyTexts
    // "EN" when the text table has no section for it.
    std::wstring LanguageCode;

    // The controls, found by name after the description was read.
    TShape* shp = nullptr;
    TRdLabel* lblTitle = nullptr;
    TImage* imgRegType = nullptr;
    TRdLabel* lblDes = nullptr;
    TRdImageButton* btnClose = nullptr;
    TImage* imgFuns = nullptr;
    TRdLabel* lblFun1Title = nullptr;
    TRdLabel* lblFun2Title = nullptr;
    TRdLabel* lblFun3Title = nullptr;
    TRdLabel* lblFun1Des = nullptr;
    TRdLabel* lblFun2Des = nullptr;
    TRdLabel* lblFun3Des = nullptr;
    TRdImageButton* btnBuy = nullptr;
    TImageNote* imgNote = nullptr;
    TImage* img_nl = nullptr;

private:
    void RegisterHandlers();
    bool FindControls();
    void SetUpKeyboard();

    Mode mode_;
    int previewDpi_ = 96;
    bool movedByUser_ = false;  // dragged away from the corner
    bool created_ = false;
    bool controlsFound_ = false;
    std::wstring createError_;
};

}  // namespace promo
