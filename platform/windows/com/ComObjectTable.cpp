#include "platform/windows/com/ComObjectTable.h"

#include <objbase.h>
#include <oleauto.h>

#include "platform/windows/com/DispatchClient.h"

namespace WinCom {

namespace {

// Releases a COM interface pointer when it goes out of scope.
template <typename T>
class Ref {
public:
    Ref() = default;
    ~Ref() { reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T** put() { reset(); return &p_; }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T* detach() { T* p = p_; p_ = nullptr; return p; }
    void reset()
    {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    T* p_ = nullptr;
};

bool isHostDisplayName(const std::wstring& name)
{
    for (const wchar_t* progId : {Common::kHostApplicationProgId, Common::kHostDocumentProgId}) {
        if (name.starts_with(std::wstring(L"!") + progId)) {
            return true;
        }
    }
    return false;
}

std::shared_ptr<Common::AutomationObject> asAutomationObject(IUnknown* unknown)
{
    IDispatch* dispatch = nullptr;
    if (unknown == nullptr || FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) ||
        dispatch == nullptr) {
        return nullptr;
    }
    return std::make_shared<DispatchClient>(dispatch);
}

}  // namespace

std::vector<Common::RunningObjectTable::Entry> ComObjectTable::entries()
{
    std::vector<Entry> found;
    Ref<IRunningObjectTable> table;
    if (FAILED(GetRunningObjectTable(0, table.put()))) {
        return found;
    }
    Ref<IEnumMoniker> monikers;
    if (FAILED(table->EnumRunning(monikers.put())) || !monikers) {
        return found;
    }
    // A table is never endless, but a broken one might keep answering:
    // bound the walk.
    constexpr int kMaxEntries = 100000;
    for (int i = 0; i < kMaxEntries; ++i) {
        Ref<IMoniker> moniker;
        ULONG fetched = 0;
        if (monikers->Next(1, moniker.put(), &fetched) != S_OK || fetched != 1) {
            break;
        }
        Ref<IBindCtx> context;
        if (FAILED(CreateBindCtx(0, context.put()))) {
            continue;
        }
        LPOLESTR displayName = nullptr;
        if (FAILED(moniker->GetDisplayName(context.get(), nullptr, &displayName)) || displayName == nullptr) {
            continue;
        }
        const std::wstring name(displayName);
        CoTaskMemFree(displayName);
        if (!isHostDisplayName(name)) {
            continue;
        }
        Ref<IUnknown> object;
        if (FAILED(table->GetObject(moniker.get(), object.put()))) {
            continue;
        }
        if (auto automation = asAutomationObject(object.get())) {
            found.push_back(Entry{name, std::move(automation)});
        }
    }
    return found;
}

std::optional<CLSID> userClassOfProgId(const std::wstring& progId)
{
    const std::wstring key = L"Software\\Classes\\" + progId + L"\\CLSID";
    wchar_t text[64] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    CLSID clsid{};
    if (FAILED(CLSIDFromString(text, &clsid))) {
        return std::nullopt;
    }
    return clsid;
}

std::shared_ptr<Common::AutomationObject> ComObjectTable::activeObject(const std::wstring& progId)
{
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid))) {
        const std::optional<CLSID> user = userClassOfProgId(progId);
        if (!user) {
            return nullptr;
        }
        clsid = *user;
    }
    Ref<IUnknown> object;
    if (FAILED(GetActiveObject(clsid, nullptr, object.put()))) {
        return nullptr;
    }
    return asAutomationObject(object.get());
}

}  // namespace WinCom
