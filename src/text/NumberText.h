#pragma once
// The number texts: every number the program shows, writes or reads passes through here.
//
// Two families must not be mixed up. The general forms and the conversion of typed grid
// numbers use the user's decimal separator, which the caller passes in (the windows take it
// from the regional settings); the fixed forms, the data files and the count and tolerance
// edits always use ".". Nothing here reads the C locale, so the results are the same whatever
// setlocale() the process has done.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/Real.h"
#include "text/ExactNumber.h"

namespace kvado::text {

// General number format: 15 significant digits, fixed notation for 1E-4 <= |v| < 1E15.
std::string formatGeneral(Real v, char decimalSeparator);
// Short general format: 5 significant digits, an exponent of at least two digits.
std::string formatShortGeneral(Real v, char decimalSeparator);
// The shared algorithm behind both: P significant digits, at least D exponent digits.
std::string formatGeneralWith(Real v, int precision, int exponentDigits, char decimalSeparator);
// Fixed format w.d: d decimals, "." as the point, right-aligned in w characters, never cut.
// A value that rounds to zero has no minus sign.
std::string formatFixed(Real v, int width, int decimals);
// Shortest-safe text for machines: 21 significant digits, "." and an exponent where needed,
// enough to read the same extended value back.
std::string formatRoundTrip(Real v);
// Integer text, right-aligned in `width` characters (0: no padding).
std::string intText(long long v, int width = 0);

// Whole-number conversion: leading blanks, optional sign, decimal digits or hexadecimal digits
// after "$" or "0x"; nothing may follow. Fails on an empty text and outside 32 bits.
std::optional<int32_t> toWholeNumber(std::string_view s);
// Point-real conversion: leading blanks, optional sign, digits with an optional "." and
// fraction, an optional exponent; nothing may follow. Fails on an empty or non-finite value.
std::optional<Real> toPointReal(std::string_view s);
// Local-real conversion: as the point-real one with the user's separator, and trailing blanks
// allowed.
std::optional<Real> toLocalReal(std::string_view s, char decimalSeparator);

// The error a failed conversion raises where the caller does not test it first. Its message
// is the text the general error report shows.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Local-real conversion that raises "'%s' is not a valid floating point value".
Real localRealOrThrow(std::string_view s, char decimalSeparator);

// A whole number that is written right but does not fit in 32 bits: too large, not "not a
// number".
class NumberTooLarge : public ConversionError {
public:
    using ConversionError::ConversionError;
};

// File number reading over a whole file's bytes. A token that does not convert raises
// ConversionError("Invalid numeric input"), and so does one longer than a number can be (32
// characters for a whole number, 64 for a real): cut in two, its rest would be read as the
// next number and shift every later one. The end of the data reads as 0, counted.
class NumberReader {
public:
    // A UTF-8 byte-order mark at the start (an editor's) is skipped.
    explicit NumberReader(std::string_view data)
        : m_data(data), m_pos(data.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0) {}
    int32_t readInteger();
    Real readReal();
    // The same, with the exact value of the number's text (empty where the extended number
    // is exact, and at the end of the data).
    Real readReal(ExactNumber& exact);
    bool atEnd(); // only blanks, tabs and line ends remain
    size_t position() const { return m_pos; }
    // How many numbers were read as 0 past the end of the data.
    int64_t missing() const { return m_missing; }

private:
    std::string_view nextToken(size_t maxLength);
    std::string_view m_data;
    size_t m_pos;
    int64_t m_missing = 0;
};

inline constexpr const char* kInvalidNumericInput = "Invalid numeric input";

} // namespace kvado::text
