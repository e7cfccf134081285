// Problems whose optimum is known independently of the solver: by duality, by a hand-checked
// certificate, by enumeration, or by construction.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <ostream>
#include <random>
#include <vector>

#include "TestSupport.h"
#include "solver/Simplex.h"
#include "text/Encoding.h"

namespace {

using kvado::LpProblem;
using kvado::Real;
using kvado::SolveOutcome;
using namespace kvado::test;

Real objective(const LpProblem& p) {
    return -p.inverse(p.M + 1, 0);
}

// The largest violation of the problem's rows and of X >= 0 by the solution vector.
Real violation(const ProblemData& d, const LpProblem& p) {
    Real worst = 0;
    for (int32_t j = 1; j <= d.N; ++j)
        worst = std::max(worst, -p.solution[static_cast<size_t>(j)]);
    for (int32_t i = 0; i < d.M(); ++i) {
        Real lhs = 0;
        for (int32_t j = 0; j < d.N; ++j)
            lhs += d.A[static_cast<size_t>(i)][static_cast<size_t>(j)] *
                   p.solution[static_cast<size_t>(j) + 1];
        const Real b = d.B[static_cast<size_t>(i)];
        if (i < d.G)
            worst = std::max(worst, b - lhs);
        else if (i < d.G + d.E)
            worst = std::max(worst, std::fabs(b - lhs));
        else
            worst = std::max(worst, lhs - b);
    }
    return worst;
}

// The objective of the solution vector, computed from the data.
Real valueOf(const ProblemData& d, const LpProblem& p) {
    Real z = 0;
    for (int32_t j = 0; j < d.N; ++j)
        z += d.C[static_cast<size_t>(j)] * p.solution[static_cast<size_t>(j) + 1];
    return z;
}

void expectNear(Real actual, Real expected, Real relative) {
    EXPECT_LE(std::fabs(actual - expected), relative * std::max(Real(1), std::fabs(expected)))
        << static_cast<double>(actual) << " vs " << static_cast<double>(expected);
}

// The LP dual in the same form. For minimise C X with ">=" rows (multipliers y >= 0), "="
// rows (free multipliers, split as u - v) and "<=" rows (multipliers -w, w >= 0), the dual is
// maximise B_G y + B_E (u - v) - B_L w subject to A^T (y, u - v, -w) <= C: N "<=" rows whose
// right-hand sides are C, so C >= 0 is needed, and an objective that is minimised negated.
ProblemData dualOf(const ProblemData& d) {
    ProblemData dual;
    dual.L = d.N;
    dual.N = d.G + 2 * d.E + d.L;
    dual.eps = d.eps;
    for (int32_t j = 0; j < d.N; ++j) {
        dual.A.emplace_back();
        auto& row = dual.A.back();
        for (int32_t i = 0; i < d.G + d.E; ++i)
            row.push_back(d.A[static_cast<size_t>(i)][static_cast<size_t>(j)]);
        for (int32_t i = d.G; i < d.G + d.E; ++i)
            row.push_back(-d.A[static_cast<size_t>(i)][static_cast<size_t>(j)]);
        for (int32_t i = d.G + d.E; i < d.M(); ++i)
            row.push_back(-d.A[static_cast<size_t>(i)][static_cast<size_t>(j)]);
        dual.B.push_back(d.C[static_cast<size_t>(j)]);
    }
    for (int32_t i = 0; i < d.G + d.E; ++i)
        dual.C.push_back(-d.B[static_cast<size_t>(i)]);
    for (int32_t i = d.G; i < d.G + d.E; ++i)
        dual.C.push_back(d.B[static_cast<size_t>(i)]);
    for (int32_t i = d.G + d.E; i < d.M(); ++i)
        dual.C.push_back(d.B[static_cast<size_t>(i)]);
    return dual;
}

// Solves a problem and its dual; both must be optimal with Z(primal) = -Z(dual), and the
// primal solution must satisfy its rows.
void expectDualityHolds(const ProblemData& d, Real* optimum = nullptr) {
    Solved primal, dual;
    solveProblem(d, primal);
    solveProblem(dualOf(d), dual);
    ASSERT_EQ(primal.outcome, SolveOutcome::Optimal);
    ASSERT_EQ(dual.outcome, SolveOutcome::Optimal);
    expectNear(objective(primal.problem), -objective(dual.problem), 1e-12L);
    expectNear(valueOf(d, primal.problem), objective(primal.problem), 1e-12L);
    EXPECT_LE(violation(d, primal.problem), 1e-12L);
    if (optimum) *optimum = objective(primal.problem);
}

// Feasible by construction (B = A X0 with slack) and bounded (C >= 0).
ProblemData feasiblePrimal(std::mt19937_64& rng) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ProblemData d;
    d.N = uniform(1, 15);
    d.G = uniform(0, 6);
    d.E = uniform(0, 4);
    d.L = uniform(d.G + d.E == 0 ? 1 : 0, 6);
    std::vector<Real> x0;
    for (int32_t j = 0; j < d.N; ++j)
        x0.push_back(static_cast<Real>(uniform(0, 3)));
    for (int32_t i = 0; i < d.M(); ++i) {
        d.A.emplace_back();
        Real activity = 0;
        for (int32_t j = 0; j < d.N; ++j) {
            const Real a = static_cast<Real>(uniform(0, 2) == 0 ? 0 : uniform(1, 4));
            d.A.back().push_back(a);
            activity += a * x0[static_cast<size_t>(j)];
        }
        const Real slack = static_cast<Real>(uniform(0, 3));
        if (i < d.G)
            d.B.push_back(std::max(Real(0), activity - slack));
        else if (i < d.G + d.E)
            d.B.push_back(activity);
        else
            d.B.push_back(activity + slack);
    }
    for (int32_t j = 0; j < d.N; ++j)
        d.C.push_back(static_cast<Real>(uniform(0, 9)));
    return d;
}

