#include "analysis/ExactBasis.h"

#include <algorithm>
#include <climits>

namespace kvado::analysis {

Budget Budget::seconds(double s, const std::atomic<bool>* cancel) {
    Budget b;
    b.cancel = cancel;
    if (s > 0) {
        b.hasDeadline = true;
        b.deadline = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(s));
    }
    return b;
}

void Budget::check() const {
    if (cancelled()) throw Stopped(true);
    if (timeUp()) throw Stopped(false);
}

namespace {

mpz_class powerOfFive(long k) {
    mpz_class p;
    mpz_ui_pow_ui(p.get_mpz_t(), 5, static_cast<unsigned long>(k));
    return p;
}

uint32_t powMod(uint64_t a, uint64_t e, uint32_t p) {
    uint64_t r = 1;
    a %= p;
    while (e) {
        if (e & 1) r = r * a % p;
        a = a * a % p;
        e >>= 1;
    }
    return static_cast<uint32_t>(r);
}

// Primes just below 2^31: products of two residues fit in 64 bits with room for a sum.
uint32_t primeNumber(int which) {
    mpz_class start = (mpz_class(1) << 31) - (mpz_class(1) << 22) * (which + 1), p;
    mpz_nextprime(p.get_mpz_t(), start.get_mpz_t());
    return static_cast<uint32_t>(p.get_ui());
}

uint32_t residue(const mpz_class& z, uint32_t p) {
    return static_cast<uint32_t>(mpz_fdiv_ui(z.get_mpz_t(), p));
}

// a/b with a ≡ b·u (mod m), |a| <= bound, 0 < b <= bound; false when there is none.
bool rationalReconstruction(const mpz_class& u, const mpz_class& m, const mpz_class& bound,
                            mpz_class& a, mpz_class& b) {
    mpz_class r0 = m, r1 = u, t0 = 0, t1 = 1, q, tmp;
    while (cmp(r1, bound) > 0) {
        mpz_fdiv_qr(q.get_mpz_t(), tmp.get_mpz_t(), r0.get_mpz_t(), r1.get_mpz_t());
        r0.swap(r1);
        r1.swap(tmp);
        tmp = t0 - q * t1;
        t0.swap(t1);
        t1.swap(tmp);
    }
    if (sgn(t1) == 0 || cmp(abs(t1), bound) > 0) return false;
    a = sgn(t1) < 0 ? mpz_class(-r1) : r1;
    b = abs(t1);
    return true;
}

} // namespace

