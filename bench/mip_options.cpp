// GLPK's branch and cut measured: every model given is read once, then searched with each
// choice of presolve, cuts (Gomory, MIR, cover, clique together or apart) and heuristics; the
// table gives the CPU seconds of the searches alone, summed, and how many ended optimal.
//
//   build/release/bench/mip_options [--limit S] FILE.mps ...

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "mip/MipSolve.h"
#include "model/ModelIo.h"

using namespace kvado;

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
    double limit = 30;
    std::vector<model::Model> models;
    std::vector<std::string> names;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--limit") == 0 && k + 1 < argc) {
            limit = std::atof(argv[++k]);
            continue;
        }
        const auto format = model::formatOfPath(argv[k]);
        models.push_back(model::readModelFile(argv[k], format.value_or(model::FileFormat::Mps)));
        names.push_back(argv[k]);
    }
    struct Choice {
        const char* name;
        mip::MipOptions::Glpk glpk;
    };
    const Choice choices[] = {
        {"no presolve, no cuts", {false, false, false, false, false, false, false}},
        {"presolve, no cuts", {true, false, false, false, false, false, false}},
        {"presolve, all cuts", {true, true, true, true, true, false, false}},
        {"presolve, MIR cover clique", {true, false, true, true, true, false, false}},
        {"presolve, Gomory", {true, true, false, false, false, false, false}},
        {"presolve, MIR", {true, false, true, false, false, false, false}},
        {"presolve, cover clique", {true, false, false, true, true, false, false}},
        {"presolve, MIR cover clique, pump", {true, false, true, true, true, true, false}},
    };
    std::printf("| choice | CPU s | optimal | per model s |\n|---|---|---|---|\n");
    for (const Choice& c : choices) {
        double total = 0;
        int optimal = 0;
        std::string each;
        for (size_t k = 0; k < models.size(); ++k) {
            mip::MipOptions o;
            o.engine = mip::MipEngine::Glpk;
            o.timeLimitSeconds = limit;
            o.glpk = c.glpk;
            const double t0 = cpuSeconds();
            const mip::MipAnswer a = mip::solveMip(models[k], o);
            const double t = cpuSeconds() - t0;
            total += t;
            optimal += a.status == mip::MipStatus::Optimal ? 1 : 0;
            char buf[64];
            std::snprintf(buf, sizeof buf, "%s%.2f", each.empty() ? "" : " ", t);
            each += buf;
        }
        std::printf("| %s | %.2f | %d of %zu | %s |\n", c.name, total, optimal, models.size(),
                    each.c_str());
    }
    return 0;
}
