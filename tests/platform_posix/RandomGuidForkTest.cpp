#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>

#include "common/platform/RandomGuid.h"

namespace {

// Identifiers come from a batch of random bytes kept in the process; a child
// made by fork must not hand out the identifiers its parent hands out next.
TEST(RandomGuidFork, ChildAndParentDrawDifferentIdentifiers)
{
    Common::newRandomGuid();  // the parent now holds a batch with bytes left
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto guid = Common::newRandomGuid();
        const bool sent = write(channel[1], guid.data(), guid.size()) == static_cast<ssize_t>(guid.size());
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    const auto parentGuid = Common::newRandomGuid();
    std::array<std::uint8_t, 16> childGuid{};
    const ssize_t got = read(channel[0], childGuid.data(), childGuid.size());
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(got, static_cast<ssize_t>(childGuid.size()));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(parentGuid, childGuid);
}

}  // namespace
