// The results window and the report as a solve leaves them: what the user reads in SG3, SG2,
// edTarget, Label4 and RE1 after pressing "Решить".

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ResultsTestSupport.h"
#include "text/Encoding.h"

namespace kvado::ui::test {
namespace {

// ---- The window as designed ------------------------------------------------------------------

struct Design {
    const char* name;
    QRect rect; // labels: their top left corner alone, as their width follows the text
    const char* text;
};

const Design kDesign[] = {
    {"Label1", {8, 5, 0, 0}, "Решение"},
    {"SG3", {8, 32, 665, 101}, nullptr},
    {"Label2", {8, 143, 0, 0}, "Значение целевой функции : "},
    {"edTarget", {304, 145, 97, 24}, ""},
    {"Label4", {413, 148, 0, 0}, ""},
    {"Label3", {8, 181, 0, 0}, "Расход ресурсов и анализ ограничений: "},
    {"SG2", {8, 208, 665, 268}, nullptr},
    {"btnText", {480, 482, 141, 26}, "Текстовый отчет"},
    {"btnOK", {624, 481, 49, 27}, "OK"},
};

class ResultsDesign : public MainWindowFixture {
protected:
    TfrmResults2& window() { return *form->windows().results2; }
    QWidget* control(const char* name) {
        auto* w = window().findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QRect at(const char* name) {
        QWidget* w = control(name);
        return w ? w->geometry() : QRect();
    }
};

TEST_F(ResultsDesign, WindowAndControlsAsDesigned) {
    EXPECT_EQ(window().windowTitle(), u("  Таблица результатов"));
    EXPECT_EQ(window().outerSize(), QSize(687, 542));
    EXPECT_EQ(window().pos(), QPoint(428, 142));
    EXPECT_TRUE(window().isHidden());
    for (const Design& d : kDesign) {
        SCOPED_TRACE(d.name);
        QWidget* w = control(d.name);
        ASSERT_NE(w, nullptr);
        if (d.rect.width() == 0)
            EXPECT_EQ(w->pos(), d.rect.topLeft());
        else
            EXPECT_EQ(w->geometry(), d.rect);
        if (d.text == nullptr) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->text(), u(d.text));
            // Nothing of the text is cut off, nor does it reach the control beside it.
            const QString shown = label->text().trimmed();
            EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(shown));
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->text(), u(d.text));
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(edit->text(), u(d.text));
        }
    }
    EXPECT_LE(at("Label2").right(), at("edTarget").left());
}

