// GLPK's branch and cut (glp_intopt) on a model as it stands, under the one GLPK guard. Its
// MIP presolver fails an assertion on some small models: the guard turns that into a failure,
// and the model is then solved again without it, from the relaxation's optimal basis.

#include <glpk.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "engine/GlpkGuard.h"
#include "engine/GlpkModel.h"
#include "mip/MipSolve.h"

namespace kvado::mip {

namespace {

// What the callback sees, for the answer and the progress.
struct Watch {
    const MipOptions* options = nullptr;
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point lastReport;
    int64_t nodes = 0;
    bool hasBound = false;
    double bound = 0;
    bool stopped = false;
    bool rootSeen = false;
    double rootValue = 0; // the root relaxation, before any cut
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
};

void callback(glp_tree* tree, void* info) {
    auto& w = *static_cast<Watch*>(info);
    const int reason = glp_ios_reason(tree);
    if (reason == GLP_IROWGEN && !w.rootSeen &&
        glp_ios_node_level(tree, glp_ios_curr_node(tree)) == 0) {
        w.rootSeen = true;
        w.rootValue = glp_get_obj_val(glp_ios_get_prob(tree));
    }
    if (reason != GLP_ISELECT && reason != GLP_IBINGO && reason != GLP_IPREPRO) return;
    int active = 0, alive = 0, total = 0;
    glp_ios_tree_size(tree, &active, &alive, &total);
    w.nodes = std::max<int64_t>(w.nodes, total);
    const int best = glp_ios_best_node(tree);
    if (best != 0) {
        w.hasBound = true;
        w.bound = glp_ios_node_bound(tree, best);
    }
    const MipOptions& o = *w.options;
    if (o.stopRequested && o.stopRequested()) {
        w.stopped = true;
        glp_ios_terminate(tree);
        return;
    }
    if (!o.progress) return;
    const auto now = std::chrono::steady_clock::now();
    if (reason != GLP_IBINGO &&
        now - w.lastReport < std::chrono::milliseconds(std::max(1, o.progressMilliseconds)))
        return;
    w.lastReport = now;
    glp_prob* lp = glp_ios_get_prob(tree);
    MipProgress p;
    p.nodes = w.nodes;
    p.hasIncumbent = glp_mip_status(lp) == GLP_FEAS || glp_mip_status(lp) == GLP_OPT;
    p.incumbent = p.hasIncumbent ? glp_mip_obj_val(lp) : 0;
    p.hasBound = w.hasBound;
    p.bound = w.bound;
    p.gap = p.hasIncumbent && p.hasBound ? relativeGap(p.incumbent, p.bound) : 0;
    p.seconds = w.seconds();
    o.progress(p);
}

} // namespace

MipAnswer solveGlpk(const model::Model& m, const MipOptions& options) {
    MipAnswer a;
    a.engine = MipEngine::Glpk;
    Watch w;
    w.options = &options;
    w.started = w.lastReport = std::chrono::steady_clock::now();
    const int cols = static_cast<int>(m.columns.size());
    if (std::string crossing = engine::crossingBounds(m); !crossing.empty()) {
        a.status = MipStatus::Infeasible;
        a.log.push_back(crossing);
        return a;
    }
    engine::GlpkArrays arrays = engine::glpkArraysOf(m);
    std::string pending;
    const engine::GlpkOutput output = [&](std::string_view text) {
        pending += text;
        size_t nl;
        while ((nl = pending.find('\n')) != std::string::npos) {
            a.log.push_back(pending.substr(0, nl));
            pending.erase(0, nl + 1);
        }
        return false;
    };

    // One attempt: a fresh problem; with presolve GLPK's own relaxation first, without it the
    // relaxation by glp_simplex. Returns intopt's code, or -1 when the relaxation already
    // decided (simplexStatus) and intopt was not called.
    int simplexStatus = 0;
    auto attempt = [&](bool presolve, int& ret, int& mipStatus, double& objective,
                       std::vector<double>& plan) {
        engine::GlpkProblem problem;
        if (!problem.valid())
            return engine::GlpkResult{false, false, "GLPK: не удалось создать задачу"};
        glp_prob* lp = problem.get();
        engine::GlpkResult r = engine::glpkGuarded(
            [&] {
                engine::loadGlpkModel(lp, m, arrays, true);
                glp_iocp parm;
                glp_init_iocp(&parm);
                parm.msg_lev = GLP_MSG_ON;
                parm.presolve = presolve ? GLP_ON : GLP_OFF;
                parm.br_tech = GLP_BR_DTH;
                parm.bt_tech = GLP_BT_BLB;
                const MipOptions::Glpk& g = options.glpk;
                parm.gmi_cuts = g.gomory ? GLP_ON : GLP_OFF;
                parm.mir_cuts = g.mir ? GLP_ON : GLP_OFF;
                parm.cov_cuts = g.cover ? GLP_ON : GLP_OFF;
                parm.clq_cuts = g.clique ? GLP_ON : GLP_OFF;
                parm.fp_heur = g.feasibilityPump ? GLP_ON : GLP_OFF;
                parm.ps_heur = g.proximity ? GLP_ON : GLP_OFF;
                parm.mip_gap = options.gapLimit;
                parm.cb_func = callback;
                parm.cb_info = &w;
                if (options.timeLimitSeconds > 0) {
                    const double left =
                        std::max(0.001, options.timeLimitSeconds - w.seconds()) * 1000;
                    parm.tm_lim = static_cast<int>(std::min(left, 2e9));
                }
                if (!presolve) {
                    glp_smcp sp;
                    glp_init_smcp(&sp);
                    sp.msg_lev = GLP_MSG_ERR;
                    sp.meth = GLP_DUALP;
                    glp_scale_prob(lp, GLP_SF_AUTO);
                    glp_adv_basis(lp, 0);
                    const int sret = glp_simplex(lp, &sp);
                    simplexStatus = sret != 0                             ? GLP_UNDEF
                                    : glp_get_status(lp) == GLP_OPT       ? GLP_OPT
                                    : glp_get_prim_stat(lp) == GLP_NOFEAS ? GLP_NOFEAS
                                    : glp_get_status(lp) == GLP_NOFEAS    ? GLP_NOFEAS
                                    : glp_get_status(lp) == GLP_UNBND     ? GLP_UNBND
                                    : glp_get_dual_stat(lp) == GLP_NOFEAS ? GLP_UNBND
                                                                          : GLP_UNDEF;
                    if (simplexStatus != GLP_OPT) {
                        ret = -1;
                        return;
                    }
                }
                ret = glp_intopt(lp, &parm);
                mipStatus = glp_mip_status(lp);
                objective = glp_mip_obj_val(lp);
                for (int j = 0; j < cols; ++j)
                    plan[static_cast<size_t>(j)] = glp_mip_col_val(lp, j + 1);
            },
            output);
        return r;
    };

    int ret = 0, mipStatus = GLP_UNDEF;
    double objective = 0;
    std::vector<double> plan(static_cast<size_t>(cols), 0);
    engine::GlpkResult r = attempt(options.glpk.presolve, ret, mipStatus, objective, plan);
    // The presolver's failure (an assertion), or a relaxation it found without a bounded
    // optimum: the relaxation again by the simplex, which tells infeasible from unbounded.
    if (options.glpk.presolve && ((!r.ok && !r.stopped) || (r.ok && ret == GLP_ENODFS))) {
        if (!r.ok) a.log.push_back("Предварительная обработка GLPK не удалась, решение без нее");
        r = attempt(false, ret, mipStatus, objective, plan);
    }
    if (!pending.empty()) a.log.push_back(pending);
    a.seconds = w.seconds();
    a.nodes = w.nodes;
    a.rootSolved = w.rootSeen;
    a.rootValue = w.rootValue;
    arrays = engine::GlpkArrays{};
    if (!r.ok) {
        a.status = MipStatus::Stopped;
        a.failure = r.stopped ? std::string() : "GLPK: " + r.failure;
        return a;
    }
    if (ret == -1) {
        a.status = simplexStatus == GLP_NOFEAS  ? MipStatus::Infeasible
                   : simplexStatus == GLP_UNBND ? MipStatus::Unbounded
                                                : MipStatus::Stopped;
        if (a.status == MipStatus::Stopped) a.failure = "GLPK: релаксация не решена";
        return a;
    }
    const bool found = mipStatus == GLP_OPT || mipStatus == GLP_FEAS;
    if (found) {
        a.plan.assign(plan.begin(), plan.end());
        Real z = m.objectiveConstant;
        for (size_t j = 0; j < m.columns.size(); ++j) {
            if (model::isInteger(m.columns[j])) a.plan[j] = std::round(a.plan[j]);
            z += m.columns[j].cost * a.plan[j];
        }
        a.objective = z;
        (void)objective;
    }
    switch (ret) {
    case 0:
    case GLP_EMIPGAP:
        a.status = found ? MipStatus::Optimal : MipStatus::Infeasible;
        break;
    case GLP_ENOPFS:
        a.status = MipStatus::Infeasible;
        break;
    case GLP_ENODFS:
        a.status = MipStatus::Unbounded;
        break;
    case GLP_ETMLIM:
    case GLP_ESTOP:
        a.status = found ? MipStatus::Feasible : MipStatus::Stopped;
        break;
    default:
        a.status = found ? MipStatus::Feasible : MipStatus::Stopped;
        a.failure = "GLPK: glp_intopt вернул код " + std::to_string(ret);
        break;
    }
    if (a.status == MipStatus::Optimal) {
        a.hasBound = true;
        a.bound = w.hasBound && ret == GLP_EMIPGAP ? static_cast<Real>(w.bound) : a.objective;
    } else if (w.hasBound) {
        a.hasBound = true;
        a.bound = w.bound;
    }
    if (found && a.hasBound) a.gap = relativeGap(a.objective, a.bound);
    return a;
}

} // namespace kvado::mip
