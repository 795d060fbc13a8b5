#include "support/IniDocument.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#endif

namespace promo {

namespace {

#ifndef _WIN32
// Upper case of one code point: Latin-1, Latin Extended-A, Greek and Cyrillic;
// everything else maps to itself.
char32_t UpperChar(char32_t c) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 0x20 : c;
    if (c < 0x100) {
        if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
        if (c == 0xFF) return 0x178;
        if (c == 0xB5) return 0x39C;
        return c;
    }
    if (c < 0x180) {  // Latin Extended-A: mostly even upper, odd lower
        if (c == 0x131) return U'I';
        if (c == 0x17F) return U'S';
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 0) ? c - 1 : c;
        if (c == 0x130 || c == 0x138 || c == 0x149) return c;
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x370 && c < 0x400) {  // Greek
        if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 0x20;
        if (c == 0x3C2) return 0x3A3;
        if (c == 0x3AC) return 0x386;
        if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
        if (c == 0x3CC) return 0x38C;
        if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
        if (c >= 0x3D8 && c <= 0x3EF) return (c % 2 == 1) ? c - 1 : c;
        return c;
    }
    if (c >= 0x400 && c < 0x530) {  // Cyrillic and its supplement
        if (c >= 0x430 && c <= 0x44F) return c - 0x20;
        if (c >= 0x450 && c <= 0x45F) return c - 0x50;
        if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
            return (c % 2 == 1) ? c - 1 : c;
        if (c >= 0x4C1 && c <= 0x4CE) return (c % 2 == 0) ? c - 1 : c;
        if (c == 0x4CF) return 0x4C0;
        return c;
    }
    return c;
}
#endif

bool IsBlank(wchar_t c) { return static_cast<std::uint32_t>(c) <= 0x20; }

}  // namespace

void UpperCaseNameInto(std::wstring_view name, std::wstring& out) {
    out.assign(name.begin(), name.end());
    bool ascii = true;
    for (wchar_t& c : out) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - 0x20);
        else if (static_cast<std::uint32_t>(c) >= 0x80)
            ascii = false;
    }
    if (ascii) return;
#ifdef _WIN32
    // The invariant mapping: the user's locale rules would make "i" and "I"
    // differ for Turkish users, and names must match in every locale.
    std::wstring upper(out.size(), L'\0');
    int n = ::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, out.data(), static_cast<int>(out.size()),
                           upper.data(), static_cast<int>(upper.size()));
    if (n == static_cast<int>(out.size())) out.swap(upper);
#else
    for (wchar_t& c : out) c = static_cast<wchar_t>(UpperChar(static_cast<char32_t>(c)));
#endif
}

std::wstring UpperCaseName(std::wstring_view name) {
    std::wstring out;
    UpperCaseNameInto(name, out);
    return out;
}

bool SameNameNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    return UpperCaseName(a) == UpperCaseName(b);
}

std::wstring_view TrimIniText(std::wstring_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::wstring_view IniLineName(std::wstring_view line) {
    size_t eq = line.find(L'=');
    return eq == std::wstring_view::npos ? std::wstring_view() : line.substr(0, eq);
}

bool IsIniKeyLine(std::wstring_view line) { return line.find(L'=') != std::wstring_view::npos; }

bool IsIniEntryWritable(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    constexpr std::wstring_view kLineBreaks(L"\r\n\0", 3);
    for (std::wstring_view text : {section, key, value})
        if (text.find_first_of(kLineBreaks) != std::wstring_view::npos) return false;
    for (std::wstring_view name : {section, key})
        if (TrimIniText(name).size() != name.size()) return false;
    return key.empty() ||
           (key.front() != L';' && key.front() != L'[' && key.find(L'=') == std::wstring_view::npos);
}

// ---- IniNameIndex ----

std::uint64_t IniNameIndex::HashQuery(std::wstring_view name, bool caseSensitive) const {
    if (caseSensitive)
        query_.assign(name.begin(), name.end());
    else
        UpperCaseNameInto(name, query_);
    std::uint64_t h = 14695981039346656037ull;
    for (wchar_t c : query_) h = (h ^ static_cast<std::uint32_t>(c)) * 1099511628211ull;
    return h ^ (h >> 32);
}

bool IniNameIndex::SameAsQuery(std::wstring_view stored, bool caseSensitive) const {
    if (stored.size() != query_.size()) return false;
    if (caseSensitive) return stored == query_;
    for (size_t i = 0; i < stored.size(); ++i) {
        wchar_t c = stored[i];
        if (static_cast<std::uint32_t>(c) >= 0x80) {  // leave the rest to the full mapping
            UpperCaseNameInto(stored, scratch_);
            return scratch_ == query_;
        }
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 0x20);
        if (c != query_[i]) return false;
    }
    return true;
}

