// "Решить" from typed input to the results window, and every way it stops on the way.

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>

#include "UiTestSupport.h"

namespace kvado::ui::test {
namespace {

class Solve : public MainWindowFixture {
protected:
    // Minimise X1 + 2·X2 s.t. X1 + X2 >= 2, X1 − X2 = 1, X1 <= 3: X1 = 1.5, X2 = 0.5.
    void enterExample(const char* rhs3 = "3") {
        enterProblem("1", "1", "1", "2",
                     {{"2", "1", "1"}, {"1", "1", "-1"}, {rhs3, "1", "0"}, {"1", "2"}});
    }

    // What the window shows besides the grid: edits and the enabled Solve button.
    struct Input {
        QStringList edits;
        bool solveEnabled;
        bool operator==(const Input&) const = default;
    };
    Input input() const {
        return {{form->edG->text(), form->edE->text(), form->edL->text(), form->edN->text(),
                 form->edEps->text()},
                form->btnSolve->isEnabled()};
    }

    InTempFolder folder;
};

TEST_F(Solve, TypedProblemIsSolvedEndToEnd) {
    enterExample();
    toolkit.clear();
    form->btnSolve->click();

    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));
    EXPECT_EQ(problem.solution[1], 1.5L);
    EXPECT_EQ(problem.solution[2], 0.5L);
    EXPECT_TRUE(QFileInfo(folder.path("Kvaq.log")).size() > 0);
    EXPECT_FALSE(form->btnSolve->isEnabled());
    EXPECT_EQ(form->progressMaximum(), 3);
    EXPECT_EQ(form->progressPosition(), 0);
    EXPECT_EQ(form->PB1->value(), 0);
    EXPECT_FALSE(toolkit.exitRequested());
}

TEST_F(Solve, SolvedProblemIsNotSolvedAgainUntilAFileIsOpened) {
    enterExample();
    form->btnSolve->click();
    form->btnNewTab->click();
    form->btnREsizeTab->click();
    EXPECT_FALSE(form->btnSolve->isEnabled());
}

TEST_F(Solve, ProgressBarFollowsThePassesAndEndsAtZero) {
    enterExample();
    std::vector<int> shown;
    QObject::connect(form->PB1, &QProgressBar::valueChanged,
                     [&shown](int v) { shown.push_back(v); });
    form->btnSolve->click();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.front(), 1); // the first pass
    EXPECT_EQ(shown.back(), 0);
    // Four passes on a bar of three show full from the third on.
    EXPECT_EQ(*std::max_element(shown.begin(), shown.end()), 3);
}

TEST_F(Solve, FreshTableStopsAtThePlaceholder) {
    form->btnNewTab->click();
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(
        entries(),
        (std::vector<Entry>{{Kind::Error, u("' ?' is not a valid floating point value\r\n« ?» — не "
                                            "число\r\nЯчейка: ограничение 1, неизвестная 1")}}));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    EXPECT_FALSE(QFile::exists(folder.path("Kvaq.log")));
}

TEST_F(Solve, DesignGridStopsAtTheFirstEmptyCell) {
    form->btnSolve->click();
    EXPECT_EQ(entries(),
              (std::vector<Entry>{
                  {Kind::Error, u("'' is not a valid floating point value\r\nЯчейка пуста: "
                                  "в нее нужно ввести число\r\nЯчейка: "
                                  "ограничение 1, неизвестная 1")}}));
}

TEST_F(Solve, CellsAreReadInTheOrderOfTheSetUp) {
    // Coefficients row by row come before the objective, the objective before the right-hand
    // sides: with one bad cell of each, the coefficient is the one reported.
    enterExample();
    type(1, 2, "b?");
    type(2, 5, "c?");
    type(3, 3, "a?");
    form->btnSolve->click();
    ASSERT_EQ(toolkit.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(
        toolkit.texts(Kind::Error)[0].startsWith("'a?' is not a valid floating point value"));
    type(3, 3, "-1");
    form->btnSolve->click();
    EXPECT_TRUE(
        toolkit.texts(Kind::Error).last().startsWith("'c?' is not a valid floating point value"));
}

TEST_F(Solve, CellWithBlanksAroundANumberConverts) {
    enterExample(" 3 ");
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmResults2"});
}

// The session's table (tests/session/SessionTest.cpp) holds the separators and the forms that
// do not convert; the window passes the user's own.
TEST_F(Solve, GridNumbersUseTheUsersSeparator) {
    form->setDecimalSeparator(',');
    enterExample("2,5");
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));
    EXPECT_EQ(problem.initialRhs[3], 2.5L);
}

