// Times the promotion window's repaints against the bare window's paint,
// in-process. The window is TFormSale in Preview mode, skinned, with its texts,
// laid out and shown; the bare window is a plain popup whose WM_PAINT fills
// 500x330 and blends the 364x93 picture onto its DC, as bench/window's
// bare_window does. CPU time from GetThreadTimes, wall time from
// QueryPerformanceCounter.
//
//   window_repaint_bench.exe [N]      (N = 200 repaints of each by default)
//
// Prints one line per figure:
//   repaint window|bare n=<N> cpu_us=<CPU per repaint> wall_us=<wall per repaint>
//       the whole client area invalidated from outside and painted at once
//       (InvalidateRect + UpdateWindow), as when the window is uncovered;
//   rerender window ...   every control invalidated and painted again;
//   hover window ...      the buy button invalidated and painted again, as when
//                         the mouse enters it;
//   render window ...     every control painted into a memory DC (no window);
// then, to show where a re-render goes, one line per visible control:
//   control <name> n=<N> cpu_us=<...> wall_us=<...>
// Before them, the one-off steps before a first paint:
//   build window|bare n=1 ...   (the form from its description / the bare picture decoded)
//   layout window n=1 ...       (skin, texts and layout applied)
// Exit code 0 when both could be measured, 1 otherwise.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "promo/FormSaleMain.h"
#include "ui/Graphics.h"
#include "ui/PngImage.h"

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 330;

