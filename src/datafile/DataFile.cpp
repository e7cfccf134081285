#include "datafile/DataFile.h"

#include <algorithm>

namespace kvado::datafile {

int64_t readDataFile(std::string_view bytes, LpProblem& p, LoadObserver* observer) {
    LoadObserver none;
    LoadObserver& obs = observer ? *observer : none;
    text::NumberReader in(bytes);
    int32_t count[4] = {};
    for (int32_t& c : count) {
        try {
            c = in.readInteger();
        } catch (const text::NumberTooLarge& e) {
            throw ProblemSizeError(e.what());
        }
    }
    const auto [G, E, L, N] = count;
    const Real eps = in.readReal();
    checkCounts(G, E, L, N);
    p.G = G;
    p.E = E;
    p.L = L;
    p.N = N;
    p.eps = eps;
    p.reset();
    obs.header(p);
    const int32_t M = p.M;
    obs.progressMaximum(M);
    text::ExactNumber exact;
    for (int32_t i = 1; i <= M; ++i) {
        if (i % 10 == 0) obs.progress(i);
        for (int32_t j = 1; j <= N; ++j) {
            const Real a = in.readReal(exact);
            p.setCoefficient(i, j, a);
            p.setExact(i, j, exact);
            obs.coefficient(i, j, a);
        }
    }
    for (int32_t j = 1; j <= N; ++j) {
        const Real c = in.readReal(exact);
        p.setObjective(j, c);
        p.setExact(M + 1, j, exact);
        obs.objective(j, c);
    }
    for (int32_t i = 1; i <= M; ++i) {
        const Real b = in.readReal(exact);
        p.setRightHandSide(i, b);
        p.setExact(i, 0, exact);
        obs.rightHandSide(i, b);
    }
    obs.progress(0);
    p.takeSnapshots();
    return in.missing();
}

std::string shortFileNote(int64_t missing) {
    if (missing <= 0) return {};
    return "Файл закончился раньше: " + text::intText(missing) + " чисел прочитаны как 0";
}

std::string badNumberPlace(std::string_view bytes) {
    text::NumberReader in(bytes);
    // The numbers are read as the loader reads them: four counts, then reals.
    for (int32_t k = 0; !in.atEnd(); ++k) {
        const size_t start = in.position();
        try {
            if (k < 4)
                in.readInteger();
            else
                in.readReal();
        } catch (const text::ConversionError&) {
            const size_t lineStart = bytes.rfind('\n', start == 0 ? 0 : start - 1);
            const size_t from =
                start == 0 || lineStart == std::string_view::npos ? 0 : lineStart + 1;
            const auto line =
                1 + std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(from), '\n');
            // Numbers of the line before this one.
            int32_t place = 1;
            text::NumberReader before(bytes.substr(from, start - from));
            while (!before.atEnd()) {
                const size_t s0 = before.position();
                try {
                    before.readReal();
                } catch (const text::ConversionError&) {
                }
                if (before.position() == s0) break;
                ++place;
            }
            return "строка " + text::intText(static_cast<int64_t>(line)) + ", число " +
                   text::intText(place) + ": «" +
                   std::string(bytes.substr(start, in.position() - start)) + "»";
        }
    }
    return {};
}

bool holdsNoNumber(std::string_view bytes) {
    text::NumberReader in(bytes);
    return in.atEnd();
}

} // namespace kvado::datafile
