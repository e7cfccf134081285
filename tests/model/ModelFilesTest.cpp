// The LP and MPS readers and writers: round trips of random models, a table of good inputs
// with the model they give, a table of bad inputs with their exact messages, and the standard
// form written as a data file.

#include <gtest/gtest.h>

#include <algorithm>

#include "ModelTestSupport.h"
#include "datafile/DataFile.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::model;
using namespace kvado::test;

// A model as comparable text: everything but the order of the coefficients.
std::string describe(const Model& m) {
    std::string s = m.name + "|" + (m.sense == Sense::Maximize ? "max" : "min") + " " +
                    m.objectiveName + " const " + numberText(m.objectiveConstant) + "\n";
    const char* columnKinds[] = {"", " int", " bin"};
    for (const auto& c : m.columns)
        s += "col " + c.name + " " + numberText(c.cost) + " [" + numberText(c.lower) + ", " +
             numberText(c.upper) + "]" + columnKinds[static_cast<int>(c.kind)] + "\n";
    const char* kinds[] = {"<=", ">=", "=", "range"};
    for (const auto& r : m.rows)
        s += "row " + r.name + " " + kinds[static_cast<int>(r.kind)] + " [" + numberText(r.lower) +
             ", " + numberText(r.upper) + "]\n";
    std::vector<std::string> entries;
    for (const auto& e : m.entries)
        entries.push_back(std::to_string(e.row) + "," + std::to_string(e.column) + "=" +
                          numberText(e.value));
    std::sort(entries.begin(), entries.end());
    for (const auto& e : entries)
        s += e + "\n";
    return s;
}

TEST(ModelFiles, RandomModelsReadBackAsWritten) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Model m = randomModel(rng, 8, 8, true, true);
        if (round % 2) m.columns[0].cost = Real(1) / 3; // needs every digit
        if (round % 3) markIntegers(rng, m);
        const std::string lp = writeLp(m);
        EXPECT_EQ(describe(readLp(lp, "a.lp")), describe(m)) << lp;
        const std::string mps = writeMps(m);
        EXPECT_EQ(describe(readMps(mps, "a.mps")), describe(m)) << mps;
        if (round % 2 == 0) {
            const std::string fixed = writeMps(m, MpsFormat::Fixed);
            EXPECT_EQ(describe(readMps(fixed, "a.mps", nullptr, MpsFormat::Fixed)), describe(m))
                << fixed;
        }
    }
}

// The standard form written as a data file opens to the same problem, so it solves to the same
// optimum, bit for bit.
TEST(ModelFiles, DataFileOfTheStandardFormSolvesTheSame) {
    std::mt19937 rng(11);
    int solved = 0;
    for (int round = 0; round < 40; ++round) {
        const Model m = randomModel(rng, 6, 6, true, true);
        const ModelSolve direct = solveModel(m);
        const auto contents = dataFileOf(direct.sf, 1e-9L);
        ASSERT_TRUE(contents.error.empty()) << contents.error;
        EXPECT_EQ(contents.constraintNames.size(), static_cast<size_t>(direct.sf.M()) + 1);
        EXPECT_EQ(contents.unknownNames, direct.sf.columnNames);
        LpProblem p;
        datafile::readDataFile(contents.data, p);
        TempDir dir;
        TraceLog log(dir.path());
        RecordingHost host;
        const SolveOutcome outcome = solve(p, log, host);
        EXPECT_EQ(outcome, direct.outcome);
        if (outcome != SolveOutcome::Optimal) continue;
        ++solved;
        EXPECT_EQ(p.inverse(p.M + 1, 0), direct.problem->inverse(p.M + 1, 0));
        EXPECT_EQ(mapBack(m, direct.sf, p).objective, direct.user.objective);
    }
    EXPECT_GE(solved, 15);
}

struct Good {
    const char* name;
    const char* text;
    const char* model; // describe() of what it reads as
};

