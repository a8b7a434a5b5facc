// Work handed out to threads: every chunk done once whatever the numbers of
// chunks and threads, and a failure inside a thread reaches the caller.

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <vector>

#include "exporter/geometry/ParallelChunks.h"

using Exporter::OutlineSteps::runChunks;

TEST(ParallelChunks, EveryChunkRunsOnceWhateverTheThreadCount)
{
    // No chunk, fewer chunks than threads, one thread, no thread asked for.
    const std::size_t cases[][2] = {{0, 4}, {1, 8}, {3, 8}, {50, 1}, {50, 3}, {7, 0}};
    for (const auto& [chunks, threads] : cases) {
        std::vector<std::atomic<int>> runs(chunks);
        runChunks(chunks, threads, [&](std::size_t c) { runs[c].fetch_add(1); });
        for (std::size_t c = 0; c < chunks; ++c) {
            EXPECT_EQ(runs[c].load(), 1) << "chunk " << c << " of " << chunks << " on " << threads << " threads";
        }
    }
}

TEST(ParallelChunks, AFailureInAThreadReachesTheCaller)
{
    // Chunk 5 fails wherever it runs; the other threads are still joined
    // (the program does not end) and the failure is the caller's.
    std::atomic<int> done{0};
    EXPECT_THROW(runChunks(40, 4,
                           [&](std::size_t c) {
                               if (c == 5) {
                                   throw std::bad_alloc();
                               }
                               done.fetch_add(1);
                           }),
                 std::bad_alloc);
    EXPECT_LT(done.load(), 40);
}
