#include "hostsim/SimulatedHostConnector.h"

#include <exception>

#include "common/text/Encoding.h"

namespace HostSim {

Common::RunningObjectTable* SimulatedHostConnector::connect(const Common::ProgramOptions& options)
{
    if (!options.hostPlan) {
        return nullptr;
    }
    session_ = HostSession::open(Common::toUtf8(*options.hostPlan), importing_);
    if (options.trace) {
        session_->setTrace(Common::toUtf8(*options.trace));
    }
    if (onOpen_) {
        onOpen_(*session_);
    }
    return &session_->runningObjectTable();
}

bool SimulatedHostConnector::keepImport(std::wstring& error)
{
    if (!importing_ || !session_) {
        return true;
    }
    try {
        session_->save();
        return true;
    } catch (const std::exception& e) {
        error = Common::fromUtf8(e.what());
        return false;
    }
}

}  // namespace HostSim
