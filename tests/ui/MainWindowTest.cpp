// The main window as the user meets it: controls, menu, status bar, anchoring, minimum
// width, the splash window, help and the other windows.

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTest>

#include "UiTestSupport.h"

namespace kvado::ui::test {
namespace {

class MainWindow : public MainWindowFixture {
protected:
    QWidget* control(const char* name) {
        auto* w = form->findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void activate() {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(form.get(), &activation);
    }
    // Shown, laid out and made the active window, as on the desktop.
    void showActive() {
        form->show();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
};

struct Design {
    const char* name;
    QRect rect;
    const char* text; // nullptr: not a text control
    int room = 0;     // labels: where the control right of them begins
};

// Positions within the client area. A label may be wider than designed to hold its text in
// the desktop's font, but never reaches the edit beside it.
const Design kDesign[] = {
    {"Label2", {8, 8, 190, 16}, "Число ограничений вида  >=  ", 200},
    {"edG", {200, 4, 57, 24}, "1"},
    {"Label3", {8, 36, 186, 16}, "Число ограничений вида   =  ", 200},
    {"edE", {200, 32, 57, 24}, "1"},
    {"Label4", {344, 7, 193, 16}, "Число ограничений вида   <=  ", 544},
    {"edL", {544, 3, 73, 24}, "1"},
    {"Label5", {384, 36, 144, 16}, "Число неизвестных  = ", 544},
    {"edN", {544, 32, 73, 24}, "3"},
    {"Label6", {392, 65, 133, 16}, "Заданная  точность ", 544},
    {"edEps", {544, 61, 73, 24}, "1E-8"},
    {"btnNewTab", {8, 60, 249, 25}, "Создать новую таблицу"},
    {"btnREsizeTab",
     {8, 88, 609, 25},
     "Изменить число строк и столбцов таблицы в соответствии с числом огранич и неизв"},
    {"SG1", {7, 118, 610, 314}, nullptr},
    {"PB1", {8, 441, 441, 16}, nullptr},
    {"btnSolve", {459, 437, 78, 25}, "Решить"},
    {"btnExit", {542, 437, 74, 25}, "Выход"},
    {"SB1", {0, 465, 620, 22}, nullptr},
};

QString textOf(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
    return {};
}

TEST_F(MainWindow, ControlsAtStart) {
    showActive();
    EXPECT_EQ(form->windowTitle(), u("    Решение задачи линейного программирования."));
    EXPECT_EQ(form->centralWidget()->size(), QSize(620, 487));
    for (const Design& d : kDesign) {
        QWidget* w = control(d.name);
        if (w == nullptr) continue;
        if (d.room == 0) {
            EXPECT_EQ(w->geometry(), d.rect) << d.name;
        } else {
            EXPECT_EQ(w->pos(), d.rect.topLeft()) << d.name;
            EXPECT_EQ(w->height(), d.rect.height()) << d.name;
            EXPECT_GE(w->width(), d.rect.width()) << d.name;
            EXPECT_LT(w->geometry().right(), d.room) << d.name;
            // These texts have no leading blanks; their trailing blanks show nothing.
            EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(textOf(w).trimmed()), w->width())
                << d.name << " is cut";
        }
        if (d.text) {
            EXPECT_EQ(textOf(w), u(d.text)) << d.name;
        }
    }
    EXPECT_TRUE(form->btnSolve->isEnabled());
    EXPECT_EQ(form->PB1->value(), 0);
}

TEST_F(MainWindow, StatusBarAtStart) {
    EXPECT_EQ(form->statusText(),
              u("   Справка о программе вызывается клавишей F1.  (см также Меню | Описание)"));
    EXPECT_TRUE(form->SB1->font().bold());
    EXPECT_EQ(form->SB1->font().pointSize(), 10);
}

// In whatever font the system gives (the suite runs once more with DejaVu alone).
TEST_F(MainWindow, StatusBarTextIsNotCut) {
    showActive();
    auto* label = form->SB1->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()),
              label->contentsRect().width())
        << QFontInfo(label->font()).family().toStdString();
}

TEST_F(MainWindow, ControlsFollowTheirAnchors) {
    showActive();
    form->resize(form->width() + 200, form->height() + 100);
    QApplication::processEvents();
    ASSERT_EQ(form->centralWidget()->size(), QSize(820, 587));
    EXPECT_EQ(control("edL")->geometry(), QRect(544, 3, 73, 24));
    EXPECT_EQ(control("btnREsizeTab")->geometry(), QRect(8, 88, 609, 25));
    EXPECT_EQ(control("SG1")->geometry(), QRect(7, 118, 810, 414));
    EXPECT_EQ(control("PB1")->geometry(), QRect(8, 541, 641, 16));
    EXPECT_EQ(control("btnSolve")->geometry(), QRect(659, 537, 78, 25));
    EXPECT_EQ(control("btnExit")->geometry(), QRect(742, 537, 74, 25));
    EXPECT_EQ(control("SB1")->geometry(), QRect(0, 565, 820, 22));
}

// Lower than the minimum height the bottom controls slid over the grid and the top buttons.
TEST_F(MainWindow, NarrowerOrLowerThanTheMinimumSnapsBack) {
    showActive();
    form->resize(500, 200);
    QApplication::processEvents();
    EXPECT_EQ(form->outerWidth(), 628);
    EXPECT_EQ(form->height(), form->minimumHeight());
    EXPECT_GE(form->SG1->geometry().height(), 64);
    EXPECT_LT(form->SG1->geometry().bottom(), form->PB1->geometry().top());
    form->resize(700, 900);
    EXPECT_EQ(form->outerWidth(), 708);
}

TEST_F(MainWindow, TabOrder) {
    const QStringList expected{"edG", "edE",       "edL",     "edN",      "edEps",
                               "SG1", "btnNewTab", "btnExit", "btnSolve", "btnREsizeTab"};
    QStringList order;
    QWidget* w = form->edG;
    do {
        if (expected.contains(w->objectName()) && !order.contains(w->objectName()))
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != form->edG);
    EXPECT_EQ(order, expected);
}

TEST_F(MainWindow, Menu) {
    QStringList bar;
    for (QAction* a : form->menuBar()->actions())
        bar << a->text().remove('&');
    EXPECT_EQ(bar, (QStringList{u("Файл"), u("Решение"), u("Результаты"), u("Описание")}));
    QStringList file;
    for (QAction* a : form->N1->actions())
        file << a->objectName() + "=" + a->text();
    EXPECT_EQ(file, (QStringList{u("idFileOpen=Открыть файл данных"), u("idExamples=Примеры"),
                                 u("mnRecent=Недавние"), u("idWriteFile=Записать данные в файл"),
                                 u("idGenDat=Генерировать тест - данные")}));
}

struct MenuCase {
    const char* action;
    std::vector<Entry> seen;
};

class MenuCommand : public MainWindow, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuCommand, ShowsItsWindow) {
    auto* action = form->findChild<QAction*>(QLatin1String(GetParam().action));
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_EQ(entries(), GetParam().seen);
}

