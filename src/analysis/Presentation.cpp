#include "analysis/Presentation.h"
#include "text/Json.h"

#include <cstdio>

namespace kvado::analysis {

namespace {

// Fractions longer than this are left out of the report (JSON always has them in full).
constexpr size_t kLongestReportFraction = 60;

const char* statusText(ExactStatus s) {
    switch (s) {
    case ExactStatus::Optimal:
        return "оптимум найден";
    case ExactStatus::Infeasible:
        return "ограничения не имеют допустимого решения";
    case ExactStatus::Unbounded:
        return "целевая функция не ограничена";
    case ExactStatus::Stopped:
        return "остановлено";
    case ExactStatus::Failed:
        return "не найдено";
    }
    return "";
}

} // namespace

void verificationJson(text::JsonWriter& w, const Verification& v) {
    w.beginObject().key("verdict").string(verdictName(v.verdict)).key("objective_exact");
    v.hasObjective ? w.string(v.objectiveExact) : w.null();
    w.key("objective_error");
    v.hasObjective ? w.number(v.objectiveError) : w.null();
    w.key("reason").string(v.reason).endObject();
}

void exactJson(text::JsonWriter& w, const ExactSolution& e) {
    w.beginObject().key("status").string(exactStatusName(e.status)).key("objective");
    e.hasObjective ? w.number(e.objective) : w.null();
    w.key("objective_exact");
    e.hasObjective ? w.string(e.objectiveExact) : w.null();
    w.key("x").beginArray();
    for (const Real x : e.x)
        w.number(x);
    w.endArray().endObject();
}

VerdictLine resultsLine(const Verification& v) {
    // Nothing rounded is called exact.
    if (v.rounded && (v.verdict == Verdict::Optimal || v.verdict == Verdict::InfeasibleConfirmed ||
                      v.verdict == Verdict::UnboundedConfirmed)) {
        const char* what = v.verdict == Verdict::Optimal ? "оптимально"
                           : v.verdict == Verdict::InfeasibleConfirmed
                               ? "допустимых решений нет"
                               : "целевая функция не ограничена";
        return {std::string("Проверено (данные округлены до 80-битных чисел): ") + what,
                Tone::Plain, false};
    }
    switch (v.verdict) {
    case Verdict::Optimal:
        return {"Проверено точно: оптимально", Tone::Good, false};
    case Verdict::InfeasibleConfirmed:
        return {"Проверено точно: допустимых решений нет", Tone::Good, false};
    case Verdict::UnboundedConfirmed:
        return {"Проверено точно: целевая функция не ограничена", Tone::Good, false};
    case Verdict::Skipped:
        return {"Точная проверка не выполнялась (задача велика)", Tone::Plain, true};
    default:
        return {"Точная проверка: решение неверно — см. точное решение", Tone::Bad, false};
    }
}

std::vector<std::string> reportSection(const Verification& v, const ExactSolution* exact,
                                       char sep) {
    std::vector<std::string> lines{"Точная проверка", resultsLine(v).text};
    auto zLine = [&](const std::string& head, const std::string& decimal,
                     const std::string& fraction) {
        std::string line = head + decimal;
        if (fraction.size() <= kLongestReportFraction) line += " (" + fraction + ")";
        lines.push_back(line);
    };
    if (v.hasObjective) {
        zLine("Точное значение Z = ", v.objectiveDecimal, v.objectiveExact);
        lines.push_back("Погрешность метода = " + text::formatGeneral(v.objectiveError, sep));
    }
    if (!v.reason.empty()) lines.push_back("Основание: " + v.reason);
    if (!exact) return lines;
    lines.push_back("");
    lines.push_back(exact->dataRounded ? "Решение (данные округлены до 80-битных чисел)"
                                       : "Точное решение");
    lines.push_back(std::string("Состояние: ") + statusText(exact->status));
    if (!exact->message.empty()) lines.push_back(exact->message);
    if (exact->hasObjective) {
        zLine("Z = ", exact->objectiveDecimal, exact->objectiveExact);
        for (size_t j = 0; j < exact->x.size(); ++j)
            lines.push_back("X[" + std::to_string(j + 1) +
                            "] = " + text::formatGeneral(exact->x[j], sep));
        for (size_t i = 0; i < exact->pi.size(); ++i)
            lines.push_back("Pi[" + std::to_string(i + 1) +
                            "] = " + text::formatGeneral(exact->pi[i], sep));
    }
    if (!exact->cause.empty()) lines.push_back("Почему ответы различаются: " + exact->cause);
    return lines;
}

} // namespace kvado::analysis
