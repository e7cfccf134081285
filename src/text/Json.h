#pragma once
// Texts in the JSON that kvado-cli prints.

#include <string>
#include <string_view>

namespace kvado::text {

// `s` (UTF-8) as a JSON string: quoted, with '"', '\' and control characters escaped and a
// byte that is not UTF-8 written as U+FFFD, so the JSON stays valid whatever a name holds.
std::string jsonString(std::string_view s);

} // namespace kvado::text
