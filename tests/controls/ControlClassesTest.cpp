// The class table: every declared default is what a new object has, every
// property reads back what a description says, and the controls' own event
// types bind to handlers of exactly their type.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/ControlClasses.h"
#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "ui/Form.h"
#include "ui/FormReader.h"
#include "ui/SampleForm.h"

namespace promo {
namespace {

using test::TSampleForm;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }
bool Contains(const std::wstring& s, const wchar_t* part) { return s.find(part) != std::wstring::npos; }

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
