// The session's roads end to end, as the windows and kvado-cli take them: a typed problem
// solved into the report and the results, an opened one, the two failed solves, a refused edit,
// a grid that stops the transfer, and an open that meets missing files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "../report/ReportFixture.h"
#include "analysis/Presentation.h"
#include "session/Messages.h"
#include "session/Session.h"

using namespace kvado;
using namespace kvado::session;
using namespace kvado_test;

namespace {

// What a window would have shown, in order: message boxes, error reports and the model
// changes it follows. The progress bar is left out.
class RecordingView : public SessionView {
public:
    void showMessage(const std::string& utf8) override { events.push_back("message: " + utf8); }
    void showError(const std::string& utf8) override { events.push_back("error: " + utf8); }
    void reportCleared() override { events.push_back("cleared"); }
    void reportAppended() override { events.push_back("appended"); }
    void resultTextsChanged() override { events.push_back("texts"); }
    Lines events;
};

const EditTexts kPrimerEdits{"1", "1", "1", "2", "1E-8"};
// Minimise X1 + 2 X2 subject to X1 + X2 >= 2, X1 - X2 = 1, X1 <= 3.
const char* const kPrimerData = "1 1 1 2 1E-8\n1 1\n1 -1\n1 0\n1 2\n2 1 3\n";

struct Road : ::testing::Test {
    Road() {
        session.setView(&view);
        session.setDecimalSeparator(',');
        session.setDateTimeSource([] { return std::string(kTestDateTime); });
        session.setLogFolder(dir.path().string());
    }
    // A new table for the edits, then the number cells: per constraint B and A[i,1..N], and
    // last the objective's C[1..N].
    void type(const EditTexts& edits, const std::vector<Lines>& rows) {
        session.SetupGrid(edits, true);
        StringGridModel& g = session.inputGrid();
        const int M = static_cast<int>(rows.size()) - 1;
        for (int i = 1; i <= M; ++i)
            for (size_t k = 0; k < rows[static_cast<size_t>(i - 1)].size(); ++k)
                g.setCell(static_cast<int>(k) + 1, i + 1, rows[static_cast<size_t>(i - 1)][k]);
        for (size_t j = 0; j < rows.back().size(); ++j)
            g.setCell(static_cast<int>(j) + 2, M + 2, rows.back()[j]);
    }
    // The report up to the exact check's section (which follows a blank line).
    Lines methodLines() {
        Lines all = session.report().lines();
        const auto section = std::find(all.begin(), all.end(), "Точная проверка");
        if (section != all.end()) all.erase(section - 1, all.end());
        return all;
    }
    Lines exactSection() {
        const Lines all = session.report().lines();
        return Lines(all.begin() + static_cast<std::ptrdiff_t>(methodLines().size()), all.end());
    }
    Lines reportTail(size_t n) {
        const Lines all = methodLines();
        return Lines(all.end() - static_cast<std::ptrdiff_t>(std::min(n, all.size())), all.end());
    }

