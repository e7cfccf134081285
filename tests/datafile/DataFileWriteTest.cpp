// The write command's core: the edits and the input grid as a data file and its name files,
// and the way back through the open command's steps.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../report/ReportFixture.h"
#include "datafile/DataFile.h"
#include "datafile/DataFileWriter.h"
#include "datafile/NameFiles.h"
#include "datafile/OpenedGrid.h"

using namespace kvado;
using namespace kvado::datafile;
using namespace kvado_test;

namespace {

struct Edits {
    std::string G, E, L, N, Eps;
};

DataFileSource sourceOf(const Edits& e, const StringGridModel& grid) {
    return {e.G, e.E,   e.L,
            e.N, e.Eps, [&grid](int32_t col, int32_t row) { return grid.cell(col, row); }};
}

// A grid of N+2 columns and M+3 rows whose number cells hold `numbers` (A row by row, C, B)
// and whose name cells are empty.
std::unique_ptr<StringGridModel> gridWith(int M, int N, const Lines& numbers) {
    auto g = std::make_unique<StringGridModel>(N + 2, M + 3);
    size_t k = 0;
    for (int i = 1; i <= M + 1; ++i)
        for (int j = 1; j <= N; ++j)
            g->setCell(j + 1, i + 1, numbers.at(k++));
    for (int i = 1; i <= M; ++i)
        g->setCell(1, i + 1, numbers.at(k++));
    EXPECT_EQ(k, numbers.size());
    return g;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The open command on a data file and its name files, as far as the core goes: the numbers
// into the problem and the grid, the opened layout, then the names. Returns the objective
// name.
std::string open(const std::string& path, LpProblem& p, StringGridModel& grid, char sep) {
    kvado::session::OpenOptions options;
    options.decimalSeparator = sep;
    const kvado::session::OpenResult opened = kvado::session::openProblem(path, p, grid, options);
    EXPECT_EQ(opened.status, kvado::session::OpenStatus::Opened) << opened.error;
    EXPECT_TRUE(opened.messages.empty()) << "a name file is missing";
    return opened.objectiveName;
}

} // namespace

TEST(BuildDataFile, OneLessRowAndThreeUnknownsGiveFourLines) {
    const auto grid = gridWith(1, 3, {"1", "2", "3", "-1", "-2", "-3", "4"});
    const DataFileContents c = buildDataFile(sourceOf({"0", "0", "1", "3", "1E-8"}, *grid));
    EXPECT_EQ(c.error, "");
    EXPECT_EQ(c.data, "0 0 1 3 1E-8 \r\n1 2 3 \r\n-1 -2 -3 \r\n4 \r\n");
    EXPECT_EQ(c.constraintNames, Lines{""});
    EXPECT_EQ(c.unknownNames, (Lines{"", "", ""}));
}

TEST(BuildDataFile, TextsAreWrittenAsTypedWithCommasAsPoints) {
    struct Case {
        Edits edits;
        Lines numbers; // G = 1, E = 0, L = 1, N = 2: A row by row, C, B
        const char* data;
    };
    const Case cases[] = {
        {{"1", "0", "1", "2", "1E-8"},
         {"2,5", " 7", "-1", "+3", "0,5", "1e-3", "10", "2,0"},
         "1 0 1 2 1E-8 \r\n2.5  7 \r\n-1 +3 \r\n0.5 1e-3 \r\n10 2.0 \r\n"},
        {{" 1", "0", "1", "2", "0,001"},
         {"1 ", "  2  ", "3", "4", "5", "6", " 7 ", "8"},
         " 1 0 1 2 0.001 \r\n1    2   \r\n3 4 \r\n5 6 \r\n 7  8 \r\n"},
        {{"1", "$0", "1", "0x2", "1e-8"},
         {"1", "2", "3", "4", "5", "6", "7", "8"},
         "1 $0 1 0x2 1e-8 \r\n1 2 \r\n3 4 \r\n5 6 \r\n7 8 \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto grid = gridWith(2, 2, c.numbers);
        const DataFileContents out = buildDataFile(sourceOf(c.edits, *grid));
        EXPECT_EQ(out.error, "");
        EXPECT_EQ(out.data, c.data);
    }
}

TEST(BuildDataFile, FatalMessages) {
    struct Case {
        Edits edits;
        Lines numbers; // G = 1, E = 0, L = 1, N = 2 in the grid
        const char* error;
    };
    const Lines good = {"1", "2", "3", "4", "5", "6", "7", "8"};
    auto with = [&good](size_t k, const char* text) {
        Lines numbers = good;
        numbers[k] = text;
        return numbers;
    };
    const Edits ok = {"1", "0", "1", "2", "1E-8"};
    const Case cases[] = {
        {{"x", "0", "1", "2", "1E-8"}, good, "Ошибка: Число ограничений вида >="},
        {{"", "0", "1", "2", "1E-8"}, good, "Ошибка: Число ограничений вида >="},
        {{"1", "0.", "1", "2", "1E-8"}, good, "Ошибка: Число ограничений вида ="},
        {{"1", "0", "1 ", "2", "1E-8"}, good, "Ошибка: Число ограничений вида <="},
        {{"1", "0", "1", "два", "1E-8"}, good, "Ошибка: Число неизвестных"},
        {{"1", "0", "1", "2", "1E-8 "}, good, "Ошибка: Точность"},
        {{"1", "0", "1", "2", "1,0,0"}, good, "Ошибка: Точность"},
        {{"1", "0", "1", "2", ""}, good, "Ошибка: Точность"},
        {{"x", "0", "1", "y", "z"}, good, "Ошибка: Число ограничений вида >="}, // the first
        {ok, with(3, "abc"), "Ошибка: Матрица А[2,2] >abc<"},
        {ok, with(0, ""), "Ошибка: Матрица А[1,1] ><"},
        {ok, with(1, " ?"), "Ошибка: Матрица А[1,2] > ?<"},
        {ok, with(2, "2,5x"), "Ошибка: Матрица А[2,1] >2.5x<"},
        {ok, with(5, "1,5,"), "Ошибка: Матрица А[3,2] >1.5.<"}, // the objective row is M+1
        {ok, with(4, "-"), "Ошибка: Матрица А[3,1] >-<"},
        {ok, with(7, " 4 4 "), "Ошибка: Вектор В[2] > 4 4 <"},
        {ok, with(6, ""), "Ошибка: Вектор В[1] ><"},
        {ok,
         [&with] { // a bad objective cell is found before a bad right-hand side
             Lines n = with(6, "x");
             n[4] = "y";
             return n;
         }(),
         "Ошибка: Матрица А[3,1] >y<"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        const auto grid = gridWith(2, 2, c.numbers);
        const DataFileContents out = buildDataFile(sourceOf(c.edits, *grid));
        EXPECT_EQ(out.error, c.error);
        EXPECT_EQ(out.data, "");
        EXPECT_TRUE(out.constraintNames.empty());
        EXPECT_TRUE(out.unknownNames.empty());
    }
    // "А" and "В" of the messages are Cyrillic.
    const auto a = gridWith(2, 2, with(0, "x")), b = gridWith(2, 2, with(6, "x"));
    EXPECT_TRUE(buildDataFile(sourceOf(ok, *a)).error.ends_with(" \xD0\x90[1,1] >x<"));
    EXPECT_TRUE(buildDataFile(sourceOf(ok, *b)).error.ends_with(" \xD0\x92[1] >x<"));
}

TEST(BuildDataFile, NamesAreTrimmedAndTheObjectiveNameIsNotWritten) {
    auto grid = gridWith(2, 2, {"1", "2", "3", "4", "5", "6", "7", "8"});
    grid->setCell(0, 2, " Сталь ");
    grid->setCell(0, 3, "\tМедь и олово\r\n");
    grid->setCell(0, 4, " Доход"); // the objective row's caption
    grid->setCell(2, 1, " Ωμέγα");
    grid->setCell(3, 1, "   ");
    const DataFileContents c = buildDataFile(sourceOf({"1", "0", "1", "2", "1E-8"}, *grid));
    EXPECT_EQ(c.constraintNames, (Lines{"Сталь", "Медь и олово"}));
    EXPECT_EQ(c.unknownNames, (Lines{"Ωμέγα", ""}));
}

TEST(WriteDataFiles, DataFileAndNameFilesNextToIt) {
    struct Case {
        const char* name;
        const char* ogran;
        const char* neizv;
    };
    const Case cases[] = {
        {"p1.dat", "p1.ogran", "p1.neizv"},
        {"p1", "p1.ogran", "p1.neizv"},
        {"zad.v2.txt", "zad.v2.ogran", "zad.v2.neizv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        auto grid = gridWith(1, 2, {"1", "2", "-1", "-1", "4"});
        grid->setCell(0, 2, "Сталь");
        grid->setCell(2, 1, "Стулья");
        grid->setCell(3, 1, "Столы");
        const DataFileContents contents = buildDataFile(sourceOf({"0", "0", "1", "2", "1"}, *grid));
        writeDataFiles(dir.file(c.name), contents);
        EXPECT_EQ(fileBytes(dir.file(c.name)), "0 0 1 2 1 \r\n1 2 \r\n-1 -1 \r\n4 \r\n");
        // windows-1251
        EXPECT_EQ(fileBytes(dir.file(c.ogran)), "\xD1\xF2\xE0\xEB\xFC\r\n");
        EXPECT_EQ(fileBytes(dir.file(c.neizv)),
                  "\xD1\xF2\xF3\xEB\xFC\xFF\r\n\xD1\xF2\xEE\xEB\xFB\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
    }
}

TEST(WriteDataFiles, ExistingFilesAreReplaced) {
    ScratchDir dir;
    for (const char* name : {"p.dat", "p.ogran", "p.neizv"})
        std::ofstream(dir.file(name)) << "an older and longer text\r\nof two lines\r\n";
    const auto grid = gridWith(0, 1, {"-1"});
    writeDataFiles(dir.file("p.dat"), buildDataFile(sourceOf({"0", "0", "0", "1", "1"}, *grid)));
    EXPECT_EQ(fileBytes(dir.file("p.dat")), "0 0 0 1 1 \r\n-1 \r\n\r\n");
    EXPECT_EQ(fileBytes(dir.file("p.ogran")), "");
    EXPECT_EQ(fileBytes(dir.file("p.neizv")), "\r\n");
}

TEST(WriteDataFiles, WritesNoneWhenOneCannotBeCreated) {
    const auto grid = gridWith(1, 1, {"1", "-1", "1"});
    const DataFileContents contents = buildDataFile(sourceOf({"0", "0", "1", "1", "1"}, *grid));
    {
        ScratchDir dir;
        const std::string path = dir.file("missing/p.dat");
        try {
            writeDataFiles(path, contents);
            ADD_FAILURE() << "no error";
        } catch (const FileError& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("Cannot create file \"" + path + "\". "))
                << e.what();
        }
    }
    {
        // The constraint names file's path is a folder: neither the data file nor the
        // unknown names file is written, as the three are one save.
        ScratchDir dir;
        fs::create_directory(dir.path() / "p.ogran");
        EXPECT_THROW(writeDataFiles(dir.file("p.dat"), contents), FileError);
        EXPECT_FALSE(fs::exists(dir.path() / "p.dat"));
        EXPECT_FALSE(fs::exists(dir.path() / "p.neizv"));
    }
}

TEST(DataFileRoundTrip, WrittenThenOpenedGivesTheSameProblemAndNames) {
    for (const char sep : {',', '.'}) {
        SCOPED_TRACE(sep);
        const std::string s(1, sep);
        // G = 1, E = 1, L = 1, N = 2, typed as the user would under this separator.
        auto grid = gridWith(3, 2,
                             {"2" + s + "5", "-3", "1", "1", "0" + s + "001", "1E20",
                              "123456789012345", "-0" + s + "5", "4", "0", "7" + s + "25"});
        const Lines constraintNames = {" Сталь", "Медь ", "Уголь"};
        for (int i = 0; i < 3; ++i)
            grid->setCell(0, i + 2, constraintNames[static_cast<size_t>(i)]);
        grid->setCell(0, 5, " Прибыль");
        grid->setCell(2, 1, " Ωμέγα");
        grid->setCell(3, 1, "Стулья");
        ScratchDir dir;
        const DataFileContents first = buildDataFile(sourceOf({"1", "1", "1", "2", "1E-8"}, *grid));
        ASSERT_EQ(first.error, "");
        writeDataFiles(dir.file("zad.dat"), first);

        LpProblem p;
        StringGridModel opened(5, 6);
        const std::string objectiveName = open(dir.file("zad.dat"), p, opened, sep);
        EXPECT_EQ((std::vector<int32_t>{p.G, p.E, p.L, p.N}), (std::vector<int32_t>{1, 1, 1, 2}));
        EXPECT_EQ(p.eps, 1E-8L);
        EXPECT_EQ(objectiveName, "");
        EXPECT_EQ(opened.colCount(), 4);
        EXPECT_EQ(opened.rowCount(), 6);
        const Lines expected[] = {
            {" Ограничения (ниже):", "  B[i] ", " A[i,1] ", " A[i,2] "},
            {" Неизвестные --> ", "", " Ωμέγα", " Стулья"},
            {" Сталь", "4", "2" + s + "5", "-3"},
            {" Медь", "0", "1", "1"},
            {" Уголь", "7" + s + "25", "0" + s + "001", "1E20"},
            {" Целевая функция: ", "", "123456789012345", "-0" + s + "5"},
        };
        for (int row = 0; row < 6; ++row) {
            Lines cells;
            for (int col = 0; col < 4; ++col)
                cells.push_back(opened.cell(col, row));
            EXPECT_EQ(cells, expected[row]) << "row " << row;
        }

        // Written again from the opened grid, with the edits as the open command sets them,
        // the files are the same bytes.
        const DataFileContents second =
            buildDataFile(sourceOf({"1", "1", "1", "2", text::formatGeneral(p.eps, sep)}, opened));
        ASSERT_EQ(second.error, "");
        ScratchDir again;
        writeDataFiles(again.file("zad.dat"), second);
        EXPECT_EQ(second.data, "1 1 1 2 1E-8 \r\n2.5 -3 \r\n1 1 \r\n0.001 1E20 \r\n"
                               "123456789012345 -0.5 \r\n4 0 7.25 \r\n");
        for (const char* name : {"zad.dat", "zad.ogran", "zad.neizv"})
            EXPECT_EQ(fileBytes(again.file(name)), fileBytes(dir.file(name))) << name;
    }
}

TEST(DataFileRoundTrip, ANumberKeepsFifteenSignificantDigitsThroughTheGrid) {
    const auto grid = gridWith(1, 1, {"3.14159265358979323846", "-1", "0.1"});
    ScratchDir dir;
    writeDataFiles(dir.file("pi.dat"), buildDataFile(sourceOf({"0", "0", "1", "1", "1"}, *grid)));
    LpProblem p;
    StringGridModel opened;
    open(dir.file("pi.dat"), p, opened, '.');
    EXPECT_EQ(p.checkCopy(1, 1), 3.14159265358979323846L);
    EXPECT_EQ(opened.cell(2, 2), "3.14159265358979");
    const DataFileContents second = buildDataFile(sourceOf({"0", "0", "1", "1", "1"}, opened));
    EXPECT_EQ(second.data, "0 0 1 1 1 \r\n3.14159265358979 \r\n-1 \r\n0.1 \r\n");
}
