#include "DenseReference.h"

#include <cmath>

#include "text/NumberText.h"

namespace kvado::test {
namespace {

using text::formatFixed;
using text::formatGeneral;
using text::intText;

class Dense {
public:
    Dense(const ProblemData& d, TraceLog& log, char separator)
        : G(d.G), E(d.E), N(d.N), M(d.G + d.E + d.L), artificialRows(d.G + d.E),
          phase2Columns(d.N + d.G + d.L), phase1Columns(d.N + d.G + d.L + d.G + d.E), eps(d.eps),
          log(log), separator(separator) {
        const auto rows = static_cast<size_t>(M) + 3;
        const auto cols = static_cast<size_t>(phase1Columns) + 1;
        tab.assign(rows, std::vector<Real>(cols, 0));
        r.inverse.assign(rows, std::vector<Real>(rows, 0));
        r.basis.assign(static_cast<size_t>(M) + 1, 0);
        r.basic.assign(cols, 0);
        r.pricing.assign(cols, 0);
        r.solution.assign(cols, 0);
        tcol.assign(rows, 0);
        candidate.assign(static_cast<size_t>(M) + 1, 0);
        tie.assign(static_cast<size_t>(M) + 1, 0);
        setUp(d);
    }

    DenseResult run();

private:
    Real& T(int32_t i, int32_t j) { return tab[static_cast<size_t>(i)][static_cast<size_t>(j)]; }
    Real& inv(int32_t i, int32_t k) {
        return r.inverse[static_cast<size_t>(i)][static_cast<size_t>(k)];
    }
    Real& t(int32_t i) { return tcol[static_cast<size_t>(i)]; }
    int32_t& basisOf(int32_t i) { return r.basis[static_cast<size_t>(i)]; }
    int32_t& basicFlag(int32_t j) { return r.basic[static_cast<size_t>(j)]; }
    Real& price(int32_t j) { return r.pricing[static_cast<size_t>(j)]; }

    // The standard-form set-up, in the loaders' order.
    void setUp(const ProblemData& d) {
        for (int32_t i = 1; i <= M; ++i)
            for (int32_t j = 1; j <= N; ++j)
                T(i, j) = d.A[static_cast<size_t>(i - 1)][static_cast<size_t>(j - 1)];
        for (int32_t j = 1; j <= N; ++j)
            T(M + 1, j) = d.C[static_cast<size_t>(j - 1)];
        for (int32_t i = 1; i <= G + E; ++i) {
            if (i <= G) T(i, N + i) = -1;
            T(i, phase2Columns + i) = 1;
            T(M + 2, phase2Columns + i) = 1;
            inv(M + 2, i) = -1;
            inv(i, i) = 1;
            basisOf(i) = phase2Columns + i;
            T(i, 0) = d.B[static_cast<size_t>(i - 1)];
            inv(i, 0) = T(i, 0);
        }
        for (int32_t i = G + E + 1; i <= M; ++i) {
            T(i, N + i - E) = 1;
            inv(i, i) = 1;
            basisOf(i) = N + i - E;
            T(i, 0) = d.B[static_cast<size_t>(i - 1)];
            inv(i, 0) = T(i, 0);
        }
    }

    int32_t ratioTest(Real& level0Minimum);
    void writeEndOfSolve();

