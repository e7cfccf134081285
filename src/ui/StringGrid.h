#pragma once
// The string grid control: a table view over a StringGridModel. The view asks the model for
// the cells it paints, so a grid of millions of cells costs no widget or item per cell.

#include <QAbstractTableModel>
#include <QBrush>
#include <QTableView>
#include <climits>
#include <functional>
#include <memory>

#include "grid/GridEditing.h"
#include "grid/StringGridModel.h"

namespace kvado::ui {

// Shows a StringGridModel to Qt. It reports the counts it has told the views about, and
// follows the model's changes with the insert, remove and change signals they need.
class StringGridAdapter : public QAbstractTableModel, private StringGridModel::Observer {
    Q_OBJECT
public:
    StringGridAdapter(StringGridModel& cells, QObject* parent = nullptr);
    ~StringGridAdapter() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setFixedBrush(const QBrush& brush) { m_fixedBrush = brush; }
    // The vertical header's text of each row (the input grid's relation signs); none: the
    // header is not shown.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void setRowLabels(std::function<std::string(int row)> labels) {
        m_rowLabels = std::move(labels);
    }
    bool hasRowLabels() const { return static_cast<bool>(m_rowLabels); }
    void rowLabelsChanged();

    // The user's edits, undone step by step; changes made by others end the history.
    GridEditHistory& history() { return m_history; }
    // Runs a step of the user's own (a paste, a deletion) with its changes recorded.
    template <typename Step> void userStep(Step step) {
        m_userEdit = true;
        m_history.beginStep();
        m_changed = false;
        step();
        m_history.endStep();
        m_userEdit = false;
        if (m_changed) emit userEdited();
    }
    // Sets a cell as part of a user step: recorded, and left alone when it does not change.
    void userSet(int col, int row, std::string text);
    // Sets a column's mark as part of a user step, recorded as a cell is.
    void userSetMark(int col, ColumnMark mark);

    // A marked column's heading shows its mark after its text, on a tint of its own, so that a
    // student sees at a glance which unknowns must be whole; the cell's text stays as it is.
    static QString markText(ColumnMark mark);

signals:
    // A step of the user's own changed cells (an undo included).
    void userEdited();
    void widthChanged(int col);
    // Every width may have changed.
    void widthsChanged();

private:
    void countsChanged() override;
    void cellChanged(int col, int row) override;
    void colWidthChanged(int col) override;
    void gridChanged() override;
    void colMarkChanged(int col) override;
    void syncCounts();

    StringGridModel& m_cells;
    GridEditHistory m_history;
    bool m_userEdit = false;
    bool m_changed = false;
    int m_rows = 0;
    int m_cols = 0;
    QBrush m_fixedBrush;
    std::function<std::string(int)> m_rowLabels;
};

class StringGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 20;

    // A grid of its own cells, 5 x 5 at first.
    explicit StringGrid(QWidget* parent = nullptr);
    // A grid that shows `cells`, owned elsewhere: the results window shows the grids that the
    // report writers fill. The model must outlive the grid.
    explicit StringGrid(StringGridModel& cells, QWidget* parent = nullptr);
    ~StringGrid() override;

    StringGridModel& cells() { return m_cells; }
    StringGridAdapter& adapter() const { return *m_adapter; }
    const StringGridModel& cells() const { return m_cells; }

    // User editing of the cells outside the fixed rows and columns.
    void setEditing(bool on);
    bool editing() const { return m_editing; }

    // Spreadsheet commands of an editing grid (also on Ctrl+C, Ctrl+V, Delete, Ctrl+Z).
    // A grid to read copies its selection with the fixed rows and columns that head it.
    void copySelection();
    // Numbers shown with "." (the solution grid's fixed format) are copied with this
    // separator; 0: as shown.
    void setCopySeparator(char separator) { m_copySeparator = separator; }
    // The vertical header beside the rows, with `labels`' text for each.
    void showRowLabels(std::function<std::string(int row)> labels);
    // Row 0 and column 0 stay in view while the grid scrolls, as a spreadsheet's frozen
    // panes: views of the same cells laid over the grid's edges once it is scrolled.
    void freezeHeadings();
    bool headingRowShown() const;
    bool nameColumnShown() const;
    void paste();
    void deleteSelection();
    void undo();
    // A grid to read, not to edit: each column as wide as its widest text (at most
    // `widest`), and nothing picked out.
    void fitColumnsToText(int widest = INT_MAX);
    // Column `col` widened (never narrowed) to its longest text within the counts, at most
    // `widest` pixels; the rest is read in the cell's tooltip.
    void widenColumnToText(int col, int widest);
    // Asked when a pasted block reaches beyond the grid, with the column and row counts the
    // block needs; returns whether the grid has grown (it is pasted as far as it fits either
    // way).
    void setGrowRequest(std::function<bool(int cols, int rows)> request) {
        m_growRequest = std::move(request);
    }

signals:
    // A right click on a cell of the heading row (in the grid or its frozen pane), at
    // `globalPos` on the screen.
    void headingMenuRequested(int col, const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // The current cell stays out of the fixed rows and columns, as they only label the grid.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Enter commits a cell and moves on to the one below, as in a spreadsheet.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void setUp();
    // The heading row's context menu, asked of `view` (the grid or a frozen pane).
    void offerHeadingMenu(QTableView* view);
    void applyWidth(int col);
    void applyAllWidths();
    // The nearest cell to `index` outside the fixed rows and columns; invalid when there is
    // none.
    QModelIndex freeCell(const QModelIndex& index) const;
    // The column whose right border is under `pos` in the fixed rows, or -1.
    int sizingColumnAt(QPoint pos) const;

    std::unique_ptr<StringGridModel> m_ownCells; // empty when the model is owned elsewhere
    StringGridModel& m_cells;
    StringGridAdapter* m_adapter;
    bool m_editing = false;
    bool m_settingAllWidths = false;
    int m_sizingCol = -1;
    int m_sizingOffset = 0;
    std::function<bool(int, int)> m_growRequest;
    char m_copySeparator = 0;
    bool m_shiftClick = false;
    // The frozen panes: row 0, column 0 and their corner cell; null until freezeHeadings().
    QTableView* m_frozenRow = nullptr;
    QTableView* m_frozenCol = nullptr;
    QTableView* m_frozenCorner = nullptr;
    QTableView* frozenView();
    void placeFrozen();
    void syncFrozenWidths();
};

} // namespace kvado::ui
