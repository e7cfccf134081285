#include "grid/GridNames.h"

namespace kvado {

Names namesFromGrid(const StringGridModel& grid, int32_t N, int32_t M) {
    auto name = [&](int col, int row) {
        const std::string& cell = grid.cell(col, row);
        const size_t b = cell.find_first_not_of(" \t");
        if (b == std::string::npos) return std::string();
        const std::string s = cell.substr(b, cell.find_last_not_of(" \t") - b + 1);
        return s.rfind("Не заполн", 0) == 0 ? std::string() : s;
    };
    Names names;
    for (int32_t j = 1; j <= N; ++j)
        names.columns.push_back(name(j + 1, 1));
    for (int32_t i = 1; i <= M; ++i)
        names.rows.push_back(name(0, i + 1));
    return names;
}

} // namespace kvado
