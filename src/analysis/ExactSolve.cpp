#include "analysis/ExactSolve.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "analysis/BasisCheck.h"
#include "analysis/ExactSimplex.h"

// QSopt_ex's rational interface, the few functions used here (libqsopt-ex). Its headers are C
// with GNU extensions and declare far more than this needs.
extern "C" {
struct mpq_qsdata;
struct qsbasis {
    int nstruct;
    int nrows;
    char* cstat;
    char* rstat;
};
}

namespace kvado::analysis {

namespace {

// QSopt_ex is loaded by the solver's own process, when it starts: the library is large, and a
// program that never solves exactly (every short kvado-cli run) would pay for loading it.
struct QsoptEx {
    void (*start)();
    mpq_qsdata* (*load)(const char* probname, int ncols, int nrows, int* cmatcnt, int* cmatbeg,
                        int* cmatind, mpq_t* cmatval, int objsense, mpq_t* obj, mpq_t* rhs,
                        char* sense, mpq_t* lower, mpq_t* upper, const char** colnames,
                        const char** rownames);
    int (*solve)(mpq_qsdata* p, mpq_t* x, mpq_t* y, qsbasis* basis, int simplexalgo, int* status);
};

std::optional<QsoptEx> loadQsoptEx() {
    void* lib = ::dlopen(KVADO_QSOPT_EX_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!lib) return std::nullopt;
    QsoptEx f{};
    // POSIX guarantees that a function's address survives the trip through void*.
    f.start = reinterpret_cast<decltype(f.start)>(::dlsym(lib, "QSexactStart"));
    f.load = reinterpret_cast<decltype(f.load)>(::dlsym(lib, "mpq_QSload_prob"));
    f.solve = reinterpret_cast<decltype(f.solve)>(::dlsym(lib, "QSexact_solver"));
    if (!f.start || !f.load || !f.solve) return std::nullopt;
    return f;
}

constexpr int32_t kPolishPivots = 200;
constexpr int32_t kFallbackPivots = 1000;
// QSopt_ex's statuses and basis codes.
constexpr int kQsOptimal = 1, kQsInfeasible = 2, kQsUnbounded = 3;
constexpr int kQsMinimize = 1, kQsDualSimplex = 2;
constexpr char kBasic = '1', kAtLower = '0';
// QSopt_ex takes numbers of this size for infinite: the problem's own must stay below it.
constexpr double kLargestNumber = 1e140;

// What the solver process reports: its status and final basis, and for "no feasible solution"
// its multipliers (a Farkas certificate to check here).
struct QsAnswer {
    bool ran = false; // the process ended normally with an answer
    int status = 0;
    std::string cstat, rstat;
    std::vector<mpq_class> y;
};

// The problem for QSopt_ex, exactly: columns >= 0, rows of their kind.
struct QsProblem {
    int ncols = 0, nrows = 0;
    std::vector<int> count, begin, index;
    std::vector<mpq_class> value, cost, rhs;
    std::string sense;
    bool tooLarge = false;
};

QsProblem qsProblem(const LpProblem& p, const Budget& budget) {
    QsProblem q;
    q.ncols = p.N;
    q.nrows = p.M;
    auto add = [&q](std::vector<mpq_class>& to, const Dyadic& x) {
        to.push_back(toRational(x));
        if (std::fabs(to.back().get_d()) >= kLargestNumber) q.tooLarge = true;
    };
    for (int32_t j = 1; j <= p.N; ++j) {
        if ((j & 255) == 0) budget.check();
        const auto col = p.column(j);
        q.begin.push_back(static_cast<int>(q.index.size()));
        int n = 0;
        for (int32_t t = 0; t < col.count; ++t) {
            const Dyadic a = exactCoefficient(p, col.rows[t], j, col.value(t));
            if (sign(a) == 0) continue;
            q.index.push_back(col.rows[t] - 1);
            add(q.value, a);
            ++n;
        }
        q.count.push_back(n);
        add(q.cost, exactCost(p, j));
    }
    for (int32_t i = 1; i <= p.M; ++i) {
        add(q.rhs, exactRhs(p, i));
        q.sense += p.isGreaterRow(i) ? 'G' : p.isEqualRow(i) ? 'E' : 'L';
    }
    return q;
}

// The method's basis as QSopt_ex's statuses, where it is one: a basic surplus, slack or
// artificial column is its row's logical variable.
bool startingBasis(const LpProblem& p, std::string& cstat, std::string& rstat) {
    cstat.assign(static_cast<size_t>(p.N), kAtLower);
    rstat.assign(static_cast<size_t>(p.M), kAtLower);
    if (static_cast<int32_t>(p.basis.size()) < p.M + 1) return false;
    for (int32_t r = 1; r <= p.M; ++r) {
        const int32_t j = p.basis[static_cast<size_t>(r)];
        if (j < 1 || j > p.phase1Columns) return false;
        char& s = j <= p.N ? cstat[static_cast<size_t>(j - 1)]
                           : rstat[static_cast<size_t>(p.unitColumn(j).row - 1)];
        if (s == kBasic) return false; // two columns of one row
        s = kBasic;
    }
    return true;
}

// QSopt_ex's final basis as a basis list in the problem's column numbering.
bool basisFrom(const LpProblem& p, const QsAnswer& a, std::vector<int32_t>& basis) {
    if (static_cast<int32_t>(a.cstat.size()) != p.N || static_cast<int32_t>(a.rstat.size()) != p.M)
        return false;
    basis.assign(static_cast<size_t>(p.M) + 1, 0);
    int32_t r = 0;
    for (int32_t i = 1; i <= p.M; ++i) {
        if (a.rstat[static_cast<size_t>(i - 1)] != kBasic) continue;
        if (++r > p.M) return false;
        basis[static_cast<size_t>(r)] =
            p.isEqualRow(i) ? p.artificialColumn(i) : p.ownExtraColumn(i);
    }
    for (int32_t j = 1; j <= p.N; ++j) {
        if (a.cstat[static_cast<size_t>(j - 1)] != kBasic) continue;
        if (++r > p.M) return false;
        basis[static_cast<size_t>(r)] = j;
    }
    return r == p.M;
}

bool writeAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The solver process: loads the problem, solves it, writes "status\ncstat\nrstat\n" and the
// multipliers one fraction a line, and ends without running anything of this program's.
[[noreturn]] void solverProcess(QsProblem q, const std::string& cstat, const std::string& rstat,
                                bool warm, int out) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) {
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    const std::optional<QsoptEx> qs = loadQsoptEx();
    if (!qs) ::_exit(7);
    qs->start();
    // Arrays as QSopt_ex allocates them (it may resize them): their length in a word before
    // the first number. Never freed: the process ends.
    auto array = [](const std::vector<mpq_class>& from, size_t n) {
        auto* block = static_cast<size_t*>(std::malloc(sizeof(mpq_t) * (n + 1) + sizeof(size_t)));
        if (!block) ::_exit(6);
        block[0] = n + 1;
        auto* a = reinterpret_cast<mpq_t*>(block + 1);
        for (size_t k = 0; k <= n; ++k) {
            mpq_init(a[k]);
            if (k < from.size()) mpq_set(a[k], from[k].get_mpq_t());
        }
        return a;
    };
    mpq_t* value = array(q.value, q.value.size());
    mpq_t* cost = array(q.cost, q.cost.size());
    mpq_t* rhs = array(q.rhs, q.rhs.size());
    mpq_t* lower = array({}, q.cost.size());
    mpq_t* upper = array({}, q.cost.size());
    for (size_t k = 0; k <= q.cost.size(); ++k)
        mpq_set_d(upper[k], 1e150); // QSopt_ex's infinity
    q.count.push_back(0);
    q.begin.push_back(0);
    q.index.push_back(0);
    q.sense += 'L';
    mpq_qsdata* lp =
        qs->load("kvado", q.ncols, q.nrows, q.count.data(), q.begin.data(), q.index.data(), value,
                 kQsMinimize, cost, rhs, q.sense.data(), lower, upper, nullptr, nullptr);
    if (!lp) ::_exit(3);
    qsbasis basis{0, 0, nullptr, nullptr};
    if (warm) {
        basis.nstruct = q.ncols;
        basis.nrows = q.nrows;
        basis.cstat = static_cast<char*>(std::malloc(cstat.size() + 1));
        basis.rstat = static_cast<char*>(std::malloc(rstat.size() + 1));
        std::memcpy(basis.cstat, cstat.c_str(), cstat.size() + 1);
        std::memcpy(basis.rstat, rstat.c_str(), rstat.size() + 1);
    }
    // No values asked for: the basis gives them here, exactly.
    mpq_t* y = array({}, static_cast<size_t>(q.nrows));
    int status = 0;
    if (qs->solve(lp, nullptr, y, &basis, kQsDualSimplex, &status) != 0) ::_exit(4);
    std::string text = std::to_string(status) + "\n";
    if (basis.cstat && basis.rstat && basis.nstruct == q.ncols && basis.nrows == q.nrows) {
        text.append(basis.cstat, static_cast<size_t>(q.ncols));
        text += "\n";
        text.append(basis.rstat, static_cast<size_t>(q.nrows));
        text += "\n";
    } else {
        text += "-\n-\n";
    }
    // Into a buffer of ours: QSopt_ex allocates GMP's numbers its own way.
    auto fractions = [&text](const mpq_t* v, int n) {
        for (int i = 0; i < n; ++i) {
            const mpq_t& q = v[i];
            std::string s(mpz_sizeinbase(mpq_numref(q), 10) + mpz_sizeinbase(mpq_denref(q), 10) + 3,
                          '\0');
            mpq_get_str(s.data(), 10, q);
            text += s.c_str();
            text += "\n";
        }
    };
    if (status == kQsInfeasible) {
        text += "y\n";
        fractions(y, q.nrows);
    }
    ::_exit(writeAll(out, text) ? 0 : 5);
}

// Runs the solver in a process of its own, so that the budget ends it whatever it is doing
// (QSopt_ex cannot be interrupted) and nothing it does can end this program.
QsAnswer runSolver(const QsProblem& q, const std::string& cstat, const std::string& rstat,
                   bool warm, const Budget& budget) {
    QsAnswer a;
    int fds[2];
    if (::pipe(fds) != 0) return a;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return a;
    }
    if (child == 0) {
        ::close(fds[0]);
        solverProcess(q, cstat, rstat, warm, fds[1]);
    }
    ::close(fds[1]);
    std::string text;
    bool stopped = false, cancelled = false;
    for (;;) {
        if (budget.cancelled() || budget.timeUp()) {
            stopped = true;
            cancelled = budget.cancelled();
            break;
        }
        pollfd pfd{fds[0], POLLIN, 0};
        const int ready = ::poll(&pfd, 1, 50);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        char buf[65536];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (stopped) ::kill(child, SIGKILL);
    int wstatus = 0;
    while (::waitpid(child, &wstatus, 0) < 0 && errno == EINTR) {
    }
    if (stopped) throw Stopped(cancelled);
    if (!WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0) return a;
    size_t at = 0;
    auto line = [&]() {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            at = text.size();
            return std::string();
        }
        std::string s = text.substr(at, end - at);
        at = end + 1;
        return s;
    };
    a.status = std::atoi(line().c_str());
    a.cstat = line();
    a.rstat = line();
    if (a.cstat == "-") a.cstat.clear();
    if (a.rstat == "-") a.rstat.clear();
    if (at < text.size() && line() != "y") return a;
    while (at < text.size()) {
        mpq_class v;
        if (v.set_str(line(), 10) != 0) return a;
        v.canonicalize();
        a.y.push_back(v);
    }
    a.ran = true;
    return a;
}

