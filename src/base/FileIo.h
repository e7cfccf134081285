#pragma once
// Whole files in and out: the data file, the name files, the help text and the saved report
// are each read or written in one piece.

#include <string>
#include <string_view>

#include "base/FileError.h"

namespace kvado {

// A whole file's bytes; throws FileError naming the path and the system's reason, and for
// anything but a regular file (a folder, a pipe, a device).
std::string readFileBytes(const std::string& path);
// Creates or replaces a file; throws FileError("Cannot create file \"path\". reason").
void writeFileBytes(const std::string& path, std::string_view bytes);
// Whether `path` names a regular file (after symbolic links), as an open command asks before
// it reads one.
bool isRegularFile(const std::string& path);
// Whether anything exists at `path`.
bool pathExists(const std::string& path);

} // namespace kvado
