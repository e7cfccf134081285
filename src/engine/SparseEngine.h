#pragma once
// The sparse engine: GLPK's LU-factorised revised simplex (primal and dual, with presolve and
// scaling) on a model as the user states it. Bounds, ranges, free and fixed columns, the sense
// and the objective's constant go to GLPK as they are, with no transformation to the standard
// form, so the answer is in the model's own terms, order and sense, and its size is limited
// only by memory. The method (solver/) stays the engine of data files and the grid; this one
// solves LP and MPS models and whatever the method cannot take.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/Model.h"

namespace kvado::engine {

enum class SparseStatus {
    Optimal,
    Infeasible, // no point meets every row and bound
    Unbounded,  // feasible, and the objective improves without end
    Stopped,    // the stop request or the time limit ended it: no answer
    Failed      // GLPK failed (out of memory, numerical trouble); `failure` says how
};
// "optimal", "infeasible", "unbounded", "stopped", "failed".
const char* sparseStatusName(SparseStatus s);

// Where a column or a row (its activity) stands in the final basis.
enum class BasisStatus : uint8_t {
    Basic,
    AtLower, // non-basic at its lower bound
    AtUpper, // non-basic at its upper bound
    Free,    // non-basic free, at 0
    Fixed    // non-basic with lower = upper
};

// One line of progress, as often as `progressMilliseconds`.
struct SparseProgress {
    int64_t iterations = 0;
    double objective = 0;     // GLPK's current objective, in the model's sense
    double infeasibility = 0; // the sum of the bound violations (primal) or of the dual ones
    bool feasible = false;    // the current basis is primal feasible
    double seconds = 0;       // since the solve started
};

struct SparseOptions {
    // The default is what measured fastest on the Netlib set and the large generated models
    // (README «The sparse engine»): the primal simplex below kPrimalRows rows, the dual one
    // (falling back on the primal one where the dual cannot start) from there on, GLPK's
    // presolve, automatic scaling, projected steepest edge.
    enum class Method { Auto, Dual, Primal } method = Method::Auto;
    static constexpr size_t kPrimalRows = 10000;
    bool presolve = true;
    bool scale = true;
    bool steepestEdge = true;
    double timeLimitSeconds = 0; // 0: none
    int progressMilliseconds = 200;
    // Called on the solving thread; must not throw.
    std::function<void(const SparseProgress&)> progress;
    // Asked at every progress line; true ends the solve as Stopped.
    std::function<bool()> stopRequested;
};

struct SparseAnswer {
    SparseStatus status = SparseStatus::Failed;
    std::string failure; // why Failed (Russian), or which bounds cross for Infeasible
    // The last basis reached, in the model's sense: for Optimal the optimum, constant included;
    // for Infeasible and Unbounded the basis where GLPK stopped (without presolve).
    Real objective = 0;
    // Per model column: value, reduced cost c - yᵀa in the model's sense, basis status.
    std::vector<Real> columnValue, columnMarginal;
    std::vector<BasisStatus> columnStatus;
    // Per model row: activity a·x, marginal dF/db of the model's objective, basis status.
    std::vector<Real> rowActivity, rowMarginal;
    std::vector<BasisStatus> rowStatus;
    // Unbounded: the variable along whose ray the objective improves without end, as GLPK
    // names it (0-based row index, or rows + column index); -1 otherwise.
    int64_t unboundedVariable = -1;
    int64_t iterations = 0;
    double seconds = 0; // wall time of the solve
    // GLPK's own lines (the optimizer's header, the progress lines, its verdict) for the
    // trace log.
    std::vector<std::string> log;
};

// Where GLPK's own status of a column or a row (GLP_BS, GLP_NL, GLP_NU, GLP_NF, GLP_NS) puts
// it, for the engine's units that read a basis from GLPK.
BasisStatus basisStatusOf(int glpkStatus);

// Solves `model`. Never throws for GLPK's sake: every GLPK failure is an answer Failed
// (std::bad_alloc may come from the answer's own vectors).
SparseAnswer solveSparse(const model::Model& model, const SparseOptions& options = {});

} // namespace kvado::engine