const Good kGoodLp[] = {
    {"integer sections",
     "max x + y + z\nst\n c: x + y + z <= 4\nbounds\n y <= 5\n z <= 7\nGenerals\n x\n"
     "Binary\n z\nInteger\n y\nend\n",
     "|max  const 0\ncol x 1 [0, inf] int\ncol y 1 [0, 5] int\ncol z 1 [0, 1] bin\n"
     "row c <= [-inf, 4]\n0,0=1\n0,1=1\n0,2=1\n"},
    {"textbook", "max: 3x + 5y\nst\n x <= 4\n 2y <= 12\n 3x + 2y <= 18\nend\n",
     "|max  const 0\ncol x 3 [0, inf]\ncol y 5 [0, inf]\nrow R1 <= [-inf, 4]\n"
     "row R2 <= [-inf, 12]\nrow R3 <= [-inf, 18]\n0,0=1\n1,1=2\n2,0=3\n2,1=2\n"},
    {"every relation and bound form",
     "\\ comment\nMINIMIZE\n cost: 2 x - y + 0.5 z + 7 \\ the constant\nSubject To\n"
     " a: x + y >= -2\n b: x - z =< 4\n c: -1 <= y + z <= 3\n d: 5 >= x >= 1\n"
     " e: x + x - 3 > 0\nBounds\n x free\n y <= 4\n -inf <= z <= 2\n w = 3\n 1 <= v <= 2\nEnd\n",
     "|min cost const 7\ncol x 2 [-inf, inf]\ncol y -1 [0, 4]\ncol z 0.5 [-inf, 2]\n"
     "col w 0 [3, 3]\ncol v 0 [1, 2]\nrow a >= [-2, inf]\nrow b <= [-inf, 4]\n"
     "row c range [-1, 3]\nrow d range [1, 5]\nrow e >= [3, inf]\n0,0=1\n0,1=1\n1,0=1\n"
     "1,2=-1\n2,1=1\n2,2=1\n3,0=1\n4,0=2\n"},
};

TEST(ModelFiles, GoodLpInputs) {
    for (const auto& g : kGoodLp)
        EXPECT_EQ(describe(readLp(g.text, "t.lp")), g.model) << g.name;
}

TEST(ModelFiles, GoodMpsInput) {
    const char* text = "NAME TEST\nOBJSENSE MAX\nROWS\n N obj\n E e\n L l\n G g\n N other\n"
                       "COLUMNS\n x obj 1 e 1\n x l 2 other 5\n y g -1\nRHS\n RHS obj 2.5 e 4\n"
                       " RHS l 6 g -3\nRANGES\n RNG e -2 l 4\n RNG g 1\nBOUNDS\n UP BND x -1\n"
                       " LO BND y -5\n UP BND y 5\nENDATA\n";
    std::vector<std::string> notes;
    EXPECT_EQ(
        describe(readMps(text, "t.mps", &notes)),
        "TEST|max obj const -2.5\ncol x 1 [-inf, -1]\ncol y 0 [-5, 5]\n"
        "row e range [2, 4]\nrow l range [2, 6]\nrow g range [-3, -2]\n0,0=1\n1,0=2\n2,1=-1\n");
    EXPECT_EQ(notes,
              (std::vector<std::string>{
                  "строка 8: строка «other» типа N опущена: целевая функция — «obj»",
                  "строка 20: верхняя граница неизвестной «x» отрицательна (-1), а нижняя 0: "
                  "нижняя граница принята равной -inf"}));
}

// The markers' columns are integer, 0/1 unless a bound line gives an upper bound; BV, LI
// and UI mark a column wherever it stands.
TEST(ModelFiles, GoodIntegerMpsInput) {
    const char* text = "ROWS\n N obj\n L r\nCOLUMNS\n M 'MARKER' 'INTORG'\n a r 1\n b r 1\n"
                       " c r 1\n d r 1\n e r 1\n M 'MARKER' 'INTEND'\n f r 1\n g r 1\n h r 1\n"
                       "BOUNDS\n LO BND b 0\n PL BND c\n UP BND d 9\n LO BND e 3\n"
                       " BV BND f\n LI BND g -2\n UI BND h 6\nENDATA\n";
    EXPECT_EQ(describe(readMps(text, "t.mps")),
              "|min obj const 0\ncol a 0 [0, 1] int\ncol b 0 [0, 1] int\n"
              "col c 0 [0, inf] int\ncol d 0 [0, 9] int\ncol e 0 [3, inf] int\n"
              "col f 0 [0, 1] bin\ncol g 0 [-2, inf] int\ncol h 0 [0, 6] int\n"
              "row r <= [-inf, 0]\n0,0=1\n0,1=1\n0,2=1\n0,3=1\n0,4=1\n0,5=1\n0,6=1\n0,7=1\n");
}

