// Bad input to the commands that read and write files, as the windows show it: the write
// command's start problem, a trace log that cannot be written, and the generator's targets
// that cannot be written. The session's own tables (tests/session/BadInputTest.cpp) hold the
// broken, hostile and oversized files; here each row states exactly what the user sees (the
// message or the error report) and checks that nothing in the window or on disk is lost.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>

#include "UiTestSupport.h"
#include "base/FileIo.h"

namespace kvado::ui::test {
namespace {

using namespace std::string_literals;

// The system's reason for an error number, in the language of the process's locale.
QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// An expected text: "{dir}" stands for the test's folder and "{EACCES}", "{EIO}", "{EISDIR}",
// "{ENOENT}" and "{ENOSPC}" for the system's reasons.
QString expand(const char* utf8, const QString& dir) {
    QString s = u(utf8);
    s.replace(QStringLiteral("{dir}"), dir);
    for (const auto& [name, error] : {std::pair{"{EACCES}", EACCES},
                                      {"{EIO}", EIO},
                                      {"{EISDIR}", EISDIR},
                                      {"{ENOENT}", ENOENT},
                                      {"{ENOSPC}", ENOSPC}})
        s.replace(QLatin1String(name), reason(error));
    return s;
}

// Permission bits do not stop root, who runs the tests in CI: for root the file system fails
// the same step on demand instead (base/FileIo's test hook), with the same reason.
bool permissionsBindUs() {
    return ::geteuid() != 0;
}

struct RefusedAsRoot {
    RefusedAsRoot(kvado::failing_files::Step step, const QString& path) {
        if (!permissionsBindUs()) kvado::failing_files::failNext(step, path.toStdString(), EACCES);
    }
    ~RefusedAsRoot() { kvado::failing_files::clear(); }
    RefusedAsRoot(const RefusedAsRoot&) = delete;
    RefusedAsRoot& operator=(const RefusedAsRoot&) = delete;
};

// Gives a folder its permissions back before its temporary directory is removed.
class PermissionsRestorer {
public:
    explicit PermissionsRestorer(QString path) : m_path(std::move(path)) {}
    ~PermissionsRestorer() {
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    PermissionsRestorer(const PermissionsRestorer&) = delete;
    PermissionsRestorer& operator=(const PermissionsRestorer&) = delete;

private:
    QString m_path;
};

class BadInput : public MainWindowFixture {
protected:
    QString dir() const { return folder.dir(); }
    QString path(const char* name) const { return folder.path(u(name)); }

    void put(const char* name, const std::string& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
        ASSERT_EQ(f.write(bytes.data(), static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }
    // A file's bytes, "<folder>" for a folder, "<link>" for a symbolic link, "<missing>" when
    // nothing is there.
    std::string contents(const char* name) const {
        const QFileInfo info(path(name));
        if (info.isSymLink()) return "<link>";
        if (info.isDir()) return "<folder>";
        QFile f(path(name));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }
    void makeFolder(const char* name) { ASSERT_TRUE(QDir(dir()).mkdir(u(name))) << name; }
    void linkToFullDevice(const char* name) {
        ASSERT_TRUE(QFileInfo::exists(QStringLiteral("/dev/full")));
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), path(name))) << name;
    }

    // The problem in the window before each command: minimise 3·X1 subject to 2·X1 <= 4 and
    // X1 <= 6, with names, after a solve (Solve disabled).
    void enterStart() {
        enterProblem("0", "0", "2", "1", {{"4", "2"}, {"6", "1"}, {"3"}});
        type(0, 2, "Склад");
        type(0, 3, "Цех");
        type(2, 1, "Икс");
        form->edEps->setText(u("1E-6"));
        form->btnSolve->setEnabled(false);
        // As if written: what these tests look at comes after, not the question before an
        // open replaces typed work.
        form->session().inputWritten();
        toolkit.clear();
    }
    const std::vector<std::string> kStartRows{
        " Ограничения (ниже):|  B[i] | A[i,1] ", " Неизвестные --> ||Икс", "Склад|4|2", "Цех|6|1",
        " Коэффициенты целевой ф-ии||3",
    };
    // The start problem as the write command writes it, names in windows-1251.
    const std::string kStartData = "0 0 2 1 1E-6 \r\n2 \r\n1 \r\n3 \r\n4 6 \r\n";
    const std::string kStartConstraintNames = "\xD1\xEA\xEB\xE0\xE4\r\n\xD6\xE5\xF5\r\n";
    const std::string kStartUnknownNames = "\xC8\xEA\xF1\r\n";

