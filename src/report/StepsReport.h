#pragma once
// What the step-by-step view shows of a recorded solve, as plain texts: each pass's title and
// lines, its tables (the pass data, and for a small problem the full tableau of the basis),
// kvado-cli's "steps" member and the RTF document of all passes.

#include <cstddef>
#include <string>
#include <vector>

#include "report/ReportDocument.h"
#include "solver/LpProblem.h"
#include "solver/StepRecorder.h"
#include "text/Json.h"

namespace kvado::report {

// The full tableau is shown up to this many rows and unknowns.
inline constexpr int32_t kFullTableauLimit = 30;
bool showsFullTableau(const StepRecorder& steps);
// The RTF document holds the passes' tables up to this many rows (a document to hand out, not
// a dump of a large solve).
inline constexpr int32_t kDocumentTableLimit = 200;

// A table of texts, row 0 its titles; the pivot's row and column in the table's indices (-1:
// none).
struct StepTable {
    std::vector<std::vector<std::string>> cells;
    int pivotRow = -1, pivotColumn = -1;
};

// «План 3 (этап 2): входит X[1], выходит ост(2)».
std::string passTitle(const StepRecorder& steps, const StepNames& names, size_t k);
// The pass told in lines: the objective, the entering column with its reduced cost, the ratio
// test (its tie-break rounds as the trace log has them) and the pivot.
std::vector<std::string> passLines(const StepRecorder& steps, const StepNames& names, size_t k,
                                   char decimalSeparator);
// The pass's rows: «Строка», «Базисная», «Значение», «Столбец входящей», «Отношение». Empty
// (titles only) for a pass recorded without its detail.
StepTable passDataTable(const StepRecorder& steps, const StepNames& names, size_t k,
                        char decimalSeparator);
// The full tableau of the pass's basis: «Базис», «Значение», one column per variable, the
// last row the reduced costs with the objective. Computed for display (double precision).
StepTable fullTableau(const LpProblem& problem, const StepRecorder& steps, const StepNames& names,
                      size_t k, char decimalSeparator);
// The line that says the cap on recorded passes (or on their detail) was met; empty when not.
std::string recordingNote(const StepRecorder& steps);

// The value of the member "steps": [{"pass": k, "phase": 1|2, "entering": "name"|null,
// "leaving": "name"|null, "ratio": r|null, "pivot": p|null, "objective": z}, ...]
void stepsJson(text::JsonWriter& w, const StepRecorder& steps, const StepNames& names);

// Every pass with its lines and tables: the paragraphs of the RTF document «Пошаговое
// решение» (writeRtf). A table is fixed-pitch text, the pivot's row and column in red.
std::vector<Paragraph> stepsDocument(const LpProblem& problem, const StepRecorder& steps,
                                     const StepNames& names, char decimalSeparator);

} // namespace kvado::report
