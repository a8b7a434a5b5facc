#pragma once

#include <functional>
#include <string>

#include "common/platform/Platform.h"
#include "common/settings/Options.h"
#include "importer/dialogs/CDXLoadSettingDialog.h"

namespace Importer {

// The open dialog for the CEDXM file, with the buttons "お読みください"
// (opens the read-me) and "詳細設定" (the detailed settings). A
// toolkit-free model: it holds the import options and the chosen file;
// whoever stands in for the user drives it.
class CDXLoadDialog {
public:
    static constexpr const wchar_t* kDefaultExtension = L"xml";
    static constexpr const wchar_t* kFilter = L"CEDXM XMLファイル (*.xml)|*.xml|全てのファイル (*.*)|*.*||";
    static constexpr int kReadmeButton = 1;
    static constexpr const wchar_t* kReadmeButtonText = L"お読みください";
    static constexpr int kSettingsButton = 2;
    static constexpr const wchar_t* kSettingsButtonText = L"詳細設定";

    CDXLoadDialog(std::wstring iniPath, std::wstring readmePath);

    const std::wstring& iniPath() const { return iniPath_; }
    const std::wstring& readmePath() const { return readmePath_; }

    // Opening mode, roof mode, origin type, table path; 0, 0, 0, "" at first.
    Common::ImportOptions options;

    // The folder the dialog would open in (nothing remembered: empty), and
    // the one it is told to open in instead.
    std::wstring folder;
    std::wstring initialDirectory;

    // Button 1: the read-me file through the shell.
    void clickReadme(Common::Platform& platform);

    // Button 2: the settings dialog, prepared from the options; `user`
    // acts on it and answers whether it pressed OK. On OK the controls are
    // read into the settings dialog's members and the options are taken
    // over from them (origin type = 2 × centre + lower-left).
    void clickSettings(const std::function<bool(CDXLoadSettingDialog&)>& user);

    // The user picked a file and pressed OK.
    void chooseFile(const std::wstring& fullPath) { chosenPath_ = fullPath; }
    const std::wstring& chosenPath() const { return chosenPath_; }

private:
    std::wstring iniPath_;
    std::wstring readmePath_;
    std::wstring chosenPath_;
};

}  // namespace Importer
