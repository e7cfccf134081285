#pragma once
// The names of the files the user saves and opens: the extension a save dialog's filter
// gives a name typed without one, the report's proposed name, and the list of recent files.

#include <string>
#include <string_view>
#include <vector>

namespace kvado::session {

// `path` with the extension of the pair `chosen` of a dialog's `filter` ("Отчеты|*.rtf|Все
// файлы|*.*"; -1: the first pair, which a dialog starts with) appended when the file's name
// has none; a name with an extension, or a pattern that names none ("*.*"), is kept as typed.
// Without it "dieta2" was written as it stands, which the open dialog's filter then hid.
std::string withFilterExtension(const std::string& path, std::string_view filter, int chosen);

// The report's file name proposed by its save dialog: the data file's name with ".rtf" in
// place of its extension, or «Отчет.rtf» for a problem no file names.
std::string proposedReportName(const std::string& dataFileName);

// The files opened or written last, newest first, at most kRecentFiles, each once.
inline constexpr size_t kRecentFiles = 8;
std::vector<std::string> withRecentFile(std::vector<std::string> recent, const std::string& path);

} // namespace kvado::session
