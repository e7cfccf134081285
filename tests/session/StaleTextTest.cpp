// Faults the user met through the session: an open that fails half-way, texts left from an
// earlier problem (headings, the objective's name, a B cell of the objective row), a report
// that called the last basis of a failed solve optimal, results out of reach after such a
// solve, the typing that decides whether to ask before work is replaced, and the names saved
// files get.
#include <gtest/gtest.h>

#include "../report/ReportFixture.h"
#include "base/FileIo.h"
#include "report/Results.h"
#include "session/FileNames.h"
#include "session/Messages.h"
#include "session/Session.h"

using namespace kvado;
using namespace kvado::session;
using namespace kvado_test;

namespace {

class Events : public SessionView {
public:
    void showMessage(const std::string& utf8) override { lines.push_back("message: " + utf8); }
    void showError(const std::string& utf8) override { lines.push_back("error: " + utf8); }
    Lines lines;
};

// Every cell of a grid within its counts and a few beyond, with the counts.
Lines gridText(const StringGridModel& g) {
    Lines out{std::to_string(g.colCount()) + "x" + std::to_string(g.rowCount())};
    for (int r = 0; r < g.rowCount() + 2; ++r) {
        std::string line;
        for (int c = 0; c < g.colCount() + 2; ++c)
            line += g.cell(c, r) + "|";
        out.push_back(line);
    }
    return out;
}

// Minimise X1 + 2 X2 + X3 subject to X1 + X2 + X3 >= 2, X1 - X2 = 1, X1 + X3 <= 3; and
// minimise -X1 subject to X1 <= 4.
const char* const kLarge = "1 1 1 3 1E-8\n1 1 1\n1 -1 0\n1 0 1\n1 2 1\n2 1 3\n";
const char* const kSmall = "0 0 1 1 1E-8\n1\n-1\n4\n";

struct Stale : ::testing::Test {
    Stale() {
        session.setView(&view);
        session.setDecimalSeparator('.');
        session.setLogFolder(dir.path().string());
        writeFileBytes(dir.file("large.dat"), kLarge);
        writeFileBytes(dir.file("large.ogran"), "Сырье\r\nБаланс\r\nСклад\r\nСтоимость\r\n");
        writeFileBytes(dir.file("large.neizv"), "A\r\nB\r\nC\r\n");
        writeFileBytes(dir.file("small.dat"), kSmall);
    }
    EditTexts edits() const { return editTextsOf(problem, '.'); }
    ScratchDir dir;
    LpProblem problem;
    Session session{problem};
    Events view;
};

// An open that stops at a bad token, at a name file that cannot be read, or at counts too
// large changes nothing: F9 then solves the problem it solved before, with the same report.
TEST_F(Stale, FailedOpenChangesNothing) {
    ASSERT_EQ(session.openDataFile(dir.file("large.dat")).status, OpenStatus::Opened);
    session.inputGrid().setCell(1, 1, "typed");
    const Lines before = gridText(session.inputGrid());
    const SolveResult first = session.solveInput(edits());
    const Lines report = session.report().lines();
    const std::string target = session.results().edTarget;
    writeFileBytes(dir.file("bad.dat"), "0 0 1 1 1E-8\n2\nx\n");
    writeFileBytes(dir.file("huge.dat"), "0 0 2000000000 2000000000 1E-8\n");
    writeFileBytes(dir.file("names.dat"), kSmall);
    std::filesystem::create_directory(dir.file("names.ogran"));
    for (const char* file : {"bad.dat", "huge.dat", "names.dat"}) {
        SCOPED_TRACE(file);
        view.lines.clear();
        const OpenResult r = session.openDataFile(dir.file(file));
        EXPECT_NE(r.status, OpenStatus::Opened);
        EXPECT_FALSE(r.edits);
        EXPECT_EQ(gridText(session.inputGrid()), before);
        EXPECT_EQ(problem.dataFileName, "large.dat");
        EXPECT_EQ(session.results().objectiveName, "Стоимость");
        ASSERT_FALSE(view.lines.empty());
        EXPECT_NE(view.lines.back().find("не прочитан: таблица и задача остались прежними"),
                  std::string::npos)
            << view.lines.back();
        const SolveResult again = session.solveInput(edits());
        EXPECT_EQ(again.outcome, first.outcome);
        EXPECT_EQ(session.report().lines().size(), report.size());
        EXPECT_EQ(session.results().edTarget, target);
    }
    view.lines.clear();
    session.openDataFile(dir.file("bad.dat"));
    EXPECT_EQ(view.lines, Lines{"error: Invalid numeric input\r\nНеверное число в файле данных: "
                                "строка 3, число 1: «x»\r\nФайл «bad.dat» не прочитан: таблица "
                                "и задача остались прежними"});
}

// Headings, the objective's name and the objective row's B cell are those of the problem the
// grid holds now, never of an earlier one with more unknowns or rows.
TEST_F(Stale, NothingLeftFromAnEarlierProblem) {
    ASSERT_EQ(session.openDataFile(dir.file("large.dat")).status, OpenStatus::Opened);
    session.solveInput(edits());
    ASSERT_EQ(session.openDataFile(dir.file("small.dat")).status, OpenStatus::Opened);
    // The large file's B[3] stood in row 4, the small one's objective row.
    EXPECT_EQ(session.inputGrid().cell(1, problem.M + 2), "");
    session.solveInput(edits());
    const StringGridModel& sg2 = session.results().SG2;
    for (int col = 2; col <= 5; ++col) {
        EXPECT_EQ(sg2.cell(col, 0), "") << col;
        EXPECT_EQ(sg2.cell(col, 2), "") << col;
    }
    EXPECT_EQ(sg2.cell(2, 1), " Расход");

    // A new table whose objective the user named: the results name it as the report does.
    const EditTexts typed{"0", "0", "1", "1", "1E-8"};
    session.SetupGrid(typed, true);
    StringGridModel& g = session.inputGrid();
    g.setCell(1, 2, "4");
    g.setCell(2, 2, "1");
    g.setCell(2, 3, "-1");
    g.setCell(0, 3, " Z");
    session.solveInput(typed);
    EXPECT_EQ(session.results().objectiveName, "Z");
    const Lines lines = session.report().lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    Z"), lines.end());
    // The new table's own caption names nothing.
    g.setCell(0, 3, " Коэффициенты целевой ф-ии");
    session.solveInput(typed);
    EXPECT_EQ(session.results().objectiveName, "");
}

// After "no feasible solution" or an unbounded objective the report calls nothing optimal,
// and the results stay within reach; a stopped input (a bad cell) leaves none.
TEST_F(Stale, FailedSolveClaimsNoOptimum) {
    struct Case {
        const char* data;
        SolveOutcome outcome;
        const char* verdict;
    };
    const Case cases[] = {
        {"1 0 1 1 1E-8\n1\n1\n1\n5 3\n", SolveOutcome::Infeasible, report::kLastBasisInfeasible},
        {"0 0 1 2 1E-8\n1 -1\n-1 0\n1\n", SolveOutcome::Unbounded, report::kLastBasisFeasible},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.verdict);
        writeFileBytes(dir.file("f.dat"), c.data);
        ASSERT_EQ(session.openDataFile(dir.file("f.dat")).status, OpenStatus::Opened);
        const SolveResult r = session.solveInput(edits());
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_FALSE(r.check.optimal);
        EXPECT_TRUE(session.hasResults());
        Lines lines = session.report().lines();
        EXPECT_EQ(lines[3], report::kLastBasisHeading);
        // The method's lines and the check's: the exact check and the explanation follow.
        lines.erase(std::find(lines.begin(), lines.end(), "Точная проверка"), lines.end());
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.verdict), lines.end());
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find("оптимальн"), std::string::npos) << line;
            EXPECT_EQ(line.find("допустимым"), std::string::npos) << line;
        }
    }
    session.inputGrid().setCell(2, 2, "x");
    EXPECT_THROW(session.solveInput(edits()), text::ConversionError);
    EXPECT_FALSE(session.hasResults());
}

