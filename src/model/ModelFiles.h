#pragma once
// The two file formats every LP tool reads and writes, CPLEX LP and MPS (fixed and free), and
// the standard form as a data file with its name files.
//
// Readers throw ReadError naming the file, the line and what was expected; counts beyond
// ProblemLimits raise ProblemSizeError with the program's size message as soon as the file
// declares them. Notes (a dropped second objective row, a negative UP bound taken as a free
// lower bound) go to `notes`, one line each.

#include <string>
#include <string_view>
#include <vector>

#include "datafile/DataFileWriter.h"
#include "model/Model.h"
#include "model/StandardForm.h"

namespace kvado::model {

enum class MpsFormat { Auto, Free, Fixed };

// `fileName` is the name the messages show. Auto reads free MPS and, when that fails, the fixed
// columns (names with blanks); the free reader's error is the one reported.
Model readMps(std::string_view bytes, const std::string& fileName,
              std::vector<std::string>* notes = nullptr, MpsFormat format = MpsFormat::Auto);
Model readLp(std::string_view bytes, const std::string& fileName,
             std::vector<std::string>* notes = nullptr);

// Names that the format cannot hold are changed (blanks and other characters replaced by "_",
// made unique); everything else is written as the model has it. An RHS entry on the objective
// row is the negative of the objective constant. Fixed MPS writes numbers in 12 characters.
std::string writeMps(const Model& model, MpsFormat format = MpsFormat::Free);
std::string writeLp(const Model& model);

// The standard form as the write command builds a data file: counts, Eps, A, C, B; the row
// names (then the objective's name, when it has one) and the column names.
datafile::DataFileContents dataFileOf(const StandardForm& sf, Real eps);
// Writes it: the data file and its ".ogran" and ".neizv" files beside it.
void writeDataFile(const std::string& dataPath, const StandardForm& sf, Real eps);

} // namespace kvado::model
