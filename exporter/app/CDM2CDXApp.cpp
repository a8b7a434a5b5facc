#include "exporter/app/CDM2CDXApp.h"

#include "common/app/ProgramLocation.h"
#include "common/settings/Options.h"
#include "common/settings/Profile.h"
#include "common/text/Encoding.h"
#include "exporter/app/CommandLine.h"
#include "exporter/app/ReadingDriver.h"
#include "exporter/model/ExportModel.h"
#include "exporter/model/WritableCheck.h"
#include "exporter/reading/FirstQuadrantShift.h"
#include "exporter/writer/SectionWriters.h"

namespace Exporter {

namespace {

// Every record of the model is written, so the model's lists are the
// file's sections.
void countWrittenRecords(const ExportModel& model, Common::ConversionReport& report)
{
    for (const auto& r : model.rooms) {
        ++report.counts[r->storey].rooms;
    }
    for (const auto& w : model.walls) {
        ++report.counts[w->storey].walls;
    }
    for (const auto& l : model.outerLines) {
        ++report.counts[l->storey].exteriorLines;
    }
    for (const auto& o : model.openings) {
        ++report.counts[o->storey].openings;
    }
    for (const auto& s : model.stairs) {
        ++report.counts[s->storey].stairs;
    }
    for (const auto& r : model.roofs) {
        ++report.counts[r->storey].roofs;
    }
}

std::wstring widen(const std::string& text)
{
    return Common::fromUtf8(text);
}

}  // namespace

CDM2CDXApp::CDM2CDXApp(Common::Platform& platform, Common::HostConnector& connector,
                       Common::ProgramOptions options, SaveDialogFrontEnd& dialogs)
    : platform_(platform), connector_(connector), options_(std::move(options)), dialogs_(dialogs)
{
}

// Program directory with its trailing separator, and the program's file name
// without extension; the ini file is named after the program.
void CDM2CDXApp::preparePaths()
{
    const Common::ProgramLocation program = Common::programLocation(platform_.moduleFileName());
    programDirectory_ = program.folder;
    programBaseName_ = program.baseName;
    iniPath_ = programDirectory_ + programBaseName_ + L".ini";
}

int CDM2CDXApp::run()
{
    const Common::RunWords words{
        .program = L"DM2CDX: ",
        .mutexName = kMutexName,
        .anotherRunning = L"another export is running; this one ends without exporting.",
        .nothingDone = L"nothing was exported.",
        .stopped = L"No CEDXM file was written.",
    };
    const int status = Common::runSingleInstance(platform_, words, [this] { return export_(); },
                                                 [this] { releaseHost(); });
    releaseHost();
    return finishReport(status);
}

void CDM2CDXApp::releaseHost()
{
    application_.release();
    document_.release();
}

// Writes the report of a run that got as far as reading the plan, when one
// was asked for, and prints its summary after the completion message (on
// every run that completes, with or without a report file).
int CDM2CDXApp::finishReport(int status)
{
    if (!report_) {
        return status;
    }
    return Common::finishConversionReport(platform_, *report_, options_.report, status, L"DM2CDX: ", kCompletionCaption,
                                          hostWindow_);
}

int CDM2CDXApp::export_()
{
    // Common controls need no set-up here. The screen scale decides the
    // settings dialog's button layout; without a screen it stays 100.
    const int ppi = platform_.screenPixelsPerInch();
    screenScale_ = ppi > 0 ? ppi * 100 / 96 : 100;
    platform_.setUserLocale();

    hostWindow_ = options_.hostWindow;
    preparePaths();
    // The ini file is read once; every later question about it (dialog
    // defaults, construction method, floor offsets, roofs) is answered from
    // what was read here.
    const Common::ProfileSnapshot iniFile(iniPath_);
    if (!iniFile.problem().empty()) {
        platform_.reportError(L"DM2CDX: " + widen(iniFile.problem()) + L"; its settings take their defaults.");
    }
    readMePath_ = programDirectory_ + Common::readProfileString(L"EXPORT", L"ReadMeFile", iniPath_);
    openingExtendType_ = Common::readProfileInt(L"EXPORT", L"OpeningExtendType", 0, iniPath_);

    Common::RunningObjectTable* table = connector_.connect(options_);
    if (table != nullptr) {
        application_ = Common::bindHostObject(*table, Common::kHostApplicationProgId, hostWindow_);
        document_ = Common::bindHostObject(*table, Common::kHostDocumentProgId, hostWindow_);
    }
    if (!application_.isBound() || !document_.isBound()) {
        platform_.reportError(
            L"DM2CDX: no running host with an open plan was found" +
            (hostWindow_ != 0 ? L" (window " + std::to_wstring(hostWindow_) + L")" : std::wstring()) +
            L"; " + connector_.noHostAdvice(L"DM2CDX") + L". Nothing was exported.");
        return kExitFailed;
    }

    CDXSaveDialog dialog(iniPath_, readMePath_);
    if (!platform_.isDirectory(dialog.folder())) {
        const std::int32_t owner = document_.windowHandle();
        dialog.setInitialDirectory(platform_.documentsFolder(owner));
    }
    Common::loadExportOptions(platform_.registry(), iniPath_, dialog.options);
    std::wstring dialogFailure;
    const Common::DialogAnswer answer = dialogs_.showSaveDialog(dialog, screenScale_, dialogFailure);
    if (answer == Common::DialogAnswer::Failed) {
        platform_.reportError(L"DM2CDX: the save dialog could not be shown: " + dialogFailure +
                              L". Nothing was exported.");
        return kExitFailed;
    }
    if (answer == Common::DialogAnswer::Cancelled || !dialog.confirmed()) {
        return kExitDone;  // cancelled: nothing written, nothing shown
    }
    Common::storeExportOptions(platform_.registry(), dialog.options);

    const Common::ExportOptions options = dialog.options;
    auto model = std::make_unique<ExportModel>();
    // Every run that writes a file says what it wrote, with or without a
    // report file.
    report_ = std::make_unique<Common::ConversionReport>();
    report_->program = L"DM2CDX";
    report_->file = dialog.pathName();
    model->report = report_.get();
    runReadingDriver(*model, application_, document_, options, iniPath_, openingExtendType_);
    if (options.originType == 1) {
        shiftToFirstQuadrant(*model);
    }
    dropUnwritableRecords(*model, platform_);

    std::string error;
    const std::string outputPath = Common::toUtf8(dialog.pathName());
    if (!writeCedxmDocument(*model, outputPath, dialog.fileTitle(), true, error)) {
        platform_.reportError(L"DM2CDX: the CEDXM file was not written: " + widen(error));
        return kExitFailed;
    }
    countWrittenRecords(*model, *report_);

    releaseHost();
    platform_.messageBox(kCompletionText, kCompletionCaption, hostWindow_);
    return kExitDone;
}

}  // namespace Exporter
