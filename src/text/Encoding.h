#pragma once
// Text encodings of the files the program reads and writes. Strings inside the program are
// UTF-8; the files use windows-1251, the code page of the format, unless a text cannot be
// written in it.

#include <optional>
#include <string>
#include <string_view>

namespace kvado::text {

// UTF-8 to windows-1251; nullopt when a character has no windows-1251 form (or the input is
// not valid UTF-8).
std::optional<std::string> utf8ToCp1251(std::string_view utf8);
// windows-1251 to UTF-8 (every byte has a meaning, except 0x98, read as U+FFFD).
std::string cp1251ToUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
bool hasNonAscii(std::string_view bytes);

// The reading policy for name files and the help text: valid UTF-8 with a non-ASCII
// character is UTF-8, anything else windows-1251. A UTF-8 byte order mark is dropped.
std::string decodeTextFile(std::string_view bytes);
// The writing policy: windows-1251 when every character has a form there, else UTF-8.
std::string encodeTextFile(std::string_view utf8);

} // namespace kvado::text
