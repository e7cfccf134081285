#pragma once
// The exact value of the numbers the user wrote. Every number text is a decimal m·10^k, an
// exact rational; the extended number it is read as is its nearest binary fraction. The
// method solves the extended numbers; the exact analyses solve the decimals, so that their
// verdict is about the problem as written. The value is kept beside the extended number only
// where the two differ (0.1, not 0.5 or 3).
//
// The form m·2^e·5^f holds a decimal (e = f = k), an extended number (f = 0) and every sum and
// product of them, which is all the transformation to the standard form computes.

#include <memory>
#include <string_view>

#include "base/Real.h"

namespace kvado::text {

// m·2^e·5^f with a GMP integer m (text/ExactValue.h).
struct ExactValue;

// The exact value beside an extended number: empty when the extended number is exactly it.
// Copies share the value (it never changes).
class ExactNumber {
public:
    ExactNumber() = default;
    // `x` beside `v`; empty when they are equal and x was not rounded.
    static ExactNumber of(ExactValue x, Real v);
    // The value of a text that converted to `v`: a text that does not convert, or whose
    // exponent is out of reach, is kept as v, marked rounded.
    static ExactNumber ofText(std::string_view s, char separator, Real v);
    bool empty() const { return !m_value; }
    const ExactValue* get() const { return m_value.get(); }
    // The exact value that `v` stands for.
    ExactValue valueOr(Real v) const;
    bool rounded() const;

private:
    std::shared_ptr<const ExactValue> m_value;
};

// An extended number with the exact value it stands for, for the arithmetic of the readers
// and the transformation: the extended result is computed as before, the exact one beside it.
struct ExactReal {
    Real value = 0;
    ExactNumber exact;
    ExactValue exactValue() const;
};
ExactReal operator-(const ExactReal& a);
ExactReal operator+(const ExactReal& a, const ExactReal& b);
ExactReal operator-(const ExactReal& a, const ExactReal& b);
ExactReal operator*(const ExactReal& a, const ExactReal& b);

} // namespace kvado::text
