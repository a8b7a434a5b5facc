// CDX2DM: reads a CEDXM file into the empty plan of the host it is started
// from. On this platform the host is the simulated one, holding its plan in
// the JSON file named by --host.

#include "common/text/Encoding.h"
#include "importer/app/ImportCommandLineDialogs.h"
#include "hostsim/SimulatedHostConnector.h"
#include "platform/posix/PosixPlatform.h"

int main(int argc, char** argv)
{
    // The arguments first: they set the locale that the settings file's
    // path is read in.
    const Platform::LocaleArguments arguments = Platform::localeArguments(argc, argv);
    Platform::PosixPlatform platform;
    if (!arguments.problem.empty()) {
        platform.reportError(L"CDX2DM: " + Common::fromUtf8(arguments.problem));
        return 2;
    }
    // The host's document window is the one whose state the run asks.
    HostSim::SimulatedHostConnector connector(true, [&platform](HostSim::HostSession& session) {
        platform.setWindows([&session](std::int32_t window) { return session.isWindowMinimized(window); });
    });
    return Importer::runCdx2dm(platform, arguments.arguments, connector);
}
