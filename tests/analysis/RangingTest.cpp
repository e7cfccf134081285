// Ranging on problems worked by hand, and the section and JSON the user reads.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "../solver/TestSupport.h"
#include "analysis/Ranging.h"
#include "analysis/RangingReport.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;
using kvado::test::ProblemData;
using kvado::test::Solved;

constexpr Real kInf = std::numeric_limits<Real>::infinity();

Ranges rangeOf(const ProblemData& d, Solved& s, const std::vector<std::string>& cols,
               const std::vector<std::string>& rows) {
    kvado::test::solveProblem(d, s);
    EXPECT_EQ(s.outcome, SolveOutcome::Optimal);
    return computeRanges(s.problem, cols, rows);
}

// The textbook product-mix problem: maximise 3·x1 + 5·x2 subject to x1 <= 4, 2·x2 <= 12,
// 3·x1 + 2·x2 <= 18, entered as the minimum of −3·x1 − 5·x2. Optimum x1 = 2, x2 = 6, Z = −36.
// Worked on paper: with rows 2 and 3 binding, x1 = (B3 − B2)/3 and x2 = B2/2, so x1 >= 0 and
// x1 <= 4 give B2 in [6, 18] and B3 in [12, 24]; the reduced costs of the two binding slacks,
// −C2/2 + C1/3 and −C1/3, stay >= 0 for C1 in [−7.5, 0] (C2 = −5) and C2 <= −2 (C1 = −3).
ProblemData productMix() {
    ProblemData d;
    d.L = 3;
    d.N = 2;
    d.A = {{1, 0}, {0, 2}, {3, 2}};
    d.C = {-3, -5};
    d.B = {4, 12, 18};
    return d;
}

struct Expected {
    Real lower, upper;
    std::optional<Real> zLower, zUpper;
    std::optional<std::string> limLower, limUpper;
};

// A range end: the same infinity, or within rounding of the paper's value.
void expectEnd(Real got, Real expected) {
    if (std::isinf(expected))
        EXPECT_EQ(got, expected);
    else
        EXPECT_NEAR(static_cast<double>(got), static_cast<double>(expected), 1e-13);
}

TEST(Ranging, ProductMixWorkedOnPaper) {
    Solved s;
    const Ranges r = rangeOf(productMix(), s, {"x1", "x2"}, {"r1", "r2", "r3"});
    EXPECT_FALSE(r.degenerate);
    EXPECT_FALSE(r.otherOptima);
    EXPECT_NEAR(static_cast<double>(r.objective), -36, 1e-15);

    const Expected cols[] = {{-7.5L, 0, -45, -30, "r2", "r3"},
                             {-kInf, -2, std::nullopt, -18, std::nullopt, "r2"}};
    const Real values[] = {2, 6};
    for (size_t k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const ColumnRange& c = r.columns[k];
        const Expected& e = cols[k];
        EXPECT_TRUE(c.basic);
        EXPECT_NEAR(static_cast<double>(c.value), static_cast<double>(values[k]), 1e-15);
        EXPECT_EQ(c.reducedCost, 0);
        expectEnd(c.costLower, e.lower);
        expectEnd(c.costUpper, e.upper);
        EXPECT_EQ(c.objectiveAtCostLower.has_value(), e.zLower.has_value());
        if (e.zLower) {
            EXPECT_NEAR(static_cast<double>(*c.objectiveAtCostLower), *e.zLower, 1e-13);
        }
        ASSERT_TRUE(c.objectiveAtCostUpper.has_value());
        EXPECT_NEAR(static_cast<double>(*c.objectiveAtCostUpper), *e.zUpper, 1e-13);
        EXPECT_EQ(c.limitingAtCostLower, e.limLower);
        EXPECT_EQ(c.limitingAtCostUpper, e.limUpper);
    }
    EXPECT_TRUE(std::isinf(r.columns[1].allowableDecrease()));
    EXPECT_NEAR(static_cast<double>(r.columns[0].allowableIncrease()), 3, 1e-15);

    // Row 1's slack (2) is basic: B1 may fall to the activity 2 and rise without limit, Z
    // staying where it is.
    const Expected rows[] = {{2, kInf, -36, -36, "r1", std::nullopt},
                             {6, 18, -27, -45, "r1", "x1"},
                             {12, 24, -30, -42, "x1", "r1"}};
    const Real pi[] = {0, 1.5L, 1};
    for (size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const RowRange& row = r.rows[k];
        const Expected& e = rows[k];
        EXPECT_EQ(row.binding, k != 0);
        EXPECT_NEAR(static_cast<double>(row.shadowPrice), static_cast<double>(pi[k]), 1e-15);
        expectEnd(row.rhsLower, e.lower);
        expectEnd(row.rhsUpper, e.upper);
        ASSERT_TRUE(row.objectiveAtRhsLower.has_value());
        EXPECT_NEAR(static_cast<double>(*row.objectiveAtRhsLower), *e.zLower, 1e-13);
        EXPECT_EQ(row.objectiveAtRhsUpper.has_value(), e.zUpper.has_value());
        if (e.zUpper) {
            EXPECT_NEAR(static_cast<double>(*row.objectiveAtRhsUpper), *e.zUpper, 1e-13);
        }
        EXPECT_EQ(row.limitingAtRhsLower, e.limLower);
        EXPECT_EQ(row.limitingAtRhsUpper, e.limUpper);
    }
    EXPECT_NEAR(static_cast<double>(r.rows[0].slack), 2, 1e-15);
}

