#pragma once
// The exact check of an integer plan: every row, every bound and the integrality of every
// integer column checked in exact arithmetic on the numbers as the user wrote them, and the
// plan's objective computed exactly. What it proves is the plan's feasibility, integrality and
// value; that no better plan exists rests on the search (its bound), which it does not check.

#include <string>
#include <vector>

#include "mip/MipTree.h"
#include "model/Model.h"

namespace kvado::mip {

struct IntegerCheck {
    bool ran = false;
    bool integral = false; // every Integer and Binary column holds a whole number, exactly
    // Every row and bound met exactly (a continuous column's value is the extended number the
    // search gave, taken exactly).
    bool feasible = false;
    // Not met exactly: the largest violation, relative to max(1, |bound|), and where it is
    // ("строка r", "граница x"); within 1E-9 it is a rounding of the continuous columns.
    double largestViolation = 0;
    std::string where;
    bool withinTolerance() const { return !feasible && largestViolation <= 1e-9; }
    // The objective of the plan, exactly ("p/q"), and its extended value.
    std::string objectiveExact;
    Real objective = 0;
};

IntegerCheck checkIntegerPlan(const model::Model& m, const std::vector<Real>& plan);

// The report's lines: the heading «Точная проверка целочисленного решения», what the check
// proves, and what rests on the search.
std::vector<std::string> integerCheckLines(const IntegerCheck& c, const MipAnswer& a,
                                           char decimalSeparator);

} // namespace kvado::mip
