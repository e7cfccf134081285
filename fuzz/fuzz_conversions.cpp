// The text-to-number conversions over arbitrary text, and their agreement with the forms
// that write numbers: whatever a conversion accepts must be finite, and the general number
// format of it must convert back to a value within its 15 significant digits.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/NumberText.h"

using namespace kvado::text;

namespace {
void checkRoundTrip(kvado::Real v, char sep) {
    if (!std::isfinite(v)) std::abort();
    const auto back = toLocalReal(formatGeneral(v, sep), sep);
    if (!back) std::abort();
    const kvado::Real tolerance = std::fabs(v) * 1e-14L;
    if (std::fabs(*back - v) > tolerance) std::abort();
    (void)formatShortGeneral(v, sep);
    (void)formatFixed(v, 8, 3);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view s(reinterpret_cast<const char*>(data), size);
    if (auto n = toWholeNumber(s)) {
        const auto back = toWholeNumber(intText(*n));
        if (!back || *back != *n) std::abort();
    }
    if (auto v = toPointReal(s)) checkRoundTrip(*v, '.');
    for (const char sep : {',', '.'})
        if (auto v = toLocalReal(s, sep)) checkRoundTrip(*v, sep);
    return 0;
}
