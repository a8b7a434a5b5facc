#include "importer/app/ImportCommandLineDialogs.h"

#include "common/app/ProgramArguments.h"
#include "common/app/ProgramFiles.h"
#include "common/text/Encoding.h"
#include "importer/dialogs/CDXLoadSettingDialog.h"

namespace Importer {

namespace {

// The command line's settings acted out in the detailed settings dialog, as
// a user's clicks. False (the dialog cancelled) with `problem` set when the
// dialog does not allow what was asked.
bool actOutSettings(const ImportCommandLine& commandLine, CDXLoadSettingDialog& dialog, std::wstring& problem)
{
    if (commandLine.restoreDefaults) {
        dialog.restoreDefaults();
    }
    if (commandLine.openingMode) {
        dialog.clickOpeningRadio(IDC_OPENING_FRAMES + *commandLine.openingMode);
    }
    if (commandLine.fittingTable && !dialog.typeTablePath(*commandLine.fittingTable)) {
        problem = L"--fitting-table can only be given with the table mode (--openings table)";
        return false;
    }
    if (commandLine.roofMode) {
        dialog.clickRoofRadio(IDC_ROOF_MANUAL + *commandLine.roofMode);
    }
    if (commandLine.originType) {
        const auto& controls = dialog.controls();
        const int wanted = *commandLine.originType;
        if ((wanted == 1) != controls.lowerLeftChecked) {
            dialog.clickOriginCheckBox(IDC_ORIGIN_LOWER_LEFT);
        }
        if ((wanted == 2) != controls.centreChecked) {
            dialog.clickOriginCheckBox(IDC_ORIGIN_CENTRE);
        }
    }
    return true;
}

}  // namespace

ImportCommandLineDialogs::ImportCommandLineDialogs(Common::Platform& platform, ImportCommandLine commandLine)
    : platform_(platform), commandLine_(std::move(commandLine))
{
}

Common::DialogAnswer ImportCommandLineDialogs::showOpenDialog(CDXLoadDialog& dialog, std::int32_t,
                                                              std::wstring& failure)
{
    if (commandLine_.readme) {
        dialog.clickReadme(platform_);
    }
    if (commandLine_.changesSettings()) {
        dialog.clickSettings([&](CDXLoadSettingDialog& settings) {
            return actOutSettings(commandLine_, settings, failure);
        });
        if (!failure.empty()) {
            return Common::DialogAnswer::NotAllowed;
        }
    }
    if (commandLine_.input.empty()) {
        return Common::DialogAnswer::Cancelled;  // the dialog was closed without a file
    }
    dialog.chooseFile(Common::fullPath(commandLine_.input));
    return Common::DialogAnswer::Chosen;
}

int runCdx2dm(Common::Platform& platform, const std::vector<std::wstring>& arguments,
              Common::HostConnector& connector, OpenDialogFrontEnd* userDialogs)
{
    if (userDialogs != nullptr && Common::startedWithWindowHandleOnly(arguments)) {
        Common::ProgramOptions options;
        options.hostWindow = Common::hostWindowFromArguments(arguments);
        CCDX2DMApp app(platform, connector, options, *userDialogs);
        return app.run();
    }
    if (Common::answerHelp(arguments, importUsage(connector.simulatesHost()))) {
        return kImportDone;
    }
    ImportCommandLine commandLine;
    std::wstring problem;
    if (!parseImportCommandLine(arguments, commandLine, problem)) {
        platform.reportError(L"CDX2DM: " + problem + L"\n" + importUsage(connector.simulatesHost()));
        return kImportUsage;
    }
    // The plan is read and, after the import, saved over.
    const int filesStatus = Common::checkNamedFiles(
        {{L"--host", commandLine.hostPlan.value_or(L""), true, true},
         {L"--input", commandLine.input, true, false},
         {L"--fitting-table", commandLine.fittingTable.value_or(L""), true, false},
         {L"--trace", commandLine.trace.value_or(L""), false, true},
         {L"--report", commandLine.report.value_or(L""), false, true}},
        problem);
    if (filesStatus != kImportDone) {
        platform.reportError(L"CDX2DM: " + problem);
        return filesStatus;
    }
    ImportCommandLineDialogs dialogs(platform, commandLine);
    CCDX2DMApp app(platform, connector, commandLine, dialogs);
    return app.run();
}

}  // namespace Importer
