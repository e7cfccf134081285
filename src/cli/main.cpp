// kvado-cli: the solver without windows, for scripts, tests and benchmarks.
//
//   kvado-cli solve FILE [--format dat|lp|mps] [--json] [--ranges] [--verify] [--exact]
//                        [--time-limit S] [--steps] [--log-dir DIR] [--rtf FILE] [--threads 1|2]
//                        [--engine method|sparse] [--relax] [--mip-gap G]
//                        [--mip-engine auto|own|glpk]
//   kvado-cli convert IN OUT [--format dat|lp|mps]
//   kvado-cli generate N L EPS [--seed S] [--dir DIR]
//
// Exit codes: 0 optimal, 2 no feasible solution, 3 unbounded, 4 the solve was stopped (the pass
// limit against a solve that would not end; an integer search's time limit, with or without an
// integer plan), 1 bad input or usage.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "analysis/Presentation.h"
#include "analysis/RangingReport.h"
#include "base/FileIo.h"
#include "datafile/DataFile.h"
#include "datafile/Generator.h"
#include "mip/MipTree.h"
#include "model/ModelIo.h"
#include "report/RtfWriter.h"
#include "report/StepsReport.h"
#include "session/EngineSolve.h"
#include "session/Explanation.h"
#include "session/IntegerSolve.h"
#include "session/Session.h"
#include "text/Json.h"
#include "text/NumberText.h"

using namespace kvado;

namespace {

int usage() {
    std::fputs(
        "usage: kvado-cli solve FILE [--format dat|lp|mps] [--json] [--ranges] [--verify] "
        "[--exact]\n"
        "                           [--time-limit S] [--steps] [--log-dir DIR] [--rtf FILE]\n"
        "                           [--threads 1|2] [--engine method|sparse] [--relax]\n"
        "                           [--mip-gap G] [--mip-engine auto|own|glpk]\n"
        "       kvado-cli convert IN OUT [--format dat|lp|mps]\n"
        "       kvado-cli generate N L EPS [--seed S] [--dir DIR]\n",
        stderr);
    return 1;
}

// A message of the windows on one line: their line ends become blanks.
std::string oneLine(const std::string& text) {
    std::string line;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') {
            line += ' ';
            ++k;
        } else {
            line += text[k];
        }
    }
    return line;
}

int badInput(const std::string& file, const std::string& what) {
    std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), oneLine(what).c_str());
    return 1;
}

// The CLI's numbers use "." like the data files.
constexpr char kSeparator = '.';

std::string nowText() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char date[32], time[32];
    std::strftime(date, sizeof date, "%d.%m.%Y", &tm);
    std::strftime(time, sizeof time, "%H:%M:%S", &tm);
    return report::reportDateTime(date, time, tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0);
}

const char* statusName(SolveOutcome o) {
    switch (o) {
    case SolveOutcome::Optimal:
        return "optimal";
    case SolveOutcome::Infeasible:
        return "infeasible";
    case SolveOutcome::Unbounded:
        return "unbounded";
    case SolveOutcome::PassLimit:
        return "pass_limit";
    case SolveOutcome::Stopped:
        return "stopped";
    case SolveOutcome::Overflow:
        return "overflow";
    }
    return "?";
}

int exitCode(SolveOutcome o) {
    switch (o) {
    case SolveOutcome::Optimal:
        return 0;
    case SolveOutcome::Infeasible:
        return 2;
    case SolveOutcome::Unbounded:
        return 3;
    case SolveOutcome::PassLimit:
    case SolveOutcome::Stopped:
    case SolveOutcome::Overflow:
        return 4;
    }
    return 1;
}

// The format of FILE: --format, else its extension; any other extension reads as a data file.
std::optional<model::FileFormat> formatOf(const std::string& file, const std::string& option) {
    if (!option.empty()) return model::formatNamed(option);
    return model::formatOfPath(file).value_or(model::FileFormat::Data);
}

// A reader's notes (a dropped objective row, a negative upper bound taken as a free lower one).
void printNotes(const std::string& file, const std::vector<std::string>& notes) {
    for (const auto& note : notes)
        std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), note.c_str());
}

