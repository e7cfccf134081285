#pragma once
// Exact numbers for the analyses: every number of a problem is an 80-bit binary value, that
// is m·2^e with a 64-bit integer m, so it is held exactly as a GMP integer and a power of two
// (a dyadic number); sums and products of such numbers stay dyadic and exact. Quotients (the
// solution of a basis) become GMP rationals. Internal to the analyses: callers see plain
// texts and extended numbers.

#include <gmpxx.h>

#include <stdexcept>
#include <string>

#include "text/NumberText.h"

namespace kvado::analysis {

// m · 2^e, exactly. Zero is m = 0 (e arbitrary).
struct Dyadic {
    mpz_class m;
    long e = 0;
};

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
// acc += a·(z·2^f): a dyadic times an integer scaled by a power of two.
void addProduct(Dyadic& acc, const Dyadic& a, const mpz_class& z, long f = 0);
Dyadic negated(Dyadic x);
int sign(const Dyadic& x);
// Compares a·2^ea with b·2^eb.
int compare(const mpz_class& a, long ea, const mpz_class& b, long eb);
mpq_class toRational(const Dyadic& x);

// The extended number nearest to q (within one unit in the last place).
Real toReal(const mpq_class& q);
// "p/q" in lowest terms, always with the slash ("5/1" for 5).
std::string fractionText(const mpq_class& q);

} // namespace kvado::analysis
