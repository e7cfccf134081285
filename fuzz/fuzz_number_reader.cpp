// File number reading over arbitrary bytes: every read either gives a number or raises the
// conversion error, and the reader always moves forward.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/NumberText.h"

using namespace kvado::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view s(reinterpret_cast<const char*>(data), size);
    NumberReader in(s);
    bool wantInteger = size > 0 && (data[0] & 1);
    try {
        for (size_t k = 0; k <= size && !in.atEnd(); ++k) {
            const size_t before = in.position();
            if (wantInteger)
                (void)in.readInteger();
            else
                (void)in.readReal();
            if (in.position() <= before) std::abort();
            wantInteger = !wantInteger;
        }
    } catch (const ConversionError&) {
    }
    return 0;
}
