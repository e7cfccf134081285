// Times the exact solve of data files (the Netlib problems by default) side by side with
// QSopt_ex's own `esolver` on the same problem written as an LP file, and the cost of one pivot
// of the project's exact simplex (ExactSimplex solves the basis afresh at every pivot). Prints
// a Markdown table.
//
//   exact_bench [--kvado-cli PATH] [--seconds S] [FILE.dat | FOLDER ...]
//   exact_bench --hard K [--seconds S]
//
// --hard: K random problems of decimals over eight orders of magnitude with coarse and fine
// Eps (the kind on which the method goes wrong), and for those whose answer the check refutes,
// the exact solve against esolver and against the exact simplex from the method's basis.
// FOLDER: every .dat in it (default ../shared/netlib). Each time is the best of three runs in CPU
// seconds, child processes included (esolver's includes starting its process and reading the
// file, the exact solve's its own process and the check of its answer); the one exact pivot
// is wall seconds in this process.

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "analysis/BasisCheck.h"
#include "analysis/ExactBasis.h"
#include "analysis/ExactSimplex.h"
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

// CPU seconds of this process and of its children that have ended (the exact solver's
// process, esolver): on a machine shared with other work, a fairer clock than the wall's.
double cpuNow() {
    auto seconds = [](const rusage& u) {
        return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
               static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
    };
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self) + seconds(children);
}

// CPU seconds of a shell command (the shell's own included); negative when it failed.
double timed(const std::string& command) {
    const double t = cpuNow();
    const int rc = std::system(command.c_str());
    const double s = cpuNow() - t;
    return rc == 0 ? s : -s;
}

std::string seconds(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", s);
    return buf;
}

// A number as users write it: one or two significant digits, 1E-5 to 9900.
std::string randomNumber(std::mt19937_64& rng, bool negative) {
    const int k = std::uniform_int_distribution<int>(1, 99)(rng);
    const int e = std::uniform_int_distribution<int>(-5, 2)(rng);
    std::string s = negative ? "-" : "";
    s.append(std::to_string(k)).append("e").append(std::to_string(e));
    return s;
}

// The data file text and the LP text of one random problem.
std::pair<std::string, std::string> randomProblem(std::mt19937_64& rng) {
    static const char* tolerances[] = {"1E-12", "1E-10", "1E-8", "1E-6", "1E-4", "1E-3", "1E-2"};
    auto count = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    const int G = count(0, 6), E = count(0, 4), L = count(G + E == 0 ? 1 : 0, 20), N = count(5, 30);
    std::vector<std::vector<std::string>> A(static_cast<size_t>(G + E + L));
    std::vector<std::string> B, C;
    for (auto& row : A) {
        for (int j = 0; j < N; ++j)
            row.push_back(chance(0.6) ? randomNumber(rng, chance(0.3)) : "0");
        B.push_back(chance(0.15) ? "0" : randomNumber(rng, false));
    }
    for (int j = 0; j < N; ++j)
        C.push_back(chance(0.85) ? randomNumber(rng, chance(0.6)) : "0");
    std::string dat = std::to_string(G) + " " + std::to_string(E) + " " + std::to_string(L) + " " +
                      std::to_string(N) + " " + tolerances[count(0, 6)] + "\n";
    auto form = [](const std::vector<std::string>& a) {
        std::string f;
        for (size_t j = 0; j < a.size(); ++j)
            if (a[j] != "0") {
                f.append(a[j][0] == '-' ? " - " : " + ");
                f.append(a[j], a[j][0] == '-' ? 1 : 0, std::string::npos);
                f.append(" x").append(std::to_string(j + 1));
            }
        return f.empty() ? std::string(" 0 x1") : f;
    };
    std::string lp = "Minimize\n obj:" + form(C) + "\nSubject To\n";
    for (size_t i = 0; i < A.size(); ++i) {
        for (const auto& a : A[i])
            dat += a + " ";
        dat += "\n";
        const int r = static_cast<int>(i);
        lp += " r" + std::to_string(i + 1) + ":" + form(A[i]) +
              (r < G       ? " >= "
               : r < G + E ? " = "
                           : " <= ") +
              B[i] + "\n";
    }
    for (const auto& c : C)
        dat += c + " ";
    dat += "\n";
    for (const auto& b : B)
        dat += b + " ";
    return {dat + "\n", lp + "End\n"};
}

