#pragma once
// A linear programme as the user states it: minimise or maximise c·x + constant over named
// columns with lower and upper bounds (either may be infinite), subject to named rows
// a·x <= b, a·x >= b, a·x = b or l <= a·x <= u. The solver sees only its standard form
// (StandardForm.h); the files LP and MPS read and write this.

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "solver/RowKind.h"
#include "text/ExactNumber.h"
#include "text/NumberText.h"

namespace kvado::model {

inline constexpr Real kInfinity = std::numeric_limits<Real>::infinity();

enum class Sense { Minimize, Maximize };

// What values a column may take. Binary is an integer column with bounds 0 and 1; it is kept
// as Binary (not as Integer with those bounds) so that the writers write it back as the user
// wrote it (LP `Binary`, MPS `BV`). The readers set lower 0 and upper 1 on a Binary column;
// a bound given after the mark narrows them as for any column.
enum class ColumnKind : uint8_t { Continuous, Integer, Binary };

struct Column {
    std::string name;
    Real cost = 0;
    Real lower = 0;         // -kInfinity allowed
    Real upper = kInfinity; // +kInfinity allowed
    // The exact values as written, where they differ from the extended ones (ExactNumber.h).
    text::ExactNumber costExact = {}, lowerExact = {}, upperExact = {};
    // Last, so that the brace initialisations {name, cost, lower, upper} stay as they are.
    ColumnKind kind = ColumnKind::Continuous;
};

struct Row {
    std::string name;
    RowKind kind = RowKind::Less;
    // Less: upper is b, lower is -inf; Greater: lower is b, upper +inf; Equal: both b;
    // Range: lower <= a·x <= upper, both finite.
    Real lower = -kInfinity;
    Real upper = kInfinity;
    text::ExactNumber lowerExact = {}, upperExact = {}; // as the column's
};

// One nonzero coefficient (0-based row and column).
struct Entry {
    int32_t row = 0;
    int32_t column = 0;
    Real value = 0;
    text::ExactNumber exact = {}; // as the column's
};

struct Model {
    std::string name; // the MPS NAME, the LP file's "\Problem name:" (may be empty)
    Sense sense = Sense::Minimize;
    std::string objectiveName;
    Real objectiveConstant = 0;
    text::ExactNumber objectiveConstantExact;
    std::vector<Column> columns;
    std::vector<Row> rows;
    // Every nonzero; a (row, column) pair appears at most once. The readers keep the order of
    // the file, the transformation does not rely on any order.
    std::vector<Entry> entries;
};

// Whether any column is Integer or Binary: the model is then solved as an integer model unless
// its linear relaxation is asked for.
bool hasIntegers(const Model& m);
// Whether column `c` must take a whole value (Integer or Binary).
inline bool isInteger(const Column& c) {
    return c.kind != ColumnKind::Continuous;
}
// The linear relaxation: the same model with every column Continuous (a Binary column keeps
// its bounds 0 and 1).
Model relaxation(Model m);

// Row constructors, so that no caller gets the lower/upper convention wrong.
Row lessRow(std::string name, Real b);
Row greaterRow(std::string name, Real b);
Row equalRow(std::string name, Real b);
Row rangeRow(std::string name, Real lower, Real upper);

// The right-hand side the row's relation names (upper for Less, lower for Greater and Equal).
Real rightHandSide(const Row& r);

// The exact values with their extended ones, for the transformation's arithmetic.
inline text::ExactReal exactCost(const Column& c) {
    return {c.cost, c.costExact};
}
inline text::ExactReal exactLower(const Column& c) {
    return {c.lower, c.lowerExact};
}
inline text::ExactReal exactUpper(const Column& c) {
    return {c.upper, c.upperExact};
}
inline text::ExactReal exactLower(const Row& r) {
    return {r.lower, r.lowerExact};
}
inline text::ExactReal exactUpper(const Row& r) {
    return {r.upper, r.upperExact};
}
inline text::ExactReal exactValue(const Entry& e) {
    return {e.value, e.exact};
}
// Row constructors with the exact values.
Row lessRow(std::string name, const text::ExactReal& b);
Row greaterRow(std::string name, const text::ExactReal& b);
Row equalRow(std::string name, const text::ExactReal& b);
Row rangeRow(std::string name, const text::ExactReal& lower, const text::ExactReal& upper);

// A reader's error: the file, the line (1-based; 0 when the error is not on one line) and what
// was wrong, in Russian. what() is "FILE: строка N: TEXT".
class ReadError : public std::runtime_error {
public:
    ReadError(std::string file, int64_t line, std::string text);
    const std::string& file() const { return m_file; }
    int64_t line() const { return m_line; }
    const std::string& text() const { return m_text; }

private:
    std::string m_file;
    int64_t m_line;
    std::string m_text;
};

// The text of a number in a written file: the shortest of 15, 18 or 21 significant digits
// that reads back as the same extended value; "." as the point, no locale.
std::string numberText(Real v);

} // namespace kvado::model
