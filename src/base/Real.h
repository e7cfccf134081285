#pragma once
// The extended type: every number of a problem and all of its arithmetic are x87 80-bit.
// Counts and indices are 32-bit signed integers.

#include <limits>

namespace kvado {

using Real = long double;
static_assert(std::numeric_limits<Real>::digits == 64, "the problem's numbers are x87 80-bit");

} // namespace kvado
