#pragma once
// The JSON that kvado-cli prints: one streaming writer for every object it is made of.

#include "base/Real.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvado::text {

// `s` (UTF-8) as a JSON string: quoted, with '"', '\' and control characters escaped and a
// byte that is not UTF-8 written as U+FFFD, so the JSON stays valid whatever a name holds.
std::string jsonString(std::string_view s);

// Writes JSON as it goes, in the one layout kvado-cli has always printed: ", " between the
// elements of an object or array, ": " after a member's name, nothing else. The writer puts
// the separators itself, so no caller keeps a "first element" flag; a member is started by
// key() and completed by the one value (or object or array) that follows.
class JsonWriter {
public:
    // What number() does with a zero whose sign bit is set: -0 comes out of a subtraction (an
    // objective or a marginal of exactly 0), and a script would read "-0" as a sign.
    enum class Zero { Signed, Plain };

    JsonWriter() = default;
    // Hands the text on to `sink` in pieces as it grows, so that the JSON of a model with a
    // million numbers is never held whole; text() then holds what is not handed on yet.
    explicit JsonWriter(std::function<void(std::string_view)> sink) : m_sink(std::move(sink)) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);

    JsonWriter& string(std::string_view s);
    JsonWriter& string(const std::string& s) { return string(std::string_view(s)); }
    JsonWriter& string(const char* s) { return string(std::string_view(s)); }
    JsonWriter& string(const std::optional<std::string>& s);
    // JSON has no infinity or NaN: such a number is written as null. Finite numbers keep every
    // bit (formatRoundTrip).
    JsonWriter& number(Real v, Zero zero = Zero::Signed);
    JsonWriter& number(const std::optional<Real>& v, Zero zero = Zero::Signed);
    JsonWriter& integer(int64_t v);
    JsonWriter& boolean(bool b);
    JsonWriter& null();

    const std::string& text() const { return m_out; }

private:
    // Before a value: the separator from the previous element, unless a key just opened it.
    void startValue();
    JsonWriter& open(char c);
    JsonWriter& close(char c);

    std::string m_out;
    std::function<void(std::string_view)> m_sink;
    // One entry per open object or array: whether it has an element yet.
    std::vector<bool> m_hasElement;
    bool m_afterKey = false;
};

} // namespace kvado::text
