// The generator window: its controls, what a press writes, what it refuses, and a generated
// problem opened and solved in the main window.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <cerrno>
#include <cstring>

#include "UiTestSupport.h"

namespace kvado::ui::test {
namespace {

class GeneratorWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        gen = form->windows().genData;
        gen->setDecimalSeparator('.');
        gen->setSeedSource([this] { return seed; });
    }

    void setEdits(const char* n, const char* l, const char* eps) {
        gen->Edit1->setText(u(n));
        gen->Edit2->setText(u(l));
        gen->Edit3->setText(u(eps));
    }
    void press() { gen->Button1->click(); }

    static std::string contents(const char* name) {
        QFile f(QString::fromUtf8(name));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }
    static void put(const char* name, const std::string& bytes) {
        QFile f(QString::fromUtf8(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    // The three files, in their order.
    static std::vector<std::string> files() {
        return {contents("BigData.dat"), contents("BigData.ogran"), contents("BigData.neizv")};
    }
    static std::vector<std::string> lines(const std::string& bytes) {
        std::vector<std::string> result;
        for (size_t start = 0; start < bytes.size();) {
            const size_t end = bytes.find("\r\n", start);
            if (end == std::string::npos) break;
            result.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        return result;
    }

    InTempFolder folder;
    TfrmGenData* gen = nullptr;
    uint64_t seed = 1;
};

struct ControlDesign {
    const char* name;
    QRect rect;
    const char* text;
};

TEST_F(GeneratorWindow, WindowAsDesigned) {
    EXPECT_EQ(gen->windowTitle(), u("  Генератор данных для Kvado2009"));
    EXPECT_EQ(gen->size() + QSize(kDesignFrameWidth, kDesignFrameHeight), QSize(478, 133));
    EXPECT_EQ(gen->pos(), QPoint(553, 171)); // where designed, not centred
    EXPECT_EQ(gen->font().pixelSize(), 15);

    const ControlDesign design[] = {
        {"Label1", {10, 8, 179, 16}, "Число неизвестных  ( < 501 )"},
        {"Edit1", {196, 4, 113, 24}, "10"},
        {"Label2", {10, 41, 184, 16}, "Число ограничений вида <= "},
        {"Edit2", {196, 36, 113, 24}, "10"},
        {"Label3", {10, 73, 182, 16}, "Допустимая погрешность =  "},
        {"Edit3", {196, 68, 113, 24}, "1E-5"},
        {"Button1", {316, 36, 149, 24}, "Генерировать"},
        {"Button2", {317, 67, 149, 24}, "Выход"},
    };
    for (const auto& d : design) {
        SCOPED_TRACE(d.name);
        auto* w = gen->findChild<QWidget*>(QLatin1String(d.name));
        ASSERT_NE(w, nullptr);
        QString text;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            text = l->text();
            // A label may be wider than designed to hold its text, never into its edit.
            EXPECT_EQ(w->geometry().topLeft(), d.rect.topLeft());
            EXPECT_GE(w->width(), d.rect.width());
            EXPECT_LE(w->geometry().right(), 195);
        } else {
            EXPECT_EQ(w->geometry(), d.rect);
            if (auto* e = qobject_cast<QLineEdit*>(w)) text = e->text();
            if (auto* b = qobject_cast<QPushButton*>(w)) text = b->text();
        }
        EXPECT_EQ(text, u(d.text));
    }
}

TEST_F(GeneratorWindow, StartValuesWriteTheThreeFiles) {
    press();
    EXPECT_EQ(entries(), std::vector<Entry>{});
    const auto data = lines(contents("BigData.dat"));
    ASSERT_EQ(data.size(), 13u);
    EXPECT_EQ(data[0], "0  0  10  10  1E-5");
    const auto names = lines(contents("BigData.ogran"));
    ASSERT_EQ(names.size(), 11u);
    // windows-1251: "Запас ресурса № 1" and "Цел.функция - доход".
    EXPECT_EQ(names[0], "\xC7\xE0\xEF\xE0\xF1 \xF0\xE5\xF1\xF3\xF0\xF1\xE0 \xB9 1");
    EXPECT_EQ(names[10], "\xD6\xE5\xEB.\xF4\xF3\xED\xEA\xF6\xE8\xFF - \xE4\xEE\xF5\xEE\xE4");
    const auto unknowns = lines(contents("BigData.neizv"));
    ASSERT_EQ(unknowns.size(), 10u);
    EXPECT_EQ(unknowns[9], "X \xB9 10");
}

TEST_F(GeneratorWindow, EditsAreWrittenAsTyped) {
    setEdits(" 3", "2", "0.5e-3");
    press();
    EXPECT_EQ(lines(contents("BigData.dat")).at(0), "0  0  2   3  0.5e-3");
}

TEST_F(GeneratorWindow, EveryPressTakesANewSeed) {
    std::vector<uint64_t> seeds{7, 7, 8};
    size_t next = 0;
    gen->setSeedSource([&] { return seeds.at(next++); });
    press();
    const auto first = files();
    press();
    EXPECT_EQ(files(), first);
    press();
    EXPECT_NE(files()[0], first[0]);
    EXPECT_EQ(next, 3u);
}

TEST_F(GeneratorWindow, TheClockGivesDifferentProblems) {
    gen->setSeedSource(clockSeed);
    setEdits("40", "40", "1E-5");
    press();
    const std::string first = contents("BigData.dat");
    press();
    // 1600 coefficients of four values each: the same twice is out of the question.
    EXPECT_NE(contents("BigData.dat"), first);
}

// The generator's own table (tests/datafile/GeneratorTest.cpp) holds every text the format
// message is for; the window tells it and writes nothing.
TEST_F(GeneratorWindow, RefusalLeavesTheFilesAsTheyWere) {
    put("BigData.dat", "old data");
    put("BigData.ogran", "old names");
    setEdits("abc", "10", "1E-5");
    press();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Message, u("Ошибка в формате данных")}}));
    EXPECT_EQ(files(), (std::vector<std::string>{"old data", "old names", "<missing>"}));
}

