#include "ui/FormReader.h"

#include <cstdio>

#include "support/Timeline.h"
#include "ui/Form.h"
#include "ui/Menu.h"

namespace promo {

std::wstring PictureResourceName(const std::wstring& file) {
    std::wstring out;
    for (wchar_t c : file) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        out.push_back((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ? c : L'_');
    }
    return out;
}

namespace {

bool ResourceBytes(HMODULE module, const wchar_t* name, const std::uint8_t*& data, DWORD& size) {
    HRSRC res = ::FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!res) return false;
    HGLOBAL mem = ::LoadResource(module, res);
    size = ::SizeofResource(module, res);
    data = mem ? static_cast<const std::uint8_t*>(::LockResource(mem)) : nullptr;
    return data != nullptr;
}

}  // namespace

TPictureSource ResourcePictures(HMODULE module) {
    return [module](const std::wstring& file, std::vector<std::uint8_t>& stream) {
        const std::uint8_t* data = nullptr;
        DWORD size = 0;
        if (!ResourceBytes(module, PictureResourceName(file).c_str(), data, size)) return false;
        stream.assign(data, data + size);
        return true;
    };
}

TPictureSource FolderPictures(const std::wstring& folder) {
    return [folder](const std::wstring& file, std::vector<std::uint8_t>& stream) {
        std::FILE* f = _wfopen((folder + L"\\" + file).c_str(), L"rb");
        if (!f) return false;
        std::vector<std::uint8_t> bytes;
        unsigned char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
        stream = MakePictureStream("TPngImage", bytes);
        return true;
    };
}

bool LoadDescriptionResource(HMODULE module, const wchar_t* name, std::string& text) {
    const std::uint8_t* data = nullptr;
    DWORD size = 0;
    if (!ResourceBytes(module, name, data, size)) return false;
    text.assign(reinterpret_cast<const char*>(data), size);
    return true;
}

const TPropertyInfo* TClassInfo::Find(const std::wstring& name) const {
    for (const auto& p : Properties)
        if (p.Name == name) return &p;
    return nullptr;
}

const TClassInfo* FindClass(const TClassTable& classes, const std::wstring& name) {
    for (const auto& c : classes)
        if (c.Name == name) return &c;
    return nullptr;
}

bool SameValue(const TDescValue& a, const TDescValue& b) {
    if (a.Type != b.Type) return false;
    switch (a.Type) {
        case TDescValue::Kind::Integer:
            return a.Integer == b.Integer;
        case TDescValue::Kind::String:
        case TDescValue::Kind::Ident:
        case TDescValue::Kind::Picture:
            return a.Text == b.Text;
        case TDescValue::Kind::Set:
            return a.SetItems == b.SetItems;
        case TDescValue::Kind::Items:
            if (a.Items.size() != b.Items.size()) return false;
            for (size_t i = 0; i < a.Items.size(); ++i) {
                const auto& pa = a.Items[i].Properties;
                const auto& pb = b.Items[i].Properties;
                if (pa.size() != pb.size()) return false;
                for (size_t k = 0; k < pa.size(); ++k)
                    if (pa[k].Name != pb[k].Name || !SameValue(pa[k].Value, pb[k].Value)) return false;
            }
            return true;
    }
    return false;
}

std::wstring ValueText(const TDescValue& v) {
    switch (v.Type) {
        case TDescValue::Kind::Integer:
            return std::to_wstring(v.Integer);
        case TDescValue::Kind::String:
            return L"'" + v.Text + L"'";
        case TDescValue::Kind::Ident:
            return v.Text;
        case TDescValue::Kind::Picture:
            return L"picture(" + v.Text + L")";
        case TDescValue::Kind::Set: {
            std::wstring s = L"[";
            for (size_t i = 0; i < v.SetItems.size(); ++i) s += (i ? L", " : L"") + v.SetItems[i];
            return s + L"]";
        }
        case TDescValue::Kind::Items: {
            std::wstring s = L"<";
            for (const auto& item : v.Items) {
                s += L" item";
                for (const auto& p : item.Properties) s += L" " + p.Name + L"=" + ValueText(p.Value);
                s += L" end";
            }
            return s + L" >";
        }
    }
    return {};
}

