#include "analysis/Ranging.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvado::analysis {

namespace {

constexpr Real kInf = std::numeric_limits<Real>::infinity();

// Entries of a basis-inverse product smaller than this are taken as zero: the ratios they give
// are rounding noise, and a range limited by one would end somewhere meaningless.
constexpr Real kPivotTolerance = 1e-9L;

bool blank(const std::string& s) {
    for (char c : s)
        if (c != ' ' && c != '\t') return false;
    return true;
}

// Steps this close (relative) are one tie: rounding must not decide between them.
constexpr Real kTieTolerance = 1e-11L;

// One ratio test's best candidate: the smallest step; among tied steps the one with the larger
// coefficient (the better-conditioned exchange), then the one first in `order` (the rows'
// variables by row, then the unknowns), so that a tie is decided the same way every time.
struct Limit {
    Real step = kInf;
    Real weight = 0;
    int32_t variable = 0; // column of the standard form, 0 = none
    int32_t order = 0;

    void offer(Real s, Real w, int32_t var, int32_t ord) {
        const Real tie = kTieTolerance * std::max<Real>(1, std::fabs(step));
        const bool tied = s <= step + tie;
        if (variable == 0 || s < step - tie || (tied && w > weight) ||
            (tied && w == weight && ord < order)) {
            step = s;
            weight = w;
            variable = var;
            order = ord;
        }
    }
};

// Z at the end of a range `step` away, when the objective moves by `slope` per unit. An end
// without a limit has no break point, and no objective there, unless the objective does not
// move at all (a slope within Eps of 0): then it stays Z however far the end goes.
std::optional<Real> objectiveAt(Real Z, Real slope, Real step, Real eps) {
    if (std::isfinite(step)) return Z + slope * step;
    if (std::fabs(slope) <= eps) return Z;
    return std::nullopt;
}

class Ranger {
public:
    Ranger(const LpProblem& p, const std::vector<std::string>& cn,
           const std::vector<std::string>& rn, const std::vector<int32_t>& twins)
        : p(p), columnNames(cn), rowNames(rn), twins(twins), M(p.M), N(p.N) {}

    Ranges run();

private:
    // The row whose surplus, slack or artificial variable is standard-form column `col`.
    int32_t ownRow(int32_t col) const {
        if (col <= N + p.G) return col - N;
        if (col <= p.phase2Columns) return col - N + p.E;
        return col - p.phase2Columns;
    }
    int32_t order(int32_t col) const { return col <= N ? M + col : ownRow(col); }
    std::string variableName(int32_t col) const {
        return col <= N ? columnName(columnNames, col) : rowName(rowNames, ownRow(col));
    }
    std::optional<std::string> limitName(const Limit& l) const {
        if (l.variable == 0) return std::nullopt;
        return variableName(l.variable);
    }
    // w := B^-1 times the surplus or slack column k (rows 1..M).
    void transformUnit(int32_t k, std::vector<Real>& w) const;
    // Calls visit(k, w) with w = B^-1 times column k (rows 1..M) for every unknown k in `ks`.
    template <class Visit>
    void transformUnknowns(const std::vector<int32_t>& ks, Visit visit) const;
    // The step t >= 0 by which the basic solution xB + t·dir can move before a basic variable
    // reaches 0. An artificial variable still basic must stay at 0, so any movement of it
    // stops the step at once.
    Limit ratioTest(const std::vector<Real>& dir) const;
    // The other half x- (or x+) of a free unknown split as x+ - x-, or 0.
    int32_t twin(int32_t col) const {
        const auto k = static_cast<size_t>(col - 1);
        return col <= N && k < twins.size() ? twins[k] : 0;
    }

    // The parts of run(), in order; each fills the members the later ones read.
    void readBasis(Ranges& out);
    void priceNonbasicColumns(Ranges& out);
    void offerCostLimits();
    void rangeColumns(Ranges& out);
    void rangeRows(Ranges& out);