TEST(KnownOptimum, RandomProblemsMeetTheirDuals) {
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        expectDualityHolds(feasiblePrimal(rng));
    }
}

// Supplies 7, 9, 18; demands 5, 8, 7, 14; unit costs
//   19 30 50 10
//   70 30 40 60
//   40  8 70 20
// Optimum 743: x11 = 5, x14 = 2, x22 = 2, x23 = 7, x32 = 6, x34 = 12 (cost 95 + 20 + 60 + 280
// + 48 + 240). Potentials u = (0, 32, 10), v = (19, -2, 8, 10) price every used cell at its
// cost and leave c - u - v = 32, 42, 19, 18, 11, 52 >= 0 on the others, which proves it.
const Real kTransportCost[3][4] = {{19, 30, 50, 10}, {70, 30, 40, 60}, {40, 8, 70, 20}};
const Real kSupply[3] = {7, 9, 18};
const Real kDemand[4] = {5, 8, 7, 14};

// Rows: the four demands, then the three supplies; unknowns x11..x14, x21..x24, x31..x34.
ProblemData transportation(bool equalities) {
    ProblemData d;
    d.N = 12;
    if (equalities)
        d.E = 7;
    else {
        d.G = 4;
        d.L = 3;
    }
    for (int j = 0; j < 4; ++j) {
        d.A.emplace_back(12, Real(0));
        for (int i = 0; i < 3; ++i)
            d.A.back()[static_cast<size_t>(4 * i + j)] = 1;
        d.B.push_back(kDemand[j]);
    }
    for (int i = 0; i < 3; ++i) {
        d.A.emplace_back(12, Real(0));
        for (int j = 0; j < 4; ++j)
            d.A.back()[static_cast<size_t>(4 * i + j)] = 1;
        d.B.push_back(kSupply[i]);
    }
    for (const auto& row : kTransportCost)
        d.C.insert(d.C.end(), std::begin(row), std::end(row));
    return d;
}

TEST(KnownOptimum, TransportationCertificateHolds) {
    // The certificate of the comment, checked so that the stated optimum is not taken on trust.
    const Real u[3] = {0, 32, 10}, v[4] = {19, -2, 8, 10};
    const Real plan[3][4] = {{5, 0, 0, 2}, {0, 2, 7, 0}, {0, 6, 0, 12}};
    Real cost = 0;
    for (int i = 0; i < 3; ++i) {
        Real shipped = 0;
        for (int j = 0; j < 4; ++j) {
            EXPECT_GE(kTransportCost[i][j] - u[i] - v[j], 0);
            if (plan[i][j] > 0) {
                EXPECT_EQ(kTransportCost[i][j], u[i] + v[j]);
            }
            cost += kTransportCost[i][j] * plan[i][j];
            shipped += plan[i][j];
        }
        EXPECT_EQ(shipped, kSupply[i]);
    }
    EXPECT_EQ(cost, 743);
}

