// The graph window («Графический метод») reached from the results window and from the main
// menu: what it is given to draw, its PNG and SVG files, and its picture in the saved report.

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSvgRenderer>
#include <algorithm>
#include <cstdlib>

#include "RequiredInput.h"
#include "UiTestSupport.h"
#include "ui/unGraph.h"

namespace kvado::ui::test {
namespace {

class GraphWindow : public MainWindowFixture {
protected:
    // Maximise 3·x1 + 5·x2 under x1 <= 4, 2·x2 <= 12, 3·x1 + 2·x2 <= 18: optimum (2; 6).
    void enterProductMix(const char* unknowns = "2") {
        if (std::string(unknowns) == "2") {
            enterProblem("0", "0", "3", "2",
                         {{"4", "1", "0"}, {"12", "0", "2"}, {"18", "3", "2"}, {"-3", "-5"}});
        } else {
            enterProblem("0", "0", "3", "3",
                         {{"4", "1", "0", "1"},
                          {"12", "0", "2", "1"},
                          {"18", "3", "2", "1"},
                          {"-3", "-5", "-1"}});
        }
        type(0, 2, "цех1");
        type(0, 3, "цех2");
        type(0, 4, "цех3");
    }
    TfrmResults2& results() { return *form->windows().results2; }
    TfrmGraph* graph() { return form->findChild<TfrmGraph*>(); }
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    InTempFolder folder;
};

TEST_F(GraphWindow, FromTheResultsWindowExportsPngSvgAndPutsThePictureIntoTheReport) {
    EXPECT_FALSE(results().btnGraph->isEnabled());
    enterProductMix();
    form->btnSolve->click();
    ASSERT_TRUE(results().btnGraph->isEnabled());
    results().btnGraph->click();
    EXPECT_EQ(toolkit.texts(Kind::Modal), (QStringList{"TfrmResults2", "TfrmGraph"}));
    TfrmGraph* w = graph();
    ASSERT_NE(w, nullptr);

    // The solver's plan is the one marked, and the path ends there; the rows keep their names.
    const GraphContents& c = w->view->contents();
    ASSERT_TRUE(c.solverOptimum.has_value());
    EXPECT_NEAR(static_cast<double>(c.solverOptimum->x1), 2, 1e-12);
    EXPECT_NEAR(static_cast<double>(c.solverOptimum->x2), 6, 1e-12);
    EXPECT_EQ(c.solution.outcome, analysis::PlaneOutcome::Optimal);
    ASSERT_EQ(c.problem.rows.size(), 3u);
    EXPECT_EQ(c.problem.rows[1].name, "цех2");
    // The method's path: from the slacks' vertex (0, 0) X[2] enters (the larger fall of Z per
    // unit), then X[1].
    const auto& path = w->view->simplexPath();
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(static_cast<double>(path[0].x1), 0);
    EXPECT_EQ(static_cast<double>(path[0].x2), 0);
    EXPECT_NEAR(static_cast<double>(path[1].x2), 6, 1e-12);
    EXPECT_NEAR(static_cast<double>(path[2].x1), 2, 1e-12);
    EXPECT_EQ(w->lblInfo->text(), u("Оптимум: X[1] = 2, X[2] = 6, Z = -36"));

    // A wheel notch's zoom and «Вписать» back to the default view.
    const analysis::ViewBox fitted = w->view->viewBox();
    w->view->zoom(1.25, QPointF(100, 100));
    EXPECT_LT(w->view->viewBox().width(), fitted.width());
    w->btnFit->click();
    EXPECT_EQ(w->view->viewBox().width(), fitted.width());

    // A path as the pass recorder gives it, a phase-1 point far out included: all of it shows.
    w->setSimplexPath({{0, 0}, {0, 30}, {0, 6}, {2, 6}});
    EXPECT_EQ(w->view->simplexPath().size(), 4u);
    EXPECT_TRUE(w->view->viewBox().contains({0, 30}));
    EXPECT_TRUE(w->view->viewBox().contains({6, 0})) << "the default view stays within";

    toolkit.answerFileDialog(folder.path("graph.png"));
    w->btnPng->click();
    const QImage png = QImage::fromData(bytesOf(folder.path("graph.png")), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_GE(png.width(), 640);
    toolkit.answerFileDialog(folder.path("graph.svg"));
    w->btnSvg->click();
    const QByteArray svg = bytesOf(folder.path("graph.svg"));
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(QSvgRenderer(svg).isValid());

    // «В отчет»: the section once per showing, and the saved RTF carries the picture.
    w->btnReport->click();
    EXPECT_FALSE(w->btnReport->isEnabled());
    const auto& paragraphs = form->session().report().paragraphs();
    const auto pictures = std::count_if(paragraphs.begin(), paragraphs.end(),
                                        [](const report::Paragraph& p) { return p.picture; });
    EXPECT_EQ(pictures, 1);
    toolkit.answerFileDialog(folder.path("report.rtf"));
    form->windows().results->btnSave->click();
    const QByteArray rtf = bytesOf(folder.path("report.rtf"));
    EXPECT_TRUE(rtf.contains("{\\pict\\pngblip\\picw605\\pich454"));
    EXPECT_TRUE(rtf.contains("89504e470d0a1a0a")) << "the PNG signature";
    EXPECT_TRUE(toolkit.texts(Kind::Error).isEmpty());

    // What an RTF reader takes out of the saved report is the picture at its size.
    KVADO_REQUIRE_INPUT(QFile::exists("/usr/bin/unrtf"), "/usr/bin/unrtf");
    const std::string command =
        "cd '" + folder.dir().toStdString() + "' && /usr/bin/unrtf --html report.rtf > report.html";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const QImage taken(folder.path("pict001.png"));
    ASSERT_FALSE(taken.isNull());
    EXPECT_EQ(taken.size(), TfrmGraph::kReportPictureSize);
}

TEST_F(GraphWindow, MainMenuDrawsTwoUnknownsWhateverTheSolveFound) {
    enterProductMix("3");
    EXPECT_FALSE(form->idGraph->isEnabled());
    form->btnSolve->click();
    EXPECT_FALSE(results().btnGraph->isEnabled()) << "three unknowns";

    // x1 + x2 >= 5 and x1 + x2 <= 2: the message of the solve, then the empty region.
    enterProblem("1", "0", "1", "2", {{"5", "1", "1"}, {"2", "1", "1"}, {"1", "1"}});
    ASSERT_TRUE(form->idGraph->isEnabled());
    toolkit.clear();
    form->idGraph->trigger();
    const QStringList modal = toolkit.texts(Kind::Modal);
    ASSERT_FALSE(modal.isEmpty());
    EXPECT_EQ(modal.back(), u("TfrmGraph"));
    ASSERT_NE(graph(), nullptr);
    EXPECT_EQ(graph()->view->contents().solution.region.kind, analysis::RegionKind::Empty);
    EXPECT_FALSE(graph()->view->contents().solverOptimum.has_value());
    EXPECT_TRUE(graph()->lblInfo->text().startsWith(u("Область допустимых решений пуста")));
    EXPECT_FALSE(graph()->view->pngBytes(QSize(400, 300)).isEmpty());
}

} // namespace
} // namespace kvado::ui::test
