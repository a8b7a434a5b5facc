#pragma once

// Makes the simulated host's two objects reachable as the real host's are:
// in the running object table under display names beginning with "!" and
// the ProgID, and as the active objects of the two ProgIDs (whose classes
// are recorded below HKEY_CURRENT_USER\Software\Classes).

#include <windows.h>

#include <string>
#include <vector>

namespace RavimoSim {

class HostRegistration {
public:
    // Registers `object` (an IDispatch) for `progId` with the class `clsid`.
    // Throws std::runtime_error naming the step that failed.
    void add(const std::wstring& progId, const CLSID& clsid, IUnknown* object);
    // Revokes every registration and cuts off callers still holding
    // references, so that COM can be uninitialised afterwards.
    void revokeAll();
    ~HostRegistration() { revokeAll(); }

private:
    struct Registered {
        IUnknown* object;
        DWORD tableCookie;
        DWORD activeCookie;
    };
    std::vector<Registered> registered_;
};

// The display name an object of `progId` gets in the running object table:
// "!" + progId + ":" + process id, so that several hosts can run at once.
std::wstring displayNameItem(const std::wstring& progId);

}  // namespace RavimoSim