INSTANTIATE_TEST_SUITE_P(Cases, MenuCommand,
                         ::testing::Values(MenuCase{"idGenDat", {{Kind::Modal, "TfrmGenData"}}},
                                           MenuCase{"N2", {{Kind::Modal, "TForm2"}}},
                                           MenuCase{"idResults", {}}),
                         [](const auto& info) { return std::string(info.param.action); });

TEST_F(MainWindow, ExitButtonEndsTheApplication) {
    form->btnExit->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Exit, ""}}));
}

TEST_F(MainWindow, SplashWindowGreetsOnlyOnce) {
    activate();
    activate();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmZastav"}}));
}

TEST_F(MainWindow, SplashWindowDoesNotComeBackAfterAModalWindow) {
    // Each modal window hands the activation back to the main window when it closes.
    toolkit.setModalAction([this](QDialog&) { activate(); });
    activate();
    form->N2->trigger();
    form->idGenDat->trigger();
    activate();
    EXPECT_EQ(toolkit.texts(Kind::Modal), (QStringList{"TfrmZastav", "TForm2", "TfrmGenData"}));
}

TEST_F(MainWindow, SplashWindowComesWhenTheWindowIsFirstShown) {
    showActive();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmZastav"});
}

TEST_F(MainWindow, F1AsksForHelpAlsoInTheGrid) {
    showActive();
    toolkit.clear();
    QTest::keyClick(form->SG1, Qt::Key_F1);
    QTest::keyClick(form->edN, Qt::Key_F1);
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Help, ""}, {Kind::Help, ""}}));
}

