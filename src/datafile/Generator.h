#pragma once
// Random test problems the way users make them: N unknowns, L "<=" rows, A in 0..3, C in
// -4..-1, B in 100..499, written as "BigData.dat", "BigData.ogran" and "BigData.neizv".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvado::datafile {

inline constexpr const char* kGeneratorFormatError = "Ошибка в формате данных";

struct GeneratedFiles {
    std::string data;     // "BigData.dat"
    std::string names;    // "BigData.ogran"
    std::string unknowns; // "BigData.neizv"
};

// Checks the generator's three edit texts: N and L by the whole-number conversion and not
// negative, the tolerance by the local-real conversion. nullopt means the format message.
struct GeneratorInput {
    int32_t N = 0, L = 0;
};
std::optional<GeneratorInput> parseGeneratorInput(std::string_view nText, std::string_view lText,
                                                  std::string_view epsText, char decimalSeparator);

// The problem size message when N unknowns and L rows are more than the program can open
// (the files would be built in memory first); empty when they fit.
std::string generatorSizeError(const GeneratorInput& in);

// The three files' bytes. The edit texts are written as typed, except that a "," in the
// tolerance becomes "." so that the data file can be read back.
GeneratedFiles generateProblem(const GeneratorInput& in, std::string_view nText,
                               std::string_view lText, std::string_view epsText, uint64_t seed);

// Writes the three files into `folder` (empty: the current folder) together: throws
// FileError when one cannot be written, and then none of them is replaced.
void writeGeneratedFiles(const GeneratedFiles& files, const std::string& folder = {});

} // namespace kvado::datafile
