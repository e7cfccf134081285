#pragma once
// The write command's core: the edits and the input grid as a data file and its name files.
// It checks every number first and writes nothing when one does not convert.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvado::datafile {

struct DataFileSource {
    std::string G, E, L, N, Eps; // the edits' texts
    // The input grid's cell (column, row) as text; cells outside the grid read as the grid
    // keeps them.
    std::function<std::string(int32_t col, int32_t row)> cell;
};

struct DataFileContents {
    std::string error; // non-empty: the message to show; nothing may be written
    std::string data;
    std::vector<std::string> constraintNames; // M trimmed names
    std::vector<std::string> unknownNames;    // N trimmed names
};

DataFileContents buildDataFile(const DataFileSource& src);

// Writes the data file and the ".ogran" and ".neizv" files next to it, replacing all three or
// none. Throws FileError naming the first file that cannot be written; the old files stay.
void writeDataFiles(const std::string& dataPath, const DataFileContents& contents);

} // namespace kvado::datafile
