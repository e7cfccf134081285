// Why a problem has no answer: hand cases with their sentences, and random infeasible and
// unbounded models whose certificates, subsets and rays are checked apart from the code that
// found them: the certificate's sum recomputed here, every subset and every subset less one
// member given to glpsol, every ray put through every row.

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>

#include "../model/ModelTestSupport.h"
#include "analysis/Explain.h"
#include "analysis/ModelCheck.h"
#include "analysis/UserRanging.h"
#include "model/ModelFiles.h"
#include "session/EngineBasis.h"
#include "session/Explanation.h"
#include "session/Session.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;
using namespace kvado::test;

struct HandCase {
    const char* what;
    ProblemData data;
    std::vector<std::string> rowNames;
    SolveOutcome outcome;
    std::string sentence;
    std::vector<int32_t> subset;
};

TEST(Explain, HandCases) {
    const std::vector<HandCase> cases = {
        {"two rows",
         {1, 0, 1, 2, 1e-8L, {{1, 1}, {1, 1}}, {1, 1}, {5, 3}},
         {"Спрос", "Мощность"},
         SolveOutcome::Infeasible,
         "Сложив ограничения «Спрос» ×1 и «Мощность» ×(-1), получаем 0 ≥ 2: ограничения "
         "несовместны",
         {1, 2}},
        {"whole multipliers",
         {2, 0, 0, 2, 1e-8L, {{-1, 1}, {2, -2}}, {1, 1}, {1, 3}},
         {"A", "B"},
         SolveOutcome::Infeasible,
         "Сложив ограничения «A» ×2 и «B» ×1, получаем 0 ≥ 5: ограничения несовместны",
         {1, 2}},
        {"= against >=",
         {1, 1, 1, 2, 1e-8L, {{1, 1}, {1, 1}, {1, 0}}, {1, 1}, {4, 1, 10}},
         {},
         SolveOutcome::Infeasible,
         "Сложив ограничения №1 ×1 и №2 ×(-1), получаем 0 ≥ 3: ограничения несовместны",
         {1, 2}},
        {"three rows",
         {2, 0, 2, 3, 1e-8L, {{1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}}, {1, 1, 1}, {2, 2, 3, 5}},
         {},
         SolveOutcome::Infeasible,
         "Сложив ограничения №1 ×1, №2 ×1 и №3 ×(-1), получаем 0 ≥ 1: ограничения несовместны",
         {1, 2, 3}},
        {"a row and the bounds",
         {1, 0, 0, 2, 1e-8L, {{-1, -2}}, {1, 1}, {4}},
         {},
         SolveOutcome::Infeasible,
         "Сложив ограничения №1 ×1, X[1] ≥ 0 ×1 и X[2] ≥ 0 ×2, получаем 0 ≥ 4: ограничения "
         "несовместны",
         {1}},
        {"two unknowns grow",
         {0, 1, 0, 2, 1e-8L, {{1, -1}}, {-1.5L, -1}, {0}},
         {},
         SolveOutcome::Unbounded,
         "X[1] и X[2] могут расти неограниченно: при увеличении X[2] на 1 Z уменьшается на 2,5",
         {}},
    };
    for (const HandCase& c : cases) {
        SCOPED_TRACE(c.what);
        Solved s;
        solveProblem(c.data, s);
        ASSERT_EQ(s.outcome, c.outcome);
        const Explanation e = explain(s.problem, s.outcome);
        ASSERT_NE(e.kind, Explanation::Kind::None) << e.note;
        EXPECT_EQ(explanationSentence(s.problem, e, {c.rowNames, {}}, ','), c.sentence);
        if (c.outcome == SolveOutcome::Infeasible) {
            EXPECT_TRUE(e.infeasibility.subsetComputed);
            EXPECT_EQ(e.infeasibility.subset, c.subset);
        }
    }
}

