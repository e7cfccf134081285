#pragma once
// A model reader on arbitrary bytes: it may refuse a file only with ReadError (naming a line
// of the file) or the size error, never crash. A model it reads must transform, and what the
// writer makes of it must read back with the same rows, columns and coefficients. The LP and
// MPS targets run this with their own reader and writer.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/ModelFiles.h"
#include "model/StandardForm.h"

namespace kvado::model {

template <typename Read, typename Write>
int fuzzModelReader(const uint8_t* data, size_t size, Read read, Write write) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> notes;
    Model m;
    try {
        m = read(text, "fuzz", &notes);
    } catch (const ReadError& e) {
        if (e.line() < 0 || e.text().empty()) std::abort();
        return 0;
    } catch (const ProblemSizeError&) {
        return 0;
    }
    try {
        const StandardForm sf = toStandardForm(m);
        if (sf.rowNames.size() != static_cast<size_t>(sf.M()) ||
            sf.cost.size() != static_cast<size_t>(sf.N))
            std::abort();
        for (const Real b : sf.rhs)
            if (!(b >= 0) && !std::isnan(b)) std::abort();
    } catch (const ProblemSizeError&) {
    }
    // Sums of huge coefficients may overflow; such a model has no text to write.
    for (const auto& e : m.entries)
        if (!std::isfinite(e.value)) return 0;
    for (const auto& c : m.columns)
        if (!std::isfinite(c.cost)) return 0;
    if (!std::isfinite(m.objectiveConstant)) return 0;
    const Model back = read(write(m), "back", nullptr);
    if (back.rows.size() != m.rows.size() || back.columns.size() != m.columns.size() ||
        back.entries.size() != m.entries.size() || back.sense != m.sense)
        std::abort();
    return 0;
}

} // namespace kvado::model
