#pragma once
// The passes of one solve as the method made them, for the step-by-step view, kvado-cli's
// "steps" and the simplex path of the graphical method. The solver feeds a recorder only when
// one is attached; it reads the solve's state and never writes it, so a recorded solve and
// its trace log are the same bits as a plain one.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Names.h"
#include "solver/LpProblem.h"
#include "solver/SolveOutcome.h"

namespace kvado {

// One round of the lexicographic tie-break, as the trace log's «Вырождение» lines give it: the
// rows tied at that level.
struct StepTieRound {
    std::vector<int32_t> rows;
    // The smallest-number rule decided among them (a phase that cycled).
    bool smallestNumber = false;
};

// A row that took part in the ratio test: its transformed entry was above Eps.
struct StepRatio {
    int32_t row = 0;
    Real ratio = 0; // basic value / transformed entry
};

// One pass, as it stood before its pivot.
struct StepPass {
    int32_t pass = 0;  // 1, 2, ... as the trace log counts them
    int32_t phase = 2; // 1: the artificial sum is minimised; 2: Z
    // The entering column (0: none, the phase ends here) and its reduced cost.
    int32_t entering = 0;
    Real reducedCost = 0;
    // The leaving row and the column basic in it (0: none; with an entering column the
    // objective is unbounded in that direction).
    int32_t leavingRow = 0;
    int32_t leavingColumn = 0;
    Real ratio = 0; // the leaving row's: basic value / pivot
    Real pivot = 0;
    Real objective = 0; // the artificial sum W in phase 1, Z in phase 2
    // The phase chooses by the smallest number since it cycled.
    bool smallestNumberRule = false;
    // In phase 2 a basic artificial variable with an entry below -Eps left instead of the row
    // of the minimum ratio.
    bool artificialLeft = false;
    std::vector<StepTieRound> rounds;

    // What takes memory in proportion to the rows: kept while the recorder's budget lasts.
    bool detailed = false;
    std::vector<int32_t> basis;    // rows 1..M at 0..M-1: the basic column
    std::vector<Real> values;      // rows 1..M at 0..M-1: the basic value
    std::vector<Real> column;      // the entering column transformed, rows 1..M at 0..M-1
    std::vector<StepRatio> ratios; // the rows that qualified, ascending
};

// A point X[1..N] that the solve visited: the basic solution of one or more passes in a row.
struct StepPoint {
    std::vector<Real> x; // X[1..N] at 0..N-1
    int32_t pass = 0;    // the first pass at the point; 0: the state the solve ended in
    int32_t phase = 2;
    // Every artificial variable is (within Eps of) 0, so the point meets the constraints: a
    // point of phase 1 may lie outside the feasible region.
    bool feasible = true;
};

class StepRecorder {
public:
    struct Limits {
        // Passes kept at all; the solve goes on and the later passes are only counted.
        int64_t passes = 200000;
        // Bytes of the per-row detail (basis, values, column, ratios) over all passes.
        int64_t detailBytes = int64_t(64) << 20;
    };
    StepRecorder() = default;
    explicit StepRecorder(Limits limits) : m_limits(limits) {}

    // --- fed by the solver ----------------------------------------------------------------
    void begin(const LpProblem& p);
    // A round of the ratio test's tie-break, before the pass that it belongs to is recorded.
    void tieRound(const int32_t* rows, int32_t count, bool smallestNumber);
    // The pass p.pass, once its entering column (p.entering) and leaving row (p.leaving) are
    // chosen and before the pivot; p.transformed holds the entering column.
    void pass(const LpProblem& p, bool smallestNumberRule, bool artificialLeft);
    void end(const LpProblem& p, SolveOutcome outcome);

    // --- read -------------------------------------------------------------------------------
    const std::vector<StepPass>& passes() const { return m_passes; }
    // Passes the solve made; more than passes().size() when the cap was met.
    int32_t passCount() const { return m_passCount; }
    bool passesCut() const { return m_passCount > static_cast<int32_t>(m_passes.size()); }
    // Passes with their detail: the first detailedCount() ones.
    int32_t detailedCount() const { return m_detailed; }
    SolveOutcome outcome() const { return m_outcome; }
    // The counts of the problem solved.
    int32_t G = 0, E = 0, L = 0, N = 0, M = 0;
    int32_t phase2Columns = 0, phase1Columns = 0;
    Real eps = 0;

    // The basis and values after the last pass (after a pass limit or a stop: of the basis
    // the solve ended with).
    const std::vector<int32_t>& finalBasis() const { return m_finalBasis; }
    const std::vector<Real>& finalValues() const { return m_finalValues; }

    // X[1..N] (at 0..N-1) of the basic solution of pass k (an index into passes(), which must
    // be detailed).
    std::vector<Real> unknowns(size_t k) const;
    // The points X[1..N] that the solve visited, in order, each once in a row (a degenerate
    // pivot stays at its point): the basic solution of every detailed pass, then the final one.
    std::vector<std::vector<Real>> visitedPoints() const;
    // The same points with the pass and phase that reached them and whether they are feasible.
    std::vector<StepPoint> visits() const;

    // The row whose surplus, slack or artificial variable is column j (N < j).
    int32_t ownRow(int32_t j) const;
    bool isSurplus(int32_t j) const { return j > N && j <= N + G; }
    bool isArtificial(int32_t j) const { return j > phase2Columns; }

private:
    Limits m_limits;
    std::vector<StepPass> m_passes;
    std::vector<StepTieRound> m_pendingRounds;
    int32_t m_passCount = 0;
    int32_t m_detailed = 0;
    int64_t m_detailUsed = 0;
    bool m_detailOver = false;
    SolveOutcome m_outcome{};
    std::vector<int32_t> m_finalBasis;
    std::vector<Real> m_finalValues;
};

// Column names as the grid shows them: an unknown by its name or X[j], a surplus, slack or
// artificial variable by its row («изб(Спрос)», «ост(2)», «иск(Спрос)»). `columnNames` and
// `rowNames` may be short or hold blanks (then X[j] and the row's number stand in).
class StepNames {
public:
    StepNames(const StepRecorder& recording, Names names);
    std::string column(int32_t j) const;
    std::string row(int32_t i) const;

private:
    const StepRecorder& m_recording;
    Names m_names;
};

// A fresh load of the problem that `solved` holds (its tableau never changes after a load),
// in the loaders' order, so that solving `fresh` makes the same passes again.
void loadAgain(const LpProblem& solved, LpProblem& fresh);

// The full tableau of a basis, for display only (double precision): B^-1 A over the phase's
// columns, the right-hand side B^-1 b and the reduced-cost row of the phase's objective.
struct StepTableau {
    std::vector<int32_t> columns;          // the columns shown, ascending
    std::vector<std::vector<double>> rows; // M rows: [0] the basic value, then one per column
    std::vector<double> reducedCosts;      // [0] the objective, then one per column
    bool singular = false;                 // the basis could not be inverted in double
};
// `phase` 1: every column, the artificial sum as the objective; 2: the artificial columns
// only while basic (they never enter in phase 2), Z as the objective.
StepTableau stepTableau(const LpProblem& p, const std::vector<int32_t>& basis, int32_t phase);

} // namespace kvado
