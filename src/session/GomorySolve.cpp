#include "session/GomorySolve.h"

#include <cmath>

#include "grid/GridNames.h"
#include "session/ProblemInput.h"
#include "session/Session.h"
#include "solver/Simplex.h"
#include "solver/StepRecorder.h"
#include "solver/TraceLog.h"
#include "text/NumberText.h"

namespace kvado::session {

namespace {

std::string number(Real v, char sep) {
    return text::formatShortGeneral(v + Real(0), sep);
}

std::string unknownName(const Names& names, int32_t j) {
    if (static_cast<size_t>(j - 1) < names.columns.size() &&
        !names.columns[static_cast<size_t>(j - 1)].empty())
        return names.columns[static_cast<size_t>(j - 1)];
    return "X[" + std::to_string(j) + "]";
}

// A column of the method as the derivation names it: an unknown, or S[i] for the surplus or
// slack of row i.
std::string columnName(const LpProblem& p, const Names& names, int32_t j) {
    if (j <= p.N) return unknownName(names, j);
    return "S[" + std::to_string(p.unitColumn(j).row) + "]";
}

// "3·X1 − X2" with the terms whose coefficient is not 0.
std::string linear(const std::vector<std::pair<Real, std::string>>& terms, char sep) {
    std::string out;
    for (const auto& [a, name] : terms) {
        if (a == 0) continue;
        const Real m = std::fabs(a);
        out += out.empty() ? (a < 0 ? "−" : "") : (a < 0 ? " − " : " + ");
        if (m != 1) out += number(m, sep) + "·";
        out += name;
    }
    return out.empty() ? "0" : out;
}

} // namespace

std::string gomoryRefusal(const LpProblem& loaded, bool everyUnknownInteger) {
    if (!everyUnknownInteger)
        return "Отсечения Гомори строятся для полностью целочисленной задачи: отметьте каждую "
               "неизвестную как целую (Решение › Вид неизвестной)";
    if (!mip::wholeData(loaded))
        return "Отсечения Гомори строятся для задачи с целыми коэффициентами A[i,j] и B[i]: "
               "тогда и избытки, и остатки ограничений целые";
    return {};
}

GomoryRun solveWithCuts(const LpProblem& loaded, int32_t maxCuts) {
    GomoryRun run;
    LpProblem next;
    loadAgain(loaded, next);
    for (int32_t k = 0;; ++k) {
        GomoryRound round;
        round.problem = std::move(next);
        {
            TraceLog log(TraceLog::Discard{});
            SolverHost quiet;
            round.outcome = solve(round.problem, log, quiet);
        }
        if (round.outcome != SolveOutcome::Optimal) {
            run.end = round.outcome == SolveOutcome::Infeasible  ? GomoryRun::End::Infeasible
                      : round.outcome == SolveOutcome::Unbounded ? GomoryRun::End::Unbounded
                                                                 : GomoryRun::End::NoAnswer;
            run.rounds.push_back(std::move(round));
            return run;
        }
        round.objective = round.problem.objectiveValue();
        round.x.assign(static_cast<size_t>(round.problem.N) + 1, 0);
        for (int32_t j = 1; j <= round.problem.N; ++j)
            round.x[static_cast<size_t>(j)] = round.problem.value(j);
        if (mip::integral(round.x, round.problem.N)) {
            run.end = GomoryRun::End::Integral;
            run.rounds.push_back(std::move(round));
            return run;
        }
        if (k >= maxCuts) {
            run.end = GomoryRun::End::CutLimit;
            run.rounds.push_back(std::move(round));
            return run;
        }
        round.cut = mip::fractionalCut(round.problem);
        if (!round.cut) {
            // A fractional unknown with every basic value whole cannot be: the rounding of
            // the method's numbers hides the part the cut would need.
            run.end = GomoryRun::End::NoAnswer;
            run.rounds.push_back(std::move(round));
            return run;
        }
        mip::addCut(round.problem, *round.cut, next);
        run.rounds.push_back(std::move(round));
    }
}

std::optional<GomoryRun> gomoryOfInput(Session& session, const EditTexts& edits, Names& names) {
    if (session.GridTransfer(edits)) return std::nullopt;
    const LpProblem& loaded = session.problem();
    if (const std::string shape = gridShapeMessage(session.inputGrid(), loaded); !shape.empty()) {
        session.showMessage(shape);
        return std::nullopt;
    }
    bool everyInteger = loaded.N > 0;
    for (int32_t j = 1; j <= loaded.N; ++j)
        everyInteger = everyInteger && session.inputGrid().colMark(j + 1) != ColumnMark::None;
    if (const std::string refusal = gomoryRefusal(loaded, everyInteger); !refusal.empty()) {
        session.showMessage(refusal);
        return std::nullopt;
    }
    LpProblem start;
    loadAgain(loaded, start);
    // A binary unknown is a whole one of at most 1: that bound is a row of whole numbers.
    for (int32_t j = 1; j <= loaded.N; ++j) {
        if (session.inputGrid().colMark(j + 1) != ColumnMark::Binary) continue;
        mip::GomoryCut bound;
        bound.g.assign(static_cast<size_t>(loaded.N), 0);
        bound.g[static_cast<size_t>(j - 1)] = 1;
        bound.h = 1;
        LpProblem next;
        mip::addCut(start, bound, next);
        start = std::move(next);
    }
    const Names grid = namesFromGrid(session.inputGrid(), loaded.N, loaded.M);
    names.columns = grid.columns;
    return solveWithCuts(start);
}

std::vector<std::string> gomoryLines(const GomoryRun& run, const Names& names, char sep) {
    std::vector<std::string> lines;
    lines.push_back("Отсечения Гомори");
    lines.push_back("(S[i] - избыток ограничения i вида >= или остаток ограничения вида <=; "
                    "отсечение добавляется как новое ограничение)");
    // A negative number in a difference is written in brackets: 0,75 − (−1).
    auto bracketed = [sep](Real v) {
        return v < 0 ? "(−" + number(-v, sep) + ")" : number(v, sep);
    };
    for (size_t k = 0; k < run.rounds.size(); ++k) {
        const GomoryRound& r = run.rounds[k];
        const LpProblem& p = r.problem;
        lines.push_back("");
        lines.push_back("Шаг " + std::to_string(k + 1) + ": релаксация " +
                        (k == 0 ? std::string("исходной задачи")
                                : "с отсечениями, их добавлено: " + std::to_string(k)));
        if (r.outcome != SolveOutcome::Optimal) {
            lines.push_back(r.outcome == SolveOutcome::Infeasible ? "  Допустимых решений нет."
                            : r.outcome == SolveOutcome::Unbounded
                                ? "  Целевая функция не ограничена."
                                : "  Решение не получено.");
            continue;
        }
        std::string plan = "  Z = " + number(r.objective, sep);
        for (int32_t j = 1; j <= p.N; ++j)
            plan += ", " + unknownName(names, j) + " = " + number(r.x[static_cast<size_t>(j)], sep);
        lines.push_back(plan);
        if (!r.cut) continue;
        const mip::GomoryCut& c = *r.cut;
        std::vector<std::pair<Real, std::string>> row{{1, columnName(p, names, c.basicColumn)}};
        std::vector<std::pair<Real, std::string>> fractions;
        for (const auto& t : c.terms) {
            row.emplace_back(t.coefficient, columnName(p, names, t.column));
            fractions.emplace_back(t.fraction, columnName(p, names, t.column));
        }
        lines.push_back("  Строка " + std::to_string(c.row) + " итоговой таблицы (дробное " +
                        columnName(p, names, c.basicColumn) + " = " + number(c.basicValue, sep) +
                        "): " + linear(row, sep) + " = " + number(c.basicValue, sep));
        std::string parts = "  Дробные части: f0 = " + number(c.basicValue, sep) + " − " +
                            number(std::floor(c.basicValue), sep) + " = " + number(c.f0, sep);
        for (const auto& t : c.terms)
            parts += "; " + columnName(p, names, t.column) + ": " + bracketed(t.coefficient) +
                     " − " + bracketed(std::floor(t.coefficient + Real(1e-12L))) + " = " +
                     number(t.fraction, sep);
        lines.push_back(parts);
        lines.push_back("  Отсечение: " + linear(fractions, sep) + " >= " + number(c.f0, sep));
        std::vector<std::pair<Real, std::string>> cutTerms;
        for (int32_t j = 1; j <= p.N; ++j)
            cutTerms.emplace_back(c.g[static_cast<size_t>(j - 1)], unknownName(names, j));
        lines.push_back("  В неизвестных: " + linear(cutTerms, sep) + " <= " + number(c.h, sep) +
                        " (добавлено ограничение, текущая вершина им отсекается)");
    }
    lines.push_back("");
    switch (run.end) {
    case GomoryRun::End::Integral:
        lines.push_back("Отсечений добавлено: " + std::to_string(run.rounds.size() - 1) +
                        ". План целочисленный: это целочисленный оптимум.");
        break;
    case GomoryRun::End::Infeasible:
        lines.push_back("Целочисленного решения нет: после отсечений допустимых решений не "
                        "осталось.");
        break;
    case GomoryRun::End::Unbounded:
        lines.push_back("Линейная релаксация не ограничена: отсечения Гомори не применяются.");
        break;
    case GomoryRun::End::CutLimit:
        lines.push_back("Достигнут предел отсечений (" + std::to_string(run.rounds.size() - 1) +
                        "), а план еще дробный: решите задачу методом ветвей и границ.");
        break;
    case GomoryRun::End::NoAnswer:
        lines.push_back("Ответа нет: метод не дал оптимума релаксации или отсечение не построено.");
        break;
    }
    return lines;
}

} // namespace kvado::session
