// The Win32 half of the INI classes: TSafeIniFile's load and guarded save,
// TIniFile over the profile-string service, and folder creation.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "support/GuardedReplace.h"
#include "support/Handles.h"
#include "support/IniText.h"
#include "support/PSafeIniFile.h"

namespace promo {

namespace {

constexpr DWORD kAllSpecialAttributes = 0x3127;  // RO, hidden, system, archive, temporary, offline, NCI
constexpr DWORD kReadOnlyOrHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
constexpr int kFolderRounds = 101;

std::uint32_t LastErrorOrOne() {
    DWORD code = ::GetLastError();
    return code != 0 ? code : 1;
}

std::wstring StripTrailingSeparators(std::wstring folder) {
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return folder;
}

// Writes all bytes to a new file, through to the disk; 0 or the system code.
std::uint32_t WriteNewFile(const std::wstring& fileName, const std::string& bytes) {
    UniqueFileHandle file(::CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastErrorOrOne();
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!::WriteFile(file.get(), bytes.data() + done, want, &written, nullptr)) return LastErrorOrOne();
        if (written == 0) return ERROR_WRITE_FAULT;
        done += written;
    }
    // The replace below must never put a file in place whose text is still
    // only in the cache.
    if (!::FlushFileBuffers(file.get())) return LastErrorOrOne();
    return 0;
}

// A name for the new text beside the old file, in its folder (so that the
// replace is a rename on one volume), created empty; empty on failure with
// the system code in `error`.
std::wstring CreateTemporaryBeside(const std::wstring& fileName, std::uint32_t& error) {
    const size_t slash = fileName.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring(L".") : fileName.substr(0, slash + 1);
    std::vector<wchar_t> buffer(folder.size() + MAX_PATH + 16, L'\0');
    if (::GetTempFileNameW(folder.c_str(), L"ini", 0, buffer.data()) == 0) {
        error = LastErrorOrOne();
        return {};
    }
    return buffer.data();
}

// Replaces the file's contents with `bytes` so that a reader (or a crash)
// sees either the whole old text or the whole new one: the new text goes to
// a file beside the old one first. On failure the old file is untouched and
// the new one removed, unless it is the only text left (see
// ReplaceWithTemporary). 0 or the system code.
std::uint32_t ReplaceFileContents(const std::wstring& fileName, const std::string& bytes) {
    std::uint32_t error = 0;
    const std::wstring temporary = CreateTemporaryBeside(fileName, error);
    if (temporary.empty()) return error;
    error = WriteNewFile(temporary, bytes);
    bool keepTemporary = false;
    if (error == 0) {
        const ReplaceOutcome outcome = ReplaceWithTemporary(fileName, temporary);
        error = outcome.error;
        keepTemporary = outcome.keepTemporary;
    }
    if (error != 0 && !keepTemporary) ::DeleteFileW(temporary.c_str());
    return error;
}

}  // namespace