    InTempFolder folder;
};

TEST_F(BadInput, StartProblemIsWhatTheRowsAssume) {
    enterStart();
    EXPECT_EQ(rows(), kStartRows);
    toolkit.answerFileDialog(path("p.dat"));
    form->idWriteFile->trigger();
    EXPECT_EQ(contents("p.dat"), kStartData);
    EXPECT_EQ(contents("p.ogran"), kStartConstraintNames);
    EXPECT_EQ(contents("p.neizv"), kStartUnknownNames);
}

// --- targets that cannot be written ---------------------------------------------------------

const char* const kOldData = "old data";
const char* const kOldNames = "old names";
const char* const kOldUnknowns = "old unknowns";

// --- the trace log --------------------------------------------------------------------------

// The session's table holds every way the log fails; the window shows the error report and
// keeps the input and the Solve button as they were.
TEST_F(BadInput, TraceLogThatIsAFolderStopsTheSolveWithTheErrorReport) {
    enterStart();
    form->btnSolve->setEnabled(true);
    makeFolder("Kvaq.log");
    const Shown before = shown();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{
                             {Kind::Error,
                              expand("I/O error: cannot create \"Kvaq.log\". {EISDIR}", dir())}}));
    EXPECT_EQ(shown(), before);
    EXPECT_FALSE(toolkit.exitRequested());
}

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

class UnwritableGeneratorOutput : public BadInput,
                                  public ::testing::WithParamInterface<GeneratorCase> {};

TEST_P(UnwritableGeneratorOutput, ReplacesNoFileWhenOneFails) {
    const GeneratorCase& c = GetParam();
    enterStart();
    std::optional<RefusedAsRoot> refused;
    TfrmGenData* gen = form->windows().genData;
    gen->setDecimalSeparator('.');
    gen->setSeedSource([] { return 7; });
    const char* const names[] = {"BigData.dat", "BigData.ogran", "BigData.neizv"};
    const std::string old[] = {kOldData, kOldNames, kOldUnknowns};
    std::optional<PermissionsRestorer> restore;
    // An earlier press's files lie there, except where one is blocked; a folder that cannot
    // be written to holds none.
    for (int k = 0; k < 3; ++k) {
        if ((c.blocker == GenBlocker::DataIsAFolder && k == 0) ||
            (c.blocker == GenBlocker::UnknownsIsAFolder && k == 2))
            makeFolder(names[k]);
        else if (c.blocker == GenBlocker::DataLeadsToAFullDevice && k == 0)
            linkToFullDevice(names[k]);
        else if (c.blocker != GenBlocker::FolderWithoutWritePermission)
            put(names[k], old[k]);
    }
    if (c.blocker == GenBlocker::FolderWithoutWritePermission) {
        restore.emplace(dir());
        ASSERT_TRUE(QFile::setPermissions(dir(), QFile::ReadOwner | QFile::ExeOwner));
        refused.emplace(kvado::failing_files::Step::Open, QString("BigData.dat"));
    }
    const Shown before = shown();

    gen->Button1->click();

    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Error, expand(c.error, dir())}}));
    for (int k = 0; k < 3; ++k) {
        const std::string bytes = contents(names[k]);
        switch (c.after[static_cast<size_t>(k)]) {
        case -1:
            EXPECT_EQ(bytes, old[k]) << names[k];
            break;
        case -2:
            EXPECT_EQ(bytes, "<folder>") << names[k];
            break;
        case -3:
            EXPECT_EQ(bytes, "<missing>") << names[k];
            break;
        case -4:
            EXPECT_EQ(bytes, "<link>") << names[k];
            break;
        default: {
            const auto lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
            EXPECT_EQ(lines, c.after[static_cast<size_t>(k)]) << names[k];
        }
        }
    }
    // The generator leaves the main window alone.
    EXPECT_EQ(shown(), before);
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
} // namespace kvado::ui::test
