#include "audio/BlockRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

namespace orvel {
namespace {

std::vector<std::uint8_t> counting(std::size_t n, std::uint8_t first = 0) {
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), first);
    return v;
}

TEST(BlockRing, AFullRingKeepsTheOlderDataAndCountsWhatItDrops) {
    BlockRing ring(10);
    const auto data = counting(7);
    EXPECT_EQ(ring.append(data.data(), 7), 7u);
    EXPECT_EQ(ring.append(data.data(), 7), 3u);  // only three fit
    EXPECT_EQ(ring.droppedBytes(), 4u);
    std::vector<std::uint8_t> out(10);
    ASSERT_EQ(ring.take(out.data(), 10), 10u);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 6, 0, 1, 2}));
    EXPECT_EQ(ring.take(out.data(), 10), 0u);
}

TEST(BlockRing, WrapsAroundTheEndOfItsBuffer) {
    BlockRing ring(8);
    std::vector<std::uint8_t> out(8);
    const auto a = counting(6);
    ring.append(a.data(), 6);
    ASSERT_EQ(ring.take(out.data(), 4), 4u);  // read at 4, write at 6
    const auto b = counting(6, 100);
    ASSERT_EQ(ring.append(b.data(), 6), 6u);  // wraps: 2 at the end, 4 at the start
    ASSERT_EQ(ring.take(out.data(), 8), 8u);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{4, 5, 100, 101, 102, 103, 104, 105}));
    EXPECT_EQ(ring.fill(), 0u);
}

TEST(BlockRing, AnInvalidRingTakesNothing) {
    BlockRing ring(0);
    EXPECT_FALSE(ring.valid());
    const auto data = counting(4);
    EXPECT_EQ(ring.append(data.data(), 4), 0u);
    EXPECT_EQ(ring.droppedBytes(), 4u);
    std::uint8_t out[4];
    EXPECT_EQ(ring.take(out, 4), 0u);
}

TEST(BlockRing, LowWaterIsSignalledOnceWhenEnoughIsFree) {
    BlockRing ring(100);
    const auto data = counting(90);
    ring.append(data.data(), 90);
    ring.armLowWater(50);  // 10 free: armed
    EXPECT_FALSE(ring.waitLowWater(std::chrono::milliseconds(1)));
    std::vector<std::uint8_t> out(100);
    ring.take(out.data(), 30);  // 40 free: not yet
    EXPECT_FALSE(ring.waitLowWater(std::chrono::milliseconds(1)));
    std::thread consumer([&] { ring.take(out.data(), 20); });  // 60 free
    EXPECT_TRUE(ring.waitLowWater(std::chrono::seconds(5)));
    consumer.join();
    ring.armLowWater(10);  // 60 free already: nothing to wait for
    EXPECT_TRUE(ring.waitLowWater(std::chrono::milliseconds(1)));
}

// One producer and one consumer hammer the ring with pieces of random sizes; every byte that
// was accepted comes out once, in order.
TEST(BlockRing, TwoThreadsPassEveryAcceptedByteInOrder) {
    BlockRing ring(4093);
    constexpr std::size_t kTotal = 4'000'000;
    std::atomic<bool> done{false};
    std::vector<std::uint8_t> accepted;
    accepted.reserve(kTotal);
    std::vector<std::uint8_t> received;
    received.reserve(kTotal);

    std::thread producer([&] {
        std::mt19937 random(7);
        std::vector<std::uint8_t> piece(3000);
        std::uint32_t counter = 0;
        std::size_t sent = 0;
        while (sent < kTotal) {
            const std::size_t n = std::min<std::size_t>(1 + random() % piece.size(), kTotal - sent);
            for (std::size_t i = 0; i < n; ++i) {
                piece[i] = static_cast<std::uint8_t>(counter++ * 2654435761u >> 24);
            }
            const std::size_t taken = ring.append(piece.data(), n);
            accepted.insert(accepted.end(), piece.begin(), piece.begin() + taken);
            sent += n;
        }
        done = true;
    });
    std::thread consumer([&] {
        std::mt19937 random(11);
        std::vector<std::uint8_t> out(5000);
        for (;;) {
            const bool finished = done.load();
            const std::size_t n = ring.take(out.data(), 1 + random() % out.size());
            received.insert(received.end(), out.begin(), out.begin() + n);
            if (n == 0 && finished) {
                break;
            }
        }
    });
    producer.join();
    consumer.join();
    EXPECT_EQ(received.size(), accepted.size());
    EXPECT_EQ(received, accepted);
    EXPECT_EQ(accepted.size() + ring.droppedBytes(), kTotal);
}

TEST(RingCapacity, FollowsHalfTheMemoryWithinItsBounds) {
    constexpr std::size_t kMiB = 1 << 20;
    // Plenty of memory: half of it, but never more than the bound.
    EXPECT_EQ(ringCapacity(80000, 24ull << 30), 64 * kMiB);
    EXPECT_EQ(ringCapacity(80000, 10 * kMiB), 5 * kMiB);
    // Half the memory below the base: the base.
    EXPECT_EQ(ringCapacity(160000, 200000), 160000u);
    // Less than the base but more than half of it: half the base; less still: nothing.
    EXPECT_EQ(ringCapacity(80000, 50000), 40000u);
    EXPECT_EQ(ringCapacity(80000, 40000), 0u);
}

}  // namespace
}  // namespace orvel
