// Number forms and conversions. Every table runs twice through CTest, under the C locale and
// under ru_RU.UTF-8; the results must not differ, since the separator is always passed in.

#include <gtest/gtest.h>

#include <ostream>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "RequiredInput.h"
#include "text/NumberText.h"

namespace {

using kvado::Real;
using namespace kvado::text;

// --- general and short general formats ----------------------------------------------------

struct GeneralCase {
    Real value;
    char separator;
    const char* general;
    const char* shortGeneral; // nullptr: not checked for this value
};

void PrintTo(const GeneralCase& c, std::ostream* os) {
    *os << static_cast<double>(c.value) << " with '" << c.separator << "'";
}

class GeneralFormat : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralFormat, WritesTheExpectedText) {
    const auto& c = GetParam();
    if (c.general) {
        EXPECT_EQ(formatGeneral(c.value, c.separator), c.general);
    }
    if (c.shortGeneral) {
        EXPECT_EQ(formatShortGeneral(c.value, c.separator), c.shortGeneral);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DecimalComma, GeneralFormat,
    ::testing::Values(
        GeneralCase{1e-8L, ',', "1E-8", "1E-08"}, GeneralCase{0.001L, ',', "0,001", "0,001"},
        GeneralCase{2.5e20L, ',', "2,5E20", "2,5E20"}, GeneralCase{1000000, ',', "1000000", "1E06"},
        GeneralCase{0.00001L, ',', "1E-5", "1E-05"}, GeneralCase{0.5L, ',', "0,5", "0,5"},
        GeneralCase{2, ',', "2", "2"}, GeneralCase{123456, ',', "123456", "1,2346E05"},
        GeneralCase{0.00005L, ',', "5E-5", "5E-05"},
        GeneralCase{-3.14159L, ',', "-3,14159", "-3,1416"},
        // Fixed notation starts at 0.0001, and is judged after the rounding.
        GeneralCase{0.0001L, ',', "0,0001", "0,0001"}, GeneralCase{0.00009L, ',', "9E-5", "9E-05"},
        GeneralCase{9.99999999999999999e-5L, ',', "0,0001", "0,0001"},
        // Fixed notation ends below 10^P.
        GeneralCase{1e15L, ',', "1E15", "1E15"},
        GeneralCase{999999999999999.0L, ',', "999999999999999", "1E15"},
        GeneralCase{999999999999999.9L, ',', "1E15", nullptr},
        GeneralCase{99999.9L, ',', "99999,9", "1E05"}, GeneralCase{12345, ',', "12345", "12345"},
        GeneralCase{123456789012345.6L, ',', "123456789012346", "1,2346E14"},
        GeneralCase{1234567890123456.0L, ',', "1,23456789012346E15", "1,2346E15"},
        // Zero, negative zero and signs.
        GeneralCase{0, ',', "0", "0"}, GeneralCase{-0.0L, ',', "0", "0"},
        GeneralCase{-2.5L, ',', "-2,5", "-2,5"}, GeneralCase{-1.5e-7L, ',', "-1,5E-7", "-1,5E-07"},
        // Digits come from the binary value, trailing zeros dropped.
        GeneralCase{static_cast<Real>(0.1), ',', "0,1", "0,1"},
        GeneralCase{1.0L / 3, ',', "0,333333333333333", "0,33333"},
        GeneralCase{2.0L / 3, ',', "0,666666666666667", "0,66667"},
        GeneralCase{100, ',', "100", "100"}, GeneralCase{12.5L, ',', "12,5", "12,5"},
        // Exponents of more digits than the minimum.
        GeneralCase{1e100L, ',', "1E100", "1E100"},
        GeneralCase{1.5e-100L, ',', "1,5E-100", "1,5E-100"},
        // Exact decimal ties (the values are whole numbers or binary fractions) round half to
        // even.
        GeneralCase{1000000000000025.0L, ',', "1,00000000000002E15", nullptr},
        GeneralCase{1000000000000035.0L, ',', "1,00000000000004E15", nullptr},
        GeneralCase{123445, ',', nullptr, "1,2344E05"},
        GeneralCase{123455, ',', nullptr, "1,2346E05"},
        GeneralCase{1.03125L, ',', "1,03125", "1,0312"},
        GeneralCase{1.09375L, ',', "1,09375", "1,0938"}));

INSTANTIATE_TEST_SUITE_P(DecimalPoint, GeneralFormat,
                         ::testing::Values(GeneralCase{0.001L, '.', "0.001", "0.001"},
                                           GeneralCase{2.5e20L, '.', "2.5E20", "2.5E20"},
                                           GeneralCase{123456, '.', "123456", "1.2346E05"},
                                           GeneralCase{-3.14159L, '.', "-3.14159", "-3.1416"},
                                           GeneralCase{0.00009L, '.', "9E-5", "9E-05"},
                                           GeneralCase{1e-8L, '.', "1E-8", "1E-08"},
                                           GeneralCase{1000000, '.', "1000000", "1E06"}));

// --- fixed format w.d ---------------------------------------------------------------------

struct FixedCase {
    Real value;
    int width, decimals;
    const char* expected;
};

void PrintTo(const FixedCase& c, std::ostream* os) {
    *os << static_cast<double>(c.value) << " in " << c.width << "." << c.decimals;
}

class FixedFormat : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedFormat, WritesTheExpectedText) {
    const auto& c = GetParam();
    EXPECT_EQ(formatFixed(c.value, c.width, c.decimals), c.expected)
        << "value " << static_cast<double>(c.value) << " in " << c.width << "." << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FixedFormat,
    ::testing::Values(
        FixedCase{2.5L, 8, 3, "   2.500"}, FixedCase{12345.6789L, 8, 3, "12345.679"},
        FixedCase{-0.5L, 10, 4, "   -0.5000"}, FixedCase{-7, 0, 2, "-7.00"},
        FixedCase{123456789.5L, 10, 4, "123456789.5000"}, FixedCase{0, 10, 4, "    0.0000"},
        FixedCase{1, 8, 3, "   1.000"}, FixedCase{1.5L, 10, 4, "    1.5000"},
        FixedCase{-1234.5678L, 10, 2, "  -1234.57"}, FixedCase{9.9996L, 8, 3, "  10.000"},
        FixedCase{1e20L, 0, 2, "100000000000000000000.00"}, FixedCase{2.4L, 5, 0, "    2"},
        FixedCase{42, 2, 0, "42"}, FixedCase{-42, 3, 0, "-42"}));

