// Inputs at the edges, through the real kvado-cli: every row must end, with its exit code and a
// message that names its place, and whatever JSON it prints must be valid JSON.
#include <gtest/gtest.h>

#include <sstream>
#include <string_view>

#include "CliRun.h"
#include "text/Encoding.h"

using namespace kvado::test;

namespace {

// Whether kvado-cli's JSON would pass a JSON reader: valid UTF-8, no raw control character in
// a string, and outside strings no word but null, true and false (no INF, no NAN).
bool validJson(std::string_view s) {
    if (!kvado::text::isValidUtf8(s)) return false;
    for (size_t k = 0; k < s.size(); ++k) {
        if (s[k] == '"') {
            for (++k; k < s.size() && s[k] != '"'; k += s[k] == '\\' ? 2 : 1)
                if (static_cast<unsigned char>(s[k]) < 0x20) return false;
        } else if (std::isalpha(static_cast<unsigned char>(s[k])) && s[k] != 'e') {
            const size_t end = s.find_first_of(",]} \n", k);
            const std::string_view word = s.substr(k, end - k);
            if (word != "null" && word != "true" && word != "false") return false;
            k = end - 1;
        }
    }
    return true;
}

struct Hostile {
    const char* name;
    const char* file; // written into the run's folder, with `bytes`; nullptr: none
    std::string bytes;
    const char* command; // its words; "@" is the file's path
    int exitCode;
    std::string inErr;       // the message's place; "" when standard error must stay empty
    std::string inJson = {}; // a text the JSON must hold; "" for none
    std::vector<std::pair<const char*, std::string>> sideFiles = {};
};

void PrintTo(const Hostile& c, std::ostream* os) {
    *os << c.name;
}

class HostileInput : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostileInput, EndsWithItsCodeAndNamesThePlace) {
    const Hostile& c = GetParam();
    TempDir dir;
    if (c.file) writeBytes(dir.file(c.file), c.bytes);
    for (const auto& [name, bytes] : c.sideFiles)
        writeBytes(dir.file(name), bytes);
    std::vector<std::string> args;
    std::istringstream words(c.command);
    for (std::string w; words >> w;)
        args.push_back(w == "@" ? dir.file(c.file) : w);
    const CliRun run = runCli(args, dir.path());
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    if (c.inErr.empty())
        EXPECT_EQ(run.err, "");
    else
        EXPECT_NE(run.err.find(c.inErr), std::string::npos) << run.err;
    // Standard error carries one line per message.
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << run.err;
    if (!run.out.empty() && run.out[0] == '{') {
        EXPECT_TRUE(validJson(run.out)) << run.out;
        EXPECT_NE(run.out.find(c.inJson), std::string::npos) << run.out;
    }
}

const std::string kPrimer = "1 1 1 2 1E-8\r\n1 1\r\n1 -1\r\n1 0\r\n1 2\r\n2 1 3\r\n";

std::string longNumber() {
    return "2." + std::string(67, '0'); // 69 characters: 2 written too long
}

// A fixed MPS record: fields at columns 2, 5, 15, 25, 40 and 50.
std::string mps(const std::string& f2, const std::string& f3, const std::string& f4,
                const std::string& f5 = {}, const std::string& f6 = {}) {
    std::string s = "    " + f2;
    s.resize(14, ' ');
    s += f3;
    s.resize(24, ' ');
    s += f4;
    if (!f5.empty()) {
        s.resize(39, ' ');
        s += f5;
        s.resize(49, ' ');
        s += f6;
    }
    return s + "\n";
}

std::string alloyMps() {
    return "NAME          ALLOY\nROWS\n N  COST      $ Cost\n L  LIM1\n G  LIM2\nCOLUMNS\n" +
           mps("X1", "COST", "1.0", "LIM1", "1.0") + mps("", "LIM2", "1.0") +
           mps("X2", "COST", "2.0", "LIM1", "1.0") + "RHS\n" +
           mps("RHS", "LIM1", "4.0", "LIM2", "1.0") + "ENDATA\n";
}

