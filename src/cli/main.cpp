// kvado-cli: the solver without windows, for scripts, tests and benchmarks.
//
//   kvado-cli solve FILE [--format dat|lp|mps] [--json] [--ranges] [--verify] [--exact]
//                        [--time-limit S] [--steps] [--log-dir DIR] [--rtf FILE] [--threads 1|2]
//                        [--engine method|sparse]
//   kvado-cli convert IN OUT [--format dat|lp|mps]
//   kvado-cli generate N L EPS [--seed S] [--dir DIR]
//
// Exit codes: 0 optimal, 2 no feasible solution, 3 unbounded, 4 the solve was stopped (the pass
// limit against a solve that would not end), 1 bad input or usage.

#include <algorithm>
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

#include "analysis/ExactSolve.h"
#include "analysis/Presentation.h"
#include "analysis/RangingReport.h"
#include "analysis/UserRanging.h"
#include "analysis/Verify.h"
#include "base/FileIo.h"
#include "datafile/DataFile.h"
#include "datafile/Generator.h"
#include "datafile/NameFiles.h"
#include "datafile/OpenedGrid.h"
#include "model/ModelFiles.h"
#include "model/ModelIo.h"
#include "report/RtfWriter.h"
#include "report/StepsReport.h"
#include "session/EngineSolve.h"
#include "session/Explanation.h"
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
        "                           [--threads 1|2] [--engine method|sparse]\n"
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

// The exact check and, when it does not confirm the answer, the exact solve (on request).
struct ExactAnswers {
    bool verified = false, exactAsked = false, exactRun = false;
    analysis::Verification verification;
    analysis::ExactSolution exact;
};

// The check and the exact solve share `seconds` (0: no limit).
ExactAnswers exactAnswers(const LpProblem& p, SolveOutcome o, bool verify, bool exact,
                          double seconds) {
    ExactAnswers a;
    if (!verify && !exact) return a;
    a.verified = true;
    a.exactAsked = exact;
    // On demand: any size, within the time limit.
    analysis::VerifyOptions check = analysis::VerifyOptions::unlimited(nullptr, kSeparator);
    check.maxSeconds = seconds;
    a.verification = analysis::verify(p, o, check);
    const auto v = a.verification.verdict;
    const bool confirmed = v == analysis::Verdict::Optimal ||
                           v == analysis::Verdict::InfeasibleConfirmed ||
                           v == analysis::Verdict::UnboundedConfirmed;
    if (exact && !confirmed) {
        analysis::ExactSolveOptions options;
        options.maxSeconds = seconds > 0 ? std::max(seconds - a.verification.seconds, 0.001) : 0;
        options.decimalSeparator = kSeparator;
        a.exact = analysis::solveExactly(p, &a.verification, options);
        a.exactRun = true;
    }
    return a;
}

// `model`: the answer in the user's terms, when there is one; `ranges`, `steps`: the "ranges"
// and "steps" members, or empty for none.
void printJson(const LpProblem& p, SolveOutcome o, const std::string& model,
               const std::string& ranges, const std::string& steps, const ExactAnswers& a,
               const std::string& why) {
    // JSON has no infinity or NaN: such a number is null, and "non_finite" names each one.
    std::string nonFinite;
    auto number = [&nonFinite](Real v, const std::string& where) {
        if (std::isfinite(v)) return text::formatRoundTrip(v);
        nonFinite += (nonFinite.empty() ? "" : ", ") + where + " = " + text::formatRoundTrip(v);
        return std::string("null");
    };
    std::string out = "{\"status\": \"";
    out += statusName(o);
    out += "\", \"objective\": " + number(-p.inverse(p.M + 1, 0), "objective");
    out += ", \"x\": [";
    for (int32_t j = 1; j <= p.N; ++j) {
        if (j > 1) out += ", ";
        out += number(p.solution[static_cast<size_t>(j)], "x[" + std::to_string(j) + "]");
    }
    out += "], \"pi\": [";
    for (int32_t i = 1; i <= p.M; ++i) {
        if (i > 1) out += ", ";
        out += number(p.inverse(p.M + 1, i), "pi[" + std::to_string(i) + "]");
    }
    out += "], \"passes\": " + std::to_string(p.pass);
    if (!nonFinite.empty())
        out += ", \"non_finite\": " + text::jsonString(nonFinite + ": beyond the 80-bit range");
    if (!model.empty()) out += ", \"model\": " + model;
    if (!why.empty()) out += ", " + why;
    if (!ranges.empty()) out += ", " + ranges;
    if (!steps.empty()) out += ", " + steps;
    if (a.verified) out += ", \"verification\": " + analysis::verificationJson(a.verification);
    if (a.exactAsked) out += ", \"exact\": " + (a.exactRun ? analysis::exactJson(a.exact) : "null");
    out += "}\n";
    std::fputs(out.c_str(), stdout);
}

