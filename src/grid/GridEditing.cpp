#include "grid/GridEditing.h"

#include <algorithm>
#include <cctype>

namespace kvado {

CellBlock parseTabularText(std::string_view text) {
    CellBlock block;
    std::vector<std::string> row;
    std::string cell;
    size_t k = 0;
    auto endCell = [&] { row.push_back(std::move(cell)), cell.clear(); };
    auto endRow = [&] { endCell(), block.push_back(std::move(row)), row.clear(); };
    bool cellStart = true;
    while (k < text.size()) {
        const char c = text[k];
        if (cellStart && c == '"') {
            // Quoted: up to the closing quote; "" stands for a quote.
            ++k;
            while (k < text.size()) {
                if (text[k] == '"') {
                    if (k + 1 < text.size() && text[k + 1] == '"') {
                        cell += '"';
                        k += 2;
                        continue;
                    }
                    ++k;
                    break;
                }
                cell += text[k++];
            }
            cellStart = false;
            continue;
        }
        cellStart = false;
        if (c == '\t') {
            endCell();
            cellStart = true;
        } else if (c == '\n' || (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n')) {
            if (c == '\r') ++k;
            endRow();
            cellStart = true;
        } else {
            cell += c;
        }
        ++k;
    }
    if (!cellStart || !row.empty()) endRow();
    return block;
}

namespace {

void appendCell(std::string& out, const std::string& cell) {
    if (cell.find_first_of("\t\r\n\"") == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    out += '"';
}

// A number written with "." ("-12.5", "1.5E-3"), as the fixed formats write one.
bool pointNumber(const std::string& s) {
    size_t k = s[0] == '-' ? 1 : 0, digits = 0;
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
        ++k, ++digits;
    if (k < s.size() && s[k] == '.') {
        ++k;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
            ++k, ++digits;
    }
    if (digits == 0) return false;
    if (k < s.size() && (s[k] == 'E' || s[k] == 'e')) {
        ++k;
        if (k < s.size() && (s[k] == '-' || s[k] == '+')) ++k;
        if (k == s.size()) return false;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
            ++k;
    }
    return k == s.size();
}

} // namespace

std::string tabularText(const StringGridModel& grid, int col0, int row0, int col1, int row1) {
    std::string out;
    for (int row = row0; row <= row1; ++row) {
        for (int col = col0; col <= col1; ++col) {
            appendCell(out, grid.cell(col, row));
            out += col < col1 ? '\t' : '\n';
        }
    }
    return out;
}

std::string headedTabularText(const StringGridModel& grid, int col0, int row0, int col1, int row1,
                              char separator) {
    std::vector<int> rows, cols;
    for (int r = 0; r < std::min(grid.fixedRows(), row0); ++r)
        rows.push_back(r);
    for (int r = row0; r <= row1; ++r)
        rows.push_back(r);
    for (int c = 0; c < std::min(grid.fixedCols(), col0); ++c)
        cols.push_back(c);
    for (int c = col0; c <= col1; ++c)
        cols.push_back(c);
    std::string out;
    for (int row : rows) {
        for (size_t k = 0; k < cols.size(); ++k) {
            std::string cell = grid.cell(cols[k], row);
            const size_t first = cell.find_first_not_of(' ');
            cell = first == std::string::npos
                       ? std::string()
                       : cell.substr(first, cell.find_last_not_of(' ') - first + 1);
            if (separator != 0 && !cell.empty() && pointNumber(cell))
                std::replace(cell.begin(), cell.end(), '.', separator);
            appendCell(out, cell);
            out += k + 1 < cols.size() ? '\t' : '\n';
        }
    }
    return out;
}

void GridEditHistory::endStep() {
    if (m_open.empty()) return;
    m_steps.push_back(std::move(m_open));
    m_open.clear();
    if (m_steps.size() > kMaxSteps) m_steps.erase(m_steps.begin());
}

std::vector<std::pair<int, int>> GridEditHistory::undo(StringGridModel& grid) {
    std::vector<std::pair<int, int>> cells;
    if (m_steps.empty()) return cells;
    auto step = std::move(m_steps.back());
    m_steps.pop_back();
    StringGridModel::UpdateScope update(grid);
    // Last change first, so that a cell changed twice in one step gets its first text back.
    for (auto it = step.rbegin(); it != step.rend(); ++it) {
        if (it->isMark)
            grid.setColMark(it->col, it->mark);
        else
            grid.setCell(it->col, it->row, std::move(it->text));
        cells.emplace_back(it->col, it->row);
    }
    return cells;
}

} // namespace kvado
