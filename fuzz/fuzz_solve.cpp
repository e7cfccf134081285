// Loading and solving problems from arbitrary bytes, with at most 12 rows and 12 unknowns so
// that solves stay fast. Every solve must end, coarse Eps included: a pass beyond the solver's
// own pass limit is a hang. A compact problem must not even need that limit (a cycle on
// such a problem is one the cycle watch missed), and its optimal answer must pass the
// solution check.
//
// The first byte chooses how the rest is read: as the text of a data file (robustness of the
// whole road), or as a compact problem of small integers (the solver's answers), where
// rounding cannot excuse a wrong verdict.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "datafile/DataFile.h"
#include "solver/Simplex.h"

using namespace kvado;

namespace {

class Host : public SolverHost {
public:
    explicit Host(int32_t limit) : m_limit(limit) {}
    void setProgressPosition(int32_t pass) override {
        if (pass > m_limit) std::abort();
    }

private:
    int32_t m_limit;
};

bool loadCompact(const uint8_t* data, size_t size, LpProblem& p) {
    size_t k = 0;
    auto next = [&]() -> int { return k < size ? data[k++] : 0; };
    p.G = next() % 5;
    p.E = next() % 5;
    p.L = next() % 5;
    p.N = 1 + next() % 8;
    p.eps = 1e-9L;
    p.reset();
    for (int32_t i = 1; i <= p.M; ++i)
        for (int32_t j = 1; j <= p.N; ++j)
            p.setCoefficient(i, j, next() % 9 - 4);
    for (int32_t j = 1; j <= p.N; ++j)
        p.setObjective(j, next() % 11 - 5);
    for (int32_t i = 1; i <= p.M; ++i)
        p.setRightHandSide(i, next() % 21);
    p.takeSnapshots();
    return true;
}

// Feasibility of the reported plan, recomputed from the loaded coefficients.
void checkOptimal(const LpProblem& p, Real tolerance) {
    for (int32_t i = 1; i <= p.M; ++i) {
        Real activity = 0;
        for (int32_t j = 1; j <= p.N; ++j)
            activity += p.checkCopy(i, j) * p.solution[static_cast<size_t>(j)];
        const Real b = p.initialRhs[static_cast<size_t>(i)];
        const Real slack = tolerance * std::max<Real>(1, std::fabs(b));
        if (p.isGreaterRow(i) && activity < b - slack) std::abort();
        if (p.isEqualRow(i) && std::fabs(activity - b) > slack) std::abort();
        if (p.isLessRow(i) && activity > b + slack) std::abort();
    }
    for (int32_t j = 1; j <= p.N; ++j)
        if (p.solution[static_cast<size_t>(j)] < -tolerance) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool compact = data[0] & 1;
    LpProblem p;
    if (compact) {
        loadCompact(data + 1, size - 1, p);
    } else {
        try {
            datafile::readDataFile(
                std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), p);
        } catch (const std::exception&) {
            return 0;
        }
        if (p.M > 12 || p.N > 12 || !(p.eps > 0)) return 0;
        for (int32_t i = 1; i <= p.M; ++i)
            if (!(p.initialRhs[static_cast<size_t>(i)] >= 0)) return 0;
    }
    Host host(passLimit(p));
    TraceLog log("/tmp");
    const SolveOutcome outcome = solve(p, log, host);
    // Data-file text can hold a coarse Eps on which steps over entries below it drive basic
    // values below zero; no rule for choosing pivots ends that, and the pass limit does.
    if (compact && outcome == SolveOutcome::PassLimit) std::abort();
    if (compact && outcome == SolveOutcome::Optimal) checkOptimal(p, 1e-9L);
    return 0;
}
