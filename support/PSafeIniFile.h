// The INI classes: one interface of INI operations with three classes behind
// it.
//   TSafeIniFile  in memory, loaded at construction, written once through a
//                 guarded save (Windows only)
//   TIniFile      straight to the file through the profile-string service
//                 (Windows only)
//   TExtIniFile   in memory, loaded on request, never written (ExtIniFiles.h)
// TCustomIniFile and TMemIniFile need no Win32 and build everywhere.
//
// Reads never fail: a missing file, section or key, or a value that does not
// convert, gives the caller's default. Names compare without regard to case;
// of duplicate names the last one wins.
//
// Writes: a name or value that would not read back as written is refused and
// nothing changes; the write then returns false (IsIniEntryWritable). Every
// other write returns true.
//
// Errors: the only exceptions raised on purpose are EIniFolderError, from the
// folder creation of TSafeIniFile (constructor, UpdateFile) and TIniFile
// (constructor, UpdateFile), and EIniReadError from TExtIniFile::LoadFromFile
// when an opened file cannot be read. Every other failure is a value:
// LastError, LoadFailed, a default. Destructors never throw.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/IniDocument.h"
#include "support/TextCodec.h"

namespace promo {

// The list type of ReadSection, ReadSections and ReadSectionValues.
using IniStringList = std::vector<std::wstring>;

class EIniError : public std::exception {
public:
    EIniError(std::wstring message, std::uint32_t code);
    const char* what() const noexcept override { return narrow_.c_str(); }
    const std::wstring& Message() const noexcept { return message_; }
    std::uint32_t Code() const noexcept { return code_; }
    void AppendToMessage(const std::wstring& text);

private:
    std::wstring message_;
    std::string narrow_;  // UTF-8 copy for what()
    std::uint32_t code_;
};

// A folder could not be created. IsInputOutput tells a file-system failure
// from other kinds (TIniFile stops silently on the former).
class EIniFolderError : public EIniError {
public:
    EIniFolderError(std::wstring message, std::uint32_t code, bool inputOutput = true)
        : EIniError(std::move(message), code), inputOutput_(inputOutput) {}
    bool IsInputOutput() const noexcept { return inputOutput_; }

private:
    bool inputOutput_;
};

// An opened file could not be read.
class EIniReadError : public EIniError {
public:
    using EIniError::EIniError;
};

// The folder part of a file name: the text before the last "\" (or "/" or the
// drive's ":"); for a file in a drive's root the drive with its separator
// ("C:\"), for "\name" the text "\", for a bare name empty.
std::wstring ExtractFileDir(const std::wstring& fileName);

// Reading a whole file: opened for reading with others allowed to read but not
// to write. error is 0 on success, else the system's code (never 0 on failure).
struct FileBytes {
    std::vector<std::uint8_t> bytes;
    bool opened = false;
    std::uint32_t error = 0;
};
FileBytes ReadWholeFile(const std::wstring& fileName);
bool IniFileExists(const std::wstring& fileName);

class TCustomIniFile {
public:
    explicit TCustomIniFile(std::wstring fileName = {}) : fileName_(std::move(fileName)) {}
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const std::wstring& FileName() const noexcept { return fileName_; }

    virtual std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& defaultValue) const = 0;
    virtual bool WriteString(const std::wstring& section, const std::wstring& key,
                             const std::wstring& value) = 0;
    // Decimal, or hexadecimal after "$" or "0x"; the default for anything else.
    virtual std::int32_t ReadInteger(const std::wstring& section, const std::wstring& key,
                                     std::int32_t defaultValue) const;
    virtual bool WriteInteger(const std::wstring& section, const std::wstring& key, std::int32_t value);
    // ReadInteger with 1/0 as default; true for any non-zero number.
    virtual bool ReadBool(const std::wstring& section, const std::wstring& key, bool defaultValue) const;
    virtual bool WriteBool(const std::wstring& section, const std::wstring& key, bool value);
    // Bytes written as hexadecimal text (two digits per byte); the number of
    // bytes read, 0 when the value is missing or not hexadecimal.
    virtual size_t ReadBinaryStream(const std::wstring& section, const std::wstring& key,
                                    std::vector<std::uint8_t>& destination) const;
    // Date-time values as text "mm/dd/yyyy hh:nn:ss:zzz" (date "mm/dd/yyyy",
    // time "hh:nn:ss:zzz"), written with the user's date and time separators
    // and read with "/" and ":" or the user's separators.
    virtual double ReadDate(const std::wstring& section, const std::wstring& key, double defaultValue) const;
    virtual double ReadDateTime(const std::wstring& section, const std::wstring& key,
                                double defaultValue) const;
    virtual double ReadFloat(const std::wstring& section, const std::wstring& key, double defaultValue) const;
    virtual double ReadTime(const std::wstring& section, const std::wstring& key, double defaultValue) const;
    virtual bool WriteBinaryStream(const std::wstring& section, const std::wstring& key,
                                   std::span<const std::uint8_t> bytes);
    virtual bool WriteDate(const std::wstring& section, const std::wstring& key, double value);
    virtual bool WriteDateTime(const std::wstring& section, const std::wstring& key, double value);
    virtual bool WriteFloat(const std::wstring& section, const std::wstring& key, double value);
    virtual bool WriteTime(const std::wstring& section, const std::wstring& key, double value);
    virtual void ReadSection(const std::wstring& section, IniStringList& destination) const = 0;
    virtual void ReadSections(IniStringList& destination) const = 0;
    // Names of the sections below "section\" one level deep, each once.
    virtual void ReadSubSections(const std::wstring& section, IniStringList& destination) const;
    virtual void ReadSectionValues(const std::wstring& section, IniStringList& destination) const = 0;
    virtual void EraseSection(const std::wstring& section) = 0;
    virtual void DeleteKey(const std::wstring& section, const std::wstring& key) = 0;
    virtual void UpdateFile() = 0;
    virtual bool ValueExists(const std::wstring& section, const std::wstring& key) const;