ExactBasis::ExactBasis(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget)
    : m_budget(budget), m_M(p.M) {
    const int32_t M = p.M, N = p.N;
    m_unitRowOfPosition.assign(static_cast<size_t>(M) + 1, 0);
    m_unitSign.assign(static_cast<size_t>(M) + 1, 0);
    std::vector<int32_t> unitPositionOfRow(static_cast<size_t>(M) + 1, 0);
    if (static_cast<int32_t>(basis.size()) < M + 1) {
        m_singular = true;
        return;
    }
    for (int32_t r = 1; r <= M; ++r) {
        const int32_t j = basis[static_cast<size_t>(r)];
        if (j < 1 || j > p.phase1Columns) {
            m_singular = true;
            return;
        }
        if (j <= N) {
            m_kernelPosition.push_back(r);
            continue;
        }
        int32_t row, sgn;
        if (j <= N + p.G) {
            row = j - N;
            sgn = -1;
        } else if (j <= p.phase2Columns) {
            row = j - N + p.E;
            sgn = 1;
        } else {
            row = j - p.phase2Columns;
            sgn = 1;
        }
        if (unitPositionOfRow[static_cast<size_t>(row)] != 0) {
            m_singular = true; // two unit columns in one row
            return;
        }
        unitPositionOfRow[static_cast<size_t>(row)] = r;
        m_unitRowOfPosition[static_cast<size_t>(r)] = row;
        m_unitSign[static_cast<size_t>(r)] = sgn;
    }
    m_kernelIndexOfRow.assign(static_cast<size_t>(M) + 1, -1);
    for (int32_t i = 1; i <= M; ++i)
        if (unitPositionOfRow[static_cast<size_t>(i)] == 0) {
            m_kernelIndexOfRow[static_cast<size_t>(i)] = static_cast<int32_t>(m_kernelRow.size());
            m_kernelRow.push_back(i);
        }
    m_k = static_cast<int32_t>(m_kernelPosition.size());
    if (static_cast<int32_t>(m_kernelRow.size()) != m_k) {
        m_singular = true;
        return;
    }
    // The kernel's columns, each scaled by powers of two and five to integers.
    m_columns.resize(static_cast<size_t>(m_k));
    m_unitEntries.resize(static_cast<size_t>(m_k));
    m_columnShift.assign(static_cast<size_t>(m_k), 0);
    m_columnShift5.assign(static_cast<size_t>(m_k), 0);
    for (int32_t c = 0; c < m_k; ++c) {
        const int32_t j = basis[static_cast<size_t>(m_kernelPosition[static_cast<size_t>(c)])];
        const auto col = p.column(j);
        std::vector<Entry> kernel;
        for (int32_t t = 0; t < col.count; ++t) {
            const Real v = col.value(t);
            const int32_t row = col.rows[t];
            Dyadic exact = exactCoefficient(p, row, j, v);
            if (sign(exact) == 0) continue;
            const int32_t q = m_kernelIndexOfRow[static_cast<size_t>(row)];
            if (q >= 0)
                kernel.push_back({q, std::move(exact)});
            else
                m_unitEntries[static_cast<size_t>(c)].push_back({row, std::move(exact)});
        }
        long minExp = 0, minExp5 = 0;
        for (const auto& e : kernel) {
            minExp = std::min(minExp, e.value.e);
            minExp5 = std::min(minExp5, e.value.f);
        }
        const long s = -minExp, s5 = -minExp5;
        m_columnShift[static_cast<size_t>(c)] = s;
        m_columnShift5[static_cast<size_t>(c)] = s5;
        auto& out = m_columns[static_cast<size_t>(c)];
        out.reserve(kernel.size());
        for (const auto& e : kernel) {
            mpz_class z;
            mpz_mul_2exp(z.get_mpz_t(), e.value.m.get_mpz_t(),
                         static_cast<mp_bitcnt_t>(e.value.e + s));
            if (e.value.f + s5 > 0) z *= powerOfFive(e.value.f + s5);
            out.emplace_back(e.index, std::move(z));
        }
    }
    m_singular = !factorModP();
}

// LU with row exchanges of the kernel modulo a prime; a second and third prime are tried when
// the first divides the determinant. Singular modulo three primes is taken as singular.
bool ExactBasis::factorModP() {
    const int32_t k = m_k;
    if (k == 0) return true;
    const auto kk = static_cast<size_t>(k);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const uint32_t p = primeNumber(attempt);
        m_prime = p;
        m_lu.assign(kk * kk, 0);
        for (int32_t c = 0; c < k; ++c)
            for (const auto& [q, v] : m_columns[static_cast<size_t>(c)])
                m_lu[static_cast<size_t>(q) * kk + static_cast<size_t>(c)] = residue(v, p);
        m_perm.resize(kk);
        for (int32_t i = 0; i < k; ++i)
            m_perm[static_cast<size_t>(i)] = i;
        bool ok = true;
        for (int32_t c = 0; c < k && ok; ++c) {
            m_budget.check(); // a column costs k² steps: a look at the clock is nothing beside it
            int32_t piv = -1;
            for (int32_t i = c; i < k; ++i)
                if (m_lu[static_cast<size_t>(i) * kk + static_cast<size_t>(c)] != 0) {
                    piv = i;
                    break;
                }
            if (piv < 0) {
                ok = false;
                break;
            }
            if (piv != c) {
                std::swap_ranges(
                    m_lu.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(piv) * kk),
                    m_lu.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(piv + 1) * kk),
                    m_lu.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(c) * kk));
                std::swap(m_perm[static_cast<size_t>(piv)], m_perm[static_cast<size_t>(c)]);
            }
            uint32_t* rowC = m_lu.data() + static_cast<size_t>(c) * kk;
            const uint64_t inv = powMod(rowC[c], p - 2, p);
            for (int32_t i = c + 1; i < k; ++i) {
                uint32_t* rowI = m_lu.data() + static_cast<size_t>(i) * kk;
                if (rowI[c] == 0) continue;
                const uint64_t l = rowI[c] * inv % p;
                rowI[c] = static_cast<uint32_t>(l);
                const uint64_t negL = p - l;
                for (int32_t j = c + 1; j < k; ++j)
                    if (rowC[j] != 0)
                        rowI[j] = static_cast<uint32_t>((rowI[j] + negL * rowC[j]) % p);
            }
        }
        if (!ok) continue;
        m_diagonalInverse.resize(kk);
        for (size_t i = 0; i < kk; ++i)
            m_diagonalInverse[i] = powMod(m_lu[i * kk + i], p - 2, p);
        return true;
    }
    return false;
}

