// The class table of the window description: every class a description may
// name, each published property with its declared default, in one place.
// ControlClassesTest checks that a new object has exactly these defaults.
#include <initializer_list>
#include <type_traits>
#include <utility>

#include "controls/PImageNote.h"
#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "support/DebugOutput.h"
#include "ui/Form.h"
#include "ui/FormReader.h"

namespace promo {
namespace {

using Kind = TDescValue::Kind;

TDescValue IntV(std::int64_t v) {
    TDescValue d;
    d.Type = Kind::Integer;
    d.Integer = v;
    return d;
}
TDescValue TextV(Kind k, std::wstring t) {
    TDescValue d;
    d.Type = k;
    d.Text = std::move(t);
    return d;
}
TDescValue StrV(std::wstring t) { return TextV(Kind::String, std::move(t)); }
TDescValue IdentV(std::wstring t) { return TextV(Kind::Ident, std::move(t)); }
TDescValue BoolV(bool b) { return IdentV(b ? L"True" : L"False"); }

// What a picture property reads back as: its size ("" when empty).
TDescValue PictureV(const TPicture& p) {
    return TextV(Kind::Picture,
                 p.Empty() ? L"" : std::to_wstring(p.Width()) + L"x" + std::to_wstring(p.Height()));
}

bool LoadPicture(TPicture& target, const TDescValue& v, TReadContext& ctx) {
    if (v.Type != Kind::Picture) return false;
    std::vector<std::uint8_t> stream;
    std::wstring problem;
    if (!ctx.Pictures || !ctx.Pictures(v.Text, stream))
        problem = L"the picture file " + v.Text + L" is missing";
    else if (!target.LoadFromStream(stream.data(), stream.size()))
        problem = L"the picture " + v.Text + L" is not a PNG picture stream";
    if (problem.empty()) return true;
    if (ctx.StrictPictures) {
        ctx.Error = problem;
        return false;
    }
    // A missing picture leaves the control empty, as any empty picture.
    target.Clear();
    DebugOut(problem);
    return true;
}

template <typename E>
using Names = std::vector<std::pair<const wchar_t*, E>>;

const Names<TAlignment> kAlignments = {{L"taLeftJustify", TAlignment::taLeftJustify},
                                       {L"taRightJustify", TAlignment::taRightJustify},
                                       {L"taCenter", TAlignment::taCenter}};
const Names<TVerticalAlignment> kVerticalAlignments = {
    {L"taAlignTop", TVerticalAlignment::taAlignTop},
    {L"taAlignBottom", TVerticalAlignment::taAlignBottom},
    {L"taVerticalCenter", TVerticalAlignment::taVerticalCenter}};
const Names<TAlign> kAligns = {{L"alNone", TAlign::alNone},     {L"alTop", TAlign::alTop},
                               {L"alBottom", TAlign::alBottom}, {L"alLeft", TAlign::alLeft},
                               {L"alRight", TAlign::alRight},   {L"alClient", TAlign::alClient},
                               {L"alCustom", TAlign::alCustom}};
const Names<TSuperStretchMode> kStretchModes = {{L"sdmDefault", TSuperStretchMode::sdmDefault},
                                                {L"sdmStretch", TSuperStretchMode::sdmStretch},
                                                {L"sdmFill", TSuperStretchMode::sdmFill},
                                                {L"sdmFrame", TSuperStretchMode::sdmFrame}};
const Names<unsigned> kAnchors = {
    {L"akLeft", akLeft}, {L"akTop", akTop}, {L"akRight", akRight}, {L"akBottom", akBottom}};
const Names<unsigned> kFontStyles = {{L"fsBold", fsBold},
                                     {L"fsItalic", fsItalic},
                                     {L"fsUnderline", fsUnderline},
                                     {L"fsStrikeOut", fsStrikeOut}};

template <typename C>
class Builder {
public:
    explicit Builder(TClassInfo& info) : info_(info) {}

