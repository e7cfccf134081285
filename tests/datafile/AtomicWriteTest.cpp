// No write destroys the file it replaces: every step of a save fails in turn (through the
// failing file system of base/FileIo, so the rows run as root too) and the old files must stay
// byte for byte, with no temporary file left beside them.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <sys/stat.h>

#include "../solver/TestSupport.h"
#include "base/FileIo.h"
#include "datafile/DataFileWriter.h"
#include "datafile/Generator.h"
#include "solver/Simplex.h"
#include "solver/TraceLog.h"

using namespace kvado;
using namespace kvado::test;
using Step = kvado::failing_files::Step;

namespace {

struct Failure {
    const char* name;
    Step step;
    const char* file; // of p.dat, p.ogran, p.neizv
    int error;
    const char* message; // {dir} for the folder
};

std::set<std::string> entries(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

std::string expand(std::string s, const std::string& dir) {
    const auto at = s.find("{dir}");
    if (at != std::string::npos) s.replace(at, 5, dir);
    return s;
}

class FailedSave : public ::testing::TestWithParam<Failure> {
protected:
    void TearDown() override { failing_files::clear(); }
};

TEST_P(FailedSave, LeavesEveryOldFileAsItWas) {
    const Failure& f = GetParam();
    TempDir dir;
    const char* names[] = {"p.dat", "p.ogran", "p.neizv"};
    for (const char* n : names)
        writeBytes(dir.file(n), std::string("old ") + n + "\r\n");
    datafile::DataFileContents c;
    c.data = "0 0 1 1 1E-8 \r\n1 \r\n1 \r\n5 \r\n";
    c.constraintNames = {"Сталь"};
    c.unknownNames = {"Стулья"};
    failing_files::failNext(f.step, dir.file(f.file), f.error);
    try {
        datafile::writeDataFiles(dir.file("p.dat"), c);
        ADD_FAILURE() << "the save did not fail";
    } catch (const FileError& e) {
        EXPECT_EQ(e.what(), expand(f.message, dir.path()) + std::strerror(f.error));
    }
    for (const char* n : names)
        EXPECT_EQ(readBytes(dir.file(n)), std::string("old ") + n + "\r\n") << n;
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"p.dat", "p.neizv", "p.ogran"}));
    // The same save once the disk is well again replaces all three.
    datafile::writeDataFiles(dir.file("p.dat"), c);
    EXPECT_EQ(readBytes(dir.file("p.dat")), c.data);
    EXPECT_EQ(readBytes(dir.file("p.neizv")), "\xD1\xF2\xF3\xEB\xFC\xFF\r\n");
    EXPECT_EQ(entries(dir.path()).size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Rows, FailedSave,
                         ::testing::Values(Failure{"FolderNotWritable", Step::Open, "p.dat", EACCES,
                                                   "Cannot create file \"{dir}/p.dat\". "},
                                           Failure{"DiskFullInTheData", Step::Write, "p.dat",
                                                   ENOSPC, "Cannot write file \"{dir}/p.dat\". "},
                                           Failure{"DiskFullAtTheSync", Step::Sync, "p.dat", EIO,
                                                   "Cannot write file \"{dir}/p.dat\". "},
                                           Failure{"NamesNotCreated", Step::Open, "p.ogran", EACCES,
                                                   "Cannot create file \"{dir}/p.ogran\". "},
                                           Failure{"UnknownsDiskFull", Step::Write, "p.neizv",
                                                   ENOSPC, "Cannot write file \"{dir}/p.neizv\". "},
                                           // The data file is already replaced when the second
                                           // rename fails: it gets its old bytes back.
                                           Failure{"SecondRenameRefused", Step::Rename, "p.ogran",
                                                   EBUSY, "Cannot write file \"{dir}/p.ogran\". "},
                                           Failure{"LastRenameRefused", Step::Rename, "p.neizv",
                                                   EROFS, "Cannot write file \"{dir}/p.neizv\". "}),
                         [](const auto& info) { return std::string(info.param.name); });

// A save that creates the files: a failure at the last one leaves none of the three.
TEST(FailedSave, CreatesNothingWhenOneFails) {
    TempDir dir;
    failing_files::failNext(Step::Rename, dir.file("BigData.neizv"), ENOSPC);
    const datafile::GeneratedFiles files{"0 0 1 1 1E-5\r\n1 \r\n-1 \r\n100 \r\n", "R\r\n", "X\r\n"};
    EXPECT_THROW(datafile::writeGeneratedFiles(files, dir.path()), FileError);
    EXPECT_TRUE(entries(dir.path()).empty());
    failing_files::clear();
}

// The new file keeps the old one's permissions and a symbolic link stays a link.
TEST(ReplacedFile, KeepsPermissionsAndLinks) {
    TempDir dir;
    writeBytes(dir.file("a.rtf"), "old");
    ::chmod(dir.file("a.rtf").c_str(), 0640);
    std::filesystem::create_symlink("a.rtf", dir.file("link.rtf"));
    writeFileBytes(dir.file("link.rtf"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.rtf")));
    EXPECT_EQ(readBytes(dir.file("a.rtf")), "new");
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("a.rtf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The trace log replaces the old one only when the solve closes it: a solve whose log fails
// leaves the previous log whole.
TEST(TraceLogFile, FailedSolveKeepsThePreviousLog) {
    TempDir dir;
    writeBytes(dir.file("Kvaq.log"), "previous solve\r\n");
    ProblemData d;
    d.L = 1;
    d.N = 1;
    d.A = {{1}};
    d.C = {-1};
    d.B = {4};
    for (Step step : {Step::Write, Step::Sync, Step::Rename}) {
        LpProblem p;
        load(d, p);
        TraceLog log(dir.path());
        RecordingHost host;
        failing_files::failNext(step, dir.file("Kvaq.log"), ENOSPC);
        EXPECT_THROW(kvado::solve(p, log, host), FileError);
        EXPECT_EQ(readBytes(dir.file("Kvaq.log")), "previous solve\r\n");
        EXPECT_EQ(entries(dir.path()).size(), 1u);
    }
    LpProblem p;
    load(d, p);
    TraceLog log(dir.path());
    RecordingHost host;
    EXPECT_EQ(kvado::solve(p, log, host), SolveOutcome::Optimal);
    EXPECT_NE(readBytes(dir.file("Kvaq.log")), "previous solve\r\n");
}

} // namespace
