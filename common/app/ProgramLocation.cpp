#include "common/app/ProgramLocation.h"

namespace Common {

ProgramLocation programLocation(const std::wstring& moduleFile)
{
    ProgramLocation location;
    const auto slash = moduleFile.find_last_of(L"/\\");
    location.folder = slash == std::wstring::npos ? std::wstring() : moduleFile.substr(0, slash + 1);
    location.baseName = slash == std::wstring::npos ? moduleFile : moduleFile.substr(slash + 1);
    // A leading dot starts a name, not an extension.
    const auto dot = location.baseName.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        location.baseName.erase(dot);
    }
    return location;
}

}  // namespace Common