// A value that rounds to zero is written without a minus sign.
INSTANTIATE_TEST_SUITE_P(
    NoNegativeZero, FixedFormat,
    ::testing::Values(FixedCase{-0.0L, 8, 3, "   0.000"}, FixedCase{-0.0001L, 8, 3, "   0.000"},
                      FixedCase{-0.0004L, 0, 3, "0.000"}, FixedCase{-1e-30L, 10, 4, "    0.0000"},
                      FixedCase{-0.4L, 0, 0, "0"}, FixedCase{-0.5L, 0, 0, "0"},
                      FixedCase{-0.004L, 0, 2, "0.00"},
                      // 0.005L is stored just below the tie, so it rounds to zero as well.
                      FixedCase{-0.005L, 0, 2, "0.00"}, FixedCase{-0.0051L, 0, 2, "-0.01"}));

// Ties are decided on the binary value: exact ties go to the even digit; decimal texts that
// look like ties but are stored just below or above them round the way the stored value lies.
INSTANTIATE_TEST_SUITE_P(
    Ties, FixedFormat,
    ::testing::Values(FixedCase{0.125L, 0, 2, "0.12"}, FixedCase{0.375L, 0, 2, "0.38"},
                      FixedCase{2.5L, 0, 0, "2"}, FixedCase{3.5L, 0, 0, "4"},
                      FixedCase{-2.5L, 0, 0, "-2"}, FixedCase{0.5L, 0, 0, "0"},
                      FixedCase{1.5L, 0, 0, "2"}, FixedCase{1.0625L, 0, 3, "1.062"},
                      FixedCase{1.1875L, 0, 3, "1.188"}, FixedCase{-0.125L, 8, 2, "   -0.12"},
                      FixedCase{static_cast<Real>(1.005), 0, 2, "1.00"},
                      FixedCase{static_cast<Real>(2.675), 0, 2, "2.67"},
                      FixedCase{static_cast<Real>(0.615), 0, 2, "0.61"},
                      FixedCase{static_cast<Real>(1.115), 0, 2, "1.11"}));

// --- integer texts --------------------------------------------------------------------------

TEST(IntegerText, RightAlignsWithoutCutting) {
    struct Case {
        long long value;
        int width;
        const char* expected;
    };
    const Case cases[] = {{0, 0, "0"},     {5, 3, "  5"},   {1234, 3, "1234"},
                          {-5, 4, "  -5"}, {-12, 0, "-12"}, {123, 3, "123"},
                          {7, 4, "   7"},  {10, 4, "  10"}, {-1000, 4, "-1000"}};
    for (const auto& c : cases)
        EXPECT_EQ(intText(c.value, c.width), c.expected) << c.value << " in " << c.width;
}

