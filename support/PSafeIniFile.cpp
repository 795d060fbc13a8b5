// The portable half of the INI classes: the common operations, TMemIniFile,
// and reading a whole file.
#include "support/PSafeIniFile.h"

#include <cmath>
#include <cstdio>

#include "support/DateTime.h"
#include "support/IniValues.h"

#ifdef _WIN32
#include <windows.h>

#include "support/Handles.h"
#endif

namespace promo {

EIniError::EIniError(std::wstring message, std::uint32_t code)
    : message_(std::move(message)), narrow_(EncodeUtf8(message_)), code_(code) {}

void EIniError::AppendToMessage(const std::wstring& text) {
    message_ += text;
    narrow_ = EncodeUtf8(message_);
}

std::wstring ExtractFileDir(const std::wstring& fileName) {
    size_t last = fileName.find_last_of(L"\\/:");
    if (last == std::wstring::npos) return {};
    size_t end = last;  // the folder without its trailing separator ...
    if (fileName[last] == L':') {
        end = last + 1;  // ... but "C:" keeps its colon
    } else if (last == 0 || fileName[last - 1] == L':' || fileName[last - 1] == L'\\' ||
               fileName[last - 1] == L'/') {
        end = last + 1;  // ... and a root ("\", "C:\") keeps its separator
    }
    return fileName.substr(0, end);
}

#ifdef _WIN32

FileBytes ReadWholeFile(const std::wstring& fileName) {
    FileBytes result;
    UniqueFileHandle file(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    auto fail = [&result]() {
        DWORD code = ::GetLastError();
        result.error = code != 0 ? code : 1;
        return result;
    };
    if (!file) return fail();
    result.opened = true;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return fail();
    if (size.QuadPart > 0x7FFFFFFF) {
        result.error = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
    result.bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < result.bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(result.bytes.size() - done);
        if (!::ReadFile(file.get(), result.bytes.data() + done, want, &got, nullptr)) return fail();
        if (got == 0) break;  // the file shrank meanwhile
        done += got;
    }
    result.bytes.resize(done);
    return result;
}

bool IniFileExists(const std::wstring& fileName) {
    DWORD attributes = ::GetFileAttributesW(fileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

#else

namespace {
std::string NativePath(const std::wstring& fileName) { return EncodeUtf8(fileName); }
}  // namespace

FileBytes ReadWholeFile(const std::wstring& fileName) {
    FileBytes result;
    std::FILE* f = std::fopen(NativePath(fileName).c_str(), "rb");
    if (!f) {
        result.error = 2;  // file not found
        return result;
    }
    result.opened = true;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        result.bytes.insert(result.bytes.end(), buffer, buffer + n);
    if (std::ferror(f)) result.error = 30;  // read fault
    std::fclose(f);
    return result;
}

bool IniFileExists(const std::wstring& fileName) {
    std::FILE* f = std::fopen(NativePath(fileName).c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

#endif

// ---- Date and time texts ----

namespace {

struct CivilDate {
    int year, month, day;
};

// Calendar date of a day number counted from 1970-01-01.
CivilDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

std::wstring TwoDigits(int v) {
    wchar_t b[8];
    std::swprintf(b, 8, L"%02d", v);
    return b;
}

std::wstring FormatDatePart(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 3e6) return {};
    CivilDate c = CivilFromDays(static_cast<std::int64_t>(std::trunc(value)) - 25569);
    wchar_t year[16];
    std::swprintf(year, 16, L"%04d", c.year);
    std::wstring sep = UserDateSeparator();
    return TwoDigits(c.month) + sep + TwoDigits(c.day) + sep + year;
}

std::wstring FormatTimePart(double value) {
    if (!std::isfinite(value)) return {};
    double fraction = std::fabs(value - std::trunc(value));
    auto ms = static_cast<std::int64_t>(std::llround(fraction * 86400000.0));
    if (ms >= 86400000) ms = 86399999;
    wchar_t millis[8];
    std::swprintf(millis, 8, L"%03d", static_cast<int>(ms % 1000));
    std::wstring sep = UserTimeSeparator();
    return TwoDigits(static_cast<int>(ms / 3600000)) + sep + TwoDigits(static_cast<int>(ms / 60000 % 60)) +
           sep + TwoDigits(static_cast<int>(ms / 1000 % 60)) + sep + millis;
}

// Reads up to `count` numbers separated by either separator; false when the
// text has other characters or more numbers.
bool SplitNumbers(std::wstring_view text, const std::wstring& sepA, const std::wstring& sepB, int* out,
                  int count, int& found) {
    found = 0;
    size_t i = 0;
    while (true) {
        if (found == count) return false;
        size_t start = i;
        long long v = 0;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9' && i - start < 9)
            v = v * 10 + (text[i++] - L'0');
        if (i == start) return false;
        out[found++] = static_cast<int>(v);
        if (i == text.size()) return true;
        if (!sepA.empty() && text.substr(i, sepA.size()) == sepA)
            i += sepA.size();
        else if (!sepB.empty() && text.substr(i, sepB.size()) == sepB)
            i += sepB.size();
        else
            return false;
    }
}

std::optional<double> ParseDatePart(std::wstring_view text) {
    int v[3];
    int n;
    if (!SplitNumbers(text, L"/", UserDateSeparator(), v, 3, n) || n != 3) return std::nullopt;
    int month = v[0], day = v[1], year = v[2];
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return std::nullopt;
    return EncodeDateValue(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                           static_cast<std::uint16_t>(day));
}

std::optional<double> ParseTimePart(std::wstring_view text) {
    int v[4] = {0, 0, 0, 0};
    int n;
    if (!SplitNumbers(text, L":", UserTimeSeparator(), v, 4, n) || n < 2) return std::nullopt;
    if (v[0] > 23 || v[1] > 59 || v[2] > 59 || v[3] > 999) return std::nullopt;
    return EncodeTimeValue(static_cast<std::uint16_t>(v[0]), static_cast<std::uint16_t>(v[1]),
                           static_cast<std::uint16_t>(v[2]), static_cast<std::uint16_t>(v[3]));
}

}  // namespace

// ---- TCustomIniFile ----

std::int32_t TCustomIniFile::ReadInteger(const std::wstring& section, const std::wstring& key,
                                         std::int32_t defaultValue) const {
    return ParseIniInteger(ReadString(section, key, {})).value_or(defaultValue);
}

bool TCustomIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, std::int32_t value) {
    return WriteString(section, key, std::to_wstring(value));
}

bool TCustomIniFile::ReadBool(const std::wstring& section, const std::wstring& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TCustomIniFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) {
    return WriteString(section, key, value ? L"1" : L"0");
}

size_t TCustomIniFile::ReadBinaryStream(const std::wstring& section, const std::wstring& key,
                                        std::vector<std::uint8_t>& destination) const {
    std::wstring text = ReadString(section, key, {});
    if (text.size() % 2 != 0) return 0;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        std::wstring pair = L"$" + text.substr(i, 2);
        std::optional<std::int32_t> v = ParseIniInteger(pair);
        if (!v) return 0;
        bytes.push_back(static_cast<std::uint8_t>(*v));
    }
    destination.insert(destination.end(), bytes.begin(), bytes.end());
    return bytes.size();
}

bool TCustomIniFile::WriteBinaryStream(const std::wstring& section, const std::wstring& key,
                                       std::span<const std::uint8_t> bytes) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        text.push_back(kHex[b >> 4]);
        text.push_back(kHex[b & 0xF]);
    }
    return WriteString(section, key, text);
}

double TCustomIniFile::ReadDate(const std::wstring& section, const std::wstring& key,
                                double defaultValue) const {
    return ParseDatePart(ReadString(section, key, {})).value_or(defaultValue);
}

double TCustomIniFile::ReadTime(const std::wstring& section, const std::wstring& key,
                                double defaultValue) const {
    return ParseTimePart(ReadString(section, key, {})).value_or(defaultValue);
}

double TCustomIniFile::ReadDateTime(const std::wstring& section, const std::wstring& key,
                                    double defaultValue) const {
    std::wstring text = ReadString(section, key, {});
    size_t blank = text.find(L' ');
    std::optional<double> date = ParseDatePart(std::wstring_view(text).substr(0, blank));
    if (!date) return defaultValue;
    if (blank == std::wstring::npos) return *date;
    std::optional<double> time = ParseTimePart(std::wstring_view(text).substr(blank + 1));
    if (!time) return defaultValue;
    return *date >= 0 ? *date + *time : *date - *time;
}

double TCustomIniFile::ReadFloat(const std::wstring& section, const std::wstring& key,
                                 double defaultValue) const {
    std::wstring text = ReadString(section, key, {});
    if (text.empty()) return defaultValue;
    return ParseIniFloat(text, UserDecimalSeparator()).value_or(defaultValue);
}

bool TCustomIniFile::WriteDate(const std::wstring& section, const std::wstring& key, double value) {
    return WriteString(section, key, FormatDatePart(value));
}

bool TCustomIniFile::WriteDateTime(const std::wstring& section, const std::wstring& key, double value) {
    return WriteString(section, key, FormatDatePart(value) + L" " + FormatTimePart(value));
}

bool TCustomIniFile::WriteFloat(const std::wstring& section, const std::wstring& key, double value) {
    return WriteString(section, key, FormatIniFloat(value, UserDecimalSeparator()));
}

bool TCustomIniFile::WriteTime(const std::wstring& section, const std::wstring& key, double value) {
    return WriteString(section, key, FormatTimePart(value));
}

void TCustomIniFile::ReadSubSections(const std::wstring& section, IniStringList& destination) const {
    destination.clear();
    IniStringList all;
    ReadSections(all);
    std::wstring prefix = section.empty() ? std::wstring() : section + L"\\";
    for (const std::wstring& name : all) {
        if (name.size() <= prefix.size() ||
            !SameNameNoCase(std::wstring_view(name).substr(0, prefix.size()), prefix))
            continue;
        std::wstring child = name.substr(prefix.size(), name.find(L'\\', prefix.size()) - prefix.size());
        if (child.empty()) continue;
        bool seen = false;
        for (const std::wstring& d : destination) seen = seen || SameNameNoCase(d, child);
        if (!seen) destination.push_back(child);
    }
}

bool TCustomIniFile::ValueExists(const std::wstring& section, const std::wstring& key) const {
    IniStringList names;
    ReadSection(section, names);
    for (const std::wstring& name : names)
        if (SameNameNoCase(name, key)) return true;
    return false;
}

bool TCustomIniFile::SectionExists(const std::wstring& section) const {
    IniStringList names;
    ReadSection(section, names);
    return !names.empty();
}

// ---- TMemIniFile ----

std::wstring TMemIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& defaultValue) const {
    return document_.ReadString(section, key, defaultValue);
}

bool TMemIniFile::WriteString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& value) {
    if (!IsIniEntryWritable(section, key, value)) return false;
    document_.WriteString(section, key, value);
    return true;
}

void TMemIniFile::ReadSection(const std::wstring& section, IniStringList& destination) const {
    destination = document_.ReadSection(section);
}

void TMemIniFile::ReadSections(IniStringList& destination) const { destination = document_.ReadSections(); }

void TMemIniFile::ReadSectionValues(const std::wstring& section, IniStringList& destination) const {
    destination = document_.ReadSectionValues(section);
}

void TMemIniFile::EraseSection(const std::wstring& section) { document_.EraseSection(section); }

void TMemIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    document_.DeleteKey(section, key);
}

}  // namespace promo
