#pragma once
// Exact numbers for the analyses: every number of a problem is the decimal its text states
// (m·10^k) or, where no text exists, an 80-bit binary value (m·2^e with a 64-bit integer m);
// both are held exactly as a GMP integer with powers of two and five, and sums and products
// of such numbers stay exact in that form. Quotients (the solution of a basis) become GMP
// rationals. Internal to the analyses: callers see plain texts and extended numbers.

#include <gmpxx.h>

#include <stdexcept>
#include <string>

#include "solver/LpProblem.h"
#include "text/ExactValue.h"
#include "text/NumberText.h"

namespace kvado::analysis {

// m · 2^e · 5^f, exactly (text/ExactValue.h): an extended number (f = 0), the decimal of a
// number text (e = f), and their sums and products. Zero is m = 0 (e, f arbitrary).
using Dyadic = text::ExactValue;

// An infinity or NaN met by the exact layer (an overflow of the method's arithmetic): it has
// no exact value. The analyses turn it into a verdict that says so.
class NonFiniteValue : public std::domain_error {
public:
    using std::domain_error::domain_error;
};

// The exact value of an extended number, read from its significand and exponent (never
// through a decimal text). Trailing zero bits are moved into the exponent, so small integers
// stay small. Throws NonFiniteValue for an infinity or NaN.
Dyadic toDyadic(Real v);
// acc += x, exactly.
void addTo(Dyadic& acc, const Dyadic& x);
// acc += a·b, exactly.
void addProduct(Dyadic& acc, const Dyadic& a, const Dyadic& b);
// acc += a·(z·2^e2·5^e5): a number times an integer scaled by powers of two and five.
void addProduct(Dyadic& acc, const Dyadic& a, const mpz_class& z, long e2 = 0, long e5 = 0);
using text::negated;
using text::sign;
// Compares a with b.
int compare(const Dyadic& a, const Dyadic& b);
mpq_class toRational(const Dyadic& x);

// The numbers of the problem as the user wrote them (LpProblem::exact), where one is kept,
// else the extended number itself: B[i], C[j], and A[i,j] whose extended value is v.
Dyadic exactRhs(const LpProblem& p, int32_t i);
Dyadic exactCost(const LpProblem& p, int32_t j);
Dyadic exactCoefficient(const LpProblem& p, int32_t i, int32_t j, Real v);

// The extended number nearest to q (within one unit in the last place).
Real toReal(const mpq_class& q);
// "p/q" in lowest terms, always with the slash ("5/1" for 5).
std::string fractionText(const mpq_class& q);

} // namespace kvado::analysis
