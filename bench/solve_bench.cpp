// Solves generated problems (N unknowns, N "<=" rows, A in 0..3, C in -4..-1, B in 100..499,
// fixed seed) the way kvado-cli does, trace log included, and prints a Markdown table of
// passes, seconds per solve and per pass, peak memory, and the seconds the sensitivity ranging
// of the optimum takes (asked for after the peak is taken: it is not part of a solve). Each size
// runs in a child process so that its peak memory is its own.
//
//   solve_bench [N ...]        default: 100 300 500 1000

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "analysis/Ranging.h"
#include "datafile/DataFile.h"
#include "datafile/Generator.h"
#include "solver/Simplex.h"

using namespace kvado;

namespace {

struct Result {
    int32_t passes = 0;
    double readSeconds = 0, solveSeconds = 0, rangingSeconds = 0;
    long peakKiB = 0;
    int64_t nonzeros = 0;
};

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

Result run(int32_t n, const std::string& folder) {
    const std::string ns = std::to_string(n);
    const auto files = datafile::generateProblem({n, n}, ns, ns, "1E-5", 42);
    Result r;
    LpProblem p;
    const double t0 = cpuSeconds();
    datafile::readDataFile(files.data, p);
    const double t1 = cpuSeconds();
    SolverHost host;
    TraceLog log(folder);
    solve(p, log, host);
    const double t2 = cpuSeconds();
    r.passes = p.pass;
    r.readSeconds = t1 - t0;
    r.solveSeconds = t2 - t1;
    r.nonzeros = p.nonzeroCount();
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    r.peakKiB = ru.ru_maxrss;
    const double t3 = cpuSeconds();
    const analysis::Ranges ranges = analysis::computeRanges(p, {}, {});
    r.rangingSeconds = ranges.columns.empty() ? 0 : cpuSeconds() - t3;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int32_t> sizes;
    for (int k = 1; k < argc; ++k)
        sizes.push_back(std::atoi(argv[k]));
    if (sizes.empty()) sizes = {100, 300, 500, 1000};
    char folderTemplate[] = "/tmp/kvado-bench-XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (!folder) return 1;

    std::puts("| N x L | passes | read s | solve s (log incl.) | ms per pass | peak MiB | "
              "inverse + nonzeros MiB | ranging s |");
    std::puts("|---|---|---|---|---|---|---|---|");
    for (const int32_t n : sizes) {
        int fd[2];
        if (pipe(fd) != 0) return 1;
        const pid_t pid = fork();
        if (pid == 0) {
            close(fd[0]);
            const Result r = run(n, folder);
            if (write(fd[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) _exit(1);
            _exit(0);
        }
        close(fd[1]);
        Result r;
        const bool ok = read(fd[0], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
        close(fd[0]);
        waitpid(pid, nullptr, 0);
        if (!ok) {
            std::printf("| %d x %d | failed |\n", n, n);
            continue;
        }
        // What the method must hold: the (M+2) x (M+3) inverse and the nonzeros (a double
        // value and an index, in the column and in the row copy).
        const double inverseMiB = (n + 3.0) * (n + 3.0) * sizeof(Real) / (1 << 20);
        const double nonzeroMiB =
            static_cast<double>(r.nonzeros) * 2 * (sizeof(double) + 4) / (1 << 20);
        std::printf("| %d x %d | %d | %.3f | %.3f | %.3f | %.1f | %.1f | %.3f |\n", n, n, r.passes,
                    r.readSeconds, r.solveSeconds, 1e3 * r.solveSeconds / r.passes,
                    static_cast<double>(r.peakKiB) / 1024, inverseMiB + nonzeroMiB,
                    r.rangingSeconds);
    }
    std::string cleanup = std::string("rm -rf ") + folder;
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
