#pragma once
// One road for every front end: a problem typed into the grid or opened from a data file,
// solved, and shown as results, report and trace log. The main window, kvado-cli and the tests
// all call it, so a capability is written once and reaches all three.
//
// The session owns what a solve produces (the report document, the results models, the
// solution check's state) and is the one host the solver calls: the solver writes the trace
// log and calls the report writers through it, in its own order.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ExactSolve.h"
#include "analysis/Explain.h"
#include "analysis/Ranging.h"
#include "analysis/Verify.h"
#include "datafile/DataFileWriter.h"
#include "engine/SparseEngine.h"
#include "grid/GridResize.h"
#include "grid/StringGridModel.h"
#include "mip/MipTree.h"
#include "model/Model.h"
#include "model/ModelIo.h"
#include "model/StandardForm.h"
#include "report/ReportDocument.h"
#include "report/Results.h"
#include "session/EngineBasis.h"
#include "session/Explanation.h"
#include "session/OpenProblem.h"
#include "session/ProblemInput.h"
#include "session/SessionView.h"
#include "solver/LpProblem.h"
#include "solver/Simplex.h"
#include "solver/StepRecorder.h"

namespace kvado::session {

// The exact check of a solve's answer and, when it did not confirm the answer, the exact solve.
struct ExactCheck {
    // False after a pass limit or a stopped solve: there is no answer to check.
    bool ran = false;
    analysis::Verification verification;
    bool exactRun = false;
    analysis::ExactSolution exact;
};

// What one solve command came to. New outcomes and analyses of a solve are added here.
struct SolveResult {
    // False: the input stopped the command (a message was shown) before the solver ran.
    bool solved = false;
    SolveOutcome outcome = SolveOutcome::Optimal;
    // Unbounded: the column whose ratio test found no row; 0 otherwise.
    int32_t unboundedColumn = 0;
    // The solution check's verdicts, after every solve whatever its outcome: the check looks
    // at the last basis, so after a failed solve they describe that basis.
    struct CheckVerdict {
        bool feasible = false; // every constraint is met
        bool optimal = false;  // feasible, and the control number is close to 0
        Real controlNumber = 0;
    } check;
    // The automatic exact check (300 rows or 1 s at most) and the exact solve it called for.
    ExactCheck exact;
    // After "no feasible solution" or an unbounded objective: why, checked exactly (Kind None
    // when it did not check, or for any other outcome).
    analysis::Explanation explanation;
};

// What laying a model into the input came to: an LP or MPS file opened, or LP text applied.
struct ModelOpen {
    // The model's standard form is in the problem and the input grid, linked to the model.
    bool opened = false;
    // The model is larger than the method takes: kept for the sparse engine alone, with the
    // problem and the input grid as they were (`summary` says so).
    bool engineOnly = false;
    // Not opened: what stopped it, a reader's error ("FILE: строка N: ..."), a model too large
    // or one that cannot be met. `errorLine` is the reader's line (1-based; 0: none).
    std::string error;
    int64_t errorLine = 0;
    // Not opened: the reason in the library's own words, for programs (a file not there is
    // the reader's "Cannot open file ..."); `readError`: it is the reader's, naming the file
    // and the line itself.
    std::string reason;
    bool readError = false;
    // Not opened because the transformation found a row or a column that no plan can meet:
    // why, in the model's terms (Kind None otherwise).
    UserExplanation conflict;
    // Opened: "Задача приведена к стандартному виду: ..." and the reader's notes after it.
    std::string summary;
    std::vector<std::string> notes;
    // Opened: the counts and tolerance for the edits, the objective's name.
    OpenResult open;
    // Not opened because the user kept the typed work it would have replaced (no error).
    bool kept = false;
    // The one message that tells the user what was done: the summary, then each note.
    std::string message() const;
};

class Session : public SolverHost {
public:
    // `problem` is the program's one problem record; it must outlive the session.
    explicit Session(LpProblem& problem);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // --- what the session works on and produces ------------------------------------------
    LpProblem& problem() const { return m_problem; }
    // The input grid the user types into: the session's own, which the main window's SG1
    // shows, until another is attached (which must then outlive its use).
    StringGridModel& inputGrid() const { return *m_inputGrid; }
    void attachInputGrid(StringGridModel& grid) { m_inputGrid = &grid; }
    report::ReportDocument& report() { return m_report; }
    const report::ReportDocument& report() const { return m_report; }
    report::ResultsModel& results() { return m_results; }
    const report::SolutionCheck& check() const { return m_check; }

