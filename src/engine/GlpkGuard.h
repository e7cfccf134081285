#pragma once
// The one guard around every call of GLPK. GLPK ends the process on an internal error (a
// failed allocation, a broken invariant, a bad argument); the guard installs GLPK's error hook,
// which jumps back here instead, frees GLPK's whole environment of this thread and reports the
// failure, so that no GLPK failure ends the program. The same guard carries GLPK's terminal
// output to whoever wants its lines and lets that listener abandon the call (a stop request
// between two iterations).
//
// What the jump skips is never unwound: the guarded body must call GLPK and do nothing that
// needs a destructor while GLPK runs (prepare the arrays before, read the results after).
// After a failure every GLPK object of the thread is gone: a `GlpkProblem` knows that and does
// not delete its problem twice. Guards do not nest.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

extern "C" {
struct glp_prob;
}

namespace kvado::engine {

// GLPK's terminal output, one piece at a time (GLPK writes whole lines, CR-free, "\n" ended).
// Return true to abandon the guarded call at once (it then ends as stopped).
using GlpkOutput = std::function<bool(std::string_view)>;

struct GlpkResult {
    bool ok = true;       // the body ran to its end
    bool stopped = false; // the output listener abandoned it
    // Not ok and not stopped: the last lines GLPK wrote before it failed.
    std::string failure;
};

// Runs `body` under the guard. GLPK's terminal output goes to `output` (null: it is dropped,
// never to the standard output).
GlpkResult glpkGuarded(const std::function<void()>& body, const GlpkOutput& output = nullptr);

// GLPK keeps an environment per thread: a thread that has called GLPK frees it before it ends
// (every GLPK object of the thread goes with it).
void glpkThreadEnd();

// A GLPK problem object owned by C++: deleted at the end of its scope unless a guarded failure
// has freed GLPK's environment (and the problem with it) meanwhile.
class GlpkProblem {
public:
    GlpkProblem(); // creates the problem under the guard; valid() tells whether it could
    ~GlpkProblem();
    GlpkProblem(const GlpkProblem&) = delete;
    GlpkProblem& operator=(const GlpkProblem&) = delete;
    glp_prob* get() const { return valid() ? m_problem : nullptr; }
    bool valid() const;

private:
    glp_prob* m_problem = nullptr;
    uint64_t m_generation = 0;
};

} // namespace kvado::engine
