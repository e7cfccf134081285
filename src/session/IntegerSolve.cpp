#include "session/IntegerSolve.h"

#include <cmath>

#include "mip/MipCheck.h"
#include "mip/MipSolve.h"
#include "model/ModelIo.h"
#include "session/EngineSolve.h"
#include "session/Session.h"
#include "solver/TraceLog.h"
#include "text/NumberText.h"

namespace kvado::session {

namespace {

std::string general(Real v, char sep) {
    return text::formatGeneral(v == 0 ? Real(0) : v, sep);
}

std::string percent(double gap, char sep) {
    return text::formatGeneralWith(static_cast<Real>(gap) * 100, 4, 1, sep) + " %";
}

std::string seconds(double s, char sep) {
    std::string t = text::formatFixed(s, 0, 3);
    for (char& c : t)
        if (c == '.') c = sep;
    return t;
}

// The plan's activities and the marginals of the relaxation with every integer column fixed
// at its value; without them (the fixed relaxation did not solve) the activities alone.
model::UserSolution userSolutionOfPlan(const model::Model& m, const mip::MipAnswer& a) {
    model::Model fixed = model::relaxation(m);
    for (size_t j = 0; j < fixed.columns.size(); ++j)
        if (model::isInteger(m.columns[j])) {
            fixed.columns[j].lower = fixed.columns[j].upper = a.plan[j];
            fixed.columns[j].lowerExact = fixed.columns[j].upperExact = {};
        }
    const engine::SparseAnswer s = engine::solveSparse(fixed);
    model::UserSolution u;
    if (s.status == engine::SparseStatus::Optimal) {
        u = userSolutionOf(s);
    } else {
        u.columnMarginal.assign(m.columns.size(), 0);
        u.rowMarginal.assign(m.rows.size(), 0);
        u.rowActivity.assign(m.rows.size(), 0);
        for (const model::Entry& e : m.entries)
            u.rowActivity[static_cast<size_t>(e.row)] +=
                e.value * a.plan[static_cast<size_t>(e.column)];
    }
    u.objective = a.objective;
    u.columnValue = a.plan;
    return u;
}

} // namespace

std::string mipStatusText(const mip::MipAnswer& a, char sep) {
    switch (a.status) {
    case mip::MipStatus::Optimal:
        return "Найдено оптимальное целочисленное решение";
    case mip::MipStatus::Feasible:
        return "Найдено целочисленное решение, оптимальность не доказана (поиск остановлен, "
               "разрыв " +
               percent(a.gap, sep) + ")";
    case mip::MipStatus::Infeasible:
        return "Целочисленного решения нет";
    case mip::MipStatus::Unbounded:
        return "Релаксация не ограничена: целевая функция не ограничена";
    case mip::MipStatus::Stopped:
        break;
    }
    return a.failure.empty() ? "Поиск остановлен, целочисленное решение не найдено"
                             : "Поиск не выполнен: " + a.failure;
}

std::vector<std::string> integerSolutionLines(const model::Model& m, const mip::MipAnswer& a,
                                              char sep) {
    std::vector<std::string> lines{"Целочисленное решение", mipStatusText(a, sep)};
    const std::string sense = m.sense == model::Sense::Maximize ? "max" : "min";
    if (a.hasSolution())
        lines.push_back("Целевая функция (" + sense + "): " + general(a.objective, sep));
    if (a.rootSolved)
        lines.push_back("Значение релаксации (без условий целочисленности): " +
                        general(a.rootValue, sep));
    if (a.hasBound) {
        std::string line = "Граница поиска: " + general(a.bound, sep);
        if (a.hasSolution()) line += "; разрыв: " + percent(a.gap, sep);
        lines.push_back(line);
    }
    lines.push_back("Узлов: " + std::to_string(a.nodes) + "; " +
                    (a.engine == mip::MipEngine::Own ? "собственный метод ветвей и границ"
                                                     : "метод ветвей и отсечений GLPK") +
                    "; время " + seconds(a.seconds, sep) + " с");
    if (a.hasSolution())
        for (size_t j = 0; j < m.columns.size(); ++j)
            lines.push_back(m.columns[j].name + " = " + general(a.plan[j], sep) +
                            (model::isInteger(m.columns[j]) ? "  (целая)" : ""));
    return lines;
}

std::vector<std::string> mipLogLines(const mip::MipAnswer& a) {
    std::vector<std::string> lines{
        a.engine == mip::MipEngine::Own
            ? "Целочисленная задача решена собственным методом ветвей и границ"
            : "Целочисленная задача решена методом ветвей и отсечений GLPK"};
    lines.insert(lines.end(), a.log.begin(), a.log.end());
    lines.push_back(mipStatusText(a, '.'));
    std::string summary = "Узлов: " + std::to_string(a.nodes);
    if (a.hasSolution()) summary += "; целевая функция " + general(a.objective, '.');
    if (a.hasBound) summary += "; граница " + general(a.bound, '.');
    lines.push_back(summary);
    return lines;
}

void mipJson(text::JsonWriter& w, const mip::MipAnswer& a) {
    const bool plan = a.hasSolution();
    w.beginObject().key("status").string(mip::mipStatusName(a.status));
    w.key("objective")
        .number(plan ? std::optional<Real>(a.objective) : std::nullopt,
                text::JsonWriter::Zero::Plain);
    w.key("bound").number(a.hasBound ? std::optional<Real>(a.bound) : std::nullopt,
                          text::JsonWriter::Zero::Plain);
    w.key("gap").number(plan && a.hasBound ? std::optional<Real>(a.gap) : std::nullopt,
                        text::JsonWriter::Zero::Plain);
    w.key("nodes").integer(a.nodes).key("engine").string(mip::mipEngineName(a.engine));
    w.endObject();
}

mip::MipAnswer Session::solveInteger(const model::Model& model, mip::MipOptions options,
                                     const MipRunner& run) {
    model::Model searched = model; // before the state goes: `model` may be lastMipModel()
    clearReport();
    m_exactCheck = {};
    m_userSolution.reset();
    m_explanation = {};
    m_outcome = SolveOutcome::Stopped;
    m_solvedLoaded = false;
    m_steps.reset();
    m_mip.reset();
    forgetSparse();
    m_mipModel = std::move(searched);
    m_solvedModel = &m_mipModel;
    if (!options.stopRequested && m_view && !run)
        options.stopRequested = [view = m_view] { return view->stopRequested(); };
    mip::MipAnswer answer;
    {
        const SolveRunning running(m_view);
        auto searchIt = [&] { return mip::solveMip(m_mipModel, options); };
        answer = run ? run(searchIt) : searchIt();
    }
    TraceLog log(m_logFolder);
    log.open();
    for (const std::string& line : mipLogLines(answer))
        log.writeLine(line);
    log.close();
    for (const std::string& line : integerSolutionLines(m_mipModel, answer, m_separator))
        m_report.append(line);
    if (answer.hasSolution()) {
        m_report.append("");
        const mip::IntegerCheck check = mip::checkIntegerPlan(m_mipModel, answer.plan);
        for (const std::string& line : mip::integerCheckLines(check, answer, m_separator))
            m_report.append(line);
        m_userSolution = userSolutionOfPlan(m_mipModel, answer);
        m_report.append("");
        for (const std::string& line :
             model::userTermsLines(m_mipModel, *m_userSolution, m_separator))
            m_report.append(line);
    }
    m_mip = std::make_unique<mip::MipAnswer>(answer);
    if (m_view) m_view->reportAppended();
    return answer;
}

engine::SparseAnswer Session::solveRelaxation(const model::Model& model,
                                              engine::SparseOptions options,
                                              const EngineRunner& run) {
    model::Model relaxed = model::relaxation(model);
    m_mip.reset();
    m_mipModel = std::move(relaxed);
    return solveSparse(m_mipModel, std::move(options), run);
}

} // namespace kvado::session
