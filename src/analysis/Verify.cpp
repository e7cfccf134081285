#include "analysis/Verify.h"

#include "analysis/BasisCheck.h"

namespace kvado::analysis {

namespace {

constexpr const char* kScaleCause = "метод не нашел решения из-за масштаба данных";

void setObjective(const LpProblem& p, const mpq_class& z, char separator, Verification& v) {
    v.hasObjective = true;
    v.objectiveExact = fractionText(z);
    v.objectiveDecimal = numberText(z, separator);
    v.objectiveValue = toReal(z);
    v.objectiveError = toReal(mpq_class(toRational(toDyadic(methodObjective(p))) - z));
}

std::string epsText(const LpProblem& p, char separator) {
    return text::formatGeneral(p.eps, separator);
}

// Why the method stopped at an optimum that is not one, where the failure shows it.
std::string reducedCostCause(const LpProblem& p, const Failure& f, char separator) {
    if (!f.reducedCost || !(f.value > -p.eps)) return kScaleCause;
    return "приведенная стоимость X[" + std::to_string(f.index) +
           "] = " + text::formatGeneral(f.value, separator) + " не ниже -Eps = -" +
           epsText(p, separator) + ": столбец не введен";
}

void checkOptimum(const LpProblem& p, ExactBasis& basis, char sep, Verification& v) {
    const ScaledVector positions = basis.solve(rightHandSides(p));
    const ScaledVector x = structuralValues(p, p.basis, positions);
    setObjective(p, objectiveOf(p, x), sep, v);
    if (auto f = primalFailure(p, x, sep)) {
        v.verdict = Verdict::NotFeasible;
        v.reason = "точное решение базиса метода недопустимо: " + f->text;
        v.cause = kScaleCause;
        return;
    }
    const ScaledVector y = basis.solveTransposed(basisCosts(p, p.basis, false));
    if (auto f = dualFailure(p, y, sep)) {
        v.verdict = Verdict::NotOptimal;
        v.reason = "план допустим, но не оптимален: " + f->text;
        v.cause = reducedCostCause(p, *f, sep);
        return;
    }
    if (dualObjectiveOf(p, y) != objectiveOf(p, x)) { // cannot happen for a solved basis
        v.verdict = Verdict::NotOptimal;
        v.reason = "двойственная оценка не равна Z";
        v.cause = kScaleCause;
        return;
    }
    v.verdict = Verdict::Optimal;
    v.reason = "план и двойственные оценки проверены точно: решение оптимально";
}

void checkInfeasible(const LpProblem& p, ExactBasis& basis, char sep, Verification& v) {
    const ScaledVector y = basis.solveTransposed(basisCosts(p, p.basis, true));
    mpq_class w;
    if (auto f = farkasFailure(p, y, sep, w)) {
        v.verdict = Verdict::InfeasibleNotConfirmed;
        v.reason = "множители первой фазы не доказывают недопустимость: " + f->text;
        if (f->reducedCost && f->value > -p.eps)
            v.cause = "приведенная стоимость X[" + std::to_string(f->index) +
                      "] первой фазы = " + text::formatGeneral(f->value, sep) +
                      " не ниже -Eps = -" + epsText(p, sep) + ": столбец не введен";
        else if (f->index == 0 && sgn(w) == 0)
            v.cause = "сумма искусственных переменных W = " +
                      text::formatGeneral(-p.inverse(p.M + 2, 0), sep) +
                      " - ошибка округления: точно она равна 0";
        else
            v.cause = kScaleCause;
        return;
    }
    v.verdict = Verdict::InfeasibleConfirmed;
    v.reason =
        "множители первой фазы проверены точно: y·A <= 0, y·B = " + numberText(w, sep) + " > 0";
}

void checkUnbounded(const LpProblem& p, ExactBasis& basis, char sep, Verification& v) {
    const int32_t s = p.entering;
    const ScaledVector positions = basis.solve(rightHandSides(p));
    const ScaledVector x = structuralValues(p, p.basis, positions);
    setObjective(p, objectiveOf(p, x), sep, v);
    if (s < 1 || s > p.phase2Columns || p.basic[static_cast<size_t>(s)] == 1) {
        v.verdict = Verdict::UnboundedNotConfirmed;
        v.reason = "нет столбца, вдоль которого Z не ограничена";
        v.cause = kScaleCause;
        return;
    }
    if (auto f = primalFailure(p, x, sep)) {
        v.verdict = Verdict::UnboundedNotConfirmed;
        v.reason = "точное решение базиса метода недопустимо: " + f->text;
        v.cause = kScaleCause;
        return;
    }
    // The ray: X[s] grows by 1, the basic variables change by −B⁻¹·A[.,s].
    const ScaledVector t = basis.solve(columnOf(p, s));
    ScaledVector d = structuralValues(p, p.basis, t);
    for (auto& n : d.num)
        n = -n;
    if (s <= p.N) d.num[static_cast<size_t>(s)] = d.den;
    if (auto f = rayFailure(p, d, sep)) {
        v.verdict = Verdict::UnboundedNotConfirmed;
        v.reason = "луч не проверен: " + f->text;
        v.cause = kScaleCause;
        // A positive entry of the transformed column that the ratio test passed over.
        for (int32_t r = 1; r <= p.M; ++r) {
            if (sgn(t.num[static_cast<size_t>(r)]) <= 0) continue;
            const Real entry = toReal(t.at(static_cast<size_t>(r)));
            if (entry <= p.eps) {
                v.cause = "элемент " + text::formatGeneral(entry, sep) + " < Eps столбца X[" +
                          std::to_string(s) + "] в строке " + std::to_string(r) +
                          " пропущен в тесте отношений";
                break;
            }
        }
        return;
    }
    v.verdict = Verdict::UnboundedConfirmed;
    v.reason = "допустимая точка и луч, вдоль которого Z убывает, проверены точно";
}

} // namespace

const char* verdictName(Verdict v) {
    switch (v) {
    case Verdict::Optimal:
        return "optimal";
    case Verdict::NotOptimal:
        return "not_optimal";
    case Verdict::NotFeasible:
        return "not_feasible";
    case Verdict::InfeasibleConfirmed:
        return "infeasible_confirmed";
    case Verdict::InfeasibleNotConfirmed:
        return "infeasible_not_confirmed";
    case Verdict::UnboundedConfirmed:
        return "unbounded_confirmed";
    case Verdict::UnboundedNotConfirmed:
        return "unbounded_not_confirmed";
    case Verdict::Skipped:
        return "skipped";
    }
    return "skipped";
}

Real methodObjective(const LpProblem& p) {
    return -p.inverse(p.M + 1, 0);
}

Verification verify(const LpProblem& p, SolveOutcome outcome, const VerifyOptions& options) {
    Verification v;
    const auto started = std::chrono::steady_clock::now();
    const char sep = options.decimalSeparator;
    if (options.maxRows > 0 && p.M > options.maxRows) {
        v.reason = "задача велика: " + std::to_string(p.M) + " ограничений (автоматически до " +
                   std::to_string(options.maxRows) + ")";
        return v;
    }
    const Budget budget = Budget::seconds(options.maxSeconds, options.cancel);
    try {
        ExactBasis basis(p, p.basis, budget);
        if (basis.singular()) {
            v.verdict = outcome == SolveOutcome::Optimal      ? Verdict::NotOptimal
                        : outcome == SolveOutcome::Infeasible ? Verdict::InfeasibleNotConfirmed
                                                              : Verdict::UnboundedNotConfirmed;
            v.reason = "матрица базиса метода точно вырождена";
            v.cause = kScaleCause;
        } else if (outcome == SolveOutcome::Optimal) {
            checkOptimum(p, basis, sep, v);
        } else if (outcome == SolveOutcome::Infeasible) {
            checkInfeasible(p, basis, sep, v);
        } else {
            checkUnbounded(p, basis, sep, v);
        }
    } catch (const Stopped& stopped) {
        v = Verification{};
        v.reason = stopped.cancelled ? "точная проверка остановлена"
                                     : "время точной проверки истекло (" +
                                           text::formatGeneral(options.maxSeconds, sep) + " с)";
    }
    v.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return v;
}

} // namespace kvado::analysis
