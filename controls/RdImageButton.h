// The image button: a windowless push button drawn from one picture per
// state (normal, over, pressed, disabled, selected) sliced to its size by
// ImageOption, with a caption inside left/right text margins, and optional
// icon, check box, expand picture and hit-test mask.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "controls/CaptionLayout.h"
#include "controls/RdLabel.h"
#include "controls/RdScrollBar.h"
#include "ui/Control.h"

namespace promo {

enum class TRdButtonState { Normal = 0, Down = 1, Disabled = 2, Selected = 3 };
enum class TRdIconState { Normal = 0, Down = 1, Hover = 2, Disabled = 3, Selected = 4 };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// Would redirect the button's pictures to a shared skin catalogue; there is
// none in this program, so it never reports itself linked.
class TRdSkinLink {
public:
    std::wstring Name;
    bool Linked() const { return false; }
};

class TRdImageButton : public TControl {
public:
    TRdImageButton();

    // Face pictures and their slicing.
    TPicture& ImageNormal() { return imageNormal_; }
    TPicture& ImageOver() { return imageOver_; }
    TPicture& ImageDown() { return imageDown_; }
    TPicture& ImageDisabled() { return imageDisabled_; }
    TPicture& ImageSelected() { return imageSelected_; }
    TPicture& ImageRange() { return imageRange_; }
    TPicture& ExpandImage() { return expandImage_; }
    TDesignRect& ImageOption() { return imageOption_; }

    // Icons: Up set (used while Expand) and Dn set, by TRdIconState.
    TPicture& UpIcon(TRdIconState s) { return upIcons_[static_cast<int>(s)]; }
    TPicture& DnIcon(TRdIconState s) { return dnIcons_[static_cast<int>(s)]; }
    // Check box pictures.
    TPicture& CheckBoxNormalImage() { return checkNormal_; }
    TPicture& CheckBoxCheckedImage() { return checkChecked_; }
    TPicture& CheckBoxGrayedImage() { return checkGrayed_; }
    TPicture& CheckBoxCheckedGrayedImage() { return checkCheckedGrayed_; }

    TRdButtonState ButtonState() const { return state_; }
    void SetButtonState(TRdButtonState v);
    bool Hovering() const { return hovering_; }
    TRdIconState IconState() const { return iconState_; }
    void SetIconState(TRdIconState v);

    int TextLeftMargin() const { return textLeftMargin_; }
    void SetTextLeftMargin(int v) { SetLayoutInt(textLeftMargin_, v); }
    int TextRightMargin() const { return textRightMargin_; }
    void SetTextRightMargin(int v) { SetLayoutInt(textRightMargin_, v); }
    int TextTopMargin() const { return textTopMargin_; }
    void SetTextTopMargin(int v) { SetLayoutInt(textTopMargin_, v); }
    TAlignment ButtonCaptionAlignment() const { return captionAlignment_; }
    void SetButtonCaptionAlignment(TAlignment v);
    int TextOffset() const { return textOffset_; }
    void SetTextOffset(int v) { SetLayoutInt(textOffset_, v); }
    int TextTopOffset() const { return textTopOffset_; }
    void SetTextTopOffset(int v) { SetLayoutInt(textTopOffset_, v); }
    TAlignment TextWarpAlign() const { return textWarpAlign_; }
    void SetTextWarpAlign(TAlignment v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { SetLayoutBool(wordWrap_, v); }
    bool EllipsisByHeight() const { return ellipsisByHeight_; }
    void SetEllipsisByHeight(bool v) { SetRepaintBool(ellipsisByHeight_, v); }
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v) { SetLayoutBool(showAccelChar_, v); }

