#include "platform/windows/com/ComHostConnection.h"

#include <stdexcept>

#include "platform/windows/com/ComError.h"

namespace WinCom {

Common::RunningObjectTable* ComHostConnection::connect(const Common::ProgramOptions& options)
{
    std::wstring simulatedHostOptions;
    if (options.hostPlan) {
        simulatedHostOptions = L"--host";
    }
    if (options.trace) {
        simulatedHostOptions += simulatedHostOptions.empty() ? L"--trace" : L" and --trace";
    }
    if (!simulatedHostOptions.empty()) {
        throw std::runtime_error(narrow(simulatedHostOptions) +
                                 ": options of the simulated host of the Linux build; on Windows the program "
                                 "binds the running host that started it");
    }
    if (!apartment_.ok()) {
        throw std::runtime_error(apartment_.failure());
    }
    return &table_;
}

}  // namespace WinCom
