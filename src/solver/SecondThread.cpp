#include "solver/SecondThread.h"

#include <algorithm>

namespace kvado {
namespace {

// Spins a little before sleeping: tasks come every few hundred microseconds during a solve,
// and a futex wake-up costs tens of microseconds.
constexpr int kSpins = 2000;

inline void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

} // namespace

void SecondThread::start() {
    if (running() || std::thread::hardware_concurrency() < 2) return;
    m_stop.store(false);
    // The helper's first snapshot of the post counter is taken here, before the thread
    // exists: a post or stop that comes before the helper is scheduled then always differs
    // from it. (Read by the helper itself, a stop that came first was mistaken for the
    // starting state, and the helper slept through it while the caller waited in join().)
    const uint32_t initial = m_posted.load(std::memory_order_relaxed);
    m_thread = std::thread([this, initial] { loop(initial); });
}

void SecondThread::stop() {
    if (!running()) return;
    m_stop.store(true, std::memory_order_release);
    m_posted.store(m_posted.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    m_posted.notify_one();
    m_thread.join();
}

void SecondThread::work() {
    for (;;) {
        const int32_t begin = m_next.fetch_add(m_chunk, std::memory_order_acq_rel);
        if (begin >= m_count) return;
        m_task(m_context, begin, std::min(begin + m_chunk, m_count));
    }
}

void SecondThread::loop(uint32_t seen) {
    for (;;) {
        for (int k = 0; m_posted.load(std::memory_order_acquire) == seen; ++k) {
            if (k < kSpins)
                relax();
            else
                m_posted.wait(seen, std::memory_order_acquire);
        }
        seen = m_posted.load(std::memory_order_acquire);
        if (m_stop.load(std::memory_order_acquire)) return;
        uint32_t expected = stateOf(seen, kPosted);
        if (m_state.compare_exchange_strong(expected, stateOf(seen, kStarted),
                                            std::memory_order_acq_rel)) {
            work();
            m_finished.store(seen, std::memory_order_release);
            m_finished.notify_one();
        }
    }
}

void SecondThread::run(Task task, void* context, int32_t count, int32_t chunk) {
    if (!running() || count <= chunk) {
        task(context, 0, count);
        return;
    }
    m_task = task;
    m_context = context;
    m_count = count;
    m_chunk = chunk;
    m_next.store(0, std::memory_order_relaxed);
    // Only this thread posts, so the next generation is known before it is published.
    const uint32_t generation = m_posted.load(std::memory_order_relaxed) + 1;
    m_state.store(stateOf(generation, kPosted), std::memory_order_release);
    m_posted.store(generation, std::memory_order_release);
    m_posted.notify_one();
    work();
    uint32_t expected = stateOf(generation, kPosted);
    if (m_state.compare_exchange_strong(expected, stateOf(generation, kWithdrawn),
                                        std::memory_order_acq_rel))
        return; // the helper never started: every piece was done here
    // The helper has the task and is at most one chunk behind.
    for (int k = 0;; ++k) {
        const uint32_t finished = m_finished.load(std::memory_order_acquire);
        if (finished == generation) break;
        if (k < kSpins)
            relax();
        else
            m_finished.wait(finished, std::memory_order_acquire);
    }
}

} // namespace kvado
