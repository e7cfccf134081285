#include "solver/Simplex.h"

#include "solver/SecondThread.h"
#include "solver/StepRecorder.h"

#include <algorithm>
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
std::atomic<bool> cycleDetection{true};
// A phase that has met this many cycles keeps the smallest-number rule to its end.
constexpr int32_t kCyclesBeforeBlandForGood = 3;

// Whether an extended number is +0 or -0, read from its significand bits with an integer load:
// the inverse is mostly zeros, and an x87 load of each entry just to compare it costs more
// than the multiply it saves. An x87 value with a zero significand is a zero (normal numbers
// carry an explicit integer bit).
inline bool isZero(const Real& x) {
    uint64_t significand;
    std::memcpy(&significand, &x, sizeof significand);
    return significand == 0;
}

// The bases of the latest pivots of a phase, to notice one that comes back: a cycle of the
// method repeats its bases exactly, whatever rounding does to the numbers. Each basis is kept
// as a hash (a sum over the rows of a mixed key of the row and its column, updated by the
// pivot in O(1)) and the pivots themselves; on a hash match the earlier basis is rebuilt from
// the current one by undoing the pivots in between, and compared exactly. Nothing is
// allocated after the constructor.
class BasisHistory {
public:
    explicit BasisHistory(int32_t M) : m_scratch(static_cast<size_t>(M) + 1) {}

    void restart(const std::vector<int32_t>& basis) {
        m_hash = 0;
        for (size_t i = 1; i < basis.size(); ++i)
            m_hash += key(static_cast<int32_t>(i), basis[i]);
        m_count = 0;
        m_hashes[0] = m_hash;
    }

    // After the pivot that put `entered` into row r in place of `left`. Returns d > 0 when the
    // basis now is the one of d pivots ago and that one the one of 2d pivots ago (the cycle
    // has gone round twice unchanged), else 0.
    int32_t record(const std::vector<int32_t>& basis, int32_t r, int32_t left, int32_t entered) {
        m_hash += key(r, entered) - key(r, left);
        ++m_count;
        m_moves[slot(m_count)] = {r, left};
        m_hashes[slot(m_count)] = m_hash;
        const int64_t reach = std::min<int64_t>(m_count, kSize - 1) / 2;
        for (int64_t d = 1; d <= reach; ++d) {
            if (m_hashes[slot(m_count - d)] != m_hash || m_hashes[slot(m_count - 2 * d)] != m_hash)
                continue;
            if (repeatsTwice(basis, d)) return static_cast<int32_t>(d);
        }
        return 0;
    }

private:
    static constexpr int64_t kSize = 1024; // bases kept: cycles up to 511 pivots are seen
    struct Move {
        int32_t row, left;
    };
    static size_t slot(int64_t n) { return static_cast<size_t>(n % kSize); }
    static uint64_t key(int32_t row, int32_t column) {
        // splitmix64's finaliser: every bit of row and column moves every bit of the key.
        uint64_t z = (static_cast<uint64_t>(static_cast<uint32_t>(row)) << 32) |
                     static_cast<uint32_t>(column);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Undoes the latest d pivots, then d more, comparing with the current basis each time.
    bool repeatsTwice(const std::vector<int32_t>& basis, int64_t d) {
        std::copy(basis.begin(), basis.end(), m_scratch.begin());
        for (int64_t n = m_count; n > m_count - 2 * d; --n) {
            const Move& m = m_moves[slot(n)];
            m_scratch[static_cast<size_t>(m.row)] = m.left;
            if ((n == m_count - d + 1 || n == m_count - 2 * d + 1) &&
                !std::equal(basis.begin(), basis.end(), m_scratch.begin()))
                return false;
        }
        return true;
    }

    uint64_t m_hash = 0;
    int64_t m_count = 0; // pivots recorded since the restart
    std::vector<uint64_t> m_hashes = std::vector<uint64_t>(kSize);
    std::vector<Move> m_moves = std::vector<Move>(kSize);
    std::vector<int32_t> m_scratch;
};

// The working state of one solve: sized once, before the pass loop, so that nothing is
// allocated while it runs.
class Solver {
public:
    Solver(LpProblem& p, TraceLog& log, SolverHost& host, StepRecorder* recorder)
        : p(p), log(log), host(host), recorder(recorder), M(p.M), N(p.N), eps(p.eps),
          pi(static_cast<size_t>(M) + 1), work(static_cast<size_t>(N) + 1),
          candidate(static_cast<size_t>(M) + 1), tie(static_cast<size_t>(M) + 1),
          tcolRows(static_cast<size_t>(M) + 2), unitRow(static_cast<size_t>(M) + 2),
          unitValue(static_cast<size_t>(M) + 2), pivotColumns(static_cast<size_t>(M) + 2),
          history(M), limit(passLimit(p)), detectCycles(cycleDetection.load()) {
        if (static_cast<int64_t>(M) * M >= parallelWork.load()) helper.start();
    }