    // --- surroundings ----------------------------------------------------------------------
    // Whoever shows the session; null: nothing is shown.
    void setView(SessionView* view) { m_view = view; }
    // The user's decimal separator, for typed numbers and the general number formats.
    void setDecimalSeparator(char separator) { m_separator = separator; }
    // The report header's date and time, asked for each time a report is written.
    void setDateTimeSource(std::function<std::string()> source) { m_dateTime = std::move(source); }
    // The folder of the trace log; empty: the current folder.
    void setLogFolder(std::string folder) { m_logFolder = std::move(folder); }
    // How the solves go about their work (threads, the cycle watch).
    void setSolveOptions(const SolveOptions& options) { m_solveOptions = options; }
    // A front end without windows: opened numbers are not written into the grid's cells, and
    // the analysis grid's M x N products are not formatted (the row activities still are
    // computed), nor is an unreadable name file an error.
    void setHeadless(bool on);

    // --- problem input ---------------------------------------------------------------------
    // Edit parse; shows the message of an edit refused. Returns the error flag.
    bool ParseEdits(const EditTexts& edits);
    // New table (true) or resize (false) of the input grid for the counts in the edits.
    void SetupGrid(const EditTexts& edits, bool newTable);
    // Grid transfer: the edit parse, then the problem loaded from the input grid and the
    // results grids laid out. Returns the error flag; a cell that does not convert throws
    // text::ConversionError.
    bool GridTransfer(const EditTexts& edits);
    // Lays out the results grids for the counts and the input grid.
    void SetUpResultGrids();
    // What stands beside row `row` of the input grid, by the counts it is laid out for: the
    // relation of a constraint row ("≥", "=", "≤"), "Z" at the objective row, nothing at the
    // headings.
    std::string rowLabel(int row) const;
    // The counts the input grid is laid out for.
    const GridCounts& gridLayout() const { return m_layout; }
    // The unknown (1-based) whose column `col` of the input grid is, by that layout; 0 for the
    // name and right-hand-side columns and beyond the last unknown.
    int32_t unknownOfColumn(int col) const {
        return col >= 2 && col <= m_layout.N + 1 ? col - 1 : 0;
    }
    // Whether some unknown of the input grid is marked integer or binary.
    bool inputHasMarks() const;

    // --- the user's typing ----------------------------------------------------------------
    // Typing in a cell of the input grid, or in an edit: work the user would not want to lose
    // unasked. Either ends the link to a model the input was laid from.
    void noteGridTyping();
    void noteEditTyping();
    // Whether the grid, or the grid or the edits, hold typing not yet written to a file or
    // replaced by an opened file or a new table. A new table keeps the edits, so it only
    // asks about the grid; an open replaces both.
    bool gridTyped() const { return m_edited.grid || m_edited.modelText; }
    bool workTyped() const { return m_edited.grid || m_edited.edits || m_edited.modelText; }
    // The input was written to a file: nothing typed is at risk any more.
    void inputWritten() { m_edited = {}; }
    // Whether an open or LP text may replace the input: nothing typed is at risk, or the view
    // lets it (SessionView::replaceTypedWork()).
    // LP text applied again replaces only what LP text laid in: the model window still holds it.
    bool mayReplaceInput(bool byModelText = false);

