// The exact check on problems whose answers are known, and the exact numbers it rests on.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "../solver/TestSupport.h"
#include "analysis/ExactSolve.h"
#include "analysis/Presentation.h"
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

// An infinity has no exact value: it is refused, never looped on, and the check says why
// instead of calling an overflowed answer optimal.
TEST(ExactNumbers, NonFiniteValuesAreRefused) {
    for (const Real v :
         {std::numeric_limits<Real>::infinity(), -std::numeric_limits<Real>::infinity(),
          std::numeric_limits<Real>::quiet_NaN()})
        EXPECT_THROW(toDyadic(v), NonFiniteValue);
    SolveOutcome outcome;
    test::Solved s;
    ProblemData d;
    d.L = 1;
    d.N = 1;
    d.A = {{1}};
    d.C = {-1};
    d.B = {4};
    ASSERT_EQ(solveAndVerify(d, outcome, s).verdict, Verdict::Optimal);
    s.problem.solution[1] = std::numeric_limits<Real>::infinity();
    const Verification v = verify(s.problem, SolveOutcome::Optimal, VerifyOptions{});
    EXPECT_EQ(v.verdict, Verdict::NotOptimal);
    EXPECT_EQ(v.reason, "переполнение в вычислениях метода: X[1] = INF");
    s.problem.setObjective(1, -std::numeric_limits<Real>::infinity());
    const Verification w = verify(s.problem, SolveOutcome::Optimal, VerifyOptions{});
    EXPECT_EQ(w.verdict, Verdict::Skipped);
    EXPECT_EQ(w.reason, "в данных задачи число вне диапазона: C[1] = -INF");
}

struct KnownCase {
    const char* name;
    ProblemData data;
    Verdict verdict;
    const char* objective; // exact Z of the final basis, "" for none
    ExactStatus exact;     // what the exact solve finds
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
         "-4/1", ExactStatus::Optimal},
        {"all three kinds", problem(1, 1, 1, 2, {{1, 1}, {1, -1}, {1, 0}}, {1, 2}, {2, 1, 3}),
         Verdict::Optimal, "5/2", ExactStatus::Optimal},
        {"no feasible solution", problem(1, 0, 1, 1, {{1}, {1}}, {0}, {5, 3}),
         Verdict::InfeasibleConfirmed, "", ExactStatus::Infeasible},
        {"unbounded", problem(0, 0, 1, 2, {{1, -1}}, {-1, 0}, {1}), Verdict::UnboundedConfirmed,
         "-1/1", ExactStatus::Unbounded},
        {"thirds", problem(0, 1, 1, 3, {{3, 3, 3}, {1, 2, 0}}, {-1, -2, 1}, {1, 1}),
         Verdict::Optimal, "-2/3", ExactStatus::Optimal},
        {"no rows", problem(0, 0, 0, 2, {}, {-1, 1}, {}), Verdict::UnboundedConfirmed, "0/1",
         ExactStatus::Unbounded},
        {"no unknowns", problem(1, 0, 0, 0, {{}}, {}, {5}), Verdict::InfeasibleConfirmed, "",
         ExactStatus::Infeasible},
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
        const ExactSolution e = solveExactly(s.problem, &v, {});
        EXPECT_EQ(e.status, c.exact) << e.message;
        EXPECT_TRUE(e.verified);
        if (c.exact == ExactStatus::Optimal) {
            EXPECT_EQ(e.objectiveExact, c.objective);
        }
    }
}

// The method's tolerance turns these answers wrong; the check says so and names the cause,
// and the exact solve gives the right answer.
struct WrongCase {
    const char* name;
    ProblemData data;
    Verdict verdict;
    const char* cause;
    ExactStatus exactStatus;
    Real exactObjective;
};

