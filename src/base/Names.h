#pragma once
// The names of a problem's rows and columns, as the input grid holds them and the ranging, the
// explanation and the step window tell them.

#include <string>
#include <vector>

namespace kvado {

// Row 1 and X[1] first. Either list may be shorter than the counts or hold empty names; the
// texts then fall back on the row's number and X[j].
struct Names {
    std::vector<std::string> rows, columns;
};

} // namespace kvado
