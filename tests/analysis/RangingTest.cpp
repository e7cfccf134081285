// Ranging on problems worked by hand, and the section and JSON the user reads.
#include <gtest/gtest.h>

#include <cmath>

#include "../solver/TestSupport.h"
#include "analysis/RangingReport.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;
using kvado::test::ProblemData;

constexpr Real kInf = std::numeric_limits<Real>::infinity();

Ranges solveAndRange(const ProblemData& d, const std::vector<std::string>& cols = {}) {
    kvado::test::Solved s;
    kvado::test::solveProblem(d, s);
    EXPECT_EQ(s.outcome, SolveOutcome::Optimal);
    return computeRanges(s.problem, cols, {"r1", "r2", "r3"});
}

ProblemData lessRows(std::vector<std::vector<Real>> A, std::vector<Real> C, std::vector<Real> B) {
    ProblemData d;
    d.L = static_cast<int32_t>(A.size());
    d.N = static_cast<int32_t>(C.size());
    d.A = std::move(A), d.C = std::move(C), d.B = std::move(B);
    return d;
}

// The textbook product mix: maximise 3·x1 + 5·x2 subject to x1 <= 4, 2·x2 <= 12,
// 3·x1 + 2·x2 <= 18, entered as the minimum of −3·x1 − 5·x2; optimum x1 = 2, x2 = 6, Z = −36.
// On paper: with rows 2 and 3 binding, x1 = (B3 − B2)/3 and x2 = B2/2, so 0 <= x1 <= 4 gives
// B2 in [6, 18] and B3 in [12, 24]; the binding slacks' reduced costs −C2/2 + C1/3 and −C1/3
// stay >= 0 for C1 in [−7.5, 0] and C2 <= −2. Pi = (0, 1.5, 1).
ProblemData productMix() {
    return lessRows({{1, 0}, {0, 2}, {3, 2}}, {-3, -5}, {4, 12, 18});
}

struct End {
    Real at;
    std::optional<Real> z;
    std::optional<std::string> limiting;
};

void expectEnd(Real at, const std::optional<Real>& z, const std::optional<std::string>& limiting,
               const End& e) {
    EXPECT_TRUE(at == e.at || std::fabs(at - e.at) < 1e-13L) << at << " vs " << e.at;
    EXPECT_EQ(z.has_value(), e.z.has_value());
    if (z && e.z) {
        EXPECT_NEAR(static_cast<double>(*z), static_cast<double>(*e.z), 1e-13);
    }
    EXPECT_EQ(limiting, e.limiting);
}

TEST(Ranging, ProductMixWorkedOnPaper) {
    const Ranges r = solveAndRange(productMix(), {"x1", "x2"});
    EXPECT_FALSE(r.degenerate || r.otherOptima);
    const End cols[][2] = {{{-7.5L, -45, "r2"}, {0, -30, "r3"}},
                           {{-kInf, {}, {}}, {-2, -18, "r2"}}};
    for (size_t k = 0; k < 2; ++k) {
        const ColumnRange& c = r.columns[k];
        EXPECT_TRUE(c.basic);
        expectEnd(c.costLower, c.objectiveAtCostLower, c.limitingAtCostLower, cols[k][0]);
        expectEnd(c.costUpper, c.objectiveAtCostUpper, c.limitingAtCostUpper, cols[k][1]);
    }
    // Row 1 has room 2: its B may fall to 2, where its slack leaves, and rise freely.
    const End rows[][2] = {{{2, -36, "r1"}, {kInf, -36, {}}},
                           {{6, -27, "r1"}, {18, -45, "x1"}},
                           {{12, -30, "x1"}, {24, -42, "r1"}}};
    const Real pi[] = {0, 1.5L, 1};
    for (size_t k = 0; k < 3; ++k) {
        const RowRange& row = r.rows[k];
        EXPECT_EQ(row.binding, k != 0);
        EXPECT_NEAR(static_cast<double>(row.shadowPrice), static_cast<double>(pi[k]), 1e-15);
        expectEnd(row.rhsLower, row.objectiveAtRhsLower, row.limitingAtRhsLower, rows[k][0]);
        expectEnd(row.rhsUpper, row.objectiveAtRhsUpper, row.limitingAtRhsUpper, rows[k][1]);
    }
}

