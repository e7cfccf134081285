// A model laid into the input from an LP file stays linked to it until an edit: a solve then
// answers in the model's terms, as glpsol answers the same file, and the report says so in its
// section «Решение исходной задачи»; after an edit the report is the standard form's alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "../model/ModelTestSupport.h"
#include "../report/ReportFixture.h"
#include "base/FileIo.h"
#include "model/ModelFiles.h"
#include "session/Session.h"

using namespace kvado;
using namespace kvado::session;
using namespace kvado_test;

namespace {

// glpsol's answer from its plain solution file (-w): "s bas m n p d obj", then a line
// "i k st prim dual" per row and "j k st prim dual" per column.
struct Glpsol {
    bool optimal = false;
    Real objective = 0;
    std::vector<char> rowStatus, columnStatus;
    std::vector<Real> rowValue, rowDual, columnValue, columnDual;
};

Glpsol glpsol(const std::string& lpFile, const std::string& dir) {
    const std::string sol = dir + "/glpsol.sol";
    const std::string cmd = "glpsol --lp " + lpFile + " --nopresol -w " + sol + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    Glpsol g;
    std::ifstream in(sol);
    for (std::string line; std::getline(in, line);) {
        std::istringstream s(line);
        std::string tag, bas;
        char st = 0, p = 0, d = 0;
        int k = 0;
        long double a = 0, b = 0;
        s >> tag;
        if (tag == "s") {
            s >> bas >> k >> k >> p >> d >> a;
            g.optimal = p == 'f' && d == 'f';
            g.objective = a;
        } else if (tag == "i" || tag == "j") {
            s >> k >> st >> a >> b;
            (tag == "i" ? g.rowStatus : g.columnStatus).push_back(st);
            (tag == "i" ? g.rowValue : g.columnValue).push_back(a);
            (tag == "i" ? g.rowDual : g.columnDual).push_back(b);
        }
    }
    return g;
}

// Plan and marginals are unique: no basic variable at a bound, no nonbasic one at a zero
// marginal.
bool nondegenerate(const model::Model& m, const Glpsol& g) {
    auto inside = [](Real v, Real lo, Real up) { return v > lo + 1e-7L && v < up - 1e-7L; };
    for (size_t r = 0; r < m.rows.size(); ++r)
        if (g.rowStatus[r] == 'b' ? !inside(g.rowValue[r], m.rows[r].lower, m.rows[r].upper)
                                  : std::fabs(g.rowDual[r]) < 1e-7L)
            return false;
    for (size_t j = 0; j < m.columns.size(); ++j)
        if (g.columnStatus[j] == 'b'
                ? !inside(g.columnValue[j], m.columns[j].lower, m.columns[j].upper)
                : std::fabs(g.columnDual[j]) < 1e-7L)
            return false;
    return true;
}

bool near(Real a, Real b, Real tol) {
    return std::fabs(a - b) <= tol * std::max<Real>(1, std::fabs(b));
}
bool same(const std::vector<Real>& ours, const std::vector<Real>& theirs) {
    return ours.size() == theirs.size() &&
           std::equal(ours.begin(), ours.end(), theirs.begin(),
                      [](Real a, Real b) { return near(a, b, 1e-7L); });
}

struct Linked : ::testing::Test {
    Linked() {
        session.setDecimalSeparator(',');
        session.setDateTimeSource([] { return std::string(kTestDateTime); });
        session.setLogFolder(dir.path().string());
        session.setExactCheckAfterSolve(false);
    }
    // Opens `text` as an LP file and solves it as the window does, from the grid.
    SolveResult openAndSolve(const std::string& text) {
        writeFileBytes(dir.file("m.lp"), text);
        const ModelOpen laid = session.openModelFile(dir.file("m.lp"), model::FileFormat::Lp);
        EXPECT_TRUE(laid.opened) << laid.error;
        if (!laid.opened) return {};
        edits = *laid.open.edits;
        return session.solveInput(edits);
    }
    // The report from its first line of the section on; empty when it has none.
    Lines section() {
        const Lines all = session.report().lines();
        const auto at = std::find(all.begin(), all.end(), "   Решение исходной задачи");
        return at == all.end() ? Lines() : Lines(at, all.end());
    }

