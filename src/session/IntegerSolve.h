#pragma once
// The integer search as the session runs it (Session::solveInteger): the trace log then holds
// the search's summary, the report the section «Целочисленное решение» (the integer plan in the
// model's terms, the relaxation's value, the gap, the nodes, the engine) and the exact check of
// the integer plan.

#include <string>
#include <vector>

#include "mip/MipTree.h"
#include "model/Model.h"
#include "text/Json.h"

namespace kvado::session {

// The outcome in the report's words: «оптимальное целочисленное решение найдено», ...
std::string mipStatusText(const mip::MipAnswer& a, char decimalSeparator);

// The section «Целочисленное решение» as report lines: the heading, the outcome, the
// objective, the relaxation's value, the bound and the gap, the nodes, the engine, then the
// integer plan by the model's column names.
std::vector<std::string> integerSolutionLines(const model::Model& m, const mip::MipAnswer& a,
                                              char decimalSeparator);

// The trace log's lines of an integer search: its summary, then the engine's own lines.
std::vector<std::string> mipLogLines(const mip::MipAnswer& a);

// The JSON member's value: {"status": ..., "objective": z, "bound": b, "gap": g, "nodes": n,
// "engine": "own"|"glpk"} (objective, bound and gap null where there is none).
void mipJson(text::JsonWriter& w, const mip::MipAnswer& a);

} // namespace kvado::session
