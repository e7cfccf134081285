// The menu commands "Открыть файл данных" and "Записать данные в файл": their dialogs and
// messages, what every failure leaves behind, and a problem that goes out and comes back.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <cerrno>
#include <cstring>

#include "UiTestSupport.h"

namespace kvado::ui::test {
namespace {

const char* const kConstraintNamesMissing = "Полезно создать текстовый файл ";

// The system's reason, in the language of the process's locale.
QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class DataFiles : public MainWindowFixture {
protected:
    QString path(const char* name) const { return folder.path(u(name)); }

    // A file of the given bytes in the test's folder; the bytes are written as they are.
    void put(const char* name, const std::string& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string contents(const char* name) const {
        QFile f(path(name));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }
    QStringList filesInFolder() const {
        return QDir(folder.path("."))
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

    void open(const QString& file) {
        toolkit.answerFileDialog(file);
        form->idFileOpen->trigger();
    }
    void write(const QString& file) {
        toolkit.answerFileDialog(file);
        form->idWriteFile->trigger();
    }

    // Minimise X1 + 2·X2 s.t. X1 + X2 >= 2, X1 − X2 = 1, X1 <= 3: X1 = 1.5, X2 = 0.5.
    void enterExample() {
        enterProblem("1", "1", "1", "2",
                     {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}});
        type(0, 2, "Спрос");
        type(0, 3, "Баланс");
        type(0, 4, "Склад");
        type(2, 1, "Сырьё");
        type(3, 1, "Труд");
    }

    // The example's files as the write command writes them.
    void putExample(const char* base, const std::string& lineEnd = "\r\n") {
        const std::string b(base);
        put((b + ".dat").c_str(), "1 1 1 2 1E-8 " + lineEnd + "1 1 " + lineEnd + "1 -1 " + lineEnd +
                                      "1 0 " + lineEnd + "1 2 " + lineEnd + "2 1 3 " + lineEnd);
        put((b + ".ogran").c_str(), "Demand\r\nBalance\r\nStock\r\n");
        put((b + ".neizv").c_str(), "Raw\r\nLabour\r\n");
    }

    QString objectiveName() const { return form->windows().results2->objectiveName(); }

    InTempFolder folder;
};

// --- dialogs -------------------------------------------------------------------------------

TEST_F(DataFiles, OpenDialogLooksForDataFilesInTheCurrentFolder) {
    open(path("p.dat"));
    ASSERT_EQ(toolkit.fileDialogs().size(), 1u);
    const FileDialogOptions& d = toolkit.fileDialogs()[0];
    EXPECT_EQ(d.title, QString()); // the system's own
    EXPECT_EQ(d.filter, u("Исходные данные |*.dat|Файлы LP |*.lp|Файлы MPS |*.mps|Все файлы |*.*"));
    EXPECT_EQ(d.defaultExt, u("dat"));
    EXPECT_EQ(d.initialDir, u("."));
    EXPECT_EQ(d.fileName, QString());
}

TEST_F(DataFiles, WriteDialogHasNoDefaultExtension) {
    enterExample();
    write(path("p.dat"));
    ASSERT_EQ(toolkit.fileDialogs().size(), 1u);
    const FileDialogOptions& d = toolkit.fileDialogs()[0];
    EXPECT_EQ(d.title, u("Задайте имя для файла данных"));
    EXPECT_EQ(d.filter, u("Файлы данных|*.dat|Файлы LP|*.lp|Файлы MPS|*.mps|Все файлы|*.*"));
    EXPECT_EQ(d.defaultExt, QString());
    EXPECT_EQ(d.initialDir, u("."));
}

TEST_F(DataFiles, CancelledOpenChangesNothing) {
    enterExample();
    const Shown before = shown();
    toolkit.clear();
    toolkit.answerFileDialog(std::nullopt);
    form->idFileOpen->trigger();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::OpenDialog, ""}}));
    EXPECT_EQ(shown(), before);
}

TEST_F(DataFiles, CancelledWriteWritesNothing) {
    enterExample();
    toolkit.answerFileDialog(std::nullopt);
    form->idWriteFile->trigger();
    EXPECT_EQ(entries(),
              (std::vector<Entry>{{Kind::SaveDialog, u("Задайте имя для файла данных")}}));
    EXPECT_EQ(filesInFolder(), QStringList{});
}

