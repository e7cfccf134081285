// The solver on small problems worked by hand: every pass, the final inverse table, basis,
// pricing row, solution vector, outcome and the whole trace log.

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "datafile/DataFile.h"
#include "solver/Simplex.h"
#include "text/Encoding.h"

namespace {

using kvado::LpProblem;
using kvado::Real;
using kvado::SolveOutcome;
using kvado::TraceLog;
using namespace kvado::test;

ProblemData problem(int32_t G, int32_t E, int32_t L, int32_t N, std::vector<std::vector<Real>> A,
                    std::vector<Real> C, std::vector<Real> B, Real eps = 1e-8L) {
    ProblemData d;
    d.G = G;
    d.E = E;
    d.L = L;
    d.N = N;
    d.eps = eps;
    d.A = std::move(A);
    d.C = std::move(C);
    d.B = std::move(B);
    return d;
}

const char* const kNoFeasibleMessage =
    "Ограничения не имеют допустимого решения\r\nподробнее в файле Kvaq.log";

struct Expected {
    SolveOutcome outcome;
    int32_t passes;
    std::vector<int32_t> basis;             // rows 1..M
    std::vector<std::vector<Real>> inverse; // rows 1..M+2, columns 0..M+1
    std::vector<Real> pricing;              // columns 1..phase-1 column count
    std::vector<Real> solution;             // columns 1..phase-1 column count
    std::vector<std::string> log;           // every line
    std::vector<std::string> messages;      // message boxes shown
};

struct Example {
    const char* name;
    ProblemData data;
    Expected expected;
};

void PrintTo(const Example& c, std::ostream* os) {
    *os << c.name;
}

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, EndsInTheStateWorkedByHand) {
    const auto& ex = GetParam();
    const auto& e = ex.expected;
    Solved s;
    solveProblem(ex.data, s);
    const LpProblem& p = s.problem;
    EXPECT_EQ(s.outcome, e.outcome);
    EXPECT_EQ(p.pass, e.passes);
    ASSERT_EQ(static_cast<size_t>(p.M), e.basis.size());
    for (int32_t i = 1; i <= p.M; ++i)
        EXPECT_EQ(p.basis[static_cast<size_t>(i)], e.basis[static_cast<size_t>(i - 1)])
            << "row " << i;
    for (int32_t j = 1; j <= p.phase1Columns; ++j) {
        bool inBasis = false;
        for (int32_t b : e.basis)
            inBasis = inBasis || b == j;
        EXPECT_EQ(p.basic[static_cast<size_t>(j)], inBasis ? 1 : 0) << "basic flag of " << j;
    }
    ASSERT_EQ(e.inverse.size(), static_cast<size_t>(p.M) + 2);
    for (int32_t i = 1; i <= p.M + 2; ++i)
        for (int32_t k = 0; k <= p.M + 1; ++k)
            EXPECT_EQ(p.inverse(i, k),
                      e.inverse[static_cast<size_t>(i - 1)][static_cast<size_t>(k)])
                << "inverse(" << i << ", " << k << ")";
    ASSERT_EQ(e.pricing.size(), static_cast<size_t>(p.phase1Columns));
    ASSERT_EQ(e.solution.size(), static_cast<size_t>(p.phase1Columns));
    for (int32_t j = 1; j <= p.phase1Columns; ++j) {
        EXPECT_EQ(p.pricing[static_cast<size_t>(j)], e.pricing[static_cast<size_t>(j - 1)])
            << "pricing " << j;
        EXPECT_EQ(p.solution[static_cast<size_t>(j)], e.solution[static_cast<size_t>(j - 1)])
            << "solution " << j;
    }
    EXPECT_EQ(logLines(s.log), e.log);
    EXPECT_EQ(s.log, logBytes(e.log));
    EXPECT_EQ(s.host.messages, e.messages);
    EXPECT_EQ(s.host.calls, "SP");
}

// Recurring lines of the log.
const std::string kListing = "ОГРАНИЧЕНИЕ  СОСТОЯНИЕ    ДОПОЛНИТЕЛЬНЫЕ ПЕРЕМЕННЫЕ";
const std::string kNonBasic = " X (небазисные, то есть равные нулю): ";
const std::string kPricing = " Коэффициенты при неизвестных в целевой функции: ";
const std::string kDegenerate = "---------- Вырождение: ------------";

