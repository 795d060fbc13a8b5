// The yardstick for the program's window: a bare Win32 window of the same
// size and place (a 500x330 popup one pixel inside the bottom-right corner
// of the work area) that paints one 364x93 picture, decoded with the
// program's PNG decoder and drawn with AlphaBlend. No timers, no controls:
// what it costs to start, hold and paint is what any window costs.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/Timeline.h"
#include "ui/PngImage.h"

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 330;
constexpr wchar_t kClassName[] = L"BareWindowClass";

struct Picture {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    int width = 0;
    int height = 0;
};

Picture g_picture;

// The picture from RCDATA BARE_FEATURES_PNG into a premultiplied 32-bit DIB held
// in a memory DC, ready for AlphaBlend.
bool LoadPicture(HINSTANCE instance, Picture& out) {
    HRSRC res = ::FindResourceW(instance, L"BARE_FEATURES_PNG", MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!res) return false;
    HGLOBAL mem = ::LoadResource(instance, res);
    const void* data = mem ? ::LockResource(mem) : nullptr;
    if (!data) return false;
    promo::DecodedImage image;
    if (!promo::DecodePng(static_cast<const std::uint8_t*>(data), ::SizeofResource(instance, res), image))
        return false;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.width;
    bi.bmiHeader.biHeight = -image.height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return false;
    std::copy(image.pixels.begin(), image.pixels.end(), static_cast<std::uint32_t*>(bits));
    ::GdiFlush();
    out.dc = ::CreateCompatibleDC(nullptr);
    if (!out.dc) {
        ::DeleteObject(bitmap);
        return false;
    }
    out.bitmap = bitmap;
    out.old = ::SelectObject(out.dc, bitmap);
    out.width = image.width;
    out.height = image.height;
    return true;
}

void FreePicture(Picture& p) {
    if (p.dc) {
        ::SelectObject(p.dc, p.old);
        ::DeleteDC(p.dc);
    }
    if (p.bitmap) ::DeleteObject(p.bitmap);
    p = Picture{};
}

void Paint(HWND wnd) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(wnd, &ps);
    if (!dc) return;
    RECT rc{0, 0, kWidth, kHeight};
    HBRUSH brush = ::CreateSolidBrush(RGB(0x2E, 0x2E, 0x2E));
    ::FillRect(dc, &rc, brush);
    ::DeleteObject(brush);
    if (g_picture.dc) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(dc, (kWidth - g_picture.width) / 2, 130, g_picture.width, g_picture.height, g_picture.dc, 0,
                     0, g_picture.width, g_picture.height, blend);
    }
    ::EndPaint(wnd, &ps);
    promo::TimelineMark(L"first-paint");
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
        case WM_PAINT:
            Paint(wnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills everything
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef PROMO_TIMELINE
    promo::SetTimelineSink(&promo::TimelineToDebugOutput);  // the timeline build only
    promo::TimelineMark(L"entry");
#endif
    LoadPicture(instance, g_picture);
    promo::TimelineMark(L"picture");

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc)) return 1;

    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND wnd = ::CreateWindowExW(0, kClassName, L"BareWindow", WS_POPUP, work.right - kWidth - 1,
                                 work.bottom - kHeight - 1, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    promo::TimelineMark(L"application");
    if (!wnd) return 1;
    ::ShowWindow(wnd, SW_SHOWNORMAL);
    ::UpdateWindow(wnd);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    FreePicture(g_picture);
    return 0;
}