TEST_F(ResultsDesign, FontsOfLabelsAndGrids) {
    struct Case {
        const char* name;
        int pixels;
    };
    for (const Case& c :
         {Case{"Label1", 21}, Case{"Label2", 21}, Case{"Label3", 21}, Case{"Label4", 16}}) {
        SCOPED_TRACE(c.name);
        QWidget* w = control(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_LE(w->font().pixelSize(), c.pixels);
        EXPECT_GE(w->font().pixelSize(), c.pixels - 3) << "a stand-in font a little smaller";
        EXPECT_EQ(w->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    }
    for (StringGrid* g : {window().SG3, window().SG2})
        EXPECT_EQ(g->font().pixelSize(), 12);
}

TEST_F(ResultsDesign, GridsAreReadOnlyWithTheirFixedRows) {
    struct Case {
        StringGrid* grid;
        int fixedRows;
    };
    for (const Case& c : {Case{window().SG3, 2}, Case{window().SG2, 3}}) {
        SCOPED_TRACE(c.grid->objectName().toStdString());
        EXPECT_EQ(c.grid->cells().fixedCols(), 1);
        EXPECT_EQ(c.grid->cells().fixedRows(), c.fixedRows);
        EXPECT_FALSE(c.grid->editing());
        EXPECT_EQ(c.grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_TRUE(c.grid->showGrid());
        EXPECT_EQ(c.grid->selectionMode(), QAbstractItemView::ContiguousSelection);
        EXPECT_EQ(c.grid->textElideMode(), Qt::ElideNone);
    }
    EXPECT_EQ(&window().SG3->cells(), &window().results().SG3);
    EXPECT_EQ(&window().SG2->cells(), &window().results().SG2);
}

TEST_F(ResultsDesign, MinimumSizeEachDimensionByItself) {
    struct Case {
        QSize asked, kept;
    };
    const Case cases[] = {
        {{600, 450}, {687, 500}}, {{800, 450}, {800, 500}}, {{600, 700}, {687, 700}},
        {{687, 500}, {687, 500}}, {{900, 800}, {900, 800}},
    };
    window().show();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.asked.width() << "x" << c.asked.height());
        window().resize(c.asked - QSize(kDesignFrameWidth, kDesignFrameHeight));
        QApplication::processEvents();
        EXPECT_EQ(window().outerSize(), c.kept);
    }
    window().hide();
}

TEST_F(ResultsDesign, ControlsFollowTheirAnchors) {
    window().show();
    window().resize(window().size() + QSize(100, 60));
    QApplication::processEvents();
    EXPECT_EQ(at("Label1").topLeft(), QPoint(8, 5));
    EXPECT_EQ(at("SG3"), QRect(8, 32, 765, 101));
    EXPECT_EQ(at("edTarget"), QRect(304, 145, 97, 24));
    EXPECT_EQ(at("Label4").topLeft(), QPoint(413, 148));
    EXPECT_EQ(at("SG2"), QRect(8, 208, 765, 328));
    EXPECT_EQ(at("btnText"), QRect(580, 542, 141, 26));
    EXPECT_EQ(at("btnOK"), QRect(724, 541, 49, 27));
    window().hide();
}

TEST_F(ResultsDesign, ReportButtonShowsTheReportWindowAndOkCloses) {
    window().btnText->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TResults"}}));
    window().show();
    window().btnOK->click();
    EXPECT_TRUE(window().isHidden());
    EXPECT_EQ(window().result(), QDialog::Accepted);
}

TEST(ReportDateTime, ShortDateAndLongTimeOfTheLocaleWithoutTheTimeAtMidnight) {
    struct Case {
        QLocale locale;
        QTime time;
        const char* text;
    };
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    const Case cases[] = {
        {russian, QTime(10, 20, 30), "01.02.2024 10:20:30"},
        {russian, QTime(0, 0), "01.02.2024"},
        {russian, QTime(0, 0, 0, 1), "01.02.2024 00:00:00"},
        {russian, QTime(23, 59, 59, 999), "01.02.2024 23:59:59"},
        {american, QTime(0, 0), "2/1/24"},
        {american, QTime(13, 5, 9), "2/1/24 1:05:09 PM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QDateTime moment(QDate(2024, 2, 1), c.time, Qt::UTC);
        EXPECT_EQ(reportDateTimeText(c.locale, moment), c.text);
    }
}

// ---- After a solve --------------------------------------------------------------------------

// A fixed moment for the report's header.
const QDateTime kMoment(QDate(2024, 2, 1), QTime(10, 20, 30));

QString blanks(int n) {
    return QString(n, QLatin1Char(' '));
}

class Results : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        form->setClock([] { return kMoment; });
    }
    TfrmResults2& window() { return *form->windows().results2; }
    TResults& reportWindow() { return *form->windows().results; }
    QStringList sg3(int row) { return shownRow(window().SG3, row); }
    QStringList sg2(int row) { return shownRow(window().SG2, row); }
    QStringList lines() { return methodLines(shownLines(reportWindow().RE1)); }
    QStringList looks() { return lineLooks(reportWindow().RE1).mid(0, lines().size()); }
    QString header() {
        return u("Файл данных: ") + "  " +
               QString::fromStdString(reportDateTimeText(QLocale::system(), kMoment));
    }
    void solve() {
        toolkit.clear();
        form->btnSolve->click();
    }
    // Minimise Z = -X1 - X2 subject to X1 + X2 <= 4, with names for the unknowns and the
    // constraint: X1 = 4, X2 not basic, Pi[1] = 1.
    void enterFirstExample() {
        enterProblem("0", "0", "1", "2", {{"4", "1", "1"}, {"-1", "-1"}});
        grid().setCell(2, 1, u(" Стулья").toStdString());
        grid().setCell(3, 1, u(" Столы").toStdString());
        grid().setCell(0, 2, u(" Доски").toStdString());
    }
    // Minimise X1 + 2·X2 s.t. X1 + X2 >= 2, X1 − X2 = 1, X1 <= 3: X1 = 1.5, X2 = 0.5.
    void enterSecondExample() {
        enterProblem("1", "1", "1", "2",
                     {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}});
    }

    InTempFolder folder;
};