INSTANTIATE_TEST_SUITE_P(
    Solve, WorkedExample,
    ::testing::Values(
        // Minimise -X1 - X2, X1 + X2 <= 4. Equal reduced costs: column 1 enters.
        Example{
            "TwoUnknownsOneRow",
            problem(0, 0, 1, 2, {{1, 1}}, {-1, -1}, {4}),
            {SolveOutcome::Optimal,
             2,
             {1},
             {{4, 1, 0}, {4, 1, 1}, {0, 0, 0}},
             {0, 0, 1},
             {4, 0, 0},
             {kListing, " 1            0.0000", kNonBasic, "  X[  2] = 0    X[  3] = 0  ", "", "",
              kPricing, "", " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    1.000  ", ""},
             {}}},
        // Minimise -X1, X1 <= 2, X1 + X2 <= 2: both ratios are 2; column 1 of the inverse
        // breaks the tie and row 2 leaves.
        Example{
            "DegenerateTie",
            problem(0, 0, 2, 2, {{1, 0}, {1, 1}}, {-1, 0}, {2, 2}),
            {SolveOutcome::Optimal,
             2,
             {3, 1},
             {{0, 1, -1, 0}, {2, 0, 1, 0}, {2, 0, 1, 1}, {0, 0, 0, 0}},
             {0, 1, 0, 1},
             {2, 0, 0, 0},
             {kDegenerate, "   1   2 ---------------------------------------------------------",
              kListing, " 1            Допол.перем.        0.0000", " 2            0.0000",
              kNonBasic, "  X[  2] = 0    X[  4] = 0  ",
              "", // four columns: the list ends with an empty line
              "", "", kPricing, "", " C[  1] =    0.000   C[  2] =    1.000   C[  3] =    0.000  ",
              " C[  4] =    1.000  "},
             {}}},
        // X1 >= 5 and X1 <= 3: phase 1 stops with W = 2.
        Example{"NoFeasibleSolution",
                problem(1, 0, 1, 1, {{1}, {1}}, {1}, {5, 3}),
                {SolveOutcome::Infeasible,
                 2,
                 {4, 1},
                 {{2, 1, -1, 0}, {3, 0, 1, 0}, {-3, 0, -1, 1}, {-2, -1, 1, 0}},
                 {0, 1, 1, 0},
                 {3, 0, 0, 2},
                 {"Ограничения не имеют допустимого решения",
                  "Сумма искусственных переменных равна ", "2", kListing, " 1            0.0000",
                  " 2            0.0000", kNonBasic, "  X[  2] = 0    X[  3] = 0  ", "", "", "",
                  kPricing, "", " C[  1] =    0.000   C[  2] =    1.000   C[  3] =    1.000  ",
                  " C[  4] =    0.000  "},
                 {kNoFeasibleMessage}}},
        // Minimise -X1, X1 - X2 <= 1: column 2 has no entry above Eps.
        Example{"UnboundedColumn",
                problem(0, 0, 1, 2, {{1, -1}}, {-1, 0}, {1}),
                {SolveOutcome::Unbounded,
                 2,
                 {1},
                 {{1, 1, 0}, {1, 1, 1}, {0, 0, 0}},
                 {0, -1, 1},
                 {1, 0, 0},
                 {"Переменная 2не имеет ограничений", kListing, " 1            0.0000", kNonBasic,
                  "  X[  2] = 0    X[  3] = 0  ", "", "",
                  "================ 2 -й план : ============", kPricing, "",
                  " C[  1] =    0.000   C[  2] =   -1.000   C[  3] =    1.000  ", ""},
                 {}}},
        // Minimise X1 + 2 X2, X1 + X2 >= 2, X1 - X2 = 1, X1 <= 3: both phases, every kind of
        // row. The artificial columns keep their pricing from pass 3.
        Example{"AllThreeKindsOfRows",
                problem(1, 1, 1, 2, {{1, 1}, {1, -1}, {1, 0}}, {1, 2}, {2, 1, 3}),
                {SolveOutcome::Optimal,
                 4,
                 {2, 1, 4},
                 {{0.5L, 0.5L, -0.5L, 0, 0},
                  {1.5L, 0.5L, 0.5L, 0, 0},
                  {1.5L, -0.5L, -0.5L, 1, 0},
                  {-2.5L, -1.5L, 0.5L, 0, 1},
                  {0, 0, 0, 0, 0}},
                 {0, 0, 1.5L, 0, 1, 1},
                 {1.5L, 0.5L, 0, 1.5L, 0, 0},
                 {"Этап 1 успешно завершен", kListing, " 1            0.0000",
                  " 2  Уравнение не решено", " 3            Допол.перем.        1.5000", kNonBasic,
                  "  X[  3] = 0  ", "  X[  5] = 0    X[  6] = 0  ", "", "", kPricing, "",
                  " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    1.500  ",
                  " C[  4] =    0.000   C[  5] =    1.000   C[  6] =    1.000  ", ""},
                 {}}},
        // Three rows tie at level 0, rows 2 and 3 still at level 1: two blocks, row 3 leaves.
        Example{
            "TwoDegenerateRounds",
            problem(0, 0, 3, 1, {{1}, {1}, {1}}, {-1}, {1, 1, 1}),
            {SolveOutcome::Optimal,
             2,
             {2, 3, 1},
             {{0, 1, 0, -1, 0},
              {0, 0, 1, -1, 0},
              {1, 0, 0, 1, 0},
              {1, 0, 0, 1, 1},
              {0, 0, 0, 0, 0}},
             {0, 0, 0, 1},
             {1, 0, 0, 0},
             {kDegenerate, "   1   2   3 ---------------------------------------------------------",
              kDegenerate, "   2   3 ---------------------------------------------------------",
              kListing, " 1            Допол.перем.        0.0000",
              " 2            Допол.перем.        0.0000", " 3            0.0000", kNonBasic,
              "  X[  4] = 0  ", "", "", "", kPricing, "",
              " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    0.000  ",
              " C[  4] =    1.000  "},
             {}}},
        // A right-hand side is used as it stands: the slack starts and stays at -0.5, and the
        // listing writes it with its sign.
        Example{
            "NegativeSlackInTheListing",
            problem(0, 0, 2, 1, {{1}, {1}}, {1}, {-0.5L, 123456789.5L}),
            {SolveOutcome::Optimal,
             1,
             {2, 3},
             {{-0.5L, 1, 0, 0}, {123456789.5L, 0, 1, 0}, {0, 0, 0, 1}, {0, 0, 0, 0}},
             {1, 0, 0},
             {0, -0.5L, 123456789.5L},
             {kListing, " 1            Допол.перем.       -0.5000",
              " 2            Допол.перем.    123456789.5000", kNonBasic, "  X[  1] = 0  ", "", "",
              kPricing, "", " C[  1] =    1.000   C[  2] =    0.000   C[  3] =    0.000  ", ""},
             {}}},
        // An unbounded column met in phase 1 while W is already below Eps: phase 1 still
        // ends, the line stays in the log, and phase 2 finds the optimum.
        Example{
            "UnboundedInPhase1ThenOptimal",
            problem(0, 2, 0, 1, {{0.375L}, {0.375L}}, {1}, {0.125L, 0.125L}, 0.5L),
            {SolveOutcome::Optimal,
             2,
             {2, 3},
             {{0.125L, 1, 0, 0}, {0.125L, 0, 1, 0}, {0, 0, 0, 1}, {-0.25L, -1, -1, 0}},
             {1, 0, 0},
             {0, 0.125L, 0.125L},
             {"Переменная 1не имеет ограничений", "Этап 1 успешно завершен", kListing,
              " 1  Уравнение не решено", " 2  Уравнение не решено", kNonBasic, "  X[  1] = 0  ", "",
              "", kPricing, "", " C[  1] =    1.000   C[  2] =    0.000   C[  3] =    0.000  ", ""},
             {}}},
        // The same with W above Eps: the phase-1 end test of that pass fails.
        Example{"UnboundedInPhase1ThenInfeasible",
                problem(0, 2, 0, 1, {{0.375L}, {0.375L}}, {1}, {0.5L, 0.5L}, 0.5L),
                {SolveOutcome::Infeasible,
                 1,
                 {2, 3},
                 {{0.5L, 1, 0, 0}, {0.5L, 0, 1, 0}, {0, 0, 0, 1}, {-1, -1, -1, 0}},
                 {-0.75L, 0, 0},
                 {0, 0.5L, 0.5L},
                 {"Переменная 1не имеет ограничений", "Ограничения не имеют допустимого решения",
                  "Сумма искусственных переменных равна ", "1", kListing, " 1  Уравнение не решено",
                  " 2  Уравнение не решено", kNonBasic, "  X[  1] = 0  ", "", "",
                  "================ 1 -й план : ============", kPricing, "",
                  " C[  1] =   -0.750   C[  2] =    0.000   C[  3] =    0.000  ", ""},
                 {kNoFeasibleMessage}}},
        // ... and with a negative cost phase 2 meets the column again and decides.
        Example{"UnboundedInBothPhases",
                problem(0, 2, 0, 1, {{0.375L}, {0.375L}}, {-1}, {0.125L, 0.125L}, 0.5L),
                {SolveOutcome::Unbounded,
                 2,
                 {2, 3},
                 {{0.125L, 1, 0, 0}, {0.125L, 0, 1, 0}, {0, 0, 0, 1}, {-0.25L, -1, -1, 0}},
                 {-1, 0, 0},
                 {0, 0.125L, 0.125L},
                 {"Переменная 1не имеет ограничений", "Этап 1 успешно завершен",
                  "Переменная 1не имеет ограничений", kListing, " 1  Уравнение не решено",
                  " 2  Уравнение не решено", kNonBasic, "  X[  1] = 0  ", "", "",
                  "================ 2 -й план : ============", kPricing, "",
                  " C[  1] =   -1.000   C[  2] =    0.000   C[  3] =    0.000  ", ""},
                 {}}},
        // -X1 = 0, X1 <= 4, minimise -X1: the artificial of row 1 stays basic at 0 after
        // phase 1. Column 1 would raise it, so its row leaves in place of row 2 (ratio 4),
        // and the only feasible point X1 = 0 is the optimum.
        Example{"BasicArtificialLeavesInsteadOfAPositiveStep",
                problem(0, 1, 1, 1, {{-1}, {1}}, {-1}, {0, 4}),
                {SolveOutcome::Optimal,
                 3,
                 {1, 2},
                 {{0, -1, 0, 0}, {4, 1, 1, 0}, {0, -1, 0, 1}, {0, -1, 0, 0}},
                 {0, 0, 0},
                 {0, 4, 0},
                 {"Этап 1 успешно завершен", kListing, " 1  Уравнение не решено",
                  " 2            Допол.перем.        4.0000", kNonBasic, "  X[  3] = 0  ", "", "",
                  kPricing, "", " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    0.000  ", ""},
                 {}}},
        // -X1 = 0 alone: the ratio test finds no row, and the artificial row leaves instead
        // of an unbounded column.
        Example{
            "BasicArtificialLeavesInsteadOfUnbounded",
            problem(0, 1, 0, 1, {{-1}}, {-1}, {0}),
            {SolveOutcome::Optimal,
             3,
             {1},
             {{0, -1, 0}, {0, -1, 1}, {0, -1, 0}},
             {0, 0},
             {0, 0},
             {"Этап 1 успешно завершен", kListing, " 1  Уравнение не решено", kNonBasic,
              "  X[  2] = 0  ", "", "", kPricing, "", " C[  1] =    0.000   C[  2] =    0.000  "},
             {}}},
        // -X1 = 0, X1 <= 0: the ratio test's step is already 0, so its own row leaves and the
        // artificial stays basic.
        Example{"ZeroStepKeepsTheRatioTestRow",
                problem(0, 1, 1, 1, {{-1}, {1}}, {-1}, {0, 0}),
                {SolveOutcome::Optimal,
                 3,
                 {3, 1},
                 {{0, 1, 1, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}, {0, -1, 0, 0}},
                 {0, 1, 0},
                 {0, 0, 0},
                 {"Этап 1 успешно завершен", kListing, " 1  Уравнение не решено",
                  " 2            0.0000", kNonBasic, "  X[  2] = 0  ", "", "", kPricing, "",
                  " C[  1] =    0.000   C[  2] =    1.000   C[  3] =    0.000  ", ""},
                 {}}}),
    [](const ::testing::TestParamInfo<Example>& info) { return std::string(info.param.name); });