struct Bad {
    const char* text;
    const char* message;
};

const Bad kBadLp[] = {
    {"Maximize\n obj: 3 x\nSubject To\n c1: x + 2 3 y <= 4\nEnd\n",
     "t.lp: строка 4: ожидался знак +, - или знак отношения (<=, >=, =), найдено '3'"},
    {"max 3 x\nst\n c: x + <= 4\n",
     "t.lp: строка 3: ожидалось имя переменной или число, найдено '<='"},
    {"Subject To\n x <= 1\n",
     "t.lp: строка 1: ожидался раздел Minimize или Maximize, найдено 'Subject'"},
    {"min x\nst\n c: x + y\n d: x >= 1\n",
     "t.lp: строка 4: ожидался знак +, - или знак отношения (<=, >=, =), найдено 'd'"},
    {"min x\nst\n c: x >= y\n", "t.lp: строка 3: ожидалось число (правая часть), найдено 'y'"},
    {"min x\nst\n c: 1 <= x >= 4\n",
     "t.lp: строка 3: в двустороннем ограничении нужны два знака <= или два знака >="},
    {"min x\nst\n c: x >= 1\n c: x <= 4\n", "t.lp: строка 4: ограничение «c» уже задано выше"},
    {"min x\nst\n c: x >= 1\nsemi-continuous\n x\n",
     "t.lp: строка 4: раздел «semi» не поддерживается: полунепрерывные неизвестные программа не "
     "решает"},
    {"min x\nst\n c: x >= 1\nGeneral\n x\nSOS\n s1: x:1\nEnd\n",
     "t.lp: строка 6: раздел «SOS» не поддерживается: специальные упорядоченные множества (SOS) "
     "программа не решает"},
    {"min x\nst\n c: x >= 1\nBinary\n x 3\nEnd\n",
     "t.lp: строка 5: ожидалось имя целочисленной переменной, найдено '3'"},
    {"min x\nbounds\n x <> 3\n", "t.lp: строка 3: ожидалось число (граница), найдено '>'"},
    {"min x\nst\n c: x^2 >= 1\n",
     "t.lp: строка 3: квадратичные члены не поддерживаются, найдено '^'"},
    {"min x\nst\n c: x >= 1.2.3\n", "t.lp: строка 3: ожидалось число, найдено '1.2.3'"},
    {"min x\nst\n c: x +",
     "t.lp: строка 3: ожидалось имя переменной или число, найден конец файла"},
    {"min x \\* open\n comment\n", "t.lp: строка 1: комментарий \\* не закрыт знаками *\\"},
};

TEST(ModelFiles, BadLpInputs) {
    for (const auto& b : kBadLp) {
        try {
            readLp(b.text, "t.lp");
            ADD_FAILURE() << "read: " << b.text;
        } catch (const ReadError& e) {
            EXPECT_EQ(std::string(e.what()), b.message) << b.text;
        }
    }
}

