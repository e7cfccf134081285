#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "solver/SecondThread.h"

namespace {

struct Pieces {
    std::vector<std::atomic<int>> done;
    explicit Pieces(size_t n) : done(n) {}
    static void task(void* self, int32_t begin, int32_t end) {
        auto& p = *static_cast<Pieces*>(self);
        for (int32_t k = begin; k < end; ++k)
            p.done[static_cast<size_t>(k)].fetch_add(1, std::memory_order_relaxed);
    }
};

// Many short tasks in a row, as the pivots of a solve post them: every piece is done exactly
// once, whether the helper takes part, comes late or not at all, and no hand-over is lost (a
// lost one hangs this test).
TEST(SecondThread, EveryPieceOnceAcrossManyTasks) {
    kvado::SecondThread helper;
    helper.start();
    for (int round = 0; round < 20000; ++round) {
        const int32_t count = 1 + round % 23;
        Pieces pieces(static_cast<size_t>(count));
        helper.run(&Pieces::task, &pieces, count, 1 + round % 3);
        for (int32_t k = 0; k < count; ++k)
            ASSERT_EQ(pieces.done[static_cast<size_t>(k)].load(), 1) << "round " << round;
    }
    helper.stop();
    // Without the thread everything runs on the caller.
    Pieces pieces(10);
    helper.run(&Pieces::task, &pieces, 10, 2);
    for (auto& d : pieces.done)
        EXPECT_EQ(d.load(), 1);
}

} // namespace

namespace {

// Random busy waits shift the order in which the caller posts or stops and the helper takes
// its first look: a start followed at once by a stop, or by one task and a stop, must end in
// every order (a lost wake-up leaves stop() in join() forever; the watchdog turns that into a
// failure instead of a hung suite).
TEST(SecondThread, StartAndStopInAnyOrderNeverHang) {
    std::atomic<bool> finished{false};
    std::thread watchdog([&finished] {
        for (int k = 0; k < 1200 && !finished.load(); ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!finished.load()) {
            std::fputs("SecondThread: start/stop hung\n", stderr);
            std::abort();
        }
    });
    std::mt19937 random(7);
    auto spin = [&random](unsigned bound) {
        for (unsigned k = random() % bound; k > 0; --k)
            std::atomic_signal_fence(std::memory_order_seq_cst);
    };
    for (int round = 0; round < 6000; ++round) {
        kvado::SecondThread helper;
        helper.start();
        spin(round % 2 ? 2000 : 20);
        if (round % 3 != 0) {
            Pieces pieces(8);
            helper.run(&Pieces::task, &pieces, 8, 1);
            for (auto& d : pieces.done)
                ASSERT_EQ(d.load(), 1) << "round " << round;
            spin(200);
        }
        helper.stop();
        // A restarted helper must not mistake the earlier stop for a new post either.
        if (round % 5 == 0) {
            helper.start();
            helper.stop();
        }
    }
    finished.store(true);
    watchdog.join();
}

} // namespace