    const int32_t G, E, N, M, artificialRows, phase2Columns, phase1Columns;
    const Real eps;
    TraceLog& log;
    const char separator;
    std::vector<std::vector<Real>> tab;
    std::vector<Real> tcol;
    std::vector<unsigned char> candidate;
    std::vector<int32_t> tie;
    int32_t phase1 = 0, cur = 0, active = 0;
    DenseResult r;
};

int32_t Dense::ratioTest(Real& level0Minimum) {
    int32_t tieCount = 0;
    tie[0] = 0;
    for (int32_t i = 1; i <= M; ++i)
        candidate[static_cast<size_t>(i)] = 1;
    for (int32_t k = 0;; ++k) {
        Real runningMinimum = 1e30L;
        for (int32_t i = 1; i <= M; ++i) {
            if (t(i) > eps && candidate[static_cast<size_t>(i)]) {
                const Real ratio = inv(i, k) / t(i);
                const Real difference = ratio - runningMinimum;
                if (difference < 0) {
                    runningMinimum = ratio;
                    tieCount = 1;
                    tie[1] = i;
                } else if (difference == 0) {
                    tieCount = tieCount + 1;
                    tie[static_cast<size_t>(tieCount)] = i;
                }
            }
        }
        if (k == 0) level0Minimum = runningMinimum;
        // The last column of the inverse is 0 in every constraint row, so a tie that reaches
        // it can go no further; the solver stops there as well.
        if (tieCount < 2 || k == M + 1) break;
        for (int32_t i = 1; i <= M; ++i)
            candidate[static_cast<size_t>(i)] = 0;
        for (int32_t q = 1; q <= tieCount; ++q)
            candidate[static_cast<size_t>(tie[static_cast<size_t>(q)])] = 1;
        log.degenerateRound(tie.data() + 1, tieCount);
        ++r.degenerateRounds;
    }
    return tie[static_cast<size_t>(tieCount)];
}

DenseResult Dense::run() {
    log.open();
    // Phase set-up.
    phase1 = artificialRows != 0 ? 1 : 0;
    inv(M + 1, M + 1) = 1;
    active = phase1Columns;
    for (int32_t i = 1; i <= artificialRows; ++i)
        inv(M + 2, 0) = inv(M + 2, 0) - inv(i, 0);
    r.passes = 0;
    cur = M + 1 + phase1;
    for (int32_t i = 1; i <= M; ++i)
        basicFlag(basisOf(i)) = 1;

    bool unboundedSeenInPhase1 = false;
    for (;;) {
        r.passes = r.passes + 1;
        Real runningMinimum = -eps;
        r.entering = 0;
        cur = M + 1 + phase1;
        for (int32_t j = 1; j <= active; ++j) {
            price(j) = 0;
            if (basicFlag(j) == 1) continue;
            for (int32_t i = 1; i <= M; ++i)
                price(j) = inv(cur, i) * T(i, j) + price(j);
            price(j) = price(j) + T(cur, j);
            if (price(j) < runningMinimum) {
                runningMinimum = price(j);
                r.entering = j;
            }
        }
        r.leaving = 0;
        bool unbounded = false;
        if (r.entering != 0) {
            const int32_t s = r.entering;
            for (int32_t i = 1; i <= M + 1; ++i) {
                t(i) = 0;
                for (int32_t k = 1; k <= M + 1; ++k)
                    t(i) = t(i) + inv(i, k) * T(k, s);
            }
            t(cur) = price(s);
            Real level0Minimum = 0;
            int32_t row = ratioTest(level0Minimum);
            // In phase 2 a basic artificial with a negative entry would grow with any positive
            // step; its row leaves instead (the lowest such row).
            if (phase1 == 0 && (row == 0 || level0Minimum > 0)) {
                for (int32_t i = 1; i <= M; ++i) {
                    if (basisOf(i) > phase2Columns && t(i) < -eps) {
                        row = i;
                        ++r.artificialLeft;
                        break;
                    }
                }
            }
            r.leaving = row;
            if (row != 0) {
                const Real pivotElement = t(row);
                for (int32_t k = 0; k <= M + 1; ++k)
                    inv(row, k) = inv(row, k) / pivotElement;
                for (int32_t i = 1; i <= cur; ++i) {
                    if (i == row) continue;
                    for (int32_t k = 0; k <= M + 1; ++k)
                        inv(i, k) = inv(i, k) - t(i) * inv(row, k);
                }
                basicFlag(basisOf(row)) = 0;
                basicFlag(s) = 1;
                basisOf(row) = s;
                continue;
            }
            log.unboundedColumn(s);
            unbounded = true;
        }
        if (phase1 == 0) {
            r.outcome = unbounded ? SolveOutcome::Unbounded : SolveOutcome::Optimal;
            break;
        }
        unboundedSeenInPhase1 = unbounded;
        if (std::fabs(inv(M + 2, 0)) < eps) {
            // An unbounded column in phase 1 does not decide: phase 2 does.
            if (unboundedSeenInPhase1) ++r.phase1UnboundedPassed;
            log.phase1Finished();
            phase1 = 0;
            active = phase2Columns;
            continue;
        }
        log.noFeasibleSolutionHeader();
        r.messages.push_back(kNoFeasibleSolutionMessage);
        log.noFeasibleSolutionSum(-inv(M + 2, 0), separator);
        r.outcome = SolveOutcome::Infeasible;
        break;
    }
    for (int32_t i = 1; i <= M; ++i)
        r.solution[static_cast<size_t>(basisOf(i))] = inv(i, 0);
    writeEndOfSolve();
    log.close();
    return r;
}

// The end-of-solve lines, composed here from the number forms rather than by the log's own
// listing functions, so that those are checked too.
void Dense::writeEndOfSolve() {
    log.writeLine("ОГРАНИЧЕНИЕ  СОСТОЯНИЕ    ДОПОЛНИТЕЛЬНЫЕ ПЕРЕМЕННЫЕ");
    for (int32_t i = 1; i <= M; ++i) {
        std::string line = " " + std::to_string(i) + "  ";
        if (i > G && i <= G + E) {
            line += "Уравнение не решено";
        } else {
            const int32_t col = i <= G ? N + i : N + i - E;
            line += basicFlag(col) == 1 ? "          Допол.перем.    " : "      ";
            line += formatFixed(r.solution[static_cast<size_t>(col)], 10, 4);
        }
        log.writeLine(line);
    }
    log.writeLine(" X (небазисные, то есть равные нулю): ");
    int counter = 0;
    for (int32_t j = 1; j <= phase1Columns; ++j) {
        if (basicFlag(j) != 1) log.writeItem("  X[" + intText(j, 3) + "] = 0  ");
        if (++counter == 4) {
            log.endLine();
            counter = 0;
        }
    }
    log.endLine();
    log.endLine();
    log.endLine();
    if (r.entering != 0)
        log.writeLine("================ " + std::to_string(r.passes) + " -й план : ============");
    log.writeLine(" Коэффициенты при неизвестных в целевой функции: ");
    log.endLine();
    counter = 0;
    for (int32_t j = 1; j <= phase1Columns; ++j) {
        log.writeItem(" C[" + intText(j, 3) + "] = " + formatFixed(price(j), 8, 3) + "  ");
        if (++counter == 3) {
            log.endLine();
            counter = 0;
        }
    }
    log.endLine();
}

} // namespace

DenseResult denseSolve(const ProblemData& d, TraceLog& log, char decimalSeparator) {
    Dense dense(d, log, decimalSeparator);
    return dense.run();
}

} // namespace kvado::test
