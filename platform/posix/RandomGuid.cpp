#include "common/platform/RandomGuid.h"

#include <pthread.h>
#include <sys/random.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

namespace Common {

namespace {

// A child process starts with a copy of its parent's unused bytes; it
// throws them away, so that parent and child never hand out the same
// identifier.
std::atomic<unsigned> forks{0};

void countFork()
{
    forks.fetch_add(1, std::memory_order_relaxed);
}

// A file of many records asks for one identifier per record; the kernel's
// generator is asked for the bytes of many identifiers at once, so that
// this costs one system call per batch instead of one per identifier. Each
// thread has a batch of its own; no byte is ever handed out twice.
class RandomBytes {
public:
    void take(std::uint8_t* out, std::size_t count)
    {
        static const bool watching = pthread_atfork(nullptr, nullptr, countFork) == 0;
        if (!watching || forks.load(std::memory_order_relaxed) != forksSeen_) {
            // Without a watch on forks, no byte is kept from one call to the next.
            used_ = bytes_.size();
        }
        while (count > 0) {
            if (used_ == bytes_.size()) {
                refill();
            }
            const std::size_t n = std::min(count, bytes_.size() - used_);
            std::memcpy(out, bytes_.data() + used_, n);
            // What was handed out is not kept in memory.
            std::memset(bytes_.data() + used_, 0, n);
            used_ += n;
            out += n;
            count -= n;
        }
    }

private:
    void refill()
    {
        std::size_t got = 0;
        while (got < bytes_.size()) {
            const ssize_t n = getrandom(bytes_.data() + got, bytes_.size() - got, 0);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        if (got < bytes_.size()) {
            // The kernel's generator refused; the library's device is the next best.
            std::random_device device;
            for (std::size_t i = got; i < bytes_.size(); ++i) {
                bytes_[i] = static_cast<std::uint8_t>(device());
            }
        }
        used_ = 0;
        forksSeen_ = forks.load(std::memory_order_relaxed);
    }

    // 256 identifiers; a request of up to 256 bytes is never cut short by
    // the kernel, larger ones are completed by the loop above.
    std::array<std::uint8_t, 4096> bytes_{};
    std::size_t used_ = bytes_.size();
    unsigned forksSeen_ = 0;
};

}  // namespace

std::array<std::uint8_t, 16> newRandomGuid()
{
    thread_local RandomBytes random;
    std::array<std::uint8_t, 16> b{};
    random.take(b.data(), b.size());
    b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x40);  // version 4
    b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return b;
}

}  // namespace Common
