// The results window's grids and the report lines of the two report writers, from states of
// the problem set up by hand and from whole solves.
#include <gtest/gtest.h>

#include "ReportFixture.h"

using namespace kvado;
using namespace kvado::report;
using namespace kvado_test;

namespace {

// A loaded problem whose final state the test sets by hand: which column is basic in each row
// with what value, the shadow prices and -Z.
struct Handmade {
    LpProblem p;
    std::unique_ptr<StringGridModel> grid;
    ReportDocument doc;
    ResultsModel results;

    // Every number of the problem 0 except B[i] = 1.
    Handmade(int G, int E, int L, int N) : Handmade(zeroProblem(G, E, L, N)) {}
    explicit Handmade(std::string_view dataText) {
        load(p, dataText);
        grid = newTableGrid(p.G, p.E, p.L, p.N);
        SetUpResultGrids(p, *grid, results);
    }
    static std::string zeroProblem(int G, int E, int L, int N) {
        std::string text = std::to_string(G) + " " + std::to_string(E) + " " + std::to_string(L) +
                           " " + std::to_string(N) + " 1E-8\n";
        const int M = G + E + L;
        for (int k = 0; k < M * N + N; ++k)
            text += "0 ";
        for (int i = 0; i < M; ++i)
            text += "1 ";
        return text;
    }
    // basis[i-1] is the column basic in row i, values[i-1] its value.
    void setBasis(const std::vector<int32_t>& basis, const std::vector<Real>& values) {
        std::fill(p.basic.begin(), p.basic.end(), 0);
        for (int32_t i = 1; i <= p.M; ++i) {
            p.basis[static_cast<size_t>(i)] = basis[static_cast<size_t>(i - 1)];
            p.basic[static_cast<size_t>(basis[static_cast<size_t>(i - 1)])] = 1;
            p.inverse(i, 0) = values[static_cast<size_t>(i - 1)];
        }
    }
    void setShadowPrices(const std::vector<Real>& pi) {
        for (int32_t i = 1; i <= p.M; ++i)
            p.inverse(p.M + 1, i) = pi[static_cast<size_t>(i - 1)];
    }
    void write(char sep = ',', std::string dateTime = kTestDateTime) {
        const ReportContext ctx{grid.get(), sep, std::move(dateTime)};
        WriteSolutionReport(p, ctx, doc, results);
        WriteShadowPrices(p, ctx, doc, results);
    }
    std::vector<std::string> sg3Values() const {
        std::vector<std::string> out;
        for (int j = 1; j <= p.N; ++j)
            out.push_back(results.SG3.cell(j, 2));
        return out;
    }
    // Report lines 6 (the plan lines): between the blank after "Оптимальный план" and the
    // blank before the objective row's caption.
    Lines planLines() const {
        const Lines all = doc.lines();
        const auto caption = std::find(all.begin(), all.end(), "    Коэффициенты целевой ф-ии");
        EXPECT_NE(caption, all.end());
        if (caption == all.end() || caption - all.begin() < 6) return {};
        EXPECT_EQ(*(caption - 1), " ");
        return Lines(all.begin() + 5, caption - 1);
    }
};

Lines rowOf(const StringGridModel& g, int row) {
    Lines out;
    for (int c = 0; c < g.colCount(); ++c)
        out.push_back(g.cell(c, row));
    return out;
}

std::vector<int> widthsOf(const StringGridModel& g) {
    std::vector<int> out;
    for (int c = 0; c < g.colCount(); ++c)
        out.push_back(g.colWidth(c));
    return out;
}

} // namespace

// ---- SetUpResultGrids -------------------------------------------------------------------