struct SolveArgs {
    std::string file, logDir, rtf, formatOption;
    bool json = false, ranges = false, verify = false, exact = false, steps = false;
    // --threads 1: the pivot never shares its columns (for CPU-time comparisons).
    bool oneThread = false;
    // --engine method|sparse; none: the method for data files, the engine for LP and MPS files.
    std::optional<session::Engine> engine;
    // --time-limit S: the exact check and the exact solve share S seconds (0: no limit); an
    // integer search stops after S seconds when it is given (none otherwise).
    double timeLimit = 60;
    bool timeLimitGiven = false;
    // --relax: a model with integer marks solved as its linear relaxation.
    bool relax = false;
    // --mip-gap G: an integer search ends once its relative gap is at most G.
    double mipGap = 0;
    mip::MipEngine mipEngine = mip::MipEngine::Auto;
};

std::optional<SolveArgs> parseSolveArgs(const std::vector<std::string>& args) {
    SolveArgs a;
    for (size_t k = 0; k < args.size(); ++k) {
        const bool value = k + 1 < args.size();
        session::Engine e;
        if (args[k] == "--format" && value)
            a.formatOption = args[++k];
        else if (args[k] == "--engine" && value && session::engineNamed(args[k + 1], e))
            a.engine = e, ++k;
        else if (args[k] == "--json")
            a.json = true;
        else if (args[k] == "--ranges")
            a.ranges = true;
        else if (args[k] == "--verify")
            a.verify = true;
        else if (args[k] == "--exact")
            a.exact = true;
        else if (args[k] == "--time-limit" && value && text::toPointReal(args[k + 1]) &&
                 *text::toPointReal(args[k + 1]) >= 0)
            a.timeLimit = static_cast<double>(*text::toPointReal(args[++k])),
            a.timeLimitGiven = true;
        else if (args[k] == "--relax")
            a.relax = true;
        else if (args[k] == "--mip-gap" && value && text::toPointReal(args[k + 1]) &&
                 *text::toPointReal(args[k + 1]) >= 0)
            a.mipGap = static_cast<double>(*text::toPointReal(args[++k]));
        else if (args[k] == "--mip-engine" && value &&
                 (args[k + 1] == "auto" || args[k + 1] == "own" || args[k + 1] == "glpk"))
            a.mipEngine = args[k + 1] == "own"    ? mip::MipEngine::Own
                          : args[k + 1] == "glpk" ? mip::MipEngine::Glpk
                                                  : mip::MipEngine::Auto,
            ++k;
        else if (args[k] == "--steps")
            a.steps = true;
        else if (args[k] == "--log-dir" && value)
            a.logDir = args[++k];
        else if (args[k] == "--rtf" && value)
            a.rtf = args[++k];
        else if (args[k] == "--threads" && value && (args[k + 1] == "1" || args[k + 1] == "2"))
            a.oneThread = args[++k] == "1";
        else if (a.file.empty() && args[k].rfind("--", 0) != 0)
            a.file = args[k];
        else
            return std::nullopt;
    }
    if (a.file.empty()) return std::nullopt;
    return a;
}

// An LP or MPS file opened through the session, its standard form what the solver sees.
// Returns the exit code when there is nothing to solve, nothing when it was opened.
std::optional<int> openModelToSolve(session::Session& session, const SolveArgs& a,
                                    model::FileFormat format) {
    const session::ModelOpen laid = session.openModelFile(a.file, format);
    if (laid.engineOnly) {
        // The method was asked for a model only the engine takes: its transformation says why.
        try {
            (void)model::toStandardForm(*session.engineModel());
        } catch (const ProblemSizeError& e) {
            return badInput(a.file, e.what());
        }
        return badInput(a.file, laid.summary);
    }
    if (laid.opened) {
        printNotes(a.file, laid.notes);
        return std::nullopt;
    }
    // The reader's message names the file and the line itself.
    if (laid.readError)
        return std::fprintf(stderr, "kvado-cli: %s\n", oneLine(laid.reason).c_str()), 1;
    if (laid.conflict.kind == analysis::Explanation::Kind::None)
        return badInput(a.file, laid.reason);
    // Nothing to solve: a row without coefficients or a column's bounds rule it out.
    printNotes(a.file, laid.notes);
    if (a.json) {
        text::JsonWriter w;
        w.beginObject().key("status").string("infeasible").key("objective").integer(0);
        w.key("x").beginArray().endArray().key("pi").beginArray().endArray();
        w.key("passes").integer(0);
        session::explanationJson(w, laid.conflict);
        if (a.steps) w.key("steps").beginArray().endArray();
        std::fputs((w.endObject().text() + "\n").c_str(), stdout);
    }
    std::fprintf(stderr, "kvado-cli: %s: %s\n", a.file.c_str(), laid.reason.c_str());
    return 2;
}

