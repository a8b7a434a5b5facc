// CDX2DM for Windows: started by the host with its window handle, binds the
// running host through COM and builds a CEDXM file's plan in its empty
// drawing.

#include <windows.h>

#include <string>
#include <vector>

#include "importer/app/ImportCommandLineDialogs.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/com/ComHostConnection.h"
#include "platform/windows/dialogs/ImportDialogs.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::vector<std::wstring> arguments = Platform::windowsArguments();
    // Declared first, so that COM is uninitialised only after the run has
    // released every host reference.
    WinCom::ComHostConnection host;
    Platform::WindowsPlatform platform;
    // Shown when the host starts the program with its window handle alone.
    Platform::WindowsOpenDialogs dialogs(platform);
    return Importer::runCdx2dm(platform, arguments, host, &dialogs);
}
