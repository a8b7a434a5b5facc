#include "importer/app/CCDX2DMApp.h"

#include <filesystem>
#include <iostream>
#include <new>

#include "common/app/ProgramArguments.h"
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

CCDX2DMApp::CCDX2DMApp(Common::Platform& platform, HostConnector& connector, OpenDialogFrontEnd* userDialogs)
    : platform_(platform), connector_(connector), userDialogs_(userDialogs)
{
}

int CCDX2DMApp::initInstance(const std::vector<std::wstring>& arguments)
{
    return finishReport(runCaught(arguments));
}

// Writes the report of a run that got as far as reading the file, and
// prints its summary after the completion message.
int CCDX2DMApp::finishReport(int status)
{
    if (!report_) {
        return status;
    }
    report_->status = status;
    std::wstring error;
    if (!Common::writeConversionReport(*report_, reportPath_, error)) {
        platform_.reportError(L"CDX2DM: the report was not written: " + error);
        return status == kImportDone ? kImportFailed : status;
    }
    if (status == kImportDone) {
        platform_.messageBox(report_->summary(), kCaption, hostWindow_);
    }
    return status;
}

int CCDX2DMApp::runCaught(const std::vector<std::wstring>& arguments)
{
    // A failing host call or exhausted memory ends the run here: the user is
    // told what failed and nothing is kept in the plan.
    try {
        return run(arguments);
    } catch (const Common::HostError& error) {
        releaseHost();
        platform_.reportError(L"CDX2DM: host operation " + std::to_wstring(error.dispatchNumber()) +
                              L" failed: " + Common::fromUtf8(error.what()) +
                              L". The import was stopped and nothing was saved to the plan.");
    } catch (const std::bad_alloc&) {
        releaseHost();
        platform_.reportError(L"CDX2DM: out of memory. The import was stopped and nothing was saved to the plan.");
    } catch (const std::exception& error) {
        releaseHost();
        platform_.reportError(L"CDX2DM: " + Common::fromUtf8(error.what()) +
                              L". The import was stopped and nothing was saved to the plan.");
    }
    return kImportFailed;
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

int CCDX2DMApp::run(const std::vector<std::wstring>& arguments)
{
    // Asking for help touches nothing, not even the single-instance lock.
    for (const std::wstring& argument : arguments) {
        if (argument == L"--help") {
            // On standard output, as DM2CDX answers it.
            std::cout << Common::toUtf8(importUsage()) << std::flush;
            return kImportDone;
        }
    }
    // 1. One import at a time. A lock that cannot be made is a failure,
    // not another import.
    std::unique_ptr<Common::NamedMutex> mutex;
    try {
        mutex = platform_.createNamedMutex(kMutexName);
    } catch (const std::runtime_error& error) {
        platform_.reportError(L"CDX2DM: " + Common::fromUtf8(error.what()) + L"; nothing was imported.");
        return kImportFailed;
    }
    if (!mutex) {
        platform_.reportError(L"CDX2DM: another import is running; this one ends without importing.");
        return kImportAnotherInstance;
    }
    // 2-4. Common controls need nothing here. Paths, screen scale, locale.
    const std::filesystem::path module(Common::toUtf8(platform_.moduleFileName()));
    programDirectory = Common::fromUtf8(module.parent_path().string());
    if (!programDirectory.empty() && programDirectory.back() != L'/') {
        programDirectory += L'/';
    }
    programBaseName = Common::fromUtf8(module.stem().string());
    const std::wstring iniPath = programDirectory + programBaseName + L".ini";
    if (const int dpi = platform_.screenPixelsPerInch(); dpi > 0) {
        screenScale = dpi * 100 / 96;
    }
    platform_.setUserLocale();

    // 5. The command line.
    // The host passes its window handle alone: the user chooses in the
    // dialogs, where there are any (the parse then misses only the file).
    ImportCommandLine commandLine;
    std::wstring problem;
    const bool userChooses = userDialogs_ != nullptr && arguments.size() <= 1 &&
                             (arguments.empty() || arguments[0].rfind(L"--", 0) != 0);
    if (!parseImportCommandLine(arguments, commandLine, problem) && !userChooses) {
        platform_.reportError(L"CDX2DM: " + problem + L"\n" + importUsage());
        return kImportUsage;
    }

    // 6-7. Bind the host's application and document.
    if (Common::RunningObjectTable* table = connector_.connect(commandLine)) {
        application = Common::bindHostObject(*table, Common::kHostApplicationProgId, commandLine.hostWindow);
        document = Common::bindHostObject(*table, Common::kHostDocumentProgId, commandLine.hostWindow);
    }
    if (!application.isBound() || !document.isBound()) {
        releaseHost();
        platform_.reportError(L"CDX2DM: no running host was found (start it from the host, or name its plan "
                              L"with --host PLAN.json); nothing was imported.");
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
    const std::wstring readmePath = programDirectory + Common::readProfileString(kSection, L"ReadMeFile", iniPath);
    const int openingExtendType = Common::readProfileInt(kSection, L"OpeningExtendType", 0, iniPath);
    const int barrierFreeGrace = Common::readProfileInt(kSection, L"BarrierFreeGrace", 0, iniPath);

    // 10-12. The open dialog, driven by the command line.
    CDXLoadDialog dialog(iniPath, readmePath);
    if (!platform_.isDirectory(dialog.folder)) {
        const std::int32_t hostWindow = document.windowHandle();
        dialog.initialDirectory = platform_.documentsFolder(hostWindow);
    }
    Common::loadImportOptions(platform_.registry(), iniPath, dialog.options);
    if (userChooses) {
        if (!userDialogs_->showOpenDialog(dialog, commandLine.hostWindow)) {
            releaseHost();  // cancelled: nothing imported, nothing shown
            return kImportDone;
        }
    } else {
        if (commandLine.readme) {
            dialog.clickReadme(platform_);
        }
        if (commandLine.changesSettings()) {
            std::wstring settingsProblem;
            dialog.clickSettings([&](CDXLoadSettingDialog& settings) {
                return actOutSettings(commandLine, settings, settingsProblem);
            });
            if (!settingsProblem.empty()) {
                releaseHost();
                platform_.reportError(L"CDX2DM: " + settingsProblem);
                return kImportUsage;
            }
        }
        if (commandLine.input.empty()) {
            releaseHost();  // the dialog was closed without a file
            return kImportDone;
        }
        dialog.chooseFile(Common::fullPath(commandLine.input));
    }

    // 13-14. Remember the choices; the model.
    Common::storeImportOptions(platform_.registry(), dialog.options);
    ImportModel model(commandLine.hostWindow);
    if (!commandLine.report.empty()) {
        report_ = std::make_unique<Common::ConversionReport>();
        report_->program = L"CDX2DM";
        report_->file = dialog.chosenPath();
        reportPath_ = commandLine.report;
        hostWindow_ = commandLine.hostWindow;
        model.report = report_.get();
    }

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
    platform_.messageBox(kCompletion, kCaption, commandLine.hostWindow);
    return kImportDone;
}

}  // namespace Importer