// --- round trip ----------------------------------------------------------------------------

// The session's table (tests/session/DataFileOpenTest.cpp) holds the separators and the typed
// forms; the window writes what it shows and shows what it opens, in the user's separator.
TEST_F(DataFiles, WrittenProblemOpensToTheSameCountsNumbersAndNames) {
    form->setDecimalSeparator(',');
    enterExample();
    form->edEps->setText(u("0,001"));
    type(3, 2, "2,5");
    write(path("p1.dat"));
    EXPECT_EQ(contents("p1.dat"),
              "1 1 1 2 0.001 \r\n1 2.5 \r\n1 -1 \r\n1 0 \r\n1 2 \r\n2 1 3 \r\n");
    // The names in windows-1251, trimmed; the objective's name is never written.
    EXPECT_EQ(contents("p1.ogran"), "\xD1\xEF\xF0\xEE\xF1\r\n\xC1\xE0\xEB\xE0\xED\xF1\r\n"
                                    "\xD1\xEA\xEB\xE0\xE4\r\n");
    EXPECT_EQ(contents("p1.neizv"), "\xD1\xFB\xF0\xFC\xB8\r\n\xD2\xF0\xF3\xE4\r\n");

    // Another problem in between, so that nothing is left from the first.
    setEdits("0", "0", "1", "1");
    form->btnNewTab->click();
    toolkit.clear();
    open(path("p1.dat"));

    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::OpenDialog, ""}}));
    EXPECT_EQ(form->edG->text(), "1");
    EXPECT_EQ(form->edE->text(), "1");
    EXPECT_EQ(form->edL->text(), "1");
    EXPECT_EQ(form->edN->text(), "2");
    EXPECT_EQ(form->edEps->text(), u("0,001"));
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          " Ограничения (ниже):|  B[i] | A[i,1] | A[i,2] ",
                          " Неизвестные --> || Сырьё| Труд",
                          " Спрос|2|1|2,5",
                          " Баланс|1|1|-1",
                          " Склад|3|1|0",
                          " Целевая функция: ||1|2",
                      }));
    EXPECT_EQ(form->statusText(), u("   Открыт файл: p1.dat"));
    EXPECT_EQ(problem.dataFileName, "p1.dat");
    EXPECT_EQ(objectiveName(), QString());
}

TEST_F(DataFiles, OpenedProblemSolves) {
    putExample("p");
    form->btnSolve->setEnabled(false); // as after an earlier solve
    open(path("p.dat"));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));
    EXPECT_EQ(problem.solution[1], 1.5L);
    EXPECT_EQ(problem.solution[2], 0.5L);
}

TEST_F(DataFiles, OpenLoadsTheProblemWithoutTheGrid) {
    // The open command fills the problem itself: solving right after it reads the grid
    // again, but the problem is ready before that.
    putExample("p");
    open(path("p.dat"));
    EXPECT_EQ(problem.M, 3);
    EXPECT_EQ(problem.N, 2);
    EXPECT_EQ(problem.eps, 1E-8L);
    EXPECT_EQ(problem.tableau(2, 2), -1.0L);
    EXPECT_EQ(problem.objectiveCoefficient(2), 2.0L);
    EXPECT_EQ(problem.initialRhs[3], 3.0L);
}

TEST_F(DataFiles, NameWithoutExtensionGetsTheFiltersAndItsSideFilesBesideIt) {
    enterExample();
    write(path("p1"));
    EXPECT_EQ(filesInFolder(), (QStringList{"p1.dat", "p1.neizv", "p1.ogran"}));
    // A file without an extension that is there is opened, and written again, as named.
    ASSERT_TRUE(QFile::rename(path("p1.dat"), path("p1")));
    write(path("p1"));
    EXPECT_EQ(filesInFolder(), (QStringList{"p1", "p1.neizv", "p1.ogran"}));
    toolkit.clear();
    open(path("p1"));
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::OpenDialog, ""}}));
    EXPECT_EQ(grid().cell(0, 2), " Спрос");
    EXPECT_EQ(form->statusText(), u("   Открыт файл: p1"));
}

