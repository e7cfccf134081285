#include "datafile/Generator.h"

#include <random>
#include <vector>

#include "datafile/DataFile.h"
#include "datafile/NameFiles.h"
#include "datafile/OpenedGrid.h"
#include "solver/LpProblem.h"
#include "text/NumberText.h"

namespace kvado::datafile {

std::optional<GeneratorInput> parseGeneratorInput(std::string_view nText, std::string_view lText,
                                                  std::string_view epsText, char sep) {
    const auto n = text::toWholeNumber(nText);
    if (!n) return std::nullopt;
    const auto l = text::toWholeNumber(lText);
    if (!l) return std::nullopt;
    if (!text::toLocalReal(epsText, sep)) return std::nullopt;
    if (*n < 0 || *l < 0) return std::nullopt;
    return GeneratorInput{*n, *l};
}

std::string generatorSizeError(const GeneratorInput& in) {
    try {
        checkCounts(0, 0, in.L, in.N);
    } catch (const ProblemSizeError&) {
        return tooLargeMessage(in.L, in.N);
    }
    return {};
}

namespace {

// Appends a small integer and a blank without going through the C library's formatting.
void appendValue(std::string& out, int v) {
    if (v < 0) {
        out += '-';
        v = -v;
    }
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (n > 0)
        out += digits[--n];
    out += ' ';
}

} // namespace

GeneratedFiles generateProblem(const GeneratorInput& in, std::string_view nText,
                               std::string_view lText, std::string_view epsText, uint64_t seed) {
    std::mt19937_64 rng(seed);
    // Uniform draws over small ranges by rejection, so every value is equally likely.
    auto draw = [&rng](int count) {
        const uint64_t limit = UINT64_MAX - UINT64_MAX % static_cast<uint64_t>(count);
        uint64_t r;
        do
            r = rng();
        while (r >= limit);
        return static_cast<int>(r % static_cast<uint64_t>(count));
    };
    GeneratedFiles f;
    std::string eps(epsText);
    for (char& c : eps)
        if (c == ',') c = '.';
    f.data = "0  0  " + std::string(lText) + "  " + std::string(nText) + "  " + eps + "\r\n";
    f.data.reserve(f.data.size() + static_cast<size_t>(in.L) * (static_cast<size_t>(in.N) * 2 + 2) +
                   static_cast<size_t>(in.N) * 3 + static_cast<size_t>(in.L) * 4 + 4);
    for (int32_t i = 0; i < in.L; ++i) {
        for (int32_t j = 0; j < in.N; ++j)
            appendValue(f.data, draw(4));
        f.data += "\r\n";
    }
    for (int32_t j = 0; j < in.N; ++j)
        appendValue(f.data, -draw(4) - 1);
    f.data += "\r\n";
    for (int32_t i = 0; i < in.L; ++i)
        appendValue(f.data, draw(400) + 100);
    f.data += "\r\n";

    std::vector<std::string> names;
    for (int32_t i = 1; i <= in.L; ++i)
        names.push_back("Запас ресурса № " + std::to_string(i));
    names.emplace_back("Цел.функция - доход");
    f.names = joinNameLines(names);
    std::vector<std::string> unknowns;
    for (int32_t j = 1; j <= in.N; ++j)
        unknowns.push_back("X № " + std::to_string(j));
    f.unknowns = joinNameLines(unknowns);
    return f;
}

void writeGeneratedFiles(const GeneratedFiles& files, const std::string& folder) {
    const std::string prefix = folder.empty() ? "" : (folder.back() == '/' ? folder : folder + "/");
    writeFilesTogether({{prefix + "BigData.dat", files.data},
                        {prefix + "BigData.ogran", files.names},
                        {prefix + "BigData.neizv", files.unknowns}});
}

} // namespace kvado::datafile
