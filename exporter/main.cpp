// DM2CDX: exports the plan open in the host to a CEDXM file.

#include <memory>
#include <string>
#include <vector>

#include "common/text/Encoding.h"
#include "exporter/app/CommandLineDialogs.h"
#include "hostsim/HostSession.h"
#include "platform/posix/PosixPlatform.h"

int main(int argc, char** argv)
{
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(Common::fromUtf8(argv[i]));
    }
    Platform::PosixPlatform platform;

    // The simulated host stands for the running host application; its plan
    // is loaded only when the run binds the host.
    std::unique_ptr<HostSim::HostSession> session;
    auto connect = [&](const Exporter::ExportCommandLine& commandLine) -> Common::RunningObjectTable* {
        if (!commandLine.hostPlan) {
            return nullptr;
        }
        session = HostSim::HostSession::open(Common::toUtf8(*commandLine.hostPlan), false);
        if (commandLine.trace) {
            session->setTrace(Common::toUtf8(*commandLine.trace));
        }
        return &session->runningObjectTable();
    };
    return Exporter::runDm2cdx(platform, arguments, connect);
}
