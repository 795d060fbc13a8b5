// A small DPI reader for the end-to-end tests, run under Wine beside the
// program. It declares no awareness of its own (no manifest), as the program
// does not, so its own answer is the platform's default for such a process.
//
// dpi_client default          "aware N": IsProcessDPIAware of this process
// dpi_client window <title>   "awareness N": the DPI awareness of the
//                             top-level window with that title
//                             (GetAwarenessFromDpiAwarenessContext of
//                             GetWindowDpiAwarenessContext)
//
// Exit code 0 on success, 2 when the window is not found, 3 when the system
// lacks the entry points (before Windows 10 1607).
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

using GetWindowContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using AwarenessFromContextFn = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);

template <typename Fn>
Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"default") == 0) {
        std::printf("aware %d\n", ::IsProcessDPIAware() ? 1 : 0);
        return 0;
    }
    if (argc == 3 && std::wcscmp(argv[1], L"window") == 0) {
        const auto windowContext = User32Function<GetWindowContextFn>("GetWindowDpiAwarenessContext");
        const auto awareness = User32Function<AwarenessFromContextFn>("GetAwarenessFromDpiAwarenessContext");
        if (!windowContext || !awareness) return 3;
        const HWND wnd = ::FindWindowW(nullptr, argv[2]);
        if (!wnd) return 2;
        std::printf("awareness %d\n", static_cast<int>(awareness(windowContext(wnd))));
        return 0;
    }
    std::fprintf(stderr, "usage: dpi_client default | window <title>\n");
    return 1;
}
