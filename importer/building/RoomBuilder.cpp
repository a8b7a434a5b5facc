#include "importer/building/RoomBuilder.h"

#include <algorithm>
#include <cmath>

#include "importer/building/HostArguments.h"
#include "importer/building/ModelByStorey.h"

namespace Importer {

using namespace HostArgs;

namespace {

constexpr int kVerandaHostKind = 27;
constexpr int kKitchenHostKind = 6;
constexpr std::uint32_t kVerandaColour = 0xCFE8E9;

double floorLevelOf(const ImportModel& model, int storey)
{
    const auto it = model.floorLevelByStorey.find(storey);
    return it == model.floorLevelByStorey.end() ? 0.0 : static_cast<double>(it->second);
}

bool contains(const std::wstring& text, const wchar_t* word) { return text.find(word) != std::wstring::npos; }

double shoelaceArea(const std::vector<Vector2d>& outline)
{
    double sum = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        sum += Common::cross(outline[i], outline[(i + 1) % outline.size()]);
    }
    return std::fabs(sum / 2);
}

}  // namespace

int tatamiLayout(const std::vector<Vector2d>& outline, double g)
{
    if (outline.empty() || !(g > 0)) {
        return 0;
    }
    const double mats = std::trunc(shoelaceArea(outline) / (g * g));
    if (!(mats >= 0 && mats <= 1000)) {
        return 0;
    }
    const int k = static_cast<int>(mats);
    double minX = outline[0].x, maxX = outline[0].x, minY = outline[0].y, maxY = outline[0].y;
    for (const Vector2d& p : outline) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double w = maxX - minX;
    const double h = maxY - minY;
    // w : h = a : b, compared exactly.
    const auto ratio = [&](double a, double b) { return w * b == h * a; };
    switch (k) {
    case 1:
        return w == h ? 1 : 0;
    case 2:
        return w == 2 * h ? 3 : h == 2 * w ? 2 : 0;
    case 4:
        return w == h ? 4 : 0;
    case 6:
        return ratio(3, 2) ? 5 : ratio(2, 3) ? 7 : 0;
    case 9:
        return w == h ? 9 : 0;
    case 12:
        return ratio(4, 3) ? 19 : ratio(3, 4) ? 21 : 0;
    case 15:
        return ratio(5, 3) ? 23 : ratio(3, 5) ? 27 : 0;
    case 16:
        return w == h ? 31 : 0;
    case 20:
        return ratio(5, 4) ? 33 : ratio(4, 5) ? 37 : 0;
    case 24:
        return ratio(3, 2) ? 41 : ratio(2, 3) ? 43 : 0;
    default:
        return 0;
    }
}

std::vector<Vector2d> rotatedToLowestCorner(const std::vector<Vector2d>& outline)
{
    if (outline.empty()) {
        return {};
    }
    std::size_t first = 0;
    for (std::size_t i = 1; i < outline.size(); ++i) {
        if (outline[i].x + outline[i].y < outline[first].x + outline[first].y) {
            first = i;
        }
    }
    std::vector<Vector2d> out(outline.begin() + static_cast<std::ptrdiff_t>(first), outline.end());
    out.insert(out.end(), outline.begin(), outline.begin() + static_cast<std::ptrdiff_t>(first));
    return out;
}

void buildRooms(const ImportModel& model, Common::HostDocument& document, int storey)
{
    buildRooms(model, document, storey, ModelByStorey(model).of(storey).rooms);
}

void buildRooms(const ImportModel& model, Common::HostDocument& document, int storey,
                const std::vector<const ImportRoom*>& rooms)
{
    const double g = document.gridModule();
    for (const ImportRoom* room : rooms) {
        double floor = room->floorHeight - floorLevelOf(model, storey);
        const double height = room->ceilingHeight - room->floorHeight;
        const int code = room->kindCode;
        if (model.roomHostType.count(code) == 0) {
            Common::reportChanged(model.report, L"room", storey, room->id, L"room kind " + std::to_wstring(code) + L" has no counterpart in the host; built without a room type");
        }
        int hostKind = ImportModel::lookup(model.roomHostType, code);
        int roomClass = ImportModel::lookup(model.roomClass, code);
        auto colourA = static_cast<std::uint32_t>(ImportModel::lookup(model.roomColourA, code));
        auto colourB = static_cast<std::uint32_t>(ImportModel::lookup(model.roomColourB, code));
        int flag = ImportModel::lookup(model.roomFlag, code);
        int s14 = 1, s15 = 1, s18 = 1, tatami = 0;
        switch (code) {
        case 1:
            if (contains(room->name, L"縁側") || contains(room->name, L"広縁")) {
                hostKind = kVerandaHostKind;
                flag = 0;
                roomClass = 1;
                colourA = colourB = kVerandaColour;
            } else {
                tatami = tatamiLayout(room->outline, g);
                s14 = 0;
            }
            break;
        case 2:
        case 13:
            s14 = 0;
            break;
        case 3:
            if (contains(room->name, L"キッチン") || contains(room->name, L"ｷｯﾁﾝ")) {
                hostKind = kKitchenHostKind;
            }
            break;
        case 4:
        case 5:
        case 8:
        case 9:
            s14 = 0;
            s15 = 0;
            break;
        case 15:
        case 16:
            floor = room->floorHeight;
            break;
        case 17:
        case 18:
            s18 = 0;
            break;
        default:
            break;
        }
        Common::Arguments args{doubles(flatten(rotatedToLowestCorner(room->outline))),
                               ui2(static_cast<std::uint16_t>(hostKind)),
                               text(room->name),
                               i4(1),
                               i4(flag),
                               r8(floor),
                               r8(10.0),
                               r8(height),
                               r8(100.0),
                               r8(0.0),
                               r8(30.0),
                               r8(0.0),
                               r8(1200.0),
                               i4(s14),
                               i4(s15),
                               i4(0),
                               i4(0),
                               i4(s18),
                               ui1(static_cast<std::uint8_t>(roomClass)),
                               ui4(colourB),
                               ui4(colourA),
                               i4(0),
                               ui2(static_cast<std::uint16_t>(tatami)),
                               text(L"メイリオ"),
                               r8(4.0),
                               ui1(0),
                               r8(0.0),
                               ui4(0)};
        document.newRoom(std::move(args));
    }
}

}  // namespace Importer
