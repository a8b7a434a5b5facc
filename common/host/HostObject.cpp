#include "common/host/HostObject.h"

namespace Common {

void HostObject::call(int dispatchNumber, Arguments& args, Variant& result)
{
    if (object_) {
        object_->invoke(dispatchNumber, args, result);
    }
}

Variant HostObject::call(int dispatchNumber)
{
    Arguments none;
    return call(dispatchNumber, none);
}

Variant HostObject::call(int dispatchNumber, Arguments& args)
{
    Variant result;
    call(dispatchNumber, args, result);
    return result;
}

void HostObject::put(int dispatchNumber, const Variant& value)
{
    if (object_) {
        object_->putProperty(dispatchNumber, value);
    }
}

}  // namespace Common
