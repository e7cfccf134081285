#include "ui/Unit1.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "datafile/DataFileWriter.h"
#include "engine/GlpkGuard.h"
#include "model/ModelIo.h"
#include "session/FileNames.h"
#include "session/GomorySolve.h"
#include "session/IntegerSolve.h"
#include "session/Messages.h"
#include "text/NumberText.h"
#include "ui/FormBuilder.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/unExplain.h"
#include "ui/unGenData.h"
#include "ui/unGomory.h"
#include "ui/unGraph.h"
#include "ui/unLog.h"
#include "ui/unMipOptions.h"
#include "ui/unMipResults.h"
#include "ui/unModel.h"
#include "ui/unResults2.h"
#include "ui/unSteps.h"
#include "ui/unTree.h"
#include "ui/unUserTerms.h"
#include "ui/unZastav.h"

namespace kvado::ui {

namespace {

const char* const kStartStatus =
    "   Справка о программе вызывается клавишей F1.  (см также Меню | Описание)";
const char* const kNewDataStatus = "   Создаются новые данные";

const char* const kOpenedStatus = "   Открыт файл: ";

// An LP or MPS file by its extension; without a known one, by the filter chosen in the dialog
// (pairs 1 and 2 of both dialogs). Anything else is a data file.
std::optional<model::FileFormat> modelFormat(const std::string& path, int filter) {
    if (const auto format = model::formatOfPath(path))
        return *format == model::FileFormat::Data ? std::nullopt : format;
    if (filter == 1) return model::FileFormat::Lp;
    if (filter == 2) return model::FileFormat::Mps;
    return std::nullopt;
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

// What the session shows through the main window: PB1, the message boxes and error report,
// and the report and results windows, which show the session's models.
class TForm1::View : public session::SessionView {
public:
    explicit View(TForm1& form) : m_form(form) {}
    void setProgressMaximum(int32_t maximum) override { m_form.setProgressMaximum(maximum); }
    void setProgressPosition(int32_t position) override { m_form.setProgressPosition(position); }
    void showMessage(const std::string& utf8) override {
        m_form.toolkit().showMessage(QString::fromStdString(utf8));
    }
    void showError(const std::string& utf8) override {
        m_form.toolkit().showError(QString::fromStdString(utf8));
    }
    void reportCleared() override {
        if (m_form.m_windows.results != nullptr) m_form.m_windows.results->ClearReport();
    }
    void reportAppended() override {
        if (m_form.m_windows.results != nullptr) m_form.m_windows.results->showAppended();
    }
    void resultTextsChanged() override {
        if (m_form.m_windows.results2 != nullptr) m_form.m_windows.results2->showTexts();
    }
    bool stopRequested() override { return m_form.letEventsThrough(); }
    bool replaceTypedWork() override { return m_form.keepWork(); }
    void solveRunning(bool on) override { m_form.setSolving(on); }

private:
    TForm1& m_form;
};

TForm1::TForm1(Toolkit& toolkit, session::Session& session, QWidget* parent)
    : QMainWindow(parent), m_toolkit(toolkit), m_problem(session.problem()), m_session(&session),
      m_view(std::make_unique<View>(*this)), m_decimalSeparator(systemDecimalSeparator()),
      m_clock([] { return QDateTime::currentDateTime(); }) {
    m_session->setView(m_view.get());
    m_session->setDecimalSeparator(m_decimalSeparator);
    m_session->setDateTimeSource(
        [this] { return reportDateTimeText(QLocale::system(), m_clock()); });
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("    Решение задачи линейного программирования."));
    setFont(windowFont(13));
    createControls();
    createMenu();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    centreOnScreen(this);
    setMinimumWidth(kMinOuterWidth - kDesignFrameWidth);
    // Lower than this the controls anchored to the bottom would slide over the grid and the
    // buttons above it: the grid keeps room for three rows.
    setMinimumHeight(kClientHeight - (kDesignGridHeight - kMinGridHeight) +
                     menuBar()->sizeHint().height());
    installHelpKey(this, m_toolkit);
    command([this] { FormCreate(); });
}

// The session outlives the window; what it would tell the window now goes nowhere.
TForm1::~TForm1() {
    m_session->setView(nullptr);
}

void TForm1::setDecimalSeparator(char separator) {
    m_decimalSeparator = separator;
    m_session->setDecimalSeparator(separator);
}

void TForm1::attachWindows(const Windows& windows) {
    m_windows = windows;
    if (m_windows.results != nullptr) m_windows.results->setProblem(&m_problem);
    if (m_windows.results2 != nullptr) {
        m_windows.results2->setReportWindow(m_windows.results);
        m_windows.results2->setSession(m_session);
    }
}

void TForm1::createControls() {
    m_client = new AnchoredArea(QSize(kClientWidth, kClientHeight), this);
    setCentralWidget(m_client);
    Anchoring& anchors = m_client->anchoring();
    const Qt::Edges leftTop = Qt::LeftEdge | Qt::TopEdge;
    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;

    FormBuilder controls(m_client, &anchors);

    // A label grows beyond its designed width when the desktop's font needs it, never into
    // the edit beside it; its left edge stays where designed.
    Label2 = controls.label("Label2", "Число ограничений вида  >=  ", QRect(8, 8, 190, 16), 198);
    edG = controls.edit("edG", "1", QRect(200, 4, 57, 24));
    Label3 = controls.label("Label3", "Число ограничений вида   =  ", QRect(8, 36, 186, 16), 198);
    edE = controls.edit("edE", "1", QRect(200, 32, 57, 24));
    Label4 = controls.label("Label4", "Число ограничений вида   <=  ", QRect(344, 7, 193, 16), 542);
    edL = controls.edit("edL", "1", QRect(544, 3, 73, 24));
    Label5 = controls.label("Label5", "Число неизвестных  = ", QRect(384, 36, 144, 16), 542);
    edN = controls.edit("edN", "3", QRect(544, 32, 73, 24));
    Label6 = controls.label("Label6", "Заданная  точность ", QRect(392, 65, 133, 16), 542);
    edEps = controls.edit("edEps", "1E-8", QRect(544, 61, 73, 24));
    btnNewTab =
        controls.button("btnNewTab", "Создать новую таблицу", QRect(8, 60, 249, 25), leftTop);
    btnREsizeTab = controls.button("btnREsizeTab",
                                   "Изменить число строк и столбцов таблицы в соответствии с "
                                   "числом огранич и неизв",
                                   QRect(8, 88, 609, 25), leftTop);

    SG1 = new StringGrid(m_session->inputGrid(), m_client);
    SG1->setObjectName(QStringLiteral("SG1"));
    SG1->setEditing(true);
    // Each row's relation beside it, so that no one counts rows against the three counts.
    // The session, not this window: the grid may still ask while the window is being destroyed.
    SG1->showRowLabels([session = m_session](int row) { return session->rowLabel(row); });
    // A 50 x 50 problem scrolls: its headings and names stay in view.
    SG1->freezeHeadings();
    anchors.add(SG1, QRect(7, 118, 610, 314), Qt::LeftEdge | Qt::TopEdge | rightBottom);

    PB1 = new QProgressBar(m_client);
    PB1->setObjectName(QStringLiteral("PB1"));
    PB1->setTextVisible(false);
    anchors.add(PB1, QRect(8, 441, 441, 16), Qt::LeftEdge | rightBottom);
    setProgressMaximum(0);
    setProgressPosition(0);

    btnSolve = controls.button("btnSolve", "Решить", QRect(459, 437, 78, 25), rightBottom);
    btnExit = controls.button("btnExit", "Выход", QRect(542, 437, 74, 25), rightBottom);
    btnStop = controls.button("btnStop", "Прервать", QRect(459, 437, 78, 25), rightBottom);
    btnStop->setVisible(false);

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
    connectCommand(btnStop, &QPushButton::clicked, this, m_toolkit, [this] { btnStopClick(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_solving) btnStopClick();
    });

    // Typing in the grid or the edits is work the user would not want to lose unasked.
    // It also ends the link to a model the input was laid from.
    connect(&SG1->adapter(), &StringGridAdapter::userEdited, this,
            [this] { m_session->noteGridTyping(); });
    for (QLineEdit* e : {edG, edE, edL, edN, edEps})
        connect(e, &QLineEdit::textEdited, this, [this] { m_session->noteEditTyping(); });
    connect(SG1, &StringGrid::headingMenuRequested, this,
            [this](int col, const QPoint& at) { headingMenu(col, at); });
    // A block pasted beyond the grid grows the counts when the user agrees: the extra columns
    // become unknowns, the extra rows "<=" constraints.
    SG1->setGrowRequest([this](int cols, int rows) {
        const int moreCols = std::max(0, cols - SG1->cells().colCount());
        const int moreRows = std::max(0, rows - SG1->cells().rowCount());
        const QString question = QString::fromStdString(session::growQuestion(moreRows, moreCols));
        if (!m_toolkit.askYesNo(question)) return false;
        const session::EditTexts before = editTexts();
        const auto count = [](const QLineEdit* e) { return e->text().toLongLong(); };
        edL->setText(QString::number(count(edL) + moreRows));
        edN->setText(QString::number(count(edN) + moreCols));
        SetupGrid(false);
        if (SG1->cells().rowCount() < rows || SG1->cells().colCount() < cols) {
            // The counts were refused: the edits show the counts of the grid again.
            edL->setText(QString::fromStdString(before.L));
            edN->setText(QString::fromStdString(before.N));
            return false;
        }
        return true;
    });
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
    idExamples = action("idExamples", "Примеры", &TForm1::idExamplesClick);
    N1->addAction(idExamples);
    mnRecent = N1->addMenu(QStringLiteral("Недавние"));
    mnRecent->setObjectName(QStringLiteral("mnRecent"));
    mnRecent->menuAction()->setObjectName(QStringLiteral("mnRecent"));
    connect(mnRecent, &QMenu::aboutToShow, this, [this] { fillRecentMenu(); });
    N1->addAction(idWriteFile);
    N1->addAction(idGenDat);
    idResults = action("idResults", "Результаты", &TForm1::idResultsClick);
    bar->addAction(idResults);
    N2 = action("N2", "Описание", &TForm1::N2Click);
    bar->addAction(N2);
    N1->setTitle(QStringLiteral("&Файл"));
    idFileOpen->setShortcut(QKeySequence::Open);
    idWriteFile->setShortcut(QKeySequence::Save);
    mnSolve = new QMenu(QStringLiteral("Р&ешение"), bar);
    mnSolve->setObjectName(QStringLiteral("mnSolve"));
    idSolveAgain = action("idSolveAgain", "Решить снова", &TForm1::idSolveAgainClick);
    idSolveAgain->setShortcut(Qt::Key_F9);
    idLastResults = action("idLastResults", "Последние результаты", &TForm1::idLastResultsClick);
    idLog = action("idLog", "Журнал решения", &TForm1::idLogClick);
    idExplain = action("idExplain", "Почему нет решения", &TForm1::idExplainClick);
    idSteps = action("idSteps", "Пошаговое решение", &TForm1::idStepsClick);
    mnSolve->addAction(idSolveAgain);
    mnSolve->addAction(idLastResults);
    mnSolve->addAction(idLog);
    mnSolve->addAction(idSteps);
    idGraph = action("idGraph", "Графический метод", &TForm1::idGraphClick);
    mnSolve->addAction(idGraph);
    connect(mnSolve, &QMenu::aboutToShow, this, [this] { enableGraph(); });
    connect(edN, &QLineEdit::textChanged, this, [this] { enableGraph(); });
    enableGraph();
    mnSolve->addAction(idExplain);
    bar->insertMenu(idResults, mnSolve);
    idModel = action("idModel", "Модель", &TForm1::idModelClick);
    mnSolve->addAction(idModel);
    mnEngine = mnSolve->addMenu(QStringLiteral("Метод решения"));
    mnEngine->setObjectName(QStringLiteral("mnEngine"));
    auto* engines = new QActionGroup(this);
    idEngineMethod =
        mnEngine->addAction(QStringLiteral("Симплекс-метод программы (журнал планов)"));
    idEngineMethod->setObjectName(QStringLiteral("idEngineMethod"));
    idEngineSparse = mnEngine->addAction(QStringLiteral("Разреженный симплекс-метод (GLPK)"));
    idEngineSparse->setObjectName(QStringLiteral("idEngineSparse"));
    for (QAction* a : {idEngineMethod, idEngineSparse}) {
        a->setCheckable(true);
        engines->addAction(a);
    }
    idEngineMethod->setChecked(true);

    idMipOptions = action("idMipOptions", "Целочисленное решение...", &TForm1::idMipOptionsClick);
    mnSolve->addAction(idMipOptions);
    idTree = action("idTree", "Дерево ветвлений", &TForm1::idTreeClick);
    mnSolve->addAction(idTree);
    idGomory = action("idGomory", "Отсечения Гомори", &TForm1::idGomoryClick);
    mnSolve->addAction(idGomory);
    mnMark = mnSolve->addMenu(QStringLiteral("Вид неизвестной"));
    mnMark->setObjectName(QStringLiteral("mnMark"));
    auto markAction = [&](const char* name, const char* text, ColumnMark mark) {
        QAction* a = mnMark->addAction(QString::fromUtf8(text));
        a->setObjectName(QLatin1String(name));
        connectCommand(a, &QAction::triggered, this, m_toolkit,
                       [this, mark] { idMarkClick(mark); });
        return a;
    };
    idMarkContinuous = markAction("idMarkContinuous", "Непрерывная", ColumnMark::None);
    idMarkInteger = markAction("idMarkInteger", "Целая («целое»)", ColumnMark::Integer);
    idMarkBinary = markAction("idMarkBinary", "Двоичная («0/1»)", ColumnMark::Binary);
}

void TForm1::idMarkClick(ColumnMark mark) {
    setColumnMark(SG1->currentIndex().isValid() ? SG1->currentIndex().column() : -1, mark);
}

void TForm1::setColumnMark(int col, ColumnMark mark) {
    if (m_session->unknownOfColumn(col) == 0) {
        m_toolkit.showMessage(QStringLiteral(
            "Выберите ячейку в столбце неизвестной: целой или двоичной можно сделать только "
            "неизвестную"));
        return;
    }
    StringGridAdapter& cells = SG1->adapter();
    cells.userStep([&] { cells.userSetMark(col, mark); });
    // The heading shows its mark after its text; it is read whole.
    SG1->widenColumnToText(col, 200);
}

void TForm1::headingMenu(int col, const QPoint& globalPos) {
    if (m_solving || m_session->unknownOfColumn(col) == 0) return;
    QMenu menu(this);
    const ColumnMark now = SG1->cells().colMark(col);
    const struct {
        const char* text;
        ColumnMark mark;
    } choices[] = {{"Непрерывная", ColumnMark::None},
                   {"Целая («целое»)", ColumnMark::Integer},
                   {"Двоичная («0/1»)", ColumnMark::Binary}};
    for (const auto& c : choices) {
        QAction* a = menu.addAction(QString::fromUtf8(c.text));
        a->setCheckable(true);
        a->setChecked(c.mark == now);
        const ColumnMark mark = c.mark;
        connectCommand(a, &QAction::triggered, this, m_toolkit,
                       [this, col, mark] { setColumnMark(col, mark); });
    }
    menu.exec(globalPos);
}

session::Engine TForm1::engine() const {
    return idEngineSparse->isChecked() ? session::Engine::Sparse : session::Engine::Method;
}

void TForm1::setEngine(session::Engine e) {
    (e == session::Engine::Sparse ? idEngineSparse : idEngineMethod)->setChecked(true);
}

// --- recent files ----------------------------------------------------------------------------

std::unique_ptr<QSettings> TForm1::settings() const {
    if (m_settingsFile.isEmpty())
        return std::make_unique<QSettings>(QStringLiteral("kvado"), QStringLiteral("kvado"));
    return std::make_unique<QSettings>(m_settingsFile, QSettings::IniFormat);
}

QStringList TForm1::recentFiles() const {
    // A settings file that is missing or does not read is an empty list, never an error.
    return settings()->value(QStringLiteral("recentFiles")).toStringList();
}

void TForm1::rememberFile(const QString& path) {
    std::vector<std::string> list;
    for (const QString& p : recentFiles())
        list.push_back(p.toStdString());
    list =
        session::withRecentFile(std::move(list), QFileInfo(path).absoluteFilePath().toStdString());
    QStringList paths;
    for (const std::string& p : list)
        paths.push_back(QString::fromStdString(p));
    settings()->setValue(QStringLiteral("recentFiles"), paths);
}

void TForm1::fillRecentMenu() {
    mnRecent->clear();
    const QStringList paths = recentFiles();
    for (const QString& path : paths) {
        QAction* a = mnRecent->addAction(path);
        connectCommand(a, &QAction::triggered, this, m_toolkit, [this, path] {
            // The file is opened by its extension, as the open dialog's own filter would.
            openPath(path, 0);
        });
    }
    if (paths.isEmpty()) mnRecent->addAction(QStringLiteral("(нет файлов)"))->setEnabled(false);
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
    return *m_session;
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
    // Typed work is asked about only when the new table will really replace it: a grid
    // typed into, not edits (which the new table keeps).
    if (m_session->gridTyped()) {
        if (ParseEdits()) {
            setStatusText(QString::fromUtf8(kNewDataStatus));
            return;
        }
        if (!keepWork(true)) return;
    }
    setStatusText(QString::fromUtf8(kNewDataStatus));
    SetupGrid(true);
}

void TForm1::btnREsizeTabClick() {
    setStatusText(QString::fromUtf8(kNewDataStatus));
    SetupGrid(false);
}

void TForm1::btnExitClick() {
    if (!keepWork()) return;
    m_exiting = true;
    m_toolkit.requestExit();
}

bool TForm1::keepWork(bool gridOnly) {
    if (!(gridOnly ? m_session->gridTyped() : m_session->workTyped())) return true;
    switch (m_toolkit.askToSave(QStringLiteral(
        "Задача в таблице изменена и не записана в файл.\r\nЗаписать ее перед этим?"))) {
    case Toolkit::SaveAnswer::Save:
        return writeDataFiles();
    case Toolkit::SaveAnswer::Discard:
        return true;
    case Toolkit::SaveAnswer::Cancel:
        break;
    }
    return false;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_solving) {
        // The solve holds the problem: it is stopped first, and the window closes after it.
        event->ignore();
        command([&] {
            if (m_toolkit.askYesNo(QStringLiteral("Идет решение задачи. Прервать его?"))) {
                m_stopRequested = true;
                m_closeAfterSolve = true;
            }
        });
        return;
    }
    bool keep = m_exiting;
    if (!keep) command([&] { keep = keepWork(); });
    if (keep)
        event->accept();
    else
        event->ignore();
}

// --- data files ----------------------------------------------------------------------------

void TForm1::idFileOpenClick() {
    openWithDialog(QStringLiteral("."));
}

void TForm1::idExamplesClick() {
    const QString folder =
        findExamplesFolder(examplesFolderCandidates(QCoreApplication::applicationDirPath()));
    if (folder.isEmpty()) {
        m_toolkit.showMessage(QStringLiteral("Папка с примерами не найдена"));
        return;
    }
    openWithDialog(folder);
}

void TForm1::openWithDialog(const QString& folder) {
    FileDialogOptions OD1; // the system's own title
    OD1.filter =
        QStringLiteral("Исходные данные |*.dat|Файлы LP |*.lp|Файлы MPS |*.mps|Все файлы |*.*");
    OD1.defaultExt = QStringLiteral("dat");
    OD1.initialDir = folder;
    int filter = -1;
    OD1.chosenFilter = &filter;
    const auto chosen = m_toolkit.openFileDialog(OD1);
    if (!chosen) {
        SetUpResultGrids();
        return;
    }
    openPath(*chosen, filter);
}

void TForm1::openPath(const QString& path, int filter) {
    const std::string chosen = path.toStdString();
    // A file read whole replaces the edits and the grid: the session asks about typed work
    // first (replaceTypedWork()), and one that fails to read changes nothing to ask about.
    if (const auto format = modelFormat(chosen, filter)) {
        // A reader's error is shown by the session and changes nothing here.
        const session::ModelOpen laid = m_session->openModelFile(chosen, *format);
        if (!laid.opened) return; // a reader's error shown, or the typed work kept
        // An LP or MPS model goes to the sparse engine unless the user chooses the method.
        setEngine(session::Engine::Sparse);
        idEngineMethod->setEnabled(!laid.engineOnly);
        if (laid.engineOnly) {
            btnSolve->setEnabled(true);
            setStatusText(QString::fromUtf8(kOpenedStatus) + QFileInfo(path).fileName());
            rememberFile(path);
            m_toolkit.showMessage(QString::fromStdString(laid.message()));
            return;
        }
        showModelLaid(laid);
        setStatusText(QString::fromUtf8(kOpenedStatus) +
                      QString::fromStdString(m_problem.dataFileName));
        rememberFile(path);
        m_toolkit.showMessage(QString::fromStdString(laid.message()));
        return;
    }
    const session::OpenResult opened = m_session->openDataFile(chosen);
    // An open that failed changed nothing; its message said so.
    if (opened.status != session::OpenStatus::Opened) return;
    setEngine(session::Engine::Method);
    idEngineMethod->setEnabled(true);
    rememberFile(path);
    // The names of the file are read whole where the window allows.
    SG1->widenColumnToText(0, 400);
    setStatusText(QString::fromUtf8(kOpenedStatus) +
                  QString::fromStdString(m_problem.dataFileName));
    if (!opened.shortFileNote.empty())
        setStatusText(QString::fromUtf8(kOpenedStatus) +
                      QString::fromStdString(m_problem.dataFileName + ". " + opened.shortFileNote));
    // The problem record now holds the file's numbers, which no basis of a solve belongs to.
    if (m_windows.results2 != nullptr) m_windows.results2->setOptimalSolve(false);
    btnSolve->setEnabled(true);
    if (opened.edits) {
        edG->setText(QString::fromStdString(opened.edits->G));
        edE->setText(QString::fromStdString(opened.edits->E));
        edL->setText(QString::fromStdString(opened.edits->L));
        edN->setText(QString::fromStdString(opened.edits->N));
        edEps->setText(QString::fromStdString(opened.edits->eps));
    }
}

void TForm1::showModelLaid(const session::ModelOpen& laid) {
    SG1->widenColumnToText(0, 400);
    // The problem record now holds the model's numbers, which no basis of a solve belongs to.
    if (m_windows.results2 != nullptr) m_windows.results2->setOptimalSolve(false);
    btnSolve->setEnabled(true);
    if (const auto& edits = laid.open.edits) {
        edG->setText(QString::fromStdString(edits->G));
        edE->setText(QString::fromStdString(edits->E));
        edL->setText(QString::fromStdString(edits->L));
        edN->setText(QString::fromStdString(edits->N));
        edEps->setText(QString::fromStdString(edits->eps));
    }
}

void TForm1::modelApplied(const session::ModelOpen& laid) {
    // The session asked about typed work before it laid the text in.
    showModelLaid(laid);
    setStatusText(QString::fromUtf8(kNewDataStatus));
}

void TForm1::idModelClick() {
    if (m_modelWindow == nullptr) m_modelWindow = new TfrmModel(m_toolkit, *m_session, *this, this);
    m_modelWindow->showModel();
}

void TForm1::idWriteFileClick() {
    writeDataFiles();
}

bool TForm1::writeDataFiles() {
    const datafile::DataFileContents contents = m_session->inputContents(editTexts());
    // A text that does not convert is told and nothing is written. The program goes on: the
    // user corrects the cell and writes again, and nothing typed so far is lost.
    if (!contents.error.empty()) {
        m_toolkit.showMessage(QString::fromStdString(contents.error));
        return false;
    }
    // A name typed without an extension gets the chosen filter's (.dat, .lp, .mps).
    FileDialogOptions SD1;
    SD1.title = QStringLiteral("Задайте имя для файла данных");
    SD1.filter = QStringLiteral("Файлы данных|*.dat|Файлы LP|*.lp|Файлы MPS|*.mps|Все файлы|*.*");
    SD1.initialDir = QStringLiteral(".");
    int filter = -1;
    SD1.chosenFilter = &filter;
    const auto chosen = chooseSaveFile(m_toolkit, SD1);
    if (!chosen) return false;
    std::string path = chosen->toStdString();
    std::optional<model::FileFormat> format = modelFormat(path, filter);
    if (!format && m_session->inputHasMarks()) {
        // The data file keeps only the numbers; the marks would be lost without a word.
        const std::string lpPath = std::filesystem::path(path).replace_extension(".lp").string();
        if (m_toolkit.askYesNo(QString::fromStdString(session::marksNotKeptQuestion(
                std::filesystem::path(lpPath).filename().string())))) {
            path = lpPath;
            format = model::FileFormat::Lp;
        }
    }
    if (format) {
        // The model the input stands for: the file's own while linked to it.
        model::writeModelFile(path, m_session->modelOfInput(contents), *format);
    } else {
        // A file that cannot be created ends the command with the error report; the files
        // after it in the order data, constraint names, unknown names are not written.
        datafile::writeDataFiles(path, contents);
    }
    m_session->inputWritten();
    rememberFile(QString::fromStdString(path));
    return true;
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

session::EditTexts TForm1::editTexts() const {
    return {edG->text().toStdString(), edE->text().toStdString(), edL->text().toStdString(),
            edN->text().toStdString(), edEps->text().toStdString()};
}

bool TForm1::ParseEdits() {
    return m_session->ParseEdits(editTexts());
}

void TForm1::SetupGrid(bool newTable) {
    m_session->SetupGrid(editTexts(), newTable);
}

bool TForm1::GridTransfer() {
    return m_session->GridTransfer(editTexts());
}

// --- solve ---------------------------------------------------------------------------------

void TForm1::btnSolveClick() {
    solveGrid();
}

void TForm1::solveGrid(bool showResults) {
    if (showResults) {
        // Unknowns marked integer make «Решить» an integer search, unless the relaxation is
        // asked for; the steps and the graph always solve the relaxation by the method.
        bool refused = false;
        if (const model::Model* m = integerModel(refused)) {
            solveIntegerModel(*m);
            return;
        }
        if (refused) return;
    }
    // A model only the engine takes is never the grid's problem.
    const bool engineOnly = m_session->engineModel() != nullptr && !m_session->linked();
    if (showResults && (engine() == session::Engine::Sparse || engineOnly)) {
        solveWithEngine();
        return;
    }
    m_lastOutcome.reset();
    if (m_windows.results2 != nullptr) m_windows.results2->setOptimalSolve(false);
    // The explanation belongs to the solve that made it.
    if (m_explain != nullptr) m_explain->hide();
    // The session says when the solver itself runs: the input's checks and their messages
    // come before it, with the window as it was.
    const session::SolveResult result = m_session->solveInput(editTexts());
    if (m_closeAfterSolve) {
        // Asked for during the solve; typed work is still asked about.
        m_closeAfterSolve = false;
        close();
        return;
    }
    if (!result.solved) return;
    m_lastOutcome = result.outcome;
    // Either failure leaves the input as typed so that the user can correct it and solve
    // again, with the explanation beside the grid; only an optimum is shown in the results
    // window.
    if (result.explanation.kind != analysis::Explanation::Kind::None) idExplainClick();
    // The results window shows the last solve whatever its outcome («Последние результаты»),
    // its own heading and verdict saying when there is no optimum.
    if (m_windows.results2 != nullptr) m_windows.results2->showTexts();
    if (result.outcome != SolveOutcome::Optimal) return;
    btnSolve->setEnabled(false);
    if (m_windows.results2 == nullptr) return;
    m_windows.results2->setOptimalSolve(true);
    // The exact check's line follows the solve that just ended.
    m_windows.results2->showTexts();
    if (showResults) m_toolkit.showModal(*m_windows.results2);
}

void TForm1::solveWithEngine() {
    m_lastOutcome.reset();
    if (m_windows.results2 != nullptr) m_windows.results2->setOptimalSolve(false);
    if (m_explain != nullptr) m_explain->hide();
    const model::Model* model = m_session->engineModel();
    if (model == nullptr) {
        // The grid's problem, as the write command reads it, is a model too.
        const datafile::DataFileContents contents = m_session->inputContents(editTexts());
        if (!contents.error.empty()) {
            m_toolkit.showMessage(QString::fromStdString(contents.error));
            return;
        }
        m_typedModel = std::make_unique<model::Model>(m_session->modelOfInput(contents));
        model = m_typedModel.get();
    }
    // The engine runs on a second thread; this one shows its progress in the status line and
    // lets the window's events through, «Прервать» among them.
    struct Progress {
        std::mutex lock;
        engine::SparseProgress last;
        bool fresh = false;
    } progress;
    std::atomic<bool> stop{false};
    engine::SparseOptions options;
    options.stopRequested = [&stop] { return stop.load(); };
    options.progress = [&progress](const engine::SparseProgress& p) {
        const std::lock_guard<std::mutex> hold(progress.lock);
        progress.last = p;
        progress.fresh = true;
    };
    const QString status = statusText();
    auto number = [this](double v) {
        QString t = QString::number(v, 'g', 10);
        return t.replace(QLatin1Char('.'), QLatin1Char(m_decimalSeparator));
    };
    auto run = [&](const std::function<engine::SparseAnswer()>& solve) {
        // «Прервать» is shown before the engine starts, and a click on it is seen.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (m_stopRequested) stop = true;
        engine::SparseAnswer answer;
        std::exception_ptr failure;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            try {
                answer = solve();
            } catch (...) {
                failure = std::current_exception();
            }
            engine::glpkThreadEnd();
            done = true;
        });
        while (!done) {
            if (m_stopRequested) stop = true;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            {
                const std::lock_guard<std::mutex> hold(progress.lock);
                if (progress.fresh) {
                    const engine::SparseProgress& p = progress.last;
                    setStatusText(QStringLiteral("   Итераций: %1, Z = %2, невязка %3, %4 с")
                                      .arg(p.iterations)
                                      .arg(number(p.objective), number(p.infeasibility),
                                           number(std::round(p.seconds * 10) / 10)));
                    progress.fresh = false;
                }
            }
            if (m_stopRequested) stop = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        worker.join();
        if (failure) std::rethrow_exception(failure);
        return answer;
    };
    engine::SparseAnswer answer;
    try {
        // The integer marks are left aside when the relaxation is asked for.
        answer = model::hasIntegers(*model) ? m_session->solveRelaxation(*model, options, run)
                                            : m_session->solveSparse(*model, options, run);
    } catch (...) {
        setStatusText(status);
        throw;
    }
    setStatusText(status);
    // A model only the engine takes leaves the method unchosen.
    idEngineMethod->setEnabled(m_session->linked() || m_session->engineModel() == nullptr);
    if (m_closeAfterSolve) {
        m_closeAfterSolve = false;
        close();
        return;
    }
    switch (answer.status) {
    case engine::SparseStatus::Optimal:
        m_lastOutcome = SolveOutcome::Optimal;
        break;
    case engine::SparseStatus::Infeasible:
        m_lastOutcome = SolveOutcome::Infeasible;
        break;
    case engine::SparseStatus::Unbounded:
        m_lastOutcome = SolveOutcome::Unbounded;
        break;
    case engine::SparseStatus::Stopped:
    case engine::SparseStatus::Failed:
        break;
    }
    if (answer.status != engine::SparseStatus::Optimal) {
        std::string text = session::sparseStatusText(answer.status);
        if (!answer.failure.empty() && answer.status != engine::SparseStatus::Stopped)
            text += ": " + answer.failure;
        m_toolkit.showMessage(QString::fromStdString(text));
        // Why, on the engine's basis, beside the grid as after the method's solve.
        if (m_session->explanation().kind != analysis::Explanation::Kind::None) idExplainClick();
        return;
    }
    if (m_userTerms == nullptr) m_userTerms = new TfrmUserTerms(m_toolkit, this);
    m_userTerms->showSparse(*m_session);
}

const model::Model* TForm1::integerModel(bool& refused) {
    refused = false;
    if (mipOptionsWindow()->relaxation()) return nullptr;
    const model::Model* m = nullptr;
    if (m_session->engineModel() != nullptr && !m_session->linked())
        m = m_session->engineModel();
    else if (m_session->linkedTransformed())
        m = m_session->linkedModel();
    if (m != nullptr) return model::hasIntegers(*m) ? m : nullptr;
    if (!m_session->inputHasMarks()) return nullptr;
    const datafile::DataFileContents contents = m_session->inputContents(editTexts());
    if (!contents.error.empty()) {
        m_toolkit.showMessage(QString::fromStdString(contents.error));
        refused = true;
        return nullptr;
    }
    m_typedModel = std::make_unique<model::Model>(m_session->modelOfInput(contents));
    return m_typedModel.get();
}

void TForm1::solveIntegerModel(const model::Model& model) {
    m_lastOutcome.reset();
    if (m_windows.results2 != nullptr) m_windows.results2->setOptimalSolve(false);
    if (m_explain != nullptr) m_explain->hide();
    struct Progress {
        std::mutex lock;
        mip::MipProgress last;
        bool fresh = false;
    } progress;
    std::atomic<bool> stop{false};
    mip::MipOptions options;
    TfrmMipOptions* chosen = mipOptionsWindow();
    options.engine = chosen->engine();
    options.timeLimitSeconds = chosen->timeLimitSeconds();
    options.gapLimit = chosen->gapLimit();
    options.stopRequested = [&stop] { return stop.load(); };
    options.progress = [&progress](const mip::MipProgress& p) {
        const std::lock_guard<std::mutex> hold(progress.lock);
        progress.last = p;
        progress.fresh = true;
    };
    const QString status = statusText();
    auto number = [this](Real v) {
        return QString::fromStdString(text::formatShortGeneral(v, m_decimalSeparator));
    };
    auto run = [&](const std::function<mip::MipAnswer()>& search) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (m_stopRequested) stop = true;
        mip::MipAnswer answer;
        std::exception_ptr failure;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            try {
                answer = search();
            } catch (...) {
                failure = std::current_exception();
            }
            engine::glpkThreadEnd();
            done = true;
        });
        while (!done) {
            if (m_stopRequested) stop = true;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            {
                const std::lock_guard<std::mutex> hold(progress.lock);
                if (progress.fresh) {
                    const mip::MipProgress& p = progress.last;
                    const QString none = QStringLiteral("нет");
                    setStatusText(
                        QStringLiteral(
                            "   Узлов: %1, лучшее целое: %2, граница: %3, разрыв: %4, %5 с")
                            .arg(p.nodes)
                            .arg(p.hasIncumbent ? number(p.incumbent) : none,
                                 p.hasBound ? number(p.bound) : none,
                                 p.hasIncumbent && p.hasBound
                                     ? number(Real(p.gap * 100)) + QStringLiteral(" %")
                                     : none,
                                 number(Real(std::round(p.seconds * 10) / 10))));
                    progress.fresh = false;
                }
            }
            if (m_stopRequested) stop = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        worker.join();
        if (failure) std::rethrow_exception(failure);
        return answer;
    };
    mip::MipAnswer answer;
    try {
        answer = m_session->solveInteger(model, options, run);
    } catch (...) {
        setStatusText(status);
        throw;
    }
    setStatusText(status);
    if (m_closeAfterSolve) {
        m_closeAfterSolve = false;
        close();
        return;
    }
    if (answer.status == mip::MipStatus::Infeasible) m_lastOutcome = SolveOutcome::Infeasible;
    if (answer.status == mip::MipStatus::Unbounded) m_lastOutcome = SolveOutcome::Unbounded;
    if (answer.hasSolution()) m_lastOutcome = SolveOutcome::Optimal;
    if (!answer.failure.empty()) {
        m_toolkit.showMessage(QString::fromStdString(
            session::mipStatusText(answer, m_decimalSeparator) + ": " + answer.failure));
        return;
    }
    if (m_mipResults == nullptr) {
        m_mipResults = new TfrmMipResults(m_toolkit, this);
        m_mipResults->setReportWindow(m_windows.results);
        m_mipResults->setTreeCommand([this] { idTreeClick(); });
    }
    const model::Model* searched = m_session->lastMipModel();
    m_mipResults->showAnswer(searched != nullptr ? *searched : model, answer, m_decimalSeparator);
}

