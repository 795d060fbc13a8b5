// Popup menus: read from the description with their items and references,
// shown by the form on a right click or the menu key after OnContextPopup,
// falling back to the parent's menu, and the chosen item's OnClick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ControlClasses.h"
#include "ui/Form.h"
#include "ui/FormReader.h"
#include "ui/Menu.h"

namespace promo {
namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }
bool Contains(const std::wstring& s, const wchar_t* part) { return s.find(part) != std::wstring::npos; }

class TMenuForm : public TForm {
public:
    TMenuForm() : TForm(L"TMenuForm") {
        RegisterHandler(L"openClick", this, &TMenuForm::openClick);
        RegisterHandler(L"ctxPass", this, &TMenuForm::ctxPass);
        RegisterHandler(L"ctxHandled", this, &TMenuForm::ctxHandled);
    }
    void openClick(TControl* sender) { opened.push_back(sender); }
    void ctxPass(TControl* sender, TPoint p, bool&) { Record(sender, p); }
    void ctxHandled(TControl* sender, TPoint p, bool& handled) {
        Record(sender, p);
        handled = true;
    }
    void Record(TControl* sender, TPoint p) {
        asked.push_back(sender);
        where.push_back(p);
    }
    std::vector<TControl*> opened, asked;
    std::vector<TPoint> where;
};

// The shape on the left has the menu (declared after it); the one on the
// right handles its context popup itself.
constexpr char kMenuForm[] = R"(object F: TMenuForm
  BorderStyle = bsNone
  ClientWidth = 200
  ClientHeight = 100
  object shpLeft: TShape
    Width = 100
    Height = 100
    PopupMenu = mnuShape
    OnContextPopup = ctxPass
  end
  object shpRight: TShape
    Left = 100
    Width = 100
    Height = 100
    OnContextPopup = ctxHandled
  end
  object mnuShape: TPopupMenu
    object miOpen: TMenuItem
      Caption = '&Open'
      OnClick = openClick
    end
    object miLine: TMenuItem
      Caption = '-'
    end
    object miOff: TMenuItem
      Caption = 'Off'
      Enabled = False
      OnClick = openClick
    end
    object miHidden: TMenuItem
      Caption = 'Hidden'
      Visible = False
    end
  end
end
)";

std::wstring ReadError(const std::string& body) {
    TMenuForm form;
    std::wstring error;
    const std::string text = "object F: TMenuForm\n" + body + "end\n";
    EXPECT_FALSE(ReadForm(form, ControlClasses(), text, FolderPictures(L""), error)) << text;
    return error;
}