    ScratchDir dir;
    LpProblem problem;
    Session session{problem};
    RecordingView view;
};

const Lines kOptimalVerdict = {"",
                               "Полученное решение является допустимым. (ограничения выполнены)",
                               " ", "Полученное решение является оптимальным.",
                               "Контрольное число = 0 - ( должно быть близко к нулю )"};

TEST_F(Road, TypedProblemSolvedIntoReportAndResults) {
    type(kPrimerEdits, {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}});
    const SolveResult r = session.solveInput(kPrimerEdits);
    EXPECT_TRUE(r.solved);
    EXPECT_EQ(r.outcome, SolveOutcome::Optimal);
    EXPECT_EQ(r.unboundedColumn, 0);
    EXPECT_TRUE(r.check.feasible);
    EXPECT_TRUE(r.check.optimal);
    const std::string x = "( " + blanks(14) + " Не заполн. ) = ";
    const std::string pi = "( " + blanks(20) + " Не заполнено ) = ";
    Lines expected = {"     РЕШЕНИЕ",
                      "Файл данных:   01.02.2024 10:20:30",
                      " ",
                      "   Оптимальный план",
                      " ",
                      "X[  2] " + x + "   0.500",
                      "X[  1] " + x + "   1.500",
                      " ",
                      "    Коэффициенты целевой ф-ии",
                      " ",
                      "Значение = 2.50",
                      " ",
                      " Теневые цены ресурсов (Pi)",
                      " ",
                      "Pi[  1] " + pi + "  -1.500",
                      "Pi[  2] " + pi + "   0.500",
                      "Pi[  3] " + pi + "   0.000",
                      "",
                      ""};
    expected.insert(expected.end(), kOptimalVerdict.begin(), kOptimalVerdict.end());
    // Then the exact check's section.
    expected.push_back("");
    for (const std::string& line : analysis::reportSection(r.exact.verification, nullptr, ','))
        expected.push_back(line);
    EXPECT_EQ(session.report().lines(), expected);
    EXPECT_EQ(session.results().SG3.cell(1, 2), "   1.500");
    EXPECT_EQ(session.results().SG3.cell(2, 2), "   0.500");
    EXPECT_EQ(session.results().edTarget, "2.50");
    EXPECT_EQ(session.results().SG2.cell(3, 3), "2"); // row 1's activity, A*X summed
    EXPECT_EQ(session.check().rowActivity[3], 1.5L);
    EXPECT_EQ(view.events, (Lines{"cleared", "appended", "appended", "texts", "appended"}));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Kvaq.log"));
}

TEST_F(Road, OpenedProblemWithItsNamesSolved) {
    writeFileBytes(dir.file("p.dat"), kPrimerData);
    writeFileBytes(dir.file("p.ogran"), "Сырьё\r\nБаланс\r\nСклад\r\nЗатраты\r\n");
    writeFileBytes(dir.file("p.neizv"), "Столы\r\nСтулья\r\n");
    const OpenResult opened = session.openDataFile(dir.file("p.dat"));
    EXPECT_EQ(opened.status, OpenStatus::Opened);
    ASSERT_TRUE(opened.edits);
    EXPECT_EQ(opened.edits->eps, "1E-8");
    EXPECT_EQ(opened.objectiveName, "Затраты");
    EXPECT_EQ(session.results().objectiveName, "Затраты");
    EXPECT_EQ(problem.dataFileName, "p.dat");
    EXPECT_EQ(view.events, Lines{"texts"});

    const SolveResult r = session.solveInput(*opened.edits);
    EXPECT_EQ(r.outcome, SolveOutcome::Optimal);
    const Lines lines = session.report().lines();
    ASSERT_GE(lines.size(), 17u);
    EXPECT_EQ(lines[1], "Файл данных: p.dat  01.02.2024 10:20:30");
    EXPECT_EQ(Lines(lines.begin() + 5, lines.begin() + 9),
              (Lines{"X[  2] ( " + blanks(18) + " Стулья ) =    0.500",
                     "X[  1] ( " + blanks(19) + " Столы ) =    1.500", " ", "    Затраты"}));
    EXPECT_EQ(lines[16], "Pi[  3] ( " + blanks(20) + " Склад ) =    0.000");
    EXPECT_EQ(session.results().SG2.cell(0, 3), " Сырьё");
}

