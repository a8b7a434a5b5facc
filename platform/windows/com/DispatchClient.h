#pragma once

// A host automation object reached through COM: every call is one
// IDispatch::Invoke by dispatch number.

#include <windows.h>
#include <oaidl.h>

#include "common/host/AutomationObject.h"

namespace WinCom {

class DispatchClient : public Common::AutomationObject {
public:
    // Takes over one reference to `dispatch`, released when destroyed (which
    // must happen before COM is uninitialised).
    explicit DispatchClient(IDispatch* dispatch) : dispatch_(dispatch) {}
    ~DispatchClient() override;
    DispatchClient(const DispatchClient&) = delete;
    DispatchClient& operator=(const DispatchClient&) = delete;

    // A method call or property get. Inputs go by value, outputs (byRef) as
    // references to values of their prepared type, read back after the call;
    // an array of doubles goes as a VARIANT holding a safe array, an output
    // one as a reference to such a VARIANT. A failed call throws HostError
    // with the host's own text (its EXCEPINFO description) or, when the host
    // is gone or the call could not be made, the system's text for it.
    void invoke(int dispatchNumber, Common::Arguments& args, Common::Variant& result) override;
    // The property put (DISPATCH_PROPERTYPUT with the named argument
    // DISPID_PROPERTYPUT).
    void putProperty(int dispatchNumber, const Common::Variant& value) override;

private:
    IDispatch* dispatch_;
};

}  // namespace WinCom
