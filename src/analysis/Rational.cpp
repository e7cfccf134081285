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

void addTo(Dyadic& acc, const Dyadic& x) {
    if (sgn(x.m) == 0) return;
    if (sgn(acc.m) == 0) {
        acc = x;
        return;
    }
    if (acc.e == x.e) {
        acc.m += x.m;
    } else if (acc.e < x.e) {
        mpz_class t;
        mpz_mul_2exp(t.get_mpz_t(), x.m.get_mpz_t(), static_cast<mp_bitcnt_t>(x.e - acc.e));
        acc.m += t;
    } else {
        mpz_mul_2exp(acc.m.get_mpz_t(), acc.m.get_mpz_t(), static_cast<mp_bitcnt_t>(acc.e - x.e));
        acc.e = x.e;
        acc.m += x.m;
    }
}

void addProduct(Dyadic& acc, const Dyadic& a, const Dyadic& b) {
    if (sgn(a.m) == 0 || sgn(b.m) == 0) return;
    Dyadic p;
    p.m = a.m * b.m;
    p.e = a.e + b.e;
    addTo(acc, p);
}

void addProduct(Dyadic& acc, const Dyadic& a, const mpz_class& z, long f) {
    if (sgn(a.m) == 0 || sgn(z) == 0) return;
    Dyadic p;
    p.m = a.m * z;
    p.e = a.e + f;
    addTo(acc, p);
}

Dyadic negated(Dyadic x) {
    x.m = -x.m;
    return x;
}

int sign(const Dyadic& x) {
    return sgn(x.m);
}

int compare(const mpz_class& a, long ea, const mpz_class& b, long eb) {
    const int sa = sgn(a), sb = sgn(b);
    if (sa == 0 || sb == 0 || sa != sb) return sa < sb ? -1 : (sa > sb ? 1 : 0);
    mpz_class t;
    if (ea >= eb) {
        mpz_mul_2exp(t.get_mpz_t(), a.get_mpz_t(), static_cast<mp_bitcnt_t>(ea - eb));
        return cmp(t, b);
    }
    mpz_mul_2exp(t.get_mpz_t(), b.get_mpz_t(), static_cast<mp_bitcnt_t>(eb - ea));
    return cmp(a, t);
}

mpq_class toRational(const Dyadic& x) {
    mpq_class q(x.m);
    if (x.e > 0)
        mpq_mul_2exp(q.get_mpq_t(), q.get_mpq_t(), static_cast<mp_bitcnt_t>(x.e));
    else if (x.e < 0)
        mpq_div_2exp(q.get_mpq_t(), q.get_mpq_t(), static_cast<mp_bitcnt_t>(-x.e));
    return q;
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
