#include "grid/GridResize.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kvado {

namespace {

const char* const kNamePlaceholder = " Не заполнено";
const char* const kUnknownPlaceholder = " Не заполн.";
const char* const kNumberPlaceholder = " ?";

std::string unknownHeader(int32_t j) {
    return " A[i," + std::to_string(j) + "] ";
}

} // namespace

void resizeKeepingRoles(StringGridModel& grid, const GridCounts& from, const GridCounts& to) {
    const int32_t oldCols = from.N + 2, newCols = to.N + 2;
    // New row of each old row (-1: it leaves), groups in their order, objective last.
    std::vector<int32_t> target(static_cast<size_t>(from.M() + 3), -1);
    target[0] = 0;
    target[1] = 1;
    const int32_t oldSizes[3] = {from.G, from.E, from.L}, newSizes[3] = {to.G, to.E, to.L};
    int32_t oldStart = 2, newStart = 2;
    for (int group = 0; group < 3; ++group) {
        for (int32_t k = 0; k < std::min(oldSizes[group], newSizes[group]); ++k)
            target[static_cast<size_t>(oldStart + k)] = newStart + k;
        oldStart += oldSizes[group];
        newStart += newSizes[group];
    }
    target[static_cast<size_t>(from.M() + 2)] = to.M() + 2;

    std::vector<std::vector<std::string>> kept(static_cast<size_t>(to.M() + 3));
    std::vector<bool> carried(static_cast<size_t>(to.M() + 3), false);
    for (int32_t row = 0; row < from.M() + 3; ++row) {
        const int32_t t = target[static_cast<size_t>(row)];
        if (t < 0) continue;
        auto& cells = kept[static_cast<size_t>(t)];
        const int32_t cols = std::min(oldCols, newCols);
        cells.reserve(static_cast<size_t>(cols));
        for (int32_t col = 0; col < cols; ++col)
            cells.push_back(grid.cell(col, row));
        carried[static_cast<size_t>(t)] = true;
    }

    std::vector<int> widths;
    for (int32_t col = 0; col < std::min(oldCols, newCols); ++col)
        widths.push_back(grid.colWidth(col));

    StringGridModel::UpdateScope update(grid);
    grid.clearCells();
    grid.setRowCount(to.M() + 3);
    grid.setColCount(newCols);
    for (size_t col = 0; col < widths.size(); ++col)
        grid.setColWidth(static_cast<int>(col), widths[col]);
    for (int32_t row = 0; row < to.M() + 3; ++row) {
        auto& cells = kept[static_cast<size_t>(row)];
        for (size_t col = 0; col < cells.size(); ++col)
            grid.setCell(static_cast<int>(col), row, std::move(cells[col]));
        const bool constraint = row >= 2 && row <= to.M() + 1;
        if (constraint && !carried[static_cast<size_t>(row)]) {
            grid.setCell(0, row, kNamePlaceholder);
            grid.setCell(1, row, kNumberPlaceholder);
        }
        // Columns of new unknowns: header, name, and a number placeholder in every row that
        // holds numbers; a new row gets them in every column.
        const int32_t firstNew = carried[static_cast<size_t>(row)] ? oldCols : 2;
        for (int32_t col = std::max<int32_t>(firstNew, 2); col < newCols; ++col) {
            if (row == 0)
                grid.setCell(col, row, unknownHeader(col - 1));
            else if (row == 1)
                grid.setCell(col, row, kUnknownPlaceholder);
            else
                grid.setCell(col, row, kNumberPlaceholder);
        }
    }
}

} // namespace kvado
