#include "datafile/DataFile.h"

namespace kvado::datafile {

void readDataFile(std::string_view bytes, LpProblem& p, LoadObserver* observer) {
    LoadObserver none;
    LoadObserver& obs = observer ? *observer : none;
    text::NumberReader in(bytes);
    const int32_t G = in.readInteger();
    const int32_t E = in.readInteger();
    const int32_t L = in.readInteger();
    const int32_t N = in.readInteger();
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
    for (int32_t i = 1; i <= M; ++i) {
        if (i % 10 == 0) obs.progress(i);
        for (int32_t j = 1; j <= N; ++j) {
            const Real a = in.readReal();
            p.setCoefficient(i, j, a);
            obs.coefficient(i, j, a);
        }
    }
    for (int32_t j = 1; j <= N; ++j) {
        const Real c = in.readReal();
        p.setObjective(j, c);
        obs.objective(j, c);
    }
    for (int32_t i = 1; i <= M; ++i) {
        const Real b = in.readReal();
        p.setRightHandSide(i, b);
        obs.rightHandSide(i, b);
    }
    obs.progress(0);
    p.takeSnapshots();
}

} // namespace kvado::datafile
