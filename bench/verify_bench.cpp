// Times the exact check of generated problems (N unknowns, N "<=" rows, A in 0..3, C in -4..-1,
// B in 100..499, fixed seed, as kvado-cli generate makes them) after the method has solved
// them, and the exact solve from the method's basis. Prints a Markdown table; the check of a
// 300 x 300 problem should take under a second in a Release build.
//
//   verify_bench [N ...]        default: 100 300 1000

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/ExactSolve.h"
#include "analysis/Verify.h"
#include "datafile/DataFile.h"
#include "datafile/Generator.h"
#include "solver/Simplex.h"

using namespace kvado;

namespace {

double since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int32_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100, 300, 1000};
    const std::string folder =
        (std::filesystem::temp_directory_path() / "kvado-verify-bench").string();
    std::filesystem::create_directories(folder);
    std::printf("| N x L | solve s | verdict | check s | exact solve s | exact iterations |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const int32_t n : sizes) {
        const std::string ns = std::to_string(n);
        const auto files = datafile::generateProblem({n, n}, ns, ns, "1E-5", 42);
        LpProblem p;
        datafile::readDataFile(files.data, p);
        SolverHost host;
        TraceLog log(folder);
        auto t = std::chrono::steady_clock::now();
        const SolveOutcome outcome = solve(p, log, host);
        const double solveSeconds = since(t);
        t = std::chrono::steady_clock::now();
        const auto v = analysis::verify(p, outcome, analysis::VerifyOptions::unlimited());
        const double checkSeconds = since(t);
        t = std::chrono::steady_clock::now();
        const auto e = analysis::solveExactly(p, &v, {});
        const double exactSeconds = since(t);
        std::printf("| %d x %d | %.3f | %s | %.3f | %.3f | %d |\n", n, n, solveSeconds,
                    analysis::verdictName(v.verdict), checkSeconds, exactSeconds, e.iterations);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
