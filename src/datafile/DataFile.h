#pragma once
// The data file: G, E, L, N, Eps, then A row by row, C, and B, as numbers separated by any
// run of blanks, tabs and line ends.

#include <optional>
#include <string>
#include <string_view>

#include "base/FileIo.h"
#include "solver/LpProblem.h"

namespace kvado::datafile {

// What a loader does besides filling the problem: the open command shows every value in the
// grid and moves its progress bar. Every call happens right after the value is stored.
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    // After the header is read and the problem reset for its counts.
    virtual void header(const LpProblem&) {}
    virtual void coefficient(int32_t /*i*/, int32_t /*j*/, Real) {}
    virtual void objective(int32_t /*j*/, Real) {}
    virtual void rightHandSide(int32_t /*i*/, Real) {}
    virtual void progressMaximum(int32_t) {}
    virtual void progress(int32_t) {}
};

// Reads a data file's numbers into the problem: counts and Eps, reset, the standard-form
// set-up in the file's order, snapshots. A token that is not a number raises
// text::ConversionError("Invalid numeric input") with everything read so far kept; counts the
// machine cannot hold (a count beyond 32 bits among them) raise ProblemSizeError before anything
// is allocated; a short file reads zeros. Returns how many numbers were read as 0 past its end.
int64_t readDataFile(std::string_view bytes, LpProblem& problem, LoadObserver* observer = nullptr);
// The note of a file that ended early: «Файл закончился раньше: K чисел прочитаны как 0»; empty
// for a file that held every number. A file cut short by a failed write elsewhere would
// otherwise solve as if its last numbers were zeros.
std::string shortFileNote(int64_t missing);

// Where the first number that does not read stands, for the user to find it: "строка 3,
// число 7: «abc»" (the line of the file and the number's place in that line, both from 1).
// Empty when every number reads.
std::string badNumberPlace(std::string_view bytes);
// Whether the bytes hold no number at all (an empty file, or only blanks and line ends).
bool holdsNoNumber(std::string_view bytes);

} // namespace kvado::datafile
