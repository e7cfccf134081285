// Times the exact solve of data files (the Netlib problems by default) side by side with
// QSopt_ex's own `esolver` on the same problem written as an LP file, and the cost of one pivot
// of the project's exact simplex (ExactSimplex solves the basis afresh at every pivot). Prints
// a Markdown table.
//
//   exact_bench [--kvado-cli PATH] [--seconds S] [FILE.dat | FOLDER ...]
//
// FOLDER: every .dat in it (default ../shared/netlib). Each time is the best of three runs, wall
// clock (esolver's includes starting its process, as the exact solve's includes its own).

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/ExactBasis.h"
#include "analysis/BasisCheck.h"
#include "analysis/ExactSolve.h"
#include "analysis/Verify.h"
#include "base/FileIo.h"
#include "datafile/DataFile.h"
#include "solver/Simplex.h"

using namespace kvado;
namespace fs = std::filesystem;

namespace {

double since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Wall seconds of a shell command; negative when it failed.
double timed(const std::string& command) {
    const auto t = std::chrono::steady_clock::now();
    const int rc = std::system(command.c_str());
    const double s = since(t);
    return rc == 0 ? s : -s;
}

std::string seconds(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", s);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    std::string cli = (fs::path(argv[0]).parent_path() / "../src/kvado-cli").string();
    double limit = 120;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--kvado-cli" && i + 1 < argc) {
            cli = argv[++i];
        } else if (a == "--seconds" && i + 1 < argc) {
            limit = std::atof(argv[++i]);
        } else if (fs::is_directory(a)) {
            for (const auto& e : fs::directory_iterator(a))
                if (e.path().extension() == ".dat") files.push_back(e.path());
        } else {
            files.emplace_back(a);
        }
    }
    if (files.empty())
        for (const auto& e : fs::directory_iterator("../shared/netlib"))
            if (e.path().extension() == ".dat") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    const fs::path folder = fs::temp_directory_path() / "kvado-exact-bench";
    fs::create_directories(folder);
    std::printf("| problem | M x N | check | exact solve s | cold start s | esolver s | ratio | "
                "one exact pivot s (x M) |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    double worst = 0;
    for (const auto& file : files) {
        LpProblem p;
        datafile::readDataFile(readFileBytes(file.string()), p);
        SolverHost host;
        TraceLog log(folder.string());
        const SolveOutcome outcome = solve(p, log, host);
        const auto v = analysis::verify(p, outcome, analysis::VerifyOptions::unlimited());

        // Each time the best of three runs, the same for esolver.
        analysis::ExactSolveOptions options;
        options.maxSeconds = limit;
        analysis::ExactSolution e, cold;
        double warm = 1e300, coldSeconds = 1e300;
        auto t = std::chrono::steady_clock::now();
        for (int run = 0; run < 3; ++run) {
            options.warmStart = true;
            t = std::chrono::steady_clock::now();
            e = analysis::solveExactly(p, &v, options);
            warm = std::min(warm, since(t));
            options.warmStart = false;
            t = std::chrono::steady_clock::now();
            cold = analysis::solveExactly(p, &v, options);
            coldSeconds = std::min(coldSeconds, since(t));
        }

        const std::string lp = (folder / (file.stem().string() + ".lp")).string();
        std::string esolver = "-";
        double ratio = 0;
        if (timed("'" + cli + "' convert '" + file.string() + "' '" + lp + "' >/dev/null 2>&1") >=
            0) {
            double s = 1e300;
            for (int run = 0; run < 3; ++run)
                s = std::min(s, std::fabs(timed("esolver -L '" + lp + "' >/dev/null 2>&1")));
            esolver = seconds(std::fabs(s));
            ratio = warm / std::fabs(s);
            worst = std::max(worst, ratio);
        }

        // The project's own exact simplex solves one basis afresh per pivot: the time of one
        // (the method's final basis, factorized and solved both ways), against which a
        // simplex of at least M pivots from a cold start can be weighed.
        std::string pivot;
        try {
            const analysis::Budget budget = analysis::Budget::seconds(limit);
            t = std::chrono::steady_clock::now();
            analysis::ExactBasis B(p, p.basis, budget);
            if (!B.singular()) {
                B.solve(analysis::rightHandSides(p));
                B.solveTransposed(analysis::basisCosts(p, p.basis, false));
            }
            const double one = since(t);
            pivot = seconds(one) + " (x M = " + seconds(one * p.M) + ")";
        } catch (const analysis::Stopped&) {
            pivot = "> " + seconds(limit);
        }
        std::printf("| %s | %d x %d | %s | %s (%s%s) | %s (%s) | %s | %.2f | %s |\n",
                    file.stem().string().c_str(), p.M, p.N, analysis::verdictName(v.verdict),
                    seconds(warm).c_str(), analysis::exactStatusName(e.status),
                    e.verified ? "" : ", not verified", seconds(coldSeconds).c_str(),
                    analysis::exactStatusName(cold.status), esolver.c_str(), ratio,
                    pivot.c_str());
        std::fflush(stdout);
    }
    std::printf("\nlargest ratio of the exact solve to esolver: %.2f\n", worst);
    fs::remove_all(folder);
    return 0;
}
