#pragma once

// One of the simulated host's automation objects served through COM: every
// IDispatch::Invoke by dispatch number goes to the host's own object, which
// answers (and journals) exactly as it does for the Linux programs.

#include <windows.h>
#include <oaidl.h>

#include <memory>

#include "common/host/AutomationObject.h"

namespace RavimoSim {

class DispatchServer final : public IDispatch {
public:
    // Starts with one reference, owned by the caller.
    explicit DispatchServer(std::shared_ptr<Common::AutomationObject> object) : object_(std::move(object)) {}
    DispatchServer(const DispatchServer&) = delete;
    DispatchServer& operator=(const DispatchServer&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    // Arguments by value or by reference (VT_BYREF of a number or text, or
    // of a VARIANT holding an array of doubles); outputs are written back
    // through their references. A call the host refuses answers
    // DISP_E_EXCEPTION with the host's message as EXCEPINFO description.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    ~DispatchServer() = default;

    LONG references_ = 1;
    std::shared_ptr<Common::AutomationObject> object_;
};

}  // namespace RavimoSim