TEST_F(Results, FirstWorkedExample) {
    enterFirstExample();
    solve();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));

    EXPECT_EQ(sg3(0), (QStringList{u(" Неизвестные --> "), " X1", " X2"}));
    EXPECT_EQ(sg3(1), (QStringList{"", u(" Стулья"), u(" Столы")}));
    EXPECT_EQ(sg3(2), (QStringList{u(" Решение:"), "   4.000", "0"}));
    EXPECT_EQ(sg2(0), (QStringList{u(" Неизвестные -->"), " X1", " X2", "", "", "", ""}));
    EXPECT_EQ(sg2(1), (QStringList{"", u(" Стулья"), u(" Столы"), u(" Расход"), u(" Сравнен."),
                                   u(" Наличие"), u(" Тен.цена")}));
    EXPECT_EQ(sg2(2), (QStringList{u(" Ограничения (ниже):"), " A*X1", " A*X2", "", "", "", ""}));
    EXPECT_EQ(sg2(3), (QStringList{u(" Доски"), "4", "0", "4", "<=", "4", "1"}));
    EXPECT_EQ(window().edTarget->text(), "-4.00");
    EXPECT_EQ(window().Label4->text(), "");

    const QString plan = "X[  1] ( " + blanks(18) + u(" Стулья ) =    4.000");
    const QString price = "Pi[  1] ( " + blanks(20) + u(" Доски ) =    1.000");
    EXPECT_EQ(lines(),
              (QStringList{u("     РЕШЕНИЕ"),
                           header(),
                           " ",
                           u("   Оптимальный план"),
                           " ",
                           plan,
                           " ",
                           u("    Коэффициенты целевой ф-ии"),
                           " ",
                           u("Значение = -4.00"),
                           " ",
                           u(" Теневые цены ресурсов (Pi)"),
                           " ",
                           price,
                           "",
                           "",
                           "",
                           u("Полученное решение является допустимым. (ограничения выполнены)"),
                           " ",
                           u("Полученное решение является оптимальным."),
                           u("Контрольное число = 0 - ( должно быть близко к нулю )")}));
    // The headings (lines 1, 4, 8 and 12) in bold Arial, the rest in Courier New, all 12 points.
    QStringList looks(21, QStringLiteral("Courier New 12"));
    for (int line : {1, 4, 8, 12})
        looks[line - 1] = QStringLiteral("Arial 12 bold");
    EXPECT_EQ(this->looks(), looks);
}

