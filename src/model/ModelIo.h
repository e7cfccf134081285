#pragma once
// A model from and to a file of any of the three formats, by extension or by name, and the
// answer in the user's terms as the JSON object that kvado-cli prints under "model".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Model.h"
#include "model/StandardForm.h"
#include "text/Json.h"

namespace kvado::model {

enum class FileFormat { Data, Lp, Mps };

// ".dat", ".lp", ".mps" in any case; nothing for another extension.
std::optional<FileFormat> formatOfPath(std::string_view path);
// "dat", "lp", "mps" (the --format option).
std::optional<FileFormat> formatNamed(std::string_view name);

// LP and MPS files carry no tolerance; this one reaches every Netlib optimum.
inline constexpr Real kModelEps = 1e-9L;

// Reads a model. A data file is read with its name files beside it (rows without a name are
// called by their number, columns X[j]) and gives its Eps through `eps`; LP and MPS files give
// kModelEps. Throws FileError, ReadError, ProblemSizeError, and text::ConversionError for a
// data file's number that does not read.
Model readModelFile(const std::string& path, FileFormat format,
                    std::vector<std::string>* notes = nullptr, Real* eps = nullptr);

// Writes a model: LP or MPS text as it is, a data file as its standard form with the name
// files. Returns the transformation's summary text for a data file, an empty text otherwise.
// Throws FileError, and ProblemSizeError when the standard form is too large.
std::string writeModelFile(const std::string& path, const Model& model, FileFormat format,
                           Real eps = kModelEps);

// {"sense": "min"|"max", "objective": Z, "columns": [{"name": ..., "value": v, "marginal": d},
// ...], "rows": [{"name": ..., "activity": a, "marginal": y}, ...]} in the model's order, every
// number in 21 significant digits (-0, a zero marginal of a negated row say, as 0).
void userTermsJson(text::JsonWriter& w, const Model& model, const UserSolution& solution);

// The same as report lines: the heading «Решение исходной задачи», the objective in the user's
// sense, every column's value and marginal, every row's activity and marginal; numbers in the
// general number format with `decimalSeparator`.
std::vector<std::string> userTermsLines(const Model& model, const UserSolution& solution,
                                        char decimalSeparator);

} // namespace kvado::model
