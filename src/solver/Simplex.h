#pragma once
// The two-phase revised simplex method on the LP problem's inverse table.

#include <string>

#include "solver/LpProblem.h"
#include "solver/TraceLog.h"

namespace kvado {

// PassLimit: the guard against a solve that would never end stopped it (see passLimit());
// Stopped: the host asked for a stop. Neither is an answer: the last basis is reported as for
// an infeasible problem.
// Overflow: a number of the method went beyond the extended range (an infinity or NaN), so
// its last state proves nothing; never taken for an answer.
enum class SolveOutcome { Optimal, Infeasible, Unbounded, PassLimit, Stopped, Overflow };

// What the solve needs from its surroundings. The session (src/session/) implements it for
// every front end: the progress bar and message boxes of its view, the report and results.
class SolverHost {
public:
    virtual ~SolverHost() = default;
    virtual void setProgressMaximum(int32_t) {}
    virtual void setProgressPosition(int32_t) {}
    // A modal message box; "\r\n" separates its lines.
    virtual void showMessage(const std::string& /*utf8*/) {}
    // How the solve ended, told just before the report writers below (which then say whether
    // their plan is an optimum); the trace log does not hear of it.
    virtual void solveEnding(SolveOutcome) {}
    // The report parts of the two report writers that the solve calls at its end (the trace
    // log parts are written by the solve itself, just before each).
    virtual void writeSolutionReport(const LpProblem&) {}
    virtual void writeShadowPrices(const LpProblem&) {}
    // The decimal separator of the user's regional settings (for the sum of the artificial
    // variables in the trace log).
    virtual char decimalSeparator() const { return ','; }
    // Asked at the end of every pass that changed the basis or the phase; true ends the solve
    // there with SolveOutcome::Stopped.
    virtual bool stopRequested() { return false; }
};

inline constexpr const char* kNoFeasibleSolutionMessage =
    "Ограничения не имеют допустимого решения\r\nподробнее в файле Kvaq.log";

// The most passes a solve makes: far above what the method needs (a few times M+N passes), so
// that only a solve that would not end meets it.
int32_t passLimit(const LpProblem& problem);
// The message box of a solve that met the pass limit.
std::string passLimitMessage(int32_t limit);
// The message of an overflow; `where` names the number ("Z", "X[2]", "строка 3").
std::string overflowMessage(const std::string& where);

class StepRecorder;

// Solves the loaded problem in place and writes the trace log. The outcome is the caller's to
// act on: the solve never ends the application. Throws FileError when the log fails. With a
// recorder every pass is also recorded there; the solve and its log stay the same bits.
SolveOutcome solve(LpProblem& problem, TraceLog& log, SolverHost& host,
                   StepRecorder* recorder = nullptr);

// The pivot shares its column updates with a second thread once they reach this many entries
// (default about 50 microseconds of work). Tests lower it to run the shared path on small
// problems; 0 restores the default.
void setParallelPivotThreshold(int64_t entries);

// Tests only: off, the solve never notices a repeated basis and keeps the specified rule, so
// that a test can compare a solve with and without the detection (and see a cycle meet the
// pass limit). On by default.
void setCycleDetection(bool on);

} // namespace kvado