// The exact solution of `basis`; true when it is feasible and optimal for the problem as
// written.
bool fillFrom(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget, char sep,
              ExactSolution& out) {
    ExactBasis exact(p, basis, budget);
    if (exact.singular()) return false;
    const ScaledVector x = structuralValues(p, basis, exact.solve(rightHandSides(p)));
    const ScaledVector y = exact.solveTransposed(basisCosts(p, basis, false));
    const mpq_class z = objectiveOf(p, x);
    out.hasObjective = true;
    out.objectiveExact = fractionText(z);
    out.objectiveDecimal = numberText(z, sep);
    out.objective = toReal(z);
    for (int32_t j = 1; j <= p.N; ++j)
        out.x[static_cast<size_t>(j - 1)] = toReal(x.at(static_cast<size_t>(j)));
    for (int32_t i = 1; i <= p.M; ++i)
        out.pi[static_cast<size_t>(i - 1)] = -toReal(y.at(static_cast<size_t>(i)));
    return !primalFailure(p, x, sep, &budget) && !dualFailure(p, y, sep, &budget) &&
           dualObjectiveOf(p, y) == z;
}

// An optimal basis, solved and checked here; where it misses the optimum by a pivot or two
// those are made exactly.
void certify(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget, char sep,
             ExactSolution& out) {
    out.verified = fillFrom(p, basis, budget, sep, out);
    if (out.verified) return;
    const Continuation c = continueExactly(p, basis, budget, kPolishPivots);
    if (c.status == Continuation::Status::Optimal) {
        out.verified = fillFrom(p, c.basis, budget, sep, out);
    } else if (c.status != Continuation::Status::Unknown) {
        out.status = c.status == Continuation::Status::Infeasible ? ExactStatus::Infeasible
                                                                  : ExactStatus::Unbounded;
        out.hasObjective = false;
        out.verified = true;
    }
}