// --- thresholds: Eps and exact ties ------------------------------------------------------------

struct ThresholdCase {
    const char* name;
    ProblemData data;
    SolveOutcome outcome;
    int32_t passes;
    std::vector<int32_t> basis;
    bool degenerateRound;
};

void PrintTo(const ThresholdCase& c, std::ostream* os) {
    *os << c.name;
}

class Threshold : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(Threshold, DecidesAsStated) {
    const auto& c = GetParam();
    Solved s;
    solveProblem(c.data, s);
    EXPECT_EQ(s.outcome, c.outcome);
    EXPECT_EQ(s.problem.pass, c.passes);
    for (int32_t i = 1; i <= s.problem.M; ++i)
        EXPECT_EQ(s.problem.basis[static_cast<size_t>(i)], c.basis[static_cast<size_t>(i - 1)])
            << "row " << i;
    const auto lines = logLines(s.log);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kDegenerate) > 0, c.degenerateRound);
}

const Real kAboveOne = std::nextafter(1.0L, 2.0L);

INSTANTIATE_TEST_SUITE_P(
    Cases, Threshold,
    ::testing::Values(
        // A reduced cost equal to -Eps does not enter; one just below it does.
        ThresholdCase{"ReducedCostAtMinusEps",
                      problem(0, 0, 1, 1, {{1}}, {-0.5L}, {1}, 0.5L),
                      SolveOutcome::Optimal,
                      1,
                      {2},
                      false},
        ThresholdCase{"ReducedCostBelowMinusEps",
                      problem(0, 0, 1, 1, {{1}}, {-std::nextafter(0.5L, 1.0L)}, {1}, 0.5L),
                      SolveOutcome::Optimal,
                      2,
                      {1},
                      false},
        // A transformed entry equal to Eps takes no part in the ratio test ...
        ThresholdCase{"EntryAtEpsIsUnbounded",
                      problem(0, 0, 1, 1, {{0.5L}}, {-1}, {1}, 0.5L),
                      SolveOutcome::Unbounded,
                      1,
                      {2},
                      false},
        // ... even where its ratio (2) would be the lowest.
        ThresholdCase{"EntryAtEpsIsSkipped",
                      problem(0, 0, 2, 1, {{0.5L}, {1}}, {-1}, {1, 3}, 0.5L),
                      SolveOutcome::Optimal,
                      2,
                      {2, 1},
                      false},
        ThresholdCase{"EntryAboveEps",
                      problem(0, 0, 2, 1, {{std::nextafter(0.5L, 1.0L)}, {1}}, {-1}, {1, 3}, 0.5L),
                      SolveOutcome::Optimal,
                      2,
                      {1, 3},
                      false},
        // Ratios tie only when exactly equal.
        ThresholdCase{"RatiosEqual",
                      problem(0, 0, 2, 1, {{1}, {1}}, {-1}, {1, 1}),
                      SolveOutcome::Optimal,
                      2,
                      {2, 1},
                      true},
        ThresholdCase{"FirstRatioLowerInTheLastBit",
                      problem(0, 0, 2, 1, {{1}, {1}}, {-1}, {1, kAboveOne}),
                      SolveOutcome::Optimal,
                      2,
                      {1, 3},
                      false},
        ThresholdCase{"SecondRatioLowerInTheLastBit",
                      problem(0, 0, 2, 1, {{1}, {1}}, {-1}, {kAboveOne, 1}),
                      SolveOutcome::Optimal,
                      2,
                      {2, 1},
                      false},
        // A ratio above 1e30 is never chosen.
        ThresholdCase{"RatioAbove1e30",
                      problem(0, 0, 1, 1, {{1}}, {-1}, {1e31L}),
                      SolveOutcome::Unbounded,
                      1,
                      {2},
                      false},
        ThresholdCase{"RatioBelow1e30",
                      problem(0, 0, 1, 1, {{1}}, {-1}, {1e29L}),
                      SolveOutcome::Optimal,
                      2,
                      {1},
                      false},
        // With Eps = 0 the phase-1 end test |W| < 0 cannot pass.
        ThresholdCase{"EpsZeroWithAGreaterRow",
                      problem(1, 0, 0, 1, {{1}}, {1}, {1}, 0),
                      SolveOutcome::Infeasible,
                      2,
                      {1},
                      false},
        ThresholdCase{"EpsZeroWithAnEqualRow",
                      problem(0, 1, 0, 1, {{2}}, {1}, {0}, 0),
                      SolveOutcome::Infeasible,
                      2,
                      {1},
                      false},
        // Without ">=" or "=" rows Eps = 0 is no obstacle.
        ThresholdCase{"EpsZeroWithoutArtificials",
                      problem(0, 0, 1, 1, {{2}}, {-1}, {3}, 0),
                      SolveOutcome::Optimal,
                      2,
                      {1},
                      false}),
    [](const ::testing::TestParamInfo<ThresholdCase>& info) {
        return std::string(info.param.name);
    });

