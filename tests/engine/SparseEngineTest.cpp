// The sparse engine against glpsol on random general models of every bound and row kind, and
// its answers checked as a proof of their own: the plan meets every row and bound, and the
// marginals are a dual solution (reduced costs c - A'y, signs by bound and sense,
// complementary slackness). Then the guard and the stop.

#include <glpk.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "../model/GlpsolRun.h"
#include "../model/ModelTestSupport.h"
#include "engine/GlpkGuard.h"
#include "engine/SparseEngine.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::engine;
using namespace kvado::model;
using namespace kvado::test;

constexpr Real kTol = 1e-7L;

// Where a value stands against [lower, upper]: -1 at the lower bound, +1 at the upper, 0 inside.
int side(Real v, Real lower, Real upper) {
    const bool lo = std::isfinite(lower) && std::fabs(v - lower) <= kTol * (1 + std::fabs(lower));
    const bool up = std::isfinite(upper) && std::fabs(v - upper) <= kTol * (1 + std::fabs(upper));
    return lo && up ? 2 : lo ? -1 : up ? 1 : 0;
}

// A marginal d of a variable standing at `s` is a proof of optimality when, for a minimum,
// d >= 0 at the lower bound, d <= 0 at the upper one, d = 0 strictly inside (either sign on a
// fixed one); a maximum turns the signs.
void expectDualSign(Real d, int s, bool max, const std::string& what) {
    const Real signedD = max ? -d : d;
    if (s == 2) return;
    if (s == -1) EXPECT_GE(signedD, -kTol) << what;
    if (s == 1) EXPECT_LE(signedD, kTol) << what;
    if (s == 0) EXPECT_NEAR(static_cast<double>(d), 0, 1e-7) << what;
}

void expectProof(const Model& m, const SparseAnswer& a) {
    const bool max = m.sense == Sense::Maximize;
    std::vector<Real> activity(m.rows.size(), 0), ay(m.columns.size(), 0);
    Real cx = m.objectiveConstant;
    for (const Entry& e : m.entries) {
        activity[static_cast<size_t>(e.row)] +=
            e.value * a.columnValue[static_cast<size_t>(e.column)];
        ay[static_cast<size_t>(e.column)] += e.value * a.rowMarginal[static_cast<size_t>(e.row)];
    }
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const Column& c = m.columns[j];
        const Real x = a.columnValue[j];
        cx += c.cost * x;
        EXPECT_GE(x, c.lower - kTol) << c.name;
        EXPECT_LE(x, c.upper + kTol) << c.name;
        EXPECT_NEAR(static_cast<double>(a.columnMarginal[j]), static_cast<double>(c.cost - ay[j]),
                    1e-7)
            << c.name << ": reduced cost is not c - A'y";
        expectDualSign(a.columnMarginal[j], side(x, c.lower, c.upper), max, c.name);
    }
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const Row& row = m.rows[r];
        EXPECT_NEAR(static_cast<double>(a.rowActivity[r]), static_cast<double>(activity[r]), 1e-7)
            << row.name;
        EXPECT_GE(activity[r], row.lower - kTol) << row.name;
        EXPECT_LE(activity[r], row.upper + kTol) << row.name;
        expectDualSign(a.rowMarginal[r], side(activity[r], row.lower, row.upper), max, row.name);
    }
    EXPECT_TRUE(near(cx, a.objective, 1e-9L));
}

