#include "exporter/geometry/ParallelChunks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace Exporter::OutlineSteps {

std::size_t machineThreads()
{
    return std::max<std::size_t>(1, std::thread::hardware_concurrency());
}

void runChunks(std::size_t chunks, std::size_t threads, const std::function<void(std::size_t)>& work)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    // Written by the one thread that fails first, read after every thread
    // has been joined.
    const auto worker = [&]() noexcept {
        try {
            for (std::size_t c = next.fetch_add(1); c < chunks && !failed.load(); c = next.fetch_add(1)) {
                work(c);
            }
        } catch (...) {
            if (!failed.exchange(true)) {
                failure = std::current_exception();
            }
        }
    };

    const std::size_t helpers = std::min(threads, chunks) > 1 ? std::min(threads, chunks) - 1 : 0;
    std::vector<std::thread> started;
    try {
        started.reserve(helpers);
        for (std::size_t t = 0; t < helpers; ++t) {
            started.emplace_back(worker);
        }
    } catch (...) {
        // No memory or no more threads: the threads already running, and
        // this one, do every chunk.
    }
    worker();
    for (std::thread& t : started) {
        t.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace Exporter::OutlineSteps
