#include "engine/SparseRanging.h"

#include <glpk.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <limits>

#include "engine/GlpkGuard.h"
#include "engine/GlpkModel.h"

namespace kvado::engine {

namespace {

constexpr Real kInf = std::numeric_limits<Real>::infinity();

int glpkStatus(BasisStatus s) {
    switch (s) {
    case BasisStatus::Basic:
        return GLP_BS;
    case BasisStatus::AtUpper:
        return GLP_NU;
    case BasisStatus::Free:
        return GLP_NF;
    case BasisStatus::Fixed:
        return GLP_NS;
    case BasisStatus::AtLower:
        break;
    }
    return GLP_NL;
}

// GLPK's ±DBL_MAX for an end nothing limits.
Real endOf(double v) {
    if (v <= -DBL_MAX) return -kInf;
    if (v >= DBL_MAX) return kInf;
    return v;
}

// A value range of a non-basic variable whose own other bound lies within it: that bound
// ends it, and the variable itself (`self`) limits there.
void capAt(SparseRange& r, Real lower, Real upper, int64_t self) {
    if (std::isfinite(upper) && r.upper >= upper) r.upper = upper, r.upperLimit = self;
    if (std::isfinite(lower) && r.lower <= lower) r.lower = lower, r.lowerLimit = self;
}

} // namespace

SparseRanging rangeSparse(const model::Model& m, const SparseAnswer& answer,
                          const SparseRangingOptions& options) {
    SparseRanging out;
    const auto started = std::chrono::steady_clock::now();
    const int rows = static_cast<int>(m.rows.size());
    const int cols = static_cast<int>(m.columns.size());
    if (answer.status != SparseStatus::Optimal ||
        answer.columnStatus.size() != static_cast<size_t>(cols) ||
        answer.rowStatus.size() != static_cast<size_t>(rows)) {
        out.failure = "нет оптимального решения";
        return out;
    }
    // Everything the guarded calls fill is made here: no allocation while GLPK runs.
    GlpkArrays loaded = glpkArraysOf(m);
    std::vector<int> colStat(static_cast<size_t>(cols)), rowStat(static_cast<size_t>(rows));
    out.columns.resize(static_cast<size_t>(cols));
    out.rows.resize(static_cast<size_t>(rows));
    out.columnStatus.resize(static_cast<size_t>(cols));
    out.rowStatus.resize(static_cast<size_t>(rows));
    for (const model::Column& c : m.columns)
        out.total += c.lower != c.upper;
    out.total += rows;

    GlpkProblem problem;
    if (!problem.valid()) {
        out.failure = "GLPK: не удалось создать задачу";
        return out;
    }
    glp_prob* lp = problem.get();
    bool optimal = false;
    int warm = 0, simplex = 0;
    GlpkResult r = glpkGuarded([&] {
        loadGlpkModel(lp, m, loaded, false);
        glp_scale_prob(lp, GLP_SF_AUTO);
        for (int i = 0; i < rows; ++i)
            glp_set_row_stat(lp, i + 1, glpkStatus(answer.rowStatus[static_cast<size_t>(i)]));
        for (int j = 0; j < cols; ++j) {
            const auto k = static_cast<size_t>(j);
            glp_set_col_stat(lp, j + 1, glpkStatus(answer.columnStatus[k]));
            // A basic free column stands for x+ or x-, each at least 0: crossing 0 is a
            // change of basis, as the standard form's ranging sees it.
            const model::Column& c = m.columns[k];
            if (answer.columnStatus[k] == BasisStatus::Basic && !std::isfinite(c.lower) &&
                !std::isfinite(c.upper))
                glp_set_col_bnds(lp, j + 1, answer.columnValue[k] >= 0 ? GLP_LO : GLP_UP, 0, 0);
        }
        warm = glp_warm_up(lp);
        optimal =
            warm == 0 && glp_get_prim_stat(lp) == GLP_FEAS && glp_get_dual_stat(lp) == GLP_FEAS;
        if (!optimal) {
            // Within GLPK's own tolerances the basis is not quite optimal: its primal simplex
            // goes on from there (a few pivots at most, for an answer GLPK found optimal).
            glp_smcp parm;
            glp_init_smcp(&parm);
            parm.msg_lev = GLP_MSG_ERR;
            parm.presolve = GLP_OFF;
            parm.tm_lim = static_cast<int>(std::clamp(options.seconds * 1000, 1.0, 2e9));
            if (warm != 0) glp_adv_basis(lp, 0);
            simplex = glp_simplex(lp, &parm);
            optimal = simplex == 0 && glp_get_status(lp) == GLP_OPT;
        }
        for (int i = 0; i < rows; ++i)
            rowStat[static_cast<size_t>(i)] = glp_get_row_stat(lp, i + 1);
        for (int j = 0; j < cols; ++j)
            colStat[static_cast<size_t>(j)] = glp_get_col_stat(lp, j + 1);
    });
    loaded = GlpkArrays{};
    if (!r.ok) {
        out.failure = r.failure;
        return out;
    }
    if (!optimal) {
        out.failure = "GLPK не нашел оптимального базиса (glp_warm_up " + std::to_string(warm) +
                      ", glp_simplex " + std::to_string(simplex) + ")";
        return out;
    }
    for (int i = 0; i < rows; ++i)
        out.rowStatus[static_cast<size_t>(i)] = basisStatusOf(rowStat[static_cast<size_t>(i)]);
    for (int j = 0; j < cols; ++j)
        out.columnStatus[static_cast<size_t>(j)] = basisStatusOf(colStat[static_cast<size_t>(j)]);

    const double budget = options.seconds;
    bool over = false;
    auto outOfTime = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() >
               budget;
    };
    r = glpkGuarded([&] {
        for (int i = 0; i < rows && !over; ++i) {
            SparseRange& g = out.rows[static_cast<size_t>(i)];
            if (rowStat[static_cast<size_t>(i)] != GLP_BS) {
                double v1 = 0, v2 = 0;
                int k1 = 0, k2 = 0;
                glp_analyze_bound(lp, i + 1, &v1, &k1, &v2, &k2);
                g = {true, endOf(v1), endOf(v2), k1 - 1, k2 - 1};
            }
            ++out.analysed;
            over = outOfTime();
        }
        for (int j = 0; j < cols && !over; ++j) {
            const model::Column& c = m.columns[static_cast<size_t>(j)];
            if (c.lower == c.upper) continue;
            SparseRange& g = out.columns[static_cast<size_t>(j)];
            double v1 = 0, v2 = 0, adjacent = 0;
            int k1 = 0, k2 = 0;
            if (colStat[static_cast<size_t>(j)] == GLP_BS)
                glp_analyze_coef(lp, rows + j + 1, &v1, &k1, &adjacent, &v2, &k2, &adjacent);
            else
                glp_analyze_bound(lp, rows + j + 1, &v1, &k1, &v2, &k2);
            g = {true, endOf(v1), endOf(v2), k1 - 1, k2 - 1};
            ++out.analysed;
            over = outOfTime();
        }
    });
    if (!r.ok) {
        out.failure = r.failure;
        return out;
    }
    // The own other bounds, outside GLPK's ratio tests.
    for (int i = 0; i < rows; ++i) {
        const model::Row& row = m.rows[static_cast<size_t>(i)];
        SparseRange& g = out.rows[static_cast<size_t>(i)];
        if (!g.made) continue;
        if (out.rowStatus[static_cast<size_t>(i)] == BasisStatus::AtLower)
            capAt(g, -kInf, row.upper, i);
        else if (out.rowStatus[static_cast<size_t>(i)] == BasisStatus::AtUpper)
            capAt(g, row.lower, kInf, i);
    }
    for (int j = 0; j < cols; ++j) {
        const model::Column& c = m.columns[static_cast<size_t>(j)];
        SparseRange& g = out.columns[static_cast<size_t>(j)];
        if (!g.made || out.columnStatus[static_cast<size_t>(j)] == BasisStatus::Basic) continue;
        if (out.columnStatus[static_cast<size_t>(j)] == BasisStatus::AtLower)
            capAt(g, -kInf, c.upper, rows + j);
        else if (out.columnStatus[static_cast<size_t>(j)] == BasisStatus::AtUpper)
            capAt(g, c.lower, kInf, rows + j);
    }
    out.status = over && out.analysed < out.total ? SparseRanging::Status::OverBudget
                                                  : SparseRanging::Status::Done;
    return out;
}

} // namespace kvado::engine