    void Add(const std::wstring& name, TDescValue def,
             std::function<bool(C&, const TDescValue&, TReadContext&)> set,
             std::function<TDescValue(C&)> get) {
        info_.Properties.push_back({name, std::move(def),
                                    [set](TControl& c, const TDescValue& v, TReadContext& ctx) {
                                        return set(static_cast<C&>(c), v, ctx);
                                    },
                                    [get](TControl& c) { return get(static_cast<C&>(c)); }});
    }

    void Int(const std::wstring& name, int def, std::function<int(C&)> get,
             std::function<void(C&, int)> set) {
        Add(
            name, IntV(def),
            [set](C& c, const TDescValue& v, TReadContext&) {
                if (v.Type != Kind::Integer || v.Integer < INT32_MIN || v.Integer > INT32_MAX) return false;
                set(c, static_cast<int>(v.Integer));
                return true;
            },
            [get](C& c) { return IntV(get(c)); });
    }
    void Color(const std::wstring& name, TColor def, std::function<TColor(C&)> get,
               std::function<void(C&, TColor)> set) {
        Add(
            name, IntV(def),
            [set](C& c, const TDescValue& v, TReadContext&) {
                if (v.Type != Kind::Integer || v.Integer < 0 || v.Integer > 0xFFFFFFFFll) return false;
                set(c, static_cast<TColor>(v.Integer));
                return true;
            },
            [get](C& c) { return IntV(get(c)); });
    }
    void Bool(const std::wstring& name, bool def, std::function<bool(C&)> get,
              std::function<void(C&, bool)> set) {
        Add(
            name, BoolV(def),
            [set](C& c, const TDescValue& v, TReadContext&) {
                if (v.Type != Kind::Ident || (v.Text != L"True" && v.Text != L"False")) return false;
                set(c, v.Text == L"True");
                return true;
            },
            [get](C& c) { return BoolV(get(c)); });
    }
    void Str(const std::wstring& name, std::function<std::wstring(C&)> get,
             std::function<void(C&, const std::wstring&)> set) {
        Add(
            name, StrV(L""),
            [set](C& c, const TDescValue& v, TReadContext&) {
                if (v.Type != Kind::String) return false;
                set(c, v.Text);
                return true;
            },
            [get](C& c) { return StrV(get(c)); });
    }
    template <typename E>
    void Enum(const std::wstring& name, E def, const Names<E>& names, std::function<E(C&)> get,
              std::function<void(C&, E)> set) {
        auto nameOf = [names](E e) {
            for (const auto& [n, val] : names)
                if (val == e) return std::wstring(n);
            return std::wstring();
        };
        Add(
            name, IdentV(nameOf(def)),
            [set, names](C& c, const TDescValue& v, TReadContext&) {
                if (v.Type != Kind::Ident) return false;
                for (const auto& [n, val] : names)
                    if (v.Text == n) {
                        set(c, val);
                        return true;
                    }
                return false;
            },
            [get, nameOf](C& c) { return IdentV(nameOf(get(c))); });
    }
    void Set(const std::wstring& name, unsigned def, const Names<unsigned>& bits,
             std::function<unsigned(C&)> get, std::function<void(C&, unsigned)> set) {
        auto toValue = [bits](unsigned s) {
            TDescValue d;
            d.Type = Kind::Set;
            for (const auto& [n, b] : bits)
                if (s & b) d.SetItems.push_back(n);
            return d;
        };
        Add(
            name, toValue(def),
            [set, bits](C& c, const TDescValue& v, TReadContext&) {
                if (v.Type != Kind::Set) return false;
                unsigned s = 0;
                for (const auto& item : v.SetItems) {
                    bool found = false;
                    for (const auto& [n, b] : bits)
                        if (item == n) {
                            s |= b;
                            found = true;
                        }
                    if (!found) return false;
                }
                set(c, s);
                return true;
            },
            [get, toValue](C& c) { return toValue(get(c)); });
    }
    void Picture(const std::wstring& name, std::function<TPicture&(C&)> pic) {
        Add(
            name, TextV(Kind::Picture, L""),
            [pic](C& c, const TDescValue& v, TReadContext& ctx) { return LoadPicture(pic(c), v, ctx); },
            [pic](C& c) { return PictureV(pic(c)); });
    }
    template <typename Ev, typename Find>
    void Event(const std::wstring& name, std::function<Ev&(C&)> ev, Find find) {
        Add(
            name, IdentV(L""),
            [name, ev, find](C& c, const TDescValue& v, TReadContext& ctx) {
                if (v.Type != Kind::Ident) return false;
                const Ev* handler = find(ctx.Form, v.Text);
                if (!handler) {
                    ctx.Error = L"unknown handler " + v.Text + L" (not registered by the form)";
                    return false;
                }
                ev(c) = *handler;
                c.HandlerNames[name] = v.Text;
                return true;
            },
            [name](C& c) {
                auto it = c.HandlerNames.find(name);
                return IdentV(it == c.HandlerNames.end() ? L"" : it->second);
            });
    }
    void Notify(const std::wstring& name, std::function<TNotifyEvent&(C&)> ev) {
        Event<TNotifyEvent>(name, ev, [](TForm& f, const std::wstring& n) { return f.FindNotifyHandler(n); });
    }
    void Mouse(const std::wstring& name, std::function<TMouseEvent&(C&)> ev) {
        Event<TMouseEvent>(name, ev, [](TForm& f, const std::wstring& n) { return f.FindMouseHandler(n); });
    }
    void MouseMove(const std::wstring& name, std::function<TMouseMoveEvent&(C&)> ev) {
        Event<TMouseMoveEvent>(name, ev,
                               [](TForm& f, const std::wstring& n) { return f.FindMouseMoveHandler(n); });
    }
    void Font(const std::wstring& prefix, std::function<TFont&(C&)> font) {
        Str(
            prefix + L".Name", [font](C& c) { return font(c).Name(); },
            [font](C& c, const std::wstring& v) { font(c).SetName(v); });
        info_.Properties.back().Default = StrV(L"Tahoma");
        Int(
            prefix + L".Height", -11, [font](C& c) { return font(c).Height(); },
            [font](C& c, int v) { font(c).SetHeight(v); });
        Color(
            prefix + L".Color", clWindowText, [font](C& c) { return font(c).Color(); },
            [font](C& c, TColor v) { font(c).SetColor(v); });
        Set(
            prefix + L".Style", 0, kFontStyles, [font](C& c) { return font(c).Style(); },
            [font](C& c, unsigned v) { font(c).SetStyle(v); });
        Int(
            prefix + L".Charset", DEFAULT_CHARSET, [font](C& c) { return font(c).Charset(); },
            [font](C& c, int v) { font(c).SetCharset(v); });
    }
    void Margins(const std::wstring& prefix, std::function<TDesignRect&(C&)> rect) {
        const wchar_t* names[] = {L".Left", L".Top", L".Right", L".Bottom"};
        for (int i = 0; i < 4; ++i) {
            Int(
                prefix + names[i], 0,
                [rect, i](C& c) {
                    const TDesignRect& r = rect(c);
                    const int v[] = {r.Left(), r.Top(), r.Right(), r.Bottom()};
                    return v[i];
                },
                [rect, i](C& c, int v) { rect(c).SetMargin(i, v); });
        }
        Enum<TSuperStretchMode>(
            prefix + L".StretchMode", TSuperStretchMode::sdmDefault, kStretchModes,
            [rect](C& c) { return rect(c).StretchMode(); },
            [rect](C& c, TSuperStretchMode v) { rect(c).SetStretchMode(v); });
    }

