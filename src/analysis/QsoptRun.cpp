#include "analysis/QsoptRun.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

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

constexpr int kQsMinimize = 1, kQsDualSimplex = 2;

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

// The solver process: loads the problem, solves it, writes "status\ncstat\nrstat\n", then "x"
// and the values, "y" and the multipliers, one fraction a line, and ends without running
// anything of this program's.
[[noreturn]] void solverProcess(QsProblem q, const QsRequest& request, int out) {
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
    const size_t columns = static_cast<size_t>(q.ncols), rows = static_cast<size_t>(q.nrows);
    mpq_t* value = array(q.value, q.value.size());
    mpq_t* cost = array(q.cost, columns);
    mpq_t* rhs = array(q.rhs, rows);
    mpq_t* lower = array(q.lower, columns);
    mpq_t* upper = array(q.upper, columns);
    if (q.upper.empty())
        for (size_t k = 0; k <= columns; ++k)
            mpq_set_d(upper[k], kQsInfinity);
    q.count.push_back(0);
    q.begin.push_back(0);
    q.index.push_back(0);
    q.sense += 'L';
    mpq_qsdata* lp =
        qs->load("kvado", q.ncols, q.nrows, q.count.data(), q.begin.data(), q.index.data(), value,
                 kQsMinimize, cost, rhs, q.sense.data(), lower, upper, nullptr, nullptr);
    if (!lp) ::_exit(3);
    qsbasis basis{0, 0, nullptr, nullptr};
    if (!request.cstat.empty()) {
        basis.nstruct = q.ncols;
        basis.nrows = q.nrows;
        basis.cstat = static_cast<char*>(std::malloc(request.cstat.size() + 1));
        basis.rstat = static_cast<char*>(std::malloc(request.rstat.size() + 1));
        std::memcpy(basis.cstat, request.cstat.c_str(), request.cstat.size() + 1);
        std::memcpy(basis.rstat, request.rstat.c_str(), request.rstat.size() + 1);
    }
    // QSopt_ex writes the values of its logical variables after the columns' as well.
    mpq_t* x = request.values ? array({}, columns + rows) : nullptr;
    mpq_t* y = array({}, rows);
    int status = 0;
    if (qs->solve(lp, x, y, &basis, kQsDualSimplex, &status) != 0) ::_exit(4);
    std::string text = std::to_string(status) + "\n";
    if (basis.cstat && basis.rstat && basis.nstruct == q.ncols && basis.nrows == q.nrows) {
        text.append(basis.cstat, columns);
        text += "\n";
        text.append(basis.rstat, rows);
        text += "\n";
    } else {
        text += "-\n-\n";
    }
    // Into a buffer of ours: QSopt_ex allocates GMP's numbers its own way.
    auto fractions = [&text](const mpq_t* v, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            const mpq_t& f = v[i];
            std::string s(mpz_sizeinbase(mpq_numref(f), 10) + mpz_sizeinbase(mpq_denref(f), 10) + 3,
                          '\0');
            mpq_get_str(s.data(), 10, f);
            text += s.c_str();
            text += "\n";
        }
    };
    if (status == kQsOptimal && x) {
        text += "x\n";
        fractions(x, columns);
    }
    if (status == kQsInfeasible || (status == kQsOptimal && request.multipliers)) {
        text += "y\n";
        fractions(y, rows);
    }
    ::_exit(writeAll(out, text) ? 0 : 5);
}

} // namespace

QsAnswer runQsopt(const QsProblem& q, const QsRequest& request, const Budget& budget) {
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
        solverProcess(q, request, fds[1]);
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
    std::vector<mpq_class>* into = nullptr;
    while (at < text.size()) {
        const std::string s = line();
        if (s == "x" || s == "y") {
            into = s == "x" ? &a.x : &a.y;
            continue;
        }
        mpq_class v;
        if (!into || v.set_str(s, 10) != 0) return a;
        v.canonicalize();
        into->push_back(v);
    }
    a.ran = true;
    return a;
}

} // namespace kvado::analysis
