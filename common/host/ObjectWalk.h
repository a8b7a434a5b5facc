#pragma once

// The one walk over the host's objects. Every pass that visits the plan's
// objects goes through it, so that a host whose cursor never reports the end
// stops the run with a message instead of keeping it busy for ever.

#include <cstdint>
#include <string>
#include <type_traits>

#include "common/host/AutomationObject.h"
#include "common/host/HostDocument.h"

namespace Common {

// Upper bound on the objects one walk visits; no real plan comes near it.
inline constexpr std::int64_t kMaxHostObjectsPerWalk = 50'000'000;

// The bound in force (kMaxHostObjectsPerWalk unless a test lowered it
// through ScopedHostObjectWalkLimit).
std::int64_t hostObjectWalkLimit();

// Lowers the bound while it lives, so that a test can show a run stopping
// without visiting millions of objects. Restores the previous bound.
class ScopedHostObjectWalkLimit {
public:
    explicit ScopedHostObjectWalkLimit(std::int64_t limit);
    ~ScopedHostObjectWalkLimit();
    ScopedHostObjectWalkLimit(const ScopedHostObjectWalkLimit&) = delete;
    ScopedHostObjectWalkLimit& operator=(const ScopedHostObjectWalkLimit&) = delete;

private:
    std::int64_t previous_;
};

// The error the walk raises when the cursor does not come to an end.
HostError endlessObjectListError(std::int64_t limit);

// Puts the cursor on every object of the plan in turn and calls visit()
// while it stands there; visit() returns nothing to go on, or false to end
// the walk early. Throws HostError when the cursor does not come to an end
// within the bound.
template <typename Visit>
void forEachHostObject(HostDocument& document, Visit&& visit)
{
    const std::int64_t limit = hostObjectWalkLimit();
    std::int64_t visited = 0;
    for (std::int64_t more = document.cursorToFirst(); more != 0; more = document.cursorToNext()) {
        if (++visited > limit) {
            throw endlessObjectListError(limit);
        }
        if constexpr (std::is_same_v<decltype(visit()), bool>) {
            if (!visit()) {
                return;
            }
        } else {
            visit();
        }
    }
}

}  // namespace Common
