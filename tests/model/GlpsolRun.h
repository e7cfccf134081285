#pragma once
// glpsol, the independent solver the model tests compare with: its plain solution file read
// back, and whether the answer it gives is the only one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/Model.h"

namespace kvado::test {

struct GlpAnswer {
    char primal = 'u', dual = 'u';
    Real objective = 0;
    std::vector<char> rowStatus, columnStatus;
    std::vector<Real> rowValue, rowDual, columnValue, columnDual;
};

// glpsol's plain solution file (-w): "s bas m n p d obj", "i k st prim dual", "j k st prim dual".
inline GlpAnswer runGlpsol(const std::string& file, const char* format, bool maximise,
                           const std::string& dir) {
    const std::string sol = dir + "/answer.sol";
    std::remove(sol.c_str());
    const std::string cmd = std::string("glpsol ") + format + " " + file + " --nopresol " +
                            (maximise ? "--max " : "") + "-w " + sol + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(sol);
    GlpAnswer a;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string tag;
        s >> tag;
        if (tag == "s") {
            std::string bas;
            int m, n;
            long double z;
            s >> bas >> m >> n >> a.primal >> a.dual >> z;
            a.objective = z;
        } else if (tag == "i" || tag == "j") {
            int k;
            char st;
            long double v, d;
            s >> k >> st >> v >> d;
            (tag == "i" ? a.rowStatus : a.columnStatus).push_back(st);
            (tag == "i" ? a.rowValue : a.columnValue).push_back(v);
            (tag == "i" ? a.rowDual : a.columnDual).push_back(d);
        }
    }
    return a;
}

inline bool near(Real a, Real b, Real tol) {
    return std::fabs(a - b) <= tol * std::max<Real>(1, std::fabs(b));
}

// Unique plan and marginals: no basic variable at a bound, no nonbasic one with a zero marginal.
inline bool nondegenerate(const model::Model& m, const GlpAnswer& g) {
    auto inside = [](Real v, Real lo, Real up) { return v > lo + 1e-7L && v < up - 1e-7L; };
    for (size_t r = 0; r < m.rows.size(); ++r) {
        if (g.rowStatus[r] == 'b' ? !inside(g.rowValue[r], m.rows[r].lower, m.rows[r].upper)
                                  : std::fabs(g.rowDual[r]) < 1e-7L)
            return false;
    }
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const model::Column& c = m.columns[j];
        if (g.columnStatus[j] == 'b' ? !inside(g.columnValue[j], c.lower, c.upper)
                                     : std::fabs(g.columnDual[j]) < 1e-7L)
            return false;
    }
    return true;
}

} // namespace kvado::test
