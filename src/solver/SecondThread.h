#pragma once
// A second thread for work that splits into independent halves (the pivot's column updates).
// The caller keeps its half, so the result is the same bits whatever the timing; the thread
// waits on a futex between tasks and costs nothing while the solver does other work.

#include <atomic>
#include <cstdint>
#include <thread>

namespace kvado {

class SecondThread {
public:
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

    // task(context, 0, split) on the second thread and task(context, split, count) here;
    // returns when both have finished.
    void run(Task task, void* context, int32_t split, int32_t count);

private:
    void loop();

    std::thread m_thread;
    std::atomic<uint32_t> m_posted{0};
    std::atomic<uint32_t> m_finished{0};
    std::atomic<bool> m_stop{false};
    Task m_task = nullptr;
    void* m_context = nullptr;
    int32_t m_end = 0;
};

} // namespace kvado
