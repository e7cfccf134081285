// Opening a data file with its two name files, all three arbitrary bytes: the input is split
// at the first two 0xFF 0x00 pairs. Reading may fail only with the conversion error or the
// size error, never crash, and the name files give at most the lines asked for.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "datafile/DataFile.h"
#include "datafile/NameFiles.h"

using namespace kvado;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    for (int k = 0; k < 2; ++k) {
        const auto cut = all.find(std::string_view("\xFF\x00", 2));
        parts[k] = all.substr(0, cut);
        all = cut == std::string_view::npos ? std::string_view() : all.substr(cut + 2);
    }
    parts[2] = all;
    // Counts within the program's limits but in the thousands make every run allocate a
    // large inverse, which slows the fuzzer to a crawl without reaching new code.
    try {
        text::NumberReader header(parts[0]);
        int64_t counts[4];
        for (auto& c : counts) c = header.readInteger();
        const int64_t M = counts[0] + counts[1] + counts[2];
        if (M > 300 && M <= ProblemLimits::maxRows && counts[3] >= 0) return 0;
        if (counts[3] > 300 && counts[3] <= ProblemLimits::maxColumns && M >= 0) return 0;
    } catch (const text::ConversionError&) {
    }
    LpProblem p;
    try {
        datafile::readDataFile(parts[0], p);
    } catch (const text::ConversionError&) {
        return 0;
    } catch (const ProblemSizeError&) {
        return 0;
    } catch (const std::bad_alloc&) {
        // Counts within the limits may still be more than the fuzzer's memory cap allows.
        return 0;
    }
    const auto names = datafile::splitNameLines(parts[1], static_cast<size_t>(p.M) + 1);
    const auto unknowns = datafile::splitNameLines(parts[2], static_cast<size_t>(p.N));
    if (names.size() > static_cast<size_t>(p.M) + 1 || unknowns.size() > static_cast<size_t>(p.N))
        std::abort();
    return 0;
}
