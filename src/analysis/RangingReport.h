#pragma once
// The ranging as the user reads it: the section «Анализ чувствительности» of the text report
// and the "ranges" member of the CLI's JSON.

#include <string>

#include "analysis/Ranging.h"
#include "report/ReportDocument.h"
#include "text/Json.h"

namespace kvado::analysis {

inline constexpr const char* kSensitivityHeading = " Анализ чувствительности";

// Appends the section to the report in the report's own formats: the heading format for the
// section's headings, the base format (monospaced) for its tables, whose columns line up.
// Numbers in the short general format with the user's decimal separator; an end without a
// limit as «+∞» or «−∞»; no break point or no limiting variable as «—».
void WriteSensitivityReport(const Ranges& ranges, char decimalSeparator,
                            report::ReportDocument& doc);

// The value of the JSON member "ranges": {"degenerate": ..., "other_optima": ..., "columns":
// [...], "rows": [...]}, every number with 21 significant digits, an end without a limit and a
// missing objective or limiting variable as null.
void rangesJson(text::JsonWriter& w, const Ranges& ranges);

} // namespace kvado::analysis