// Past the size limit, or stopped, the certificate is shown alone, and the JSON says why.
TEST(Explain, CertificateAloneAboveTheSizeLimitOrStopped) {
    Solved s;
    solveProblem({1, 0, 1, 2, 1e-8L, {{1, 1}, {1, 1}}, {1, 1}, {5, 3}}, s);
    ExplainOptions large, stopped;
    large.maxSubsetRows = 1;
    stopped.stopRequested = [] { return true; };
    for (const auto& [options, note] :
         {std::pair{large, "Несовместное подмножество не искалось: задача велика (ограничений: 2, "
                           "предел 1)"},
          std::pair{stopped, "Поиск несовместного подмножества прерван"}}) {
        const Explanation e = explain(s.problem, s.outcome, options);
        ASSERT_EQ(e.kind, Explanation::Kind::Infeasible);
        EXPECT_EQ(explanationSection(s.problem, e, {}, ',').back(), note);
        const model::Model m = model::modelOfProblem(s.problem, {"a", "b"}, {}, {});
        text::JsonWriter w;
        session::explanationJson(w.beginObject(), session::userExplanation(e, m, nullptr));
        EXPECT_EQ(w.endObject().text(),
                  "{\"infeasibility\": {\"certificate\": [{\"name\": \"a\", \"multiplier\": 1}, "
                  "{\"name\": \"b\", \"multiplier\": -1}], \"iis\": null, \"iis_bounds\": null, "
                  "\"iis_note\": \"" +
                      std::string(note) + "\"}}");
    }
}

// glpsol's word on a model: whether it has a feasible point.
bool feasibleByGlpsol(const model::Model& m, const TempDir& dir) {
    model::Model zero = m;
    for (auto& c : zero.columns)
        c.cost = 0;
    zero.objectiveConstant = 0;
    zero.sense = model::Sense::Minimize; // glpsol's free MPS has no OBJSENSE
    writeBytes(dir.file("sub.mps"), model::writeMps(zero));
    const std::string sol = dir.file("sub.sol");
    std::remove(sol.c_str());
    const std::string cmd =
        "glpsol --freemps " + dir.file("sub.mps") + " --nopresol -w " + sol + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    // The first line after the comments: "s bas ROWS COLUMNS PRIMAL DUAL OBJECTIVE".
    std::ifstream in(sol);
    std::string line, tag = "c", bas, rows, columns;
    while (tag == "c" && std::getline(in, line))
        tag = line.substr(0, 1);
    std::istringstream fields(line);
    char primal = 'u';
    fields >> tag >> bas >> rows >> columns >> primal;
    EXPECT_EQ(tag, "s") << line;
    return primal == 'f';
}

// The model with only the rows `rows` and the upper bounds of `bounded` (lower bounds stay).
model::Model part(const model::Model& m, const std::vector<std::string>& rows,
                  const std::vector<std::string>& bounded) {
    model::Model p = m;
    p.rows.clear();
    p.entries.clear();
    std::map<int32_t, int32_t> kept;
    for (size_t r = 0; r < m.rows.size(); ++r)
        if (std::find(rows.begin(), rows.end(), m.rows[r].name) != rows.end()) {
            kept[static_cast<int32_t>(r)] = static_cast<int32_t>(p.rows.size());
            p.rows.push_back(m.rows[r]);
        }
    for (const auto& en : m.entries)
        if (kept.count(en.row)) p.entries.push_back({kept[en.row], en.column, en.value});
    for (auto& c : p.columns)
        if (std::find(bounded.begin(), bounded.end(), c.name) == bounded.end())
            c.upper = model::kInfinity;
    return p;
}

