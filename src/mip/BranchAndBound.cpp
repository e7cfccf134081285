// The own branch and bound. Every node is the model with the bounds its branches added; its
// linear relaxation is solved from the start by the method (so that the step view can replay
// it pass by pass) or, where the method cannot take it, by the sparse engine. The search dives
// depth first (into the side the fractional value is nearer to) until a node is pruned,
// infeasible or integral, then goes back to the open node of the best bound.

#include <algorithm>
#include <chrono>
#include <cmath>

#include "engine/SparseEngine.h"
#include "mip/MipSolve.h"
#include "model/ModelIo.h"
#include "model/StandardForm.h"
#include "solver/LpProblem.h"
#include "solver/Simplex.h"
#include "solver/TraceLog.h"
#include "text/NumberText.h"

namespace kvado::mip {

namespace {

// A value this close to a whole number is taken as whole.
constexpr Real kIntegrality = 1e-6L;

struct NodeSolve {
    enum class Status { Optimal, Infeasible, Unbounded, Stopped, Failed } status = Status::Failed;
    Real value = 0; // the model's sense
    std::vector<Real> plan;
    int64_t iterations = 0;
    NodeSolver solver = NodeSolver::Method;
};

// The method's host during a node: it only passes the stop on.
class NodeHost : public SolverHost {
public:
    explicit NodeHost(const std::function<bool()>& stop) : m_stop(stop) {}
    bool stopRequested() override { return m_stop && m_stop(); }

private:
    const std::function<bool()>& m_stop;
};

NodeSolve bySparseEngine(const model::Model& nm, const std::function<bool()>& stop) {
    engine::SparseOptions o;
    o.stopRequested = stop;
    const engine::SparseAnswer a = engine::solveSparse(nm, o);
    NodeSolve s;
    s.solver = NodeSolver::Sparse;
    s.iterations = a.iterations;
    switch (a.status) {
    case engine::SparseStatus::Optimal:
        s.status = NodeSolve::Status::Optimal;
        s.value = a.objective;
        s.plan = a.columnValue;
        break;
    case engine::SparseStatus::Infeasible:
        s.status = NodeSolve::Status::Infeasible;
        break;
    case engine::SparseStatus::Unbounded:
        s.status = NodeSolve::Status::Unbounded;
        break;
    case engine::SparseStatus::Stopped:
        s.status = NodeSolve::Status::Stopped;
        break;
    case engine::SparseStatus::Failed:
        s.status = NodeSolve::Status::Failed;
        break;
    }
    return s;
}

NodeSolve solveNode(const model::Model& nm, const std::function<bool()>& stop) {
    model::StandardForm sf;
    try {
        sf = model::toStandardForm(nm);
    } catch (const ProblemSizeError&) {
        return bySparseEngine(nm, stop);
    }
    NodeSolve s;
    if (!sf.infeasible.empty()) {
        s.status = NodeSolve::Status::Infeasible;
        return s;
    }
    LpProblem p;
    model::loadProblem(sf, model::kModelEps, p);
    TraceLog log{TraceLog::Discard{}};
    NodeHost host(stop);
    const SolveOutcome outcome = solve(p, log, host, nullptr, SolveOptions::oneThread());
    s.iterations = p.pass;
    switch (outcome) {
    case SolveOutcome::Optimal: {
        const model::UserSolution u = model::mapBack(nm, sf, p);
        s.status = NodeSolve::Status::Optimal;
        s.value = u.objective;
        s.plan = u.columnValue;
        return s;
    }
    case SolveOutcome::Infeasible:
        s.status = NodeSolve::Status::Infeasible;
        return s;
    case SolveOutcome::Unbounded:
        s.status = NodeSolve::Status::Unbounded;
        return s;
    case SolveOutcome::Stopped:
        s.status = NodeSolve::Status::Stopped;
        return s;
    case SolveOutcome::PassLimit:
    case SolveOutcome::Overflow:
        break;
    }
    // The method gave no answer: the engine's is taken.
    return bySparseEngine(nm, stop);
}

// The fractional column to branch on, or -1 when every integer column is whole.
int32_t branchColumn(const model::Model& m, const std::vector<Real>& plan, BranchRule rule) {
    int32_t best = -1;
    Real bestScore = -1;
    for (size_t j = 0; j < m.columns.size(); ++j) {
        if (!model::isInteger(m.columns[j])) continue;
        const Real v = plan[j];
        const Real f = v - std::floor(v);
        if (f <= kIntegrality || f >= 1 - kIntegrality) continue;
        if (rule == BranchRule::FirstFractional) return static_cast<int32_t>(j);
        const Real score = std::min(f, 1 - f);
        if (score > bestScore + 1e-12L) {
            bestScore = score;
            best = static_cast<int32_t>(j);
        }
    }
    return best;
}

} // namespace

MipAnswer solveOwn(const model::Model& m, const MipOptions& options) {
    MipAnswer a;
    a.engine = MipEngine::Own;
    const auto started = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };
    // Everything is compared as a minimum: sign * value.
    const Real sign = m.sense == model::Sense::Maximize ? -1 : 1;
    bool timedOut = false, stopped = false;
    const std::function<bool()> stop = [&] {
        if (stopped || timedOut) return true;
        if (options.stopRequested && options.stopRequested()) return stopped = true;
        if (options.timeLimitSeconds > 0 && elapsed() > options.timeLimitSeconds)
            return timedOut = true;
        return false;
    };