namespace {

bool ApplyProperties(TComponent& object, const TClassInfo& cls, const std::vector<TDescProperty>& props,
                     TReadContext& ctx, const std::wstring& objectName) {
    for (const auto& p : props) {
        const TPropertyInfo* info = cls.Find(p.Name);
        const std::wstring where = L"line " + std::to_wstring(p.Line) + L": " + objectName + L"." + p.Name;
        if (!info) {
            ctx.Error = where + L": unknown property of " + cls.Name;
            return false;
        }
        ctx.Error.clear();
        ctx.Where = where;
        if (!info->Set(object, p.Value, ctx)) {
            ctx.Error =
                where + L": " + (ctx.Error.empty() ? L"unsuitable value " + ValueText(p.Value) : ctx.Error);
            return false;
        }
    }
    return true;
}

bool Fail(TReadContext& ctx, const TDescObject& obj, const std::wstring& what) {
    ctx.Error = L"line " + std::to_wstring(obj.Line) + L": " + what;
    return false;
}

// Creates one object of the description by its class and sets its
// properties; a popup menu takes its nested menu items.
bool ReadObject(TForm& form, const TClassTable& classes, const TDescObject& desc, TReadContext& ctx,
                std::vector<TControl*>& created, TPopupMenu* menu) {
    const TClassInfo* cls = FindClass(classes, desc.ClassName);
    if (!cls || !cls->Create) return Fail(ctx, desc, L"unknown class " + desc.ClassName);
    if (form.FindComponent(desc.Name) || desc.Name == form.Name)
        return Fail(ctx, desc, L"the name " + desc.Name + L" is taken");
    std::unique_ptr<TComponent> object = cls->Create();
    TComponent* raw = object.get();
    raw->Name = desc.Name;
    auto* control = dynamic_cast<TControl*>(raw);
    auto* popup = dynamic_cast<TPopupMenu*>(raw);
    auto* item = dynamic_cast<TMenuItem*>(raw);
    if (menu) {
        if (!item) return Fail(ctx, desc, L"a " + desc.ClassName + L" cannot stand in a menu");
        menu->Add(std::unique_ptr<TMenuItem>(static_cast<TMenuItem*>(object.release())));
    } else if (control) {
        control->BeginLoading();
        form.AddControl(std::unique_ptr<TControl>(static_cast<TControl*>(object.release())));
        created.push_back(control);
    } else if (popup) {
        form.AddComponent(std::move(object));
    } else {
        return Fail(ctx, desc, L"a " + desc.ClassName + L" belongs in a popup menu");
    }
    if (!desc.Children.empty() && !popup) return Fail(ctx, desc, desc.ClassName + L" holds no controls");
    if (!ApplyProperties(*raw, *cls, desc.Properties, ctx, desc.Name)) return false;
    for (const TDescObject& child : desc.Children)
        if (!ReadObject(form, classes, child, ctx, created, popup)) return false;
    return true;
}

}  // namespace

bool ReadForm(TForm& form, const TClassTable& classes, std::string_view description,
              const TPictureSource& pictures, std::wstring& error, const TReadOptions& options) {
    TDescObject root;
    if (!ParseDescription(description, root, error)) return false;
    TimelineMark(L"description-parse");
    if (root.ClassName != form.FormClassName()) {
        error = L"line " + std::to_wstring(root.Line) + L": the description is of class " + root.ClassName +
                L", the form is " + form.FormClassName();
        return false;
    }
    const TClassInfo* formClass = FindClass(classes, L"TForm");
    if (!formClass) {
        error = L"the class table has no TForm";
        return false;
    }
    TReadContext ctx{form, pictures, {}, options.StrictPictures, {}, {}};
    form.Name = root.Name;
    form.BeginLoading();
    std::vector<TControl*> created;
    bool ok = ApplyProperties(form, *formClass, root.Properties, ctx, root.Name);
    for (size_t i = 0; ok && i < root.Children.size(); ++i)
        ok = ReadObject(form, classes, root.Children[i], ctx, created, nullptr);
    // References by name, now that every object exists.
    for (size_t i = 0; ok && i < ctx.Fixups.size(); ++i) ok = ctx.Fixups[i](ctx);
    if (!ok) {
        error = ctx.Error;
        return false;
    }
    TimelineMark(L"description-objects");
    if (options.RunLoaded) {
        form.EndLoading();
        for (TControl* c : created) c->EndLoading();
        form.AlignControls();
    }
    return true;
}

}  // namespace promo
