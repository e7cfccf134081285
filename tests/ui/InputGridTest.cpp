// The edit parse and the two grid commands: their messages, what each failure leaves, and
// the layout a new table writes.

#include <QHeaderView>
#include <QPushButton>

#include "text/NumberText.h"

#include "UiTestSupport.h"

namespace kvado::ui::test {
namespace {

class InputGrid : public MainWindowFixture {
protected:
    std::vector<int> widths() {
        std::vector<int> result;
        for (int c = 0; c < grid().colCount(); ++c)
            result.push_back(grid().colWidth(c));
        return result;
    }
};

TEST_F(InputGrid, DesignGridBeforeAnyCommand) {
    EXPECT_EQ(grid().rowCount(), 6);
    EXPECT_EQ(grid().colCount(), 5);
    EXPECT_EQ(grid().fixedRows(), 1);
    EXPECT_EQ(grid().fixedCols(), 0);
    EXPECT_EQ(widths(), (std::vector<int>{100, 100, 100, 100, 100}));
    EXPECT_EQ(rows(), std::vector<std::string>(6, "||||"));
    EXPECT_TRUE(form->SG1->editing());
}

TEST_F(InputGrid, NewTableForTheDefaultCounts) {
    form->btnNewTab->click();
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          " Ограничения (ниже):|  B[i] | A[i,1] | A[i,2] | A[i,3] ",
                          " Неизвестные --> || Не заполн.| Не заполн.| Не заполн.",
                          " Не заполнено| ?| ?| ?| ?",
                          " Не заполнено| ?| ?| ?| ?",
                          " Не заполнено| ?| ?| ?| ?",
                          " Коэффициенты целевой ф-ии|| ?| ?| ?",
                      }));
    EXPECT_EQ(widths(), (std::vector<int>{250, 70, 70, 70, 70}));
    EXPECT_EQ(form->statusText(), u("   Создаются новые данные"));
    EXPECT_TRUE(toolkit.entries().empty());
}

TEST_F(InputGrid, NewTableWithNoConstraintsAndNoUnknowns) {
    setEdits("0", "0", "0", "0");
    form->btnNewTab->click();
    EXPECT_EQ(rows(),
              (std::vector<std::string>{" Ограничения (ниже):|  B[i] ", " Неизвестные --> |",
                                        " Коэффициенты целевой ф-ии|"}));
    EXPECT_EQ(widths(), (std::vector<int>{250, 70}));
}

TEST_F(InputGrid, NewTableNumbersTheUnknownsInDecimal) {
    setEdits("0", "0", "1", "12");
    form->btnNewTab->click();
    EXPECT_EQ(grid().cell(13, 0), " A[i,12] ");
    EXPECT_EQ(grid().colCount(), 14);
}

TEST_F(InputGrid, NewTableReplacesAnEarlierProblemButNotTheFreeCells) {
    form->btnNewTab->click();
    type(0, 2, "Сталь");
    type(2, 3, "4");
    type(1, 1, "note");
    type(1, 5, "other");
    form->btnNewTab->click();
    EXPECT_EQ(grid().cell(0, 2), " Не заполнено");
    EXPECT_EQ(grid().cell(2, 3), " ?");
    EXPECT_EQ(grid().cell(1, 1), "note");
    EXPECT_EQ(grid().cell(1, 5), "other");
}

// The new "<=" row joins its group; the objective row stays the last row (kept in place, it
// turned into a constraint and an empty row was solved as the objective).
TEST_F(InputGrid, ResizeAddsARowToItsGroupAndKeepsTheObjectiveLast) {
    form->btnNewTab->click();
    form->edL->setText("2");
    form->btnREsizeTab->click();
    ASSERT_EQ(grid().rowCount(), 7);
    EXPECT_EQ(rows()[5], " Не заполнено| ?| ?| ?| ?");
    EXPECT_EQ(rows()[6], " Коэффициенты целевой ф-ии|| ?| ?| ?");
    EXPECT_EQ(form->statusText(), u("   Создаются новые данные"));
}

TEST_F(InputGrid, ResizeAddsAColumnOfDefaultWidth) {
    form->btnNewTab->click();
    form->edN->setText("4");
    form->btnREsizeTab->click();
    EXPECT_EQ(widths(), (std::vector<int>{250, 70, 70, 70, 70, 100}));
    // The new unknown's column gets the new table's header and placeholders.
    EXPECT_EQ(grid().cell(5, 0), " A[i,4] ");
    EXPECT_EQ(grid().cell(5, 1), " Не заполн.");
    for (int r = 2; r < 6; ++r)
        EXPECT_EQ(grid().cell(5, r), " ?") << r;
}