// The session's table (tests/session/SessionTest.cpp) runs this under either separator; the
// window shows the user's comma in its grids and the report's headings in their font.
TEST_F(Results, SecondWorkedExampleUnderADecimalComma) {
    // The slack of row 3 is basic at 1.5: it has no plan line. X2 entered in row 1 and X1 in
    // row 2, so the plan lines follow the rows.
    form->setDecimalSeparator(',');
    enterSecondExample();
    solve();
    EXPECT_EQ(sg3(2), (QStringList{u(" Решение:"), "   1.500", "   0.500"}));
    EXPECT_EQ(sg2(3), (QStringList{u(" Не заполнено"), "1,5", "0,5", "2", ">=", "2", "-1,5"}));
    EXPECT_EQ(sg2(4)[4], "=");
    EXPECT_EQ(sg2(5), (QStringList{u(" Не заполнено"), "1,5", "0", "1,5", "<=", "3", "0"}));
    EXPECT_EQ(window().edTarget->text(), "2.50");
    const QString unknown = "( " + blanks(14) + u(" Не заполн. ) = ");
    const QString row = "( " + blanks(20) + u(" Не заполнено ) = ");
    EXPECT_EQ(lines().mid(3),
              (QStringList{u("   Оптимальный план"),
                           " ",
                           "X[  2] " + unknown + "   0.500",
                           "X[  1] " + unknown + "   1.500",
                           " ",
                           u("    Коэффициенты целевой ф-ии"),
                           " ",
                           u("Значение = 2.50"),
                           " ",
                           u(" Теневые цены ресурсов (Pi)"),
                           " ",
                           "Pi[  1] " + row + "  -1.500",
                           "Pi[  2] " + row + "   0.500",
                           "Pi[  3] " + row + "   0.000",
                           "",
                           "",
                           "",
                           u("Полученное решение является допустимым. (ограничения выполнены)"),
                           " ",
                           u("Полученное решение является оптимальным."),
                           u("Контрольное число = 0 - ( должно быть близко к нулю )")}));
    const QStringList looks = this->looks();
    ASSERT_EQ(looks.size(), 24);
    for (int line : {1, 4, 9, 13})
        EXPECT_EQ(looks[line - 1], "Arial 12 bold") << line;
}

TEST_F(Results, OptimalBasisOfSlacksOnlyHasNoPlanLine) {
    // Minimise X1 + X2 subject to X1 + X2 <= 5: nothing enters, Z = 0.
    enterProblem("0", "0", "1", "2", {{"5", "1", "1"}, {"1", "1"}});
    solve();
    EXPECT_EQ(lines().mid(3, 7),
              (QStringList{u("   Оптимальный план"), " ", " ", u("    Коэффициенты целевой ф-ии"),
                           " ", u("Значение = 0.00"), " "}));
    EXPECT_EQ(sg3(2), (QStringList{u(" Решение:"), "0", "0"}));
    EXPECT_EQ(window().edTarget->text(), "0.00");
    EXPECT_EQ(sg2(3), (QStringList{u(" Не заполнено"), "0", "0", "0", "<=", "5", "0"}));
}

TEST_F(Results, NegativeOptimumAndValuesUnderADecimalComma) {
    // Minimise -X1 subject to X1 <= 12,5 and 2·X1 <= 30: Z = -12.5. The solution grid keeps
    // its point, the analysis grid takes the user's comma; edTarget and the report show the
    // sign.
    form->setDecimalSeparator(',');
    enterProblem("0", "0", "2", "1", {{"12,5", "1"}, {"30", "2"}, {"-1"}});
    solve();
    EXPECT_EQ(sg3(2), (QStringList{u(" Решение:"), "  12.500"}));
    EXPECT_EQ(sg2(3), (QStringList{u(" Не заполнено"), "12,5", "12,5", "<=", "12,5", "1"}));
    EXPECT_EQ(sg2(4), (QStringList{u(" Не заполнено"), "25", "25", "<=", "30", "0"}));
    EXPECT_EQ(window().edTarget->text(), "-12.50");
    EXPECT_TRUE(lines().contains(u("Значение = -12.50")));
}

TEST_F(Results, UnknownBasicAtZeroShowsItsValue) {
    // X1 − X2 = 0, minimise X1 + X2: X1 enters the basis at 0 in the first phase and stays;
    // X2 is not basic.
    enterProblem("0", "1", "0", "2", {{"0", "1", "-1"}, {"1", "1"}});
    solve();
    EXPECT_EQ(sg3(2), (QStringList{u(" Решение:"), "   0.000", "0"}));
    EXPECT_EQ(lines()[5], "X[  1] ( " + blanks(14) + u(" Не заполн. ) =    0.000"));
}

