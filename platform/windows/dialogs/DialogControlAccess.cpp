#include "platform/windows/dialogs/DialogControlAccess.h"

#include <cstdint>
#include <vector>

#include "platform/windows/dialogs/FileDialog.h"

namespace Platform {

bool isChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void setChecked(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::wstring controlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(control, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void setControlText(HWND dialog, int id, const std::wstring& text)
{
    SetDlgItemTextW(dialog, id, text.c_str());
}

void enableControl(HWND dialog, int id, bool enabled)
{
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

std::optional<std::wstring> browseForTable(HWND settingsDialog, const std::wstring& filter,
                                           Common::Platform& platform)
{
    FileDialogRequest request;
    request.save = false;
    request.filter = filter;
    request.overwritePrompt = true;  // as the dialog is asked for; an open dialog overwrites nothing
    request.folder = platform.documentsFolder(
        static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(settingsDialog)));
    std::wstring error;
    std::optional<std::wstring> chosen = showFileDialog(request, settingsDialog, error);
    if (!chosen && !error.empty()) {
        platform.reportError(L"The file dialog for the correspondence table could not be shown: " + error + L".");
    }
    return chosen;
}

INT_PTR runSettingsDialog(int templateId, HWND owner, DLGPROC proc, void* context)
{
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, proc,
                           reinterpret_cast<LPARAM>(context));
}

}  // namespace Platform
