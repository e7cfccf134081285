// Bad input to the commands that read and write files, as the session takes them for every
// front end: broken, hostile and oversized data and name files, targets that cannot be
// written, a trace log that cannot be, and the generator's files that cannot be. Every row states
// exactly what the user is shown (the messages and the error report, in order) and checks that
// nothing already in the input or on disk is lost on the way. Every row states exactly what the
// user is shown (the messages and the error report, in order) and checks that a failed open leaves
// the edits, the input grid and the problem as they were. The main window's part (the dialog, the
// status bar, the Solve button) is tested with the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "../report/ReportFixture.h"
#include "ShownView.h"
#include "base/FileIo.h"
#include "datafile/DataFileWriter.h"
#include "datafile/Generator.h"
#include "session/Session.h"

using namespace kvado;
using namespace kvado::session;
using namespace kvado_test;
using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

// An expected text: "{dir}" stands for the test's folder and "{EACCES}", "{EIO}", "{EISDIR}",
// "{ENOENT}" and "{ENOSPC}" for the system's reasons.
std::string expand(const char* utf8, const std::string& dir) {
    std::string s = utf8;
    const auto replace = [&s](const std::string& from, const std::string& to) {
        for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
            s.replace(at, from.size(), to);
    };
    replace("{dir}", dir);
    for (const auto& [name, error] : {std::pair{"{EACCES}", EACCES},
                                      {"{EIO}", EIO},
                                      {"{EISDIR}", EISDIR},
                                      {"{ENOENT}", ENOENT},
                                      {"{ENOSPC}", ENOSPC}})
        replace(name, std::strerror(error));
    return s;
}

// Where the data file of a row is.
enum class Place {
    File,            // "p.dat" in the test's folder, holding `data`
    Folder,          // "p.dat" is a folder
    NoReadPermission // "p.dat" holds `data` with no permission to read it
};

// What the open leaves in the input when it got past the header.
struct Loaded {
    std::vector<std::string> edits;
    std::vector<std::string> rows;
};

