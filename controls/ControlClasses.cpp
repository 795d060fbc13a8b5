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
#include "ui/Menu.h"

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

// A name table of an enumeration or a set: pairs of name and value, ended
// by a null name.
struct TNameValue {
    const wchar_t* Name;
    int Value;
};
template <typename E>
constexpr TNameValue NV(const wchar_t* name, E value) {
    return {name, static_cast<int>(value)};
}

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
constexpr TNameValue kFontStyles[] = {NV(L"fsBold", fsBold),
                                      NV(L"fsItalic", fsItalic),
                                      NV(L"fsUnderline", fsUnderline),
                                      NV(L"fsStrikeOut", fsStrikeOut),
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

// The value kinds. Every kind has one pair of routines for all its
// properties; a property's accessors are plain functions kept in
// TPropertyInfo::Read/Write in the kind's own signature.
using P = TPropertyInfo;
using IntRead = int (*)(TComponent&);
using IntWrite = void (*)(TComponent&, int);
using ColorRead = TColor (*)(TComponent&);
using ColorWrite = void (*)(TComponent&, TColor);
using BoolRead = bool (*)(TComponent&);
using BoolWrite = void (*)(TComponent&, bool);
using StrRead = std::wstring (*)(TComponent&);
using StrWrite = void (*)(TComponent&, const std::wstring&);
using SetRead = unsigned (*)(TComponent&);
using SetWrite = void (*)(TComponent&, unsigned);
using PictureAccess = TPicture& (*)(TComponent&, int index);
using FontAccess = TFont& (*)(TComponent&);
using RectAccess = TDesignRect& (*)(TComponent&);

template <typename F>
P::Accessor Erase(F f) {
    return reinterpret_cast<P::Accessor>(f);
}
template <typename F>
F As(P::Accessor a) {
    return reinterpret_cast<F>(a);
}
const TNameValue* NamesOf(const P& p) { return static_cast<const TNameValue*>(p.Table); }

bool IntOf(const TDescValue& v, int& out) {
    if (v.Type != Kind::Integer || v.Integer < INT32_MIN || v.Integer > INT32_MAX) return false;
    out = static_cast<int>(v.Integer);
    return true;
}
bool ColorOf(const TDescValue& v, TColor& out) {
    if (v.Type != Kind::Integer || v.Integer < 0 || v.Integer > 0xFFFFFFFFll) return false;
    out = static_cast<TColor>(v.Integer);
    return true;
}
bool EnumOf(const TDescValue& v, const TNameValue* names, int& out) {
    if (v.Type != Kind::Ident) return false;
    for (; names->Name; ++names)
        if (v.Text == names->Name) {
            out = names->Value;
            return true;
        }
    return false;
}
TDescValue EnumV(const TNameValue* names, int value) {
    for (; names->Name; ++names)
        if (names->Value == value) return IdentV(names->Name);
    return IdentV(L"");
}
bool SetOf(const TDescValue& v, const TNameValue* names, unsigned& out) {
    if (v.Type != Kind::Set) return false;
    unsigned s = 0;
    for (const auto& item : v.SetItems) {
        bool found = false;
        for (const TNameValue* n = names; n->Name; ++n)
            if (item == n->Name) {
                s |= static_cast<unsigned>(n->Value);
                found = true;
            }
        if (!found) return false;
    }
    out = s;
    return true;
}
TDescValue SetV(const TNameValue* names, unsigned s) {
    TDescValue d;
    d.Type = Kind::Set;
    for (; names->Name; ++names)
        if (s & static_cast<unsigned>(names->Value)) d.SetItems.push_back(names->Name);
    return d;
}

bool SetInt(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    int i;
    if (!IntOf(v, i)) return false;
    As<IntWrite>(p.Write)(c, i);
    return true;
}
TDescValue GetInt(const P& p, TComponent& c) { return IntV(As<IntRead>(p.Read)(c)); }

bool SetColor(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    TColor color;
    if (!ColorOf(v, color)) return false;
    As<ColorWrite>(p.Write)(c, color);
    return true;
}
TDescValue GetColor(const P& p, TComponent& c) { return IntV(As<ColorRead>(p.Read)(c)); }

bool SetBool(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    if (v.Type != Kind::Ident || (v.Text != L"True" && v.Text != L"False")) return false;
    As<BoolWrite>(p.Write)(c, v.Text == L"True");
    return true;
}
TDescValue GetBool(const P& p, TComponent& c) { return BoolV(As<BoolRead>(p.Read)(c)); }

bool SetStr(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    if (v.Type != Kind::String) return false;
    As<StrWrite>(p.Write)(c, v.Text);
    return true;
}
TDescValue GetStr(const P& p, TComponent& c) { return StrV(As<StrRead>(p.Read)(c)); }

bool SetEnum(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    int e;
    if (!EnumOf(v, NamesOf(p), e)) return false;
    As<IntWrite>(p.Write)(c, e);
    return true;
}
TDescValue GetEnum(const P& p, TComponent& c) { return EnumV(NamesOf(p), As<IntRead>(p.Read)(c)); }

bool SetSet(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    unsigned s;
    if (!SetOf(v, NamesOf(p), s)) return false;
    As<SetWrite>(p.Write)(c, s);
    return true;
}
TDescValue GetSet(const P& p, TComponent& c) { return SetV(NamesOf(p), As<SetRead>(p.Read)(c)); }

bool SetPicture(const P& p, TComponent& c, const TDescValue& v, TReadContext& ctx) {
    return LoadPicture(As<PictureAccess>(p.Read)(c, p.Index), v, ctx);
}
TDescValue GetPicture(const P& p, TComponent& c) { return PictureV(As<PictureAccess>(p.Read)(c, p.Index)); }

// Font sub-properties by index: 0 Name, 1 Height, 2 Color, 3 Style, 4 Charset.
bool SetFont(const P& p, TComponent& c, const TDescValue& v, TReadContext&) {
    TFont& font = As<FontAccess>(p.Read)(c);
    int i;
    TColor color;
    unsigned style;
    switch (p.Index) {
        case 0:
            if (v.Type != Kind::String) return false;
            font.SetName(v.Text);
            return true;
        case 1:
            if (!IntOf(v, i)) return false;
            font.SetHeight(i);
            return true;
        case 2:
            if (!ColorOf(v, color)) return false;
            font.SetColor(color);
            return true;
        case 3:
            if (!SetOf(v, kFontStyles, style)) return false;
            font.SetStyle(style);
            return true;
        default:
            if (!IntOf(v, i)) return false;
            font.SetCharset(i);
            return true;
    }
}
TDescValue GetFont(const P& p, TComponent& c) {
    const TFont& font = As<FontAccess>(p.Read)(c);
    switch (p.Index) {
        case 0:
            return StrV(font.Name());
        case 1:
            return IntV(font.Height());
        case 2:
            return IntV(font.Color());
        case 3:
            return SetV(kFontStyles, font.Style());
        default:
            return IntV(font.Charset());
    }
}

// Margin sub-properties by index: 0..3 the margins, 4 the stretch mode.
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

const TNotifyEvent* FindHandler(TForm& f, const std::wstring& n, const TNotifyEvent*) {
    return f.FindNotifyHandler(n);
}
const TMouseEvent* FindHandler(TForm& f, const std::wstring& n, const TMouseEvent*) {
    return f.FindMouseHandler(n);
}
const TMouseMoveEvent* FindHandler(TForm& f, const std::wstring& n, const TMouseMoveEvent*) {
    return f.FindMouseMoveHandler(n);
}
const TContextPopupEvent* FindHandler(TForm& f, const std::wstring& n, const TContextPopupEvent*) {
    return f.FindContextPopupHandler(n);
}
// The controls' own event types, registered by the form by type.
template <typename Ev>
const Ev* FindHandler(TForm& f, const std::wstring& n, const Ev*) {
    return f.FindEventHandler<Ev>(n);
}
bool UnknownHandler(const TDescValue& v, TReadContext& ctx) {
    ctx.Error = L"unknown handler " + v.Text + L" (not registered by the form)";
    return false;
}
template <typename Ev>
bool SetEvent(const P& p, TComponent& c, const TDescValue& v, TReadContext& ctx) {
    if (v.Type != Kind::Ident) return false;
    const Ev* handler = FindHandler(ctx.Form, v.Text, static_cast<const Ev*>(nullptr));
    if (!handler) return UnknownHandler(v, ctx);
    As<Ev& (*)(TComponent&)>(p.Read)(c) = *handler;
    c.HandlerNames[p.Name] = v.Text;
    return true;
}
TDescValue GetEvent(const P& p, TComponent& c) {
    auto it = c.HandlerNames.find(p.Name);
    return IdentV(it == c.HandlerNames.end() ? L"" : it->second);
}

void AddProperty(TClassInfo& info, std::wstring name, TDescValue def, P::SetProc set, P::GetProc get,
                 P::Accessor read, P::Accessor write = nullptr, const void* table = nullptr, int index = 0) {
    P& p = info.Properties.emplace_back();
    p.Name = std::move(name);
    p.Default = std::move(def);
    p.Setter = set;
    p.Getter = get;
    p.Read = read;
    p.Write = write;
    p.Table = table;
    p.Index = index;
}
void AddFont(TClassInfo& info, const std::wstring& prefix, FontAccess font) {
    const P::Accessor read = Erase(font);
    AddProperty(info, prefix + L".Name", StrV(L"Tahoma"), SetFont, GetFont, read, nullptr, nullptr, 0);
    AddProperty(info, prefix + L".Height", IntV(-11), SetFont, GetFont, read, nullptr, nullptr, 1);
    AddProperty(info, prefix + L".Color", IntV(clWindowText), SetFont, GetFont, read, nullptr, nullptr, 2);
    AddProperty(info, prefix + L".Style", SetV(kFontStyles, 0), SetFont, GetFont, read, nullptr, nullptr, 3);
    AddProperty(info, prefix + L".Charset", IntV(DEFAULT_CHARSET), SetFont, GetFont, read, nullptr, nullptr,
                4);
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

void AddInt(TClassInfo& info, const wchar_t* name, int def, IntRead read, IntWrite write) {
    AddProperty(info, name, IntV(def), SetInt, GetInt, Erase(read), Erase(write));
}
void AddColor(TClassInfo& info, const wchar_t* name, TColor def, ColorRead read, ColorWrite write) {
    AddProperty(info, name, IntV(def), SetColor, GetColor, Erase(read), Erase(write));
}
void AddBool(TClassInfo& info, const wchar_t* name, bool def, BoolRead read, BoolWrite write) {
    AddProperty(info, name, BoolV(def), SetBool, GetBool, Erase(read), Erase(write));
}
void AddStr(TClassInfo& info, const wchar_t* name, StrRead read, StrWrite write) {
    AddProperty(info, name, StrV(L""), SetStr, GetStr, Erase(read), Erase(write));
}
void AddEnum(TClassInfo& info, const wchar_t* name, int def, const TNameValue* names, IntRead read,
             IntWrite write) {
    AddProperty(info, name, EnumV(names, def), SetEnum, GetEnum, Erase(read), Erase(write), names);
}
void AddSet(TClassInfo& info, const wchar_t* name, unsigned def, const TNameValue* bits, SetRead read,
            SetWrite write) {
    AddProperty(info, name, SetV(bits, def), SetSet, GetSet, Erase(read), Erase(write), bits);
}
void AddPicture(TClassInfo& info, std::wstring name, PictureAccess pic, int index) {
    AddProperty(info, std::move(name), TextV(Kind::Picture, L""), SetPicture, GetPicture, Erase(pic), nullptr,
                nullptr, index);
}
void AddEvent(TClassInfo& info, const wchar_t* name, P::SetProc set, P::Accessor event) {
    AddProperty(info, name, IdentV(L""), set, GetEvent, event);
}

// Registers the properties of class C. The accessors passed in are
// captureless lambdas on C; each becomes a small plain function on TControl,
// the only code made per property.
template <typename C>
class Builder {
public:
    explicit Builder(TClassInfo& info) : info_(info) {}
    TClassInfo& Info() { return info_; }

    template <typename S, typename G>
    void Add(const wchar_t* name, TDescValue def, S, G) {
        AddProperty(
            info_, name, std::move(def),
            [](const P&, TComponent& c, const TDescValue& v, TReadContext& ctx) -> bool {
                return S{}(static_cast<C&>(c), v, ctx);
            },
            [](const P&, TComponent& c) -> TDescValue { return G{}(static_cast<C&>(c)); }, nullptr);
    }
    template <typename G, typename S>
    void Int(const wchar_t* name, int def, G, S) {
        AddInt(
            info_, name, def, [](TComponent& c) -> int { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, int v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G, typename S>
    void Color(const wchar_t* name, TColor def, G, S) {
        AddColor(
            info_, name, def, [](TComponent& c) -> TColor { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, TColor v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G, typename S>
    void Bool(const wchar_t* name, bool def, G, S) {
        AddBool(
            info_, name, def, [](TComponent& c) -> bool { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, bool v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G, typename S>
    void Str(const wchar_t* name, G, S) {
        AddStr(
            info_, name, [](TComponent& c) -> std::wstring { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, const std::wstring& v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename E, typename G, typename S>
    void Enum(const wchar_t* name, E def, const TNameValue* names, G, S) {
        AddEnum(
            info_, name, static_cast<int>(def), names,
            [](TComponent& c) -> int { return static_cast<int>(G{}(static_cast<C&>(c))); },
            [](TComponent& c, int v) { S{}(static_cast<C&>(c), static_cast<E>(v)); });
    }
    template <typename G, typename S>
    void Set(const wchar_t* name, unsigned def, const TNameValue* bits, G, S) {
        AddSet(
            info_, name, def, bits, [](TComponent& c) -> unsigned { return G{}(static_cast<C&>(c)); },
            [](TComponent& c, unsigned v) { S{}(static_cast<C&>(c), v); });
    }
    template <typename G>
    void Picture(const wchar_t* name, G) {
        AddPicture(
            info_, name, [](TComponent& c, int) -> TPicture& { return G{}(static_cast<C&>(c)); }, 0);
    }
    // A picture picked by index from the object (G takes C& and the index).
    template <typename G>
    void PictureAt(std::wstring name, int index, G) {
        AddPicture(
            info_, std::move(name),
            [](TComponent& c, int i) -> TPicture& { return G{}(static_cast<C&>(c), i); }, index);
    }
    template <typename Ev, typename G>
    void Event(const wchar_t* name, G) {
        AddEvent(info_, name, SetEvent<Ev>,
                 Erase(+[](TComponent& c) -> Ev& { return G{}(static_cast<C&>(c)); }));
    }
    template <typename G>
    void Notify(const wchar_t* name, G g) {
        Event<TNotifyEvent>(name, g);
    }
    template <typename G>
    void Mouse(const wchar_t* name, G g) {
        Event<TMouseEvent>(name, g);
    }
    template <typename G>
    void MouseMove(const wchar_t* name, G g) {
        Event<TMouseMoveEvent>(name, g);
    }
    template <typename G>
    void ContextPopup(const wchar_t* name, G g) {
        Event<TContextPopupEvent>(name, g);
    }
    template <typename G>
    void Font(const std::wstring& prefix, G) {
        AddFont(info_, prefix, [](TComponent& c) -> TFont& { return G{}(static_cast<C&>(c)); });
    }
    template <typename G>
    void Margins(const std::wstring& prefix, G) {
        AddMargins(info_, prefix, [](TComponent& c) -> TDesignRect& { return G{}(static_cast<C&>(c)); });
    }

private:
    TClassInfo& info_;
};

// A reference to another object of the form by name, resolved once every
// object exists (it may come later in the description). An unknown name, or
// one of an object of another kind, is an error naming the property's line.
template <typename T, typename Assign>
bool DeferReference(const TDescValue& v, TReadContext& ctx, const wchar_t* kind, Assign assign) {
    if (v.Type != Kind::Ident) return false;
    ctx.Fixups.push_back([name = v.Text, where = ctx.Where, kind, assign](TReadContext& c) {
        T* target = dynamic_cast<T*>(c.Form.FindComponent(name));
        if (!target) {
            c.Error = where + L": no " + kind + L" named " + name;
            return false;
        }
        assign(target);
        return true;
    });
    return true;
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

template <typename C>
TClassInfo& NewClass(std::vector<TClassInfo>& table, const wchar_t* name, bool creatable = true) {
    TClassInfo& info = table.emplace_back();
    info.Name = name;
    if constexpr (std::is_default_constructible_v<C>) {
        if (creatable) info.Create = []() -> std::unique_ptr<TComponent> { return std::make_unique<C>(); };
    }
    return info;
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
    b.Margins(L"BackgroundOption", [](L& c) -> TDesignRect& { return c.BackgroundOption(); });
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
    b.Margins(L"ImageOption", [](B& c) -> TDesignRect& { return c.ImageOption(); });
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

}  // namespace

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

}  // namespace promo
