// The ranging against glpsol's sensitivity report (`glpsol --ranges`), on random problems with
// all three row kinds and on the Netlib problems. Only nondegenerate optima with no other
// optimum are compared: there the optimal basis is unique, so both programs range the same
// one. Names, not positions, tie the two together.
//
// glpsol prints 5 decimals below 1e6 and 6 significant digits above, so a number agrees when
// it is within 1e-7 relative or within that printed resolution, whichever is larger.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <random>
#include <sstream>

#include "../solver/TestSupport.h"
#include "analysis/Ranging.h"
#include "datafile/DataFile.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;
using kvado::test::TempDir;

namespace fs = std::filesystem;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr const char* kGlpsol = "/usr/bin/glpsol";

// One entry of glpsol's report: a row or a column, its two lines.
struct Entry {
    std::string status;
    double activity = 0, second = 0; // slack (rows) or cost (columns)
    double marginal = 0;
    double activityLower = 0, activityUpper = 0;
    double coefLower = 0, coefUpper = 0;
    double objLower = 0, objUpper = 0;
    std::string limLower, limUpper;
};

struct Report {
    double objective = 0;
    std::map<std::string, Entry> rows, columns;
};

double glpNumber(const std::string& t) {
    if (t == ".") return 0;
    if (t == "+Inf") return kInf;
    if (t == "-Inf") return -kInf;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0') ADD_FAILURE() << "not a number in the report: " << t;
    return v;
}

std::vector<std::string> tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string t; in >> t;)
        out.push_back(t);
    return out;
}

// The layout: a header per page, then per entry a first line "No. name St activity
// slack|coef lower-bound act-range obj-coef-range obj-at-break [limiting]" and a second line
// "marginal upper-bound act-range obj-coef-range obj-at-break [limiting]".
Report parseReport(const std::string& text) {
    Report rep;
    std::istringstream in(text);
    std::map<std::string, Entry>* section = nullptr;
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("Objective:") == 0) {
            const auto eq = line.find(" = ");
            rep.objective = std::strtod(line.c_str() + eq + 3, nullptr);
        }
        if (line.find("Row name") != std::string::npos) section = &rep.rows;
        if (line.find("Column name") != std::string::npos) section = &rep.columns;
        const auto t = tokens(line);
        if (!section || t.size() < 9 || !std::isdigit(static_cast<unsigned char>(t[0][0])))
            continue;
        std::string next;
        std::getline(in, next);
        const auto u = tokens(next);
        if (t.size() > 10 || u.size() < 5 || u.size() > 6) {
            ADD_FAILURE() << "unexpected report lines:\n" << line << "\n" << next;
            continue;
        }
        Entry e;
        e.status = t[2];
        e.activity = glpNumber(t[3]);
        e.second = glpNumber(t[4]);
        e.activityLower = glpNumber(t[6]);
        e.coefLower = glpNumber(t[7]);
        e.objLower = glpNumber(t[8]);
        if (t.size() == 10) e.limLower = t[9];
        e.marginal = glpNumber(u[0]);
        e.activityUpper = glpNumber(u[2]);
        e.coefUpper = glpNumber(u[3]);
        e.objUpper = glpNumber(u[4]);
        if (u.size() == 6) e.limUpper = u[5];
        (*section)[t[1]] = e;
    }
    return rep;
}

std::string number(Real v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", static_cast<double>(v));
    return buf;
}

std::string term(Real v, int32_t column) {
    return (v < 0 ? " - " : " + ") + number(std::fabs(v)) + " c" + std::to_string(column);
}

// The solved problem in CPLEX LP form, columns c1..cN and rows r1..rM. Every column is named
// in the objective, so that glpsol knows it even when it has no coefficient anywhere.
std::string lpText(const LpProblem& p) {
    std::string s = "Minimize\n obj:";
    for (int32_t j = 1; j <= p.N; ++j)
        s += term(p.objectiveCoefficient(j), j);
    s += "\nSubject To\n";
    for (int32_t i = 1; i <= p.M; ++i) {
        s += " r" + std::to_string(i) + ":";
        const auto row = p.row(i);
        for (int32_t t = 0; t < row.count; ++t) {
            const Real a = row.valuesD ? Real(row.valuesD[t]) : row.values[t];
            s += term(a, row.columns[t]);
        }
        if (row.count == 0) s += " 0 c1";
        s += p.isGreaterRow(i) ? " >= " : p.isEqualRow(i) ? " = " : " <= ";
        s += number(p.initialRhs[static_cast<size_t>(i)]) + "\n";
    }
    return s + "End\n";
}

