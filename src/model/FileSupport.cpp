#include "model/FileSupport.h"

#include <cstdint>
#include <unordered_set>

#include "solver/LpProblem.h"

namespace kvado::model::detail {

void checkModelSize(size_t rows, size_t columns) {
    // Any size the machine holds is read: the sparse engine takes it, and the transformation
    // for the method refuses what the method cannot take. Indices stay 32-bit.
    constexpr auto kMost = static_cast<size_t>(INT32_MAX - 1);
    if (rows > kMost || columns > kMost)
        throw ProblemSizeError(
            tooLargeMessage(static_cast<int64_t>(rows), static_cast<int64_t>(columns)));
}

std::vector<std::string> fileNames(const std::vector<std::string>& names,
                                   const std::function<std::string(const std::string&)>& fix,
                                   const std::string& fallback,
                                   const std::vector<std::string>& taken) {
    std::vector<std::string> out;
    out.reserve(names.size());
    std::unordered_set<std::string> used(taken.begin(), taken.end());
    for (size_t k = 0; k < names.size(); ++k) {
        std::string n = names[k].empty() ? fallback + std::to_string(k + 1) : fix(names[k]);
        if (used.count(n)) {
            std::string base = n;
            for (int suffix = 1; used.count(n); ++suffix)
                n = base + "~" + std::to_string(suffix);
        }
        used.insert(n);
        out.push_back(std::move(n));
    }
    return out;
}

std::string found(std::string_view text) {
    // Built piece by piece: "'" + std::string(...) trips a false -Wrestrict of GCC 12.
    std::string s = "'";
    if (text.size() > 40) {
        size_t n = 40; // not inside a UTF-8 character
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
        s.append(text.substr(0, n));
        s += "...";
    } else {
        s.append(text);
    }
    s += "'";
    return s;
}

bool sameWord(std::string_view a, std::string_view keyword) {
    if (a.size() != keyword.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        char c = a[k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        char d = keyword[k];
        if (d >= 'A' && d <= 'Z') d = static_cast<char>(d - 'A' + 'a');
        if (c != d) return false;
    }
    return true;
}

std::string readableText(std::string_view bytes, const std::string& file) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::string out;
    out.reserve(bytes.size());
    int64_t line = 1;
    for (size_t k = 0; k < bytes.size(); ++k) {
        const char c = bytes[k];
        // A control character would reach the terminal raw in a name or a message (an ESC
        // starts a terminal command, a NUL ends a C string); blanks, tabs, form feeds and line
        // ends are the text's own.
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') ||
            u == 0x7F)
            throw ReadError(file, line,
                            "байт " + std::to_string(u) + " в строке " + std::to_string(line));
        if (c == '\r' && (k + 1 == bytes.size() || bytes[k + 1] != '\n')) {
            out += '\n';
            ++line;
            continue;
        }
        if (c == '\n') ++line;
        out += c;
    }
    return out;
}

} // namespace kvado::model::detail
