// kvado-cli on models with integer marks: the integer search by default (either engine), the
// relaxation with --relax, the member "mip", the outcome said plainly and its exit code, and a
// search stopped with a plan; a data file written from such a model says the marks are lost.

#include <gtest/gtest.h>

#include "CliRun.h"
#include "text/Encoding.h"

namespace {

using namespace kvado::test;

// max 5x + 4y, 6x + 4y <= 24, x + 2y <= 6: relaxation 21 at (3, 1.5), integer optimum 20.
const char* kTextbook =
    "max: 5x + 4y\nst\n a: 6x + 4y <= 24\n b: x + 2y <= 6\nGenerals\n x y\nend\n";

TEST(CliInteger, OutcomesEnginesAndRelaxation) {
    TempDir dir;
    writeBytes(dir.file("t.lp"), kTextbook);
    writeBytes(dir.file("none.lp"), "max: x\nst\n a: 2x = 1\nGenerals\n x\nend\n");
    writeBytes(dir.file("unb.lp"), "max: x + y\nst\n a: x - y <= 1\nGenerals\n x\nend\n");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* status; // top-level and "mip"'s
        const char* objective;
        const char* engine; // "mip"'s, or null without the member
        const char* stderrText;
    } cases[] = {
        {{"t.lp"}, 0, "optimal", "20", "own", ""},
        {{"t.lp", "--mip-engine", "glpk"}, 0, "optimal", "20", "glpk", ""},
        {{"t.lp", "--relax"}, 0, "optimal", "21", nullptr, ""},
        {{"none.lp"}, 2, "infeasible", "null", "own", "no integer solution"},
        {{"none.lp", "--mip-engine", "glpk"}, 2, "infeasible", "null", "glpk", "no integer"},
        {{"unb.lp"}, 3, "unbounded", "null", "own", "relaxation is unbounded"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"solve"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back("--json");
        SCOPED_TRACE(args[1] + " " + (args.size() > 3 ? args[2] : ""));
        const CliRun run = runCli(args, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(jsonField(run.out, "status"), c.status) << run.out;
        EXPECT_EQ(jsonField(run.out, "objective"), c.objective);
        if (c.engine) {
            const std::string mip = std::string("\"mip\": {\"status\": \"") + c.status + "\"";
            EXPECT_NE(run.out.find(mip), std::string::npos) << run.out;
            EXPECT_NE(run.out.find(std::string("\"engine\": \"") + c.engine + "\"}"),
                      std::string::npos);
        } else {
            EXPECT_EQ(run.out.find("\"mip\""), std::string::npos);
        }
        EXPECT_NE(run.err.find(c.stderrText), std::string::npos) << run.err;
    }
    // The text says the outcome and the report's sections, the trace log the search.
    const CliRun text = runCli({"solve", "t.lp"}, dir.path());
    for (const char* line :
         {"Найдено оптимальное целочисленное решение\n", "Целевая функция (max): 20\n",
          "Значение релаксации (без условий целочисленности): 21\n",
          "Граница поиска: 20; разрыв: 0 %\n", "x = 4  (целая)\n",
          "Проверено точно: все ограничения и границы выполнены, "
          "целочисленные неизвестные целые\n",
          "Точное значение целевой функции: 20/1 = 20\n"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
    const std::string log = kvado::text::cp1251ToUtf8(readBytes(dir.file("Kvaq.log")));
    EXPECT_NE(log.find("Целочисленная задача решена собственным методом ветвей и границ"),
              std::string::npos)
        << log;
    // A data file keeps no marks: said on stderr, the relaxation written.
    const CliRun convert = runCli({"convert", "t.lp", "t.dat"}, dir.path());
    EXPECT_EQ(convert.exitCode, 0);
    EXPECT_NE(convert.err.find("keeps no integer marks"), std::string::npos) << convert.err;
}

// Stopped by the time limit with a plan: status "feasible", exit 4, the gap said.
TEST(CliInteger, TimeLimitKeepsThePlan) {
    TempDir dir;
    // Even weights, odd capacity: no plan reaches the relaxation's 101, and a plain search
    // takes very long to prove it.
    std::string lp = "max: ";
    std::string row = " cap: ";
    std::string names;
    for (int j = 0; j < 40; ++j) {
        const std::string w = std::to_string(2 * (j % 7) + 12);
        const std::string x = " + " + w + " x" + std::to_string(j);
        lp += x;
        row += x;
        names += " x" + std::to_string(j);
    }
    lp += "\nst\n" + row + " <= 101\nBinaries\n" + names + "\nend\n";
    writeBytes(dir.file("k.lp"), lp);
    const CliRun run = runCli(
        {"solve", "k.lp", "--json", "--time-limit", "0.5", "--mip-engine", "own"}, dir.path());
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(jsonField(run.out, "status"), "feasible") << run.out;
    EXPECT_NE(run.err.find("stopped with an integer solution (gap"), std::string::npos) << run.err;
}

} // namespace
