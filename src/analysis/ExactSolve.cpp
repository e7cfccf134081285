#include "analysis/ExactSolve.h"

#include <glpk.h>

#include <cmath>
#include <memory>
#include <vector>

#include "analysis/BasisCheck.h"
#include "analysis/ExactSimplex.h"
#include "engine/GlpkGuard.h"

namespace kvado::analysis {

namespace {

constexpr int kIterationsPerCall = 500;
constexpr int32_t kPolishPivots = 200;
constexpr int32_t kFallbackPivots = 1000;

// The problem's numbers as GLPK takes them, made before any GLPK call (nothing that needs a
// destructor may be pending while GLPK runs under the guard).
struct Arrays {
    std::vector<double> rhs, cost;
    std::vector<int> ia{0}, ja{0};
    std::vector<double> ar{0};
};

// False when a number does not fit a double at all.
bool arraysOf(const LpProblem& p, Arrays& out, bool& rounded) {
    rounded = false;
    auto toDouble = [&](Real v, double& d) {
        d = static_cast<double>(v);
        if (static_cast<Real>(d) != v) rounded = true;
        return std::isfinite(d);
    };
    out.rhs.resize(static_cast<size_t>(p.M) + 1);
    out.cost.resize(static_cast<size_t>(p.N) + 1);
    for (int32_t i = 1; i <= p.M; ++i)
        if (!toDouble(p.tableau(i, 0), out.rhs[static_cast<size_t>(i)])) return false;
    for (int32_t j = 1; j <= p.N; ++j) {
        if (!toDouble(p.objectiveCoefficient(j), out.cost[static_cast<size_t>(j)])) return false;
        const auto col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t) {
            double a;
            if (!toDouble(col.value(t), a)) return false;
            if (a == 0) continue;
            out.ia.push_back(col.rows[t]);
            out.ja.push_back(j);
            out.ar.push_back(a);
        }
    }
    return true;
}

// The problem in GLPK: rows with the sense of their kind, unknowns >= 0 (GLPK calls only).
void load(const LpProblem& p, const Arrays& a, glp_prob* lp) {
    glp_set_obj_dir(lp, GLP_MIN);
    if (p.M > 0) glp_add_rows(lp, p.M);
    if (p.N > 0) glp_add_cols(lp, p.N);
    for (int32_t i = 1; i <= p.M; ++i) {
        const double b = a.rhs[static_cast<size_t>(i)];
        const int kind = p.isGreaterRow(i) ? GLP_LO : p.isEqualRow(i) ? GLP_FX : GLP_UP;
        glp_set_row_bnds(lp, i, kind, b, b);
    }
    for (int32_t j = 1; j <= p.N; ++j) {
        glp_set_col_bnds(lp, j, GLP_LO, 0, 0);
        glp_set_obj_coef(lp, j, a.cost[static_cast<size_t>(j)]);
    }
    glp_load_matrix(lp, static_cast<int>(a.ia.size()) - 1, a.ia.data(), a.ja.data(), a.ar.data());
}

// The method's basis as GLPK's statuses: a basic surplus, slack or artificial column is its
// row's auxiliary variable; everything else sits at its bound.
void setBasis(const LpProblem& p, glp_prob* lp) {
    for (int32_t i = 1; i <= p.M; ++i)
        glp_set_row_stat(lp, i, p.isGreaterRow(i) ? GLP_NL : p.isEqualRow(i) ? GLP_NS : GLP_NU);
    for (int32_t j = 1; j <= p.N; ++j)
        glp_set_col_stat(lp, j, GLP_NL);
    for (int32_t r = 1; r <= p.M; ++r) {
        const int32_t j = p.basis[static_cast<size_t>(r)];
        if (j >= 1 && j <= p.N)
            glp_set_col_stat(lp, j, GLP_BS);
        else if (j > p.N && j <= p.N + p.G)
            glp_set_row_stat(lp, j - p.N, GLP_BS);
        else if (j > p.N + p.G && j <= p.phase2Columns)
            glp_set_row_stat(lp, j - p.N + p.E, GLP_BS);
        else if (j > p.phase2Columns && j <= p.phase1Columns)
            glp_set_row_stat(lp, j - p.phase2Columns, GLP_BS);
    }
}

// GLPK's final statuses as a basis list in the problem's column numbering.
bool basisFrom(const LpProblem& p, glp_prob* lp, std::vector<int32_t>& basis) {
    basis.assign(static_cast<size_t>(p.M) + 1, 0);
    std::vector<int> rowStat(static_cast<size_t>(p.M) + 1), colStat(static_cast<size_t>(p.N) + 1);
    if (!engine::glpkGuarded([&] {
             for (int32_t i = 1; i <= p.M; ++i)
                 rowStat[static_cast<size_t>(i)] = glp_get_row_stat(lp, i);
             for (int32_t j = 1; j <= p.N; ++j)
                 colStat[static_cast<size_t>(j)] = glp_get_col_stat(lp, j);
         }).ok)
        return false;
    int32_t r = 0;
    for (int32_t i = 1; i <= p.M; ++i) {
        if (rowStat[static_cast<size_t>(i)] != GLP_BS) continue;
        if (++r > p.M) return false;
        basis[static_cast<size_t>(r)] = p.isGreaterRow(i) ? p.N + i
                                        : p.isLessRow(i)  ? p.N + i - p.E
                                                          : p.phase2Columns + i;
    }
    for (int32_t j = 1; j <= p.N; ++j) {
        if (colStat[static_cast<size_t>(j)] != GLP_BS) continue;
        if (++r > p.M) return false;
        basis[static_cast<size_t>(r)] = j;
    }
    return r == p.M;
}

// The exact solution of `basis`; true when it is feasible and optimal for the problem's own
// numbers.
bool fillFrom(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget, char sep,
              ExactSolution& out) {
    ExactBasis exact(p, basis, budget);
    if (exact.singular()) return false;
    const ScaledVector x = structuralValues(p, basis, exact.solve(rightHandSides(p)));
    const ScaledVector y = exact.solveTransposed(basisCosts(p, basis, false));
    const mpq_class z = objectiveOf(p, x);
    out.hasObjective = true;
    out.objectiveExact = fractionText(z);
    out.objectiveDecimal = numberText(z, sep);
    out.objective = toReal(z);
    for (int32_t j = 1; j <= p.N; ++j)
        out.x[static_cast<size_t>(j - 1)] = toReal(x.at(static_cast<size_t>(j)));
    for (int32_t i = 1; i <= p.M; ++i)
        out.pi[static_cast<size_t>(i - 1)] = -toReal(y.at(static_cast<size_t>(i)));
    return !primalFailure(p, x, sep, &budget) && !dualFailure(p, y, sep, &budget) &&
           dualObjectiveOf(p, y) == z;
}

// GLPK's optimal basis, solved and checked here. When GLPK had to round a number to a double
// its basis may miss the optimum of the problem's own numbers by a pivot or two: those are
// made here exactly.
void certify(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget, char sep,
             ExactSolution& out) {
    out.verified = fillFrom(p, basis, budget, sep, out);
    if (out.verified) return;
    const Continuation c = continueExactly(p, basis, budget, kPolishPivots);
    if (c.status == Continuation::Status::Optimal) {
        out.verified = fillFrom(p, c.basis, budget, sep, out);
    } else if (c.status != Continuation::Status::Unknown) {
        out.status = c.status == Continuation::Status::Infeasible ? ExactStatus::Infeasible
                                                                  : ExactStatus::Unbounded;
        out.hasObjective = false;
        out.verified = true;
    }
}

} // namespace