// A data file opened through the session (a missing name file leaves the placeholders; the
// hints are the windows'). Returns the exit code when it cannot be solved.
std::optional<int> openDataToSolve(session::Session& session, const SolveArgs& a) {
    const session::OpenResult opened = session.openDataFile(a.file);
    if (opened.status != session::OpenStatus::Opened)
        return badInput(a.file, !opened.badNumber ? opened.reason
                                : opened.badNumberPlace.empty()
                                    ? opened.reason + " (a token that is not a number)"
                                    : opened.reason + ": " + opened.badNumberPlace);
    if (!opened.shortFileNote.empty())
        std::fprintf(stderr, "kvado-cli: %s: %s\n", a.file.c_str(), opened.shortFileNote.c_str());
    // The method starts from the right-hand sides as basic values and compares against Eps:
    // a tolerance that is not positive or a negative right-hand side gives wrong answers.
    const LpProblem& problem = session.problem();
    if (!session::toleranceAccepted(problem.eps))
        return badInput(a.file, "the tolerance Eps must be above 0");
    if (const int32_t i = session::negativeRightHandSide(problem))
        return badInput(a.file, "the right-hand side B[" + std::to_string(i) +
                                    "] is negative; multiply that constraint by -1");
    return std::nullopt;
}

// What the solve came to, as the session answers it, for printing.
struct SolveAnswer {
    SolveOutcome outcome = SolveOutcome::Stopped;
    // --ranges: the ranges of the optimal basis (none without an optimum: the member is null).
    std::optional<analysis::Ranges> ranges;
    std::vector<std::string> stepsLines;
    // --verify, --exact: the exact check (for the standard form the method solved).
    std::optional<session::ExactCheck> exact;
};

SolveAnswer solveOpened(session::Session& session, const SolveArgs& a) {
    SolveAnswer r;
    // Every pass recorded as the solve makes it: the JSON has one entry per pass (the pass limit
    // bounds them), the detail of the rows only within the recorder's budget.
    StepRecorder::Limits stepLimits;
    stepLimits.passes = INT64_MAX;
    session.setRecordSteps(a.steps, stepLimits);
    r.outcome = session.solveLoaded().outcome;
    if (a.steps) {
        const StepRecorder& recorded = *session.steps();
        const StepNames names = session.stepNames(recorded);
        if (!a.json)
            for (const auto& para :
                 report::stepsDocument(session.problem(), recorded, names, kSeparator))
                r.stepsLines.push_back(para.text());
    }
    // The ranges of the optimal basis, computed only when asked: the section at the end of the
    // report (so the RTF has it too) and the JSON member. Without an optimum there is no basis
    // to range: the member is null and the report has no section.
    if (a.ranges && r.outcome == SolveOutcome::Optimal) {
        r.ranges = session.ranges();
        session.writeRangesReport(*r.ranges);
    }
    if (!a.rtf.empty()) writeFileBytes(a.rtf, report::writeRtf(session.report().paragraphs()));
    if (a.verify || a.exact) r.exact = session.runExactCheck(nullptr, a.exact, a.timeLimit);
    return r;
}

