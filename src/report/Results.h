#pragma once
// What a solve shows: the results window's two grids and its objective texts, and the report
// lines that the report writers and the solution check append. Plain data, so that the
// windows, the CLI and the tests produce the same texts.

#include <string>
#include <vector>

#include "grid/StringGridModel.h"
#include "report/ReportDocument.h"
#include "solver/LpProblem.h"

namespace kvado::report {

// The results window's data: the solution grid SG3, the analysis grid SG2, the objective
// value edTarget and the objective name Label4.
struct ResultsModel {
    ResultsModel();
    StringGridModel SG3;
    StringGridModel SG2;
    std::string edTarget;
    std::string objectiveName;
    // Whether the analysis grid SG2 is written at all: its M x N products cost time and
    // memory that only a window needs. The CLI keeps the row activities alone.
    bool fillAnalysisGrid = true;
};

// What the solution check leaves behind: the row activities, the binding flags and the
// verdicts. Kept between checks: a ">=" or "<=" row that is not met keeps the flag it had
// (it counts only when every row is met, and then every flag is set anew).
struct SolutionCheck {
    std::vector<Real> rowActivity;   // rows 0..M: A[i,1]*X[1] + ... + A[i,N]*X[N]
    std::vector<int32_t> slackFlags; // rows 0..M: 0 binding, 1 with slack or not met
    bool feasible = false;           // every row is met
    bool optimal = false;            // feasible, and the control number is close to 0
    Real controlNumber = 0;          // the shadow prices of the rows with slack, summed

    // Sized for M rows; rows already there keep their values.
    void resize(int32_t M);
};

// What the writers read besides the problem.
struct ReportContext {
    const StringGridModel* inputGrid = nullptr; // the main window's SG1 (names, captions)
    char decimalSeparator = ',';                // the user's
    std::string dateTime;                       // the user's short date and long time
    // Whether the solve ended at an optimum. Otherwise the plan is the last basis's, and the
    // report says so instead of calling it optimal.
    bool optimal = true;
};

// Sizes both grids from the input grid and writes every heading.
void SetUpResultGrids(const LpProblem& p, const StringGridModel& input, ResultsModel& results);
// Report lines 1..11 (header, plan, objective value) and row 2 of SG3.
void WriteSolutionReport(const LpProblem& p, const ReportContext& ctx, ReportDocument& doc,
                         ResultsModel& results);
// Report lines 12..14 (shadow prices), the shadow-price column of SG2 and edTarget.
void WriteShadowPrices(const LpProblem& p, const ReportContext& ctx, ReportDocument& doc,
                       ResultsModel& results);
// Recomputes every row activity from the check copy into `check` and writes SG2's number
// cells. The problem is only read.
void ComputeResourceUse(const LpProblem& p, char decimalSeparator, ResultsModel& results,
                        SolutionCheck& check);
// The independent check: ComputeResourceUse, then the messages for rows not met and the
// verdicts, appended to the report; the verdicts also go into `check`. Returns whether every
// row is met. After a solve that found no optimum (`solveOptimal` false) the verdict speaks
// of the last basis and claims no optimum.
bool CheckSolution(const LpProblem& p, char decimalSeparator, ReportDocument& doc,
                   ResultsModel& results, SolutionCheck& check, bool solveOptimal = true);

// The plan's heading and the check's verdicts after a solve that found no optimum.
inline constexpr const char* kLastBasisHeading = "   План последнего базиса (оптимум не найден)";
inline constexpr const char* kLastBasisFeasible =
    "План последнего базиса допустим (ограничения выполнены), но оптимум не найден.";
inline constexpr const char* kLastBasisInfeasible =
    "План последнего базиса НЕДОПУСТИМ: оптимум не найден.";

// Twenty blanks and the name, of which the last `width` characters (not bytes) are kept.
std::string nameField(const std::string& name, int width);
// The date and time as the report shows them: short date, a blank and the long time, the time
// left out at exactly midnight.
std::string reportDateTime(const std::string& shortDate, const std::string& longTime,
                           bool midnight);

// Check tolerances: fixed, independent of the user's Eps.
inline constexpr Real kMetTolerance = 0.0001L;
inline constexpr Real kBindingTolerance = 0.001L;
inline constexpr Real kControlTolerance = 0.0001L;

} // namespace kvado::report