int hardSet(int problems, double limit, const fs::path& folder) {
    std::mt19937_64 rng(2026);
    int refuted = 0, simplexAnswers = 0;
    double exactTotal = 0, esolverTotal = 0, simplexTotal = 0, exactWorst = 0, esolverWorst = 0,
           simplexWorst = 0;
    for (int n = 0; n < problems; ++n) {
        const auto [dat, lpText] = randomProblem(rng);
        LpProblem p;
        datafile::readDataFile(dat, p);
        SolverHost host;
        TraceLog log(folder.string());
        const SolveOutcome outcome = solve(p, log, host);
        const auto v = analysis::verify(p, outcome, analysis::VerifyOptions::unlimited());
        if (v.verdict == analysis::Verdict::Optimal ||
            v.verdict == analysis::Verdict::InfeasibleConfirmed ||
            v.verdict == analysis::Verdict::UnboundedConfirmed)
            continue;
        ++refuted;
        analysis::ExactSolveOptions options;
        options.maxSeconds = limit;
        double c0 = cpuNow();
        analysis::solveExactly(p, &v, options);
        const double exact = cpuNow() - c0;
        const std::string lp = (folder / "hard.lp").string();
        writeFileBytes(lp, lpText);
        const double es = std::fabs(timed("esolver -L '" + lp + "' >/dev/null 2>&1"));
        double simplex = limit;
        try {
            const auto t = std::chrono::steady_clock::now();
            const auto c =
                analysis::continueExactly(p, p.basis, analysis::Budget::seconds(limit), 100000);
            simplex = since(t);
            simplexAnswers += c.status != analysis::Continuation::Status::Unknown;
        } catch (const analysis::Stopped&) {
        }
        exactTotal += exact;
        esolverTotal += es;
        simplexTotal += simplex;
        exactWorst = std::max(exactWorst, exact);
        esolverWorst = std::max(esolverWorst, es);
        simplexWorst = std::max(simplexWorst, simplex);
    }
    std::printf("| %d problems, %d refuted | total s | largest s |\n|---|---|---|\n", problems,
                refuted);
    std::printf("| exact solve (QSopt_ex from the method's basis) | %.3f | %.3f |\n", exactTotal,
                exactWorst);
    std::printf("| esolver on the LP file | %.3f | %.3f |\n", esolverTotal, esolverWorst);
    std::printf("| ExactSimplex from the method's basis (answers: %d of %d) | %.3f | %.3f |\n",
                simplexAnswers, refuted, simplexTotal, simplexWorst);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string cli = (fs::path(argv[0]).parent_path() / "../src/kvado-cli").string();
    double limit = 120;
    int hard = 0;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--kvado-cli" && i + 1 < argc) {
            cli = argv[++i];
        } else if (a == "--seconds" && i + 1 < argc) {
            limit = std::atof(argv[++i]);
        } else if (a == "--hard" && i + 1 < argc) {
            hard = std::atoi(argv[++i]);
        } else if (fs::is_directory(a)) {
            for (const auto& e : fs::directory_iterator(a))
                if (e.path().extension() == ".dat") files.push_back(e.path());
        } else {
            files.emplace_back(a);
        }
    }
    if (files.empty() && hard == 0)
        for (const auto& e : fs::directory_iterator("../shared/netlib"))
            if (e.path().extension() == ".dat") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    const fs::path folder = fs::temp_directory_path() / "kvado-exact-bench";
    fs::create_directories(folder);
    if (hard > 0) {
        hardSet(hard, limit, folder);
        fs::remove_all(folder);
        return 0;
    }
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
        for (int run = 0; run < 3; ++run) {
            options.warmStart = true;
            double t = cpuNow();
            e = analysis::solveExactly(p, &v, options);
            warm = std::min(warm, cpuNow() - t);
            options.warmStart = false;
            t = cpuNow();
            cold = analysis::solveExactly(p, &v, options);
            coldSeconds = std::min(coldSeconds, cpuNow() - t);
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
            const auto t = std::chrono::steady_clock::now();
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
                    analysis::exactStatusName(cold.status), esolver.c_str(), ratio, pivot.c_str());
        std::fflush(stdout);
    }
    std::printf("\nlargest ratio of the exact solve to esolver: %.2f\n", worst);
    fs::remove_all(folder);
    return 0;
}
