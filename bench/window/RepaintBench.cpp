// Times one full repaint of the promotion window against the bare window's
// paint, in-process: the window (TFormSale in Preview mode, skinned, with its
// texts, laid out) painted with RenderTo into a 500x330 memory DC, and the bare
// window's paint (a filled 500x330 surface with one AlphaBlend of the 364x93
// picture). CPU time from GetThreadTimes, wall time from QueryPerformanceCounter.
//
//   window_repaint_bench.exe [N]      (N = 200 repaints of each by default)
//
// Prints one line per subject:
//   repaint <subject> n=<N> cpu_us=<CPU per repaint> wall_us=<wall per repaint>
// and then, to show where the window's repaint goes, one line per visible
// control of the window (painted as RenderTo paints it):
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
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    Surface(int w, int h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = ::CreateCompatibleDC(nullptr);
        if (dc && bitmap) old = ::SelectObject(dc, bitmap);
    }
    ~Surface() {
        if (dc && old) ::SelectObject(dc, old);
        if (dc) ::DeleteDC(dc);
        if (bitmap) ::DeleteObject(bitmap);
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
    PrintOnce("layout", "window", cpu0, t0);
    std::printf("window %dx%d, %zu controls\n", form.Width(), form.Height(), form.Controls().size());
    Surface formSurface(kWidth, kHeight);
    if (!formSurface.Ok()) return 1;
    Time("repaint", "window", n, [&] { form.RenderTo(formSurface.dc); });

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
    Surface bareSurface(kWidth, kHeight);
    if (!picture.Ok() || !bareSurface.Ok()) return 1;
    BITMAP bm{};
    ::GetObjectW(picture.bitmap, sizeof bm, &bm);
    std::copy(image.pixels.begin(), image.pixels.end(), static_cast<std::uint32_t*>(bm.bmBits));
    HBRUSH brush = ::CreateSolidBrush(RGB(0x2E, 0x2E, 0x2E));
    Time("repaint", "bare", n, [&] {
        RECT rc{0, 0, kWidth, kHeight};
        ::FillRect(bareSurface.dc, &rc, brush);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(bareSurface.dc, (kWidth - image.width) / 2, 130, image.width, image.height, picture.dc, 0, 0,
                     image.width, image.height, blend);
    });
    ::DeleteObject(brush);

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