    // --- open ------------------------------------------------------------------------------
    // The open command on the data file at `path`: shows its messages and error report, the
    // objective's name, and lays out the results grids when the file was read.
    OpenResult openDataFile(const std::string& path);
    // A model from an LP or MPS file, transformed: its standard form into the problem and the
    // input grid, with the standard form's row and column names and the objective's name, as
    // an opened data file would be. `fileName` is the name the report shows. Linked to no
    // model: the problem is the standard form itself.
    OpenResult openModel(const model::StandardForm& sf, Real eps, const std::string& fileName);
    // The same, and the session keeps `model` and `sf` linked to the input until an edit or a
    // cell changes (endLink()): while linked, an optimal solve adds the answer in the model's
    // terms (userSolution(), the report's section «Решение исходной задачи»).
    OpenResult openModel(const model::Model& model, model::StandardForm sf, Real eps,
                         const std::string& fileName);
    // The open command on an LP or MPS file: read, transformed and laid in, linked. A file
    // that is not there, a reader's error, a model too large or one that cannot be met are
    // shown as a message and change nothing; the summary is the caller's to show (message()).
    ModelOpen openModelFile(const std::string& path, model::FileFormat format);
    // LP text typed by the user (the model window), laid in the same way; its errors name
    // kModelTextName. The problem is the user's own, named by no file. Shows nothing: the
    // caller shows the error at its line and the summary.
    static constexpr const char* kModelTextName = "Модель";
    ModelOpen applyModelText(std::string_view lpText);

    // --- the user's model ------------------------------------------------------------------
    // Every opened problem is linked to the model it stands for until an edit or a cell
    // changes: an LP or MPS file's (or LP text's) model, through its standard form, or a data
    // file's, which is its own model (row i is row i, column j column j, named by its name
    // files) and keeps its report as it is.
    bool linked() const { return m_link != nullptr; }
    // Linked to a model that was transformed into the standard form: the report and the
    // results window show the answer in its terms («Решение исходной задачи»).
    bool linkedTransformed() const { return m_link != nullptr && m_link->standard.has_value(); }
    // The transformed model and its standard form; null otherwise (a data file's link too).
    const model::Model* linkedModel() const {
        return linkedTransformed() ? &m_link->model : nullptr;
    }
    const model::StandardForm* linkedStandardForm() const {
        return linkedTransformed() ? &*m_link->standard : nullptr;
    }
    // The model the problem stands for, whatever it was opened from; null while nothing is
    // linked. A data file's model is read from its files when first asked for.
    const model::Model* userModel() const { return m_link ? &linkModel() : nullptr; }
    // An edit or a cell changed: the problem is now the standard form the user edits, and the
    // results and the report say nothing of the model any more.
    void endLink();
    // The last solve's answer in the linked model's terms: after an optimal solve while
    // linked, nothing otherwise. For a data file it is made when first asked for (the windows
    // show its answer in the method's own terms and never ask).
    const std::optional<model::UserSolution>& userSolution() const;
    // The section «Решение исходной задачи» as the report holds it; empty without an answer
    // and for a data file's problem, whose report is its own.
    std::vector<std::string> userSolutionLines() const;
    // The model the problem stands for: the linked model; otherwise the model of the write
    // command's checked `contents` (the edits and the input grid), named from the grid, with
    // the results' objective name.
    model::Model modelOfInput(const datafile::DataFileContents& contents) const;
    // The write command's contents of the edits and the input grid; `error` not empty: a
    // count or a cell that does not convert, in the write command's words.
    datafile::DataFileContents inputContents(const EditTexts& edits) const;
    // The model as LP text, for the model window: the linked model, else the input's. Returns
    // nothing and sets `error` when a count or a cell does not convert.
    std::optional<std::string> modelText(const EditTexts& edits, std::string& error) const;

