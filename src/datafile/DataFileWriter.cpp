#include "datafile/DataFileWriter.h"

#include <algorithm>

#include "datafile/DataFile.h"
#include "datafile/NameFiles.h"
#include "text/NumberText.h"

namespace kvado::datafile {
namespace {

std::string commaToPoint(std::string s) {
    for (char& c : s)
        if (c == ',') c = '.';
    return s;
}

std::string trimBlanks(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

} // namespace

DataFileContents buildDataFile(const DataFileSource& src) {
    DataFileContents out;
    std::string line;
    const std::pair<const std::string*, const char*> counts[] = {
        {&src.G, "Ошибка: Число ограничений вида >="},
        {&src.E, "Ошибка: Число ограничений вида ="},
        {&src.L, "Ошибка: Число ограничений вида <="},
        {&src.N, "Ошибка: Число неизвестных"}};
    int64_t values[4] = {};
    for (int k = 0; k < 4; ++k) {
        const auto v = text::toWholeNumber(*counts[k].first);
        if (!v) {
            out.error = counts[k].second;
            return out;
        }
        values[k] = *v;
        line += *counts[k].first + " ";
    }
    const std::string eps = commaToPoint(src.Eps);
    if (!text::toPointReal(eps)) {
        out.error = "Ошибка: Точность";
        return out;
    }
    line += eps + " ";
    // Negative counts write no rows or columns, as the loops over them do nothing.
    const int64_t M = std::max<int64_t>(0, values[0] + values[1] + values[2]);
    const int64_t N = std::max<int64_t>(0, values[3]);
    auto cellText = [&src](int64_t col, int64_t row) {
        return commaToPoint(src.cell(static_cast<int32_t>(col), static_cast<int32_t>(row)));
    };
    // Every number is checked before any line is built, so a count far beyond the grid (say
    // $7FFFFFFF) ends at the first empty cell instead of building a line for every row it
    // names. Without unknowns the matrix rows hold no cell to check.
    for (int64_t i = 1; N > 0 && i <= M + 1; ++i) {
        for (int64_t j = 1; j <= N; ++j) {
            const std::string t = cellText(j + 1, i + 1);
            if (!text::toPointReal(trimBlanks(t))) {
                out.error = "Ошибка: Матрица А[" + std::to_string(i) + "," + std::to_string(j) +
                            "] >" + t + "<";
                return out;
            }
        }
    }
    for (int64_t i = 1; i <= M; ++i) {
        const std::string t = cellText(1, i + 1);
        if (!text::toPointReal(trimBlanks(t))) {
            out.error = "Ошибка: Вектор В[" + std::to_string(i) + "] >" + t + "<";
            return out;
        }
    }
    std::string data = line + "\r\n";
    for (int64_t i = 1; i <= M + 1; ++i) {
        for (int64_t j = 1; j <= N; ++j) {
            data += cellText(j + 1, i + 1);
            data += ' ';
        }
        data += "\r\n";
    }
    for (int64_t i = 1; i <= M; ++i) {
        data += cellText(1, i + 1);
        data += ' ';
    }
    data += "\r\n";
    out.data = std::move(data);
    for (int64_t i = 1; i <= M; ++i)
        out.constraintNames.push_back(trimName(src.cell(0, static_cast<int32_t>(i + 1))));
    for (int64_t j = 1; j <= N; ++j)
        out.unknownNames.push_back(trimName(src.cell(static_cast<int32_t>(j + 1), 1)));
    return out;
}

void writeDataFiles(const std::string& dataPath, const DataFileContents& c) {
    // The data file holds only digits, signs, points and blanks: no encoding question. The
    // three files are one problem: all are replaced or none, so no data file is left beside
    // the names of another.
    const std::string names = joinNameLines(c.constraintNames);
    const std::string unknowns = joinNameLines(c.unknownNames);
    writeFilesTogether({{dataPath, c.data},
                        {sideFileName(dataPath, "ogran"), names},
                        {sideFileName(dataPath, "neizv"), unknowns}});
}

} // namespace kvado::datafile
