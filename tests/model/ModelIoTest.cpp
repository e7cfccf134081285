// Models from and to files of the three formats, and the JSON of the answer in the user's terms.

#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "model/ModelFiles.h"
#include "model/ModelIo.h"

namespace {

using namespace kvado;
using namespace kvado::model;
using namespace kvado::test;

TEST(ModelIo, FormatsByExtensionAndName) {
    EXPECT_EQ(formatOfPath("/a.b/p.LP"), FileFormat::Lp);
    EXPECT_EQ(formatOfPath("p.mps"), FileFormat::Mps);
    EXPECT_EQ(formatOfPath("p.dat"), FileFormat::Data);
    EXPECT_EQ(formatOfPath("/a.lp/p"), std::nullopt);
    EXPECT_EQ(formatNamed("mps"), FileFormat::Mps);
    EXPECT_EQ(formatNamed("txt"), std::nullopt);
}

// The textbook problem as typed, solved, and its answer as kvado-cli prints it.
TEST(ModelIo, TextbookProblemAnswersInTheUsersTerms) {
    TempDir dir;
    writeBytes(dir.file("book.lp"), "max: 3x + 5y\nst\n x <= 4\n 2y <= 12\n 3x + 2y <= 18\nend\n");
    Real eps = 0;
    const Model m = readModelFile(dir.file("book.lp"), FileFormat::Lp, nullptr, &eps);
    EXPECT_EQ(eps, kModelEps);
    const ModelSolve s = solveModel(m, eps);
    ASSERT_EQ(s.outcome, SolveOutcome::Optimal);
    text::JsonWriter w;
    userTermsJson(w, m, s.user);
    EXPECT_EQ(w.text(),
              "{\"sense\": \"max\", \"objective\": 36, \"columns\": [{\"name\": \"x\", \"value\": "
              "2, \"marginal\": 0}, {\"name\": \"y\", \"value\": 6, \"marginal\": 0}], \"rows\": "
              "[{\"name\": \"R1\", \"activity\": 2, \"marginal\": 0}, {\"name\": \"R2\", "
              "\"activity\": 12, \"marginal\": 1.5}, {\"name\": \"R3\", \"activity\": 18, "
              "\"marginal\": 1}]}");
}

// LP -> data file (the standard form with its names) -> model: the same optimum.
TEST(ModelIo, ConvertedToADataFileSolvesTheSame) {
    TempDir dir;
    const Model m = readLp("Maximize\n profit: 2a - b + 4\nSubject To\n c1: a + b <= 5\n"
                           " c2: -3 <= a - b <= 2\nBounds\n b free\nEnd\n",
                           "m.lp");
    const std::string summary = writeModelFile(dir.file("m.dat"), m, FileFormat::Data);
    EXPECT_EQ(summary, summaryText(toStandardForm(m).summary));
    const Model d = readModelFile(dir.file("m.dat"), FileFormat::Data);
    EXPECT_EQ(d.objectiveName, "profit");
    EXPECT_EQ(d.rows[1].name, "-c2:lo");
    EXPECT_EQ(d.columns[1].name, "b+");
    const ModelSolve a = solveModel(m), b = solveModel(d);
    ASSERT_EQ(a.outcome, SolveOutcome::Optimal);
    ASSERT_EQ(b.outcome, SolveOutcome::Optimal);
    // The data file minimises the negated profit without the constant.
    EXPECT_EQ(a.user.objective, -b.user.objective + 4);
}

} // namespace
