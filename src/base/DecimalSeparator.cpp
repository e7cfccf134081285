#include "base/DecimalSeparator.h"

namespace kvado {

char decimalSeparatorFrom(std::string_view utf8) {
    if (utf8.size() == 1 && utf8[0] > 32 && utf8[0] < 127) return utf8[0];
    return '.';
}

} // namespace kvado
