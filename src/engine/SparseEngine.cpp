#include "engine/SparseEngine.h"

#include <glpk.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>

#include "engine/GlpkGuard.h"
#include "engine/GlpkModel.h"

namespace kvado::engine {

namespace {

// A number after "key =" in a progress line; GLPK prints through the C library, so a locale
// with a decimal comma is read too.
bool numberAfter(std::string_view line, std::string_view key, double& out) {
    const size_t at = line.find(key);
    if (at == std::string_view::npos) return false;
    size_t k = at + key.size();
    while (k < line.size() && (line[k] == ' ' || line[k] == '='))
        ++k;
    std::string token;
    while (k < line.size() && line[k] != ' ' && line[k] != '(')
        token += line[k] == ',' ? '.' : line[k], ++k;
    const auto r = std::from_chars(token.data(), token.data() + token.size(), out);
    return r.ec == std::errc();
}

// GLPK's progress line: "[*|#| ] NNN: obj = Z inf = I (k)" (primal) or "... infeas = I".
bool parseProgress(std::string_view line, SparseProgress& p) {
    size_t k = 0;
    while (k < line.size() && (line[k] == ' ' || line[k] == '*' || line[k] == '#'))
        ++k;
    const size_t colon = line.find(':', k);
    if (colon == std::string_view::npos || colon == k) return false;
    int64_t it = 0;
    const auto r = std::from_chars(line.data() + k, line.data() + colon, it);
    if (r.ec != std::errc() || r.ptr != line.data() + colon) return false;
    double z = 0, inf = 0;
    if (!numberAfter(line, "obj", z)) return false;
    if (!numberAfter(line, "infeas", inf) && !numberAfter(line, "inf", inf)) return false;
    p.iterations = it;
    p.objective = z;
    p.infeasibility = inf;
    // "*" marks a feasible basis in the primal simplex, "#" in the dual one after its phase 1.
    p.feasible = line.find('*') < colon || line.find('#') < colon;
    return true;
}

} // namespace

const char* sparseStatusName(SparseStatus s) {
    switch (s) {
    case SparseStatus::Optimal:
        return "optimal";
    case SparseStatus::Infeasible:
        return "infeasible";
    case SparseStatus::Unbounded:
        return "unbounded";
    case SparseStatus::Stopped:
        return "stopped";
    case SparseStatus::Failed:
        return "failed";
    }
    return "failed";
}

SparseAnswer solveSparse(const model::Model& m, const SparseOptions& options) {
    SparseAnswer a;
    const auto started = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };
    const int rows = static_cast<int>(m.rows.size());
    const int cols = static_cast<int>(m.columns.size());
    if (std::string crossing = crossingBounds(m); !crossing.empty()) {
        a.status = SparseStatus::Infeasible;
        a.failure = std::move(crossing);
        a.columnValue.assign(static_cast<size_t>(cols), 0);
        a.columnMarginal.assign(static_cast<size_t>(cols), 0);
        a.columnStatus.assign(static_cast<size_t>(cols), BasisStatus::AtLower);
        a.rowActivity.assign(static_cast<size_t>(rows), 0);
        a.rowMarginal.assign(static_cast<size_t>(rows), 0);
        a.rowStatus.assign(static_cast<size_t>(rows), BasisStatus::Basic);
        a.seconds = elapsed();
        return a;
    }