TEST_F(Results, GridSizesForOneUnknownAndOneConstraint) {
    enterProblem("0", "0", "1", "1", {{"1", "1"}, {"-1"}});
    solve();
    EXPECT_EQ(window().SG3->model()->columnCount(), 2);
    EXPECT_EQ(window().SG3->model()->rowCount(), 3);
    EXPECT_EQ(window().SG2->model()->columnCount(), 6);
    EXPECT_EQ(window().SG2->model()->rowCount(), 4);
    // Widths come from the input grid: 250 for the names, 70 for the numbers, the last column
    // 6 pixels wider; a column narrower than the unknown's name it holds (here the
    // placeholder) is widened so that the name is not cut.
    QList<int> widths;
    for (int c = 0; c < 6; ++c)
        widths << window().SG2->columnWidth(c);
    const int name = QFontMetrics(window().SG2->font()).horizontalAdvance(u(" Не заполн."));
    EXPECT_GE(widths[1], std::max(70, name));
    widths[1] = 70;
    EXPECT_EQ(widths, (QList<int>{250, 70, 70, 70, 70, 76}));
}

TEST_F(Results, ShadowPriceLineOfConstraintTwelve) {
    // X1 <= i for i = 1..12, minimise -X1: X1 = 1, row 1 binding.
    std::vector<std::vector<std::string>> texts;
    for (int i = 1; i <= 12; ++i)
        texts.push_back({std::to_string(i), "1"});
    std::vector<std::vector<const char*>> rows;
    for (const auto& t : texts)
        rows.push_back({t[0].c_str(), t[1].c_str()});
    rows.push_back({"-1"});
    enterProblem("0", "0", "12", "1", rows);
    solve();
    const QStringList all = lines();
    ASSERT_EQ(all.size(), 12 + 13 + 7);
    EXPECT_TRUE(all[24].startsWith("Pi[ 12] ( ")) << all[24].toStdString();
    EXPECT_EQ(sg2(14), (QStringList{u(" Не заполнено"), "1", "1", "<=", "12", "0"}));
}

// The session's table (tests/session/SessionTest.cpp) holds the short names; a name longer
// than its field keeps its last 25 characters in the report and shows whole in the grid.
TEST_F(Results, NamesStandInTheirFields) {
    enterFirstExample();
    grid().setCell(2, 1, "abcdefghijklmnopqrstuvwxyz1234");
    solve();
    EXPECT_EQ(lines()[5], "X[  1] ( fghijklmnopqrstuvwxyz1234 ) =    4.000");
    EXPECT_EQ(sg3(1)[1], "abcdefghijklmnopqrstuvwxyz1234");
}

// The session's table (tests/session/SessionTest.cpp) runs this under either separator.
TEST_F(Results, CheckOfAnInfeasibleSolveUnderADecimalComma) {
    // X1 >= 5,5 and X1 <= 2,5: the first phase ends with X1 = 2.5 and row 1 not met. The
    // check still writes its lines; the results window does not come up, the program goes
    // on and "Решить" stays enabled.
    form->setDecimalSeparator(',');
    enterProblem("1", "0", "1", "1", {{"5,5", "1"}, {"2,5", "1"}, {"1"}});
    solve();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Message, u(kNoFeasibleSolutionMessage)}}));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    EXPECT_EQ(lines().mid(lines().size() - 5),
              (QStringList{"", "", u("Ограничение №1 НЕ выполнено: 2,5 >= 5,5"), "",
                           u(report::kLastBasisInfeasible)}));
    EXPECT_EQ(sg2(3)[2], "2,5") << "the row activity";
}

TEST_F(Results, CheckOfAnUnboundedSolveIsWrittenAndTheWindowStaysShut) {
    // Minimise −X1 subject to X1 − X2 <= 1: column 2 has no bound.
    enterProblem("0", "0", "1", "2", {{"1", "1", "-1"}, {"-1", "0"}});
    solve();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{});
    EXPECT_FALSE(toolkit.exitRequested());
    EXPECT_TRUE(form->btnSolve->isEnabled());
    // The last basis holds every row, and is no optimum.
    EXPECT_TRUE(lines().contains(u(report::kLastBasisFeasible)));
}

