#pragma once
// Texts in the JSON that kvado-cli prints.

#include <string>
#include <string_view>

namespace kvado::text {

// `s` (UTF-8) as a JSON string: quoted, with '"', '\' and control characters escaped.
std::string jsonString(std::string_view s);

} // namespace kvado::text