const char* exactStatusName(ExactStatus s) {
    switch (s) {
    case ExactStatus::Optimal:
        return "optimal";
    case ExactStatus::Infeasible:
        return "infeasible";
    case ExactStatus::Unbounded:
        return "unbounded";
    case ExactStatus::Stopped:
        return "stopped";
    case ExactStatus::Failed:
        return "failed";
    }
    return "failed";
}

ExactSolution exactSolve(const LpProblem& p, const Budget& budget, char separator, bool warmStart) {
    ExactSolution out;
    const auto started = std::chrono::steady_clock::now();
    auto finish = [&]() {
        out.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return out;
    };
    // Every GLPK call under the guard: a failure of GLPK is a failed exact solve.
    auto failed = [&](const engine::GlpkResult& r) {
        if (r.ok) return false;
        out.message = r.failure;
        return true;
    };
    engine::GlpkProblem problem;
    glp_prob* lp = problem.get();
    Arrays arrays;
    if (!arraysOf(p, arrays, out.dataRounded)) {
        out.message = "число задачи вне диапазона, доступного точному решению";
        return finish();
    }
    if (lp == nullptr || failed(engine::glpkGuarded([&] { load(p, arrays, lp); }))) return finish();
    arrays = Arrays{};
    if (warmStart && failed(engine::glpkGuarded([&] { setBasis(p, lp); }))) return finish();
    out.warmStarted = warmStart;
    glp_smcp parm{};
    int ret = 0;
    if (failed(engine::glpkGuarded([&] { glp_init_smcp(&parm); }))) return finish();
    parm.msg_lev = GLP_MSG_OFF;
    try {
        // In slices of iterations, so that a stop request is seen between them.
        for (;;) {
            budget.check();
            parm.it_lim = kIterationsPerCall;
            if (budget.hasDeadline) {
                const double left = std::chrono::duration<double>(budget.deadline -
                                                                  std::chrono::steady_clock::now())
                                        .count();
                parm.tm_lim = std::max(1, static_cast<int>(left * 1000));
            }
            int before = 0, after = 0;
            if (failed(engine::glpkGuarded([&] {
                    before = glp_get_it_cnt(lp);
                    ret = glp_exact(lp, &parm);
                    after = glp_get_it_cnt(lp);
                })))
                return finish();
            out.iterations += after - before;
            if ((ret == GLP_EBADB || ret == GLP_ESING) && out.warmStarted) {
                // The method's basis is singular in exact arithmetic: GLPK's own start.
                out.warmStarted = false;
                if (failed(engine::glpkGuarded([&] { glp_std_basis(lp); }))) return finish();
                continue;
            }
            if (ret == GLP_EITLIM) continue;
            if (ret == GLP_ETMLIM) throw Stopped(false);
            break;
        }
        int status = GLP_UNDEF;
        if (ret == 0 && failed(engine::glpkGuarded([&] { status = glp_get_status(lp); })))
            return finish();
        out.x.assign(static_cast<size_t>(p.N), 0);
        out.pi.assign(static_cast<size_t>(p.M), 0);
        if (ret != 0 || (status != GLP_NOFEAS && status != GLP_UNBND && status != GLP_OPT)) {
            // GLPK refuses some problems (no unknowns, for one): exact pivots from the
            // method's basis instead, where it is feasible or dual feasible.
            const Continuation c = continueExactly(p, p.basis, budget, kFallbackPivots);
            if (c.status == Continuation::Status::Optimal) {
                out.status = ExactStatus::Optimal;
                out.verified = fillFrom(p, c.basis, budget, separator, out);
            } else if (c.status != Continuation::Status::Unknown) {
                out.status = c.status == Continuation::Status::Infeasible ? ExactStatus::Infeasible
                                                                          : ExactStatus::Unbounded;
                out.verified = true;
            } else {
                out.message =
                    "GLPK: код " + std::to_string(ret) + ", состояние " + std::to_string(status);
            }
            return finish();
        }
        if (status == GLP_NOFEAS) {
            out.status = ExactStatus::Infeasible;
            out.verified = !out.dataRounded; // GLPK decided it in exact arithmetic
        } else if (status == GLP_UNBND) {
            out.status = ExactStatus::Unbounded;
            out.verified = !out.dataRounded;
        } else if (status == GLP_OPT) {
            out.status = ExactStatus::Optimal;
            std::vector<int32_t> basis;
            if (basisFrom(p, lp, basis)) certify(p, basis, budget, separator, out);
        }
    } catch (const Stopped& stopped) {
        out.status = ExactStatus::Stopped;
        out.message =
            stopped.cancelled ? "точное решение остановлено" : "время точного решения истекло";
    }
    return finish();
}

ExactSolution solveExactly(const LpProblem& p, const Verification* verification,
                           const ExactSolveOptions& options) {
    const Budget budget = Budget::seconds(options.maxSeconds, options.cancel);
    ExactSolution out;
    try {
        out = exactSolve(p, budget, options.decimalSeparator, options.warmStart);
    } catch (const NonFiniteValue& bad) {
        out = ExactSolution{};
        out.status = ExactStatus::Failed;
        out.message = bad.what();
    }
    if (verification) out.cause = verification->cause;
    return out;
}

} // namespace kvado::analysis