TEST_F(Road, OpenMeetsMissingFiles) {
    const OpenResult missing = session.openDataFile(dir.file("none.dat"));
    EXPECT_EQ(missing.status, OpenStatus::NotFound);
    // The report names no file that was not opened.
    EXPECT_EQ(problem.dataFileName, "");
    EXPECT_NE(missing.reason.find("none.dat"), std::string::npos);

    writeFileBytes(dir.file("q.dat"), kPrimerData);
    const OpenResult opened = session.openDataFile(dir.file("q.dat"));
    EXPECT_EQ(opened.status, OpenStatus::Opened);
    EXPECT_EQ(view.events, (Lines{"message: Файл не найден...", "texts",
                                  "message: Полезно создать текстовый файл " + dir.file("q.ogran") +
                                      " c именами ресурсов (3строк",
                                  "message: Полезно создать текстовый файл " + dir.file("q.neizv") +
                                      " c именами неизвестных (2строк"}));

    writeFileBytes(dir.file("bad.dat"), "1 1 1 2 1E-8\n1 x\n");
    const OpenResult bad = session.openDataFile(dir.file("bad.dat"));
    EXPECT_EQ(bad.status, OpenStatus::Stopped);
    EXPECT_TRUE(bad.badNumber);
    EXPECT_EQ(view.events.back(), "error: Invalid numeric input\r\nНеверное число в файле данных: "
                                  "строка 2, число 2: «x»\r\nФайл «bad.dat» не прочитан: таблица "
                                  "и задача остались прежними");
}

TEST_F(Road, InfeasibleAndUnboundedSolvesTellTheUser) {
    struct Case {
        const char* what;
        EditTexts edits;
        std::vector<Lines> rows;
        SolveOutcome outcome;
        int32_t column;
        const char* message;
        bool checkFeasible;
        Lines reportEnd;
    };
    const Case cases[] = {
        {"X1 >= 5 and X1 <= 3",
         {"1", "0", "1", "1", "1E-8"},
         {{"5", "1"}, {"3", "1"}, {"1"}},
         SolveOutcome::Infeasible,
         0,
         "Ограничения не имеют допустимого решения\r\nподробнее в файле Kvaq.log",
         false,
         {"Ограничение №1 НЕ выполнено: 3 >= 5", "", report::kLastBasisInfeasible}},
        {"minimise -X1 subject to X1 - X2 <= 1",
         {"0", "0", "1", "2", "1E-8"},
         {{"1", "1", "-1"}, {"-1", "0"}},
         SolveOutcome::Unbounded,
         2,
         "Целевая функция не ограничена (переменная X[2])\r\nподробнее в файле Kvaq.log",
         true,
         {"", "", "", report::kLastBasisFeasible}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view.events.clear();
        type(c.edits, c.rows);
        const SolveResult r = session.solveInput(c.edits);
        EXPECT_TRUE(r.solved);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.unboundedColumn, c.column);
        // The check looks at the last basis: X1 = 3 breaks row 1; X1 = 1, X2 = 0 is feasible.
        EXPECT_EQ(r.check.feasible, c.checkFeasible);
        EXPECT_EQ(std::count(view.events.begin(), view.events.end(),
                             std::string("message: ") + c.message),
                  1);
        EXPECT_EQ(reportTail(c.reportEnd.size()), c.reportEnd);
    }
}