bool IniDirectoryExists(const std::wstring& folder) {
    DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(const std::wstring& folder) {
    std::wstring dir = StripTrailingSeparators(folder);
    if (dir.empty()) throw EIniFolderError(L"Unable to create directory", ERROR_BAD_PATHNAME);
    if (IniDirectoryExists(dir) || (dir.size() == 2 && dir[1] == L':'))
        return IniDirectoryExists(dir + L"\\");
    std::wstring parent = ExtractFileDir(dir);
    if (!parent.empty() && StripTrailingSeparators(parent) != dir && !IniDirectoryExists(parent))
        ForceDirectories(parent);
    if (::CreateDirectoryW(dir.c_str(), nullptr)) return true;
    return ::GetLastError() == ERROR_ALREADY_EXISTS && IniDirectoryExists(dir);
}

// ---- TSafeIniFile ----

TSafeIniFile::TSafeIniFile(const std::wstring& fileName, std::optional<TextEncoding> encoding)
    : boundFileName_(fileName) {
    if (fileName.empty()) return;
    Load(fileName);
    watchedVersion_ = Document().SectionListVersion();
    savedVersion_ = watchedVersion_;
    // After a failed load nothing is known about the file: leave it be.
    if (lastError_ == 0 && !IniFileExists(fileName)) {
        std::wstring folder = ExtractFileDir(fileName);
        if (!folder.empty()) EnsureDirectory(folder);
        UniqueFileHandle file(::CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string mark = encoding ? ByteOrderMark(*encoding) : std::string();
        LARGE_INTEGER size{};
        if (file && !mark.empty() && ::GetFileSizeEx(file.get(), &size) && size.QuadPart == 0) {
            DWORD written = 0;
            ::WriteFile(file.get(), mark.data(), static_cast<DWORD>(mark.size()), &written, nullptr);
        }
    }
    if (lastError_ != 0) loadFailed_ = true;
}

TSafeIniFile::~TSafeIniFile() {
    // A change saved by UpdateFile is not written a second time.
    if (loadFailed_ || !Modified() || !HasUnsavedChanges()) return;
    try {
        Save();
    } catch (...) {
        // A folder that cannot be created: the write would fail anyway.
    }
}

bool TSafeIniFile::Modified() const noexcept {
    return modified_ || (watchedVersion_ && *watchedVersion_ != Document().SectionListVersion());
}

bool TSafeIniFile::HasUnsavedChanges() const noexcept {
    return unsaved_ || (savedVersion_ && *savedVersion_ != Document().SectionListVersion());
}

bool TSafeIniFile::WriteString(const std::wstring& section, const std::wstring& key,
                               const std::wstring& value) {
    if (!TMemIniFile::WriteString(section, key, value)) return false;
    modified_ = true;
    unsaved_ = true;
    return true;
}

void TSafeIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    if (MutableDocument().DeleteKey(section, key)) modified_ = unsaved_ = true;
}

void TSafeIniFile::UpdateFile() {
    // A document that failed to load is not the file's text: saving it would
    // put a partial or empty text in the place of one that could not be read.
    if (!boundFileName_.empty() && !loadFailed_) Save();
}

void TSafeIniFile::Load(const std::wstring& fileName) {
    lastError_ = 0;
    try {
        const DWORD attributes = ::GetFileAttributesW(fileName.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            // Only a file that is not there is an empty document. Denied
            // access, a bad name or an unreachable share say nothing about
            // the text, which a save would then replace.
            const DWORD code = ::GetLastError();
            if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) {
                lastError_ = code != 0 ? code : 1;
                return;
            }
        }
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            ParseIniText({}, MutableDocument());
            return;
        }
        FileBytes file = ReadWholeFile(fileName);
        if (file.error != 0) {
            lastError_ = file.error;  // the document stays as it was
            return;
        }
        const DecodedText decoded = DecodeText(file.bytes);
        // What could be read is read; but a save would lose the rest.
        ParseIniText(SplitLines(decoded.text), MutableDocument());
        if (decoded.textDropped) lastError_ = ERROR_INVALID_DATA;
    } catch (...) {
        lastError_ = LastErrorOrOne();
    }
}

void TSafeIniFile::LoadFromFile(const std::wstring& fileName) { Load(fileName); }

void TSafeIniFile::LoadFromStream(std::span<const std::uint8_t> bytes) {
    try {
        ParseIniText(DecodeTextLines(bytes), MutableDocument());
    } catch (...) {
        // A stream that cannot be read leaves the document as it was.
    }
}

void TSafeIniFile::Save() {
    std::wstring name = boundFileName_;
    std::wstring folder = ExtractFileDir(name);
    // A bare name means the current folder. A name directly under "\" stays as
    // it is: prefixing ".\" would move it from the drive's root to the
    // current folder, away from the file that was read.
    if (folder.empty())
        name = L".\\" + name;
    else
        EnsureDirectory(folder);

    DWORD attributes = ::GetFileAttributesW(name.c_str());
    if ((attributes & kAllSpecialAttributes) == kAllSpecialAttributes) {
        ::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_ARCHIVE);
        attributes = ::GetFileAttributesW(name.c_str());
    }
    bool attributesChanged = false;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kReadOnlyOrHidden) != 0) {
        ::SetFileAttributesW(name.c_str(), attributes & ~kReadOnlyOrHidden);
        attributesChanged = true;
    }

    lastError_ = 0;
    try {
        lastError_ = ReplaceFileContents(name, EncodeUtf16LEWithBom(FormatIniText(Document())));
    } catch (...) {
        lastError_ = LastErrorOrOne();
    }

    if (attributesChanged) {
        ::SetFileAttributesW(name.c_str(), attributes);
    } else if (lastError_ == 0 && attributes != INVALID_FILE_ATTRIBUTES) {
        // The replace should carry the old file's attributes over; where the
        // platform's does not, set them (a new archive mark may stay).
        const DWORD now = ::GetFileAttributesW(name.c_str());
        const DWORD wanted = attributes | (now & FILE_ATTRIBUTE_ARCHIVE);
        if (now != INVALID_FILE_ATTRIBUTES && now != wanted) ::SetFileAttributesW(name.c_str(), wanted);
    }
    if (lastError_ == 0) {
        unsaved_ = false;
        savedVersion_ = Document().SectionListVersion();
    }
}