TEST(SetUpResultGrids, HeadingsOfANewTableWithTheStartCounts) {
    LpProblem p;
    load(p, "1 1 1 3 1E-8\n1 1 1\n1 1 1\n1 1 1\n1 1 1\n1 1 1\n");
    const auto grid = newTableGrid(1, 1, 1, 3);
    ResultsModel r;
    SetUpResultGrids(p, *grid, r);

    EXPECT_EQ(r.SG3.colCount(), 4);
    EXPECT_EQ(r.SG3.rowCount(), 3);
    EXPECT_EQ(r.SG3.fixedCols(), 1);
    EXPECT_EQ(r.SG3.fixedRows(), 2);
    EXPECT_EQ(rowOf(r.SG3, 0), (Lines{" Неизвестные --> ", " X1", " X2", " X3"}));
    EXPECT_EQ(rowOf(r.SG3, 1), (Lines{"", " Не заполн.", " Не заполн.", " Не заполн."}));
    EXPECT_EQ(r.SG3.cell(0, 2), " Решение:");

    EXPECT_EQ(r.SG2.colCount(), 8);
    EXPECT_EQ(r.SG2.rowCount(), 6);
    EXPECT_EQ(r.SG2.fixedCols(), 1);
    EXPECT_EQ(r.SG2.fixedRows(), 3);
    EXPECT_EQ(rowOf(r.SG2, 0), (Lines{" Неизвестные -->", " X1", " X2", " X3", "", "", "", ""}));
    EXPECT_EQ(rowOf(r.SG2, 1), (Lines{"", " Не заполн.", " Не заполн.", " Не заполн.", " Расход",
                                      " Сравнен.", " Наличие", " Тен.цена"}));
    EXPECT_EQ(rowOf(r.SG2, 2),
              (Lines{" Ограничения (ниже):", " A*X1", " A*X2", " A*X3", "", "", "", ""}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(r.SG2.cell(0, i + 2), " Не заполнено") << i;
    EXPECT_EQ(r.SG2.cell(5, 3), ">=");
    EXPECT_EQ(r.SG2.cell(5, 4), "=");
    EXPECT_EQ(r.SG2.cell(5, 5), "<=");

    EXPECT_EQ(widthsOf(r.SG3), (std::vector<int>{250, 70, 70, 70}));
    EXPECT_EQ(widthsOf(r.SG2), (std::vector<int>{250, 70, 70, 70, 70, 70, 70, 76}));
}

TEST(SetUpResultGrids, SizesFollowTheInputGrid) {
    struct Case {
        int G, E, L, N;
        int sg3Cols, sg2Cols, sg2Rows;
    };
    const Case cases[] = {
        {1, 1, 1, 3, 4, 8, 6},
        {0, 0, 1, 1, 2, 6, 4}, // N = 1 and M = 1
        {0, 0, 0, 0, 1, 5, 3},
        {2, 0, 3, 5, 6, 10, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.G << " " << c.E << " " << c.L << " " << c.N);
        Handmade h(c.G, c.E, c.L, c.N);
        EXPECT_EQ(h.results.SG3.colCount(), c.sg3Cols);
        EXPECT_EQ(h.results.SG3.rowCount(), 3);
        EXPECT_EQ(h.results.SG2.colCount(), c.sg2Cols);
        EXPECT_EQ(h.results.SG2.rowCount(), c.sg2Rows);
    }
}

TEST(SetUpResultGrids, RelationColumnFollowsTheConstraintOrder) {
    Handmade h(2, 1, 2, 1);
    Lines relations;
    for (int i = 1; i <= 5; ++i)
        relations.push_back(h.results.SG2.cell(3, i + 2));
    EXPECT_EQ(relations, (Lines{">=", ">=", "=", "<=", "<="}));
}

TEST(SetUpResultGrids, NamesCaptionsAndWidthsComeFromTheInputGrid) {
    LpProblem p;
    load(p, "0 0 2 2 1E-8\n1 0\n0 1\n-1 -1\n1 1\n");
    const auto grid = newTableGrid(0, 0, 2, 2);
    grid->setCell(0, 0, " Ресурсы:");
    grid->setCell(0, 1, " Продукты:");
    grid->setCell(2, 1, " Стулья");
    grid->setCell(3, 1, " Столы");
    grid->setCell(0, 2, " Доски");
    grid->setCell(0, 3, " Гвозди");
    const int widths[] = {180, 50, 90, 60};
    for (int k = 0; k < 4; ++k)
        grid->setColWidth(k, widths[k]);
    ResultsModel r;
    SetUpResultGrids(p, *grid, r);

    EXPECT_EQ(rowOf(r.SG3, 0), (Lines{" Продукты:", " X1", " X2"}));
    EXPECT_EQ(rowOf(r.SG3, 1), (Lines{"", " Стулья", " Столы"}));
    EXPECT_EQ(r.SG2.cell(0, 0), " Неизвестные -->");
    EXPECT_EQ(r.SG2.cell(0, 2), " Ресурсы:");
    EXPECT_EQ(r.SG2.cell(1, 1), " Стулья");
    EXPECT_EQ(r.SG2.cell(2, 1), " Столы");
    EXPECT_EQ(r.SG2.cell(0, 3), " Доски");
    EXPECT_EQ(r.SG2.cell(0, 4), " Гвозди");
    // Column k of either grid takes input column k's width, so the solution grid's first
    // unknown gets the width of the right-hand side column.
    EXPECT_EQ(widthsOf(r.SG3), (std::vector<int>{180, 50, 90}));
    EXPECT_EQ(widthsOf(r.SG2), (std::vector<int>{180, 50, 90, 60, 60, 60, 66}));
}

TEST(SetUpResultGrids, LayingOutAgainKeepsTheValuesOfTheLastSolve) {
    auto s = solveText("0 0 1 2 1E-8\n1 1\n-1 -1\n4\n", ',');
    s->grid->setCell(2, 1, " Новое имя");
    s->grid->setCell(0, 2, " Новый ресурс");
    SetUpResultGrids(s->p, *s->grid, s->results);
    EXPECT_EQ(s->results.SG3.cell(1, 1), " Новое имя");
    EXPECT_EQ(s->results.SG2.cell(0, 3), " Новый ресурс");
    EXPECT_EQ(rowOf(s->results.SG3, 2), (Lines{" Решение:", "   4.000", "0"}));
    EXPECT_EQ(rowOf(s->results.SG2, 3), (Lines{" Новый ресурс", "4", "0", "4", "<=", "4", "1"}));
}

// ---- WriteSolutionReport: values of the unknowns and plan lines --------------------------

TEST(WriteSolutionReport, ValuesAndPlanLinesFollowTheBasis) {
    struct Case {
        const char* what;
        std::vector<int32_t> basis;
        std::vector<Real> values;
        std::vector<std::string> sg3;
        Lines plan;
    };
    // N = 3, L = 2: columns 4 and 5 are the slacks of rows 1 and 2.
    const std::string f1 = blanks(20) + "Сталь", f2 = blanks(20) + "Медь ",
                      f3 = blanks(20) + "Уголь";
    const Case cases[] = {
        {"an unknown basic at 0",
         {1, 3},
         {0, 2.5L},
         {"   0.000", "0", "   2.500"},
         {"X[  1] ( " + f1 + " ) =    0.000", "X[  3] ( " + f3 + " ) =    2.500"}},
        {"plan lines in the order of the rows",
         {3, 1},
         {7, 0.125L},
         {"   0.125", "0", "   7.000"},
         {"X[  3] ( " + f3 + " ) =    7.000", "X[  1] ( " + f1 + " ) =    0.125"}},
        {"a slack in the basis adds nothing",
         {5, 2},
         {3, 12345.6789L},
         {"0", "12345.679", "0"},
         {"X[  2] ( " + f2 + " ) = 12345.679"}},
        {"only slacks in the basis", {4, 5}, {1, 1}, {"0", "0", "0"}, {}},
        {"a residue below zero is no negative zero",
         {2, 4},
         {-1E-18L, 3},
         {"0", "   0.000", "0"},
         {"X[  2] ( " + f2 + " ) =    0.000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Handmade h(0, 0, 2, 3);
        h.grid->setCell(2, 1, "Сталь");
        h.grid->setCell(3, 1, "Медь ");
        h.grid->setCell(4, 1, "Уголь");
        SetUpResultGrids(h.p, *h.grid, h.results);
        for (int j = 1; j <= 3; ++j)
            h.results.SG3.setCell(j, 2, "from the last solve");
        h.setBasis(c.basis, c.values);
        h.write();
        EXPECT_EQ(h.sg3Values(), c.sg3);
        EXPECT_EQ(h.planLines(), c.plan);
    }
}

TEST(WriteSolutionReport, ReportLinesAndTheirFormats) {
    Handmade h("0 0 1 2 1E-8\n1 1\n-1 -1\n4\n");
    h.p.dataFileName = "zad1.dat";
    h.setBasis({1}, {4});
    h.setShadowPrices({1});
    h.p.inverse(2, 0) = 4; // -Z
    // A default format left from elsewhere does not survive: the writer sets its own.
    CharFormat red = ReportDocument::baseFormat();
    red.rgb = 0xFF0000;
    h.doc.setDefaultFormat(red);
    h.write();
    SolutionCheck check;
    CheckSolution(h.p, ',', h.doc, h.results, check);

    const Lines expected = {
        "     РЕШЕНИЕ",
        "Файл данных: zad1.dat  01.02.2024 10:20:30",
        " ",
        "   Оптимальный план",
        " ",
        "X[  1] ( " + blanks(14) + " Не заполн. ) =    4.000",
        " ",
        "    Коэффициенты целевой ф-ии",
        " ",
        "Значение = -4.00",
        " ",
        " Теневые цены ресурсов (Pi)",
        " ",
        "Pi[  1] ( " + blanks(20) + " Не заполнено ) =    1.000",
        "",
        "",
        "",
        "Полученное решение является допустимым. (ограничения выполнены)",
        " ",
        "Полученное решение является оптимальным.",
        "Контрольное число = 0 - ( должно быть близко к нулю )",
    };
    EXPECT_EQ(h.doc.lines(), expected);

    const auto& paragraphs = h.doc.paragraphs();
    ASSERT_EQ(paragraphs.size(), expected.size());
    for (size_t k = 0; k < paragraphs.size(); ++k) {
        SCOPED_TRACE(k + 1);
        ASSERT_EQ(paragraphs[k].runs.size(), 1u);
        const CharFormat& f = paragraphs[k].runs[0].format;
        const bool heading = k == 0 || k == 3 || k == 7 || k == 11;
        EXPECT_EQ(f.fontName, heading ? "Arial" : "Courier New");
        EXPECT_EQ(f.bold, heading);
        EXPECT_EQ(f.pointSize, 12);
        EXPECT_FALSE(f.italic);
        EXPECT_FALSE(f.underline);
        EXPECT_EQ(f.rgb, 0u);
    }
}

TEST(WriteSolutionReport, HeaderLineWithAndWithoutADataFile) {
    struct Case {
        const char* fileName;
        const char* dateTime;
        const char* line;
    };
    const Case cases[] = {
        {"", "01.02.2024 10:20:30", "Файл данных:   01.02.2024 10:20:30"},
        {"p1", "01.02.2024", "Файл данных: p1  01.02.2024"},
        {"Задача 1.dat", "31.12.2023 23:59:59", "Файл данных: Задача 1.dat  31.12.2023 23:59:59"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Handmade h(0, 0, 1, 1);
        h.p.dataFileName = c.fileName;
        h.setBasis({2}, {1});
        h.write(',', c.dateTime);
        EXPECT_EQ(h.doc.lines().at(1), c.line);
    }
}

TEST(ReportDateTime, TimeLeftOutOnlyAtMidnight) {
    EXPECT_EQ(reportDateTime("01.02.2024", "10:20:30", false), "01.02.2024 10:20:30");
    EXPECT_EQ(reportDateTime("01.02.2024", "0:00:00", true), "01.02.2024");
    EXPECT_EQ(reportDateTime("01.02.2024", "0:00:01", false), "01.02.2024 0:00:01");
}

// The report shows Z with its sign, as edTarget does (it used to print the magnitude alone).
TEST(WriteSolutionReport, ObjectiveValueWithAndWithoutItsSign) {
    struct Case {
        Real minusZ; // the objective row's column-0 entry
        const char* edTarget;
        const char* valueLine;
    };
    const Case cases[] = {
        {12.5L, "-12.50", "Значение = -12.50"},
        {-12.5L, "12.50", "Значение = 12.50"},
        {0, "0.00", "Значение = 0.00"},
        {-0.0L, "0.00", "Значение = 0.00"},
        {4, "-4.00", "Значение = -4.00"},
        {0.001L, "0.00", "Значение = 0.00"}, // Z = -0.001 rounds to no negative zero
        {-1234567.891L, "1234567.89", "Значение = 1234567.89"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edTarget);
        Handmade h(0, 0, 1, 1);
        h.setBasis({1}, {1});
        h.p.inverse(2, 0) = c.minusZ;
        h.write();
        EXPECT_EQ(h.results.edTarget, c.edTarget);
        EXPECT_EQ(h.doc.lines().at(9), c.valueLine);
    }
}

// ---- WriteShadowPrices ----------------------------------------------------------------------

TEST(WriteShadowPrices, LinesAndColumnShowThePricesAsHeld) {
    struct Case {
        char sep;
        Real pi;
        const char* line;
        const char* cell;
    };
    const std::string field = blanks(20) + " Не заполнено"; // 33 characters, narrower than 35
    const Case cases[] = {
        {',', 1, "   1.000", "1"},
        {',', -1.5L, "  -1.500", "-1,5"},
        {'.', -1.5L, "  -1.500", "-1.5"},
        {',', 0.5L, "   0.500", "0,5"},
        {',', 123456, "123456.000", "1,2346E05"},
        {'.', -3.14159L, "  -3.142", "-3.1416"},
        {',', -2E-20L, "   0.000", "-2E-20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sep << " " << c.line);
        Handmade h(1, 0, 0, 1); // a ">=" row: its price keeps its sign
        h.setBasis({1}, {1});
        h.setShadowPrices({c.pi});
        h.write(c.sep);
        EXPECT_EQ(h.doc.lines().at(13), "Pi[  1] ( " + field + " ) = " + c.line);
        EXPECT_EQ(h.results.SG2.cell(5, 3), c.cell); // column N+4
    }
}

TEST(WriteShadowPrices, LineOfConstraintTwelveAndTheNameWidth) {
    Handmade h(0, 0, 12, 1);
    h.grid->setCell(0, 2, "Пятнадцать букв");                         // 15: fills 35
    h.grid->setCell(0, 3, "Сорок символов: " + std::string(24, 'x')); // 40: last 35
    h.grid->setCell(0, 13, "Ресурс двенадцать");                      // 17
    std::vector<int32_t> basis;
    std::vector<Real> values, prices;
    for (int i = 1; i <= 12; ++i) {
        basis.push_back(1 + i); // the slacks
        values.push_back(1);
        prices.push_back(i == 12 ? 2.25L : 0);
    }
    h.setBasis(basis, values);
    h.setShadowPrices(prices);
    h.write();
    const Lines lines = h.doc.lines();
    ASSERT_EQ(lines.size(), 10u + 2 + 12); // no plan line
    EXPECT_EQ(lines[12], "Pi[  1] ( " + blanks(20) + "Пятнадцать букв ) =    0.000");
    EXPECT_EQ(lines[13], "Pi[  2] (  символов: " + std::string(24, 'x') + " ) =    0.000");
    EXPECT_EQ(lines[23], "Pi[ 12] ( " + blanks(18) + "Ресурс двенадцать ) =    2.250");
    EXPECT_EQ(h.results.SG2.cell(5, 14), "2,25");
}

TEST(NameField, KeepsTheLastCharactersOfTwentyBlanksAndTheName) {
    struct Case {
        std::string name;
        int width;
        std::string field;
    };
    const Case cases[] = {
        {"abcde", 25, blanks(20) + "abcde"},
        {"abc", 25, blanks(20) + "abc"}, // 23 characters: narrower than the width
        {"", 25, blanks(20)},
        {"abcdefghij", 25, blanks(15) + "abcdefghij"},
        {"abcdefghijklmnopqrstuvwxyz1234", 25, "fghijklmnopqrstuvwxyz1234"},
        {"abcdefghijklmnopqrstuvwxy", 25, "abcdefghijklmnopqrstuvwxy"},
        {"Сталь", 25, blanks(20) + "Сталь"}, // characters, not bytes
        {"Чугун литейный", 25, blanks(11) + "Чугун литейный"},
        {"Тридцать символов кириллицей!!", 25, "ать символов кириллицей!!"},
        {"Ωμέγα и №", 25, blanks(16) + "Ωμέγα и №"},
        {"abc", 35, blanks(20) + "abc"},
        {"Пятнадцать букв", 35, blanks(20) + "Пятнадцать букв"},
        {"Ресурс номер двадцать", 35, blanks(14) + "Ресурс номер двадцать"},
        {std::string(36, 'y') + "Ж", 35, std::string(34, 'y') + "Ж"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(nameField(c.name, c.width), c.field);
    }
}

// ---- Whole solves ---------------------------------------------------------------------------

TEST(ReportOfASolve, FirstWorkedExample) {
    // Minimise Z = -X1 - X2 subject to X1 + X2 <= 4: X1 = 4, X2 not basic, Pi[1] = 1.
    for (const char sep : {',', '.'}) {
        SCOPED_TRACE(sep);
        auto s = solveText("0 0 1 2 1E-8\n1 1\n-1 -1\n4\n", sep, {" Стулья", " Столы"}, {" Доски"});
        ASSERT_EQ(s->outcome, SolveOutcome::Optimal);
        EXPECT_TRUE(s->feasible);
        EXPECT_EQ(s->lines(),
                  (Lines{"     РЕШЕНИЕ",
                         "Файл данных:   01.02.2024 10:20:30",
                         " ",
                         "   Оптимальный план",
                         " ",
                         "X[  1] ( " + blanks(18) + " Стулья ) =    4.000",
                         " ",
                         "    Коэффициенты целевой ф-ии",
                         " ",
                         "Значение = -4.00",
                         " ",
                         " Теневые цены ресурсов (Pi)",
                         " ",
                         "Pi[  1] ( " + blanks(20) + " Доски ) =    1.000",
                         "",
                         "",
                         "",
                         "Полученное решение является допустимым. (ограничения выполнены)",
                         " ",
                         "Полученное решение является оптимальным.",
                         "Контрольное число = 0 - ( должно быть близко к нулю )"}));
        EXPECT_EQ(s->results.edTarget, "-4.00");
        EXPECT_EQ(rowOf(s->results.SG3, 2), (Lines{" Решение:", "   4.000", "0"}));
        EXPECT_EQ(rowOf(s->results.SG2, 3), (Lines{" Доски", "4", "0", "4", "<=", "4", "1"}));
        EXPECT_EQ(s->check.slackFlags[1], 0);
    }
}

TEST(ReportOfASolve, GreaterEqualAndLessRows) {
    // Minimise X1 + 2 X2 subject to X1 + X2 >= 2, X1 - X2 = 1, X1 <= 3: X1 = 1.5, X2 = 0.5,
    // Z = 2.5, with the slack of row 3 basic at 1.5 (no plan line for it).
    struct Case {
        char sep;
        Lines sg2Row1, sg2Row3;
    };
    const Case cases[] = {
        {',',
         {" Не заполнено", "1,5", "0,5", "2", ">=", "2", "-1,5"},
         {" Не заполнено", "1,5", "0", "1,5", "<=", "3", "0"}},
        {'.',
         {" Не заполнено", "1.5", "0.5", "2", ">=", "2", "-1.5"},
         {" Не заполнено", "1.5", "0", "1.5", "<=", "3", "0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sep);
        auto s = solveText("1 1 1 2 1E-8\n1 1\n1 -1\n1 0\n1 2\n2 1 3\n", c.sep);
        ASSERT_EQ(s->outcome, SolveOutcome::Optimal);
        EXPECT_TRUE(s->feasible);
        EXPECT_EQ(rowOf(s->results.SG3, 2), (Lines{" Решение:", "   1.500", "   0.500"}));
        EXPECT_EQ(s->results.edTarget, "2.50");
        const Lines lines = s->lines();
        // X2 entered in row 1 and X1 in row 2: the plan lines follow the rows.
        const std::string x = "( " + blanks(14) + " Не заполн. ) = ";
        ASSERT_GE(lines.size(), 8u);
        EXPECT_EQ(Lines(lines.begin() + 5, lines.begin() + 8),
                  (Lines{"X[  2] " + x + "   0.500", "X[  1] " + x + "   1.500", " "}));
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Значение = 2.50"), lines.end());
        const std::string pi = "( " + blanks(20) + " Не заполнено ) = ";
        EXPECT_EQ(Lines(lines.end() - 10, lines.end() - 7),
                  (Lines{"Pi[  1] " + pi + "  -1.500", "Pi[  2] " + pi + "   0.500",
                         "Pi[  3] " + pi + "   0.000"}));
        EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
                  (Lines{"Полученное решение является допустимым. (ограничения выполнены)", " ",
                         "Полученное решение является оптимальным.",
                         "Контрольное число = 0 - ( должно быть близко к нулю )"}));
        EXPECT_EQ(rowOf(s->results.SG2, 3), c.sg2Row1);
        EXPECT_EQ(s->results.SG2.cell(4, 4), "=");
        EXPECT_EQ(rowOf(s->results.SG2, 5), c.sg2Row3);
    }
}

TEST(ReportOfASolve, OnlySlacksBasicGivesNoPlanLine) {
    // Minimise X1 + X2 subject to X1 + X2 <= 5: nothing enters, Z = 0.
    auto s = solveText("0 0 1 2 1E-8\n1 1\n1 1\n5\n", ',');
    const Lines lines = s->lines();
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(Lines(lines.begin() + 3, lines.begin() + 10),
              (Lines{"   Оптимальный план", " ", " ", "    Коэффициенты целевой ф-ии", " ",
                     "Значение = 0.00", " "}));
    EXPECT_EQ(s->results.edTarget, "0.00");
    EXPECT_EQ(rowOf(s->results.SG3, 2), (Lines{" Решение:", "0", "0"}));
}

TEST(ReportOfASolve, DecimalCommaInTheAnalysisGridOnly) {
    // Maximise X1 subject to 2 X1 <= 1: X1 = 0.5.
    auto s = solveText("0 0 1 1 1E-8\n2\n-1\n1\n", ',');
    EXPECT_EQ(s->results.SG3.cell(1, 2), "   0.500");
    EXPECT_EQ(rowOf(s->results.SG2, 3), (Lines{" Не заполнено", "1", "1", "<=", "1", "0,5"}));
    EXPECT_EQ(s->results.edTarget, "-0.50");
}
