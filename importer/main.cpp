// CDX2DM: reads a CEDXM file into the empty plan of the host it is started
// from. On this platform the host is the simulated one, holding its plan in
// the JSON file named by --host.

#include "importer/app/ImportCommandLineDialogs.h"
#include "hostsim/SimulatedHostConnector.h"
#include "platform/posix/PosixPlatform.h"

int main(int argc, char** argv)
{
    Platform::PosixPlatform platform;
    // The host's document window is the one whose state the run asks.
    HostSim::SimulatedHostConnector connector(true, [&platform](HostSim::HostSession& session) {
        platform.setWindows([&session](std::int32_t window) { return session.isWindowMinimized(window); });
    });
    return Importer::runCdx2dm(platform, Platform::localeArguments(argc, argv), connector);
}
