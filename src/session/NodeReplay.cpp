#include "session/NodeReplay.h"

#include "model/ModelIo.h"
#include "solver/Simplex.h"
#include "solver/TraceLog.h"

namespace kvado::session {

NodeReplay replayNode(const model::Model& root, const mip::MipNode& node) {
    NodeReplay r;
    if (node.solver != mip::NodeSolver::Method || !node.solved) {
        r.refused = node.solved ? "Релаксация этого узла решена разреженным симплекс-методом: "
                                  "пошагового решения методом программы у нее нет"
                                : "Этот узел не решался: поиск закончился раньше";
        return r;
    }
    r.standard = model::toStandardForm(mip::nodeModel(root, node));
    if (!r.standard.infeasible.empty()) {
        r.refused = r.standard.infeasible;
        return r;
    }
    model::loadProblem(r.standard, model::kModelEps, r.problem);
    r.names = {r.standard.rowNames, r.standard.columnNames};
    r.steps = std::make_unique<StepRecorder>();
    TraceLog log(TraceLog::Discard{});
    SolverHost quiet;
    r.outcome = solve(r.problem, log, quiet, r.steps.get());
    return r;
}

bool planeIsModels(const model::Model& m, const model::StandardForm& sf) {
    if (m.columns.size() != 2 || sf.N != 2 || sf.columnMap.size() != 2) return false;
    for (int32_t c = 0; c < 2; ++c) {
        const auto& map = sf.columnMap[static_cast<size_t>(c)];
        if (map.kind != model::StandardForm::ColumnKind::Shifted || map.shift != 0 ||
            map.column != c)
            return false;
    }
    return true;
}

} // namespace kvado::session