void printJson(session::Session& session, const SolveArgs& a, const SolveAnswer& r) {
    const LpProblem& p = session.problem();
    // JSON has no infinity or NaN: such a number is null, and "non_finite" names each one.
    std::string nonFinite;
    text::JsonWriter w;
    auto number = [&nonFinite, &w](Real v, const std::string& where) {
        if (!std::isfinite(v))
            nonFinite += (nonFinite.empty() ? "" : ", ") + where + " = " + text::formatRoundTrip(v);
        w.number(v);
    };
    w.beginObject().key("status").string(statusName(r.outcome)).key("objective");
    number(p.objectiveValue(), "objective");
    w.key("x").beginArray();
    for (int32_t j = 1; j <= p.N; ++j)
        number(p.value(j), "x[" + std::to_string(j) + "]");
    w.endArray().key("pi").beginArray();
    for (int32_t i = 1; i <= p.M; ++i)
        number(p.shadowPrice(i), "pi[" + std::to_string(i) + "]");
    w.endArray().key("passes").integer(p.pass);
    if (!nonFinite.empty()) w.key("non_finite").string(nonFinite + ": beyond the 80-bit range");
    // The answer in the user's terms: the model's columns and rows, its sense and constant.
    if (const auto& user = session.userSolution())
        model::userTermsJson(w.key("model"), *session.userModel(), *user);
    session::explanationJson(w, session.userExplanation());
    if (a.ranges && r.ranges)
        analysis::rangesJson(w.key("ranges"), *r.ranges);
    else if (a.ranges)
        w.key("ranges").null();
    if (a.steps) {
        const StepRecorder& recorded = *session.steps();
        report::stepsJson(w.key("steps"), recorded, session.stepNames(recorded));
    }
    if (r.exact) {
        analysis::verificationJson(w.key("verification"), r.exact->verification);
        if (a.exact && r.exact->exactRun)
            analysis::exactJson(w.key("exact"), r.exact->exact);
        else if (a.exact)
            w.key("exact").null();
    }
    std::fputs((w.endObject().text() + "\n").c_str(), stdout);
}

void printText(const session::Session& session, const SolveAnswer& r) {
    std::string text;
    for (const auto& line : session.report().lines())
        text += line + "\n";
    if (!r.stepsLines.empty()) {
        text += "\n";
        for (const auto& line : r.stepsLines)
            text += line + "\n";
    }
    if (r.exact) {
        text += "\n";
        for (const auto& line : analysis::reportSection(
                 r.exact->verification, r.exact->exactRun ? &r.exact->exact : nullptr, kSeparator))
            text += line + "\n";
    }
    std::fputs(text.c_str(), stdout);
    if (r.outcome == SolveOutcome::Infeasible)
        std::fputs("kvado-cli: the constraints have no feasible solution\n", stderr);
    if (r.outcome == SolveOutcome::Unbounded)
        std::fputs("kvado-cli: the objective is unbounded\n", stderr);
}

// What the sparse engine's road prints: the report, or the JSON object whose "x" and "pi" are
// the model's column values and row marginals, "objective" the model's, in its sense; then the
// analyses asked for, on the engine's basis, in the members and sections the method's have.
void printLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

// The engine's answer as the JSON object kvado-cli prints, on the standard output as it is
// made: a model's plan may hold a million numbers.
void printSparseJson(const session::Session& session, const engine::SparseAnswer& a,
                     const model::Model& m, const SolveArgs& args,
                     const std::optional<analysis::Ranges>& ranges,
                     const std::optional<session::ExactCheck>& exact) {
    const bool optimal = a.status == engine::SparseStatus::Optimal;
    text::JsonWriter w(
        [](std::string_view piece) { std::fwrite(piece.data(), 1, piece.size(), stdout); });
    w.beginObject().key("status").string(engine::sparseStatusName(a.status));
    w.key("objective").number(a.objective).key("x").beginArray();
    for (const Real x : a.columnValue)
        w.number(x);
    w.endArray().key("pi").beginArray();
    for (const Real y : a.rowMarginal)
        w.number(y);
    w.endArray().key("passes").integer(a.iterations).key("engine").string("sparse");
    if (optimal) model::userTermsJson(w.key("model"), m, *session.userSolution());
    session::explanationJson(w, session.userExplanation());
    if (ranges)
        analysis::rangesJson(w.key("ranges"), *ranges);
    else if (args.ranges)
        w.key("ranges").null();
    if (exact) {
        analysis::verificationJson(w.key("verification"), exact->verification);
        if (args.exact && exact->exactRun)
            analysis::exactJson(w.key("exact"), exact->exact);
        else if (args.exact)
            w.key("exact").null();
    }
    std::fputs(w.endObject().text().c_str(), stdout);
    std::fputc('\n', stdout);
}

