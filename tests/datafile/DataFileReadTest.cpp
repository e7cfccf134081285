// Reading a data file's numbers into the problem and, through the grid observer, into the
// input grid.
#include <gtest/gtest.h>

#include "../report/ReportFixture.h"
#include "datafile/DataFile.h"
#include "datafile/OpenedGrid.h"

using namespace kvado;
using namespace kvado::datafile;
using namespace kvado_test;

namespace {

// The numbers of a loaded problem, in the file's order, and its counts.
struct Numbers {
    int32_t G, E, L, N;
    Real eps;
    std::vector<Real> values; // A row by row, C, B

    bool operator==(const Numbers&) const = default;
};

Numbers numbersOf(const LpProblem& p) {
    Numbers n{p.G, p.E, p.L, p.N, p.eps, {}};
    for (int32_t i = 1; i <= p.M; ++i)
        for (int32_t j = 1; j <= p.N; ++j)
            n.values.push_back(p.checkCopy(i, j));
    for (int32_t j = 1; j <= p.N; ++j)
        n.values.push_back(p.objectiveCoefficient(j));
    for (int32_t i = 1; i <= p.M; ++i)
        n.values.push_back(p.initialRhs[static_cast<size_t>(i)]);
    return n;
}

void PrintTo(const Numbers& n, std::ostream* os) {
    *os << n.G << " " << n.E << " " << n.L << " " << n.N << " " << static_cast<double>(n.eps)
        << " |";
    for (Real v : n.values)
        *os << " " << static_cast<double>(v);
}

Numbers read(std::string_view text) {
    LpProblem p;
    readDataFile(text, p);
    EXPECT_EQ(p.M, p.G + p.E + p.L);
    return numbersOf(p);
}

// Records what the loader tells its observer.
class Recorder : public LoadObserver {
public:
    std::vector<std::string> calls;
    void header(const LpProblem& p) override { calls.push_back("header M=" + std::to_string(p.M)); }
    void progressMaximum(int32_t m) override { calls.push_back("max " + std::to_string(m)); }
    void progress(int32_t i) override { calls.push_back("at " + std::to_string(i)); }
};

} // namespace

TEST(ReadDataFile, SameProblemWhateverTheLayout) {
    // G = 1, E = 0, L = 1, N = 3.
    const Numbers expected{1, 0, 1, 3, 1E-8L, {1, 2, 3, 4, 5.5L, -6, -1, -2, -3, 7, 8}};
    const char* const texts[] = {
        "1 0 1 3 1E-8 \r\n1 2 3 \r\n4 5.5 -6 \r\n-1 -2 -3 \r\n7 8 \r\n",
        "1 0 1 3 1E-8\n1 2 3\n4 5.5 -6\n-1 -2 -3\n7 8\n",
        "1  0  1  3  1E-8\r\n1 2 3 \r\n4 5.5 -6 \r\n-1 -2 -3 \r\n7 8 \r\n",
        "1\t0\t1\t3\t1E-8\n1\t2\t3\n4\t5.5\t-6\n-1\t-2\t-3\n7\t8",
        "1\r\n0\r\n1\r\n3\r\n1E-8\r\n1 2 3 4 5.5 -6 -1 -2 -3 7 8",
        "1 0\n\n  1 3\t\t1e-8 1 2\n3 4 5.5 -6 -1 -2 -3 7 8",
        "  \r\n1 0 1 3 1.0E-8 +1 2 3 4 5.5 -6 -1 -2 -3 7 8    \r\n\r\n",
        "1 0 1 3 0.00000001 1 2 3 4 5.50 -6.0 -1 -2 -3 0.7E1 800e-2",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(read(text), expected);
    }
}