    MipTree& tree = a.tree;
    tree.nodes.push_back(MipNode{});
    // Open nodes with the bound their parent's relaxation gives them (as a minimum).
    std::vector<int32_t> open{0};
    std::vector<Real> openBound{-model::kInfinity};
    bool hasIncumbent = false;
    Real incumbent = 0; // as a minimum
    int32_t order = 0;
    int32_t next = 0; // the child to dive into, or -1: back to the best bound
    auto bestOpenBound = [&] {
        Real b = model::kInfinity;
        for (const Real v : openBound)
            b = std::min(b, v);
        return b;
    };
    auto report = [&] {
        if (!options.progress) return;
        MipProgress p;
        p.nodes = order;
        p.hasIncumbent = hasIncumbent;
        p.incumbent = sign * incumbent;
        const Real b = std::min(bestOpenBound(), hasIncumbent ? incumbent : model::kInfinity);
        p.hasBound = a.rootSolved && std::isfinite(b);
        p.bound = sign * b;
        p.gap = hasIncumbent && p.hasBound ? relativeGap(p.incumbent, p.bound) : 0;
        p.seconds = elapsed();
        options.progress(p);
    };
    // When every column with a cost is integral and every cost whole, every plan's objective
    // is a whole number (less the constant): a bound then counts as its next whole number.
    bool wholeObjective = true;
    for (const model::Column& c : m.columns)
        if (c.cost != 0 && (!model::isInteger(c) || c.cost != std::floor(c.cost)))
            wholeObjective = false;
    const Real shift = sign * m.objectiveConstant;
    // Whether a node whose relaxation is `bound` (as a minimum) can still hold a better plan.
    auto worthSearching = [&](Real bound) {
        if (!hasIncumbent) return true;
        if (wholeObjective && std::isfinite(bound))
            bound = std::ceil(bound - shift - 1e-6L) + shift;
        const Real tolerance = std::max<Real>(1e-9L * std::max<Real>(1, std::fabs(incumbent)),
                                              static_cast<Real>(options.gapLimit) *
                                                  std::max<Real>(std::fabs(incumbent), 1e-10L));
        return bound < incumbent - tolerance;
    };