void IniNameIndex::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
        if (s.position == kEmpty) continue;
        size_t i = static_cast<size_t>(s.hash) & mask;
        while (slots_[i].position != kEmpty) i = (i + 1) & mask;
        slots_[i] = s;
    }
}

namespace {

// Names of a section's lines for the index: key lines only.
auto LineNames(const std::vector<std::wstring>& lines) {
    return [&lines](size_t i) -> std::optional<std::wstring_view> {
        const std::wstring& line = lines[i];
        size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) return std::nullopt;
        return std::wstring_view(line).substr(0, eq);
    };
}

auto SectionNames(const std::vector<std::unique_ptr<IniSection>>& sections) {
    return [&sections](size_t i) -> std::optional<std::wstring_view> { return sections[i]->Name(); };
}

}  // namespace

// ---- IniSection ----

void IniSection::RebuildIndex() const { index_.Rebuild(lines_.size(), LineNames(lines_), caseSensitive_); }

std::optional<size_t> IniSection::FindKey(std::wstring_view key) const {
    if (!index_.Valid()) RebuildIndex();
    return index_.Find(key, LineNames(lines_), caseSensitive_);
}

void IniSection::AppendLine(std::wstring line) {
    lines_.push_back(std::move(line));
    // Appending keeps the index exact: the new line is the last of its name.
    // (Without this, filling a section by WriteString would rebuild it each time.)
    if (index_.Valid() && IsIniKeyLine(lines_.back()))
        index_.Add(IniLineName(lines_.back()), lines_.size() - 1, LineNames(lines_), caseSensitive_);
}

void IniSection::ReplaceLine(size_t position, std::wstring line) {
    std::wstring& old = lines_[position];
    bool sameKey = IsIniKeyLine(old) && IsIniKeyLine(line) &&
                   (caseSensitive_ ? IniLineName(old) == IniLineName(line)
                                   : SameNameNoCase(IniLineName(old), IniLineName(line)));
    old = std::move(line);
    if (!sameKey) index_.Invalidate();
}

void IniSection::RemoveLine(size_t position) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(position));
    index_.Invalidate();
}

void IniSection::SetCaseSensitive(bool value) {
    caseSensitive_ = value;
    index_.Invalidate();
}

// ---- IniDocument ----

IniDocument::IniDocument(const IniDocument& other) : caseSensitive_(other.caseSensitive_) {
    sections_.reserve(other.sections_.size());
    for (const auto& s : other.sections_) sections_.push_back(std::make_unique<IniSection>(*s));
}

IniDocument& IniDocument::operator=(const IniDocument& other) {
    if (this != &other) {
        IniDocument copy(other);
        copy.sectionListVersion_ = sectionListVersion_ + 1;
        *this = std::move(copy);
    }
    return *this;
}

void IniDocument::RebuildIndex() const {
    index_.Rebuild(sections_.size(), SectionNames(sections_), caseSensitive_);
}

std::optional<size_t> IniDocument::FindSection(std::wstring_view name) const {
    if (!index_.Valid()) RebuildIndex();
    return index_.Find(name, SectionNames(sections_), caseSensitive_);
}

IniSection& IniDocument::AppendSection(std::wstring name) {
    sections_.push_back(std::make_unique<IniSection>(std::move(name), caseSensitive_));
    ++sectionListVersion_;
    if (index_.Valid())
        index_.Add(sections_.back()->Name(), sections_.size() - 1, SectionNames(sections_), caseSensitive_);
    return *sections_.back();
}

void IniDocument::RemoveSection(size_t position) {
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(position));
    Changed();
}

void IniDocument::Clear() {
    if (sections_.empty()) return;
    sections_.clear();
    Changed();
}

void IniDocument::SetCaseSensitive(bool value) {
    caseSensitive_ = value;
    for (auto& s : sections_) s->SetCaseSensitive(value);
    index_.Invalidate();
}