// The certificate's sum recomputed in plain arithmetic reads 0 >= a positive number (exactly
// for whole multipliers, else to a rounding of each quotient).
void checkCertificate(const LpProblem& p, const Infeasibility& f) {
    std::vector<Real> y(static_cast<size_t>(p.M) + 1, 0), sum(static_cast<size_t>(p.N) + 1, 0);
    std::vector<Real> size(sum);
    Real bound = 0, boundSize = 0;
    for (const Term& t : f.rows) {
        y[static_cast<size_t>(t.index)] = t.multiplier;
        EXPECT_TRUE(p.isEqualRow(t.index) || (t.multiplier > 0) == p.isGreaterRow(t.index));
        bound += t.multiplier * p.tableau(t.index, 0);
        boundSize += std::fabs(t.multiplier * p.tableau(t.index, 0));
    }
    for (const Term& t : f.columns)
        sum[static_cast<size_t>(t.index)] = size[static_cast<size_t>(t.index)] = t.multiplier;
    for (int32_t j = 1; j <= p.N; ++j) {
        const auto k = static_cast<size_t>(j);
        for (int32_t i = 1; i <= p.M; ++i) {
            sum[k] += y[static_cast<size_t>(i)] * p.tableau(i, j);
            size[k] += std::fabs(y[static_cast<size_t>(i)] * p.tableau(i, j));
        }
        EXPECT_LE(std::fabs(sum[k]), 1e-16L * size[k]) << "X[" << j << "]";
    }
    EXPECT_NEAR(bound, f.bound, 1e-16L * boundSize);
    EXPECT_GT(bound, 0);
}

// The ray in the user's terms keeps every row and bound of the model (to a rounding of the
// rates, each an exact quotient rounded once) and moves the objective as said.
void checkRay(const model::Model& m, const session::UserExplanation& u) {
    std::map<std::string, Real> rate;
    for (const auto& r : u.ray)
        rate[r.name] = r.value;
    std::vector<Real> change(m.rows.size(), 0), size(m.rows.size(), 1e-300L);
    for (const auto& en : m.entries) {
        const Real term = en.value * rate[m.columns[static_cast<size_t>(en.column)].name];
        change[static_cast<size_t>(en.row)] += term;
        size[static_cast<size_t>(en.row)] += std::fabs(term);
    }
    for (size_t r = 0; r < m.rows.size(); ++r) {
        EXPECT_TRUE(!std::isfinite(m.rows[r].lower) || change[r] / size[r] >= -1e-16L) << r;
        EXPECT_TRUE(!std::isfinite(m.rows[r].upper) || change[r] / size[r] <= 1e-16L) << r;
    }
    Real objective = 0;
    for (const auto& c : m.columns) {
        // A column moves only away from a bound it has: up when it has no upper one, down
        // when it has no lower one.
        EXPECT_TRUE(rate[c.name] == 0 || !std::isfinite(rate[c.name] > 0 ? c.upper : c.lower))
            << c.name;
        objective += c.cost * rate[c.name];
    }
    EXPECT_NEAR(objective, u.objectiveRate, 1e-15L * std::fabs(objective));
    EXPECT_TRUE(m.sense == model::Sense::Minimize ? objective < 0 : objective > 0);
}