    // The windowless control base's published properties.
    void ControlBase(int width, int height, TColor color = clBtnFace) {
        Int(
            L"Left", 0, [](C& c) { return c.Left(); }, [](C& c, int v) { c.SetLeft(v); });
        Int(
            L"Top", 0, [](C& c) { return c.Top(); }, [](C& c, int v) { c.SetTop(v); });
        Int(
            L"Width", width, [](C& c) { return c.Width(); }, [](C& c, int v) { c.SetWidth(v); });
        Int(
            L"Height", height, [](C& c) { return c.Height(); }, [](C& c, int v) { c.SetHeight(v); });
        Enum<TAlign>(
            L"Align", TAlign::alNone, kAligns, [](C& c) { return c.Align(); },
            [](C& c, TAlign v) { c.SetAlign(v); });
        Set(
            L"Anchors", akLeft | akTop, kAnchors, [](C& c) { return c.Anchors(); },
            [](C& c, unsigned v) { c.SetAnchors(v); });
        Int(
            L"Constraints.MinWidth", 0, [](C& c) { return c.Constraints().MinWidth(); },
            [](C& c, int v) { c.Constraints().SetMinWidth(v); });
        Int(
            L"Constraints.MaxWidth", 0, [](C& c) { return c.Constraints().MaxWidth(); },
            [](C& c, int v) { c.Constraints().SetMaxWidth(v); });
        Int(
            L"Constraints.MinHeight", 0, [](C& c) { return c.Constraints().MinHeight(); },
            [](C& c, int v) { c.Constraints().SetMinHeight(v); });
        Int(
            L"Constraints.MaxHeight", 0, [](C& c) { return c.Constraints().MaxHeight(); },
            [](C& c, int v) { c.Constraints().SetMaxHeight(v); });
        Color(
            L"Color", color, [](C& c) { return c.Color(); }, [](C& c, TColor v) { c.SetColor(v); });
        Bool(
            L"ParentColor", false, [](C& c) { return c.ParentColor(); },
            [](C& c, bool v) { c.SetParentColor(v); });
        Font(L"Font", [](C& c) -> TFont& { return c.Font(); });
        Bool(
            L"ParentFont", true, [](C& c) { return c.ParentFont(); },
            [](C& c, bool v) { c.SetParentFont(v); });
        Bool(
            L"Enabled", true, [](C& c) { return c.Enabled(); }, [](C& c, bool v) { c.SetEnabled(v); });
        Bool(
            L"Visible", true, [](C& c) { return c.Visible(); }, [](C& c, bool v) { c.SetVisible(v); });
        Str(
            L"Hint", [](C& c) { return c.Hint(); }, [](C& c, const std::wstring& v) { c.SetHint(v); });
        Bool(
            L"ShowHint", false, [](C& c) { return c.ShowHint(); }, [](C& c, bool v) { c.SetShowHint(v); });
        Bool(
            L"ParentShowHint", true, [](C& c) { return c.ParentShowHint(); },
            [](C& c, bool v) { c.SetParentShowHint(v); });
        Notify(L"OnClick", [](C& c) -> TNotifyEvent& { return c.OnClick; });
        Notify(L"OnDblClick", [](C& c) -> TNotifyEvent& { return c.OnDblClick; });
        Mouse(L"OnMouseDown", [](C& c) -> TMouseEvent& { return c.OnMouseDown; });
        Mouse(L"OnMouseUp", [](C& c) -> TMouseEvent& { return c.OnMouseUp; });
        MouseMove(L"OnMouseMove", [](C& c) -> TMouseMoveEvent& { return c.OnMouseMove; });
        Notify(L"OnMouseEnter", [](C& c) -> TNotifyEvent& { return c.OnMouseEnter; });
    }
    void Caption() {
        Str(
            L"Caption", [](C& c) { return c.Caption(); },
            [](C& c, const std::wstring& v) { c.SetCaption(v); });
    }
    void PictureBase() {
        Bool(
            L"AutoSize", false, [](C& c) { return c.AutoSize(); }, [](C& c, bool v) { c.SetAutoSize(v); });
        Picture(L"Picture", [](C& c) -> TPicture& { return c.Picture(); });
    }

private:
    TClassInfo& info_;
};

template <typename C>
TClassInfo& NewClass(std::vector<TClassInfo>& table, const wchar_t* name, bool creatable = true) {
    table.push_back({name, {}, {}});
    if constexpr (std::is_default_constructible_v<C>) {
        if (creatable) table.back().Create = [] { return std::make_unique<C>(); };
    }
    return table.back();
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
        L"BorderStyle", TFormBorderStyle::bsSizeable,
        {{L"bsNone", TFormBorderStyle::bsNone},
         {L"bsSingle", TFormBorderStyle::bsSingle},
         {L"bsSizeable", TFormBorderStyle::bsSizeable},
         {L"bsDialog", TFormBorderStyle::bsDialog},
         {L"bsToolWindow", TFormBorderStyle::bsToolWindow},
         {L"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}},
        [](TForm& f) { return f.BorderStyle(); }, [](TForm& f, TFormBorderStyle v) { f.SetBorderStyle(v); });
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
}

void ImageClasses(std::vector<TClassInfo>& table) {
    {
        Builder<TImage> b(NewClass<TImage>(table, L"TImage"));
        b.ControlBase(105, 105);
        b.PictureBase();
    }
    {
        Builder<TImageNote> b(NewClass<TImageNote>(table, L"TImageNote"));
        b.ControlBase(105, 105);
        b.PictureBase();
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
        b.ControlBase(65, 65);
        b.Color(
            L"Brush.Color", clWhite, [](TShape& s) { return s.BrushColor(); },
            [](TShape& s, TColor v) { s.SetBrushColor(v); });
        b.template Enum<TBrushStyle>(
            L"Brush.Style", TBrushStyle::bsSolid,
            {{L"bsSolid", TBrushStyle::bsSolid}, {L"bsClear", TBrushStyle::bsClear}},
            [](TShape& s) { return s.BrushStyle(); }, [](TShape& s, TBrushStyle v) { s.SetBrushStyle(v); });
        b.Color(
            L"Pen.Color", clBlack, [](TShape& s) { return s.PenColor(); },
            [](TShape& s, TColor v) { s.SetPenColor(v); });
    }
}

void LabelClass(std::vector<TClassInfo>& table) {
    using L = TRdLabel;
    Builder<L> b(NewClass<L>(table, L"TRdLabel"));
    b.ControlBase(65, 17);
    b.Caption();
    b.template Enum<TAlignment>(
        L"Alignment", TAlignment::taLeftJustify, kAlignments, [](L& c) { return c.Alignment(); },
        [](L& c, TAlignment v) { c.SetAlignment(v); });
    b.Bool(
        L"AutoSize", true, [](L& c) { return c.AutoSize(); }, [](L& c, bool v) { c.SetAutoSize(v); });
    b.Bool(
        L"AutoShowHint", false, [](L& c) { return c.AutoShowHint(); },
        [](L& c, bool v) { c.SetAutoShowHint(v); });
    b.Picture(L"Background", [](L& c) -> TPicture& { return c.Background(); });
    b.Margins(L"BackgroundOption", [](L& c) -> TDesignRect& { return c.BackgroundOption(); });
    b.template Enum<TEllipsisPosition>(
        L"EllipsisPosition", TEllipsisPosition::epNone,
        {{L"epNone", TEllipsisPosition::epNone},
         {L"epPathEllipsis", TEllipsisPosition::epPathEllipsis},
         {L"epEndEllipsis", TEllipsisPosition::epEndEllipsis},
         {L"epWordEllipsis", TEllipsisPosition::epWordEllipsis}},
        [](L& c) { return c.EllipsisPosition(); },
        [](L& c, TEllipsisPosition v) { c.SetEllipsisPosition(v); });
    b.Add(
        L"FocusControl", IdentV(L""),
        [](L& c, const TDescValue& v, TReadContext& ctx) {
            if (v.Type != Kind::Ident) return false;
            TControl* target = ctx.Form.FindControl(v.Text);
            if (!target) {
                ctx.Error = L"no control named " + v.Text + L" (it must come before the label)";
                return false;
            }
            c.SetFocusControl(target);
            return true;
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
        L"Layout", TTextLayout::tlTop,
        {{L"tlTop", TTextLayout::tlTop},
         {L"tlCenter", TTextLayout::tlCenter},
         {L"tlBottom", TTextLayout::tlBottom}},
        [](L& c) { return c.Layout(); }, [](L& c, TTextLayout v) { c.SetLayout(v); });
    b.Bool(
        L"ShowAccelChar", true, [](L& c) { return c.ShowAccelChar(); },
        [](L& c, bool v) { c.SetShowAccelChar(v); });
    b.Margins(L"TextBorder", [](L& c) -> TDesignRect& { return c.TextBorder(); });
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
}

void ButtonClass(std::vector<TClassInfo>& table) {
    using B = TRdImageButton;
    Builder<B> b(NewClass<B>(table, L"TRdImageButton"));
    b.ControlBase(75, 25);
    b.Caption();
    b.Bool(
        L"AutoSize", false, [](B& c) { return c.AutoSize(); }, [](B& c, bool v) { c.SetAutoSize(v); });
    b.Picture(L"ImageNormal", [](B& c) -> TPicture& { return c.ImageNormal(); });
    b.Picture(L"ImageOver", [](B& c) -> TPicture& { return c.ImageOver(); });
    b.Picture(L"ImageDown", [](B& c) -> TPicture& { return c.ImageDown(); });
    b.Picture(L"ImageDisabled", [](B& c) -> TPicture& { return c.ImageDisabled(); });
    b.Picture(L"ImageSelected", [](B& c) -> TPicture& { return c.ImageSelected(); });
    b.Picture(L"ImageRange", [](B& c) -> TPicture& { return c.ImageRange(); });
    b.Picture(L"ExpandImage", [](B& c) -> TPicture& { return c.ExpandImage(); });
    b.Margins(L"ImageOption", [](B& c) -> TDesignRect& { return c.ImageOption(); });
    const std::pair<const wchar_t*, TRdIconState> icons[] = {{L"Normal", TRdIconState::Normal},
                                                             {L"Hover", TRdIconState::Hover},
                                                             {L"Down", TRdIconState::Down},
                                                             {L"Disable", TRdIconState::Disabled},
                                                             {L"Selected", TRdIconState::Selected}};
    for (const auto& [suffix, state] : icons) {
        const TRdIconState s = state;
        b.Picture(std::wstring(L"Up") + suffix + L"Icon", [s](B& c) -> TPicture& { return c.UpIcon(s); });
        b.Picture(std::wstring(L"Dn") + suffix + L"Icon", [s](B& c) -> TPicture& { return c.DnIcon(s); });
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
        L"CheckState", TCheckBoxState::cbUnchecked,
        {{L"cbUnchecked", TCheckBoxState::cbUnchecked},
         {L"cbChecked", TCheckBoxState::cbChecked},
         {L"cbGrayed", TCheckBoxState::cbGrayed}},
        [](B& c) { return c.CheckState(); }, [](B& c, TCheckBoxState v) { c.SetCheckState(v); });
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
}

}  // namespace

std::vector<TClassInfo> BuildControlClasses() {
    std::vector<TClassInfo> table;
    table.reserve(8);
    FormClass(table);
    ImageClasses(table);
    LabelClass(table);
    ButtonClass(table);
    return table;
}

}  // namespace promo