    TColor FontHoverColor() const { return fontHoverColor_; }
    void SetFontHoverColor(TColor v) { fontHoverColor_ = v; }
    TColor FontDownColor() const { return fontDownColor_; }
    void SetFontDownColor(TColor v) { fontDownColor_ = v; }
    TColor FontDisabledColor() const { return fontDisabledColor_; }
    void SetFontDisabledColor(TColor v);
    TColor FontSelectedColor() const { return fontSelectedColor_; }
    void SetFontSelectedColor(TColor v);
    bool FontAntialiased() const { return fontAntialiased_; }
    void SetFontAntialiased(bool v);
    bool AutoShowHint() const { return autoShowHint_; }
    void SetAutoShowHint(bool v);

    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool v) { SetLayoutBool(iconVisible_, v); }
    TAlignment IconAlign() const { return iconAlign_; }
    void SetIconAlign(TAlignment v);
    TVerticalAlignment IconAlignY() const { return iconAlignY_; }
    void SetIconAlignY(TVerticalAlignment v);
    int IconOffset() const { return iconOffset_; }
    void SetIconOffset(int v);
    int IconOffsetY() const { return iconOffsetY_; }
    void SetIconOffsetY(int v);
    // Cursor over the icon rectangle (0: none, the control's own stays).
    TCursor IconCursor = crDefault;
    bool IconFullClick = false;
    bool IconLockBySelected = true;
    bool Expand() const { return expand_; }
    void SetExpand(bool v) { SetRepaintBool(expand_, v); }

    bool ShowCheckBox() const { return showCheckBox_; }
    void SetShowCheckBox(bool v) { SetLayoutBool(showCheckBox_, v); }
    bool Checked() const { return checkState_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool v);
    TCheckBoxState CheckState() const { return checkState_; }
    void SetCheckState(TCheckBoxState v);
    TAlignment CheckBoxAlignX() const { return checkAlignX_; }
    void SetCheckBoxAlignX(TAlignment v);
    TVerticalAlignment CheckBoxAlignY() const { return checkAlignY_; }
    void SetCheckBoxAlignY(TVerticalAlignment v);
    int CheckBoxOffset() const { return checkOffset_; }
    void SetCheckBoxOffset(int v) { SetCheckInt(checkOffset_, v); }
    int CheckBoxOffsetY() const { return checkOffsetY_; }
    void SetCheckBoxOffsetY(int v) { SetCheckInt(checkOffsetY_, v); }
    bool CheckBoxFullClick() const { return checkFullClick_; }
    void SetCheckBoxFullClick(bool v);
    // Cursor over the check box (0: none).
    TCursor CheckBoxCursor = crDefault;

    bool AutoSizeByText() const { return autoSizeByText_; }
    void SetAutoSizeByText(bool v);

    // Stored and streamed, not drawn.
    const std::wstring& SubCaption() const { return subCaption_; }
    void SetSubCaption(const std::wstring& v);
    const std::wstring& SubCaptionData() const { return subCaptionData_; }
    void SetSubCaptionData(const std::wstring& v);
    TFont& SubCaptionFont() { return subCaptionFont_; }
    TFont& SubCaptionDataFont() { return subCaptionDataFont_; }
    int SubCaptionOffset() const { return subCaptionOffset_; }
    void SetSubCaptionOffset(int v);

    const TRdSkinLink& SkinLink() const { return skinLink_; }

    bool FoundTextEllipsis() const { return foundEllipsis_; }
    bool FoundTextWordBreak() const { return foundWordBreak_; }

    TNotifyEvent OnMouseExit;
    TNotifyEvent OnPaintImage;
    TNotifyEvent OnPaintEnd;
    TNotifyEvent OnCaptionChanged;
    TNotifyEvent OnCheckedChanged;
    TNotifyEvent IconOnClick;
    TNotifyEvent CheckBoxOnClick;
    THintEvent OnShowHint;

    // Lays the caption out again, measured on an off-screen context through
    // the button's own canvas (which keeps the button's font afterwards);
    // with AutoSizeByText also resizes the button to its caption.
    void RefreshButtonLayout();

    // Its slice margins and text margins scale with it.
    void ScaleTo(int dpi, const TPictureSource& pictures) override;
    std::vector<TPicture*> PictureProperties() override;

    bool HitTest(int x, int y) override;
    bool DoShowHint(std::wstring& hint) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    void DblClick() override;

