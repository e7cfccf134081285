// Bad input to the commands that read and write files, as the windows show it: the write
// command's start problem, a trace log that cannot be written, and a generator's target that
// cannot be written. The session's own tables (tests/session/BadInputTest.cpp) hold every
// broken, hostile and oversized file and every target that fails; here one case a command
// states exactly what the user sees (the error report) and checks that nothing in the window
// or on disk is lost.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <cerrno>
#include <cstring>
#include <string>

#include "UiTestSupport.h"

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

// The session's table (tests/session/BadInputTest.cpp) holds every way the generator's files
// fail; the window ends the press with the error report, replaces none of the three files and
// leaves the main window alone.
const char* const kOldNames = "old names";
const char* const kOldUnknowns = "old unknowns";

TEST_F(BadInput, GeneratorTargetThatIsAFolderEndsThePressWithTheErrorReport) {
    enterStart();
    TfrmGenData* gen = form->windows().genData;
    gen->setDecimalSeparator('.');
    gen->setSeedSource([] { return 7; });
    makeFolder("BigData.dat");
    put("BigData.ogran", kOldNames);
    put("BigData.neizv", kOldUnknowns);
    const Shown before = shown();

    gen->Button1->click();

    EXPECT_EQ(entries(),
              (std::vector<Entry>{
                  {Kind::Error, expand("Cannot create file \"BigData.dat\". {EISDIR}", dir())}}));
    EXPECT_EQ(contents("BigData.dat"), "<folder>");
    EXPECT_EQ(contents("BigData.ogran"), kOldNames);
    EXPECT_EQ(contents("BigData.neizv"), kOldUnknowns);
    EXPECT_EQ(shown(), before);
}

} // namespace
} // namespace kvado::ui::test
