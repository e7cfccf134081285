#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/StringGridModel.h"

using kvado::StringGridModel;

namespace {

std::string label(int col, int row) {
    return std::to_string(col) + ":" + std::to_string(row);
}

void fill(StringGridModel& g) {
    for (int r = 0; r < g.rowCount(); ++r)
        for (int c = 0; c < g.colCount(); ++c)
            g.setCell(c, r, label(c, r));
}

struct Recorder : StringGridModel::Observer {
    std::vector<std::string> events;
    void countsChanged() override { events.push_back("counts"); }
    void cellChanged(int col, int row) override { events.push_back("cell " + label(col, row)); }
    void colWidthChanged(int col) override { events.push_back("width " + std::to_string(col)); }
    void gridChanged() override { events.push_back("grid"); }
    void colMarkChanged(int col) override { events.push_back("mark " + std::to_string(col)); }
};

} // namespace

TEST(StringGridModel, StartsEmptyWithDefaultWidths) {
    StringGridModel g(5, 6);
    EXPECT_EQ(g.colCount(), 5);
    EXPECT_EQ(g.rowCount(), 6);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(g.colWidth(c), 100);
    EXPECT_EQ(g.cell(0, 0), "");
    EXPECT_EQ(g.cell(4, 5), "");
}

// Each case resizes a filled 4 x 4 grid through a sequence of counts and then asks which
// cells read as their old text.
struct ResizeCase {
    const char* name;
    std::vector<std::pair<int, int>> counts; // (cols, rows), applied in order
    std::vector<std::pair<int, int>> kept;   // cells that must still read their text
};

