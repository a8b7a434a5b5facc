#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/app/ProgramRun.h"
#include "hostsim/HostSession.h"

namespace HostSim {

// Binds a program to the simulated host over the plan file named by --host:
// the plan is loaded when the run binds the host, the calls are journalled
// to the --trace file, and an import's plan is saved when the run keeps it.
// Without --host no host is running.
class SimulatedHostConnector : public Common::HostConnector {
public:
    // `importing`: a missing plan file is a new, empty plan, and keepImport()
    // saves it. `onOpen` is told of the session once it is loaded (the
    // platform asks it whether its window is minimised).
    explicit SimulatedHostConnector(bool importing, std::function<void(HostSession&)> onOpen = {})
        : importing_(importing), onOpen_(std::move(onOpen))
    {
    }

    Common::RunningObjectTable* connect(const Common::ProgramOptions& options) override;
    bool keepImport(std::wstring& error) override;
    bool simulatesHost() const override { return true; }
    std::wstring noHostAdvice(const std::wstring& program) const override
    {
        return L"start " + program + L" from the host, or give the plan with --host PLAN.json";
    }

private:
    bool importing_;
    std::function<void(HostSession&)> onOpen_;
    std::unique_ptr<HostSession> session_;
};

}  // namespace HostSim
