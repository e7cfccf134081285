#pragma once
// The exact solution of a simplex basis: B·v = r and Bᵀ·y = c in rational arithmetic, for a
// basis given as a basis list in the LP problem's column numbering (structural, surplus, slack
// and artificial columns alike). Internal to the analyses.
//
// Surplus, slack and artificial columns are unit columns: each settles its own row, so only
// the structural columns against the remaining rows (the kernel) need elimination. The kernel
// is solved by p-adic lifting: one LU factorization modulo a word-sized prime, then digits of
// the solution modulo p, p², ... from residuals that stay small, until a rational
// reconstruction of the digits satisfies the system exactly. Unlike rational elimination this
// never lets the coefficients grow with the elimination, and its work follows the size of the
// answer rather than a worst-case bound; every answer is checked against the system before it
// is returned, so the result is exact whatever the reconstruction guessed.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "analysis/Rational.h"
#include "solver/LpProblem.h"

namespace kvado::analysis {

// Limits on the exact work: a deadline and a flag another thread may set.
struct Budget {
    bool hasDeadline = false;
    std::chrono::steady_clock::time_point deadline;
    const std::atomic<bool>* cancel = nullptr;

    static Budget seconds(double s, const std::atomic<bool>* cancel = nullptr);
    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    bool timeUp() const { return hasDeadline && std::chrono::steady_clock::now() >= deadline; }
    // Throws Stopped when either has come.
    void check() const;
};

class Stopped : public std::runtime_error {
public:
    explicit Stopped(bool cancelled)
        : std::runtime_error(cancelled ? "cancelled" : "time limit"), cancelled(cancelled) {}
    bool cancelled;
};

// v[k] = num[k] / den with den > 0; index 0 unused. Not necessarily in lowest terms.
struct ScaledVector {
    std::vector<mpz_class> num;
    mpz_class den = 1;
    mpq_class at(size_t k) const {
        mpq_class q(num[k], den);
        q.canonicalize();
        return q;
    }
};

class ExactBasis {
public:
    // basis[1..M]: the column basic in each position. Factorizes the kernel; throws Stopped.
    ExactBasis(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget);

    // The basis matrix is singular (or a basis entry is not a column of the problem).
    bool singular() const { return m_singular; }
    // B·v = rhs, rhs over rows 1..M: v over positions 1..M. Throws Stopped.
    ScaledVector solve(const std::vector<Dyadic>& rhs);
    // Bᵀ·y = c, c over positions 1..M: y over rows 1..M. Throws Stopped.
    ScaledVector solveTransposed(const std::vector<Dyadic>& c);
    // Size of the kernel (structural columns in the basis).
    int32_t kernelSize() const { return m_k; }

private:
    struct Entry {
        int32_t index; // kernel row, or constraint row for a unit row's entry
        Dyadic value;
    };
    bool factorModP();
    std::vector<uint32_t> solveModP(std::vector<uint32_t> r, bool transposed) const;
    bool lift(const std::vector<mpz_class>& rhs, bool transposed, std::vector<mpz_class>& num,
              mpz_class& den);
    bool reconstruct(const std::vector<mpz_class>& X, const mpz_class& modulus,
                     const std::vector<mpz_class>& rhs, bool transposed,
                     std::vector<mpz_class>& num, mpz_class& den) const;
    void multiply(const std::vector<mpz_class>& v, bool transposed,
                  std::vector<mpz_class>& out) const;

    const Budget& m_budget;
    int32_t m_M = 0, m_k = 0;
    bool m_singular = false;
    std::vector<int32_t> m_unitRowOfPosition;      // position -> its row (unit columns), else 0
    std::vector<int32_t> m_unitSign;               // position -> +1 / -1 (unit columns)
    std::vector<int32_t> m_kernelPosition;         // kernel column c -> basis position
    std::vector<int32_t> m_kernelRow;              // kernel row q -> constraint row
    std::vector<int32_t> m_kernelIndexOfRow;       // constraint row -> kernel row, or -1
    std::vector<long> m_columnShift;               // kernel column c -> s_c >= 0 (twos)
    std::vector<long> m_columnShift5;              // and its fives
    std::vector<std::vector<Entry>> m_unitEntries; // kernel column c -> entries in unit rows
    // The integer kernel K' = K·2^s·5^s5 by columns: (kernel row, value).
    std::vector<std::vector<std::pair<int32_t, mpz_class>>> m_columns;
    // LU factors modulo m_prime, row-major k x k, with the row order m_perm.
    uint32_t m_prime = 0;
    std::vector<uint32_t> m_lu;
    std::vector<int32_t> m_perm;
    std::vector<uint64_t> m_diagonalInverse;
};

} // namespace kvado::analysis