// --- the solve's surroundings
// ----------------------------------------------------------------------

ProblemData allThreeKinds() {
    return problem(1, 1, 1, 2, {{1, 1}, {1, -1}, {1, 0}}, {1, 2}, {2, 1, 3});
}

TEST(SolveHost, ProgressFollowsThePasses) {
    Solved s;
    solveProblem(allThreeKinds(), s);
    EXPECT_EQ(s.host.maximum, 3);
    EXPECT_EQ(s.host.positions, (std::vector<int32_t>{1, 2, 3, 4, 0}));
}

TEST(SolveHost, ProgressMayPassTheMaximum) {
    Solved s;
    solveProblem(problem(0, 0, 1, 3, {{1, 1, 1}}, {-3, -2, -1}, {6}), s);
    EXPECT_EQ(s.host.maximum, 1);
    EXPECT_EQ(s.host.positions, (std::vector<int32_t>{1, 2, 0}));
}

// The message box comes between the first line of the event and the sum W, and the log on
// disk already holds that first line while the box is open.
TEST(SolveHost, MessageBoxComesBeforeTheSum) {
    TempDir dir;
    LpProblem p;
    load(problem(1, 0, 1, 1, {{1}, {1}}, {1}, {5.5L, 3}), p);
    TraceLog log(dir.path());
    RecordingHost host(',');
    // The log is written beside the old one until the solve closes it; every line is flushed
    // into it at once.
    std::string onDiskAtMessage;
    host.onMessage = [&] {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().starts_with(".Kvaq.log.new"))
                onDiskAtMessage = readBytes(e.path().string());
        EXPECT_FALSE(std::filesystem::exists(log.path())) << "replaced before the solve ended";
    };
    EXPECT_EQ(kvado::solve(p, log, host), SolveOutcome::Infeasible);
    EXPECT_EQ(host.messages, std::vector<std::string>{kNoFeasibleMessage});
    EXPECT_EQ(onDiskAtMessage, logBytes({"Ограничения не имеют допустимого решения"}));
    const auto lines = logLines(readBytes(log.path()));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Сумма искусственных переменных равна ");
    EXPECT_EQ(lines[2], "2,5"); // general number format, the user's separator
}