// A non-basic unknown: its cost may rise without limit and fall by its reduced cost; pushed
// into the plan it runs until the basic variable it displaces reaches 0. Minimise
// 2·x1 + 3·x2 subject to x1 + x2 >= 4 (x1 = 4, Z = 8): x2 costs 1 more than it saves.
TEST(Ranging, NonBasicUnknownAndDefaultNames) {
    ProblemData d;
    d.G = 1;
    d.N = 2;
    d.A = {{1, 1}};
    d.C = {2, 3};
    d.B = {4};
    Solved s;
    const Ranges r = rangeOf(d, s, {}, {});
    const ColumnRange& x2 = r.columns[1];
    EXPECT_EQ(x2.name, "X[2]");
    EXPECT_FALSE(x2.basic);
    EXPECT_NEAR(static_cast<double>(x2.reducedCost), 1, 1e-15);
    EXPECT_NEAR(static_cast<double>(x2.costLower), 2, 1e-15);
    EXPECT_TRUE(std::isinf(x2.costUpper));
    EXPECT_EQ(x2.limitingAtCostLower, "X[1]");
    EXPECT_NEAR(static_cast<double>(x2.activityUpper), 4, 1e-15);
    EXPECT_NEAR(static_cast<double>(*x2.objectiveAtActivityUpper), 12, 1e-14);
    // The ">=" row: its shadow price is −2 (Z grows by 2 per unit of B), its range [0, +∞).
    const RowRange& row = r.rows[0];
    EXPECT_EQ(row.name, "1");
    EXPECT_NEAR(static_cast<double>(row.shadowPrice), -2, 1e-15);
    EXPECT_NEAR(static_cast<double>(row.rhsLower), 0, 1e-15);
    EXPECT_TRUE(std::isinf(row.rhsUpper));
    EXPECT_EQ(row.limitingAtRhsLower, "X[1]");
}

struct FlagCase {
    const char* what;
    ProblemData data;
    bool degenerate, otherOptima;
};

ProblemData lessRows(std::vector<std::vector<Real>> A, std::vector<Real> C, std::vector<Real> B) {
    ProblemData d;
    d.L = static_cast<int32_t>(A.size());
    d.N = static_cast<int32_t>(C.size());
    d.A = std::move(A);
    d.C = std::move(C);
    d.B = std::move(B);
    return d;
}

// Minimise −x1 subject to x1 <= 2 and x1 + x2 <= 2: row 1's slack stays basic at 0.
// Minimise −x1 − x2 subject to x1 + x2 <= 4: x2 prices at exactly 0.
TEST(Ranging, DegenerateAndOtherOptimaCarryTheirLines) {
    const FlagCase cases[] = {
        {"degenerate", lessRows({{1, 0}, {1, 1}}, {-1, 0}, {2, 2}), true, false},
        {"other optima", lessRows({{1, 1}}, {-1, -1}, {4}), false, true},
        {"neither", productMix(), false, false},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.what);
        Solved s;
        const Ranges r = rangeOf(c.data, s, {}, {});
        EXPECT_EQ(r.degenerate, c.degenerate);
        EXPECT_EQ(r.otherOptima, c.otherOptima);
        report::ReportDocument doc;
        WriteSensitivityReport(r, ',', doc);
        const auto lines = doc.lines();
        auto has = [&](const char* line) {
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        };
        EXPECT_EQ(has(kDegenerateLine), c.degenerate);
        EXPECT_EQ(has(kOtherOptimaLine), c.otherOptima);
    }
}

