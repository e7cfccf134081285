// kvado-cli as a user runs it: the report's lines on standard output, the name files next to
// the data file, the saved RTF report and the generator's files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "../report/ReportFixture.h"

using namespace kvado_test;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs kvado-cli with `arguments`; standard error is dropped into `dir`.
Outcome cli(const std::string& arguments, const ScratchDir& dir) {
    const std::string command =
        std::string(KVADO_CLI) + " " + arguments + " 2>" + dir.file("stderr.txt");
    Outcome o;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return o;
    }
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;)
        o.out.append(buf, n);
    const int status = pclose(pipe);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return o;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The lines of the output with the date and time of line 2 replaced by "<date>".
Lines maskedLines(const std::string& out) {
    Lines lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    if (lines.size() >= 2) {
        static const std::regex date(R"(  \d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?$)");
        lines[1] = std::regex_replace(lines[1], date, "  <date>");
    }
    return lines;
}

// Minimise X1 + 2 X2 subject to X1 + X2 >= 2, X1 - X2 = 1 and X1 <= 3.
const char* const kData = "1 1 1 2 1E-8 \r\n1 1 \r\n1 -1 \r\n1 0 \r\n1 2 \r\n2 1 3 \r\n";

// The report of kData with the given name fields and objective row caption.
Lines reportOf(const std::string& fileName, const std::string& unknown1,
               const std::string& unknown2, const Lines& constraints, const std::string& caption) {
    return {"     РЕШЕНИЕ",
            "Файл данных: " + fileName + "  <date>",
            " ",
            "   Оптимальный план",
            " ",
            "X[  2] ( " + unknown2 + " ) =    0.500",
            "X[  1] ( " + unknown1 + " ) =    1.500",
            " ",
            "   " + caption,
            " ",
            "Значение = 2.50",
            " ",
            " Теневые цены ресурсов (Pi)",
            " ",
            "Pi[  1] ( " + constraints.at(0) + " ) =   -1.500",
            "Pi[  2] ( " + constraints.at(1) + " ) =    0.500",
            "Pi[  3] ( " + constraints.at(2) + " ) =    0.000",
            "",
            "",
            "",
            "Полученное решение является допустимым. (ограничения выполнены)",
            " ",
            "Полученное решение является оптимальным.",
            "Контрольное число = 0 - ( должно быть близко к нулю )"};
}

} // namespace

TEST(CliSolve, PrintsTheReportWithTheNamesFromTheNameFiles) {
    ScratchDir dir;
    writeBytes(dir.file("zad.dat"), kData);
    // windows-1251, with line M + 1: the objective's name.
    writeBytes(dir.file("zad.ogran"),
               "\xD1\xF2\xE0\xEB\xFC\r\n\xCC\xE5\xE4\xFC\r\n\xD3\xE3\xEE\xEB\xFC\r\n"
               "\xC4\xEE\xF5\xEE\xE4\r\n");
    writeBytes(dir.file("zad.neizv"), "Стулья\nСтолы"); // UTF-8, no line end at the end
    const Outcome o =
        cli("solve " + dir.file("zad.dat") + " --log-dir " + dir.path().string(), dir);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(maskedLines(o.out),
              reportOf("zad.dat", blanks(18) + " Стулья", blanks(19) + " Столы",
                       {blanks(20) + " Сталь", blanks(20) + " Медь", blanks(20) + " Уголь"},
                       " Доход"));
    EXPECT_TRUE(fs::exists(dir.path() / "Kvaq.log"));
}

TEST(CliSolve, WithoutNameFilesThePlaceholdersShow) {
    ScratchDir dir;
    writeBytes(dir.file("zad.dat"), kData);
    const Outcome o =
        cli("solve " + dir.file("zad.dat") + " --log-dir " + dir.path().string(), dir);
    EXPECT_EQ(o.status, 0);
    const std::string c = blanks(20) + " Не заполнено";
    EXPECT_EQ(maskedLines(o.out),
              reportOf("zad.dat", blanks(15) + " Не заполн", blanks(15) + " Не заполн", {c, c, c},
                       " Целевая функция: "));
}

TEST(CliSolve, ADataFileWithoutExtensionFindsItsNameFiles) {
    ScratchDir dir;
    writeBytes(dir.file("zad"), kData);
    writeBytes(dir.file("zad.ogran"), "a\r\nb\r\nc\r\nd\r\ne\r\n"); // M + 2 lines: no objective
    writeBytes(dir.file("zad.neizv"), "u\r\nv\r\n");
    const Outcome o = cli("solve " + dir.file("zad") + " --log-dir " + dir.path().string(), dir);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(maskedLines(o.out),
              reportOf("zad", blanks(20) + " u", blanks(20) + " v",
                       {blanks(20) + " a", blanks(20) + " b", blanks(20) + " c"}, " d"));
}

TEST(CliSolve, SavesTheReportAsRtf) {
    ScratchDir dir;
    writeBytes(dir.file("zad.dat"), kData);
    const Outcome o = cli("solve " + dir.file("zad.dat") + " --log-dir " + dir.path().string() +
                              " --rtf " + dir.file("report.rtf"),
                          dir);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(maskedLines(o.out).size(), 24u);
    const std::string rtf = fileBytes(dir.file("report.rtf"));
    EXPECT_TRUE(rtf.starts_with("{\\rtf1")) << rtf.substr(0, 40);
    EXPECT_TRUE(rtf.ends_with("}") || rtf.ends_with("}\n") || rtf.ends_with("}\r\n"));
}

TEST(CliGenerate, GeneratedFilesSolveToACheckedOptimum) {
    ScratchDir dir;
    const Outcome g = cli("generate 12 8 1E-5 --seed 99 --dir " + dir.path().string(), dir);
    EXPECT_EQ(g.status, 0);
    for (const char* name : {"BigData.dat", "BigData.ogran", "BigData.neizv"})
        EXPECT_TRUE(fs::exists(dir.path() / name)) << name;
    EXPECT_TRUE(fileBytes(dir.file("BigData.dat")).starts_with("0  0  8  12  1E-5\r\n"));

    const Outcome s =
        cli("solve " + dir.file("BigData.dat") + " --log-dir " + dir.path().string(), dir);
    EXPECT_EQ(s.status, 0);
    const Lines lines = maskedLines(s.out);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[1], "Файл данных: BigData.dat  <date>");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    Цел.функция - доход"), lines.end());
    EXPECT_EQ(lines[lines.size() - 2], "Полученное решение является оптимальным.");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("Pi["); }),
              8);
}

TEST(CliGenerate, RefusalWritesNoFile) {
    for (const char* arguments : {"-1 10 1E-5", "abc 10 1E-5", "10 -1 1E-5", "10 10 x"}) {
        SCOPED_TRACE(arguments);
        ScratchDir dir;
        const Outcome o =
            cli(std::string("generate ") + arguments + " --dir " + dir.path().string(), dir);
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(fileBytes(dir.file("stderr.txt")).find("Ошибка в формате данных"),
                  std::string::npos);
        EXPECT_FALSE(fs::exists(dir.path() / "BigData.dat"));
    }
}
