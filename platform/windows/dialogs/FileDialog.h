#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Platform {

// One line of a file type filter: what the user reads, and the patterns.
using FileType = std::pair<std::wstring, std::wstring>;

// A filter in the framework's form, "name|patterns|name|patterns||", as its
// lines. Like the platform's own filter lists (which end at two zeros), the
// list ends at the first empty part; a name left without patterns is
// dropped.
std::vector<FileType> parseFileFilter(const std::wstring& filter);

// The platform's file dialog (the customisable one), as the programs ask for
// it: save or open, the filter, a default extension ("" for none), the
// folder it opens in ("" to let the platform choose), and push buttons
// added below the file name.
struct FileDialogRequest {
    struct PushButton {
        DWORD id;
        std::wstring text;
    };

    bool save = false;
    std::wstring filter;
    std::wstring defaultExtension;
    std::wstring folder;
    bool overwritePrompt = false;
    std::vector<PushButton> buttons;
    DWORD prominentButton = 0;  // 0: none
    // Called on a click of an added button with the dialog's own window
    // (owner of whatever the click opens) and the button's id.
    std::function<void(HWND dialogWindow, DWORD buttonId)> onButton;
};

// Shows the dialog modally over `owner` (may be null). The chosen file's
// full path, or nothing when the user cancelled. A dialog the platform
// cannot create is reported by `error` (with the failing step) and gives
// nothing as well.
std::optional<std::wstring> showFileDialog(const FileDialogRequest& request, HWND owner, std::wstring& error);

// `window` when it names a window of this session, else null: the host's
// handle may be stale or, with a simulated host, no window at all.
HWND windowOrNull(std::int32_t window);

}  // namespace Platform
