#pragma once
// Which engine solves a problem, and the sparse engine's solve as the session runs it: the
// trace log then holds the engine's summary (GLPK's own lines), not the method's passes, and
// the report the answer in the model's terms.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/SparseEngine.h"
#include "model/Model.h"
#include "model/ModelIo.h"
#include "model/StandardForm.h"

namespace kvado::session {

enum class Engine { Method, Sparse };

// "method", "sparse" (the --engine option).
const char* engineName(Engine e);
bool engineNamed(const std::string& name, Engine& out);

// The engine a file's problem goes to unless the user chooses: the method for data files
// (and the grid), the sparse engine for LP and MPS models.
Engine defaultEngine(model::FileFormat format);

// Whether the method can take the model: its standard form within the method's size limits
// (the transformation itself is not made).
bool methodCanTake(const model::Model& m);
// The rows of the model's standard form, counted without making it.
int64_t standardFormRows(const model::Model& m);

// The line that tells the user which engine solved and where its summary is.
inline constexpr const char* kSparseEngineNote =
    "Задача решена разреженным симплекс-методом (GLPK); в файле Kvaq.log - сводка этого "
    "решения, а не планы метода";

// The status in the report's words.
std::string sparseStatusText(engine::SparseStatus s);

// The sparse engine's answer as the answer in the model's terms (for an optimum).
model::UserSolution userSolutionOf(const engine::SparseAnswer& a);

// The trace log's lines of a sparse solve: the note, the engine's own lines, the verdict.
std::vector<std::string> sparseLogLines(const engine::SparseAnswer& a);

} // namespace kvado::session
