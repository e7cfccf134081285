#pragma once
// Why a solve has no answer. After "no feasible solution": the multipliers of the final
// phase-1 basis as a certificate (a sum of the rows that reads 0 >= a positive number) and an
// irreducible infeasible subset of the rows; after an unbounded objective: the ray along which
// Z falls without limit. Both are checked in exact arithmetic before they are shown; what does
// not check is not shown (the method may call a badly scaled problem infeasible or unbounded
// when it is not, and the exact check then says so).
//
// It only reads the solved problem: the solve's numbers and its trace log stay as they are.
// The subset is found by solving phase 1 again on parts of the problem, each solve on a
// problem record of its own whose trace log is discarded.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Names.h"
#include "solver/LpProblem.h"
#include "solver/Simplex.h"

namespace kvado::analysis {

struct ExplainOptions {
    char decimalSeparator = ',';
    // The subset is searched for problems of up to this many rows, for at most this long.
    int32_t maxSubsetRows = 1000;
    double subsetSeconds = 10;
    // The exact reading of the certificate or the ray; zero: no limit.
    double exactSeconds = 10;
    const std::atomic<bool>* cancel = nullptr;
    // Asked between the passes of the search's solves, as the solver asks its host; true stops
    // the search (the certificate is then shown alone).
    std::function<bool()> stopRequested;
    // Solves phase 1 of a part of the problem (a record of its own, loaded and snapshot),
    // leaving its last phase-1 basis in it as the method does, and says how it ended; the
    // method's solve when not given. `stop` is the search's own stop, to be asked as it goes.
    std::function<SolveOutcome(LpProblem&, const std::function<bool()>& stop)> phase1;
};

// Row i (1..M) times `multiplier`; for the sum to read 0 >= bound the bounds X[j] >= 0 are
// added too, each times its `multiplier`.
struct Term {
    int32_t index = 0;
    Real multiplier = 0;
};

struct Infeasibility {
    // The rows with a nonzero multiplier, in row order; ">=" rows have positive multipliers,
    // "<=" rows negative ones, "=" rows either. Scaled to the smallest whole numbers when they
    // are not too large, else to a largest magnitude of 1.
    std::vector<Term> rows;
    std::vector<Term> columns; // X[j] >= 0 times a positive multiplier
    Real bound = 0;            // the positive right-hand side of the sum
    // The irreducible infeasible subset: rows 1..M in order; empty when not computed, and then
    // `subsetNote` says why.
    bool subsetComputed = false;
    std::vector<int32_t> subset;
    std::string subsetNote;
    int32_t resolves = 0; // phase-1 solves the search made
};

struct Unboundedness {
    // The unknowns that grow along the ray, with their rates per unit of the `lead` one.
    std::vector<Term> ray;
    int32_t lead = 0;
    Real objectiveRate = 0; // dZ per unit of the lead unknown (negative)
};

struct Explanation {
    enum class Kind { None, Infeasible, Unbounded };
    Kind kind = Kind::None;
    Infeasibility infeasibility;
    Unboundedness unboundedness;
    // Kind None after an infeasible or unbounded solve: why nothing is shown.
    std::string note;
};

// The explanation of the last solve of `p` (Kind None for any other outcome).
Explanation explain(const LpProblem& p, SolveOutcome outcome, const ExplainOptions& options = {});

// The standard form's rows and columns are told by Names (index 0 for row / column 1); a
// missing or empty name falls back on the row's number and X[j].

inline constexpr const char* kExplainHeading = "Почему нет решения";

// The sentence: "Сложив ограничения «…» ×2 и «…» ×1, получаем 0 ≥ 5: ограничения несовместны"
// or "X[3] и X[5] могут расти неограниченно: при увеличении X[3] на 1 Z уменьшается на 2,5".
std::string explanationSentence(const LpProblem& p, const Explanation& e, const Names& names,
                                char separator);
// The report's section: the heading, the sentence, the multipliers or rates one a line, the
// subset (or why there is none). Empty for Kind None with no note.
std::vector<std::string> explanationSection(const LpProblem& p, const Explanation& e,
                                            const Names& names, char separator);
// "«name»" for a named row, "№i" otherwise; a column by its name or X[j].
std::string explainRowName(const Names& names, int32_t i);
std::string explainColumnName(const Names& names, int32_t j);
// A multiplier or a rate as the texts show it ("2", "-1", "2,5").
std::string explainNumber(Real v, char separator);

} // namespace kvado::analysis