    const LpProblem& p;
    const std::vector<std::string>& columnNames;
    const std::vector<std::string>& rowNames;
    const std::vector<int32_t>& twins;
    const int32_t M, N;
    Real Z = 0;               // the optimal objective
    std::vector<Real> xB;     // rows 1..M
    std::vector<int32_t> pos; // column -> basis row, 0 when non-basic
    std::vector<Real> pi;     // shadow prices, rows 1..M
    std::vector<Real> d;      // reduced costs of the phase-2 columns
    std::vector<Limit> up;    // per basis row: how far the unknown's cost may rise
    std::vector<Limit> down;  // ... and fall
    std::vector<Limit> push;  // per unknown: how far it may be pushed into the plan
    std::vector<Real> x;      // the unknowns' values, 1..N
    std::vector<Real> dir;    // a ratio test's direction, rows 1..M
};

void Ranger::transformUnit(int32_t k, std::vector<Real>& w) const {
    const int32_t i = ownRow(k);
    const Real sign = k <= N + p.G ? -1 : 1;
    const Real* col = p.inverseColumn(i);
    for (int32_t r = 1; r <= M; ++r)
        w[static_cast<size_t>(r)] = sign * col[r];
}

// B^-1 times every non-basic unknown is the bulk of the work: for a dense problem about M
// multiplications per nonzero, a matrix product. Column by column it would stream the whole
// inverse from memory once per unknown, so the unknowns go in blocks and the inverse in panels
// of kPanel columns, converted to double; a panel is cut into bands of rows small enough to
// stay in the cache while every unknown of the block that has enough nonzeros in the panel
// passes over them, four unknowns at a time with their sums in registers. An unknown with few
// nonzeros there adds the panel's columns it needs one by one. Double precision is ample for
// ranges shown to a few digits, and lets the compiler vectorise.
constexpr size_t kPanel = 32;
constexpr size_t kBand = 512;

typedef double Double4 __attribute__((vector_size(32)));

// Unaligned loads and adds of four doubles, spelled out where they are used: a function
// returning a vector would change the ABI of the default clone.
#define KVADO_LOAD4(v, p) __builtin_memcpy(&(v), (p), sizeof(Double4))
#define KVADO_ADD4(p, v)                                                                           \
    do {                                                                                           \
        Double4 sum_;                                                                              \
        KVADO_LOAD4(sum_, p);                                                                      \
        sum_ += (v);                                                                               \
        __builtin_memcpy((p), &sum_, sizeof sum_);                                                 \
    } while (false)

// out[t][r] += panel column q [r] · f[4q + t] over q < width, for t < 4 and r0 <= r < r1; the
// panel's columns are `stride` apart. The inner loop of the products, also compiled for AVX2,
// taken where the processor has it.
__attribute__((target_clones("avx2", "default"))) void addPanel4(double* const out[4],
                                                                 const double* panel, size_t stride,
                                                                 const double* f, size_t width,
                                                                 size_t r0, size_t r1) {
    size_t r = r0;
    for (; r + 8 <= r1; r += 8) {
        Double4 s00 = {}, s01 = {}, s10 = {}, s11 = {}, s20 = {}, s21 = {}, s30 = {}, s31 = {};
        const double* pq = panel + r;
        const double* fq = f;
        for (size_t q = 0; q < width; ++q, pq += stride, fq += 4) {
            Double4 p0, p1;
            KVADO_LOAD4(p0, pq);
            KVADO_LOAD4(p1, pq + 4);
            s00 += p0 * fq[0], s01 += p1 * fq[0];
            s10 += p0 * fq[1], s11 += p1 * fq[1];
            s20 += p0 * fq[2], s21 += p1 * fq[2];
            s30 += p0 * fq[3], s31 += p1 * fq[3];
        }
        KVADO_ADD4(out[0] + r, s00);
        KVADO_ADD4(out[0] + r + 4, s01);
        KVADO_ADD4(out[1] + r, s10);
        KVADO_ADD4(out[1] + r + 4, s11);
        KVADO_ADD4(out[2] + r, s20);
        KVADO_ADD4(out[2] + r + 4, s21);
        KVADO_ADD4(out[3] + r, s30);
        KVADO_ADD4(out[3] + r + 4, s31);
    }
    for (; r < r1; ++r)
        for (size_t t = 0; t < 4; ++t) {
            double sum = 0;
            for (size_t q = 0; q < width; ++q)
                sum += panel[q * stride + r] * f[4 * q + t];
            out[t][r] += sum;
        }
}

template <class Visit>
void Ranger::transformUnknowns(const std::vector<int32_t>& ks, Visit visit) const {
    constexpr size_t kBlock = 128;
    const auto uM = static_cast<size_t>(M);
    std::vector<double> a(uM * kBlock), products(kBlock * uM), panel(kPanel * uM);
    std::vector<double> factors(kBlock * kPanel), spare(uM);
    std::vector<double*> outs(kBlock + 4);
    std::vector<size_t> dense;
    std::vector<Real> w(uM + 1);
    for (size_t start = 0; start < ks.size(); start += kBlock) {
        const size_t count = std::min(kBlock, ks.size() - start);
        std::fill(a.begin(), a.end(), 0.0);
        std::fill(products.begin(), products.end(), 0.0);
        for (size_t b = 0; b < count; ++b) {
            const auto c = p.column(ks[start + b]);
            for (int32_t t = 0; t < c.count; ++t)
                a[static_cast<size_t>(c.rows[t] - 1) * kBlock + b] =
                    static_cast<double>(c.value(t));
        }
        for (size_t i0 = 0; i0 < uM; i0 += kPanel) {
            const size_t width = std::min(kPanel, uM - i0);
            const double* ai = &a[i0 * kBlock];
            auto nonzeros = [&](size_t b) {
                size_t n = 0;
                for (size_t q = 0; q < width; ++q)
                    n += ai[q * kBlock + b] != 0;
                return n;
            };
            dense.clear();
            bool any = false;
            for (size_t b = 0; b < count; ++b) {
                const size_t n = nonzeros(b);
                any = any || n != 0;
                if (4 * n >= width) dense.push_back(b);
            }
            if (!any) continue;
            for (size_t q = 0; q < width; ++q) {
                const Real* inv = p.inverseColumn(static_cast<int32_t>(i0 + q + 1)) + 1;
                for (size_t r = 0; r < uM; ++r)
                    panel[q * uM + r] = static_cast<double>(inv[r]);
            }
            // The sparse ones: a column of the panel per nonzero.
            for (size_t b = 0, d = 0; b < count; ++b) {
                if (d < dense.size() && dense[d] == b) {
                    ++d;
                    continue;
                }
                double* out = &products[b * uM];
                for (size_t q = 0; q < width; ++q)
                    if (const double fq = ai[q * kBlock + b]; fq != 0) {
                        const double* pq = &panel[q * uM];
                        for (size_t r = 0; r < uM; ++r)
                            out[r] += fq * pq[r];
                    }
            }
            // The dense ones four at a time, the last group filled up with a spare output.
            const size_t groups = (dense.size() + 3) / 4;
            for (size_t g = 0; g < groups; ++g)
                for (size_t t = 0; t < 4; ++t) {
                    const size_t k = 4 * g + t;
                    outs[k] = k < dense.size() ? &products[dense[k] * uM] : spare.data();
                    for (size_t q = 0; q < width; ++q)
                        factors[g * 4 * kPanel + 4 * q + t] =
                            k < dense.size() ? ai[q * kBlock + dense[k]] : 0.0;
                }
            for (size_t r0 = 0; r0 < uM; r0 += kBand)
                for (size_t g = 0; g < groups; ++g)
                    addPanel4(&outs[4 * g], panel.data(), uM, &factors[g * 4 * kPanel], width, r0,
                              std::min(r0 + kBand, uM));
        }
        for (size_t b = 0; b < count; ++b) {
            for (size_t r = 0; r < uM; ++r)
                w[r + 1] = products[b * uM + r];
            visit(ks[start + b], w);
        }
    }
}

Limit Ranger::ratioTest(const std::vector<Real>& dir) const {
    Limit best;
    for (int32_t r = 1; r <= M; ++r) {
        const Real d = dir[static_cast<size_t>(r)];
        const int32_t var = p.basis[static_cast<size_t>(r)];
        const Real x = std::max<Real>(xB[static_cast<size_t>(r)], 0);
        if (p.isArtificialColumn(var)) {
            if (std::fabs(d) > kPivotTolerance)
                best.offer(x / std::fabs(d), std::fabs(d), var, order(var));
        } else if (d < -kPivotTolerance) {
            best.offer(x / -d, -d, var, order(var));
        }
    }
    return best;
}

Ranges Ranger::run() {
    Ranges out;
    readBasis(out);
    priceNonbasicColumns(out);
    offerCostLimits();
    rangeColumns(out);
    rangeRows(out);
    return out;
}

// The basic solution, each column's basis row, the objective and the shadow prices.
void Ranger::readBasis(Ranges& out) {
    const auto uM = static_cast<size_t>(M);
    xB.assign(uM + 1, 0);
    pos.assign(static_cast<size_t>(p.phase1Columns) + 1, 0);
    for (int32_t r = 1; r <= M; ++r) {
        const int32_t var = p.basis[static_cast<size_t>(r)];
        xB[static_cast<size_t>(r)] = p.inverse(r, 0);
        pos[static_cast<size_t>(var)] = r;
        if (std::fabs(p.inverse(r, 0)) <= p.eps) out.degenerate = true;
    }
    out.objective = p.objectiveValue();
    Z = out.objective;
    pi.assign(uM + 1, 0);
    for (int32_t i = 1; i <= M; ++i)
        pi[static_cast<size_t>(i)] = p.shadowPrice(i);
}

// Reduced costs of the phase-2 columns: C + Pi·A. The artificial columns are never priced
// after the first phase, so they can neither enter nor limit anything here.
void Ranger::priceNonbasicColumns(Ranges& out) {
    const int32_t n2 = p.phase2Columns;
    d.assign(static_cast<size_t>(n2) + 1, 0);
    for (int32_t k = 1; k <= n2; ++k) {
        if (pos[static_cast<size_t>(k)] != 0) continue;
        Real s = 0;
        if (k <= N) {
            s = p.objectiveCoefficient(k);
            const auto c = p.column(k);
            for (int32_t t = 0; t < c.count; ++t)
                s += pi[static_cast<size_t>(c.rows[t])] * c.value(t);
        } else {
            const int32_t i = ownRow(k);
            s = k <= N + p.G ? -pi[static_cast<size_t>(i)] : pi[static_cast<size_t>(i)];
        }
        d[static_cast<size_t>(k)] = s;
        // The twin of a basic half of a free unknown prices at 0 by construction: moving it
        // moves the unknown back, no other optimum.
        const int32_t t = twin(k);
        if (std::fabs(s) <= p.eps && (t == 0 || pos[static_cast<size_t>(t)] == 0))
            out.otherOptima = true;
    }
}

// A basic unknown's cost C + δ changes every non-basic reduced cost by −δ·alpha, alpha
// being that column's entry, in the unknown's basis row, of B^-1 times the column. The
// basis stays optimal while all of them stay >= 0: each column with alpha > 0 caps δ from
// above at d/alpha, each with alpha < 0 from below at d/alpha. Every non-basic column is
// transformed once and offers its ratios to every basic unknown.
// A non-basic unknown pushed into the plan moves the basic solution along −B^-1·a.
void Ranger::offerCostLimits() {
    const auto uM = static_cast<size_t>(M);
    const int32_t n2 = p.phase2Columns;
    up.assign(uM + 1, Limit{});
    down.assign(uM + 1, Limit{});
    push.assign(static_cast<size_t>(N) + 1, Limit{});
    std::vector<Real> w(uM + 1);
    dir.assign(uM + 1, 0);
    std::vector<int32_t> basicUnknownRows;
    for (int32_t r = 1; r <= M; ++r)
        if (p.basis[static_cast<size_t>(r)] <= N) basicUnknownRows.push_back(r);
    auto visit = [&](int32_t k, const std::vector<Real>& wk) {
        const Real dk = std::max<Real>(d[static_cast<size_t>(k)], 0);
        for (int32_t r : basicUnknownRows) {
            // A free unknown's two halves move together with its cost: x- can never
            // replace x+ as the cost of both changes.
            if (twin(k) != 0 && twin(k) == p.basis[static_cast<size_t>(r)]) continue;
            const Real alpha = wk[static_cast<size_t>(r)];
            if (alpha > kPivotTolerance)
                up[static_cast<size_t>(r)].offer(dk / alpha, alpha, k, order(k));
            else if (alpha < -kPivotTolerance)
                down[static_cast<size_t>(r)].offer(dk / -alpha, -alpha, k, order(k));
        }
        if (k <= N) {
            for (size_t r = 1; r <= uM; ++r)
                dir[r] = -wk[r];
            push[static_cast<size_t>(k)] = ratioTest(dir);
        }
    };
    std::vector<int32_t> nonbasicUnknowns;
    for (int32_t k = 1; k <= n2; ++k) {
        if (pos[static_cast<size_t>(k)] != 0) continue;
        if (k <= N) {
            nonbasicUnknowns.push_back(k);
        } else {
            transformUnit(k, w);
            visit(k, w);
        }
    }
    transformUnknowns(nonbasicUnknowns, visit);
}

// Each unknown's value, cost range and (when non-basic) how far it can be pushed in.
void Ranger::rangeColumns(Ranges& out) {
    x.assign(static_cast<size_t>(N) + 1, 0);
    out.columns.resize(static_cast<size_t>(N));
    for (int32_t j = 1; j <= N; ++j) {
        ColumnRange& c = out.columns[static_cast<size_t>(j - 1)];
        c.name = columnName(columnNames, j);
        c.cost = p.objectiveCoefficient(j);
        const int32_t r = pos[static_cast<size_t>(j)];
        c.basic = r != 0;
        if (c.basic) {
            c.value = xB[static_cast<size_t>(r)];
            x[static_cast<size_t>(j)] = c.value;
            const Limit& u = up[static_cast<size_t>(r)];
            const Limit& l = down[static_cast<size_t>(r)];
            c.costUpper = c.cost + u.step;
            c.costLower = c.cost - l.step;
            c.objectiveAtCostUpper = objectiveAt(Z, c.value, u.step, p.eps);
            c.objectiveAtCostLower = objectiveAt(Z, -c.value, l.step, p.eps);
            c.limitingAtCostUpper = limitName(u);
            c.limitingAtCostLower = limitName(l);
        } else {
            c.reducedCost = d[static_cast<size_t>(j)];
            // Above its cost nothing changes; below C − d the unknown enters, and the basic
            // variable that the push reaches first leaves.
            c.costLower = c.cost - std::max<Real>(c.reducedCost, 0);
            c.costUpper = kInf;
            c.objectiveAtCostLower = Z;
            c.objectiveAtCostUpper = Z;
            const Limit& l = push[static_cast<size_t>(j)];
            c.limitingAtCostLower = limitName(l);
            c.activityUpper = l.step;
            c.objectiveAtActivityUpper = objectiveAt(Z, c.reducedCost, l.step, p.eps);
            c.limitingAtActivityUpper = c.limitingAtCostLower;
        }
    }
}

// B[i] + t moves the basic solution along B^-1·e_i, the inverse's column i, and Z by
// −Pi[i]·t. The ratio test in each direction gives the range.
void Ranger::rangeRows(Ranges& out) {
    const auto uM = static_cast<size_t>(M);
    out.rows.resize(uM);
    for (int32_t i = 1; i <= M; ++i) {
        RowRange& row = out.rows[static_cast<size_t>(i - 1)];
        row.name = rowName(rowNames, i);
        row.kind = p.isGreaterRow(i) ? RowKind::Greater
                   : p.isEqualRow(i) ? RowKind::Equal
                                     : RowKind::Less;
        const int32_t own = p.isEqualRow(i) ? p.phase2Columns + i : p.ownExtraColumn(i);
        row.binding = pos[static_cast<size_t>(own)] == 0;
        Real activity = 0;
        const auto rv = p.row(i);
        for (int32_t t = 0; t < rv.count; ++t) {
            const Real a = rv.valuesD ? Real(rv.valuesD[t]) : rv.values[t];
            activity += a * x[static_cast<size_t>(rv.columns[t])];
        }
        row.activity = activity;
        row.rhs = p.initialRhs[static_cast<size_t>(i)];
        row.slack = row.kind == RowKind::Greater ? activity - row.rhs : row.rhs - activity;
        row.shadowPrice = pi[static_cast<size_t>(i)];

        const Real* col = p.inverseColumn(i);
        for (int32_t r = 1; r <= M; ++r)
            dir[static_cast<size_t>(r)] = col[r];
        const Limit upper = ratioTest(dir);
        for (int32_t r = 1; r <= M; ++r)
            dir[static_cast<size_t>(r)] = -col[r];
        const Limit lower = ratioTest(dir);
        row.rhsUpper = row.rhs + upper.step;
        row.rhsLower = row.rhs - lower.step;
        row.objectiveAtRhsUpper = objectiveAt(Z, -row.shadowPrice, upper.step, p.eps);
        row.objectiveAtRhsLower = objectiveAt(Z, row.shadowPrice, lower.step, p.eps);
        row.limitingAtRhsUpper = limitName(upper);
        row.limitingAtRhsLower = limitName(lower);
    }
}

} // namespace

std::string columnName(const std::vector<std::string>& names, int32_t j) {
    const auto k = static_cast<size_t>(j - 1);
    if (j >= 1 && k < names.size() && !blank(names[k])) return names[k];
    return "X[" + std::to_string(j) + "]";
}

std::string rowName(const std::vector<std::string>& names, int32_t i) {
    const auto k = static_cast<size_t>(i - 1);
    if (i >= 1 && k < names.size() && !blank(names[k])) return names[k];
    return std::to_string(i);
}

Ranges computeRanges(const LpProblem& problem, const std::vector<std::string>& columnNames,
                     const std::vector<std::string>& rowNames, const std::vector<int32_t>& twins) {
    return Ranger(problem, columnNames, rowNames, twins).run();
}

} // namespace kvado::analysis