// kvado-cli's exit code for the engine's answer, with its line on stderr.
int sparseExitCode(const engine::SparseAnswer& a, const std::string& file) {
    switch (a.status) {
    case engine::SparseStatus::Optimal:
        return 0;
    case engine::SparseStatus::Infeasible:
        if (!a.failure.empty())
            std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), a.failure.c_str());
        std::fputs("kvado-cli: the constraints have no feasible solution\n", stderr);
        return 2;
    case engine::SparseStatus::Unbounded:
        std::fputs("kvado-cli: the objective is unbounded\n", stderr);
        return 3;
    case engine::SparseStatus::Stopped:
        std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), a.failure.c_str());
        return 4;
    case engine::SparseStatus::Failed:
        break;
    }
    std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), a.failure.c_str());
    return 1;
}

int printSparse(session::Session& session, const engine::SparseAnswer& a, const model::Model& m,
                const SolveArgs& args) {
    const bool optimal = a.status == engine::SparseStatus::Optimal;
    std::optional<analysis::Ranges> ranges;
    if (args.ranges) {
        std::string why;
        if (session.rangesAvailable(&why)) {
            ranges = session.ranges();
            session.writeRangesReport(*ranges);
        } else if (optimal) {
            std::fprintf(stderr, "kvado-cli: %s: no ranges: %s\n", args.file.c_str(), why.c_str());
        }
    }
    if (!args.rtf.empty())
        writeFileBytes(args.rtf, report::writeRtf(session.report().paragraphs()));
    std::optional<session::ExactCheck> exact;
    if (args.verify || args.exact)
        exact = session.runExactCheck(nullptr, args.exact, args.timeLimit);
    if (args.json) {
        printSparseJson(session, a, m, args, ranges, exact);
    } else {
        for (const auto& line : session.report().lines())
            printLine(line);
        if (exact) {
            printLine("");
            for (const auto& line : analysis::reportSection(
                     exact->verification, exact->exactRun ? &exact->exact : nullptr, kSeparator))
                printLine(line);
        }
    }
    return sparseExitCode(a, args.file);
}

// The sparse engine's road: the model as it stands, with no standard form, and the analyses on
// its final basis. Nothing returned: the method solves. --steps records the method's passes,
// so without a choice of engine it takes the method where the model fits it.
std::optional<int> sparseToSolve(session::Session& session, const SolveArgs& a,
                                 model::FileFormat format, std::optional<model::Model> read) {
    const session::Engine engine =
        a.engine.value_or(a.steps ? session::Engine::Method : session::defaultEngine(format));
    if (engine == session::Engine::Method && (a.engine || format == model::FileFormat::Data))
        return std::nullopt;
    model::Model userModel;
    std::vector<std::string> notes;
    try {
        if (read) // read already (and its notes printed) by the integer road
            userModel = std::move(*read);
        else
            userModel = model::readModelFile(a.file, format, &notes);
    } catch (const model::ReadError& e) {
        // The message names the file and the line itself.
        std::fprintf(stderr, "kvado-cli: %s\n", oneLine(e.what()).c_str());
        return 1;
    } catch (const std::exception& e) {
        return badInput(a.file, e.what());
    }
    const bool fits = format == model::FileFormat::Data || session::methodCanTake(userModel);
    if (engine == session::Engine::Method && fits) return std::nullopt;
    // A row or a column that no plan can meet is found by the transformation before any
    // solve, and told as the method's road tells it, in the model's terms.
    if (fits && !a.engine && format != model::FileFormat::Data &&
        model::transformMayRuleOut(userModel) &&
        !model::toStandardForm(userModel).infeasible.empty())
        return std::nullopt;
    try {
        const engine::SparseAnswer answer = session.solveSparse(userModel);
        printNotes(a.file, notes);
        if (a.steps)
            std::fprintf(stderr,
                         "kvado-cli: %s: --steps records the method's passes, which cannot take "
                         "this model\n",
                         a.file.c_str());
        return printSparse(session, answer, userModel, a);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvado-cli: %s: %s\n", a.file.c_str(), oneLine(e.what()).c_str());
        return 1;
    }
}