std::wstring IniDocument::ReadString(std::wstring_view section, std::wstring_view key,
                                     std::wstring_view defaultValue) const {
    std::optional<size_t> s = FindSection(section);
    if (!s) return std::wstring(defaultValue);
    const IniSection& sec = *sections_[*s];
    std::optional<size_t> k = sec.FindKey(key);
    if (!k) return std::wstring(defaultValue);
    const std::wstring& line = sec.Lines()[*k];
    return line.substr(line.find(L'=') + 1);
}

void IniDocument::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    std::optional<size_t> s = FindSection(section);
    IniSection& sec = s ? *sections_[*s] : AppendSection(std::wstring(section));
    std::wstring line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append(1, L'=').append(value);
    if (std::optional<size_t> k = sec.FindKey(key))
        sec.ReplaceLine(*k, std::move(line));
    else
        sec.AppendLine(std::move(line));
}

bool IniDocument::DeleteKey(std::wstring_view section, std::wstring_view key) {
    std::optional<size_t> s = FindSection(section);
    if (!s) return false;
    IniSection& sec = *sections_[*s];
    std::optional<size_t> k = sec.FindKey(key);
    if (!k) return false;
    sec.RemoveLine(*k);
    return true;
}

bool IniDocument::EraseSection(std::wstring_view section) {
    std::optional<size_t> s = FindSection(section);
    if (!s) return false;
    RemoveSection(*s);
    return true;
}

std::vector<std::wstring> IniDocument::ReadSection(std::wstring_view section) const {
    std::vector<std::wstring> names;
    if (std::optional<size_t> s = FindSection(section)) {
        const IniSection& sec = *sections_[*s];
        names.reserve(sec.LineCount());
        for (const std::wstring& line : sec.Lines()) names.emplace_back(IniLineName(line));
    }
    return names;
}

std::vector<std::wstring> IniDocument::ReadSections() const {
    std::vector<std::wstring> names;
    names.reserve(sections_.size());
    for (const auto& s : sections_) names.push_back(s->Name());
    return names;
}

std::vector<std::wstring> IniDocument::ReadSectionValues(std::wstring_view section) const {
    if (std::optional<size_t> s = FindSection(section)) return sections_[*s]->Lines();
    return {};
}

bool IniDocument::operator==(const IniDocument& other) const {
    if (sections_.size() != other.sections_.size()) return false;
    for (size_t i = 0; i < sections_.size(); ++i)
        if (!(*sections_[i] == *other.sections_[i])) return false;
    return true;
}

// ---- Parsing and formatting ----

namespace {

// One raw line of the text into the document; `current` is the section the
// following key lines belong to (none before the first header).
void ParseIniLine(std::wstring_view raw, IniDocument& document, IniSection*& current) {
    std::wstring_view line = TrimIniText(raw);
    if (line.empty() || line.front() == L';') return;
    if (line.front() == L'[' && line.back() == L']' && line.size() >= 2) {
        current = &document.AppendSection(std::wstring(TrimIniText(line.substr(1, line.size() - 2))));
        return;
    }
    if (!current) return;
    size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos) {
        current->AppendLine(std::wstring(line));
        return;
    }
    std::wstring_view name = TrimIniText(line.substr(0, eq));
    std::wstring_view value = TrimIniText(line.substr(eq + 1));
    std::wstring stored;
    stored.reserve(name.size() + 1 + value.size());
    stored.append(name).append(1, L'=').append(value);
    current->AppendLine(std::move(stored));
}

}  // namespace

void ParseIniText(const std::vector<std::wstring>& lines, IniDocument& document) {
    document.Clear();
    IniSection* current = nullptr;
    for (const std::wstring& raw : lines) ParseIniLine(raw, document, current);
}

void ParseIniWholeText(std::wstring_view text, IniDocument& document) {
    document.Clear();
    IniSection* current = nullptr;
    const wchar_t* p = text.data();
    const wchar_t* const end = p + text.size();
    while (p < end) {
        const wchar_t* eol = p;
        while (eol < end && *eol != L'\r' && *eol != L'\n' && *eol != L'\0') ++eol;
        ParseIniLine(std::wstring_view(p, static_cast<size_t>(eol - p)), document, current);
        if (eol == end || *eol == L'\0') break;
        if (*eol == L'\r' && eol + 1 < end && eol[1] == L'\n') ++eol;
        p = eol + 1;
    }
}

