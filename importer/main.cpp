// CDX2DM: reads a CEDXM file into the empty plan of the host it is started
// from. On this platform the host is the simulated one, holding its plan in
// the JSON file named by --host.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/text/Encoding.h"
#include "hostsim/HostSession.h"
#include "importer/app/CCDX2DMApp.h"
#include "platform/posix/PosixPlatform.h"

namespace {

class SimulatedHostConnector : public Importer::HostConnector {
public:
    explicit SimulatedHostConnector(Platform::PosixPlatform& platform) : platform_(platform) {}

    Common::RunningObjectTable* connect(const Importer::ImportCommandLine& commandLine) override
    {
        if (commandLine.hostPlan.empty()) {
            return nullptr;
        }
        session_ = HostSim::HostSession::open(Common::toUtf8(commandLine.hostPlan), true);
        if (!commandLine.trace.empty()) {
            session_->setTrace(Common::toUtf8(commandLine.trace));
        }
        // The host's document window is the one whose state the run asks.
        platform_.setWindows([session = session_.get()](std::int32_t window) { return session->isWindowMinimized(window); });
        return &session_->runningObjectTable();
    }

    bool keepImport(std::wstring& error) override
    {
        if (!session_) {
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

private:
    Platform::PosixPlatform& platform_;
    std::unique_ptr<HostSim::HostSession> session_;
};

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(Common::fromUtf8(argv[i]));
    }
    Platform::PosixPlatform platform;
    SimulatedHostConnector connector(platform);
    Importer::CCDX2DMApp app(platform, connector);
    const int status = app.initInstance(arguments);
    std::fflush(stdout);
    return status;
}
