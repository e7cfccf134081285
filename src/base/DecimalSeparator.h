#pragma once
// The user's decimal separator, as the regional settings give it (the windows ask the desktop;
// the CLI and the tests pass their own). Typed grid numbers and the general number formats use
// it; nothing reads the C locale.

#include <string_view>

namespace kvado {

// The separator for the regional settings' decimal point `utf8`: the point itself when it is
// one printable ASCII character, "." otherwise.
char decimalSeparatorFrom(std::string_view utf8);

} // namespace kvado
