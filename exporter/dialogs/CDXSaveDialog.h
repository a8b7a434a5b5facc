#pragma once

#include <functional>
#include <string>

#include "common/platform/Platform.h"
#include "common/settings/Options.h"
#include "exporter/dialogs/CDXSaveSettingDialog.h"

namespace Exporter {

// The save-file dialog of the export, without a window toolkit: the file
// dialog's settings, its two added buttons, the export options it carries
// and the path the user chose.
class CDXSaveDialog {
public:
    static constexpr const wchar_t* kDefaultExtension = L"xml";
    static constexpr const wchar_t* kFilter = L"CEDXM XMLファイル (*.xml)|*.xml|全てのファイル (*.*)|*.*||";
    static constexpr const wchar_t* kReadMeButtonText = L"お読みください";
    static constexpr const wchar_t* kSettingsButtonText = L"詳細設定";
    static constexpr int kReadMeButton = 1;
    static constexpr int kSettingsButton = 2;
    static constexpr int kProminentButton = kSettingsButton;
    // Explorer style, hide read-only, prompt before overwriting, resizable.
    static constexpr bool kExplorer = true;
    static constexpr bool kHideReadOnly = true;
    static constexpr bool kOverwritePrompt = true;
    static constexpr bool kResizable = true;

    // Shows the settings dialog modally: the runner acts as the user on the
    // initialised dialog and ends with its OK or cancel.
    using SettingsRunner = std::function<void(CDXSaveSettingDialog&)>;

    CDXSaveDialog(std::wstring iniPath, std::wstring readMePath);

    const std::wstring& iniPath() const { return iniPath_; }
    const std::wstring& readMePath() const { return readMePath_; }

    // The folder the dialog would open in ("" when it has none) and the one
    // it is told to open in.
    const std::wstring& folder() const { return folder_; }
    void setInitialDirectory(const std::wstring& folder) { folder_ = folder; }

    // Button 1: the read-me file opened with the shell; a failure shows
    // nothing.
    void clickReadMe(Common::Platform& platform);
    // Button 2: the settings dialog with the current options; they are taken
    // over only when it ends with OK.
    void clickSettings(const SettingsRunner& runner);
    // The user picks a file (full path) and confirms.
    void chooseFile(const std::wstring& fullPath);

    bool confirmed() const { return confirmed_; }
    const std::wstring& pathName() const { return path_; }
    // The chosen file name without folder and extension.
    std::wstring fileTitle() const;

    Common::ExportOptions options;

private:
    std::wstring iniPath_;
    std::wstring readMePath_;
    std::wstring folder_;
    std::wstring path_;
    bool confirmed_ = false;
};

}  // namespace Exporter
