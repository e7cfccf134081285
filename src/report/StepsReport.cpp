#include "report/StepsReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "solver/Simplex.h"
#include "text/Json.h"
#include "text/NumberText.h"

namespace kvado::report {

namespace {

constexpr const char* kNone = "—";

std::string num(Real v, char sep) {
    // A zero is shown without its sign.
    return text::formatShortGeneral(v == 0 ? Real(0) : v, sep);
}

// A number of the display tableau: rounding residues of the double computation are zeros.
std::string shown(double v, char sep) {
    return num(std::fabs(v) < 1e-11 ? 0.0L : static_cast<Real>(v), sep);
}

std::string rowsText(const std::vector<int32_t>& rows) {
    std::string s;
    for (const int32_t i : rows)
        s += (s.empty() ? "" : ", ") + std::to_string(i);
    return s;
}

const char* objectiveName(const StepPass& s) {
    return s.phase == 1 ? "W" : "Z";
}

// What ended the phase at a pass without an entering column.
std::string phaseEnd(const StepRecorder& steps, size_t k) {
    const auto& passes = steps.passes();
    const StepPass& s = passes[k];
    const bool last = k + 1 == passes.size() && !steps.passesCut();
    // An overflowed state is no plan at all.
    if (last && steps.outcome() == SolveOutcome::Overflow) return "переполнение: ответа нет";
    if (s.phase == 2) return "оптимальный план";
    if (!last) return "этап 1 завершен, допустимый план найден";
    return steps.outcome() == SolveOutcome::Infeasible ? "допустимого решения нет"
                                                       : "этап 1 завершен";
}

} // namespace

bool showsFullTableau(const StepRecorder& steps) {
    return steps.M <= kFullTableauLimit && steps.N <= kFullTableauLimit;
}

std::string passTitle(const StepRecorder& steps, const StepNames& names, size_t k) {
    const StepPass& s = steps.passes().at(k);
    std::string t = "План " + std::to_string(s.pass) + " (этап " + std::to_string(s.phase) + "): ";
    if (s.entering == 0) return t + phaseEnd(steps, k);
    t += "входит " + names.column(s.entering);
    if (s.leavingRow == 0) return t + ", ни одна строка его не ограничивает";
    return t + ", выходит " + names.column(s.leavingColumn);
}

std::vector<std::string> passLines(const StepRecorder& steps, const StepNames& names, size_t k,
                                   char sep) {
    const StepPass& s = steps.passes().at(k);
    std::vector<std::string> lines;
    lines.push_back(s.phase == 1 ? "Этап 1: минимизируется сумма искусственных переменных W = " +
                                       num(s.objective, sep)
                                 : "Этап 2: целевая функция Z = " + num(s.objective, sep));
    if (s.entering == 0) {
        lines.push_back("Ни одна оценка не меньше −Eps: " + phaseEnd(steps, k));
        return lines;
    }
    lines.push_back("Входит " + names.column(s.entering) + ": оценка " + num(s.reducedCost, sep) +
                    (s.smallestNumberRule ? " (первая отрицательная: правило наименьшего номера "
                                            "после зацикливания)"
                                          : " (наименьшая)"));
    int round = 0;
    for (const StepTieRound& r : s.rounds)
        lines.push_back(r.smallestNumber
                            ? "Вырождение: строки " + rowsText(r.rows) +
                                  " равны, выбор по наименьшему номеру базисной переменной"
                            : "Вырождение, лексикографический раунд " + std::to_string(++round) +
                                  ": строки " + rowsText(r.rows));
    if (s.leavingRow == 0) {
        lines.push_back("Ни один элемент столбца не больше Eps: " +
                        std::string(s.phase == 2 ? "целевая функция не ограничена"
                                                 : "строки не ограничивают столбец"));
        return lines;
    }
    lines.push_back("Выходит " + names.column(s.leavingColumn) + " из строки " +
                    std::to_string(s.leavingRow) + ": отношение " + num(s.ratio, sep) +
                    (s.artificialLeft ? " (базисная искусственная переменная не должна расти)"
                                      : " (наименьшее)"));
    lines.push_back("Ведущий элемент " + num(s.pivot, sep) + " (строка " +
                    std::to_string(s.leavingRow) + ", столбец " + names.column(s.entering) + ")");
    return lines;
}

StepTable passDataTable(const StepRecorder& steps, const StepNames& names, size_t k, char sep) {
    const StepPass& s = steps.passes().at(k);
    StepTable t;
    t.cells.push_back({"Строка", "Базисная", "Значение",
                       s.entering ? "Столбец " + names.column(s.entering) : "Столбец",
                       "Отношение"});
    if (!s.detailed) return t;
    size_t q = 0;
    for (int32_t i = 1; i <= steps.M; ++i) {
        const auto r = static_cast<size_t>(i - 1);
        std::string ratio = kNone;
        if (q < s.ratios.size() && s.ratios[q].row == i) ratio = num(s.ratios[q++].ratio, sep);
        t.cells.push_back({names.row(i), names.column(s.basis[r]), num(s.values[r], sep),
                           s.column.empty() ? kNone : num(s.column[r], sep), ratio});
    }
    if (s.entering != 0) t.pivotColumn = 3;
    if (s.leavingRow != 0) t.pivotRow = s.leavingRow;
    return t;
}

StepTable fullTableau(const LpProblem& p, const StepRecorder& steps, const StepNames& names,
                      size_t k, char sep) {
    const StepPass& s = steps.passes().at(k);
    StepTable t;
    if (!s.detailed) return t;
    const StepTableau tab = stepTableau(p, s.basis, s.phase);
    std::vector<std::string> titles{"Базис", "Значение"};
    for (const int32_t j : tab.columns)
        titles.push_back(names.column(j));
    t.cells.push_back(std::move(titles));
    if (tab.singular) return t;
    for (size_t i = 0; i < tab.rows.size(); ++i) {
        std::vector<std::string> row{names.column(s.basis[i])};
        for (const double v : tab.rows[i])
            row.push_back(shown(v, sep));
        t.cells.push_back(std::move(row));
    }
    std::vector<std::string> costs{std::string("Оценки (") + objectiveName(s) + ")"};
    for (const double v : tab.reducedCosts)
        costs.push_back(shown(v, sep));
    t.cells.push_back(std::move(costs));
    for (size_t c = 0; c < tab.columns.size(); ++c)
        if (tab.columns[c] == s.entering) t.pivotColumn = static_cast<int>(c) + 2;
    if (s.leavingRow != 0) t.pivotRow = s.leavingRow;
    return t;
}

std::string recordingNote(const StepRecorder& steps) {
    const auto kept = static_cast<int32_t>(steps.passes().size());
    if (steps.passesCut())
        return "Записаны первые " + std::to_string(kept) + " планов из " +
               std::to_string(steps.passCount()) + " (предел записи)";
    if (steps.detailedCount() < kept)
        return "Строки базиса записаны для первых " + std::to_string(steps.detailedCount()) +
               " планов из " + std::to_string(kept) + " (предел памяти)";
    return {};
}

void stepsJson(text::JsonWriter& w, const StepRecorder& steps, const StepNames& names) {
    // An objective of exactly 0 reached by subtraction is -0 in its bits, which a script
    // would read as a sign.
    constexpr auto plain = text::JsonWriter::Zero::Plain;
    w.beginArray();
    for (const StepPass& s : steps.passes()) {
        const bool pivot = s.leavingRow != 0;
        w.beginObject().key("pass").integer(s.pass).key("phase").integer(s.phase);
        w.key("entering");
        s.entering ? w.string(names.column(s.entering)) : w.null();
        w.key("leaving");
        pivot ? w.string(names.column(s.leavingColumn)) : w.null();
        w.key("ratio");
        pivot ? w.number(s.ratio, plain) : w.null();
        w.key("pivot");
        pivot ? w.number(s.pivot, plain) : w.null();
        w.key("objective").number(s.objective, plain).endObject();
    }
    w.endArray();
}

std::vector<Paragraph> stepsDocument(const LpProblem& p, const StepRecorder& steps,
                                     const StepNames& names, char sep) {
    CharFormat body = ReportDocument::baseFormat();
    body.pointSize = 9;
    CharFormat pivotFormat = body;
    pivotFormat.rgb = 0xC00000;
    CharFormat pivotElement = pivotFormat;
    pivotElement.bold = true;
    std::vector<Paragraph> doc;
    auto add = [&](std::string text, const CharFormat& f) {
        doc.push_back(Paragraph{{Run{std::move(text), f}}});
    };
    add("Пошаговое решение", ReportDocument::headingFormat());
    if (const std::string note = recordingNote(steps); !note.empty()) add(note, body);
    const bool full = showsFullTableau(steps);
    const bool tables = steps.M <= kDocumentTableLimit;
    if (!tables)
        add("Таблицы планов приводятся для задач до " + std::to_string(kDocumentTableLimit) +
                " строк",
            body);
    auto length = [](const std::string& s) {
        size_t n = 0;
        for (const unsigned char c : s)
            n += (c & 0xC0) != 0x80;
        return n;
    };
    for (size_t k = 0; k < steps.passes().size(); ++k) {
        add("", body);
        add(passTitle(steps, names, k), ReportDocument::headingFormat());
        for (std::string& line : passLines(steps, names, k, sep))
            add(std::move(line), body);
        const StepTable table =
            full ? fullTableau(p, steps, names, k, sep) : passDataTable(steps, names, k, sep);
        if (!tables || table.cells.size() <= 1) continue;
        // A table in the fixed-pitch font, its columns padded to their widest text; the
        // pivot's row and column in red, the pivot element bold.
        std::vector<size_t> widths;
        for (const auto& row : table.cells)
            for (size_t c = 0; c < row.size(); ++c) {
                if (widths.size() <= c) widths.push_back(0);
                widths[c] = std::max(widths[c], length(row[c]));
            }
        for (size_t r = 0; r < table.cells.size(); ++r) {
            Paragraph para;
            for (size_t c = 0; c < table.cells[r].size(); ++c) {
                const std::string& cell = table.cells[r][c];
                std::string text = c == 0 ? cell + std::string(widths[c] - length(cell), ' ')
                                          : std::string(widths[c] - length(cell) + 2, ' ') + cell;
                const bool inRow = static_cast<int>(r) == table.pivotRow;
                const bool inColumn = static_cast<int>(c) == table.pivotColumn && r > 0;
                const CharFormat& f = inRow && inColumn   ? pivotElement
                                      : inRow || inColumn ? pivotFormat
                                                          : body;
                if (!para.runs.empty() && para.runs.back().format == f)
                    para.runs.back().text += text;
                else
                    para.runs.push_back({std::move(text), f});
            }
            doc.push_back(std::move(para));
        }
    }
    return doc;
}

} // namespace kvado::report