const Bad kBadMps[] = {
    {"NAME\nROWS\n N obj\n X r\nENDATA\n",
     "t.mps: строка 4: ожидался тип строки N, E, L или G, найдено 'X'"},
    {"ROWS\n N obj\n L r\n L r\nENDATA\n", "t.mps: строка 4: строка «r» уже объявлена в строке 3"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\n x r 2\nENDATA\n",
     "t.mps: строка 6: коэффициент строки «r» при неизвестной «x» уже задан в строке 5"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\n y r 1\n x r 2\nENDATA\n",
     "t.mps: строка 7: коэффициент строки «r» при неизвестной «x» уже задан в строке 5"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x q 1\nENDATA\n",
     "t.mps: строка 5: ожидалось имя строки из раздела ROWS, найдено 'q'"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1x\nENDATA\n",
     "t.mps: строка 5: ожидалось число, найдено '1x'"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n M1 'MARKER' 'INTORG'\n x r 1\nENDATA\n",
     "t.mps: строка 5: метка 'INTORG' без 'INTEND' после нее"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\n M1 'MARKER' 'INTEND'\nENDATA\n",
     "t.mps: строка 6: метка 'INTEND' без 'INTORG' перед ней"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n M1 'MARKER' 'INTORG'\n M2 'MARKER' 'INTORG'\nENDATA\n",
     "t.mps: строка 6: метка 'INTORG' без 'INTEND' после 'INTORG' в строке 5"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\nBOUNDS\n SC BND x 4\nENDATA\n",
     "t.mps: строка 7: граница типа SC не поддерживается: полунепрерывные неизвестные программа "
     "не решает"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\nBOUNDS\n UI BND x 2.5\nENDATA\n",
     "t.mps: строка 7: граница типа UI целочисленной неизвестной «x» не целая: 2.5"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\nBOUNDS\n UP BND y 4\nENDATA\n",
     "t.mps: строка 7: ожидалось имя неизвестной из раздела COLUMNS, найдено 'y'"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\nRHS\n RHS r 1\n RHS r 2\nENDATA\n",
     "t.mps: строка 8: правая часть строки «r» уже задана в строке 7"},
    {"ROWS\n N obj\n L r\nCOLUMNS\n x r 1\nRANGES\n RNG obj 1\nENDATA\n",
     "t.mps: строка 7: ожидалось имя строки типа E, L или G, найдено 'obj'"},
    {"ROWS\n N obj\nCOLUMNS\n x obj 1\nOBJSENSE\n UP\nENDATA\n",
     "t.mps: строка 6: ожидалось MAX или MIN, найдено 'UP'"},
    {"ROWS\n N obj\nCOLUMN\n", "t.mps: строка 3: ожидался раздел NAME, ROWS, COLUMNS, RHS, RANGES, "
                               "BOUNDS, OBJSENSE или ENDATA, найдено 'COLUMN'"},
    {"ROWS\n N obj\n L r\n", "t.mps: строка 4: ожидался раздел ENDATA, найден конец файла"},
    {" x r 1\n", "t.mps: строка 1: ожидался заголовок раздела (ROWS, COLUMNS, ...), найдено 'x'"},
};

// A fixed-MPS line with a type field and a blank name field made a new column while it still
// read the previous column's name through a view of it (found by the fuzzer).
TEST(ModelFiles, FixedMpsContinuationWithANewColumnIsRefused) {
    const std::string text = "ROWS\n N  obj\n L  r\nCOLUMNS\n    x         r         1\n"
                             " XX           r         1              r\nENDATA\n";
    EXPECT_THROW(readMps(text, "t.mps", nullptr, MpsFormat::Fixed), ReadError);
}

TEST(ModelFiles, BadMpsInputs) {
    for (const auto& b : kBadMps) {
        try {
            readMps(b.text, "t.mps");
            ADD_FAILURE() << "read: " << b.text;
        } catch (const ReadError& e) {
            EXPECT_EQ(std::string(e.what()), b.message) << b.text;
        }
    }
}

// Counts beyond the method's limits are read (the sparse engine takes any size); the
// transformation for the method refuses them with the program's size message.
TEST(ModelFiles, TooManyRowsForTheMethodAreRefusedByTheTransformation) {
    std::string text = "ROWS\n N obj\n";
    std::string columns = "COLUMNS\n";
    for (int64_t i = 0; i <= ProblemLimits::maxRows; ++i) {
        text += " L r" + std::to_string(i) + "\n";
        columns += " x r" + std::to_string(i) + " 1\n";
    }
    text += columns + "RHS\n rhs r0 1\nENDATA\n";
    try {
        const Model m = readMps(text, "big.mps");
        EXPECT_EQ(m.rows.size(), static_cast<size_t>(ProblemLimits::maxRows) + 1);
        toStandardForm(m);
        ADD_FAILURE();
    } catch (const ProblemSizeError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Ошибка: задача слишком велика для этого компьютера\r\n(в файле ограничений "
                  "8001, неизвестных 1; в стандартной форме (с границами неизвестных как "
                  "строками) ограничений 8001, неизвестных 1; можно не более 8000 ограничений, "
                  "1000000 неизвестных и 20000000 коэффициентов)");
    }
}

} // namespace
