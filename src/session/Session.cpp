#include "session/Session.h"
#include "session/EngineRanging.h"
#include "session/EngineSolve.h"

#include <algorithm>
#include <filesystem>
#include <stdlib.h>

#include "analysis/ModelCheck.h"
#include "analysis/Presentation.h"
#include "analysis/RangingReport.h"
#include "analysis/UserRanging.h"
#include "base/FileError.h"
#include "base/FileName.h"
#include "datafile/NameFiles.h"
#include "datafile/OpenedGrid.h"
#include "grid/GridNames.h"
#include "model/ModelFiles.h"
#include "session/GridMarks.h"
#include "session/Messages.h"
#include "solver/TraceLog.h"

namespace kvado::session {

using analysis::VerifyOptions;

namespace {
// The exact solve after the automatic check: long enough for the problems the check takes
// (up to 300 rows), short enough that a solve never waits on it for long.
constexpr double kAutomaticExactSeconds = 5;
} // namespace

// The open command's progress, forwarded to the view.
class Session::OpenProgress : public datafile::LoadObserver {
public:
    explicit OpenProgress(SessionView* view) : m_view(view) {}
    void progressMaximum(int32_t maximum) override {
        if (m_view) m_view->setProgressMaximum(maximum);
    }
    void progress(int32_t position) override {
        if (m_view) m_view->setProgressPosition(position);
    }

private:
    SessionView* m_view;
};

Session::Session(LpProblem& problem)
    : m_problem(problem), m_ownGrid(5, 5), m_inputGrid(&m_ownGrid) {
    // The input grid at start: the counts of the edits' start values are only laid out when
    // the user asks for a table.
    m_ownGrid.setColCount(5);
    m_ownGrid.setRowCount(6);
    m_ownGrid.setFixedRows(1);
    m_ownGrid.setFixedCols(0);
}

void Session::setHeadless(bool on) {
    m_headless = on;
    m_results.fillAnalysisGrid = !on;
}

bool Session::refuse(const std::string& message) {
    if (message.empty()) return false;
    showMessage(message);
    return true;
}

// --- problem input ---------------------------------------------------------------------------

bool Session::ParseEdits(const EditTexts& edits) {
    return refuse(parseEdits(edits, m_problem));
}

void Session::SetupGrid(const EditTexts& edits, bool newTable) {
    if (ParseEdits(edits)) return;
    endLink();
    const GridCounts counts{m_problem.G, m_problem.E, m_problem.L, m_problem.N};
    if (newTable) {
        layOutInputGrid(*m_inputGrid, m_problem.M, m_problem.N, true);
        // The table is the user's own now: the report names no file, and its save proposes
        // no file's name. Its placeholders are nobody's work.
        m_problem.dataFileName.clear();
        m_edited.grid = false;
    } else {
        resizeKeepingRoles(*m_inputGrid, m_layout, counts);
    }
    m_layout = counts;
}

bool Session::GridTransfer(const EditTexts& edits) {
    if (ParseEdits(edits)) return true;
    // The explanation was of the problem this one replaces.
    m_explanation = {};
    m_solvedLoaded = false;
    m_steps.reset();
    transferGrid(*m_inputGrid, m_separator, m_problem);
    // While the grid is still the linked model's standard form, its exact numbers are those
    // of the model as the file or the model window states it, not of their texts in the grid.
    if (linkedTransformed()) model::applyExactValues(*m_link->standard, m_problem);
    SetUpResultGrids();
    return false;
}

void Session::SetUpResultGrids() {
    report::SetUpResultGrids(m_problem, *m_inputGrid, m_results);
}

// --- the user's typing -------------------------------------------------------------------

void Session::noteGridTyping() {
    m_edited.grid = true;
    endLink();
}

void Session::noteEditTyping() {
    m_edited.edits = true;
    endLink();
}

bool Session::mayReplaceInput(bool byModelText) {
    const bool atRisk = byModelText ? m_edited.grid || m_edited.edits : workTyped();
    return !atRisk || m_view == nullptr || m_view->replaceTypedWork();
}

std::string Session::rowLabel(int row) const {
    const int64_t G = m_layout.G, E = m_layout.E, M = G + E + m_layout.L;
    if (row < 2 || row > M + 2) return {};
    if (row == M + 2) return "Z";
    if (row - 1 <= G) return "≥";
    if (row - 1 <= G + E) return "=";
    return "≤";
}

bool Session::inputHasMarks() const {
    for (int32_t j = 1; j <= m_layout.N; ++j)
        if (m_inputGrid->colMark(j + 1) != ColumnMark::None) return true;
    return false;
}

// --- open ------------------------------------------------------------------------------------

OpenResult Session::openDataFile(const std::string& path) {
    OpenProgress progress(m_view);
    OpenOptions options;
    options.decimalSeparator = m_separator;
    options.writeNumbers = !m_headless;
    options.nameFileErrorsStop = !m_headless;
    options.observer = &progress;
    // The file is read into a copy of the input and a problem of its own: an open that fails
    // anywhere (a file not there, counts refused, a number or a name file that does not read)
    // leaves the edits, the grid, the names, the problem and the link exactly as they were, so
    // nothing half-read is ever solved. The copy keeps the cells an open does not write.
    LpProblem read;
    StringGridModel cells(0, 0);
    cells.restore(m_inputGrid->contents());
    OpenResult r = openProblem(path, read, cells, options);
    if (r.status != OpenStatus::Opened) {
        // The edits keep what they showed; the window shows the messages alone.
        r.edits.reset();
        r.dataRead = false;
        for (const std::string& message : r.messages)
            showMessage(message);
        if (!r.error.empty() && m_view)
            m_view->showError(r.error + "\r\n" + notReadMessage(baseName(path)));
        return r;
    }
    if (!mayReplaceInput()) {
        r.status = OpenStatus::Kept;
        r.edits.reset();
        r.dataRead = false;
        return r;
    }
    m_explanation = {};
    m_solvedLoaded = false;
    m_steps.reset();
    m_problem = std::move(read);
    // A data file holds no integer marks: its unknowns are all continuous.
    cells.clearMarks();
    m_inputGrid->restore(cells.takeContents());
    // Whatever the file left in the input is no longer the model's.
    endLink();
    m_layout = {m_problem.G, m_problem.E, m_problem.L, m_problem.N};
    m_edited = {};
    // The objective's name is the one of the file last opened.
    m_results.objectiveName = r.objectiveName;
    if (m_view) m_view->resultTextsChanged();
    for (const std::string& message : r.messages)
        showMessage(message);
    SetUpResultGrids();
    m_link = std::make_unique<Link>();
    m_link->dataPath = path;
    return r;
}

OpenResult Session::openModel(const model::StandardForm& sf, Real eps,
                              const std::string& fileName) {
    OpenResult r;
    m_solvedLoaded = false;
    m_steps.reset();
    endLink();
    m_explanation = {};
    m_problem.dataFileName = fileName;
    {
        StringGridModel::UpdateScope update(*m_inputGrid);
        OpenProgress progress(m_view);
        datafile::GridLoadObserver cells(*m_inputGrid, m_separator, &progress);
        cells.setWriteNumbers(!m_headless);
        model::loadProblem(sf, eps, m_problem, &cells);
        datafile::layOutOpenedGrid(*m_inputGrid, m_problem.M, m_problem.N);
        std::vector<std::string> rows = sf.rowNames;
        if (!sf.objectiveName.empty()) rows.push_back(sf.objectiveName);
        r.objectiveName = datafile::applyConstraintNames(*m_inputGrid, m_problem.M, rows);
        datafile::applyUnknownNames(*m_inputGrid, m_problem.N, sf.columnNames);
        // A standard form of its own has no integer columns; a model's marks them below.
        m_inputGrid->clearMarks();
    }
    r.edits = editTextsOf(m_problem, m_separator);
    r.dataRead = true;
    m_layout = {m_problem.G, m_problem.E, m_problem.L, m_problem.N};
    m_results.objectiveName = r.objectiveName;
    if (m_view) m_view->resultTextsChanged();
    SetUpResultGrids();
    return r;
}

OpenResult Session::openModel(const model::Model& model, model::StandardForm sf, Real eps,
                              const std::string& fileName) {
    OpenResult r = openModel(sf, eps, fileName);
    m_solvedModel = nullptr;
    forgetSparse();
    m_link = std::make_unique<Link>();
    m_link->model = model;
    m_link->standard = std::move(sf);
    m_link->modelRead = true;
    markColumnsOf(model, *m_link->standard, *m_inputGrid);
    return r;
}

ModelOpen Session::layModel(const model::Model& model, const std::string& fileName,
                            bool byModelText) {
    ModelOpen r;
    model::StandardForm sf;
    try {
        sf = model::toStandardForm(model);
    } catch (const ProblemSizeError& e) {
        r.error = r.reason = e.what();
        return r;
    }
    // A row that 0 cannot meet is not in the standard form: solving that would answer a
    // problem the user did not state.
    if (!sf.infeasible.empty()) {
        r.error = r.reason = sf.infeasible;
        r.conflict = transformConflict(model, sf);
        return r;
    }
    if (!mayReplaceInput(byModelText)) {
        r.kept = true;
        return r;
    }
    r.summary = model::summaryText(sf.summary);
    r.open = openModel(model, std::move(sf), model::kModelEps, fileName);
    r.opened = true;
    return r;
}

ModelOpen Session::openModelFile(const std::string& path, model::FileFormat format) {
    ModelOpen r;
    model::Model m;
    try {
        m = model::readModelFile(path, format, &r.notes);
    } catch (const model::ReadError& e) {
        r.error = r.reason = e.what();
        r.errorLine = e.line();
        r.readError = true;
    } catch (const ProblemSizeError& e) {
        r.error = r.reason = e.what();
    } catch (const FileError& e) {
        std::error_code ec;
        r.reason = e.what();
        r.error = std::filesystem::is_regular_file(path, ec) ? r.reason : kFileNotFound;
    }
    if (r.error.empty() && !methodCanTake(m)) {
        // The input stays as it was; only the sparse engine solves this one.
        endLink();
        r.opened = r.engineOnly = true;
        r.summary = "Задача велика для таблицы программы (ограничений " +
                    std::to_string(m.rows.size()) + ", неизвестных " +
                    std::to_string(m.columns.size()) +
                    "): она будет решена разреженным симплекс-методом, таблица не заполняется";
        m_engineOnly = std::make_unique<model::Model>(std::move(m));
    } else if (r.error.empty()) {
        std::vector<std::string> notes = std::move(r.notes);
        r = layModel(m, baseName(path));
        r.notes = std::move(notes);
        if (r.opened) m_edited = {};
    }
    if (!r.opened && !r.kept) showMessage(r.error);
    return r;
}

ModelOpen Session::applyModelText(std::string_view lpText) {
    ModelOpen r;
    model::Model m;
    try {
        m = model::readLp(lpText, kModelTextName, &r.notes);
    } catch (const model::ReadError& e) {
        r.error = e.what();
        r.errorLine = e.line();
        return r;
    } catch (const ProblemSizeError& e) {
        r.error = e.what();
        return r;
    }
    std::vector<std::string> notes = std::move(r.notes);
    r = layModel(m, std::string(), true);
    r.notes = std::move(notes);
    // Typed in the model window and written to no file yet.
    if (r.opened) m_edited = {false, false, true};
    return r;
}

std::string ModelOpen::message() const {
    std::string text = summary;
    for (const std::string& note : notes)
        text += "\r\n" + note;
    return text;
}

// --- the user's model ------------------------------------------------------------------------

const model::Model* Session::engineModel() const {
    if (m_engineOnly) return m_engineOnly.get();
    return m_link ? &m_link->model : nullptr;
}

void Session::endLink() {
    m_engineOnly.reset();
    m_solvedModel = nullptr;
    forgetSparse();
    m_link.reset();
    m_userSolution.reset();
}

const model::Model& Session::linkModel() const {
    if (!m_link->modelRead) {
        try {
            m_link->model = model::readModelFile(m_link->dataPath, model::FileFormat::Data);
        } catch (const std::exception&) {
            // A name file that cannot be read leaves the names to the fallbacks, as the open
            // did.
            m_link->model = model::modelOfProblem(m_problem, {}, {}, {});
        }
        m_link->modelRead = true;
    }
    return m_link->model;
}

const std::optional<model::UserSolution>& Session::userSolution() const {
    if (!m_userSolution && m_link && !m_link->standard && m_solvedLoaded &&
        m_outcome == SolveOutcome::Optimal)
        m_userSolution = model::mapBackLoaded(linkModel(), m_problem);
    return m_userSolution;
}

std::vector<std::string> Session::userSolutionLines() const {
    if (!m_userSolution) return {};
    if (m_solvedModel != nullptr)
        return model::userTermsLines(*m_solvedModel, *m_userSolution, m_separator);
    if (!linkedTransformed()) return {};
    return model::userTermsLines(m_link->model, *m_userSolution, m_separator);
}

datafile::DataFileContents Session::inputContents(const EditTexts& edits) const {
    const StringGridModel& g = *m_inputGrid;
    return datafile::buildDataFile({edits.G, edits.E, edits.L, edits.N, edits.eps,
                                    [&g](int32_t col, int32_t row) { return g.cell(col, row); }});
}

model::Model Session::modelOfInput(const datafile::DataFileContents& contents) const {
    if (linkedTransformed()) return m_link->model;
    // The checked data file's text is the problem as the grid states it, read as an open
    // would read it, without touching the session's problem (its last solve stays).
    LpProblem p;
    datafile::readDataFile(contents.data, p);
    const Names names = namesFromGrid(*m_inputGrid, p.N, p.M);
    model::Model m = model::modelOfProblem(p, names.rows, names.columns, m_results.objectiveName);
    applyColumnMarks(*m_inputGrid, m);
    return m;
}

std::optional<std::string> Session::modelText(const EditTexts& edits, std::string& error) const {
    if (linkedTransformed()) return model::writeLp(m_link->model);
    const datafile::DataFileContents contents = inputContents(edits);
    if (!contents.error.empty()) {
        error = contents.error;
        return std::nullopt;
    }
    return model::writeLp(modelOfInput(contents));
}

// --- solve -----------------------------------------------------------------------------------

void Session::clearReport() {
    m_report.clear();
    if (m_view) m_view->reportCleared();
}

SolveResult Session::solveInput(const EditTexts& edits) {
    m_outcome = SolveOutcome::Stopped;
    clearReport();
    if (GridTransfer(edits)) return {};
    if (refuse(gridShapeMessage(*m_inputGrid, m_problem))) return {};
    // The objective's name is the one the grid holds now, as the report prints it: a name
    // typed into a new table, not that of a file opened before.
    if (std::string name = objectiveNameOf(*m_inputGrid, m_problem.M);
        name != m_results.objectiveName) {
        m_results.objectiveName = std::move(name);
        if (m_view) m_view->resultTextsChanged();
    }
    if (const int32_t i = negativeRightHandSide(m_problem))
        if (refuse(negativeRightHandSideMessage(i))) return {};
    return solveLoaded();
}

engine::SparseAnswer Session::solveSparse(const model::Model& model, engine::SparseOptions options,
                                          const EngineRunner& run) {
    clearReport();
    m_exactCheck = {};
    m_userSolution.reset();
    m_explanation = {};
    m_outcome = SolveOutcome::Stopped;
    m_solvedLoaded = false;
    m_steps.reset();
    m_mip.reset();
    if (!options.stopRequested && m_view && !run)
        options.stopRequested = [view = m_view] { return view->stopRequested(); };
    m_solvedModel = &model;
    m_sparse.reset();
    m_engineRecord.reset();
    m_engineRecordWhy.clear();
    m_engineRanges.reset();
    m_engineRangesWhy.clear();
    engine::SparseAnswer answer;
    {
        const SolveRunning running(m_view);
        auto solveIt = [&] { return engine::solveSparse(model, options); };
        answer = run ? run(solveIt) : solveIt();
    }
    TraceLog log(m_logFolder);
    log.open();
    for (const std::string& line : sparseLogLines(answer))
        log.writeLine(line);
    log.close();
    m_report.append(kSparseEngineNote);
    std::string verdict = sparseStatusText(answer.status);
    if (!answer.failure.empty()) verdict += ": " + answer.failure;
    m_report.append(verdict);
    if (answer.status == engine::SparseStatus::Optimal) {
        m_userSolution = userSolutionOf(answer);
        m_report.append("");
        for (const std::string& line : model::userTermsLines(model, *m_userSolution, m_separator))
            m_report.append(line);
    }
    m_sparse = answer;
    // The analyses read the engine's basis after everything the solve itself writes.
    analyseSparse();
    if (m_view) m_view->reportAppended();
    return answer;
}

void Session::forgetSparse() {
    if (!m_sparse) return;
    m_sparse.reset();
    m_engineRecord.reset();
    m_engineRecordWhy.clear();
    m_engineRanges.reset();
    m_engineRangesWhy.clear();
    m_explanation = {};
    m_modelExplanation.reset();
    m_exactCheck = {};
}

const EngineRecord* Session::engineRecord(std::string* why) const {
    if (!m_sparse || !m_solvedModel) {
        if (why) *why = "разреженный симплекс-метод не решал задачу";
        return nullptr;
    }
    if (!m_engineRecord && m_engineRecordWhy.empty()) {
        const int64_t rows = standardFormRows(*m_solvedModel);
        if (rows > kEngineInverseRows)
            m_engineRecordWhy = "задача велика: ограничений стандартной формы " +
                                std::to_string(rows) + ", предел " +
                                std::to_string(kEngineInverseRows);
        else
            m_engineRecord = session::engineRecord(*m_solvedModel, *m_sparse, m_engineRecordWhy);
        if (!m_engineRecord && m_engineRecordWhy.empty()) m_engineRecordWhy = "нет базиса";
    }
    if (!m_engineRecord && why) *why = m_engineRecordWhy;
    return m_engineRecord.get();
}

analysis::ExplainOptions Session::explainOptions() {
    analysis::ExplainOptions options;
    options.decimalSeparator = m_separator;
    // The search for the subset solves again: the view lets its events through and its
    // stop command ends the search as it would a solve.
    options.stopRequested = [this] { return stopRequested(); };
    return options;
}

void Session::analyseSparse() {
    const engine::SparseStatus status = m_sparse->status;
    if (status != engine::SparseStatus::Optimal && status != engine::SparseStatus::Infeasible &&
        status != engine::SparseStatus::Unbounded)
        return;
    // A model whose standard form is beyond the automatic check's rows is not laid into a
    // record for it: the check says it was not made, and can be asked for.
    VerifyOptions automatic;
    automatic.decimalSeparator = m_separator;
    const int64_t rows = standardFormRows(*m_solvedModel);
    const bool explain =
        m_explainAfterSolve && status != engine::SparseStatus::Optimal && m_sparse->failure.empty();
    if (m_exactAfterSolve && rows > automatic.maxRows && !explain) {
        m_exactCheck = {};
        m_exactCheck.ran = true;
        m_exactCheck.verification.reason = "задача велика: " + std::to_string(rows) +
                                           " ограничений (автоматически до " +
                                           std::to_string(automatic.maxRows) + ")";
        writeExactSection(m_exactCheck);
    } else if (m_exactAfterSolve) {
        m_exactCheck = exactCheckOf(automatic, kAutomaticExactSeconds, true);
        if (m_exactCheck.ran) writeExactSection(m_exactCheck);
    }
    if (!explain) return;
    std::string why;
    const EngineRecord* record = engineRecord(&why);
    if (record) {
        analysis::ExplainOptions options = explainOptions();
        // The subset's phase-1 solves are the engine's too.
        options.phase1 = [](LpProblem& q, const std::function<bool()>& stop) {
            return enginePhase1(q, stop);
        };
        const SolveRunning running(m_view);
        m_explanation = analysis::explain(record->problem, record->outcome, options);
    } else {
        std::string onTheModel;
        if (why.rfind("задача велика", 0) == 0 && explainOnTheModel(onTheModel)) return;
        m_explanation = {};
        m_explanation.note = "Объяснение не показано: " + why;
        if (!onTheModel.empty()) m_explanation.note += "; на самой модели: " + onTheModel;
    }
    const auto lines = analysis::explanationSection(explainedProblem(), m_explanation,
                                                    explainNames(), m_separator);
    if (!lines.empty()) m_report.append("");
    for (const std::string& line : lines)
        m_report.append(line);
}

bool Session::explainOnTheModel(std::string& whyNot) {
    // Too large for the record: the exact check on the model itself proves the answer, and
    // what proved it (the rows' multipliers, or the ray) is the explanation, in the model's
    // terms. The subset's re-solves would take a solve a row: not looked for.
    VerifyOptions options = VerifyOptions::unlimited(nullptr, m_separator);
    options.maxSeconds = kModelExplainSeconds;
    analysis::ModelCheck mc;
    {
        const SolveRunning running(m_view);
        mc = analysis::verifyModel(*m_solvedModel, modelAnswerOf(*m_sparse), options);
    }
    const model::Model& m = *m_solvedModel;
    UserExplanation u;
    if (m_sparse->status == engine::SparseStatus::Infeasible && !mc.certificate.empty()) {
        u.kind = analysis::Explanation::Kind::Infeasible;
        for (size_t i = 0; i < m.rows.size(); ++i)
            if (mc.certificate[i] != 0)
                u.certificate.push_back({m.rows[i].name, mc.certificate[i]});
        u.subsetNote = "Несовместное подмножество не искалось: задача велика (ограничений: " +
                       std::to_string(m.rows.size()) + ")";
    } else if (m_sparse->status == engine::SparseStatus::Unbounded && !mc.ray.empty()) {
        u.kind = analysis::Explanation::Kind::Unbounded;
        for (size_t j = 0; j < m.columns.size(); ++j)
            if (mc.ray[j] != 0) u.ray.push_back({m.columns[j].name, mc.ray[j]});
        u.objectiveRate = mc.rayRate;
    } else {
        whyNot = mc.verification.reason;
        return false;
    }
    m_modelExplanation = u;
    // The kind alone: the windows ask it whether there is an explanation to show, and read
    // this one through userExplanation().
    m_explanation = {};
    m_explanation.kind = u.kind;
    const ExplanationTable t = explanationTable(u, m_separator);
    m_report.append("");
    m_report.append(analysis::kExplainHeading);
    m_report.append(t.sentence);
    m_report.append(t.termsHeading);
    for (const auto& row : t.rows)
        m_report.append("  " + row[0] + ": " + row[1]);
    m_report.append(t.footer);
    return true;
}

SolveResult Session::solveLoaded() {
    SolveResult result;
    m_solvedModel = nullptr;
    forgetSparse();
    m_mip.reset();
    // The last solve's check goes with it: the windows never show it beside this solve.
    m_exactCheck = {};
    m_userSolution.reset();
    m_explanation = {};
    m_outcome = SolveOutcome::Stopped;
    {
        const SolveRunning running(m_view);
        TraceLog log(m_logFolder);
        m_steps.reset();
        if (m_recordSteps) m_steps = std::make_unique<StepRecorder>(m_stepLimits);
        m_solvedLoaded = true;
        m_ending = SolveOutcome::Optimal;
        result.outcome = solve(m_problem, log, *this, m_steps.get(), m_solveOptions);
    }
    result.solved = true;
    // The solver has shown the message of a problem without a feasible solution itself. The
    // column it leaves as the entering one is the unbounded column.
    if (result.outcome == SolveOutcome::Unbounded) {
        result.unboundedColumn = m_problem.unboundedColumn();
        showMessage(unboundedMessage(m_problem, *m_inputGrid, result.unboundedColumn));
    }
    // The check runs whatever the outcome: after a failed solve its lines tell the user which
    // constraints the last basis breaks.
    report::CheckSolution(m_problem, m_separator, m_report, m_results, m_check,
                          result.outcome == SolveOutcome::Optimal);
    result.check = {m_check.feasible, m_check.optimal, m_check.controlNumber};
    // The answer in the terms of the model the input still is, after the method's own lines.
    if (linkedTransformed() && result.outcome == SolveOutcome::Optimal) {
        m_userSolution = model::mapBack(m_link->model, *m_link->standard, m_problem);
        m_report.append("");
        for (const std::string& line : userSolutionLines())
            m_report.append(line);
    }
    // After everything the method writes, so its report lines and trace log stay as they are;
    // the window hears of the check's lines and the section at once.
    m_outcome = result.outcome;
    if (m_exactAfterSolve && result.outcome != SolveOutcome::PassLimit &&
        result.outcome != SolveOutcome::Stopped && result.outcome != SolveOutcome::Overflow) {
        VerifyOptions automatic;
        automatic.decimalSeparator = m_separator;
        m_exactCheck = exactCheckOf(automatic, kAutomaticExactSeconds, true);
        writeExactSection(m_exactCheck);
    }
    result.exact = m_exactCheck;
    // Why there is no answer, at the report's end so that everything above stays as it was.
    if (m_explainAfterSolve &&
        (result.outcome == SolveOutcome::Infeasible || result.outcome == SolveOutcome::Unbounded)) {
        const analysis::ExplainOptions options = explainOptions();
        if (m_view) m_view->solveRunning(true);
        try {
            m_explanation = analysis::explain(m_problem, result.outcome, options);
        } catch (...) {
            if (m_view) m_view->solveRunning(false);
            throw;
        }
        if (m_view) m_view->solveRunning(false);
        const auto lines =
            analysis::explanationSection(m_problem, m_explanation, explainNames(), m_separator);
        if (!lines.empty()) m_report.append("");
        for (const std::string& line : lines)
            m_report.append(line);
        result.explanation = m_explanation;
    }
    if (m_view) m_view->reportAppended();
    return result;
}

// --- the exact check -------------------------------------------------------------------------

namespace {
// Whether the check leaves nothing for the exact solve: it confirmed the answer, or it was
// skipped for a limit of its own (size, time, a stop), which the exact solve would meet too.
// A solve without an answer (the pass limit, a stop, an overflow) leaves the exact solve the only
// answer.
bool settled(analysis::Verdict v, SolveOutcome outcome) {
    using analysis::Verdict;
    if (v == Verdict::Skipped)
        return outcome != SolveOutcome::PassLimit && outcome != SolveOutcome::Stopped &&
               outcome != SolveOutcome::Overflow;
    return v == Verdict::Optimal || v == Verdict::InfeasibleConfirmed ||
           v == Verdict::UnboundedConfirmed;
}
} // namespace

ExactCheck Session::exactCheckOf(const VerifyOptions& options, double exactSeconds, bool exactSolve,
                                 bool sharedLimit) const {
    ExactCheck c;
    // The sparse engine's answer is checked on its record: its basis in the standard form.
    const LpProblem* problem = &m_problem;
    SolveOutcome outcome = m_outcome;
    if (m_sparse) {
        const engine::SparseStatus status = m_sparse->status;
        if (status != engine::SparseStatus::Optimal && status != engine::SparseStatus::Infeasible &&
            status != engine::SparseStatus::Unbounded)
            return c;
        c.ran = true;
        std::string why;
        const EngineRecord* record = engineRecord(&why);
        // A model whose standard form is too large for the record (its rows beyond
        // kEngineInverseRows, or its columns or coefficients beyond the method's limits: both
        // reasons begin «задача велика») is checked, when the user asks for it, on the model
        // itself; the automatic check keeps its «задача велика».
        if (!record && options.maxRows == 0 && why.rfind("задача велика", 0) == 0) {
            analysis::ModelCheck mc =
                analysis::verifyModel(*m_solvedModel, modelAnswerOf(*m_sparse), options);
            c.verification = std::move(mc.verification);
            if (exactSolve && !settled(c.verification.verdict, SolveOutcome::Optimal)) {
                c.exact = std::move(mc.exact);
                c.exactRun = true;
            }
            return c;
        }
        if (!record) {
            c.verification.reason = why;
            return c;
        }
        problem = &record->problem;
        outcome = record->outcome;
    } else if (!m_solvedLoaded) {
        // Nothing solved since the problem was loaded: nothing to check.
        return c;
    }
    c.ran = true;
    c.verification = analysis::verify(*problem, outcome, options);
    if (!exactSolve || settled(c.verification.verdict, outcome)) return c;
    analysis::ExactSolveOptions exact;
    // A limit shared with the check leaves the exact solve what the check did not use.
    exact.maxSeconds = sharedLimit && exactSeconds > 0
                           ? std::max(exactSeconds - c.verification.seconds, 0.001)
                           : exactSeconds;
    exact.cancel = options.cancel;
    exact.decimalSeparator = m_separator;
    c.exact = analysis::solveExactly(*problem, &c.verification, exact);
    c.exactRun = true;
    return c;
}

ExactCheck Session::runExactCheck(const std::atomic<bool>* cancel, bool exactSolve,
                                  double seconds) const {
    VerifyOptions check = VerifyOptions::unlimited(cancel, m_separator);
    check.maxSeconds = seconds;
    return exactCheckOf(check, seconds, exactSolve, true);
}

bool Session::acceptExactCheck(ExactCheck check) {
    if (!check.ran || check.verification.verdict == analysis::Verdict::Skipped) return false;
    m_exactCheck = std::move(check);
    writeExactSection(m_exactCheck);
    if (m_view) m_view->reportAppended();
    return true;
}

void Session::writeExactSection(const ExactCheck& check) {
    m_report.append("");
    for (const std::string& line : analysis::reportSection(
             check.verification, check.exactRun ? &check.exact : nullptr, m_separator))
        m_report.append(line);
}

// --- the passes of a solve -------------------------------------------------------------------

const StepRecorder* Session::steps() {
    if (m_steps || !m_solvedLoaded) return m_steps.get();
    LpProblem copy;
    loadAgain(m_problem, copy);
    auto steps = std::make_unique<StepRecorder>();
    // The second solve's trace log is nobody's: it keeps nothing, and Kvaq.log stays the first's.
    TraceLog log(TraceLog::Discard{});
    SolverHost quiet;
    solve(copy, log, quiet, steps.get(), m_solveOptions);
    m_steps = std::move(steps);
    return m_steps.get();
}

StepNames Session::stepNames(const StepRecorder& steps) const {
    return StepNames(steps, namesFromGrid(*m_inputGrid, steps.N, steps.M));
}

// --- SolverHost ------------------------------------------------------------------------------

void Session::setProgressMaximum(int32_t maximum) {
    if (m_view) m_view->setProgressMaximum(maximum);
}

void Session::setProgressPosition(int32_t position) {
    if (m_view) m_view->setProgressPosition(position);
}

void Session::showMessage(const std::string& utf8) {
    if (m_view) m_view->showMessage(utf8);
}

report::ReportContext Session::reportContext() const {
    return {m_inputGrid, m_separator, m_dateTime ? m_dateTime() : std::string(),
            m_ending == SolveOutcome::Optimal};
}

void Session::writeSolutionReport(const LpProblem& problem) {
    report::WriteSolutionReport(problem, reportContext(), m_report, m_results);
    if (m_view) m_view->reportAppended();
}

void Session::writeShadowPrices(const LpProblem& problem) {
    report::WriteShadowPrices(problem, reportContext(), m_report, m_results);
    if (m_view) {
        m_view->reportAppended();
        m_view->resultTextsChanged();
    }
}

// --- why there is no answer -----------------------------------------------------------------

Names Session::explainNames() const {
    if (m_sparse) {
        if (const EngineRecord* r = m_engineRecord.get())
            return {r->standard.rowNames, r->standard.columnNames};
        return {};
    }
    return namesFromGrid(*m_inputGrid, m_problem.N, m_problem.M);
}

const LpProblem& Session::explainedProblem() const {
    if (m_sparse && m_engineRecord) return m_engineRecord->problem;
    return m_problem;
}

UserExplanation Session::userExplanation() const {
    if (m_sparse && m_modelExplanation) return *m_modelExplanation;
    if (m_sparse && m_solvedModel)
        return session::userExplanation(m_explanation, *m_solvedModel,
                                        m_engineRecord ? &m_engineRecord->standard : nullptr);
    if (m_link) return session::userExplanation(m_explanation, linkModel(), linkedStandardForm());
    const Names names = namesFromGrid(*m_inputGrid, m_problem.N, m_problem.M);
    return session::userExplanation(
        m_explanation,
        model::modelOfProblem(m_problem, names.rows, names.columns, m_results.objectiveName),
        nullptr);
}

// --- analyses --------------------------------------------------------------------------------

bool Session::rangesAvailable(std::string* why) const {
    if (!m_sparse) {
        const bool ok = m_solvedLoaded && m_outcome == SolveOutcome::Optimal;
        if (!ok && why) *why = "нет оптимального решения";
        return ok;
    }
    if (m_sparse->status != engine::SparseStatus::Optimal || !m_userSolution) {
        if (why) *why = "нет оптимального решения";
        return false;
    }
    std::string reason;
    // The record is the session's cache of the answer: making its inverse changes no answer.
    auto* record = const_cast<EngineRecord*>(engineRecord(&reason));
    if (record && layInverse(*record, reason)) return true;
    // Beyond the record (or where it cannot be made): GLPK's own ranging, once per solve.
    if (!m_engineRanges && m_engineRangesWhy.empty()) {
        analysis::Ranges ranges;
        if (rangeEngineAnswer(*m_solvedModel, *m_sparse, *m_userSolution, m_rangingSeconds,
                              m_separator, ranges, m_engineRangesWhy))
            m_engineRanges = std::move(ranges);
        else if (m_engineRangesWhy.empty())
            m_engineRangesWhy = reason;
    }
    if (m_engineRanges) return true;
    if (why) *why = m_engineRangesWhy;
    return false;
}

analysis::Ranges Session::ranges() const {
    // The sparse engine's optimum: its basis in the standard form, ranged in the model's terms.
    if (m_sparse) {
        if (!rangesAvailable()) return {};
        if (m_engineRanges) return *m_engineRanges;
        return analysis::userRanges(*m_solvedModel, m_engineRecord->standard,
                                    m_engineRecord->problem, *m_userSolution);
    }
    // A problem that is still an LP or MPS file's model is ranged in that model's terms.
    if (linkedTransformed() && m_userSolution)
        return analysis::userRanges(m_link->model, *m_link->standard, m_problem, *m_userSolution);
    const Names names = namesFromGrid(*m_inputGrid, m_problem.N, m_problem.M);
    return analysis::computeRanges(m_problem, names.columns, names.rows);
}

void Session::writeRangesReport(const analysis::Ranges& ranges) {
    analysis::WriteSensitivityReport(ranges, m_separator, m_report);
    if (m_view) m_view->reportAppended();
}

void Session::writePictureReport(const std::string& heading, const std::string& caption,
                                 report::Picture picture) {
    m_report.setCurrentFormat(report::ReportDocument::headingFormat());
    m_report.append(heading);
    m_report.append(caption);
    m_report.appendPicture(std::move(picture));
    if (m_view) m_view->reportAppended();
}

} // namespace kvado::session
