// windows-1251 and UTF-8: the log and the name files are windows-1251 on disk, UTF-8 inside.

#include <gtest/gtest.h>

#include <string>

#include "text/Encoding.h"

namespace {

using namespace kvado::text;

// UTF-8 of one code point below U+10000.
std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

TEST(Cp1251, EveryCyrillicLetterAndTheNumeroSign) {
    struct Range {
        char32_t first, last;
        unsigned char firstByte;
    };
    // А..я are one block in both; Ё, ё and № stand apart.
    const Range ranges[] = {{0x0410, 0x044F, 0xC0},
                            {0x0401, 0x0401, 0xA8},
                            {0x0451, 0x0451, 0xB8},
                            {0x2116, 0x2116, 0xB9}};
    for (const auto& r : ranges) {
        for (char32_t cp = r.first; cp <= r.last; ++cp) {
            const std::string byte(1, static_cast<char>(r.firstByte + (cp - r.first)));
            const auto encoded = utf8ToCp1251(utf8Of(cp));
            ASSERT_TRUE(encoded.has_value()) << "U+" << std::hex << static_cast<unsigned>(cp);
            EXPECT_EQ(*encoded, byte) << "U+" << std::hex << static_cast<unsigned>(cp);
            EXPECT_EQ(cp1251ToUtf8(byte), utf8Of(cp))
                << "byte " << std::hex << static_cast<unsigned>(r.firstByte + (cp - r.first));
        }
    }
}

TEST(Cp1251, EveryAssignedByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue; // unassigned in windows-1251
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1251ToUtf8(byte);
        EXPECT_TRUE(isValidUtf8(utf8)) << b;
        EXPECT_EQ(utf8ToCp1251(utf8), byte) << "byte " << b;
    }
}

TEST(Cp1251, TextsOfTheLog) {
    const std::string text = "ОГРАНИЧЕНИЕ  Ёж, ёлка № 5";
    const auto encoded = utf8ToCp1251(text);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(*encoded, "\xCE\xC3\xD0\xC0\xCD\xC8\xD7\xC5\xCD\xC8\xC5  \xA8\xE6, \xB8\xEB\xEA\xE0 "
                        "\xB9 5");
    EXPECT_EQ(cp1251ToUtf8(*encoded), text);
}

TEST(Cp1251, RefusesWhatItCannotHold) {
    const char* refused[] = {
        "ä",                // Latin letter with a form in other 8-bit code pages only
        "中",               // CJK
        "\xF0\x9F\x98\x80", // outside the basic plane
        "\xEF\xBF\xBD",     // U+FFFD, which the unassigned byte 0x98 reads as
        "\xC2\x98",         // U+0098: a C1 control, not the byte 0x98
        "abc\xC0\x80",      // overlong form of NUL: not UTF-8
        "\xD0",             // truncated sequence
        "\xED\xA0\x80",     // a surrogate
    };
    for (const char* s : refused)
        EXPECT_FALSE(utf8ToCp1251(s).has_value()) << s;
    EXPECT_EQ(cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(TextFilePolicy, DecodesByContent) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"ascii", "Resource 1\r\n", "Resource 1\r\n"},
        {"cp1251", "\xD0\xE5\xF1\xF3\xF0\xF1 \xB9 1", "Ресурс № 1"},
        {"utf8", "Ресурс № 1", "Ресурс № 1"},
        {"utf8 with a byte order mark", "\xEF\xBB\xBFПлан", "План"},
        {"cp1251 that is not valid UTF-8 somewhere", "\xC0\xC1 \xC2", "АБ В"},
        {"empty", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeTextFile(c.bytes), c.expected) << c.name;
}

TEST(TextFilePolicy, EncodesInWindows1251WhenItCan) {
    EXPECT_EQ(encodeTextFile("План №2"), "\xCF\xEB\xE0\xED \xB9\x32");
    EXPECT_EQ(encodeTextFile("plain"), "plain");
    // A name with a character outside windows-1251 stays UTF-8 whole, never half converted.
    EXPECT_EQ(encodeTextFile("План 中"), "План 中");
    EXPECT_EQ(decodeTextFile(encodeTextFile("Ёлка")), "Ёлка");
}

} // namespace
