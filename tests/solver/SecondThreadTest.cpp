#include <gtest/gtest.h>

#include <atomic>
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