// Random models of every row kind, with and without bounds: every certificate adds up, every
// subset is infeasible by glpsol and feasible without any one of its rows or bounds, every ray
// keeps every row.
TEST(Explain, RandomModelsAgainstGlpsol) {
    if (std::system("command -v glpsol >/dev/null 2>&1") != 0) GTEST_SKIP() << "no glpsol";
    TempDir dir;
    std::mt19937 rng(16);
    int infeasible = 0, unbounded = 0, withBounds = 0;
    const int64_t enough = kvado::test::casesOfThisLocale(50);
    for (int round = 0; round < 1000 && (infeasible < enough || unbounded < enough); ++round) {
        model::Model m = freeModel(rng, round % 2 == 1);
        m.sense = round % 3 == 0 ? model::Sense::Maximize : model::Sense::Minimize;
        if (!kvado::test::caseOfThisLocale(round / 2)) continue;
        ModelSolve s = solveModel(m);
        if (!s.sf.infeasible.empty() || s.outcome == SolveOutcome::Optimal) continue;
        SCOPED_TRACE(model::writeLp(m));
        const Explanation e = explain(*s.problem, s.outcome);
        ASSERT_NE(e.kind, Explanation::Kind::None) << e.note;
        const session::UserExplanation u = session::userExplanation(e, m, &s.sf);
        if (s.outcome == SolveOutcome::Unbounded) {
            checkRay(m, u);
            ++unbounded;
            continue;
        }
        checkCertificate(*s.problem, e.infeasibility);
        ASSERT_TRUE(u.subsetComputed) << u.subsetNote;
        EXPECT_FALSE(feasibleByGlpsol(part(m, u.subset, u.subsetBounds), dir));
        for (size_t k = 0; k < u.subset.size() + u.subsetBounds.size(); ++k) {
            auto rows = u.subset, bounds = u.subsetBounds;
            if (k < rows.size())
                rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(k));
            else
                bounds.erase(bounds.begin() + static_cast<std::ptrdiff_t>(k - rows.size()));
            EXPECT_TRUE(feasibleByGlpsol(part(m, rows, bounds), dir)) << k;
        }
        ++infeasible;
        withBounds += !u.subsetBounds.empty();
    }
    EXPECT_GE(infeasible, enough);
    EXPECT_GE(unbounded, enough);
    EXPECT_GT(withBounds, 1);
}

