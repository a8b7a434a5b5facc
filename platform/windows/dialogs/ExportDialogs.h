#pragma once

#include <windows.h>

#include <cstdint>

#include "common/platform/Platform.h"
#include "exporter/app/CDM2CDXApp.h"
#include "exporter/dialogs/CDXSaveSettingDialog.h"

namespace Platform {

// The export settings dialog (template 131 of the program's resources) over
// `owner`, acting on `settings`: its controls show the model, and every
// click is handed to the model and its state shown again. Ends with the
// model's OK or cancel. False when the template could not be shown.
bool runExportSettingsDialog(Exporter::CDXSaveSettingDialog& settings, int screenScale, HWND owner,
                             Common::Platform& platform);

// The save dialog as the user sees it on Windows: the platform's save
// dialog with the buttons "お読みください" (the read-me, opened by the
// shell over the dialog) and "詳細設定" (the settings dialog above).
class WindowsSaveDialogs : public Exporter::SaveDialogFrontEnd {
public:
    WindowsSaveDialogs(Common::Platform& platform, std::int32_t hostWindow);
    Common::DialogAnswer showSaveDialog(Exporter::CDXSaveDialog& dialog, int screenScale,
                                        std::wstring& failure) override;

private:
    Common::Platform& platform_;
    std::int32_t hostWindow_;
};

}  // namespace Platform
