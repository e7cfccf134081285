// The LP reader on arbitrary bytes (see ModelReaderFuzz.h).
#include "ModelReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvado::model;
    return fuzzModelReader(
        data, size,
        [](std::string_view text, const std::string& name, std::vector<std::string>* notes) {
            return readLp(text, name + ".lp", notes);
        },
        [](const Model& m) { return writeLp(m); });
}
