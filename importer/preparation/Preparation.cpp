#include "importer/preparation/Preparation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "common/settings/Profile.h"
#include "importer/building/StoreySettings.h"
#include "importer/preparation/FiniteCheck.h"
#include "importer/preparation/OverlapResolution.h"

namespace Importer {

namespace {

const wchar_t* const kHardToImport =
    L"CEDXMファイルにインポート困難な箇所があります。\r\n"
    L"エクスポート側のソフトで、データの入力状態を\r\n"
    L"修正することで改善できる場合があります。";
const wchar_t* const kCaption = L"CEDXM入力";

void deriveFloorLevels(ImportModel& model, const std::wstring& iniPath)
{
    std::array<std::int16_t, 5> offsets{};
    for (int s = 0; s < 5; ++s) {
        offsets[static_cast<std::size_t>(s)] = static_cast<std::int16_t>(
            Common::readProfileInt(L"COMMON", L"FloorOffset" + std::to_wstring(s), 0, iniPath));
    }
    for (const auto& [storey, level] : model.levelByStorey) {
        const double offset = storey >= 0 && storey <= 4 ? offsets[static_cast<std::size_t>(storey)] : 0;
        model.floorLevelByStorey[storey] = static_cast<float>(static_cast<double>(level) - offset);
    }
}

// The exporter lengthens every opening by half the standard wall thickness
// at each end; this takes it off again, and the report says so for each.
void pullOpeningsBack(ImportModel& model, Common::HostDocument& document)
{
    const StoreySettingsRecord record = readStoreySettings(document);
    const double x = record[kStandardWallThicknessIndex] * 0.5;
    for (auto& o : model.openings) {
        const Vector2d d = o->end - o->start;
        const double length = d.length();
        // Only an opening longer than what comes off both ends is shortened;
        // a shorter one would turn around, so it shrinks to its midpoint.
        if (length > 2 * x) {
            const Vector2d u(d.x / length, d.y / length);
            o->start = o->start + u * x;
            o->end = o->end - u * x;
            Common::reportChanged(model.report, L"opening", o->storey, o->id,
                                  L"pulled back by " + Common::reportLength(x) + L" mm at each end, from " +
                                      Common::reportLength(length) + L" mm to " +
                                      Common::reportLength(length - 2 * x) + L" mm");
        } else {
            const Vector2d mid((o->start.x + o->end.x) / 2, (o->start.y + o->end.y) / 2);
            o->start = mid;
            o->end = mid;
            Common::reportChanged(model.report, L"opening", o->storey, o->id,
                                  L"only " + Common::reportLength(length) + L" mm long, not longer than the " +
                                      Common::reportLength(2 * x) +
                                      L" mm to be pulled back, so it shrank to its midpoint");
        }
    }
}

void completeRoomHeights(ImportModel& model)
{
    for (auto& room : model.rooms) {
        if (room->floorHeight == kMissingHeight) {
            // A storey without floor level gets level 0 here.
            room->floorHeight = model.floorLevelByStorey[room->storey];
        }
        if (room->ceilingHeight == kMissingHeight || !(room->ceilingHeight > room->floorHeight)) {
            // The storey above may not exist: it is added with level 0.
            room->ceilingHeight =
                room->storey < std::numeric_limits<int>::max() ? model.levelByStorey[room->storey + 1] : 0.0f;
        }
    }
}

bool isBalconyName(const std::wstring& name)
{
    return name == L"ベランダ" || name == L"ﾍﾞﾗﾝﾀﾞ" || name == L"バルコニー" || name == L"ﾊﾞﾙｺﾆｰ";
}

}  // namespace

void prepareImport(ImportModel& model, Common::HostDocument& document, const std::wstring& iniPath,
                   int openingExtendType, Common::Platform& platform)
{
    dropNonFiniteRecords(model, platform);

    if (model.floorLevelByStorey.empty()) {
        deriveFloorLevels(model, iniPath);
    }
    if (openingExtendType == 1) {
        pullOpeningsBack(model, document);
    }
    const double defaultEavesThickness = Common::readProfileInt(L"IMPORT", L"DefaultEavesThick", 0, iniPath);

    // The user is warned once, at the first step that had to give up.
    bool warned = false;
    const auto warnIf = [&](bool gaveUp) {
        if (gaveUp && !warned) {
            warned = true;
            platform.messageBox(kHardToImport, kCaption, model.ownerWindow);
        }
    };
    bool gaveUp = false;
    model.walls = resolveOverlappingWalls(std::move(model.walls), gaveUp);
    warnIf(gaveUp);
    model.openings = mergeOverlappingOpenings(std::move(model.openings), gaveUp);
    warnIf(gaveUp);
    model.openings = cutOpeningsAtPartialWalls(std::move(model.openings), model.walls, gaveUp);
    warnIf(gaveUp);

    completeRoomHeights(model);
    for (auto& room : model.rooms) {
        if (isBalconyName(room->name)) {
            room->kindCode = 17;
        }
    }
    for (auto& roof : model.roofs) {
        if (roof->finishThickness == kMissingHeight) {
            roof->finishThickness = defaultEavesThickness;
        }
    }
}

}  // namespace Importer
