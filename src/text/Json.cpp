#include "text/Json.h"

#include "text/Encoding.h"
#include "text/NumberText.h"

#include <cmath>

namespace kvado::text {

namespace {

// The length of the valid UTF-8 sequence at s[k], or 0 for a byte that starts none.
size_t sequenceLength(std::string_view s, size_t k) {
    const auto u = static_cast<unsigned char>(s[k]);
    const size_t n = u >= 0xF0 && u <= 0xF4 ? 4 : u >= 0xE0 ? 3 : u >= 0xC2 && u < 0xE0 ? 2 : 0;
    if (n == 0 || u > 0xF4 || k + n > s.size()) return 0;
    return isValidUtf8(s.substr(k, n)) ? n : 0;
}

} // namespace

std::string jsonString(std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (size_t k = 0; k < s.size(); ++k) {
        const char c = s[k];
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else if (u < 0x80) {
            out += c;
        } else if (const size_t n = sequenceLength(s, k)) {
            out.append(s.substr(k, n));
            k += n - 1;
        } else {
            // A byte that is no UTF-8 would make the whole answer unreadable to a JSON
            // reader: the replacement character stands for it.
            out += "\\ufffd";
        }
    }
    return out + "\"";
}

void JsonWriter::startValue() {
    if (m_sink && m_out.size() >= 65536) {
        m_sink(m_out);
        m_out.clear();
    }
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasElement.empty()) {
        if (m_hasElement.back()) m_out += ", ";
        m_hasElement.back() = true;
    }
}

JsonWriter& JsonWriter::open(char c) {
    startValue();
    m_out += c;
    m_hasElement.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::close(char c) {
    m_hasElement.pop_back();
    m_out += c;
    return *this;
}

JsonWriter& JsonWriter::beginObject() {
    return open('{');
}
JsonWriter& JsonWriter::endObject() {
    return close('}');
}
JsonWriter& JsonWriter::beginArray() {
    return open('[');
}
JsonWriter& JsonWriter::endArray() {
    return close(']');
}

JsonWriter& JsonWriter::key(std::string_view name) {
    startValue();
    m_out += jsonString(name);
    m_out += ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view s) {
    startValue();
    m_out += jsonString(s);
    return *this;
}

JsonWriter& JsonWriter::string(const std::optional<std::string>& s) {
    return s ? string(*s) : null();
}

JsonWriter& JsonWriter::number(Real v, Zero zero) {
    if (!std::isfinite(v)) return null();
    startValue();
    m_out += formatRoundTrip(zero == Zero::Plain && v == 0 ? Real(0) : v);
    return *this;
}

JsonWriter& JsonWriter::number(const std::optional<Real>& v, Zero zero) {
    return v ? number(*v, zero) : null();
}

JsonWriter& JsonWriter::integer(int64_t v) {
    startValue();
    m_out += std::to_string(v);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool b) {
    startValue();
    m_out += b ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    startValue();
    m_out += "null";
    return *this;
}

} // namespace kvado::text
