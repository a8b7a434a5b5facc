#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/app/ProgramRun.h"
#include "common/platform/Platform.h"
#include "importer/app/CCDX2DMApp.h"
#include "importer/app/ImportCommandLine.h"

namespace Importer {

// Drives the open dialog and its detailed settings from the command line the
// way a user's clicks would: the read-me button, then the settings dialog
// (restore defaults first, then the radio buttons, the table path and the
// origin check boxes, then OK), then the chosen file and OK.
class ImportCommandLineDialogs : public OpenDialogFrontEnd {
public:
    ImportCommandLineDialogs(Common::Platform& platform, ImportCommandLine commandLine);
    Common::DialogAnswer showOpenDialog(CDXLoadDialog& dialog, std::int32_t hostWindow,
                                        std::wstring& failure) override;

private:
    Common::Platform& platform_;
    ImportCommandLine commandLine_;
};

// The whole program behind main(): help and usage, then the run. Where the
// platform has dialogs a user answers (`userDialogs`), a start with nothing
// but the host's window handle, as the host starts the program, shows them;
// any option makes the command line stand in for them.
int runCdx2dm(Common::Platform& platform, const std::vector<std::wstring>& arguments,
              Common::HostConnector& connector, OpenDialogFrontEnd* userDialogs = nullptr);

}  // namespace Importer
