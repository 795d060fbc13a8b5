// The in-memory INI document: an ordered list of sections, each with an
// ordered list of lines, duplicates kept. A line is either a key line stored
// as one text "name=value" (the name is the text before the first "="), or a
// nameless line (no "=") stored as read.
//
// Lookup rule: names compare without regard to case (both sides upper-cased),
// and where several sections or several lines of a section match, the LAST one
// in list order wins. Each list keeps a hash index from the upper-cased name to
// its last position, rebuilt lazily after a change, so repeated reads of a big
// text table cost one hash lookup per list. Nameless lines have no key and are
// never found by a key lookup.
//
// Nothing here throws except std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/IniNames.h"

namespace promo {

class IniSection {
public:
    explicit IniSection(std::wstring name, bool caseSensitive = false)
        : name_(std::move(name)), caseSensitive_(caseSensitive) {}

    const std::wstring& Name() const noexcept { return name_; }
    const std::vector<std::wstring>& Lines() const noexcept { return lines_; }
    size_t LineCount() const noexcept { return lines_.size(); }

    // Position of the last key line with this name.
    std::optional<size_t> FindKey(std::wstring_view key) const;

    void AppendLine(std::wstring line);
    // Replaces a line. The index stays valid when the name is unchanged.
    void ReplaceLine(size_t position, std::wstring line);
    void RemoveLine(size_t position);
    void SetCaseSensitive(bool value);

    bool operator==(const IniSection& other) const { return name_ == other.name_ && lines_ == other.lines_; }

private:
    void RebuildIndex() const;

    std::wstring name_;
    std::vector<std::wstring> lines_;
    bool caseSensitive_;
    mutable IniNameIndex index_;
};

class IniDocument {
public:
    IniDocument() = default;
    IniDocument(const IniDocument& other);
    IniDocument& operator=(const IniDocument& other);
    IniDocument(IniDocument&&) noexcept = default;
    IniDocument& operator=(IniDocument&&) noexcept = default;

    size_t SectionCount() const noexcept { return sections_.size(); }
    const IniSection& Section(size_t position) const { return *sections_[position]; }
    IniSection& Section(size_t position) { return *sections_[position]; }

    // Position of the last section with this name.
    std::optional<size_t> FindSection(std::wstring_view name) const;
    IniSection& AppendSection(std::wstring name);
    void RemoveSection(size_t position);
    void Clear();

    // Counts the changes of the list of sections (appends, removals, clearing
    // a non-empty list). Owners compare it to notice such changes.
    std::uint64_t SectionListVersion() const noexcept { return sectionListVersion_; }

    // Names compare with case when this is on; off by default and never turned
    // on by this program. Sections created later take over the setting.
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool value);

    // The document operations (see the INI classes for their contract).
    std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                            std::wstring_view defaultValue) const;
    void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    // True when a line was removed.
    bool DeleteKey(std::wstring_view section, std::wstring_view key);
    // True when a section was removed.
    bool EraseSection(std::wstring_view section);
    std::vector<std::wstring> ReadSection(std::wstring_view section) const;
    std::vector<std::wstring> ReadSections() const;
    std::vector<std::wstring> ReadSectionValues(std::wstring_view section) const;

    bool operator==(const IniDocument& other) const;

private:
    void RebuildIndex() const;
    void Changed() {
        ++sectionListVersion_;
        index_.Invalidate();
    }

    std::vector<std::unique_ptr<IniSection>> sections_;
    bool caseSensitive_ = false;
    std::uint64_t sectionListVersion_ = 0;
    mutable IniNameIndex index_{true};
};

}  // namespace promo