// Fractions over one common denominator, entries 1..n.
ScaledVector scaled(const std::vector<mpq_class>& v) {
    ScaledVector out;
    out.num.assign(v.size() + 1, 0);
    for (const auto& q : v)
        out.den = lcm(out.den, q.get_den());
    for (size_t k = 0; k < v.size(); ++k)
        out.num[k + 1] = v[k].get_num() * (out.den / v[k].get_den());
    return out;
}

// Multipliers that prove "no feasible solution", in either sign convention.
bool certifiesInfeasible(const LpProblem& p, const std::vector<mpq_class>& y, const Budget& budget,
                         char sep) {
    if (static_cast<int32_t>(y.size()) != p.M) return false;
    ScaledVector v = scaled(y);
    mpq_class w;
    if (!farkasFailure(p, v, sep, w, &budget)) return true;
    for (auto& n : v.num)
        n = -n;
    return !farkasFailure(p, v, sep, w, &budget);
}

// The rays of the problem, normalised, as a problem of the same form: minimise C·d over A·d of
// every row's sense against 0, d >= 0, and C·d >= -1 (a ">=" row after the others of its kind).
// Its optimum is -1 exactly when Z falls without end along some ray of the problem.
void loadRayProblem(const LpProblem& p, LpProblem& r) {
    r.G = p.G + 1;
    r.E = p.E;
    r.L = p.L;
    r.N = p.N;
    r.eps = p.eps;
    r.reset();
    const int32_t extra = p.G + 1;
    auto rowOf = [&](int32_t i) { return i <= p.G ? i : i + 1; };
    std::vector<std::vector<std::pair<int32_t, Real>>> rows(static_cast<size_t>(p.M) + 2);
    for (int32_t j = 1; j <= p.N; ++j) {
        const auto col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t)
            rows[static_cast<size_t>(rowOf(col.rows[t]))].emplace_back(j, col.value(t));
        if (p.objectiveCoefficient(j) != 0)
            rows[static_cast<size_t>(extra)].emplace_back(j, p.objectiveCoefficient(j));
    }
    for (int32_t i = 1; i <= r.M; ++i)
        for (const auto& [j, v] : rows[static_cast<size_t>(i)]) {
            r.setCoefficient(i, j, v);
            const int32_t from = i == extra ? p.M + 1 : (i <= p.G ? i : i - 1);
            if (const Dyadic* x = p.exact(from, j)) r.setExact(i, j, text::ExactNumber::of(*x, v));
        }
    for (int32_t j = 1; j <= p.N; ++j) {
        r.setObjective(j, p.objectiveCoefficient(j));
        if (const Dyadic* x = p.exact(p.M + 1, j))
            r.setExact(r.M + 1, j, text::ExactNumber::of(*x, p.objectiveCoefficient(j)));
    }
    for (int32_t i = 1; i <= r.M; ++i)
        r.setRightHandSide(i, i == extra ? -1 : 0);
    r.takeSnapshots();
}

