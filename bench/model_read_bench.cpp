// Reading dense N x N models as LP and MPS text (N "<=" rows, A in 1..9, fixed seed), and their
// transformation to the standard form; CPU seconds of each step, as a Markdown table.
//
//   model_read_bench [N ...]        default: 500 1000 2000

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

#include "model/ModelFiles.h"
#include "model/StandardForm.h"

using namespace kvado;
using namespace kvado::model;

namespace {

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// "x12": built by appending, since GCC 12's Release build takes "x" + string for an
// overlapping copy (-Wrestrict) and warns.
std::string numbered(char prefix, int k) {
    std::string s(1, prefix);
    return s.append(std::to_string(k));
}

Model dense(int n) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> a(1, 9);
    Model m;
    m.sense = Sense::Maximize;
    for (int j = 0; j < n; ++j)
        m.columns.push_back({numbered('x', j + 1), Real(a(rng))});
    for (int i = 0; i < n; ++i) {
        m.rows.push_back(lessRow(numbered('r', i + 1), 100 + a(rng)));
        for (int j = 0; j < n; ++j)
            m.entries.push_back({i, j, Real(a(rng)) / 4});
    }
    return m;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int k = 1; k < argc; ++k)
        sizes.push_back(std::atoi(argv[k]));
    if (sizes.empty()) sizes = {500, 1000, 2000};
    std::printf(
        "| N x N | coefficients | LP MB | read LP s | MPS MB | read MPS s | transform s |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const int n : sizes) {
        const Model m = dense(n);
        const std::string lp = writeLp(m), mps = writeMps(m);
        double t = cpuSeconds();
        const Model a = readLp(lp, "bench.lp");
        const double readLp = cpuSeconds() - t;
        t = cpuSeconds();
        const Model b = readMps(mps, "bench.mps");
        const double readMps = cpuSeconds() - t;
        t = cpuSeconds();
        const StandardForm sf = toStandardForm(b);
        const double transform = cpuSeconds() - t;
        if (a.entries.size() != m.entries.size() || sf.N != n) return 1;
        std::printf("| %d | %zu | %.1f | %.3f | %.1f | %.3f | %.3f |\n", n, m.entries.size(),
                    static_cast<double>(lp.size()) / 1e6, readLp,
                    static_cast<double>(mps.size()) / 1e6, readMps, transform);
    }
    return 0;
}
