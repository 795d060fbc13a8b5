// Keyboard operation and the accessible object of a form, in process: the
// sample window's tab order, Enter/Space/Esc, the focus cue's pixels, and
// what an accessibility client reads and does through IAccessible, including
// a client that keeps its object after the form is gone.
#include <gtest/gtest.h>
#include <windows.h>
// oleacc.h needs windows.h first
#include <oleacc.h>

#include <string>

#include "controls/ControlClasses.h"
#include "controls/RdImageButton.h"
#include "ui/Accessible.h"
#include "ui/Form.h"

namespace promo {
namespace {

class TAccessForm : public TForm {
public:
    TAccessForm() : TForm(L"TSampleForm") {
        for (const wchar_t* name : {L"FormCreate", L"FormShow"})
            RegisterHandler(name, TNotifyEvent([](TControl*) {}));
        RegisterHandler(L"btnBuyClick", this, &TAccessForm::btnBuyClick);
        RegisterHandler(L"shpMouseDown", this, &TAccessForm::shpMouseDown);
        RegisterHandler(L"shpMouseMove", this, &TAccessForm::shpMouseMove);
        RegisterHandler(L"shpContextPopup", this, &TAccessForm::shpContextPopup);
        std::wstring error;
        built = InitializeFromResource(ControlClasses(), L"SAMPLEFORM", error);
        if (!built) return;
        btnBuy = FindChild<TRdImageButton>(L"btnBuy");
        btnClose = FindChild<TRdImageButton>(L"btnClose");
        btnClose->OnClick = [this](TControl*) { ++closeClicks; };
        SetCancelControl(btnClose);
        SetBounds(200, 150, ClientWidth(), ClientHeight());
        CreateHandle();
    }
    void btnBuyClick(TControl*) { ++buyClicks; }
    void shpMouseDown(TControl*, TMouseButton, TShiftState, int, int) {}
    void shpMouseMove(TControl*, TShiftState, int, int) {}
    void shpContextPopup(TControl*, TPoint, bool&) {}

    void Key(WPARAM key, bool repeat = false) {
        ::SendMessageW(Handle(), WM_KEYDOWN, key, repeat ? (1 << 30) | 1 : 1);
    }

    bool built = false;
    TRdImageButton* btnBuy = nullptr;
    TRdImageButton* btnClose = nullptr;
    int buyClicks = 0, closeClicks = 0;
};

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

void HoldShift(bool down) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

VARIANT Child(long id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Name(IAccessible* acc, long id) {
    BSTR s = nullptr;
    if (FAILED(acc->get_accName(Child(id), &s)) || !s) return L"<none>";
    std::wstring out(s, ::SysStringLen(s));
    ::SysFreeString(s);
    return out;
}

long Role(IAccessible* acc, long id) {
    VARIANT v{};
    return SUCCEEDED(acc->get_accRole(Child(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

struct Ref {  // the test's reference to the object
    explicit Ref(IAccessible* p) : acc(p) {}
    ~Ref() {
        if (acc) acc->Release();
    }
    IAccessible* acc;
};

TEST(Keyboard, TabEnterSpaceAndEscActAsTheTableSays) {
    struct Case {
        const char* name;
        std::vector<WPARAM> keys;  // 0x100 | key: the key as an auto-repeat
        bool shift;
        const wchar_t* focused;  // nullptr: none
        int buy, close;
    };
    const Case cases[] = {
        {"enter before any tab presses nothing", {VK_RETURN, VK_SPACE}, false, nullptr, 0, 0},
        {"tab reaches the buy button first", {VK_TAB}, false, L"btnBuy", 0, 0},
        {"tab tab enter presses close", {VK_TAB, VK_TAB, VK_RETURN}, false, L"btnClose", 0, 1},
        {"tab wraps round", {VK_TAB, VK_TAB, VK_TAB, VK_SPACE}, false, L"btnBuy", 1, 0},
        {"shift tab starts at the last stop", {VK_TAB}, true, L"btnClose", 0, 0},
        {"a held enter's repeats press nothing", {VK_TAB, 0x100 | VK_RETURN}, false, L"btnBuy", 0, 0},
        {"esc is the close button, focus or not", {VK_ESCAPE}, false, nullptr, 0, 1},
    };
    // One window for all cases (showing one takes Wine two seconds here).
    TAccessForm form;
    ASSERT_TRUE(form.built);
    form.Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.FocusControl(nullptr);
        form.buyClicks = form.closeClicks = 0;
        HoldShift(c.shift);
        for (WPARAM k : c.keys) form.Key(k & 0xFF, (k & 0x100) != 0);
        HoldShift(false);
        Pump();
        EXPECT_EQ(form.FocusedControl() ? form.FocusedControl()->Name : L"", c.focused ? c.focused : L"");
        EXPECT_EQ(form.buyClicks, c.buy);
        EXPECT_EQ(form.closeClicks, c.close);
    }
}

// The user's "always show keyboard cues" setting, for one test.
class KeyboardCues {
public:
    explicit KeyboardCues(BOOL always) {
        ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &saved_, 0);
        ::SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(always)),
                                0);
    }
    ~KeyboardCues() {
        ::SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(saved_)),
                                0);
    }

private:
    BOOL saved_ = FALSE;
};

TEST(Keyboard, TheFocusCueIsDrawnOnlyAfterTheKeyboardWasUsed) {
    const KeyboardCues cues(FALSE);
    TAccessForm form;
    ASSERT_TRUE(form.built);
    form.Show();
    ::SendMessageW(form.Handle(), WM_SETFOCUS, 0, 0);
    DecodedImage before, focusedByProgram, afterTab;
    ASSERT_TRUE(form.RenderToImage(before));
    EXPECT_FALSE(form.FocusCuesShown());
    // Focus given without the keyboard (a client's accSelect): no cue yet.
    form.FocusControl(form.btnBuy);
    ASSERT_TRUE(form.RenderToImage(focusedByProgram));
    EXPECT_EQ(before.pixels, focusedByProgram.pixels);
    form.FocusControl(nullptr);
    form.Key(VK_TAB);
    EXPECT_TRUE(form.FocusCuesShown());
    ASSERT_TRUE(form.RenderToImage(afterTab));
    // The cue changes pixels inside the buy button only, on its inset frame.
    const TRect buy = form.btnBuy->BoundsRect();
    int changed = 0;
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x) {
            const size_t i = static_cast<size_t>(y) * before.width + x;
            if (before.pixels[i] == afterTab.pixels[i]) continue;
            ++changed;
            EXPECT_TRUE(buy.Contains(x, y)) << x << "," << y;
            EXPECT_TRUE(x == buy.Left + 3 || x == buy.Right - 4 || y == buy.Top + 3 || y == buy.Bottom - 4)
                << x << "," << y;
        }
    EXPECT_GT(changed, buy.Width());
    // Losing the system focus takes the cue away.
    ::SendMessageW(form.Handle(), WM_KILLFOCUS, 0, 0);
    DecodedImage unfocused;
    ASSERT_TRUE(form.RenderToImage(unfocused));
    EXPECT_EQ(before.pixels, unfocused.pixels);
}

