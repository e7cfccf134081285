#pragma once
// The help window's picture of the problem's form: the constraint rows with their relation
// signs and right-hand sides, and the objective row, inside a left brace.

#include <QImage>

namespace kvado::ui {

inline constexpr int kProblemFormWidth = 469;
inline constexpr int kProblemFormHeight = 146;

// A two-colour picture (QImage::Format_Mono), black on white, 469 x 146.
QImage makeProblemFormPicture();

} // namespace kvado::ui
