// The standard form as a data file, through the write command's own builder: the cells it asks
// for are the numbers' texts, so the file reads back as the same extended values.

#include <vector>

#include "datafile/DataFile.h"
#include "datafile/NameFiles.h"
#include "model/ModelFiles.h"

namespace kvado::model {

datafile::DataFileContents dataFileOf(const StandardForm& sf, Real eps) {
    const int32_t M = sf.M(), N = sf.N;
    // The builder asks row by row, column by column (twice: to check, then to write), so one
    // row spread out at a time serves it without a dense matrix.
    std::vector<Real> dense(static_cast<size_t>(N), 0);
    int32_t denseRow = -1;
    auto coefficient = [&](int32_t i, int32_t j) -> Real {
        if (i != denseRow) {
            if (denseRow >= 0)
                for (auto k = sf.rowStart[static_cast<size_t>(denseRow)];
                     k < sf.rowStart[static_cast<size_t>(denseRow) + 1]; ++k)
                    dense[static_cast<size_t>(sf.columnIndex[static_cast<size_t>(k)])] = 0;
            for (auto k = sf.rowStart[static_cast<size_t>(i)];
                 k < sf.rowStart[static_cast<size_t>(i) + 1]; ++k)
                dense[static_cast<size_t>(sf.columnIndex[static_cast<size_t>(k)])] +=
                    sf.values[static_cast<size_t>(k)];
            denseRow = i;
        }
        return dense[static_cast<size_t>(j)];
    };
    datafile::DataFileSource src;
    src.G = std::to_string(sf.G);
    src.E = std::to_string(sf.E);
    src.L = std::to_string(sf.L);
    src.N = std::to_string(sf.N);
    src.Eps = numberText(eps);
    src.cell = [&](int32_t col, int32_t row) -> std::string {
        if (row == 1 && col >= 2) return sf.columnNames[static_cast<size_t>(col - 2)];
        if (col == 0 && row >= 2 && row <= M + 1) return sf.rowNames[static_cast<size_t>(row - 2)];
        if (col == 1 && row >= 2 && row <= M + 1)
            return numberText(sf.rhs[static_cast<size_t>(row - 2)]);
        if (col >= 2 && row == M + 2) return numberText(sf.cost[static_cast<size_t>(col - 2)]);
        if (col >= 2 && row >= 2 && row <= M + 1) {
            const Real a = coefficient(row - 2, col - 2);
            return a == 0 ? std::string("0") : numberText(a);
        }
        return {};
    };
    auto contents = datafile::buildDataFile(src);
    // The objective's name as line M+1 of the constraint names, where the open command finds it.
    if (contents.error.empty() && !sf.objectiveName.empty())
        contents.constraintNames.push_back(sf.objectiveName);
    return contents;
}

void writeDataFile(const std::string& dataPath, const StandardForm& sf, Real eps) {
    datafile::writeDataFiles(dataPath, dataFileOf(sf, eps));
}

} // namespace kvado::model