TEST_F(DataFiles, CyrillicFileNameIsFoundWithItsNameFiles) {
    putExample("задача");
    open(path("задача.dat"));
    EXPECT_EQ(toolkit.texts(Kind::Message), QStringList{});
    EXPECT_EQ(form->statusText(), u("   Открыт файл: задача.dat"));
    EXPECT_EQ(problem.dataFileName, "задача.dat");
    EXPECT_EQ(grid().cell(3, 1), " Labour");
}

TEST_F(DataFiles, ProgressBarMovesEveryTenRowsAndRestsAtZero) {
    std::string data = "0 0 25 1 1E-8\n";
    for (int k = 0; k < 25 + 1 + 25; ++k)
        data += "1\n";
    put("big.dat", data);
    std::vector<int> seen;
    QObject::connect(form->PB1, &QProgressBar::valueChanged, [&seen](int v) { seen.push_back(v); });
    open(path("big.dat"));
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 0}));
    EXPECT_EQ(form->progressMaximum(), 25);
    EXPECT_EQ(form->progressPosition(), 0);
}

const QString kNotRead =
    QString::fromUtf8("\r\nФайл «p.dat» не прочитан: таблица и задача остались прежними");

// --- failures of the open command ----------------------------------------------------------

TEST_F(DataFiles, MissingFileIsToldAndOnlyItsNameShows) {
    enterExample();
    form->btnSolve->setEnabled(false);
    Shown before = shown();
    toolkit.clear();
    open(path("nowhere.dat"));
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::OpenDialog, ""},
                                             {Kind::Message, u("Файл не найден...")}}));
    // Not even its name: the report and the status bar name no file that was not opened.
    EXPECT_EQ(shown(), before);
}

TEST_F(DataFiles, BadTokenChangesNothing) {
    put("bad.dat", "1 0 1 2 1E-8\n5 6\n7 x 9\n");
    put("bad.ogran", "A\r\nB\r\n");
    put("bad.neizv", "U\r\nV\r\n");
    const Shown before = shown();
    toolkit.clear();
    open(path("bad.dat"));
    EXPECT_EQ(entries(), (std::vector<Entry>{
                             {Kind::OpenDialog, ""},
                             {Kind::Error, u("Invalid numeric input\r\nНеверное число в файле "
                                             "данных: строка 3, число 2: «x»\r\nФайл «bad.dat» "
                                             "не прочитан: таблица и задача остались прежними")}}));
    // Neither the new counts nor the numbers before the bad one: no mix to solve.
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(form->btnSolve->isEnabled());
}

TEST_F(DataFiles, BadTokenInTheHeaderLeavesTheEditsAlone) {
    enterExample();
    const QStringList edits = shown().edits;
    put("bad.dat", "1 1 many 2 1E-8\n");
    open(path("bad.dat"));
    EXPECT_EQ(toolkit.texts(Kind::Error),
              QStringList{u("Invalid numeric input\r\nНеверное число в файле данных: строка 1, "
                            "число 3: «many»\r\nФайл «bad.dat» не прочитан: таблица и задача "
                            "остались прежними")});
    EXPECT_EQ(shown().edits, edits);
}

TEST_F(DataFiles, ShortFileReadsZerosAndSaysSo) {
    put("short.dat", "0 0 2 2 1E-8\n3");
    open(path("short.dat"));
    EXPECT_EQ(toolkit.texts(Kind::Error), QStringList{});
    // Three coefficients, two costs and two right-hand sides are missing.
    EXPECT_EQ(form->statusText(),
              u("   Открыт файл: short.dat. Файл закончился раньше: 7 чисел прочитаны как 0"));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          " Ограничения (ниже):|  B[i] | A[i,1] | A[i,2] ",
                          " Неизвестные --> || Не заполн| Не заполн",
                          " Не заполнено|0|3|0",
                          " Не заполнено|0|0|0",
                          " Целевая функция: ||0|0",
                      }));
}

TEST_F(DataFiles, MissingNameFilesAreToldWithTheirPathsAndCounts) {
    put("p.dat", "0 1 2 4 1E-8\n");
    open(path("p.dat"));
    // "c" is Latin; no blank before "строк", no closing bracket.
    EXPECT_EQ(
        toolkit.texts(Kind::Message),
        (QStringList{
            u(kConstraintNamesMissing) + path("p.ogran") + u(" c именами ресурсов (3строк"),
            u(kConstraintNamesMissing) + path("p.neizv") + u(" c именами неизвестных (4строк")}));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    EXPECT_EQ(problem.M, 3);
}

