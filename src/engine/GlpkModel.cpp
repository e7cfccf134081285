#include "engine/GlpkModel.h"

#include <glpk.h>

#include <cmath>

namespace kvado::engine {

namespace {

using model::kInfinity;

// GLPK's bound type of [lower, upper]; either may be infinite.
int boundType(Real lower, Real upper) {
    const bool lo = std::isfinite(lower), up = std::isfinite(upper);
    if (lo && up) return lower == upper ? GLP_FX : GLP_DB;
    if (lo) return GLP_LO;
    if (up) return GLP_UP;
    return GLP_FR;
}

double finiteOrZero(Real v) {
    return std::isfinite(v) ? static_cast<double>(v) : 0.0;
}

} // namespace

GlpkArrays glpkArraysOf(const model::Model& m) {
    GlpkArrays l;
    const size_t n = m.entries.size() + 1;
    l.ia.reserve(n);
    l.ja.reserve(n);
    l.ar.reserve(n);
    for (const model::Entry& e : m.entries) {
        if (e.value == 0) continue;
        l.ia.push_back(e.row + 1);
        l.ja.push_back(e.column + 1);
        l.ar.push_back(static_cast<double>(e.value));
    }
    return l;
}

void loadGlpkModel(glp_prob* lp, const model::Model& m, const GlpkArrays& arrays, bool integers) {
    const int rows = static_cast<int>(m.rows.size());
    const int cols = static_cast<int>(m.columns.size());
    glp_set_obj_dir(lp, m.sense == model::Sense::Maximize ? GLP_MAX : GLP_MIN);
    glp_set_obj_coef(lp, 0, static_cast<double>(m.objectiveConstant));
    if (rows > 0) glp_add_rows(lp, rows);
    if (cols > 0) glp_add_cols(lp, cols);
    for (int i = 0; i < rows; ++i) {
        const model::Row& row = m.rows[static_cast<size_t>(i)];
        glp_set_row_bnds(lp, i + 1, boundType(row.lower, row.upper), finiteOrZero(row.lower),
                         finiteOrZero(row.upper));
    }
    for (int j = 0; j < cols; ++j) {
        const model::Column& c = m.columns[static_cast<size_t>(j)];
        glp_set_col_bnds(lp, j + 1, boundType(c.lower, c.upper), finiteOrZero(c.lower),
                         finiteOrZero(c.upper));
        glp_set_obj_coef(lp, j + 1, static_cast<double>(c.cost));
        // GLP_IV keeps the bounds as they are (GLP_BV would set them to 0 and 1).
        if (integers && model::isInteger(c)) glp_set_col_kind(lp, j + 1, GLP_IV);
    }
    glp_load_matrix(lp, static_cast<int>(arrays.ia.size()) - 1, arrays.ia.data(), arrays.ja.data(),
                    arrays.ar.data());
}

std::string crossingBounds(const model::Model& m) {
    for (const model::Column& c : m.columns)
        if (c.lower > c.upper || c.lower == kInfinity || c.upper == -kInfinity)
            return "границы столбца " + c.name + " несовместны";
    for (const model::Row& r : m.rows)
        if (r.lower > r.upper || r.lower == kInfinity || r.upper == -kInfinity)
            return "границы строки " + r.name + " несовместны";
    return {};
}

} // namespace kvado::engine