// The analyses on the sparse engine's final basis against the method's on random models both
// solve: the same outcome and exact verdict; at a unique nondegenerate optimum the same ranges
// (both bases are then the one optimal basis); every certificate of the engine's record adds
// up, its subset is infeasible by glpsol and feasible less any member, its ray keeps every row.
TEST(EngineAnalyses, AgreeWithTheMethodsOnRandomModels) {
    if (std::system("command -v glpsol >/dev/null 2>&1") != 0) GTEST_SKIP() << "no glpsol";
    TempDir dir;
    std::mt19937 rng(25);
    int optimal = 0, ranged = 0, infeasible = 0, unbounded = 0;
    // Each locale takes every other model, and half of the counts below.
    const auto want = static_cast<int>(casesOfThisLocale(30));
    auto near = [](Real a, Real b) { return std::fabs(a - b) <= 1e-7L * (1 + std::fabs(a)); };
    auto same = [&](Real a, Real b) { return a == b || near(a, b); }; // infinities too
    for (int round = 0; round < 600 && (ranged < want || infeasible < want || unbounded < want);
         ++round) {
        model::Model m =
            round % 2 ? freeModel(rng, round % 4 == 1) : randomModel(rng, 6, 6, true, true);
        if (round % 2) m.sense = round % 3 == 0 ? model::Sense::Maximize : model::Sense::Minimize;
        if (!caseOfThisLocale(round / 2)) continue;
        const ModelSolve s = solveModel(m);
        if (!s.sf.infeasible.empty()) continue;
        SCOPED_TRACE(model::writeLp(m));
        LpProblem unused;
        session::Session engine(unused);
        engine.setHeadless(true);
        engine.setLogFolder(dir.path());
        engine.setExactCheckAfterSolve(false);
        const engine::SparseAnswer a = engine.solveSparse(m);
        const SolveOutcome outcome =
            a.status == engine::SparseStatus::Optimal      ? SolveOutcome::Optimal
            : a.status == engine::SparseStatus::Infeasible ? SolveOutcome::Infeasible
                                                           : SolveOutcome::Unbounded;
        ASSERT_EQ(outcome, s.outcome) << a.failure;
        const Verification mine = verify(*s.problem, s.outcome, VerifyOptions::unlimited());
        const session::ExactCheck theirs = engine.runExactCheck(nullptr, false);
        EXPECT_EQ(verdictName(theirs.verification.verdict), verdictName(mine.verdict))
            << theirs.verification.reason;
        const session::UserExplanation u = engine.userExplanation();
        if (outcome == SolveOutcome::Unbounded) {
            ASSERT_EQ(u.kind, Explanation::Kind::Unbounded) << engine.explanation().note;
            checkRay(m, u);
            ++unbounded;
        } else if (outcome == SolveOutcome::Infeasible) {
            ASSERT_EQ(u.kind, Explanation::Kind::Infeasible) << engine.explanation().note;
            checkCertificate(engine.explainedProblem(), engine.explanation().infeasibility);
            ASSERT_TRUE(u.subsetComputed) << u.subsetNote;
            EXPECT_FALSE(feasibleByGlpsol(part(m, u.subset, u.subsetBounds), dir));
            for (size_t k = 0; k < u.subset.size() + u.subsetBounds.size(); ++k) {
                auto rows = u.subset, bounds = u.subsetBounds;
                if (k < rows.size())
                    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(k));
                else
                    bounds.erase(bounds.begin() + static_cast<std::ptrdiff_t>(k - rows.size()));
                EXPECT_TRUE(feasibleByGlpsol(part(m, rows, bounds), dir)) << k;
            }
            ++infeasible;
        } else {
            ++optimal;
            ASSERT_TRUE(engine.rangesAvailable());
            const Ranges method = userRanges(m, s.sf, *s.problem, s.user);
            if (method.degenerate || method.otherOptima) continue;
            const Ranges r = engine.ranges();
            EXPECT_FALSE(r.degenerate || r.otherOptima);
            ASSERT_EQ(r.columns.size(), method.columns.size());
            for (size_t j = 0; j < r.columns.size(); ++j) {
                const ColumnRange &x = r.columns[j], &y = method.columns[j];
                EXPECT_EQ(x.basic, y.basic) << x.name;
                EXPECT_TRUE(same(x.costLower, y.costLower) && same(x.costUpper, y.costUpper))
                    << x.name << ": " << double(x.costLower) << ".." << double(x.costUpper)
                    << " vs " << double(y.costLower) << ".." << double(y.costUpper);
                // (The limiting variables are not compared: where two reach their limit at the
                // same cost, the last bits of the two inverses pick one.)
            }
            ASSERT_EQ(r.rows.size(), method.rows.size());
            for (size_t i = 0; i < r.rows.size(); ++i) {
                const RowRange &x = r.rows[i], &y = method.rows[i];
                EXPECT_TRUE(same(x.rhsLower, y.rhsLower) && same(x.rhsUpper, y.rhsUpper))
                    << x.name << ": " << double(x.rhsLower) << ".." << double(x.rhsUpper) << " vs "
                    << double(y.rhsLower) << ".." << double(y.rhsUpper);
                EXPECT_TRUE(same(x.shadowPrice, y.shadowPrice)) << x.name;
                EXPECT_EQ(x.objectiveAtRhsLower.has_value(), y.objectiveAtRhsLower.has_value());
                if (x.objectiveAtRhsLower && y.objectiveAtRhsLower)
                    EXPECT_TRUE(near(*x.objectiveAtRhsLower, *y.objectiveAtRhsLower)) << x.name;
            }
            ++ranged;
        }
    }
    EXPECT_GE(optimal, want);
    EXPECT_GE(ranged, want);
    EXPECT_GE(infeasible, want);
    EXPECT_GE(unbounded, want);
}

