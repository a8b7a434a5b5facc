#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "common/host/Binding.h"

namespace HostSim {

// A plan file that cannot be loaded: names the file, the field and the reason.
class PlanError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PlanDocument;

// One running simulated host: the plan loaded from a JSON plan file, the
// application and document automation objects answering by dispatch number,
// the running object table they are registered in, and the optional call
// journal.
class HostSession {
public:
    // Loads the plan file. A missing file is a new, empty plan when
    // `missingIsEmpty` is set; otherwise, and for any broken file, PlanError.
    static std::unique_ptr<HostSession> open(const std::string& planPath, bool missingIsEmpty);
    virtual ~HostSession() = default;

    // Appends one JSON line per host call to `tracePath` from now on.
    virtual void setTrace(const std::string& tracePath) = 0;
    virtual Common::RunningObjectTable& runningObjectTable() = 0;
    // Saves the plan back to its file atomically; PlanError when that fails.
    virtual void save() = 0;
    virtual PlanDocument& plan() = 0;
    // The window-minimised test for a window of this host: true when
    // `window` is the host's window (the document's or the application's
    // handle) and the plan says the window is minimised.
    virtual bool isWindowMinimized(std::int32_t window) = 0;
};

}  // namespace HostSim
