#pragma once

// Running numbered pieces of work on several threads at once.

#include <cstddef>
#include <functional>

namespace Exporter::OutlineSteps {

// The number of threads worth starting on this machine: one per core the
// system reports, at least 1.
std::size_t machineThreads();

// Calls work(c) once for every chunk c in [0, chunks), on at most `threads`
// threads (the calling thread among them, so a single chunk or a single
// thread starts no thread at all). Chunks are handed out in order as threads
// become free; each call must write only what belongs to its own chunk.
// Returns when every started thread has ended. The first failure thrown by
// any chunk is thrown again here after that (the chunks not yet begun are
// then left undone). A thread that cannot be started leaves its share to
// the threads that run.
void runChunks(std::size_t chunks, std::size_t threads, const std::function<void(std::size_t)>& work);

}  // namespace Exporter::OutlineSteps