// Solves K'·z = r (or K'ᵀ·z = r) modulo the prime with the LU factors P·K' = L·U.
std::vector<uint32_t> ExactBasis::solveModP(std::vector<uint32_t> r, bool transposed) const {
    const int32_t k = m_k;
    const auto kk = static_cast<size_t>(k);
    const uint64_t p = m_prime;
    auto at = [&](int32_t i, int32_t j) -> uint64_t {
        return m_lu[static_cast<size_t>(i) * kk + static_cast<size_t>(j)];
    };
    std::vector<uint32_t> z(kk);
    if (!transposed) {
        for (int32_t i = 0; i < k; ++i)
            z[static_cast<size_t>(i)] = r[static_cast<size_t>(m_perm[static_cast<size_t>(i)])];
        for (int32_t i = 0; i < k; ++i) { // L, unit diagonal
            uint64_t s = z[static_cast<size_t>(i)];
            for (int32_t j = 0; j < i; ++j)
                s = (s + (p - at(i, j)) * z[static_cast<size_t>(j)]) % p;
            z[static_cast<size_t>(i)] = static_cast<uint32_t>(s);
        }
        for (int32_t i = k - 1; i >= 0; --i) { // U
            uint64_t s = z[static_cast<size_t>(i)];
            for (int32_t j = i + 1; j < k; ++j)
                s = (s + (p - at(i, j)) * z[static_cast<size_t>(j)]) % p;
            z[static_cast<size_t>(i)] =
                static_cast<uint32_t>(s * m_diagonalInverse[static_cast<size_t>(i)] % p);
        }
        return z;
    }
    // K'ᵀ = Uᵀ·Lᵀ·P: solve Uᵀ·w = r, then Lᵀ·v = w, then z = Pᵀ·v.
    std::vector<uint64_t> w(r.begin(), r.end());
    for (int32_t j = 0; j < k; ++j) {
        const uint64_t wj =
            w[static_cast<size_t>(j)] * m_diagonalInverse[static_cast<size_t>(j)] % p;
        w[static_cast<size_t>(j)] = wj;
        if (wj == 0) continue;
        for (int32_t i = j + 1; i < k; ++i)
            w[static_cast<size_t>(i)] = (w[static_cast<size_t>(i)] + (p - at(j, i)) * wj) % p;
    }
    for (int32_t j = k - 1; j >= 0; --j) {
        const uint64_t wj = w[static_cast<size_t>(j)];
        if (wj == 0) continue;
        for (int32_t i = 0; i < j; ++i)
            w[static_cast<size_t>(i)] = (w[static_cast<size_t>(i)] + (p - at(j, i)) * wj) % p;
    }
    for (int32_t i = 0; i < k; ++i)
        z[static_cast<size_t>(m_perm[static_cast<size_t>(i)])] =
            static_cast<uint32_t>(w[static_cast<size_t>(i)]);
    return z;
}

