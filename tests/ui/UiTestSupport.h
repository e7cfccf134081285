#pragma once
// The main window with its five companion windows, driven headless through a recording
// toolkit, and the pieces the window tests share.

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "solver/LpProblem.h"
#include "ui/RecorderToolkit.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/unGenData.h"
#include "ui/unResults2.h"
#include "ui/unZastav.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace kvado::ui {
inline void PrintTo(const RecorderToolkit::Entry& e, std::ostream* os) {
    *os << RecorderToolkit::kindName(e.kind) << " \"" << e.text.toStdString() << '"';
}
} // namespace kvado::ui

namespace kvado::ui::test {

using Kind = RecorderToolkit::Kind;
using Entry = RecorderToolkit::Entry;

inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Runs the test in a fresh temporary current folder, where the trace log goes.
class InTempFolder {
public:
    InTempFolder() : m_old(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~InTempFolder() { QDir::setCurrent(m_old); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_old;
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(toolkit, appSession);
        TForm1::Windows w;
        w.results = new TResults(toolkit, form->session().report(), form.get());
        w.help = new TForm2(toolkit, form.get());
        w.results2 = new TfrmResults2(toolkit, form->session().results(), form.get());
        w.zastav = new TfrmZastav(toolkit, form.get());
        w.genData = new TfrmGenData(toolkit, form.get());
        form->attachWindows(w);
        form->setDecimalSeparator('.');
        // What the windows' creation reported (the help window's missing "Kvado.txt") is not
        // what a test looks at.
        toolkit.clear();
    }

    StringGridModel& grid() { return form->SG1->cells(); }

    void setEdits(const char* G, const char* E, const char* L, const char* N,
                  const char* eps = "1E-8") {
        form->edG->setText(u(G));
        form->edE->setText(u(E));
        form->edL->setText(u(L));
        form->edN->setText(u(N));
        form->edEps->setText(u(eps));
    }

    // Types into a cell as the grid's editor commits it.
    void type(int col, int row, const char* text) {
        QAbstractItemModel* m = form->SG1->model();
        ASSERT_TRUE(m->setData(m->index(row, col), u(text), Qt::EditRole))
            << "cell " << col << "," << row;
    }

    // A new table for the counts, then every number cell filled from `rows`: one text per
    // constraint row (B, then A[i,1..N]) and the objective row (C[1..N]).
    void enterProblem(const char* G, const char* E, const char* L, const char* N,
                      const std::vector<std::vector<const char*>>& rows) {
        setEdits(G, E, L, N);
        form->btnNewTab->click();
        const int M = static_cast<int>(rows.size()) - 1;
        for (int i = 1; i <= M; ++i) {
            const auto& r = rows[static_cast<size_t>(i - 1)];
            type(1, i + 1, r[0]);
            for (size_t j = 1; j < r.size(); ++j)
                type(static_cast<int>(j) + 1, i + 1, r[j]);
        }
        const auto& c = rows.back();
        for (size_t j = 0; j < c.size(); ++j)
            type(static_cast<int>(j) + 2, M + 2, c[j]);
    }

    // Every row of the grid within its counts, cell texts joined by "|".
    std::vector<std::string> rows() {
        std::vector<std::string> result;
        for (int r = 0; r < grid().rowCount(); ++r) {
            std::string line;
            for (int c = 0; c < grid().colCount(); ++c)
                line += (c ? "|" : "") + grid().cell(c, r);
            result.push_back(line);
        }
        return result;
    }

    // What the user sees of a problem outside the results: edits, grid, Solve button, status
    // bar, and the problem's counts and file name.
    struct Shown {
        QStringList edits;
        std::vector<std::string> rows;
        bool solveEnabled;
        QString status;
        std::vector<int32_t> counts;
        std::string dataFileName;
        bool operator==(const Shown&) const = default;
    };
    Shown shown() {
        return {{form->edG->text(), form->edE->text(), form->edL->text(), form->edN->text(),
                 form->edEps->text()},
                rows(),
                form->btnSolve->isEnabled(),
                form->statusText(),
                {problem.G, problem.E, problem.L, problem.N, problem.M},
                problem.dataFileName};
    }

    std::vector<Entry> entries() const { return toolkit.entries(); }

    RecorderToolkit toolkit;
    LpProblem problem;
    // Owned beside the window, as the start-up owns it.
    session::Session appSession{problem};
    std::unique_ptr<TForm1> form;
};

} // namespace kvado::ui::test
