#include "ui/unResults2.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "analysis/Presentation.h"
#include "session/Session.h"
#include "ui/ExactCheckRun.h"
#include "ui/FormBuilder.h"
#include "ui/StringGrid.h"
#include "ui/Unit3.h"
#include "ui/unGraph.h"
#include "ui/unRanges.h"
#include "ui/unSteps.h"
#include "ui/unUserTerms.h"

namespace kvado::ui {

namespace {

constexpr QSize kClientSize =
    TfrmResults2::kDesignOuterSize - QSize(kDesignFrameWidth, kDesignFrameHeight);

// Where Label4 begins, and the margin the labels keep from what stands right of them.
constexpr int kLabel4Left = 413;
constexpr int kGap = 4;

QFont labelFont(int pixelSize) {
    // Fonts of Tahoma's widths first, so that the labels keep to the room they were laid out
    // in; fitLabel() takes care of a wider stand-in.
    static const QStringList families{
        QStringLiteral("Tahoma"), QStringLiteral("Arial"),       QStringLiteral("Liberation Sans"),
        QStringLiteral("Arimo"),  QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
    return fontOrFallback(families, pixelSize, false);
}

} // namespace

TfrmResults2::TfrmResults2(Toolkit& toolkit, report::ResultsModel& results, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmResults2",
            .caption = QStringLiteral("  Таблица результатов"),
            .clientSize = kClientSize,
            .position = QPoint(428, 142)},
           parent),
      m_results(results), m_anchoring(kClientSize) {
    setMinimumSize(kMinOuterSize - QSize(kDesignFrameWidth, kDesignFrameHeight));
    const Qt::Edges leftTop = Qt::LeftEdge | Qt::TopEdge;
    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;

    FormBuilder controls(this, &m_anchoring);
    // A heading as wide as its text in its font, or as all of its room; `room`: where the
    // control right of it begins.
    auto label = [&](const char* name, const char* text, QPoint at, int pixelSize, int room,
                     bool wholeRoom = false) {
        QLabel* l = controls.heading(name, text, labelFont(pixelSize));
        const int width =
            wholeRoom ? room - at.x() - kGap : fitLabel(l, l->text(), 0, room - at.x() - kGap);
        m_anchoring.add(l, QRect(at, QSize(width, QFontMetrics(l->font()).height())), leftTop);
        return l;
    };
    auto grid = [&](const char* name, StringGridModel& cells, QRect rect, Qt::Edges edges) {
        StringGrid* g = controls.grid(name, cells);
        // A text wider than its column is cut at the column's edge, as in the input grid's
        // narrow columns, rather than losing its end to an ellipsis.
        g->setTextElideMode(Qt::ElideNone);
        m_anchoring.add(g, rect, edges);
        return g;
    };

    Label1 = label("Label1", "Решение", QPoint(8, 5), 21, kClientSize.width());
    SG3 = grid("SG3", m_results.SG3, QRect(8, 32, 665, 101), leftTop | Qt::RightEdge);
    Label2 = label("Label2", "Значение целевой функции : ", QPoint(8, 143), 21, 304);
    edTarget = controls.edit("edTarget", "", QRect(304, 145, 97, 24));
    // The name comes later: the label takes the room up to the window's edge, where any name
    // shows from its left.
    Label4 = label("Label4", "", QPoint(kLabel4Left, 148), 16, kClientSize.width(), true);
    Label3 = label("Label3", "Расход ресурсов и анализ ограничений: ", QPoint(8, 181), 21,
                   kClientSize.width());
    SG2 = grid("SG2", m_results.SG2, QRect(8, 208, 665, 268), leftTop | rightBottom);
    btnRanges = controls.button("btnRanges", "Анализ чувствительности", QRect(296, 482, 181, 26),
                                rightBottom);
    btnRanges->setEnabled(false);
    btnGraph =
        controls.button("btnGraph", "Графический метод", QRect(151, 482, 141, 26), rightBottom);
    btnGraph->setEnabled(false);
    btnSteps =
        controls.button("btnSteps", "Пошаговое решение", QRect(8, 482, 141, 26), rightBottom);
    btnSteps->setEnabled(false);
    btnText = controls.button("btnText", "Текстовый отчет", QRect(480, 482, 141, 26), rightBottom);
    btnOK = controls.button("btnOK", "OK", QRect(624, 481, 49, 27), rightBottom);
    // The answer in the terms of the model the problem came from: beside the heading of the
    // standard form's answer, whose row of buttons is full.
    btnUserTerms = controls.button("btnUserTerms", "Решение исходной задачи",
                                   QRect(480, 3, 193, 26), Qt::RightEdge | Qt::TopEdge);
    btnUserTerms->setVisible(false);

    // The exact check's verdict in the narrow band under the objective, in a smaller font;
    // its button right of Label3, which keeps to its text.
    lblExact = label("lblExact", "", QPoint(8, 169), 12, kClientSize.width(), true);
    btnExact = controls.button("btnExact", QString::fromUtf8(analysis::kCheckButton),
                               QRect(532, 179, 141, 26), Qt::RightEdge | Qt::TopEdge);
    btnExact->setVisible(false);

    connectCommand(btnText, &QPushButton::clicked, this, m_toolkit, [this] { btnTextClick(); });
    connectCommand(btnRanges, &QPushButton::clicked, this, m_toolkit, [this] { btnRangesClick(); });
    connectCommand(btnGraph, &QPushButton::clicked, this, m_toolkit, [this] { btnGraphClick(); });
    connectCommand(btnSteps, &QPushButton::clicked, this, m_toolkit, [this] { btnStepsClick(); });
    connectCommand(btnExact, &QPushButton::clicked, this, m_toolkit, [this] { btnExactClick(); });
    connectCommand(btnUserTerms, &QPushButton::clicked, this, m_toolkit,
                   [this] { btnUserTermsClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

// The grids stop observing the session's models as soon as the window goes.
TfrmResults2::~TfrmResults2() {
    delete SG3;
    delete SG2;
}

// Names are not cut: a column narrower than a name it holds (the constraint names in column
// 0, the unknowns' names in row `nameRow`) is widened to it, up to 400 pixels; the whole text
// is in the cell's tooltip beyond that. Only grids of a size a reader scans by eye are
// measured: a wide problem's grids scroll anyway.
static void widenColumnsToNames(StringGridModel& g, int nameRow, int lastNameCol,
                                const QFontMetrics& metrics) {
    constexpr int kMeasuredCols = 64, kMeasuredRows = 200, kMaxWidth = 400, kPadding = 8;
    if (g.colCount() > kMeasuredCols) return;
    auto widen = [&](int c, int widest) {
        const int needed = std::min(widest + kPadding, kMaxWidth);
        if (needed > g.colWidth(c)) g.setColWidth(c, needed);
    };
    int widest = 0;
    for (int r = 0; r < std::min(g.rowCount(), kMeasuredRows); ++r)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(g.cell(0, r))));
    widen(0, widest);
    for (int c = 1; c <= lastNameCol && c < g.colCount(); ++c)
        widen(c, metrics.horizontalAdvance(QString::fromStdString(g.cell(c, nameRow))));
}

void TfrmResults2::fitWidthToGrids() {
    // SG3: N+1 columns, the names in row 1; SG2: N+5 columns, the names in row 1 of 1..N.
    widenColumnsToNames(m_results.SG3, 1, m_results.SG3.colCount() - 1, QFontMetrics(SG3->font()));
    widenColumnsToNames(m_results.SG2, 1, m_results.SG2.colCount() - 5, QFontMetrics(SG2->font()));
    // SG2 holds the widest rows: name, the N products, activity, relation, B and the price.
    // Wide enough to show them all, up to the screen's width (wider problems scroll); never
    // narrower than the window already is.
    const StringGridModel& g = m_results.SG2;
    int columns = 0;
    for (int c = 0; c < g.colCount(); ++c)
        columns += g.colWidth(c);
    const int frame = SG2->width() - SG2->viewport()->width() + 4;
    int wanted = width() - SG2->width() + columns + frame;
    if (const QScreen* screen = this->screen())
        wanted = std::min(wanted, screen->availableGeometry().width() - kDesignFrameWidth);
    if (wanted > width()) resize(wanted, height());
}

void TfrmResults2::showTexts() {
    fitWidthToGrids();
    // Ctrl+C gives a spreadsheet the numbers with the user's separator.
    if (m_session != nullptr)
        for (StringGrid* grid : {SG3, SG2})
            grid->setCopySeparator(m_session->decimalSeparator());
    edTarget->setText(QString::fromStdString(m_results.edTarget));
    const bool checked = m_session != nullptr && m_session->exactCheck().ran;
    analysis::VerdictLine line;
    if (checked) line = analysis::resultsLine(m_session->exactCheck().verification);
    lblExact->setText(QString::fromStdString(line.text));
    QPalette palette = lblExact->palette();
    palette.setColor(QPalette::WindowText, line.tone == analysis::Tone::Good  ? QColor(0, 128, 0)
                                           : line.tone == analysis::Tone::Bad ? QColor(192, 0, 0)
                                                                              : QColor(0, 0, 128));
    lblExact->setPalette(palette);
    btnExact->setVisible(checked && line.offerCheck);
    const QString name = QString::fromStdString(m_results.objectiveName);
    if (Label4->text() == name) return;
    Label4->setText(name);
    // A name longer than the room is shown in a smaller font.
    Label4->setFont(labelFont(16));
    fitLabel(Label4, name, 0, Label4->width());
}

void TfrmResults2::setObjectiveName(const QString& name) {
    m_results.objectiveName = name.toStdString();
    showTexts();
}

void TfrmResults2::FormResize() {
    keepMinimumOuterSize(kMinOuterSize);
}

void TfrmResults2::btnTextClick() {
    if (m_reportWindow != nullptr) m_toolkit.showModal(*m_reportWindow);
}

void TfrmResults2::setSession(session::Session* session) {
    m_session = session;
    enableAnalyses();
}

void TfrmResults2::setOptimalSolve(bool optimal) {
    m_optimal = optimal;
    m_rangesReported = false;
    enableAnalyses();
}

void TfrmResults2::enableAnalyses() {
    btnRanges->setEnabled(m_session != nullptr && m_optimal);
    btnSteps->setEnabled(m_session != nullptr && m_optimal);
    btnGraph->setEnabled(m_session != nullptr && m_optimal && m_session->problem().N == 2);
}

void TfrmResults2::btnGraphClick() {
    if (m_session == nullptr || !m_optimal || m_session->problem().N != 2) return;
    if (m_graphWindow == nullptr) m_graphWindow = new TfrmGraph(m_toolkit, this);
    const LpProblem& p = m_session->problem();
    m_graphWindow->showGraph(*m_session, analysis::PlanePoint{p.value(1), p.value(2)});
}

void TfrmResults2::btnStepsClick() {
    if (m_session == nullptr || !m_optimal) return;
    const StepRecorder* steps = m_session->steps();
    if (steps == nullptr) return;
    if (m_stepsWindow == nullptr) m_stepsWindow = new TfrmSteps(m_toolkit, this);
    m_stepsWindow->showSteps(m_session->problem(), *steps, m_session->stepNames(*steps),
                             m_session->decimalSeparator());
}

void TfrmResults2::btnRangesClick() {
    if (m_session == nullptr || !m_optimal) return;
    // Computed when asked for, never by the solve itself.
    const analysis::Ranges ranges = m_session->ranges();
    if (!m_rangesReported) {
        m_session->writeRangesReport(ranges);
        m_rangesReported = true;
    }
    if (m_rangesWindow == nullptr) m_rangesWindow = new TfrmRanges(m_toolkit, this);
    m_rangesWindow->showRanges(ranges, m_session->decimalSeparator());
}

void TfrmResults2::btnExactClick() {
    if (m_session == nullptr) return;
    if (runExactCheckInWindow(m_toolkit, this, *m_session)) showTexts();
}

void TfrmResults2::btnUserTermsClick() {
    if (m_session == nullptr) return;
    const std::vector<std::string> lines = m_session->userSolutionLines();
    if (lines.empty()) return;
    if (m_userTermsWindow == nullptr) m_userTermsWindow = new TfrmUserTerms(m_toolkit, this);
    m_userTermsWindow->showLines(lines);
}

// The answer in the model's terms lasts as long as the link: an edit since the solve ends it.
void TfrmResults2::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    btnUserTerms->setVisible(m_session != nullptr && m_session->linkedTransformed() &&
                             m_session->userSolution().has_value());
}

void TfrmResults2::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    m_anchoring.apply(size());
    runCommand(m_toolkit, [this] { FormResize(); });
}

} // namespace kvado::ui
