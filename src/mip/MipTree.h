#pragma once
// The integer search's vocabulary: what a search of an integer model is asked (MipOptions),
// what it tells while it runs (MipProgress), what it comes to (MipAnswer) and, for the own
// branch and bound, the tree it searched (MipNode), every node kept so that a student can
// step through the search in its order and replay any node's relaxation.
//
// Every value is in the model's terms: the objective in the model's sense with its constant,
// a plan per model column, columns by their 0-based index in Model::columns.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Real.h"
#include "model/Model.h"

namespace kvado::mip {

enum class MipStatus {
    Optimal,    // an integer plan, proved best (within the gap limit, when one is set)
    Feasible,   // an integer plan, not proved best: the time limit or the stop ended the search
    Infeasible, // no integer plan meets every row and bound (the relaxation may have one)
    Unbounded,  // the relaxation's objective improves without end
    Stopped     // ended by the time limit or the stop before any integer plan was found
};
// "optimal", "feasible", "infeasible", "unbounded", "stopped" (the JSON's names).
const char* mipStatusName(MipStatus s);

// Which search solves. The own branch and bound takes a model of at most kOwnMaxIntegers
// integer columns and kOwnMaxRows rows when it is asked for (ownCanTake(): the tree window's
// search); Auto takes it for a textbook's size (kAutoOwnIntegers, kAutoOwnRows) and GLPK's
// branch and cut beyond, since it measured far faster (flugpl, 11 integer columns and 18 rows:
// 13,000 nodes and 1.8 s against 0.01 s; README «Integer models»).
enum class MipEngine { Auto, Own, Glpk };
// "own", "glpk" (Auto is never an answer's engine).
const char* mipEngineName(MipEngine e);
inline constexpr int32_t kOwnMaxIntegers = 40;
inline constexpr int32_t kOwnMaxRows = 300;
inline constexpr int32_t kAutoOwnIntegers = 10;
inline constexpr int32_t kAutoOwnRows = 50;

// Which fractional column the own branch and bound branches on.
enum class BranchRule {
    MostFractional, // the fractional part nearest 1/2 (ties: the lowest index)
    FirstFractional // the lowest index with a fractional value
};

// A bound a branch adds: column <= value (upper) or column >= value (lower).
struct AddedBound {
    int32_t column = -1;
    bool upper = false;
    Real value = 0;
};

// What became of a node.
enum class NodeFate : uint8_t {
    Open,          // not yet searched when the search ended (time limit, stop)
    Branched,      // its relaxation was fractional and no better than the incumbent: two children
    PrunedByBound, // its relaxation's value is no better than the best integer plan found
    Infeasible,    // its relaxation has no feasible plan
    Integer,       // its relaxation's plan is integral: a candidate integer plan
    Unbounded      // its relaxation is unbounded (the root only: the search ends there)
};
// "open", "branched", "pruned", "infeasible", "integer", "unbounded".
const char* nodeFateName(NodeFate f);

// Which engine solved a node's relaxation.
enum class NodeSolver : uint8_t { Method, Sparse };

struct MipNode {
    int32_t id = 0;      // its index in MipTree::nodes; the root is 0
    int32_t parent = -1; // -1 for the root
    int32_t depth = 0;
    // The bounds added on the way from the root, the root's side first. The node's problem is
    // the model with these bounds (nodeModel()).
    std::vector<AddedBound> bounds;
    // The children: down (column <= floor) and up (column >= ceil); -1 while not branched.
    int32_t down = -1, up = -1;
    // The relaxation, once solved (order >= 0): its value in the model's sense and its plan
    // per model column (empty unless it had an optimum).
    bool solved = false;
    Real value = 0;
    std::vector<Real> plan;
    NodeSolver solver = NodeSolver::Method;
    int64_t iterations = 0; // the method's passes or the engine's iterations
    // Branched: the column branched on and its fractional value.
    int32_t branchColumn = -1;
    Real branchValue = 0;
    NodeFate fate = NodeFate::Open;
    // The 0-based place in the order the search solved the nodes; -1 for a node never solved.
    int32_t order = -1;
};

struct MipTree {
    std::vector<MipNode> nodes; // by id; the root first
    int32_t incumbent = -1;     // the node whose plan is the answer's; -1: none
};

// `root` with a node's added bounds (each narrows the column's bounds), Continuous columns
// throughout: the linear problem the node's relaxation solved, for the step view's replay.
model::Model nodeModel(const model::Model& root, const MipNode& node);

// One report of a running search.
struct MipProgress {
    int64_t nodes = 0;         // solved so far (GLPK: its active and fathomed subproblems)
    bool hasIncumbent = false; // an integer plan has been found
    Real incumbent = 0;        // its value, in the model's sense
    bool hasBound = false;     // the best bound is known (the root relaxation is solved)
    Real bound = 0;            // no integer plan is better than this (the model's sense)
    double gap = 0;            // relative gap |incumbent - bound| / max(|incumbent|, 1e-10)
    double seconds = 0;        // since the search started
};

struct MipOptions {
    double timeLimitSeconds = 0; // 0: none; ends the search with the best plan so far
    // Stops the search once the relative gap is at most this (0: optimal, within 1e-9).
    double gapLimit = 0;
    MipEngine engine = MipEngine::Auto;
    BranchRule branching = BranchRule::MostFractional;
    int progressMilliseconds = 200;
    // Called on the searching thread (the own search after every node, GLPK's from its
    // callback at most every progressMilliseconds); must not throw.
    std::function<void(const MipProgress&)> progress;
    // Asked between nodes (GLPK: in its callback); true ends the search, keeping the best
    // integer plan found (status Feasible, or Stopped without one).
    std::function<bool()> stopRequested;
    // GLPK's branch and cut: its MIP presolver, cuts and heuristics. The defaults are what
    // measured best on the small MIPLIB 3 instances (bench/mip_options, README «Integer
    // models»).
    struct Glpk {
        bool presolve = true;
        bool gomory = false, mir = true, cover = true, clique = true;
        bool feasibilityPump = false, proximity = false;
    } glpk;
};

struct MipAnswer {
    MipStatus status = MipStatus::Stopped;
    // Why the search could not run at all (a GLPK failure, a model beyond the own search's
    // reach when it was asked for), in Russian; empty otherwise. Status is then Stopped.
    std::string failure;
    // Optimal and Feasible: the integer plan's objective (the model's sense, constant
    // included) and its value per model column (integral columns hold whole numbers).
    Real objective = 0;
    std::vector<Real> plan;
    // The best bound: no integer plan is better (for Optimal the objective itself, within the
    // gap); hasBound is false when not even the root relaxation was solved.
    bool hasBound = false;
    Real bound = 0;
    double gap = 0; // relative, as MipProgress's (0 without an integer plan)
    int64_t nodes = 0;
    MipEngine engine = MipEngine::Own; // Own or Glpk
    // The root relaxation (the linear relaxation of the whole model).
    bool rootSolved = false;
    Real rootValue = 0;
    MipTree tree; // the own search's tree (empty for GLPK)
    double seconds = 0;
    // The search's summary for the trace log (GLPK's own lines for its branch and cut).
    std::vector<std::string> log;
    bool hasSolution() const {
        return status == MipStatus::Optimal || status == MipStatus::Feasible;
    }
};

// The relative gap between an integer plan's value and a bound.
double relativeGap(Real incumbent, Real bound);

} // namespace kvado::mip
