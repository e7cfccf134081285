// The ranging against glpsol's sensitivity report (`glpsol --ranges`) on random problems with
// every row kind and on the Netlib problems, at nondegenerate optima with no other optimum:
// there the optimal basis is unique, so both programs range the same one. Names, not
// positions, tie the two together. glpsol prints 5 decimals below 1e6 and 6 digits above, so a
// number agrees within 1e-7 relative or within that printed resolution, whichever is larger.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "../solver/TestSupport.h"
#include "analysis/Ranging.h"
#include "base/FileIo.h"
#include "datafile/DataFile.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;
namespace fs = std::filesystem;

constexpr const char* kGlpsol = "/usr/bin/glpsol";

// One row or column of the report: "No. name St activity slack|cost lower-bound act-range
// cost-range obj-at-break [limiting]", then "marginal upper-bound act-range cost-range
// obj-at-break [limiting]". [0] holds the lower ends, [1] the upper ones.
struct Entry {
    std::string status, lim[2];
    double activity = 0, marginal = 0, act[2] = {}, coef[2] = {}, obj[2] = {};
};
struct Report {
    double objective = 0;
    std::map<std::string, Entry> entries; // rows "rI" and columns "cJ"
};

// glpsol writes "." for the point whatever the locale; so do the problems written for it.
double cNumber(const std::string& t) {
    double v = 0;
    const char* first = t.data() + (t.starts_with('+') ? 1 : 0);
    if (std::from_chars(first, t.data() + t.size(), v).ec != std::errc()) ADD_FAILURE() << t;
    return v;
}

double glpNumber(const std::string& t) {
    const double inf = std::numeric_limits<double>::infinity();
    return t == "." ? 0 : t == "+Inf" ? inf : t == "-Inf" ? -inf : cNumber(t);
}

Report parseReport(const std::string& text) {
    Report rep;
    std::istringstream in(text);
    for (std::string line, next; std::getline(in, line);) {
        if (line.rfind("Objective:", 0) == 0) {
            std::istringstream value(line.substr(line.find(" = ") + 3));
            std::string t;
            value >> t;
            rep.objective = cNumber(t);
        }
        std::istringstream a(line);
        std::vector<std::string> t, u;
        for (std::string s; a >> s;)
            t.push_back(s);
        if (t.size() < 9 || !std::isdigit(static_cast<unsigned char>(t[0][0]))) continue;
        std::getline(in, next);
        std::istringstream b(next);
        for (std::string s; b >> s;)
            u.push_back(s);
        if (t.size() > 10 || u.size() < 5 || u.size() > 6) {
            ADD_FAILURE() << line << "\n" << next;
            continue;
        }
        Entry e{t[2], {t.size() == 10 ? t[9] : "", u.size() == 6 ? u[5] : ""}};
        e.activity = glpNumber(t[3]);
        e.marginal = glpNumber(u[0]);
        u.insert(u.begin(), ""); // the upper line's numbers at the lower line's places
        for (int k = 0; k < 2; ++k) {
            const auto v = k == 0 ? std::vector<std::string>(t.begin() + 3, t.end()) : u;
            e.act[k] = glpNumber(v[3]), e.coef[k] = glpNumber(v[4]), e.obj[k] = glpNumber(v[5]);
        }
        rep.entries[t[1]] = e;
    }
    return rep;
}

std::string num(Real v) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v),
                                   std::chars_format::general, 17);
    return std::string(buf, end.ptr);
}
std::string term(Real v, int32_t j) {
    return (v < 0 ? " - " : " + ") + num(std::fabs(v)) + " c" + std::to_string(j);
}

// The problem as CPLEX LP, every column named in the objective so that glpsol knows it.
Report runGlpsol(const LpProblem& p) {
    std::string s = "Minimize\n obj:";
    for (int32_t j = 1; j <= p.N; ++j)
        s += term(p.objectiveCoefficient(j), j);
    s += "\nSubject To\n";
    for (int32_t i = 1; i <= p.M; ++i) {
        s += " r" + std::to_string(i) + ":" + (p.row(i).count == 0 ? " 0 c1" : "");
        for (int32_t j = 1; j <= p.N; ++j)
            if (p.tableau(i, j) != 0) s += term(p.tableau(i, j), j);
        s += (p.isGreaterRow(i) ? " >= "
              : p.isEqualRow(i) ? " = "
                                : " <= ") +
             num(p.initialRhs[static_cast<size_t>(i)]) + "\n";
    }
    kvado::test::TempDir dir;
    kvado::test::writeBytes(dir.file("p.lp"), s + "End\n");
    const std::string cmd = std::string(kGlpsol) + " --lp " + dir.file("p.lp") + " --ranges " +
                            dir.file("r.txt") + " > /dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return fs::exists(dir.file("r.txt")) ? parseReport(kvado::test::readBytes(dir.file("r.txt")))
                                         : Report{};
}

