#pragma once
// The names the input grid holds: the constraints' in column 0, the unknowns' in row 1.

#include <cstdint>

#include "base/Names.h"
#include "grid/StringGridModel.h"

namespace kvado {

// The names of rows 1..M and columns 1..N without the blanks around them. A placeholder of a
// cell never named ("Не заполн...") gives an empty name, so that the texts fall back on X[j]
// and the row's number.
Names namesFromGrid(const StringGridModel& grid, int32_t N, int32_t M);

} // namespace kvado