std::vector<std::string> names(const char* prefix, int32_t count) {
    std::vector<std::string> out;
    for (int32_t k = 1; k <= count; ++k)
        out.push_back(prefix + std::to_string(k));
    return out;
}

Report runGlpsol(const LpProblem& p) {
    TempDir dir;
    kvado::test::writeBytes(dir.file("p.lp"), lpText(p));
    const std::string cmd = std::string(kGlpsol) + " --lp " + dir.file("p.lp") + " --ranges " +
                            dir.file("r.txt") + " > " + dir.file("out.txt") + " 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << kvado::test::readBytes(dir.file("out.txt"));
    if (!fs::exists(dir.file("r.txt"))) return {};
    return parseReport(kvado::test::readBytes(dir.file("r.txt")));
}

// Within 1e-7 relative, or within what glpsol's print keeps of its number.
bool agrees(Real ours, double theirs) {
    if (std::isinf(theirs) || std::isinf(ours)) return static_cast<double>(ours) == theirs;
    const double a = static_cast<double>(ours);
    const double printed = std::fabs(theirs) <= 999999.99998 ? 6e-6 : 6e-6 * std::fabs(theirs);
    return std::fabs(a - theirs) <= std::max(1e-7 * std::fabs(theirs), printed);
}

// An objective at a break point: none where glpsol prints an infinity.
bool agrees(const std::optional<Real>& ours, double theirs) {
    return ours ? agrees(*ours, theirs) : std::isinf(theirs);
}

std::string show(const std::optional<Real>& v) {
    return v ? number(*v) : "none";
}

// Ties. Where several variables reach their limit at the same end, the adjacent basis is
// degenerate and each of them is a right limiting variable; the two programs may name
// different ones. So a different name passes when glpsol's variable is tied with ours, checked
// here from the basis inverse, independently of the ranging's own ratio tests.

// The standard-form column of a name of the comparison ("cK" or "rK": row K's own variable).
int32_t columnOf(const LpProblem& p, const std::string& name) {
    if (name.size() < 2) return 0;
    const int32_t k = std::atoi(name.c_str() + 1);
    if (name[0] == 'c') return k;
    return p.isEqualRow(k) ? p.phase2Columns + k : p.ownExtraColumn(k);
}

int32_t basisRow(const LpProblem& p, int32_t column) {
    for (int32_t r = 1; r <= p.M; ++r)
        if (p.basis[static_cast<size_t>(r)] == column) return r;
    return 0;
}

// Row r of B^-1 times standard-form column k.
Real entry(const LpProblem& p, int32_t r, int32_t k) {
    if (k > p.N) {
        const int32_t i = k <= p.N + p.G         ? k - p.N
                          : k <= p.phase2Columns ? k - p.N + p.E
                                                 : k - p.phase2Columns;
        return (k <= p.N + p.G ? -1 : 1) * p.inverse(r, i);
    }
    Real s = 0;
    const auto c = p.column(k);
    for (int32_t t = 0; t < c.count; ++t)
        s += p.inverse(r, c.rows[t]) * c.value(t);
    return s;
}

Real reducedCost(const LpProblem& p, int32_t k) {
    Real s = k <= p.N ? p.objectiveCoefficient(k) : 0;
    for (int32_t i = 1; i <= p.M; ++i)
        s += p.inverse(p.M + 1, i) *
             (k <= p.N ? p.tableau(i, k) : (k <= p.N + p.G ? -1 : 1) * (p.tableau(i, k) != 0));
    return s;
}

bool nearZero(Real v, Real scale) {
    return std::fabs(v) <= 1e-9L * std::max<Real>(1, std::fabs(scale));
}

// glpsol's variable reaches 0 when the basic solution moves by `step` along B^-1 times `k`
// (k > 0) or along minus the inverse's column `-k` (k < 0).
bool basicTie(const LpProblem& p, const std::string& theirs, Real step, int32_t k) {
    const int32_t r = basisRow(p, columnOf(p, theirs));
    if (r == 0 || !std::isfinite(step)) return false;
    const Real move = k > 0 ? -entry(p, r, k) : p.inverse(r, -k);
    return nearZero(p.inverse(r, 0) + step * move, p.inverse(r, 0));
}

// glpsol's non-basic variable prices at 0 when the cost of the unknown basic in row r has
// moved by `delta`.
bool pricingTie(const LpProblem& p, const std::string& theirs, int32_t r, Real delta) {
    const int32_t k = columnOf(p, theirs);
    if (k == 0 || basisRow(p, k) != 0 || !std::isfinite(delta)) return false;
    const Real d = reducedCost(p, k);
    return nearZero(d - delta * entry(p, r, k), d);
}

