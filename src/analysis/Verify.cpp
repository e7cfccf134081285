#include "analysis/Verify.h"

#include "analysis/BasisCheck.h"
#include "analysis/ExactSimplex.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kvado::analysis {

namespace {

constexpr int32_t kContinuationPivots = 20;
constexpr const char* kScaleCause = "метод не нашел решения из-за масштаба данных";

void setObjective(const LpProblem& p, const mpq_class& z, char separator, Verification& v) {
    v.hasObjective = true;
    v.objectiveExact = fractionText(z);
    v.objectiveDecimal = numberText(z, separator);
    v.objectiveValue = toReal(z);
    v.objectiveError = toReal(mpq_class(toRational(toDyadic(methodObjective(p))) - z));
}

// The first number of the problem's data that is an infinity or NaN, as "A[i,j] = INF";
// empty when every one is finite. Overflowing data has no exact value to check against.
std::string nonFiniteData(const LpProblem& p) {
    for (int32_t j = 1; j <= p.N; ++j) {
        if (!std::isfinite(p.objectiveCoefficient(j)))
            return "C[" + std::to_string(j) +
                   "] = " + text::formatRoundTrip(p.objectiveCoefficient(j));
        const LpProblem::ColumnView col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t)
            if (!std::isfinite(col.value(t)))
                return "A[" + std::to_string(col.rows[t]) + "," + std::to_string(j) +
                       "] = " + text::formatRoundTrip(col.value(t));
    }
    for (int32_t i = 1; i <= p.M; ++i)
        if (!std::isfinite(p.tableau(i, 0)))
            return "B[" + std::to_string(i) + "] = " + text::formatRoundTrip(p.tableau(i, 0));
    return {};
}

