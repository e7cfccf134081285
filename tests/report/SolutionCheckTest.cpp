// The solution check: the analysis grid's numbers, the tolerances of every kind of row, the
// messages, the verdicts and the control number.
#include <gtest/gtest.h>

#include "ReportFixture.h"

using namespace kvado;
using namespace kvado::report;
using namespace kvado_test;

namespace {

// One constraint row as the check meets it: its kind ('>', '=' or '<'), its row activity, its
// right-hand side and its shadow price.
struct Row {
    char kind;
    Real activity;
    Real b;
    Real pi = 0;
};

// A problem whose row i is X[i] (kind) B[i], with X[i] basic in row i at the row's activity
// and the given shadow prices; rows must come ">=" first, then "=", then "<=".
struct Checked {
    LpProblem p;
    ReportDocument doc;
    ResultsModel results;
    SolutionCheck check;
    bool feasible = false;

    Checked(const std::vector<Row>& rows, char sep, int32_t flagsBefore = 0) {
        int G = 0, E = 0, L = 0;
        for (const Row& r : rows)
            (r.kind == '>' ? G : r.kind == '=' ? E : L)++;
        const int M = G + E + L;
        std::string data = std::to_string(G) + " " + std::to_string(E) + " " + std::to_string(L) +
                           " " + std::to_string(M) + " 1E-8\n";
        for (int i = 0; i < M; ++i) {
            for (int j = 0; j < M; ++j)
                data += i == j ? "1 " : "0 ";
            data += "\n";
        }
        for (int j = 0; j < M; ++j)
            data += "0 ";
        data += "\n";
        for (const Row& r : rows)
            data += text::formatRoundTrip(r.b) + " ";
        load(p, data);
        for (int32_t i = 1; i <= M; ++i) {
            const Row& r = rows[static_cast<size_t>(i - 1)];
            EXPECT_EQ(p.initialRhs[static_cast<size_t>(i)], r.b);
            p.basis[static_cast<size_t>(i)] = i;
            p.inverse(i, 0) = r.activity;
            p.inverse(M + 1, i) = r.pi;
            check.resize(M);
            check.slackFlags[static_cast<size_t>(i)] = flagsBefore;
        }
        const auto grid = newTableGrid(G, E, L, M);
        SetUpResultGrids(p, *grid, results);
        feasible = CheckSolution(p, sep, doc, results, check);
    }
    Lines lines() const { return doc.lines(); }
    // The messages: after the two empty lines, up to the empty line before the verdict.
    Lines messages() const {
        const Lines all = lines();
        EXPECT_GE(all.size(), 4u);
        EXPECT_EQ(all.at(0), "");
        EXPECT_EQ(all.at(1), "");
        const auto verdict = std::find_if(all.begin(), all.end(), [](const std::string& l) {
            return l.starts_with("Полученное решение является");
        });
        if (verdict == all.end() || verdict - all.begin() < 3) return {"(no verdict)"};
        EXPECT_EQ(*(verdict - 1), "");
        return Lines(all.begin() + 2, verdict - 1);
    }
};

const char* const kFeasible = "Полученное решение является допустимым. (ограничения выполнены)";
const char* const kInfeasible = "Полученное решение является НЕДОПУСТИМЫМ";
const char* const kOptimal = "Полученное решение является оптимальным.";

std::string controlLine(const std::string& number) {
    return "Контрольное число = " + number + " - ( должно быть близко к нулю )";
}

} // namespace

