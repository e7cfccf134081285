// The grid's marks and the model's column kinds, both ways: the standard form's columns of an
// integer model are marked (a free column's two halves alike, «0/1» only where a binary column
// stands as itself), and the grid's marks become the kinds of the grid's model.
#include <gtest/gtest.h>

#include "session/GridMarks.h"
#include "session/Session.h"

using namespace kvado;

namespace {

TEST(GridMarks, AModelsIntegerColumnsMarkTheirStandardColumns) {
    model::Model m;
    auto column = [&](const char* name, model::ColumnKind kind, Real lower, Real upper) {
        model::Column c{name, 1, lower, upper};
        c.kind = kind;
        m.columns.push_back(c);
    };
    column("bin", model::ColumnKind::Binary, 0, 1);
    column("cont", model::ColumnKind::Continuous, 0, model::kInfinity);
    column("free", model::ColumnKind::Integer, -model::kInfinity, model::kInfinity);
    column("shifted", model::ColumnKind::Binary, 1, 1.5L); // a whole 1, no longer 0/1 as x'
    column("fixed", model::ColumnKind::Integer, 2, 2);
    m.rows = {model::lessRow("r", 10)};
    for (int32_t c = 0; c < 5; ++c)
        m.entries.push_back({0, c, 1});
    const model::StandardForm sf = model::toStandardForm(m);
    StringGridModel grid(sf.N + 2, sf.M() + 3);
    grid.setColMark(sf.N + 1, ColumnMark::Integer); // an earlier mark the model does not have
    session::markColumnsOf(m, sf, grid);
    std::vector<ColumnMark> marks;
    for (int32_t j = 0; j < sf.N; ++j)
        marks.push_back(grid.colMark(j + 2));
    const auto at = [&](int32_t c) { return sf.columnMap[static_cast<size_t>(c)].column; };
    std::vector<ColumnMark> expected(static_cast<size_t>(sf.N), ColumnMark::None);
    expected[static_cast<size_t>(at(0))] = ColumnMark::Binary;
    expected[static_cast<size_t>(at(2))] = ColumnMark::Integer;
    expected[static_cast<size_t>(at(2) + 1)] = ColumnMark::Integer;
    expected[static_cast<size_t>(at(3))] = ColumnMark::Integer;
    EXPECT_EQ(marks, expected);
    EXPECT_EQ(sf.columnMap[4].column, -1) << "a fixed column has no standard column to mark";

    // Back: the grid's kinds, a binary one bounded by 0 and 1.
    model::Model back = m;
    for (model::Column& c : back.columns) {
        c.kind = model::ColumnKind::Continuous;
        c.lower = 0;
        c.upper = model::kInfinity;
    }
    StringGridModel g(7, 4);
    g.setColMark(2, ColumnMark::Binary);
    g.setColMark(4, ColumnMark::Integer);
    session::applyColumnMarks(g, back);
    EXPECT_EQ(back.columns[0].kind, model::ColumnKind::Binary);
    EXPECT_EQ(back.columns[0].upper, 1);
    EXPECT_EQ(back.columns[1].kind, model::ColumnKind::Continuous);
    EXPECT_EQ(back.columns[2].kind, model::ColumnKind::Integer);
    EXPECT_EQ(back.columns[2].upper, model::kInfinity);
}

// LP text with whole columns laid into the input marks them; typing a mark by the user ends the
// link, and the grid's own model then carries the marks.
TEST(GridMarks, ALaidModelMarksTheInput) {
    LpProblem problem;
    session::Session s(problem);
    s.setHeadless(false);
    const session::ModelOpen laid =
        s.applyModelText("max: 5x + 4y + z\nst\nc1: 6x + 4y + z <= 24\nc2: x + 2y <= 6\n"
                         "general\n x\nbinary\n y\nend\n");
    ASSERT_TRUE(laid.opened) << laid.error;
    EXPECT_EQ(s.inputGrid().colMark(2), ColumnMark::Integer);
    EXPECT_EQ(s.inputGrid().colMark(3), ColumnMark::Binary);
    EXPECT_EQ(s.inputGrid().colMark(4), ColumnMark::None);
    EXPECT_TRUE(s.inputHasMarks());
    const session::ModelOpen plain = s.applyModelText("min: x + y\nst\nc1: x + y >= 1\nend\n");
    ASSERT_TRUE(plain.opened) << plain.error;
    EXPECT_FALSE(s.inputHasMarks());
}

} // namespace
