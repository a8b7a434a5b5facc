#include "platform/windows/dialogs/ImportDialogs.h"

#include <shellapi.h>

#include "platform/windows/dialogs/DialogControlAccess.h"
#include "platform/windows/dialogs/FileDialog.h"

// The control ids are plain names shared with the resource script.
using namespace Importer;

namespace Platform {

namespace {

constexpr const wchar_t* kTableFilter = L"CSVファイル (*.csv)|*.csv|全てのファイル (*.*)|*.*||";

struct ImportSettingsContext {
    CDXLoadSettingDialog& settings;
    Common::Platform& platform;
};

void showModel(HWND dialog, const CDXLoadSettingDialog& settings)
{
    const CDXLoadSettingDialog::Controls& controls = settings.controls();
    for (int i = 0; i < 3; ++i) {
        setChecked(dialog, IDC_OPENING_FRAMES + i, controls.openingRadio == i);
    }
    for (int i = 0; i < 2; ++i) {
        setChecked(dialog, IDC_ROOF_MANUAL + i, controls.roofRadio == i);
    }
    setChecked(dialog, IDC_ORIGIN_LOWER_LEFT, controls.lowerLeftChecked);
    setChecked(dialog, IDC_ORIGIN_CENTRE, controls.centreChecked);
    ShowWindow(GetDlgItem(dialog, IDC_ORIGIN_CENTRE), controls.centreVisible ? SW_SHOW : SW_HIDE);
    if (controlText(dialog, IDC_TABLE_PATH) != controls.tablePath) {
        setControlText(dialog, IDC_TABLE_PATH, controls.tablePath);
    }
    enableControl(dialog, IDC_TABLE_PATH, controls.tablePathEnabled);
    enableControl(dialog, IDC_BROWSE_TABLE, controls.browseEnabled);
}

// What the user typed into the path box, into the model; everything else
// reaches it through the clicks.
void takeTypedPath(HWND dialog, CDXLoadSettingDialog& settings)
{
    settings.typeTablePath(controlText(dialog, IDC_TABLE_PATH));
}

INT_PTR CALLBACK importSettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        showModel(dialog, reinterpret_cast<ImportSettingsContext*>(lParam)->settings);
        return TRUE;
    }
    auto* context = reinterpret_cast<ImportSettingsContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message != WM_COMMAND || context == nullptr || HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
    }
    CDXLoadSettingDialog& settings = context->settings;
    const int id = LOWORD(wParam);
    switch (id) {
    case IDC_OPENING_FRAMES:
    case IDC_OPENING_NONE:
    case IDC_OPENING_TABLE:
        takeTypedPath(dialog, settings);
        settings.clickOpeningRadio(id);
        break;
    case IDC_ROOF_MANUAL:
    case IDC_ROOF_NONE:
        takeTypedPath(dialog, settings);
        settings.clickRoofRadio(id);
        break;
    case IDC_ORIGIN_LOWER_LEFT:
    case IDC_ORIGIN_CENTRE:
        takeTypedPath(dialog, settings);
        settings.clickOriginCheckBox(id);
        break;
    case IDC_BROWSE_TABLE:
        takeTypedPath(dialog, settings);
        if (const auto chosen = browseForTable(dialog, kTableFilter, context->platform)) {
            settings.updateData(true);
            settings.browseChosen(*chosen);
        }
        break;
    case IDC_RESTORE_DEFAULTS:
        takeTypedPath(dialog, settings);
        settings.restoreDefaults();
        break;
    case IDOK:
        takeTypedPath(dialog, settings);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
    showModel(dialog, settings);
    return TRUE;
}

}  // namespace

bool runImportSettingsDialog(CDXLoadSettingDialog& settings, HWND owner, Common::Platform& platform)
{
    ImportSettingsContext context{settings, platform};
    const INT_PTR result = runSettingsDialog(IDD_CDXLOADSETTING, owner, importSettingsProc, &context);
    if (result == -1) {
        platform.reportError(L"The import settings dialog could not be shown.");
    }
    return result == IDOK;
}

Common::DialogAnswer showWindowsLoadDialog(CDXLoadDialog& dialog, std::int32_t hostWindow,
                                           Common::Platform& platform, std::wstring& failure)
{
    FileDialogRequest request;
    request.save = false;
    request.filter = CDXLoadDialog::kFilter;
    request.defaultExtension = CDXLoadDialog::kDefaultExtension;
    request.folder = platform.isDirectory(dialog.folder) ? dialog.folder : dialog.initialDirectory;
    request.overwritePrompt = true;
    request.buttons = {{CDXLoadDialog::kReadmeButton, CDXLoadDialog::kReadmeButtonText},
                       {CDXLoadDialog::kSettingsButton, CDXLoadDialog::kSettingsButtonText}};
    request.prominentButton = CDXLoadDialog::kSettingsButton;
    request.onButton = [&](HWND fileDialog, DWORD id) {
        if (id == CDXLoadDialog::kReadmeButton) {
            ShellExecuteW(fileDialog, L"open", dialog.readmePath().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        } else if (id == CDXLoadDialog::kSettingsButton) {
            dialog.clickSettings([&](CDXLoadSettingDialog& settings) {
                return runImportSettingsDialog(settings, fileDialog, platform);
            });
        }
    };
    const std::optional<std::wstring> chosen = showFileDialog(request, windowOrNull(hostWindow), failure);
    if (!chosen) {
        // The run tells the user why a dialog could not be shown.
        return failure.empty() ? Common::DialogAnswer::Cancelled : Common::DialogAnswer::Failed;
    }
    dialog.chooseFile(*chosen);
    return Common::DialogAnswer::Chosen;
}

}  // namespace Platform