TEST(SolveHost, SumUsesTheHostsSeparator) {
    TempDir dir;
    LpProblem p;
    load(problem(1, 0, 1, 1, {{1}, {1}}, {1}, {5.5L, 3}), p);
    TraceLog log(dir.path());
    RecordingHost host('.');
    kvado::solve(p, log, host);
    EXPECT_EQ(logLines(readBytes(log.path()))[2], "2.5");
}

// The ten lines of the first example, checked byte by byte without the encoder.
TEST(TraceLogFile, FirstExampleBytes) {
    Solved s;
    solveProblem(problem(0, 0, 1, 2, {{1, 1}}, {-1, -1}, {4}), s);
    const std::string expected =
        "\xCE\xC3\xD0\xC0\xCD\xC8\xD7\xC5\xCD\xC8\xC5  \xD1\xCE\xD1\xD2\xCE\xDF\xCD\xC8\xC5    "
        "\xC4\xCE\xCF\xCE\xCB\xCD\xC8\xD2\xC5\xCB\xDC\xCD\xDB\xC5 "
        "\xCF\xC5\xD0\xC5\xCC\xC5\xCD\xCD\xDB\xC5\r\n"
        " 1            0.0000\r\n"
        " X (\xED\xE5\xE1\xE0\xE7\xE8\xF1\xED\xFB\xE5, \xF2\xEE \xE5\xF1\xF2\xFC "
        "\xF0\xE0\xE2\xED\xFB\xE5 \xED\xF3\xEB\xFE): \r\n"
        "  X[  2] = 0    X[  3] = 0  \r\n"
        "\r\n"
        "\r\n"
        " \xCA\xEE\xFD\xF4\xF4\xE8\xF6\xE8\xE5\xED\xF2\xFB \xEF\xF0\xE8 "
        "\xED\xE5\xE8\xE7\xE2\xE5\xF1\xF2\xED\xFB\xF5 \xE2 \xF6\xE5\xEB\xE5\xE2\xEE\xE9 "
        "\xF4\xF3\xED\xEA\xF6\xE8\xE8: \r\n"
        "\r\n"
        " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    1.000  \r\n"
        "\r\n";
    EXPECT_EQ(s.log, expected);
}