bool agrees(Real ours, double theirs) {
    if (std::isinf(theirs) || std::isinf(ours)) return static_cast<double>(ours) == theirs;
    const double printed = std::fabs(theirs) <= 999999.99998 ? 6e-6 : 6e-6 * std::fabs(theirs);
    return std::fabs(static_cast<double>(ours) - theirs) <=
           std::max(1e-7 * std::fabs(theirs), printed);
}
bool agrees(const std::optional<Real>& ours, double theirs) {
    return ours ? agrees(*ours, theirs) : std::isinf(theirs);
}

// Where several variables reach their limit at one end, each is a right limiting variable and
// glpsol may name another one than ours. Its name then passes when, computed here from the
// basis inverse, its basic value (at a step `t` along the inverse times column k, or the
// inverse's column -k) or its reduced cost (at a cost change `t` of the unknown basic in row
// -k) reaches 0 there too.
Real inverseTimes(const LpProblem& p, int32_t r, int32_t k) {
    if (k <= p.N) {
        Real s = 0;
        for (int32_t i = 1; i <= p.M; ++i)
            s += p.inverse(r, i) * p.tableau(i, k);
        return s;
    }
    const int32_t i = k <= p.N + p.G ? k - p.N : k <= p.phase2Columns ? k - p.N + p.E : 0;
    return (k <= p.N + p.G ? -1 : 1) * p.inverse(r, i);
}

bool tied(const LpProblem& p, const std::string& theirs, Real t, int32_t k, bool pricing) {
    if (theirs.size() < 2 || !std::isfinite(t)) return false;
    const int32_t n = std::stoi(theirs.substr(1));
    const int32_t col = theirs[0] == 'c' ? n : p.isEqualRow(n) ? 0 : p.ownExtraColumn(n);
    int32_t r = 0;
    for (int32_t i = 1; i <= p.M; ++i)
        if (p.basis[static_cast<size_t>(i)] == col) r = i;
    if (col == 0 || pricing != (r == 0)) return false;
    const Real base =
        pricing ? (col <= p.N ? p.objectiveCoefficient(col) : 0) + inverseTimes(p, p.M + 1, col)
                : p.inverse(r, 0);
    const Real move = pricing ? -inverseTimes(p, -k, col)
                      : k > 0 ? -inverseTimes(p, r, k)
                              : p.inverse(r, -k);
    return std::fabs(base + t * move) <= 1e-9L * std::max<Real>(1, std::fabs(base));
}

#define EXPECT_AGREE(ours, theirs) EXPECT_TRUE(agrees(ours, theirs)) << #ours << " vs " << (theirs)
#define EXPECT_LIMIT(ours, theirs, tie)                                                            \
    EXPECT_TRUE((ours).value_or("") == (theirs) || (tie))                                          \
        << (ours).value_or("-") << " vs " << theirs

