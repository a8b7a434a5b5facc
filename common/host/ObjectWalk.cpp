#include "common/host/ObjectWalk.h"

namespace Common {

namespace {

std::int64_t walkLimit = kMaxHostObjectsPerWalk;

}  // namespace

std::int64_t hostObjectWalkLimit() { return walkLimit; }

ScopedHostObjectWalkLimit::ScopedHostObjectWalkLimit(std::int64_t limit) : previous_(walkLimit) { walkLimit = limit; }

ScopedHostObjectWalkLimit::~ScopedHostObjectWalkLimit() { walkLimit = previous_; }

HostError endlessObjectListError(std::int64_t limit)
{
    return HostError(HostOps::CursorToNext.dispatchNumber,
                     "the host's object list did not come to an end after " + std::to_string(limit) + " objects");
}

}  // namespace Common