TEST_F(DataFiles, UnreadableNameFileEndsTheOpenWithTheErrorReport) {
    putExample("p");
    QFile::remove(path("p.neizv"));
    ASSERT_TRUE(QDir(folder.path(".")).mkdir("p.neizv"));
    toolkit.clear();
    const Shown before = shown();
    open(path("p.dat"));
    EXPECT_EQ(entries(),
              (std::vector<Entry>{{Kind::OpenDialog, ""},
                                  {Kind::Error, "Cannot open file \"" + path("p.neizv") + "\". " +
                                                    u("Is a directory") + kNotRead}}));
    EXPECT_EQ(shown(), before); // not even the constraint names, which came first
}

// --- failures of the write command ---------------------------------------------------------

// The session's table (tests/session/DataFileOpenTest.cpp) holds every edit and cell the
// write refuses; the window tells the message, asks for no file, writes nothing and goes on
// with everything as it was.
TEST_F(DataFiles, RefusedWriteIsToldAndWritesNothing) {
    enterExample();
    type(3, 3, "1,,");
    const Shown before = shown();
    toolkit.clear();
    toolkit.answerFileDialog(path("p.dat"));
    form->idWriteFile->trigger();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Message, u("Ошибка: Матрица А[2,2] >1..<")}}));
    EXPECT_EQ(filesInFolder(), QStringList{});
    EXPECT_EQ(shown(), before);
    EXPECT_FALSE(toolkit.exitRequested());
}

TEST_F(DataFiles, UncreatableDataFileIsReportedAndNothingIsWritten) {
    enterExample();
    const QString target = path("missing/p.dat");
    toolkit.clear();
    write(target);
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::SaveDialog, u("Задайте имя для файла данных")},
                                             {Kind::Error, "Cannot create file \"" + target +
                                                               "\". " + reason(ENOENT)}}));
    EXPECT_EQ(filesInFolder(), QStringList{});
}

TEST_F(DataFiles, NoFileIsWrittenWhenOneFails) {
    enterExample();
    ASSERT_TRUE(QDir(folder.path(".")).mkdir("p.ogran"));
    write(path("p.dat"));
    EXPECT_EQ(toolkit.texts(Kind::Error),
              QStringList{"Cannot create file \"" + path("p.ogran") + "\". " + reason(EISDIR)});
    // The three files are one save: not even the data file before it is written.
    EXPECT_EQ(filesInFolder(), (QStringList{"p.ogran"}));
    EXPECT_TRUE(QFileInfo(path("p.ogran")).isDir());
}

TEST_F(DataFiles, WriteReplacesExistingFiles) {
    put("p.dat", std::string(1000, 'x'));
    put("p.ogran", "old\r\nold\r\nold\r\nold\r\n");
    enterExample();
    write(path("p.dat"));
    EXPECT_EQ(contents("p.dat"), "1 1 1 2 1E-8 \r\n1 1 \r\n1 -1 \r\n1 0 \r\n1 2 \r\n2 1 3 \r\n");
    EXPECT_EQ(contents("p.ogran"), "\xD1\xEF\xF0\xEE\xF1\r\n\xC1\xE0\xEB\xE0\xED\xF1\r\n"
                                   "\xD1\xEA\xEB\xE0\xE4\r\n");
}

TEST_F(DataFiles, WriteLeavesTheProblemAlone) {
    putExample("p");
    open(path("p.dat"));
    type(2, 2, "100");
    form->edN->setText("1");
    write(path("q.dat"));
    EXPECT_EQ(problem.N, 2);
    EXPECT_EQ(problem.tableau(1, 1), 1.0L);
    EXPECT_EQ(problem.dataFileName, "p.dat");
    EXPECT_EQ(contents("q.dat"), "1 1 1 1 1E-8 \r\n100 \r\n1 \r\n1 \r\n1 \r\n2 1 3 \r\n");
}

} // namespace
} // namespace kvado::ui::test
