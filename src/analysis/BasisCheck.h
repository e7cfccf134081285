#pragma once
// The exact solution of one basis and the checks of a primal point, a dual point and a ray
// against the problem's own rows. Internal to the analyses (the verification and the exact
// solve share it).

#include <optional>
#include <string>
#include <vector>

#include "analysis/ExactBasis.h"
#include "analysis/ExactSolution.h"

namespace kvado::analysis {

// A failed condition: what failed, and the exact amount (for the one-line explanation).
struct Failure {
    std::string text;
    Real value = 0;
    int32_t index = 0; // the column or row concerned
    bool reducedCost = false;
};

// The right-hand sides B[1..M] and the costs of a basis's positions, exactly.
std::vector<Dyadic> rightHandSides(const LpProblem& p);
std::vector<Dyadic> basisCosts(const LpProblem& p, const std::vector<int32_t>& basis, bool phase1);
// Column j (structural, surplus, slack or artificial) over rows 1..M, exactly.
std::vector<Dyadic> columnOf(const LpProblem& p, int32_t j);
// Values of the structural columns 1..N from the values of the basis positions.
ScaledVector structuralValues(const LpProblem& p, const std::vector<int32_t>& basis,
                              const ScaledVector& positions);

// The checks below run over every row or column; with a budget they throw Stopped when it
// runs out (a problem may have a million columns).

// X >= 0 and every row met exactly; the first failure otherwise.
std::optional<Failure> primalFailure(const LpProblem& p, const ScaledVector& x, char separator,
                                     const Budget* budget = nullptr);
// Multipliers of the right sign (">=" rows >= 0, "<=" rows <= 0) and every reduced cost
// C[j] − y·A[.,j] >= 0; the first failure otherwise (a reduced cost in (−Eps, 0) preferred).
std::optional<Failure> dualFailure(const LpProblem& p, const ScaledVector& y, char separator,
                                   const Budget* budget = nullptr);
// A Farkas certificate of "no feasible solution": y of the right signs, y·A[.,j] <= 0 for every
// j and y·B > 0. `w` receives y·B.
std::optional<Failure> farkasFailure(const LpProblem& p, const ScaledVector& y, char separator,
                                     mpq_class& w, const Budget* budget = nullptr);
// A ray d over the structural columns: d >= 0, A·d keeps every row's sense, C·d < 0.
std::optional<Failure> rayFailure(const LpProblem& p, const ScaledVector& d, char separator,
                                  const Budget* budget = nullptr);

mpq_class objectiveOf(const LpProblem& p, const ScaledVector& x);
mpq_class dualObjectiveOf(const LpProblem& p, const ScaledVector& y);

std::string numberText(const mpq_class& q, char separator);

// The exact solver within `budget`, its answer solved again and checked here.
ExactSolution exactSolve(const LpProblem& p, const Budget& budget, char separator, bool warmStart);

// The largest violation by the method's own plan (the solution vector as it stands) of
// X >= 0 and of every row, each relative to the size of its terms (at least 1), computed
// exactly.
Real planViolation(const LpProblem& p, const Budget* budget = nullptr);

} // namespace kvado::analysis
