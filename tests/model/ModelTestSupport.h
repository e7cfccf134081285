#pragma once
// What the model tests share: solving a model through its standard form, and random general
// models with every kind of bound and row.

#include <memory>
#include <random>
#include <string>

#include "../solver/TestSupport.h"
#include "model/Model.h"
#include "model/StandardForm.h"

namespace kvado::test {

struct ModelSolve {
    model::StandardForm sf;
    std::unique_ptr<LpProblem> problem = std::make_unique<LpProblem>();
    SolveOutcome outcome = SolveOutcome::Optimal;
    model::UserSolution user; // when optimal
};

inline ModelSolve solveModel(const model::Model& m, Real eps = 1e-9L) {
    ModelSolve s;
    s.sf = model::toStandardForm(m);
    model::loadProblem(s.sf, eps, *s.problem);
    TempDir dir;
    TraceLog log(dir.path());
    RecordingHost host;
    s.outcome = solve(*s.problem, log, host);
    if (s.outcome == SolveOutcome::Optimal) s.user = model::mapBack(m, s.sf, *s.problem);
    return s;
}

// A random model of up to `maxRows` x `maxColumns` with small whole coefficients: bounds of
// every kind, rows of every kind (ranged ones when `ranges`), either sense, and right-hand
// sides met by a random point within the bounds, so that most are feasible.
inline model::Model randomModel(std::mt19937& rng, int maxRows, int maxColumns, bool ranges,
                                bool constant) {
    using namespace model;
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Model m;
    m.name = "RND";
    m.objectiveName = "profit";
    m.sense = pick(0, 1) ? Sense::Maximize : Sense::Minimize;
    if (constant) m.objectiveConstant = pick(-20, 20) / Real(4);
    const int n = pick(1, maxColumns), rows = pick(1, maxRows);
    std::vector<Real> point;
    for (int j = 0; j < n; ++j) {
        Column c;
        c.name = "x" + std::to_string(j + 1);
        c.cost = pick(-6, 6);
        const int lo = pick(-5, 3);
        switch (pick(0, 5)) {
        case 0:
            break; // [0, inf)
        case 1:
            c.lower = lo;
            break; // [l, inf)
        case 2:
            c.lower = lo, c.upper = lo + pick(1, 8);
            break; // [l, u]
        case 3:
            c.lower = -kInfinity, c.upper = lo;
            break; // (-inf, u]
        case 4:
            c.lower = -kInfinity;
            break; // free
        default:
            c.lower = c.upper = lo;
            break; // fixed
        }
        const Real a = std::isfinite(c.lower) ? c.lower : std::isfinite(c.upper) ? c.upper - 3 : -2;
        const Real b = std::isfinite(c.upper) ? c.upper : a + 6;
        point.push_back(a + (b - a) * pick(0, 4) / 4);
        m.columns.push_back(c);
    }
    for (int i = 0; i < rows; ++i) {
        Real activity = 0;
        for (int j = 0; j < n; ++j) {
            if (pick(0, 2) == 0) continue;
            const int a = pick(-4, 4);
            if (a == 0) continue;
            m.entries.push_back({i, j, Real(a)});
            activity += a * point[static_cast<size_t>(j)];
        }
        const std::string name = "r" + std::to_string(i + 1);
        switch (pick(0, ranges ? 3 : 2)) {
        case 0:
            m.rows.push_back(lessRow(name, activity + pick(0, 3)));
            break;
        case 1:
            m.rows.push_back(greaterRow(name, activity - pick(0, 3)));
            break;
        case 2:
            m.rows.push_back(equalRow(name, activity));
            break;
        default:
            m.rows.push_back(rangeRow(name, activity - pick(0, 3), activity + pick(0, 3)));
            break;
        }
    }
    return m;
}

// Random models of every row kind whose columns have lower bounds and some an upper bound; the
// right-hand sides are drawn freely, so that many have no feasible point.
inline model::Model freeModel(std::mt19937& rng, bool bounds) {
    using namespace model;
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Model m;
    const int n = pick(2, 7), rows = pick(2, 9);
    for (int j = 0; j < n; ++j) {
        Column c{"x" + std::to_string(j + 1), Real(pick(-5, 5)), 0, kInfinity};
        if (bounds && pick(0, 2) == 0) c.lower = pick(-3, 3);
        if (bounds && pick(0, 2) == 0) c.upper = c.lower + pick(1, 6);
        m.columns.push_back(c);
    }
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < n; ++j)
            if (pick(0, 2) != 0)
                if (const int a = pick(-4, 4)) m.entries.push_back({i, j, Real(a)});
        const std::string name = "r" + std::to_string(i + 1);
        const Real b = bounds ? pick(-10, 20) : pick(0, 20);
        const Row kinds[] = {greaterRow(name, b), equalRow(name, b), lessRow(name, b),
                             rangeRow(name, b, b + pick(1, 5))};
        m.rows.push_back(kinds[pick(0, bounds ? 3 : 2)]);
    }
    return m;
}

// Marks about half of the columns integer (with integral, finite bounds) and some of those
// binary (bounds 0 and 1), for the integer models' tests.
inline void markIntegers(std::mt19937& rng, model::Model& m, bool all = false) {
    using namespace model;
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    bool any = false;
    for (size_t j = 0; j < m.columns.size(); ++j) {
        Column& c = m.columns[j];
        const int k = pick(0, 3);
        if (k < 2 && !all && (any || j + 1 < m.columns.size())) continue;
        any = true;
        c.kind = k == 3 ? ColumnKind::Binary : ColumnKind::Integer;
        if (c.kind == ColumnKind::Binary) c.lower = 0, c.upper = 1;
        // Finite bounds, so that every search ends (2x - 2y = 1 in unbounded integers does
        // not, glpsol's neither).
        if (!std::isfinite(c.lower)) c.lower = std::isfinite(c.upper) ? c.upper - 6 : -6;
        if (!std::isfinite(c.upper)) c.upper = c.lower + 8;
    }
}

} // namespace kvado::test