TEST_F(Solve, GridOfFewerRowsThanTheCountsIsRefused) {
    enterExample();
    form->edL->setText("0");
    const Input before = input();
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Message),
              QStringList{u("Ошибка: число строк таблицы\r\nне соответствует числу "
                            "ограничений.\r\nИсправьте")});
    EXPECT_EQ(toolkit.entries().size(), 1u);
    EXPECT_EQ(input(), before);
    EXPECT_FALSE(QFile::exists(folder.path("Kvaq.log")));
}

TEST_F(Solve, GridOfFewerColumnsThanTheCountsIsRefused) {
    enterExample();
    form->edN->setText("1");
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Message),
              QStringList{u("Ошибка: число столбцов таблицы\r\nне соответствует числу "
                            "неизвестных.\r\nИсправьте")});
    EXPECT_TRUE(form->btnSolve->isEnabled());
}

TEST_F(Solve, MoreRowsThanTheGridHasStopInTheGridTransfer) {
    enterExample();
    form->edL->setText("2");
    toolkit.clear();
    form->btnSolve->click();
    // Row 6, the objective row for these counts, is outside the grid and empty.
    EXPECT_EQ(entries(),
              (std::vector<Entry>{
                  {Kind::Error, u("'' is not a valid floating point value\r\nЯчейка пуста: "
                                  "в нее нужно ввести число\r\nЯчейка: "
                                  "целевая функция, неизвестная 1")}}));
}

TEST_F(Solve, ResizingFirstMakesTheCountsAgree) {
    enterExample();
    form->edL->setText("0");
    form->btnREsizeTab->click();
    // The old row 5 (the objective) is now outside; the objective caption's row, 4, holds
    // the typed "<=" row, and its numbers become the objective.
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Message), QStringList{});
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmResults2"});
}

TEST_F(Solve, NegativeRightHandSideIsRefusedBeforeTheSolve) {
    enterExample("-3");
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(),
              (std::vector<Entry>{
                  {Kind::Message, u("Ошибка: правая часть B[3] отрицательна.\r\nУмножьте это "
                                    "ограничение на -1 (знак >= сменится на <=, а <= на >=)")}}));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    EXPECT_FALSE(QFile::exists(folder.path("Kvaq.log")));
}

TEST_F(Solve, FirstNegativeRightHandSideIsNamed) {
    enterProblem("1", "0", "1", "1", {{"-1", "1"}, {"-2", "1"}, {"1"}});
    form->btnSolve->click();
    ASSERT_EQ(toolkit.texts(Kind::Message).size(), 1);
    EXPECT_TRUE(toolkit.texts(Kind::Message)[0].startsWith(u("Ошибка: правая часть B[1] ")));
}

TEST_F(Solve, InfeasibleProblemKeepsTheProgramAndTheInput) {
    // X1 >= 5 and X1 <= 3.
    enterProblem("1", "0", "1", "1", {{"5", "1"}, {"3", "1"}, {"1"}});
    const Input before = input();
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Message, u(kNoFeasibleSolutionMessage)}}));
    EXPECT_EQ(input(), before);
    EXPECT_EQ(grid().cell(1, 2), "5");
    EXPECT_EQ(form->progressPosition(), 0);
    EXPECT_TRUE(QFileInfo(folder.path("Kvaq.log")).size() > 0);
}

TEST_F(Solve, UnboundedProblemNamesItsColumnAndKeepsTheInput) {
    // Minimise −X1 subject to X1 − X2 <= 1: column 2 has no bound.
    enterProblem("0", "0", "1", "2", {{"1", "1", "-1"}, {"-1", "0"}});
    const Input before = input();
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(),
              (std::vector<Entry>{{Kind::Message, u("Целевая функция не ограничена (переменная "
                                                    "X[2])\r\nподробнее в файле Kvaq.log")}}));
    EXPECT_EQ(input(), before);
    EXPECT_FALSE(toolkit.exitRequested());
}

TEST_F(Solve, FailedTraceLogEndsTheSolveWithTheErrorReport) {
    // A folder in the log's place cannot be opened as a file, not even by root.
    ASSERT_TRUE(QDir(folder.path(".")).mkdir("Kvaq.log"));
    enterExample();
    toolkit.clear();
    form->btnSolve->click();
    ASSERT_EQ(toolkit.entries().size(), 1u);
    EXPECT_EQ(toolkit.entries()[0].kind, Kind::Error);
    EXPECT_FALSE(toolkit.entries()[0].text.isEmpty());
    EXPECT_TRUE(form->btnSolve->isEnabled());
}

TEST_F(Solve, ProblemCanBeCorrectedAndSolvedAfterAFailure) {
    enterProblem("1", "0", "1", "1", {{"5", "1"}, {"3", "1"}, {"1"}});
    form->btnSolve->click();
    type(1, 3, "7");
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));
    EXPECT_EQ(problem.solution[1], 5.0L);
}

} // namespace
} // namespace kvado::ui::test
