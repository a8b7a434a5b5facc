#pragma once

#include "common/platform/Platform.h"
#include "exporter/app/CDM2CDXApp.h"
#include "exporter/app/CommandLine.h"

namespace Exporter {

// Drives the save dialog and the settings dialog from the command line the
// way a user's clicks would: the read-me button, then the settings dialog
// (restore defaults first, then the radio buttons, the browse result and the
// check box, then OK), then the chosen file and OK.
class CommandLineDialogs : public SaveDialogFrontEnd {
public:
    CommandLineDialogs(Common::Platform& platform, ExportCommandLine commandLine);
    Common::DialogAnswer showSaveDialog(CDXSaveDialog& dialog, int screenScale, std::wstring& failure) override;

    // The settings dialog's client area in pixels at a screen scale, from its
    // template size in dialog units ("MS Shell Dlg" 8: 6 x 13 base units at
    // 96 pixels per inch).
    static DialogRect settingsClientArea(int screenScale);

private:
    Common::Platform& platform_;
    ExportCommandLine commandLine_;
};

// The whole program behind main(): help and usage, then the run. Where the
// platform has dialogs a user answers (`userDialogs`), a start with nothing
// but the host's window handle, as the host starts the program, shows them;
// any option makes the command line stand in for them.
int runDm2cdx(Common::Platform& platform, const std::vector<std::wstring>& arguments,
              Common::HostConnector& connector, SaveDialogFrontEnd* userDialogs = nullptr);

}  // namespace Exporter