    // --- solve -----------------------------------------------------------------------------
    // Empties the report.
    void clearReport();
    // Whether the results and the report hold a solve's end, whatever its outcome (not after
    // a stopped solve, nor once a new solve has emptied them).
    bool hasResults() const { return m_outcome != SolveOutcome::Stopped; }
    // The Solve button's road: the report emptied, the grid transfer, the shape and
    // right-hand-side checks, then solveLoaded(). A cell that does not convert throws
    // text::ConversionError.
    SolveResult solveInput(const EditTexts& edits);
    // The loaded problem solved (trace log, report writers), the unbounded column's message,
    // the solution check, then the automatic exact check (and the exact solve when it does
    // not confirm the answer) with its report section. Throws FileError when the trace log
    // fails.
    SolveResult solveLoaded();

    // --- the sparse engine ---------------------------------------------------------------------
    // `model` (of any size) solved by the sparse engine, as it stands: the trace log holds the
    // engine's summary, the report the engine's note, its verdict and, for an optimum, the
    // answer in the model's terms («Решение исходной задачи»), which userSolution() then is.
    // The problem record and the input stay as they were. The view's stop command ends the
    // solve unless `options` has a stop request of its own. Throws FileError when the trace
    // log fails.
    // `run`, when given, runs the engine's call (another thread, while the window waits); it
    // must then bring its own stop request in `options`.
    using EngineRunner =
        std::function<engine::SparseAnswer(const std::function<engine::SparseAnswer()>&)>;
    engine::SparseAnswer solveSparse(const model::Model& model, engine::SparseOptions options = {},
                                     const EngineRunner& run = nullptr);
    // The model the sparse engine solves for the input: the one only the engine takes (an LP
    // or MPS file beyond the method's limits), else the linked model; null otherwise.
    const model::Model* engineModel() const;
    // Whether the last solve was the sparse engine's: its analyses below (the exact check,
    // the ranges, the explanation) then read the engine's final basis, laid into a record of
    // the model's standard form (EngineBasis.h), not the problem record.
    bool solvedSparse() const { return m_sparse.has_value(); }
    const std::optional<engine::SparseAnswer>& sparseAnswer() const { return m_sparse; }
    // That record (made when first asked for); null, with `why`, when the model's standard
    // form is beyond the method's limits or the basis does not map.
    const EngineRecord* engineRecord(std::string* why = nullptr) const;

    // --- integer models (IntegerSolve.cpp) -----------------------------------------------------
    // `model` solved as an integer model (the own branch and bound or GLPK's branch and cut, as
    // `options` asks): the trace log holds the search's summary, the report the outcome, the
    // section «Целочисленное решение» and the exact check of the integer plan and, for a plan,
    // the answer in the model's terms («Решение исходной задачи», userSolution(): the plan with
    // the marginals of the relaxation with the integer columns fixed). The problem record and
    // the input stay as they were; lastMip() keeps the answer (the tree included) until the
    // next solve. The view's stop command ends the search (keeping the best plan) unless
    // `options` has a stop request of its own; `run` as solveSparse's.
    using MipRunner = std::function<mip::MipAnswer(const std::function<mip::MipAnswer()>&)>;
    mip::MipAnswer solveInteger(const model::Model& model, mip::MipOptions options = {},
                                const MipRunner& run = nullptr);
    // `model`'s linear relaxation (every column continuous) solved by the sparse engine as
    // solveSparse() does; lastMip() is then empty.
    engine::SparseAnswer solveRelaxation(const model::Model& model,
                                         engine::SparseOptions options = {},
                                         const EngineRunner& run = nullptr);
    // The last integer search and the model it searched (null unless the last solve was one).
    const mip::MipAnswer* lastMip() const { return m_mip.get(); }
    const model::Model* lastMipModel() const { return m_mip ? &m_mipModel : nullptr; }