// A new table asks only about a grid typed into; an open or a write ends the risk; LP text
// applied is typing.
TEST_F(Stale, TypingThatIsAtRisk) {
    EXPECT_FALSE(session.workTyped());
    session.noteEditTyping();
    EXPECT_FALSE(session.gridTyped());
    EXPECT_TRUE(session.workTyped());
    session.SetupGrid({"1", "1", "1", "3", "1E-8"}, true);
    EXPECT_TRUE(session.workTyped()); // the edits the new table kept
    session.noteGridTyping();
    EXPECT_TRUE(session.gridTyped());
    session.inputWritten();
    EXPECT_FALSE(session.workTyped());
    session.noteGridTyping();
    ASSERT_EQ(session.openDataFile(dir.file("small.dat")).status, OpenStatus::Opened);
    EXPECT_FALSE(session.workTyped());
    ASSERT_TRUE(session.applyModelText("min: x\nst\nc1: x >= 1\nend\n").opened);
    EXPECT_TRUE(session.gridTyped());
}

TEST(SavedNames, ExtensionOfTheChosenFilter) {
    const char* data = "Файлы данных|*.dat|Файлы LP|*.lp|Файлы MPS|*.mps|Все файлы|*.*";
    struct Case {
        const char* path;
        const char* filter;
        int chosen;
        const char* saved;
    };
    const Case cases[] = {
        {"/t/dieta2", data, 0, "/t/dieta2.dat"},
        {"/t/dieta2", data, -1, "/t/dieta2.dat"},
        {"/t/dieta2", data, 1, "/t/dieta2.lp"},
        {"/t/dieta2", data, 2, "/t/dieta2.mps"},
        {"/t/dieta2", data, 3, "/t/dieta2"},
        {"/t/p.lp", data, 0, "/t/p.lp"},
        {"/t.d/pm_report", "Отчеты|*.rtf|Все файлы|*.*", 0, "/t.d/pm_report.rtf"},
        {"/t/.hidden", "Рисунки PNG|*.png", 0, "/t/.hidden.png"},
        {"/t/x", "Рисунки SVG|*.svg|Все файлы|*.*", 5, "/t/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withFilterExtension(c.path, c.filter, c.chosen), c.saved) << c.path;
    EXPECT_EQ(proposedReportName(""), "Отчет.rtf");
    EXPECT_EQ(proposedReportName("zad1.dat"), "zad1.rtf");
    EXPECT_EQ(proposedReportName("task"), "task.rtf");
}

TEST(SavedNames, RecentFilesNewestFirstEachOnce) {
    std::vector<std::string> recent;
    for (int k = 1; k <= 10; ++k)
        recent = withRecentFile(recent, "f" + std::to_string(k));
    recent = withRecentFile(recent, "f5");
    EXPECT_EQ(recent, (std::vector<std::string>{"f5", "f10", "f9", "f8", "f7", "f6", "f4", "f3"}));
}

TEST(Messages, RussianTextsOfTheUsersFirstErrors) {
    EXPECT_EQ(growQuestion(0, 1), "Вставляемый блок больше таблицы (на 1 столбец).\r\n"
                                  "Увеличить число неизвестных?");
    EXPECT_EQ(growQuestion(3, 12), "Вставляемый блок больше таблицы (на 3 строки и 12 столбцов)."
                                   "\r\nУвеличить число ограничений вида <= и число неизвестных?");
    EXPECT_EQ(growQuestion(21, 0), "Вставляемый блок больше таблицы (на 21 строку).\r\n"
                                   "Увеличить число ограничений вида <=?");
    // «Решить» on the grid the program starts with.
    LpProblem p;
    Session s(p);
    try {
        s.solveInput({"1", "1", "1", "3", "1E-8"});
        ADD_FAILURE() << "no conversion error";
    } catch (const text::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid floating point value\r\nЯчейка пуста: в нее "
                               "нужно ввести число\r\nЯчейка: ограничение 1, неизвестная 1");
    }
}

} // namespace
