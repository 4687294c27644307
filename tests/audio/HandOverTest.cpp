#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "audio/BlockQueue.h"
#include "audio/HeldBlocks.h"

namespace orvel {
namespace {

// The source's thread numbers its blocks and drops what finds no slot; the owner thread reads
// them at its own pace. Every block read is whole, none comes twice or out of order, and what
// was read and what was dropped add up.
TEST(BlockQueue, TwoThreadsHandOverEveryBlockInOrderOrCountItDropped) {
    constexpr std::size_t kBlocks = 200000;
    constexpr std::size_t kBytes = 64;
    BlockQueue queue(16, kBytes);
    ASSERT_TRUE(queue.valid());
    std::size_t dropped = 0;
    std::thread producer([&] {
        for (std::uint64_t n = 0; n < kBlocks; ++n) {
            std::uint8_t* slot = queue.acquire();
            if (slot == nullptr) {
                ++dropped;
                std::this_thread::yield();  // let the reader catch up now and then
                continue;
            }
            for (std::size_t i = 0; i < kBytes; i += sizeof n) {
                std::memcpy(slot + i, &n, sizeof n);
            }
            queue.publish(kBytes - n % 2 * 8);
        }
        while (queue.acquire() == nullptr) {
            std::this_thread::yield();
        }
        queue.publish(0);  // the end
    });
    std::size_t read = 0;
    std::uint64_t last = 0;
    bool ordered = true;
    bool whole = true;
    for (;;) {
        BlockQueue::Block block;
        if (!queue.front(block)) {
            std::this_thread::yield();
            continue;
        }
        if (block.bytes == 0) {
            break;
        }
        std::uint64_t first = 0;
        std::memcpy(&first, block.data, sizeof first);
        ordered = ordered && (read == 0 || first > last);
        whole = whole && block.bytes == kBytes - first % 2 * 8;
        for (std::size_t i = 0; i + sizeof first <= block.bytes; i += sizeof first) {
            std::uint64_t n = 0;
            std::memcpy(&n, block.data + i, sizeof n);
            whole = whole && n == first;
        }
        last = first;
        ++read;
        queue.pop();
    }
    producer.join();
    EXPECT_TRUE(ordered);
    EXPECT_TRUE(whole);
    EXPECT_EQ(read + dropped, kBlocks);
    EXPECT_GT(read, kBlocks / 100);
}

std::vector<std::uint8_t> numbered(std::uint8_t n) {
    return std::vector<std::uint8_t>(4, n);
}

std::vector<int> released(HeldBlocks& held) {
    std::vector<int> order;
    held.release([&](const std::uint8_t* data, std::size_t) { order.push_back(data[0]); });
    return order;
}

// Blocks 1..N arrive while paused; `strong` marks those that may start an onset.
std::vector<int> keepWhilePaused(HeldBlocks& held, int blocks, const std::vector<int>& strong) {
    for (int n = 1; n <= blocks; ++n) {
        const bool onset = std::find(strong.begin(), strong.end(), n) != strong.end();
        const auto block = numbered(static_cast<std::uint8_t>(n));
        held.keep(block.data(), block.size(), onset);
    }
    return released(held);
}

TEST(HeldBlocks, KeepsThePreRollAndTheOnsetWithinTheirBounds) {
    HeldBlocks held;
    ASSERT_TRUE(held.reset(4, 3, 5));
    held.setPreRoll(2);
    // No onset: the last two blocks.
    EXPECT_EQ(keepWhilePaused(held, 9, {}), (std::vector<int>{8, 9}));
    // An onset at 4: the two blocks before it, then it and what followed.
    EXPECT_EQ(keepWhilePaused(held, 7, {4, 6}), (std::vector<int>{2, 3, 4, 5, 6, 7}));
    // The onset at 2 outgrows its five slots; the next strong block (9) starts another, with
    // the blocks before it as its pre-roll.
    EXPECT_EQ(keepWhilePaused(held, 10, {2, 9}), (std::vector<int>{7, 8, 9, 10}));
    // Without pre-roll only an onset is kept, and never more than its slots.
    held.setPreRoll(0);
    EXPECT_EQ(keepWhilePaused(held, 6, {}), (std::vector<int>{}));
    EXPECT_EQ(keepWhilePaused(held, 5, {1}), (std::vector<int>{1, 2, 3, 4, 5}));
    // A pre-roll beyond the reserved maximum is held at the maximum.
    held.setPreRoll(10);
    EXPECT_EQ(held.preRoll(), 3u);
}

}  // namespace
}  // namespace orvel