    // --- the exact check ----------------------------------------------------------------------
    // Whether solveLoaded() runs the automatic check (on unless turned off; kvado-cli runs its
    // own on request, so its report stays as it was).
    void setExactCheckAfterSolve(bool on) { m_exactAfterSolve = on; }
    // The last solve's exact check, as the automatic one or the one asked for left it.
    const ExactCheck& exactCheck() const { return m_exactCheck; }
    // The check the user asks for (any size; the check and the exact solve share `seconds`, 0:
    // no limit) and the exact solve when it does not confirm the answer (unless `exactSolve` is
    // false); setting `cancel` stops both (the verdict is then Skipped). It only reads the
    // problem, so another thread may run it while this one waits.
    ExactCheck runExactCheck(const std::atomic<bool>* cancel = nullptr, bool exactSolve = true,
                             double seconds = 0) const;
    // Keeps a check run by runExactCheck() and appends its report section. A stopped check
    // changes nothing; returns whether it was kept.
    bool acceptExactCheck(ExactCheck check);

    // --- analyses of an optimal solve -------------------------------------------------------
    // The sensitivity ranges of the optimal basis the last solve left, named from the input
    // grid, or in the linked model's terms while there is one. Only after an optimal solve;
    // computed when called, never by a plain solve.
    analysis::Ranges ranges() const;
    // Whether ranges() has a basis to range: after an optimal solve; for the sparse engine,
    // through the record's basis inverse up to kEngineInverseRows rows of the standard form,
    // beyond that (or where the record cannot be made) through GLPK's own ranging within
    // rangingSeconds() (`why` says why not: the budget ran out, or GLPK failed). The engine's
    // ranges are made once per solve, by the first of these calls.
    bool rangesAvailable(std::string* why = nullptr) const;
    // The budget of GLPK's ranging (5 s unless set): every basic column costs it a row of the
    // simplex table, so a very large model is not ranged within a few seconds.
    void setRangingSeconds(double seconds) { m_rangingSeconds = seconds; }
    double rangingSeconds() const { return m_rangingSeconds; }
    // Appends the section «Анализ чувствительности» to the end of the report.
    void writeRangesReport(const analysis::Ranges& ranges);
    // Appends a picture (the graphical method's) under its heading and a line of words.
    void writePictureReport(const std::string& heading, const std::string& caption,
                            report::Picture picture);

    // --- why there is no answer ---------------------------------------------------------------
    // The last solve's explanation (Kind None unless it was infeasible or unbounded and the
    // explanation checked) and the names it is told with, from the input grid.
    const analysis::Explanation& explanation() const { return m_explanation; }
    Names explainNames() const;
    // The record the explanation speaks of: the problem, or the sparse engine's record.
    const LpProblem& explainedProblem() const;
    // The same in the terms of the model the problem stands for: the linked model's rows and
    // columns, or the input grid's names while nothing is linked.
    UserExplanation userExplanation() const;
    // Whether solveLoaded() explains an infeasible or unbounded solve (on unless turned off).
    void setExplainAfterSolve(bool on) { m_explainAfterSolve = on; }
    // --- the passes of a solve («Пошаговое решение») -----------------------------------------
    // Whether the solves from now on record their passes (off: a solve pays nothing for it).
    void setRecordSteps(bool on, StepRecorder::Limits limits = {}) {
        m_recordSteps = on;
        m_stepLimits = limits;
    }
    bool recordSteps() const { return m_recordSteps; }
    // The passes of the last solve: as it recorded them, or, when it did not, recorded now by
    // a second solve of the same problem on a copy (its trace log in a scratch folder; the
    // session's problem, report and Kvaq.log stay as they are). Null when the problem loaded
    // now has not been solved.
    const StepRecorder* steps();
    // The names the passes show, from the input grid.
    StepNames stepNames(const StepRecorder& steps) const;