const std::string kLp = "minimize\n obj: x + y\nsubject to\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileInput,
    ::testing::Values(
        // --- numbers misread in silence
        Hostile{"RealLongerThan64Characters", "p.dat",
                "1 1 1 2 1E-8\r\n1 1\r\n1 -1\r\n1 0\r\n1 2\r\n" + longNumber() + " 1 3\r\n",
                "solve @ --json", 1, "строка 6, число 1: «" + longNumber() + "»"},
        Hostile{"CountOf2To31", "p.dat", "2147483648 0 1 1 1E-8\r\n1\r\n1\r\n1\r\n", "solve @", 1,
                "too large: 2147483648"},
        Hostile{"BadNumberNamesLineAndToken", "p.dat", "0 0 1 2 1E-8\r\n1 abc\r\n-1 -1\r\n4\r\n",
                "solve @", 1, "Invalid numeric input: строка 2, число 2: «abc»"},
        Hostile{"ConvertNamesTheBadNumber", "p.dat", "0 0 1 2 1E-8\r\n1 abc\r\n-1 -1\r\n4\r\n",
                "convert @ out.lp", 1, "Invalid numeric input: строка 2, число 2: «abc»"},
        Hostile{"ObjectiveOverflows", "p.dat", "0 0 1 1 1E-8\n1\n-1E4920\n1E20\n",
                "solve @ --json --verify", 4, "beyond the 80-bit range",
                "\"status\": \"overflow\", \"objective\": null"},
        // The sum of a column's terms is refused where it is met, not solved as infinity.
        Hostile{"DuplicateTermsOverflow", "p.lp",
                "minimize\n obj: 1e4932 x + 1e4932 x\nsubject to\n c: x >= 1\nend\n",
                "solve @ --json --verify", 1,
                "строка 2: сумма коэффициентов при «x» вне диапазона чисел"},
        Hostile{"NulInAConstraintName",
                "p.dat",
                kPrimer,
                "solve @",
                1,
                "p.ogran, строка 2",
                "",
                {{"p.ogran", std::string("a\r\nb\0c\r\nd\r\n", 11)}, {"p.neizv", "x\r\ny\r\n"}}},
        Hostile{"EscInAnUnknownName",
                "p.dat",
                kPrimer,
                "solve @ --json",
                1,
                "p.neizv, строка 1",
                "",
                {{"p.neizv", "\x1b[31mx\r\ny\r\n"}}},
        Hostile{"EscInAnMpsName", "p.mps",
                "NAME T\nROWS\n N obj\n L c\x1b[31m\nCOLUMNS\n x obj -1 c 1\nENDATA\n", "solve @",
                1, "строка 4: байт 27 в строке 4"},
        Hostile{"NameThatIsNotUtf8", "p.lp", kLp + " c\xff: x + y >= 2\nend\n", "solve @ --json", 0,
                "", "\\ufffd"},
        // --- the LP reader's grammar, at the line of the mistake
        Hostile{"SecondRelation", "p.lp", kLp + " c: x >= 1 >= 2\nend\n", "solve @", 1,
                "строка 4: лишний знак отношения"},
        Hostile{"NumberAfterTheRightHandSide", "p.lp", kLp + " r: x >= 2 3\nEnd\n", "solve @", 1,
                "строка 4: ожидалось ограничение или новый раздел"},
        Hostile{"CrossedRange", "p.lp", kLp + " r: 5 <= x + y <= 3\nend\n", "solve @ --json", 2,
                "нижняя граница 5 больше верхней 3",
                "\"certificate\": [{\"name\": \"r\", \"multiplier\": 1}, {\"name\": \"r\", "
                "\"multiplier\": -1}]"},
        // --- valid files the readers refused
        Hostile{"MpsDollarCommentsAndBlankColumnName", "alloy.mps", alloyMps(), "solve @ --json", 0,
                "", "\"objective\": 1,"},
        Hostile{"ByteOrderMarkAndCrLineEnds", "p.lp",
                "\xEF\xBB\xBFminimize\r obj: x + y\rsubject to\r c: x + y >= 2\rend\r",
                "solve @ --json", 0, "", "\"objective\": 2,"},
        Hostile{"ByteOrderMarkInADataFile",
                "p.dat",
                "\xEF\xBB\xBF" + kPrimer,
                "solve @ --json",
                0,
                "",
                "\"objective\": 2.5,",
                {{"p.ogran", "a\r\nb\r\nc\r\n"}, {"p.neizv", "x\r\ny\r\n"}}},
        Hostile{"NulInAnLpFile", "p.lp", kLp + std::string(" c: x >= 2\0\nend\n", 16), "solve @", 1,
                "строка 4: байт 0 в строке 4"},
        // --- sizes
        Hostile{"GenerateBeyond32Bits", nullptr, "", "generate 2147483648 1 1", 1,
                "слишком велика"},
        Hostile{"GenerateNothing", nullptr, "", "generate 0 0 0", 1, "N and L must be at least 1"},
        Hostile{"ModelWhoseBoundsBecomeTooManyRows", "p.lp",
                [] {
                    std::string s = "minimize\n obj: x1\nsubject to\n c: x1 >= 0\nbounds\n";
                    for (int j = 1; j <= 8001; ++j)
                        s += " x" + std::to_string(j) + " <= 1\n";
                    return s + "end\n";
                }(),
                // The method's transformation: the sparse engine, the default of an LP file,
                // takes the model as it stands.
                "solve @ --engine method", 1,
                "в файле ограничений 1, неизвестных 8001; в стандартной форме"}),
    [](const auto& info) { return std::string(info.param.name); });

// The printed answer is the command's result: one that cannot be written is a failure.
TEST(HostileOutput, FullStandardOutputFails) {
    TempDir dir;
    writeBytes(dir.file("p.dat"), kPrimer);
    for (const std::string json : {"", "--json"}) {
        std::vector<std::string> args = {"solve", dir.file("p.dat")};
        if (!json.empty()) args.push_back(json);
        const CliRun run = runCli(args, dir.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const int status =
            std::system((shellQuoted(KVADO_CLI) + " solve " + shellQuoted(dir.file("p.dat")) + " " +
                         json + " >/dev/full 2>" + shellQuoted(dir.file("err")))
                            .c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1) << json;
        EXPECT_EQ(readBytes(dir.file("err")),
                  "kvado-cli: cannot write the standard output: No space left on device\n");
    }
}

} // namespace
