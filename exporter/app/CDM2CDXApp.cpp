#include "exporter/app/CDM2CDXApp.h"

#include <new>

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

CDM2CDXApp::CDM2CDXApp(Common::Platform& platform, HostConnector connector, std::vector<std::wstring> arguments,
                       SaveDialogFrontEnd& dialogs)
    : platform_(platform), connector_(std::move(connector)), arguments_(std::move(arguments)), dialogs_(dialogs)
{
}

// Program directory with its trailing separator, and the program's file name
// without extension; the ini file is named after the program.
void CDM2CDXApp::preparePaths()
{
    const std::wstring module = platform_.moduleFileName();
    const auto slash = module.find_last_of(L"/\\");
    programDirectory_ = slash == std::wstring::npos ? std::wstring() : module.substr(0, slash + 1);
    std::wstring file = slash == std::wstring::npos ? module : module.substr(slash + 1);
    const auto dot = file.rfind(L'.');
    if (dot != std::wstring::npos) {
        file.erase(dot);
    }
    programBaseName_ = file;
    iniPath_ = programDirectory_ + programBaseName_ + L".ini";
}

int CDM2CDXApp::run()
{
    // Held for the whole run, so that a second start ends at once. A lock
    // that cannot be made is a failure, not another export.
    std::unique_ptr<Common::NamedMutex> mutex;
    try {
        mutex = platform_.createNamedMutex(kMutexName);
    } catch (const std::runtime_error& e) {
        platform_.reportError(L"DM2CDX: " + widen(e.what()) + L"; nothing was exported.");
        return kExitFailed;
    }
    if (!mutex) {
        platform_.reportError(L"DM2CDX: another export is running; this one ends without exporting.");
        return kExitAnotherInstance;
    }

    int status = kExitFailed;
    try {
        status = export_();
    } catch (const Common::HostError& e) {
        platform_.reportError(L"DM2CDX: host operation " + std::to_wstring(e.dispatchNumber()) +
                              L" failed: " + widen(e.what()) + L". No CEDXM file was written.");
        status = kExitFailed;
    } catch (const std::bad_alloc&) {
        platform_.reportError(L"DM2CDX: out of memory while exporting. No CEDXM file was written.");
        status = kExitFailed;
    } catch (const std::exception& e) {
        platform_.reportError(L"DM2CDX: " + widen(e.what()) + L". No CEDXM file was written.");
        status = kExitFailed;
    }
    application_.release();
    document_.release();
    if (report_) {
        report_->status = status;
        std::wstring error;
        if (!Common::writeConversionReport(*report_, reportPath_, error)) {
            platform_.reportError(L"DM2CDX: the report was not written: " + error);
            status = status == kExitDone ? kExitFailed : status;
        } else if (status == kExitDone) {
            platform_.messageBox(report_->summary(), kCompletionCaption, hostWindow_);
        }
    }
    return status;
}

int CDM2CDXApp::export_()
{
    // Common controls need no set-up here. The screen scale decides the
    // settings dialog's button layout; without a screen it stays 100.
    const int ppi = platform_.screenPixelsPerInch();
    screenScale_ = ppi > 0 ? ppi * 100 / 96 : 100;
    platform_.setUserLocale();

    hostWindow_ = hostWindowFromArguments(arguments_);
    preparePaths();
    // The ini file is read once; every later question about it (dialog
    // defaults, construction method, floor offsets, roofs) is answered from
    // what was read here.
    const Common::ProfileSnapshot iniFile(iniPath_);
    readMePath_ = programDirectory_ + Common::readProfileString(L"EXPORT", L"ReadMeFile", iniPath_);
    openingExtendType_ = Common::readProfileInt(L"EXPORT", L"OpeningExtendType", 0, iniPath_);

    Common::RunningObjectTable* table = connector_ ? connector_() : nullptr;
    if (table != nullptr) {
        application_ = Common::bindHostObject(*table, Common::kHostApplicationProgId, hostWindow_);
        document_ = Common::bindHostObject(*table, Common::kHostDocumentProgId, hostWindow_);
    }
    if (!application_.isBound() || !document_.isBound()) {
        platform_.reportError(
            L"DM2CDX: no running host with an open plan was found" +
            (hostWindow_ != 0 ? L" (window " + std::to_wstring(hostWindow_) + L")" : std::wstring()) +
            L"; start DM2CDX from the host, or give the plan with --host PLAN.json. Nothing was exported.");
        return kExitFailed;
    }

    CDXSaveDialog dialog(iniPath_, readMePath_);
    if (!platform_.isDirectory(dialog.folder())) {
        const std::int32_t owner = document_.windowHandle();
        dialog.setInitialDirectory(platform_.documentsFolder(owner));
    }
    Common::loadExportOptions(platform_.registry(), iniPath_, dialog.options);
    if (!dialogs_.showSaveDialog(dialog, screenScale_) || !dialog.confirmed()) {
        return kExitDone;  // cancelled: nothing written, nothing shown
    }
    Common::storeExportOptions(platform_.registry(), dialog.options);

    const Common::ExportOptions options = dialog.options;
    auto model = std::make_unique<ExportModel>();
    if (!reportPath_.empty()) {
        report_ = std::make_unique<Common::ConversionReport>();
        report_->program = L"DM2CDX";
        report_->file = dialog.pathName();
        model->report = report_.get();
    }
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
    if (report_) {
        countWrittenRecords(*model, *report_);
    }

    application_.release();
    document_.release();
    platform_.messageBox(kCompletionText, kCompletionCaption, hostWindow_);
    return kExitDone;
}

}  // namespace Exporter