TEST(PopupMenu, TheDescriptionDeclaresMenusWithItemsAndControlsNameThem) {
    TMenuForm form;
    std::wstring error;
    ASSERT_TRUE(ReadForm(form, ControlClasses(), kMenuForm, FolderPictures(L""), error)) << Narrow(error);
    auto* menu = dynamic_cast<TPopupMenu*>(form.FindComponent(L"mnuShape"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Count(), 4);
    EXPECT_EQ(menu->Items(0)->Caption, L"&Open");
    EXPECT_EQ(menu->Items(0)->HandlerNames[L"OnClick"], L"openClick");
    EXPECT_FALSE(menu->Items(2)->Enabled);
    EXPECT_EQ(form.FindComponent(L"miOff"), menu->Items(2));
    EXPECT_EQ(form.FindControl(L"shpLeft")->PopupMenu(), menu);
    EXPECT_EQ(form.FindControl(L"shpRight")->PopupMenu(), nullptr);
    EXPECT_EQ(form.Controls().size(), 2u);  // the menu is no control

    EXPECT_TRUE(Contains(ReadError("object a: TShape\n PopupMenu = mnuNone\nend\n"),
                         L"line 3: a.PopupMenu: no popup menu named mnuNone"));
    EXPECT_TRUE(Contains(ReadError("object a: TShape\n PopupMenu = b\nend\nobject b: TShape\nend\n"),
                         L"no popup menu named b"));
    EXPECT_TRUE(
        Contains(ReadError("object i: TMenuItem\nend\n"), L"line 2: a TMenuItem belongs in a popup menu"));
    EXPECT_TRUE(Contains(ReadError("object m: TPopupMenu\n object s: TShape\n end\nend\n"),
                         L"line 3: a TShape cannot stand in a menu"));
    EXPECT_TRUE(Contains(ReadError("object s: TShape\n object i: TMenuItem\n end\nend\n"),
                         L"TShape holds no controls"));
    EXPECT_TRUE(Contains(ReadError("object m: TPopupMenu\n object m: TMenuItem\n end\nend\n"),
                         L"the name m is taken"));
    EXPECT_TRUE(Contains(ReadError("object m: TPopupMenu\n object i: TMenuItem\n Shortcut = 1\n end\nend\n"),
                         L"i.Shortcut: unknown property of TMenuItem"));
}

// What the menu would have shown, and the item the "user" picks.
struct TrackLog {
    static inline int calls = 0;
    static inline UINT pick = 0;
    static inline POINT at{};
    static inline HWND owner = nullptr;
    static inline std::vector<std::wstring> shown;
    static inline std::vector<UINT> states;
    static UINT Track(HMENU menu, UINT flags, int x, int y, HWND wnd) {
        ++calls;
        at = {x, y};
        owner = wnd;
        shown.clear();
        states.clear();
        EXPECT_NE(flags & TPM_RETURNCMD, 0u);
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            shown.emplace_back(text);
            states.push_back(::GetMenuState(menu, i, MF_BYPOSITION));
        }
        return pick;
    }
};

