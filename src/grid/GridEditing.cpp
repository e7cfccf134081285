#include "grid/GridEditing.h"

#include <algorithm>

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

std::string tabularText(const StringGridModel& grid, int col0, int row0, int col1, int row1) {
    std::string out;
    for (int row = row0; row <= row1; ++row) {
        for (int col = col0; col <= col1; ++col) {
            const std::string& cell = grid.cell(col, row);
            if (cell.find_first_of("\t\r\n\"") == std::string::npos) {
                out += cell;
            } else {
                out += '"';
                for (char c : cell)
                    out += c == '"' ? std::string("\"\"") : std::string(1, c);
                out += '"';
            }
            out += col < col1 ? '\t' : '\n';
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
        grid.setCell(it->col, it->row, std::move(it->text));
        cells.emplace_back(it->col, it->row);
    }
    return cells;
}

} // namespace kvado
