#include "ui/unGraph.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QPushButton>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "analysis/Ranging.h"
#include "base/FileIo.h"
#include "grid/GridNames.h"
#include "session/Session.h"
#include "text/NumberText.h"
#include "ui/FormBuilder.h"

namespace kvado::ui {

using analysis::PlanePoint;
using analysis::ViewBox;

namespace {

// Room around the plot for the tick labels and the axes' names.
constexpr double kLeft = 56, kRight = 18, kTop = 22, kBottom = 40;

// One colour per constraint, repeating after eight.
const QColor kLineColours[] = {QColor(0, 90, 200),  QColor(200, 90, 0), QColor(120, 0, 160),
                               QColor(0, 140, 140), QColor(170, 0, 60), QColor(90, 110, 0),
                               QColor(110, 70, 40), QColor(60, 60, 60)};
const QColor kRegionColour(120, 200, 120, 110);
const QColor kOptimumColour(200, 0, 0);
const QColor kPathColour(0, 60, 160);

// The view's mapping between the plane and the pixels of a picture of `size`.
class Mapping {
public:
    Mapping(const ViewBox& box, QSize size)
        : m_box(box), m_plot(kLeft, kTop, std::max(10.0, size.width() - kLeft - kRight),
                             std::max(10.0, size.height() - kTop - kBottom)) {}
    QPointF toScreen(const PlanePoint& p) const {
        return {m_plot.left() +
                    static_cast<double>((p.x1 - m_box.x1min) / m_box.width()) * m_plot.width(),
                m_plot.top() +
                    static_cast<double>((m_box.x2max - p.x2) / m_box.height()) * m_plot.height()};
    }
    PlanePoint toPlane(QPointF s) const {
        return {m_box.x1min + Real((s.x() - m_plot.left()) / m_plot.width()) * m_box.width(),
                m_box.x2max - Real((s.y() - m_plot.top()) / m_plot.height()) * m_box.height()};
    }
    // A unit screen direction of the plane direction d taken at p.
    QPointF screenDirection(const PlanePoint& p, const PlanePoint& d) const {
        const Real h = std::max(m_box.width(), m_box.height()) / 100;
        const QPointF a = toScreen(p), b = toScreen({p.x1 + h * d.x1, p.x2 + h * d.x2});
        const QPointF v = b - a;
        const double n = std::hypot(v.x(), v.y());
        return n > 0 ? v / n : QPointF(0, 0);
    }
    const QRectF& plot() const { return m_plot; }

private:
    ViewBox m_box;
    QRectF m_plot;
};

// A step of 1, 2 or 5 times a power of ten that gives about `count` ticks over `span`.
Real tickStep(Real span, int count) {
    const Real raw = span / count;
    const Real power = std::pow(Real(10), std::floor(std::log10(raw)));
    for (Real m : {1.0L, 2.0L, 5.0L})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

QString numberText(Real v, char sep) {
    return QString::fromStdString(text::formatShortGeneral(v, sep));
}

void drawArrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double n = std::hypot(d.x(), d.y());
    if (n == 0) return;
    const QPointF u = d / n, w(-u.y(), u.x());
    QPolygonF head;
    head << to << to - 10 * u + 4 * w << to - 10 * u - 4 * w;
    p.save();
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
    p.restore();
}

// A label with a white halo so that it reads over lines and the region, moved inside `bounds`
// where it would stick out.
void drawLabel(QPainter& p, QPointF at, const QString& text, const QColor& colour,
               const QRectF& bounds) {
    const QRectF r = p.fontMetrics().boundingRect(text);
    QRectF box(at.x(), at.y() - r.height() + 3, r.width() + 4, r.height());
    if (box.right() > bounds.right() - 2) box.moveRight(bounds.right() - 2);
    if (box.left() < bounds.left() + 2) box.moveLeft(bounds.left() + 2);
    if (box.bottom() > bounds.bottom() - 2) box.moveBottom(bounds.bottom() - 2);
    if (box.top() < bounds.top() + 2) box.moveTop(bounds.top() + 2);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(box);
    p.setPen(colour);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();
}

// One drawing of the picture: the painter, what it shows and the view's mapping, shared by the
// layers drawn one over another (render() lists them in their order).
class Picture {
public:
    Picture(QPainter& painter, const GraphContents& contents, const ViewBox& view, QSize size)
        : p(painter), c(contents), s(contents.solution), box(view), map(view, size),
          plot(map.plot()), optimal(s.outcome == analysis::PlaneOutcome::Optimal),
          best(contents.solverOptimum.value_or(s.optimum)) {}

