#pragma once
// What the input grid needs to edit like a spreadsheet: blocks of cells to and from the
// tab-separated text that spreadsheets put on the clipboard, and an undo history of the
// user's own edits.

#include <string>
#include <string_view>
#include <vector>

#include "grid/StringGridModel.h"

namespace kvado {

using CellBlock = std::vector<std::vector<std::string>>; // rows of cells

// Rows end at a line end (LF or CR LF; the last one may be missing), cells at a tab. A cell
// in double quotes, as spreadsheets write a cell holding a tab, a line end or a quote, may
// hold them; "" in it is one quote.
CellBlock parseTabularText(std::string_view text);
// Cells [col0, col1] x [row0, row1] as tab-separated rows, each ended by a line end, quoted
// where the parser above needs it.
std::string tabularText(const StringGridModel& grid, int col0, int row0, int col1, int row1);
// The same block for a spreadsheet from a grid to read: headed by the grid's fixed rows and
// columns that stand before it, every cell without its leading and trailing blanks, and a
// number written with "." given `separator` instead (0: kept).
std::string headedTabularText(const StringGridModel& grid, int col0, int row0, int col1, int row1,
                              char separator);

// Edits grouped into steps (a typed cell, a paste, a deletion), undone last first.
class GridEditHistory {
public:
    void beginStep() { m_open.clear(); }
    // Before a cell is changed by the user's step.
    void record(const StringGridModel& grid, int col, int row) {
        m_open.push_back({col, row, grid.cell(col, row), false, ColumnMark::None});
    }
    // Before a column's mark is changed by the user's step.
    void recordMark(const StringGridModel& grid, int col) {
        m_open.push_back({col, 0, {}, true, grid.colMark(col)});
    }
    void endStep();
    bool canUndo() const { return !m_steps.empty(); }
    // Restores the cells and marks of the last step; returns the cells so that the view can
    // select them (a mark gives its heading cell).
    std::vector<std::pair<int, int>> undo(StringGridModel& grid);
    // Edits made by others (a new table, an opened file) end what can be undone.
    void clear() { m_steps.clear(); }

private:
    struct Change {
        int col, row;
        std::string text;
        bool isMark;
        ColumnMark mark;
    };
    std::vector<Change> m_open;
    std::vector<std::vector<Change>> m_steps;
    static constexpr size_t kMaxSteps = 200;
};

} // namespace kvado
