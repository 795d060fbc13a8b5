// The value kinds' routines and the registration of properties (see
// ui/PropertyBinding.h).
#include "ui/PropertyBinding.h"

#include "support/DebugOutput.h"

namespace promo::binding {

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
    if (problem.empty()) {
        target.SetSourceFile(v.Text);  // to load it again at another DPI
        return true;
    }
    if (ctx.StrictPictures) {
        ctx.Error = problem;
        return false;
    }
    // A missing picture leaves the control empty, as any empty picture.
    target.Clear();
    DebugOut(problem);
    return true;
}

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
bool UnknownHandler(const TDescValue& v, TReadContext& ctx) {
    ctx.Error = L"unknown handler " + v.Text + L" (not registered by the form)";
    return false;
}

namespace {

constexpr TNameValue kFontStyles[] = {NV(L"fsBold", fsBold),
                                      NV(L"fsItalic", fsItalic),
                                      NV(L"fsUnderline", fsUnderline),
                                      NV(L"fsStrikeOut", fsStrikeOut),
                                      {nullptr, 0}};

const TNameValue* NamesOf(const P& p) { return static_cast<const TNameValue*>(p.Table); }

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

TDescValue GetEvent(const P& p, TComponent& c) {
    auto it = c.HandlerNames.find(p.Name);
    return IdentV(it == c.HandlerNames.end() ? L"" : it->second);
}

}  // namespace

void AddProperty(TClassInfo& info, std::wstring name, TDescValue def, P::SetProc set, P::GetProc get,
                 P::Accessor read, P::Accessor write, const void* table, int index) {
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

}  // namespace promo::binding
