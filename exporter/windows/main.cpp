// DM2CDX for Windows: started by the host with its window handle, binds the
// running host through COM and exports its open plan to a CEDXM file.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/app/ProgramArguments.h"
#include "exporter/app/CommandLineDialogs.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/com/ComHostConnection.h"
#include "platform/windows/dialogs/ExportDialogs.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::vector<std::wstring> arguments = Platform::windowsArguments();
    // Declared first, so that COM is uninitialised only after the run has
    // released every host reference.
    WinCom::ComHostConnection host;
    Platform::WindowsPlatform platform;
    // Shown when the host starts the program with its window handle alone.
    Platform::WindowsSaveDialogs dialogs(platform, Common::hostWindowFromArguments(arguments));
    return Exporter::runDm2cdx(platform, arguments, host, &dialogs);
}
