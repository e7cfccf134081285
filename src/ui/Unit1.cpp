#include "ui/Unit1.h"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <optional>

#include "datafile/DataFile.h"
#include "datafile/DataFileWriter.h"
#include "datafile/NameFiles.h"
#include "datafile/OpenedGrid.h"
#include "solver/TraceLog.h"
#include "text/NumberText.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/unGenData.h"
#include "ui/unResults2.h"
#include "ui/unZastav.h"

namespace kvado::ui {

namespace {

const char* const kStartStatus =
    "   Справка о программе вызывается клавишей F1.  (см также Меню | Описание)";
const char* const kNewDataStatus = "   Создаются новые данные";

const char* const kBadG = "Ошибка огр >=";
const char* const kBadE = "Ошибка огр =";
const char* const kBadL = "Ошибка огр <=";
const char* const kBadN = "Ошибка числа неизв";
const char* const kBadEps = "Ошибка Eps";
const char* const kTooLarge = "Ошибка: задача слишком велика для этого компьютера";
const char* const kRowsMismatch =
    "Ошибка: число строк таблицы\r\nне соответствует числу ограничений.\r\nИсправьте";
const char* const kColsMismatch =
    "Ошибка: число столбцов таблицы\r\nне соответствует числу неизвестных.\r\nИсправьте";
const char* const kOpenedStatus = "   Открыт файл: ";
const char* const kFileNotFound = "Файл не найден...";

// A count edit: the whole-number conversion, refused when negative.
std::optional<int32_t> countOf(const QLineEdit* edit) {
    const auto value = text::toWholeNumber(edit->text().toStdString());
    if (!value || *value < 0) return std::nullopt;
    return value;
}

// Whether the grid or the problem of these counts is more than the machine can hold.
bool tooLarge(int64_t G, int64_t E, int64_t L, int64_t N) {
    try {
        checkCounts(G, E, L, N);
        return false;
    } catch (const ProblemSizeError&) {
        return true;
    }
}

} // namespace

std::string reportDateTimeText(const QLocale& locale, const QDateTime& moment) {
    const QTime time = moment.time();
    // The long time of a desktop's regional settings, seconds included; Qt's long format adds
    // the time zone ("t"), which a report's header does not need.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return report::reportDateTime(
        locale.toString(moment.date(), QLocale::ShortFormat).toStdString(),
        locale.toString(time, format.trimmed()).toStdString(), time.msecsSinceStartOfDay() == 0);
}

char systemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point[0].unicode() > 32 && point[0].unicode() < 127)
        return static_cast<char>(point[0].unicode());
    return '.';
}

// The solver's surroundings in the main window.
class TForm1::Host : public SolverHost {
public:
    explicit Host(TForm1& form) : m_form(form) {}
    void setProgressMaximum(int32_t maximum) override { m_form.setProgressMaximum(maximum); }
    void setProgressPosition(int32_t position) override { m_form.setProgressPosition(position); }
    void showMessage(const std::string& utf8) override {
        m_form.toolkit().showMessage(QString::fromStdString(utf8));
    }
    void writeSolutionReport(const LpProblem& problem) override {
        m_form.WriteSolutionReport(problem);
    }
    void writeShadowPrices(const LpProblem& problem) override { m_form.WriteShadowPrices(problem); }
    char decimalSeparator() const override { return m_form.decimalSeparator(); }

private:
    TForm1& m_form;
};