TEST_F(InputGrid, WideNewTableThenWiderStill) {
    setEdits("0", "0", "1", "500");
    form->btnNewTab->click();
    form->edN->setText("600");
    form->btnREsizeTab->click();
    const QHeaderView* h = form->SG1->horizontalHeader();
    ASSERT_EQ(h->count(), 602);
    EXPECT_EQ(h->sectionSize(0), 250);
    EXPECT_EQ(h->sectionSize(501), 70);
    EXPECT_EQ(h->sectionSize(502), 100);
    EXPECT_EQ(grid().colWidth(501), 70);
    EXPECT_EQ(grid().cell(501, 0), " A[i,500] ");
}

// Text that left the grid does not come back later: a stale row must never be solved.
TEST_F(InputGrid, TextOfCellsResizedAwayDoesNotComeBack) {
    form->btnNewTab->click();
    type(4, 4, "7");
    form->edN->setText("1");
    form->edL->setText("0");
    form->btnREsizeTab->click();
    EXPECT_EQ(grid().colCount(), 3);
    EXPECT_EQ(grid().rowCount(), 5);
    form->edN->setText("3");
    form->edL->setText("1");
    form->btnREsizeTab->click();
    EXPECT_EQ(grid().cell(4, 4), " ?");
    EXPECT_EQ(grid().cell(4, 0), " A[i,3] ");
    // Widths are the columns', and those columns left the grid.
    EXPECT_EQ(widths(), (std::vector<int>{250, 70, 70, 100, 100}));
}

// The session's table (tests/session/EditParseTest.cpp) holds every edit the parse refuses,
// for each of the three commands; here each command shows the message through the window.
struct EditCase {
    const char *G, *E, *L, *N, *eps;
    const char* message; // nullptr: accepted
    int stored;          // how many of G, E, L (with M), N, Eps are new
};

class EditParse : public InputGrid {
protected:
    void SetUp() override {
        InputGrid::SetUp();
        problem.G = problem.E = problem.L = problem.N = 77;
        problem.M = 231;
        problem.eps = 0.5L;
    }
    void enter(const EditCase& c) { setEdits(c.G, c.E, c.L, c.N, c.eps); }
    void expectState(const EditCase& c) {
        auto count = [](const char* t) { return text::toWholeNumber(t).value_or(-99); };
        EXPECT_EQ(problem.G, c.stored >= 1 ? count(c.G) : 77);
        EXPECT_EQ(problem.E, c.stored >= 2 ? count(c.E) : 77);
        EXPECT_EQ(problem.L, c.stored >= 3 ? count(c.L) : 77);
        EXPECT_EQ(problem.M, c.stored >= 3 ? problem.G + problem.E + problem.L : 231);
        EXPECT_EQ(problem.N, c.stored >= 4 ? count(c.N) : 77);
        if (c.stored < 5) {
            EXPECT_EQ(problem.eps, 0.5L);
        }
    }
};

TEST_F(EditParse, NewTableAsksBeforeItReplacesTypedWork) {
    const EditCase c{"1", "1", "1", "3", "1E-8", nullptr, 5};
    enter(c);
    type(0, 1, "kept");
    form->btnNewTab->click();
    // "kept" is typed work: the user is asked before the new table replaces it.
    EXPECT_EQ(toolkit.texts(Kind::Question).size(), 1);
    EXPECT_EQ(toolkit.entries().size(), 1u);
    EXPECT_EQ(grid().cell(0, 1), " Неизвестные --> ");
    expectState(c);
}

TEST_F(EditParse, NewTableShowsTheEditsMessageAndKeepsTheGrid) {
    const EditCase c{"2", "x", "1", "3", "1E-8", "Ошибка огр =", 1};
    enter(c);
    type(0, 1, "kept");
    form->btnNewTab->click();
    EXPECT_EQ(toolkit.entries(), (std::vector<Entry>{{Kind::Message, u(c.message)}}));
    EXPECT_EQ(grid().rowCount(), 6);
    EXPECT_EQ(grid().colCount(), 5);
    EXPECT_EQ(grid().cell(0, 1), "kept");
    expectState(c);
}

TEST_F(EditParse, ResizeShowsTheEditsMessage) {
    const EditCase c{"2", "1", "1.5", "3", "1E-8", "Ошибка огр <=", 2};
    enter(c);
    form->btnREsizeTab->click();
    EXPECT_EQ(toolkit.texts(Kind::Message), QStringList{u(c.message)});
    expectState(c);
}

TEST_F(EditParse, SolveStopsAtTheEditsMessage) {
    const EditCase c{"2", "1", "1", "3", "1E-8 ", "Ошибка Eps", 4};
    InTempFolder folder;
    enter(c);
    form->btnSolve->click();
    EXPECT_EQ(toolkit.entries(), (std::vector<Entry>{{Kind::Message, u(c.message)}}));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    expectState(c);
}

TEST_F(InputGrid, EpsForms) {
    for (const char* text : {"1E-8", "1e-8", "0.00000001", "0,00000001"}) {
        form->edEps->setText(u(text));
        EXPECT_FALSE(form->ParseEdits()) << text;
        EXPECT_EQ(problem.eps, 1e-8L) << text;
    }
}

} // namespace
} // namespace kvado::ui::test