    // White ground, smooth lines, the labels' font.
    void begin(QSize size);
    const QRectF& plotRect() const { return plot; }
    void gridAndTicks();
    void region();
    void axes();
    void constraints();
    void optimalEdge();
    void objective();
    void unboundedDescent();
    void simplexPath(const std::vector<PlanePoint>& path);
    void wholePoints();
    void addedLines();
    void integerOptimum();
    void optimum();
    void emptyRegionNote();

private:
    QString num(Real v) const { return numberText(v, c.decimalSeparator); }
    void label(QPointF at, const QString& text, const QColor& colour) {
        drawLabel(p, at, text, colour, plot);
    }
    // The middle of what shows of the region (its corners' mean).
    QPointF regionMiddle() const {
        QPointF centre;
        for (const QPointF& x : regionShape)
            centre += x / regionShape.size();
        return centre;
    }

    QPainter& p;
    const GraphContents& c;
    const analysis::PlaneSolution& s;
    const ViewBox& box;
    const Mapping map;
    const QRectF plot;
    const bool optimal;
    // The solver's plan where there is one, else the geometry's own optimal vertex.
    const PlanePoint best;
    QFont font;
    // What shows of the region, in pixels.
    QPolygonF regionShape;
};

void Picture::begin(QSize size) {
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
    font = p.font();
    font.setPixelSize(12);
    p.setFont(font);
}

// Grid and ticks: labels along the plot's lower and left edges, where they always show.
void Picture::gridAndTicks() {
    p.setPen(QColor(200, 200, 200));
    p.drawRect(plot);
    const Real step1 = tickStep(box.width(), std::max(2, static_cast<int>(plot.width() / 90)));
    const Real step2 = tickStep(box.height(), std::max(2, static_cast<int>(plot.height() / 50)));
    // Ticks by their index, so that no sum of steps drifts off a round value.
    const Real first1 = std::ceil(box.x1min / step1), first2 = std::ceil(box.x2min / step2);
    for (int k = 0; k < 200 && (first1 + k) * step1 <= box.x1max; ++k) {
        const Real v = (first1 + k) * step1 + Real(0); // never "-0"
        const double x = map.toScreen({v, 0}).x();
        p.setPen(QColor(232, 232, 232));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(Qt::black);
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
        p.drawText(QRectF(x - 40, plot.bottom() + 5, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                   num(v));
    }
    for (int k = 0; k < 200 && (first2 + k) * step2 <= box.x2max; ++k) {
        const Real v = (first2 + k) * step2 + Real(0);
        const double y = map.toScreen({0, v}).y();
        p.setPen(QColor(232, 232, 232));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        p.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        p.drawText(QRectF(0, y - 8, plot.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                   num(v));
    }
}

// The feasible region.
void Picture::region() {
    for (const PlanePoint& x : analysis::regionInBox(s.region, box))
        regionShape << map.toScreen(x);
    if (regionShape.size() >= 3) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRegionColour);
        p.drawPolygon(regionShape);
    }
    // The region's name as the textbooks give it, under the middle of what shows of it (an
    // unbounded objective's arrow starts at the middle), when it shows with an area.
    double area = 0;
    for (int k = 0; k < regionShape.size(); ++k) {
        const QPointF& a = regionShape[k];
        const QPointF& b = regionShape[(k + 1) % regionShape.size()];
        area += (a.x() * b.y() - b.x() * a.y()) / 2;
    }
    if (std::fabs(area) > 400)
        label(regionMiddle() + QPointF(-14, 20), QStringLiteral("ОДР"), QColor(30, 110, 30));
    // A region without area (a segment, a ray, a point) as a broad stroke.
    if (!regionShape.isEmpty()) {
        p.setPen(QPen(QColor(60, 160, 60), 6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        if (regionShape.size() < 3) p.drawPolyline(regionShape);
        if (regionShape.size() == 1) p.drawPoint(regionShape.front());
    }
}

// The axes.
void Picture::axes() {
    p.setPen(QPen(Qt::black, 1.5));
    const QPointF origin = map.toScreen({0, 0});
    drawArrow(p, QPointF(plot.left(), origin.y()), QPointF(plot.right() - 2, origin.y()));
    drawArrow(p, QPointF(origin.x(), plot.bottom()), QPointF(origin.x(), plot.top() + 2));
    label(QPointF(plot.right(), origin.y() - 6), QString::fromStdString(c.x1Name), Qt::black);
    label(QPointF(origin.x() + 6, plot.top() + 14), QString::fromStdString(c.x2Name), Qt::black);
}

// Each constraint's line, a band on its feasible side, and its name.
void Picture::constraints() {
    const int rows = static_cast<int>(c.problem.rows.size());
    for (int k = 0; k < rows; ++k) {
        const analysis::PlaneRow& r = c.problem.rows[static_cast<size_t>(k)];
        const auto seg = analysis::lineInBox(r.a1, r.a2, r.b, box);
        if (!seg) continue;
        const QColor colour = kLineColours[k % std::size(kLineColours)];
        const QPointF a = map.toScreen(seg->first), b = map.toScreen(seg->second);
        if (r.relation != RowKind::Equal) {
            const Real sign = r.relation == RowKind::Greater ? 1 : -1;
            const QPointF n = map.screenDirection(seg->first, {sign * r.a1, sign * r.a2});
            QColor band = colour;
            band.setAlpha(55);
            p.setPen(Qt::NoPen);
            p.setBrush(band);
            p.drawPolygon(QPolygonF() << a << b << b + 8 * n << a + 8 * n);
        }
        p.setPen(QPen(colour, r.relation == RowKind::Equal ? 2.5 : 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawLine(a, b);
        // Names spread along their lines, so that lines through one corner keep them apart.
        const double t = 0.12 + 0.76 * std::fmod(0.61803 * (k + 1), 1.0);
        label(a + t * (b - a) + QPointF(4, -4), QString::fromStdString(r.name), colour);
    }
}

// Another optimum: the edge (or ray) of optimal points.
void Picture::optimalEdge() {
    if (!optimal || !s.otherOptima || !(s.edgeEnd || s.edgeRay)) return;
    const Real far = 4 * (std::fabs(box.width()) + std::fabs(box.height()) +
                          std::max(std::fabs(best.x1), std::fabs(best.x2)));
    const PlanePoint end = s.edgeEnd ? *s.edgeEnd
                                     : PlanePoint{s.optimum.x1 + far * s.edgeRay->x1,
                                                  s.optimum.x2 + far * s.edgeRay->x2};
    p.setPen(QPen(QColor(230, 120, 0), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(map.toScreen(s.optimum), map.toScreen(end));
    const QPointF mid = (map.toScreen(s.optimum) + map.toScreen(s.edgeEnd ? end : s.optimum)) / 2;
    label(mid + QPointF(6, 30), QStringLiteral("оптимальные решения"), QColor(200, 90, 0));
}

// The objective: its level line through the optimum and the direction in which Z falls.
void Picture::objective() {
    const bool costless = c.problem.c1 == 0 && c.problem.c2 == 0;
    if (!optimal || costless) return;
    const Real z = c.problem.c1 * best.x1 + c.problem.c2 * best.x2;
    if (const auto level = analysis::lineInBox(c.problem.c1, c.problem.c2, z, box)) {
        p.setPen(QPen(kOptimumColour, 1.5, Qt::DashLine));
        p.drawLine(map.toScreen(level->first), map.toScreen(level->second));
    }
    const QPointF at = map.toScreen(best);
    const QPointF d = map.screenDirection(best, {-c.problem.c1, -c.problem.c2});
    p.setPen(QPen(kOptimumColour, 2));
    drawArrow(p, at, at + 56 * d);
    label(at + 60 * d + QPointF(2, 4), QStringLiteral("Z убывает"), kOptimumColour);
}

// An unbounded objective's direction of descent, from the middle of the region in view, where
// it does not hide behind an edge.
void Picture::unboundedDescent() {
    if (s.outcome != analysis::PlaneOutcome::Unbounded) return;
    const QPointF at = regionShape.size() >= 3 ? regionMiddle() : map.toScreen(s.descentFrom);
    const QPointF d = map.screenDirection(map.toPlane(at), s.descent);
    p.setPen(QPen(kOptimumColour, 3));
    drawArrow(p, at, at + 90 * d);
    label(at + 94 * d + QPointF(2, 4), QStringLiteral("Z → −∞"), kOptimumColour);
}

// The simplex path: the visited vertices joined in order and numbered.
void Picture::simplexPath(const std::vector<PlanePoint>& points) {
    if (points.empty()) return;
    QPolygonF path;
    for (const PlanePoint& x : points)
        path << map.toScreen(x);
    p.setPen(QPen(kPathColour, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(path);
    for (int k = 0; k < path.size(); ++k) {
        p.setBrush(Qt::white);
        p.drawEllipse(path[k], 4, 4);
        label(path[k] + QPointF(-14, -6), QString::number(k + 1), kPathColour);
    }
}

// An integer problem's whole points in view, those of the region dark. Too many points would
// hide the picture: none are drawn beyond 60 a side.
void Picture::wholePoints() {
    const Real lo1 = std::ceil(box.x1min), hi1 = std::floor(box.x1max);
    const Real lo2 = std::ceil(box.x2min), hi2 = std::floor(box.x2max);
    if (hi1 - lo1 > 60 || hi2 - lo2 > 60) return;
    for (Real x1 = std::max<Real>(lo1, 0); x1 <= hi1; ++x1)
        for (Real x2 = std::max<Real>(lo2, 0); x2 <= hi2; ++x2) {
            bool inside = true;
            for (const analysis::PlaneRow& r : c.problem.rows) {
                const Real lhs = r.a1 * x1 + r.a2 * x2, tol = 1e-9L * (1 + std::fabs(r.b));
                if ((r.relation == RowKind::Less && lhs > r.b + tol) ||
                    (r.relation == RowKind::Greater && lhs < r.b - tol) ||
                    (r.relation == RowKind::Equal && std::fabs(lhs - r.b) > tol))
                    inside = false;
            }
            p.setPen(Qt::NoPen);
            p.setBrush(inside ? QColor(20, 20, 20) : QColor(175, 175, 175));
            p.drawEllipse(map.toScreen({x1, x2}), inside ? 2.6 : 1.8, inside ? 2.6 : 1.8);
        }
}

// The lines an integer search added (the branches' bounds, or Gomory's cuts), dashed.
void Picture::addedLines() {
    const QColor added(140, 40, 170);
    for (size_t k = 0; k < c.addedLines.size(); ++k) {
        const GraphContents::Line& l = c.addedLines[k];
        const auto seg = analysis::lineInBox(l.a1, l.a2, l.b, box);
        if (!seg) continue;
        const QPointF a = map.toScreen(seg->first), b = map.toScreen(seg->second);
        p.setPen(QPen(added, 1.6, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawLine(a, b);
        const double t = 0.2 + 0.6 * std::fmod(0.38197 * double(k + 1), 1.0);
        label(a + t * (b - a) + QPointF(4, 12), QString::fromStdString(l.label), added);
    }
}

// The integer optimum, framed, with its coordinates and Z.
void Picture::integerOptimum() {
    if (!c.integerOptimum) return;
    const QPointF at = map.toScreen(*c.integerOptimum);
    const QColor mark(180, 0, 120);
    p.setPen(QPen(mark, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(at - QPointF(7, 7), QSizeF(14, 14)));
    const Real z = c.problem.c1 * c.integerOptimum->x1 + c.problem.c2 * c.integerOptimum->x2;
    label(at + QPointF(10, -8),
          QStringLiteral("целочисленный оптимум (%1; %2), Z = %3")
              .arg(num(c.integerOptimum->x1), num(c.integerOptimum->x2), num(z)),
          mark);
}

// The optimum with its coordinates and Z.
void Picture::optimum() {
    if (!optimal) return;
    const QPointF at = map.toScreen(best);
    p.setPen(QPen(kOptimumColour, 1));
    p.setBrush(kOptimumColour);
    p.drawEllipse(at, 5, 5);
    const Real z = c.problem.c1 * best.x1 + c.problem.c2 * best.x2;
    label(at + QPointF(8, 16),
          QStringLiteral("(%1; %2), Z = %3").arg(num(best.x1), num(best.x2), num(z)),
          kOptimumColour);
}

// An empty region said in words across the top of the plot.
void Picture::emptyRegionNote() {
    if (s.region.kind != analysis::RegionKind::Empty) return;
    QFont big = font;
    big.setPixelSize(16);
    big.setBold(true);
    p.setFont(big);
    p.setPen(kOptimumColour);
    p.drawText(plot.adjusted(10, 10, -10, -10), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Область допустимых решений пуста"));
}

} // namespace

QString graphSummary(const GraphContents& c) {
    const analysis::PlaneSolution& s = c.solution;
    auto num = [&](Real v) { return numberText(v, c.decimalSeparator); };
    switch (s.outcome) {
    case analysis::PlaneOutcome::Infeasible:
        return QStringLiteral("Область допустимых решений пуста: задача не имеет решения");
    case analysis::PlaneOutcome::Unbounded:
        return QStringLiteral("Целевая функция не ограничена: Z убывает без конца вдоль стрелки");
    case analysis::PlaneOutcome::Optimal:
        break;
    }
    const PlanePoint x = c.solverOptimum.value_or(s.optimum);
    const Real z = c.problem.c1 * x.x1 + c.problem.c2 * x.x2;
    QString text = QStringLiteral("Оптимум: %1 = %2, %3 = %4, Z = %5")
                       .arg(QString::fromStdString(c.x1Name), num(x.x1),
                            QString::fromStdString(c.x2Name), num(x.x2), num(z));
    if (s.otherOptima) text += QStringLiteral("; задача имеет другие оптимальные решения");
    return text;
}

// --- GraphView -----------------------------------------------------------------------------

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GraphView"));
    setMinimumSize(320, 240);
    setAutoFillBackground(false);
    setCursor(Qt::OpenHandCursor);
}

void GraphView::setContents(GraphContents contents) {
    m_contents = std::move(contents);
    fit();
}

void GraphView::setSimplexPath(std::vector<PlanePoint> points) {
    m_path = std::move(points);
    update();
}

void GraphView::fit() {
    ViewBox b = analysis::defaultView(m_contents.problem, m_contents.solution);
    // The passes of phase 1 may stand outside the region and its lines' intercepts.
    const Real mx = b.width() / 20, my = b.height() / 20;
    for (const PlanePoint& x : m_path) {
        b.x1min = std::min(b.x1min, x.x1 - mx);
        b.x1max = std::max(b.x1max, x.x1 + mx);
        b.x2min = std::min(b.x2min, x.x2 - my);
        b.x2max = std::max(b.x2max, x.x2 + my);
    }
    m_view = b;
    update();
}

void GraphView::zoom(double factor, QPointF at) {
    if (!(factor > 0)) return;
    const Mapping map(m_view, size());
    const PlanePoint c = map.toPlane(at);
    const Real f = Real(1) / Real(factor);
    ViewBox v{c.x1 + (m_view.x1min - c.x1) * f, c.x1 + (m_view.x1max - c.x1) * f,
              c.x2 + (m_view.x2min - c.x2) * f, c.x2 + (m_view.x2max - c.x2) * f};
    // Neither into rounding noise nor out to where the numbers overflow.
    const Real span = std::max(v.width(), v.height());
    if (span < 1e-12L || span > 1e15L) return;
    m_view = v;
    update();
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    render(painter, size());
}

void GraphView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) zoom(std::pow(1.25, notches), event->position());
    event->accept();
}

void GraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_dragFrom = event->position();
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragFrom || !(event->buttons() & Qt::LeftButton)) return;
    const Mapping map(m_view, size());
    const PlanePoint a = map.toPlane(*m_dragFrom), b = map.toPlane(event->position());
    m_view.x1min -= b.x1 - a.x1;
    m_view.x1max -= b.x1 - a.x1;
    m_view.x2min -= b.x2 - a.x2;
    m_view.x2max -= b.x2 - a.x2;
    m_dragFrom = event->position();
    update();
}

void GraphView::render(QPainter& p, QSize size) const {
    Picture picture(p, m_contents, m_view, size);
    p.save();
    picture.begin(size);
    picture.gridAndTicks();
    // What stands in the plane stays inside the plot; the labels of the ticks stand outside.
    p.setClipRect(picture.plotRect());
    picture.region();
    picture.axes();
    picture.constraints();
    picture.optimalEdge();
    picture.objective();
    picture.unboundedDescent();
    picture.simplexPath(m_path);
    if (m_contents.integerPoints) {
        picture.wholePoints();
        picture.addedLines();
        picture.integerOptimum();
    }
    picture.optimum();
    p.setClipping(false);
    picture.emptyRegionNote();
    p.restore();
}

QByteArray GraphView::pngBytes(QSize size) const {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        render(painter, size);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray GraphView::svgBytes(QSize size) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Графический метод"));
    {
        QPainter painter(&svg);
        render(painter, size);
    }
    return bytes;
}

// --- TfrmGraph -----------------------------------------------------------------------------

TfrmGraph::TfrmGraph(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmGraph",
            .caption = QStringLiteral("  Графический метод"),
            .clientSize = QSize(760, 600)},
           parent) {
    FormBuilder controls(this);
    lblInfo = controls.label("lblInfo");
    lblInfo->setWordWrap(true);
    view = new GraphView(this);
    btnFit = controls.button("btnFit", "Вписать");
    btnPng = controls.button("btnPng", "Сохранить PNG...");
    btnSvg = controls.button("btnSvg", "Сохранить SVG...");
    btnReport = controls.button("btnReport", "В отчет");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo);
    layout->addWidget(view, 1);
    auto* tools = new QHBoxLayout;
    for (QPushButton* b : {btnFit, btnPng, btnSvg, btnReport})
        tools->addWidget(b);
    tools->addStretch(1);
    layout->addLayout(tools);
    addCloseButtonRow(this, layout, btnClose);

    connectCommand(btnFit, &QPushButton::clicked, this, m_toolkit, [this] { btnFitClick(); });
    connectCommand(btnPng, &QPushButton::clicked, this, m_toolkit, [this] { btnPngClick(); });
    connectCommand(btnSvg, &QPushButton::clicked, this, m_toolkit, [this] { btnSvgClick(); });
    connectCommand(btnReport, &QPushButton::clicked, this, m_toolkit, [this] { btnReportClick(); });
}

void TfrmGraph::setContents(GraphContents contents) {
    m_session = nullptr;
    btnReport->setEnabled(false);
    lblInfo->setText(graphSummary(contents));
    view->setContents(std::move(contents));
}

void TfrmGraph::showContents(GraphContents contents) {
    setContents(std::move(contents));
    setSimplexPath({});
    btnClose->setFocus();
    m_toolkit.showModal(*this);
}

void TfrmGraph::setSession(session::Session& session, std::optional<PlanePoint> solverOptimum) {
    const LpProblem& problem = session.problem();
    const Names names = namesFromGrid(session.inputGrid(), problem.N, problem.M);
    GraphContents c;
    c.problem = analysis::planeProblemOf(problem, names.rows);
    c.solution = analysis::solvePlane(c.problem);
    c.x1Name = analysis::columnName(names.columns, 1);
    c.x2Name = analysis::columnName(names.columns, 2);
    c.decimalSeparator = session.decimalSeparator();
    c.solverOptimum = solverOptimum;
    // Unknowns marked whole: their points show, so the relaxation's optimum is seen among them.
    c.integerPoints = session.inputHasMarks();
    setContents(std::move(c));
    // The basic solutions the method went through, in order (phase 1's outside the region
    // too), as the recorder kept them; the plan it ended at when there is no record.
    std::vector<PlanePoint> path;
    if (const StepRecorder* steps = session.steps())
        for (const auto& x : steps->visitedPoints())
            if (x.size() == 2) path.push_back({x[0], x[1]});
    if (path.empty() && solverOptimum) path.push_back(*solverOptimum);
    setSimplexPath(std::move(path));
    m_session = &session;
    btnReport->setEnabled(true);
}

void TfrmGraph::showGraph(session::Session& session, std::optional<PlanePoint> solverOptimum,
                          std::vector<PlanePoint> path) {
    setSession(session, solverOptimum);
    if (!path.empty()) setSimplexPath(std::move(path));
    btnClose->setFocus();
    m_toolkit.showModal(*this);
}

void TfrmGraph::setSimplexPath(std::vector<PlanePoint> points) {
    view->setSimplexPath(std::move(points));
    view->fit();
}

void TfrmGraph::btnFitClick() {
    view->fit();
}

QSize TfrmGraph::exportSize() const {
    return view->size().expandedTo(QSize(640, 480));
}

void TfrmGraph::saveAs(const char* title, const char* filter, const char* ext, bool svg) {
    FileDialogOptions options;
    options.title = QString::fromUtf8(title);
    options.filter = QString::fromUtf8(filter);
    options.defaultExt = QString::fromUtf8(ext);
    options.initialDir = QStringLiteral(".");
    options.fileName = QStringLiteral("graph.") + QString::fromUtf8(ext);
    const std::optional<QString> path = chooseSaveFile(m_toolkit, options);
    if (!path) return;
    const QSize size = exportSize();
    const QByteArray bytes = svg ? view->svgBytes(size) : view->pngBytes(size);
    writeFileBytes(path->toStdString(), std::string_view(bytes.constData(), bytes.size()));
}

void TfrmGraph::btnPngClick() {
    saveAs("Сохранить рисунок", "Рисунки PNG|*.png|Все файлы|*.*", "png", false);
}

void TfrmGraph::btnSvgClick() {
    saveAs("Сохранить рисунок", "Рисунки SVG|*.svg|Все файлы|*.*", "svg", true);
}

void TfrmGraph::btnReportClick() {
    if (m_session == nullptr) return;
    const QByteArray png = view->pngBytes(kReportPictureSize);
    m_session->writePictureReport("Графический метод", lblInfo->text().toStdString(),
                                  {std::string(png.constData(), static_cast<size_t>(png.size())),
                                   kReportPictureSize.width(), kReportPictureSize.height()});
    // Once for each showing: a second click would only repeat the same picture.
    btnReport->setEnabled(false);
}

} // namespace kvado::ui