// The integer search's answer as the JSON object kvado-cli prints.
std::string integerJson(const session::Session& session, const mip::MipAnswer& answer,
                        const model::Model& userModel) {
    const auto& user = session.userSolution();
    const bool plan = answer.hasSolution();
    text::JsonWriter w;
    w.beginObject().key("status").string(mip::mipStatusName(answer.status));
    w.key("objective").number(plan ? std::optional<Real>(answer.objective) : std::nullopt);
    w.key("x").beginArray();
    for (const Real x : answer.plan)
        w.number(x);
    w.endArray().key("pi").beginArray();
    if (user)
        for (const Real y : user->rowMarginal)
            w.number(y);
    w.endArray().key("passes").integer(answer.nodes);
    session::mipJson(w.key("mip"), answer);
    if (user) model::userTermsJson(w.key("model"), userModel, *user);
    return w.endObject().text() + "\n";
}

// kvado-cli's exit code for the integer search's answer, with its line on stderr.
int integerExitCode(const mip::MipAnswer& answer, const std::string& file) {
    switch (answer.status) {
    case mip::MipStatus::Optimal:
        return 0;
    case mip::MipStatus::Infeasible:
        std::fputs("kvado-cli: the model has no integer solution\n", stderr);
        return 2;
    case mip::MipStatus::Unbounded:
        std::fputs("kvado-cli: the relaxation is unbounded\n", stderr);
        return 3;
    case mip::MipStatus::Feasible:
        std::fprintf(stderr,
                     "kvado-cli: %s: the search was stopped with an integer solution (gap "
                     "%s)\n",
                     file.c_str(), text::formatRoundTrip(answer.gap).c_str());
        return 4;
    case mip::MipStatus::Stopped:
        break;
    }
    if (!answer.failure.empty()) {
        std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), answer.failure.c_str());
        return 1;
    }
    std::fprintf(stderr, "kvado-cli: %s: the search was stopped without an integer solution\n",
                 file.c_str());
    return 4;
}

