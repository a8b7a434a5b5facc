#pragma once

// The system's running object table and active objects, as host binding
// sees them (Common::RunningObjectTable over COM).

#include <windows.h>

#include <optional>

#include "common/host/Binding.h"

namespace WinCom {

class ComObjectTable : public Common::RunningObjectTable {
public:
    // The host's objects in the running object table: only monikers whose
    // display name begins with "!" and one of the host's two ProgIDs are
    // bound (objects of other programs are never touched), each as its
    // IDispatch.
    std::vector<Entry> entries() override;
    // The active object of `progId`: its class through CLSIDFromProgID, or,
    // when that fails, through the ProgID's key below
    // HKEY_CURRENT_USER\Software\Classes (which not every COM runtime reads
    // itself), then GetActiveObject. Null when there is none.
    std::shared_ptr<Common::AutomationObject> activeObject(const std::wstring& progId) override;
};

// The class registered for `progId` in HKEY_CURRENT_USER\Software\Classes.
std::optional<CLSID> userClassOfProgId(const std::wstring& progId);

}  // namespace WinCom
