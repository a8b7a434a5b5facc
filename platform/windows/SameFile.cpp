#include <windows.h>

#include <string>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"

// A file's identity here is its volume's serial number with the file index
// the volume gives it; names compare as the file system compares them,
// without regard to case.

namespace Common {

namespace {

struct Identity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};

bool identity(const std::wstring& path, Identity& out)
{
    if (path.empty()) {
        return false;
    }
    // Folders open only with backup semantics; nothing is read or written.
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

bool sameIdentity(const Identity& a, const Identity& b)
{
    return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}

// The folder part of a path ("." for a bare name; the drive's own folder
// for "C:name") and the name in it; both separators count.
std::wstring folderOf(const std::wstring& path)
{
    const auto slash = path.find_last_of(L"/\\");
    if (slash == std::wstring::npos) {
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : L".";
    }
    return path.substr(0, slash + 1);
}

std::wstring nameOf(const std::wstring& path)
{
    const auto slash = path.find_last_of(L"/\\");
    if (slash == std::wstring::npos) {
        return path.size() >= 2 && path[1] == L':' ? path.substr(2) : path;
    }
    return path.substr(slash + 1);
}

bool sameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    const std::wstring wideA = fromUtf8(a);
    const std::wstring wideB = fromUtf8(b);
    Identity first;
    Identity second;
    const bool firstExists = identity(wideA, first);
    const bool secondExists = identity(wideB, second);
    if (firstExists || secondExists) {
        return firstExists && secondExists && sameIdentity(first, second);
    }
    const std::wstring nameA = nameOf(wideA);
    if (nameA.empty() || !sameName(nameA, nameOf(wideB))) {
        return false;
    }
    return identity(folderOf(wideA), first) && identity(folderOf(wideB), second) && sameIdentity(first, second);
}

}  // namespace Common
