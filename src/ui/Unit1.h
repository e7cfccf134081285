#pragma once
// Main window (TForm1, «Решение задачи линейного программирования.»): the counts and the
// tolerance of a problem, the input grid in which the user types it, and the commands that lay
// out the grid, solve the problem and reach the other windows. The work is the session's: a
// handler reads the edits, calls the session, and shows what it produced.

#include <QDateTime>
#include <QElapsedTimer>
#include <QLocale>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

#include "session/EngineSolve.h"
#include "session/Session.h"
#include "solver/LpProblem.h"
#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/unModel.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSettings;
class QStatusBar;

namespace kvado::ui {

class TResults;
class TForm2;
class TfrmResults2;
class TfrmZastav;
class TfrmGenData;

// The date and time of the report's header in the regional settings of `locale`: the short
// date, a blank and the long time, the time left out at exactly midnight.
std::string reportDateTimeText(const QLocale& locale, const QDateTime& moment);

class TForm1 : public QMainWindow, private ModelWindowHost {
    Q_OBJECT
public:
    // The client area as designed; the outer window adds the design frame and the menu.
    static constexpr int kClientWidth = 620;
    static constexpr int kClientHeight = 487;
    static constexpr int kMinOuterWidth = 628;
    // The input grid's designed height, and the least it keeps when the window is lowered.
    static constexpr int kDesignGridHeight = 314;
    static constexpr int kMinGridHeight = 3 * 20 + 4;

    // The windows the main window shows; created after it, in this order.
    struct Windows {
        TResults* results = nullptr;      // report window
        TForm2* help = nullptr;           // help window
        TfrmResults2* results2 = nullptr; // results window
        TfrmZastav* zastav = nullptr;     // splash window
        TfrmGenData* genData = nullptr;   // generator window
    };

    // `session` is the program's one road, owned by the start-up with the problem record it
    // works on, so it outlives every window that shows its models.
    TForm1(Toolkit& toolkit, session::Session& session, QWidget* parent = nullptr);
    ~TForm1() override;

    // The road every command of the window takes; its models are what the windows show.
    session::Session& session() { return *m_session; }

    // Connects the windows to each other and to the problem.
    void attachWindows(const Windows& windows);
    const Windows& windows() const { return m_windows; }

    Toolkit& toolkit() const { return m_toolkit; }
    // The one problem record of the program.
    LpProblem& problem() const { return m_problem; }
    // The user's decimal separator, for typed grid numbers and the general number formats.
    char decimalSeparator() const { return m_decimalSeparator; }
    void setDecimalSeparator(char separator);
    // The clock the report's header reads; the local time unless set.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    QString statusText() const;
    void setStatusText(const QString& text);

    // PB1. A position above the maximum shows a full bar.
    void setProgressMaximum(int maximum);
    void setProgressPosition(int position);
    int progressMaximum() const { return m_progressMaximum; }
    int progressPosition() const { return m_progressPosition; }

    // What the solver is given to report through (the session): PB1, message boxes, the
    // report writers.
    SolverHost& solverHost();

    // The outer width as the design measures it: the client width plus the design frame, so
    // the controls keep the room they were laid out in whatever frame the desktop draws.
    int outerWidth() const { return width() + kDesignFrameWidth; }

