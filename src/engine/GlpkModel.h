#pragma once
// A model handed to GLPK as it stands (bounds, rows, sense, constant, and the integer marks for
// its branch and cut), shared by the sparse engine and the integer search. The arrays are made
// before the guarded call (GlpkGuard.h), which then only copies them into GLPK.

#include <string>
#include <vector>

#include "model/Model.h"

extern "C" {
struct glp_prob;
}

namespace kvado::engine {

struct GlpkArrays {
    std::vector<int> ia{0}, ja{0};
    std::vector<double> ar{0};
};
GlpkArrays glpkArraysOf(const model::Model& m);

// Loads `m` into the empty problem `lp`; to be called inside glpkGuarded(). With `integers` the
// Integer and Binary columns are marked for glp_intopt.
void loadGlpkModel(glp_prob* lp, const model::Model& m, const GlpkArrays& arrays, bool integers);

// A column or a row whose bounds cross, named ("границы столбца x несовместны"); empty when
// none does.
std::string crossingBounds(const model::Model& m);

} // namespace kvado::engine