TfrmMipOptions* TForm1::mipOptionsWindow() {
    if (m_mipOptions == nullptr) m_mipOptions = new TfrmMipOptions(m_toolkit, this);
    return m_mipOptions;
}

void TForm1::idMipOptionsClick() {
    mipOptionsWindow()->showOptions();
}

void TForm1::idTreeClick() {
    const mip::MipAnswer* answer = m_session->lastMip();
    if (answer == nullptr || answer->tree.nodes.empty() || m_session->lastMipModel() == nullptr) {
        m_toolkit.showMessage(QStringLiteral(
            "Дерева ветвлений нет: оно строится, когда задача с целыми неизвестными решена "
            "методом ветвей и границ программы (Решение › Целочисленное решение...)"));
        return;
    }
    if (m_tree == nullptr) m_tree = new TfrmTree(m_toolkit, this);
    m_tree->showTree(*m_session->lastMipModel(), *answer, m_decimalSeparator);
}

void TForm1::idGomoryClick() {
    Names names;
    std::optional<session::GomoryRun> run = session::gomoryOfInput(*m_session, editTexts(), names);
    if (!run) return; // its message was shown
    if (m_gomory == nullptr) {
        m_gomory = new TfrmGomory(m_toolkit, this);
        m_gomory->setReport([this](const std::vector<std::string>& lines) {
            m_session->report().append("");
            for (const std::string& line : lines)
                m_session->report().append(line);
            if (m_windows.results != nullptr) m_windows.results->showAppended();
        });
    }
    m_gomory->showRun(std::move(*run), std::move(names), m_decimalSeparator);
}

