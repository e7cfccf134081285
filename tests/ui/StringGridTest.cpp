// The grid control over its text model: what the view is told, and what the user may do.

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/StringGrid.h"

namespace kvado::ui::test {
namespace {

class Grid : public ::testing::Test {
protected:
    void SetUp() override {
        grid.cells().setColCount(4);
        grid.cells().setRowCount(5);
        grid.cells().setFixedRows(1);
    }
    QAbstractItemModel* model() { return grid.model(); }
    QString shown(int col, int row) {
        return model()->data(model()->index(row, col), Qt::DisplayRole).toString();
    }
    StringGrid grid;
};

TEST_F(Grid, LooksLikeTheDesign) {
    EXPECT_FALSE(grid.horizontalHeader()->isVisible());
    EXPECT_FALSE(grid.verticalHeader()->isVisible());
    EXPECT_TRUE(grid.showGrid());
    EXPECT_EQ(grid.rowHeight(3), 20);
    EXPECT_EQ(grid.columnWidth(2), 100);
    EXPECT_EQ(grid.selectionMode(), QAbstractItemView::ContiguousSelection);
    EXPECT_EQ(grid.font().pixelSize(), 12);
}

TEST_F(Grid, ViewFollowsTheCountsOfTheModel) {
    EXPECT_EQ(model()->rowCount(), 5);
    EXPECT_EQ(model()->columnCount(), 4);
    grid.cells().setRowCount(2000);
    grid.cells().setColCount(3);
    EXPECT_EQ(model()->rowCount(), 2000);
    EXPECT_EQ(model()->columnCount(), 3);
    EXPECT_EQ(grid.rowHeight(1999), 20);
}

TEST_F(Grid, CellsWrittenToTheModelShow) {
    QSignalSpy changed(model(), &QAbstractItemModel::dataChanged);
    grid.cells().setCell(2, 3, "Сталь");
    EXPECT_EQ(shown(2, 3), u("Сталь"));
    EXPECT_EQ(changed.count(), 1);
    grid.cells().setCell(9, 9, "outside"); // kept, nothing to show
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(Grid, BatchOfWritesIsOneChange) {
    QSignalSpy changed(model(), &QAbstractItemModel::dataChanged);
    {
        StringGridModel::UpdateScope update(grid.cells());
        grid.cells().setRowCount(7);
        for (int r = 0; r < 7; ++r)
            grid.cells().setCell(1, r, "x");
        grid.cells().setColWidth(1, 70);
    }
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model()->rowCount(), 7);
    EXPECT_EQ(shown(1, 6), "x");
    EXPECT_EQ(grid.columnWidth(1), 70);
}

TEST_F(Grid, KeptTextShowsAgainWhenTheGridGrows) {
    grid.cells().setCell(3, 4, "kept");
    grid.cells().setRowCount(2);
    grid.cells().setColCount(2);
    grid.cells().setRowCount(5);
    grid.cells().setColCount(4);
    EXPECT_EQ(shown(3, 4), "kept");
}

TEST_F(Grid, WidthsGoBothWays) {
    grid.cells().setColWidth(0, 250);
    EXPECT_EQ(grid.columnWidth(0), 250);
    grid.setColumnWidth(1, 55); // as a drag of the column border does
    EXPECT_EQ(grid.cells().colWidth(1), 55);
    grid.cells().setColCount(6);
    EXPECT_EQ(grid.columnWidth(5), 100);
}

TEST_F(Grid, FixedRowIsNeitherEditableNorSelectable) {
    grid.setEditing(true);
    const QModelIndex fixed = model()->index(0, 1);
    const QModelIndex free = model()->index(1, 1);
    EXPECT_FALSE(model()->flags(fixed) & Qt::ItemIsEditable);
    EXPECT_FALSE(model()->flags(fixed) & Qt::ItemIsSelectable);
    EXPECT_TRUE(model()->flags(free) & Qt::ItemIsEditable);
    EXPECT_FALSE(model()->setData(fixed, "x", Qt::EditRole));
    EXPECT_TRUE(model()->setData(free, "y", Qt::EditRole));
    EXPECT_EQ(grid.cells().cell(1, 1), "y");
    EXPECT_TRUE(model()->data(fixed, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model()->data(free, Qt::BackgroundRole).isValid());
}

TEST_F(Grid, EditingCanBeSwitchedOff) {
    grid.setEditing(false);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    grid.setEditing(true);
    EXPECT_NE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(Grid, CurrentCellStaysOutOfTheFixedRow) {
    grid.show();
    grid.setFocus();
    QApplication::processEvents();
    grid.setCurrentIndex(model()->index(1, 2));
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.currentIndex(), model()->index(1, 2));
    QTest::keyClick(&grid, Qt::Key_PageUp);
    EXPECT_EQ(grid.currentIndex().row(), 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.currentIndex(), model()->index(2, 2));
}

TEST_F(Grid, ClickOnAFixedCellDoesNotMakeItCurrent) {
    grid.show();
    grid.setCurrentIndex(model()->index(2, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(model()->index(0, 1)).center());
    EXPECT_EQ(grid.currentIndex(), model()->index(2, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(model()->index(3, 2)).center());
    EXPECT_EQ(grid.currentIndex(), model()->index(3, 2));
}

TEST_F(Grid, ColumnBorderIsDraggedInTheFixedRow) {
    grid.show();
    const int border = grid.columnViewportPosition(1) + grid.columnWidth(1);
    const int y = grid.rowViewportPosition(0) + 5;
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(border, y));
    const QPointF to(border + 30, y);
    QMouseEvent move(QEvent::MouseMove, to, grid.viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to.toPoint());
    EXPECT_EQ(grid.cells().colWidth(1), 130);
    EXPECT_EQ(grid.columnWidth(1), 130);
}

// Enough columns that the view sets their widths in one pass and mends the rest.
TEST_F(Grid, ManyWidthsAtOnceMatchTheModel) {
    StringGridModel& cells = grid.cells();
    {
        StringGridModel::UpdateScope update(cells);
        cells.setColCount(301);
        for (int c = 1; c < 301; ++c)
            cells.setColWidth(c, c % 3 == 0 ? 40 : 70);
        cells.setColWidth(0, 250);
    }
    auto expectSame = [&] {
        for (int c = 0; c < cells.colCount(); ++c)
            ASSERT_EQ(grid.columnWidth(c), cells.colWidth(c)) << "column " << c;
    };
    expectSame();
    EXPECT_EQ(cells.colWidth(3), 40) << "the one pass does not write into the model";
    cells.setColCount(10);
    cells.setColCount(400); // the columns that come back take the default width
    expectSame();
    EXPECT_EQ(grid.columnWidth(399), 100);
}

// The results window shows grids whose text the report writers fill.
TEST(GridOfAModelOwnedElsewhere, ShowsItsCountsTextsAndWidthsAndLeavesItBehind) {
    StringGridModel cells(3, 4);
    cells.setFixedRows(2);
    cells.setCell(1, 2, "before");
    cells.setColWidth(2, 64);
    {
        StringGrid grid(cells);
        QAbstractItemModel* m = grid.model();
        EXPECT_EQ(&grid.cells(), &cells);
        EXPECT_EQ(m->rowCount(), 4);
        EXPECT_EQ(m->columnCount(), 3);
        EXPECT_EQ(m->data(m->index(2, 1), Qt::DisplayRole).toString(), "before");
        EXPECT_EQ(grid.columnWidth(2), 64);
        EXPECT_FALSE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable) << "row 1 is fixed";

        QSignalSpy changed(m, &QAbstractItemModel::dataChanged);
        cells.setColCount(5);
        cells.setCell(4, 3, "after");
        EXPECT_EQ(m->columnCount(), 5);
        EXPECT_EQ(m->data(m->index(3, 4), Qt::DisplayRole).toString(), "after");
        EXPECT_EQ(changed.count(), 1);
    }
    // The grid has gone and no longer observes the model, which lives on.
    cells.setCell(0, 0, "still here");
    cells.setRowCount(1);
    EXPECT_EQ(cells.cell(0, 0), "still here");
    EXPECT_EQ(cells.cell(1, 2), "before");
}

} // namespace
} // namespace kvado::ui::test

namespace kvado::ui::test {
namespace {

// What a paste of spreadsheet text leaves in a 4 x 5 grid (row 0 fixed) from cell (1, 1).
struct PasteCase {
    const char* name;
    const char* clipboard;
    bool grow; // the owner grows the grid to what the block needs
    std::vector<std::tuple<int, int, const char*>> cells;
    int cols, rows;
    friend void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }
};

class Paste : public ::testing::TestWithParam<PasteCase> {};

TEST_P(Paste, FillsTheBlockFromTheCurrentCell) {
    const PasteCase& c = GetParam();
    StringGrid grid;
    grid.setEditing(true);
    grid.cells().setColCount(4);
    grid.cells().setRowCount(5);
    grid.cells().setFixedRows(1);
    grid.setGrowRequest([&](int cols, int rows) {
        if (!c.grow) return false;
        grid.cells().setColCount(std::max(cols, grid.cells().colCount()));
        grid.cells().setRowCount(std::max(rows, grid.cells().rowCount()));
        return true;
    });
    grid.cells().setColMark(2, ColumnMark::Binary);
    grid.setCurrentIndex(grid.model()->index(1, 1));
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    // A paste writes cells, never a column's mark.
    EXPECT_EQ(grid.cells().colMark(2), ColumnMark::Binary);
    EXPECT_EQ(grid.cells().colCount(), c.cols);
    EXPECT_EQ(grid.cells().rowCount(), c.rows);
    for (const auto& [col, row, text] : c.cells)
        EXPECT_EQ(grid.cells().cell(col, row), text) << "cell (" << col << ", " << row << ")";
    // One undo takes the whole paste back.
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    for (const auto& [col, row, text] : c.cells)
        EXPECT_EQ(grid.cells().cell(col, row), "") << "cell (" << col << ", " << row << ")";
    EXPECT_EQ(grid.cells().colMark(2), ColumnMark::Binary);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Paste,
    testing::Values(PasteCase{"OneCell", "7,5", false, {{1, 1, "7,5"}}, 4, 5},
                    PasteCase{"RowsWithCrLf",
                              "1\t2\r\n3\t4\r\n",
                              false,
                              {{1, 1, "1"}, {2, 1, "2"}, {1, 2, "3"}, {2, 2, "4"}},
                              4,
                              5},
                    PasteCase{"QuotedCells",
                              "\"a\tb\"\t\"say \"\"x\"\"\"\n",
                              false,
                              {{1, 1, "a\tb"}, {2, 1, "say \"x\""}},
                              4,
                              5},
                    PasteCase{"ClippedAtTheEdge",
                              "1\t2\t3\t4\n5\t6\t7\t8\n",
                              false,
                              {{3, 1, "3"}, {3, 2, "7"}},
                              4,
                              5},
                    PasteCase{"GrownWhenTheOwnerAgrees",
                              "1\t2\t3\t4\n5\t6\t7\t8\n",
                              true,
                              {{3, 1, "3"}, {4, 1, "4"}, {4, 2, "8"}},
                              5,
                              5}),
    [](const testing::TestParamInfo<PasteCase>& info) { return std::string(info.param.name); });

TEST(GridEditing, CopyDeleteUndoAndEnter) {
    StringGrid grid;
    grid.setEditing(true);
    grid.cells().setFixedRows(1);
    grid.cells().setCell(1, 1, "a");
    grid.cells().setCell(2, 2, "b");
    grid.selectionModel()->select(
        QItemSelection(grid.model()->index(1, 1), grid.model()->index(2, 2)),
        QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\t\n\tb\n"));
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(grid.cells().cell(1, 1), "");
    EXPECT_EQ(grid.cells().cell(2, 2), "");
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid.cells().cell(1, 1), "a");
    EXPECT_EQ(grid.cells().cell(2, 2), "b");
    // A change made by the program (an opened file, a new table) ends the history.
    grid.cells().setCell(3, 3, "file");
    QTest::keyClick(&grid, Qt::Key_Delete);
    grid.cells().setCell(3, 3, "again");
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid.cells().cell(1, 1), "");
    grid.setCurrentIndex(grid.model()->index(1, 1));
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.currentIndex().row(), 2);
}

