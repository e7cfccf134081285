// The sparse engine's options measured: every model given is read once, then solved with each
// combination of method (dual, primal), presolve, scaling and pricing; the table gives the CPU
// seconds of the solves alone (reading excluded), summed over the models, and how many reached
// an optimum.
//
//   build/release/bench/engine_options FILE.mps ...

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "engine/SparseEngine.h"
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
    std::vector<model::Model> models;
    for (int k = 1; k < argc; ++k) {
        const auto format = model::formatOfPath(argv[k]);
        models.push_back(model::readModelFile(argv[k], format.value_or(model::FileFormat::Mps)));
    }
    std::printf("| method | presolve | scaling | pricing | CPU s | optimal |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (int method = 0; method < 2; ++method)
        for (int presolve = 1; presolve >= 0; --presolve)
            for (int scale = 1; scale >= 0; --scale)
                for (int pse = 1; pse >= 0; --pse) {
                    engine::SparseOptions o;
                    o.method = method == 0 ? engine::SparseOptions::Method::Dual
                                           : engine::SparseOptions::Method::Primal;
                    o.presolve = presolve != 0;
                    o.scale = scale != 0;
                    o.steepestEdge = pse != 0;
                    int optimal = 0;
                    const double start = cpuSeconds();
                    for (const model::Model& m : models)
                        optimal +=
                            engine::solveSparse(m, o).status == engine::SparseStatus::Optimal;
                    std::printf("| %s | %s | %s | %s | %.3f | %d of %zu |\n",
                                method == 0 ? "dual" : "primal", presolve ? "on" : "off",
                                scale ? "on" : "off", pse ? "steepest edge" : "textbook",
                                cpuSeconds() - start, optimal, models.size());
                }
    return 0;
}