TEST_F(GeneratorWindow, CommaToleranceIsWrittenWithAPoint) {
    // Typed as the user's settings want it, written as the data file wants it.
    gen->setDecimalSeparator(',');
    setEdits("2", "2", "0,001");
    press();
    EXPECT_EQ(lines(contents("BigData.dat")).at(0), "0  0  2  2  0.001");
}

TEST_F(GeneratorWindow, FileThatCannotBeCreatedEndsThePressWithTheErrorReport) {
    ASSERT_TRUE(QDir::current().mkdir(QStringLiteral("BigData.ogran")));
    press();
    EXPECT_EQ(entries(), (std::vector<Entry>{
                             {Kind::Error, u("Cannot create file \"BigData.ogran\". ") +
                                               QString::fromLocal8Bit(std::strerror(EISDIR))}}));
    // The three files are one save: neither the file before it nor the one after is written.
    EXPECT_FALSE(QFile::exists(QStringLiteral("BigData.dat")));
    EXPECT_FALSE(QFile::exists(QStringLiteral("BigData.neizv")));
}

TEST_F(GeneratorWindow, ExitClosesTheWindowWithOk) {
    gen->show();
    gen->Button2->click();
    EXPECT_FALSE(gen->isVisible());
    EXPECT_EQ(gen->result(), QDialog::Accepted);
    EXPECT_EQ(entries(), std::vector<Entry>{});
}

TEST_F(GeneratorWindow, ReachedFromTheMenuWritesWhileShown) {
    toolkit.setModalAction([](QDialog& w) {
        auto& g = dynamic_cast<TfrmGenData&>(w);
        g.Button1->click();
        g.Button2->click();
    });
    form->idGenDat->trigger();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmGenData"}}));
    EXPECT_TRUE(QFile::exists(QStringLiteral("BigData.neizv")));
}

TEST_F(GeneratorWindow, GeneratedProblemOpensWithItsNamesAndSolves) {
    // Ten rows: a column of zeros only, which would leave the objective unbounded, is out of
    // the question.
    setEdits("6", "10", "1E-5");
    press();
    form->btnSolve->setEnabled(false); // as after an earlier solve
    toolkit.answerFileDialog(folder.path(QStringLiteral("BigData.dat")));
    form->idFileOpen->trigger();
    EXPECT_EQ(toolkit.texts(Kind::Message), QStringList{});
    EXPECT_EQ(form->edG->text(), "0");
    EXPECT_EQ(form->edE->text(), "0");
    EXPECT_EQ(form->edL->text(), "10");
    EXPECT_EQ(form->edN->text(), "6");
    EXPECT_EQ(form->edEps->text(), "1E-5");
    EXPECT_EQ(grid().cell(0, 2), " Запас ресурса № 1");
    EXPECT_EQ(grid().cell(0, 11), " Запас ресурса № 10");
    EXPECT_EQ(grid().cell(0, 12), " Цел.функция - доход");
    EXPECT_EQ(grid().cell(7, 1), " X № 6");
    EXPECT_EQ(form->windows().results2->objectiveName(), u("Цел.функция - доход"));
    for (int j = 2; j <= 7; ++j) {
        const std::string c = grid().cell(j, 12);
        EXPECT_TRUE(c == "-1" || c == "-2" || c == "-3" || c == "-4") << c;
    }

    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));
    // Every objective coefficient is negative and every row leaves room: the optimum is below
    // zero, and the plan meets every row.
    Real z = 0;
    for (int j = 1; j <= problem.N; ++j) {
        EXPECT_GE(problem.solution[static_cast<size_t>(j)], 0);
        z += problem.objectiveCoefficient(j) * problem.solution[static_cast<size_t>(j)];
    }
    EXPECT_LT(z, 0);
    for (int i = 1; i <= problem.M; ++i) {
        Real activity = 0;
        for (int j = 1; j <= problem.N; ++j)
            activity += problem.tableau(i, j) * problem.solution[static_cast<size_t>(j)];
        EXPECT_LE(activity, problem.initialRhs[static_cast<size_t>(i)] + 1E-9L) << "row " << i;
    }
}

} // namespace
} // namespace kvado::ui::test