TEST(Verify, WrongAnswersOfTheMethod) {
    auto withEps = [](ProblemData d, Real eps) {
        d.eps = eps;
        return d;
    };
    const Real tiny = 1e-10L;
    const WrongCase cases[] = {
        // The column's only positive entry is below Eps: "unbounded".
        {"false unbounded", withEps(problem(0, 0, 1, 1, {{tiny}}, {-1}, {1}), 1e-8L),
         Verdict::UnboundedNotConfirmed, "пропущен в тесте отношений", ExactStatus::Optimal,
         -1 / tiny},
        // The phase-1 reduced cost −1E-11 is above −Eps: "no feasible solution".
        {"false infeasible", withEps(problem(1, 0, 0, 1, {{1e-11L}}, {1}, {1}), 1e-8L),
         Verdict::InfeasibleNotConfirmed, "первой фазы", ExactStatus::Optimal, 1 / 1e-11L},
        // The artificial sum 1E-9 passes the end of phase 1: "optimal" at X = 0.
        {"artificial left", withEps(problem(1, 0, 0, 1, {{tiny}}, {1}, {1e-9L}), 1e-8L),
         Verdict::NotFeasible, "масштаба", ExactStatus::Optimal, 1e-9L / tiny},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Solved s;
        SolveOutcome outcome;
        const Verification v = solveAndVerify(c.data, outcome, s);
        EXPECT_EQ(v.verdict, c.verdict) << v.reason;
        EXPECT_NE(v.cause.find(c.cause), std::string::npos) << v.cause;
        const ExactSolution e = solveExactly(s.problem, &v, {});
        EXPECT_EQ(e.status, c.exactStatus) << e.message;
        EXPECT_TRUE(e.verified);
        EXPECT_EQ(e.cause, v.cause);
        EXPECT_LE(std::fabs(e.objective - c.exactObjective), 1e-15L * std::fabs(c.exactObjective));
    }
}

// What a JSON writer holds after `write` wrote `value` into it.
template <class Value>
std::string json(void (*write)(text::JsonWriter&, const Value&), const Value& value) {
    text::JsonWriter w;
    write(w, value);
    return w.text();
}

TEST(Verify, JsonAndTexts) {
    test::Solved s;
    SolveOutcome outcome;
    const ProblemData d = problem(1, 1, 1, 2, {{1, 1}, {1, -1}, {1, 0}}, {1, 2}, {2, 1, 3});
    const Verification v = solveAndVerify(d, outcome, s);
    EXPECT_EQ(json(verificationJson, v), "{\"verdict\": \"optimal\", \"objective_exact\": \"5/2\", "
                                         "\"objective_error\": 0, \"reason\": \"" +
                                             v.reason + "\"}");
    const ExactSolution e = solveExactly(s.problem, &v, {});
    EXPECT_EQ(json(exactJson, e),
              "{\"status\": \"optimal\", \"objective\": 2.5, \"objective_exact\": "
              "\"5/2\", \"x\": [1.5, 0.5]}");
    EXPECT_EQ(resultsLine(v).text, "Проверено точно: оптимально");
    const auto lines = reportSection(v, &e, ',');
    EXPECT_EQ(lines[2], "Точное значение Z = 2.5 (5/2)"); // the check's own separator
    EXPECT_EQ(lines[lines.size() - 4], "X[2] = 0,5");
    EXPECT_EQ(lines.back(), "Pi[3] = 0"); // no cause: the answers agree
    // The multipliers carry the sign of the method's shadow prices.
    EXPECT_EQ(lines[lines.size() - 3],
              "Pi[1] = " + text::formatGeneral(s.problem.inverse(4, 1), ','));

    Verification skipped;
    skipped.reason = "a \"quoted\"\nline";
    EXPECT_EQ(json(verificationJson, skipped),
              "{\"verdict\": \"skipped\", \"objective_exact\": null, "
              "\"objective_error\": null, \"reason\": \"a \\\"quoted\\\"\\u000aline\"}");
    EXPECT_TRUE(resultsLine(skipped).offerCheck);
}

TEST(Verify, BudgetAndStop) {
    const ProblemData d = problem(1, 1, 1, 2, {{1, 1}, {1, -1}, {1, 0}}, {1, 2}, {2, 1, 3});
    test::Solved s;
    test::solveProblem(d, s);
    VerifyOptions small;
    small.maxRows = 2; // the automatic check leaves larger problems to the user
    EXPECT_EQ(verify(s.problem, s.outcome, small).verdict, Verdict::Skipped);
    small.maxRows = 3;
    EXPECT_EQ(verify(s.problem, s.outcome, small).verdict, Verdict::Optimal);

    small.maxSeconds = 1e-9; // the time is up before the first factorization
    const Verification late = verify(s.problem, s.outcome, small);
    EXPECT_EQ(late.verdict, Verdict::Skipped);
    EXPECT_NE(late.reason.find("время"), std::string::npos) << late.reason;

    std::atomic<bool> stop{true};
    const Verification stopped = verify(s.problem, s.outcome, VerifyOptions::unlimited(&stop, '.'));
    EXPECT_EQ(stopped.verdict, Verdict::Skipped);
    EXPECT_FALSE(stopped.hasObjective);
    ExactSolveOptions exact;
    exact.cancel = &stop;
    EXPECT_EQ(solveExactly(s.problem, nullptr, exact).status, ExactStatus::Stopped);
}

} // namespace
