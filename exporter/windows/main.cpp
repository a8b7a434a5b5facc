// DM2CDX for Windows: started by the host with its window handle, binds the
// running host through COM and exports its open plan to a CEDXM file.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "exporter/app/CommandLine.h"
#include "exporter/app/CommandLineDialogs.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/com/ComHostConnection.h"
#include "platform/windows/dialogs/ExportDialogs.h"

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
    // Shown when the host starts the program with its window handle alone.
    Platform::WindowsSaveDialogs dialogs(platform, Exporter::hostWindowFromArguments(arguments));
    return Exporter::runDm2cdx(platform, arguments, [&](const Exporter::ExportCommandLine& commandLine) {
        std::wstring simulated;
        if (commandLine.hostPlan) {
            simulated = L"--host";
        }
        if (commandLine.trace) {
            simulated += simulated.empty() ? L"--trace" : L" and --trace";
        }
        return host.connect(simulated);
    }, &dialogs);
}
