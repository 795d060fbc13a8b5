#include "support/IniDocument.h"

namespace promo {

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

}  // namespace promo