class PopupMenuRouting : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring error;
        ASSERT_TRUE(form.Initialize(ControlClasses(), kMenuForm, error)) << Narrow(error);
        form.SetBounds(40, 50, 200, 100);
        form.CreateHandle();
        left = form.FindControl(L"shpLeft");
        right = form.FindControl(L"shpRight");
        menu = dynamic_cast<TPopupMenu*>(form.FindComponent(L"mnuShape"));
        TrackLog::calls = 0;
        TrackLog::pick = 0;
        TPopupMenu::SetTrackProcForTesting(&TrackLog::Track);
    }
    void TearDown() override { TPopupMenu::SetTrackProcForTesting(nullptr); }
    void RightClick(int x, int y) {
        ::SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        ::SendMessageW(form.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(form.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    }
    POINT Screen(int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(form.Handle(), &p);
        return p;
    }

    TMenuForm form;
    TControl* left = nullptr;
    TControl* right = nullptr;
    TPopupMenu* menu = nullptr;
};

TEST_F(PopupMenuRouting, ARightClickAsksTheControlThenShowsItsMenuAndRunsTheChosenItem) {
    TrackLog::pick = 1;  // "&Open"
    RightClick(30, 40);
    ASSERT_EQ(form.asked.size(), 1u);
    EXPECT_EQ(form.asked[0], left);
    EXPECT_EQ(form.where[0].X, 30);
    EXPECT_EQ(form.where[0].Y, 40);
    ASSERT_EQ(TrackLog::calls, 1);
    const POINT want = Screen(30, 40);
    EXPECT_EQ(TrackLog::at.x, want.x);
    EXPECT_EQ(TrackLog::at.y, want.y);
    EXPECT_EQ(TrackLog::owner, form.Handle());
    // Hidden items are left out; disabled ones are grey; "-" is a line.
    ASSERT_EQ(TrackLog::shown, (std::vector<std::wstring>{L"&Open", L"", L"Off"}));
    EXPECT_NE(TrackLog::states[1] & MF_SEPARATOR, 0u);
    EXPECT_NE(TrackLog::states[2] & MF_GRAYED, 0u);
    ASSERT_EQ(form.opened.size(), 1u);
    EXPECT_EQ(form.opened[0], left);  // the control the menu was shown for
    EXPECT_EQ(menu->PopupComponent(), left);
    // Dismissed, or a disabled item: nothing runs.
    TrackLog::pick = 0;
    RightClick(30, 40);
    TrackLog::pick = 3;
    RightClick(30, 40);
    EXPECT_EQ(TrackLog::calls, 3);
    EXPECT_EQ(form.opened.size(), 1u);
}

TEST_F(PopupMenuRouting, AHandledContextPopupShowsNoMenu) {
    right->SetPopupMenu(menu);
    RightClick(150, 20);
    ASSERT_EQ(form.asked.size(), 1u);
    EXPECT_EQ(form.asked[0], right);
    EXPECT_EQ(form.where[0].X, 50);  // the control's own coordinates
    EXPECT_EQ(TrackLog::calls, 0);
}

TEST_F(PopupMenuRouting, WithoutAMenuOfItsOwnTheFormsMenuShows) {
    right->OnContextPopup = nullptr;
    RightClick(150, 20);
    EXPECT_EQ(TrackLog::calls, 0);  // neither has a menu
    form.SetPopupMenu(menu);
    TrackLog::pick = 1;
    RightClick(150, 20);
    EXPECT_EQ(TrackLog::calls, 1);
    ASSERT_EQ(form.opened.size(), 1u);
    EXPECT_EQ(form.opened[0], &form);
    // A menu that does not pop up by itself is left alone.
    menu->AutoPopup = false;
    RightClick(150, 20);
    EXPECT_EQ(TrackLog::calls, 1);
}

TEST_F(PopupMenuRouting, TheMenuKeyUsesTheControlUnderTheMouseAndItsTopLeft) {
    ::SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
    ::SendMessageW(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()), -1);
    ASSERT_EQ(form.asked.size(), 1u);
    EXPECT_EQ(form.asked[0], left);
    EXPECT_EQ(form.where[0].X, -1);
    EXPECT_EQ(form.where[0].Y, -1);
    ASSERT_EQ(TrackLog::calls, 1);
    const POINT corner = Screen(0, 0);
    EXPECT_EQ(TrackLog::at.x, corner.x);
    EXPECT_EQ(TrackLog::at.y, corner.y);
    ::SendMessageW(form.Handle(), WM_KEYUP, VK_APPS, 0);  // the menu key itself
    EXPECT_EQ(TrackLog::calls, 2);
    EXPECT_EQ(form.asked.size(), 2u);
    // A disabled control does not take it: the form does (no menu there).
    left->SetEnabled(false);
    ::SendMessageW(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()), -1);
    EXPECT_EQ(TrackLog::calls, 2);
    EXPECT_EQ(form.asked.size(), 2u);
}

TEST(PopupMenu, DestroyingTheMenuOrTheControlClearsTheReferences) {
    TShape shape;
    auto menu = std::make_unique<TPopupMenu>();
    shape.SetPopupMenu(menu.get());
    menu.reset();
    EXPECT_EQ(shape.PopupMenu(), nullptr);

    TPopupMenu kept;
    {
        TShape gone;
        gone.SetPopupMenu(&kept);
        kept.SetPopupComponent(&gone);
    }
    EXPECT_EQ(kept.PopupComponent(), nullptr);
}

void CALLBACK CloseTheMenu(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }

// The system's own menu under Wine: keys waiting in the queue pick the first
// item while the menu runs its loop.
TEST(PopupMenu, TheSystemMenuShowsAndTakesAChoice) {
    TMenuForm form;
    std::wstring error;
    ASSERT_TRUE(form.Initialize(ControlClasses(), kMenuForm, error)) << Narrow(error);
    form.SetBounds(40, 50, 200, 100);
    form.Show();
    ::SetForegroundWindow(form.Handle());
    // A safety net: a menu that never reads the keys is closed.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 5000, &CloseTheMenu);
    ::PostMessageW(form.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(form.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
    ::SendMessageW(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()), -1);
    ::KillTimer(nullptr, timer);
    ASSERT_EQ(form.opened.size(), 1u);
    EXPECT_EQ(form.opened[0], form.FindControl(L"shpLeft"));
}

}  // namespace
}  // namespace promo
