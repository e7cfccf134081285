#include "text/ExactNumber.h"
#include "text/ExactValue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kvado::text {

namespace {

constexpr long kExponentReach = 20000;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

void timesPowerOfFive(mpz_class& z, unsigned long k) {
    if (k == 0) return;
    mpz_class p;
    mpz_ui_pow_ui(p.get_mpz_t(), 5, k);
    z *= p;
}

} // namespace

void normalize(ExactValue& a) {
    if (sgn(a.m) == 0) {
        a.e = a.f = 0;
        return;
    }
    const mp_bitcnt_t twos = mpz_scan1(a.m.get_mpz_t(), 0);
    if (twos > 0) {
        mpz_tdiv_q_2exp(a.m.get_mpz_t(), a.m.get_mpz_t(), twos);
        a.e += static_cast<long>(twos);
    }
    if (mpz_divisible_ui_p(a.m.get_mpz_t(), 5)) {
        mpz_class five = 5;
        a.f += static_cast<long>(mpz_remove(a.m.get_mpz_t(), a.m.get_mpz_t(), five.get_mpz_t()));
    }
}

ExactValue exactOfReal(Real v) {
    ExactValue x;
    if (v == 0) return x;
    if (!std::isfinite(v)) {
        x.rounded = true;
        return x;
    }
    int e = 0;
    const Real frac = std::frexp(std::fabs(v), &e);
    const auto mant = static_cast<uint64_t>(std::ldexp(frac, 64));
    x.m = static_cast<unsigned long>(mant);
    if (v < 0) x.m = -x.m;
    x.e = static_cast<long>(e) - 64;
    // Trailing zero bits into the exponent, so that small integers stay small.
    const mp_bitcnt_t twos = mpz_scan1(x.m.get_mpz_t(), 0);
    mpz_tdiv_q_2exp(x.m.get_mpz_t(), x.m.get_mpz_t(), twos);
    x.e += static_cast<long>(twos);
    return x;
}

std::optional<ExactValue> exactOfText(std::string_view s, char separator) {
    size_t b = 0, end = s.size();
    while (b < end && isBlank(s[b]))
        ++b;
    while (end > b && isBlank(s[end - 1]))
        --end;
    s = s.substr(b, end - b);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::string digits;
    long fraction = 0;
    while (i < s.size() && isDigit(s[i]))
        digits += s[i++];
    if (i < s.size() && s[i] == separator) {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            digits += s[i++];
            ++fraction;
        }
    }
    if (digits.empty()) return std::nullopt;
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
        size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            if (exponent < 10 * kExponentReach) exponent = exponent * 10 + (s[i] - '0');
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
        if (negativeExponent) exponent = -exponent;
    }
    if (i != s.size()) return std::nullopt;
    ExactValue x;
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return x; // zero, whatever its exponent
    x.m.set_str(digits.substr(first), 10);
    if (negative) x.m = -x.m;
    const long k = exponent - fraction;
    if (k > kExponentReach || k < -kExponentReach) return std::nullopt;
    x.e = x.f = k;
    normalize(x);
    return x;
}

ExactValue sum(const ExactValue& a, const ExactValue& b) {
    ExactValue r;
    r.rounded = a.rounded || b.rounded;
    if (sgn(a.m) == 0 || sgn(b.m) == 0) {
        r.m = sgn(a.m) == 0 ? b.m : a.m;
        r.e = sgn(a.m) == 0 ? b.e : a.e;
        r.f = sgn(a.m) == 0 ? b.f : a.f;
        return r;
    }
    r.e = std::min(a.e, b.e);
    r.f = std::min(a.f, b.f);
    mpz_class x = a.m, y = b.m;
    mpz_mul_2exp(x.get_mpz_t(), x.get_mpz_t(), static_cast<mp_bitcnt_t>(a.e - r.e));
    mpz_mul_2exp(y.get_mpz_t(), y.get_mpz_t(), static_cast<mp_bitcnt_t>(b.e - r.e));
    timesPowerOfFive(x, static_cast<unsigned long>(a.f - r.f));
    timesPowerOfFive(y, static_cast<unsigned long>(b.f - r.f));
    r.m = x + y;
    normalize(r);
    return r;
}

ExactValue product(const ExactValue& a, const ExactValue& b) {
    ExactValue r;
    r.rounded = a.rounded || b.rounded;
    r.m = a.m * b.m;
    r.e = a.e + b.e;
    r.f = a.f + b.f;
    if (sgn(r.m) == 0) r.e = r.f = 0;
    return r;
}

ExactValue negated(ExactValue a) {
    a.m = -a.m;
    return a;
}

int sign(const ExactValue& a) {
    return sgn(a.m);
}

bool equal(const ExactValue& a, const ExactValue& b) {
    ExactValue d = sum(a, negated(b));
    return sgn(d.m) == 0;
}

ExactNumber ExactNumber::of(ExactValue x, Real v) {
    ExactNumber n;
    if (!x.rounded && std::isfinite(v) && equal(x, exactOfReal(v))) return n;
    n.m_value = std::make_shared<const ExactValue>(std::move(x));
    return n;
}

