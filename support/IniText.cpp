#include "support/IniText.h"

namespace promo {

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

}  // namespace promo