    // --- handlers ------------------------------------------------------------------------
    void FormCreate();
    void FormActivate();
    void FormResize();
    void btnNewTabClick();
    void btnREsizeTabClick();
    void btnSolveClick();
    void btnExitClick();
    void idFileOpenClick();
    // «Файл › Примеры»: the open dialog in the examples' folder.
    void idExamplesClick();
    // The open command on `path`, chosen under the open dialog's filter `filter`.
    void openPath(const QString& path, int filter);
    // «Файл › Недавние»: the files opened or written last, newest first, kept in the
    // desktop's settings (or in `file`, an INI file, when set).
    QStringList recentFiles() const;
    void setSettingsFile(const QString& file) { m_settingsFile = file; }
    void idWriteFileClick();
    void idGenDatClick();
    void idResultsClick();
    void N2Click();
    // «Решение»: solve the grid as it stands whatever the state of «Решить»; show the last
    // results again.
    void idSolveAgainClick();
    void idLastResultsClick();
    // «Решение › Журнал решения»: the trace log, decoded.
    void idLogClick();
    // «Решение › Пошаговое решение»: the grid solved with its passes recorded, then shown in
    // the step window.
    void idStepsClick();
    // «Решение › Графический метод», for two unknowns: the grid solved as it stands, then
    // drawn whatever the solve found (an empty region, an unbounded objective).
    void idGraphClick();
    // «Решение › Модель»: the problem as LP text, to edit, apply and solve.
    void idModelClick();
    TfrmModel* modelWindow() const { return m_modelWindow; }
    // «Решение › Почему нет решения»: the last infeasible or unbounded solve explained.
    void idExplainClick();
    // «Решение › Метод решения»: which engine «Решить» uses. The method (its trace log, steps
    // and graph) is chosen for data files and the grid, the sparse engine for an opened LP or
    // MPS file; the step view and the graphical method always use the method.
    session::Engine engine() const;
    void setEngine(session::Engine e);
    // «Решение › Вид неизвестной» and the heading's context menu: the unknown of grid column
    // `col` marked continuous, integer («целое») or binary («0/1»), as a step of the user's
    // own (undone by Ctrl+Z). A column that is not an unknown's is told and left alone.
    void setColumnMark(int col, ColumnMark mark);
    // The same for the column of the current cell.
    void idMarkClick(ColumnMark mark);
    // «Решение › Целочисленное решение...»: the search, its limits and the relaxation.
    void idMipOptionsClick();
    class TfrmMipOptions* mipOptionsWindow();
    // «Решение › Дерево ветвлений»: the last search of the program's branch and bound.
    void idTreeClick();
    class TfrmTree* treeWindow() const {
        return m_tree;
    }
    class TfrmMipResults* mipResultsWindow() const {
        return m_mipResults;
    }
    // «Решение › Отсечения Гомори»: the grid's pure integer problem solved by the method with
    // Gomory's fractional cuts, each derived and shown.
    void idGomoryClick();
    class TfrmGomory* gomoryWindow() const {
        return m_gomory;
    }
    // «Прервать» (and Escape) while a solve runs: it ends at the end of the current pass.
    void btnStopClick();
    bool solving() const { return m_solving; }

    // --- operations (the session's, on the edits as they stand) ----------------------------
    // New table (true) or resize (false) of the input grid for the counts in the edits.
    void SetupGrid(bool newTable);
    // Edit parse: the counts and Eps from the edits into the problem. Returns the error flag:
    // true when a message has been shown and nothing may go on.
    bool ParseEdits();
    // Grid transfer: the edit parse, then the problem loaded from the input grid. Returns the
    // error flag; a cell that does not convert throws text::ConversionError.
    bool GridTransfer();
    // Lays out the results window's grids for the counts and the input grid.
    void SetUpResultGrids();
    // The five edits' texts.
    session::EditTexts editTexts() const override;

    // --- controls ------------------------------------------------------------------------
    QLabel* Label2;
    QLineEdit* edG;
    QLabel* Label3;
    QLineEdit* edE;
    QLabel* Label4;
    QLineEdit* edL;
    QLabel* Label5;
    QLineEdit* edN;
    QLabel* Label6;
    QLineEdit* edEps;
    QPushButton* btnNewTab;
    QPushButton* btnREsizeTab;
    StringGrid* SG1;
    QProgressBar* PB1;
    QPushButton* btnSolve;
    QPushButton* btnExit;
    QStatusBar* SB1;
    QMenu* N1;
    QAction* idFileOpen;
    QAction* idWriteFile;
    QAction* idGenDat;
    QAction* idExamples;
    QMenu* mnRecent;
    QAction* idResults;
    QAction* N2;
    QMenu* mnSolve;
    QAction* idSolveAgain;
    QAction* idLastResults;
    QAction* idLog;
    QAction* idSteps;
    QAction* idGraph;
    QAction* idModel;
    QAction* idExplain;
    QMenu* mnEngine;
    QAction* idEngineMethod;
    QAction* idEngineSparse;
    QAction* idMipOptions;
    QAction* idTree;
    QAction* idGomory;
    QMenu* mnMark;
    QAction* idMarkContinuous;
    QAction* idMarkInteger;
    QAction* idMarkBinary;
    QPushButton* btnStop; // in btnSolve's place while a solve runs

