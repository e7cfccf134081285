#include "analysis/ExactSolve.h"

#include <glpk.h>

#include <cmath>
#include <memory>

#include "analysis/BasisCheck.h"
#include "analysis/ExactSimplex.h"

namespace kvado::analysis {

namespace {

struct ProblemDeleter {
    void operator()(glp_prob* p) const { glp_delete_prob(p); }
};

constexpr int kIterationsPerCall = 500;
constexpr int32_t kPolishPivots = 200;
constexpr int32_t kFallbackPivots = 1000;

// The problem in GLPK: rows with the sense of their kind, unknowns >= 0. False when a number
// does not fit a double at all.
bool load(const LpProblem& p, glp_prob* lp, bool& rounded) {
    rounded = false;
    auto toDouble = [&](Real v, double& out) {
        out = static_cast<double>(v);
        if (static_cast<Real>(out) != v) rounded = true;
        return std::isfinite(out);
    };
    glp_set_obj_dir(lp, GLP_MIN);
    if (p.M > 0) glp_add_rows(lp, p.M);
    if (p.N > 0) glp_add_cols(lp, p.N);
    for (int32_t i = 1; i <= p.M; ++i) {
        double b;
        if (!toDouble(p.tableau(i, 0), b)) return false;
        const int kind = p.isGreaterRow(i) ? GLP_LO : p.isEqualRow(i) ? GLP_FX : GLP_UP;
        glp_set_row_bnds(lp, i, kind, b, b);
    }
    std::vector<int> ia{0}, ja{0};
    std::vector<double> ar{0};
    for (int32_t j = 1; j <= p.N; ++j) {
        double c;
        if (!toDouble(p.objectiveCoefficient(j), c)) return false;
        glp_set_col_bnds(lp, j, GLP_LO, 0, 0);
        glp_set_obj_coef(lp, j, c);
        const auto col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t) {
            double a;
            if (!toDouble(col.value(t), a)) return false;
            if (a == 0) continue;
            ia.push_back(col.rows[t]);
            ja.push_back(j);
            ar.push_back(a);
        }
    }
    glp_load_matrix(lp, static_cast<int>(ia.size()) - 1, ia.data(), ja.data(), ar.data());
    return true;
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
    int32_t r = 0;
    for (int32_t i = 1; i <= p.M; ++i) {
        if (glp_get_row_stat(lp, i) != GLP_BS) continue;
        if (++r > p.M) return false;
        basis[static_cast<size_t>(r)] = p.isGreaterRow(i) ? p.N + i
                                        : p.isLessRow(i)  ? p.N + i - p.E
                                                          : p.phase2Columns + i;
    }
    for (int32_t j = 1; j <= p.N; ++j) {
        if (glp_get_col_stat(lp, j) != GLP_BS) continue;
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
    glp_term_out(GLP_OFF);
    std::unique_ptr<glp_prob, ProblemDeleter> lp(glp_create_prob());
    if (!load(p, lp.get(), out.dataRounded)) {
        out.message = "число задачи вне диапазона, доступного точному решению";
        return finish();
    }
    if (warmStart) setBasis(p, lp.get());
    out.warmStarted = warmStart;
    glp_smcp parm;
    glp_init_smcp(&parm);
    parm.msg_lev = GLP_MSG_OFF;
    int ret = 0;
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
            const int before = glp_get_it_cnt(lp.get());
            ret = glp_exact(lp.get(), &parm);
            out.iterations += glp_get_it_cnt(lp.get()) - before;
            if ((ret == GLP_EBADB || ret == GLP_ESING) && out.warmStarted) {
                // The method's basis is singular in exact arithmetic: GLPK's own start.
                out.warmStarted = false;
                glp_std_basis(lp.get());
                continue;
            }
            if (ret == GLP_EITLIM) continue;
            if (ret == GLP_ETMLIM) throw Stopped(false);
            break;
        }
        const int status = ret == 0 ? glp_get_status(lp.get()) : GLP_UNDEF;
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
            if (basisFrom(p, lp.get(), basis)) certify(p, basis, budget, separator, out);
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
