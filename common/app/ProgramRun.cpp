#include "common/app/ProgramRun.h"

#include <algorithm>
#include <iostream>
#include <new>
#include <stdexcept>

#include "common/host/AutomationObject.h"
#include "common/text/Encoding.h"

namespace Common {

bool startedWithWindowHandleOnly(const std::vector<std::wstring>& arguments)
{
    return arguments.size() <= 1 && (arguments.empty() || arguments[0].rfind(L"--", 0) != 0);
}

bool answerHelp(const std::vector<std::wstring>& arguments, const std::wstring& helpText)
{
    if (std::find(arguments.begin(), arguments.end(), L"--help") == arguments.end()) {
        return false;
    }
    std::cout << toUtf8(helpText) << std::flush;
    return true;
}

int runSingleInstance(Platform& platform, const RunWords& words, const std::function<int()>& body,
                      const std::function<void()>& releaseHost)
{
    // Held for the whole run, so that a second start ends at once. A lock
    // that cannot be made is a failure, not another run.
    std::unique_ptr<NamedMutex> mutex;
    try {
        mutex = platform.createNamedMutex(words.mutexName);
    } catch (const std::runtime_error& e) {
        platform.reportError(words.program + fromUtf8(e.what()) + L"; " + words.nothingDone);
        return kRunFailed;
    }
    if (!mutex) {
        platform.reportError(words.program + words.anotherRunning);
        return kRunAnotherInstance;
    }
    std::wstring failure;
    try {
        return body();
    } catch (const HostError& e) {
        failure = L"host operation " + std::to_wstring(e.dispatchNumber()) + L" failed: " + fromUtf8(e.what());
    } catch (const std::bad_alloc&) {
        failure = L"out of memory";
    } catch (const std::exception& e) {
        failure = fromUtf8(e.what());
    }
    releaseHost();
    platform.reportError(words.program + failure + L". " + words.stopped);
    return kRunFailed;
}

}  // namespace Common
