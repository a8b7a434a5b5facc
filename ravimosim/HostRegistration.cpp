#include "ravimosim/HostRegistration.h"

#include <objbase.h>
#include <oleauto.h>

#include <stdexcept>

#include "platform/windows/com/ComError.h"

namespace RavimoSim {

namespace {

void check(HRESULT hr, const std::string& step)
{
    if (FAILED(hr)) {
        throw std::runtime_error(step + ": " + WinCom::describeHResult(hr));
    }
}

void recordClass(const std::wstring& progId, const CLSID& clsid)
{
    wchar_t text[40] = {};
    if (StringFromGUID2(clsid, text, 40) == 0) {
        throw std::runtime_error("cannot format the class of " + WinCom::narrow(progId));
    }
    const std::wstring key = L"Software\\Classes\\" + progId + L"\\CLSID";
    const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_SZ, text,
                                           static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("cannot record the class of " + WinCom::narrow(progId) + " in the registry: " +
                                 WinCom::describeHResult(HRESULT_FROM_WIN32(status)));
    }
}

}  // namespace

std::wstring displayNameItem(const std::wstring& progId)
{
    return progId + L":" + std::to_wstring(GetCurrentProcessId());
}

void HostRegistration::add(const std::wstring& progId, const CLSID& clsid, IUnknown* object)
{
    const std::string name = WinCom::narrow(progId);
    recordClass(progId, clsid);

    IRunningObjectTable* table = nullptr;
    check(GetRunningObjectTable(0, &table), "cannot open the running object table");
    IMoniker* moniker = nullptr;
    HRESULT hr = CreateItemMoniker(L"!", displayNameItem(progId).c_str(), &moniker);
    DWORD tableCookie = 0;
    if (SUCCEEDED(hr)) {
        hr = table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, object, moniker, &tableCookie);
        moniker->Release();
    }
    table->Release();
    check(hr, "cannot register " + name + " in the running object table");

    DWORD activeCookie = 0;
    hr = RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &activeCookie);
    if (FAILED(hr)) {
        if (SUCCEEDED(GetRunningObjectTable(0, &table))) {
            table->Revoke(tableCookie);
            table->Release();
        }
        check(hr, "cannot register " + name + " as the active object");
    }
    object->AddRef();
    registered_.push_back(Registered{object, tableCookie, activeCookie});
}

void HostRegistration::revokeAll()
{
    IRunningObjectTable* table = nullptr;
    if (FAILED(GetRunningObjectTable(0, &table))) {
        table = nullptr;
    }
    for (const Registered& r : registered_) {
        RevokeActiveObject(r.activeCookie, nullptr);
        if (table != nullptr) {
            table->Revoke(r.tableCookie);
        }
        CoDisconnectObject(r.object, 0);
        r.object->Release();
    }
    registered_.clear();
    if (table != nullptr) {
        table->Release();
    }
}

}  // namespace RavimoSim