#define EXPECT_LIMIT(ours, theirs, tie)                                                            \
    EXPECT_TRUE((ours).value_or("") == (theirs) || (tie))                                          \
        << #ours << " = " << (ours).value_or("none") << ", glpsol " << (theirs)

#define EXPECT_AGREE(ours, theirs)                                                                 \
    EXPECT_TRUE(agrees(ours, theirs)) << #ours << " = " << show(ours) << ", glpsol " << (theirs)

// Compares every range with glpsol's report of the same problem; returns false when the
// optimum is degenerate or not unique (then nothing is compared).
bool compareWithGlpsol(const LpProblem& p) {
    const Ranges r = computeRanges(p, names("c", p.N), names("r", p.M));
    if (r.degenerate || r.otherOptima) return false;
    const Report g = runGlpsol(p);
    EXPECT_EQ(g.columns.size(), static_cast<size_t>(p.N));
    EXPECT_EQ(g.rows.size(), static_cast<size_t>(p.M));
    EXPECT_TRUE(agrees(r.objective, g.objective));
    int32_t j = 0;
    for (const ColumnRange& c : r.columns) {
        ++j;
        SCOPED_TRACE(c.name);
        const auto at = g.columns.find(c.name);
        if (at == g.columns.end()) {
            ADD_FAILURE() << "glpsol has no column " << c.name;
            continue;
        }
        const Entry& e = at->second;
        // A unique optimum has one basis: glpsol's must be ours.
        EXPECT_EQ(e.status, c.basic ? "BS" : "NL");
        EXPECT_AGREE(c.value, e.activity);
        EXPECT_AGREE(c.costLower, e.coefLower);
        EXPECT_AGREE(c.costUpper, e.coefUpper);
        if (c.basic) {
            EXPECT_AGREE(c.objectiveAtCostLower, e.objLower);
            EXPECT_AGREE(c.objectiveAtCostUpper, e.objUpper);
            const int32_t r = basisRow(p, j);
            EXPECT_LIMIT(c.limitingAtCostLower, e.limLower,
                         pricingTie(p, e.limLower, r, c.costLower - c.cost));
            EXPECT_LIMIT(c.limitingAtCostUpper, e.limUpper,
                         pricingTie(p, e.limUpper, r, c.costUpper - c.cost));
        } else {
            // glpsol reports a non-basic column's push into the plan on its upper line.
            EXPECT_AGREE(c.reducedCost, e.marginal);
            EXPECT_AGREE(c.activityUpper, e.activityUpper);
            EXPECT_AGREE(c.objectiveAtActivityUpper, e.objUpper);
            const bool tie = basicTie(p, e.limUpper, c.activityUpper, j);
            EXPECT_LIMIT(c.limitingAtActivityUpper, e.limUpper, tie);
            EXPECT_LIMIT(c.limitingAtCostLower, e.limUpper, tie);
        }
    }
    int32_t i = 0;
    for (const RowRange& row : r.rows) {
        ++i;
        SCOPED_TRACE(row.name);
        const auto at = g.rows.find(row.name);
        if (at == g.rows.end()) {
            ADD_FAILURE() << "glpsol has no row " << row.name;
            continue;
        }
        const Entry& e = at->second;
        EXPECT_EQ(e.status == "BS", !row.binding) << e.status;
        EXPECT_AGREE(row.activity, e.activity);
        // glpsol's marginal is dZ/dB; the shadow price is how much Z falls.
        EXPECT_AGREE(-row.shadowPrice, e.marginal);
        if (row.binding) {
            // The range over which the row's bound can move is glpsol's activity range.
            EXPECT_AGREE(row.rhsLower, e.activityLower);
            EXPECT_AGREE(row.rhsUpper, e.activityUpper);
            EXPECT_AGREE(row.objectiveAtRhsLower, e.objLower);
            EXPECT_AGREE(row.objectiveAtRhsUpper, e.objUpper);
            EXPECT_LIMIT(row.limitingAtRhsLower, e.limLower,
                         basicTie(p, e.limLower, row.rhsLower - row.rhs, -i));
            EXPECT_LIMIT(row.limitingAtRhsUpper, e.limUpper,
                         basicTie(p, e.limUpper, row.rhsUpper - row.rhs, -i));
        } else {
            // A row with room left: B can move to the activity, where the row's own slack
            // leaves, and away from it without limit; Z stays.
            const bool less = row.kind == RowKind::Less;
            EXPECT_AGREE(less ? row.rhsLower : row.rhsUpper, e.activity);
            EXPECT_TRUE(std::isinf(less ? row.rhsUpper : row.rhsLower));
            EXPECT_AGREE(row.objectiveAtRhsLower, g.objective);
            EXPECT_AGREE(row.objectiveAtRhsUpper, g.objective);
            EXPECT_EQ(less ? row.limitingAtRhsLower : row.limitingAtRhsUpper, row.name);
        }
    }
    return true;
}

