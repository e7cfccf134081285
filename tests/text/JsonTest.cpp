// The JSON writer: what no command's JSON happens to hold (nested empty containers, numbers
// beyond the 80-bit range, every byte a name could hold).

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "text/Json.h"

namespace {

using namespace kvado;
using kvado::text::JsonWriter;

TEST(JsonWriter, SeparatorsNumbersAndEscapes) {
    const Real inf = std::numeric_limits<Real>::infinity();
    JsonWriter w;
    w.beginObject().key("a").beginArray().beginArray().endArray().beginObject().endObject();
    w.number(-inf).number(std::numeric_limits<Real>::quiet_NaN()).number(Real(-0.0));
    w.number(Real(-0.0), JsonWriter::Zero::Plain).number(std::optional<Real>{}).endArray();
    w.key("b").string(std::optional<std::string>{}).key("c").integer(-7).key("d").boolean(true);
    w.key("e\"").string(std::string("\x01\x1f\x7f\\/\t", 6) + "\xc3\xa9\xff\xe2\x82" + "x");
    w.endObject();
    EXPECT_EQ(w.text(), "{\"a\": [[], {}, null, null, -0, 0, null], \"b\": null, \"c\": -7, "
                        "\"d\": true, \"e\\\"\": \"\\u0001\\u001f\\u007f\\\\/\\u0009\xc3\xa9"
                        "\\ufffd\\ufffd\\ufffdx\"}");
    // Every byte below 0x80 alone: printable ones as they are, the rest escaped.
    for (int c = 0; c < 0x80; ++c) {
        const std::string s = text::jsonString(std::string(1, static_cast<char>(c)));
        const bool plain = c >= 0x20 && c != 0x7F && c != '"' && c != '\\';
        EXPECT_EQ(s.size(), plain ? 3u : c == '"' || c == '\\' ? 4u : 8u) << c;
    }
}

// A writer that hands its text on in pieces writes the same bytes as one that keeps it whole.
TEST(Json, PiecesMakeTheWholeText) {
    std::string handed;
    JsonWriter whole, pieces([&handed](std::string_view p) { handed += p; });
    for (JsonWriter* w : {&whole, &pieces}) {
        w->beginObject().key("x").beginArray();
        for (int k = 0; k < 20000; ++k)
            w->number(Real(k) / 3);
        w->endArray().key("name").string("конец").endObject();
    }
    EXPECT_LT(pieces.text().size(), 70000u);
    EXPECT_EQ(handed + pieces.text(), whole.text());
}

} // namespace
