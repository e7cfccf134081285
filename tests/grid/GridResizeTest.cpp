#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "grid/GridResize.h"

namespace {

using kvado::ColumnMark;
using kvado::GridCounts;
using kvado::StringGridModel;

// Every cell of the layout named by its role, so that a moved cell shows where it came from.
void layOut(StringGridModel& g, const GridCounts& c) {
    g.setRowCount(c.M() + 3);
    g.setColCount(c.N + 2);
    for (int row = 0; row < c.M() + 3; ++row)
        for (int col = 0; col < c.N + 2; ++col)
            g.setCell(col, row, "r" + std::to_string(row) + "c" + std::to_string(col));
    // Unknown 1 integer, unknown 2 binary: the marks go with their columns.
    g.setColMark(2, ColumnMark::Integer);
    g.setColMark(3, ColumnMark::Binary);
}

struct Case {
    const char* name;
    GridCounts from, to;
    // (col, row, text) expected after the resize.
    std::vector<std::tuple<int, int, std::string>> cells;
    // The marks of columns 2, 3 and 4 afterwards.
    std::vector<ColumnMark> marks = {ColumnMark::Integer, ColumnMark::Binary, ColumnMark::None};
};

class GridResize : public testing::TestWithParam<Case> {};

TEST_P(GridResize, EveryCellKeepsItsRole) {
    const Case& c = GetParam();
    StringGridModel g;
    layOut(g, c.from);
    kvado::resizeKeepingRoles(g, c.from, c.to);
    EXPECT_EQ(g.rowCount(), c.to.M() + 3);
    EXPECT_EQ(g.colCount(), c.to.N + 2);
    for (const auto& [col, row, text] : c.cells)
        EXPECT_EQ(g.cell(col, row), text) << "cell (" << col << ", " << row << ")";
    for (int col = 2; col <= 4; ++col)
        EXPECT_EQ(g.colMark(col), c.marks[static_cast<size_t>(col - 2)]) << "column " << col;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridResize,
    testing::Values(
        // A second ">=" row: the "=" and "<=" rows and the objective move down by one.
        Case{"MoreGreater",
             {1, 1, 1, 2},
             {2, 1, 1, 2},
             {{0, 2, "r2c0"},
              {0, 3, " Не заполнено"},
              {1, 3, " ?"},
              {3, 3, " ?"},
              {0, 4, "r3c0"},
              {2, 5, "r4c2"},
              {0, 6, "r5c0"},
              {1, 6, "r5c1"},
              {3, 6, "r5c3"}}},
        // No "<=" row left: the objective row moves up, the "<=" row leaves.
        Case{"NoLess",
             {1, 1, 1, 2},
             {1, 1, 0, 2},
             {{0, 3, "r3c0"}, {0, 4, "r5c0"}, {2, 4, "r5c2"}, {0, 5, ""}}},
        // A new unknown: header, name placeholder and " ?" in every number row.
        Case{"NewUnknown",
             {1, 0, 1, 2},
             {1, 0, 1, 3},
             {{4, 0, " A[i,3] "},
              {4, 1, " Не заполн."},
              {4, 2, " ?"},
              {4, 4, " ?"},
              {3, 4, "r4c3"},
              {1, 1, "r1c1"}}},
        // Fewer of everything: the first rows of each group stay.
        Case{"Shrink",
             {2, 2, 2, 3},
             {1, 1, 1, 1},
             {{0, 2, "r2c0"}, {0, 3, "r4c0"}, {0, 4, "r6c0"}, {2, 5, "r8c2"}, {3, 5, ""}},
             {ColumnMark::Integer, ColumnMark::None, ColumnMark::None}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Text that left the grid never comes back: the fault was an old row solved as the objective.
TEST(GridResizeRoundTrip, DroppedTextDoesNotReturn) {
    StringGridModel g;
    const GridCounts big{1, 1, 2, 3}, small{1, 1, 0, 1};
    layOut(g, big);
    kvado::resizeKeepingRoles(g, big, small);
    kvado::resizeKeepingRoles(g, small, big);
    EXPECT_EQ(g.cell(0, 4), " Не заполнено");
    EXPECT_EQ(g.cell(0, 6), "r6c0");
    EXPECT_EQ(g.cell(4, 6), " ?");
    EXPECT_EQ(g.cell(4, 1), " Не заполн.");
    // So does a mark: the unknown that comes back is a new one.
    EXPECT_EQ(g.colMark(2), ColumnMark::Integer);
    EXPECT_EQ(g.colMark(3), ColumnMark::None);
}

} // namespace
