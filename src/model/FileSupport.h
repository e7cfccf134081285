#pragma once
// What the LP and MPS readers and writers share.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/Model.h"

namespace kvado::model::detail {

// Names to indices; a model's names are looked up once a coefficient.
using NameIndex = std::unordered_map<std::string, int32_t>;

// Refuses a model whose rows or columns no 32-bit index can number, with the program's size
// message, before the reader goes on (the method's own limits are the transformation's).
void checkModelSize(size_t rows, size_t columns);

// The names a writer puts in a file: each one passed through `fix` (which makes it legal), then
// made unique by a suffix "~k". Empty names become `fallback` + number.
std::vector<std::string> fileNames(const std::vector<std::string>& names,
                                   const std::function<std::string(const std::string&)>& fix,
                                   const std::string& fallback,
                                   const std::vector<std::string>& taken = {});

// "'text'" as the messages quote what they found; a long text is cut.
std::string found(std::string_view text);
// A model file's text as the readers take it: a UTF-8 byte-order mark at its start dropped and
// a line end of CR alone made LF (an old Mac's files), so the line numbers of the messages are
// the user's. A control character (a NUL, an ESC; not a tab or a form feed) is refused with its
// line («байт 27 в строке 4») rather than taken into a name or shown raw in a message.
std::string readableText(std::string_view bytes, const std::string& file);

// Case-insensitive comparison with an ASCII keyword.
bool sameWord(std::string_view a, std::string_view keyword);

} // namespace kvado::model::detail