std::vector<std::wstring> FormatIniLines(const IniDocument& document) {
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < document.SectionCount(); ++i) {
        const IniSection& section = document.Section(i);
        lines.push_back(L"[" + section.Name() + L"]");
        lines.insert(lines.end(), section.Lines().begin(), section.Lines().end());
        lines.emplace_back();
    }
    return lines;
}

std::wstring FormatIniText(const IniDocument& document) {
    size_t size = 0;
    for (size_t i = 0; i < document.SectionCount(); ++i) {
        const IniSection& section = document.Section(i);
        size += section.Name().size() + 6;
        for (const std::wstring& line : section.Lines()) size += line.size() + 2;
    }
    std::wstring text;
    text.reserve(size);
    for (size_t i = 0; i < document.SectionCount(); ++i) {
        const IniSection& section = document.Section(i);
        text.append(L"[").append(section.Name()).append(L"]\r\n");
        for (const std::wstring& line : section.Lines()) text.append(line).append(L"\r\n");
        text.append(L"\r\n");
    }
    return text;
}

// ---- Conversions ----

namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::wstring_view text) {
    std::wstring_view rest = text;
    bool hex = false;
    bool negative = false;
    if (rest.size() > 2 && rest[0] == L'0' && (rest[1] == L'x' || rest[1] == L'X')) {
        hex = true;
        rest.remove_prefix(2);
    } else {
        if (!rest.empty() && (rest[0] == L'+' || rest[0] == L'-')) {
            negative = rest[0] == L'-';
            rest.remove_prefix(1);
        }
        if (!rest.empty() && rest[0] == L'$') {
            hex = true;
            rest.remove_prefix(1);
        }
    }
    if (rest.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (wchar_t c : rest) {
        int d = hex ? HexDigit(c) : (c >= L'0' && c <= L'9' ? c - L'0' : -1);
        if (d < 0) return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
        if (magnitude > 0xFFFFFFFFull) return std::nullopt;
    }
    if (hex) {
        auto pattern = static_cast<std::uint32_t>(magnitude);
        if (negative) pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    if (negative) {
        if (magnitude > 0x80000000ull) return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<std::int32_t>(magnitude);
}

std::optional<double> ParseIniFloat(std::wstring_view text, std::wstring_view decimalSeparator) {
    text = TrimIniText(text);
    // Rewritten as plain ASCII with "." for strtod, checking the grammar
    // [sign] digits [separator digits] [(e|E) [sign] digits] on the way.
    std::string ascii;
    ascii.reserve(text.size());
    size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') ascii.push_back('-');
        ++i;
    }
    size_t digits = 0;
    auto takeDigits = [&]() {
        size_t n = 0;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
            ascii.push_back(static_cast<char>(text[i]));
            ++i;
            ++n;
        }
        return n;
    };
    digits += takeDigits();
    if (!decimalSeparator.empty() && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
        ascii.push_back('.');
        i += decimalSeparator.size();
        digits += takeDigits();
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ascii.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
            ascii.push_back(static_cast<char>(text[i++]));
        if (takeDigits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    // The program never changes the C locale, so strtod reads "." as the
    // decimal point. Too large or too small to be held: no number.
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(ascii.c_str(), &end);
    if (errno == ERANGE || end != ascii.c_str() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::wstring FormatIniFloat(double value, std::wstring_view decimalSeparator) {
    if (std::isnan(value)) return L"NAN";
    if (std::isinf(value)) return value > 0 ? L"INF" : L"-INF";
    // Fifteen significant digits in the shortest of fixed or exponent form,
    // in the C locale (the program never changes it).
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string_view text(buffer, length > 0 && length < static_cast<int>(sizeof buffer) ? length : 0);
    // "1.5e-07" -> "1.5E-7", "1e+20" -> "1E20".
    std::wstring out;
    size_t e = text.find('e');
    std::string_view mantissa = text.substr(0, e);
    for (char c : mantissa) {
        if (c == '.')
            out.append(decimalSeparator);
        else
            out.push_back(static_cast<wchar_t>(c));
    }
    if (e != std::string_view::npos) {
        std::string_view exponent = text.substr(e + 1);
        out.push_back(L'E');
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
            if (exponent[0] == '-') out.push_back(L'-');
            exponent.remove_prefix(1);
        }
        while (exponent.size() > 1 && exponent[0] == '0') exponent.remove_prefix(1);
        for (char c : exponent) out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

}  // namespace promo