TEST_F(Results, ReportAndValuesBelongToTheLastSolveOnly) {
    enterFirstExample();
    solve();
    // A solve that stops at an input error leaves the report empty and the grids as they
    // were.
    form->btnSolve->setEnabled(true);
    form->edN->setText("x");
    solve();
    EXPECT_EQ(lines(), QStringList{""});
    EXPECT_TRUE(reportWindow().report().empty());
    EXPECT_EQ(sg3(2), (QStringList{u(" Решение:"), "   4.000", "0"}));
    // The next solve writes its own report from the start.
    form->edN->setText("2");
    solve();
    EXPECT_EQ(lines().size(), 21);
    EXPECT_EQ(lines()[0], u("     РЕШЕНИЕ"));
}

TEST_F(Results, HeaderNamesTheDataFileOpenedLast) {
    // A new table ends the link to a file, so the name is set after the table is typed.
    enterFirstExample();
    problem.dataFileName = "zad1.dat";
    solve();
    EXPECT_EQ(lines()[1], u("Файл данных: zad1.dat  ") + QString::fromStdString(reportDateTimeText(
                                                             QLocale::system(), kMoment)));
}

TEST_F(Results, ObjectiveNameIsTheGridsNow) {
    window().setObjectiveName(u("Прибыль"));
    EXPECT_EQ(window().Label4->text(), u("Прибыль"));
    // A new table's own caption names no objective: the earlier name goes.
    enterFirstExample();
    solve();
    EXPECT_EQ(window().Label4->text(), "");
    // A long name is shown whole, in a smaller font if need be, within the window.
    const QString longName = QString(30, QChar(0x0416));
    window().setObjectiveName(longName);
    EXPECT_EQ(window().Label4->text(), longName);
    EXPECT_LE(window().Label4->geometry().right(), window().width());
    EXPECT_LE(QFontMetrics(window().Label4->font()).horizontalAdvance(longName),
              window().Label4->width());
}

// Typed into the grid, solved with "Решить": the trace log, the report and both grids agree.
TEST_F(Results, TypedProblemEndToEnd) {
    setEdits("1", "1", "1", "2");
    form->btnNewTab->click();
    // As the user types: the first key opens the cell's editor, Return commits it.
    auto typeKeys = [&](int col, int row, const QString& text) {
        const QModelIndex index = form->SG1->model()->index(row, col);
        form->SG1->setCurrentIndex(index);
        QTest::keyClicks(form->SG1, text.left(1));
        QWidget* editor = form->SG1->indexWidget(index);
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the editor commits its text in a queued call
        EXPECT_EQ(grid().cell(col, row), text.toStdString());
    };
    const char* cells[][3] = {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            typeKeys(k + 1, i + 2, QString::fromLatin1(cells[i][k]));
    typeKeys(2, 5, "1");
    typeKeys(3, 5, "2");
    solve();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));

    QFile logFile(folder.path("Kvaq.log"));
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const std::string logText = text::cp1251ToUtf8(logFile.readAll().toStdString());
    const QStringList log = QString::fromStdString(logText).split(QStringLiteral("\r\n"));
    // The slack of row 3 is basic at 1.5; the surplus of row 1 (column 3) is not basic, its
    // reduced cost 1.5 is Pi[1] = -1.5 seen through the surplus's coefficient -1.
    for (const char* line :
         {"Этап 1 успешно завершен", " 3            Допол.перем.        1.5000", "  X[  3] = 0  ",
          " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    1.500  "})
        EXPECT_TRUE(log.contains(u(line))) << line;

    EXPECT_EQ(sg3(2), (QStringList{u(" Решение:"), "   1.500", "   0.500"}));
    EXPECT_EQ(sg2(3)[3], "2");
    EXPECT_EQ(sg2(4)[3], "1");
    EXPECT_EQ(sg2(5)[3], "1.5");
    EXPECT_EQ(window().edTarget->text(), "2.50");
    const QStringList report = lines();
    EXPECT_TRUE(report.contains(u("Значение = 2.50")));
    EXPECT_TRUE(report.contains("Pi[  1] ( " + blanks(20) + u(" Не заполнено ) =   -1.500")));
    EXPECT_EQ(sg2(3)[6], "-1.5");
    EXPECT_EQ(report.last(), u("Контрольное число = 0 - ( должно быть близко к нулю )"));
}

} // namespace
} // namespace kvado::ui::test