// An LP or MPS model with integer marks, unless --relax: the integer search. The report text,
// or the JSON object with the integer plan in "x" and "model" and the member "mip". Nothing
// returned: the model has no integer marks (or the relaxation is asked for).
// `read`: the model it read, for the linear road (its notes not yet printed).
std::optional<int> integerToSolve(session::Session& session, const SolveArgs& a,
                                  model::FileFormat format, std::optional<model::Model>& read) {
    if (format == model::FileFormat::Data) return std::nullopt;
    model::Model userModel;
    std::vector<std::string> notes;
    try {
        userModel = model::readModelFile(a.file, format, &notes);
    } catch (const std::exception&) {
        return std::nullopt; // the linear road reports it as it always has
    }
    if (a.relax || !model::hasIntegers(userModel)) {
        if (notes.empty()) read = std::move(userModel);
        return std::nullopt;
    }
    printNotes(a.file, notes);
    if (a.ranges || a.verify || a.exact || a.steps)
        std::fprintf(stderr,
                     "kvado-cli: %s: the analyses (--ranges, --verify, --exact, --steps) read a "
                     "linear solve: the integer model is solved without them (--relax solves "
                     "its relaxation)\n",
                     a.file.c_str());
    mip::MipOptions options;
    options.timeLimitSeconds = a.timeLimitGiven ? a.timeLimit : 0;
    options.gapLimit = a.mipGap;
    options.engine = a.mipEngine;
    mip::MipAnswer answer;
    try {
        answer = session.solveInteger(userModel, options);
        if (!a.rtf.empty()) writeFileBytes(a.rtf, report::writeRtf(session.report().paragraphs()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvado-cli: %s: %s\n", a.file.c_str(), oneLine(e.what()).c_str());
        return 1;
    }
    if (a.json) {
        std::fputs(integerJson(session, answer, userModel).c_str(), stdout);
    } else {
        std::string text;
        for (const auto& line : session.report().lines())
            text += line + "\n";
        std::fputs(text.c_str(), stdout);
    }
    return integerExitCode(answer, a.file);
}

int solveCommand(const std::vector<std::string>& args) {
    const std::optional<SolveArgs> a = parseSolveArgs(args);
    if (!a) return usage();
    const auto format = formatOf(a->file, a->formatOption);
    if (!format) return usage();

    LpProblem problem;
    session::Session session(problem);
    session.setHeadless(true);
    // The exact check runs on request (--verify, --exact), so a plain solve prints what it did.
    session.setExactCheckAfterSolve(false);
    // --ranges is asked for, and nothing waits on the answer meanwhile as a window would: the
    // ranging of a large model on the engine's basis gets a minute, not the window's 5 s.
    session.setRangingSeconds(60);
    session.setDecimalSeparator(kSeparator);
    session.setLogFolder(a->logDir);
    session.setDateTimeSource(nowText);
    if (a->oneThread) session.setSolveOptions(SolveOptions::oneThread());
    std::optional<model::Model> read;
    if (const std::optional<int> code = integerToSolve(session, *a, *format, read)) return *code;
    if (const std::optional<int> code = sparseToSolve(session, *a, *format, std::move(read)))
        return *code;
    SolveAnswer answer;
    try {
        const std::optional<int> refused = *format == model::FileFormat::Data
                                               ? openDataToSolve(session, *a)
                                               : openModelToSolve(session, *a, *format);
        if (refused) return *refused;
        answer = solveOpened(session, *a);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvado-cli: %s\n", oneLine(e.what()).c_str());
        return 1;
    }
    if (a->json)
        printJson(session, *a, answer);
    else
        printText(session, answer);
    // No answer at all: said even with --json, whose status names it too.
    if (answer.outcome == SolveOutcome::PassLimit)
        std::fprintf(stderr, "kvado-cli: %s: stopped after %d passes without an answer\n",
                     a->file.c_str(), static_cast<int>(passLimit(problem)));
    if (answer.outcome == SolveOutcome::Stopped)
        std::fprintf(stderr, "kvado-cli: %s: the solve was stopped\n", a->file.c_str());
    if (answer.outcome == SolveOutcome::Overflow)
        std::fprintf(stderr,
                     "kvado-cli: %s: a number went beyond the 80-bit range while solving "
                     "(see Kvaq.log): no answer\n",
                     a->file.c_str());
    return exitCode(answer.outcome);
}

int convertCommand(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::string formatOption;
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "--format" && k + 1 < args.size())
            formatOption = args[++k];
        else if (args[k].rfind("--", 0) != 0)
            files.push_back(args[k]);
        else
            return usage();
    }
    if (files.size() != 2) return usage();
    const auto in = formatOf(files[0], formatOption);
    const auto out = model::formatOfPath(files[1]);
    if (!in) return usage();
    if (!out) return badInput(files[1], "the output's extension must be .dat, .lp or .mps");
    try {
        std::vector<std::string> notes;
        Real eps = model::kModelEps;
        const model::Model m = model::readModelFile(files[0], *in, &notes, &eps);
        printNotes(files[0], notes);
        const std::string summary = model::writeModelFile(files[1], m, *out, eps);
        if (*out == model::FileFormat::Data && model::hasIntegers(m))
            std::fprintf(stderr,
                         "kvado-cli: %s: a data file keeps no integer marks: the model's "
                         "relaxation is written (LP and MPS files keep them)\n",
                         files[1].c_str());
        if (!summary.empty()) std::printf("%s\n", summary.c_str());
    } catch (const model::ReadError& e) {
        std::fprintf(stderr, "kvado-cli: %s\n", oneLine(e.what()).c_str());
        return 1;
    } catch (const text::ConversionError& e) {
        // Only a data file raises it: its place, as solve names it.
        std::string place;
        try {
            place = datafile::badNumberPlace(readFileBytes(files[0]));
        } catch (const FileError&) {
        }
        return badInput(files[0],
                        std::string(e.what()) +
                            (place.empty() ? " (a token that is not a number)" : ": " + place));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvado-cli: %s\n", oneLine(e.what()).c_str());
        return 1;
    }
    return 0;
}

