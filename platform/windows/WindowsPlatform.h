#pragma once

#include <string>
#include <vector>

#include "common/platform/Platform.h"
#include "platform/windows/WindowsRegistry.h"

namespace Platform {

// Windows itself as both programs see it.
//
// - Named mutex: a mutex object of the session's namespace; it counts as
//   held when it existed already (another instance has it).
// - Screen: the logical pixels per inch of the screen's device context.
// - Locale: the user's default for everything but numbers, which keep "."
//   as decimal separator.
// - Message box: OK button, no icon, owned by the given window when that
//   is a window (a handle that names none shows the box without owner).
// - Errors and warnings: on standard error when the program has one (a
//   console, a pipe, a file), otherwise in a message box, so that a user
//   who started the program from the host sees them too.
// - Documents folder: the shell's "My Documents" folder, not created.
// - Registry: HKEY_CURRENT_USER.
class WindowsPlatform : public Common::Platform {
public:
    std::unique_ptr<Common::NamedMutex> createNamedMutex(const std::wstring& name) override;
    int screenPixelsPerInch() override;
    void setUserLocale() override;
    std::wstring moduleFileName() override;
    bool isDirectory(const std::wstring& path) override;
    std::wstring documentsFolder(std::int32_t ownerWindow) override;
    bool shellOpen(const std::wstring& path) override;
    void messageBox(const std::wstring& text, const std::wstring& caption, std::int32_t ownerWindow) override;
    void reportError(const std::wstring& text) override;
    bool isWindowMinimized(std::int32_t window) override;
    Common::Registry& registry() override;

private:
    WindowsRegistry registry_;
};

// The arguments after the program name, split as the system splits a
// command line (quotes and backslashes as CommandLineToArgvW reads them).
std::vector<std::wstring> windowsArguments();

}  // namespace Platform
