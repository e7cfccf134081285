#pragma once
// The name files next to a data file: ".ogran" (constraint names, then optionally the
// objective's name) and ".neizv" (unknown names), one name per line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvado::datafile {

// The path of a side file: the data file's path with its extension replaced by `extension`
// (given without the dot), or with it appended when the file name has none. The folder is
// never touched: "/zad/p1.dat" and "/zad/p1" both give "/zad/p1.ogran".
std::string sideFileName(std::string_view dataPath, std::string_view extension);
// The file name without its folder.
std::string baseName(std::string_view path);

// The lines of a name file, decoded by the text-file policy (UTF-8 when it is valid UTF-8 with
// a non-ASCII character, windows-1251 otherwise). CR LF, LF and CR end lines; a last line
// without a line end counts; an empty file has no lines. At most `maxLines` are kept.
std::vector<std::string> splitNameLines(std::string_view bytes, size_t maxLines = SIZE_MAX);
// The message for the first line of a name file whose name holds a control character (a NUL
// would cut the printed report short, an ESC reach the terminal raw), naming the file and the
// line; empty when there is none. A tab, harmless everywhere, is let through.
std::string controlCharacterMessage(const std::string& path, const std::vector<std::string>& lines);
// A name as the write command stores it: leading and trailing blanks and control characters
// removed.
std::string trimName(std::string_view name);
// The bytes of a name file: every line followed by CR LF, in windows-1251, or in UTF-8 when a
// name has no windows-1251 form.
std::string joinNameLines(const std::vector<std::string>& lines);

} // namespace kvado::datafile
