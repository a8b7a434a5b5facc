#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/host/HostObject.h"

namespace Common {

inline constexpr const wchar_t* kHostApplicationProgId = L"DomoriaRavimo.RavimoApp";
inline constexpr const wchar_t* kHostDocumentProgId = L"DomoriaRavimo.RavimoDoc";

// The system's table of running automation objects, as binding sees it.
class RunningObjectTable {
public:
    struct Entry {
        std::wstring displayName;  // "!" + ProgID + ...
        std::shared_ptr<AutomationObject> object;
    };
    virtual ~RunningObjectTable() = default;
    virtual std::vector<Entry> entries() = 0;
    // The object registered as active for the ProgID, or null.
    virtual std::shared_ptr<AutomationObject> activeObject(const std::wstring& progId) = 0;
};

// Binds the object of `progId`: with a non-zero handle the running object
// table is walked for a display name starting with "!" + progId whose window
// handle (HostOps::ApplicationWindow, HostOps::DocumentWindow) equals `handle`;
// when nothing is bound that way, the active object is taken. The result may
// stay empty.
HostObject bindHostObject(RunningObjectTable& table, const std::wstring& progId, std::int32_t handle);

}  // namespace Common
