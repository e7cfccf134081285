#include "solver/SecondThread.h"

namespace kvado {
namespace {

// Spins a while before sleeping: tasks come every few hundred microseconds during a solve,
// and a futex wake-up costs tens of microseconds.
constexpr int kSpins = 4000;

inline void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

template <typename Pred> void waitUntil(std::atomic<uint32_t>& value, uint32_t old, Pred done) {
    for (int k = 0; !done(); ++k) {
        if (k < kSpins)
            relax();
        else
            value.wait(old, std::memory_order_acquire);
    }
}

} // namespace

void SecondThread::start() {
    if (running() || std::thread::hardware_concurrency() < 2) return;
    m_stop.store(false);
    m_thread = std::thread([this] { loop(); });
}

void SecondThread::stop() {
    if (!running()) return;
    m_stop.store(true, std::memory_order_release);
    m_posted.fetch_add(1, std::memory_order_acq_rel);
    m_posted.notify_one();
    m_thread.join();
}

void SecondThread::loop() {
    uint32_t seen = m_posted.load(std::memory_order_acquire);
    for (;;) {
        waitUntil(m_posted, seen, [&] { return m_posted.load(std::memory_order_acquire) != seen; });
        seen = m_posted.load(std::memory_order_acquire);
        if (m_stop.load(std::memory_order_acquire)) return;
        m_task(m_context, 0, m_end);
        m_finished.store(seen, std::memory_order_release);
        m_finished.notify_one();
    }
}

void SecondThread::run(Task task, void* context, int32_t split, int32_t count) {
    if (!running() || split <= 0) {
        task(context, 0, count);
        return;
    }
    m_task = task;
    m_context = context;
    m_end = split;
    const uint32_t before = m_finished.load(std::memory_order_acquire);
    const uint32_t ticket = m_posted.fetch_add(1, std::memory_order_acq_rel) + 1;
    m_posted.notify_one();
    task(context, split, count);
    waitUntil(m_finished, before,
              [&] { return m_finished.load(std::memory_order_acquire) == ticket; });
}

} // namespace kvado