// The conflict the transformation found before any solve, as the explanation of an infeasible
// solve gives it: a row without coefficients but of fixed columns, which cannot meet its bound
// (with those columns' bounds), or a column whose bounds cross.
session::UserExplanation transformConflict(const model::Model& m, const model::StandardForm& sf) {
    session::UserExplanation why;
    why.kind = analysis::Explanation::Kind::Infeasible;
    why.subsetComputed = true;
    if (sf.infeasibleRow >= 0) {
        const auto r = static_cast<size_t>(sf.infeasibleRow);
        why.subset.push_back(m.rows[r].name);
        if (sf.infeasibleSide == 2) {
            // A crossed range: its lower bound (+1) and its upper one (-1) add up to 0 >= l - u.
            why.certificate.push_back({m.rows[r].name, 1});
            why.certificate.push_back({m.rows[r].name, -1});
            return why;
        }
        why.certificate.push_back({m.rows[r].name, Real(sf.infeasibleSide)});
        std::vector<int32_t> fixed;
        for (const auto& e : m.entries)
            if (e.row == sf.infeasibleRow && e.value != 0) fixed.push_back(e.column);
        std::sort(fixed.begin(), fixed.end());
        for (const int32_t j : fixed)
            why.subsetBounds.push_back(m.columns[static_cast<size_t>(j)].name);
    } else if (sf.infeasibleColumn >= 0) {
        why.subsetBounds.push_back(m.columns[static_cast<size_t>(sf.infeasibleColumn)].name);
    }
    return why;
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

// The data file's problem as a model: named by its name files, or by row number and X[j].
model::Model dataFileModel(const std::string& file, const LpProblem& problem) {
    try {
        return model::readModelFile(file, model::FileFormat::Data);
    } catch (const std::exception&) {
        // A name file that cannot be read leaves the names to the fallbacks, as the open did.
        return model::modelOfProblem(problem, {}, {}, {});
    }
}

// What the sparse engine's road prints: the report, or the JSON object whose "x" and "pi" are
// the model's column values and row marginals, "objective" the model's, in its sense.
int printSparse(session::Session& session, const engine::SparseAnswer& a, const model::Model& m,
                const std::string& file, bool json, const std::string& rtf, bool analysesAsked) {
    const bool optimal = a.status == engine::SparseStatus::Optimal;
    if (!rtf.empty()) writeFileBytes(rtf, report::writeRtf(session.report().paragraphs()));
    if (json) {
        std::string out = "{\"status\": \"";
        out += engine::sparseStatusName(a.status);
        out += "\", \"objective\": " + text::formatRoundTrip(a.objective) + ", \"x\": [";
        for (size_t j = 0; j < a.columnValue.size(); ++j)
            out += (j ? ", " : "") + text::formatRoundTrip(a.columnValue[j]);
        out += "], \"pi\": [";
        for (size_t i = 0; i < a.rowMarginal.size(); ++i)
            out += (i ? ", " : "") + text::formatRoundTrip(a.rowMarginal[i]);
        out += "], \"passes\": " + std::to_string(a.iterations) + ", \"engine\": \"sparse\"";
        if (optimal) out += ", \"model\": " + model::userTermsJson(m, *session.userSolution());
        out += "}\n";
        std::fputs(out.c_str(), stdout);
    } else {
        std::string text;
        for (const auto& line : session.report().lines())
            text += line + "\n";
        std::fputs(text.c_str(), stdout);
    }
    if (analysesAsked)
        std::fprintf(
            stderr,
            "kvado-cli: %s: the analyses (--ranges, --verify, --exact, --steps) run on the "
            "method, which cannot take this model\n",
            file.c_str());
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

int solveCommand(const std::vector<std::string>& args) {
    std::string file, logDir, rtf, formatOption;
    bool json = false, ranges = false, verify = false, exact = false, steps = false;
    std::optional<session::Engine> engineOption;
    double timeLimit = 60;
    for (size_t k = 0; k < args.size(); ++k) {
        session::Engine e;
        if (args[k] == "--format" && k + 1 < args.size())
            formatOption = args[++k];
        else if (args[k] == "--engine" && k + 1 < args.size() &&
                 session::engineNamed(args[k + 1], e))
            engineOption = e, ++k;
        else if (args[k] == "--json")
            json = true;
        else if (args[k] == "--ranges")
            ranges = true;
        else if (args[k] == "--verify")
            verify = true;
        else if (args[k] == "--exact")
            exact = true;
        else if (args[k] == "--time-limit" && k + 1 < args.size() &&
                 text::toPointReal(args[k + 1]) && *text::toPointReal(args[k + 1]) >= 0)
            timeLimit = static_cast<double>(*text::toPointReal(args[++k]));
        else if (args[k] == "--steps")
            steps = true;
        else if (args[k] == "--log-dir" && k + 1 < args.size())
            logDir = args[++k];
        else if (args[k] == "--rtf" && k + 1 < args.size())
            rtf = args[++k];
        else if (args[k] == "--threads" && k + 1 < args.size() &&
                 (args[k + 1] == "1" || args[k + 1] == "2"))
            // One thread: the pivot never shares its columns (for CPU-time comparisons).
            setParallelPivotThreshold(args[++k] == "1" ? INT64_MAX : 0);
        else if (file.empty() && args[k].rfind("--", 0) != 0)
            file = args[k];
        else
            return usage();
    }
    if (file.empty()) return usage();
    const auto format = formatOf(file, formatOption);
    if (!format) return usage();

    LpProblem problem;
    session::Session session(problem);
    session.setHeadless(true);
    // The exact check runs on request (--verify, --exact), so a plain solve prints what it did.
    session.setExactCheckAfterSolve(false);
    session.setDecimalSeparator(kSeparator);
    session.setLogFolder(logDir);
    session.setDateTimeSource(nowText);
    model::Model userModel;
    model::StandardForm standard;
    const session::Engine engine = engineOption.value_or((ranges || verify || exact || steps)
                                                             ? session::Engine::Method
                                                             : session::defaultEngine(*format));
    bool standardMade = false;
    if (*format == model::FileFormat::Data && engine == session::Engine::Sparse) {
        // A data file's problem is a model too: the engine solves it as one.
        try {
            userModel = model::readModelFile(file, *format);
            const engine::SparseAnswer a = session.solveSparse(userModel);
            return printSparse(session, a, userModel, file, json, rtf, false);
        } catch (const std::exception& e) {
            return badInput(file, e.what());
        }
    }
    if (*format != model::FileFormat::Data) {
        // An LP or MPS file: its standard form is what the solver sees.
        std::vector<std::string> notes;
        try {
            userModel = model::readModelFile(file, *format, &notes);
            // Chosen by default for the analyses, the method gives way where it cannot take
            // the model.
            if (engine == session::Engine::Method &&
                (engineOption || session::methodCanTake(userModel))) {
                standard = model::toStandardForm(userModel);
                standardMade = true;
            }
        } catch (const model::ReadError& e) {
            // The message names the file and the line itself.
            std::fprintf(stderr, "kvado-cli: %s\n", oneLine(e.what()).c_str());
            return 1;
        } catch (const std::exception& e) {
            return badInput(file, e.what());
        }
        printNotes(file, notes);
        if (!standardMade) {
            // The sparse engine takes the model as it stands. The analyses read the method's
            // basis: asked for without a choice of engine, they take the method where it can
            // (otherwise they are not given), and so does the explanation of a model without
            // an answer, which replaces the engine's then.
            const bool analyses = ranges || verify || exact || steps;
            const bool fits = session::methodCanTake(userModel);
            try {
                const engine::SparseAnswer a = session.solveSparse(userModel);
                const bool noAnswer = a.status == engine::SparseStatus::Infeasible ||
                                      a.status == engine::SparseStatus::Unbounded;
                if (engineOption || !fits || !noAnswer)
                    return printSparse(session, a, userModel, file, json, rtf,
                                       analyses && !engineOption);
                // The method's report replaces the engine's.
                session.clearReport();
                standard = model::toStandardForm(userModel);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), e.what());
                return 1;
            }
        }
        if (!standard.infeasible.empty()) {
            // Nothing to solve: a row without coefficients or a column's bounds rule it out.
            if (json) {
                const std::string why =
                    session::explanationJson(transformConflict(userModel, standard));
                std::printf("{\"status\": \"infeasible\", \"objective\": 0, \"x\": [], \"pi\": [], "
                            "\"passes\": 0, %s%s}\n",
                            why.c_str(), steps ? ", \"steps\": []" : "");
            }
            std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), standard.infeasible.c_str());
            return 2;
        }
        session.openModel(standard, model::kModelEps, datafile::baseName(file));
    } else {
        // A missing name file leaves the placeholders; the hints are the windows'.
        session::OpenResult opened;
        try {
            opened = session.openDataFile(file);
        } catch (const std::exception& e) {
            return badInput(file, e.what());
        }
        if (opened.status != session::OpenStatus::Opened)
            return badInput(file, !opened.badNumber ? opened.reason
                                  : opened.badNumberPlace.empty()
                                      ? opened.reason + " (a token that is not a number)"
                                      : opened.reason + ": " + opened.badNumberPlace);
        if (!opened.shortFileNote.empty())
            std::fprintf(stderr, "kvado-cli: %s: %s\n", file.c_str(), opened.shortFileNote.c_str());
        // The method starts from the right-hand sides as basic values and compares against
        // Eps: a tolerance that is not positive or a negative right-hand side gives wrong
        // answers.
        if (!session::toleranceAccepted(problem.eps))
            return badInput(file, "the tolerance Eps must be above 0");
        if (const int32_t i = session::negativeRightHandSide(problem))
            return badInput(file, "the right-hand side B[" + std::to_string(i) +
                                      "] is negative; multiply that constraint by -1");
        userModel = dataFileModel(file, problem);
    }

    SolveOutcome outcome;
    std::string rangesMember, stepsMember;
    std::vector<std::string> stepsLines;
    // Every pass recorded as the solve makes it: the JSON has one entry per pass (the pass limit
    // bounds them), the detail of the rows only within the recorder's budget.
    StepRecorder::Limits stepLimits;
    stepLimits.passes = INT64_MAX;
    session.setRecordSteps(steps, stepLimits);
    // The answer in the user's terms: the model's columns and rows, its sense and constant.
    model::UserSolution user;
    std::vector<std::string> userLines;
    analysis::Explanation explanation;
    try {
        const session::SolveResult solved = session.solveLoaded();
        outcome = solved.outcome;
        explanation = solved.explanation;
        if (steps) {
            const StepRecorder& recorded = *session.steps();
            const StepNames names = session.stepNames(recorded);
            stepsMember = report::stepsJson(recorded, names);
            if (!json)
                for (const auto& para : report::stepsDocument(problem, recorded, names, kSeparator))
                    stepsLines.push_back(para.text());
        }
        if (outcome == SolveOutcome::Optimal)
            user = *format == model::FileFormat::Data
                       ? model::mapBackLoaded(userModel, problem)
                       : model::mapBack(userModel, standard, problem);
        // The ranges of the optimal basis, computed only when asked: the section at the end of
        // the report (so the RTF has it too) and the JSON member. Without an optimum there is
        // no basis to range: the member is null and the report has no section. An LP or MPS
        // model is ranged in its own terms; a data file's problem is its standard form.
        if (ranges && outcome == SolveOutcome::Optimal) {
            const analysis::Ranges r =
                *format == model::FileFormat::Data
                    ? session.ranges()
                    : analysis::userRanges(userModel, standard, problem, user);
            session.writeRangesReport(r);
            rangesMember = analysis::rangesJson(r);
        } else if (ranges) {
            rangesMember = "\"ranges\": null";
        }
        // The report of a model from an LP or MPS file ends with the answer in its terms, printed
        // and saved alike; a data file's problem is its own standard form, and its report stays
        // as it was.
        if (outcome == SolveOutcome::Optimal && *format != model::FileFormat::Data)
            userLines = model::userTermsLines(userModel, user, kSeparator);
        if (!rtf.empty()) {
            report::ReportDocument saved = session.report();
            if (!userLines.empty()) saved.append("");
            for (const auto& line : userLines)
                saved.append(line);
            writeFileBytes(rtf, report::writeRtf(saved.paragraphs()));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvado-cli: %s\n", oneLine(e.what()).c_str());
        return 1;
    }
    const report::ReportDocument& doc = session.report();
    // The exact answers are for the standard form the method solved.
    const ExactAnswers answers = exactAnswers(problem, outcome, verify, exact, timeLimit);
    if (json) {
        printJson(
            problem, outcome,
            outcome == SolveOutcome::Optimal ? model::userTermsJson(userModel, user) : "",
            rangesMember, stepsMember, answers,
            session::explanationJson(session::userExplanation(
                explanation, userModel, *format == model::FileFormat::Data ? nullptr : &standard)));
    } else {
        std::string text;
        for (const auto& line : doc.lines())
            text += line + "\n";
        if (!userLines.empty()) text += "\n";
        for (const auto& line : userLines)
            text += line + "\n";
        if (!stepsLines.empty()) {
            text += "\n";
            for (const auto& line : stepsLines)
                text += line + "\n";
        }
        if (answers.verified) {
            text += "\n";
            for (const auto& line : analysis::reportSection(
                     answers.verification, answers.exactRun ? &answers.exact : nullptr, kSeparator))
                text += line + "\n";
        }
        std::fputs(text.c_str(), stdout);
        if (outcome == SolveOutcome::Infeasible)
            std::fputs("kvado-cli: the constraints have no feasible solution\n", stderr);
        if (outcome == SolveOutcome::Unbounded)
            std::fputs("kvado-cli: the objective is unbounded\n", stderr);
    }
    // No answer at all: said even with --json, whose status names it too.
    if (outcome == SolveOutcome::PassLimit)
        std::fprintf(stderr, "kvado-cli: %s: stopped after %d passes without an answer\n",
                     file.c_str(), static_cast<int>(passLimit(problem)));
    if (outcome == SolveOutcome::Stopped)
        std::fprintf(stderr, "kvado-cli: %s: the solve was stopped\n", file.c_str());
    if (outcome == SolveOutcome::Overflow)
        std::fprintf(stderr,
                     "kvado-cli: %s: a number went beyond the 80-bit range while solving "
                     "(see Kvaq.log): no answer\n",
                     file.c_str());
    return exitCode(outcome);
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
                         oneLine(datafile::tooLargeMessage(k == 1 ? INT32_MAX + int64_t(1) : 0,
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
