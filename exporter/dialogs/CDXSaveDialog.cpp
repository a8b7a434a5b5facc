#include "exporter/dialogs/CDXSaveDialog.h"

namespace Exporter {

CDXSaveDialog::CDXSaveDialog(std::wstring iniPath, std::wstring readMePath)
    : iniPath_(std::move(iniPath)), readMePath_(std::move(readMePath))
{
}

void CDXSaveDialog::clickReadMe(Common::Platform& platform)
{
    if (!platform.shellOpen(readMePath_)) {
        platform.reportError(L"DM2CDX: the read-me file \"" + readMePath_ + L"\" could not be opened (missing or unreadable)");
    }
}

void CDXSaveDialog::clickSettings(const SettingsRunner& runner)
{
    CDXSaveSettingDialog settings(iniPath_);
    settings.fittingType = options.fittingType;
    settings.csvPath = options.fittingPath;
    settings.originFlag = options.originType == 1 ? 1 : 0;
    runner(settings);
    if (settings.result() == CDXSaveSettingDialog::Result::Ok) {
        options.fittingType = settings.fittingType;
        options.fittingPath = settings.csvPath;
        options.originType = settings.originFlag != 0 ? 1 : 0;
    }
}

void CDXSaveDialog::chooseFile(const std::wstring& fullPath)
{
    path_ = fullPath;
    confirmed_ = true;
}

std::wstring CDXSaveDialog::fileTitle() const
{
    const auto slash = path_.find_last_of(L"/\\");
    std::wstring name = slash == std::wstring::npos ? path_ : path_.substr(slash + 1);
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
        name.erase(dot);
    }
    return name;
}

}  // namespace Exporter
