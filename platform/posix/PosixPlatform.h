#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/platform/Platform.h"
#include "platform/posix/RegistryFile.h"

namespace Platform {

// The operating system as both programs see it on this platform.
//
// - Named mutex: an exclusive, non-blocking flock on a file named exactly
//   after the mutex in $XDG_RUNTIME_DIR (when that is a folder) or else in
//   /tmp/cedxm-UID, the user's own folder (made private, and refused when it
//   is not). flock belongs to the open file description, so a second attempt
//   in the same process counts as held too. A lock file that cannot be made
//   or locked is an error (std::runtime_error with the reason), not another
//   instance.
// - Screen: 96 pixels per inch (no display).
// - Locale: the user's locale from the environment for everything, except
//   that numbers keep "." as decimal separator (LC_NUMERIC stays "C").
// - Message box: the text alone on standard output, one line; the caption
//   is the program's name and is not printed, so the output is the
//   program's own message and nothing else.
// - Errors and warnings: the text on standard error.
// - Shell "open": prints "open: <path>" on standard output when the file
//   exists (nothing is started, so runs stay quiet and testable).
// - Window minimised: asked of the windows the program was given (the
//   simulated host's, see setWindows); any other window is not minimised.
// - Registry: RegistryFile at RegistryFile::defaultPath().
// Paths are wide inside the programs and spelled in the locale's character
// set in the file system (see SystemPath.h).
class PosixPlatform : public Common::Platform {
public:
    PosixPlatform();
    explicit PosixPlatform(std::string registryPath);

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

    // Who answers whether a window is minimised: on this platform the
    // windows are the simulated host's.
    void setWindows(std::function<bool(std::int32_t window)> isMinimized) { isMinimized_ = std::move(isMinimized); }

    // The folder that holds the named mutexes' lock files.
    static std::string lockFolder();

private:
    RegistryFile registry_;
    std::function<bool(std::int32_t)> isMinimized_;
};

// The arguments after the program name as the user typed them: decoded in
// the character set of the user's locale (LC_CTYPE from the environment), so
// that a Japanese file name typed under a Shift-JIS locale stays itself and
// is opened as the bytes typed. An argument that is not text in that set
// (a name typed in another one) is not guessed at: no arguments, and
// `problem` names it; the program then ends as on any usage error.
struct LocaleArguments {
    std::vector<std::wstring> arguments;
    std::string problem;  // empty when every argument decoded
};
LocaleArguments localeArguments(int argc, char** argv);

}  // namespace Platform
