#pragma once

#include <memory>

#include "common/host/AutomationObject.h"

namespace Common {

// A reference to a host automation object, empty until bound. Without a bound
// object every call does nothing and leaves the caller's values as they were.
class HostObject {
public:
    HostObject() = default;
    explicit HostObject(std::shared_ptr<AutomationObject> object) : object_(std::move(object)) {}

    bool isBound() const { return object_ != nullptr; }
    void release() { object_.reset(); }
    AutomationObject* get() const { return object_.get(); }

    // Calls the operation; `result` keeps its prepared value when unbound.
    void call(int dispatchNumber, Arguments& args, Variant& result);
    // Calls the operation without arguments and returns its result (Empty
    // when unbound).
    Variant call(int dispatchNumber);
    // Calls the operation with `args` and returns its result.
    Variant call(int dispatchNumber, Arguments& args);
    void put(int dispatchNumber, const Variant& value);

private:
    std::shared_ptr<AutomationObject> object_;
};

}  // namespace Common
