// GLPK's ranging of the engine's optimum, told in the model's terms, against the method's
// ranging of the standard form told through the map back (userRanges): random general models
// with every kind of bound and row, their numbers moved off whole values so that no two limits
// tie; at a unique nondegenerate optimum the two have one basis, so every number and every
// limiting variable must agree.

#include <gtest/gtest.h>

#include <cmath>

#include "../model/ModelTestSupport.h"
#include "analysis/UserRanging.h"
#include "engine/SparseRanging.h"
#include "model/ModelFiles.h"
#include "session/EngineRanging.h"
#include "session/EngineSolve.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;

// Every cost and bound moved by its own small fraction (a fixed column and an "=" range
// keep their one value).
void moveOffWholeValues(std::mt19937& rng, model::Model& m) {
    std::uniform_real_distribution<double> f(0.001, 0.01);
    for (model::Column& c : m.columns) {
        c.cost += f(rng);
        const Real d = f(rng);
        const bool fixed = c.lower == c.upper;
        if (std::isfinite(c.lower)) c.lower += d;
        if (std::isfinite(c.upper)) c.upper += fixed ? d : Real(f(rng));
    }
    for (model::Row& r : m.rows) {
        const Real d = f(rng);
        const bool equal = r.lower == r.upper;
        if (std::isfinite(r.lower)) r.lower += d;
        if (std::isfinite(r.upper)) r.upper += equal ? d : Real(f(rng));
    }
}

bool near(Real a, Real b) {
    return a == b || std::fabs(a - b) <= 1e-7L * (1 + std::fabs(a));
}
bool near(const std::optional<Real>& a, const std::optional<Real>& b) {
    return a.has_value() == b.has_value() && (!a || near(*a, *b));
}

TEST(EngineRanging, GlpkAgreesWithTheMethodOnRandomModels) {
    std::mt19937 rng(2025);
    const auto want = static_cast<int>(test::casesOfThisLocale(80));
    int ranged = 0;
    for (int round = 0; round < 4000 && ranged < want; ++round) {
        model::Model m =
            round % 2 ? test::freeModel(rng, true) : test::randomModel(rng, 7, 7, true, true);
        if (round % 2) m.sense = round % 3 == 0 ? model::Sense::Maximize : model::Sense::Minimize;
        moveOffWholeValues(rng, m);
        if (!test::caseOfThisLocale(round)) continue;
        const test::ModelSolve s = test::solveModel(m);
        if (!s.sf.infeasible.empty() || s.outcome != SolveOutcome::Optimal) continue;
        const Ranges method = userRanges(m, s.sf, *s.problem, s.user);
        if (method.degenerate || method.otherOptima) continue;
        SCOPED_TRACE(model::writeLp(m));
        const engine::SparseAnswer a = engine::solveSparse(m);
        ASSERT_EQ(a.status, engine::SparseStatus::Optimal) << a.failure;
        const engine::SparseRanging g = engine::rangeSparse(m, a, {60});
        ASSERT_EQ(g.status, engine::SparseRanging::Status::Done) << g.failure;
        const Ranges r = session::engineRanges(m, g, session::userSolutionOf(a), 1e-9L);
        EXPECT_FALSE(r.degenerate || r.otherOptima);
        EXPECT_TRUE(near(r.objective, method.objective));
        ASSERT_EQ(r.columns.size(), method.columns.size());
        for (size_t j = 0; j < r.columns.size(); ++j) {
            const ColumnRange &x = r.columns[j], &y = method.columns[j];
            SCOPED_TRACE(x.name);
            EXPECT_EQ(x.basic, y.basic);
            EXPECT_TRUE(near(x.value, y.value) && near(x.reducedCost, y.reducedCost));
            EXPECT_TRUE(near(x.costLower, y.costLower) && near(x.costUpper, y.costUpper))
                << double(x.costLower) << ".." << double(x.costUpper) << " vs "
                << double(y.costLower) << ".." << double(y.costUpper);
            EXPECT_TRUE(near(x.objectiveAtCostLower, y.objectiveAtCostLower));
            EXPECT_TRUE(near(x.objectiveAtCostUpper, y.objectiveAtCostUpper));
            EXPECT_EQ(x.limitingAtCostLower, y.limitingAtCostLower);
            EXPECT_EQ(x.limitingAtCostUpper, y.limitingAtCostUpper);
            EXPECT_TRUE(near(x.activityUpper, y.activityUpper))
                << double(x.activityUpper) << " vs " << double(y.activityUpper);
            EXPECT_TRUE(near(x.objectiveAtActivityUpper, y.objectiveAtActivityUpper));
            EXPECT_EQ(x.limitingAtActivityUpper, y.limitingAtActivityUpper);
        }
        ASSERT_EQ(r.rows.size(), method.rows.size());
        for (size_t i = 0; i < r.rows.size(); ++i) {
            const RowRange &x = r.rows[i], &y = method.rows[i];
            SCOPED_TRACE(x.name);
            EXPECT_EQ(x.kind, y.kind);
            EXPECT_EQ(x.binding, y.binding);
            EXPECT_TRUE(near(x.rhs, y.rhs) && near(x.activity, y.activity) &&
                        near(x.slack, y.slack) && near(x.shadowPrice, y.shadowPrice));
            EXPECT_TRUE(near(x.rhsLower, y.rhsLower) && near(x.rhsUpper, y.rhsUpper))
                << double(x.rhsLower) << ".." << double(x.rhsUpper) << " vs " << double(y.rhsLower)
                << ".." << double(y.rhsUpper);
            EXPECT_TRUE(near(x.objectiveAtRhsLower, y.objectiveAtRhsLower));
            EXPECT_TRUE(near(x.objectiveAtRhsUpper, y.objectiveAtRhsUpper));
            EXPECT_EQ(x.limitingAtRhsLower, y.limitingAtRhsLower);
            EXPECT_EQ(x.limitingAtRhsUpper, y.limitingAtRhsUpper);
        }
        ++ranged;
        // A budget spent before the second analysis: no ranges, and the words say so.
        if (ranged == 1 && g.total > 1) {
            Ranges none;
            std::string why;
            EXPECT_FALSE(
                session::rangeEngineAnswer(m, a, session::userSolutionOf(a), 0, ',', none, why));
            EXPECT_EQ(why.rfind("анализ не уложился в 0 с: сделано 1 из ", 0), 0u) << why;
        }
    }
    EXPECT_GE(ranged, want);
}

} // namespace