TEST(Keyboard, AUserWhoAlwaysWantsCuesSeesThemWithoutTheKeyboard) {
    const KeyboardCues cues(TRUE);
    TAccessForm form;
    ASSERT_TRUE(form.built);
    form.Show();
    EXPECT_TRUE(form.FocusCuesShown());
}

TEST(Accessible, TheTreeGivesRolesNamesActionsAndPlaces) {
    TAccessForm form;
    ASSERT_TRUE(form.built);
    form.Show();
    TAccessibleServer server(form);
    Ref ref(server.Object());
    IAccessible* acc = ref.acc;
    ASSERT_NE(acc, nullptr);
    long count = 0;
    ASSERT_EQ(acc->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 3);  // the shape, the badge and the hidden picture list say nothing
    struct Row {
        long id;
        long role;
        const wchar_t* name;
        const wchar_t* action;  // nullptr: none
        const wchar_t* control;
    };
    const Row rows[] = {
        {CHILDID_SELF, ROLE_SYSTEM_CLIENT, L"SampleForm", nullptr, nullptr},
        {1, ROLE_SYSTEM_STATICTEXT, L"Pellorin 7", nullptr, L"lblTitle"},
        {2, ROLE_SYSTEM_PUSHBUTTON, L"Buy", L"Press", L"btnBuy"},
        {3, ROLE_SYSTEM_PUSHBUTTON, L"Close", L"Press", L"btnClose"},  // named by its hint
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        EXPECT_EQ(Role(acc, r.id), r.role);
        EXPECT_EQ(Name(acc, r.id), r.name);
        BSTR action = nullptr;
        const HRESULT hr = acc->get_accDefaultAction(Child(r.id), &action);
        EXPECT_EQ(action ? std::wstring(action) : L"<none>", r.action ? r.action : L"<none>");
        EXPECT_EQ(hr, r.action ? S_OK : S_FALSE);
        if (action) ::SysFreeString(action);
        if (!r.control) continue;
        const TRect b = form.FindControl(r.control)->BoundsRect();
        long l = 0, t = 0, w = 0, h = 0;
        ASSERT_EQ(acc->accLocation(&l, &t, &w, &h, Child(r.id)), S_OK);
        EXPECT_EQ(l, 200 + b.Left);
        EXPECT_EQ(t, 150 + b.Top);
        EXPECT_EQ(w, b.Width());
        EXPECT_EQ(h, b.Height());
        // The point in the middle of what is drawn answers the same child.
        VARIANT hit{};
        ASSERT_EQ(acc->accHitTest(l + w / 2, t + h / 2, &hit), S_OK);
        EXPECT_EQ(hit.vt, VT_I4);
        EXPECT_EQ(hit.lVal, r.id);
    }
    VARIANT hit{};
    EXPECT_EQ(acc->accHitTest(200 + 5, 150 + 110, &hit), S_OK);  // the background
    EXPECT_EQ(hit.lVal, CHILDID_SELF);
    EXPECT_EQ(acc->accHitTest(10, 10, &hit), S_FALSE);  // outside the window
    EXPECT_EQ(hit.vt, VT_EMPTY);

    VARIANT next{};
    EXPECT_EQ(acc->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &next), S_OK);
    EXPECT_EQ(next.lVal, 1);
    EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, Child(2), &next), S_OK);
    EXPECT_EQ(next.lVal, 3);
    EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, Child(3), &next), S_FALSE);

    BSTR text = nullptr;
    EXPECT_EQ(acc->get_accName(Child(4), &text), E_INVALIDARG);
    EXPECT_EQ(acc->get_accName(Child(-3), &text), E_INVALIDARG);
    EXPECT_EQ(text, nullptr);
}