int generateCommand(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string dir;
    uint64_t seed = std::random_device{}();
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "--seed" && k + 1 < args.size()) {
            const auto v = text::toWholeNumber(args[++k]);
            if (!v || *v < 0) return usage();
            seed = static_cast<uint64_t>(*v);
        } else if (args[k] == "--dir" && k + 1 < args.size()) {
            dir = args[++k];
        } else {
            positional.push_back(args[k]);
        }
    }
    if (positional.size() != 3) return usage();
    const auto in = datafile::parseGeneratorInput(positional[0], positional[1], positional[2], '.');
    // A count written right but beyond 32 bits is too large, not badly written.
    for (int k = 0; k < 2 && !in; ++k) {
        const std::string& t = positional[static_cast<size_t>(k)];
        if (!t.empty() && t.find_first_not_of("0123456789") == std::string::npos &&
            !text::toWholeNumber(t)) {
            std::fprintf(stderr, "kvado-cli: %s\n",
                         oneLine(tooLargeMessage(k == 1 ? INT32_MAX + int64_t(1) : 0,
                                                 k == 0 ? INT32_MAX + int64_t(1) : 0))
                             .c_str());
            return 1;
        }
    }
    if (!in) {
        std::fprintf(stderr, "kvado-cli: %s\n", datafile::kGeneratorFormatError);
        return 1;
    }
    // No rows or no unknowns is a file the windows may write, but no problem to solve.
    if (in->N < 1 || in->L < 1 || !(*text::toLocalReal(positional[2], '.') > 0)) {
        std::fprintf(stderr, "kvado-cli: generate: N and L must be at least 1 and EPS above 0\n");
        return 1;
    }
    if (const std::string tooLarge = datafile::generatorSizeError(*in); !tooLarge.empty()) {
        // The message's two lines on one; appended piece by piece, as GCC 12's Release build
        // warns (-Wrestrict) on replace() here.
        const size_t at = tooLarge.find("\r\n");
        std::string line = tooLarge.substr(0, at);
        if (at != std::string::npos) {
            line += ' ';
            line += tooLarge.substr(at + 2);
        }
        std::fprintf(stderr, "kvado-cli: %s\n", line.c_str());
        return 1;
    }
    try {
        datafile::writeGeneratedFiles(
            datafile::generateProblem(*in, positional[0], positional[1], positional[2], seed), dir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvado-cli: %s\n", oneLine(e.what()).c_str());
        return 1;
    }
    return 0;
}

int runCommand(int argc, char** argv) {
    if (argc < 2) return usage();
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (std::strcmp(argv[1], "solve") == 0) return solveCommand(args);
        if (std::strcmp(argv[1], "generate") == 0) return generateCommand(args);
        if (std::strcmp(argv[1], "convert") == 0) return convertCommand(args);
    } catch (const std::bad_alloc&) {
        std::fputs("kvado-cli: out of memory\n", stderr);
        return 1;
    }
    return usage();
}

// The printed report and the JSON are the command's answer: one that did not reach its
// reader (a full disk, a closed pipe) is a failure, not a success that wrote nothing.
int checkedOutput(int rc) {
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    if (!failed) return rc;
    std::fprintf(stderr, "kvado-cli: cannot write the standard output: %s\n",
                 std::strerror(errno ? errno : EIO));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    return checkedOutput(runCommand(argc, argv));
}