namespace {

// Without GMP's parsing, for the usual short texts (at most 19 digits, a small exponent).
enum class ShortText {
    Plain,   // certainly an extended number: an integer below 2^64, or one divided by a power
             // of ten that its digits' fives cancel, so there is nothing to keep
    Decimal, // certainly not one: m·10^k (k < 0) with a five left over in its denominator
    Other    // says nothing
};
struct ShortValue {
    bool negative = false;
    uint64_t m = 0;
    long k = 0;
};

ShortText shortText(std::string_view s, char separator, ShortValue& v) {
    uint64_t m = 0;
    int digits = 0;
    long fraction = 0, exponent = 0;
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) v.negative = s[i++] == '-';
    auto digit = [&](char c) {
        if (m == 0 && c == '0') return true;
        if (++digits > 19) return false;
        m = m * 10 + static_cast<uint64_t>(c - '0');
        return true;
    };
    for (; i < s.size() && isDigit(s[i]); ++i)
        if (!digit(s[i])) return ShortText::Other;
    if (i < s.size() && s[i] == separator)
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            if (!digit(s[i])) return ShortText::Other;
            ++fraction;
        }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        bool negative = false;
        if (++i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        for (; i < s.size() && isDigit(s[i]); ++i)
            if ((exponent = exponent * 10 + (s[i] - '0')) > 100) return ShortText::Other;
        if (negative) exponent = -exponent;
    }
    while (i < s.size() && isBlank(s[i]))
        ++i;
    if (i != s.size()) return ShortText::Other;
    if (m == 0) return ShortText::Plain;
    v.m = m;
    v.k = exponent - fraction;
    long k = v.k;
    for (; k > 0; --k) { // an integer below 2^64
        if (m > UINT64_MAX / 10) return ShortText::Other;
        m *= 10;
    }
    for (; k < 0; ++k) { // m / 10 = (m / 5) / 2 where 5 divides m
        if (m % 5 != 0) return ShortText::Decimal;
        m /= 5;
    }
    return ShortText::Plain;
}

} // namespace

ExactNumber ExactNumber::ofText(std::string_view s, char separator, Real v) {
    ShortValue d;
    switch (shortText(s, separator, d)) {
    case ShortText::Plain:
        return {};
    case ShortText::Decimal: {
        // Kept as it is: no extended number equals a value with a five in its denominator.
        ExactValue x;
        x.m = static_cast<unsigned long>(d.m);
        if (d.negative) x.m = -x.m;
        x.e = x.f = d.k;
        normalize(x);
        ExactNumber n;
        n.m_value = std::make_shared<const ExactValue>(std::move(x));
        return n;
    }
    case ShortText::Other:
        break;
    }
    if (auto x = exactOfText(s, separator)) return of(std::move(*x), v);
    ExactValue kept = exactOfReal(v);
    kept.rounded = true;
    return of(std::move(kept), v);
}

ExactValue ExactNumber::valueOr(Real v) const {
    return m_value ? *m_value : exactOfReal(v);
}
bool ExactNumber::rounded() const {
    return m_value && m_value->rounded;
}
ExactValue ExactReal::exactValue() const {
    return exact.valueOr(value);
}

namespace {
ExactReal make(Real v, ExactValue x) {
    ExactReal r;
    r.value = v;
    r.exact = ExactNumber::of(std::move(x), v);
    return r;
}
// An infinite bound has no exact value: the result is the extended one alone.
bool finite(const ExactReal& a, const ExactReal& b) {
    return std::isfinite(a.value) && std::isfinite(b.value);
}
} // namespace

ExactReal operator-(const ExactReal& a) {
    return {-a.value,
            a.exact.empty() ? ExactNumber() : ExactNumber::of(negated(*a.exact.get()), -a.value)};
}
ExactReal operator+(const ExactReal& a, const ExactReal& b) {
    const Real s = a.value + b.value;
    if (!finite(a, b) || !std::isfinite(s)) return {s, {}};
    if (a.exact.empty() && b.exact.empty()) {
        // The rounding error of the extended sum, itself exact (two-sum): none, nothing to keep.
        const Real bb = s - a.value;
        if ((a.value - (s - bb)) + (b.value - bb) == 0) return {s, {}};
    }
    return make(s, sum(a.exactValue(), b.exactValue()));
}
ExactReal operator-(const ExactReal& a, const ExactReal& b) {
    return a + -b;
}
ExactReal operator*(const ExactReal& a, const ExactReal& b) {
    const Real p = a.value * b.value;
    if (!finite(a, b) || !std::isfinite(p)) return {p, {}};
    if (a.exact.empty() && b.exact.empty() && std::fmal(a.value, b.value, -p) == 0 &&
        (p != 0 || a.value == 0 || b.value == 0))
        return {p, {}};
    return make(p, product(a.exactValue(), b.exactValue()));
}

} // namespace kvado::text
