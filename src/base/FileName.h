#pragma once
// A path's file name, as the report names the problem and the window captions name a file.

#include <string>
#include <string_view>

namespace kvado {

// The file name without its folder.
std::string baseName(std::string_view path);

} // namespace kvado