    SolveOutcome run();

private:
    void phaseSetUp();
    int32_t price();
    int32_t smallestEntering() const;
    template <typename Value> void accumulateStructural(const Value* LpProblem::RowView::*values);
    void transformColumn(int32_t s);
    int32_t ratioTest(Real& level0Minimum);
    int32_t artificialRowToLeave() const;
    void pivot(int32_t r, int32_t s);
    void startPhase();
    void afterPivot(int32_t r, int32_t left, int32_t entered);
    bool goOn(SolveOutcome& outcome);
    // The first number of the final state that is an infinity or NaN; empty when none.
    std::string nonFiniteWhere() const;
    static void updateColumns(void* self, int32_t begin, int32_t end);
    void finish();

    // Structural column j's tableau entry in the current objective row.
    Real objectiveEntry(int32_t j) const {
        return p.currentObjectiveRow == p.objectiveRow ? p.objectiveCoefficient(j) : Real(0);
    }

    LpProblem& p;
    TraceLog& log;
    SolverHost& host;
    StepRecorder* const recorder; // null: nothing is recorded
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

    // Every solve ends. The specified rule (most negative reduced cost, lexicographic ratio
    // test) can cycle when Eps is coarse: entries in (0, Eps] take no part in the ratio test,
    // so the rows of the inverse do not stay lexicographically positive. A phase whose basis
    // comes back goes on with the smallest-number rule, which cannot cycle, until its
    // objective strictly decreases; the pass limit ends what that cannot.
    BasisHistory history;
    const int32_t limit;
    const bool detectCycles;
    bool blandRule = false;
    int32_t cycles = 0;      // cycles met in the current phase
    Real blandObjective = 0; // column 0 of the current objective row when the rule changed
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
    Real* pricing = p.pricing.data();
    const int32_t* basic = p.basic.data();
    const Real* y = pi.data();
    const Real* d = work.data();
    auto offer = [&](int32_t j, Real e) {
        pricing[j] = e;
        if (e < runningMinimum) {
            runningMinimum = e;
            entering = j;
        }
    };
    const int32_t structuralEnd = std::min(active, N);
    for (int32_t j = 1; j <= structuralEnd; ++j) {
        pricing[j] = 0;
        if (basic[j] != 1) offer(j, d[j] + objectiveEntry(j));
    }
    // A surplus, slack or artificial column: its one entry times its row's multiplier, plus
    // its entry in the current objective row, which for an artificial column is 1 whenever
    // artificial columns are priced (phase 1).
    const Real artificialEntry = cur == p.artificialObjectiveRow ? Real(1) : Real(0);
    for (int32_t j = N + 1; j <= active; ++j) {
        pricing[j] = 0;
        if (basic[j] == 1) continue;
        const auto u = p.unitColumn(j);
        offer(j, y[u.row] * Real(u.sign) + (p.isArtificialColumn(j) ? artificialEntry : Real(0)));
    }
    return entering;
}

// The smallest-number rule's entering column: the first one whose reduced cost, as the pricing
// pass left it, is below -Eps (basic columns hold 0 there).
int32_t Solver::smallestEntering() const {
    const Real* pricing = p.pricing.data();
    for (int32_t j = 1; j <= p.activeColumns; ++j)
        if (pricing[j] < -eps) return j;
    return 0;
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
    } else {
        const auto u = p.unitColumn(s);
        addColumn(u.row, Real(u.sign));
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
    unsigned char* cand = candidate.data();
    int32_t* ties = tie.data();
    const int32_t* basis = p.basis.data();
    int32_t tieCount = 0;
    ties[0] = 0;
    for (int32_t i = 1; i <= M; ++i)
        cand[i] = 1;
    level0Minimum = kNoRatio;
    for (int32_t k = 0;; ++k) {
        Real runningMinimum = kNoRatio;
        const Real* col = p.inverseColumn(k);
        for (int32_t i = 1; i <= M; ++i) {
            if (!(t[i] > eps) || !cand[i]) continue;
            const Real ratio = col[i] / t[i];
            const Real difference = ratio - runningMinimum;
            if (difference < 0) {
                runningMinimum = ratio;
                tieCount = 1;
                ties[1] = i;
            } else if (difference == 0) {
                ties[++tieCount] = i;
            }
        }
        if (k == 0) level0Minimum = runningMinimum;
        if (blandRule && tieCount >= 2) {
            // The smallest-number rule: of the rows tied on the minimum ratio, the one whose
            // basic column has the smallest number leaves.
            log.degenerateRound(ties + 1, tieCount);
            if (recorder) recorder->tieRound(ties + 1, tieCount, true);
            int32_t best = ties[1];
            for (int32_t q = 2; q <= tieCount; ++q)
                if (basis[ties[q]] < basis[best]) best = ties[q];
            return best;
        }
        // The rows of an inverse are independent, so a tie cannot outlast its columns; the
        // bound only guards against rows that rounding made proportional.
        if (tieCount < 2 || k == M + 1) break;
        for (int32_t i = 1; i <= M; ++i)
            cand[i] = 0;
        for (int32_t q = 1; q <= tieCount; ++q)
            cand[ties[q]] = 1;
        log.degenerateRound(ties + 1, tieCount);
        if (recorder) recorder->tieRound(ties + 1, tieCount, false);
    }
    return ties[tieCount];
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
    int32_t* rows = tcolRows.data();
    int32_t* columns = pivotColumns.data();
    int32_t nRows = 0;
    for (int32_t i = 1; i <= p.currentObjectiveRow; ++i)
        if (i != r && !isZero(t[i])) rows[nRows++] = i;
    int32_t nCols = 0;
    for (int32_t k = 0; k <= M + 1; ++k)
        if (!isZero(p.inverseColumn(k)[r])) columns[nCols++] = k;
    m_pivotRow = r;
    m_pivotRows = nRows;
    // Columns are independent: two threads share them when the work is worth a hand-over.
    const int64_t work = static_cast<int64_t>(nCols) * nRows;
    if (work >= parallelWork.load(std::memory_order_relaxed))
        helper.run(&Solver::updateColumns, this, nCols, 4);
    else
        updateColumns(this, 0, nCols);
    for (int32_t q = 0; q < nCols; ++q)
        unitRow[static_cast<size_t>(columns[q])] = 0;
    // An entering surplus, slack or artificial column turns its own inverse column into a unit
    // vector at row r again (up to its sign); confirm it exactly before relying on it.
    if (s > N) {
        const int32_t k0 = p.unitColumn(s).row;
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

void Solver::startPhase() {
    blandRule = false;
    cycles = 0;
    history.restart(p.basis);
}

void Solver::afterPivot(int32_t r, int32_t left, int32_t entered) {
    if (blandRule) {
        // Once the phase's objective has strictly decreased, no basis met so far can come back
        // (the objective never rises), so the specified rule may take over again; a phase that
        // cycles again and again keeps the smallest-number rule.
        if (cycles < kCyclesBeforeBlandForGood &&
            p.inverse(p.currentObjectiveRow, 0) > blandObjective) {
            blandRule = false;
            history.restart(p.basis);
        }
        return;
    }
    if (!detectCycles) return;
    if (const int32_t d = history.record(p.basis, r, left, entered)) {
        blandRule = true;
        ++cycles;
        // Column 0 of the objective row holds -Z (or -W): it rises as the objective falls.
        blandObjective = p.inverse(p.currentObjectiveRow, 0);
        log.cyclingDetected(p.pass + 1, p.pass + 1 - d);
    }
}

// At the end of a pass after which the solve would go on: a stop the host asked for, then the
// pass limit.
std::string Solver::nonFiniteWhere() const {
    if (!std::isfinite(p.inverse(M + 1, 0))) return "Z";
    if (!std::isfinite(p.inverse(M + 2, 0))) return "сумма искусственных переменных";
    for (int32_t i = 1; i <= M; ++i)
        if (!std::isfinite(p.inverse(i, 0))) return "строка " + std::to_string(i);
    for (int32_t i = 1; i <= M + 1; ++i)
        if (!std::isfinite(p.transformed[static_cast<size_t>(i)]))
            return "столбец " + std::to_string(p.entering);
    for (size_t j = 1; j < p.pricing.size(); ++j)
        if (!std::isfinite(p.pricing[j])) return "оценка столбца " + std::to_string(j);
    for (int32_t k = 1; k <= M; ++k)
        if (!std::isfinite(p.inverse(M + 1, k))) return "двойственная оценка " + std::to_string(k);
    return {};
}

bool Solver::goOn(SolveOutcome& outcome) {
    // A NaN compares false everywhere and would steer the passes at random until the limit.
    if (!std::isfinite(p.inverse(p.currentObjectiveRow, 0))) {
        outcome = SolveOutcome::Optimal; // replaced by the overflow at the end
        return false;
    }
    if (host.stopRequested()) {
        log.solveStopped();
        outcome = SolveOutcome::Stopped;
        return false;
    }
    if (p.pass >= limit) {
        log.passLimitReached(limit);
        host.showMessage(passLimitMessage(limit));
        outcome = SolveOutcome::PassLimit;
        return false;
    }
    return true;
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
    if (recorder) recorder->begin(p);
    startPhase();
    host.setProgressMaximum(M);
    SolveOutcome outcome = SolveOutcome::Optimal;
    for (;;) {
        p.pass = p.pass + 1;
        host.setProgressPosition(p.pass);
        p.currentObjectiveRow = M + 1 + p.phase1;
        p.pivotElement = 0;
        p.entering = price();
        if (blandRule && p.entering != 0) p.entering = smallestEntering();
        p.leaving = 0;
        bool unbounded = false;
        if (p.entering != 0) {
            const int32_t s = p.entering;
            transformColumn(s);
            Real level0Minimum;
            int32_t r = ratioTest(level0Minimum);
            bool artificialLeft = false;
            if (p.phase1 == 0 && (r == 0 || level0Minimum > 0)) {
                if (const int32_t a = artificialRowToLeave()) {
                    r = a;
                    artificialLeft = true;
                }
            }
            p.leaving = r;
            if (recorder) recorder->pass(p, blandRule, artificialLeft);
            if (r != 0) {
                const int32_t left = p.basis[static_cast<size_t>(r)];
                pivot(r, s);
                afterPivot(r, left, s);
                if (!goOn(outcome)) break;
                continue;
            }
            log.unboundedColumn(s);
            unbounded = true;
        } else if (recorder) {
            recorder->pass(p, blandRule, false);
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
            startPhase();
            if (!goOn(outcome)) break;
            continue;
        }
        log.noFeasibleSolutionHeader();
        host.showMessage(kNoFeasibleSolutionMessage);
        log.noFeasibleSolutionSum(-w, host.decimalSeparator());
        outcome = SolveOutcome::Infeasible;
        break;
    }
    // An infinity or NaN anywhere in the final state makes any verdict of the method
    // meaningless: an overflowed objective is not an optimum, a NaN column not a ray.
    if (outcome != SolveOutcome::Stopped && outcome != SolveOutcome::PassLimit) {
        if (const std::string where = nonFiniteWhere(); !where.empty()) {
            log.overflow(where);
            host.showMessage(overflowMessage(where));
            outcome = SolveOutcome::Overflow;
        }
    }
    if (recorder) recorder->end(p, outcome);
    host.solveEnding(outcome);
    finish();
    return outcome;
}

} // namespace

int32_t passLimit(const LpProblem& problem) {
    const int64_t limit = 50 * (static_cast<int64_t>(problem.M) + problem.N) + 10000;
    return static_cast<int32_t>(std::min<int64_t>(limit, INT32_MAX));
}

std::string overflowMessage(const std::string& where) {
    return "Решение остановлено: переполнение (" + where +
           " вне диапазона чисел), ответа нет\r\nподробнее в файле Kvaq.log";
}

std::string passLimitMessage(int32_t limit) {
    return "Решение остановлено: сделано " + std::to_string(limit) +
           " итераций, оптимум не найден\r\nподробнее в файле Kvaq.log";
}

void setCycleDetection(bool on) {
    cycleDetection.store(on);
}

void setParallelPivotThreshold(int64_t entries) {
    parallelWork.store(entries > 0 ? entries : kDefaultParallelWork);
}

SolveOutcome solve(LpProblem& problem, TraceLog& log, SolverHost& host, StepRecorder* recorder) {
    Solver solver(problem, log, host, recorder);
    return solver.run();
}

} // namespace kvado