// Returns false, comparing nothing, at a degenerate or not unique optimum.
bool compareWithGlpsol(const LpProblem& p) {
    std::vector<std::string> cn, rn;
    for (int32_t k = 1; k <= std::max(p.N, p.M); ++k)
        cn.push_back("c" + std::to_string(k)), rn.push_back("r" + std::to_string(k));
    const Ranges r = computeRanges(p, cn, rn);
    if (r.degenerate || r.otherOptima) return false;
    const Report g = runGlpsol(p);
    EXPECT_EQ(g.entries.size(), static_cast<size_t>(p.N + p.M));
    EXPECT_TRUE(agrees(r.objective, g.objective));
    for (int32_t j = 1; j <= p.N; ++j) {
        const ColumnRange& c = r.columns[static_cast<size_t>(j - 1)];
        const Entry& e = g.entries.count(c.name) ? g.entries.at(c.name) : Entry{};
        SCOPED_TRACE(c.name);
        EXPECT_EQ(e.status, c.basic ? "BS" : "NL");
        EXPECT_AGREE(c.value, e.activity);
        EXPECT_AGREE(c.costLower, e.coef[0]);
        EXPECT_AGREE(c.costUpper, e.coef[1]);
        int32_t row = 0;
        for (int32_t i = 1; i <= p.M; ++i)
            if (p.basis[static_cast<size_t>(i)] == j) row = i;
        if (c.basic) {
            EXPECT_AGREE(c.objectiveAtCostLower, e.obj[0]);
            EXPECT_AGREE(c.objectiveAtCostUpper, e.obj[1]);
            EXPECT_LIMIT(c.limitingAtCostLower, e.lim[0],
                         tied(p, e.lim[0], c.costLower - c.cost, -row, true));
            EXPECT_LIMIT(c.limitingAtCostUpper, e.lim[1],
                         tied(p, e.lim[1], c.costUpper - c.cost, -row, true));
        } else {
            // glpsol's upper line of a non-basic column: the unknown pushed into the plan.
            EXPECT_AGREE(c.reducedCost, e.marginal);
            EXPECT_AGREE(c.activityUpper, e.act[1]);
            EXPECT_AGREE(c.objectiveAtActivityUpper, e.obj[1]);
            EXPECT_LIMIT(c.limitingAtCostLower, e.lim[1],
                         tied(p, e.lim[1], c.activityUpper, j, false));
        }
    }
    for (int32_t i = 1; i <= p.M; ++i) {
        const RowRange& row = r.rows[static_cast<size_t>(i - 1)];
        const Entry& e = g.entries.count(row.name) ? g.entries.at(row.name) : Entry{};
        SCOPED_TRACE(row.name);
        EXPECT_EQ(e.status == "BS", !row.binding) << e.status;
        EXPECT_AGREE(row.activity, e.activity);
        EXPECT_AGREE(-row.shadowPrice, e.marginal); // glpsol's marginal is dZ/dB
        if (row.binding) {
            // The range of a binding row's bound is glpsol's activity range.
            EXPECT_AGREE(row.rhsLower, e.act[0]);
            EXPECT_AGREE(row.rhsUpper, e.act[1]);
            EXPECT_AGREE(row.objectiveAtRhsLower, e.obj[0]);
            EXPECT_AGREE(row.objectiveAtRhsUpper, e.obj[1]);
            EXPECT_LIMIT(row.limitingAtRhsLower, e.lim[0],
                         tied(p, e.lim[0], row.rhsLower - row.rhs, -i, false));
            EXPECT_LIMIT(row.limitingAtRhsUpper, e.lim[1],
                         tied(p, e.lim[1], row.rhsUpper - row.rhs, -i, false));
        } else {
            // Room left: B may move to the activity, where the own slack leaves, and away
            // from it freely, Z staying.
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

// Feasible by construction (B from a positive point, no B = 0, whose ">=" row would tie its
// surplus with its unknowns), bounded by a last "<=" row over every unknown; binary fractions,
// which both programs read exactly, of magnitudes that glpsol prints with 5 decimals.
kvado::test::ProblemData randomProblem(std::mt19937& rng) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    kvado::test::ProblemData d;
    d.G = uniform(0, 4), d.E = uniform(0, 2), d.L = uniform(1, 5), d.N = uniform(2, 9);
    d.eps = 1e-9L;
    std::vector<Real> x0;
    for (int32_t j = 0; j < d.N; ++j)
        x0.push_back(uniform(1, 400) / Real(8)), d.C.push_back(uniform(-90, 90) / Real(2));
    for (int32_t i = 0; i < d.M(); ++i) {
        Real ax = 0;
        d.A.emplace_back();
        for (int32_t j = 0; j < d.N; ++j) {
            d.A[i].push_back(i == d.M() - 1 ? uniform(1, 8)
                                            : uniform(0, 2) * uniform(1, 64) / Real(8));
            ax += d.A[i][j] * x0[j];
        }
        const Real room = uniform(1, 800) / Real(4);
        d.B.push_back(i < d.G         ? (ax > 0 ? ax * uniform(1, 7) / 8 : room)
                      : i < d.G + d.E ? ax
                                      : ax + room);
    }
    return d;
}

TEST(RangingVersusGlpsol, RandomProblems) {
    if (!fs::exists(kGlpsol)) GTEST_SKIP() << kGlpsol << " is not installed";
    std::mt19937 rng(20261208);
    int compared = 0, kinds = 0;
    for (int k = 0; k < 150 && !HasFailure(); ++k) {
        const auto d = randomProblem(rng);
        SCOPED_TRACE("problem " + std::to_string(k));
        kvado::test::Solved s;
        kvado::test::solveProblem(d, s);
        if (s.outcome == SolveOutcome::Optimal && compareWithGlpsol(s.problem))
            ++compared, kinds |= (d.G > 0 ? 1 : 0) | (d.E > 0 ? 2 : 0) | 4;
    }
    EXPECT_GE(compared, 50);
    EXPECT_EQ(kinds, 7) << "a row kind was never compared";
}

TEST(RangingVersusGlpsol, NetlibNondegenerateOptima) {
    if (!fs::exists(kGlpsol)) GTEST_SKIP() << kGlpsol << " is not installed";
    if (!fs::is_directory(KVADO_NETLIB_DIR)) GTEST_SKIP() << KVADO_NETLIB_DIR << " is missing";
    // kb2, scagr7 and share1b end at nondegenerate unique optima; the others are degenerate
    // (solving them all to find these took most of this test's time).
    int compared = 0;
    for (const char* name : {"kb2", "scagr7", "share1b"}) {
        const fs::path file = fs::path(KVADO_NETLIB_DIR) / (std::string(name) + ".dat");
        SCOPED_TRACE(file.string());
        LpProblem p;
        datafile::readDataFile(readFileBytes(file.string()), p);
        kvado::test::TempDir dir;
        TraceLog log(dir.path());
        kvado::test::RecordingHost host;
        compared += solve(p, log, host) == SolveOutcome::Optimal && compareWithGlpsol(p);
    }
    EXPECT_EQ(compared, 3);
}

} // namespace