void ExactBasis::multiply(const std::vector<mpz_class>& v, bool transposed,
                          std::vector<mpz_class>& out) const {
    out.assign(static_cast<size_t>(m_k), 0);
    for (int32_t c = 0; c < m_k; ++c)
        for (const auto& [q, a] : m_columns[static_cast<size_t>(c)]) {
            if (!transposed)
                mpz_addmul(out[static_cast<size_t>(q)].get_mpz_t(), a.get_mpz_t(),
                           v[static_cast<size_t>(c)].get_mpz_t());
            else
                mpz_addmul(out[static_cast<size_t>(c)].get_mpz_t(), a.get_mpz_t(),
                           v[static_cast<size_t>(q)].get_mpz_t());
        }
}

// From the p-adic digits X modulo `modulus`: one common denominator, grown by a reconstruction
// only where the current one does not already give a small numerator; then the check.
bool ExactBasis::reconstruct(const std::vector<mpz_class>& X, const mpz_class& modulus,
                             const std::vector<mpz_class>& rhs, bool transposed,
                             std::vector<mpz_class>& num, mpz_class& den) const {
    mpz_class bound, half = modulus / 2, t, a, b;
    mpz_sqrt(bound.get_mpz_t(), half.get_mpz_t());
    mpz_class d = 1;
    auto centred = [&](const mpz_class& x, mpz_class& out) {
        out = d * x;
        mpz_fdiv_r(out.get_mpz_t(), out.get_mpz_t(), modulus.get_mpz_t());
        if (cmp(out, half) > 0) out -= modulus;
    };
    for (const auto& x : X) {
        centred(x, t);
        if (cmp(abs(t), bound) <= 0) continue;
        if (t < 0) t += modulus;
        if (!rationalReconstruction(t, modulus, bound, a, b)) return false;
        d *= b;
        if (cmp(d, bound) > 0) return false;
    }
    num.resize(X.size());
    for (size_t i = 0; i < X.size(); ++i)
        centred(X[i], num[i]);
    std::vector<mpz_class> check;
    multiply(num, transposed, check);
    for (size_t i = 0; i < check.size(); ++i)
        if (check[i] != d * rhs[i]) return false;
    den = d;
    return true;
}

// Dixon's lifting: z_i = K'⁻¹·r_i mod p, r_{i+1} = (r_i − K'·z_i)/p, X = Σ z_i·p^i.
bool ExactBasis::lift(const std::vector<mpz_class>& rhs, bool transposed,
                      std::vector<mpz_class>& num, mpz_class& den) {
    const auto kk = static_cast<size_t>(m_k);
    if (kk == 0) {
        num.clear();
        den = 1;
        return true;
    }
    const uint32_t p = m_prime;
    std::vector<mpz_class> res = rhs, X(kk, 0);
    std::vector<uint32_t> r(kk);
    mpz_class pk = 1;
    int nextTry = 2;
    // Hadamard's bound: |det K'| is at most the product of its columns' lengths, and by
    // Cramer's rule every numerator at most that with one column replaced by the right-hand
    // side. Once p^k exceeds twice their product the reconstruction cannot fail, so the
    // lifting ends there whatever the budget.
    long boundBits = 8;
    auto lengthBits = [](const mpz_class& squares) {
        return static_cast<long>(mpz_sizeinbase(squares.get_mpz_t(), 2)) / 2 + 1;
    };
    for (int32_t c = 0; c < m_k; ++c) {
        mpz_class squares = 0;
        for (const auto& [q, a] : m_columns[static_cast<size_t>(c)])
            squares += a * a;
        boundBits += 2 * lengthBits(squares);
    }
    mpz_class rhsSquares = 0;
    for (const auto& v : rhs)
        rhsSquares += v * v;
    boundBits += lengthBits(rhsSquares);
    const long lastIteration = boundBits / 30 + 2; // p > 2^30
    for (int iteration = 1;; ++iteration) {
        m_budget.check();
        if (iteration > lastIteration) return reconstruct(X, pk, rhs, transposed, num, den);
        bool zero = true;
        for (size_t i = 0; i < kk; ++i) {
            r[i] = residue(res[i], p);
            if (sgn(res[i]) != 0) zero = false;
        }
        if (zero) { // the digits so far are the exact integer solution
            num.resize(kk);
            for (size_t i = 0; i < kk; ++i)
                num[i] = X[i];
            den = 1;
            // X holds the digits as non-negative residues; a negative solution shows up as a
            // residual that never vanishes, so this branch sees non-negative answers only.
            return true;
        }
        const auto z = solveModP(r, transposed);
        for (size_t i = 0; i < kk; ++i)
            if (z[i] != 0) mpz_addmul_ui(X[i].get_mpz_t(), pk.get_mpz_t(), z[i]);
        for (int32_t c = 0; c < m_k; ++c)
            for (const auto& [q, a] : m_columns[static_cast<size_t>(c)]) {
                if (!transposed) {
                    if (z[static_cast<size_t>(c)] != 0)
                        mpz_submul_ui(res[static_cast<size_t>(q)].get_mpz_t(), a.get_mpz_t(),
                                      z[static_cast<size_t>(c)]);
                } else if (z[static_cast<size_t>(q)] != 0) {
                    mpz_submul_ui(res[static_cast<size_t>(c)].get_mpz_t(), a.get_mpz_t(),
                                  z[static_cast<size_t>(q)]);
                }
            }
        for (auto& v : res)
            mpz_divexact_ui(v.get_mpz_t(), v.get_mpz_t(), p);
        pk *= p;
        if (iteration >= nextTry) {
            nextTry = std::max(iteration + 1, iteration * 5 / 4);
            if (reconstruct(X, pk, rhs, transposed, num, den)) return true;
        }
    }
}

