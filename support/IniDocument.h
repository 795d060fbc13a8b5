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

namespace promo {

// Upper-cases a name for comparison. Windows: the system's invariant mapping;
// natively a built-in mapping of Latin-1, Latin Extended-A, Greek and Cyrillic.
// The result has the same length as the input.
std::wstring UpperCaseName(std::wstring_view name);
void UpperCaseNameInto(std::wstring_view name, std::wstring& out);
bool SameNameNoCase(std::wstring_view a, std::wstring_view b);

// Removes leading and trailing characters with codes up to U+0020.
std::wstring_view TrimIniText(std::wstring_view text);

// The name part of a stored line: the text before the first "=", or empty for
// a nameless line.
std::wstring_view IniLineName(std::wstring_view line);
// Whether the line is a key line (contains "=").
bool IsIniKeyLine(std::wstring_view line);

// Whether an entry written as given reads back as written. Refused: a CR, LF
// or NUL anywhere; a section or key name with blanks (codes up to U+0020) at
// either end, which the reader trims; a key name that begins with ";" (a
// comment) or "[" (a header) or holds "=" (the name ends at the first one).
// The program's own entries (fixed names, numbers and dates) always pass.
bool IsIniEntryWritable(std::wstring_view section, std::wstring_view key, std::wstring_view value);

// Hash index of one list of names: maps each upper-cased name to the position
// of its last occurrence. Open addressing over (hash, position) slots; the
// names themselves stay in the list and are read back through a NameAt
// function (position -> std::wstring_view) to confirm a match.
class IniNameIndex {
public:
    // rememberLast: keep the last query and its answer (worth it for the list
    // of sections, which a run of reads asks the same question).
    explicit IniNameIndex(bool rememberLast = false) : rememberLast_(rememberLast) {}

    void Invalidate() noexcept { valid_ = false; }
    bool Valid() const noexcept { return valid_; }

    // Indexes names 0..count-1; nameAt(i) gives the name, or std::nullopt for
    // an entry without one. Of equal names the later position wins.
    template <typename NameAt>
    void Rebuild(size_t count, NameAt nameAt, bool caseSensitive) {
        hasLast_ = false;
        used_ = 0;
        size_t capacity = 16;
        while (capacity < count * 2) capacity *= 2;
        slots_.assign(capacity, Slot{});
        for (size_t i = 0; i < count; ++i)
            if (std::optional<std::wstring_view> name = nameAt(i)) Add(*name, i, nameAt, caseSensitive);
        valid_ = true;
    }

    // Records a name appended at `position` (the last one so far): a valid
    // index stays valid.
    template <typename NameAt>
    void Add(std::wstring_view name, size_t position, NameAt nameAt, bool caseSensitive) {
        hasLast_ = false;
        if ((used_ + 1) * 2 > slots_.size()) Grow();
        std::uint64_t hash = HashQuery(name, caseSensitive);
        size_t mask = slots_.size() - 1;
        for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.position == kEmpty) {
                slot = Slot{hash, static_cast<std::uint32_t>(position)};
                ++used_;
                return;
            }
            if (slot.hash == hash && SameAsQuery(*nameAt(slot.position), caseSensitive)) {
                slot.position = static_cast<std::uint32_t>(position);
                return;
            }
        }
    }

    template <typename NameAt>
    std::optional<size_t> Find(std::wstring_view name, NameAt nameAt, bool caseSensitive) const {
        if (hasLast_ && name == lastQuery_) return lastAnswer_;
        std::optional<size_t> answer;
        if (!slots_.empty()) {
            std::uint64_t hash = HashQuery(name, caseSensitive);
            size_t mask = slots_.size() - 1;
            for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
                const Slot& slot = slots_[i];
                if (slot.position == kEmpty) break;
                if (slot.hash == hash && SameAsQuery(*nameAt(slot.position), caseSensitive)) {
                    answer = slot.position;
                    break;
                }
            }
        }
        if (rememberLast_) {
            lastQuery_.assign(name.begin(), name.end());
            lastAnswer_ = answer;
            hasLast_ = true;
        }
        return answer;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t position = kEmpty;
    };

    // Upper-cases the query into query_ and hashes it (FNV-1a over characters).
    std::uint64_t HashQuery(std::wstring_view name, bool caseSensitive) const;
    // Whether a stored name equals the query last given to HashQuery.
    bool SameAsQuery(std::wstring_view stored, bool caseSensitive) const;
    void Grow();

    std::vector<Slot> slots_;
    size_t used_ = 0;
    bool valid_ = false;
    bool rememberLast_;
    mutable bool hasLast_ = false;
    mutable std::wstring lastQuery_;
    mutable std::optional<size_t> lastAnswer_;
    // Scratch texts; objects are used by one thread at a time.
    mutable std::wstring query_;
    mutable std::wstring scratch_;
};

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

// Replaces the document's sections with the ones parsed from the lines.
void ParseIniText(const std::vector<std::wstring>& lines, IniDocument& document);
// ParseIniText over a whole decoded text, whose lines end with CR, LF or CR LF
// (the text ends at its first NUL, as SplitLines does); it reads the lines in
// place instead of copying each out first.
void ParseIniWholeText(std::wstring_view text, IniDocument& document);
// The document as lines: per section its header, its lines, one empty line.
std::vector<std::wstring> FormatIniLines(const IniDocument& document);
// The lines joined with CR LF, with a CR LF after the last one as well.
std::wstring FormatIniText(const IniDocument& document);

// Conversions of the typed reads and writes.
// A 32-bit integer in decimal (optional sign), or hexadecimal after "$" or a
// leading "0x"/"0X" (longer than two characters). Hexadecimal takes up to
// FFFFFFFF as the 32-bit pattern (colour values such as $FF00000F read as
// negative numbers). Empty for anything else.
std::optional<std::int32_t> ParseIniInteger(std::wstring_view text);
// A decimal number with the given decimal separator and an optional exponent.
// Leading and trailing blanks are allowed. Empty for anything else and for
// values out of the range of double.
std::optional<double> ParseIniFloat(std::wstring_view text, std::wstring_view decimalSeparator);
// Shortest general form with up to 15 significant digits ("0.1", "42", "1E20",
// "1.5E-7"); NAN, INF and -INF for the special values.
std::wstring FormatIniFloat(double value, std::wstring_view decimalSeparator);

}  // namespace promo
