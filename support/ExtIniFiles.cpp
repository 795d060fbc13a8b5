#include "support/ExtIniFiles.h"

#include "support/IniText.h"

namespace promo {

void TExtIniFile::LoadFromFile(const std::wstring& fileName) {
    FileBytes file = ReadWholeFile(fileName);
    if (!file.opened) return;
    if (file.error != 0) throw EIniReadError(L"Cannot read \"" + fileName + L"\"", file.error);
    ParseIniWholeText(DecodeText(file.bytes).text, document_);
}

std::wstring TExtIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& defaultValue) const {
    return document_.ReadString(section, key, defaultValue);
}

bool TExtIniFile::WriteString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& value) {
    if (!IsIniEntryWritable(section, key, value)) return false;
    document_.WriteString(section, key, value);
    return true;
}

void TExtIniFile::ReadSection(const std::wstring& section, IniStringList& destination) const {
    destination = document_.ReadSection(section);
}

void TExtIniFile::ReadSections(IniStringList& destination) const { destination = document_.ReadSections(); }

void TExtIniFile::ReadSectionValues(const std::wstring& section, IniStringList& destination) const {
    destination = document_.ReadSectionValues(section);
}

void TExtIniFile::EraseSection(const std::wstring& section) { document_.EraseSection(section); }

void TExtIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    document_.DeleteKey(section, key);
}

}  // namespace promo
