#include <windows.h>

#include <string>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"

namespace Common {

namespace {

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The volume and file index of an existing file or folder; opened for no
// access at all, so that a file another program holds open still answers.
bool identity(const std::wstring& path, FileIdentity& out)
{
    if (path.empty()) {
        return false;
    }
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (ok) {
        out = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    }
    return ok;
}

std::wstring::size_type lastSeparator(const std::wstring& path)
{
    return path.find_last_of(L"\\/");
}

std::wstring folderOf(const std::wstring& path)
{
    const auto at = lastSeparator(path);
    return at == std::wstring::npos ? L"." : path.substr(0, at + 1);
}

std::wstring nameOf(const std::wstring& path)
{
    const auto at = lastSeparator(path);
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    const std::wstring wideA = fromUtf8(a);
    const std::wstring wideB = fromUtf8(b);
    FileIdentity first;
    FileIdentity second;
    const bool firstExists = identity(wideA, first);
    const bool secondExists = identity(wideB, second);
    if (firstExists || secondExists) {
        return firstExists && secondExists && first == second;
    }
    // File names compare without regard to case, as the file system does.
    const std::wstring nameA = nameOf(wideA);
    const std::wstring nameB = nameOf(wideB);
    if (nameA.empty() || CompareStringOrdinal(nameA.c_str(), static_cast<int>(nameA.size()), nameB.c_str(),
                                              static_cast<int>(nameB.size()), TRUE) != CSTR_EQUAL) {
        return false;
    }
    return identity(folderOf(wideA), first) && identity(folderOf(wideB), second) && first == second;
}

}  // namespace Common