bool haveGlpsol() {
    return fs::exists(kGlpsol);
}

// Random problems with every row kind. The data are binary fractions, read exactly by both
// programs; each problem is feasible by construction (B from a random non-negative point) and
// bounded by a "<=" row over every unknown; no right-hand side is 0. Sizes and magnitudes keep most
// numbers in the range glpsol prints with 5 decimals.
kvado::test::ProblemData randomProblem(std::mt19937& rng) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    kvado::test::ProblemData d;
    d.G = uniform(0, 4);
    d.E = uniform(0, 2);
    d.L = uniform(1, 5);
    d.N = uniform(2, 9);
    d.eps = 1e-9L;
    std::vector<Real> x0(static_cast<size_t>(d.N));
    for (Real& v : x0)
        v = uniform(1, 400) / Real(8);
    const int32_t M = d.M();
    for (int32_t i = 0; i < M; ++i) {
        std::vector<Real> row(static_cast<size_t>(d.N));
        Real ax = 0;
        for (int32_t j = 0; j < d.N; ++j) {
            const bool budget = i == M - 1;
            row[static_cast<size_t>(j)] =
                budget ? uniform(1, 8) : (uniform(0, 2) == 0 ? 0 : uniform(1, 64) / Real(8));
            ax += row[static_cast<size_t>(j)] * x0[static_cast<size_t>(j)];
        }
        d.A.push_back(row);
        const Real room = uniform(1, 800) / Real(4);
        // A ">=" row with B = 0 would tie its surplus with the unknowns in it.
        const Real below = ax > 0 ? ax * uniform(1, 7) / 8 : room;
        d.B.push_back(i < d.G ? below : i < d.G + d.E ? ax : ax + room);
    }
    for (int32_t j = 0; j < d.N; ++j)
        d.C.push_back(uniform(-90, 90) / Real(2));
    return d;
}

TEST(RangingVersusGlpsol, RandomProblems) {
    if (!haveGlpsol()) GTEST_SKIP() << kGlpsol << " is not installed";
    std::mt19937 rng(20261208);
    int compared = 0, kinds = 0;
    for (int k = 0; k < 150; ++k) {
        const auto d = randomProblem(rng);
        SCOPED_TRACE("problem " + std::to_string(k));
        kvado::test::Solved s;
        kvado::test::solveProblem(d, s);
        if (s.outcome != SolveOutcome::Optimal) continue;
        if (compareWithGlpsol(s.problem)) {
            ++compared;
            kinds |= (d.G > 0 ? 1 : 0) | (d.E > 0 ? 2 : 0) | 4;
        }
        if (HasFailure()) break;
    }
    EXPECT_GE(compared, 50);
    EXPECT_EQ(kinds, 7) << "a row kind was never compared";
}

std::vector<std::string> netlibProblems() {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(KVADO_NETLIB_DIR, ec))
        if (entry.path().extension() == ".dat") out.push_back(entry.path().stem().string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(RangingVersusGlpsol, NetlibNondegenerateOptima) {
    if (!haveGlpsol()) GTEST_SKIP() << kGlpsol << " is not installed";
    if (!fs::is_directory(KVADO_NETLIB_DIR)) GTEST_SKIP() << KVADO_NETLIB_DIR << " is missing";
    int compared = 0;
    for (const std::string& name : netlibProblems()) {
        SCOPED_TRACE(name);
        LpProblem p;
        datafile::readDataFile(
            datafile::readFileBytes(std::string(KVADO_NETLIB_DIR) + "/" + name + ".dat"), p);
        TempDir dir;
        TraceLog log(dir.path());
        kvado::test::RecordingHost host;
        if (solve(p, log, host) != SolveOutcome::Optimal) continue;
        compared += compareWithGlpsol(p);
    }
    // kb2, scagr7 and share1b end at nondegenerate unique optima; the others are degenerate.
    EXPECT_GE(compared, 3);
}

} // namespace