void TSafeIniFile::EnsureDirectory(const std::wstring& folder) {
    if (folder.empty() || folder == L"\\" || folder == L".\\") return;
    for (int round = 0; round < kFolderRounds; ++round) {
        if (IniDirectoryExists(folder)) return;
        try {
            ForceDirectories(folder);
        } catch (EIniFolderError& e) {
            e.AppendToMessage(L" \"" + folder + L"\"");
            throw;
        }
    }
}

// ---- TIniFile ----

TIniFile::TIniFile(const std::wstring& fileName) : TCustomIniFile(PrepareIniPath(fileName)) {}

TIniFile::~TIniFile() {
    try {
        UpdateFile();
    } catch (...) {
    }
}

std::wstring TIniFile::PrepareIniPath(const std::wstring& fileName) {
    std::wstring name = fileName;
    std::wstring folder = ExtractFileDir(name);
    // As in the save: only a bare name is moved to the current folder.
    if (folder.empty()) {
        name = L".\\" + name;
    } else if (folder != L"\\") {
        for (int round = 0; round < kFolderRounds; ++round) {
            if (IniDirectoryExists(folder)) break;
            try {
                ForceDirectories(folder);
            } catch (const EIniFolderError& e) {
                if (e.IsInputOutput()) break;
                throw;
            }
        }
    }
    DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        ::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    return name;
}

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue) const {
    DWORD size = 2048;
    std::wstring buffer;
    for (;;) {
        buffer.assign(size, L'\0');
        DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                             buffer.data(), size, FileName().c_str());
        // A value that did not fit comes back cut to size - 1 characters.
        if (n + 1 < size) {
            buffer.resize(n);
            return buffer;
        }
        size += size / 2;
    }
}

bool TIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    // The service would write a line break into the product's file as it is,
    // turning one value into lines of their own.
    if (!IsIniEntryWritable(section, key, value)) return false;
    ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), FileName().c_str());
    return true;
}

namespace {

void SplitNulList(const std::wstring& buffer, size_t length, IniStringList& destination) {
    size_t start = 0;
    while (start < length) {
        size_t end = buffer.find(L'\0', start);
        if (end == std::wstring::npos || end > length) end = length;
        if (end == start) break;  // the closing double NUL
        destination.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

void TIniFile::ReadSection(const std::wstring& section, IniStringList& destination) const {
    destination.clear();
    DWORD size = 1024;
    std::wstring buffer;
    DWORD n;
    for (;;) {
        buffer.assign(size, L'\0');
        n = ::GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer.data(), size,
                                       FileName().c_str());
        if (n < size - 2) break;
        size *= 4;
    }
    SplitNulList(buffer, n, destination);
}

void TIniFile::ReadSections(IniStringList& destination) const {
    destination.clear();
    DWORD size = 16384;
    std::wstring buffer;
    DWORD n;
    for (;;) {
        buffer.assign(size, L'\0');
        n = ::GetPrivateProfileSectionNamesW(buffer.data(), size, FileName().c_str());
        if (n < size - 2) break;
        size += size / 2;
    }
    SplitNulList(buffer, n, destination);
}

void TIniFile::ReadSectionValues(const std::wstring& section, IniStringList& destination) const {
    destination.clear();
    IniStringList names;
    ReadSection(section, names);
    for (const std::wstring& name : names) destination.push_back(name + L"=" + ReadString(section, name, {}));
}

void TIniFile::EraseSection(const std::wstring& section) {
    ::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, FileName().c_str());
}

void TIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    ::WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() {
    SetFileName(PrepareIniPath(FileName()));
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, FileName().c_str());
}

}  // namespace promo
