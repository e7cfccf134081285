#pragma once
// The text of a string grid: cells addressed (column, row) from 0, row and column counts,
// fixed rows and columns, and column widths.
//
// The counts only say how much of the grid is shown. Text lives on outside them: a grid
// that shrinks keeps the text of the cells that drop out and shows it again when it grows,
// and reading any cell outside the counts gives the text kept for it, or empty text. So
// changing a count costs nothing per cell, and a 2000 x 2000 grid stays cheap: every row is
// a vector of strings as long as its last written cell, nothing more.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kvado {

// What a column of the input grid says of its unknown beyond its numbers: whether it must
// take whole values («целое») or only 0 and 1 («0/1»). The mark belongs to the column, not to
// a cell, so typing, pasting and deleting cells never touch it.
enum class ColumnMark : unsigned char { None, Integer, Binary };

class StringGridModel {
public:
    static constexpr int kDefaultColWidth = 100;

    // Told of every change, so that a view can follow. Changes made between beginUpdate() and
    // endUpdate() are told once, as gridChanged(), when the outermost update ends.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void countsChanged() = 0;
        virtual void cellChanged(int col, int row) = 0;
        virtual void colWidthChanged(int col) = 0;
        virtual void gridChanged() = 0;
        virtual void colMarkChanged(int col) = 0;
    };

    StringGridModel(int colCount = 5, int rowCount = 5)
        : m_cols(clampCount(colCount)), m_rows(clampCount(rowCount)) {}
    StringGridModel(const StringGridModel&) = delete;
    StringGridModel& operator=(const StringGridModel&) = delete;

    int colCount() const { return m_cols; }
    int rowCount() const { return m_rows; }
    // A negative count is taken as 0.
    void setColCount(int count);
    void setRowCount(int count);

    int fixedCols() const { return m_fixedCols; }
    int fixedRows() const { return m_fixedRows; }
    void setFixedCols(int count);
    void setFixedRows(int count);
    bool isFixed(int col, int row) const { return col < m_fixedCols || row < m_fixedRows; }

    // Widths belong to the columns shown: a column that drops out of the grid loses its
    // width, and one that comes into it starts at the default width.
    int colWidth(int col) const;
    void setColWidth(int col, int width);

    // Marks belong to the columns shown, as widths do: a column that drops out of the grid
    // loses its mark, and one that comes into it has none.
    ColumnMark colMark(int col) const;
    void setColMark(int col, ColumnMark mark);
    bool hasMarks() const;
    void clearMarks();

    // Any cell may be read or written, inside the counts or not; negative indices read as
    // empty text and are not written.
    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, std::string text);

    // Drops every text, kept ones included. The counts and widths stay.
    void clearCells();

    // Everything the grid holds (counts, fixed rows and columns, widths, every text, kept
    // ones included), to put back when a command that changed it fails half-way.
    struct Contents {
        int cols = 0, rows = 0, fixedCols = 0, fixedRows = 0;
        std::vector<std::vector<std::string>> cells;
        std::vector<int> widths;
        std::vector<ColumnMark> marks;
    };
    Contents contents() const;
    // The same, moved out: this grid is left without text.
    Contents takeContents();
    void restore(Contents contents);

    void setObserver(Observer* observer) { m_observer = observer; }
    void beginUpdate() { ++m_updateDepth; }
    void endUpdate();

    // beginUpdate()/endUpdate() for a scope.
    class UpdateScope {
    public:
        explicit UpdateScope(StringGridModel& model) : m_model(model) { m_model.beginUpdate(); }
        ~UpdateScope() { m_model.endUpdate(); }
        UpdateScope(const UpdateScope&) = delete;
        UpdateScope& operator=(const UpdateScope&) = delete;

    private:
        StringGridModel& m_model;
    };

private:
    static int clampCount(int count) { return count < 0 ? 0 : count; }
    bool notifying() const { return m_observer != nullptr && m_updateDepth == 0; }
    void changed() {
        if (m_updateDepth > 0) m_pending = true;
    }

    int m_cols;
    int m_rows;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    std::vector<std::vector<std::string>> m_cells; // [row][col], each row as long as needed
    std::vector<int> m_widths;                     // columns with a width set, rest default
    std::vector<ColumnMark> m_marks;               // columns up to the last marked one
    Observer* m_observer = nullptr;
    int m_updateDepth = 0;
    bool m_pending = false;
};

} // namespace kvado