// The exact values of the structural columns at an optimal basis the solver found for `p`.
std::optional<ScaledVector> optimalPoint(const LpProblem& p, const QsProblem& q,
                                         const Budget& budget) {
    const QsAnswer a = runSolver(q, "", "", false, budget);
    std::vector<int32_t> basis;
    if (!a.ran || a.status != kQsOptimal || !basisFrom(p, a, basis)) return std::nullopt;
    ExactBasis B(p, basis, budget);
    if (B.singular()) return std::nullopt;
    return structuralValues(p, basis, B.solve(rightHandSides(p)));
}

// An unbounded objective, proved: a feasible point and a ray along which Z falls, each found by
// the solver and checked here.
bool certifiesUnbounded(const LpProblem& p, const QsProblem& q, const Budget& budget, char sep) {
    QsProblem feasibility = q;
    for (auto& c : feasibility.cost)
        c = 0;
    const auto point = optimalPoint(p, feasibility, budget);
    if (!point || primalFailure(p, *point, sep, &budget)) return false;
    LpProblem r;
    loadRayProblem(p, r);
    const auto ray = optimalPoint(r, qsProblem(r, budget), budget);
    return ray && !rayFailure(p, *ray, sep, &budget);
}

} // namespace

ExactSolution exactSolve(const LpProblem& p, const Budget& budget, char separator, bool warmStart) {
    ExactSolution out;
    const auto started = std::chrono::steady_clock::now();
    auto finish = [&]() {
        out.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (out.dataRounded && out.message.empty()) out.message = roundedDataText();
        return out;
    };
    out.dataRounded = p.exactRounded();
    out.x.assign(static_cast<size_t>(p.N), 0);
    out.pi.assign(static_cast<size_t>(p.M), 0);
    try {
        QsProblem q = qsProblem(p, budget);
        QsAnswer a;
        if (!q.tooLarge && p.N > 0 && p.M > 0) {
            std::string cstat, rstat;
            const bool warm = warmStart && startingBasis(p, cstat, rstat);
            a = runSolver(q, cstat, rstat, warm, budget);
            out.warmStarted = warm && a.ran;
            if (!a.ran && warm) a = runSolver(q, cstat, rstat, false, budget);
        }
        std::vector<int32_t> basis;
        const bool hasBasis = a.ran && basisFrom(p, a, basis);
        if (a.ran && a.status == kQsOptimal && hasBasis) {
            out.status = ExactStatus::Optimal;
            certify(p, basis, budget, separator, out);
        } else if (a.ran && a.status == kQsInfeasible) {
            out.status = ExactStatus::Infeasible;
            out.verified = certifiesInfeasible(p, a.y, budget, separator);
        } else if (a.ran && a.status == kQsUnbounded) {
            out.status = ExactStatus::Unbounded;
            out.verified = certifiesUnbounded(p, q, budget, separator);
        } else {
            // No answer from the solver (a problem without unknowns, numbers beyond its
            // range, a failure): exact pivots from the method's basis instead, where it is
            // feasible or dual feasible.
            const Continuation c = continueExactly(p, p.basis, budget, kFallbackPivots);
            if (c.status == Continuation::Status::Optimal) {
                out.status = ExactStatus::Optimal;
                out.verified = fillFrom(p, c.basis, budget, separator, out);
            } else if (c.status != Continuation::Status::Unknown) {
                out.status = c.status == Continuation::Status::Infeasible ? ExactStatus::Infeasible
                                                                          : ExactStatus::Unbounded;
                out.verified = true;
            } else {
                out.message = q.tooLarge ? "число задачи вне диапазона, доступного точному решению"
                                         : "точный решатель не дал ответа (состояние " +
                                               std::to_string(a.status) + ")";
            }
        }
    } catch (const Stopped& stopped) {
        out.status = ExactStatus::Stopped;
        out.hasObjective = false;
        out.message =
            stopped.cancelled ? "точное решение остановлено" : "время точного решения истекло";
    }
    return finish();
}

ExactSolution solveExactly(const LpProblem& p, const Verification* verification,
                           const ExactSolveOptions& options) {
    const Budget budget = Budget::seconds(options.maxSeconds, options.cancel);
    ExactSolution out;
    try {
        out = exactSolve(p, budget, options.decimalSeparator, options.warmStart);
    } catch (const NonFiniteValue& bad) {
        out = ExactSolution{};
        out.status = ExactStatus::Failed;
        out.message = bad.what();
    }
    if (verification) out.cause = verification->cause;
    return out;
}

} // namespace kvado::analysis