void TForm1::setSolving(bool on) {
    m_solving = on;
    m_stopRequested = false;
    m_eventsLetThrough.invalidate();
    SG1->setEditing(!on);
    for (QLineEdit* e : {edG, edE, edL, edN, edEps})
        e->setReadOnly(on);
    for (QAction* a : findChildren<QAction*>())
        a->setEnabled(!on);
    if (!on) enableGraph();
    btnNewTab->setEnabled(!on);
    btnREsizeTab->setEnabled(!on);
    btnExit->setEnabled(!on);
    btnSolve->setVisible(!on);
    btnStop->setVisible(on);
    if (on) btnStop->setFocus();
}

bool TForm1::letEventsThrough() {
    // A few times a second is enough for the window to repaint and see a click; the solve's
    // bits do not depend on it, as nothing here touches the problem.
    if (!m_eventsLetThrough.isValid() || m_eventsLetThrough.elapsed() >= 40) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        m_eventsLetThrough.start();
    }
    return m_stopRequested;
}

void TForm1::btnStopClick() {
    if (m_solving) m_stopRequested = true;
}

void TForm1::idExplainClick() {
    if (m_session->explanation().kind == analysis::Explanation::Kind::None) {
        m_toolkit.showMessage(QString::fromUtf8(
            "Объяснения нет: оно дается после решения, в котором нет допустимых решений или "
            "целевая функция не ограничена"));
        return;
    }
    if (m_explain == nullptr) m_explain = new TfrmExplain(m_toolkit, this);
    // An LP or MPS model is explained in its own rows and columns, as kvado-cli does; the
    // standard form's names would be the transformation's, not the user's. So is the sparse
    // engine's answer, whose explanation is of the model it solved.
    if (m_session->linkedTransformed() || m_session->solvedSparse())
        return m_explain->showModelExplanation(
            session::explanationTable(m_session->userExplanation(), m_decimalSeparator));
    m_explain->showExplanation(m_session->explainedProblem(), m_session->explanation(),
                               m_session->explainNames(), m_decimalSeparator);
}

