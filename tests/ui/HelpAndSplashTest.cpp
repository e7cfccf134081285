// The help window with and without its text file, and the splash window.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cerrno>
#include <cstring>

#include "ui/ProblemFormPicture.h"
#include "ui/SplashPicture.h"

#include "UiTestSupport.h"

namespace kvado::ui::test {
namespace {

// The eight lines as the user reads them when there is no help text file. Letters that look
// alike are spelt out where the two scripts meet.
const QStringList kBuiltIn{
    u("В первых строках записывают неравенства вида >= .  Количество таких "),
    u("неравенств обозначим G. Далее запишем все равенства. Их количество "),
    u("обозначим E. Еще ниже расположим неравенства вида <= . Их количество "),
    u("обозначим L. Всего в задаче M = G+E+L ограничений. "),
    u("Ниже запишем целевую функцию Z.  В задаче N неизвестных величин X. "),
    u("Числа ") + QChar(0x0430) +
        u("1,1 ... b1,b2,... c1,c2,... - известны (даны).  Нужно найти "
          "такие значения "),
    u("(ПОЛОЖИТЕЛЬНЫЕ) неизвестных ") + QChar(0x0425) + u(", чтобы все ") + QChar(0x041C) +
        u(" ограничений были "),
    u("выполнены и целевая функция Z имела минимальное ( или максимальное)."),
};

class HelpWindow : public ::testing::Test {
protected:
    void put(const std::string& bytes) {
        QFile f(folder.path(QStringLiteral("Kvado.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::unique_ptr<TForm2> create() { return std::make_unique<TForm2>(toolkit); }

    InTempFolder folder;
    RecorderToolkit toolkit;
};

TEST_F(HelpWindow, WithoutItsTextFileReportsOnceAndShowsTheBuiltInLines) {
    const auto help = create();
    EXPECT_EQ(
        toolkit.entries(),
        (std::vector<Entry>{{Kind::Error, u("Cannot open file \"Kvado.txt\". ") +
                                              QString::fromLocal8Bit(std::strerror(ENOENT))}}));
    EXPECT_EQ(help->memoLines(), kBuiltIn);
    // Shown later, it says nothing more.
    toolkit.clear();
    help->show();
    help->BitBtn1->click();
    EXPECT_EQ(toolkit.entries(), std::vector<Entry>{});
}

TEST_F(HelpWindow, BuiltInLinesKeepTheirScripts) {
    const QStringList lines = builtInHelpLines();
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines, kBuiltIn);
    // Lines 1 to 7 end with one blank, line 8 with none.
    for (qsizetype k = 0; k < 7; ++k)
        EXPECT_TRUE(lines[k].endsWith(u" ") && !lines[k].endsWith(u"  ")) << k + 1;
    EXPECT_FALSE(lines[7].endsWith(u" "));
    // The symbols: Latin in lines 2 to 5 and 8, Cyrillic where line 6 and 7 call them so.
    const std::pair<qsizetype, QString> symbols[] = {
        {1, QLatin1String(" G.")},
        {2, QLatin1String(" E.")},
        {3, QLatin1String(" L.")},
        {3, QLatin1String(" M = G+E+L ")},
        {4, QLatin1String(" Z.")},
        {4, QLatin1String(" N ")},
        {4, QLatin1String(" X.")},
        {5, QChar(0x0430) + QLatin1String("1,1 ")},
        {5, QLatin1String(" b1,b2,... c1,c2,... ")},
        {6, QChar(0x0425) + QLatin1String(",")},
        {6, QLatin1Char(' ') + QChar(0x041C) + QLatin1Char(' ')},
        {7, QLatin1String(" Z ")}};
    for (const auto& [line, symbol] : symbols)
        EXPECT_TRUE(lines[line].contains(symbol)) << line + 1 << ": " << symbol.toStdString();
}

struct TextFileCase {
    const char* name;
    std::string bytes;
    QStringList lines;
};

class HelpText : public HelpWindow, public ::testing::WithParamInterface<TextFileCase> {};

TEST_P(HelpText, ReplacesTheBuiltInLines) {
    put(GetParam().bytes);
    const auto help = create();
    EXPECT_EQ(toolkit.entries(), std::vector<Entry>{});
    EXPECT_EQ(help->memoLines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpText,
    ::testing::Values(
        TextFileCase{"ThreeLinesWindows1251",
                     "\xCF\xE5\xF0\xE2\xE0\xFF\r\n\xC2\xF2\xEE\xF0\xE0\xFF \r\nthird\r\n",
                     {u("Первая"), u("Вторая "), u("third")}},
        TextFileCase{"Utf8", "Первая\nВторая", {u("Первая"), u("Вторая")}},
        TextFileCase{"EmptyLinesStay", "a\r\n\r\n\r\nb\r\n", {u("a"), u(""), u(""), u("b")}},
        TextFileCase{"EmptyFile", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HelpWindow, TheShippedHelpTextReads) {
    QFile shipped(QDir::cleanPath(QStringLiteral(KVADO_TEST_DATA "/../../examples/Kvado.txt")));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    put(shipped.readAll().toStdString());
    const auto help = create();
    EXPECT_EQ(toolkit.entries(), std::vector<Entry>{});
    ASSERT_GT(help->memoLines().size(), 8);
    EXPECT_EQ(help->memoLines().at(0), u("Как записать задачу."));
}

struct ControlDesign {
    const char* name;
    QRect rect;
};

TEST_F(HelpWindow, WindowAsDesigned) {
    put("x\r\n");
    const auto help = create();
    EXPECT_EQ(help->objectName(), "TForm2");
    EXPECT_EQ(help->windowTitle(), u("  Справка "));
    EXPECT_EQ(help->size(), QSize(554, 363));
    EXPECT_EQ(help->minimumSize(), help->maximumSize()); // fixed
    EXPECT_EQ(help->font().pixelSize(), 11);
    const ControlDesign design[] = {{"StaticText1", {88, 4, 449, 20}},
                                    {"Image1", {72, 28, 469, 146}},
                                    {"Memo1", {8, 184, 537, 145}},
                                    {"BitBtn1", {464, 332, 81, 25}}};
    for (const auto& d : design) {
        auto* w = help->findChild<QWidget*>(QLatin1String(d.name));
        ASSERT_NE(w, nullptr) << d.name;
        EXPECT_EQ(w->geometry(), d.rect) << d.name;
    }
    EXPECT_EQ(help->StaticText1->text(),
              u("Задача линейного программирования может быть записана в виде:"));
    EXPECT_EQ(help->StaticText1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(help->StaticText1->font().pixelSize(), 13);
    EXPECT_EQ(help->Image1->pixmap().toImage().convertToFormat(QImage::Format_Mono),
              makeProblemFormPicture());
    EXPECT_EQ(help->Memo1->font().pixelSize(), 13);
    EXPECT_EQ(help->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(help->Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(help->BitBtn1->text(), "OK");
    EXPECT_TRUE(help->BitBtn1->isDefault());
    EXPECT_FALSE(help->BitBtn1->icon().isNull());
}

// --- splash window -------------------------------------------------------------------------

class SplashWindow : public ::testing::Test {
protected:
    RecorderToolkit toolkit;
    TfrmZastav splash{toolkit};
};

TEST_F(SplashWindow, WindowAsDesigned) {
    EXPECT_EQ(splash.objectName(), "TfrmZastav");
    EXPECT_EQ(splash.windowTitle(), u("  Линейная оптимизация "));
    EXPECT_EQ(splash.size(), QSize(438, 259));
    EXPECT_EQ(splash.minimumSize(), splash.maximumSize());
    EXPECT_FALSE(splash.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(splash.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(splash.Image1->geometry(), QRect(7, 4, 145, 161));
    EXPECT_EQ(splash.Image1->pixmap().size(), QSize(145, 161));
    EXPECT_EQ(splash.btnOK->geometry(), QRect(8, 221, 377, 27));
    EXPECT_EQ(splash.btnOK->text(), u("Д а л е е"));
    EXPECT_EQ(splash.btnOK->font().pixelSize(), 16);
}

TEST_F(SplashWindow, LightGreenAroundThePictureAndTheButton) {
    const QImage shown = splash.grab().toImage();
    for (const QPoint at : {QPoint(300, 100), QPoint(2, 2), QPoint(430, 250), QPoint(160, 200)})
        EXPECT_EQ(shown.pixelColor(at), QColor(102, 255, 102)) << at.x() << "," << at.y();
    // The picture as stored, in its place.
    EXPECT_EQ(shown.copy(7, 4, 145, 161).convertToFormat(QImage::Format_RGB888), splashPicture());
}

TEST_F(SplashWindow, ButtonClosesWithOk) {
    splash.show();
    splash.btnOK->click();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Accepted);
}

} // namespace
} // namespace kvado::ui::test
