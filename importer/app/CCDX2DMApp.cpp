#include "importer/app/CCDX2DMApp.h"

#include "common/app/ProgramLocation.h"
#include "common/host/AutomationObject.h"
#include "common/host/ObjectWalk.h"
#include "common/settings/Options.h"
#include "common/settings/Profile.h"
#include "common/text/Encoding.h"
#include "importer/building/BuildingPass.h"
#include "importer/dialogs/CDXLoadDialog.h"
#include "importer/model/ImportModel.h"
#include "importer/preparation/Preparation.h"
#include "importer/reading/CedxmReader.h"

namespace Importer {

namespace {

constexpr const wchar_t* kSection = L"IMPORT";

// Host element types that do not count as work on screen.
constexpr std::uint32_t kIgnoredTypeA = 24;
constexpr std::uint32_t kIgnoredTypeB = 25;

// What the building pass built: the prepared records of each storey less
// those it noted as left out.
void countBuiltRecords(const ImportModel& model, Common::ConversionReport& report, std::size_t firstBuildingNote)
{
    const auto count = [&](const auto& records, int Common::StoreyCounts::*field) {
        for (const auto& r : records) {
            ++(report.counts[r->storey].*field);
        }
    };
    count(model.rooms, &Common::StoreyCounts::rooms);
    count(model.walls, &Common::StoreyCounts::walls);
    count(model.outerLines, &Common::StoreyCounts::exteriorLines);
    count(model.openings, &Common::StoreyCounts::openings);
    count(model.stairs, &Common::StoreyCounts::stairs);
    count(model.roofs, &Common::StoreyCounts::roofs);
    for (std::size_t i = firstBuildingNote; i < report.leftOut.size(); ++i) {
        const Common::ReportEntry& e = report.leftOut[i];
        Common::StoreyCounts& c = report.counts[e.storey];
        int* field = e.kind == L"room"           ? &c.rooms
                     : e.kind == L"wall"         ? &c.walls
                     : e.kind == L"exteriorLine" ? &c.exteriorLines
                     : e.kind == L"opening"      ? &c.openings
                     : e.kind == L"stair"        ? &c.stairs
                     : e.kind == L"roof"         ? &c.roofs
                                                 : nullptr;
        if (field != nullptr && *field > 0) {
            --*field;
        }
    }
}

}  // namespace

CCDX2DMApp::CCDX2DMApp(Common::Platform& platform, Common::HostConnector& connector,
                       Common::ProgramOptions options, OpenDialogFrontEnd& dialogs)
    : platform_(platform), connector_(connector), options_(std::move(options)), dialogs_(dialogs)
{
}

int CCDX2DMApp::run()
{
    // A failing host call or exhausted memory ends the run: the user is told
    // what failed and nothing is kept in the plan.
    const Common::RunWords words{
        .program = L"CDX2DM: ",
        .mutexName = kMutexName,
        .anotherRunning = L"another import is running; this one ends without importing.",
        .nothingDone = L"nothing was imported.",
        .stopped = L"The import was stopped and nothing was saved to the plan.",
    };
    const int status = Common::runSingleInstance(platform_, words, [this] { return import_(); },
                                                 [this] { releaseHost(); });
    releaseHost();
    return finishReport(status);
}

// Writes the report of a run that got as far as reading the file, when one
// was asked for, and prints its summary after the completion message (on
// every run that completes, with or without a report file).
int CCDX2DMApp::finishReport(int status)
{
    if (!report_) {
        return status;
    }
    return Common::finishConversionReport(platform_, *report_, options_.report, status, L"CDX2DM: ", kCaption,
                                          options_.hostWindow);
}

void CCDX2DMApp::releaseHost()
{
    application.release();
    document.release();
}

bool CCDX2DMApp::drawingIsEmpty()
{
    bool empty = true;
    Common::forEachHostObject(document, [&] {
        const std::uint32_t type = document.currentObjectType();
        empty = type == kIgnoredTypeA || type == kIgnoredTypeB;
        return empty;  // the first other object ends the walk
    });
    return empty;
}

int CCDX2DMApp::import_()
{
    // 1. One import at a time: the run holds the lock.
    // 2-4. Common controls need nothing here. Paths, screen scale, locale.
    const Common::ProgramLocation program = Common::programLocation(platform_.moduleFileName());
    programDirectory = program.folder;
    programBaseName = program.baseName;
    const std::wstring iniPath = programDirectory + programBaseName + L".ini";
    if (const int dpi = platform_.screenPixelsPerInch(); dpi > 0) {
        screenScale = dpi * 100 / 96;
    }
    platform_.setUserLocale();

    // 5. The command line was read before the run: `options_` and the
    // dialog front-end hold what it said.
    const std::int32_t hostWindow = options_.hostWindow;

    // 6-7. Bind the host's application and document.
    if (Common::RunningObjectTable* table = connector_.connect(options_)) {
        application = Common::bindHostObject(*table, Common::kHostApplicationProgId, hostWindow);
        document = Common::bindHostObject(*table, Common::kHostDocumentProgId, hostWindow);
    }
    if (!application.isBound() || !document.isBound()) {
        releaseHost();
        platform_.reportError(L"CDX2DM: no running host was found (" + connector_.noHostAdvice(L"CDX2DM") +
                              L"); nothing was imported.");
        return kImportFailed;
    }

    // 8. Only an empty drawing is imported into.
    if (!drawingIsEmpty()) {
        releaseHost();
        platform_.reportError(kRefusal);
        return kImportRefused;
    }

    // 9. Ini values. The file is read once; every later question about it
    // (dialog defaults, floor offsets, eaves thickness) is answered from
    // what was read here.
    const Common::ProfileSnapshot iniFile(iniPath);
    if (!iniFile.problem().empty()) {
        platform_.reportError(L"CDX2DM: " + Common::fromUtf8(iniFile.problem()) + L"; its settings take their defaults.");
    }
    const std::wstring readmePath = programDirectory + Common::readProfileString(kSection, L"ReadMeFile", iniPath);
    const int openingExtendType = Common::readProfileInt(kSection, L"OpeningExtendType", 0, iniPath);
    const int barrierFreeGrace = Common::readProfileInt(kSection, L"BarrierFreeGrace", 0, iniPath);

    // 10-12. The open dialog, as the user or the command line answers it.
    CDXLoadDialog dialog(iniPath, readmePath);
    if (!platform_.isDirectory(dialog.folder)) {
        const std::int32_t owner = document.windowHandle();
        dialog.initialDirectory = platform_.documentsFolder(owner);
    }
    Common::loadImportOptions(platform_.registry(), iniPath, dialog.options);
    std::wstring dialogFailure;
    switch (dialogs_.showOpenDialog(dialog, hostWindow, dialogFailure)) {
    case Common::DialogAnswer::Chosen:
        break;
    case Common::DialogAnswer::Cancelled:
        releaseHost();  // cancelled: nothing imported, nothing shown
        return kImportDone;
    case Common::DialogAnswer::NotAllowed:
        releaseHost();
        platform_.reportError(L"CDX2DM: " + dialogFailure);
        return kImportUsage;
    case Common::DialogAnswer::Failed:
        releaseHost();
        platform_.reportError(L"CDX2DM: the open dialog could not be shown: " + dialogFailure +
                              L"; nothing was imported.");
        return kImportFailed;
    }

    // 13-14. Remember the choices; the model.
    Common::storeImportOptions(platform_.registry(), dialog.options);
    ImportModel model(hostWindow);
    // Every run that reads a file says what it built, with or without a
    // report file.
    report_ = std::make_unique<Common::ConversionReport>();
    report_->program = L"CDX2DM";
    report_->file = dialog.chosenPath();
    model.report = report_.get();

    // 15. Read the file. A file that cannot be read stops the run before
    // anything is built, and says why.
    std::wstring readProblem;
    if (!loadCedxmFile(model, dialog.chosenPath(), readProblem)) {
        releaseHost();
        platform_.reportError(L"CDX2DM: the CEDXM file " + readProblem + L". Nothing was imported.");
        return kImportFailed;
    }

    // 16-18. Prepare, place and build.
    prepareImport(model, document, iniPath, openingExtendType, platform_);
    flipToFirstQuadrant(model);
    moveOrigin(model, originPlacementFromChoice(dialog.options.originType));
    const std::size_t leftOutBeforeBuilding = report_ ? report_->leftOut.size() : 0;
    runBuildingPass({.model = model,
                     .application = application,
                     .document = document,
                     .platform = platform_,
                     .programDirectory = programDirectory,
                     .openings = openingModeFromChoice(dialog.options.openingType),
                     .fittingTablePath = dialog.options.fittingPath,
                     .roofs = roofModeFromChoice(dialog.options.roofType),
                     .barrierFreeGrade = barrierFreeGrace});

    if (report_) {
        countBuiltRecords(model, *report_, leftOutBeforeBuilding);
    }

    // 19-20. Release the host, keep the plan, tell the user.
    releaseHost();
    std::wstring keepError;
    if (!connector_.keepImport(keepError)) {
        platform_.reportError(L"CDX2DM: the imported plan could not be saved: " + keepError);
        return kImportFailed;
    }
    platform_.messageBox(kCompletion, kCaption, hostWindow);
    return kImportDone;
}

}  // namespace Importer
