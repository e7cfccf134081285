#pragma once
// Graph window (TfrmGraph, «Графический метод»): a problem of two unknowns drawn in the plane —
// the constraints' lines with their feasible sides, the feasible region, the objective's level
// line through the optimum with the direction in which Z falls, and the simplex path.

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PlaneGeometry.h"
#include "ui/Form.h"

class QLabel;
class QPainter;
class QPushButton;

namespace kvado::session {
class Session;
}

namespace kvado::ui {

// What the picture shows: the problem, its geometry, the names and the solver's answer.
struct GraphContents {
    analysis::PlaneProblem problem;
    analysis::PlaneSolution solution;
    std::string x1Name = "X[1]", x2Name = "X[2]";
    char decimalSeparator = ',';
    // The solver's optimal plan; without it the geometry's own optimal vertex is marked.
    std::optional<analysis::PlanePoint> solverOptimum;

    // An integer problem: the whole points in view (those of the region dark), the lines the
    // search added (the branches' bounds, or Gomory's cuts) dashed under their labels, and
    // the integer optimum.
    bool integerPoints = false;
    struct Line {
        Real a1 = 0, a2 = 0, b = 0; // a1·X1 + a2·X2 = b
        std::string label;
    };
    std::vector<Line> addedLines;
    std::optional<analysis::PlanePoint> integerOptimum;
};

// The picture itself. The wheel zooms about the pointer, a drag moves the view; fit() brings
// back the default view (widened to the simplex path).
class GraphView : public QWidget {
    Q_OBJECT
public:
    explicit GraphView(QWidget* parent = nullptr);

    void setContents(GraphContents contents);
    const GraphContents& contents() const { return m_contents; }
    // The vertices the simplex method visited, in order; drawn joined and numbered. fit()
    // shows them all.
    void setSimplexPath(std::vector<analysis::PlanePoint> points);
    const std::vector<analysis::PlanePoint>& simplexPath() const { return m_path; }

    const analysis::ViewBox& viewBox() const { return m_view; }
    void fit();
    // Zooms by `factor` (> 1: closer) keeping the point under `at` (widget pixels) in place.
    void zoom(double factor, QPointF at);

    // Draws the picture into `size` pixels of `painter`, the view as it stands.
    void render(QPainter& painter, QSize size) const;
    // The picture as a PNG file's bytes, and as an SVG document.
    QByteArray pngBytes(QSize size) const;
    QByteArray svgBytes(QSize size) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    GraphContents m_contents;
    std::vector<analysis::PlanePoint> m_path;
    analysis::ViewBox m_view;
    std::optional<QPointF> m_dragFrom;
};

class TfrmGraph : public Form {
    Q_OBJECT
public:
    explicit TfrmGraph(Toolkit& toolkit, QWidget* parent = nullptr);

    // The problem the session holds (two unknowns), named as its input grid names it;
    // `solverOptimum`: the plan of the solve that just ended at an optimum. The simplex path
    // starts as that plan alone. «В отчет» puts the picture into the session's report.
    void setSession(session::Session& session, std::optional<analysis::PlanePoint> solverOptimum);
    // Without a session: «В отчет» is disabled.
    void setContents(GraphContents contents);
    // The same, shown modally (an integer search's picture).
    void showContents(GraphContents contents);
    // Fills the window from the session and shows it modally; `path`: the simplex path, the
    // basic solutions (X1, X2) of the passes in order (none: the final plan alone).
    void showGraph(session::Session& session, std::optional<analysis::PlanePoint> solverOptimum,
                   std::vector<analysis::PlanePoint> path = {});
    // The simplex path, drawn joined and numbered 1, 2, ...; the view is fitted again so that
    // every point of it shows.
    void setSimplexPath(std::vector<analysis::PlanePoint> points);

    // --- handlers ------------------------------------------------------------------------
    void btnFitClick();
    void btnPngClick();
    void btnSvgClick();
    // Appends the heading and the picture to the report (once per showing).
    void btnReportClick();

    // The size of the picture the report takes, in pixels at 96 per inch: 16 x 12 cm.
    static constexpr QSize kReportPictureSize{605, 454};

    // --- controls ------------------------------------------------------------------------
    QLabel* lblInfo;
    GraphView* view;
    QPushButton* btnFit;
    QPushButton* btnPng;
    QPushButton* btnSvg;
    QPushButton* btnReport;
    QPushButton* btnClose;

private:
    // The exported picture's size: the view's, at least 640 x 480.
    QSize exportSize() const;
    void saveAs(const char* title, const char* filter, const char* ext, bool svg);
    session::Session* m_session = nullptr;
};

// The line under the title: what the picture found, in words.
QString graphSummary(const GraphContents& contents);

} // namespace kvado::ui
