#pragma once
// What the report, check and data-file tests share: a scratch folder, the input grid laid out
// like a new table, and a whole solve from a data file's text through the report writers and
// the solution check.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/DataFile.h"
#include "datafile/OpenedGrid.h"
#include "grid/StringGridModel.h"
#include "report/ReportDocument.h"
#include "report/Results.h"
#include "session/ProblemInput.h"
#include "session/Session.h"
#include "solver/LpProblem.h"
#include "solver/Simplex.h"
#include "solver/TraceLog.h"
#include "text/NumberText.h"

namespace kvado_test {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A fresh folder of its own, removed with everything in it at the end of its scope. The C and
// Russian runs of a test may run at the same time, so the name is never shared.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "kvado-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        m_path = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

// The input grid as the button "Создать новую таблицу" leaves it for the counts.
inline std::unique_ptr<kvado::StringGridModel> newTableGrid(int G, int E, int L, int N) {
    const int M = G + E + L;
    auto g = std::make_unique<kvado::StringGridModel>(N + 2, M + 3);
    g->setFixedRows(1);
    kvado::session::layOutInputGrid(*g, M, N, true);
    return g;
}

// Loads a data file's text into the problem; the test fails on a bad text.
inline void load(kvado::LpProblem& p, std::string_view dataText) {
    kvado::datafile::readDataFile(dataText, p);
}

inline constexpr const char* kTestDateTime = "01.02.2024 10:20:30";

// One solve as the Solve button runs it once the problem is loaded, through the session: the
// results grids laid out from the input grid, the solver with its report writers, then the
// solution check.
struct SolvedProblem {
    kvado::LpProblem p;
    std::unique_ptr<kvado::StringGridModel> grid;
    kvado::session::Session session{p};
    kvado::report::ReportDocument& doc = session.report();
    kvado::report::ResultsModel& results = session.results();
    const kvado::report::SolutionCheck& check = session.check();
    kvado::SolveOutcome outcome = kvado::SolveOutcome::Optimal;
    bool feasible = false;

    Lines lines() const { return doc.lines(); }
};

inline std::unique_ptr<SolvedProblem> solveLoaded(std::unique_ptr<SolvedProblem> s, char sep) {
    ScratchDir logDir;
    kvado::session::Session& session = s->session;
    session.attachInputGrid(*s->grid);
    session.setDecimalSeparator(sep);
    session.setDateTimeSource([] { return std::string(kTestDateTime); });
    session.setLogFolder(logDir.path().string());
    session.SetUpResultGrids();
    // The report writers' lines alone; the exact check's section has tests of its own.
    session.setExactCheckAfterSolve(false);
    const kvado::session::SolveResult result = session.solveLoaded();
    s->outcome = result.outcome;
    s->feasible = result.check.feasible;
    return s;
}

// Solves the data file's text with the input grid laid out like a new table for its counts;
// `names` fills the grid first (unknown names, constraint names) when given.
inline std::unique_ptr<SolvedProblem> solveText(std::string_view dataText, char sep,
                                                const Lines& unknownNames = {},
                                                const Lines& constraintNames = {}) {
    auto s = std::make_unique<SolvedProblem>();
    load(s->p, dataText);
    s->grid = newTableGrid(s->p.G, s->p.E, s->p.L, s->p.N);
    for (size_t j = 0; j < unknownNames.size(); ++j)
        s->grid->setCell(static_cast<int>(j) + 2, 1, unknownNames[j]);
    for (size_t i = 0; i < constraintNames.size(); ++i)
        s->grid->setCell(0, static_cast<int>(i) + 2, constraintNames[i]);
    return solveLoaded(std::move(s), sep);
}

inline std::string blanks(size_t n) {
    return std::string(n, ' ');
}

} // namespace kvado_test
