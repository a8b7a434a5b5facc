#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/platform/Registry.h"

namespace Common {

// A held single-instance lock; released when destroyed.
class NamedMutex {
public:
    virtual ~NamedMutex() = default;
};

// What the operating system gives both programs. The conversion code sees the
// platform only through this interface, so tests run the whole flow on fakes.
class Platform {
public:
    virtual ~Platform() = default;

    // Takes the named mutex; null when another holder already has it.
    // std::runtime_error, with the reason, when it cannot be made at all.
    virtual std::unique_ptr<NamedMutex> createNamedMutex(const std::wstring& name) = 0;
    // Logical pixels per inch of the screen, or 0 when there is no screen.
    virtual int screenPixelsPerInch() = 0;
    // Sets the runtime locale to the user's default.
    virtual void setUserLocale() = 0;
    // Full path of the running program file.
    virtual std::wstring moduleFileName() = 0;
    virtual bool isDirectory(const std::wstring& path) = 0;
    // The user's documents folder ("" when none).
    virtual std::wstring documentsFolder(std::int32_t ownerWindow) = 0;
    // Opens a file with the shell's "open" verb; false when that failed.
    virtual bool shellOpen(const std::wstring& path) = 0;
    // A message box with an OK button; owner 0 means no owner window.
    virtual void messageBox(const std::wstring& text, const std::wstring& caption, std::int32_t ownerWindow) = 0;
    // An error or warning for the user that has no message box of its own
    // (unwritable output, unreadable input, skipped records).
    virtual void reportError(const std::wstring& text) = 0;
    virtual bool isWindowMinimized(std::int32_t window) = 0;
    virtual Registry& registry() = 0;
};

}  // namespace Common