std::uint64_t ThreadCpu100ns() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto v = [](const FILETIME& f) {
        return (static_cast<std::uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return v(kernel) + v(user);
}

std::int64_t Ticks() {
    LARGE_INTEGER v;
    ::QueryPerformanceCounter(&v);
    return v.QuadPart;
}

// A memory DC with a 32-bit top-down DIB of the window's size selected.
struct Surface {
    promo::UniqueGdiObject owned;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    Surface(int w, int h) {
        void* bits = nullptr;
        owned = promo::CreateTopDownDib(w, h, &bits);
        bitmap = static_cast<HBITMAP>(owned.get());
        dc = ::CreateCompatibleDC(nullptr);
        if (dc && bitmap) old = ::SelectObject(dc, bitmap);
    }
    ~Surface() {
        if (dc && old) ::SelectObject(dc, old);
        if (dc) ::DeleteDC(dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    bool Ok() const { return dc && bitmap && old; }
};

void Time(const char* kind, const char* subject, int n, const std::function<void()>& paint) {
    paint();  // warm-up: fonts, caches
    ::GdiFlush();
    const std::uint64_t cpu0 = ThreadCpu100ns();
    const std::int64_t t0 = Ticks();
    for (int i = 0; i < n; ++i) {
        paint();
        ::GdiFlush();
    }
    const std::int64_t t1 = Ticks();
    const std::uint64_t cpu1 = ThreadCpu100ns();
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    const double cpuUs = static_cast<double>(cpu1 - cpu0) / 10.0 / n;
    const double wallUs = static_cast<double>(t1 - t0) * 1e6 / static_cast<double>(freq.QuadPart) / n;
    std::printf("%s %s n=%d cpu_us=%.1f wall_us=%.1f\n", kind, subject, n, cpuUs, wallUs);
    std::fflush(stdout);
}

// A step done once, since cpu0/t0.
void PrintOnce(const char* kind, const char* subject, std::uint64_t cpu0, std::int64_t t0) {
    const std::int64_t t1 = Ticks();
    const std::uint64_t cpu1 = ThreadCpu100ns();
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    std::printf("%s %s n=1 cpu_us=%.1f wall_us=%.1f\n", kind, subject, static_cast<double>(cpu1 - cpu0) / 10.0,
                static_cast<double>(t1 - t0) * 1e6 / static_cast<double>(freq.QuadPart));
    std::fflush(stdout);
}

struct BarePaint {
    HDC pictureDc = nullptr;
    int width = 0;
    int height = 0;
};
BarePaint g_bare;

LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg != WM_PAINT) return ::DefWindowProcW(wnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(wnd, &ps);
    if (!dc) return 0;
    RECT rc{0, 0, kWidth, kHeight};
    HBRUSH brush = ::CreateSolidBrush(RGB(0x2E, 0x2E, 0x2E));
    ::FillRect(dc, &rc, brush);
    ::DeleteObject(brush);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, (kWidth - g_bare.width) / 2, 130, g_bare.width, g_bare.height, g_bare.pictureDc, 0, 0,
                 g_bare.width, g_bare.height, blend);
    ::EndPaint(wnd, &ps);
    return 0;
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The window painted as the system asks for it: area invalidated, then
// UpdateWindow sends WM_PAINT at once.
void RepaintNow(HWND wnd) {
    ::InvalidateRect(wnd, nullptr, FALSE);
    ::UpdateWindow(wnd);
}

bool LoadFeaturesPicture(promo::DecodedImage& image) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC res = ::FindResourceW(self, L"BARE_FEATURES_PNG", MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL mem = res ? ::LoadResource(self, res) : nullptr;
    const void* data = mem ? ::LockResource(mem) : nullptr;
    return data && promo::DecodePng(static_cast<const std::uint8_t*>(data), ::SizeofResource(self, res), image);
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;

    // The promotion window, as FormShow leaves it. Building it once (reading
    // the description, decoding its pictures) and laying it out are timed
    // too: they are part of the launch to the first paint.
    std::uint64_t cpu0 = ThreadCpu100ns();
    std::int64_t t0 = Ticks();
    promo::TFormSale form(promo::TFormSale::Mode::Preview, L"EN");
    if (!form.Created()) {
        std::fprintf(stderr, "the window description could not be read\n");
        return 1;
    }
    PrintOnce("build", "window", cpu0, t0);
    cpu0 = ThreadCpu100ns();
    t0 = Ticks();
    form.ApplySkinColors();
    form.ApplyTexts();
    form.ArrangeControls();
    form.CreateHandle();  // as the first show does
    PrintOnce("layout", "window", cpu0, t0);
    std::printf("window %dx%d, %zu controls\n", form.Width(), form.Height(), form.Controls().size());
    HWND formWnd = form.Handle();
    promo::TControl* buy = form.FindControl(L"btnBuy");
    if (!formWnd || !buy) {
        std::fprintf(stderr, "the window has no handle or no buy button\n");
        return 1;
    }
    ::SetWindowPos(formWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
    Time("repaint", "window", n, [&] { RepaintNow(formWnd); });
    Time("rerender", "window", n, [&] {
        form.InvalidateArea(form.ClientRect());
        ::UpdateWindow(formWnd);
    });
    Time("hover", "window", n, [&] {
        buy->Invalidate();
        ::UpdateWindow(formWnd);
    });
    Surface formSurface(kWidth, kHeight);
    if (!formSurface.Ok()) return 1;
    Time("render", "window", n, [&] { form.RenderTo(formSurface.dc); });
    ::ShowWindow(formWnd, SW_HIDE);

    // The bare window's paint.
    promo::DecodedImage image;
    cpu0 = ThreadCpu100ns();
    t0 = Ticks();
    if (!LoadFeaturesPicture(image)) {
        std::fprintf(stderr, "the bare window's picture could not be decoded\n");
        return 1;
    }
    PrintOnce("build", "bare", cpu0, t0);
    Surface picture(image.width, image.height);
    if (!picture.Ok()) return 1;
    BITMAP bm{};
    ::GetObjectW(picture.bitmap, sizeof bm, &bm);
    std::copy(image.pixels.begin(), image.pixels.end(), static_cast<std::uint32_t*>(bm.bmBits));
    g_bare = {picture.dc, image.width, image.height};
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = BareProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BareRepaint";
    ::RegisterClassExW(&wc);
    HWND bareWnd = ::CreateWindowExW(0, L"BareRepaint", L"BareRepaint", WS_POPUP, 0, 0, kWidth, kHeight, nullptr,
                                     nullptr, wc.hInstance, nullptr);
    if (!bareWnd) return 1;
    ::ShowWindow(bareWnd, SW_SHOWNOACTIVATE);
    Pump();
    Time("repaint", "bare", n, [&] { RepaintNow(bareWnd); });
    ::DestroyWindow(bareWnd);

    // The window's repaint, control by control.
    for (const auto& c : form.Controls()) {
        if (!c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
        char name[128];
        std::snprintf(name, sizeof name, "%ls", c->Name.c_str());
        Time("control", name, n, [&] {
            const int saved = ::SaveDC(formSurface.dc);
            POINT old;
            ::SetViewportOrgEx(formSurface.dc, c->Left(), c->Top(), &old);
            ::IntersectClipRect(formSurface.dc, 0, 0, c->Width(), c->Height());
            ::SetBkMode(formSurface.dc, TRANSPARENT);
            c->PaintTo(formSurface.dc);
            ::RestoreDC(formSurface.dc, saved);
        });
    }
    return 0;
}
