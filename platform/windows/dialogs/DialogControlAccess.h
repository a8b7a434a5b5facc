#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/platform/Platform.h"

namespace Platform {

// Small helpers both settings dialogs use on their controls.
bool isChecked(HWND dialog, int id);
void setChecked(HWND dialog, int id, bool checked);
std::wstring controlText(HWND dialog, int id);
void setControlText(HWND dialog, int id, const std::wstring& text);
void enableControl(HWND dialog, int id, bool enabled);

// The browse button of both settings dialogs: the open dialog for the
// correspondence table, with its own filter and no default extension,
// opening in the user's documents folder (it remembers no folder of its
// own). The chosen full path, or nothing when cancelled.
std::optional<std::wstring> browseForTable(HWND settingsDialog, const std::wstring& filter,
                                           Common::Platform& platform);

// Runs a settings dialog from the program's own resources, modally over
// `owner`. `proc` receives `context` as the WM_INITDIALOG parameter.
// IDOK, IDCANCEL, or -1 when the template could not be loaded.
INT_PTR runSettingsDialog(int templateId, HWND owner, DLGPROC proc, void* context);

}  // namespace Platform
