#include "solver/Simplex.h"

#include "solver/SecondThread.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

// Profiling builds keep the solver's steps apart so that a profiler can tell them apart.
#ifdef KVADO_PROFILE
#define KVADO_STEP [[gnu::noinline]]
#else
#define KVADO_STEP
#endif

namespace kvado {
namespace {

constexpr Real kNoRatio = 1e30L;
// Entries a pivot must update before a second thread pays for the hand-over (about 50 us).
constexpr int64_t kDefaultParallelWork = 20000;
std::atomic<int64_t> parallelWork{kDefaultParallelWork};

// Whether an extended number is +0 or -0, read from its significand bits with an integer load:
// the inverse is mostly zeros, and an x87 load of each entry just to compare it costs more
// than the multiply it saves. An x87 value with a zero significand is a zero (normal numbers
// carry an explicit integer bit).
inline bool isZero(const Real& x) {
    uint64_t significand;
    std::memcpy(&significand, &x, sizeof significand);
    return significand == 0;
}

// The working state of one solve: sized once, before the pass loop, so that nothing is
// allocated while it runs.
class Solver {
public:
    Solver(LpProblem& p, TraceLog& log, SolverHost& host)
        : p(p), log(log), host(host), M(p.M), N(p.N), eps(p.eps), pi(static_cast<size_t>(M) + 1),
          work(static_cast<size_t>(N) + 1), candidate(static_cast<size_t>(M) + 1),
          tie(static_cast<size_t>(M) + 1), tcolRows(static_cast<size_t>(M) + 2),
          unitRow(static_cast<size_t>(M) + 2), unitValue(static_cast<size_t>(M) + 2),
          pivotColumns(static_cast<size_t>(M) + 2) {
        if (static_cast<int64_t>(M) * M >= parallelWork.load()) helper.start();
    }

    SolveOutcome run();

private:
    void phaseSetUp();
    int32_t price();
    template <typename Value> void accumulateStructural(const Value* LpProblem::RowView::*values);
    void transformColumn(int32_t s);
    int32_t ratioTest(Real& level0Minimum);
    int32_t artificialRowToLeave() const;
    void pivot(int32_t r, int32_t s);
    static void updateColumns(void* self, int32_t begin, int32_t end);
    void finish();

    // Structural column j's tableau entry in the current objective row.
    Real objectiveEntry(int32_t j) const {
        return p.currentObjectiveRow == p.objectiveRow ? p.objectiveCoefficient(j) : Real(0);
    }