    if (options.stopRequested && options.stopRequested()) {
        a.status = SparseStatus::Stopped;
        a.failure = "решение остановлено";
        return a;
    }
    // Everything GLPK is given is made here, outside the guarded calls.
    GlpkArrays loaded = glpkArraysOf(m);
    std::string pending; // an unfinished output line
    bool stopped = false;
    const GlpkOutput output = [&](std::string_view text) {
        pending += text;
        size_t nl;
        while ((nl = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            SparseProgress p;
            if (parseProgress(line, p)) {
                p.seconds = elapsed();
                a.iterations = std::max(a.iterations, p.iterations);
                if (options.progress) options.progress(p);
            }
            a.log.push_back(std::move(line));
        }
        if (options.stopRequested && options.stopRequested()) stopped = true;
        return stopped;
    };

    GlpkProblem problem;
    if (!problem.valid()) {
        a.failure = "GLPK: не удалось создать задачу";
        return a;
    }
    glp_prob* lp = problem.get();
    GlpkResult r = glpkGuarded([&] { loadGlpkModel(lp, m, loaded, false); });
    loaded = GlpkArrays{}; // GLPK has its own copy now
    if (!r.ok) {
        a.failure = r.failure;
        a.seconds = elapsed();
        return a;
    }

    glp_smcp parm;
    glp_init_smcp(&parm);
    parm.msg_lev = GLP_MSG_ON;
    const bool dualSimplex = options.method == SparseOptions::Method::Dual ||
                             (options.method == SparseOptions::Method::Auto &&
                              m.rows.size() >= SparseOptions::kPrimalRows);
    parm.meth = dualSimplex ? GLP_DUALP : GLP_PRIMAL;
    parm.pricing = options.steepestEdge ? GLP_PT_PSE : GLP_PT_STD;
    parm.out_frq = std::max(1, options.progressMilliseconds);
    if (options.timeLimitSeconds > 0)
        parm.tm_lim = static_cast<int>(std::min(options.timeLimitSeconds * 1000, 2e9));
    int ret = 0;
    auto solveOnce = [&](bool presolve) {
        parm.presolve = presolve ? GLP_ON : GLP_OFF;
        return glpkGuarded(
            [&] {
                // The presolver builds a problem of its own from the unscaled one (the same
                // pivots with and without scaling here, measured on the Netlib set), so the
                // model is scaled only for a solve without it; nor does it need a basis.
                if (!presolve) {
                    if (options.scale) glp_scale_prob(lp, GLP_SF_AUTO);
                    glp_adv_basis(lp, 0);
                }
                ret = glp_simplex(lp, &parm);
            },
            output);
    };
    r = solveOnce(options.presolve);
    if (r.ok && (ret == GLP_ENOPFS || ret == GLP_ENODFS)) {
        // The presolve found no feasible point (or no bounded optimum) and leaves no basis:
        // solved again without it, so that the last basis is there to explain the outcome.
        r = solveOnce(false);
    }
    if (r.ok && ret == 0) {
        // The dual simplex proves the dual infeasible without looking for a primal feasible
        // point or a ray, so the model is unbounded or has no feasible solution: the primal
        // simplex, from the basis reached, tells which (and leaves a feasible basis and the
        // variable of its ray).
        int status = GLP_UNDEF, primal = GLP_UNDEF, ray = 0;
        glpkGuarded([&] {
            status = glp_get_status(lp);
            primal = glp_get_prim_stat(lp);
            ray = glp_get_unbnd_ray(lp);
        });
        if (status != GLP_OPT && primal != GLP_NOFEAS && ray == 0) {
            parm.meth = GLP_PRIMAL;
            parm.presolve = GLP_OFF;
            r = glpkGuarded(
                [&] {
                    if (options.scale && options.presolve) glp_scale_prob(lp, GLP_SF_AUTO);
                    ret = glp_simplex(lp, &parm);
                },
                output);
        }
    }
    a.seconds = elapsed();
    if (!pending.empty()) a.log.push_back(pending);
    if (!r.ok) {
        a.status = r.stopped ? SparseStatus::Stopped : SparseStatus::Failed;
        a.failure = r.stopped ? "решение остановлено" : r.failure;
        return a;
    }
    if (ret == GLP_ETMLIM || ret == GLP_EITLIM) {
        a.status = SparseStatus::Stopped;
        a.failure = "время решения истекло";
        return a;
    }
    if (ret != 0) {
        a.failure = "GLPK: glp_simplex вернул код " + std::to_string(ret);
        return a;
    }
    int status = GLP_UNDEF, primal = GLP_UNDEF, dual = GLP_UNDEF;
    glpkGuarded([&] {
        status = glp_get_status(lp);
        primal = glp_get_prim_stat(lp);
        dual = glp_get_dual_stat(lp);
    });
    if (status == GLP_OPT)
        a.status = SparseStatus::Optimal;
    else if (primal == GLP_NOFEAS || status == GLP_NOFEAS)
        a.status = SparseStatus::Infeasible;
    else if (status == GLP_UNBND || (dual == GLP_NOFEAS && primal == GLP_FEAS))
        a.status = SparseStatus::Unbounded;
    else {
        a.failure = "GLPK: состояние решения " + std::to_string(status);
        return a;
    }
    a.columnValue.resize(static_cast<size_t>(cols));
    a.columnMarginal.resize(static_cast<size_t>(cols));
    a.columnStatus.resize(static_cast<size_t>(cols));
    a.rowActivity.resize(static_cast<size_t>(rows));
    a.rowMarginal.resize(static_cast<size_t>(rows));
    a.rowStatus.resize(static_cast<size_t>(rows));
    int iterations = 0, ray = 0;
    double objective = 0;
    glpkGuarded([&] {
        iterations = glp_get_it_cnt(lp);
        objective = glp_get_obj_val(lp);
        for (int j = 0; j < cols; ++j) {
            const auto k = static_cast<size_t>(j);
            a.columnValue[k] = glp_get_col_prim(lp, j + 1);
            a.columnMarginal[k] = glp_get_col_dual(lp, j + 1);
            a.columnStatus[k] = basisStatusOf(glp_get_col_stat(lp, j + 1));
        }
        for (int i = 0; i < rows; ++i) {
            const auto k = static_cast<size_t>(i);
            a.rowActivity[k] = glp_get_row_prim(lp, i + 1);
            a.rowMarginal[k] = glp_get_row_dual(lp, i + 1);
            a.rowStatus[k] = basisStatusOf(glp_get_row_stat(lp, i + 1));
        }
        if (a.status == SparseStatus::Unbounded) ray = glp_get_unbnd_ray(lp);
    });
    a.iterations = std::max<int64_t>(a.iterations, iterations);
    a.objective = objective;
    a.unboundedVariable = ray - 1;
    return a;
}

BasisStatus basisStatusOf(int glpkStatus) {
    switch (glpkStatus) {
    case GLP_BS:
        return BasisStatus::Basic;
    case GLP_NU:
        return BasisStatus::AtUpper;
    case GLP_NF:
        return BasisStatus::Free;
    case GLP_NS:
        return BasisStatus::Fixed;
    default:
        return BasisStatus::AtLower;
    }
}

} // namespace kvado::engine