// Every solve is checked exactly: a right answer is confirmed; answers that the method's
// tolerance made wrong are called wrong, and the exact solve's answer follows in the report.
TEST_F(Road, ExactCheckFollowsEverySolve) {
    const std::string wrong = "Точная проверка: решение неверно — см. точное решение";
    struct Case {
        const char* what;
        EditTexts edits;
        std::vector<Lines> rows;
        SolveOutcome outcome;
        analysis::Verdict verdict;
        std::string line;
        bool exactRun;
    };
    const Case cases[] = {
        {"primer",
         kPrimerEdits,
         {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}},
         SolveOutcome::Optimal,
         analysis::Verdict::Optimal,
         "Проверено точно: оптимально",
         false},
        {"the column's only entry 1E-10 is below Eps: unbounded",
         {"0", "0", "1", "1", "1E-8"},
         {{"1", "1E-10"}, {"-1"}},
         SolveOutcome::Unbounded,
         analysis::Verdict::UnboundedNotConfirmed,
         wrong,
         true},
        {"an artificial sum of 1E-9 ends phase 1: optimal at X = 0",
         {"1", "0", "0", "1", "1E-8"},
         {{"1E-9", "1E-10"}, {"1"}},
         SolveOutcome::Optimal,
         analysis::Verdict::NotFeasible,
         wrong,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        type(c.edits, c.rows);
        const SolveResult r = session.solveInput(c.edits);
        ASSERT_EQ(r.outcome, c.outcome);
        EXPECT_TRUE(r.exact.ran);
        EXPECT_EQ(r.exact.verification.verdict, c.verdict) << r.exact.verification.reason;
        EXPECT_EQ(session.exactCheck().verification.verdict, c.verdict);
        EXPECT_EQ(r.exact.exactRun, c.exactRun);
        if (c.exactRun) {
            EXPECT_EQ(r.exact.exact.status, analysis::ExactStatus::Optimal);
        }
        const Lines section = exactSection();
        ASSERT_GE(section.size(), 3u);
        EXPECT_EQ(Lines(section.begin(), section.begin() + 3),
                  (Lines{"", "Точная проверка", c.line}));
        EXPECT_EQ(std::count(section.begin(), section.end(), "Точное решение"), c.exactRun ? 1 : 0);
    }
}

// An objective beyond the extended range (each number holds, their product does not): the solve
// says so instead of calling it optimal, and the automatic check does not run on it, so the
// window's solve ends at once.
TEST_F(Road, OverflowIsNoAnswer) {
    const EditTexts edits{"0", "0", "1", "1", "1E-8"};
    type(edits, {{"1E20", "1"}, {"-1E4920"}});
    const SolveResult r = session.solveInput(edits);
    EXPECT_EQ(r.outcome, SolveOutcome::Overflow);
    EXPECT_FALSE(r.exact.ran);
    EXPECT_EQ(
        std::count(view.events.begin(), view.events.end(), "message: " + overflowMessage("Z")), 1);
}

// The check the user asks for: a stopped one changes nothing, a finished one is kept and its
// section appended once more.
TEST_F(Road, ExactCheckOnDemand) {
    type(kPrimerEdits, {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}});
    session.solveInput(kPrimerEdits);
    const size_t before = session.report().lines().size();
    std::atomic<bool> stop{true};
    EXPECT_FALSE(session.acceptExactCheck(session.runExactCheck(&stop)));
    EXPECT_EQ(session.report().lines().size(), before);
    view.events.clear();
    EXPECT_TRUE(session.acceptExactCheck(session.runExactCheck()));
    EXPECT_EQ(session.exactCheck().verification.verdict, analysis::Verdict::Optimal);
    const Lines all = session.report().lines();
    EXPECT_EQ(std::count(all.begin(), all.end(), "Проверено точно: оптимально"), 2);
    EXPECT_EQ(view.events, Lines{"appended"});
}

TEST_F(Road, RefusedInputStopsBeforeTheSolver) {
    type(kPrimerEdits, {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}});
    struct Case {
        EditTexts edits;
        const char* message;
    };
    const Case cases[] = {
        {{"x", "1", "1", "2", "1E-8"}, kBadG},
        {{"1", "-1", "1", "2", "1E-8"}, kBadE},
        {{"1", "1", "", "2", "1E-8"}, kBadL},
        {{"1", "1", "1", "2.5", "1E-8"}, kBadN},
        {{"1", "1", "1", "2", "0"}, kBadEps},
        {{"1", "1", "1", "2000000000", "1E-8"}, kTooLarge},
        {{"1", "1", "0", "2", "1E-8"}, kRowsMismatch},
        {{"1", "1", "1", "1", "1E-8"}, kColsMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        view.events.clear();
        const SolveResult r = session.solveInput(c.edits);
        EXPECT_FALSE(r.solved);
        EXPECT_EQ(view.events, (Lines{"cleared", std::string("message: ") + c.message}));
        EXPECT_TRUE(session.report().empty());
    }
    // A negative right-hand side, turned round by the user.
    view.events.clear();
    session.inputGrid().setCell(1, 3, "-1");
    EXPECT_FALSE(session.solveInput(kPrimerEdits).solved);
    EXPECT_EQ(view.events.back(), "message: Ошибка: правая часть B[2] отрицательна.\r\nУмножьте "
                                  "это ограничение на -1 (знак >= сменится на <=, а <= на >=)");
}

