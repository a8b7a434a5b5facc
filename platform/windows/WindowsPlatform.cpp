#include "platform/windows/WindowsPlatform.h"

#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include <clocale>
#include <string>
#include <vector>

namespace Platform {

namespace {

class MutexHandle : public Common::NamedMutex {
public:
    explicit MutexHandle(HANDLE handle) : handle_(handle) {}
    ~MutexHandle() override { CloseHandle(handle_); }
    MutexHandle(const MutexHandle&) = delete;
    MutexHandle& operator=(const MutexHandle&) = delete;

private:
    HANDLE handle_;
};

// A window handle from the command line: 32 significant bits, sign-extended
// as the system does when handles cross between processes.
HWND windowOf(std::int32_t handle)
{
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}

HWND ownerOf(std::int32_t handle)
{
    const HWND window = windowOf(handle);
    return handle != 0 && IsWindow(window) ? window : nullptr;
}

}  // namespace

std::unique_ptr<Common::NamedMutex> WindowsPlatform::createNamedMutex(const std::wstring& name)
{
    const HANDLE handle = CreateMutexW(nullptr, FALSE, name.c_str());
    if (handle == nullptr) {
        // A mutex of that name that this user may not open belongs to a
        // running instance all the same.
        if (GetLastError() != ERROR_ACCESS_DENIED) {
            reportError(L"cannot create the mutex \"" + name + L"\"");
        }
        return nullptr;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return nullptr;
    }
    return std::make_unique<MutexHandle>(handle);
}

int WindowsPlatform::screenPixelsPerInch()
{
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ppi;
}

void WindowsPlatform::setUserLocale()
{
    _wsetlocale(LC_ALL, L"");
    _wsetlocale(LC_NUMERIC, L"C");
}

std::wstring WindowsPlatform::moduleFileName()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    while (buffer.size() <= 32768) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return std::wstring();
        }
        if (n < buffer.size()) {
            return std::wstring(buffer.data(), n);
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::wstring();
}

bool WindowsPlatform::isDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring WindowsPlatform::documentsFolder(std::int32_t ownerWindow)
{
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(ownerOf(ownerWindow), path, CSIDL_PERSONAL, FALSE)) {
        return std::wstring();
    }
    return path;
}

bool WindowsPlatform::shellOpen(const std::wstring& path)
{
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void WindowsPlatform::messageBox(const std::wstring& text, const std::wstring& caption, std::int32_t ownerWindow)
{
    MessageBoxW(ownerOf(ownerWindow), text.c_str(), caption.c_str(), MB_OK);
}

void WindowsPlatform::reportError(const std::wstring& text)
{
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE || GetFileType(error) == FILE_TYPE_UNKNOWN) {
        MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONWARNING);
        return;
    }
    DWORD mode = 0;
    DWORD written = 0;
    const std::wstring line = text + L"\r\n";
    if (GetConsoleMode(error, &mode)) {
        WriteConsoleW(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    // A pipe or a file gets UTF-8, as on Linux.
    const std::wstring withNewline = text + L"\n";
    const int length = WideCharToMultiByte(CP_UTF8, 0, withNewline.data(), static_cast<int>(withNewline.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, withNewline.data(), static_cast<int>(withNewline.size()), bytes.data(), length,
                        nullptr, nullptr);
    WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool WindowsPlatform::isWindowMinimized(std::int32_t window)
{
    return IsIconic(windowOf(window)) != FALSE;
}

Common::Registry& WindowsPlatform::registry()
{
    return registry_;
}

std::vector<std::wstring> windowsArguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    if (wchar_t** split = CommandLineToArgvW(GetCommandLineW(), &count)) {
        arguments.assign(split + (count > 0 ? 1 : 0), split + count);
        LocalFree(split);
    }
    return arguments;
}

}  // namespace Platform
