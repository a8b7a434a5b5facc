#pragma once

#include <memory>

#include "common/host/AutomationObject.h"
#include "common/host/HostOperations.h"

namespace Common {

// A reference to a host automation object, empty until bound. Without a bound
// object every call does nothing and leaves the caller's values as they were.
// HostApplication and HostDocument name the operations of each object.
class HostObject {
public:
    HostObject() = default;
    explicit HostObject(std::shared_ptr<AutomationObject> object) : object_(std::move(object)) {}

    bool isBound() const { return object_ != nullptr; }
    void release() { object_.reset(); }
    AutomationObject* get() const { return object_.get(); }

    // Calls the operation; `result` keeps its prepared value when unbound.
    void call(const HostOperation& op, Arguments& args, Variant& result);
    // Calls the operation without arguments and returns its result (Empty
    // when unbound). Inline: the object walks make millions of these.
    Variant call(const HostOperation& op)
    {
        Variant result;
        if (object_) {
            Arguments none;
            object_->invoke(op.dispatchNumber, none, result);
        }
        return result;
    }
    // Calls the operation with `args` and returns its result.
    Variant call(const HostOperation& op, Arguments& args);
    // Sets a property (an operation marked as a property put).
    void put(const HostOperation& op, const Variant& value);

protected:
    const std::shared_ptr<AutomationObject>& object() const { return object_; }

private:
    std::shared_ptr<AutomationObject> object_;
};

}  // namespace Common
