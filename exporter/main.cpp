// DM2CDX: exports the plan open in the host to a CEDXM file. On this
// platform the host is the simulated one, holding its plan in the JSON file
// named by --host.

#include "common/app/ProgramArguments.h"
#include "common/text/Encoding.h"
#include "exporter/app/CommandLineDialogs.h"
#include "hostsim/SimulatedHostConnector.h"
#include "platform/posix/PosixPlatform.h"

int main(int argc, char** argv)
{
    // The arguments first: they set the locale that the settings file's
    // path is read in.
    const Platform::LocaleArguments arguments = Platform::localeArguments(argc, argv);
    Platform::PosixPlatform platform;
    if (!arguments.problem.empty()) {
        platform.reportError(L"DM2CDX: " + Common::fromUtf8(arguments.problem));
        return 2;
    }
    HostSim::SimulatedHostConnector connector(false);
    return Exporter::runDm2cdx(platform, arguments.arguments, connector);
}