    LpProblem& p;
    TraceLog& log;
    SolverHost& host;
    const int32_t M, N;
    const Real eps;
    std::vector<Real> pi;   // rows 1..M of the current objective row of the inverse
    std::vector<Real> work; // columns 1..N: the structural part of the reduced costs
    std::vector<unsigned char> candidate;
    std::vector<int32_t> tie;      // tie list, position 0 always 0
    std::vector<int32_t> tcolRows; // rows 1..M+2 whose transformed entry is not 0
    // Inverse column k (1..M+1) restricted to rows 1..M+1 is unitValue[k] * e(unitRow[k])
    // while unitRow[k] != 0; such a column adds a single term to the transformed column.
    std::vector<int32_t> unitRow;
    std::vector<Real> unitValue;
    std::vector<int32_t> pivotColumns; // inverse columns whose pivot-row entry is not 0
    int32_t m_pivotRow = 0, m_pivotRows = 0;
    SecondThread helper;
};

void Solver::phaseSetUp() {
    p.phase1 = p.artificialRows != 0 ? 1 : 0;
    p.inverse(M + 1, M + 1) = 1;
    p.activeColumns = p.phase1Columns;
    for (int32_t i = 1; i <= p.artificialRows; ++i)
        p.inverse(M + 2, 0) = p.inverse(M + 2, 0) - p.inverse(i, 0);
    p.pass = 0;
    p.currentObjectiveRow = M + 1 + p.phase1;
    for (int32_t i = 1; i <= M; ++i)
        p.basic[static_cast<size_t>(p.basis[static_cast<size_t>(i)])] = 1;
    for (int32_t k = 1; k <= M + 1; ++k) {
        unitRow[static_cast<size_t>(k)] = k;
        unitValue[static_cast<size_t>(k)] = 1;
    }
}

// Pricing: the reduced cost of every non-basic active column j,
//   d[j] = sum over i = 1..M, ascending, of pi[i] * tableau(i, j), then + tableau(cur, j),
// where pi is the current objective row of the inverse (the multipliers). The entering column
// is the one with the most negative d[j] strictly below -Eps; equal costs go to the lowest j.
// The structural columns' sums are formed row by row over the rows whose multiplier is not
// zero, which keeps every column's sum in ascending i (a zero product never changes a sum);
// the surplus, slack and artificial columns are unit columns and cost one term each.
template <typename Value>
KVADO_STEP void Solver::accumulateStructural(const Value* LpProblem::RowView::*values) {
    Real* d = work.data();
    for (int32_t j = 1; j <= N; ++j)
        d[j] = 0;
    for (int32_t i = 1; i <= M; ++i) {
        const Real y = pi[static_cast<size_t>(i)];
        if (isZero(y)) continue;
        const auto row = p.row(i);
        const Value* a = row.*values;
        for (int32_t t = 0; t < row.count; ++t) {
            Real& dj = d[row.columns[t]];
            dj = y * static_cast<Real>(a[t]) + dj;
        }
    }
}

KVADO_STEP int32_t Solver::price() {
    const int32_t cur = p.currentObjectiveRow;
    for (int32_t i = 1; i <= M; ++i)
        pi[static_cast<size_t>(i)] = p.inverse(cur, i);
    if (p.valuesAreDouble())
        accumulateStructural(&LpProblem::RowView::valuesD);
    else
        accumulateStructural(&LpProblem::RowView::values);
    Real runningMinimum = -eps;
    int32_t entering = 0;
    const int32_t active = p.activeColumns;
    const int32_t surplusEnd = N + p.G, slackEnd = p.phase2Columns;
    auto* pricing = p.pricing.data();
    const auto* basic = p.basic.data();
    const Real* y = pi.data();
    const Real* d = work.data();
    for (int32_t j = 1; j <= active; ++j) {
        pricing[j] = 0;
        if (basic[j] == 1) continue;
        Real e;
        if (j <= N)
            e = d[j] + objectiveEntry(j);
        else if (j <= surplusEnd)
            e = y[j - N] * Real(-1) + Real(0);
        else if (j <= slackEnd)
            e = y[j - N + p.E] + Real(0);
        else
            // Artificial column: +1 in its row and in the artificial objective row, which is
            // the current objective row whenever artificial columns are priced.
            e = y[j - slackEnd] + (cur == p.artificialObjectiveRow ? Real(1) : Real(0));
        pricing[j] = e;
        if (e < runningMinimum) {
            runningMinimum = e;
            entering = j;
        }
    }
    return entering;
}

// The transformed column of s: for rows i = 1..M+1 the sum over k = 1..M+1, ascending, of
// inverse(i, k) * tableau(k, s); then row cur takes the reduced cost from the pricing row.
// The sums are formed column by column of the inverse, in ascending k, which is the same order
// for every row; columns of the inverse that are still unit vectors add one term.
KVADO_STEP void Solver::transformColumn(int32_t s) {
    Real* t = p.transformed.data();
    for (int32_t i = 1; i <= M + 1; ++i)
        t[i] = 0;
    auto addColumn = [&](int32_t k, Real a) {
        const auto uk = static_cast<size_t>(k);
        if (unitRow[uk] != 0) {
            t[unitRow[uk]] = unitValue[uk] * a + t[unitRow[uk]];
            return;
        }
        const Real* col = p.inverseColumn(k);
        for (int32_t i = 1; i <= M + 1; ++i)
            if (!isZero(col[i])) t[i] = col[i] * a + t[i];
    };
    if (s <= N) {
        const auto col = p.column(s);
        for (int32_t q = 0; q < col.count; ++q)
            addColumn(col.rows[q], col.value(q));
        const Real c = p.objectiveCoefficient(s);
        if (c != 0) addColumn(M + 1, c);
    } else if (s <= N + p.G) {
        addColumn(s - N, Real(-1));
    } else if (s <= p.phase2Columns) {
        addColumn(s - N + p.E, Real(1));
    } else {
        addColumn(s - p.phase2Columns, Real(1));
    }
    t[p.currentObjectiveRow] = p.pricing[static_cast<size_t>(s)];
}

// Minimum-ratio test with the lexicographic tie-break. Level 0 compares
// inverse(i, 0) / t[i] over the rows with t[i] > Eps; while two or more rows tie exactly, the
// next level compares the next column of the inverse over the tied rows only, and every such
// round goes to the trace log. Returns the leaving row, 0 when no row qualifies; the level-0
// minimum ratio is returned through `level0Minimum`.
KVADO_STEP int32_t Solver::ratioTest(Real& level0Minimum) {
    const Real* t = p.transformed.data();
    int32_t tieCount = 0;
    tie[0] = 0;
    for (int32_t i = 1; i <= M; ++i)
        candidate[static_cast<size_t>(i)] = 1;
    level0Minimum = kNoRatio;
    for (int32_t k = 0;; ++k) {
        Real runningMinimum = kNoRatio;
        const Real* col = p.inverseColumn(k);
        for (int32_t i = 1; i <= M; ++i) {
            if (!(t[i] > eps) || !candidate[static_cast<size_t>(i)]) continue;
            const Real ratio = col[i] / t[i];
            const Real difference = ratio - runningMinimum;
            if (difference < 0) {
                runningMinimum = ratio;
                tieCount = 1;
                tie[1] = i;
            } else if (difference == 0) {
                tie[static_cast<size_t>(++tieCount)] = i;
            }
        }
        if (k == 0) level0Minimum = runningMinimum;
        // The rows of an inverse are independent, so a tie cannot outlast its columns; the
        // bound only guards against rows that rounding made proportional.
        if (tieCount < 2 || k == M + 1) break;
        for (int32_t i = 1; i <= M; ++i)
            candidate[static_cast<size_t>(i)] = 0;
        for (int32_t q = 1; q <= tieCount; ++q)
            candidate[static_cast<size_t>(tie[static_cast<size_t>(q)])] = 1;
        log.degenerateRound(tie.data() + 1, tieCount);
    }
    return tie[static_cast<size_t>(tieCount)];
}

// In phase 2 an artificial variable left in the basis at (about) zero must not grow. The ratio
// test ignores rows with a negative transformed entry, so when the step it found is positive
// or it found no row, the lowest artificial row with an entry below -Eps leaves instead (its
// value is about zero, so the step is zero and no row becomes infeasible).
int32_t Solver::artificialRowToLeave() const {
    const Real* t = p.transformed.data();
    for (int32_t i = 1; i <= M; ++i)
        if (p.isArtificialColumn(p.basis[static_cast<size_t>(i)]) && t[i] < -eps) return i;
    return 0;
}

// Pivot on (r, s): row r of the inverse is divided by the pivot element, and every other row
// i up to the current objective row loses t[i] times the new row r. Stored by columns, a
// column whose row-r entry is exactly 0 is left as it is; rows with t[i] = 0 are skipped.
// Nothing is rounded or set to zero against Eps.
KVADO_STEP void Solver::pivot(int32_t r, int32_t s) {
    const Real* t = p.transformed.data();
    const Real piv = t[r];
    p.pivotElement = piv;
    int32_t nRows = 0;
    for (int32_t i = 1; i <= p.currentObjectiveRow; ++i)
        if (i != r && !isZero(t[i])) tcolRows[static_cast<size_t>(nRows++)] = i;
    int32_t nCols = 0;
    for (int32_t k = 0; k <= M + 1; ++k)
        if (!isZero(p.inverseColumn(k)[r])) pivotColumns[static_cast<size_t>(nCols++)] = k;
    m_pivotRow = r;
    m_pivotRows = nRows;
    // Columns are independent: two threads share them when the work is worth a hand-over.
    const int64_t work = static_cast<int64_t>(nCols) * nRows;
    if (work >= parallelWork.load(std::memory_order_relaxed))
        helper.run(&Solver::updateColumns, this, nCols, 4);
    else
        updateColumns(this, 0, nCols);
    for (int32_t q = 0; q < nCols; ++q)
        unitRow[static_cast<size_t>(pivotColumns[static_cast<size_t>(q)])] = 0;
    // An entering surplus, slack or artificial column turns its own inverse column into a unit
    // vector at row r again (up to its sign); confirm it exactly before relying on it.
    if (s > N) {
        int32_t k0;
        if (s <= N + p.G)
            k0 = s - N;
        else if (s <= p.phase2Columns)
            k0 = s - N + p.E;
        else
            k0 = s - p.phase2Columns;
        const Real* col = p.inverseColumn(k0);
        const Real v = col[r];
        bool unit = v == 1 || v == -1;
        for (int32_t i = 1; unit && i <= M + 1; ++i)
            if (i != r && col[i] != 0) unit = false;
        if (unit) {
            unitRow[static_cast<size_t>(k0)] = r;
            unitValue[static_cast<size_t>(k0)] = v;
        }
    }
    const auto ur = static_cast<size_t>(r);
    p.basic[static_cast<size_t>(p.basis[ur])] = 0;
    p.basic[static_cast<size_t>(s)] = 1;
    p.basis[ur] = s;
}

// Columns pivotColumns[begin..end) of the pivot: row r divided by the pivot element, every
// other row i with t[i] != 0 losing t[i] times the new row-r entry.
void Solver::updateColumns(void* self, int32_t begin, int32_t end) {
    auto& S = *static_cast<Solver*>(self);
    const Real* __restrict t = S.p.transformed.data();
    const int32_t r = S.m_pivotRow;
    const Real piv = t[r];
    const int32_t* __restrict rows = S.tcolRows.data();
    const int32_t nRows = S.m_pivotRows;
    const int32_t* columns = S.pivotColumns.data();
    int32_t q = begin;
    // Two columns at a time share each load of t[i]: x87 loads and stores of 80-bit numbers,
    // not the arithmetic, set the cost of this loop.
    for (; q + 1 < end; q += 2) {
        Real* __restrict c1 = S.p.inverseColumn(columns[q]);
        Real* __restrict c2 = S.p.inverseColumn(columns[q + 1]);
        const Real v1 = c1[r] / piv;
        const Real v2 = c2[r] / piv;
        c1[r] = v1;
        c2[r] = v2;
        for (int32_t k = 0; k < nRows; ++k) {
            const int32_t i = rows[k];
            const Real ti = t[i];
            c1[i] = c1[i] - ti * v1;
            c2[i] = c2[i] - ti * v2;
        }
    }
    for (; q < end; ++q) {
        Real* __restrict col = S.p.inverseColumn(columns[q]);
        const Real v = col[r] / piv;
        col[r] = v;
        for (int32_t k = 0; k < nRows; ++k) {
            const int32_t i = rows[k];
            col[i] = col[i] - t[i] * v;
        }
    }
}

void Solver::finish() {
    for (int32_t i = 1; i <= M; ++i)
        p.solution[static_cast<size_t>(p.basis[static_cast<size_t>(i)])] = p.inverse(i, 0);
    log.constraintStateListing(p);
    log.nonBasicColumnList(p);
    host.writeSolutionReport(p);
    log.planHeading(p);
    log.pricingList(p);
    host.writeShadowPrices(p);
    log.close();
    host.setProgressPosition(0);
}

SolveOutcome Solver::run() {
    log.open();
    phaseSetUp();
    host.setProgressMaximum(M);
    SolveOutcome outcome = SolveOutcome::Optimal;
    for (;;) {
        p.pass = p.pass + 1;
        host.setProgressPosition(p.pass);
        p.currentObjectiveRow = M + 1 + p.phase1;
        p.pivotElement = 0;
        p.entering = price();
        p.leaving = 0;
        bool unbounded = false;
        if (p.entering != 0) {
            const int32_t s = p.entering;
            transformColumn(s);
            Real level0Minimum;
            int32_t r = ratioTest(level0Minimum);
            if (p.phase1 == 0 && (r == 0 || level0Minimum > 0)) {
                if (const int32_t a = artificialRowToLeave()) r = a;
            }
            p.leaving = r;
            if (r != 0) {
                pivot(r, s);
                continue;
            }
            log.unboundedColumn(s);
            unbounded = true;
        }
        // End of a phase.
        if (p.phase1 == 0) {
            if (unbounded) outcome = SolveOutcome::Unbounded;
            break;
        }
        const Real w = p.inverse(M + 2, 0);
        if (std::fabs(w) < eps) {
            // An unbounded column met in phase 1 is an artefact when phase 1 still succeeds
            // (the artificial objective cannot fall below 0): phase 2 decides.
            log.phase1Finished();
            p.phase1 = 0;
            p.activeColumns = p.phase2Columns;
            continue;
        }
        log.noFeasibleSolutionHeader();
        host.showMessage(kNoFeasibleSolutionMessage);
        log.noFeasibleSolutionSum(-w, host.decimalSeparator());
        outcome = SolveOutcome::Infeasible;
        break;
    }
    finish();
    return outcome;
}

} // namespace

void setParallelPivotThreshold(int64_t entries) {
    parallelWork.store(entries > 0 ? entries : kDefaultParallelWork);
}

SolveOutcome solve(LpProblem& problem, TraceLog& log, SolverHost& host) {
    Solver solver(problem, log, host);
    return solver.run();
}

} // namespace kvado
