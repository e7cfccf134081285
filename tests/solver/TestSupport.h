#pragma once
// What the solver, reference and CLI tests share: problems written as plain data, loading them
// the way the loaders do, a folder of their own for the trace log, and a host that records.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "solver/LpProblem.h"
#include "solver/Simplex.h"
#include "solver/TraceLog.h"

// Whether AddressSanitizer is on: GCC says so with a macro, clang with a feature test.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KVADO_TEST_ASAN 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define KVADO_TEST_ASAN 1
#endif

namespace kvado::test {

// A problem as the user states it: rows ">=" first, then "=", then "<=".
struct ProblemData {
    int32_t G = 0, E = 0, L = 0, N = 0;
    Real eps = 1e-8L;
    std::vector<std::vector<Real>> A; // M rows of N
    std::vector<Real> C;              // N
    std::vector<Real> B;              // M
    int32_t M() const { return G + E + L; }
};

// Reset, standard-form set-up in the loaders' order, snapshots.
void load(const ProblemData& d, LpProblem& p);
// The data file text of the problem, every number written so that it reads back exactly.
std::string dataFileText(const ProblemData& d);

// A fresh folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// The bytes of a trace log holding `lines` (UTF-8): windows-1251, every line ended by CR LF.
std::string logBytes(const std::vector<std::string>& utf8Lines);
// A log's lines back in UTF-8, without their CR LF (the text after the last CR LF, if any,
// as a last line).
std::vector<std::string> logLines(const std::string& bytes);

class RecordingHost : public SolverHost {
public:
    explicit RecordingHost(char separator = ',') : m_separator(separator) {}
    void setProgressMaximum(int32_t m) override { maximum = m; }
    void setProgressPosition(int32_t p) override { positions.push_back(p); }
    void showMessage(const std::string& utf8) override {
        messages.push_back(utf8);
        if (onMessage) onMessage();
    }
    void writeSolutionReport(const LpProblem&) override { calls += "S"; }
    void writeShadowPrices(const LpProblem&) override { calls += "P"; }
    char decimalSeparator() const override { return m_separator; }

    int32_t maximum = -1;
    std::vector<int32_t> positions;
    std::vector<std::string> messages;
    std::string calls;
    std::function<void()> onMessage;

private:
    char m_separator;
};

// One solve of `d` with its log in a folder of its own.
struct Solved {
    LpProblem problem;
    SolveOutcome outcome = SolveOutcome::Optimal;
    std::string log; // bytes of Kvaq.log
    RecordingHost host;
};
void solveProblem(const ProblemData& d, Solved& out);

// The randomised comparisons and the Netlib runs are the suite's longest cases, and the suite
// runs them twice, under the C and under a Russian locale. Each locale takes every other case
// `k`, so every case still runs once, under one locale or the other, and none costs twice. Run
// by hand without LC_ALL, a test takes every case.
bool caseOfThisLocale(int64_t k);
// How many of the cases 0..total-1 this locale takes.
int64_t casesOfThisLocale(int64_t total);
// The items this locale takes, by their place in `all`.
template <class T> std::vector<T> ofThisLocale(const std::vector<T>& all) {
    std::vector<T> mine;
    for (size_t k = 0; k < all.size(); ++k)
        if (caseOfThisLocale(static_cast<int64_t>(k))) mine.push_back(all[k]);
    return mine;
}

} // namespace kvado::test
