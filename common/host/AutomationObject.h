#pragma once

#include <stdexcept>
#include <string>

#include "common/host/Variant.h"

namespace Common {

// An automation object of the host (application or document), called by
// dispatch number. A failing call throws HostError.
class AutomationObject {
public:
    virtual ~AutomationObject() = default;

    // Calls operation `dispatchNumber` with `args` in the documented order.
    // Output arguments (byRef) are overwritten with what the host filled in.
    virtual void invoke(int dispatchNumber, Arguments& args, Variant& result) = 0;

    // The property put (used for property 179 of the document).
    virtual void putProperty(int dispatchNumber, const Variant& value) = 0;
};

// The error a failing host call raises. No conversion step catches it; the
// application object reports it and ends the run.
class HostError : public std::runtime_error {
public:
    HostError(int dispatchNumber, const std::string& message)
        : std::runtime_error(message), dispatchNumber_(dispatchNumber)
    {
    }
    int dispatchNumber() const { return dispatchNumber_; }

private:
    int dispatchNumber_;
};

}  // namespace Common