// A mark is a step of its own: the heading shows it, a later typed cell and its undo leave it,
// and its own undo takes it back.
TEST(GridEditing, MarksAreKeptByEditsAndUndoneAsSteps) {
    StringGrid grid;
    grid.setEditing(true);
    grid.cells().setFixedRows(1);
    grid.cells().setCell(2, 0, " A[i,1] ");
    StringGridAdapter& a = grid.adapter();
    a.userStep([&] { a.userSetMark(2, ColumnMark::Integer); });
    EXPECT_EQ(a.data(a.index(0, 2), Qt::DisplayRole).toString(), QStringLiteral(" A[i,1] целое"));
    EXPECT_EQ(grid.cells().cell(2, 0), " A[i,1] ");
    a.setData(a.index(1, 2), QStringLiteral("5"), Qt::EditRole);
    grid.selectionModel()->select(a.index(1, 2), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(grid.cells().colMark(2), ColumnMark::Integer);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid.cells().cell(2, 1), "");
    EXPECT_EQ(grid.cells().colMark(2), ColumnMark::Integer);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid.cells().colMark(2), ColumnMark::None);
    EXPECT_EQ(a.data(a.index(0, 2), Qt::DisplayRole).toString(), QStringLiteral(" A[i,1] "));
}

} // namespace
} // namespace kvado::ui::test