TEST(TraceLogFile, SecondSolveReplacesTheLog) {
    TempDir dir;
    RecordingHost host;
    {
        LpProblem p;
        load(problem(0, 0, 1, 2, {{1, -1}}, {-1, 0}, {1}), p);
        TraceLog log(dir.path());
        ASSERT_EQ(kvado::solve(p, log, host), SolveOutcome::Unbounded);
    }
    LpProblem p;
    load(problem(0, 0, 1, 2, {{1, 1}}, {-1, -1}, {4}), p);
    TraceLog log(dir.path());
    ASSERT_EQ(kvado::solve(p, log, host), SolveOutcome::Optimal);
    EXPECT_EQ(
        logLines(readBytes(dir.file("Kvaq.log"))),
        (std::vector<std::string>{
            kListing, " 1            0.0000", kNonBasic, "  X[  2] = 0    X[  3] = 0  ", "", "",
            kPricing, "", " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    1.000  ", ""}));
}

// The log goes to the current folder when no folder is given.
TEST(TraceLogFile, DefaultsToTheCurrentFolder) {
    TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    {
        LpProblem p;
        load(problem(0, 0, 1, 2, {{1, 1}}, {-1, -1}, {4}), p);
        TraceLog log;
        RecordingHost host;
        kvado::solve(p, log, host);
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(logLines(readBytes(dir.file("Kvaq.log"))).size(), 10u);
}

// A log that cannot be created stops the solve with FileError before anything is reported.
// The tests may run as root, so the folders are made impossible rather than read-only.
TEST(TraceLogFile, FailureToCreateThrows) {
    TempDir dir;
    writeBytes(dir.file("plain-file"), "not a folder");
    const std::string folders[] = {dir.file("missing/folder"), dir.file("plain-file")};
    for (const auto& folder : folders) {
        LpProblem p;
        load(allThreeKinds(), p);
        TraceLog log(folder);
        RecordingHost host;
        EXPECT_THROW(kvado::solve(p, log, host), kvado::FileError) << folder;
        EXPECT_TRUE(host.calls.empty()) << folder;
        EXPECT_TRUE(host.messages.empty()) << folder;
        // The log is opened first of all, so not even the progress bar has moved.
        EXPECT_EQ(host.maximum, -1) << folder;
        EXPECT_TRUE(host.positions.empty()) << folder;
    }
}

// A log that can be created but not written (the disk is full) stops the solve as well, at its
// first line.
TEST(TraceLogFile, FailureToWriteThrows) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    std::filesystem::create_symlink("/dev/full", dir.file("Kvaq.log"));
    LpProblem p;
    load(allThreeKinds(), p);
    TraceLog log(dir.path());
    RecordingHost host;
    EXPECT_THROW(kvado::solve(p, log, host), kvado::FileError);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(log.isOpen());
    // The first line is the end of phase 1 in pass 3: the solve stops there, and the progress
    // bar keeps that position rather than going back to 0.
    EXPECT_EQ(host.positions, (std::vector<int32_t>{1, 2, 3}));
}

