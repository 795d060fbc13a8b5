// Fuzz target of the INI text path: decode by byte-order mark, parse, format,
// encode as the save does (UTF-16 LE with mark), decode and parse again. The
// second document must equal the first. Lookups through the hash index are
// checked against a plain scan for the last match.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "support/IniDocument.h"
#include "support/IniText.h"
#include "support/IniValues.h"
#include "support/TextCodec.h"

using namespace promo;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Upper-cased names of the document, computed once per input.
struct UpperNames {
    std::vector<std::wstring> sections;
    std::vector<std::vector<std::wstring>> keys;  // empty text marks a nameless line
    std::vector<std::vector<bool>> isKey;
};

UpperNames CollectNames(const IniDocument& doc) {
    UpperNames names;
    for (size_t s = 0; s < doc.SectionCount(); ++s) {
        names.sections.push_back(UpperCaseName(doc.Section(s).Name()));
        names.keys.emplace_back();
        names.isKey.emplace_back();
        for (const std::wstring& line : doc.Section(s).Lines()) {
            names.keys.back().push_back(UpperCaseName(IniLineName(line)));
            names.isKey.back().push_back(IsIniKeyLine(line));
        }
    }
    return names;
}

// The last section, and in it the last key line, named like the arguments.
std::wstring ScanRead(const IniDocument& doc, const UpperNames& names, std::wstring_view section,
                      std::wstring_view key) {
    const std::wstring upperSection = UpperCaseName(section);
    const std::wstring upperKey = UpperCaseName(key);
    for (size_t s = doc.SectionCount(); s-- > 0;) {
        if (names.sections[s] != upperSection) continue;
        const auto& lines = doc.Section(s).Lines();
        for (size_t k = lines.size(); k-- > 0;) {
            if (names.isKey[s][k] && names.keys[s][k] == upperKey)
                return lines[k].substr(lines[k].find(L'=') + 1);
        }
        return L"\x1F<default>";
    }
    return L"\x1F<default>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IniDocument first;
    ParseIniText(DecodeTextLines(std::span<const std::uint8_t>(data, size)), first);
    // The loaders parse the decoded text in place: the same document.
    IniDocument inPlace;
    ParseIniWholeText(DecodeText(std::span<const std::uint8_t>(data, size)).text, inPlace);
    Check(first == inPlace);

    std::string saved = EncodeUtf16LEWithBom(FormatIniText(first));
    IniDocument second;
    ParseIniText(DecodeTextLines(std::span<const std::uint8_t>(
                     reinterpret_cast<const std::uint8_t*>(saved.data()), saved.size())),
                 second);
    Check(first == second);

    // Every key of every section, in the document's own spelling and upper-cased.
    const UpperNames names = CollectNames(first);
    size_t checked = 0;
    for (size_t s = 0; s < first.SectionCount() && checked < 32; ++s) {
        const IniSection& section = first.Section(s);
        for (const std::wstring& line : section.Lines()) {
            if (++checked > 32) break;
            std::wstring_view key = IniLineName(line);
            std::wstring expected = ScanRead(first, names, section.Name(), key);
            Check(first.ReadString(section.Name(), key, L"\x1F<default>") == expected);
            Check(first.ReadString(UpperCaseName(section.Name()), UpperCaseName(key), L"\x1F<default>") ==
                  expected);
            std::wstring value = first.ReadString(section.Name(), key, L"");
            if (auto n = ParseIniInteger(value)) Check(ParseIniInteger(std::to_wstring(*n)) == *n);
            if (auto d = ParseIniFloat(value, L"."))
                Check(ParseIniFloat(FormatIniFloat(*d, L"."), L".").has_value());
        }
    }

    // A change invalidates the index: write, read back, delete.
    if (first.SectionCount() > 0) {
        const std::wstring name = first.Section(0).Name();
        first.WriteString(name, L"fuzz.key", L"v1");
        Check(first.ReadString(name, L"FUZZ.KEY", L"") == L"v1");
        Check(first.DeleteKey(name, L"Fuzz.Key"));
        Check(first.ReadString(name, L"fuzz.key", L"\x1F<default>") ==
              ScanRead(first, CollectNames(first), name, L"fuzz.key"));
    }
    return 0;
}
