#pragma once

// Starts a converter as the host does and serves the host's objects until
// it ends.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace RavimoSim {

struct ProgramRun {
    std::wstring program;
    std::vector<std::wstring> arguments;  // "{window}" stands for `window`
    std::int32_t window = 0;
    // Where the texts of the program's message boxes are appended (UTF-8,
    // one line each: caption, a tab, the text with line ends as "\n"); ""
    // for nowhere. Each message box (not the program's other dialogs) is
    // closed with OK once read, as a user would.
    std::wstring messagesPath;
    // Called between messages while the program runs.
    std::function<void()> idle;
};

// The arguments with every "{window}" replaced by the window handle.
std::vector<std::wstring> withWindow(const std::vector<std::wstring>& arguments, std::int32_t window);

// One argument quoted so that the platform's command-line splitting
// (CommandLineToArgvW) gives it back unchanged.
std::wstring quoteArgument(const std::wstring& argument);

// Calls `create` (one attempt to start a process; false with the error in
// GetLastError) until it succeeds, at most `attempts` times while it fails
// with ERROR_INTERNAL_ERROR. Wine now and then loses a new process while its
// loader is still setting it up and reports just that: none of the program
// has run, so starting it again is safe. Any other failure stands at once.
// `retried` hears of each further attempt. True once started.
bool startProcess(const std::function<bool()>& create, int attempts, const std::function<void()>& retried);

// Runs the program in its own process with the same standard handles,
// pumping this thread's messages (so that calls into this single-threaded
// apartment are served) until it ends; its exit status. Throws
// std::runtime_error when the program cannot be started.
unsigned long runProgram(const ProgramRun& run);

}  // namespace RavimoSim