TEST_F(Road, CellThatDoesNotConvertEndsTheCommand) {
    session.SetupGrid(kPrimerEdits, true);
    try {
        session.solveInput(kPrimerEdits);
        ADD_FAILURE() << "no conversion error";
    } catch (const text::ConversionError& e) {
        EXPECT_STREQ(e.what(), "' ?' is not a valid floating point value\r\n« ?» — не число\r\n"
                               "Ячейка: ограничение 1, неизвестная 1");
    }
    EXPECT_EQ(view.events, Lines{"cleared"});
    EXPECT_EQ(problem.M, 3); // the edits were taken before the grid stopped the transfer
}

// Grid numbers are read with the user's separator, and a point always converts too.
TEST_F(Road, GridNumbersUseTheUsersSeparator) {
    struct Case {
        char separator;
        const char* cell; // the third right-hand side
        bool solves;
    };
    const Case cases[] = {
        {',', "2,5", true}, {',', "2.5", true},    {'.', "2.5", true},
        {'.', "2,5", true}, {',', "2,5.1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.separator) + " " + c.cell);
        session.setDecimalSeparator(c.separator);
        type(kPrimerEdits, {{"2", "1", "1"}, {"1", "1", "-1"}, {c.cell, "1", "0"}, {"1", "2"}});
        std::string error;
        bool solved = false;
        try {
            solved = session.solveInput(kPrimerEdits).solved;
        } catch (const text::ConversionError& e) {
            error = e.what();
        }
        EXPECT_EQ(solved, c.solves);
        if (c.solves) {
            EXPECT_EQ(problem.initialRhs[3], 2.5L);
        } else {
            EXPECT_EQ(
                error.rfind(std::string("'") + c.cell + "' is not a valid floating point value\r\n",
                            0),
                0u)
                << error;
        }
    }
}

// --- what the results and the report show of a solve ----------------------------------------

// Row `r` of a results grid, cell by cell.
Lines gridRow(const StringGridModel& g, int r) {
    Lines cells;
    for (int c = 0; c < g.colCount(); ++c)
        cells.push_back(g.cell(c, r));
    return cells;
}

std::string blanks(size_t n) {
    return std::string(n, ' ');
}

TEST_F(Road, SecondWorkedExampleUnderEitherSeparator) {
    // The slack of row 3 is basic at 1.5: it has no plan line. X2 entered in row 1 and X1 in
    // row 2, so the plan lines follow the rows.
    struct Case {
        char separator;
        Lines row1, row3;
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
        SCOPED_TRACE(c.separator);
        session.setDecimalSeparator(c.separator);
        type(kPrimerEdits, {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}});
        ASSERT_TRUE(session.solveInput(kPrimerEdits).solved);
        const report::ResultsModel& r = session.results();
        EXPECT_EQ(gridRow(r.SG3, 2), (Lines{" Решение:", "   1.500", "   0.500"}));
        EXPECT_EQ(gridRow(r.SG2, 3), c.row1);
        EXPECT_EQ(gridRow(r.SG2, 4)[4], "=");
        EXPECT_EQ(gridRow(r.SG2, 5), c.row3);
        EXPECT_EQ(r.edTarget, "2.50");
        const std::string unknown = "( " + blanks(14) + " Не заполн. ) = ";
        const std::string row = "( " + blanks(20) + " Не заполнено ) = ";
        const Lines lines = methodLines();
        EXPECT_EQ(Lines(lines.begin() + 3, lines.end()),
                  (Lines{"   Оптимальный план",
                         " ",
                         "X[  2] " + unknown + "   0.500",
                         "X[  1] " + unknown + "   1.500",
                         " ",
                         "    Коэффициенты целевой ф-ии",
                         " ",
                         "Значение = 2.50",
                         " ",
                         " Теневые цены ресурсов (Pi)",
                         " ",
                         "Pi[  1] " + row + "  -1.500",
                         "Pi[  2] " + row + "   0.500",
                         "Pi[  3] " + row + "   0.000",
                         "",
                         "",
                         "",
                         "Полученное решение является допустимым. (ограничения выполнены)",
                         " ",
                         "Полученное решение является оптимальным.",
                         "Контрольное число = 0 - ( должно быть близко к нулю )"}));
        // The headings in bold Arial of 12 points.
        ASSERT_EQ(lines.size(), 24u);
        for (size_t line : {1, 4, 9, 13}) {
            const report::CharFormat& f =
                session.report().paragraphs()[line - 1].runs.front().format;
            EXPECT_EQ(f.fontName + " " + std::to_string(static_cast<int>(f.pointSize)) +
                          (f.bold ? " bold" : ""),
                      "Arial 12 bold")
                << line;
        }
    }
}

