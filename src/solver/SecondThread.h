#pragma once
// A second thread for work made of independent pieces (the pivot's column updates). Both
// threads take pieces from one counter, so the result is the same bits whatever the timing,
// and the calling thread never waits for a helper that the system has not scheduled: when the
// helper has not started by the time the caller has run out of pieces, the caller withdraws
// the task and returns. Between tasks the helper sleeps on a futex.

#include <atomic>
#include <cstdint>
#include <thread>

namespace kvado {

class SecondThread {
public:
    // Processes pieces [begin, end).
    using Task = void (*)(void* context, int32_t begin, int32_t end);

    SecondThread() = default;
    ~SecondThread() { stop(); }
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;

    // Starts the thread when the machine has a second core; otherwise run() does all the work
    // on the calling thread.
    void start();
    void stop();
    bool running() const { return m_thread.joinable(); }

    // Runs task over [0, count) in chunks of `chunk` pieces, shared with the helper thread;
    // returns when every piece is done.
    void run(Task task, void* context, int32_t count, int32_t chunk);

private:
    // A task's state word holds its generation (<< 2) and where it stands, so that a helper
    // late for one task can never claim the next one by mistake.
    enum : uint32_t { kPosted = 0, kStarted = 1, kWithdrawn = 2, kIdle = 3 };
    static uint32_t stateOf(uint32_t generation, uint32_t phase) { return generation << 2 | phase; }
    // `seen`: the post counter when the thread was created.
    void loop(uint32_t seen);
    void work();

    std::thread m_thread;
    std::atomic<uint32_t> m_posted{0};   // task generation, bumped by run()
    std::atomic<uint32_t> m_finished{0}; // last generation the helper finished
    std::atomic<uint32_t> m_state{kIdle};
    std::atomic<int32_t> m_next{0};
    std::atomic<bool> m_stop{false};
    Task m_task = nullptr;
    void* m_context = nullptr;
    int32_t m_count = 0, m_chunk = 1;
};

} // namespace kvado
