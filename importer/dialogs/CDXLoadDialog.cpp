#include "importer/dialogs/CDXLoadDialog.h"

namespace Importer {

CDXLoadDialog::CDXLoadDialog(std::wstring iniPath, std::wstring readmePath)
    : iniPath_(std::move(iniPath)), readmePath_(std::move(readmePath))
{
}

void CDXLoadDialog::clickReadme(Common::Platform& platform)
{
    if (!platform.shellOpen(readmePath_)) {
        platform.reportError(L"CDX2DM: the read-me file \"" + readmePath_ + L"\" could not be opened (missing or unreadable)");
    }
}

void CDXLoadDialog::clickSettings(const std::function<bool(CDXLoadSettingDialog&)>& user)
{
    CDXLoadSettingDialog settings(iniPath_);
    settings.openingMode = options.openingType;
    settings.roofMode = options.roofType;
    settings.csvPath = options.fittingPath;
    settings.lowerLeft = options.originType == 1;
    settings.centre = options.originType == 2;
    settings.initDialog();
    if (!user(settings)) {
        return;  // cancelled: the options stay
    }
    settings.ok();
    options.openingType = settings.openingMode;
    options.roofType = settings.roofMode;
    options.fittingPath = settings.csvPath;
    options.originType = 2 * (settings.centre ? 1 : 0) + (settings.lowerLeft ? 1 : 0);
}

}  // namespace Importer
