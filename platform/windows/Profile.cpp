#include "common/settings/Profile.h"

#include <windows.h>

// The ini files through the system's own profile functions. They keep what
// they read themselves, so a snapshot holds nothing here.

namespace Common {

struct ProfileSnapshot::Index {};

ProfileSnapshot::ProfileSnapshot(const std::wstring& iniPath)
    : path_(iniPath), index_(std::make_unique<const Index>()), outer_(nullptr)
{
}

ProfileSnapshot::~ProfileSnapshot() = default;

// The system's profile functions read the file themselves and say nothing
// about why they could not.
const std::string& ProfileSnapshot::problem() const
{
    static const std::string none;
    return none;
}

std::wstring readProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& iniPath)
{
    wchar_t buffer[1024] = {};
    const DWORD length =
        GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, 1024, iniPath.c_str());
    std::wstring value(buffer, length < 1024 ? length : 1023);
    // A character beyond U+FFFF that the cut splits is left out whole.
    if (value.size() == 1023 && value.back() >= 0xD800 && value.back() <= 0xDBFF) {
        value.pop_back();
    }
    return value;
}

int readProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue, const std::wstring& iniPath)
{
    return static_cast<int>(GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, iniPath.c_str()));
}

bool fileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace Common