void TForm1::idLogClick() {
    if (m_log == nullptr) m_log = new TfrmLog(m_toolkit, this);
    m_log->showLog(QDir::current().filePath(QStringLiteral("Kvaq.log")));
}

void TForm1::idStepsClick() {
    // Only this solve records: the next one from «Решить» pays nothing for it again.
    struct Recording {
        session::Session& session;
        explicit Recording(session::Session& s) : session(s) { session.setRecordSteps(true); }
        ~Recording() { session.setRecordSteps(false); }
    };
    {
        const Recording recording(*m_session);
        solveGrid(false);
    }
    const StepRecorder* steps = m_lastOutcome ? m_session->steps() : nullptr;
    if (steps == nullptr) return;
    if (m_steps == nullptr) m_steps = new TfrmSteps(m_toolkit, this);
    m_steps->showSteps(m_problem, *steps, m_session->stepNames(*steps), m_decimalSeparator);
}

void TForm1::enableGraph() {
    idGraph->setEnabled(!m_solving && text::toWholeNumber(edN->text().toStdString()) == 2);
}

void TForm1::idGraphClick() {
    if (text::toWholeNumber(edN->text().toStdString()) != 2) {
        m_toolkit.showMessage(
            QStringLiteral("Графический метод строится для задачи с двумя неизвестными"));
        return;
    }
    solveGrid(false);
    if (!m_lastOutcome || m_problem.N != 2) return;
    std::optional<analysis::PlanePoint> optimum;
    switch (*m_lastOutcome) {
    case SolveOutcome::Optimal:
        optimum = analysis::PlanePoint{m_problem.value(1), m_problem.value(2)};
        break;
    case SolveOutcome::Infeasible:
    case SolveOutcome::Unbounded:
        break;
    case SolveOutcome::PassLimit:
    case SolveOutcome::Stopped:
    case SolveOutcome::Overflow:
        return; // no answer to draw
    }
    if (m_graph == nullptr) m_graph = new TfrmGraph(m_toolkit, this);
    m_graph->showGraph(*m_session, optimum);
}

void TForm1::idSolveAgainClick() {
    solveGrid();
}

void TForm1::idLastResultsClick() {
    if (!m_session->hasResults()) {
        m_toolkit.showMessage(QStringLiteral("Результатов пока нет: задача еще не решена"));
        return;
    }
    if (m_windows.results2 != nullptr) m_toolkit.showModal(*m_windows.results2);
}

// --- results -------------------------------------------------------------------------------

void TForm1::SetUpResultGrids() {
    m_session->SetUpResultGrids();
}

} // namespace kvado::ui