    // A push button for accessibility clients; its default action presses it.
    TAccessibleRole AccessibleRole() const override { return TAccessibleRole::PushButton; }
    std::wstring AccessibleDefaultAction() const override { return L"Press"; }

protected:
    void PaintFocusCue(TCanvas& canvas) override;
    void Paint(TCanvas& canvas) override;
    void Loaded() override;
    void KeepDesign() override;
    void Resize() override;
    void FontChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    bool CanAutoSize(int& width, int& height) override;

private:
    enum class PictureKind { Face, Icon, Check, Expand };
    void PictureChanged(TPicture* picture, PictureKind kind);
    void SetLayoutInt(int& field, int v);
    void SetLayoutBool(bool& field, bool v);
    void SetRepaintBool(bool& field, bool v);
    void SetCheckInt(int& field, int v);
    void SetHovering(bool v);
    void ApplyAntialias();
    // What the caption layout (controls/CaptionLayout.h) places.
    TButtonCaption CaptionSettings() const;
    TPicturePlace IconPlace() const;
    // Lays the caption out on dc, keeping what the mouse and hint need.
    void PlaceCaptionOn(HDC dc);
    void KeepPlacement(const TCaptionPlacement& placed);
    TRect IconRect() const;
    TPicture& IconOf(bool up, TRdIconState s) { return (up ? upIcons_ : dnIcons_)[static_cast<int>(s)]; }
    // The check box's picture in its state; nullptr when it has none.
    const TPicture* CheckPicture() const;
    void DrawIcon(TCanvas& canvas, const TRect& rect);
    bool OnIcon(int x, int y) const;
    bool OnCheckBox(int x, int y) const { return showCheckBox_ && checkRect_.Contains(x, y); }
    void ToggleCheckBox();
    void RebuildMask();
    // Shows cursor, keeping the one it replaces in saved (once).
    void SwitchCursor(std::optional<TCursor>& saved, TCursor cursor);
    void RestoreCursor(std::optional<TCursor>& saved);

    TPicture imageNormal_, imageOver_, imageDown_, imageDisabled_, imageSelected_, imageRange_, expandImage_;
    TPicture upIcons_[5], dnIcons_[5];
    TPicture checkNormal_, checkChecked_, checkGrayed_, checkCheckedGrayed_;
    TDesignRect imageOption_;
    // The faces painting draws, refreshed when the normal/over pictures change.
    std::shared_ptr<const TBitmapImage> normalCopy_, overCopy_;
    DecodedImage mask_;  // ImageRange sliced to the button's size

    TRdButtonState state_ = TRdButtonState::Normal;
    bool hovering_ = false;
    TRdIconState iconState_ = TRdIconState::Normal;
    TRdIconState enterIconState_ = TRdIconState::Normal;
    int textLeftMargin_ = 0, textRightMargin_ = 0, textTopMargin_ = 0;
    TAlignment captionAlignment_ = TAlignment::taCenter;
    int textOffset_ = 20, textTopOffset_ = 0;
    TAlignment textWarpAlign_ = TAlignment::taLeftJustify;
    bool wordWrap_ = false, ellipsisByHeight_ = false, showAccelChar_ = true;
    TColor fontHoverColor_ = clNoOverride, fontDownColor_ = clNoOverride;
    TColor fontDisabledColor_ = cl3DDkShadow, fontSelectedColor_ = clNoOverride;
    bool fontAntialiased_ = false, autoShowHint_ = false;
    bool iconVisible_ = true;
    TAlignment iconAlign_ = TAlignment::taRightJustify;
    TVerticalAlignment iconAlignY_ = TVerticalAlignment::taVerticalCenter;
    int iconOffset_ = 10, iconOffsetY_ = 0;
    bool expand_ = false;
    bool showCheckBox_ = false;
    TCheckBoxState checkState_ = TCheckBoxState::cbUnchecked;
    TAlignment checkAlignX_ = TAlignment::taLeftJustify;
    TVerticalAlignment checkAlignY_ = TVerticalAlignment::taVerticalCenter;
    int checkOffset_ = 10, checkOffsetY_ = 0;
    bool checkFullClick_ = true;
    bool autoSizeByText_ = false;
    std::wstring subCaption_, subCaptionData_;
    TFont subCaptionFont_, subCaptionDataFont_;
    int subCaptionOffset_ = 50;
    TRdSkinLink skinLink_;

    // Design values ScaleTo starts from: slice margins (left, top, right,
    // bottom), text margins (left, right, top).
    int designSlices_[4] = {}, designTextMargins_[3] = {};

    bool foundEllipsis_ = false, foundWordBreak_ = false;
    bool measuring_ = false, antialiasGuard_ = false;
    bool clickSwallowed_ = false;  // the press toggled the check box only
    TRect checkRect_;
    TPoint lastMouse_;
    // The cursors replaced over the check box and over the icon.
    std::optional<TCursor> savedCursor_, savedIconCursor_;
};

}  // namespace promo
