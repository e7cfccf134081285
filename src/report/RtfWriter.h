#pragma once
// The report saved as an RTF document: what "Сохранить отчет" writes.

#include <string>
#include <vector>

#include "report/ReportDocument.h"

namespace kvado::report {

// A whole RTF document (7-bit ASCII) holding the paragraphs' texts and character formats:
// font, size, bold, italic, underline and colour of every run, one \par per paragraph.
// Non-ASCII characters are written as \uN followed by their windows-1251 byte, or "?" where
// windows-1251 has none, so readers that ignore \u still show Cyrillic.
std::string writeRtf(const std::vector<Paragraph>& paragraphs);

} // namespace kvado::report
