// The exact values of number texts, and how the readers and the transformation to the
// standard form carry them beside the extended numbers.

#include <gtest/gtest.h>

#include <random>

#include "analysis/Rational.h"
#include "model/ModelFiles.h"
#include "model/StandardForm.h"
#include "text/ExactValue.h"
#include "text/NumberText.h"

namespace {

using namespace kvado;
using text::ExactNumber;

mpq_class rational(const text::ExactValue& x) {
    return analysis::toRational(x);
}

TEST(ExactNumber, TextsReadExactly) {
    struct Case {
        const char* text;
        char separator;
        const char* value; // nullptr: not held
    } const cases[] = {
        {"0.1", '.', "1/10"},   {"-2.50e-3", '.', "-1/400"}, {" 1,5 ", ',', "3/2"},
        {"+7", '.', "7"},       {"0.000", '.', "0"},         {".25", '.', "1/4"},
        {"12E+2", '.', "1200"}, {"1e-30000", '.', nullptr},  {"1.5", ',', nullptr},
        {"1e", '.', nullptr},   {"", '.', nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto x = text::exactOfText(c.text, c.separator);
        ASSERT_EQ(x.has_value(), c.value != nullptr);
        if (x) EXPECT_EQ(rational(*x), mpq_class(c.value));
    }
}

TEST(ExactNumber, KeptOnlyWhereTheExtendedNumberIsNotExact) {
    EXPECT_TRUE(ExactNumber::ofText("0.5", '.', 0.5L).empty());
    EXPECT_TRUE(ExactNumber::ofText("300", '.', 300).empty());
    EXPECT_TRUE(ExactNumber::ofText(" -6,25E-2 ", ',', -0.0625L).empty());
    // 20 digits, still an integer below 2^64.
    EXPECT_TRUE(ExactNumber::ofText("12345678901234567890", '.', 12345678901234567890.0L).empty());
    EXPECT_FALSE(ExactNumber::ofText("1.0000000000000000000001", '.', 1).empty());
    const ExactNumber tenth = ExactNumber::ofText("0.1", '.', 0.1L);
    ASSERT_FALSE(tenth.empty());
    EXPECT_FALSE(tenth.rounded());
    // An exponent beyond reach keeps the extended number and says so.
    EXPECT_TRUE(ExactNumber::ofText("1e-30000", '.', 0).rounded());
    // The arithmetic gives the extended result bit for bit and the exact one beside it.
    const text::ExactReal a{0.1L, tenth}, b{0.2L, ExactNumber::ofText("0.2", '.', 0.2L)};
    const text::ExactReal sum = a + b, product = a * b, difference = a - a;
    EXPECT_EQ(sum.value, 0.1L + 0.2L);
    EXPECT_EQ(rational(sum.exactValue()), mpq_class(3, 10));
    EXPECT_EQ(rational(product.exactValue()), mpq_class(1, 50));
    EXPECT_TRUE(difference.exact.empty());
    // Sums of exact binary numbers that round are kept too.
    const text::ExactReal big{1e30L, {}}, one{1, {}};
    EXPECT_EQ(rational((big + one).exactValue()), rational(text::exactOfReal(1e30L)) + 1);
}

// The short texts' road without GMP's parsing gives what the parsing gives: random decimals of
// every length around its 19-digit edge, with fives that cancel or not, signs and exponents.
TEST(ExactNumber, ShortTextsAgreeWithTheParsedValue) {
    std::mt19937_64 rng(2026);
    for (int n = 0; n < 20000; ++n) {
        std::string t = rng() % 3 == 0 ? "-" : "";
        const int whole = static_cast<int>(rng() % 12), fraction = static_cast<int>(rng() % 12);
        for (int k = 0; k < whole; ++k)
            t += static_cast<char>('0' + rng() % 10);
        if (fraction > 0 || whole == 0) t += '.';
        for (int k = 0; k < fraction; ++k)
            t += static_cast<char>('0' + (k + 1 == fraction && rng() % 2 ? 5 : rng() % 10));
        if (whole == 0 && fraction == 0) t += '0';
        if (rng() % 4 == 0) t += "e" + std::to_string(static_cast<int>(rng() % 9) - 4);
        const Real v = text::toPointReal(t).value();
        const ExactNumber got = ExactNumber::ofText(t, '.', v);
        const ExactNumber want = ExactNumber::of(*text::exactOfText(t, '.'), v);
        ASSERT_EQ(got.empty(), want.empty()) << t;
        if (!got.empty()) EXPECT_EQ(rational(*got.get()), rational(*want.get())) << t;
    }
}

// The exact image of an LP file's decimals in the standard form: x >= 0.1 shifts x, the range
// row splits and its lower half turns, the maximisation negates the costs.
TEST(ExactNumber, CarriedThroughTheTransformation) {
    const char* lp = "max: 0.3 x + 0.7 y + 0.1\n"
                     "st\n"
                     "c1: 0.3 x + y >= 0.7\n"
                     "c2: -0.2 <= 0.1 x - y <= 1.1\n"
                     "bounds\n"
                     "x >= 0.1\n"
                     "y <= 2.3\n"
                     "end\n";
    const model::StandardForm sf = model::toStandardForm(model::readLp(lp, "t.lp"));
    LpProblem p;
    model::loadProblem(sf, 1e-9L, p);
    auto at = [&](int32_t i, int32_t j) {
        const text::ExactValue* x = p.exact(i, j);
        return x ? rational(*x) : rational(text::exactOfReal(p.tableau(i, j)));
    };
    auto row = [&](const std::string& name) {
        for (size_t i = 0; i < sf.rowNames.size(); ++i)
            if (sf.rowNames[i] == name) return static_cast<int32_t>(i) + 1;
        ADD_FAILURE() << name;
        return 1;
    };
    ASSERT_EQ(p.M, 4);
    // x = 0.1 + x': c1 is 0.3 x' + y >= 0.67; c2 is -0.1 x' + y <= 0.21 and 0.1 x' - y <= 1.09.
    const struct {
        const char* row;
        int32_t column;
        mpq_class value;
    } cases[] = {
        {"c1", 0, mpq_class(67, 100)},     {"c1", 1, mpq_class(3, 10)},
        {"-c2:lo", 0, mpq_class(21, 100)}, {"-c2:lo", 1, mpq_class(-1, 10)},
        {"c2:up", 0, mpq_class(109, 100)}, {"c2:up", 1, mpq_class(1, 10)},
        {"y<=2.3", 0, mpq_class(23, 10)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(at(row(c.row), c.column), c.value) << c.row << " " << c.column;
    // Minimise -0.3 x' - 0.7 y.
    EXPECT_EQ(at(p.M + 1, 1), mpq_class(-3, 10));
    EXPECT_EQ(at(p.M + 1, 2), mpq_class(-7, 10));
    // The extended numbers are the transformation's as ever.
    EXPECT_EQ(p.tableau(row("c1"), 0), 0.7L - 0.3L * 0.1L);
    EXPECT_FALSE(p.exactRounded());
}

} // namespace
