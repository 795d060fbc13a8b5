// TExtIniFile: an in-memory INI document loaded from a file on request and
// never written. It shares the document model and lookup rules of
// TSafeIniFile; its file name stays empty and UpdateFile does nothing.
#pragma once

#include <string>

#include "support/PSafeIniFile.h"

namespace promo {

class TExtIniFile : public TCustomIniFile {
public:
    TExtIniFile() = default;
    ~TExtIniFile() override = default;

    // Replaces the document with the file's contents. A file that cannot be
    // opened (missing, locked, no access) leaves the document unchanged and
    // reports nothing; an opened file that cannot be read throws EIniReadError.
    void LoadFromFile(const std::wstring& fileName);

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

private:
    IniDocument document_;
};

}  // namespace promo