// The exact check on the model itself (the road of a model too large for the record) against
// the record's on random models: the same verdict and, at an optimum, the same exact objective
// (the record's Z in the model's sense); an answer made wrong on purpose is refuted.
TEST(EngineAnalyses, ModelCheckAgreesWithTheRecordsAndRefutesWrongAnswers) {
    TempDir dir;
    std::mt19937 rng(2526);
    std::map<SolveOutcome, int> seen;
    int farkas = 0;
    // Each check forks QSopt_ex's process (slow under the sanitizers): few cases, and answers
    // made wrong for one case in three.
    const auto want = static_cast<int>(casesOfThisLocale(12));
    auto verdictOf = [](const model::Model& m, const ModelAnswer& a) {
        return verdictName(verifyModel(m, a, VerifyOptions::unlimited()).verification.verdict);
    };
    for (int round = 0; round < 600 && (seen[SolveOutcome::Optimal] < want ||
                                        seen[SolveOutcome::Infeasible] < want ||
                                        seen[SolveOutcome::Unbounded] < want / 2);
         ++round) {
        model::Model m =
            round % 2 ? freeModel(rng, round % 4 == 1) : randomModel(rng, 6, 6, true, true);
        if (round % 2) m.sense = round % 3 == 0 ? model::Sense::Maximize : model::Sense::Minimize;
        if (!caseOfThisLocale(round / 2) || !model::toStandardForm(m).infeasible.empty()) continue;
        SCOPED_TRACE(model::writeLp(m));
        LpProblem unused;
        session::Session engine(unused);
        engine.setHeadless(true);
        engine.setLogFolder(dir.path());
        engine.setExactCheckAfterSolve(false);
        const ModelAnswer a = session::modelAnswerOf(engine.solveSparse(m));
        if (seen[a.outcome] >= (a.outcome == SolveOutcome::Unbounded ? want / 2 : want)) continue;
        const session::ExactCheck record = engine.runExactCheck(nullptr, false);
        const ModelCheck mine = verifyModel(m, a, VerifyOptions::unlimited());
        ASSERT_EQ(verdictName(mine.verification.verdict), verdictName(record.verification.verdict))
            << mine.verification.reason << " / " << record.verification.reason;
        farkas += a.outcome == SolveOutcome::Infeasible && mine.exact.verified;
        // Every ray is found and checked (the point and the ray by QSopt_ex, checked here).
        if (a.outcome == SolveOutcome::Unbounded) EXPECT_TRUE(mine.exact.verified);
        if (a.outcome == SolveOutcome::Optimal) {
            const model::StandardForm& sf = engine.engineRecord()->standard;
            const mpq_class z = sf.sign * mpq_class(record.verification.objectiveExact) +
                                mpq_class(static_cast<double>(sf.offset));
            EXPECT_EQ(mpq_class(mine.verification.objectiveExact), z);
            EXPECT_TRUE(mine.exact.verified);
        }
        if (seen[a.outcome]++ % 3 != 0) continue;
        ModelAnswer wrong = a;
        if (a.outcome == SolveOutcome::Optimal) {
            wrong.objective += 1e-6L * (1 + std::fabs(a.objective));
            EXPECT_STREQ(verdictOf(m, wrong), "not_optimal");
            // A column put beyond one of its bounds.
            for (size_t j = 0; j < m.columns.size(); ++j) {
                const model::Column& c = m.columns[j];
                if (!std::isfinite(c.lower) && !std::isfinite(c.upper)) continue;
                wrong = a;
                wrong.columnValue[j] = std::isfinite(c.lower) ? c.lower - 1 : c.upper + 1;
                EXPECT_STREQ(verdictOf(m, wrong), "not_feasible") << c.name;
                break;
            }
            wrong = a;
            wrong.outcome = SolveOutcome::Infeasible;
            EXPECT_STREQ(verdictOf(m, wrong), "infeasible_not_confirmed");
        } else if (a.outcome == SolveOutcome::Infeasible) {
            wrong.outcome = SolveOutcome::Optimal;
            EXPECT_STREQ(verdictOf(m, wrong), "not_feasible");
        } else {
            wrong.outcome = SolveOutcome::Infeasible;
            EXPECT_STREQ(verdictOf(m, wrong), "infeasible_not_confirmed");
        }
    }
    EXPECT_GE(seen[SolveOutcome::Optimal], want);
    EXPECT_GE(seen[SolveOutcome::Infeasible], want);
    EXPECT_GE(seen[SolveOutcome::Unbounded], want / 2);
    // QSopt_ex's multipliers prove most infeasible models here, not its word alone.
    EXPECT_GE(farkas, seen[SolveOutcome::Infeasible] / 2);
}

} // namespace