TEST_F(MainWindow, TypingIntoTheGridGoesIntoItsModel) {
    showActive();
    form->SG1->setFocus();
    form->SG1->setCurrentIndex(form->SG1->model()->index(2, 1));
    // The first key opens the cell's editor and goes into it.
    QTest::keyClick(form->SG1, Qt::Key_4);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, form->SG1);
    QTest::keyClicks(editor, "2");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the editor hands its text over queued
    EXPECT_EQ(grid().cell(1, 2), "42");
}

TEST_F(MainWindow, ProgressPositionAboveTheMaximumShowsAFullBar) {
    form->setProgressMaximum(3);
    form->setProgressPosition(5);
    EXPECT_EQ(form->PB1->value(), form->PB1->maximum());
    EXPECT_EQ(form->progressPosition(), 5);
    form->setProgressPosition(2);
    EXPECT_EQ(form->PB1->value(), 2);
    form->setProgressMaximum(0); // no constraints: the bar is not busy, only full or empty
    EXPECT_EQ(form->PB1->value(), form->PB1->maximum());
    EXPECT_GT(form->PB1->maximum(), form->PB1->minimum());
    form->setProgressPosition(0);
    EXPECT_EQ(form->PB1->value(), 0);
}

TEST_F(MainWindow, SolverHostReachesTheWindow) {
    SolverHost& host = form->solverHost();
    host.setProgressMaximum(4);
    host.setProgressPosition(3);
    EXPECT_EQ(form->PB1->value(), 3);
    host.showMessage("Строка 1\r\nСтрока 2");
    EXPECT_EQ(toolkit.texts(Kind::Message), QStringList{u("Строка 1\r\nСтрока 2")});
    form->setDecimalSeparator(',');
    EXPECT_EQ(host.decimalSeparator(), ',');
}

struct WindowCase {
    const char* name;
    const char* caption;
    QSize client;
    bool fixedSize;
    bool help;
};

class Windows : public MainWindow, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(Windows, CaptionSizeAndHelp) {
    const auto& c = GetParam();
    auto* w = form->findChild<QDialog*>(QLatin1String(c.name));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), u(c.caption));
    EXPECT_EQ(w->size(), c.client);
    EXPECT_EQ(w->minimumSize() == w->maximumSize(), c.fixedSize);
    bool hasHelp = false;
    for (auto* s : w->findChildren<QShortcut*>())
        hasHelp = hasHelp || s->key() == QKeySequence(Qt::Key_F1);
    EXPECT_EQ(hasHelp, c.help);
    EXPECT_FALSE(w->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Windows,
    ::testing::Values(
        WindowCase{"TResults", "  О т ч е т   о   р е з у л ь т а т а х ", {602, 336}, false, true},
        WindowCase{"TForm2", "  Справка ", {554, 363}, true, true},
        WindowCase{"TfrmResults2", "  Таблица результатов", {679, 508}, false, true},
        WindowCase{"TfrmZastav", "  Линейная оптимизация ", {438, 259}, true, false},
        WindowCase{"TfrmGenData", "  Генератор данных для Kvado2009", {470, 99}, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kvado::ui::test
