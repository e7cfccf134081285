// kvado-cli's choice of engine: an LP or MPS file goes to the sparse engine unless --engine
// method says otherwise, a data file to the method unless --engine sparse; both answer alike in
// the model's terms; a model beyond the method's limits is solved by the engine alone.

#include <gtest/gtest.h>

#include "CliRun.h"

namespace {

using namespace kvado::test;

const char* kBook = "max: 3x + 5y\nst\n x <= 4\n 2y <= 12\n 3x + 2y <= 18\nend\n";

std::string modelMember(const std::string& json) {
    const auto at = json.find("\"model\": ");
    return at == std::string::npos ? std::string() : json.substr(at);
}

TEST(CliEngine, DefaultsAndChoicesAnswerAlike) {
    TempDir dir;
    writeBytes(dir.file("book.lp"), kBook);
    writeBytes(dir.file("p.dat"), "0 0 2 2 1E-8\n1 1\n1 3\n-1 -2\n4 6\n");
    const struct {
        std::vector<std::string> args;
        const char* engine; // the JSON's "engine", or null for the method (which has none)
    } cases[] = {
        {{"solve", "book.lp", "--json"}, "sparse"},
        {{"solve", "book.lp", "--json", "--engine", "method"}, nullptr},
        {{"solve", "p.dat", "--json"}, nullptr},
        {{"solve", "p.dat", "--json", "--engine", "sparse"}, "sparse"},
    };
    std::string bookModel;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1] + (c.engine ? " sparse" : " method"));
        const CliRun run = runCli(c.args, dir.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(jsonField(run.out, "engine"),
                  c.engine ? std::optional<std::string>(c.engine) : std::nullopt);
        // The textbook's numbers are exact in both; the data file's plan differs by the
        // method's rounding in the last bits.
        if (c.args[1] == "book.lp") {
            if (bookModel.empty()) bookModel = modelMember(run.out);
            EXPECT_EQ(modelMember(run.out), bookModel);
        } else {
            const auto z = jsonNumber(modelMember(run.out), "objective");
            ASSERT_TRUE(z.has_value()) << run.out;
            EXPECT_NEAR(static_cast<double>(*z), -5, 1e-12);
        }
        const std::string log = readBytes(dir.file("Kvaq.log"));
        EXPECT_EQ(log.find("GLPK") != std::string::npos, c.engine != nullptr) << log;
    }
    EXPECT_NE(bookModel.find("\"objective\": 36"), std::string::npos) << bookModel;
    EXPECT_EQ(runCli({"solve", "book.lp", "--engine", "fast"}, dir.path()).exitCode, 1);
}

// The engine finds no answer: the method explains it, and its report replaces the engine's.
TEST(CliEngine, NoAnswerIsExplainedByTheMethod) {
    TempDir dir;
    writeBytes(dir.file("u.lp"), "min: -x\nst\nc: x - y <= 1\nend\n");
    const CliRun json = runCli({"solve", "u.lp", "--json"}, dir.path());
    EXPECT_EQ(json.exitCode, 3);
    EXPECT_NE(json.out.find("\"unboundedness\""), std::string::npos) << json.out;
    const CliRun text = runCli({"solve", "u.lp"}, dir.path());
    EXPECT_EQ(text.out.rfind("     РЕШЕНИЕ\n", 0), 0u) << text.out;
    const CliRun sparse = runCli({"solve", "u.lp", "--json", "--engine", "sparse"}, dir.path());
    EXPECT_EQ(sparse.exitCode, 3);
    EXPECT_EQ(jsonField(sparse.out, "status"), "unbounded");
}

// 8001 rows: more than the method takes. The engine answers; the method refuses with the size
// message; the analyses, which need the method, are said to be missing.
TEST(CliEngine, ModelBeyondTheMethodGoesToTheEngine) {
    TempDir dir;
    std::string lp = "min: x\nst\n";
    for (int i = 0; i <= 8000; ++i)
        lp += " r" + std::to_string(i) + ": x + y >= " + std::to_string(i % 7) + "\n";
    writeBytes(dir.file("big.lp"), lp + "end\n");
    const CliRun run = runCli({"solve", "big.lp", "--json", "--ranges"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(jsonField(run.out, "engine"), "sparse");
    EXPECT_NE(run.err.find("the method, which cannot take this model"), std::string::npos);
    const CliRun method = runCli({"solve", "big.lp", "--engine", "method"}, dir.path());
    EXPECT_EQ(method.exitCode, 1);
    EXPECT_NE(method.err.find("задача слишком велика"), std::string::npos) << method.err;
}

} // namespace