    // True when the section exists and has at least one line.
    bool SectionExists(const std::wstring& section) const;

protected:
    void SetFileName(std::wstring fileName) { fileName_ = std::move(fileName); }

private:
    std::wstring fileName_;
};

// Owns an IniDocument and implements the operations on it.
class TMemIniFile : public TCustomIniFile {
public:
    TMemIniFile() = default;
    ~TMemIniFile() override = default;

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const override;
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override;
    void ReadSection(const std::wstring& section, IniStringList& destination) const override;
    void ReadSections(IniStringList& destination) const override;
    void ReadSectionValues(const std::wstring& section, IniStringList& destination) const override;
    void EraseSection(const std::wstring& section) override;
    void DeleteKey(const std::wstring& section, const std::wstring& key) override;
    void UpdateFile() override {}

    const IniDocument& Document() const noexcept { return document_; }

protected:
    IniDocument& MutableDocument() noexcept { return document_; }

private:
    IniDocument document_;
};

#ifdef _WIN32

// An in-memory document bound to a file and written back once, when it is
// destroyed (or by UpdateFile), through a guarded save:
//  - the folder is created first (up to 101 rounds);
//  - read-only and hidden attributes are removed for the write and restored;
//  - the text is written as UTF-16 LE with the mark FF FE, whole, to a new
//    file beside the old one, which then takes the old one's place in one
//    step with its attributes and security: a reader or a crash sees the old
//    text or the new one, never a mix; a failed save leaves the old file
//    whole and no new file behind;
//  - errors are kept in LastError, never raised;
//  - a file that failed to load at construction is never saved, neither by
//    the destructor nor by UpdateFile. A load fails when the file cannot be
//    read, when its attributes cannot be read for any reason but its absence,
//    and when decoding drops text (see DecodedText::textDropped); what could
//    be read is still in the document.
class TSafeIniFile : public TMemIniFile {
public:
    // An empty document bound to no file: UpdateFile and the destructor never write.
    TSafeIniFile() = default;
    // Loads the file (a missing one gives an empty document), binds it, and
    // creates it empty (with its folders) when it does not exist. With an
    // encoding, a newly created file receives its byte-order mark.
    // Throws EIniFolderError when the folder cannot be created.
    explicit TSafeIniFile(const std::wstring& fileName, std::optional<TextEncoding> encoding = std::nullopt);
    ~TSafeIniFile() override;

    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override;
    void DeleteKey(const std::wstring& section, const std::wstring& key) override;
    // Saves when a file is bound and loaded, whatever Modified says.
    // Throws EIniFolderError when the folder cannot be created.
    void UpdateFile() override;

    // Replaces the document with the file's contents (empty when the file is
    // missing) without binding it. Failures go to LastError.
    void LoadFromFile(const std::wstring& fileName);
    // Replaces the document with the decoded bytes (e.g. a resource's data).
    void LoadFromStream(std::span<const std::uint8_t> bytes);

    const std::wstring& BoundFileName() const noexcept { return boundFileName_; }
    bool Modified() const noexcept;
    // Changed since the last successful save (or the load): what the
    // destructor would still write.
    bool HasUnsavedChanges() const noexcept;
    bool LoadFailed() const noexcept { return loadFailed_; }
    std::uint32_t LastError() const noexcept { return lastError_; }

    // Creates the folder with its parents, up to 101 rounds; nothing for "",
    // "\" and ".\". Throws EIniFolderError (message extended by the folder in
    // quotes) when the creation raises one.
    static void EnsureDirectory(const std::wstring& folder);

private:
    void Load(const std::wstring& fileName);
    void Save();

    std::wstring boundFileName_;
    bool modified_ = false;
    bool unsaved_ = false;
    bool loadFailed_ = false;
    std::uint32_t lastError_ = 0;
    // Set once the constructor's load is done: from then on a change of the
    // list of sections counts as a modification.
    std::optional<std::uint64_t> watchedVersion_;
    // The section-list version at the last successful save (or the load).
    std::optional<std::uint64_t> savedVersion_;
};

// Every read and write goes straight to the file through the profile-string
// service. The file's folder is created and a read-only attribute cleared
// before use (and again by UpdateFile). Failed writes are ignored.
class TIniFile : public TCustomIniFile {
public:
    // Throws EIniFolderError for a folder error other than a file-system one.
    explicit TIniFile(const std::wstring& fileName);
    ~TIniFile() override;

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) const override;
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override;
    void ReadSection(const std::wstring& section, IniStringList& destination) const override;
    void ReadSections(IniStringList& destination) const override;
    void ReadSectionValues(const std::wstring& section, IniStringList& destination) const override;
    void EraseSection(const std::wstring& section) override;
    void DeleteKey(const std::wstring& section, const std::wstring& key) override;
    // Prepares the path again and flushes the service's cached copy.
    void UpdateFile() override;

    // Makes a file name usable by the service: a bare name becomes ".\name"
    // (the service would otherwise look in the Windows folder); the folder is
    // created (up to 101 rounds; a file-system error ends them silently); a
    // read-only (or missing) file gets normal attributes. Returns the name.
    static std::wstring PrepareIniPath(const std::wstring& fileName);
};

// Creates a folder and its missing parents; false when it could not. Throws
// EIniFolderError (file-system kind) for a text that names no folder (empty
// once trailing separators are removed).
bool ForceDirectories(const std::wstring& folder);
bool IniDirectoryExists(const std::wstring& folder);

#endif  // _WIN32

}  // namespace promo