// As seven equalities (one of them redundant, so an artificial variable stays basic at 0
// through phase 2) and as ">=" demands with "<=" supplies.
TEST(KnownOptimum, TransportationProblem) {
    for (bool equalities : {true, false}) {
        SCOPED_TRACE(equalities ? "equalities" : "inequalities");
        const ProblemData d = transportation(equalities);
        Solved s;
        solveProblem(d, s);
        ASSERT_EQ(s.outcome, SolveOutcome::Optimal);
        expectNear(objective(s.problem), 743, 1e-15L);
        EXPECT_LE(violation(d, s.problem), 1e-15L);
        // Seven equalities of rank six: seven basic columns need one artificial among them.
        int artificials = 0;
        for (int32_t i = 1; i <= s.problem.M; ++i)
            artificials += s.problem.isArtificialColumn(s.problem.basis[static_cast<size_t>(i)]);
        EXPECT_EQ(artificials, equalities ? 1 : 0);
    }
}

// Every permutation, for the assignment problems below.
Real cheapestAssignment(const std::vector<std::vector<Real>>& cost) {
    std::vector<size_t> perm(cost.size());
    std::iota(perm.begin(), perm.end(), 0);
    Real best = INFINITY;
    do {
        Real c = 0;
        for (size_t i = 0; i < perm.size(); ++i)
            c += cost[i][perm[i]];
        best = std::min(best, c);
    } while (std::next_permutation(perm.begin(), perm.end()));
    return best;
}

ProblemData assignment(const std::vector<std::vector<Real>>& cost) {
    const auto n = static_cast<int32_t>(cost.size());
    ProblemData d;
    d.E = 2 * n;
    d.N = n * n;
    for (int32_t i = 0; i < n; ++i) { // each worker one job
        d.A.emplace_back(static_cast<size_t>(n * n), Real(0));
        for (int32_t j = 0; j < n; ++j)
            d.A.back()[static_cast<size_t>(n * i + j)] = 1;
        d.B.push_back(1);
    }
    for (int32_t j = 0; j < n; ++j) { // each job one worker
        d.A.emplace_back(static_cast<size_t>(n * n), Real(0));
        for (int32_t i = 0; i < n; ++i)
            d.A.back()[static_cast<size_t>(n * i + j)] = 1;
        d.B.push_back(1);
    }
    for (const auto& row : cost)
        d.C.insert(d.C.end(), row.begin(), row.end());
    return d;
}

TEST(KnownOptimum, AssignmentProblems) {
    std::vector<std::vector<std::vector<Real>>> costs = {
        {{9, 2, 7, 8}, {6, 4, 3, 7}, {5, 8, 1, 8}, {7, 6, 9, 4}}, // optimum 2 + 6 + 1 + 4 = 13
    };
    std::mt19937_64 rng(77);
    for (int k = 0; k < 8; ++k) {
        const int n = 4 + k % 3;
        std::vector<std::vector<Real>> c(static_cast<size_t>(n));
        for (auto& row : c)
            for (int j = 0; j < n; ++j)
                row.push_back(static_cast<Real>(std::uniform_int_distribution<int>(1, 9)(rng)));
        costs.push_back(c);
    }
    EXPECT_EQ(cheapestAssignment(costs[0]), 13);
    for (size_t k = 0; k < costs.size(); ++k) {
        SCOPED_TRACE(k);
        const ProblemData d = assignment(costs[k]);
        Solved s;
        solveProblem(d, s);
        ASSERT_EQ(s.outcome, SolveOutcome::Optimal);
        expectNear(objective(s.problem), cheapestAssignment(costs[k]), 1e-15L);
        EXPECT_LE(violation(d, s.problem), 1e-15L);
    }
}

