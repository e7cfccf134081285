#pragma once
// Why a solve has no answer, in the user's terms: the explanation of the standard form
// (analysis/Explain.h) told by the names of the model the user stated, and its JSON member.

#include <optional>
#include <string>
#include <vector>

#include "analysis/Explain.h"
#include "model/Model.h"
#include "model/StandardForm.h"
#include "text/Json.h"

namespace kvado::session {

struct NamedRate {
    std::string name;
    Real value = 0;
};

struct UserExplanation {
    analysis::Explanation::Kind kind = analysis::Explanation::Kind::None;
    // Infeasible: the multipliers by the user's rows (both halves of a ranged row, or a row
    // multiplied by -1, count as the row itself) and the upper-bound rows by their own names.
    std::vector<NamedRate> certificate;
    bool subsetComputed = false;
    std::vector<std::string> subset;          // user rows, in the file's order
    std::vector<std::string> subsetBounds;    // user columns whose upper bound is in the subset
    std::vector<std::string> subsetBoundRows; // those bounds' rows, as the certificate names them
    std::string subsetNote;
    // Unbounded: how each user column moves per unit of the step, and the user's objective.
    std::vector<NamedRate> ray;
    Real objectiveRate = 0;
};

// `sf` is the standard form the model was turned into; null when the model is the problem
// itself (a data file's: row i is row i, column j column j).
UserExplanation userExplanation(const analysis::Explanation& e, const model::Model& model,
                                const model::StandardForm* sf);

// The conflict the transformation found before any solve, told as the explanation of an
// infeasible solve would tell it: a row without coefficients but of fixed columns, which
// cannot meet its bound (with those columns' bounds), or a column whose bounds cross.
UserExplanation transformConflict(const model::Model& model, const model::StandardForm& sf);

// What the window «Почему нет решения» shows of an explanation in the model's terms: the
// sentence, the heading of the table, its column titles and rows, and the line under it.
struct ExplanationTable {
    std::string sentence;
    std::string termsHeading;
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> rows;
    std::string footer;
};
ExplanationTable explanationTable(const UserExplanation& u, char separator);

// The member "infeasibility": {...} or "unboundedness": {...} of the open object; nothing for
// Kind None.
void explanationJson(text::JsonWriter& w, const UserExplanation& u);

} // namespace kvado::session