TEST(CheckSolution, ToleranceOfEveryKindOfRow) {
    struct Case {
        const char* what;
        Row row;
        bool met;
        int32_t flag; // 7: kept from before the check
        const char* message;
    };
    const Case cases[] = {
        {">= just below B: met and binding", {'>', 0.99995L, 1}, true, 0, nullptr},
        {">= at B - 0.0002: not met",
         {'>', 0.9998L, 1},
         false,
         7,
         "Ограничение №1 НЕ выполнено: 0,9998 >= 1"},
        {">= at B - 0.0005: not met",
         {'>', 0.9995L, 1},
         false,
         7,
         "Ограничение №1 НЕ выполнено: 0,9995 >= 1"},
        {">= just above B: binding", {'>', 1.0005L, 1}, true, 0, nullptr},
        {">= above B: slack", {'>', 1.002L, 1}, true, 1, nullptr},
        {"<= at B - 0.0005: binding", {'<', 0.9995L, 1}, true, 0, nullptr},
        {"<= at B - 0.002: slack", {'<', 0.998L, 1}, true, 1, nullptr},
        {"<= just above B: met and binding", {'<', 1.00005L, 1}, true, 0, nullptr},
        {"<= at B + 0.0002: not met",
         {'<', 1.0002L, 1},
         false,
         7,
         "Ограничение №1 НЕ выполнено 1,0002 <= 1"},
        {"= both 0", {'=', 0, 0}, true, 0, nullptr},
        {"= B 0 with a residue", {'=', 1E-18L, 0}, true, 0, nullptr},
        {"= B 0 with a residue below 0", {'=', -3E-17L, 0}, true, 0, nullptr},
        {"= 1000 against 1000.05", {'=', 1000, 1000.05L}, true, 0, nullptr},
        {"= 1000 against 1000.2",
         {'=', 1000, 1000.2L},
         false,
         1,
         "Ограничение №1 НЕ выполнено 1000 = 1000,2"},
        {"= 2000 against 2000.1", {'=', 2000, 2000.1L}, true, 0, nullptr},
        {"= 1 against 1.0002",
         {'=', 1, 1.0002L},
         false,
         1,
         "Ограничение №1 НЕ выполнено 1 = 1,0002"},
        {"= 0.5 against 0.50008: never tighter than 0.0001",
         {'=', 0.5L, 0.50008L},
         true,
         0,
         nullptr},
        {"= 0.5 against 0.5002",
         {'=', 0.5L, 0.5002L},
         false,
         1,
         "Ограничение №1 НЕ выполнено 0,5 = 0,5002"},
        {"= B 0 with 0.001", {'=', 0.001L, 0}, false, 1, "Ограничение №1 НЕ выполнено 0,001 = 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Checked k({c.row}, ',', 7);
        EXPECT_EQ(k.feasible, c.met);
        EXPECT_EQ(k.check.slackFlags[1], c.flag);
        EXPECT_EQ(k.check.rowActivity[1], c.row.activity);
        EXPECT_EQ(k.messages(), c.message ? Lines{c.message} : Lines{});
        EXPECT_EQ(k.lines().back(), c.met ? controlLine("0") : kInfeasible);
    }
}

TEST(CheckSolution, MessagesInTheOrderOfTheRowsUnderEitherSeparator) {
    const std::vector<Row> rows = {
        {'>', 0.5L, 1}, {'>', 3, 2}, {'=', 2, 3}, {'<', 1, 2}, {'<', 2.5L, 2}};
    struct Case {
        char sep;
        Lines messages;
    };
    const Case cases[] = {
        {',',
         {"Ограничение №1 НЕ выполнено: 0,5 >= 1", "Ограничение №3 НЕ выполнено 2 = 3",
          "Ограничение №5 НЕ выполнено 2,5 <= 2"}},
        {'.',
         {"Ограничение №1 НЕ выполнено: 0.5 >= 1", "Ограничение №3 НЕ выполнено 2 = 3",
          "Ограничение №5 НЕ выполнено 2.5 <= 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sep);
        Checked k(rows, c.sep);
        EXPECT_FALSE(k.feasible);
        EXPECT_EQ(k.messages(), c.messages);
    }
}

TEST(CheckSolution, MessageNumbersInTheGeneralFormat) {
    Checked k({{'<', 0.12345678901234567L, 0.00001L}, {'<', 3, 1E20L}, {'<', 2.5E20L, 1E20L}}, ',');
    EXPECT_EQ(k.messages(), (Lines{"Ограничение №1 НЕ выполнено 0,123456789012346 <= 1E-5",
                                   "Ограничение №3 НЕ выполнено 2,5E20 <= 1E20"}));
}

TEST(CheckSolution, VerdictAndControlNumber) {
    struct Case {
        const char* what;
        std::vector<Row> rows;
        char sep;
        Lines tail; // the lines after the empty line that follows the messages
    };
    const Case cases[] = {
        {"a row not met: no control number even when it would be 0",
         {{'<', 0.5L, 1}, {'<', 1.5L, 1}},
         ',',
         {kInfeasible}},
        {"a slack row with a price: feasible only",
         {{'<', 0.998L, 1, 0.5L}},
         ',',
         {kFeasible, " "}},
        {"a control number of exactly 0.0001 is not close to zero",
         {{'<', 0.5L, 1, 0.0001L}},
         ',',
         {kFeasible, " "}},
        {"a binding row's price does not count",
         {{'>', 1.0005L, 1, 7}, {'<', 0.5L, 1, 0}, {'<', 0.9995L, 1, -3}},
         ',',
         {kFeasible, " ", kOptimal, controlLine("0")}},
        {"an equality's price does not count",
         {{'=', 2, 2, 3}, {'<', 0, 1, 0}},
         '.',
         {kFeasible, " ", kOptimal, controlLine("0")}},
        {"prices of slack rows are added up",
         {{'>', 2, 1, 0.25L}, {'<', 0, 1, -0.25L}},
         ',',
         {kFeasible, " ", kOptimal, controlLine("0")}},
        {"a small control number in the general format",
         {{'<', 0.5L, 1, -0.00005L}},
         ',',
         {kFeasible, " ", kOptimal, controlLine("-5E-5")}},
        {"the user's separator in the control number",
         {{'<', 0.5L, 1, 0.00001234567L}},
         ',',
         {kFeasible, " ", kOptimal, controlLine("1,234567E-5")}},
        {"the user's separator in the control number, point",
         {{'<', 0.5L, 1, 0.00001234567L}},
         '.',
         {kFeasible, " ", kOptimal, controlLine("1.234567E-5")}},
        {"no rows at all", {}, ',', {kFeasible, " ", kOptimal, controlLine("0")}},
        {"an unknown below 0 with every row met: not feasible, and the line names it",
         {{'<', 0.5L, 1}, {'<', -0.0658L, 1}},
         ',',
         {kInfeasible, "Неизвестная X[2] = -0,0658 < 0"}},
        {"an unknown below 0 within the tolerance",
         {{'<', -0.00005L, 1}},
         ',',
         {kFeasible, " ", kOptimal, controlLine("0")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Checked k(c.rows, c.sep);
        const Lines lines = k.lines();
        ASSERT_GE(lines.size(), c.tail.size() + 1);
        EXPECT_EQ(Lines(lines.end() - static_cast<long>(c.tail.size()), lines.end()), c.tail);
        EXPECT_EQ(lines[lines.size() - c.tail.size() - 1], "");
        EXPECT_EQ(k.feasible, c.tail.front() == kFeasible);
    }
}

TEST(ComputeResourceUse, ProductsActivitiesAndAvailableAmounts) {
    // Constraint 1: X2 + 123456 X3 >= 5; constraint 2: 2 X1 - 3 X2 + 0.5 X3 <= 1. X3 = 1 is
    // basic in row 1, X1 = 0.25 in row 2, X2 is not basic.
    struct Case {
        char sep;
        Lines constraint1, constraint2; // SG2 rows 3 and 4, columns 0..N+3
    };
    const Case cases[] = {
        {',',
         {" Не заполнено", "0", "0", "1,2346E05", "1,2346E05", ">=", "5"},
         {" Не заполнено", "0,5", "0", "0,5", "1", "<=", "1"}},
        {'.',
         {" Не заполнено", "0", "0", "1.2346E05", "1.2346E05", ">=", "5"},
         {" Не заполнено", "0.5", "0", "0.5", "1", "<=", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sep);
        LpProblem p;
        load(p, "1 0 1 3 1E-8\n0 1 123456\n2 -3 0.5\n0 0 0\n5 1\n");
        const auto grid = newTableGrid(1, 0, 1, 3);
        ResultsModel r;
        SolutionCheck check;
        SetUpResultGrids(p, *grid, r);
        for (const int col : {1, 2, 3, 4, 6, 7}) // all but the relation
            r.SG2.setCell(col, 3, "stale");
        p.basis[1] = 3;
        p.inverse(1, 0) = 1;
        p.basis[2] = 1;
        p.inverse(2, 0) = 0.25L;
        ComputeResourceUse(p, c.sep, r, check);
        Lines row3, row4;
        for (int col = 0; col <= 6; ++col) {
            row3.push_back(r.SG2.cell(col, 3));
            row4.push_back(r.SG2.cell(col, 4));
        }
        EXPECT_EQ(row3, c.constraint1);
        EXPECT_EQ(row4, c.constraint2);
        EXPECT_EQ(r.SG2.cell(7, 3), "stale"); // the shadow price is not the check's
        EXPECT_EQ(check.rowActivity[1], 123456);
        EXPECT_EQ(check.rowActivity[2], 1);

        // With the surplus of row 1 (column 4) and the slack of row 2 (column 5) basic
        // instead, every unknown is 0.
        p.basis[1] = 4;
        p.basis[2] = 5;
        ComputeResourceUse(p, c.sep, r, check);
        EXPECT_EQ(r.SG2.cell(3, 3), "0");
        EXPECT_EQ(r.SG2.cell(2, 4), "0"); // -3 x 0 is no negative zero
        EXPECT_EQ(r.SG2.cell(4, 4), "0");
        EXPECT_EQ(check.rowActivity[1], 0);
        EXPECT_EQ(check.rowActivity[2], 0);
    }
}

TEST(ComputeResourceUse, UsesTheRightHandSidesAsLoaded) {
    // Minimise -X1 - 2 X2 subject to X1 + X2 <= 4 and X2 <= 3: X2 = 3, X1 = 1, so the inverse
    // table's column 0 holds 1 in row 1 while B[1] is 4.
    auto s = solveText("0 0 2 2 1E-8\n1 1\n0 1\n-1 -2\n4 3\n", '.');
    ASSERT_EQ(s->outcome, SolveOutcome::Optimal);
    const auto& g = s->results.SG2;
    EXPECT_EQ((Lines{g.cell(1, 3), g.cell(2, 3), g.cell(3, 3), g.cell(5, 3), g.cell(6, 3)}),
              (Lines{"1", "3", "4", "4", "1"}));
    EXPECT_EQ((Lines{g.cell(1, 4), g.cell(2, 4), g.cell(3, 4), g.cell(5, 4), g.cell(6, 4)}),
              (Lines{"0", "3", "3", "3", "1"}));
}
