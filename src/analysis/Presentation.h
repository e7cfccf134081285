#pragma once
// What the exact check and the exact solve show: the JSON members of kvado-cli, the line under
// the objective in the results window and the report's section «Точная проверка».

#include <string>
#include <vector>

#include "analysis/ExactSolve.h"
#include "analysis/Verify.h"
#include "text/Json.h"

namespace kvado::analysis {

// {"verdict": "...", "objective_exact": "p/q", "objective_error": e, "reason": "..."}
// (objective_exact and objective_error are null when there is no exact objective).
void verificationJson(text::JsonWriter& w, const Verification& v);
// {"status": "...", "objective": z, "objective_exact": "p/q", "x": [X1..XN]} (objective and
// objective_exact null without an optimum).
void exactJson(text::JsonWriter& w, const ExactSolution& e);

enum class Tone { Plain, Good, Bad };
struct VerdictLine {
    std::string text;
    Tone tone = Tone::Plain;
    bool offerCheck = false; // show the button «Проверить точно»
};
inline constexpr const char* kCheckButton = "Проверить точно";
// «Проверено точно: оптимально» (good), «Точная проверка: решение неверно — см. точное
// решение» (bad), «Точная проверка не выполнялась (задача велика)» with the button, ...
VerdictLine resultsLine(const Verification& v);

// The report's section: heading, verdict, exact Z and the method's error, the reason; then,
// with an exact solution, «Точное решение»: status, Z, the plan, the multipliers and why the
// method's answer differs. Numbers in 15 significant digits with the user's separator.
std::vector<std::string> reportSection(const Verification& v, const ExactSolution* exact,
                                       char decimalSeparator);

} // namespace kvado::analysis
