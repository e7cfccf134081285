// A model laid into the input from an LP file stays linked to it until an edit: a solve then
// answers in the model's terms, as glpsol answers the same file, and the report says so in its
// section «Решение исходной задачи»; after an edit the report is the standard form's alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "../model/GlpsolRun.h"
#include "../model/ModelTestSupport.h"
#include "../report/ReportFixture.h"
#include "base/FileIo.h"
#include "model/ModelFiles.h"
#include "session/Session.h"

using namespace kvado;
using namespace kvado::session;
using namespace kvado_test;

namespace {

using kvado::test::GlpAnswer;
using kvado::test::near;

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
        const GlpAnswer g = kvado::test::runGlpsol(dir.file("m.lp"), "--lp", false, dir.path());
        SCOPED_TRACE(text);
        if (g.primal != 'f' || g.dual != 'f') {
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
        if (!kvado::test::nondegenerate(m, g)) continue;
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

// The ranges follow the link: the maximisation in its own terms (the profit per x may lie in
// [0, 7.5]), after an edit the standard form's minimum of -3x - 5y (a cost in [-7.5, 0]).
TEST_F(Linked, RangesInTheModelsTermsWhileLinked) {
    ASSERT_EQ(openAndSolve("max: 3x + 5y\nst\nc1: x <= 4\nc2: 2y <= 12\nc3: 3x + 2y <= 18\n"
                           "End\n")
                  .outcome,
              SolveOutcome::Optimal);
    const analysis::Ranges linked = session.ranges();
    ASSERT_EQ(linked.columns.size(), 2u);
    EXPECT_EQ(linked.columns[0].name, "x");
    EXPECT_EQ(linked.rows[2].name, "c3");
    EXPECT_EQ(linked.objective, 36);
    EXPECT_EQ(linked.columns[0].costLower, 0);
    EXPECT_EQ(linked.columns[0].costUpper, 7.5L);
    EXPECT_EQ(linked.rows[2].shadowPrice, 1);

    session.endLink();
    ASSERT_EQ(session.solveInput(edits).outcome, SolveOutcome::Optimal);
    const analysis::Ranges standard = session.ranges();
    EXPECT_EQ(standard.objective, -36);
    EXPECT_EQ(standard.columns[0].costLower, -7.5L);
    EXPECT_EQ(standard.columns[0].costUpper, 0);
}

} // namespace

// Every opened problem is linked: a data file as its own model, named by its name files. Its
// report stays the method's alone (no section, nothing for the results window's button), but
// the session answers in the model's terms for whoever asks (kvado-cli's "model" member).
TEST_F(Linked, DataFileIsItsOwnModel) {
    writeFileBytes(dir.file("p.dat"), "0 0 1 2 1E-8\n1 1\n-1 -2\n4\n");
    writeFileBytes(dir.file("p.ogran"), "запас\nприбыль\n");
    writeFileBytes(dir.file("p.neizv"), "a\nb\n");
    const OpenResult opened = session.openDataFile(dir.file("p.dat"));
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    EXPECT_TRUE(session.linked());
    EXPECT_FALSE(session.linkedTransformed());
    ASSERT_EQ(session.solveInput(*opened.edits).outcome, SolveOutcome::Optimal);
    EXPECT_EQ(section(), Lines());
    EXPECT_EQ(session.userSolutionLines(), Lines());
    ASSERT_TRUE(session.userSolution());
    ASSERT_NE(session.userModel(), nullptr);
    EXPECT_EQ(session.userModel()->rows[0].name, "запас");
    EXPECT_EQ(session.userModel()->columns[1].name, "b");
    EXPECT_EQ(session.userSolution()->objective, -8);
    EXPECT_EQ(session.userSolution()->columnValue, (std::vector<Real>{0, 4}));
    session.endLink();
    EXPECT_FALSE(session.userSolution());
}

// Why there is no answer, in the model's terms: an upper bound the standard form makes a row
// of its own is told as the column's bound, and a row that no plan can meet before any solve
// (a row of fixed columns) is told the same way by the open.
TEST_F(Linked, ExplanationInTheModelsTerms) {
    ASSERT_EQ(
        openAndSolve("min: x + y\nst\nneed: x + y >= 5\nbounds\nx <= 2\ny <= 2\nEnd\n").outcome,
        SolveOutcome::Infeasible);
    const UserExplanation why = session.userExplanation();
    EXPECT_EQ(why.kind, analysis::Explanation::Kind::Infeasible);
    ASSERT_TRUE(why.subsetComputed);
    EXPECT_EQ(why.subset, (std::vector<std::string>{"need"}));
    EXPECT_EQ(why.subsetBounds, (std::vector<std::string>{"x", "y"}));

    writeFileBytes(dir.file("c.lp"), "min: x\nst\nfix: x >= 3\nbounds\nx = 1\nEnd\n");
    const ModelOpen laid = session.openModelFile(dir.file("c.lp"), model::FileFormat::Lp);
    ASSERT_FALSE(laid.opened);
    EXPECT_EQ(laid.conflict.kind, analysis::Explanation::Kind::Infeasible);
    EXPECT_EQ(laid.conflict.subset, (std::vector<std::string>{"fix"}));
    EXPECT_EQ(laid.conflict.subsetBounds, (std::vector<std::string>{"x"}));
}
