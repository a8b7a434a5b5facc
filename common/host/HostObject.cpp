#include "common/host/HostObject.h"

namespace Common {

void HostObject::call(const HostOperation& op, Arguments& args, Variant& result)
{
    if (object_) {
        object_->invoke(op.dispatchNumber, args, result);
    }
}

Variant HostObject::call(const HostOperation& op, Arguments& args)
{
    Variant result;
    call(op, args, result);
    return result;
}

void HostObject::put(const HostOperation& op, const Variant& value)
{
    if (object_) {
        object_->putProperty(op.dispatchNumber, value);
    }
}

}  // namespace Common