// Klee-Minty cube: maximise sum 2^(n-j) X[j] subject to
// 2^i X[1] + ... + 4 X[i-1] + X[i] <= 5^i; the optimum 5^n is at X[n] = 5^n, and the most
// negative reduced cost visits all 2^n vertices on the way: 2^n - 1 pivots and a last pass.
class KleeMinty : public ::testing::TestWithParam<int> {};

TEST_P(KleeMinty, VisitsEveryVertex) {
    const int n = GetParam();
    ProblemData d;
    d.L = n;
    d.N = n;
    for (int i = 1; i <= n; ++i) {
        d.A.emplace_back();
        for (int j = 1; j <= n; ++j)
            d.A.back().push_back(j < i ? std::ldexp(Real(1), i - j + 1) : j == i ? 1 : 0);
        d.B.push_back(std::pow(Real(5), i));
    }
    for (int j = 1; j <= n; ++j)
        d.C.push_back(-std::ldexp(Real(1), n - j));
    Solved s;
    solveProblem(d, s);
    ASSERT_EQ(s.outcome, SolveOutcome::Optimal);
    EXPECT_EQ(objective(s.problem), -std::pow(Real(5), n));
    EXPECT_EQ(s.problem.solution[static_cast<size_t>(n)], std::pow(Real(5), n));
    EXPECT_EQ(s.problem.pass, (1 << n));
}

INSTANTIATE_TEST_SUITE_P(Dimensions, KleeMinty, ::testing::Values(6, 7, 8));

// Degenerate optima: vertices where more rows meet than there are unknowns.
struct DegenerateCase {
    const char* name;
    ProblemData data;
    Real optimum;
};

void PrintTo(const DegenerateCase& c, std::ostream* os) {
    *os << c.name;
}

class DegenerateOptimum : public ::testing::TestWithParam<DegenerateCase> {};

TEST_P(DegenerateOptimum, ReachesIt) {
    const auto& c = GetParam();
    Solved s;
    solveProblem(c.data, s);
    ASSERT_EQ(s.outcome, SolveOutcome::Optimal);
    expectNear(objective(s.problem), c.optimum, 1e-15L);
    EXPECT_LE(violation(c.data, s.problem), 1e-15L);
    // A degenerate vertex shows as a tie in the ratio test.
    EXPECT_NE(s.log.find(*kvado::text::utf8ToCp1251("Вырождение")), std::string::npos);
}

ProblemData lessRows(std::vector<std::vector<Real>> A, std::vector<Real> C, std::vector<Real> B) {
    ProblemData d;
    d.L = static_cast<int32_t>(A.size());
    d.N = static_cast<int32_t>(C.size());
    d.A = std::move(A);
    d.C = std::move(C);
    d.B = std::move(B);
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DegenerateOptimum,
    ::testing::Values(
        // Three rows through the optimum (1, 1) of a two-unknown problem.
        DegenerateCase{"ThreeRowsThroughOnePoint",
                       lessRows({{1, 0}, {0, 1}, {1, 1}}, {-1, -1}, {1, 1, 2}), -2},
        // Beale's example, which cycles under the most-negative rule without a tie-break:
        // minimise -3/4 X1 + 20 X2 - 1/2 X3 + 6 X4; optimum -5/4 at X1 = 1, X3 = 1 (the
        // multipliers 0, 3/2, 5/4 of the rows are dual feasible and give the same value).
        DegenerateCase{"Beale",
                       lessRows({{0.25L, -8, -1, 9}, {0.5L, -12, -0.5L, 3}, {0, 0, 1, 0}},
                                {-0.75L, 20, -0.5L, 6}, {0, 0, 1}),
                       -1.25L},
        // Chvatal's cycling example: maximise 10 X1 - 57 X2 - 9 X3 - 24 X4; optimum 1 at
        // X1 = 1, X3 = 1 (dual multipliers 0, 18, 1).
        DegenerateCase{"Chvatal",
                       lessRows({{0.5L, -5.5L, -2.5L, 9}, {0.5L, -1.5L, -0.5L, 1}, {1, 0, 0, 0}},
                                {-10, 57, 9, 24}, {0, 0, 1}),
                       -1}),
    [](const ::testing::TestParamInfo<DegenerateCase>& info) {
        return std::string(info.param.name);
    });

} // namespace
