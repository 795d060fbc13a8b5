// INI benchmarks: parsing a 1 MB text, and a million indexed lookups in a
// section of 5,000 keys (the shape of a big language table).
#include <benchmark/benchmark.h>

#include <cctype>
#include <string>
#include <vector>
#if PROMO_BENCH_INIH
#include <ini.h>

#include <string_view>
#include <unordered_map>
#endif

#include "support/IniText.h"
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

// The whole load as the INI classes do it: decode (ANSI and UTF-16), parse.
void BM_LoadIniBytes_1MB(benchmark::State& state) {
    std::string bytes = MakeIniBytes(1 << 20);
    if (state.range(0) == 1) bytes = EncodeUtf16LEWithBom(DecodeAnsi(bytes)).substr(0, 1 << 20);
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    for (auto _ : state) {
        IniDocument doc;
        ParseIniWholeText(DecodeText(data).text, doc);
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

#if PROMO_BENCH_INIH
// The peer, used the way a program that uses it keeps its settings: every
// (section, name) pair lower-cased into one key of a plain hash map, the last
// match winning, and lookups lower-casing their names the same way.
using InihMap = std::unordered_map<std::string, std::string>;

std::string InihKey(std::string_view section, std::string_view name) {
    std::string key;
    key.reserve(section.size() + name.size() + 1);
    for (char c : section) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    key += '=';
    for (char c : name) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

int InihFillMap(void* user, const char* section, const char* name, const char* value) {
    (*static_cast<InihMap*>(user))[InihKey(section, name)] = value;
    return 1;
}

int InihIgnore(void*, const char*, const char*, const char*) { return 1; }

// The same 1 MB text as BM_LoadIniBytes_1MB/0 (bytes in, settings out).
void BM_Inih_Parse_1MB(benchmark::State& state) {
    const std::string bytes = MakeIniBytes(1 << 20);
    for (auto _ : state) {
        InihMap map;
        if (ini_parse_string(bytes.c_str(), InihFillMap, &map) != 0) state.SkipWithError("inih failed");
        benchmark::DoNotOptimize(map.size());
    }
    state.SetLabel("into a hash map");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Inih_Parse_1MB)->Unit(benchmark::kMillisecond);

// The peer's scanner alone, keeping nothing: the floor no keeping parser beats.
void BM_Inih_ScanOnly_1MB(benchmark::State& state) {
    const std::string bytes = MakeIniBytes(1 << 20);
    for (auto _ : state) benchmark::DoNotOptimize(ini_parse_string(bytes.c_str(), InihIgnore, nullptr));
    state.SetLabel("handler keeps nothing");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Inih_ScanOnly_1MB)->Unit(benchmark::kMillisecond);

// The same 1,000,000 mixed-case lookups over the same 5,000 keys as
// BM_ReadString_1M_In5000Keys.
void BM_Inih_Lookup_1M_In5000Keys(benchmark::State& state) {
    std::string text = "[Other]\nk=v\n[Texts]\n";
    std::vector<std::string> keys;
    for (int k = 0; k < 5000; ++k) {
        text += "Key_" + std::to_string(k) + "=Value of key " + std::to_string(k) + "\n";
        keys.push_back("KEY_" + std::to_string(k));
    }
    InihMap map;
    ini_parse_string(text.c_str(), InihFillMap, &map);
    const std::string section = "TEXTS";
    for (auto _ : state) {
        size_t total = 0;
        for (int i = 0; i < 1000000; ++i) {
            const auto it = map.find(InihKey(section, keys[i % 5000]));
            total += it == map.end() ? 0 : it->second.size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1000000);
}
BENCHMARK(BM_Inih_Lookup_1M_In5000Keys)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace promo
