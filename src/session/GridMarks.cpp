#include "session/GridMarks.h"

#include <cmath>

namespace kvado::session {

void applyColumnMarks(const StringGridModel& grid, model::Model& m) {
    for (size_t j = 0; j < m.columns.size(); ++j) {
        model::Column& c = m.columns[j];
        switch (grid.colMark(static_cast<int>(j) + 2)) {
        case ColumnMark::None:
            c.kind = model::ColumnKind::Continuous;
            break;
        case ColumnMark::Integer:
            c.kind = model::ColumnKind::Integer;
            break;
        case ColumnMark::Binary:
            c.kind = model::ColumnKind::Binary;
            c.lower = std::max<Real>(c.lower, 0);
            c.upper = std::min<Real>(c.upper, 1);
            c.lowerExact = c.upperExact = {};
            break;
        }
    }
}

void markColumnsOf(const model::Model& m, const model::StandardForm& sf, StringGridModel& grid) {
    StringGridModel::UpdateScope update(grid);
    grid.clearMarks();
    using Map = model::StandardForm::ColumnKind;
    for (size_t c = 0; c < m.columns.size() && c < sf.columnMap.size(); ++c) {
        const model::Column& column = m.columns[c];
        const model::StandardForm::ColumnMap& map = sf.columnMap[c];
        if (!model::isInteger(column) || map.kind == Map::Fixed || map.column < 0) continue;
        // x = 0 + x' with x' <= 1 is the binary column itself; shifted or mirrored by a whole
        // number it stays whole, but 0/1 no longer.
        const bool itself = map.kind == Map::Shifted && map.shift == 0;
        const ColumnMark mark = column.kind == model::ColumnKind::Binary && itself
                                    ? ColumnMark::Binary
                                    : ColumnMark::Integer;
        grid.setColMark(map.column + 2, mark);
        if (map.kind == Map::Free) grid.setColMark(map.column + 3, ColumnMark::Integer);
    }
}

} // namespace kvado::session