// A log that keeps nothing opens no file at all: a solve with it goes on where no file could
// be created, and /dev/null is never opened for writing (as root, a missing one would come back
// as a plain file).
TEST(TraceLogFile, DiscardingLogTouchesNoFile) {
    kvado::failing_files::failNext(kvado::failing_files::Step::Open, "/dev/null", EACCES);
    LpProblem p;
    load(allThreeKinds(), p);
    TraceLog log(TraceLog::Discard{});
    RecordingHost host;
    EXPECT_EQ(kvado::solve(p, log, host), SolveOutcome::Optimal);
    kvado::failing_files::clear();
}

// The only feasible point of -X1 = 0, X1 <= 4 is X1 = 0, read from the data file text.
TEST(ArtificialInPhase2, DataFileExampleDoesNotReportX1Equal4) {
    LpProblem p;
    kvado::datafile::readDataFile("0 1 1 1 1E-8\n-1\n1\n-1\n0 4\n", p);
    TempDir dir;
    TraceLog log(dir.path());
    RecordingHost host;
    EXPECT_EQ(kvado::solve(p, log, host), SolveOutcome::Optimal);
    EXPECT_EQ(p.solution[1], 0);
    EXPECT_EQ(p.inverse(p.M + 1, 0), 0); // -Z
}

} // namespace
