#include "session/EngineSolve.h"

#include <cmath>

#include "solver/LpProblem.h"

namespace kvado::session {

const char* engineName(Engine e) {
    return e == Engine::Method ? "method" : "sparse";
}

bool engineNamed(const std::string& name, Engine& out) {
    if (name == "method")
        out = Engine::Method;
    else if (name == "sparse")
        out = Engine::Sparse;
    else
        return false;
    return true;
}

Engine defaultEngine(model::FileFormat format) {
    return format == model::FileFormat::Data ? Engine::Method : Engine::Sparse;
}

int64_t standardFormRows(const model::Model& m) {
    int64_t rows = 0;
    for (const model::Row& r : m.rows)
        rows += r.kind == RowKind::Range && r.lower != r.upper ? 2 : 1;
    for (const model::Column& c : m.columns)
        if (std::isfinite(c.lower) && std::isfinite(c.upper) && c.lower != c.upper) ++rows;
    return rows;
}

bool methodCanTake(const model::Model& m) {
    // The standard form's counts as the transformation would make them: a ranged row is two
    // rows, a finite upper bound above a finite lower one a row, a free column two columns.
    int64_t rows = 0, columns = 0;
    for (const model::Row& r : m.rows)
        rows += r.kind == RowKind::Range && r.lower != r.upper ? 2 : 1;
    for (const model::Column& c : m.columns) {
        const bool lo = std::isfinite(c.lower), up = std::isfinite(c.upper);
        if (lo && up && c.lower == c.upper) continue;
        columns += !lo && !up ? 2 : 1;
        if (lo && up) ++rows;
    }
    return rows <= ProblemLimits::maxRows && columns <= ProblemLimits::maxColumns &&
           rows * columns <= ProblemLimits::maxCells;
}

std::string sparseStatusText(engine::SparseStatus s) {
    switch (s) {
    case engine::SparseStatus::Optimal:
        return "Найдено оптимальное решение";
    case engine::SparseStatus::Infeasible:
        return "Ограничения не имеют допустимого решения";
    case engine::SparseStatus::Unbounded:
        return "Целевая функция не ограничена";
    case engine::SparseStatus::Stopped:
        return "Решение остановлено";
    case engine::SparseStatus::Failed:
        return "Решение не удалось";
    }
    return {};
}

model::UserSolution userSolutionOf(const engine::SparseAnswer& a) {
    model::UserSolution u;
    u.objective = a.objective;
    u.columnValue = a.columnValue;
    u.columnMarginal = a.columnMarginal;
    u.rowActivity = a.rowActivity;
    u.rowMarginal = a.rowMarginal;
    return u;
}

std::vector<std::string> sparseLogLines(const engine::SparseAnswer& a) {
    std::vector<std::string> lines{kSparseEngineNote};
    lines.insert(lines.end(), a.log.begin(), a.log.end());
    std::string verdict = sparseStatusText(a.status);
    if (!a.failure.empty()) verdict += ": " + a.failure;
    lines.push_back(verdict);
    lines.push_back("Итераций: " + std::to_string(a.iterations));
    return lines;
}

} // namespace kvado::session