namespace {

// Integers R and shifts t, t5 with v_i = R_i / (2^t·5^t5).
long toIntegers(const std::vector<Dyadic>& v, std::vector<mpz_class>& out, long& t5) {
    long t = 0;
    t5 = 0;
    for (const auto& d : v)
        if (sgn(d.m) != 0) {
            t = std::max(t, -d.e);
            t5 = std::max(t5, -d.f);
        }
    out.resize(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        if (sgn(v[i].m) == 0) {
            out[i] = 0;
            continue;
        }
        mpz_mul_2exp(out[i].get_mpz_t(), v[i].m.get_mpz_t(), static_cast<mp_bitcnt_t>(v[i].e + t));
        if (v[i].f + t5 > 0) out[i] *= powerOfFive(v[i].f + t5);
    }
    return t;
}

// Entries V_k·2^{e_k}·5^{f_k} / d brought to one integer vector over one denominator.
ScaledVector assemble(const std::vector<Dyadic>& parts, const mpz_class& d) {
    long emin = 0, fmin = 0;
    for (const auto& x : parts)
        if (sgn(x.m) != 0) {
            emin = std::min(emin, x.e);
            fmin = std::min(fmin, x.f);
        }
    ScaledVector out;
    out.num.resize(parts.size());
    for (size_t k = 0; k < parts.size(); ++k)
        if (sgn(parts[k].m) != 0) {
            mpz_mul_2exp(out.num[k].get_mpz_t(), parts[k].m.get_mpz_t(),
                         static_cast<mp_bitcnt_t>(parts[k].e - emin));
            if (parts[k].f - fmin > 0) out.num[k] *= powerOfFive(parts[k].f - fmin);
        }
    mpz_mul_2exp(out.den.get_mpz_t(), d.get_mpz_t(), static_cast<mp_bitcnt_t>(-emin));
    if (fmin < 0) out.den *= powerOfFive(-fmin);
    return out;
}

} // namespace

