// The edit parse as the session takes it for the three commands that start with it (new
// table, resize, solve): the message of each edit refused, what the parse has stored by the
// time it stops, and what a refused parse leaves in the input grid. The main window's part
// (the question before a new table replaces typed work) is tested with the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../report/ReportFixture.h"
#include "ShownView.h"
#include "session/Session.h"
#include "text/NumberText.h"

using namespace kvado;
using namespace kvado::session;
using namespace kvado_test;

namespace {

// Each row: the edits, the message, and which of the problem's fields the parse has stored
// by the time it stops.
struct EditCase {
    const char* name;
    const char* G;
    const char* E;
    const char* L;
    const char* N;
    const char* eps;
    const char* message; // nullptr: accepted
    int stored;          // how many of G, E, L (with M), N, Eps are new
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class EditParse : public ::testing::TestWithParam<EditCase> {
protected:
    EditParse() {
        session.setView(&view);
        session.setDecimalSeparator('.');
        session.setLogFolder(dir.path().string());
        problem.G = problem.E = problem.L = problem.N = 77;
        problem.M = 231;
        problem.eps = 0.5L;
    }
    EditTexts edits() const {
        const EditCase& c = GetParam();
        return {c.G, c.E, c.L, c.N, c.eps};
    }
    std::vector<std::pair<Kind, std::string>> message() const {
        if (GetParam().message == nullptr) return {};
        return {{Kind::Message, GetParam().message}};
    }
    void expectState() const {
        const EditCase& c = GetParam();
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

    ScratchDir dir;
    LpProblem problem;
    Session session{problem};
    Shown view;
};

TEST_P(EditParse, NewTableShowsTheEditsMessageAndKeepsTheGrid) {
    StringGridModel& grid = session.inputGrid();
    grid.setCell(0, 1, "kept");
    session.SetupGrid(edits(), true);
    EXPECT_EQ(view.seen, message());
    if (GetParam().message == nullptr) {
        EXPECT_EQ(grid.cell(0, 1), " Неизвестные --> ");
    } else {
        EXPECT_EQ(grid.rowCount(), 6);
        EXPECT_EQ(grid.colCount(), 5);
        EXPECT_EQ(grid.cell(0, 1), "kept");
    }
    expectState();
}

TEST_P(EditParse, ResizeShowsTheSameMessage) {
    session.SetupGrid(edits(), false);
    EXPECT_EQ(view.seen, message());
    expectState();
}

TEST_P(EditParse, SolveStopsAtTheEditsMessage) {
    std::string error;
    try {
        session.solveInput(edits());
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (GetParam().message == nullptr) {
        // Accepted edits go on to the grid, which stops the solve for its own reasons.
        EXPECT_TRUE(!view.seen.empty() || !error.empty());
        for (const auto& [kind, text] : view.seen)
            EXPECT_NE(text.rfind("Ошибка огр", 0), 0u) << text;
    } else {
        EXPECT_EQ(view.seen, message());
        EXPECT_EQ(error, "");
    }
    expectState();
}

const char* const kTooLarge = "Ошибка: задача слишком велика для этого компьютера";

INSTANTIATE_TEST_SUITE_P(
    Cases, EditParse,
    ::testing::Values(EditCase{"Defaults", "1", "1", "1", "3", "1E-8", nullptr, 5},
                      EditCase{"Zeros", "0", "0", "0", "0", "1e-8", nullptr, 5},
                      EditCase{"HexCount", "$A", "0x1", " 2", "3", "0.00000001", nullptr, 5},
                      EditCase{"EpsWithComma", "1", "1", "1", "3", "0,001", nullptr, 5},
                      EditCase{"BadG", "x", "1", "1", "3", "1E-8", "Ошибка огр >=", 0},
                      EditCase{"EmptyG", "", "1", "1", "3", "1E-8", "Ошибка огр >=", 0},
                      EditCase{"BadE", "2", "x", "1", "3", "1E-8", "Ошибка огр =", 1},
                      EditCase{"BadL", "2", "1", "1.5", "3", "1E-8", "Ошибка огр <=", 2},
                      EditCase{"BadN", "2", "1", "1", "3 ", "1E-8", "Ошибка числа неизв", 3},
                      EditCase{"BadEps", "2", "1", "1", "3", "1E-8 ", "Ошибка Eps", 4},
                      EditCase{"EmptyEps", "2", "1", "1", "3", "", "Ошибка Eps", 4},
                      EditCase{"NegativeG", "-1", "1", "1", "3", "1E-8", "Ошибка огр >=", 0},
                      EditCase{"NegativeE", "2", "-1", "1", "3", "1E-8", "Ошибка огр =", 1},
                      EditCase{"NegativeL", "2", "1", "-1", "3", "1E-8", "Ошибка огр <=", 2},
                      EditCase{"NegativeN", "2", "1", "1", "-2", "1E-8", "Ошибка числа неизв", 3},
                      EditCase{"ZeroEps", "2", "1", "1", "3", "0", "Ошибка Eps", 4},
                      EditCase{"NegativeEps", "2", "1", "1", "3", "-1E-8", "Ошибка Eps", 4},
                      EditCase{"TooManyG", "9000", "0", "0", "1", "1E-8", kTooLarge, 0},
                      EditCase{"TooManyRows", "4000", "4001", "0", "1", "1E-8", kTooLarge, 1},
                      EditCase{"TooManyWithL", "4000", "0", "4001", "1", "1E-8", kTooLarge, 2},
                      EditCase{"TooManyUnknowns", "1", "0", "0", "2000000", "1E-8", kTooLarge, 3},
                      EditCase{"TooManyCells", "8000", "0", "0", "7000", "1E-8", kTooLarge, 3}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