    ScratchDir dir;
    LpProblem problem;
    Session session{problem};
    EditTexts edits;
};

// Random models with every kind of bound and row, either sense, written as LP text and opened
// as a file: the answer in the model's terms is glpsol's answer to that file.
TEST_F(Linked, AnswerInTheModelsTermsIsGlpsols) {
    if (std::system("command -v glpsol >/dev/null 2>&1") != 0) GTEST_SKIP() << "no glpsol";
    std::mt19937 rng(20261208);
    int compared = 0, unique = 0;
    for (int round = 0; round < 40; ++round) {
        // glpsol's LP reader takes neither ranged rows nor an objective constant.
        const model::Model m = kvado::test::randomModel(rng, 5, 5, false, false);
        const std::string text = model::writeLp(m);
        const SolveResult r = openAndSolve(text);
        const Glpsol g = glpsol(dir.file("m.lp"), dir.path().string());
        SCOPED_TRACE(text);
        if (!g.optimal) {
            EXPECT_NE(r.outcome, SolveOutcome::Optimal);
            EXPECT_FALSE(session.userSolution());
            EXPECT_EQ(section(), Lines());
            continue;
        }
        ASSERT_EQ(r.outcome, SolveOutcome::Optimal);
        ASSERT_TRUE(session.userSolution());
        const model::UserSolution& u = *session.userSolution();
        ++compared;
        EXPECT_TRUE(near(u.objective, g.objective, 1e-9L)) << u.objective << " " << g.objective;
        // The report's section is the session's lines, after the method's report.
        EXPECT_EQ(section(), session.userSolutionLines());
        if (!nondegenerate(m, g)) continue;
        ++unique;
        EXPECT_TRUE(same(u.columnValue, g.columnValue));
        EXPECT_TRUE(same(u.columnMarginal, g.columnDual));
        EXPECT_TRUE(same(u.rowActivity, g.rowValue));
        EXPECT_TRUE(same(u.rowMarginal, g.rowDual));
    }
    // Enough of them reach an optimum, and some a unique one, for the comparison to mean
    // something.
    EXPECT_GE(compared, 15);
    EXPECT_GE(unique, 3);
}

// The link ends with any edit (and a new table): the next report is the standard form's
// alone, byte for byte the report of the same problem opened without a model; the linked one
// was that with the section after a blank line.
TEST_F(Linked, EditEndsTheLink) {
    const std::string text = "max: 3x + 5y\nst\nc1: x <= 4\nc2: 2y <= 12\nc3: 3x + 2y <= 18\nEnd\n";
    ASSERT_EQ(openAndSolve(text).outcome, SolveOutcome::Optimal);
    Lines linkedReport = session.report().lines();
    const Lines linkedSection = section();
    ASSERT_FALSE(linkedSection.empty());
    session.endLink();
    EXPECT_FALSE(session.linked());
    ASSERT_EQ(session.solveInput(edits).outcome, SolveOutcome::Optimal);
    EXPECT_FALSE(session.userSolution());

    LpProblem other;
    Session plain(other);
    plain.setDateTimeSource([] { return std::string(kTestDateTime); });
    plain.setLogFolder(dir.path().string());
    plain.setExactCheckAfterSolve(false);
    plain.openModel(model::toStandardForm(model::readLp(text, "m.lp")), model::kModelEps, "m.lp");
    ASSERT_EQ(plain.solveInput(edits).outcome, SolveOutcome::Optimal);
    EXPECT_EQ(session.report().lines(), plain.report().lines());
    Lines expected = plain.report().lines();
    expected.push_back("");
    expected.insert(expected.end(), linkedSection.begin(), linkedSection.end());
    EXPECT_EQ(linkedReport, expected);

    ASSERT_EQ(openAndSolve(text).outcome, SolveOutcome::Optimal);
    session.SetupGrid(edits, true);
    EXPECT_FALSE(session.linked());
}

} // namespace
