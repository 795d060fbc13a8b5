// The proof sheet for the product team: renders the promotion window in every
// language of the text table with the program's own code, description,
// pictures and fonts, writes one PNG per language (proof-<code>.png) into the
// output folder and prints, per language, every label cut with an ellipsis
// (with the hint that shows its whole text), every label whose text runs past
// its bounds without one, controls that overlap, and each control's laid-out
// bounds. After the eleven languages at 100 %, the longest texts (Russian) at
// 150 % and German at 200 % (proof-RU-150.png, proof-de-200.png).
//
//   promo_proof_sheet.exe OUTDIR [CODE[@DPI]...]     (the sheet above by default)
//
// Exit code 0 when every language rendered and was written, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "campaign/CampaignConstants.h"
#include "controls/RdImageButton.h"
#include "controls/RdLabel.h"
#include "promo/FormSaleMain.h"
#include "promo/LayoutHelper.h"
#include "ui/Form.h"
#include "ui/PngWriter.h"

namespace promo {
namespace {

// The sections of the text table, in its order.
constexpr const wchar_t* kLanguages[] = {L"de", L"DK", L"ES", L"FR", L"IT", L"NL",
                                         L"PL", L"PT", L"RU", L"SV", L"EN"};
// The window on scaled displays.
constexpr const wchar_t* kScaled[] = {L"RU@144", L"de@192"};

std::string Utf8(const std::wstring& s) {
    if (s.empty()) return {};
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string Bounds(const TControl& c) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%d %dx%d", c.Left(), c.Top(), c.Width(), c.Height());
    return buf;
}

// The single-line width of a label's caption in its own font.
int OneLineTextWidth(TRdCustomLabel& label) {
    TCanvas& canvas = label.Canvas();
    canvas.Font().Assign(label.Font());
    return canvas.TextWidth(label.Caption());
}

bool Overlap(const TControl& a, const TControl& b) {
    return a.Left() < b.Left() + b.Width() && b.Left() < a.Left() + a.Width() &&
           a.Top() < b.Top() + b.Height() && b.Top() < a.Top() + a.Height();
}

// Renders one language ("RU", or "RU@144" at 144 DPI); false when the window
// or its picture failed.
bool ProofLanguage(const std::wstring& entry, const std::string& outDir) {
    const std::size_t at = entry.find(L'@');
    const std::wstring code = entry.substr(0, at);
    const int dpi = at == std::wstring::npos ? 96 : std::stoi(entry.substr(at + 1));
    const std::string tag = Utf8(code) + (dpi == 96 ? "" : "-" + std::to_string(dpi * 100 / 96));
    Print("== " + tag + (dpi == 96 ? "" : " (" + std::to_string(dpi) + " DPI)") + " ==");
    TFormSale form(TFormSale::Mode::Preview, code, dpi);
    if (!form.Created()) {
        Print("FAILED: the window was not built: " + Utf8(form.CreateError()));
        return false;
    }
    form.ApplyScale();
    form.ApplySkinColors();
    form.ApplyTexts();
    form.ArrangeControls();
    DecodedImage image;
    if (!form.RenderToImage(image) || image.Empty()) {
        Print("FAILED: the window did not render");
        return false;
    }
    const std::string file = outDir + "\\proof-" + tag + ".png";
    if (!WritePngFile(image, file)) {
        Print("FAILED: cannot write " + file);
        return false;
    }
    Print("language code after the texts: " + Utf8(form.LanguageCode));
    Print("picture: " + file);

    // Labels are measured and cut when they paint, so this follows the render.
    int cut = 0;
    for (const auto& control : form.Controls()) {
        auto* label = dynamic_cast<TRdCustomLabel*>(control.get());
        if (!label || !label->Visible()) continue;
        const int textWidth = OneLineTextWidth(*label);
        const int lineHeight = LineHeight(label->Canvas());
        const bool tooWide = !label->WordWrap() && textWidth > label->Width();
        const bool tooHigh = lineHeight > label->Height();
        const std::string need = " needs " + std::to_string(textWidth) + "x" + std::to_string(lineHeight) +
                                 " on one line, has " + std::to_string(label->Width()) + "x" +
                                 std::to_string(label->Height());
        if (label->FoundTextEllipsis()) {
            ++cut;
            Print("cut with ellipsis: " + Utf8(label->Name) + " \"" + Utf8(label->Caption()) + "\"" + need +
                  (label->WordWrap() ? " (wrapped)" : "") + "; hint \"" + Utf8(TForm::HintFor(label)) + "\"");
        } else if (tooWide || tooHigh) {
            ++cut;
            Print("clipped without ellipsis: " + Utf8(label->Name) + " \"" + Utf8(label->Caption()) + "\"" +
                  need);
        }
    }
    if (form.btnBuy && form.btnBuy->FoundTextEllipsis()) {
        ++cut;
        Print("cut: btnBuy \"" + Utf8(form.btnBuy->Caption()) + "\"");
    }
    if (cut == 0) Print("cut: none");

    // Text over text: overlaps among the visible labels and buttons (the
    // tile labels lie over the feature picture's lower edge by design).
    std::vector<const TControl*> shown;
    for (const auto& control : form.Controls())
        if (control->Visible() &&
            (dynamic_cast<TRdCustomLabel*>(control.get()) || dynamic_cast<TRdImageButton*>(control.get())))
            shown.push_back(control.get());
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            if (Overlap(*shown[i], *shown[j]))
                Print("overlap: " + Utf8(shown[i]->Name) + " " + Bounds(*shown[i]) + " and " +
                      Utf8(shown[j]->Name) + " " + Bounds(*shown[j]));

    Print("bounds:");
    for (const auto& control : form.Controls())
        Print("  " + Utf8(control->Name) + " " + Bounds(*control) + (control->Visible() ? "" : " (hidden)"));
    return true;
}

}  // namespace
}  // namespace promo

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: promo_proof_sheet OUTDIR [CODE...]\n", stderr);
        return 2;
    }
    std::wstring outDir = argv[1];
    while (outDir.size() > 1 && (outDir.back() == L'\\' || outDir.back() == L'/')) outDir.pop_back();
    ::CreateDirectoryW(outDir.c_str(), nullptr);

    std::vector<std::wstring> codes;
    for (int i = 2; i < argc; ++i) codes.push_back(argv[i]);
    if (codes.empty()) {
        for (const wchar_t* code : promo::kLanguages) codes.push_back(code);
        for (const wchar_t* code : promo::kScaled) codes.push_back(code);
    }

    // The campaign whose texts and window these are: the sheet is checked
    // against its folder.
    std::printf("campaign: %s\n", promo::Utf8(promo::kCampaignName).c_str());
    int failed = 0;
    for (const std::wstring& code : codes)
        if (!promo::ProofLanguage(code, promo::Utf8(outDir))) ++failed;
    std::printf("%d of %d languages rendered\n", static_cast<int>(codes.size()) - failed,
                static_cast<int>(codes.size()));
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}
