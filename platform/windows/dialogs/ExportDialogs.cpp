#include "platform/windows/dialogs/ExportDialogs.h"

#include <shellapi.h>

#include "exporter/dialogs/CDXSaveDialog.h"
#include "platform/windows/dialogs/DialogControlAccess.h"
#include "platform/windows/dialogs/FileDialog.h"

namespace Platform {

namespace {

using Exporter::CDXSaveSettingDialog;

struct ExportSettingsContext {
    CDXSaveSettingDialog& settings;
    int screenScale;
    Common::Platform& platform;
};

// The model's control state onto the real controls.
void showModel(HWND dialog, const CDXSaveSettingDialog& settings)
{
    setChecked(dialog, CDXSaveSettingDialog::kRadioOpeningsOnly,
               settings.checkedRadio() == CDXSaveSettingDialog::kRadioOpeningsOnly);
    setChecked(dialog, CDXSaveSettingDialog::kRadioFittingTable,
               settings.checkedRadio() == CDXSaveSettingDialog::kRadioFittingTable);
    if (controlText(dialog, CDXSaveSettingDialog::kEditCsvPath) != settings.editText()) {
        setControlText(dialog, CDXSaveSettingDialog::kEditCsvPath, settings.editText());
    }
    setChecked(dialog, CDXSaveSettingDialog::kCheckOrigin, settings.checkState() != 0);
    enableControl(dialog, CDXSaveSettingDialog::kEditCsvPath, settings.csvControlsEnabled());
    enableControl(dialog, CDXSaveSettingDialog::kButtonBrowse, settings.csvControlsEnabled());
}

// What the user typed or ticked, into the model's controls; the radio
// buttons reach the model through their clicks.
void takeTypedValues(HWND dialog, CDXSaveSettingDialog& settings)
{
    settings.typeCsvPath(controlText(dialog, CDXSaveSettingDialog::kEditCsvPath));
    settings.setOriginCheck(isChecked(dialog, CDXSaveSettingDialog::kCheckOrigin));
}

void placeBottomButtons(HWND dialog, const CDXSaveSettingDialog& settings)
{
    for (int id : {CDXSaveSettingDialog::kButtonRestore, CDXSaveSettingDialog::kButtonOk,
                   CDXSaveSettingDialog::kButtonCancel}) {
        if (const auto place = settings.buttonPlacement(id)) {
            SetWindowPos(GetDlgItem(dialog, id), nullptr, place->x, place->y, place->width, place->height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

INT_PTR CALLBACK exportSettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* context = reinterpret_cast<ExportSettingsContext*>(lParam);
        RECT client{};
        GetClientRect(dialog, &client);
        context->settings.initDialog(
            context->screenScale,
            Exporter::DialogRect{client.left, client.top, client.right - client.left, client.bottom - client.top});
        showModel(dialog, context->settings);
        placeBottomButtons(dialog, context->settings);
        return TRUE;
    }
    auto* context = reinterpret_cast<ExportSettingsContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message != WM_COMMAND || context == nullptr || HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
    }
    CDXSaveSettingDialog& settings = context->settings;
    const int id = LOWORD(wParam);
    switch (id) {
    case CDXSaveSettingDialog::kRadioOpeningsOnly:
    case CDXSaveSettingDialog::kRadioFittingTable:
        takeTypedValues(dialog, settings);
        settings.clickRadio(id);
        showModel(dialog, settings);
        return TRUE;
    case CDXSaveSettingDialog::kButtonBrowse: {
        takeTypedValues(dialog, settings);
        const std::optional<std::wstring> chosen =
            browseForTable(dialog, CDXSaveSettingDialog::kBrowseFilter, context->platform);
        settings.clickBrowse(context->platform, chosen);
        showModel(dialog, settings);
        return TRUE;
    }
    case CDXSaveSettingDialog::kButtonRestore:
        takeTypedValues(dialog, settings);
        settings.clickRestoreDefaults();
        showModel(dialog, settings);
        return TRUE;
    case IDOK:
        takeTypedValues(dialog, settings);
        settings.clickOk();
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        settings.clickCancel();
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool runExportSettingsDialog(CDXSaveSettingDialog& settings, int screenScale, HWND owner, Common::Platform& platform)
{
    ExportSettingsContext context{settings, screenScale, platform};
    const INT_PTR result =
        runSettingsDialog(CDXSaveSettingDialog::kTemplateId, owner, exportSettingsProc, &context);
    if (result == -1) {
        platform.reportError(L"The export settings dialog could not be shown.");
        settings.clickCancel();
        return false;
    }
    return true;
}

WindowsSaveDialogs::WindowsSaveDialogs(Common::Platform& platform, std::int32_t hostWindow)
    : platform_(platform), hostWindow_(hostWindow)
{
}

Common::DialogAnswer WindowsSaveDialogs::showSaveDialog(Exporter::CDXSaveDialog& dialog, int screenScale,
                                                        std::wstring& failure)
{
    using Exporter::CDXSaveDialog;
    FileDialogRequest request;
    request.save = true;
    request.filter = CDXSaveDialog::kFilter;
    request.defaultExtension = CDXSaveDialog::kDefaultExtension;
    request.folder = dialog.folder();
    request.overwritePrompt = CDXSaveDialog::kOverwritePrompt;
    request.buttons = {{CDXSaveDialog::kReadMeButton, CDXSaveDialog::kReadMeButtonText},
                       {CDXSaveDialog::kSettingsButton, CDXSaveDialog::kSettingsButtonText}};
    request.prominentButton = CDXSaveDialog::kProminentButton;
    request.onButton = [&](HWND fileDialog, DWORD id) {
        if (id == CDXSaveDialog::kReadMeButton) {
            // A missing read-me shows nothing; the result is not looked at.
            ShellExecuteW(fileDialog, L"open", dialog.readMePath().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        } else if (id == CDXSaveDialog::kSettingsButton) {
            dialog.clickSettings([&](Exporter::CDXSaveSettingDialog& settings) {
                runExportSettingsDialog(settings, screenScale, fileDialog, platform_);
            });
        }
    };
    const std::optional<std::wstring> chosen = showFileDialog(request, windowOrNull(hostWindow_), failure);
    if (!chosen) {
        // The run tells the user why a dialog could not be shown.
        return failure.empty() ? Common::DialogAnswer::Cancelled : Common::DialogAnswer::Failed;
    }
    dialog.chooseFile(*chosen);
    return Common::DialogAnswer::Chosen;
}

}  // namespace Platform