// Minimise −x1 subject to x1 <= 2 and x1 + x2 <= 2: row 1's slack stays basic at 0.
// Minimise −x1 − x2 subject to x1 + x2 <= 4: x2 prices at exactly 0.
TEST(Ranging, DegenerateAndOtherOptimaCarryTheirLines) {
    const struct {
        ProblemData data;
        bool degenerate, otherOptima;
    } cases[] = {{lessRows({{1, 0}, {1, 1}}, {-1, 0}, {2, 2}), true, false},
                 {lessRows({{1, 1}}, {-1, -1}, {4}), false, true},
                 {productMix(), false, false}};
    for (const auto& c : cases) {
        const Ranges r = solveAndRange(c.data);
        EXPECT_EQ(r.degenerate, c.degenerate);
        EXPECT_EQ(r.otherOptima, c.otherOptima);
        EXPECT_EQ(r.columns[1].name, "X[2]"); // no names given
        report::ReportDocument doc;
        WriteSensitivityReport(r, ',', doc);
        const auto lines = doc.lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kDegenerateLine), c.degenerate);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kOtherOptimaLine), c.otherOptima);
    }
}

TEST(RangingReport, SectionAndJson) {
    const Ranges r = solveAndRange(productMix(), {"x\"1", "Очень длинное имя x2"});
    report::ReportDocument doc;
    WriteSensitivityReport(r, ',', doc);
    EXPECT_EQ(doc.paragraphs()[0].text(), kSensitivityHeading);
    EXPECT_EQ(doc.paragraphs()[0].runs[0].format, report::ReportDocument::headingFormat());
    const auto lines = doc.lines();
    const auto x2 = std::find_if(lines.begin(), lines.end(),
                                 [](const std::string& l) { return l.rfind("X[  2]", 0) == 0; });
    ASSERT_NE(x2, lines.end());
    // Value, cost, lower end, Z there, decrease, limiting; the name keeps its last 12 letters.
    EXPECT_EQ(*x2, "X[  2] инное имя x2 баз.              6           -5           −∞"
                   "            —           +∞  —");
    EXPECT_EQ(*(x2 + 1), std::string(39, ' ') + "            0           -2          -18"
                                                "            3  r2");
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "B[  2]           r2 <=               12           12            6"
                        "          -27            6  r1"),
              lines.end());

    text::JsonWriter w;
    rangesJson(w.beginObject().key("ranges"), r);
    const std::string object = w.endObject().text();
    const std::string j = object.substr(1, object.size() - 2);
    EXPECT_EQ(j.rfind("\"ranges\": {\"degenerate\": false, \"other_optima\": false, \"columns\": "
                      "[{\"name\": \"x\\\"1\", \"status\": \"basic\", \"value\": 2, ",
                      0),
              0u)
        << j;
    for (const char* part :
         {"\"cost\": -5, \"reduced_cost\": 0, \"cost_lower\": null, \"cost_upper\": -2, "
          "\"objective_at_cost_lower\": null, \"objective_at_cost_upper\": -18, "
          "\"limiting_at_cost_lower\": null, \"limiting_at_cost_upper\": \"r2\"}], \"rows\": [",
          "{\"name\": \"r1\", \"activity\": 2, \"rhs\": 4, \"shadow_price\": 0, \"rhs_lower\": 2, "
          "\"rhs_upper\": null, \"objective_at_rhs_lower\": -36, \"objective_at_rhs_upper\": -36, "
          "\"limiting_at_rhs_lower\": \"r1\", \"limiting_at_rhs_upper\": null}, "})
        EXPECT_NE(j.find(part), std::string::npos) << part;
}

} // namespace
