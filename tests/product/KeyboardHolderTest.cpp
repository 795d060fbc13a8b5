#include <gtest/gtest.h>

#include "product/KeyboardHolder.h"

namespace promo {
namespace {

struct Row {
    const char* what;
    KeyboardHolderFacts foreground;
    bool held;
};

KeyboardHolderFacts Other(const wchar_t* className) { return {true, false, false, className}; }

TEST(AnotherProgramHoldsTheKeyboard, OnlyAnotherProgramsOrdinaryWindow) {
    const Row rows[] = {
        {"nothing in front", {}, false},
        {"the desktop window", Other(L"#32769"), false},
        {"the desktop by identity, whatever its class", {true, false, true, L"SomeShell"}, false},
        {"the shell's desktop", Other(L"Progman"), false},
        {"the wallpaper worker", Other(L"WorkerW"), false},
        {"the task bar", Other(L"Shell_TrayWnd"), false},
        {"a second screen's task bar", Other(L"Shell_SecondaryTrayWnd"), false},
        {"class names in another case", Other(L"shell_traywnd"), false},
        {"a window of this program", {true, true, false, L"PellorinPromoForm"}, false},
        {"an editor", Other(L"Notepad"), true},
        {"a dialog box", Other(L"#32770"), true},
        {"a class that only begins like the task bar's", Other(L"Shell_TrayWndX"), true},
        {"a class that could not be read", Other(L""), true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AnotherProgramHoldsTheKeyboard(row.foreground), row.held) << row.what;
}

}  // namespace
}  // namespace promo