ScaledVector ExactBasis::solve(const std::vector<Dyadic>& rhs) {
    const auto M = static_cast<size_t>(m_M);
    std::vector<Dyadic> kernelRhs(static_cast<size_t>(m_k));
    for (int32_t q = 0; q < m_k; ++q)
        kernelRhs[static_cast<size_t>(q)] =
            rhs[static_cast<size_t>(m_kernelRow[static_cast<size_t>(q)])];
    std::vector<mpz_class> R, Z;
    long t5 = 0;
    const long t = toIntegers(kernelRhs, R, t5);
    mpz_class dz;
    if (!lift(R, false, Z, dz)) throw Stopped(false);
    // Kernel positions: x = Z_c·2^{s_c − t}·5^{s5_c − t5} / dz.
    std::vector<Dyadic> parts(M + 1);
    for (int32_t c = 0; c < m_k; ++c) {
        auto& part = parts[static_cast<size_t>(m_kernelPosition[static_cast<size_t>(c)])];
        part.m = Z[static_cast<size_t>(c)];
        part.e = m_columnShift[static_cast<size_t>(c)] - t;
        part.f = m_columnShift5[static_cast<size_t>(c)] - t5;
    }
    // Unit positions: x = σ·(b_ρ·dz − Σ_c a_ρc·x_c·dz) / dz.
    std::vector<Dyadic> rowSum(M + 1);
    for (size_t i = 1; i <= M; ++i)
        if (sgn(rhs[i].m) != 0) {
            rowSum[i].m = rhs[i].m * dz;
            rowSum[i].e = rhs[i].e;
            rowSum[i].f = rhs[i].f;
        }
    for (int32_t c = 0; c < m_k; ++c)
        for (const auto& e : m_unitEntries[static_cast<size_t>(c)])
            addProduct(rowSum[static_cast<size_t>(e.index)], negated(e.value),
                       Z[static_cast<size_t>(c)], m_columnShift[static_cast<size_t>(c)] - t,
                       m_columnShift5[static_cast<size_t>(c)] - t5);
    for (size_t r = 1; r <= M; ++r) {
        const int32_t row = m_unitRowOfPosition[r];
        if (row == 0) continue;
        parts[r] = rowSum[static_cast<size_t>(row)];
        if (m_unitSign[r] < 0) parts[r].m = -parts[r].m;
    }
    return assemble(parts, dz);
}

ScaledVector ExactBasis::solveTransposed(const std::vector<Dyadic>& c) {
    const auto M = static_cast<size_t>(m_M);
    // Unit rows: σ·y_ρ = c_r.
    std::vector<Dyadic> yUnit(M + 1);
    for (size_t r = 1; r <= M; ++r) {
        const int32_t row = m_unitRowOfPosition[r];
        if (row == 0) continue;
        yUnit[static_cast<size_t>(row)] = m_unitSign[r] < 0 ? negated(c[r]) : c[r];
    }
    // Kernel: Kᵀ·y = c_S − (unit rows' part), then K'ᵀ = 2^s·Kᵀ.
    std::vector<Dyadic> kernelRhs(static_cast<size_t>(m_k));
    for (int32_t col = 0; col < m_k; ++col) {
        Dyadic v = c[static_cast<size_t>(m_kernelPosition[static_cast<size_t>(col)])];
        for (const auto& e : m_unitEntries[static_cast<size_t>(col)])
            addProduct(v, negated(e.value), yUnit[static_cast<size_t>(e.index)]);
        v.e += m_columnShift[static_cast<size_t>(col)];
        v.f += m_columnShift5[static_cast<size_t>(col)];
        kernelRhs[static_cast<size_t>(col)] = std::move(v);
    }
    std::vector<mpz_class> R, Y;
    long t5 = 0;
    const long t = toIntegers(kernelRhs, R, t5);
    mpz_class dy;
    if (!lift(R, true, Y, dy)) throw Stopped(false);
    std::vector<Dyadic> parts(M + 1);
    for (int32_t q = 0; q < m_k; ++q) {
        auto& part = parts[static_cast<size_t>(m_kernelRow[static_cast<size_t>(q)])];
        part.m = Y[static_cast<size_t>(q)];
        part.e = -t;
        part.f = -t5;
    }
    for (size_t i = 1; i <= M; ++i)
        if (sgn(yUnit[i].m) != 0) {
            parts[i].m = yUnit[i].m * dy;
            parts[i].e = yUnit[i].e;
            parts[i].f = yUnit[i].f;
        }
    return assemble(parts, dy);
}

} // namespace kvado::analysis
