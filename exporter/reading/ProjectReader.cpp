#include "exporter/reading/ProjectReader.h"

#include <cstdint>
#include <set>

#include "common/settings/Profile.h"
#include "common/host/ObjectWalk.h"
#include "exporter/reading/StoreyLevels.h"

namespace Exporter {

namespace {

std::int16_t wrap16(int value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<unsigned>(value) & 0xFFFFu));
}

// The storeys that hold at least one room, ascending.
std::set<int> storeysWithRooms(Common::HostDocument& document)
{
    std::set<int> storeys;
    Common::forEachHostObject(document, [&] {
        if (document.currentObjectType() == 19) {
            storeys.insert(document.currentObjectStorey());
        }
    });
    return storeys;
}

double gridModule(Common::HostDocument& document)
{
    return document.readGridSettings().module;
}

}  // namespace

void setOutputDate(ExportModel& model, const std::tm& t)
{
    model.outputYear = std::to_wstring(t.tm_year + 1900);
    model.outputMonth = std::to_wstring(t.tm_mon + 1);
    model.outputDay = std::to_wstring(t.tm_mday);
    model.outputHour = std::to_wstring(t.tm_hour);
    model.outputMinute = std::to_wstring(t.tm_min);
    model.outputSecond = std::to_wstring(t.tm_sec);
}

void readProject(ExportModel& model, Common::HostApplication& application, Common::HostDocument& document,
                 const std::wstring& iniPath)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    // The programs run one thread, so the shared result of localtime is safe.
    if (const std::tm* converted = std::localtime(&now)) {
        local = *converted;
    }
    readProject(model, application, document, iniPath, local);
}

void readProject(ExportModel& model, Common::HostApplication& application, Common::HostDocument& document,
                 const std::wstring& iniPath, const std::tm& localTime)
{
    model.gridQuadrant = L"1";
    model.linkFileVersion = L"Ver.6.00";
    model.cadMaker = L"タヴレル株式会社";
    model.cadSoftware = L"DOMORIAP";
    model.cadVersion = application.version();

    setOutputDate(model, localTime);

    const StoreySettings settings = readStoreySettings(document);

    std::int16_t floorOffset[5];
    for (int k = 0; k < 5; ++k) {
        floorOffset[k] = wrap16(Common::readProfileInt(L"COMMON", L"FloorOffset" + std::to_wstring(k), 0, iniPath));
    }

    // L0 to L5 without offsets, M0 to M5 with them; storey 5 has no offset.
    const StoreyLevels levels = hostStoreyLevels(settings);
    StoreyLevels offsetLevels = levels;
    for (int k = 0; k < 5; ++k) {
        offsetLevels[static_cast<std::size_t>(k)] = wrap16(levels[static_cast<std::size_t>(k)] + floorOffset[k]);
    }

    model.foundationHeight = static_cast<float>(settings.h(12));

    // A room storey S enters the levels of S and of S + 1 (the ceiling side).
    // The host keeps levels for storeys 0 to 5 only, so a storey number that
    // falls outside that range enters nothing: an invented level would tell
    // the importer a height the plan never had. Such a storey still counts
    // in the number of storeys above or below ground.
    model.storeysAboveGround = 0;
    model.storeysBelowGround = 0;
    for (const int storey : storeysWithRooms(document)) {
        if (storey > 0) {
            ++model.storeysAboveGround;
        } else {
            ++model.storeysBelowGround;
        }
        for (const int s : {storey, storey + 1}) {
            if (s >= 0 && s < static_cast<int>(levels.size())) {
                const auto i = static_cast<std::size_t>(s);
                model.referenceFloorLevelByStorey[s] = static_cast<float>(levels[i]);
                model.structuralLevelByStorey[s] = static_cast<float>(offsetLevels[i]);
            }
        }
    }

    model.methodType = Common::readProfileInt(L"EXPORT", L"MethodType", 0, iniPath);
    model.methodName = Common::readProfileString(L"EXPORT", L"MethodName", iniPath);
    model.methodDetailType = Common::readProfileInt(L"EXPORT", L"MethodDetailType", -1, iniPath);
    model.methodDetailName = Common::readProfileString(L"EXPORT", L"MethodDetailName", iniPath);

    const double module = gridModule(document);
    model.gridSpacing.x = module;
    model.gridSpacing.y = module;
}

}  // namespace Exporter