    // --- SolverHost --------------------------------------------------------------------------
    void setProgressMaximum(int32_t maximum) override;
    void setProgressPosition(int32_t position) override;
    void showMessage(const std::string& utf8) override;
    void solveEnding(SolveOutcome outcome) override { m_ending = outcome; }
    void writeSolutionReport(const LpProblem& problem) override;
    void writeShadowPrices(const LpProblem& problem) override;
    char decimalSeparator() const override { return m_separator; }
    bool stopRequested() override { return m_view != nullptr && m_view->stopRequested(); }

private:
    class OpenProgress;
    report::ReportContext reportContext() const;
    // Shows `message` when there is one; returns whether there was.
    bool refuse(const std::string& message);
    // `sharedLimit`: the exact solve gets what the check left of `exactSeconds`.
    ExactCheck exactCheckOf(const analysis::VerifyOptions& options, double exactSeconds,
                            bool exactSolve, bool sharedLimit = false) const;
    // The automatic exact check and the explanation of a sparse solve, on its record.
    void analyseSparse();
    // The explanation of an engine's answer for a model beyond the record, from the exact
    // check on the model; false, with the check's reason, when that proved nothing (in its
    // budget).
    bool explainOnTheModel(std::string& whyNot);
    static constexpr double kModelExplainSeconds = 10;
    // Another solve, an open or the link's end: the last sparse solve's answer, record and
    // analyses go.
    void forgetSparse();
    analysis::ExplainOptions explainOptions();
    void writeExactSection(const ExactCheck& check);
    ModelOpen layModel(const model::Model& model, const std::string& fileName,
                       bool byModelText = false);
    struct Link {
        model::Model model;
        // None for a data file: its problem is the model itself.
        std::optional<model::StandardForm> standard;
        // A data file's path, whose model is read when first asked for.
        std::string dataPath;
        bool modelRead = false;
    };
    // The linked model, a data file's read now if it was not yet.
    const model::Model& linkModel() const;

    LpProblem& m_problem;
    StringGridModel m_ownGrid;
    StringGridModel* m_inputGrid;
    report::ReportDocument m_report;
    report::ResultsModel m_results;
    report::SolutionCheck m_check;
    SolveOutcome m_outcome = SolveOutcome::Stopped; // the last solve's
    SolveOutcome m_ending = SolveOutcome::Optimal;  // the running solve's, told at its end
    ExactCheck m_exactCheck;
    bool m_exactAfterSolve = true;
    analysis::Explanation m_explanation;
    // The explanation of a model too large for the engine's record, made on the model itself.
    std::optional<UserExplanation> m_modelExplanation;
    bool m_explainAfterSolve = true;
    SessionView* m_view = nullptr;
    char m_separator = ',';
    std::function<std::string()> m_dateTime;
    std::string m_logFolder;
    SolveOptions m_solveOptions;
    bool m_headless = false;
    bool m_recordSteps = false;
    StepRecorder::Limits m_stepLimits;
    // Whether the problem loaded now is the one the last solve solved.
    bool m_solvedLoaded = false;
    std::unique_ptr<StepRecorder> m_steps; // the last solve's passes, when recorded
    // The counts the input grid is laid out for (the grid at start: 1, 1, 1 and 3).
    GridCounts m_layout{1, 1, 1, 3};
    // Mutable: a data file's model and answer are made when first asked for.
    mutable std::unique_ptr<Link> m_link;
    std::unique_ptr<model::Model> m_engineOnly;   // a model the method cannot take
    const model::Model* m_solvedModel = nullptr;  // the model of the last sparse solve
    std::optional<engine::SparseAnswer> m_sparse; // and its answer
    mutable std::unique_ptr<EngineRecord> m_engineRecord;
    mutable std::string m_engineRecordWhy; // why there is none, once asked
    // The engine's ranges by GLPK (EngineRanging.h), or why there are none, once asked.
    mutable std::optional<analysis::Ranges> m_engineRanges;
    mutable std::string m_engineRangesWhy;
    double m_rangingSeconds = 5;
    mutable std::optional<model::UserSolution> m_userSolution;
    std::unique_ptr<mip::MipAnswer> m_mip; // the last integer search
    model::Model m_mipModel;               // the model it searched (or whose relaxation)
    struct Edited {
        bool grid = false, edits = false;
        bool modelText = false; // laid in from the model window's text, not typed since
    } m_edited;
};

} // namespace kvado::session
