// The name files: their paths, their lines and encodings, and how an opened problem shows
// its names and headers in the input grid.
#include <gtest/gtest.h>

#include "../report/ReportFixture.h"
#include "datafile/NameFiles.h"
#include "datafile/OpenedGrid.h"

using namespace kvado;
using namespace kvado::datafile;
using namespace kvado_test;

TEST(SideFileName, ReplacesOrAppendsTheExtension) {
    struct Case {
        const char* data;
        const char* ogran;
        const char* neizv;
    };
    const Case cases[] = {
        {"/zad/p1.dat", "/zad/p1.ogran", "/zad/p1.neizv"},
        {"/zad/p1", "/zad/p1.ogran", "/zad/p1.neizv"},
        {"p1.dat", "p1.ogran", "p1.neizv"},
        {"p1", "p1.ogran", "p1.neizv"},
        {"task", "task.ogran", "task.neizv"},
        {"/zad.v1/p1", "/zad.v1/p1.ogran", "/zad.v1/p1.neizv"},
        {"/zad.v1/p1.dat", "/zad.v1/p1.ogran", "/zad.v1/p1.neizv"},
        {"a.b.dat", "a.b.ogran", "a.b.neizv"},
        {"BigData.DAT", "BigData.ogran", "BigData.neizv"},
        {"x.d", "x.ogran", "x.neizv"},
        {"/zad/.dat", "/zad/.dat.ogran", "/zad/.dat.neizv"},
        {"./p1.dat", "./p1.ogran", "./p1.neizv"},
        {"../p1", "../p1.ogran", "../p1.neizv"},
        {"Задачи/Задача.dat", "Задачи/Задача.ogran", "Задачи/Задача.neizv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(sideFileName(c.data, "ogran"), c.ogran);
        EXPECT_EQ(sideFileName(c.data, "neizv"), c.neizv);
    }
}

TEST(BaseName, DropsTheFolder) {
    EXPECT_EQ(baseName("/zad/p1.dat"), "p1.dat");
    EXPECT_EQ(baseName("p1"), "p1");
    EXPECT_EQ(baseName("/zad.v1/Задача"), "Задача");
}

TEST(SplitNameLines, LinesAndLineEnds) {
    struct Case {
        const char* what;
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"CR only", "a\rb\r", {"a", "b"}},
        {"no line end at the end", "a\r\nb", {"a", "b"}},
        {"empty lines are empty names", "a\r\n\r\nb\r\n\r\n", {"a", "", "b", ""}},
        {"LF then CR LF", "a\n\r\nb", {"a", "", "b"}},
        {"CR then CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"one line end", "\r\n", {""}},
        {"empty file", "", {}},
        {"blanks are kept", "  a b \r\n\t\r\n", {"  a b ", "\t"}},
        {"byte order mark dropped", "\xEF\xBB\xBFСталь\r\n", {"Сталь"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(splitNameLines(c.bytes), c.lines);
    }
}

TEST(SplitNameLines, KeepsAtMostTheLinesAskedFor) {
    EXPECT_EQ(splitNameLines("a\r\nb\r\nc\r\nd", 2), (Lines{"a", "b"}));
    EXPECT_EQ(splitNameLines("a\r\nb\r\n", 5), (Lines{"a", "b"}));
    EXPECT_EQ(splitNameLines("a\r\nb\r\n", 0), Lines{});
}

TEST(SplitNameLines, EncodingIsRecognisedEitherWay) {
    struct Case {
        const char* what;
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"windows-1251",
         "\xD1\xF2\xE0\xEB\xFC\r\n\xC7\xE0\xEF\xE0\xF1 \xB9 1\r\n",
         {"Сталь", "Запас № 1"}},
        {"UTF-8", "Сталь\r\nЗапас № 1\r\n", {"Сталь", "Запас № 1"}},
        {"UTF-8 with a name windows-1251 has no letter for",
         "Сталь\r\nΩμέγα\r\n",
         {"Сталь", "Ωμέγα"}},
        {"windows-1251 capitals only", "\xC0\xC1\xC2", {"АБВ"}},
        {"ASCII", "Steel\r\nX1", {"Steel", "X1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(splitNameLines(c.bytes), c.lines);
    }
}

TEST(JoinNameLines, WindowsCodePageUnlessANameHasNoFormThere) {
    EXPECT_EQ(joinNameLines({"Сталь", "X № 1", ""}), "\xD1\xF2\xE0\xEB\xFC\r\nX \xB9 1\r\n\r\n");
    EXPECT_EQ(joinNameLines({"Сталь", "Ωμέγα"}), "Сталь\r\nΩμέγα\r\n");
    EXPECT_EQ(joinNameLines({}), "");
    for (const Lines& names : {Lines{"Сталь", "", "Медь и олово", "№"}, Lines{"Ωμέγα", "Чугун"},
                               Lines{"a", "b"}, Lines{""}}) {
        EXPECT_EQ(splitNameLines(joinNameLines(names)), names);
    }
}

TEST(TrimName, DropsBlanksAndControlCharactersAtBothEnds) {
    EXPECT_EQ(trimName("  Сталь  "), "Сталь");
    EXPECT_EQ(trimName("\t\r\nМедь и олово\r\n"), "Медь и олово");
    EXPECT_EQ(trimName("a  b"), "a  b");
    EXPECT_EQ(trimName("   "), "");
    EXPECT_EQ(trimName(""), "");
    EXPECT_EQ(trimName("\x01Ωμέγα\x7F"), "Ωμέγα");
}

TEST(LayOutOpenedGrid, HeadersPlaceholdersAndWidths) {
    StringGridModel g(4, 6);
    g.setCell(1, 1, "typed");
    g.setCell(1, 4, "typed too");
    g.setCell(2, 2, "5");
    layOutOpenedGrid(g, 2, 2);
    const Lines expected[] = {
        {" Ограничения (ниже):", "  B[i] ", " A[i,1] ", " A[i,2] "},
        {" Неизвестные --> ", "typed", " Не заполн", " Не заполн"},
        {" Не заполнено", "", "5", ""},
        {" Не заполнено", "", "", ""},
        // The objective row's B cell is nothing of the opened problem's: emptied.
        {" Целевая функция: ", "", "", ""},
    };
    for (int row = 0; row < 5; ++row) {
        Lines cells;
        for (int col = 0; col < 4; ++col)
            cells.push_back(g.cell(col, row));
        EXPECT_EQ(cells, expected[row]) << "row " << row;
    }
    EXPECT_EQ((std::vector<int>{g.colWidth(0), g.colWidth(1), g.colWidth(2), g.colWidth(3)}),
              (std::vector<int>{250, 70, 70, 70}));
}

TEST(ApplyConstraintNames, LinesAgainstTheConstraintCount) {
    // M = 2: rows 2 and 3 hold the constraints, row 4 the objective.
    struct Case {
        const char* what;
        std::string bytes;
        Lines column; // cells (0, 2), (0, 3), (0, 4)
        const char* objectiveName;
    };
    const Case cases[] = {
        {"M lines", "Сталь\r\nМедь\r\n", {" Сталь", " Медь", " Целевая функция: "}, ""},
        {"M + 1 lines", "Сталь\r\nМедь\r\nДоход\r\n", {" Сталь", " Медь", " Доход"}, "Доход"},
        {"M + 1 lines, the last without a line end",
         "Сталь\r\nМедь\r\nДоход",
         {" Сталь", " Медь", " Доход"},
         "Доход"},
        {"M + 2 lines", "Сталь\r\nМедь\r\nДоход\r\nлишнее\r\n", {" Сталь", " Медь", " Доход"}, ""},
        {"many lines", "a\nb\nc\nd\ne\nf\n", {" a", " b", " c"}, ""},
        {"fewer than M", "Сталь", {" Сталь", " Не заполнено", " Целевая функция: "}, ""},
        {"empty file", "", {" Не заполнено", " Не заполнено", " Целевая функция: "}, ""},
        {"empty lines", "\r\n\r\n\r\n", {" ", " ", " "}, ""},
        {"windows-1251",
         "\xD1\xF2\xE0\xEB\xFC\r\n\r\n\xC4\xEE\xF5\xEE\xE4\r\n",
         {" Сталь", " ", " Доход"},
         "Доход"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StringGridModel g(4, 5);
        layOutOpenedGrid(g, 2, 2);
        // As the open command reads it: lines up to M + 2, enough to tell M + 1 from more.
        const Lines lines = splitNameLines(c.bytes, 4);
        EXPECT_EQ(applyConstraintNames(g, 2, lines), c.objectiveName);
        EXPECT_EQ((Lines{g.cell(0, 2), g.cell(0, 3), g.cell(0, 4)}), c.column);
        EXPECT_EQ(g.cell(0, 5), "");
        EXPECT_EQ(g.cell(0, 1), " Неизвестные --> ");
    }
}

TEST(ApplyConstraintNames, NoConstraintsAndOneLine) {
    StringGridModel g(2, 3);
    layOutOpenedGrid(g, 0, 0);
    const Lines lines = splitNameLines("Цел.функция - доход\r\n", 2);
    EXPECT_EQ(applyConstraintNames(g, 0, lines), "Цел.функция - доход");
    EXPECT_EQ(g.cell(0, 2), " Цел.функция - доход");
}

TEST(ApplyUnknownNames, LinesAgainstTheUnknownCount) {
    struct Case {
        std::string bytes;
        Lines row; // cells (2, 1) .. (4, 1)
    };
    const Case cases[] = {
        {"X1\r\nX2\r\nX3\r\n", {" X1", " X2", " X3"}},
        {"X1\r\nX2\r\nX3\r\nX4\r\nX5", {" X1", " X2", " X3"}},
        {"X1\r\n", {" X1", " Не заполн", " Не заполн"}},
        {"\r\nСтулья\r\n", {" ", " Стулья", " Не заполн"}},
        {"", {" Не заполн", " Не заполн", " Не заполн"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        StringGridModel g(5, 4);
        layOutOpenedGrid(g, 1, 3);
        applyUnknownNames(g, 3, splitNameLines(c.bytes, 3));
        EXPECT_EQ((Lines{g.cell(2, 1), g.cell(3, 1), g.cell(4, 1)}), c.row);
        EXPECT_EQ(g.cell(5, 1), "");
        EXPECT_EQ(g.cell(1, 1), "");
    }
}

TEST(MissingNameFileMessages, TextsWithTheCountAndNoClosingBracket) {
    EXPECT_EQ(missingConstraintNamesMessage("/zad/p1.ogran", 12),
              "Полезно создать текстовый файл /zad/p1.ogran c именами ресурсов (12строк");
    EXPECT_EQ(missingUnknownNamesMessage("/zad/p1.neizv", 3),
              "Полезно создать текстовый файл /zad/p1.neizv c именами неизвестных (3строк");
    // The "c" is the Latin letter.
    EXPECT_NE(missingConstraintNamesMessage("f", 1).find(" f c "), std::string::npos);
    EXPECT_NE(missingUnknownNamesMessage("f", 1).find(" f c "), std::string::npos);
}
