#pragma once

// Host failures on demand, for testing how the converters meet them: the
// calls into both host objects are counted from 1, and the chosen call
// either fails with the host's message or is the last one the host answers
// before it goes away.

#include <memory>

#include "common/host/AutomationObject.h"

namespace RavimoSim {

struct FaultPlan {
    long failAt = 0;  // this call fails; 0 for none
    long quitAfter = 0;  // the host goes away after this call; 0 for never
    long calls = 0;
    bool quitNow = false;  // set once the host should go away
};

// The message of the failure made at call `failAt`.
inline constexpr const char* kInjectedFailure = "ホストがこの操作を実行できませんでした (simulated failure)";

// Wraps one of the host's objects so that its calls go through `faults`.
std::shared_ptr<Common::AutomationObject> withFaults(std::shared_ptr<Common::AutomationObject> object,
                                                     std::shared_ptr<FaultPlan> faults);

}  // namespace RavimoSim
