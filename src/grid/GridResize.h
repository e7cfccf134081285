#pragma once
// Resizing the input grid to new counts while every cell keeps its role: the rows of each
// kind of constraint (">=", "=", "<=") stay in their group, the objective row moves to the new
// last row, and what comes new gets the new table's placeholders. Keeping every cell at its
// place instead, as a plain change of the counts does, turned the objective row into a
// constraint (and a constraint, or text kept from an earlier larger problem, into the
// objective) without a word to the user.

#include <cstdint>

#include "grid/StringGridModel.h"

namespace kvado {

struct GridCounts {
    int32_t G = 0, E = 0, L = 0, N = 0;
    int32_t M() const { return G + E + L; }
    bool operator==(const GridCounts&) const = default;
};

// `from`: the counts the grid is laid out for now. Text outside the new layout is dropped
// for good, so that a later, larger resize never brings stale rows back.
void resizeKeepingRoles(StringGridModel& grid, const GridCounts& from, const GridCounts& to);

} // namespace kvado
