// The plan file from random bytes: loaded by the simulated host; a plan that
// loads is saved and must load again.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "hostsim/HostSession.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Fuzz::writeScratch("plan.json", data, size);
    std::unique_ptr<HostSim::HostSession> session;
    try {
        session = HostSim::HostSession::open(path, false);
    } catch (const HostSim::PlanError&) {
        return 0;
    }
    session->save();
    session.reset();
    (void)HostSim::HostSession::open(path, false);  // PlanError here escapes: what was saved must load
    return 0;
}
