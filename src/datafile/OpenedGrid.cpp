#include "datafile/OpenedGrid.h"

#include <cstdint>

#include "solver/LpProblem.h"
#include "text/NumberText.h"

namespace kvado::datafile {

using text::formatGeneral;
using text::intText;

void GridLoadObserver::header(const LpProblem& p) {
    m_M = p.M;
    m_grid.setColCount(p.N + 2);
    m_grid.setRowCount(p.M + 3);
    if (m_forward) m_forward->header(p);
}

void GridLoadObserver::coefficient(int32_t i, int32_t j, Real a) {
    if (m_numbers) m_grid.setCell(j + 1, i + 1, formatGeneral(a, m_sep));
}

void GridLoadObserver::objective(int32_t j, Real c) {
    if (m_numbers) m_grid.setCell(j + 1, m_M + 2, formatGeneral(c, m_sep));
}

void GridLoadObserver::rightHandSide(int32_t i, Real b) {
    if (m_numbers) m_grid.setCell(1, i + 1, formatGeneral(b, m_sep));
}

void GridLoadObserver::progressMaximum(int32_t m) {
    if (m_forward) m_forward->progressMaximum(m);
}

void GridLoadObserver::progress(int32_t i) {
    if (m_forward) m_forward->progress(i);
}

void layOutOpenedGrid(StringGridModel& g, int32_t M, int32_t N) {
    StringGridModel::UpdateScope scope(g);
    for (int32_t k = 1; k <= N + 1; ++k)
        g.setColWidth(k, 70);
    g.setColWidth(0, 250);
    g.setCell(1, 0, "  B[i] ");
    g.setCell(0, 1, " Неизвестные --> ");
    g.setCell(0, 0, " Ограничения (ниже):");
    for (int32_t i = 1; i <= M; ++i)
        g.setCell(0, i + 1, " Не заполнено");
    for (int32_t j = 1; j <= N; ++j)
        g.setCell(j + 1, 1, " Не заполн");
    g.setCell(0, M + 2, " Целевая функция: ");
    // The objective row has no right-hand side: what stands there came from a larger problem
    // before (its B of that row) and would read as a number of this one.
    g.setCell(1, M + 2, "");
    for (int32_t j = 1; j <= N; ++j)
        g.setCell(j + 1, 0, " A[i," + intText(j) + "] ");
}

std::string applyConstraintNames(StringGridModel& g, int32_t M,
                                 const std::vector<std::string>& lines) {
    StringGridModel::UpdateScope scope(g);
    for (size_t k = 1; k <= lines.size() && k <= static_cast<size_t>(M) + 1; ++k)
        g.setCell(0, static_cast<int>(k) + 1, " " + lines[k - 1]);
    if (lines.size() == static_cast<size_t>(M) + 1) return lines.back();
    return {};
}

void applyUnknownNames(StringGridModel& g, int32_t N, const std::vector<std::string>& lines) {
    StringGridModel::UpdateScope scope(g);
    for (size_t k = 1; k <= lines.size() && k <= static_cast<size_t>(N); ++k)
        g.setCell(static_cast<int>(k) + 1, 1, " " + lines[k - 1]);
}

std::string missingConstraintNamesMessage(const std::string& path, int32_t M) {
    return "Полезно создать текстовый файл " + path + " c именами ресурсов (" + intText(M) +
           "строк";
}

std::string missingUnknownNamesMessage(const std::string& path, int32_t N) {
    return "Полезно создать текстовый файл " + path + " c именами неизвестных (" + intText(N) +
           "строк";
}

std::string problemSizeMessage(std::string_view bytes) {
    // The header was read before the counts were refused, so it reads again here.
    text::NumberReader in(bytes);
    int64_t count[4] = {};
    for (int64_t& c : count) {
        try {
            c = in.readInteger();
        } catch (const text::NumberTooLarge&) {
            c = int64_t(INT32_MAX) + 1; // beyond every limit
        }
    }
    const auto [G, E, L, N] = count;
    if (G < 0 || E < 0 || L < 0 || N < 0)
        return "Ошибка: отрицательное число ограничений или неизвестных в файле данных\r\n(G = " +
               intText(G) + ", E = " + intText(E) + ", L = " + intText(L) + ", N = " + intText(N) +
               ")";
    return tooLargeMessage(G + E + L, N);
}

namespace {

const char* const kTooLarge = "Ошибка: задача слишком велика для этого компьютера\r\n(";

std::string limitsText() {
    return "можно не более " + intText(ProblemLimits::maxRows) + " ограничений, " +
           intText(ProblemLimits::maxColumns) + " неизвестных и " +
           intText(ProblemLimits::maxCells) + " коэффициентов)";
}

} // namespace

std::string tooLargeMessage(int64_t M, int64_t N) {
    return kTooLarge + ("ограничений " + intText(M)) + ", неизвестных " + intText(N) + "; " +
           limitsText();
}

std::string fileTooLargeMessage(int64_t rows, int64_t columns) {
    (void)columns;
    const std::string what =
        rows > ProblemLimits::maxRows
            ? "в файле больше " + intText(ProblemLimits::maxRows) + " ограничений"
            : "в файле больше " + intText(ProblemLimits::maxColumns) + " неизвестных";
    return kTooLarge + what + "; " + limitsText();
}

std::string standardFormTooLargeMessage(int64_t fileRows, int64_t fileColumns, int64_t M,
                                        int64_t N) {
    return kTooLarge + ("в файле ограничений " + intText(fileRows)) + ", неизвестных " +
           intText(fileColumns) + "; в стандартной форме (с границами неизвестных как строками) " +
           "ограничений " + intText(M) + ", неизвестных " + intText(N) + "; " + limitsText();
}

} // namespace kvado::datafile