TEST(ReadDataFile, AShortFileReadsZeros) {
    struct Case {
        const char* text;
        Numbers numbers;
    };
    const Case cases[] = {
        {"", {0, 0, 0, 0, 0, {}}},
        {"0 0 1 2", {0, 0, 1, 2, 0, {0, 0, 0, 0, 0}}},
        {"0 0 1 2 1E-8\n1 2\n-1", {0, 0, 1, 2, 1E-8L, {1, 2, -1, 0, 0}}},
        {"0 0 1 2 1E-8\n1 2\n-1 -1 \r\n \r\n", {0, 0, 1, 2, 1E-8L, {1, 2, -1, -1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(read(c.text), c.numbers);
    }
}

TEST(ReadDataFile, LongRunsOfCharactersAreRefusedWithTheirPlace) {
    // At most 32 characters of a whole number and 64 of a real. A longer run used to be cut,
    // its rest read as the next number, so that every later number shifted by one.
    const std::string g = std::string(32, '0') + "1";
    const std::string a = "1" + std::string(64, '0');
    const std::string files[] = {g + " 0 1 1E-8\n3\n-1\n4", "0 0 1 2 1E-8\n" + a + "\n-1 -1\n5\n"};
    const std::string places[] = {"строка 1, число 1: «" + g + "»",
                                  "строка 2, число 1: «" + a + "»"};
    for (int k = 0; k < 2; ++k) {
        LpProblem p;
        EXPECT_THROW(readDataFile(files[k], p), text::ConversionError) << k;
        EXPECT_EQ(badNumberPlace(files[k]), places[k]);
    }
    // Exactly 32 and 64 characters still read.
    EXPECT_EQ(read(std::string(31, '0') + "1 0 0 1 1E-8\n3\n-1\n4"),
              (Numbers{1, 0, 0, 1, 1E-8L, {3, -1, 4}}));
}

TEST(ReadDataFile, ATokenThatIsNoNumberKeepsWhatWasRead) {
    struct Case {
        const char* text;
        std::vector<std::pair<int, int>> written; // grid cells written before the token
    };
    const Case cases[] = {
        {"0 0 2 2 1E-8\n1 2\n3 x\n-1 -1\n4 5\n", {{2, 2}, {3, 2}, {2, 3}}},
        {"0 0 2 2 1E-8\n1 2\n3 2,5\n-1 -1\n4 5\n", {{2, 2}, {3, 2}, {2, 3}}},
        {"0 0 2 2 1E-8\n1 2\n3 4\n-1 -1\n4 5$\n",
         {{2, 2}, {3, 2}, {2, 3}, {3, 3}, {2, 4}, {3, 4}, {1, 2}}},
        {"0 0 2 2 1,0E-8\n", {}},
        {"0 0 2.0 2 1E-8\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LpProblem p;
        StringGridModel grid(5, 6);
        for (int col = 0; col < 5; ++col)
            for (int row = 0; row < 6; ++row)
                grid.setCell(col, row, "old");
        GridLoadObserver fill(grid, ',');
        try {
            readDataFile(c.text, p, &fill);
            ADD_FAILURE() << "no error";
        } catch (const text::ConversionError& e) {
            EXPECT_STREQ(e.what(), "Invalid numeric input");
        }
        int changed = 0;
        for (int col = 0; col < 5; ++col)
            for (int row = 0; row < 6; ++row)
                if (grid.cell(col, row) != "old") ++changed;
        EXPECT_EQ(changed, static_cast<int>(c.written.size()));
        for (const auto& [col, row] : c.written)
            EXPECT_NE(grid.cell(col, row), "old") << col << "," << row;
    }
}

TEST(ReadDataFile, CountsTheMachineCannotHoldAreRefusedBeforeAnything) {
    const char* const texts[] = {
        "-1 0 0 1 1E-8\n",
        "0 0 0 -5 1E-8\n",
        "0 -2 3 1 1E-8\n",
        "0 0 2000000000 2000000000 1E-8\n",
        "2147483647 2147483647 2147483647 2 1E-8\n",
        "0 0 1 2147483647 1E-8\n",
        "0 0 8001 1 1E-8\n",
        "0 0 8000 100000 1E-8\n",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        LpProblem p;
        Recorder r;
        EXPECT_THROW(readDataFile(text, p, &r), ProblemSizeError);
        EXPECT_TRUE(r.calls.empty());
    }
}

TEST(ReadDataFile, ProgressEveryTenRowsThenBackToZero) {
    std::string text = "0 0 25 1 1E-8\n";
    for (int k = 0; k < 25 + 1 + 25; ++k)
        text += "1\n";
    LpProblem p;
    Recorder r;
    readDataFile(text, p, &r);
    EXPECT_EQ(r.calls,
              (std::vector<std::string>{"header M=25", "max 25", "at 10", "at 20", "at 0"}));
}

TEST(GridLoadObserver, ShowsEveryNumberInTheGeneralFormat) {
    struct Case {
        char sep;
        Lines row2, row3, row4;
    };
    const Case cases[] = {
        {',',
         {"old", "1000000", "0,001", "-2,5", "2,5E20"},
         {"old", "1E-5", "0,123456789012346", "0", "-7"},
         {"old", "old", "1", "-1E-8", "999999999999999"}},
        {'.',
         {"old", "1000000", "0.001", "-2.5", "2.5E20"},
         {"old", "1E-5", "0.123456789012346", "0", "-7"},
         {"old", "old", "1", "-1E-8", "999999999999999"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sep);
        StringGridModel grid(2, 2);
        for (int col = 0; col < 6; ++col)
            for (int row = 0; row < 6; ++row)
                grid.setCell(col, row, "old");
        GridLoadObserver fill(grid, c.sep);
        LpProblem p;
        readDataFile("0 1 1 3 1E-8\n"
                     "0.001 -2.5 2.5E20\n"
                     "0.1234567890123456789 0 -7.0\n"
                     "1 -0.00000001 999999999999999\n"
                     "1E6 0.00001\n",
                     p, &fill);
        EXPECT_EQ(grid.colCount(), 5);
        EXPECT_EQ(grid.rowCount(), 5);
        auto row = [&grid](int r) {
            Lines out;
            for (int col = 0; col < 5; ++col)
                out.push_back(grid.cell(col, r));
            return out;
        };
        EXPECT_EQ(row(2), c.row2);
        EXPECT_EQ(row(3), c.row3);
        EXPECT_EQ(row(4), c.row4);
    }
}
