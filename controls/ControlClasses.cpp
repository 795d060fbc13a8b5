// The class table of the window description: every class a description may
// name, each published property with its declared default, in one place,
// written with the framework's property binding (ui/PropertyBinding.h).
// ControlClassesTest checks that a new object has exactly these defaults.
#include "controls/ControlClasses.h"

#include <initializer_list>
#include <utility>

#include "controls/PImageNote.h"
#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PropertyBinding.h"

namespace promo {
namespace {

using namespace binding;

constexpr TNameValue kAlignments[] = {NV(L"taLeftJustify", TAlignment::taLeftJustify),
                                      NV(L"taRightJustify", TAlignment::taRightJustify),
                                      NV(L"taCenter", TAlignment::taCenter),
                                      {nullptr, 0}};
constexpr TNameValue kVerticalAlignments[] = {NV(L"taAlignTop", TVerticalAlignment::taAlignTop),
                                              NV(L"taAlignBottom", TVerticalAlignment::taAlignBottom),
                                              NV(L"taVerticalCenter", TVerticalAlignment::taVerticalCenter),
                                              {nullptr, 0}};
constexpr TNameValue kAligns[] = {NV(L"alNone", TAlign::alNone),     NV(L"alTop", TAlign::alTop),
                                  NV(L"alBottom", TAlign::alBottom), NV(L"alLeft", TAlign::alLeft),
                                  NV(L"alRight", TAlign::alRight),   NV(L"alClient", TAlign::alClient),
                                  NV(L"alCustom", TAlign::alCustom), {nullptr, 0}};
constexpr TNameValue kStretchModes[] = {NV(L"sdmDefault", TSuperStretchMode::sdmDefault),
                                        NV(L"sdmStretch", TSuperStretchMode::sdmStretch),
                                        NV(L"sdmFill", TSuperStretchMode::sdmFill),
                                        NV(L"sdmFrame", TSuperStretchMode::sdmFrame),
                                        {nullptr, 0}};
constexpr TNameValue kAnchors[] = {NV(L"akLeft", akLeft),
                                   NV(L"akTop", akTop),
                                   NV(L"akRight", akRight),
                                   NV(L"akBottom", akBottom),
                                   {nullptr, 0}};
constexpr TNameValue kBrushStyles[] = {
    NV(L"bsSolid", TBrushStyle::bsSolid), NV(L"bsClear", TBrushStyle::bsClear), {nullptr, 0}};
constexpr TNameValue kBorderStyles[] = {NV(L"bsNone", TFormBorderStyle::bsNone),
                                        NV(L"bsSingle", TFormBorderStyle::bsSingle),
                                        NV(L"bsSizeable", TFormBorderStyle::bsSizeable),
                                        NV(L"bsDialog", TFormBorderStyle::bsDialog),
                                        NV(L"bsToolWindow", TFormBorderStyle::bsToolWindow),
                                        NV(L"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin),
                                        {nullptr, 0}};
constexpr TNameValue kEllipsisPositions[] = {NV(L"epNone", TEllipsisPosition::epNone),
                                             NV(L"epPathEllipsis", TEllipsisPosition::epPathEllipsis),
                                             NV(L"epEndEllipsis", TEllipsisPosition::epEndEllipsis),
                                             NV(L"epWordEllipsis", TEllipsisPosition::epWordEllipsis),
                                             {nullptr, 0}};
constexpr TNameValue kDragKinds[] = {
    NV(L"dkDrag", TDragKind::dkDrag), NV(L"dkDock", TDragKind::dkDock), {nullptr, 0}};
constexpr TNameValue kDragModes[] = {
    NV(L"dmManual", TDragMode::dmManual), NV(L"dmAutomatic", TDragMode::dmAutomatic), {nullptr, 0}};
constexpr TNameValue kTextLayouts[] = {NV(L"tlTop", TTextLayout::tlTop),
                                       NV(L"tlCenter", TTextLayout::tlCenter),
                                       NV(L"tlBottom", TTextLayout::tlBottom),
                                       {nullptr, 0}};
constexpr TNameValue kBiDiModes[] = {NV(L"bdLeftToRight", TBiDiMode::bdLeftToRight),
                                     NV(L"bdRightToLeft", TBiDiMode::bdRightToLeft),
                                     NV(L"bdRightToLeftNoAlign", TBiDiMode::bdRightToLeftNoAlign),
                                     NV(L"bdRightToLeftReadingOnly", TBiDiMode::bdRightToLeftReadingOnly),
                                     {nullptr, 0}};
constexpr TNameValue kCheckStates[] = {NV(L"cbUnchecked", TCheckBoxState::cbUnchecked),
                                       NV(L"cbChecked", TCheckBoxState::cbChecked),
                                       NV(L"cbGrayed", TCheckBoxState::cbGrayed),
                                       {nullptr, 0}};

// The margins of a sliced picture (TDesignRect), a value kind of the skinned
// controls: the four margins by index 0..3, the stretch mode by index 4.
using RectAccess = TDesignRect& (*)(TComponent&);

bool SetMargin(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    TDesignRect& rect = As<RectAccess>(p.Read)(c);
    int i;
    if (p.Index < 4) {
        if (!IntOf(v, i)) return false;
        rect.SetMargin(p.Index, i);
    } else {
        if (!EnumOf(v, kStretchModes, i)) return false;
        rect.SetStretchMode(static_cast<TSuperStretchMode>(i));
    }
    return true;
}
TDescValue GetMargin(const P& p, TComponent& c) {
    const TDesignRect& r = As<RectAccess>(p.Read)(c);
    switch (p.Index) {
        case 0:
            return IntV(r.Left());
        case 1:
            return IntV(r.Top());
        case 2:
            return IntV(r.Right());
        case 3:
            return IntV(r.Bottom());
        default:
            return EnumV(kStretchModes, static_cast<int>(r.StretchMode()));
    }
}
void AddMargins(TClassInfo& info, const std::wstring& prefix, RectAccess rect) {
    const P::Accessor read = Erase(rect);
    const wchar_t* names[] = {L".Left", L".Top", L".Right", L".Bottom"};
    for (int i = 0; i < 4; ++i)
        AddProperty(info, prefix + names[i], IntV(0), SetMargin, GetMargin, read, nullptr, nullptr, i);
    AddProperty(info, prefix + L".StretchMode",
                EnumV(kStretchModes, static_cast<int>(TSuperStretchMode::sdmDefault)), SetMargin, GetMargin,
                read, nullptr, nullptr, 4);
}
template <typename C, typename G>
void Margins(Builder<C>& b, const std::wstring& prefix, G) {
    AddMargins(b.Info(), prefix, [](TComponent& c) -> TDesignRect& { return G{}(static_cast<C&>(c)); });
}

void PopupMenuProperties(TClassInfo& info) {
    using C = TControl;
    Builder<C> b(info);
    b.Add(
        L"PopupMenu", IdentV(L""),
        [](C& c, const TDescValue& v, TReadContext& ctx) {
            return DeferReference<TPopupMenu>(v, ctx, L"popup menu",
                                              [&c](TPopupMenu* m) { c.SetPopupMenu(m); });
        },
        [](C& c) { return IdentV(c.PopupMenu() ? c.PopupMenu()->Name : L""); });
    b.ContextPopup(L"OnContextPopup", [](C& c) -> TContextPopupEvent& { return c.OnContextPopup; });
}

void BiDiProperties(TClassInfo& info) {
    using C = TControl;
    Builder<C> b(info);
    b.Enum<TBiDiMode>(
        L"BiDiMode", TBiDiMode::bdLeftToRight, kBiDiModes, [](C& c) { return c.BiDiMode(); },
        [](C& c, TBiDiMode v) { c.SetBiDiMode(v); });
    b.Bool(
        L"ParentBiDiMode", true, [](C& c) { return c.ParentBiDiMode(); },
        [](C& c, bool v) { c.SetParentBiDiMode(v); });
}

// The windowless control base's published properties (all of TControl, so
// registered once for every control class).
void ControlBase(TClassInfo& info, int width, int height, TColor color = clBtnFace) {
    using C = TControl;
    Builder<C> b(info);
    b.Int(
        L"Left", 0, [](C& c) { return c.Left(); }, [](C& c, int v) { c.SetLeft(v); });
    b.Int(
        L"Top", 0, [](C& c) { return c.Top(); }, [](C& c, int v) { c.SetTop(v); });
    b.Int(
        L"Width", width, [](C& c) { return c.Width(); }, [](C& c, int v) { c.SetWidth(v); });
    b.Int(
        L"Height", height, [](C& c) { return c.Height(); }, [](C& c, int v) { c.SetHeight(v); });
    b.Enum<TAlign>(
        L"Align", TAlign::alNone, kAligns, [](C& c) { return c.Align(); },
        [](C& c, TAlign v) { c.SetAlign(v); });
    b.Set(
        L"Anchors", akLeft | akTop, kAnchors, [](C& c) { return c.Anchors(); },
        [](C& c, unsigned v) { c.SetAnchors(v); });
    b.Int(
        L"Constraints.MinWidth", 0, [](C& c) { return c.Constraints().MinWidth(); },
        [](C& c, int v) { c.Constraints().SetMinWidth(v); });
    b.Int(
        L"Constraints.MaxWidth", 0, [](C& c) { return c.Constraints().MaxWidth(); },
        [](C& c, int v) { c.Constraints().SetMaxWidth(v); });
    b.Int(
        L"Constraints.MinHeight", 0, [](C& c) { return c.Constraints().MinHeight(); },
        [](C& c, int v) { c.Constraints().SetMinHeight(v); });
    b.Int(
        L"Constraints.MaxHeight", 0, [](C& c) { return c.Constraints().MaxHeight(); },
        [](C& c, int v) { c.Constraints().SetMaxHeight(v); });
    b.Color(
        L"Color", color, [](C& c) { return c.Color(); }, [](C& c, TColor v) { c.SetColor(v); });
    b.Bool(
        L"ParentColor", false, [](C& c) { return c.ParentColor(); },
        [](C& c, bool v) { c.SetParentColor(v); });
    b.Font(L"Font", [](C& c) -> TFont& { return c.Font(); });
    b.Bool(
        L"ParentFont", true, [](C& c) { return c.ParentFont(); }, [](C& c, bool v) { c.SetParentFont(v); });
    b.Bool(
        L"Enabled", true, [](C& c) { return c.Enabled(); }, [](C& c, bool v) { c.SetEnabled(v); });
    b.Bool(
        L"Visible", true, [](C& c) { return c.Visible(); }, [](C& c, bool v) { c.SetVisible(v); });
    b.Str(
        L"Hint", [](C& c) { return c.Hint(); }, [](C& c, const std::wstring& v) { c.SetHint(v); });
    b.Bool(
        L"ShowHint", false, [](C& c) { return c.ShowHint(); }, [](C& c, bool v) { c.SetShowHint(v); });
    b.Bool(
        L"ParentShowHint", true, [](C& c) { return c.ParentShowHint(); },
        [](C& c, bool v) { c.SetParentShowHint(v); });
    b.Notify(L"OnClick", [](C& c) -> TNotifyEvent& { return c.OnClick; });
    b.Notify(L"OnDblClick", [](C& c) -> TNotifyEvent& { return c.OnDblClick; });
    b.Mouse(L"OnMouseDown", [](C& c) -> TMouseEvent& { return c.OnMouseDown; });
    b.Mouse(L"OnMouseUp", [](C& c) -> TMouseEvent& { return c.OnMouseUp; });
    b.MouseMove(L"OnMouseMove", [](C& c) -> TMouseMoveEvent& { return c.OnMouseMove; });
    b.Notify(L"OnMouseEnter", [](C& c) -> TNotifyEvent& { return c.OnMouseEnter; });
    PopupMenuProperties(info);
}
void Caption(TClassInfo& info) {
    Builder<TControl>(info).Str(
        L"Caption", [](TControl& c) { return c.Caption(); },
        [](TControl& c, const std::wstring& v) { c.SetCaption(v); });
}
void PictureBase(TClassInfo& info) {
    Builder<TCustomImage> b(info);
    b.Bool(
        L"AutoSize", false, [](TCustomImage& c) { return c.AutoSize(); },
        [](TCustomImage& c, bool v) { c.SetAutoSize(v); });
    b.Picture(L"Picture", [](TCustomImage& c) -> TPicture& { return c.Picture(); });
}

void FormClass(std::vector<TClassInfo>& table) {
    Builder<TForm> b(NewClass<TForm>(table, L"TForm", false));
    b.Int(
        L"Left", 0, [](TForm& f) { return f.Left(); }, [](TForm& f, int v) { f.SetLeft(v); });
    b.Int(
        L"Top", 0, [](TForm& f) { return f.Top(); }, [](TForm& f, int v) { f.SetTop(v); });
    b.Int(
        L"ClientWidth", 320, [](TForm& f) { return f.ClientWidth(); },
        [](TForm& f, int v) { f.SetClientWidth(v); });
    b.Int(
        L"ClientHeight", 240, [](TForm& f) { return f.ClientHeight(); },
        [](TForm& f, int v) { f.SetClientHeight(v); });
    b.Str(
        L"Caption", [](TForm& f) { return f.Caption(); },
        [](TForm& f, const std::wstring& v) { f.SetCaption(v); });
    b.Color(
        L"Color", clBtnFace, [](TForm& f) { return f.Color(); }, [](TForm& f, TColor v) { f.SetColor(v); });
    b.Font(L"Font", [](TForm& f) -> TFont& { return f.Font(); });
    b.template Enum<TFormBorderStyle>(
        L"BorderStyle", TFormBorderStyle::bsSizeable, kBorderStyles, [](TForm& f) { return f.BorderStyle(); },
        [](TForm& f, TFormBorderStyle v) { f.SetBorderStyle(v); });
    b.Bool(
        L"Scaled", true, [](TForm& f) { return f.Scaled; }, [](TForm& f, bool v) { f.Scaled = v; });
    b.Int(
        L"PixelsPerInch", 96, [](TForm& f) { return f.PixelsPerInch; },
        [](TForm& f, int v) { f.PixelsPerInch = v; });
    b.Str(
        L"Hint", [](TForm& f) { return f.Hint(); }, [](TForm& f, const std::wstring& v) { f.SetHint(v); });
    b.Bool(
        L"ShowHint", false, [](TForm& f) { return f.ShowHint(); },
        [](TForm& f, bool v) { f.SetShowHint(v); });
    b.Notify(L"OnCreate", [](TForm& f) -> TNotifyEvent& { return f.OnCreate; });
    b.Notify(L"OnShow", [](TForm& f) -> TNotifyEvent& { return f.OnShow; });
    b.Notify(L"OnClose", [](TForm& f) -> TNotifyEvent& { return f.OnClose; });
    BiDiProperties(b.Info());
    PopupMenuProperties(b.Info());
}

void MenuClasses(std::vector<TClassInfo>& table) {
    {
        Builder<TPopupMenu> b(NewClass<TPopupMenu>(table, L"TPopupMenu"));
        b.Bool(
            L"AutoPopup", true, [](TPopupMenu& m) { return m.AutoPopup; },
            [](TPopupMenu& m, bool v) { m.AutoPopup = v; });
    }
    {
        using M = TMenuItem;
        Builder<M> b(NewClass<M>(table, L"TMenuItem"));
        b.Str(
            L"Caption", [](M& m) { return m.Caption; }, [](M& m, const std::wstring& v) { m.Caption = v; });
        b.Bool(
            L"Enabled", true, [](M& m) { return m.Enabled; }, [](M& m, bool v) { m.Enabled = v; });
        b.Bool(
            L"Checked", false, [](M& m) { return m.Checked; }, [](M& m, bool v) { m.Checked = v; });
        b.Bool(
            L"Visible", true, [](M& m) { return m.Visible; }, [](M& m, bool v) { m.Visible = v; });
        b.Notify(L"OnClick", [](M& m) -> TNotifyEvent& { return m.OnClick; });
    }
}

void EditClass(std::vector<TClassInfo>& table) {
    Builder<TEdit> b(NewClass<TEdit>(table, L"TEdit"));
    ControlBase(b.Info(), 121, 21);
    b.Str(
        L"Text", [](TEdit& e) { return e.Text(); }, [](TEdit& e, const std::wstring& v) { e.SetText(v); });
}

void ImageClasses(std::vector<TClassInfo>& table) {
    {
        Builder<TImage> b(NewClass<TImage>(table, L"TImage"));
        ControlBase(b.Info(), 105, 105);
        PictureBase(b.Info());
    }
    {
        Builder<TImageNote> b(NewClass<TImageNote>(table, L"TImageNote"));
        ControlBase(b.Info(), 105, 105);
        PictureBase(b.Info());
        b.Int(
            L"ImageIndex", -1, [](TImageNote& c) { return c.ImageIndex(); },
            [](TImageNote& c, int v) { c.SetImageIndex(v); });
        b.Bool(
            L"Locked", false, [](TImageNote& c) { return c.Locked(); },
            [](TImageNote& c, bool v) { c.SetLocked(v); });
        TDescValue noItems;
        noItems.Type = Kind::Items;
        b.Add(
            L"Items", noItems,
            [](TImageNote& c, const TDescValue& v, TReadContext& ctx) {
                if (v.Type != Kind::Items) return false;
                c.Items().Clear();
                for (const TDescItem& item : v.Items) {
                    TPictureItem& added = c.Items().Add();
                    for (const TDescProperty& p : item.Properties) {
                        if (p.Name == L"Name" && p.Value.Type == Kind::String) {
                            added.Name = p.Value.Text;
                        } else if (p.Name == L"Picture") {
                            if (!LoadPicture(added.Picture(), p.Value, ctx)) return false;
                        } else {
                            ctx.Error =
                                L"line " + std::to_wstring(p.Line) + L": unknown item property " + p.Name;
                            return false;
                        }
                    }
                }
                return true;
            },
            [](TImageNote& c) {
                TDescValue d;
                d.Type = Kind::Items;
                for (int i = 0; i < c.Items().Count(); ++i) {
                    TDescItem item;
                    item.Properties.push_back({L"Name", StrV(c.Items()[i]->Name), 0});
                    item.Properties.push_back({L"Picture", PictureV(c.Items()[i]->Picture()), 0});
                    d.Items.push_back(std::move(item));
                }
                return d;
            });
    }
    {
        Builder<TShape> b(NewClass<TShape>(table, L"TShape"));
        ControlBase(b.Info(), 65, 65);
        b.Color(
            L"Brush.Color", clWhite, [](TShape& s) { return s.BrushColor(); },
            [](TShape& s, TColor v) { s.SetBrushColor(v); });
        b.template Enum<TBrushStyle>(
            L"Brush.Style", TBrushStyle::bsSolid, kBrushStyles, [](TShape& s) { return s.BrushStyle(); },
            [](TShape& s, TBrushStyle v) { s.SetBrushStyle(v); });
        b.Color(
            L"Pen.Color", clBlack, [](TShape& s) { return s.PenColor(); },
            [](TShape& s, TColor v) { s.SetPenColor(v); });
    }
}

void LabelClass(std::vector<TClassInfo>& table) {
    using L = TRdLabel;
    Builder<L> b(NewClass<L>(table, L"TRdLabel"));
    ControlBase(b.Info(), 65, 17);
    Caption(b.Info());
    b.template Enum<TAlignment>(
        L"Alignment", TAlignment::taLeftJustify, kAlignments, [](L& c) { return c.Alignment(); },
        [](L& c, TAlignment v) { c.SetAlignment(v); });
    b.Bool(
        L"AutoSize", true, [](L& c) { return c.AutoSize(); }, [](L& c, bool v) { c.SetAutoSize(v); });
    b.Bool(
        L"AutoShowHint", false, [](L& c) { return c.AutoShowHint(); },
        [](L& c, bool v) { c.SetAutoShowHint(v); });
    b.Picture(L"Background", [](L& c) -> TPicture& { return c.Background(); });
    Margins(b, L"BackgroundOption", [](L& c) -> TDesignRect& { return c.BackgroundOption(); });
    b.template Enum<TEllipsisPosition>(
        L"EllipsisPosition", TEllipsisPosition::epNone, kEllipsisPositions,
        [](L& c) { return c.EllipsisPosition(); },
        [](L& c, TEllipsisPosition v) { c.SetEllipsisPosition(v); });
    BiDiProperties(b.Info());
    b.Add(
        L"FocusControl", IdentV(L""),
        [](L& c, const TDescValue& v, TReadContext& ctx) {
            return DeferReference<TWinControl>(v, ctx, L"windowed control",
                                               [&c](TWinControl* t) { c.SetFocusControl(t); });
        },
        [](L& c) { return IdentV(c.FocusControl() ? c.FocusControl()->Name : L""); });
    b.Color(
        L"FontHoverColor", clNoOverride, [](L& c) { return c.FontHoverColor(); },
        [](L& c, TColor v) { c.SetFontHoverColor(v); });
    b.Color(
        L"FontDownColor", clNoOverride, [](L& c) { return c.FontDownColor(); },
        [](L& c, TColor v) { c.SetFontDownColor(v); });
    b.Color(
        L"FontDisabledColor", clGrayText, [](L& c) { return c.FontDisabledColor(); },
        [](L& c, TColor v) { c.SetFontDisabledColor(v); });
    b.Bool(
        L"FontAntialiased", false, [](L& c) { return c.FontAntialiased(); },
        [](L& c, bool v) { c.SetFontAntialiased(v); });
    b.Int(
        L"GlowSize", 0, [](L& c) { return c.GlowSize(); }, [](L& c, int v) { c.SetGlowSize(v); });
    b.template Enum<TTextLayout>(
        L"Layout", TTextLayout::tlTop, kTextLayouts, [](L& c) { return c.Layout(); },
        [](L& c, TTextLayout v) { c.SetLayout(v); });
    b.Bool(
        L"ShowAccelChar", true, [](L& c) { return c.ShowAccelChar(); },
        [](L& c, bool v) { c.SetShowAccelChar(v); });
    Margins(b, L"TextBorder", [](L& c) -> TDesignRect& { return c.TextBorder(); });
    b.Bool(
        L"Transparent", true, [](L& c) { return c.Transparent(); },
        [](L& c, bool v) { c.SetTransparent(v); });
    b.Bool(
        L"WordWrap", false, [](L& c) { return c.WordWrap(); }, [](L& c, bool v) { c.SetWordWrap(v); });
    b.Bool(
        L"WrapChar", true, [](L& c) { return c.WrapChar(); }, [](L& c, bool v) { c.SetWrapChar(v); });
    b.Notify(L"OnPaintImage", [](L& c) -> TNotifyEvent& { return c.OnPaintImage; });
    b.Notify(L"OnPaintEnd", [](L& c) -> TNotifyEvent& { return c.OnPaintEnd; });
    b.Notify(L"OnMouseLeave", [](L& c) -> TNotifyEvent& { return c.OnMouseLeave; });
    b.template Event<THintEvent>(L"OnShowHint", [](L& c) -> THintEvent& { return c.OnShowHint; });
    b.Int(
        L"DragCursor", crDrag, [](L& c) { return c.DragCursor; }, [](L& c, int v) { c.DragCursor = v; });
    b.template Enum<TDragKind>(
        L"DragKind", TDragKind::dkDrag, kDragKinds, [](L& c) { return c.DragKind; },
        [](L& c, TDragKind v) { c.DragKind = v; });
    b.template Enum<TDragMode>(
        L"DragMode", TDragMode::dmManual, kDragModes, [](L& c) { return c.DragMode; },
        [](L& c, TDragMode v) { c.DragMode = v; });
    b.template Event<TDragDropEvent>(L"OnDragDrop", [](L& c) -> TDragDropEvent& { return c.OnDragDrop; });
    b.template Event<TDragOverEvent>(L"OnDragOver", [](L& c) -> TDragOverEvent& { return c.OnDragOver; });
    b.template Event<TEndDragEvent>(L"OnEndDock", [](L& c) -> TEndDragEvent& { return c.OnEndDock; });
    b.template Event<TEndDragEvent>(L"OnEndDrag", [](L& c) -> TEndDragEvent& { return c.OnEndDrag; });
    b.template Event<TStartDragEvent>(L"OnStartDock", [](L& c) -> TStartDragEvent& { return c.OnStartDock; });
    b.template Event<TStartDragEvent>(L"OnStartDrag", [](L& c) -> TStartDragEvent& { return c.OnStartDrag; });
}

void ButtonClass(std::vector<TClassInfo>& table) {
    using B = TRdImageButton;
    Builder<B> b(NewClass<B>(table, L"TRdImageButton"));
    ControlBase(b.Info(), 75, 25);
    Caption(b.Info());
    b.Bool(
        L"AutoSize", false, [](B& c) { return c.AutoSize(); }, [](B& c, bool v) { c.SetAutoSize(v); });
    b.Picture(L"ImageNormal", [](B& c) -> TPicture& { return c.ImageNormal(); });
    b.Picture(L"ImageOver", [](B& c) -> TPicture& { return c.ImageOver(); });
    b.Picture(L"ImageDown", [](B& c) -> TPicture& { return c.ImageDown(); });
    b.Picture(L"ImageDisabled", [](B& c) -> TPicture& { return c.ImageDisabled(); });
    b.Picture(L"ImageSelected", [](B& c) -> TPicture& { return c.ImageSelected(); });
    b.Picture(L"ImageRange", [](B& c) -> TPicture& { return c.ImageRange(); });
    b.Picture(L"ExpandImage", [](B& c) -> TPicture& { return c.ExpandImage(); });
    Margins(b, L"ImageOption", [](B& c) -> TDesignRect& { return c.ImageOption(); });
    const std::pair<const wchar_t*, TRdIconState> icons[] = {{L"Normal", TRdIconState::Normal},
                                                             {L"Hover", TRdIconState::Hover},
                                                             {L"Down", TRdIconState::Down},
                                                             {L"Disable", TRdIconState::Disabled},
                                                             {L"Selected", TRdIconState::Selected}};
    for (const auto& [suffix, state] : icons) {
        const int s = static_cast<int>(state);
        b.PictureAt(std::wstring(L"Up") + suffix + L"Icon", s,
                    [](B& c, int i) -> TPicture& { return c.UpIcon(static_cast<TRdIconState>(i)); });
        b.PictureAt(std::wstring(L"Dn") + suffix + L"Icon", s,
                    [](B& c, int i) -> TPicture& { return c.DnIcon(static_cast<TRdIconState>(i)); });
    }
    b.Picture(L"CheckBoxNormalImage", [](B& c) -> TPicture& { return c.CheckBoxNormalImage(); });
    b.Picture(L"CheckBoxCheckedImage", [](B& c) -> TPicture& { return c.CheckBoxCheckedImage(); });
    b.Picture(L"CheckBoxGrayedImage", [](B& c) -> TPicture& { return c.CheckBoxGrayedImage(); });
    b.Picture(L"CheckBoxCheckedGrayedImage",
              [](B& c) -> TPicture& { return c.CheckBoxCheckedGrayedImage(); });

    b.Int(
        L"TextLeftMargin", 0, [](B& c) { return c.TextLeftMargin(); },
        [](B& c, int v) { c.SetTextLeftMargin(v); });
    b.Int(
        L"TextRightMargin", 0, [](B& c) { return c.TextRightMargin(); },
        [](B& c, int v) { c.SetTextRightMargin(v); });
    b.Int(
        L"TextTopMargin", 0, [](B& c) { return c.TextTopMargin(); },
        [](B& c, int v) { c.SetTextTopMargin(v); });
    b.template Enum<TAlignment>(
        L"ButtonCaptionAlignment", TAlignment::taCenter, kAlignments,
        [](B& c) { return c.ButtonCaptionAlignment(); },
        [](B& c, TAlignment v) { c.SetButtonCaptionAlignment(v); });
    b.Int(
        L"TextOffset", 20, [](B& c) { return c.TextOffset(); }, [](B& c, int v) { c.SetTextOffset(v); });
    b.Int(
        L"TextTopOffset", 0, [](B& c) { return c.TextTopOffset(); },
        [](B& c, int v) { c.SetTextTopOffset(v); });
    b.template Enum<TAlignment>(
        L"TextWarpAlign", TAlignment::taLeftJustify, kAlignments, [](B& c) { return c.TextWarpAlign(); },
        [](B& c, TAlignment v) { c.SetTextWarpAlign(v); });
    b.Bool(
        L"WordWrap", false, [](B& c) { return c.WordWrap(); }, [](B& c, bool v) { c.SetWordWrap(v); });
    b.Bool(
        L"EllipsisByHeight", false, [](B& c) { return c.EllipsisByHeight(); },
        [](B& c, bool v) { c.SetEllipsisByHeight(v); });
    b.Bool(
        L"ShowAccelChar", true, [](B& c) { return c.ShowAccelChar(); },
        [](B& c, bool v) { c.SetShowAccelChar(v); });
    b.Color(
        L"FontHoverColor", clNoOverride, [](B& c) { return c.FontHoverColor(); },
        [](B& c, TColor v) { c.SetFontHoverColor(v); });
    b.Color(
        L"FontDownColor", clNoOverride, [](B& c) { return c.FontDownColor(); },
        [](B& c, TColor v) { c.SetFontDownColor(v); });
    b.Color(
        L"FontDisabledColor", cl3DDkShadow, [](B& c) { return c.FontDisabledColor(); },
        [](B& c, TColor v) { c.SetFontDisabledColor(v); });
    b.Color(
        L"FontSelectedColor", clNoOverride, [](B& c) { return c.FontSelectedColor(); },
        [](B& c, TColor v) { c.SetFontSelectedColor(v); });
    b.Bool(
        L"FontAntialiased", false, [](B& c) { return c.FontAntialiased(); },
        [](B& c, bool v) { c.SetFontAntialiased(v); });
    b.Bool(
        L"AutoShowHint", false, [](B& c) { return c.AutoShowHint(); },
        [](B& c, bool v) { c.SetAutoShowHint(v); });
    b.Bool(
        L"IconVisible", true, [](B& c) { return c.IconVisible(); },
        [](B& c, bool v) { c.SetIconVisible(v); });
    b.template Enum<TAlignment>(
        L"IconAlign", TAlignment::taRightJustify, kAlignments, [](B& c) { return c.IconAlign(); },
        [](B& c, TAlignment v) { c.SetIconAlign(v); });
    b.template Enum<TVerticalAlignment>(
        L"IconAlignY", TVerticalAlignment::taVerticalCenter, kVerticalAlignments,
        [](B& c) { return c.IconAlignY(); }, [](B& c, TVerticalAlignment v) { c.SetIconAlignY(v); });
    b.Int(
        L"IconOffset", 10, [](B& c) { return c.IconOffset(); }, [](B& c, int v) { c.SetIconOffset(v); });
    b.Int(
        L"IconOffsetY", 0, [](B& c) { return c.IconOffsetY(); }, [](B& c, int v) { c.SetIconOffsetY(v); });
    b.Int(
        L"IconCursor", 0, [](B& c) { return c.IconCursor; }, [](B& c, int v) { c.IconCursor = v; });
    b.Bool(
        L"IconFullClick", false, [](B& c) { return c.IconFullClick; },
        [](B& c, bool v) { c.IconFullClick = v; });
    b.Bool(
        L"IconLockBySelected", true, [](B& c) { return c.IconLockBySelected; },
        [](B& c, bool v) { c.IconLockBySelected = v; });
    b.Bool(
        L"Expand", false, [](B& c) { return c.Expand(); }, [](B& c, bool v) { c.SetExpand(v); });
    b.Bool(
        L"ShowCheckBox", false, [](B& c) { return c.ShowCheckBox(); },
        [](B& c, bool v) { c.SetShowCheckBox(v); });
    b.Bool(
        L"Checked", false, [](B& c) { return c.Checked(); }, [](B& c, bool v) { c.SetChecked(v); });
    b.template Enum<TCheckBoxState>(
        L"CheckState", TCheckBoxState::cbUnchecked, kCheckStates, [](B& c) { return c.CheckState(); },
        [](B& c, TCheckBoxState v) { c.SetCheckState(v); });
    b.template Enum<TAlignment>(
        L"CheckBoxAlignX", TAlignment::taLeftJustify, kAlignments, [](B& c) { return c.CheckBoxAlignX(); },
        [](B& c, TAlignment v) { c.SetCheckBoxAlignX(v); });
    b.template Enum<TVerticalAlignment>(
        L"CheckBoxAlignY", TVerticalAlignment::taVerticalCenter, kVerticalAlignments,
        [](B& c) { return c.CheckBoxAlignY(); }, [](B& c, TVerticalAlignment v) { c.SetCheckBoxAlignY(v); });
    b.Int(
        L"CheckBoxOffset", 10, [](B& c) { return c.CheckBoxOffset(); },
        [](B& c, int v) { c.SetCheckBoxOffset(v); });
    b.Int(
        L"CheckBoxOffsetY", 0, [](B& c) { return c.CheckBoxOffsetY(); },
        [](B& c, int v) { c.SetCheckBoxOffsetY(v); });
    b.Bool(
        L"CheckBoxFullClick", true, [](B& c) { return c.CheckBoxFullClick(); },
        [](B& c, bool v) { c.SetCheckBoxFullClick(v); });
    b.Int(
        L"CheckBoxCursor", 0, [](B& c) { return c.CheckBoxCursor; },
        [](B& c, int v) { c.CheckBoxCursor = v; });
    b.Bool(
        L"AutoSizeByText", false, [](B& c) { return c.AutoSizeByText(); },
        [](B& c, bool v) { c.SetAutoSizeByText(v); });
    b.Str(
        L"SubCaption", [](B& c) { return c.SubCaption(); },
        [](B& c, const std::wstring& v) { c.SetSubCaption(v); });
    b.Str(
        L"SubCaptionData", [](B& c) { return c.SubCaptionData(); },
        [](B& c, const std::wstring& v) { c.SetSubCaptionData(v); });
    b.Font(L"SubCaptionFont", [](B& c) -> TFont& { return c.SubCaptionFont(); });
    b.Font(L"SubCaptionDataFont", [](B& c) -> TFont& { return c.SubCaptionDataFont(); });
    b.Int(
        L"SubCaptionOffset", 50, [](B& c) { return c.SubCaptionOffset(); },
        [](B& c, int v) { c.SetSubCaptionOffset(v); });
    b.Notify(L"OnMouseExit", [](B& c) -> TNotifyEvent& { return c.OnMouseExit; });
    b.Notify(L"OnPaintImage", [](B& c) -> TNotifyEvent& { return c.OnPaintImage; });
    b.Notify(L"OnPaintEnd", [](B& c) -> TNotifyEvent& { return c.OnPaintEnd; });
    b.Notify(L"OnCaptionChanged", [](B& c) -> TNotifyEvent& { return c.OnCaptionChanged; });
    b.Notify(L"OnCheckedChanged", [](B& c) -> TNotifyEvent& { return c.OnCheckedChanged; });
    b.Notify(L"IconOnClick", [](B& c) -> TNotifyEvent& { return c.IconOnClick; });
    b.Notify(L"CheckBoxOnClick", [](B& c) -> TNotifyEvent& { return c.CheckBoxOnClick; });
    b.template Event<THintEvent>(L"OnShowHint", [](B& c) -> THintEvent& { return c.OnShowHint; });
}

std::vector<TClassInfo> BuildControlClasses() {
    std::vector<TClassInfo> table;
    table.reserve(11);
    FormClass(table);
    ImageClasses(table);
    LabelClass(table);
    ButtonClass(table);
    EditClass(table);
    MenuClasses(table);
    return table;
}

}  // namespace

const TClassTable& ControlClasses() {
    static const TClassTable classes = BuildControlClasses();
    return classes;
}

}  // namespace promo