TEST(SparseEngine, AgreesWithGlpsolAndProvesItsAnswers) {
    if (std::system("command -v glpsol >/dev/null 2>&1") != 0) GTEST_SKIP() << "no glpsol";
    TempDir dir;
    std::mt19937 rng(20261209);
    int optimal = 0, infeasible = 0, unbounded = 0;
    for (int round = 0; round < 150; ++round) {
        const Model m = randomModel(rng, 10, 10, true, true);
        SCOPED_TRACE(writeLp(m));
        SparseOptions options;
        // Every road: dual and primal, with and without the presolve and the scaling.
        options.method = round % 2 ? SparseOptions::Method::Primal : SparseOptions::Method::Dual;
        options.presolve = round % 3 != 0;
        options.scale = round % 5 != 0;
        const SparseAnswer a = solveSparse(m, options);

        Model forGlpsol = m; // glpsol takes the objective row's RHS with the other sign
        forGlpsol.objectiveConstant = 0;
        std::string mps = writeMps(forGlpsol);
        const std::string objsense = "OBJSENSE\n    MAX\n";
        if (const auto at = mps.find(objsense); at != std::string::npos)
            mps.erase(at, objsense.size());
        writeBytes(dir.file("model.mps"), mps);
        const bool max = m.sense == Sense::Maximize;
        const GlpAnswer g = runGlpsol(dir.file("model.mps"), "--freemps", max, dir.path());
        if (g.primal == 'n' || g.primal == 'i') {
            EXPECT_EQ(a.status, SparseStatus::Infeasible) << a.failure;
            ++infeasible;
            continue;
        }
        if (g.dual == 'n') {
            EXPECT_EQ(a.status, SparseStatus::Unbounded) << a.failure;
            ++unbounded;
            continue;
        }
        ASSERT_EQ(a.status, SparseStatus::Optimal) << a.failure;
        ++optimal;
        EXPECT_TRUE(near(a.objective - m.objectiveConstant, g.objective, 1e-9L))
            << static_cast<double>(a.objective) << " vs " << static_cast<double>(g.objective);
        ASSERT_EQ(a.columnValue.size(), m.columns.size());
        ASSERT_EQ(a.rowMarginal.size(), m.rows.size());
        expectProof(m, a);
    }
    EXPECT_GE(optimal, 50);
    EXPECT_GE(infeasible + unbounded, 10);
}

// A GLPK failure (here a row number out of range) ends the guarded call, not the program, and
// GLPK works again afterwards; the problem it freed is not deleted twice.
TEST(GlpkGuard, FailureIsReportedAndGlpkStillWorks) {
    {
        GlpkProblem p;
        ASSERT_TRUE(p.valid());
        glp_prob* lp = p.get();
        const GlpkResult r = glpkGuarded([&] { glp_set_row_bnds(lp, 5, GLP_FX, 1, 1); });
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.stopped);
        EXPECT_NE(r.failure.find("glp_set_row_bnds"), std::string::npos) << r.failure;
        EXPECT_FALSE(p.valid());
    }
    Model m;
    m.columns.push_back({"x", -1, 0, 4});
    m.rows.push_back(lessRow("r", 3));
    m.entries.push_back({0, 0, 1});
    const SparseAnswer a = solveSparse(m);
    ASSERT_EQ(a.status, SparseStatus::Optimal) << a.failure;
    EXPECT_EQ(a.objective, -3);
}

// The stop request ends the solve at the next line GLPK writes; progress comes with rising
// iteration counts.
TEST(SparseEngine, StopsOnRequestAndReportsProgress) {
    Model m;
    const int n = 300;
    for (int j = 0; j < n; ++j)
        m.columns.push_back({"x" + std::to_string(j), Real(-1 - j % 7), 0, kInfinity});
    for (int i = 0; i < n; ++i) {
        m.rows.push_back(lessRow("r" + std::to_string(i), 100 + i % 13));
        for (int j = 0; j < n; ++j)
            if ((i * 31 + j * 17) % 5 == 0) m.entries.push_back({i, j, Real(1 + (i + j) % 4)});
    }
    SparseOptions options;
    int calls = 0;
    options.stopRequested = [&] { return ++calls >= 2; };
    const SparseAnswer stopped = solveSparse(m, options);
    EXPECT_EQ(stopped.status, SparseStatus::Stopped);
    EXPECT_EQ(calls, 2);

    std::vector<int64_t> seen;
    options.stopRequested = nullptr;
    options.presolve = false;
    options.progressMilliseconds = 1;
    options.progress = [&](const SparseProgress& p) { seen.push_back(p.iterations); };
    const SparseAnswer solved = solveSparse(m, options);
    ASSERT_EQ(solved.status, SparseStatus::Optimal);
    ASSERT_FALSE(seen.empty()); // the last line at least
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), solved.iterations);
}

} // namespace