class StringGridResize : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(StringGridResize, KeepsTextOutsideTheCounts) {
    StringGridModel g(4, 4);
    fill(g);
    for (auto [cols, rows] : GetParam().counts) {
        g.setColCount(cols);
        g.setRowCount(rows);
    }
    for (auto [c, r] : GetParam().kept)
        EXPECT_EQ(g.cell(c, r), label(c, r)) << c << "," << r;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringGridResize,
    ::testing::Values(ResizeCase{"ShrinkThenRead", {{2, 2}}, {{3, 3}, {0, 3}, {3, 0}, {1, 1}}},
                      ResizeCase{"ShrinkThenGrowAgain", {{1, 1}, {4, 4}}, {{3, 3}, {2, 1}, {0, 0}}},
                      ResizeCase{"ShrinkToNothing", {{0, 0}, {6, 6}}, {{3, 3}, {0, 0}}},
                      ResizeCase{"GrowOnly", {{10, 10}}, {{3, 3}, {0, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringGridModel, CellsNeverWrittenReadEmptyAfterGrowing) {
    StringGridModel g(2, 2);
    fill(g);
    g.setColCount(4);
    g.setRowCount(4);
    EXPECT_EQ(g.cell(2, 0), "");
    EXPECT_EQ(g.cell(3, 3), "");
    EXPECT_EQ(g.cell(100000, 100000), "");
    EXPECT_EQ(g.cell(-1, 0), "");
    EXPECT_EQ(g.cell(0, -1), "");
}

TEST(StringGridModel, WritesOutsideTheCountsAreKept) {
    StringGridModel g(2, 2);
    g.setCell(7, 9, "far");
    EXPECT_EQ(g.cell(7, 9), "far");
    g.setColCount(8);
    g.setRowCount(10);
    EXPECT_EQ(g.cell(7, 9), "far");
}

TEST(StringGridModel, EmptyTextReplacesOldText) {
    StringGridModel g(3, 3);
    g.setCell(1, 1, "x");
    g.setCell(1, 1, "");
    EXPECT_EQ(g.cell(1, 1), "");
    g.setCell(-1, 0, "ignored");
    EXPECT_EQ(g.cell(0, 0), "");
}

TEST(StringGridModel, NegativeCountsAreTakenAsZero) {
    StringGridModel g(-3, -1);
    EXPECT_EQ(g.colCount(), 0);
    EXPECT_EQ(g.rowCount(), 0);
    g.setColCount(-5);
    EXPECT_EQ(g.colCount(), 0);
}

TEST(StringGridModel, ColumnsThatComeBackTakeTheDefaultWidth) {
    StringGridModel g(5, 3);
    g.setColWidth(0, 250);
    g.setColWidth(3, 70);
    g.setColWidth(4, 70);
    g.setColCount(4);
    g.setColCount(5);
    EXPECT_EQ(g.colWidth(0), 250);
    EXPECT_EQ(g.colWidth(3), 70);
    EXPECT_EQ(g.colWidth(4), 100);
    EXPECT_EQ(g.colWidth(5), 100);
}

TEST(StringGridModel, WidthOfAColumnOutsideTheGridIsNotSet) {
    StringGridModel g(2, 2);
    g.setColWidth(5, 30);
    g.setColCount(6);
    EXPECT_EQ(g.colWidth(5), 100);
}

TEST(StringGridModel, FixedRowsAndColumns) {
    StringGridModel g(5, 6);
    g.setFixedRows(1);
    EXPECT_TRUE(g.isFixed(3, 0));
    EXPECT_FALSE(g.isFixed(0, 1));
    g.setFixedCols(1);
    EXPECT_TRUE(g.isFixed(0, 4));
    EXPECT_FALSE(g.isFixed(1, 1));
}

TEST(StringGridModel, ClearCellsDropsKeptTextToo) {
    StringGridModel g(3, 3);
    fill(g);
    g.setRowCount(1);
    g.clearCells();
    g.setRowCount(3);
    EXPECT_EQ(g.cell(2, 2), "");
    EXPECT_EQ(g.rowCount(), 3);
}

TEST(StringGridModel, ObserverHearsEachChangeOnce) {
    StringGridModel g(3, 3);
    Recorder rec;
    g.setObserver(&rec);
    g.setCell(1, 2, "a");
    g.setCell(1, 2, "a"); // no change
    g.setRowCount(4);
    g.setRowCount(4); // no change
    g.setColWidth(2, 40);
    g.setColWidth(2, 40); // no change
    g.setColMark(2, kvado::ColumnMark::Integer);
    g.setColMark(2, kvado::ColumnMark::Integer); // no change
    g.setColMark(7, kvado::ColumnMark::Binary);  // outside the grid: not set
    EXPECT_EQ(rec.events, (std::vector<std::string>{"cell 1:2", "counts", "width 2", "mark 2"}));
    // A mark, like a width, belongs to a column shown: one that leaves the grid loses it.
    g.setColCount(2);
    g.setColCount(3);
    EXPECT_EQ(g.colMark(2), kvado::ColumnMark::None);
    EXPECT_FALSE(g.hasMarks());
}

TEST(StringGridModel, UpdateTellsTheObserverOnceAtTheEnd) {
    StringGridModel g(3, 3);
    Recorder rec;
    g.setObserver(&rec);
    {
        StringGridModel::UpdateScope outer(g);
        g.setRowCount(10);
        {
            StringGridModel::UpdateScope inner(g);
            g.setCell(0, 0, "x");
        }
        EXPECT_TRUE(rec.events.empty());
        g.setColWidth(0, 250);
    }
    EXPECT_EQ(rec.events, std::vector<std::string>{"grid"});
    { StringGridModel::UpdateScope idle(g); }
    EXPECT_EQ(rec.events.size(), 1u) << "an update that changed nothing is not told";
}

// A grid of the largest size the windows lay out: changing its counts must not walk the
// cells. Text is in its first column and its first and last rows only, so the test itself is
// cheap, while a model that kept a cell for every place within the counts would build four
// million of them on every turn (and never end), and one that dropped the cells outside the
// counts would lose that text.
TEST(StringGridModel, LargeGridCountsAreCheap) {
    constexpr int n = 2000;
    StringGridModel g(n, n);
    {
        StringGridModel::UpdateScope scope(g);
        // Column by column, as a new table writes it.
        for (int c = 0; c < n; ++c)
            for (int r : {0, n - 1})
                g.setCell(c, r, label(c, r));
        for (int r = 1; r < n - 1; ++r)
            g.setCell(0, r, label(0, r));
    }
    for (int k = 0; k < 200000; ++k) {
        g.setRowCount(k % 2 == 0 ? 1 : n);
        g.setColCount(k % 2 == 0 ? 1 : n);
    }
    ASSERT_EQ(g.colCount(), n);
    ASSERT_EQ(g.rowCount(), n);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(g.cell(i, 0), label(i, 0));
        ASSERT_EQ(g.cell(i, n - 1), label(i, n - 1));
        ASSERT_EQ(g.cell(0, i), label(0, i));
    }
    EXPECT_EQ(g.cell(1, 1), "");
    EXPECT_EQ(g.cell(n - 1, 1), "");
}
