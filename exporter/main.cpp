// DM2CDX: exports the plan open in the host to a CEDXM file. On this
// platform the host is the simulated one, holding its plan in the JSON file
// named by --host.

#include "common/app/ProgramArguments.h"
#include "exporter/app/CommandLineDialogs.h"
#include "hostsim/SimulatedHostConnector.h"
#include "platform/posix/PosixPlatform.h"

int main(int argc, char** argv)
{
    Platform::PosixPlatform platform;
    HostSim::SimulatedHostConnector connector(false);
    return Exporter::runDm2cdx(platform, Platform::localeArguments(argc, argv), connector);
}