TEST_F(Road, NamesStandInTheirFields) {
    struct Case {
        const char* name;
        std::string field; // 25 characters or more
    };
    const Case cases[] = {
        {"Сталь", blanks(20) + "Сталь"},
        {"Дуб", blanks(20) + "Дуб"},
        {"abcdefghijklmnopqrstuvwxyz1234", "fghijklmnopqrstuvwxyz1234"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Minimise Z = -X1 - X2 subject to X1 + X2 <= 4, with names: X1 = 4.
        const EditTexts edits{"0", "0", "1", "2", "1E-8"};
        type(edits, {{"4", "1", "1"}, {"-1", "-1"}});
        session.inputGrid().setCell(3, 1, " Столы");
        session.inputGrid().setCell(0, 2, " Доски");
        session.inputGrid().setCell(2, 1, c.name);
        ASSERT_TRUE(session.solveInput(edits).solved);
        EXPECT_EQ(methodLines()[5], "X[  1] ( " + c.field + " ) =    4.000");
        EXPECT_EQ(gridRow(session.results().SG3, 1)[1], c.name);
    }
}

TEST_F(Road, CheckOfAnInfeasibleSolveUnderEitherSeparator) {
    // X1 >= 5,5 and X1 <= 2,5: the first phase ends with X1 = 2.5 and row 1 not met. The
    // check still writes its lines after the message.
    struct Case {
        char separator;
        const char *rhs1, *rhs2;
        const char* message;
    };
    const Case cases[] = {
        {',', "5,5", "2,5", "Ограничение №1 НЕ выполнено: 2,5 >= 5,5"},
        {'.', "5.5", "2.5", "Ограничение №1 НЕ выполнено: 2.5 >= 5.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.separator);
        session.setDecimalSeparator(c.separator);
        const EditTexts edits{"1", "0", "1", "1", "1E-8"};
        type(edits, {{c.rhs1, "1"}, {c.rhs2, "1"}, {"1"}});
        view.events.clear();
        session.solveInput(edits);
        EXPECT_EQ(std::count(view.events.begin(), view.events.end(),
                             std::string("message: ") + kNoFeasibleSolutionMessage),
                  1);
        const Lines lines = methodLines();
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(Lines(lines.end() - 5, lines.end()),
                  (Lines{"", "", c.message, "", report::kLastBasisInfeasible}));
        EXPECT_EQ(gridRow(session.results().SG2, 3)[2], c.rhs2) << "the row activity";
    }
}

} // namespace
