#include "grid/StringGridModel.h"

#include <algorithm>
#include <utility>

namespace kvado {

namespace {
const std::string kEmpty;
}

void StringGridModel::setColCount(int count) {
    count = clampCount(count);
    if (count == m_cols) return;
    // Only the widths of the columns that leave are dropped: the cells keep their text.
    if (static_cast<size_t>(count) < m_widths.size()) m_widths.resize(static_cast<size_t>(count));
    if (static_cast<size_t>(count) < m_marks.size()) m_marks.resize(static_cast<size_t>(count));
    m_cols = count;
    changed();
    if (notifying()) m_observer->countsChanged();
}

void StringGridModel::setRowCount(int count) {
    count = clampCount(count);
    if (count == m_rows) return;
    m_rows = count;
    changed();
    if (notifying()) m_observer->countsChanged();
}

void StringGridModel::setFixedCols(int count) {
    count = clampCount(count);
    if (count == m_fixedCols) return;
    m_fixedCols = count;
    changed();
    if (notifying()) m_observer->gridChanged();
}

void StringGridModel::setFixedRows(int count) {
    count = clampCount(count);
    if (count == m_fixedRows) return;
    m_fixedRows = count;
    changed();
    if (notifying()) m_observer->gridChanged();
}

int StringGridModel::colWidth(int col) const {
    if (col < 0 || static_cast<size_t>(col) >= m_widths.size()) return kDefaultColWidth;
    return m_widths[static_cast<size_t>(col)];
}

void StringGridModel::setColWidth(int col, int width) {
    if (col < 0 || col >= m_cols) return;
    if (width < 0) width = 0;
    if (colWidth(col) == width) return;
    if (static_cast<size_t>(col) >= m_widths.size())
        m_widths.resize(static_cast<size_t>(col) + 1, kDefaultColWidth);
    m_widths[static_cast<size_t>(col)] = width;
    changed();
    if (notifying()) m_observer->colWidthChanged(col);
}

ColumnMark StringGridModel::colMark(int col) const {
    if (col < 0 || static_cast<size_t>(col) >= m_marks.size()) return ColumnMark::None;
    return m_marks[static_cast<size_t>(col)];
}

void StringGridModel::setColMark(int col, ColumnMark mark) {
    if (col < 0 || col >= m_cols || colMark(col) == mark) return;
    if (static_cast<size_t>(col) >= m_marks.size())
        m_marks.resize(static_cast<size_t>(col) + 1, ColumnMark::None);
    m_marks[static_cast<size_t>(col)] = mark;
    changed();
    if (notifying()) m_observer->colMarkChanged(col);
}

bool StringGridModel::hasMarks() const {
    return std::any_of(m_marks.begin(), m_marks.end(),
                       [](ColumnMark m) { return m != ColumnMark::None; });
}

void StringGridModel::clearMarks() {
    if (!hasMarks()) return;
    m_marks.clear();
    changed();
    if (notifying()) m_observer->gridChanged();
}

const std::string& StringGridModel::cell(int col, int row) const {
    if (col < 0 || row < 0 || static_cast<size_t>(row) >= m_cells.size()) return kEmpty;
    const auto& line = m_cells[static_cast<size_t>(row)];
    if (static_cast<size_t>(col) >= line.size()) return kEmpty;
    return line[static_cast<size_t>(col)];
}

void StringGridModel::setCell(int col, int row, std::string text) {
    if (col < 0 || row < 0) return;
    const auto r = static_cast<size_t>(row);
    const auto c = static_cast<size_t>(col);
    if (r >= m_cells.size()) {
        if (text.empty()) return; // empty is what the cell reads already
        m_cells.resize(r + 1);
    }
    auto& line = m_cells[r];
    if (c >= line.size()) {
        if (text.empty()) return;
        // Growing by doubling keeps a layout written column by column linear.
        if (c >= line.capacity()) line.reserve(std::max(c + 1, 2 * line.capacity()));
        line.resize(c + 1);
    }
    if (line[c] == text) return;
    line[c] = std::move(text);
    changed();
    if (notifying()) m_observer->cellChanged(col, row);
}

void StringGridModel::clearCells() {
    m_cells.clear();
    m_cells.shrink_to_fit();
    changed();
    if (notifying()) m_observer->gridChanged();
}

StringGridModel::Contents StringGridModel::contents() const {
    return {m_cols, m_rows, m_fixedCols, m_fixedRows, m_cells, m_widths, m_marks};
}

StringGridModel::Contents StringGridModel::takeContents() {
    Contents c{m_cols,
               m_rows,
               m_fixedCols,
               m_fixedRows,
               std::move(m_cells),
               std::move(m_widths),
               std::move(m_marks)};
    m_cells.clear();
    m_widths.clear();
    m_marks.clear();
    return c;
}

void StringGridModel::restore(Contents c) {
    m_cols = c.cols;
    m_rows = c.rows;
    m_fixedCols = c.fixedCols;
    m_fixedRows = c.fixedRows;
    m_cells = std::move(c.cells);
    m_widths = std::move(c.widths);
    m_marks = std::move(c.marks);
    changed();
    if (notifying()) m_observer->gridChanged();
}

void StringGridModel::endUpdate() {
    if (m_updateDepth == 0) return;
    if (--m_updateDepth > 0) return;
    if (std::exchange(m_pending, false) && m_observer != nullptr) m_observer->gridChanged();
}

} // namespace kvado
