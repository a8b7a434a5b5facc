// CDX2DM for Windows: started by the host with its window handle, binds the
// running host through COM and builds a CEDXM file's plan in its empty
// drawing.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "importer/app/CCDX2DMApp.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/com/ComHostConnection.h"
#include "platform/windows/dialogs/ImportDialogs.h"

namespace {

class ComConnector : public Importer::HostConnector {
public:
    explicit ComConnector(WinCom::ComHostConnection& host) : host_(host) {}

    Common::RunningObjectTable* connect(const Importer::ImportCommandLine& commandLine) override
    {
        std::wstring simulated;
        if (!commandLine.hostPlan.empty()) {
            simulated = L"--host";
        }
        if (!commandLine.trace.empty()) {
            simulated += simulated.empty() ? L"--trace" : L" and --trace";
        }
        return host_.connect(simulated);
    }

    // What was built stays in the host's drawing; saving it is the user's
    // choice there.
    bool keepImport(std::wstring&) override { return true; }

private:
    WinCom::ComHostConnection& host_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::vector<std::wstring> arguments;
    int count = 0;
    if (wchar_t** split = CommandLineToArgvW(GetCommandLineW(), &count)) {
        arguments.assign(split + (count > 0 ? 1 : 0), split + count);
        LocalFree(split);
    }
    // Declared first, so that COM is uninitialised only after the run has
    // released every host reference.
    WinCom::ComHostConnection host;
    Platform::WindowsPlatform platform;
    ComConnector connector(host);
    // Shown when the host starts the program with its window handle alone.
    Platform::WindowsOpenDialogs dialogs(platform);
    Importer::CCDX2DMApp app(platform, connector, &dialogs);
    return app.initInstance(arguments);
}
