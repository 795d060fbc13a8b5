#include "support/IniNames.h"

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

}  // namespace promo
