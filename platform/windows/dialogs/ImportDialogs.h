#pragma once

#include <windows.h>

#include <cstdint>

#include "common/platform/Platform.h"
#include "importer/app/CCDX2DMApp.h"
#include "importer/dialogs/CDXLoadDialog.h"
#include "importer/dialogs/CDXLoadSettingDialog.h"

namespace Platform {

// The import settings dialog (template 130 of the program's resources) over
// `owner`, acting on `settings` (already initialised by its caller): the
// controls show the model and every click is handed to it. True when the
// user pressed OK, with the controls read into the model's controls.
bool runImportSettingsDialog(Importer::CDXLoadSettingDialog& settings, HWND owner, Common::Platform& platform);

// The open dialog as the user sees it on Windows: the platform's open
// dialog with the buttons "お読みください" and "詳細設定". Chosen with the
// chosen file handed to `dialog`, Cancelled, or Failed with `failure` set
// when the dialog could not be shown.
Common::DialogAnswer showWindowsLoadDialog(Importer::CDXLoadDialog& dialog, std::int32_t hostWindow,
                                           Common::Platform& platform, std::wstring& failure);

// The same, as the importer's run asks for it.
class WindowsOpenDialogs : public Importer::OpenDialogFrontEnd {
public:
    explicit WindowsOpenDialogs(Common::Platform& platform) : platform_(platform) {}
    Common::DialogAnswer showOpenDialog(Importer::CDXLoadDialog& dialog, std::int32_t hostWindow,
                                        std::wstring& failure) override
    {
        return showWindowsLoadDialog(dialog, hostWindow, platform_, failure);
    }

private:
    Common::Platform& platform_;
};

}  // namespace Platform