    // The least bound of the nodes pruned only by the tolerance or the gap limit: the answer's
    // bound cannot be better than it.
    Real prunedBound = model::kInfinity;
    auto prune = [&](MipNode& node, Real bound) {
        node.fate = NodeFate::PrunedByBound;
        if (bound < incumbent) prunedBound = std::min(prunedBound, bound);
    };
    bool unbounded = false, failed = false;
    while (!open.empty()) {
        if (stop()) break;
        size_t at;
        if (next >= 0) {
            at = static_cast<size_t>(std::find(open.begin(), open.end(), next) - open.begin());
        } else {
            at = static_cast<size_t>(std::min_element(openBound.begin(), openBound.end()) -
                                     openBound.begin());
        }
        const int32_t id = open[at];
        const Real parentBound = openBound[at];
        next = -1;
        if (!worthSearching(parentBound)) {
            // Its parent's bound already rules it out.
            open.erase(open.begin() + static_cast<std::ptrdiff_t>(at));
            openBound.erase(openBound.begin() + static_cast<std::ptrdiff_t>(at));
            prune(tree.nodes[static_cast<size_t>(id)], parentBound);
            continue;
        }
        const NodeSolve s = solveNode(nodeModel(m, tree.nodes[static_cast<size_t>(id)]), stop);
        if (s.status == NodeSolve::Status::Stopped) break;
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(at));
        openBound.erase(openBound.begin() + static_cast<std::ptrdiff_t>(at));
        MipNode& node = tree.nodes[static_cast<size_t>(id)];
        node.order = order++;
        node.solver = s.solver;
        node.iterations = s.iterations;
        if (s.status == NodeSolve::Status::Failed) {
            failed = true;
            node.fate = NodeFate::Open;
            break;
        }
        if (s.status == NodeSolve::Status::Infeasible) {
            node.fate = NodeFate::Infeasible;
            report();
            continue;
        }
        if (s.status == NodeSolve::Status::Unbounded) {
            // Below the root a bounded integer column cannot make it unbounded: the
            // relaxation of the whole model is.
            node.fate = NodeFate::Unbounded;
            unbounded = true;
            break;
        }
        node.solved = true;
        node.value = s.value;
        node.plan = s.plan;
        if (id == 0) {
            a.rootSolved = true;
            a.rootValue = s.value;
        }
        const Real z = sign * s.value;
        if (!worthSearching(z)) {
            prune(node, z);
            report();
            continue;
        }
        const int32_t j = branchColumn(m, s.plan, options.branching);
        if (j < 0) {
            node.fate = NodeFate::Integer;
            hasIncumbent = true;
            incumbent = z;
            tree.incumbent = id;
            report();
            continue;
        }
        node.fate = NodeFate::Branched;
        node.branchColumn = j;
        node.branchValue = s.plan[static_cast<size_t>(j)];
        const Real v = node.branchValue;
        const std::vector<AddedBound> bounds = node.bounds;
        const int32_t depth = node.depth;
        int32_t children[2];
        for (int side = 0; side < 2; ++side) {
            MipNode child;
            child.id = static_cast<int32_t>(tree.nodes.size());
            child.parent = id;
            child.depth = depth + 1;
            child.bounds = bounds;
            child.bounds.push_back({j, side == 0, side == 0 ? std::floor(v) : std::ceil(v)});
            children[side] = child.id;
            tree.nodes.push_back(std::move(child));
            open.push_back(children[side]);
            openBound.push_back(z);
        }
        MipNode& branched = tree.nodes[static_cast<size_t>(id)];
        branched.down = children[0];
        branched.up = children[1];
        // Dive into the side the value is nearer to (down on a tie).
        next = v - std::floor(v) > 0.5L ? children[1] : children[0];
        report();
    }

    a.nodes = order;
    a.seconds = elapsed();
    const Real openBest = bestOpenBound();
    if (unbounded) {
        a.status = MipStatus::Unbounded;
    } else if (failed) {
        a.status = MipStatus::Stopped;
        a.failure = "не удалось решить задачу узла " + std::to_string(order - 1);
    } else if (hasIncumbent) {
        const MipNode& best = tree.nodes[static_cast<size_t>(tree.incumbent)];
        a.plan = best.plan;
        // The integer columns at their whole values, and the objective of that plan.
        Real objective = m.objectiveConstant;
        for (size_t j = 0; j < m.columns.size(); ++j) {
            if (model::isInteger(m.columns[j])) a.plan[j] = std::round(a.plan[j]);
            objective += m.columns[j].cost * a.plan[j];
        }
        a.objective = objective;
        const Real bound = std::min({openBest, prunedBound, incumbent});
        a.hasBound = true;
        a.bound = sign * bound;
        a.gap = relativeGap(sign * incumbent, a.bound);
        a.status = open.empty() ? MipStatus::Optimal : MipStatus::Feasible;
        // What the tolerance of the comparisons alone left is no gap.
        if (a.status == MipStatus::Optimal && a.gap <= 1e-9) {
            a.bound = sign * incumbent;
            a.gap = 0;
        }
    } else if (open.empty()) {
        a.status = MipStatus::Infeasible;
        a.hasBound = false;
    } else {
        a.status = MipStatus::Stopped;
        a.hasBound = a.rootSolved && std::isfinite(openBest);
        if (a.hasBound) a.bound = sign * openBest;
    }
    a.log.push_back("Метод ветвей и границ (собственный): узлов " + std::to_string(a.nodes) +
                    ", время " + text::formatFixed(a.seconds, 0, 3) + " с");
    if (timedOut) a.log.push_back("Поиск остановлен: время истекло");
    if (stopped) a.log.push_back("Поиск прерван пользователем");
    return a;
}

} // namespace kvado::mip
