// The command guard, the recording toolkit, help file lookup, anchoring and the form builder.

#include <QDialog>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <new>
#include <stdexcept>

#include "UiTestSupport.h"
#include "solver/TraceLog.h"
#include "text/NumberText.h"
#include "ui/Form.h"
#include "ui/FormBuilder.h"
#include "ui/QtToolkit.h"

namespace kvado::ui::test {
namespace {

struct GuardCase {
    const char* name;
    std::function<void()> command;
    const char* report; // nullptr: nothing reported
};

class CommandGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(CommandGuard, TurnsEveryErrorIntoTheErrorReport) {
    RecorderToolkit toolkit;
    bool after = false;
    runCommand(toolkit, [&] {
        GetParam().command();
        after = true;
    });
    const auto& report = GetParam().report;
    if (report == nullptr) {
        EXPECT_TRUE(toolkit.entries().empty());
        EXPECT_TRUE(after);
    } else {
        EXPECT_EQ(toolkit.entries(), (std::vector<Entry>{{Kind::Error, u(report)}}));
        EXPECT_FALSE(after) << "the command ends at the error";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandGuard,
    ::testing::Values(GuardCase{"Nothing", [] {}, nullptr},
                      GuardCase{"Conversion", [] { text::localRealOrThrow(" ?", ','); },
                                "' ?' is not a valid floating point value"},
                      GuardCase{"File", [] { throw FileError("Нет доступа к файлу Kvaq.log"); },
                                "Нет доступа к файлу Kvaq.log"},
                      GuardCase{"ProblemSize", [] { checkCounts(1, 0, 0, -1); },
                                "a count of constraints or unknowns is negative"},
                      GuardCase{"OutOfMemory", [] { throw std::bad_alloc(); }, "Out of memory"},
                      GuardCase{"AnyStdException", [] { throw std::logic_error("broken"); },
                                "broken"},
                      GuardCase{"SomethingElse", [] { throw 42; }, "Unknown error"}),
    [](const auto& info) { return std::string(info.param.name); });

// A toolkit whose report itself fails still lets nothing through.
TEST(CommandGuardReport, FailingReportIsSwallowed) {
    struct Failing : RecorderToolkit {
        void showError(const QString&) override { throw std::runtime_error("no box"); }
    } toolkit;
    EXPECT_NO_THROW(runCommand(toolkit, [] { throw std::runtime_error("x"); }));
}

TEST(Recorder, FileDialogsTakeThePreparedAnswersInOrder) {
    RecorderToolkit toolkit;
    toolkit.answerFileDialog(QStringLiteral("/data/a.dat"));
    toolkit.answerFileDialog(std::nullopt);
    FileDialogOptions open;
    open.title = u("Открыть");
    open.filter = u("Исходные данные |*.dat|Все файлы |*.*");
    FileDialogOptions save;
    save.title = u("Задайте имя для файла данных");
    EXPECT_EQ(toolkit.openFileDialog(open), QStringLiteral("/data/a.dat"));
    EXPECT_EQ(toolkit.saveFileDialog(save), std::nullopt);
    EXPECT_EQ(toolkit.openFileDialog(open), std::nullopt);
    EXPECT_EQ(toolkit.unansweredDialogs(), 1);
    EXPECT_EQ(toolkit.entries(), (std::vector<Entry>{{Kind::OpenDialog, u("Открыть")},
                                                     {Kind::SaveDialog, save.title},
                                                     {Kind::OpenDialog, u("Открыть")}}));
    ASSERT_EQ(toolkit.fileDialogs().size(), 3u);
    EXPECT_EQ(toolkit.fileDialogs()[0].filter, open.filter);
}

TEST(Recorder, ModalWindowRunsTheActionWhileShown) {
    RecorderToolkit toolkit;
    QDialog dialog;
    dialog.setObjectName("TfrmResults2");
    bool visibleInside = false;
    toolkit.setModalAction([&](QDialog& d) {
        visibleInside = d.isVisible();
        toolkit.showMessage("inside");
    });
    toolkit.showModal(dialog);
    EXPECT_TRUE(visibleInside);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(toolkit.entries(),
              (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}, {Kind::Message, "inside"}}));
}

TEST(QtToolkitFilters, PairsBecomeQtNameFilters) {
    EXPECT_EQ(QtToolkit::nameFilters(u("Отчеты|*.rtf|Все файлы|*.*")),
              (QStringList{u("Отчеты (*.rtf)"), u("Все файлы (*.*)")}));
    EXPECT_EQ(QtToolkit::nameFilters(u("Данные|*.dat;*.txt")),
              QStringList{u("Данные (*.dat *.txt)")});
    EXPECT_EQ(QtToolkit::nameFilters(""), QStringList{});
}

TEST(HelpFile, LooksInTheDataFolderThenNextToTheProgram) {
    const QStringList candidates = helpFileCandidates("/opt/kvado/bin");
    EXPECT_EQ(candidates,
              (QStringList{"/opt/kvado/share/kvado/PRIMER.HLP", "/opt/kvado/bin/PRIMER.HLP"}));
}

TEST(HelpFile, FirstExistingCandidateIsTaken) {
    InTempFolder folder;
    const QString present = folder.path("PRIMER.HLP");
    QFile f(present);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(findHelpFile({folder.path("missing/PRIMER.HLP"), present}), present);
    EXPECT_EQ(findHelpFile({folder.path("missing/PRIMER.HLP")}), QString());
    // A folder of that name is no help file.
    QDir(folder.path(".")).mkdir("sub");
    QDir(folder.path("sub")).mkdir("PRIMER.HLP");
    EXPECT_EQ(findHelpFile({folder.path("sub/PRIMER.HLP")}), QString());
}

TEST(HelpFile, NotFoundTextSaysWhereItLooked) {
    EXPECT_EQ(helpFileNotFoundText({"/a/PRIMER.HLP", "/b/PRIMER.HLP"}),
              u("Файл справки PRIMER.HLP не найден.\r\nОн искался здесь:\r\n/a/PRIMER.HLP\r\n"
                "/b/PRIMER.HLP"));
}

struct FitCase {
    const char* name;
    const char* text;
    int designWidth;
    int room;
};

void expectFits(const QFont& font, const FitCase& c) {
    QWidget label;
    label.setFont(font);
    const int width = fitLabel(&label, u(c.text), c.designWidth, c.room);
    EXPECT_GE(width, c.designWidth);
    EXPECT_LE(width, std::max(c.designWidth, c.room));
    EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(u(c.text).trimmed()), width);
}