// --- whole-number conversion -----------------------------------------------------------------

struct WholeCase {
    const char* text;
    std::optional<int32_t> expected;
};

void PrintTo(const WholeCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class WholeNumber : public ::testing::TestWithParam<WholeCase> {};

TEST_P(WholeNumber, AcceptsOrRefuses) {
    const auto& c = GetParam();
    EXPECT_EQ(toWholeNumber(c.text), c.expected) << "text \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, WholeNumber,
    ::testing::Values(
        WholeCase{"12", 12}, WholeCase{" 12", 12}, WholeCase{"   7", 7}, WholeCase{"12 ", {}},
        WholeCase{"", {}}, WholeCase{"   ", {}}, WholeCase{"+7", 7}, WholeCase{"-7", -7},
        WholeCase{"0", 0}, WholeCase{"-0", 0}, WholeCase{"007", 7},
        // Hexadecimal after "$" or "0x", with an optional sign in front.
        WholeCase{"$1F", 31}, WholeCase{"$ff", 255}, WholeCase{"0x1F", 31}, WholeCase{"0x1f", 31},
        WholeCase{"-$10", -16}, WholeCase{" -0x10", -16}, WholeCase{"$7FFFFFFF", 2147483647},
        WholeCase{"$", {}}, WholeCase{"0x", {}}, WholeCase{"$1G", {}}, WholeCase{"0x1G", {}},
        WholeCase{"1F", {}}, WholeCase{"$100000000", {}},
        // Anything else in the text refuses it.
        WholeCase{"1.5", {}}, WholeCase{"1e3", {}}, WholeCase{"1 2", {}}, WholeCase{"+-1", {}},
        WholeCase{"- 1", {}}, WholeCase{"12a", {}}, WholeCase{"-", {}}, WholeCase{"+", {}},
        WholeCase{"1,0", {}},
        // 32-bit limits.
        WholeCase{"2147483647", 2147483647}, WholeCase{"2147483648", {}},
        WholeCase{"-2147483648", std::numeric_limits<int32_t>::min()}, WholeCase{"-2147483649", {}},
        WholeCase{"99999999999999999999", {}}, WholeCase{"4294967297", {}}));

// --- point-real and local-real conversions ----------------------------------------------------

struct RealCase {
    const char* text;
    char separator; // for the local-real conversion
    std::optional<Real> expected;
};

void PrintTo(const RealCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" with '" << c.separator << "'";
}

class PointReal : public ::testing::TestWithParam<RealCase> {};

TEST_P(PointReal, AcceptsOrRefuses) {
    const auto& c = GetParam();
    const auto v = toPointReal(c.text);
    ASSERT_EQ(v.has_value(), c.expected.has_value()) << "text \"" << c.text << "\"";
    if (v) {
        EXPECT_EQ(*v, *c.expected) << "text \"" << c.text << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PointReal,
    ::testing::Values(RealCase{"1E-8", '.', 1e-8L}, RealCase{"1e-8", '.', 1e-8L},
                      RealCase{"0.001", '.', 0.001L}, RealCase{" 1.5", '.', 1.5L},
                      RealCase{"   -2.5e+3", '.', -2500}, RealCase{"+7", '.', 7},
                      RealCase{"1e3", '.', 1000}, RealCase{"12", '.', 12},
                      RealCase{"-0.125E-1", '.', -0.0125L}, RealCase{"0.1", '.', 0.1L},
                      RealCase{"123456789.123456789", '.', 123456789.123456789L},
                      RealCase{"1E4000", '.', 1e4000L},
                      // Refused.
                      RealCase{"", '.', {}}, RealCase{"  ", '.', {}}, RealCase{"0,001", '.', {}},
                      RealCase{"1.5 ", '.', {}}, RealCase{"1e", '.', {}}, RealCase{"1e+", '.', {}},
                      RealCase{"e5", '.', {}}, RealCase{"1E5x", '.', {}}, RealCase{"abc", '.', {}},
                      RealCase{"1.2.3", '.', {}}, RealCase{"--1", '.', {}},
                      RealCase{"1e5000", '.', {}}, RealCase{"nan", '.', {}},
                      RealCase{"inf", '.', {}}, RealCase{"0x10", '.', {}}, RealCase{"1 5", '.', {}},
                      RealCase{".", '.', {}}, RealCase{"-", '.', {}}, RealCase{"$10", '.', {}}));

class LocalReal : public ::testing::TestWithParam<RealCase> {};

TEST_P(LocalReal, AcceptsOrRefuses) {
    const auto& c = GetParam();
    const auto v = toLocalReal(c.text, c.separator);
    ASSERT_EQ(v.has_value(), c.expected.has_value())
        << "text \"" << c.text << "\" with '" << c.separator << "'";
    if (v) {
        EXPECT_EQ(*v, *c.expected) << "text \"" << c.text << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocalReal,
    ::testing::Values(RealCase{"0,001", ',', 0.001L}, RealCase{"0,001", '.', {}},
                      RealCase{"0.001", '.', 0.001L}, RealCase{"0.001", ',', {}},
                      RealCase{" 2,5 ", ',', 2.5L}, RealCase{"2,5   ", ',', 2.5L},
                      RealCase{"-3,25E2", ',', -325}, RealCase{"1,5e-3", ',', 0.0015L},
                      RealCase{"12", ',', 12}, RealCase{"+4", ',', 4}, RealCase{"", ',', {}},
                      RealCase{"   ", ',', {}}, RealCase{"1,2,3", ',', {}},
                      RealCase{"2,5x", ',', {}}, RealCase{"2, 5", ',', {}},
                      RealCase{"1E", ',', {}}));

TEST(LocalReal, FailureRaisesTheReportText) {
    EXPECT_EQ(localRealOrThrow(" 2,5 ", ','), 2.5L);
    try {
        localRealOrThrow("2.5", ',');
        FAIL() << "no error raised";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'2.5' is not a valid floating point value");
    }
    try {
        localRealOrThrow("", '.');
        FAIL() << "no error raised";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
    }
}

// --- file number reading ------------------------------------------------------------------------

// One step of a reading: 'I' reads a whole number, 'R' a real; `expected` is what it gives.
struct ReadStep {
    char kind;
    Real expected;
};

struct ReaderCase {
    const char* name;
    std::string data;
    std::vector<ReadStep> steps;
    int throwsAt; // index of the step that raises "Invalid numeric input", -1 for none
};

void PrintTo(const ReaderCase& c, std::ostream* os) {
    *os << c.name;
}

class FileNumberReading : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(FileNumberReading, ReadsTheSequence) {
    const auto& c = GetParam();
    NumberReader in(c.data);
    for (size_t k = 0; k < c.steps.size(); ++k) {
        const auto& step = c.steps[k];
        auto read = [&]() -> Real {
            return step.kind == 'I' ? static_cast<Real>(in.readInteger()) : in.readReal();
        };
        if (static_cast<int>(k) == c.throwsAt) {
            try {
                read();
                FAIL() << "step " << k << " did not raise";
            } catch (const ConversionError& e) {
                EXPECT_STREQ(e.what(), "Invalid numeric input");
            }
            return;
        }
        EXPECT_EQ(read(), step.expected) << "step " << k;
    }
    EXPECT_EQ(c.throwsAt, -1);
}

std::string repeated(char ch, size_t n) {
    return std::string(n, ch);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileNumberReading,
    ::testing::Values(
        ReaderCase{"AnyRunOfBlanksTabsAndLineEnds",
                   "1  0\t1\r\n2 1E-8\n\n\t 3.5",
                   {{'I', 1}, {'I', 0}, {'I', 1}, {'I', 2}, {'R', 1e-8L}, {'R', 3.5L}},
                   -1},
        ReaderCase{"SignsAndHexWholeNumbers",
                   "-3 +4 $10 0x1f",
                   {{'I', -3}, {'I', 4}, {'I', 16}, {'I', 31}},
                   -1},
        ReaderCase{
            "EndOfDataReadsZero", "  5 \r\n  ", {{'I', 5}, {'I', 0}, {'R', 0}, {'I', 0}}, -1},
        ReaderCase{"EmptyDataReadsZero", "", {{'R', 0}, {'I', 0}}, -1},
        // A whole number takes at most 32 characters: a longer run is refused, not cut in two
        // with its rest read as the next number, which shifted every later one.
        ReaderCase{"WholeNumberTokenLimit", repeated('0', 31) + "79", {{'I', 0}}, 0},
        ReaderCase{
            "WholeNumberOf32Characters", repeated('0', 30) + "42 5", {{'I', 42}, {'I', 5}}, -1},
        // A real takes at most 64.
        ReaderCase{"RealTokenLimit", "1." + repeated('0', 62) + "25", {{'R', 0}}, 0},
        ReaderCase{
            "RealOf64Characters", "1." + repeated('0', 61) + "5 2", {{'R', 1}, {'R', 2}}, -1},
        // An editor's byte-order mark is no part of the first number.
        ReaderCase{"ByteOrderMark",
                   "\xEF\xBB\xBF"
                   "3 4",
                   {{'I', 3}, {'I', 4}},
                   -1},
        ReaderCase{"RealLongerThanAWholeNumber",
                   "0." + repeated('0', 36) + "125 7",
                   {{'R', 1.25e-37L}, {'I', 7}},
                   -1},
        // A control character ends a number; it is not skipped like a blank, so the next
        // number starts there and does not convert.
        ReaderCase{
            "ControlCharacterEndsANumber", std::string("7\x01") + "8", {{'I', 7}, {'I', 8}}, 1},
        ReaderCase{"FormFeedEndsAReal", "2.5\f", {{'R', 2.5L}, {'R', 0}}, 1},
        ReaderCase{"NulEndsANumber", std::string("4\0 5", 4), {{'I', 4}, {'I', 5}}, 1},
        // Tokens that are not numbers of the expected type.
        ReaderCase{"RealWhereAWholeNumberIsExpected", "1.5", {{'I', 0}}, 0},
        ReaderCase{"ExponentWhereAWholeNumberIsExpected", "1 1E3", {{'I', 1}, {'I', 0}}, 1},
        ReaderCase{"WordWhereARealIsExpected", "1 abc", {{'R', 1}, {'R', 0}}, 1},
        ReaderCase{"DecimalCommaInAFile", "1,5", {{'R', 0}}, 0},
        ReaderCase{"TrailingGarbage", "12abc", {{'I', 0}}, 0}),
    [](const ::testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

// --- the round-trip text of the CLI
// ---------------------------------------------------------------

TEST(RoundTripText, ReadsBackTheSameExtendedValue) {
    std::vector<Real> values = {0,
                                1.0L / 3,
                                0.1L,
                                -2.0L / 7,
                                1e-4000L,
                                std::numeric_limits<Real>::max(),
                                -std::numeric_limits<Real>::min(),
                                std::numeric_limits<Real>::denorm_min(),
                                123456789012345678901234.0L};
    std::mt19937_64 rng(20240607);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int k = 0; k < 2000; ++k) {
        // Extended values with all 64 mantissa bits in use: a double times a 1 + 2^-60 factor.
        const Real v = std::ldexp(static_cast<Real>(mantissa(rng)), exponent(rng)) *
                       (1 + std::ldexp(Real(1), -60) * (k % 7));
        values.push_back(v);
    }
    for (Real v : values) {
        const std::string t = formatRoundTrip(v);
        const auto back = toPointReal(t);
        ASSERT_TRUE(back.has_value()) << t;
        EXPECT_EQ(*back, v) << t;
        EXPECT_EQ(t.find(','), std::string::npos) << t;
    }
}

// --- the process locale has no say ---------------------------------------------------------------

class ProcessLocale : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = std::setlocale(LC_ALL, nullptr);
        KVADO_REQUIRE_INPUT(std::setlocale(LC_ALL, "ru_RU.UTF-8"), "the ru_RU.UTF-8 locale");
    }
    void TearDown() override { std::setlocale(LC_ALL, m_saved.c_str()); }

private:
    std::string m_saved;
};

TEST_F(ProcessLocale, RussianLocaleChangesNothing) {
    // The locale is in force: printf itself would write a comma now.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    EXPECT_EQ(formatFixed(2.5L, 8, 3), "   2.500");
    EXPECT_EQ(formatFixed(-0.5L, 10, 4), "   -0.5000");
    EXPECT_EQ(formatGeneral(0.001L, '.'), "0.001");
    EXPECT_EQ(formatGeneral(0.001L, ','), "0,001");
    EXPECT_EQ(formatGeneral(2.5e20L, '.'), "2.5E20");
    EXPECT_EQ(formatShortGeneral(123456, '.'), "1.2346E05");
    EXPECT_EQ(formatShortGeneral(-3.14159L, ','), "-3,1416");
    EXPECT_EQ(formatRoundTrip(0.5L), "0.5");

    EXPECT_EQ(toPointReal("0.5"), std::optional<Real>(0.5L));
    EXPECT_FALSE(toPointReal("0,5").has_value());
    EXPECT_EQ(toLocalReal("0.5", '.'), std::optional<Real>(0.5L));
    EXPECT_FALSE(toLocalReal("0,5", '.').has_value());
    EXPECT_EQ(toLocalReal("0,5", ','), std::optional<Real>(0.5L));
    EXPECT_FALSE(toLocalReal("0.5", ',').has_value());

    NumberReader in("1.5 2 1E-8");
    EXPECT_EQ(in.readReal(), 1.5L);
    EXPECT_EQ(in.readInteger(), 2);
    EXPECT_EQ(in.readReal(), 1e-8L);
}

} // namespace
