// kvado-cli on problems without an answer: the JSON member that says why, in the names of the
// file (a data file's name files or X[j] and the row number, an LP file's rows, columns and
// bounds), and the report's section in the text output.

#include <gtest/gtest.h>

#include "CliRun.h"

namespace {

using namespace kvado::test;

struct Case {
    const char* what;
    const char* file;
    std::string text;
    std::string ogran; // empty: no name file
    int exitCode;
    std::string member; // the JSON text from the member on
    std::string sentence;
};

TEST(CliExplain, JsonAndTextSayWhy) {
    const Case cases[] = {
        {"a data file with names: \"=\" against \">=\"", "p.dat",
         "1 1 1 2 1E-8\n1 1\n1 1\n1 0\n1 1\n4 1 10\n", "Спрос\nБаланс\nПредел\n", 2,
         "\"infeasibility\": {\"certificate\": [{\"name\": \"Спрос\", \"multiplier\": 1}, "
         "{\"name\": \"Баланс\", \"multiplier\": -1}], \"iis\": [\"Спрос\", \"Баланс\"], "
         "\"iis_bounds\": []}}\n",
         "Сложив ограничения «Спрос» ×1 и «Баланс» ×(-1), получаем 0 ≥ 3: ограничения "
         "несовместны"},
        {"an LP file: a ranged row, negated, and an upper bound", "b.lp",
         "Minimize\n obj: x + y\nSubject To\n spare: x - y >= 1\n need: -8 <= -x - y <= -6\n"
         "Bounds\n x <= 3\n y <= 2\nEnd\n",
         "", 2,
         "\"infeasibility\": {\"certificate\": [{\"name\": \"spare\", \"multiplier\": 1}, "
         "{\"name\": \"need\", \"multiplier\": -1}, {\"name\": \"x<=3\", \"multiplier\": -2}], "
         "\"iis\": [\"spare\", \"need\"], \"iis_bounds\": [\"x\"]}}\n",
         "Сложив ограничения «spare» ×1, «-need:up» ×1 и «x<=3» ×(-2), получаем 0 ≥ 1: "
         "ограничения несовместны"},
        {"an LP file, maximised: the user's objective grows", "m.lp",
         "Maximize\n obj: 3 x + 2 y\nSubject To\n c1: x - y <= 2\n c2: x + y >= 1\nEnd\n", "", 3,
         "\"unboundedness\": {\"ray\": [{\"name\": \"x\", \"rate\": 1}, {\"name\": \"y\", "
         "\"rate\": 1}], \"objective_rate\": 5}}\n",
         "«x» и «y» могут расти неограниченно: при увеличении «y» на 1 Z уменьшается на 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        writeBytes(dir.file(c.file), c.text);
        if (!c.ogran.empty()) writeBytes(dir.file("p.ogran"), c.ogran);
        // The method's explanation (the engine's, of LP files by default, is compared with it
        // in EngineCliTest: a model may have more than one infeasible subset).
        const CliRun json = runCli({"solve", c.file, "--json", "--engine", "method"}, dir.path());
        EXPECT_EQ(json.exitCode, c.exitCode) << json.err;
        const auto at = json.out.find(c.member.substr(0, 16));
        ASSERT_NE(at, std::string::npos) << json.out;
        EXPECT_EQ(json.out.substr(at), c.member);
        const CliRun text = runCli({"solve", c.file, "--engine", "method"}, dir.path());
        EXPECT_NE(text.out.find("\nПочему нет решения\n" + c.sentence + "\n"), std::string::npos)
            << text.out;
    }
}

} // namespace
