// INI benchmarks: parsing a 1 MB text, and a million indexed lookups in a
// section of 5,000 keys (the shape of a big language table).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "support/IniDocument.h"
#include "support/TextCodec.h"

namespace promo {
namespace {

// About 1 MB of INI text: sections of 50 keys with values of typical length,
// with comments and blank lines between them.
std::string MakeIniBytes(size_t targetBytes) {
    std::string text;
    text.reserve(targetBytes + 256);
    for (int s = 0; text.size() < targetBytes; ++s) {
        text += "; section " + std::to_string(s) + "\r\n[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 50 && text.size() < targetBytes; ++k)
            text +=
                "  Key" + std::to_string(k) + " = Some value text for key " + std::to_string(k) + "  \r\n";
        text += "\r\n";
    }
    return text;
}

void BM_ParseIniText_1MB(benchmark::State& state) {
    const std::string bytes = MakeIniBytes(1 << 20);
    const std::vector<std::wstring> lines = SplitLines(DecodeAnsi(bytes));
    for (auto _ : state) {
        IniDocument doc;
        ParseIniText(lines, doc);
        benchmark::DoNotOptimize(doc.SectionCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseIniText_1MB)->Unit(benchmark::kMillisecond);

// The whole load: decode (ANSI and UTF-16), split into lines, parse.
void BM_LoadIniBytes_1MB(benchmark::State& state) {
    std::string bytes = MakeIniBytes(1 << 20);
    if (state.range(0) == 1) bytes = EncodeUtf16LEWithBom(DecodeAnsi(bytes)).substr(0, 1 << 20);
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    for (auto _ : state) {
        IniDocument doc;
        ParseIniText(DecodeTextLines(data), doc);
        benchmark::DoNotOptimize(doc.SectionCount());
    }
    state.SetLabel(state.range(0) == 1 ? "utf16le" : "ansi");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_LoadIniBytes_1MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One iteration is 1,000,000 ReadString calls over the 5,000 keys of one
// section (in mixed case, so the names are really compared without case).
void BM_ReadString_1M_In5000Keys(benchmark::State& state) {
    IniDocument doc;
    doc.WriteString(L"Other", L"k", L"v");
    std::vector<std::wstring> keys;
    for (int k = 0; k < 5000; ++k) {
        doc.WriteString(L"Texts", L"Key_" + std::to_wstring(k), L"Value of key " + std::to_wstring(k));
        keys.push_back(L"KEY_" + std::to_wstring(k));
    }
    const std::wstring section = L"TEXTS";
    const std::wstring empty;
    for (auto _ : state) {
        size_t total = 0;
        for (int i = 0; i < 1000000; ++i) total += doc.ReadString(section, keys[i % 5000], empty).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1000000);
}
BENCHMARK(BM_ReadString_1M_In5000Keys)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace promo
