#include "text/NumberText.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace kvado::text {
namespace {

// One "C" locale object for the whole process. printf and strtold read the decimal point of
// the calling thread's locale, so every call goes through this one instead of LC_NUMERIC.
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

class CLocaleScope {
public:
    CLocaleScope() : m_old(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(m_old); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_old;
};

std::string nonFinite(Real v) {
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Checks the shape [sign] digits [sep digits] [(E|e) [sign] digits] over the whole of `s`,
// with at least one mantissa digit, and converts it. strtold_l on the C locale rounds
// correctly to the nearest extended value.
std::optional<Real> parseReal(std::string_view s, char separator) {
    size_t i = 0;
    std::string buf;
    buf.reserve(s.size());
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) buf += s[i++];
    size_t mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) {
        buf += s[i++];
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == separator) {
        buf += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            buf += s[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        buf += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) buf += s[i++];
        size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            buf += s[i++];
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    // Whole numbers of up to 18 digits are exact in an extended number: no need for strtold,
    // which dominates reading a large data file otherwise.
    if (mantissaDigits <= 18 && buf.find_first_of(".e") == std::string::npos) {
        const bool negative = buf[0] == '-';
        int64_t v = 0;
        for (char c : buf)
            if (isDigit(c)) v = v * 10 + (c - '0');
        return negative ? -static_cast<Real>(v) : static_cast<Real>(v);
    }
    errno = 0;
    Real v = strtold_l(buf.c_str(), nullptr, cLocale());
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

} // namespace

std::string formatGeneralWith(Real v, int precision, int exponentDigits, char sep) {
    if (!std::isfinite(v)) return nonFinite(v);
    if (v == 0) return "0";
    std::string out;
    if (v < 0) {
        out = "-";
        v = -v;
    }
    // "%.*Le" rounds the exact binary value half to even and gives d.ddd...e[+-]xx.
    char buf[128];
    {
        CLocaleScope scope;
        std::snprintf(buf, sizeof buf, "%.*Le", precision - 1, v);
    }
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (isDigit(*p)) digits += *p;
    int exp10 = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int k = static_cast<int>(digits.size());
    const int e = exp10 + 1; // value = 0.d1d2... x 10^e
    if (e >= -3 && e <= precision) {
        if (e >= 1) {
            if (k <= e) {
                out += digits;
                out.append(static_cast<size_t>(e - k), '0');
            } else {
                out.append(digits, 0, static_cast<size_t>(e));
                out += sep;
                out.append(digits, static_cast<size_t>(e));
            }
        } else {
            out += '0';
            out += sep;
            out.append(static_cast<size_t>(-e), '0');
            out += digits;
        }
    } else {
        out += digits[0];
        if (k > 1) {
            out += sep;
            out.append(digits, 1);
        }
        out += 'E';
        int x = e - 1;
        if (x < 0) {
            out += '-';
            x = -x;
        }
        std::string xs = std::to_string(x);
        if (static_cast<int>(xs.size()) < exponentDigits)
            out.append(static_cast<size_t>(exponentDigits) - xs.size(), '0');
        out += xs;
    }
    return out;
}

std::string formatGeneral(Real v, char sep) {
    return formatGeneralWith(v, 15, 0, sep);
}

std::string formatShortGeneral(Real v, char sep) {
    return formatGeneralWith(v, 5, 2, sep);
}

std::string formatFixed(Real v, int width, int decimals) {
    std::string s;
    if (!std::isfinite(v)) {
        s = nonFinite(v);
    } else {
        // Large values need room: an 80-bit number may have up to 4933 integer digits.
        int n;
        {
            CLocaleScope scope;
            n = std::snprintf(nullptr, 0, "%.*Lf", decimals, v);
        }
        s.resize(static_cast<size_t>(n) + 1);
        {
            CLocaleScope scope;
            std::snprintf(s.data(), s.size(), "%.*Lf", decimals, v);
        }
        s.resize(static_cast<size_t>(n));
        if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
            s.erase(0, 1);
    }
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

std::string formatRoundTrip(Real v) {
    if (!std::isfinite(v)) return nonFinite(v);
    char buf[64];
    CLocaleScope scope;
    std::snprintf(buf, sizeof buf, "%.21Lg", v);
    return buf;
}

std::string intText(long long v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

std::optional<int32_t> toWholeNumber(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return std::nullopt;
    long long value = 0;
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (isDigit(c))
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + d;
        if (value > limit) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

std::optional<Real> toPointReal(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return parseReal(s.substr(i), '.');
}

std::optional<Real> toLocalReal(std::string_view s, char sep) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return parseReal(s.substr(b, e - b), sep);
}

Real localRealOrThrow(std::string_view s, char sep) {
    if (auto v = toLocalReal(s, sep)) return *v;
    throw ConversionError("'" + std::string(s) + "' is not a valid floating point value");
}

namespace {
bool isSeparator(unsigned char c) {
    return c <= ' ' || c == 0x7F;
}
bool isSkippable(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

bool NumberReader::atEnd() {
    while (m_pos < m_data.size() && isSkippable(m_data[m_pos]))
        ++m_pos;
    return m_pos >= m_data.size();
}

std::string_view NumberReader::nextToken(size_t maxLength) {
    if (atEnd()) return {};
    const size_t start = m_pos;
    while (m_pos < m_data.size() && !isSeparator(static_cast<unsigned char>(m_data[m_pos])))
        ++m_pos;
    if (m_pos - start > maxLength) throw ConversionError(kInvalidNumericInput);
    return m_data.substr(start, m_pos - start);
}

int32_t NumberReader::readInteger() {
    if (atEnd()) {
        ++m_missing;
        return 0;
    }
    const std::string_view token = nextToken(32);
    auto v = toWholeNumber(token);
    if (!v) {
        // Digits alone (with a sign) that overflow 32 bits.
        size_t k = token.find_first_not_of(" \t");
        if (k != std::string_view::npos && (token[k] == '+' || token[k] == '-')) ++k;
        const char* digits = "0123456789";
        if (k < token.size() && token[k] == '$') {
            digits = "0123456789abcdefABCDEF";
            ++k;
        } else if (k + 1 < token.size() && token[k] == '0' && (token[k + 1] | 0x20) == 'x') {
            digits = "0123456789abcdefABCDEF";
            k += 2;
        }
        if (k < token.size() && token.find_first_not_of(digits, k) == std::string_view::npos)
            throw NumberTooLarge("a count is too large: " + std::string(token));
        throw ConversionError(kInvalidNumericInput);
    }
    return *v;
}

Real NumberReader::readReal() {
    if (atEnd()) {
        ++m_missing;
        return 0;
    }
    auto v = toPointReal(nextToken(64));
    if (!v) throw ConversionError(kInvalidNumericInput);
    return *v;
}

Real NumberReader::readReal(ExactNumber& exact) {
    atEnd();
    const size_t start = m_pos;
    const Real v = readReal();
    exact = m_pos > start ? ExactNumber::ofText(m_data.substr(start, m_pos - start), '.', v)
                          : ExactNumber();
    return v;
}

} // namespace kvado::text
