// The test data generator: its checks, the files' lines and values, and a generated problem
// opened and solved.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "../report/ReportFixture.h"
#include "datafile/Generator.h"
#include "datafile/NameFiles.h"
#include "text/Encoding.h"

using namespace kvado;
using namespace kvado::datafile;
using namespace kvado_test;

namespace {

// The lines of a file whose every line ends with CR LF; fails when one does not.
Lines crlfLines(const std::string& bytes) {
    Lines lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a last line without CR LF";
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    // No CR or LF stands anywhere but in a CR LF.
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), static_cast<long>(lines.size()));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), static_cast<long>(lines.size()));
    return lines;
}

// The values of a line written as "v v v ... v " (every value followed by one blank).
std::vector<int> valuesOf(const std::string& line) {
    std::vector<int> values;
    EXPECT_TRUE(line.empty() || line.back() == ' ') << line;
    std::istringstream in(line);
    for (std::string token; in >> token;) {
        size_t used = 0;
        values.push_back(std::stoi(token, &used));
        EXPECT_EQ(used, token.size()) << token;
    }
    EXPECT_EQ(line.find("  "), std::string::npos) << line;
    return values;
}

GeneratedFiles generate(const std::string& n, const std::string& l, const std::string& eps,
                        uint64_t seed, char sep = '.') {
    const auto in = parseGeneratorInput(n, l, eps, sep);
    EXPECT_TRUE(in.has_value());
    return in ? generateProblem(*in, n, l, eps, seed) : GeneratedFiles{};
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(GeneratorInput, RefusesWhatTheFormatMessageIsFor) {
    struct Case {
        const char *n, *l, *eps;
        char sep;
        bool accepted;
    };
    const Case cases[] = {
        {"10", "10", "1E-5", '.', true},     {"0", "0", "1E-5", '.', true},
        {"501", "3", "1E-5", '.', true}, // the bound in the label is a hint only
        {" 10", " 10", " 1E-5 ", '.', true}, {"$A", "0x0A", "1e-5", '.', true},
        {"10", "10", "0,001", ',', true},    {"10", "10", "0,001", '.', false},
        {"10", "10", "0.001", ',', false},   {"-1", "10", "1E-5", '.', false},
        {"abc", "10", "1E-5", '.', false},   {"10", "-1", "1E-5", '.', false},
        {"10", "abc", "1E-5", '.', false},   {"10 ", "10", "1E-5", '.', false},
        {"", "10", "1E-5", '.', false},      {"10", "", "1E-5", '.', false},
        {"10", "10", "", '.', false},        {"10", "10", "abc", '.', false},
        {"10", "10", "1E-5x", '.', false},   {"1.5", "10", "1E-5", '.', false},
        {"2.5", "10", "1E-5", '.', false},   {"10", "-3", "1E-5", '.', false},
        {"10", "10", "x", '.', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "'" << c.n << "' '" << c.l << "' '" << c.eps << "' " << c.sep);
        const auto in = parseGeneratorInput(c.n, c.l, c.eps, c.sep);
        EXPECT_EQ(in.has_value(), c.accepted);
    }
    const auto in = parseGeneratorInput(" 7", "$A", "1E-5", '.');
    ASSERT_TRUE(in.has_value());
    EXPECT_EQ(in->N, 7);
    EXPECT_EQ(in->L, 10);
    EXPECT_STREQ(kGeneratorFormatError, "Ошибка в формате данных");
}

// Sizes the program could not open are refused before the files are built in memory.
TEST(GeneratorInput, SizesBeyondTheProgramsLimitsAreRefused) {
    struct Case {
        int32_t n, l;
        bool fits;
    };
    const Case cases[] = {{2000, 2000, true},  {1000000, 20, true},
                          {1000001, 1, false}, {10, 8000, true},
                          {10, 8001, false},   {5000, 4000, true},
                          {5001, 4000, false}, {2147483647, 2147483647, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " x " << c.l);
        const std::string error = generatorSizeError({c.n, c.l});
        EXPECT_EQ(error.empty(), c.fits) << error;
        if (!c.fits) {
            EXPECT_EQ(error, "Ошибка: задача слишком велика для этого компьютера\r\n(ограничений " +
                                 std::to_string(c.l) + ", неизвестных " + std::to_string(c.n) +
                                 "; можно не более 8000 ограничений, 1000000 неизвестных и "
                                 "20000000 коэффициентов)");
        }
    }
}

TEST(GenerateProblem, StartValuesGiveThirteenLinesOfValuesInRange) {
    const GeneratedFiles f = generate("10", "10", "1E-5", 1);
    const Lines data = crlfLines(f.data);
    ASSERT_EQ(data.size(), 13u);
    EXPECT_EQ(data[0], "0  0  10  10  1E-5");
    for (size_t k = 1; k <= 12; ++k) {
        SCOPED_TRACE(k + 1);
        const std::vector<int> values = valuesOf(data[k]);
        EXPECT_EQ(values.size(), 10u);
        const int low = k <= 10 ? 0 : k == 11 ? -4 : 100;
        const int high = k <= 10 ? 3 : k == 11 ? -1 : 499;
        for (int v : values) {
            EXPECT_GE(v, low);
            EXPECT_LE(v, high);
        }
    }
    Lines names;
    for (int i = 1; i <= 10; ++i)
        names.push_back("Запас ресурса № " + std::to_string(i));
    names.push_back("Цел.функция - доход");
    EXPECT_EQ(f.names, text::utf8ToCp1251([&names] {
                           std::string s;
                           for (const auto& n : names)
                               s += n + "\r\n";
                           return s;
                       }())
                           .value());
    EXPECT_EQ(splitNameLines(f.names), names);
    Lines unknowns;
    for (int j = 1; j <= 10; ++j)
        unknowns.push_back("X № " + std::to_string(j));
    EXPECT_EQ(crlfLines(f.unknowns).size(), 10u);
    EXPECT_EQ(splitNameLines(f.unknowns), unknowns);
    EXPECT_EQ(f.unknowns.substr(0, 7), "X \xB9 1\r\n"); // "№" in windows-1251
}

TEST(GenerateProblem, NoUnknownsAndNoConstraints) {
    const GeneratedFiles f = generate("0", "0", "1E-5", 1);
    EXPECT_EQ(f.data, "0  0  0  0  1E-5\r\n\r\n\r\n");
    EXPECT_EQ(f.names, text::utf8ToCp1251("Цел.функция - доход\r\n").value());
    EXPECT_EQ(f.unknowns, "");
}

TEST(GenerateProblem, LineStructureOfOtherSizes) {
    struct Case {
        const char *n, *l;
        std::vector<size_t> counts; // values per line after the header
    };
    const Case cases[] = {
        {"3", "0", {3, 0}},
        {"0", "2", {0, 0, 0, 2}},
        {"1", "1", {1, 1, 1}},
        {"2", "4", {2, 2, 2, 2, 2, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " " << c.l);
        const Lines data = crlfLines(generate(c.n, c.l, "1E-5", 3).data);
        ASSERT_EQ(data.size(), c.counts.size() + 1);
        for (size_t k = 0; k < c.counts.size(); ++k)
            EXPECT_EQ(valuesOf(data[k + 1]).size(), c.counts[k]) << k + 2;
    }
}

TEST(GenerateProblem, HeaderTextsAsTypedWithATolerancePoint) {
    struct Case {
        const char *n, *l, *eps;
        char sep;
        const char* header;
    };
    const Case cases[] = {
        {"10", "10", "1E-5", '.', "0  0  10  10  1E-5"},
        {"3", "2", "0,001", ',', "0  0  2  3  0.001"},
        {" 3", " 2", " 1E-5", '.', "0  0   2   3   1E-5"},
        {"$3", "0x2", "1E-5 ", '.', "0  0  0x2  $3  1E-5 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        const auto in = parseGeneratorInput(c.n, c.l, c.eps, c.sep);
        ASSERT_TRUE(in.has_value());
        const GeneratedFiles f = generateProblem(*in, c.n, c.l, c.eps, 5);
        EXPECT_EQ(crlfLines(f.data).at(0), c.header);
        // The header reads back as the counts and the tolerance.
        LpProblem p;
        load(p, f.data);
        EXPECT_EQ((std::vector<int32_t>{p.G, p.E, p.L, p.N}),
                  (std::vector<int32_t>{0, 0, in->L, in->N}));
    }
}

TEST(GenerateProblem, EveryValueOfEachRangeOccursAboutEquallyOften) {
    // 40000 coefficients, 2000 objective coefficients; then 40000 right-hand sides.
    const Lines wide = crlfLines(generate("2000", "20", "1E-5", 11).data);
    std::map<int, int> a, c, b;
    for (size_t k = 1; k <= 20; ++k)
        for (int v : valuesOf(wide[k]))
            ++a[v];
    for (int v : valuesOf(wide[21]))
        ++c[v];
    const Lines tall = crlfLines(generate("1", "40000", "1E-5", 12).data);
    for (int v : valuesOf(tall.back()))
        ++b[v];

    ASSERT_EQ(a.size(), 4u);
    for (int v = 0; v <= 3; ++v)
        EXPECT_NEAR(a[v], 10000, 500) << v; // about 5 standard deviations
    ASSERT_EQ(c.size(), 4u);
    for (int v = -4; v <= -1; ++v)
        EXPECT_NEAR(c[v], 500, 100) << v;
    ASSERT_EQ(b.size(), 400u);
    EXPECT_EQ(b.begin()->first, 100);
    EXPECT_EQ(b.rbegin()->first, 499);
    for (const auto& [v, count] : b)
        EXPECT_NEAR(count, 100, 50) << v;
}

TEST(GenerateProblem, SameSeedSameFilesOtherSeedOtherProblem) {
    const GeneratedFiles a = generate("20", "15", "1E-5", 42);
    const GeneratedFiles b = generate("20", "15", "1E-5", 42);
    const GeneratedFiles c = generate("20", "15", "1E-5", 43);
    EXPECT_EQ(a.data, b.data);
    EXPECT_EQ(a.names, b.names);
    EXPECT_EQ(a.unknowns, b.unknowns);
    EXPECT_NE(a.data, c.data);
    EXPECT_EQ(a.names, c.names);
}

TEST(WriteGeneratedFiles, ThreeFilesUnderTheFixedName) {
    for (const bool slash : {false, true}) {
        ScratchDir dir;
        const GeneratedFiles f = generate("4", "3", "1E-5", 7);
        std::ofstream(dir.file("BigData.dat")) << "an older and much longer file\r\n";
        writeGeneratedFiles(f, dir.path().string() + (slash ? "/" : ""));
        EXPECT_EQ(fileBytes(dir.file("BigData.dat")), f.data);
        EXPECT_EQ(fileBytes(dir.file("BigData.ogran")), f.names);
        EXPECT_EQ(fileBytes(dir.file("BigData.neizv")), f.unknowns);
    }
    ScratchDir dir;
    fs::create_directory(dir.path() / "BigData.ogran");
    EXPECT_THROW(writeGeneratedFiles(generate("1", "1", "1", 1), dir.path().string()), FileError);
    EXPECT_FALSE(fs::exists(dir.path() / "BigData.dat"));
    EXPECT_FALSE(fs::exists(dir.path() / "BigData.neizv"));
}

TEST(GeneratedProblem, OpensWithItsNamesAndSolvesToACheckedOptimum) {
    struct Case {
        const char *n, *l;
        uint64_t seed;
    };
    const Case cases[] = {
        {"10", "10", 1}, {"30", "20", 2}, {"5", "40", 3}, {"60", "15", 4}, {"1", "1", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " x " << c.l << " seed " << c.seed);
        ScratchDir dir;
        writeGeneratedFiles(generate(c.n, c.l, "1E-5", c.seed), dir.path().string());

        auto s = std::make_unique<SolvedProblem>();
        s->grid = std::make_unique<StringGridModel>(5, 6);
        kvado::session::OpenOptions options;
        options.decimalSeparator = ',';
        const kvado::session::OpenResult opened =
            kvado::session::openProblem(dir.file("BigData.dat"), s->p, *s->grid, options);
        EXPECT_EQ(opened.status, kvado::session::OpenStatus::Opened) << opened.error;
        EXPECT_TRUE(opened.messages.empty());
        const std::string objectiveName = opened.objectiveName;
        EXPECT_EQ((std::vector<int32_t>{s->p.G, s->p.E, s->p.L, s->p.N}),
                  (std::vector<int32_t>{0, 0, std::stoi(c.l), std::stoi(c.n)}));
        EXPECT_EQ(s->p.eps, 1E-5L);
        EXPECT_EQ(objectiveName, "Цел.функция - доход");
        EXPECT_EQ(s->grid->cell(0, 2), " Запас ресурса № 1");
        EXPECT_EQ(s->grid->cell(0, s->p.M + 1), " Запас ресурса № " + std::string(c.l));
        EXPECT_EQ(s->grid->cell(0, s->p.M + 2), " Цел.функция - доход");
        EXPECT_EQ(s->grid->cell(s->p.N + 1, 1), " X № " + std::string(c.n));

        s = solveLoaded(std::move(s), ',');
        EXPECT_EQ(s->outcome, SolveOutcome::Optimal);
        EXPECT_TRUE(s->feasible);
        const Lines lines = s->lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2], "Полученное решение является оптимальным.");
        EXPECT_TRUE(lines.back().starts_with("Контрольное число = ")) << lines.back();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "    Цел.функция - доход"), lines.end());
        // Every objective coefficient is negative and every B at least 100: Z is below 0.
        EXPECT_TRUE(s->results.edTarget.starts_with('-')) << s->results.edTarget;
    }
}
