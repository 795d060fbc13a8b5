// The INI text and the document: parsing lines into sections and key lines
// (blanks trimmed, comments and lines before the first header dropped) and
// formatting a document back into lines or one text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/IniDocument.h"

namespace promo {

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

}  // namespace promo