TEST(Accessible, StateFollowsFocusAndTheEnabledState) {
    TAccessForm form;
    ASSERT_TRUE(form.built);
    form.Show();
    ::SendMessageW(form.Handle(), WM_SETFOCUS, 0, 0);
    TAccessibleServer server(form);
    Ref ref(server.Object());
    auto state = [&](long id) {
        VARIANT v{};
        ref.acc->get_accState(Child(id), &v);
        return v.lVal;
    };
    VARIANT focus{};
    EXPECT_EQ(ref.acc->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, CHILDID_SELF);  // nothing inside has the focus yet
    EXPECT_EQ(state(2), STATE_SYSTEM_FOCUSABLE);
    form.Key(VK_TAB);
    EXPECT_EQ(state(2), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(ref.acc->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, 2);
    EXPECT_EQ(state(1), STATE_SYSTEM_READONLY);
    form.btnClose->SetEnabled(false);
    EXPECT_EQ(state(3), STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(ref.acc->accDoDefaultAction(Child(3)), E_FAIL);
    // A client moves the focus as Tab would.
    form.btnClose->SetEnabled(true);
    EXPECT_EQ(ref.acc->accSelect(SELFLAG_TAKEFOCUS, Child(3)), S_OK);
    EXPECT_EQ(form.FocusedControl(), form.btnClose);
    EXPECT_EQ(ref.acc->accSelect(SELFLAG_TAKEFOCUS, Child(1)), E_INVALIDARG);  // a text takes no focus
}

TEST(Accessible, TheDefaultActionIsTheClickOnceAndOnlyWhileShown) {
    TAccessForm form;
    ASSERT_TRUE(form.built);
    form.Show();
    TAccessibleServer server(form);
    Ref ref(server.Object());
    EXPECT_EQ(ref.acc->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(form.buyClicks, 0);  // the client's call returns before the click runs
    Pump();
    EXPECT_EQ(form.buyClicks, 1);
    EXPECT_EQ(ref.acc->accDoDefaultAction(Child(1)), DISP_E_MEMBERNOTFOUND);  // a text has no action
    EXPECT_EQ(ref.acc->accDoDefaultAction(Child(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);
    // Two actions queued and the first dismisses the window: one dismissal.
    form.btnClose->OnClick = [&form](TControl*) {
        ++form.closeClicks;
        form.Hide();
    };
    EXPECT_EQ(ref.acc->accDoDefaultAction(Child(3)), S_OK);
    EXPECT_EQ(ref.acc->accDoDefaultAction(Child(3)), S_OK);
    Pump();
    EXPECT_EQ(form.closeClicks, 1);
    EXPECT_EQ(ref.acc->accDoDefaultAction(Child(3)), CO_E_OBJNOTCONNECTED);
}

TEST(Accessible, AClientKeepingTheObjectAfterTheFormIsGoneGetsNotConnected) {
    IAccessible* acc = nullptr;
    {
        TAccessForm form;
        ASSERT_TRUE(form.built);
        form.Show();
        TAccessibleServer server(form);
        acc = server.Object();
        ASSERT_NE(acc, nullptr);
        // The window goes first: the object notices before its server does.
        ::DestroyWindow(form.Handle());
        long count = -1;
        EXPECT_EQ(acc->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    }
    Ref ref(acc);
    long count = -1;
    BSTR name = nullptr;
    VARIANT v{};
    long l = 0;
    EXPECT_EQ(acc->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->get_accName(Child(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->get_accRole(Child(CHILDID_SELF), &v), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->accHitTest(1, 1, &v), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->accLocation(&l, &l, &l, &l, Child(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->accDoDefaultAction(Child(2)), CO_E_OBJNOTCONNECTED);
    IDispatch* parent = nullptr;
    EXPECT_EQ(acc->get_accParent(&parent), CO_E_OBJNOTCONNECTED);
}

}  // namespace
}  // namespace promo