TForm1::TForm1(Toolkit& toolkit, LpProblem& problem, QWidget* parent)
    : QMainWindow(parent), m_toolkit(toolkit), m_problem(problem),
      m_host(std::make_unique<Host>(*this)), m_decimalSeparator(systemDecimalSeparator()),
      m_clock([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("    Решение задачи линейного программирования."));
    setFont(windowFont(13));
    createControls();
    createMenu();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    centreOnScreen(this);
    setMinimumWidth(kMinOuterWidth - kDesignFrameWidth);
    installHelpKey(this, m_toolkit);
    command([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::attachWindows(const Windows& windows) {
    m_windows = windows;
    if (m_windows.results != nullptr) m_windows.results->setProblem(&m_problem);
    if (m_windows.results2 != nullptr) m_windows.results2->setReportWindow(m_windows.results);
}

void TForm1::createControls() {
    m_client = new AnchoredArea(QSize(kClientWidth, kClientHeight), this);
    setCentralWidget(m_client);
    Anchoring& anchors = m_client->anchoring();
    const Qt::Edges leftTop = Qt::LeftEdge | Qt::TopEdge;
    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;

    // `room`: where the control right of the label begins.
    auto label = [&](const char* name, const char* text, QRect rect, int room) {
        auto* l = new QLabel(QString::fromUtf8(text), m_client);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        rect.setWidth(fitLabel(l, l->text(), rect.width(), room - rect.left()));
        anchors.add(l, rect, leftTop);
        return l;
    };
    auto edit = [&](const char* name, const char* text, QRect rect) {
        auto* e = new QLineEdit(QString::fromUtf8(text), m_client);
        e->setObjectName(QLatin1String(name));
        anchors.add(e, rect, leftTop);
        return e;
    };
    auto button = [&](const char* name, const char* text, QRect rect, Qt::Edges edges) {
        auto* b = new QPushButton(QString::fromUtf8(text), m_client);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        anchors.add(b, rect, edges);
        return b;
    };

    // A label grows beyond its designed width when the desktop's font needs it, never into
    // the edit beside it; its left edge stays where designed.
    Label2 = label("Label2", "Число ограничений вида  >=  ", QRect(8, 8, 190, 16), 198);
    edG = edit("edG", "1", QRect(200, 4, 57, 24));
    Label3 = label("Label3", "Число ограничений вида   =  ", QRect(8, 36, 186, 16), 198);
    edE = edit("edE", "1", QRect(200, 32, 57, 24));
    Label4 = label("Label4", "Число ограничений вида   <=  ", QRect(344, 7, 193, 16), 542);
    edL = edit("edL", "1", QRect(544, 3, 73, 24));
    Label5 = label("Label5", "Число неизвестных  = ", QRect(384, 36, 144, 16), 542);
    edN = edit("edN", "3", QRect(544, 32, 73, 24));
    Label6 = label("Label6", "Заданная  точность ", QRect(392, 65, 133, 16), 542);
    edEps = edit("edEps", "1E-8", QRect(544, 61, 73, 24));
    btnNewTab = button("btnNewTab", "Создать новую таблицу", QRect(8, 60, 249, 25), leftTop);
    btnREsizeTab =
        button("btnREsizeTab",
               "Изменить число строк и столбцов таблицы в соответствии с числом огранич и неизв",
               QRect(8, 88, 609, 25), leftTop);

    SG1 = new StringGrid(m_client);
    SG1->setObjectName(QStringLiteral("SG1"));
    {
        StringGridModel& cells = SG1->cells();
        cells.setColCount(5);
        cells.setRowCount(6);
        cells.setFixedRows(1);
        cells.setFixedCols(0);
    }
    SG1->setEditing(true);
    anchors.add(SG1, QRect(7, 118, 610, 314), Qt::LeftEdge | Qt::TopEdge | rightBottom);

    PB1 = new QProgressBar(m_client);
    PB1->setObjectName(QStringLiteral("PB1"));
    PB1->setTextVisible(false);
    anchors.add(PB1, QRect(8, 441, 441, 16), Qt::LeftEdge | rightBottom);
    setProgressMaximum(0);
    setProgressPosition(0);

    btnSolve = button("btnSolve", "Решить", QRect(459, 437, 78, 25), rightBottom);
    btnExit = button("btnExit", "Выход", QRect(542, 437, 74, 25), rightBottom);

    SB1 = new QStatusBar(m_client);
    SB1->setObjectName(QStringLiteral("SB1"));
    m_statusLabel = new QLabel(SB1);
    m_statusLabel->setTextFormat(Qt::PlainText);
    SB1->addWidget(m_statusLabel, 1);
    anchors.add(SB1, QRect(0, kClientHeight - 22, kClientWidth, 22), Qt::LeftEdge | rightBottom);

    setTabOrder(edG, edE);
    setTabOrder(edE, edL);
    setTabOrder(edL, edN);
    setTabOrder(edN, edEps);
    setTabOrder(edEps, SG1);
    setTabOrder(SG1, btnNewTab);
    setTabOrder(btnNewTab, btnExit);
    setTabOrder(btnExit, btnSolve);
    setTabOrder(btnSolve, btnREsizeTab);

    connectCommand(btnNewTab, &QPushButton::clicked, this, m_toolkit, [this] { btnNewTabClick(); });
    connectCommand(btnREsizeTab, &QPushButton::clicked, this, m_toolkit,
                   [this] { btnREsizeTabClick(); });
    connectCommand(btnSolve, &QPushButton::clicked, this, m_toolkit, [this] { btnSolveClick(); });
    connectCommand(btnExit, &QPushButton::clicked, this, m_toolkit, [this] { btnExitClick(); });
}

void TForm1::createMenu() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(bar);
    auto action = [&](const char* name, const char* text, void (TForm1::*handler)()) {
        auto* a = new QAction(QString::fromUtf8(text), this);
        a->setObjectName(QLatin1String(name));
        connectCommand(a, &QAction::triggered, this, m_toolkit,
                       [this, handler] { (this->*handler)(); });
        return a;
    };
    N1 = bar->addMenu(QStringLiteral("Файл"));
    N1->setObjectName(QStringLiteral("N1"));
    idFileOpen = action("idFileOpen", "Открыть файл данных", &TForm1::idFileOpenClick);
    idWriteFile = action("idWriteFile", "Записать данные в файл", &TForm1::idWriteFileClick);
    idGenDat = action("idGenDat", "Генерировать тест - данные", &TForm1::idGenDatClick);
    N1->addAction(idFileOpen);
    N1->addAction(idWriteFile);
    N1->addAction(idGenDat);
    idResults = action("idResults", "Результаты", &TForm1::idResultsClick);
    bar->addAction(idResults);
    N2 = action("N2", "Описание", &TForm1::N2Click);
    bar->addAction(N2);
}

// --- state ---------------------------------------------------------------------------------

QString TForm1::statusText() const {
    return m_statusLabel->text();
}

void TForm1::setStatusText(const QString& text) {
    m_statusLabel->setText(text);
}

void TForm1::setProgressMaximum(int maximum) {
    m_progressMaximum = maximum;
    setProgressPosition(m_progressPosition);
}

void TForm1::setProgressPosition(int position) {
    m_progressPosition = position;
    // A Qt bar ignores values outside its range and turns busy at a range of 0..0, so a
    // position beyond the maximum is shown as the maximum and an empty range as 0..1.
    const int maximum = std::max(m_progressMaximum, 0);
    const int shownMaximum = maximum == 0 ? 1 : maximum;
    int shown = std::clamp(position, 0, shownMaximum);
    if (maximum == 0 && position > 0) shown = shownMaximum;
    if (PB1->maximum() != shownMaximum) PB1->setRange(0, shownMaximum);
    if (PB1->value() == shown) return;
    PB1->setValue(shown);
    // The solve holds the event loop, so the bar is painted here or not at all; a few times a
    // second is enough for the eye, and its ends are always shown.
    if (!PB1->isVisible()) return;
    if (shown == 0 || shown == shownMaximum || !m_progressPainted.isValid() ||
        m_progressPainted.elapsed() >= 40) {
        PB1->repaint();
        m_progressPainted.start();
    }
}

SolverHost& TForm1::solverHost() {
    return *m_host;
}

// --- handlers ------------------------------------------------------------------------------

void TForm1::FormCreate() {
    setStatusText(QString::fromUtf8(kStartStatus));
    QFont font = SB1->font();
    font.setPointSize(10);
    font.setBold(true);
    SB1->setFont(font);
}

// The splash window greets the user once. Qt activates the main window again whenever one of
// the program's modal windows or dialogs closes; those activations must not bring it back.
void TForm1::FormActivate() {
    if (m_splashShown) return;
    m_splashShown = true;
    if (m_windows.zastav != nullptr) m_toolkit.showModal(*m_windows.zastav);
}

void TForm1::FormResize() {
    if (outerWidth() < kMinOuterWidth) resize(kMinOuterWidth - kDesignFrameWidth, height());
}

void TForm1::btnNewTabClick() {
    setStatusText(QString::fromUtf8(kNewDataStatus));
    SetupGrid(true);
}

void TForm1::btnREsizeTabClick() {
    setStatusText(QString::fromUtf8(kNewDataStatus));
    SetupGrid(false);
}

void TForm1::btnExitClick() {
    m_toolkit.requestExit();
}

// --- data files ----------------------------------------------------------------------------

// What the main window shows of a data file while it is read, besides the grid's cells: the
// edits once the header is known, the progress bar while the rows go by.
class TForm1::OpenObserver : public datafile::LoadObserver {
public:
    explicit OpenObserver(TForm1& form) : m_form(form) {}
    void header(const LpProblem& p) override {
        m_form.edG->setText(QString::fromStdString(text::intText(p.G)));
        m_form.edE->setText(QString::fromStdString(text::intText(p.E)));
        m_form.edL->setText(QString::fromStdString(text::intText(p.L)));
        m_form.edN->setText(QString::fromStdString(text::intText(p.N)));
        m_form.edEps->setText(
            QString::fromStdString(text::formatGeneral(p.eps, m_form.decimalSeparator())));
    }
    void progressMaximum(int32_t maximum) override { m_form.setProgressMaximum(maximum); }
    void progress(int32_t position) override { m_form.setProgressPosition(position); }

private:
    TForm1& m_form;
};

void TForm1::setObjectiveName(const std::string& name) {
    if (m_windows.results2 != nullptr)
        m_windows.results2->setObjectiveName(QString::fromStdString(name));
}

void TForm1::idFileOpenClick() {
    FileDialogOptions OD1; // the system's own title
    OD1.filter = QStringLiteral("Исходные данные |*.dat|Все файлы |*.*");
    OD1.defaultExt = QStringLiteral("dat");
    OD1.initialDir = QStringLiteral(".");
    const auto chosen = m_toolkit.openFileDialog(OD1);
    if (!chosen) {
        SetUpResultGrids();
        return;
    }
    const std::string path = chosen->toStdString();
    LpProblem& p = m_problem;
    p.dataFileName = datafile::baseName(path);
    setStatusText(QString::fromUtf8(kOpenedStatus) + QString::fromStdString(p.dataFileName));
    if (!QFileInfo(*chosen).isFile()) {
        m_toolkit.showMessage(QString::fromUtf8(kFileNotFound));
        return;
    }
    btnSolve->setEnabled(true);

    // A number that does not read ends the command where it stands (the error report shows
    // "Invalid numeric input"): what was read stays, and the name files are not read.
    const std::string bytes = datafile::readFileBytes(path);
    StringGridModel& g = SG1->cells();
    {
        // The view follows the grid once, when the whole file is in.
        StringGridModel::UpdateScope update(g);
        OpenObserver shown(*this);
        datafile::GridLoadObserver cells(g, m_decimalSeparator, &shown);
        try {
            datafile::readDataFile(bytes, p, &cells);
        } catch (const ProblemSizeError&) {
            // Refused before anything was allocated or shown: the grid, the edits and the
            // problem are as they were.
            m_toolkit.showError(QString::fromStdString(datafile::problemSizeMessage(bytes)));
            return;
        }
        datafile::layOutOpenedGrid(g, p.M, p.N);
    }

    const std::string constraintNames = datafile::sideFileName(path, "ogran");
    setObjectiveName({});
    if (QFileInfo::exists(QString::fromStdString(constraintNames))) {
        // One line more than M+1 tells a file of exactly M+1 lines from a longer one.
        const auto lines = datafile::splitNameLines(datafile::readFileBytes(constraintNames),
                                                    static_cast<size_t>(p.M) + 2);
        setObjectiveName(datafile::applyConstraintNames(g, p.M, lines));
    } else {
        m_toolkit.showMessage(
            QString::fromStdString(datafile::missingConstraintNamesMessage(constraintNames, p.M)));
    }

    const std::string unknownNames = datafile::sideFileName(path, "neizv");
    if (QFileInfo::exists(QString::fromStdString(unknownNames))) {
        datafile::applyUnknownNames(g, p.N,
                                    datafile::splitNameLines(datafile::readFileBytes(unknownNames),
                                                             static_cast<size_t>(p.N)));
    } else {
        m_toolkit.showMessage(
            QString::fromStdString(datafile::missingUnknownNamesMessage(unknownNames, p.N)));
    }
    SetUpResultGrids();
}

void TForm1::idWriteFileClick() {
    const StringGridModel& g = SG1->cells();
    const datafile::DataFileContents contents = datafile::buildDataFile(
        {edG->text().toStdString(), edE->text().toStdString(), edL->text().toStdString(),
         edN->text().toStdString(), edEps->text().toStdString(),
         [&g](int32_t col, int32_t row) { return g.cell(col, row); }});
    // A text that does not convert is told and nothing is written. The program goes on: the
    // user corrects the cell and writes again, and nothing typed so far is lost.
    if (!contents.error.empty()) {
        m_toolkit.showMessage(QString::fromStdString(contents.error));
        return;
    }
    // No default extension: a name typed without one is used as typed.
    FileDialogOptions SD1;
    SD1.title = QStringLiteral("Задайте имя для файла ланных");
    SD1.filter = QStringLiteral("Файлы данных|*.dat|Все файлы|*.*");
    SD1.initialDir = QStringLiteral(".");
    const auto chosen = m_toolkit.saveFileDialog(SD1);
    if (!chosen) return;
    // A file that cannot be created ends the command with the error report; the files after
    // it in the order data, constraint names, unknown names are not written.
    datafile::writeDataFiles(chosen->toStdString(), contents);
}

void TForm1::idGenDatClick() {
    if (m_windows.genData != nullptr) m_toolkit.showModal(*m_windows.genData);
}

void TForm1::idResultsClick() {}

void TForm1::N2Click() {
    if (m_windows.help != nullptr) m_toolkit.showModal(*m_windows.help);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) command([this] { FormActivate(); });
    return QMainWindow::event(event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    command([this] { FormResize(); });
}

// --- input grid ----------------------------------------------------------------------------

bool TForm1::refuse(const char* message) {
    m_toolkit.showMessage(QString::fromUtf8(message));
    return true;
}

bool TForm1::ParseEdits() {
    LpProblem& p = m_problem;
    // Each count is stored as soon as it is read, so a failure further on leaves the counts
    // before it changed. A count is refused before it is stored when the grid or the problem
    // it asks for could not be held.
    const auto G = countOf(edG);
    if (!G) return refuse(kBadG);
    if (tooLarge(*G, 0, 0, 0)) return refuse(kTooLarge);
    p.G = *G;
    const auto E = countOf(edE);
    if (!E) return refuse(kBadE);
    if (tooLarge(p.G, *E, 0, 0)) return refuse(kTooLarge);
    p.E = *E;
    const auto L = countOf(edL);
    if (!L) return refuse(kBadL);
    if (tooLarge(p.G, p.E, *L, 0)) return refuse(kTooLarge);
    p.L = *L;
    p.M = p.G + p.E + p.L;
    const auto N = countOf(edN);
    if (!N) return refuse(kBadN);
    if (tooLarge(p.G, p.E, p.L, *N)) return refuse(kTooLarge);
    p.N = *N;
    // The tolerance is written with a point; a comma is taken for one. A tolerance that is
    // not above 0 would let the first phase never end, so it is refused as well.
    std::string eps = edEps->text().toStdString();
    std::replace(eps.begin(), eps.end(), ',', '.');
    const auto value = text::toPointReal(eps);
    if (!value || !(*value > 0)) return refuse(kBadEps);
    p.eps = *value;
    return false;
}

void TForm1::SetupGrid(bool newTable) {
    if (ParseEdits()) return;
    const int M = m_problem.M;
    const int N = m_problem.N;
    StringGridModel& g = SG1->cells();
    StringGridModel::UpdateScope update(g);
    g.setRowCount(M + 3);
    g.setColCount(N + 2);
    if (!newTable) return;

    for (int c = 1; c <= N + 1; ++c)
        g.setColWidth(c, 70);
    g.setColWidth(0, 250);
    g.setCell(1, 0, "  B[i] ");
    g.setCell(0, 1, " Неизвестные --> ");
    for (int j = 1; j <= N; ++j)
        g.setCell(j + 1, 1, " Не заполн.");
    g.setCell(0, 0, " Ограничения (ниже):");
    for (int i = 1; i <= M; ++i) {
        g.setCell(0, i + 1, " Не заполнено");
        g.setCell(1, i + 1, " ?");
    }
    g.setCell(0, M + 2, " Коэффициенты целевой ф-ии");
    for (int j = 1; j <= N; ++j) {
        g.setCell(j + 1, 0, " A[i," + text::intText(j) + "] ");
        for (int i = 1; i <= M + 1; ++i)
            g.setCell(j + 1, i + 1, " ?");
    }
}

bool TForm1::GridTransfer() {
    if (ParseEdits()) return true;
    LpProblem& p = m_problem;
    const StringGridModel& g = SG1->cells();
    const char separator = m_decimalSeparator;
    // A cell that does not convert ends the command here, with the problem reset and filled
    // as far as the conversion got.
    auto number = [&](int col, int row) {
        return text::localRealOrThrow(g.cell(col, row), separator);
    };
    p.reset();
    for (int i = 1; i <= p.M; ++i)
        for (int j = 1; j <= p.N; ++j)
            p.setCoefficient(i, j, number(j + 1, i + 1));
    for (int j = 1; j <= p.N; ++j)
        p.setObjective(j, number(j + 1, p.M + 2));
    for (int i = 1; i <= p.M; ++i)
        p.setRightHandSide(i, number(1, i + 1));
    p.takeSnapshots();
    SetUpResultGrids();
    return false;
}

// --- solve ---------------------------------------------------------------------------------

void TForm1::btnSolveClick() {
    if (m_windows.results != nullptr) m_windows.results->ClearReport();
    if (GridTransfer()) return;
    LpProblem& p = m_problem;
    const StringGridModel& g = SG1->cells();
    if (g.rowCount() != p.M + 3) {
        refuse(kRowsMismatch);
        return;
    }
    if (g.colCount() != p.N + 2) {
        refuse(kColsMismatch);
        return;
    }
    // The set-up takes every right-hand side as it stands, and the first phase starts from
    // the right-hand sides as the values of its basis: a negative one would start it outside
    // the feasible region. The user turns such a row round.
    for (int i = 1; i <= p.M; ++i) {
        if (p.initialRhs[static_cast<size_t>(i)] < 0) {
            m_toolkit.showMessage(
                QStringLiteral("Ошибка: правая часть B[") + QString::number(i) +
                QStringLiteral("] отрицательна.\r\nУмножьте это ограничение на -1 (знак >= "
                               "сменится на <=, а <= на >=)"));
            return;
        }
    }

    SolveOutcome outcome;
    {
        TraceLog log;
        outcome = solve(p, log, *m_host);
    }
    // The solver has shown the message of a problem without a feasible solution itself. Either
    // failure leaves the input as typed so that the user can correct it and solve again.
    if (outcome == SolveOutcome::Unbounded)
        m_toolkit.showMessage(QStringLiteral("Целевая функция не ограничена (переменная X[") +
                              QString::number(p.entering) +
                              QStringLiteral("])\r\nподробнее в файле Kvaq.log"));
    if (outcome == SolveOutcome::Optimal) btnSolve->setEnabled(false);
    // The check runs whatever the outcome: after a failed solve its lines tell the user which
    // constraints the last basis breaks. Only an optimum is shown in the results window.
    CheckSolution();
    if (outcome == SolveOutcome::Optimal && m_windows.results2 != nullptr)
        m_toolkit.showModal(*m_windows.results2);
}

// --- results and report --------------------------------------------------------------------

report::ReportContext TForm1::reportContext() const {
    return {&SG1->cells(), m_decimalSeparator, reportDateTimeText(QLocale::system(), m_clock())};
}

void TForm1::SetUpResultGrids() {
    if (m_windows.results2 == nullptr) return;
    report::SetUpResultGrids(m_problem, SG1->cells(), m_windows.results2->results());
}

// The writers need both windows: the report goes into the one, the values into the other.
void TForm1::WriteSolutionReport(const LpProblem& problem) {
    if (m_windows.results == nullptr || m_windows.results2 == nullptr) return;
    report::WriteSolutionReport(problem, reportContext(), m_windows.results->report(),
                                m_windows.results2->results());
    m_windows.results->showAppended();
}

void TForm1::WriteShadowPrices(const LpProblem& problem) {
    if (m_windows.results == nullptr || m_windows.results2 == nullptr) return;
    report::WriteShadowPrices(problem, reportContext(), m_windows.results->report(),
                              m_windows.results2->results());
    m_windows.results->showAppended();
    m_windows.results2->showTexts();
}

void TForm1::CheckSolution() {
    if (m_windows.results == nullptr || m_windows.results2 == nullptr) return;
    report::CheckSolution(m_problem, m_decimalSeparator, m_windows.results->report(),
                          m_windows.results2->results());
    m_windows.results->showAppended();
}

} // namespace kvado::ui
