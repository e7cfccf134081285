#pragma once
// The exact numbers themselves (see ExactNumber.h): m·2^e·5^f with a GMP integer m.

#include <gmpxx.h>

#include <optional>
#include <string_view>

#include "base/Real.h"

namespace kvado::text {

struct ExactValue {
    mpz_class m; // zero: the value 0 (e and f arbitrary)
    long e = 0;  // power of two
    long f = 0;  // power of five
    // The text's value could not be kept (an exponent far beyond the extended range), so this
    // is the extended number instead: nothing computed from it may be called exact.
    bool rounded = false;
};

// The exact value of a finite extended number (f = 0).
ExactValue exactOfReal(Real v);
// The exact value of a number text in the grammar of the real conversions (blanks around,
// optional sign, digits with an optional `separator` and fraction, an optional exponent);
// nullopt when the text is not one, or its exponent lies so far out (beyond 10^±20000) that
// its exact value is not worth holding.
std::optional<ExactValue> exactOfText(std::string_view s, char separator);

ExactValue sum(const ExactValue& a, const ExactValue& b);
ExactValue product(const ExactValue& a, const ExactValue& b);
ExactValue negated(ExactValue a);
int sign(const ExactValue& a);
// a == b exactly (the rounded flags aside).
bool equal(const ExactValue& a, const ExactValue& b);
// Removes the factors 2 and 5 of m into e and f, so that equal values look alike.
void normalize(ExactValue& a);

} // namespace kvado::text