    // Whether the grid or the edits hold typing not yet written to a file or replaced by an
    // opened one.
    bool unsavedWork() const { return m_session->workTyped(); }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class View;

    void createControls();
    void createMenu();
    // The heading's context menu of grid column `col`.
    void headingMenu(int col, const QPoint& globalPos);
    // Runs a handler as a command: an error it does not handle ends it with the error report.
    template <class F> void command(F handler) { runCommand(m_toolkit, handler); }
    Toolkit& m_toolkit;
    LpProblem& m_problem;
    Windows m_windows;
    session::Session* const m_session;
    std::unique_ptr<View> m_view;
    AnchoredArea* m_client;
    QLabel* m_statusLabel;
    char m_decimalSeparator;
    std::function<QDateTime()> m_clock;
    int m_progressMaximum = 0;
    int m_progressPosition = 0;
    QElapsedTimer m_progressPainted;
    bool m_splashShown = false;
    bool m_exiting = false;
    bool m_solving = false;
    bool m_stopRequested = false;
    bool m_closeAfterSolve = false;
    QElapsedTimer m_eventsLetThrough;
    class TfrmLog* m_log = nullptr;
    class TfrmSteps* m_steps = nullptr;
    class TfrmGraph* m_graph = nullptr;
    // The outcome of the last solve the solver ran; none when the input stopped it.
    std::optional<SolveOutcome> m_lastOutcome;
    // «Графический метод» is offered while the edits ask for two unknowns.
    void enableGraph();
    class TfrmExplain* m_explain = nullptr;
    // While a solve runs nothing but «Прервать» may change the problem.
    void setSolving(bool on);
    bool letEventsThrough();
    // Asks before typed work is lost (`gridOnly`: the grid's, as a new table replaces only
    // the grid); false: the user stays with it.
    bool keepWork(bool gridOnly = false);
    // The write command; returns whether the files were written.
    bool writeDataFiles();
    // `showResults`: an optimum opens the results window.
    void solveGrid(bool showResults = true);
    // «Решить» with the sparse engine: the opened model (or the grid's problem as one) solved
    // on a second thread while the window shows its progress and lets «Прервать» through; an
    // optimum opens «Решение исходной задачи».
    void solveWithEngine();
    std::unique_ptr<model::Model> m_typedModel; // the grid's problem as the engine's model
    // The model «Решить» searches for an integer plan: the input's when some unknown is marked
    // (or the linked or engine's model has integer columns) and the relaxation is not asked
    // for; null otherwise, or when the grid does not convert (`refused`: told).
    const model::Model* integerModel(bool& refused);
    // The integer search on a second thread with its progress in the status line, then its
    // results window.
    void solveIntegerModel(const model::Model& model);
    class TfrmMipOptions* m_mipOptions = nullptr;
    class TfrmMipResults* m_mipResults = nullptr;
    class TfrmTree* m_tree = nullptr;
    class TfrmGomory* m_gomory = nullptr;
    class TfrmUserTerms* m_userTerms = nullptr;
    // An LP or MPS file opened, or LP text applied: the edits, the Solve button and the
    // results window follow the input laid in.
    void showModelLaid(const session::ModelOpen& laid);
    TfrmModel* m_modelWindow = nullptr;
    QString m_settingsFile;
    void openWithDialog(const QString& folder);
    std::unique_ptr<QSettings> settings() const;
    void rememberFile(const QString& path);
    void fillRecentMenu();
    // The model window's «Применить» laid LP text into the input: typed there and written to
    // no file yet; its «Решить» then solves it.
    void modelApplied(const session::ModelOpen& laid) override;
    void solveApplied() override { idSolveAgainClick(); }
};

} // namespace kvado::ui