struct OpenCase {
    const char* name;
    Place place;
    std::string data;
    // What the user is shown, in order.
    std::vector<std::pair<Kind, const char*>> seen;
    // What an open that reads lays in; nullopt, and after any failure: the edits, the grid
    // and the problem are as before the open.
    std::optional<Loaded> loaded = std::nullopt;
    // The window's Solve button after an open that reads (a failed one leaves it alone).
    bool solveEnabled = true;
    // The note for a file that ended early, which the status bar shows after the file's name.
    const char* note = nullptr;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class DataFileOpen : public ::testing::Test {
protected:
    DataFileOpen() {
        session.setView(&view);
        session.setDecimalSeparator('.');
    }
    ~DataFileOpen() override {
        failing_files::clear();
        std::error_code ec;
        fs::permissions(path(), fs::perms::owner_all, ec);
        fs::permissions(dir.path(), fs::perms::owner_all, ec);
    }
    std::string path() const { return dir.file("p.dat"); }
    // A file's bytes, "<folder>" for a folder, "<link>" for a symbolic link, "<missing>" when
    // nothing is there.
    std::string contents(const std::string& name) const {
        const fs::path at = dir.file(name);
        std::error_code ec;
        if (fs::is_symlink(at, ec)) return "<link>";
        if (fs::is_directory(at, ec)) return "<folder>";
        if (!fs::exists(at, ec)) return "<missing>";
        return readFileBytes(at.string());
    }
    // The error report a command ends with: the text of what it threw.
    template <class Command> static std::string errorOf(Command command) {
        try {
            command();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "<none>";
    }

    // The problem in the input before each open: minimise 3·X1 subject to 2·X1 <= 4 and
    // X1 <= 6, with names, as if written.
    void enterStart() {
        session.SetupGrid(kStartEdits, true);
        StringGridModel& g = session.inputGrid();
        g.setCell(1, 2, "4");
        g.setCell(2, 2, "2");
        g.setCell(1, 3, "6");
        g.setCell(2, 3, "1");
        g.setCell(2, 4, "3");
        g.setCell(0, 2, "Склад");
        g.setCell(0, 3, "Цех");
        g.setCell(2, 1, "Икс");
        session.inputWritten();
    }
    // Every row of the input grid within its counts, cell texts joined by "|".
    std::vector<std::string> rows() const {
        const StringGridModel& g = session.inputGrid();
        std::vector<std::string> result;
        for (int r = 0; r < g.rowCount(); ++r) {
            std::string line;
            for (int c = 0; c < g.colCount(); ++c)
                line += (c ? "|" : "") + g.cell(c, r);
            result.push_back(line);
        }
        return result;
    }
    struct Input {
        std::vector<std::string> rows;
        std::vector<int32_t> counts;
        std::string dataFileName;
        bool operator==(const Input&) const = default;
    };
    Input input() const {
        return {
            rows(), {problem.G, problem.E, problem.L, problem.N, problem.M}, problem.dataFileName};
    }

    const EditTexts kStartEdits{"0", "0", "2", "1", "1E-6"};
    // The start problem as the write command writes it, names in windows-1251.
    const std::string kStartData = "0 0 2 1 1E-6 \r\n2 \r\n1 \r\n3 \r\n4 6 \r\n";
    const std::string kStartConstraintNames = "\xD1\xEA\xEB\xE0\xE4\r\n\xD6\xE5\xF5\r\n";
    const std::string kStartUnknownNames = "\xC8\xEA\xF1\r\n";
    const std::vector<std::string> kStartRows{
        " Ограничения (ниже):|  B[i] | A[i,1] ", " Неизвестные --> ||Икс", "Склад|4|2", "Цех|6|1",
        " Коэффициенты целевой ф-ии||3",
    };
    ScratchDir dir;
    LpProblem problem;
    Session session{problem};
    Shown view;
};

class BadDataFile : public DataFileOpen, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(BadDataFile, ShowsExactlyItsMessageAndKeepsWhatItDidNotRead) {
    const OpenCase& c = GetParam();
    enterStart();
    ASSERT_EQ(rows(), kStartRows);
    switch (c.place) {
    case Place::File:
        writeFileBytes(path(), c.data);
        break;
    case Place::Folder:
        fs::create_directory(path());
        break;
    case Place::NoReadPermission:
        writeFileBytes(path(), c.data);
        fs::permissions(path(), fs::perms::owner_write);
        // Permission bits do not stop root, who runs the tests in CI: for root the file
        // system fails the same step on demand, with the same reason.
        if (::geteuid() == 0) failing_files::failNext(failing_files::Step::Open, path(), EACCES);
        break;
    }
    Input expected = input();
    const OpenResult r = session.openDataFile(path());

    std::vector<std::pair<Kind, std::string>> seen;
    bool failed = false;
    for (const auto& [kind, text] : c.seen) {
        seen.push_back({kind, expand(text, dir.path().string())});
        failed = failed || kind == Kind::Error || std::string(text) == "Файл не найден...";
    }
    // A bad number's message goes on with where it stands in the file; every failed open's
    // ends by saying that nothing changed.
    const std::string notRead = "\r\nФайл «p.dat» не прочитан: таблица и задача остались прежними";
    for (auto& [kind, text] : view.seen) {
        if (kind != Kind::Error) continue;
        EXPECT_TRUE(text.ends_with(notRead)) << text;
        text.resize(text.size() - std::min(text.size(), notRead.size()));
        if (text.starts_with("Invalid numeric input\r\nНеверное число в файле данных: строка "))
            text = "Invalid numeric input";
    }
    EXPECT_EQ(view.seen, seen);
    // An open that fails changes nothing at all; one that reads lays in the file.
    EXPECT_EQ(r.status == OpenStatus::Opened, !failed);
    if (!failed) {
        expected.dataFileName = "p.dat";
        EXPECT_EQ(r.shortFileNote, c.note ? c.note : "");
        EXPECT_TRUE(c.solveEnabled);
    }
    if (c.loaded && !failed) {
        expected.rows = c.loaded->rows;
        const auto& e = c.loaded->edits;
        ASSERT_TRUE(r.edits.has_value());
        EXPECT_EQ((std::vector<std::string>{r.edits->G, r.edits->E, r.edits->L, r.edits->N,
                                            r.edits->eps}),
                  e);
        const int32_t G = std::stoi(e[0]), E = std::stoi(e[1]), L = std::stoi(e[2]),
                      N = std::stoi(e[3]);
        expected.counts = {G, E, L, N, G + E + L};
    } else {
        EXPECT_FALSE(r.edits.has_value());
    }
    EXPECT_EQ(input(), expected);
}

// Random bytes, the same on every platform.
std::string randomBytes(size_t count) {
    std::mt19937 engine(2009);
    std::string bytes(count, '\0');
    for (char& b : bytes)
        b = static_cast<char>(engine() & 0xFF);
    return bytes;
}

// 1234567890 twenty times.
std::string twoHundredDigits() {
    std::string digits;
    for (int k = 0; k < 20; ++k)
        digits += "1234567890";
    return digits;
}

const char* const kInvalid = "Invalid numeric input";
const char* const kNoConstraintNames1 =
    "Полезно создать текстовый файл {dir}/p.ogran c именами ресурсов (1строк";
const char* const kNoUnknownNames1 =
    "Полезно создать текстовый файл {dir}/p.neizv c именами неизвестных (1строк";
const std::vector<std::string> kEditsOf11 = {"0", "0", "1", "1", "1E-8"};

// The grid of a file of one "<=" row and one unknown that reads to its end.
std::vector<std::string> openedOneByOne(const char* b, const char* a, const char* c) {
    // Cell (1, 3), the objective row's, is emptied: the start problem's B[2] stood there.
    return {" Ограничения (ниже):|  B[i] | A[i,1] ", " Неизвестные --> || Не заполн",
            " Не заполнено|"s + b + "|" + a, " Целевая функция: ||"s + c};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadDataFile,
    ::testing::Values(
        // A file that ends early reads zeros for what is missing, and says how many in the
        // status bar.
        OpenCase{"Empty",
                 Place::File,
                 "",
                 // Refused before anything changes: it used to load a problem of no rows.
                 {{Kind::Error, "Файл данных пуст: в нем нет ни одного числа"}}},
        OpenCase{"CutInsideTheHeader",
                 Place::File,
                 "0 0 1",
                 {{Kind::Message, kNoConstraintNames1},
                  {Kind::Message,
                   "Полезно создать текстовый файл {dir}/p.neizv c именами неизвестных (0строк"}},
                 Loaded{{"0", "0", "1", "0", "0"},
                        {" Ограничения (ниже):|  B[i] ", " Неизвестные --> |", " Не заполнено|0",
                         " Целевая функция: |"}},
                 true,
                 "Файл закончился раньше: 3 чисел прочитаны как 0"},
        OpenCase{"CutAfterTheFirstCoefficient",
                 Place::File,
                 "0 0 1 1 1E-8\r\n5",
                 {{Kind::Message, kNoConstraintNames1}, {Kind::Message, kNoUnknownNames1}},
                 Loaded{kEditsOf11, openedOneByOne("0", "5", "0")},
                 true,
                 "Файл закончился раньше: 2 чисел прочитаны как 0"},
        OpenCase{"CutInsideANumber", Place::File, "0 0 1 1 1E-8\r\n5 -", {{Kind::Error, kInvalid}}},
        OpenCase{"RandomBytes", Place::File, randomBytes(4096), {{Kind::Error, kInvalid}}},
        OpenCase{"PngImage",
                 Place::File,
                 "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0"s,
                 {{Kind::Error, kInvalid}}},
        // An editor's byte-order mark is skipped.
        OpenCase{"Utf8ByteOrderMarkBeforeTheNumbers",
                 Place::File,
                 "\xEF\xBB\xBF"
                 "0 0 1 1 1E-8\r\n5 3 7\r\n",
                 {{Kind::Message, kNoConstraintNames1}, {Kind::Message, kNoUnknownNames1}},
                 Loaded{kEditsOf11, openedOneByOne("7", "5", "3")}},
        // A control character ends a number, and the next number then begins with it.
        OpenCase{"NulInsideACount",
                 Place::File,
                 "0 0 1\0"
                 "1 1 1E-8\r\n5 3 7\r\n"s,
                 {{Kind::Error, kInvalid}}},
        OpenCase{"NulInsideACoefficient",
                 Place::File,
                 "0 0 1 1 1E-8\r\n9\0"
                 "5 3 7\r\n"s,
                 {{Kind::Error, kInvalid}}},
        OpenCase{"CountOf200Digits",
                 Place::File,
                 "0 0 " + twoHundredDigits() + " 1 1E-8\r\n5 3 7\r\n",
                 {{Kind::Error, kInvalid}}},
        // A real is at most 64 characters: 200 digits are refused, not read as three numbers
        // and the start of a fourth, which shifted every number after them.
        OpenCase{"CoefficientOf200Digits",
                 Place::File,
                 "0 0 1 1 1E-8\r\n" + twoHundredDigits() + "\r\n",
                 {{Kind::Error, kInvalid}}},
        OpenCase{"ToleranceBeyondTheExtendedRange",
                 Place::File,
                 "0 0 1 1 1e99999\r\n5 3 7\r\n",
                 {{Kind::Error, kInvalid}}},
        OpenCase{"CoefficientBeyondTheExtendedRange",
                 Place::File,
                 "0 0 1 1 1E-8\r\n1e99999 3 7\r\n",
                 {{Kind::Error, kInvalid}}},
        OpenCase{"ToleranceBelowTheExtendedRangeIsZero",
                 Place::File,
                 "0 0 1 1 1e-99999\r\n5 3 7\r\n",
                 {{Kind::Message, kNoConstraintNames1}, {Kind::Message, kNoUnknownNames1}},
                 Loaded{{"0", "0", "1", "1", "0"}, openedOneByOne("7", "5", "3")}},
        OpenCase{
            "NanTolerance", Place::File, "0 0 1 1 NaN\r\n5 3 7\r\n", {{Kind::Error, kInvalid}}},
        OpenCase{"NanCoefficient",
                 Place::File,
                 "0 0 1 1 1E-8\r\nnan 3 7\r\n",
                 {{Kind::Error, kInvalid}}},
        OpenCase{"InfiniteObjectiveCoefficient",
                 Place::File,
                 "0 0 1 1 1E-8\r\n5 inf 7\r\n",
                 {{Kind::Error, kInvalid}}},
        OpenCase{"MinusInfiniteRightHandSide",
                 Place::File,
                 "0 0 1 1 1E-8\r\n5 -3 -INF\r\n",
                 {{Kind::Error, kInvalid}}},
        OpenCase{
            "LargestHexCount",
            Place::File,
            "$7FFFFFFF 0 0 1 1E-8\r\n",
            {{Kind::Error, "Ошибка: задача слишком велика для этого компьютера\r\n(ограничений "
                           "2147483647, неизвестных 1; можно не более 8000 ограничений, 1000000 "
                           "неизвестных и 20000000 коэффициентов)"}}},
        OpenCase{
            "FourLargestHexCounts",
            Place::File,
            "$7FFFFFFF $7FFFFFFF $7FFFFFFF $7FFFFFFF 1E-8\r\n",
            {{Kind::Error, "Ошибка: задача слишком велика для этого компьютера\r\n(ограничений "
                           "6442450941, неизвестных 2147483647; можно не более 8000 ограничений, "
                           "1000000 неизвестных и 20000000 коэффициентов)"}}},
        // Written right, only too large: refused as too large, not as badly written.
        OpenCase{
            "HexCountBeyond32Bits",
            Place::File,
            "$80000000 0 0 1 1E-8\r\n",
            {{Kind::Error,
              "Ошибка: задача слишком велика для этого компьютера\r\n(ограничений "
              "2147483648, неизвестных 1"
              "; можно не более 8000 ограничений, 1000000 неизвестных и 20000000 коэффициентов)"}}},
        OpenCase{"MostNegativeCount",
                 Place::File,
                 "-$80000000 0 0 1 1E-8\r\n",
                 {{Kind::Error, "Ошибка: отрицательное число ограничений или неизвестных в файле "
                                "данных\r\n(G = -2147483648, E = 0, L = 0, N = 1)"}}},
        OpenCase{
            "CountsWhoseProductPasses32Bits",
            Place::File,
            "0 0 70000 70000 1E-8\r\n",
            {{Kind::Error, "Ошибка: задача слишком велика для этого компьютера\r\n(ограничений "
                           "70000, неизвестных 70000; можно не более 8000 ограничений, 1000000 "
                           "неизвестных и 20000000 коэффициентов)"}}},
        // 8000 x 536871 is 704 in 32 bits.
        OpenCase{
            "CountsWhoseProductWrapsToASmallNumber",
            Place::File,
            "0 0 8000 536871 1E-8\r\n",
            {{Kind::Error, "Ошибка: задача слишком велика для этого компьютера\r\n(ограничений "
                           "8000, неизвестных 536871; можно не более 8000 ограничений, 1000000 "
                           "неизвестных и 20000000 коэффициентов)"}}},
        // A folder is not a data file; the Solve button stays as it was.
        OpenCase{"Folder",
                 Place::Folder,
                 "",
                 {{Kind::Message, "Файл не найден..."}},
                 std::nullopt,
                 false},
        OpenCase{"NoReadPermission",
                 Place::NoReadPermission,
                 "0 0 1 1 1E-8\r\n5 3 7\r\n",
                 {{Kind::Error, "Cannot open file \"{dir}/p.dat\". {EACCES}"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A file that opens but does not read, whoever runs the program: the process's own memory
// from address 0.
TEST_F(DataFileOpen, ThatFailsToReadIsReportedAndChangesNothing) {
    enterStart();
    const Input expected = input();
    const OpenResult r = session.openDataFile("/proc/self/mem");
    EXPECT_EQ(view.seen,
              (std::vector<std::pair<Kind, std::string>>{
                  {Kind::Error, expand("Cannot read file \"/proc/self/mem\". {EIO}", "") +
                                    "\r\nФайл «mem» не прочитан: таблица и задача "
                                    "остались прежними"}}));
    EXPECT_NE(r.status, OpenStatus::Opened);
    EXPECT_FALSE(r.edits.has_value());
    EXPECT_EQ(input(), expected);
}

// --- name files of extreme size -------------------------------------------------------------

std::string numberedLines(const char* prefix, int count) {
    std::string bytes;
    for (int k = 1; k <= count; ++k)
        bytes += prefix + std::to_string(k) + "\r\n";
    return bytes;
}

constexpr int kMebibyte = 1 << 20;

std::string repeated(const std::string& utf8, int count) {
    std::string s;
    for (int k = 0; k < count; ++k)
        s += utf8;
    return s;
}

struct NameFilesCase {
    const char* name;
    std::string ogran, neizv;
    std::vector<std::string> column0; // rows 2..4 (M = 2)
    std::string unknown;              // cell (2, 1) (N = 1)
    std::string objective;
};

void PrintTo(const NameFilesCase& c, std::ostream* os) {
    *os << c.name;
}

class HugeNameFiles : public DataFileOpen, public ::testing::WithParamInterface<NameFilesCase> {};

TEST_P(HugeNameFiles, AreReadAsFarAsTheProblemNeedsThem) {
    const NameFilesCase& c = GetParam();
    enterStart();
    writeFileBytes(path(), "0 0 2 1 1E-8\r\n1 1 1 5 6\r\n");
    writeFileBytes(dir.file("p.ogran"), c.ogran);
    writeFileBytes(dir.file("p.neizv"), c.neizv);
    const auto start = std::chrono::steady_clock::now();
    session.openDataFile(path());
    // Far more than a reading in one pass takes even under the sanitizers.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(view.seen.empty());
    const StringGridModel& g = session.inputGrid();
    std::vector<std::string> column0;
    for (int r = 2; r <= 4; ++r)
        column0.push_back(g.cell(0, r));
    EXPECT_EQ(column0, c.column0);
    EXPECT_EQ(g.cell(2, 1), c.unknown);
    EXPECT_EQ(session.results().objectiveName, c.objective);
    // The numbers were read all the same.
    EXPECT_EQ(rows().at(2), " r1|5|1");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HugeNameFiles,
    ::testing::Values(NameFilesCase{"HundredThousandLines",
                                    numberedLines("r", 100000),
                                    numberedLines("u", 100000),
                                    {" r1", " r2", " r3"},
                                    " u1",
                                    ""},
                      // One mebibyte of "я" in windows-1251, then two short lines: M+1 lines name
                      // the objective. The unknown's name is one mebibyte without a line end.
                      NameFilesCase{"LineOfOneMebibyte",
                                    "r1\r\n" + std::string(kMebibyte, '\xFF') +
                                        "\r\n\xE4\xEE\xF5\xEE\xE4\r\n",
                                    std::string(kMebibyte, 'x'),
                                    {" r1", " " + repeated("я", kMebibyte), " доход"},
                                    " " + std::string(kMebibyte, 'x'),
                                    "доход"}),
    [](const auto& info) { return std::string(info.param.name); });

// Something that is not a file where a name file belongs: reading it would wait for a
// writer or never end.
struct SpecialNameFileCase {
    const char* name;
    const char *ogran, *neizv; // "fifo", "zero" (a link to /dev/zero) or "" (none)
    const char* error;
};

void PrintTo(const SpecialNameFileCase& c, std::ostream* os) {
    *os << c.name;
}

// A reader that waits on a pipe is let go after a while (the pipe is opened for writing and
// closed again), so that a command that waits for the pipe fails its test instead of holding
// it.
class PipeReleaser {
public:
    explicit PipeReleaser(std::string path)
        : m_thread([this, path = std::move(path)] {
              for (int k = 0; k < 200 && !m_done; ++k) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(25));
                  // Opened only while a reader waits; then the reader sees the end of the pipe.
                  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      ::close(fd);
                      return;
                  }
              }
          }) {}
    ~PipeReleaser() {
        m_done = true;
        m_thread.join();
    }
    PipeReleaser(const PipeReleaser&) = delete;
    PipeReleaser& operator=(const PipeReleaser&) = delete;

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

class SpecialNameFile : public DataFileOpen,
                        public ::testing::WithParamInterface<SpecialNameFileCase> {};

TEST_P(SpecialNameFile, EndsTheOpenWithTheErrorReport) {
    const SpecialNameFileCase& c = GetParam();
    enterStart();
    writeFileBytes(path(), "0 0 1 1 1E-8\r\n5 3 7\r\n");
    for (const auto& [name, kind] : {std::pair{"p.ogran", c.ogran}, {"p.neizv", c.neizv}}) {
        if (kind == "fifo"s) {
            ASSERT_EQ(::mkfifo(dir.file(name).c_str(), 0600), 0) << name;
        } else if (kind == "zero"s) {
            fs::create_symlink("/dev/zero", dir.file(name));
        } else {
            writeFileBytes(dir.file(name), "n\r\n");
        }
    }
    std::optional<PipeReleaser> release;
    if (c.ogran == "fifo"s) release.emplace(dir.file("p.ogran"));
    const OpenResult r = session.openDataFile(path());
    release.reset();
    EXPECT_EQ(view.seen, (std::vector<std::pair<Kind, std::string>>{
                             {Kind::Error, expand(c.error, dir.path().string()) +
                                               "\r\nФайл «p.dat» не прочитан: таблица и "
                                               "задача остались прежними"}}));
    // A name file that failed makes the open a failed one: nothing of the file is in.
    EXPECT_EQ(rows(), kStartRows);
    EXPECT_NE(r.status, OpenStatus::Opened);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpecialNameFile,
    ::testing::Values(SpecialNameFileCase{"ConstraintNamesFromAPipe", "fifo", "",
                                          "Cannot open file \"{dir}/p.ogran\". Not a regular file"},
                      SpecialNameFileCase{
                          "UnknownNamesFromAnEndlessDevice", "", "zero",
                          "Cannot open file \"{dir}/p.neizv\". Not a regular file"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- targets that cannot be written ---------------------------------------------------------

const char* const kOldData = "old data";
const char* const kOldNames = "old names";
const char* const kOldUnknowns = "old unknowns";

enum class Blocker {
    None,
    DataIsAFolder,
    NamesIsAFolder,
    UnknownsIsAFolder,
    ReadOnlyData, // binds only users other than root
};

struct WriteCase {
    const char* name;
    const char* target; // relative: in the test's folder
    Blocker blocker;
    const char* error;
    // "p.dat", "p.ogran" and "p.neizv" afterwards: "new" for what the command writes,
    // otherwise the bytes, "<folder>" or "<missing>".
    std::vector<std::string> after;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class UnwritableTarget : public DataFileOpen, public ::testing::WithParamInterface<WriteCase> {};

// The write command: the input's contents, written where the user chose.
TEST_P(UnwritableTarget, IsReportedAndNoFileIsReplaced) {
    const WriteCase& c = GetParam();
    enterStart();
    // Files of an earlier problem lie where the command writes, except where one is blocked.
    const std::pair<const char*, const char*> old[] = {
        {"p.dat", kOldData}, {"p.ogran", kOldNames}, {"p.neizv", kOldUnknowns}};
    const Blocker folders[] = {Blocker::DataIsAFolder, Blocker::NamesIsAFolder,
                               Blocker::UnknownsIsAFolder};
    for (int k = 0; k < 3; ++k) {
        if (c.blocker == folders[k])
            fs::create_directory(dir.file(old[k].first));
        else
            writeFileBytes(dir.file(old[k].first), old[k].second);
    }
    if (c.blocker == Blocker::ReadOnlyData) {
        fs::permissions(path(), fs::perms::owner_read);
        if (::geteuid() == 0) failing_files::failNext(failing_files::Step::Open, path(), EACCES);
    }
    const std::string target = c.target[0] == '/' ? c.target : dir.file(c.target);
    const Input before = input();

    const datafile::DataFileContents written = session.inputContents(kStartEdits);
    ASSERT_EQ(written.error, "");
    EXPECT_EQ(errorOf([&] { datafile::writeDataFiles(target, written); }),
              expand(c.error, dir.path().string()));
    EXPECT_TRUE(view.seen.empty());
    const std::string ours[] = {kStartData, kStartConstraintNames, kStartUnknownNames};
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(contents(old[k].first), c.after[k] == "new" ? ours[k] : c.after[k])
            << old[k].first;
    EXPECT_EQ(input(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnwritableTarget,
    ::testing::Values(
        WriteCase{"MissingFolder",
                  "missing/p.dat",
                  Blocker::None,
                  "Cannot create file \"{dir}/missing/p.dat\". {ENOENT}",
                  {kOldData, kOldNames, kOldUnknowns}},
        WriteCase{"DataFileIsAFolder",
                  "p.dat",
                  Blocker::DataIsAFolder,
                  "Cannot create file \"{dir}/p.dat\". {EISDIR}",
                  {"<folder>", kOldNames, kOldUnknowns}},
        WriteCase{"ConstraintNamesFileIsAFolder",
                  "p.dat",
                  Blocker::NamesIsAFolder,
                  "Cannot create file \"{dir}/p.ogran\". {EISDIR}",
                  {kOldData, "<folder>", kOldUnknowns}},
        WriteCase{"UnknownNamesFileIsAFolder",
                  "p.dat",
                  Blocker::UnknownsIsAFolder,
                  "Cannot create file \"{dir}/p.neizv\". {EISDIR}",
                  {kOldData, kOldNames, "<folder>"}},
        WriteCase{"ReadOnlyDataFile",
                  "p.dat",
                  Blocker::ReadOnlyData,
                  "Cannot create file \"{dir}/p.dat\". {EACCES}",
                  {kOldData, kOldNames, kOldUnknowns}},
        // Created, but every byte written to it fails: the failure is not taken for success.
        WriteCase{"DeviceThatIsAlwaysFull",
                  "/dev/full",
                  Blocker::None,
                  "Cannot write file \"/dev/full\". {ENOSPC}",
                  {kOldData, kOldNames, kOldUnknowns}}),
    [](const auto& info) { return std::string(info.param.name); });

struct HugeCountCase {
    const char* name;
    const char *G, *N;
    const char* message;
};

void PrintTo(const HugeCountCase& c, std::ostream* os) {
    *os << c.name;
}

class HugeCountsInTheEdits : public DataFileOpen,
                             public ::testing::WithParamInterface<HugeCountCase> {};

// The counts are taken as typed; the first cell they call for beyond the grid is empty and
// stops the command at once, however many rows or columns they name.
TEST_P(HugeCountsInTheEdits, StopTheWriteAtTheFirstEmptyCell) {
    const HugeCountCase& c = GetParam();
    enterStart();
    EditTexts edits = kStartEdits;
    edits.G = c.G;
    edits.N = c.N;
    const Input before = input();
    const auto start = std::chrono::steady_clock::now();
    const datafile::DataFileContents written = session.inputContents(edits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(written.error, c.message);
    EXPECT_EQ(input(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HugeCountsInTheEdits,
    ::testing::Values(
        // Rows without unknowns hold no coefficient: the right-hand side beyond the grid is
        // the first empty cell.
        HugeCountCase{"LargestCountOfRowsWithoutUnknowns", "$7FFFFFFF", "0",
                      "Ошибка: Вектор В[3] ><"},
        HugeCountCase{"LargestCountOfRows", "$7FFFFFFF", "1", "Ошибка: Матрица А[4,1] ><"},
        HugeCountCase{"LargestCountOfUnknowns", "0", "$7FFFFFFF", "Ошибка: Матрица А[1,2] ><"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFileOpen, NoNameFileIsWrittenBesideADeviceThatFailed) {
    enterStart();
    const datafile::DataFileContents written = session.inputContents(kStartEdits);
    EXPECT_NE(errorOf([&] { datafile::writeDataFiles("/dev/full", written); }), "<none>");
    std::error_code ec;
    const bool names = fs::exists("/dev/full.ogran", ec);
    const bool unknowns = fs::exists("/dev/full.neizv", ec);
    // Root may write into /dev: leave nothing behind if the command did.
    fs::remove("/dev/full.ogran", ec);
    fs::remove("/dev/full.neizv", ec);
    EXPECT_FALSE(names);
    EXPECT_FALSE(unknowns);
}

// --- the trace log --------------------------------------------------------------------------

// Runs the test in its folder, where the trace log goes ("Kvaq.log", named so in its errors).
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : m_old(fs::current_path()) {
        fs::current_path(folder);
    }
    ~InFolder() { fs::current_path(m_old); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path m_old;
};

enum class LogBlocker {
    LogIsAFolder,
    LogLeadsToAFullDevice,
    FolderWithoutWritePermission, // binds only users other than root
};

struct LogCase {
    const char* name;
    LogBlocker blocker;
    const char* error;
};

void PrintTo(const LogCase& c, std::ostream* os) {
    *os << c.name;
}

class UnwritableTraceLog : public DataFileOpen, public ::testing::WithParamInterface<LogCase> {};

TEST_P(UnwritableTraceLog, StopsTheSolveWithTheErrorReport) {
    const LogCase& c = GetParam();
    enterStart();
    const InFolder here(dir.path());
    switch (c.blocker) {
    case LogBlocker::LogIsAFolder:
        fs::create_directory("Kvaq.log");
        break;
    case LogBlocker::LogLeadsToAFullDevice:
        fs::create_symlink("/dev/full", "Kvaq.log");
        break;
    case LogBlocker::FolderWithoutWritePermission:
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        if (::geteuid() == 0)
            failing_files::failNext(failing_files::Step::Open, "Kvaq.log", EACCES);
        break;
    }
    const Input before = input();

    const std::string error = errorOf([&] { session.solveInput(kStartEdits); });

    // The input stays as typed.
    EXPECT_EQ(error, expand(c.error, dir.path().string()));
    EXPECT_TRUE(view.seen.empty());
    EXPECT_EQ(input(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnwritableTraceLog,
    ::testing::Values(LogCase{"LogIsAFolder", LogBlocker::LogIsAFolder,
                              "I/O error: cannot create \"Kvaq.log\". {EISDIR}"},
                      LogCase{"LogLeadsToAFullDevice", LogBlocker::LogLeadsToAFullDevice,
                              "I/O error: cannot write \"Kvaq.log\". {ENOSPC}"},
                      LogCase{"FolderWithoutWritePermission",
                              LogBlocker::FolderWithoutWritePermission,
                              "I/O error: cannot create \"Kvaq.log\". {EACCES}"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the generator --------------------------------------------------------------------------

enum class GenBlocker {
    DataIsAFolder,
    DataLeadsToAFullDevice,
    UnknownsIsAFolder,
    FolderWithoutWritePermission, // binds only users other than root
};

struct GeneratorCase {
    const char* name;
    GenBlocker blocker;
    const char* error;
    // "BigData.dat", "BigData.ogran" and "BigData.neizv" afterwards: the number of lines
    // written by this press, or -1 for the earlier file that is still there, -2 for a folder,
    // -3 for no file, -4 for the link to the device.
    std::vector<int> after;
};

void PrintTo(const GeneratorCase& c, std::ostream* os) {
    *os << c.name;
}

class UnwritableGeneratorOutput : public DataFileOpen,
                                  public ::testing::WithParamInterface<GeneratorCase> {};

// A press of «Генерировать» with the window's start texts, as the window makes it: the three
// files built, then written into the current folder.
TEST_P(UnwritableGeneratorOutput, ReplacesNoFileWhenOneFails) {
    const GeneratorCase& c = GetParam();
    const InFolder here(dir.path());
    const char* const names[] = {"BigData.dat", "BigData.ogran", "BigData.neizv"};
    const std::string old[] = {kOldData, kOldNames, kOldUnknowns};
    // An earlier press's files lie there, except where one is blocked; a folder that cannot
    // be written to holds none.
    for (int k = 0; k < 3; ++k) {
        if ((c.blocker == GenBlocker::DataIsAFolder && k == 0) ||
            (c.blocker == GenBlocker::UnknownsIsAFolder && k == 2))
            fs::create_directory(names[k]);
        else if (c.blocker == GenBlocker::DataLeadsToAFullDevice && k == 0)
            fs::create_symlink("/dev/full", names[k]);
        else if (c.blocker != GenBlocker::FolderWithoutWritePermission)
            writeFileBytes(names[k], old[k]);
    }
    if (c.blocker == GenBlocker::FolderWithoutWritePermission) {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        if (::geteuid() == 0)
            failing_files::failNext(failing_files::Step::Open, "BigData.dat", EACCES);
    }
    const auto in = datafile::parseGeneratorInput("10", "10", "1E-5", '.');
    ASSERT_TRUE(in.has_value());

    const std::string error = errorOf([&] {
        datafile::writeGeneratedFiles(datafile::generateProblem(*in, "10", "10", "1E-5", 7));
    });

    EXPECT_EQ(error, expand(c.error, dir.path().string()));
    fs::permissions(dir.path(), fs::perms::owner_all);
    for (int k = 0; k < 3; ++k) {
        switch (c.after[static_cast<size_t>(k)]) {
        case -1:
            EXPECT_EQ(contents(names[k]), old[k]) << names[k];
            break;
        case -2:
            EXPECT_EQ(contents(names[k]), "<folder>") << names[k];
            break;
        case -3:
            EXPECT_EQ(contents(names[k]), "<missing>") << names[k];
            break;
        case -4:
            EXPECT_EQ(contents(names[k]), "<link>") << names[k];
            break;
        default: {
            const std::string bytes = contents(names[k]);
            const auto lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
            EXPECT_EQ(lines, c.after[static_cast<size_t>(k)]) << names[k];
        }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnwritableGeneratorOutput,
    ::testing::Values(GeneratorCase{"DataFileIsAFolder",
                                    GenBlocker::DataIsAFolder,
                                    "Cannot create file \"BigData.dat\". {EISDIR}",
                                    {-2, -1, -1}},
                      GeneratorCase{"DataFileLeadsToAFullDevice",
                                    GenBlocker::DataLeadsToAFullDevice,
                                    "Cannot write file \"BigData.dat\". {ENOSPC}",
                                    {-4, -1, -1}},
                      // The three files are one save: none is replaced.
                      GeneratorCase{"UnknownNamesFileIsAFolder",
                                    GenBlocker::UnknownsIsAFolder,
                                    "Cannot create file \"BigData.neizv\". {EISDIR}",
                                    {-1, -1, -2}},
                      GeneratorCase{"FolderWithoutWritePermission",
                                    GenBlocker::FolderWithoutWritePermission,
                                    "Cannot create file \"BigData.dat\". {EACCES}",
                                    {-3, -3, -3}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
