// kvado-cli's choice of engine: an LP or MPS file goes to the sparse engine unless --engine
// method says otherwise, a data file to the method unless --engine sparse; both answer alike in
// the model's terms; a model beyond the method's limits is solved by the engine alone.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>

#include "CliRun.h"
#include "model/ModelFiles.h"
#include "session/EngineSolve.h"

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

// The analyses read the engine's basis and say what the method's say of the same model: the
// ranges, the exact check, the explanation of a model without an answer (and its report).
TEST(CliEngine, AnalysesReadTheEnginesBasis) {
    TempDir dir;
    writeBytes(dir.file("book.lp"), kBook);
    writeBytes(dir.file("none.lp"), "min: x + y\nst\nd: x + y >= 4\nb: x + y = 1\nend\n");
    writeBytes(dir.file("u.lp"), "min: -x\nst\nc: x - y <= 1\nend\n");
    auto tail = [](const std::string& json, const char* member) {
        const auto at = json.find(member);
        return at == std::string::npos ? std::string() : json.substr(at);
    };
    const struct {
        const char* file;
        int exitCode;
        const char* member; // from here on both engines print the same
    } cases[] = {
        {"book.lp", 0, "\"ranges\""},
        {"none.lp", 2, "\"infeasibility\""},
        {"u.lp", 3, "\"unboundedness\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<std::string> args = {"solve", c.file, "--json", "--ranges", "--verify"};
        const CliRun sparse = runCli(args, dir.path());
        std::vector<std::string> withMethod = args;
        withMethod.insert(withMethod.end(), {"--engine", "method"});
        const CliRun method = runCli(withMethod, dir.path());
        EXPECT_EQ(sparse.exitCode, c.exitCode) << sparse.err;
        EXPECT_EQ(jsonField(sparse.out, "engine"), "sparse");
        EXPECT_FALSE(tail(sparse.out, c.member).empty()) << sparse.out;
        EXPECT_EQ(tail(sparse.out, c.member), tail(method.out, c.member));
    }
    const CliRun text = runCli({"solve", "none.lp"}, dir.path());
    EXPECT_EQ(text.out.rfind(kvado::session::kSparseEngineNote, 0), 0u) << text.out;
    EXPECT_NE(text.out.find("\nПочему нет решения\n"), std::string::npos) << text.out;
}

// 8001 rows: more than the method takes. The engine answers, and GLPK's ranging of its basis
// gives the ranges; the method refuses with the size message.
TEST(CliEngine, ModelBeyondTheMethodGoesToTheEngine) {
    TempDir dir;
    std::string lp = "min: x\nst\n";
    for (int i = 0; i <= 8000; ++i)
        lp += " r" + std::to_string(i) + ": x + y >= " + std::to_string(i % 7) + "\n";
    writeBytes(dir.file("big.lp"), lp + "end\n");
    const CliRun run = runCli({"solve", "big.lp", "--json", "--ranges"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(jsonField(run.out, "engine"), "sparse");
    EXPECT_EQ(run.err.find("no ranges"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("\"ranges\": {"), std::string::npos);
    const CliRun method = runCli({"solve", "big.lp", "--engine", "method"}, dir.path());
    EXPECT_EQ(method.exitCode, 1);
    EXPECT_NE(method.err.find("задача слишком велика"), std::string::npos) << method.err;
}

// A model whose standard form is beyond the record's rows (its 1601 upper bounds become rows):
// --verify checks the engine's answer on the model itself, with decimal costs held exactly.
TEST(CliEngine, VerifyOfALargeModelChecksItOnTheModel) {
    using namespace kvado::model;
    using kvado::Real;
    TempDir dir;
    Model m;
    m.name = "CHAIN";
    const int rows = 1600;
    for (int j = 0; j <= rows; ++j)
        m.columns.push_back({"x" + std::to_string(j), 1 + (j % 7) / Real(10), 0, 10});
    for (int i = 0; i < rows; ++i) {
        m.rows.push_back(greaterRow("r" + std::to_string(i), 3 + i % 5));
        m.entries.push_back({i, i, 1});
        m.entries.push_back({i, i + 1, 1});
    }
    ASSERT_GT(kvado::session::standardFormRows(m), 3000);
    writeBytes(dir.file("chain.mps"), writeMps(m));
    const CliRun run = runCli({"solve", "chain.mps", "--json", "--verify"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto verification = run.out.substr(run.out.find("\"verification\""));
    EXPECT_EQ(jsonField(verification, "verdict"), "optimal") << verification;
    // The exact optimum, a fraction of tenths, agrees with the engine's objective.
    const auto exact = jsonField(verification, "objective_exact");
    ASSERT_TRUE(exact && exact->find('/') != std::string::npos) << verification;
    const Real z = std::stold(exact->substr(0, exact->find('/'))) /
                   std::stold(exact->substr(exact->find('/') + 1));
    EXPECT_NEAR(static_cast<double>(z), static_cast<double>(*jsonNumber(run.out, "objective")),
                1e-6);
}

// The same chain with a cap on the sum it cannot meet: beyond the record, the explanation comes
// from the exact check on the model, and its multipliers are a Farkas certificate here too:
// with the columns' bounds, y·A·x reaches at most less than the rows demand of it.
TEST(CliEngine, LargeInfeasibleModelIsExplainedOnTheModel) {
    using namespace kvado::model;
    using kvado::Real;
    TempDir dir;
    Model m;
    const int rows = 1600;
    for (int j = 0; j <= rows; ++j)
        m.columns.push_back({"x" + std::to_string(j), 1, 0, 10});
    for (int i = 0; i < rows; ++i) {
        m.rows.push_back(greaterRow("r" + std::to_string(i), 3 + i % 5));
        m.entries.push_back({i, i, 1});
        m.entries.push_back({i, i + 1, 1});
    }
    m.rows.push_back(lessRow("cap", 1000));
    for (int j = 0; j <= rows; ++j)
        m.entries.push_back({rows, j, 1});
    writeBytes(dir.file("capped.mps"), writeMps(m));
    const CliRun run = runCli({"solve", "capped.mps", "--json"}, dir.path());
    ASSERT_EQ(run.exitCode, 2) << run.err;
    const auto member = run.out.find("\"infeasibility\"");
    ASSERT_NE(member, std::string::npos) << run.out.substr(0, 300);
    std::map<std::string, Real> y;
    const std::regex term("\\{\"name\": \"([^\"]+)\", \"multiplier\": ([-0-9.e+]+)\\}");
    const std::string certificate = run.out.substr(member, run.out.find(']', member) - member);
    for (std::sregex_iterator t(certificate.begin(), certificate.end(), term), end; t != end; ++t)
        y[(*t)[1]] = std::stold((*t)[2]);
    ASSERT_FALSE(y.empty());
    Real least = 0; // what y·A·x must reach by the rows
    std::vector<Real> g(m.columns.size());
    for (size_t i = 0; i < m.rows.size(); ++i) {
        const Real yi = y.count(m.rows[i].name) ? y[m.rows[i].name] : 0;
        if (yi == 0) continue;
        const Real bound = yi > 0 ? m.rows[i].lower : m.rows[i].upper;
        ASSERT_TRUE(std::isfinite(bound)) << m.rows[i].name;
        least += yi * bound;
        for (const Entry& e : m.entries)
            if (e.row == static_cast<int32_t>(i)) g[static_cast<size_t>(e.column)] += yi * e.value;
    }
    Real most = 0; // what it can reach within the columns' bounds
    for (size_t j = 0; j < g.size(); ++j)
        most += g[j] * (g[j] > 0 ? m.columns[j].upper : m.columns[j].lower);
    EXPECT_LT(most, least - 1e-6);
}

// A thin transport model (10 plants, 3000 customers with two plants each) in MPS: its standard
// form has 3010 rows, beyond the record's dense inverse, so GLPK ranges the engine's basis;
// every customer's demand row is binding with its price and a range around its demand.
TEST(CliEngine, LargeMpsModelIsRanged) {
    TempDir dir;
    const int plants = 10, customers = 3000;
    std::string rows = "NAME THIN\nROWS\n N COST\n", columns = "COLUMNS\n", rhs = "RHS\n";
    for (int p = 0; p < plants; ++p) {
        rows += " L P" + std::to_string(p) + "\n";
        rhs += " RHS P" + std::to_string(p) + " 2000\n";
    }
    for (int c = 0; c < customers; ++c) {
        const std::string d = "D" + std::to_string(c);
        rows += " G " + d + "\n";
        rhs += " RHS " + d + " " + std::to_string(1 + c % 9) + "\n";
        for (int k = 0; k < 2; ++k) {
            const int p = (c * 7 + k * 3) % plants;
            const std::string x = "X" + std::to_string(p) + "_" + std::to_string(c);
            columns += " " + x + " COST " + std::to_string(10 + (c * 31 + p * 17) % 89) + "." +
                       std::to_string(1 + k) + " P" + std::to_string(p) + " 1\n";
            columns += " " + x + " " + d + " 1\n";
        }
    }
    writeBytes(dir.file("thin.mps"), rows + columns + rhs + "ENDATA\n");
    const CliRun run = runCli({"solve", "thin.mps", "--json", "--ranges"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("no ranges"), std::string::npos) << run.err;
    const auto at = run.out.find("\"ranges\": {");
    ASSERT_NE(at, std::string::npos) << run.out.substr(0, 300);
    const auto demand = run.out.find("{\"name\": \"D0\"", at);
    ASSERT_NE(demand, std::string::npos);
    const std::string d0 = run.out.substr(demand, run.out.find('}', demand) - demand);
    EXPECT_NE(d0.find("\"rhs\": 1,"), std::string::npos) << d0;
    EXPECT_EQ(d0.find("\"shadow_price\": 0,"), std::string::npos) << d0;
    EXPECT_NE(d0.find("\"limiting_at_rhs_lower\": \"X"), std::string::npos) << d0;
}

} // namespace