const FitCase kFitCases[] = {
    {"Short", "x", 50, 60},
    {"Designed", "Число неизвестных  = ", 144, 160},
    {"TrailingBlanksDoNotCount", "ab                              ", 20, 30},
    {"TooLongShrinks", "Число ограничений вида  >=  ", 100, 120},
    {"FarTooLongNarrows", "Число ограничений вида  >=  ", 40, 60},
};

std::string fitCaseName(const ::testing::TestParamInfo<FitCase>& info) {
    return info.param.name;
}

class FitLabel : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitLabel, TextStaysWithinTheRoom) {
    expectFits(windowFont(13), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, FitLabel, ::testing::ValuesIn(kFitCases), fitCaseName);

// DejaVu Sans as it is, a sixth wider than the font the windows were laid out in: the only
// sans family of a fresh system, where the fitting must hold too.
class FitLabelInDejaVu : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitLabelInDejaVu, TextStaysWithinTheRoom) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("DejaVu Sans"));
    expectFits(font, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, FitLabelInDejaVu, ::testing::ValuesIn(kFitCases), fitCaseName);

// A family wider than Arial is narrowed to Arial's widths, so that the windows' texts keep
// within the widths they were laid out in; one of Arial's widths is left as it is.
TEST(WindowFont, WiderFamilyIsNarrowedToArialWidths) {
    QFont arial(QStringLiteral("Liberation Sans")), dejavu(QStringLiteral("DejaVu Sans"));
    for (QFont* f : {&arial, &dejavu})
        f->setPixelSize(13);
    ASSERT_EQ(QFontInfo(arial).family(), QStringLiteral("Liberation Sans"));
    ASSERT_EQ(QFontInfo(dejavu).family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(withArialWidths(arial), arial);
    const QString text =
        u("Справка о программе вызывается клавишей F1.  (см также Меню | Описание)");
    const qreal designed = QFontMetricsF(arial).horizontalAdvance(text);
    EXPECT_GT(QFontMetricsF(dejavu).horizontalAdvance(text), designed * 1.1);
    const qreal narrowed = QFontMetricsF(withArialWidths(dejavu)).horizontalAdvance(text);
    EXPECT_LE(narrowed, designed * 1.02);
    EXPECT_GE(narrowed, designed * 0.95);
}

struct AnchorCase {
    const char* name;
    Qt::Edges anchors;
    QRect expected; // for the design rect (10, 20, 30, 40) in a 100 x 100 area grown to 150 x 130
};

class Anchors : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(Anchors, KeepTheDistanceToTheAnchoredEdges) {
    QWidget area;
    auto* child = new QWidget(&area);
    Anchoring anchoring(QSize(100, 100));
    anchoring.add(child, QRect(10, 20, 30, 40), GetParam().anchors);
    EXPECT_EQ(child->geometry(), QRect(10, 20, 30, 40));
    anchoring.apply(QSize(150, 130));
    EXPECT_EQ(child->geometry(), GetParam().expected);
    anchoring.apply(QSize(100, 100));
    EXPECT_EQ(child->geometry(), QRect(10, 20, 30, 40)) << "back to the design size";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Anchors,
    ::testing::Values(
        AnchorCase{"LeftTop", Qt::LeftEdge | Qt::TopEdge, {10, 20, 30, 40}},
        AnchorCase{"AllSides",
                   Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge,
                   {10, 20, 80, 70}},
        AnchorCase{"RightBottom", Qt::RightEdge | Qt::BottomEdge, {60, 50, 30, 40}},
        AnchorCase{
            "LeftRightBottom", Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge, {10, 50, 80, 40}},
        AnchorCase{"LeftTopRight", Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge, {10, 20, 80, 40}}),
    [](const auto& info) { return std::string(info.param.name); });

// The builder's controls stand where designed (anchored ones follow the area), are found by
// name, show a label's text as typed, and only a dialog button takes Enter for itself: Enter on
// any other goes to the window's default button.
TEST(FormBuilder, PlacesNamesAndLeavesEnterToTheDefaultButton) {
    QDialog dialog;
    Anchoring anchoring(QSize(100, 100));
    FormBuilder anchored(&dialog, &anchoring), plain(&dialog);
    QPushButton* ok = plain.dialogButton("btnOK", u("ОК"));
    ok->setDefault(true);
    QPushButton* own = plain.dialogButton("btnOwn", u("Свой"));
    QPushButton* button = anchored.button("btnMoved", u("Сдвиг"), QRect(10, 20, 30, 40),
                                          Qt::RightEdge | Qt::BottomEdge);
    QLabel* label = plain.label("lblTag", u("<b>x</b>"), QRect(5, 6, 10, 16), 300);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lblTag")), label);
    EXPECT_EQ(label->geometry().topLeft(), QPoint(5, 6));
    // Shown as typed, the tags and all (as markup it would be one bold letter).
    EXPECT_GE(label->sizeHint().width(),
              QFontMetrics(label->font()).horizontalAdvance(u("<b>x</b>")));
    anchoring.apply(QSize(150, 130));
    EXPECT_EQ(button->geometry(), QRect(60, 50, 30, 40));

    QSignalSpy okClicks(ok, &QPushButton::clicked), ownClicks(own, &QPushButton::clicked),
        buttonClicks(button, &QPushButton::clicked);
    dialog.show();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(okClicks.count(), 1);
    EXPECT_EQ(buttonClicks.count(), 0);
    dialog.show();
    QTest::keyClick(own, Qt::Key_Return);
    EXPECT_EQ(ownClicks.count(), 1);
    EXPECT_EQ(okClicks.count(), 1);
}

} // namespace
} // namespace kvado::ui::test
