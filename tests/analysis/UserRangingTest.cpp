// Ranging in the terms of a general model, checked by what a range promises: a cost or a bound
// moved to just inside its range and solved again keeps the optimal basis, with the objective
// the range's numbers predict; moved just outside, the basis changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "../model/ModelTestSupport.h"
#include "analysis/UserRanging.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;

// The optimal basis by what its variables stand for, so that a bound moved across 0 (which
// turns its standard row) still names the same basis.
std::set<std::string> basisOf(const model::Model& m, const test::ModelSolve& s) {
    const LpProblem& p = *s.problem;
    std::vector<std::string> key(static_cast<size_t>(p.phase1Columns) + 1);
    for (int32_t j = 1; j <= p.N; ++j)
        key[static_cast<size_t>(j)] = "x" + s.sf.columnNames[static_cast<size_t>(j - 1)];
    for (size_t r = 0; r < m.rows.size(); ++r)
        for (int h = 0; h < 2; ++h)
            if (const int32_t i = s.sf.rowMap[r].row[h] + 1; i > 0) {
                const int32_t own = p.isEqualRow(i) ? p.phase2Columns + i : p.ownExtraColumn(i);
                // A ranged row's halves: which bound, not which sign.
                const bool less = p.isEqualRow(i) ? false : !p.isGreaterRow(i);
                key[static_cast<size_t>(own)] =
                    "r" + m.rows[r].name + (less == (s.sf.rowMap[r].sign[h] > 0) ? "u" : "l");
            }
    for (size_t j = 0; j < m.columns.size(); ++j)
        if (const int32_t i = s.sf.columnMap[j].boundRow + 1; i > 0)
            key[static_cast<size_t>(p.ownExtraColumn(i))] = "b" + m.columns[j].name;
    std::set<std::string> basis;
    for (int32_t r = 1; r <= p.M; ++r)
        basis.insert(key[static_cast<size_t>(p.basis[static_cast<size_t>(r)])]);
    return basis;
}

bool close(Real a, Real b) {
    return std::fabs(a - b) <= 1e-7L * std::max<Real>(1, std::fabs(b));
}

TEST(UserRanging, InsideARangeTheBasisStaysOutsideItChanges) {
    std::mt19937 rng(812);
    int columnsMoved = 0, rowsMoved = 0;
    for (int k = 0; k < 300 && !HasFailure(); ++k) {
        const model::Model m = test::randomModel(rng, 5, 5, true, true);
        if (!test::caseOfThisLocale(k)) continue;
        const test::ModelSolve s = test::solveModel(m);
        if (s.outcome != SolveOutcome::Optimal || !s.sf.infeasible.empty()) continue;
        const Ranges r = userRanges(m, s.sf, *s.problem, s.user);
        ASSERT_EQ(r.columns.size(), m.columns.size());
        ASSERT_EQ(r.rows.size(), m.rows.size());
        EXPECT_TRUE(close(r.objective, s.user.objective));
        if (r.degenerate || r.otherOptima) continue;
        SCOPED_TRACE("model " + std::to_string(k));
        const auto basis = basisOf(m, s);

        // Solves `changed` and checks the promise at a point `inside` or outside the range,
        // where the objective is to be `expected`.
        auto check = [&](const model::Model& changed, bool inside, Real expected) {
            const test::ModelSolve t = test::solveModel(changed);
            if (inside) {
                ASSERT_EQ(t.outcome, SolveOutcome::Optimal);
                EXPECT_EQ(basisOf(changed, t), basis);
                EXPECT_TRUE(close(t.user.objective, expected))
                    << t.user.objective << " vs " << expected;
            } else {
                // A row without coefficients that can no longer hold is infeasible too.
                EXPECT_TRUE(t.outcome != SolveOutcome::Optimal || !t.sf.infeasible.empty() ||
                            basisOf(changed, t) != basis);
            }
        };
        for (size_t j = 0; j < m.columns.size(); ++j) {
            const ColumnRange& c = r.columns[j];
            SCOPED_TRACE(c.name);
            EXPECT_EQ(c.name, m.columns[j].name);
            EXPECT_TRUE(close(c.value, s.user.columnValue[j]));
            for (const Real end : {c.costLower, c.costUpper}) {
                if (!std::isfinite(end) || std::fabs(end - c.cost) < 1e-3L) continue;
                const Real step = (end > c.cost ? 1 : -1) * 1e-4L;
                for (const bool inside : {true, false}) {
                    model::Model changed = m;
                    changed.columns[j].cost = end + (inside ? -step : step);
                    check(changed, inside,
                          s.user.objective + (changed.columns[j].cost - c.cost) * c.value);
                }
                ++columnsMoved;
            }
        }
        for (size_t i = 0; i < m.rows.size(); ++i) {
            const RowRange& row = r.rows[i];
            SCOPED_TRACE(row.name);
            EXPECT_TRUE(close(row.activity, s.user.rowActivity[i]));
            EXPECT_TRUE(close(row.shadowPrice, s.user.rowMarginal[i]));
            for (const Real end : {row.rhsLower, row.rhsUpper}) {
                if (!std::isfinite(end) || std::fabs(end - row.rhs) < 1e-3L) continue;
                const Real step = (end > row.rhs ? 1 : -1) * 1e-4L;
                for (const bool inside : {true, false}) {
                    model::Model changed = m;
                    model::Row& mr = changed.rows[i];
                    const Real b = end + (inside ? -step : step);
                    if (row.kind == RowKind::Equal)
                        mr.lower = mr.upper = b;
                    else if (row.kind == RowKind::Greater)
                        mr.lower = b;
                    else
                        mr.upper = b;
                    if (mr.lower > mr.upper) continue; // a ranged row's bounds crossed
                    check(changed, inside, s.user.objective + row.shadowPrice * (b - row.rhs));
                }
                ++rowsMoved;
            }
        }
    }
    const int64_t enough = test::casesOfThisLocale(300) / 3;
    EXPECT_GE(columnsMoved, enough) << "too few costs moved";
    EXPECT_GE(rowsMoved, enough) << "too few bounds moved";
}

} // namespace
