#include "analysis/Rational.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace kvado::analysis {

static_assert(sizeof(unsigned long) == 8, "GMP's unsigned long holds a 64-bit significand");

Dyadic toDyadic(Real v) {
    Dyadic d;
    if (v == 0) return d;
    if (!std::isfinite(v)) throw NonFiniteValue("число вне диапазона: " + text::formatRoundTrip(v));
    int e = 0;
    const Real frac = std::frexp(std::fabs(v), &e); // in [0.5, 1)
    // The significand as a 64-bit integer: exact, since an extended number has 64 bits.
    auto mant = static_cast<uint64_t>(std::ldexp(frac, 64));
    long exp2 = static_cast<long>(e) - 64;
    while (mant != 0 && (mant & 1u) == 0) {
        mant >>= 1;
        ++exp2;
    }
    d.m = static_cast<unsigned long>(mant);
    if (v < 0) d.m = -d.m;
    d.e = exp2;
    return d;
}

namespace {

mpz_class powerOfFive(long k) {
    mpz_class p;
    mpz_ui_pow_ui(p.get_mpz_t(), 5, static_cast<unsigned long>(k));
    return p;
}

} // namespace

void addTo(Dyadic& acc, const Dyadic& x) {
    if (x.rounded) acc.rounded = true;
    if (sgn(x.m) == 0) return;
    if (sgn(acc.m) == 0) {
        acc.m = x.m;
        acc.e = x.e;
        acc.f = x.f;
        return;
    }
    // The powers of five first (none on numbers without a decimal text), then the twos.
    const mpz_class* xm = &x.m;
    mpz_class scaled;
    if (acc.f < x.f) {
        scaled = x.m * powerOfFive(x.f - acc.f);
        xm = &scaled;
    } else if (acc.f > x.f) {
        acc.m *= powerOfFive(acc.f - x.f);
        acc.f = x.f;
    }
    if (acc.e == x.e) {
        acc.m += *xm;
    } else if (acc.e < x.e) {
        mpz_class t;
        mpz_mul_2exp(t.get_mpz_t(), xm->get_mpz_t(), static_cast<mp_bitcnt_t>(x.e - acc.e));
        acc.m += t;
    } else {
        mpz_mul_2exp(acc.m.get_mpz_t(), acc.m.get_mpz_t(), static_cast<mp_bitcnt_t>(acc.e - x.e));
        acc.e = x.e;
        acc.m += *xm;
    }
}

void addProduct(Dyadic& acc, const Dyadic& a, const Dyadic& b) {
    if (sgn(a.m) == 0 || sgn(b.m) == 0) return;
    Dyadic p;
    p.m = a.m * b.m;
    p.e = a.e + b.e;
    p.f = a.f + b.f;
    p.rounded = a.rounded || b.rounded;
    addTo(acc, p);
}

void addProduct(Dyadic& acc, const Dyadic& a, const mpz_class& z, long e2, long e5) {
    if (sgn(a.m) == 0 || sgn(z) == 0) return;
    Dyadic p;
    p.m = a.m * z;
    p.e = a.e + e2;
    p.f = a.f + e5;
    p.rounded = a.rounded;
    addTo(acc, p);
}

int compare(const Dyadic& a, const Dyadic& b) {
    Dyadic d = a;
    addTo(d, negated(b));
    return sgn(d.m);
}

mpq_class toRational(const Dyadic& x) {
    mpq_class q(x.m);
    if (x.e > 0)
        mpq_mul_2exp(q.get_mpq_t(), q.get_mpq_t(), static_cast<mp_bitcnt_t>(x.e));
    else if (x.e < 0)
        mpq_div_2exp(q.get_mpq_t(), q.get_mpq_t(), static_cast<mp_bitcnt_t>(-x.e));
    if (x.f > 0) q *= mpq_class(powerOfFive(x.f));
    if (x.f < 0) q /= mpq_class(powerOfFive(-x.f));
    return q;
}

Dyadic exactRhs(const LpProblem& p, int32_t i) {
    if (const Dyadic* x = p.exact(i, 0)) return *x;
    return toDyadic(p.tableau(i, 0));
}

Dyadic exactCost(const LpProblem& p, int32_t j) {
    if (const Dyadic* x = p.exact(p.M + 1, j)) return *x;
    return toDyadic(p.objectiveCoefficient(j));
}

Dyadic exactCoefficient(const LpProblem& p, int32_t i, int32_t j, Real v) {
    if (const Dyadic* x = p.exact(i, j)) return *x;
    return toDyadic(v);
}

Real toReal(const mpq_class& q) {
    if (sgn(q) == 0) return 0;
    mpz_class num = abs(q.get_num());
    const mpz_class& den = q.get_den();
    // A quotient of 66 to 67 bits, then one rounding into the 64-bit significand.
    const long shift = static_cast<long>(mpz_sizeinbase(num.get_mpz_t(), 2)) -
                       static_cast<long>(mpz_sizeinbase(den.get_mpz_t(), 2)) - 66;
    mpz_class quotient;
    if (shift >= 0) {
        mpz_class d;
        mpz_mul_2exp(d.get_mpz_t(), den.get_mpz_t(), static_cast<mp_bitcnt_t>(shift));
        mpz_tdiv_q(quotient.get_mpz_t(), num.get_mpz_t(), d.get_mpz_t());
    } else {
        mpz_mul_2exp(num.get_mpz_t(), num.get_mpz_t(), static_cast<mp_bitcnt_t>(-shift));
        mpz_tdiv_q(quotient.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t());
    }
    mpz_class high;
    mpz_tdiv_q_2exp(high.get_mpz_t(), quotient.get_mpz_t(), 64);
    const auto low = static_cast<unsigned long>(mpz_getlimbn(quotient.get_mpz_t(), 0));
    const Real r = std::ldexp(static_cast<Real>(high.get_ui()), 64) + static_cast<Real>(low);
    // Below the smallest normal number (or above the largest) ldexp gives 0 or infinity.
    const long e = shift < INT_MIN / 2 ? INT_MIN / 2 : (shift > INT_MAX / 2 ? INT_MAX / 2 : shift);
    const Real v = std::ldexp(r, static_cast<int>(e));
    return sgn(q) < 0 ? -v : v;
}

std::string fractionText(const mpq_class& q) {
    return q.get_num().get_str() + "/" + q.get_den().get_str();
}

} // namespace kvado::analysis