TEST(Ranging, LeavesTheSolvedProblemAsItWas) {
    Solved s;
    kvado::test::solveProblem(productMix(), s);
    const LpProblem before = s.problem;
    computeRanges(s.problem, {}, {});
    for (int32_t i = 1; i <= before.M + 2; ++i)
        for (int32_t k = 0; k <= before.M + 1; ++k)
            ASSERT_EQ(before.inverse(i, k), s.problem.inverse(i, k)) << i << "," << k;
    EXPECT_EQ(before.basis, s.problem.basis);
    EXPECT_EQ(before.pricing, s.problem.pricing);
}

TEST(RangingReport, SectionLinesUpItsColumnsWithTheUsersSeparator) {
    Solved s;
    const Ranges r = rangeOf(productMix(), s, {"x1", "Очень длинное имя x2"}, {"r1", "r2", "r3"});
    report::ReportDocument doc;
    doc.append("before");
    WriteSensitivityReport(r, ',', doc);
    const auto& paras = doc.paragraphs();
    ASSERT_GT(paras.size(), 3u);
    EXPECT_EQ(paras[1].text(), kSensitivityHeading);
    EXPECT_EQ(paras[1].runs[0].format, report::ReportDocument::headingFormat());
    const auto lines = doc.lines();
    auto line = [&](const std::string& start) {
        for (const auto& l : lines)
            if (l.rfind(start, 0) == 0) return l;
        return std::string();
    };
    // x1: value 2, cost −3, lower end −7,5 with Z −45, allowed decrease 4,5, limited by r2.
    EXPECT_EQ(line("X[  1]"), "X[  1]           x1 баз.              2           -3         -7,5"
                              "          -45          4,5  r2");
    // The long name keeps its last 12 characters; its cost has no lower end.
    EXPECT_EQ(line("X[  2]"), "X[  2] инное имя x2 баз.              6           -5           −∞"
                              "            —           +∞  —");
    EXPECT_EQ(line("B[  1]"), "B[  1]           r1 <=                2            4            2"
                              "          -36            2  r1");
    // The line below a row: slack, shadow price, upper end, Z there, increase, limiting.
    const auto at = std::find(lines.begin(), lines.end(), line("B[  1]"));
    ASSERT_NE(at + 1, lines.end());
    EXPECT_EQ(*(at + 1), std::string(26, ' ') + "            2            0           +∞"
                                                "          -36           +∞  —");
}

TEST(RangingReport, JsonHasTheAgreedShape) {
    Solved s;
    const Ranges r = rangeOf(productMix(), s, {"x\"1", "x2"}, {"r1", "r2", "r3"});
    const std::string j = rangesJson(r);
    EXPECT_EQ(j.rfind("\"ranges\": {\"degenerate\": false, \"other_optima\": false, "
                      "\"columns\": [{\"name\": \"x\\\"1\", \"status\": \"basic\", \"value\": 2",
                      0),
              0u)
        << j;
    EXPECT_NE(j.find("\"name\": \"x2\", \"status\": \"basic\", \"value\": 6, \"cost\": -5, "
                     "\"reduced_cost\": 0, \"cost_lower\": null, \"cost_upper\": -2, "
                     "\"objective_at_cost_lower\": null, \"objective_at_cost_upper\": -18, "
                     "\"limiting_at_cost_lower\": null, \"limiting_at_cost_upper\": \"r2\"}]"),
              std::string::npos)
        << j;
    EXPECT_NE(j.find("\"rows\": [{\"name\": \"r1\", \"activity\": 2, \"rhs\": 4, "
                     "\"shadow_price\": 0, \"rhs_lower\": 2, \"rhs_upper\": null, "
                     "\"objective_at_rhs_lower\": -36, \"objective_at_rhs_upper\": -36, "
                     "\"limiting_at_rhs_lower\": \"r1\", \"limiting_at_rhs_upper\": null}"),
              std::string::npos)
        << j;
    EXPECT_EQ(j.substr(j.size() - 2), "]}");
}

} // namespace
