#include "exporter/app/CommandLineDialogs.h"

#include <filesystem>

#include "common/app/ProgramArguments.h"
#include "common/app/ProgramFiles.h"
#include "common/text/Encoding.h"

namespace Exporter {

using Common::fullPath;

CommandLineDialogs::CommandLineDialogs(Common::Platform& platform, ExportCommandLine commandLine)
    : platform_(platform), commandLine_(std::move(commandLine))
{
}

DialogRect CommandLineDialogs::settingsClientArea(int screenScale)
{
    const int scale = screenScale > 0 ? screenScale : 100;
    const int baseX = 6 * scale / 100;
    const int baseY = 13 * scale / 100;
    return DialogRect{0, 0, CDXSaveSettingDialog::kSize.width * baseX / 4,
                      CDXSaveSettingDialog::kSize.height * baseY / 8};
}

Common::DialogAnswer CommandLineDialogs::showSaveDialog(CDXSaveDialog& dialog, int screenScale, std::wstring&)
{
    const ExportCommandLine& cl = commandLine_;
    if (cl.readme) {
        dialog.clickReadMe(platform_);
    }
    if (cl.changesSettings()) {
        dialog.clickSettings([&](CDXSaveSettingDialog& settings) {
            settings.initDialog(screenScale, settingsClientArea(screenScale));
            if (cl.restoreDefaults) {
                settings.clickRestoreDefaults();
            }
            if (cl.openingsOnly) {
                settings.clickRadio(CDXSaveSettingDialog::kRadioOpeningsOnly);
            }
            if (cl.fittingTable) {
                settings.clickRadio(CDXSaveSettingDialog::kRadioFittingTable);
                settings.clickBrowse(platform_, fullPath(*cl.fittingTable));
            }
            if (cl.firstQuadrant) {
                settings.setOriginCheck(true);
            }
            if (cl.keepOrigin) {
                settings.setOriginCheck(false);
            }
            settings.clickOk();
        });
    }
    if (!cl.output) {
        return Common::DialogAnswer::Cancelled;  // the dialog closed without a file
    }
    dialog.chooseFile(fullPath(*cl.output));
    return Common::DialogAnswer::Chosen;
}

int runDm2cdx(Common::Platform& platform, const std::vector<std::wstring>& arguments,
              Common::HostConnector& connector, SaveDialogFrontEnd* userDialogs)
{
    if (userDialogs != nullptr && Common::startedWithWindowHandleOnly(arguments)) {
        Common::ProgramOptions options;
        options.hostWindow = Common::hostWindowFromArguments(arguments);
        CDM2CDXApp app(platform, connector, options, *userDialogs);
        return app.run();
    }
    if (Common::answerHelp(arguments, exportHelpText(connector.simulatesHost()))) {
        return kExitDone;
    }
    ExportCommandLine commandLine;
    std::wstring error;
    if (!parseExportCommandLine(arguments, commandLine, error)) {
        platform.reportError(L"DM2CDX: " + error + L"\n(DM2CDX --help lists the options)");
        return kExitUsage;
    }
    const auto named = [](const wchar_t* option, const std::optional<std::wstring>& path, bool written) {
        return Common::NamedFile{option, path.value_or(L""), !written, written};
    };
    const int filesStatus = Common::checkNamedFiles({named(L"--host", commandLine.hostPlan, false),
                                                     named(L"--fitting-table", commandLine.fittingTable, false),
                                                     named(L"--output", commandLine.output, true),
                                                     named(L"--trace", commandLine.trace, true),
                                                     named(L"--report", commandLine.report, true)},
                                                    error);
    if (filesStatus != kExitDone) {
        platform.reportError(L"DM2CDX: " + error);
        return filesStatus;
    }
    CommandLineDialogs dialogs(platform, commandLine);
    CDM2CDXApp app(platform, connector, commandLine, dialogs);
    return app.run();
}

}  // namespace Exporter
