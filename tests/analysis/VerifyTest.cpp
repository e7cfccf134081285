// The exact check on problems whose answers are known, and the exact numbers it rests on.

#include <gtest/gtest.h>

#include <cmath>

#include "../solver/TestSupport.h"
#include "analysis/Rational.h"
#include "analysis/Verify.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;
using kvado::test::ProblemData;

Verification solveAndVerify(const ProblemData& d, SolveOutcome& outcome, test::Solved& s) {
    test::solveProblem(d, s);
    outcome = s.outcome;
    return verify(s.problem, s.outcome, VerifyOptions::unlimited(nullptr, '.'));
}

TEST(ExactNumbers, ExtendedValuesConvertExactly) {
    const Real values[] = {0.1L, -3.0L, 1e-4000L, 7.5e4000L, 0.075L, 1.0L / 3.0L, -0.0L};
    for (const Real v : values) {
        const mpq_class q = toRational(toDyadic(v));
        EXPECT_EQ(toReal(q), v) << static_cast<double>(v);
    }
    // 0.1 as an extended number is not 1/10, and the difference is exactly one binary fraction.
    EXPECT_NE(toRational(toDyadic(0.1L)), mpq_class(1, 10));
    EXPECT_EQ(fractionText(toRational(toDyadic(2.5L))), "5/2");
    EXPECT_EQ(fractionText(mpq_class(-4)), "-4/1");
}

struct KnownCase {
    const char* name;
    ProblemData data;
    Verdict verdict;
    const char* objective; // exact Z of the final basis, "" for none
};

ProblemData problem(int32_t G, int32_t E, int32_t L, int32_t N, std::vector<std::vector<Real>> A,
                    std::vector<Real> C, std::vector<Real> B) {
    ProblemData d;
    d.G = G;
    d.E = E;
    d.L = L;
    d.N = N;
    d.A = std::move(A);
    d.C = std::move(C);
    d.B = std::move(B);
    return d;
}

TEST(Verify, KnownAnswers) {
    const KnownCase cases[] = {
        {"two unknowns, one row", problem(0, 0, 1, 2, {{1, 1}}, {-1, -1}, {4}), Verdict::Optimal,
         "-4/1"},
        {"all three kinds", problem(1, 1, 1, 2, {{1, 1}, {1, -1}, {1, 0}}, {1, 2}, {2, 1, 3}),
         Verdict::Optimal, "5/2"},
        {"no feasible solution", problem(1, 0, 1, 1, {{1}, {1}}, {0}, {5, 3}),
         Verdict::InfeasibleConfirmed, ""},
        {"unbounded", problem(0, 0, 1, 2, {{1, -1}}, {-1, 0}, {1}), Verdict::UnboundedConfirmed,
         "-1/1"},
        {"thirds", problem(0, 1, 1, 3, {{3, 3, 3}, {1, 2, 0}}, {-1, -2, 1}, {1, 1}),
         Verdict::Optimal, "-2/3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Solved s;
        SolveOutcome outcome;
        const Verification v = solveAndVerify(c.data, outcome, s);
        EXPECT_EQ(v.verdict, c.verdict) << v.reason;
        EXPECT_EQ(v.objectiveExact, c.objective);
        if (v.hasObjective) {
            EXPECT_EQ(v.objectiveError, toReal(toRational(toDyadic(methodObjective(s.problem))) -
                                               mpq_class(v.objectiveExact)));
        }
    }
}

} // namespace
