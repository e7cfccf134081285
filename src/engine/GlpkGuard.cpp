#include "engine/GlpkGuard.h"

#include <glpk.h>

#include <csetjmp>
#include <exception>

namespace kvado::engine {

namespace {

// GLPK's failure report is a few lines; the last ones are what the user is told.
constexpr size_t kKeptOutput = 2048;

struct Frame {
    std::jmp_buf jump;
    const GlpkOutput* output = nullptr;
    std::string recent; // the end of GLPK's output, for a failure's message
    bool stopped = false;
};

thread_local Frame* tFrame = nullptr;
// Counts the environments freed after a failure: a problem made before one is gone.
thread_local uint64_t tGeneration = 0;

extern "C" void onGlpkError(void* info) {
    // GLPK would abort() when this returns: jump back to the guard instead.
    std::longjmp(static_cast<Frame*>(info)->jump, 1);
}

extern "C" int onGlpkOutput(void* info, const char* text) {
    Frame* f = static_cast<Frame*>(info);
    bool stop = false;
    try {
        f->recent += text;
        if (f->recent.size() > 2 * kKeptOutput) f->recent.erase(0, f->recent.size() - kKeptOutput);
        if (f->output != nullptr && *f->output) stop = (*f->output)(text);
    } catch (const std::exception&) {
        // Nothing may cross GLPK's C frames; a listener that fails is not heard any more.
        f->output = nullptr;
    }
    if (stop) {
        f->stopped = true;
        std::longjmp(f->jump, 2);
    }
    return 1; // never to the standard output
}

// Everything a failure leaves: the last complete lines of the output.
std::string lastLines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.size() > kKeptOutput) text.erase(0, text.size() - kKeptOutput);
    std::string out;
    for (char c : text)
        out += c == '\n' ? ' ' : c;
    return out.empty() ? "GLPK: внутренняя ошибка" : "GLPK: " + out;
}

GlpkResult run(Frame& frame, const std::function<void()>& body) {
    GlpkResult result;
    tFrame = &frame;
    glp_error_hook(onGlpkError, &frame);
    glp_term_hook(onGlpkOutput, &frame);
    if (setjmp(frame.jump) == 0) {
        body();
        glp_term_hook(nullptr, nullptr);
        glp_error_hook(nullptr, nullptr);
    } else {
        result.ok = false;
        result.stopped = frame.stopped;
        // GLPK's state is undefined after the jump: drop all of it.
        glp_free_env();
        ++tGeneration;
    }
    tFrame = nullptr;
    return result;
}

} // namespace

GlpkResult glpkGuarded(const std::function<void()>& body, const GlpkOutput& output) {
    if (tFrame != nullptr) {
        // Already guarded (a call from inside a guarded body): the outer guard catches it.
        body();
        return {};
    }
    Frame frame;
    frame.output = &output;
    GlpkResult result = run(frame, body);
    if (!result.ok && !result.stopped) result.failure = lastLines(frame.recent);
    return result;
}

void glpkThreadEnd() {
    if (tFrame != nullptr) return;
    glp_free_env();
    ++tGeneration;
}

GlpkProblem::GlpkProblem() {
    glp_prob* created = nullptr;
    if (glpkGuarded([&] { created = glp_create_prob(); }).ok) {
        m_problem = created;
        m_generation = tGeneration;
    }
}

GlpkProblem::~GlpkProblem() {
    if (valid()) glpkGuarded([&] { glp_delete_prob(m_problem); });
}

bool GlpkProblem::valid() const {
    return m_problem != nullptr && m_generation == tGeneration;
}

} // namespace kvado::engine
