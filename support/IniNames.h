// Names in the INI text: the comparison without regard to case, trimming,
// the name part of a stored line, whether an entry reads back as written, and
// the hash index that finds the last occurrence of a name in a list.
//
// Nothing here throws except std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace promo