// The same for the method's answer: its Z or a value of its plan overflowed on the way.
std::string nonFiniteAnswer(const LpProblem& p) {
    const Real z = methodObjective(p);
    if (!std::isfinite(z)) return "Z = " + text::formatRoundTrip(z);
    for (int32_t j = 1; j <= p.N && static_cast<size_t>(j) < p.solution.size(); ++j)
        if (!std::isfinite(p.solution[static_cast<size_t>(j)]))
            return "X[" + std::to_string(j) +
                   "] = " + text::formatRoundTrip(p.solution[static_cast<size_t>(j)]);
    return {};
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

bool near(const mpq_class& z, Real methodZ) {
    const Real exact = toReal(z);
    return std::fabs(methodZ - exact) <= kAnswerTolerance * std::max(Real(1), std::fabs(exact));
}

void checkOptimum(const LpProblem& p, ExactBasis& basis, const Budget& budget, char sep,
                  Verification& v) {
    const ScaledVector positions = basis.solve(rightHandSides(p));
    const ScaledVector x = structuralValues(p, p.basis, positions);
    const auto primal = primalFailure(p, x, sep, &budget);
    const ScaledVector y = basis.solveTransposed(basisCosts(p, p.basis, false));
    const auto dual = primal ? std::nullopt : dualFailure(p, y, sep, &budget);
    std::optional<mpq_class> optimum;
    std::string basisText;
    if (!primal && !dual && dualObjectiveOf(p, y) == objectiveOf(p, x)) {
        optimum = objectiveOf(p, x);
        basisText = "базис метода точно допустим и оптимален";
    } else {
        basisText = primal ? "точное решение базиса метода недопустимо: " + primal->text
                           : "базис метода точно не оптимален: " + dual->text;
        // The exact optimum, from the method's basis on: is the answer right all the same? A
        // few exact pivots settle a basis that misses by a rounding; the exact solver the rest.
        const Continuation c = continueExactly(p, p.basis, budget, kContinuationPivots);
        ExactStatus status = ExactStatus::Failed;
        if (c.status == Continuation::Status::Optimal) {
            optimum = c.objective;
        } else if (c.status == Continuation::Status::Infeasible) {
            status = ExactStatus::Infeasible;
        } else if (c.status == Continuation::Status::Unbounded) {
            status = ExactStatus::Unbounded;
        } else {
            const ExactSolution e = exactSolve(p, budget, sep, true);
            if (e.verified) status = e.status;
            if (e.status == ExactStatus::Optimal && e.verified)
                optimum = mpq_class(e.objectiveExact);
        }
        if (status == ExactStatus::Infeasible) basisText += "; точно: допустимых решений нет";
        if (status == ExactStatus::Unbounded) basisText += "; точно: Z не ограничена";
    }
    setObjective(p, optimum ? *optimum : objectiveOf(p, x), sep, v);
    const Real violation = planViolation(p, &budget);
    const bool planFeasible = violation <= kAnswerTolerance;
    if (optimum && planFeasible && near(*optimum, methodObjective(p))) {
        v.verdict = Verdict::Optimal;
        v.reason = primal || dual ? "ответ метода совпадает с точным оптимумом (" + basisText + ")"
                                  : "план и двойственные оценки проверены точно: " + basisText;
        return;
    }
    v.verdict = !planFeasible || primal ? Verdict::NotFeasible : Verdict::NotOptimal;
    if (optimum)
        v.reason = "точный оптимум Z = " + numberText(*optimum, sep) + "; " + basisText;
    else
        v.reason = basisText;
    if (!planFeasible)
        v.reason += "; план метода нарушает условия на " + text::formatGeneral(violation, sep);
    v.cause = dual ? reducedCostCause(p, *dual, sep) : kScaleCause;
}

// When the certificate of the method's basis fails, the exact solver may still settle the
// status exactly.
// Where it finds an optimum instead, that is the exact answer the verification reports.
bool confirmedExactly(const LpProblem& p, const Budget& budget, char sep, ExactStatus status,
                      Verification& v, std::string& failure) {
    const ExactSolution e = exactSolve(p, budget, sep, true);
    if (!e.verified) return false;
    if (e.status == status) return true;
    if (e.status == ExactStatus::Optimal) {
        setObjective(p, mpq_class(e.objectiveExact), sep, v);
        failure += "; точно: оптимум Z = " + e.objectiveDecimal;
    } else if (e.status == ExactStatus::Infeasible) {
        v.hasObjective = false;
        failure += "; точно: допустимых решений нет";
    } else if (e.status == ExactStatus::Unbounded) {
        failure += "; точно: Z не ограничена";
    }
    return false;
}

void checkInfeasible(const LpProblem& p, ExactBasis& basis, const Budget& budget, char sep,
                     Verification& v) {
    const ScaledVector y = basis.solveTransposed(basisCosts(p, p.basis, true));
    mpq_class w;
    const auto f = farkasFailure(p, y, sep, w, &budget);
    if (!f) {
        v.verdict = Verdict::InfeasibleConfirmed;
        v.reason =
            "множители первой фазы проверены точно: y·A <= 0, y·B = " + numberText(w, sep) + " > 0";
        return;
    }
    std::string failure = "множители первой фазы не доказывают недопустимость: " + f->text;
    if (confirmedExactly(p, budget, sep, ExactStatus::Infeasible, v, failure)) {
        v.verdict = Verdict::InfeasibleConfirmed;
        v.reason = "подтверждено точным симплекс-методом (" + failure + ")";
        return;
    }
    v.verdict = Verdict::InfeasibleNotConfirmed;
    v.reason = failure;
    if (f->reducedCost && f->value > -p.eps)
        v.cause = "приведенная стоимость X[" + std::to_string(f->index) +
                  "] первой фазы = " + text::formatGeneral(f->value, sep) + " не ниже -Eps = -" +
                  epsText(p, sep) + ": столбец не введен";
    else if (f->index == 0 && sgn(w) == 0)
        v.cause = "сумма искусственных переменных W = " +
                  text::formatGeneral(-p.inverse(p.M + 2, 0), sep) +
                  " - ошибка округления: точно она равна 0";
    else
        v.cause = kScaleCause;
}

// The first reason the method's unbounded answer fails, with its cause; nullopt when the
// point and the ray hold exactly.
std::optional<std::pair<std::string, std::string>> unboundedFailure(const LpProblem& p,
                                                                    ExactBasis& basis,
                                                                    const Budget& budget, char sep,
                                                                    Verification& v) {
    const int32_t s = p.entering;
    const ScaledVector positions = basis.solve(rightHandSides(p));
    const ScaledVector x = structuralValues(p, p.basis, positions);
    setObjective(p, objectiveOf(p, x), sep, v);
    if (s < 1 || s > p.phase2Columns || p.basic[static_cast<size_t>(s)] == 1)
        return std::make_pair(std::string("нет столбца, вдоль которого Z не ограничена"),
                              std::string(kScaleCause));
    if (auto f = primalFailure(p, x, sep, &budget))
        return std::make_pair("точное решение базиса метода недопустимо: " + f->text,
                              std::string(kScaleCause));
    // The ray: X[s] grows by 1, the basic variables change by −B⁻¹·A[.,s].
    const ScaledVector t = basis.solve(columnOf(p, s));
    ScaledVector d = structuralValues(p, p.basis, t);
    for (auto& n : d.num)
        n = -n;
    if (s <= p.N) d.num[static_cast<size_t>(s)] = d.den;
    const auto f = rayFailure(p, d, sep, &budget);
    if (!f) return std::nullopt;
    std::string cause = kScaleCause;
    // A positive entry of the transformed column that the ratio test passed over.
    for (int32_t r = 1; r <= p.M; ++r) {
        if (sgn(t.num[static_cast<size_t>(r)]) <= 0) continue;
        const Real entry = toReal(t.at(static_cast<size_t>(r)));
        if (entry <= p.eps) {
            cause = "элемент " + text::formatGeneral(entry, sep) + " < Eps столбца X[" +
                    std::to_string(s) + "] в строке " + std::to_string(r) +
                    " пропущен в тесте отношений";
            break;
        }
    }
    return std::make_pair("луч не проверен: " + f->text, cause);
}

void checkUnbounded(const LpProblem& p, ExactBasis& basis, const Budget& budget, char sep,
                    Verification& v) {
    auto failure = unboundedFailure(p, basis, budget, sep, v);
    if (!failure) {
        v.verdict = Verdict::UnboundedConfirmed;
        v.reason = "допустимая точка и луч, вдоль которого Z убывает, проверены точно";
        return;
    }
    if (confirmedExactly(p, budget, sep, ExactStatus::Unbounded, v, failure->first)) {
        v.verdict = Verdict::UnboundedConfirmed;
        v.reason = "подтверждено точным симплекс-методом (" + failure->first + ")";
        return;
    }
    v.verdict = Verdict::UnboundedNotConfirmed;
    v.reason = failure->first;
    v.cause = failure->second;
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
    if (outcome != SolveOutcome::Optimal && outcome != SolveOutcome::Infeasible &&
        outcome != SolveOutcome::Unbounded) {
        v.reason = "метод не закончил решение: проверять нечего";
        return v;
    }
    // An infinity has no exact value: refused before any exact arithmetic, which could not
    // end on it.
    if (const std::string bad = nonFiniteData(p); !bad.empty()) {
        v.reason = "в данных задачи число вне диапазона: " + bad;
        return v;
    }
    if (const std::string bad = nonFiniteAnswer(p); !bad.empty()) {
        v.verdict = outcome == SolveOutcome::Optimal      ? Verdict::NotOptimal
                    : outcome == SolveOutcome::Infeasible ? Verdict::InfeasibleNotConfirmed
                                                          : Verdict::UnboundedNotConfirmed;
        v.reason = "переполнение в вычислениях метода: " + bad;
        v.cause = kScaleCause;
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
            checkOptimum(p, basis, budget, sep, v);
        } else if (outcome == SolveOutcome::Infeasible) {
            checkInfeasible(p, basis, budget, sep, v);
        } else {
            checkUnbounded(p, basis, budget, sep, v);
        }
    } catch (const NonFiniteValue& bad) {
        v = Verification{};
        v.reason = std::string("переполнение: ") + bad.what();
    } catch (const Stopped& stopped) {
        v = Verification{};
        v.reason = stopped.cancelled ? "точная проверка остановлена"
                                     : "время точной проверки истекло (" +
                                           text::formatGeneral(options.maxSeconds, sep) + " с)";
    }
    if (p.exactRounded() && v.verdict != Verdict::Skipped) {
        v.rounded = true;
        v.reason += "; " + roundedDataText();
    }
    v.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return v;
}

} // namespace kvado::analysis
