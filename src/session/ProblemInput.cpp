#include "session/ProblemInput.h"

#include <algorithm>
#include <optional>

#include "datafile/NameFiles.h"
#include "session/Messages.h"
#include "text/NumberText.h"

namespace kvado::session {

namespace {

// A count edit: the whole-number conversion, refused when negative.
std::optional<int32_t> countOf(const std::string& edit) {
    const auto value = text::toWholeNumber(edit);
    if (!value || *value < 0) return std::nullopt;
    return value;
}

// Whether the grid or the problem of these counts is more than the machine can hold.
bool tooLarge(int64_t G, int64_t E, int64_t L, int64_t N) {
    try {
        checkCounts(G, E, L, N);
        return false;
    } catch (const ProblemSizeError&) {
        return true;
    }
}

} // namespace

std::string negativeRightHandSideMessage(int32_t i) {
    return "Ошибка: правая часть B[" + text::intText(i) +
           "] отрицательна.\r\nУмножьте это ограничение на -1 (знак >= сменится на <=, а <= на >=)";
}

namespace {
// "1 строку", "3 строки", "11 строк": the noun in the form its number asks for.
std::string counted(int64_t n, const char* one, const char* few, const char* many) {
    const int64_t last2 = n % 100, last = n % 10;
    const char* noun = many;
    if (last2 < 11 || last2 > 14) {
        if (last == 1)
            noun = one;
        else if (last >= 2 && last <= 4)
            noun = few;
    }
    return std::to_string(n) + " " + noun;
}
} // namespace

std::string growQuestion(int64_t rows, int64_t cols) {
    std::string by, grow;
    if (rows > 0) {
        by = counted(rows, "строку", "строки", "строк");
        grow = "число ограничений вида <=";
    }
    if (cols > 0) {
        by += (by.empty() ? "" : " и ") + counted(cols, "столбец", "столбца", "столбцов");
        grow += (grow.empty() ? "" : " и ") + std::string("число неизвестных");
    }
    return "Вставляемый блок больше таблицы (на " + by + ").\r\nУвеличить " + grow + "?";
}

std::string notReadMessage(const std::string& fileName) {
    return "Файл «" + fileName + "» не прочитан: таблица и задача остались прежними";
}

std::string unboundedMessage(int32_t column) {
    return "Целевая функция не ограничена (переменная X[" + text::intText(column) +
           "])\r\nподробнее в файле Kvaq.log";
}

// The name the user gave in a name cell, trimmed; empty for none or a new table's placeholder
// (a placeholder is no name: the number of the row or column says more).
static std::string givenName(const std::string& cell) {
    std::string name = datafile::trimName(cell);
    return name.rfind("Не заполн", 0) == 0 ? std::string() : name;
}

std::string objectiveNameOf(const StringGridModel& grid, int32_t M) {
    const std::string name = givenName(grid.cell(0, M + 2));
    if (name == "Коэффициенты целевой ф-ии" || name == "Целевая функция:") return {};
    return name;
}

std::string unboundedMessage(const LpProblem& p, const StringGridModel& grid, int32_t column) {
    auto named = [](const std::string& cell, std::string fallback) {
        const std::string name = givenName(cell);
        return name.empty() ? fallback : "«" + name + "»";
    };
    auto constraint = [&](int32_t i) {
        return named(grid.cell(0, i + 1), "номер " + text::intText(i));
    };
    std::string what;
    if (column <= p.N)
        what = "переменная " + named(grid.cell(column + 1, 1), "X[" + text::intText(column) + "]");
    else if (column <= p.N + p.G)
        what = "избыток ограничения " + constraint(column - p.N);
    else
        what = "остаток ограничения " + constraint(column - p.N + p.E);
    return "Целевая функция не ограничена (" + what + ")\r\nподробнее в файле Kvaq.log";
}

EditTexts editTextsOf(const LpProblem& p, char decimalSeparator) {
    return {text::intText(p.G), text::intText(p.E), text::intText(p.L), text::intText(p.N),
            text::formatGeneral(p.eps, decimalSeparator)};
}

std::string parseEdits(const EditTexts& edits, LpProblem& p) {
    // A count is refused before it is stored when the grid or the problem it asks for could
    // not be held.
    const auto G = countOf(edits.G);
    if (!G) return kBadG;
    if (tooLarge(*G, 0, 0, 0)) return kTooLarge;
    p.G = *G;
    const auto E = countOf(edits.E);
    if (!E) return kBadE;
    if (tooLarge(p.G, *E, 0, 0)) return kTooLarge;
    p.E = *E;
    const auto L = countOf(edits.L);
    if (!L) return kBadL;
    if (tooLarge(p.G, p.E, *L, 0)) return kTooLarge;
    p.L = *L;
    p.M = p.G + p.E + p.L;
    const auto N = countOf(edits.N);
    if (!N) return kBadN;
    if (tooLarge(p.G, p.E, p.L, *N)) return kTooLarge;
    p.N = *N;
    // The tolerance is written with a point; a comma is taken for one. A tolerance that is
    // not above 0 would let the first phase never end, so it is refused as well.
    std::string eps = edits.eps;
    std::replace(eps.begin(), eps.end(), ',', '.');
    const auto value = text::toPointReal(eps);
    if (!value || !toleranceAccepted(*value)) return kBadEps;
    p.eps = *value;
    return {};
}

void layOutInputGrid(StringGridModel& g, int32_t M, int32_t N, bool newTable) {
    StringGridModel::UpdateScope update(g);
    g.setRowCount(M + 3);
    g.setColCount(N + 2);
    if (!newTable) return;

    // The marks were the earlier problem's, as its names and numbers were.
    g.clearMarks();
    for (int32_t c = 1; c <= N + 1; ++c)
        g.setColWidth(c, 70);
    g.setColWidth(0, 250);
    g.setCell(1, 0, "  B[i] ");
    g.setCell(0, 1, " Неизвестные --> ");
    for (int32_t j = 1; j <= N; ++j)
        g.setCell(j + 1, 1, " Не заполн.");
    g.setCell(0, 0, " Ограничения (ниже):");
    for (int32_t i = 1; i <= M; ++i) {
        g.setCell(0, i + 1, " Не заполнено");
        g.setCell(1, i + 1, " ?");
    }
    g.setCell(0, M + 2, " Коэффициенты целевой ф-ии");
    for (int32_t j = 1; j <= N; ++j) {
        g.setCell(j + 1, 0, " A[i," + text::intText(j) + "] ");
        for (int32_t i = 1; i <= M + 1; ++i)
            g.setCell(j + 1, i + 1, " ?");
    }
}

// Where a cell stands in the user's terms: "Ячейка: ограничение 2 «Сталь», неизвестная 1 «X»".
static std::string cellPlace(const StringGridModel& g, const LpProblem& p, int32_t col,
                             int32_t row) {
    auto named = [&](const char* what, int32_t number, int32_t c, int32_t r) {
        std::string text = std::string(what) + " " + text::intText(number);
        if (const std::string name = givenName(g.cell(c, r)); !name.empty())
            text += " «" + name + "»";
        return text;
    };
    const bool objective = row == p.M + 2;
    if (col == 1) return "Ячейка: правая часть, " + named("ограничение", row - 1, 0, row);
    return "Ячейка: " +
           (objective ? std::string("целевая функция") : named("ограничение", row - 1, 0, row)) +
           ", " + named("неизвестная", col - 1, col, 1);
}

// What is wrong with a cell that does not convert, in the user's language.
static std::string notANumber(const std::string& cell) {
    if (cell.find_first_not_of(" \t") == std::string::npos)
        return "Ячейка пуста: в нее нужно ввести число";
    return "«" + cell + "» — не число";
}

void transferGrid(const StringGridModel& g, char separator, LpProblem& p) {
    // Both "," and "." are taken as the decimal separator, whatever the regional settings say:
    // users type what their other programs taught them.
    const char other = separator == ',' ? '.' : ',';
    // The exact value of the last cell read, as the user typed it.
    text::ExactNumber exact;
    auto number = [&](int32_t col, int32_t row) {
        const std::string& cell = g.cell(col, row);
        if (const auto value = text::toLocalReal(cell, separator)) {
            exact = text::ExactNumber::ofText(cell, separator, *value);
            return *value;
        }
        if (cell.find(other) != std::string::npos && cell.find(separator) == std::string::npos) {
            std::string swapped = cell;
            std::replace(swapped.begin(), swapped.end(), other, separator);
            if (const auto value = text::toLocalReal(swapped, separator)) {
                exact = text::ExactNumber::ofText(swapped, separator, *value);
                return *value;
            }
        }
        try {
            return text::localRealOrThrow(cell, separator);
        } catch (const text::ConversionError& e) {
            // The message as the conversion gives it, the same in Russian, and where the cell
            // stands in the user's terms.
            throw text::ConversionError(std::string(e.what()) + "\r\n" + notANumber(cell) + "\r\n" +
                                        cellPlace(g, p, col, row));
        }
    };
    p.reset();
    for (int32_t i = 1; i <= p.M; ++i)
        for (int32_t j = 1; j <= p.N; ++j) {
            p.setCoefficient(i, j, number(j + 1, i + 1));
            p.setExact(i, j, exact);
        }
    for (int32_t j = 1; j <= p.N; ++j) {
        p.setObjective(j, number(j + 1, p.M + 2));
        p.setExact(p.M + 1, j, exact);
    }
    for (int32_t i = 1; i <= p.M; ++i) {
        p.setRightHandSide(i, number(1, i + 1));
        p.setExact(i, 0, exact);
    }
    p.takeSnapshots();
}

std::string gridShapeMessage(const StringGridModel& g, const LpProblem& p) {
    if (g.rowCount() != p.M + 3) return kRowsMismatch;
    if (g.colCount() != p.N + 2) return kColsMismatch;
    return {};
}

int32_t negativeRightHandSide(const LpProblem& p) {
    for (int32_t i = 1; i <= p.M; ++i)
        if (p.initialRhs[static_cast<size_t>(i)] < 0) return i;
    return 0;
}

bool toleranceAccepted(Real eps) {
    return eps > 0;
}

} // namespace kvado::session
