#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/host/Binding.h"
#include "common/platform/Platform.h"

// The shape both programs run in: one run at a time, the host bound through
// a connector, the user's choices taken from a dialog front-end, every
// failure told to the user and ended with a status.

namespace Common {

// Exit statuses of both programs.
enum RunStatus : int {
    kRunDone = 0,             // done, or nothing to do (cancelled)
    kRunFailed = 1,           // no host, host error, unreadable or unwritable file
    kRunUsage = 2,            // the command line cannot be understood
    kRunAnotherInstance = 3,  // another run of the same program holds the lock
    kRunRefused = 4,          // the import refused a drawing that is not empty
};

// What both programs' command lines say alike: the host's window handle
// first, as the host passes it, and the options that are not choices of the
// dialogs.
struct ProgramOptions {
    std::int32_t hostWindow = 0;
    std::optional<std::wstring> hostPlan;  // --host: the simulated host's plan
    std::optional<std::wstring> trace;     // --trace: the simulated host's call journal
    std::optional<std::wstring> report;    // --report
    bool help = false;
    bool readme = false;
};

// How a program reaches the host it is started from.
class HostConnector {
public:
    virtual ~HostConnector() = default;
    // The running object table the host is registered in; null when no host
    // runs. May throw (a plan file that cannot be loaded): the run then ends
    // with that message.
    virtual RunningObjectTable* connect(const ProgramOptions& options) = 0;
    // Keeps what an import built (the simulated host saves its plan; the
    // real host keeps its drawing). False with `error` set when that failed.
    virtual bool keepImport(std::wstring& error)
    {
        (void)error;
        return true;
    }
    // Whether the host is the simulated one of the plan files, whose options
    // (--host, --trace) the programs then take and their --help lists.
    virtual bool simulatesHost() const { return false; }
    // What the user can do when no host was found, for `program`.
    virtual std::wstring noHostAdvice(const std::wstring& program) const { return L"start " + program + L" from the host"; }
};

// How a dialog shown to the user ended.
enum class DialogAnswer {
    Chosen,     // a file was chosen and OK pressed
    Cancelled,  // the user closed the dialog: nothing is done, nothing shown
    Failed,     // the dialog could not be shown; the reason comes with it
    NotAllowed, // the choices handed to it (a command line standing in for
                // the user) are ones the dialog does not allow; the reason
                // comes with it, and the run ends as for a usage error
};

// Whether the program was started as the host starts it, with nothing but
// its window handle: the user then chooses in the dialogs.
bool startedWithWindowHandleOnly(const std::vector<std::wstring>& arguments);

// Whether the command line asks for help: then `helpText` is written to
// standard output, whatever else the command line holds, and the program
// ends with status 0 without touching anything, not even its lock.
bool answerHelp(const std::vector<std::wstring>& arguments, const std::wstring& helpText);

// The words one program tells its failures in.
struct RunWords {
    std::wstring program;         // "DM2CDX: " begins every message
    std::wstring mutexName;       // the single-instance lock
    std::wstring anotherRunning;  // why a second start ends at once
    std::wstring nothingDone;     // after a lock that cannot be made
    std::wstring stopped;         // after a failure during the run
};

// The run skeleton: takes the single-instance lock and holds it while
// `body` runs; a lock that cannot be made ends the run with status 1, a
// lock held by another run with status 3; a host error, exhausted memory or
// any other failure inside `body` is told with the program's words, the host
// released through `releaseHost`, and ends with status 1.
int runSingleInstance(Platform& platform, const RunWords& words, const std::function<int()>& body,
                      const std::function<void()>& releaseHost);

}  // namespace Common
