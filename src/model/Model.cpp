#include "model/Model.h"

#include <cmath>

#include "text/NumberText.h"

namespace kvado::model {

Row lessRow(std::string name, Real b) {
    return {std::move(name), RowKind::Less, -kInfinity, b};
}

Row greaterRow(std::string name, Real b) {
    return {std::move(name), RowKind::Greater, b, kInfinity};
}

Row equalRow(std::string name, Real b) {
    return {std::move(name), RowKind::Equal, b, b};
}

Row rangeRow(std::string name, Real lower, Real upper) {
    return {std::move(name), RowKind::Range, lower, upper};
}

Row lessRow(std::string name, const text::ExactReal& b) {
    Row r = lessRow(std::move(name), b.value);
    r.upperExact = b.exact;
    return r;
}

Row greaterRow(std::string name, const text::ExactReal& b) {
    Row r = greaterRow(std::move(name), b.value);
    r.lowerExact = b.exact;
    return r;
}

Row equalRow(std::string name, const text::ExactReal& b) {
    Row r = equalRow(std::move(name), b.value);
    r.lowerExact = r.upperExact = b.exact;
    return r;
}

Row rangeRow(std::string name, const text::ExactReal& lower, const text::ExactReal& upper) {
    Row r = rangeRow(std::move(name), lower.value, upper.value);
    r.lowerExact = lower.exact;
    r.upperExact = upper.exact;
    return r;
}

Real rightHandSide(const Row& r) {
    return r.kind == RowKind::Less ? r.upper : r.lower;
}

ReadError::ReadError(std::string file, int64_t line, std::string text)
    : std::runtime_error(file + ": " + (line > 0 ? "строка " + std::to_string(line) + ": " : "") +
                         text),
      m_file(std::move(file)), m_line(line), m_text(std::move(text)) {}

std::string numberText(Real v) {
    if (v == std::floor(v) && std::fabs(v) < 1e18L) {
        // Whole numbers, the usual case, without the printf round trip.
        const auto n = static_cast<long long>(v);
        if (n == 0) return "0";
        return std::to_string(n);
    }
    if (!std::isfinite(v)) return v < 0 ? "-inf" : "inf";
    for (const int digits : {15, 18}) {
        const std::string s = text::formatGeneralWith(v, digits, 1, '.');
        if (const auto back = text::toPointReal(s); back && *back == v) return s;
    }
    return text::formatRoundTrip(v);
}

bool hasIntegers(const Model& m) {
    for (const Column& c : m.columns)
        if (isInteger(c)) return true;
    return false;
}

Model relaxation(Model m) {
    for (Column& c : m.columns)
        c.kind = ColumnKind::Continuous;
    return m;
}

} // namespace kvado::model
