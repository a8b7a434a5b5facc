#include "importer/reading/SectionReaders.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <string_view>

#include "importer/xml/TextValues.h"

namespace Importer {

namespace {

// Text of the element reached from `node` by following child names.
std::wstring textAt(XmlNode node, std::string_view name) { return nodeText(findChild(node, name)); }

std::wstring textAt(XmlNode node, std::string_view name, std::string_view child)
{
    return nodeText(findChild(findChild(node, name), child));
}

int intAt(XmlNode node, std::string_view name) { return toInt(textAt(node, name)); }

double numberAt(XmlNode node, std::string_view name) { return toDouble(textAt(node, name)); }

// A height: positive infinity when the file gives none (element missing or
// empty), so that preparation can tell it from a real 0.
double heightAt(XmlNode node, std::string_view name)
{
    const std::wstring text = textAt(node, name);
    return text.empty() ? kMissingHeight : toDouble(text);
}

// Rounds to single precision the way the hardware does, without the
// undefined behaviour of converting an out-of-range double to float.
float toSingle(double value)
{
    if (std::isfinite(value) && std::fabs(value) > static_cast<double>(FLT_MAX)) {
        return std::copysign(std::numeric_limits<float>::infinity(), static_cast<float>(value > 0 ? 1 : -1));
    }
    return static_cast<float>(value);
}

std::wstring attributeAt(XmlNode node, std::string_view name, std::string_view attribute)
{
    return attributeText(findChild(node, name), attribute);
}

// Calls `read` for every child named `name`, in document order.
template <typename Read>
void forEachChild(XmlNode parent, std::string_view name, Read read)
{
    for (XmlNode node = findChild(parent, name); node != nullptr; node = findNextSibling(node, name)) {
        read(node);
    }
}

void readLevels(XmlNode table, ImportModel& model)
{
    forEachChild(table, "レベル", [&](XmlNode level) {
        model.levelByStorey[toInt(attributeText(level, "階"))] = toSingle(toDouble(nodeText(level)));
    });
}

}  // namespace

void readGridSection(XmlNode section, ImportModel& model)
{
    const XmlNode grid = findChild(section, "通り芯");
    model.gridQuadrant = toInt(textAt(grid, "番付象限"));
    Vector2d origin;
    toPoint2(attributeAt(grid, "座標", "点"), origin);
    model.gridOrigin = origin;
    if (grid != nullptr) {
        const XmlNode spacing = findChild(grid, "番付間距離");
        model.gridSpacing.x = toDouble(attributeText(spacing, "X"));
        model.gridSpacing.y = toDouble(attributeText(spacing, "Y"));
    }
}

void readFileInfoSection(XmlNode section, ImportModel& model)
{
    model.linkFileVersion = textAt(section, "連携ファイルバージョン");
    const XmlNode cad = findChild(section, "CADシステム");
    model.cadMaker = textAt(cad, "メーカー名");
    model.cadSoftware = textAt(cad, "ソフト名");
    model.cadVersion = textAt(cad, "バージョン");
    const XmlNode date = findChild(section, "ファイル出力日");
    model.outputYear = textAt(date, "年");
    model.outputMonth = textAt(date, "月");
    model.outputDay = textAt(date, "日");
    model.outputHour = textAt(date, "時");
    model.outputMinute = textAt(date, "分");
    model.outputSecond = textAt(date, "秒");
}

void readProjectSection(XmlNode section, ImportModel& model)
{
    const XmlNode storeys = findChild(section, "建物階数");
    model.storeysAboveGround = intAt(storeys, "地上");
    model.storeysBelowGround = intAt(storeys, "地下");
    // The basic module stands in for a grid spacing that has not been read
    // (or was read as 0); a grid section later in the file overrides it.
    if (model.gridSpacing.x * model.gridSpacing.x + model.gridSpacing.y * model.gridSpacing.y == 0.0) {
        const double module = numberAt(section, "基本モジュール");
        model.gridSpacing.x = module;
        model.gridSpacing.y = module;
    }
    // Reference floor heights are read second so that they win for a storey
    // listed in both tables.
    readLevels(findChild(section, "構造基準レベル"), model);
    readLevels(findChild(section, "基準床高"), model);
    model.foundationHeight = toSingle(numberAt(section, "基準基礎高"));
}

void readRoomSection(XmlNode section, ImportModel& model)
{
    forEachChild(section, "部屋", [&](XmlNode node) {
        auto room = std::make_unique<ImportRoom>();
        room->storey = intAt(node, "層");
        room->id = textAt(node, "ID");
        room->name = textAt(node, "名称");
        room->kindCode = toInt(textAt(node, "種類", "コード"));
        room->kindName = textAt(node, "種類", "名称");
        room->floorHeight = heightAt(node, "床高");
        room->ceilingHeight = heightAt(node, "天井高");
        room->outline = toPoints2(attributeAt(node, "領域2D", "点列"));
        model.rooms.push_back(std::move(room));
    });
}

void readWallSection(XmlNode section, ImportModel& model)
{
    forEachChild(section, "壁", [&](XmlNode node) {
        auto wall = std::make_unique<ImportWall>();
        wall->storey = intAt(node, "層");
        wall->id = textAt(node, "ID");
        wall->kindCode = toInt(textAt(node, "種類", "コード"));
        wall->kindName = textAt(node, "種類", "名称");
        toSegment(attributeAt(node, "線分2D", "始点終点"), wall->start, wall->end);
        wall->thickness = toSingle(numberAt(node, "壁厚"));
        wall->topHeight = toSingle(numberAt(node, "上端高"));
        wall->bottomHeight = toSingle(numberAt(node, "下端高"));
        model.walls.push_back(std::move(wall));
    });
}

void readOuterLineSection(XmlNode section, ImportModel& model)
{
    forEachChild(section, "外壁線", [&](XmlNode node) {
        auto line = std::make_unique<ImportOuterLine>();
        line->storey = intAt(node, "層");
        line->id = textAt(node, "ID");
        line->code = intAt(node, "コード");
        line->points = toPoints2(attributeAt(node, "領域2D", "点列"));
        model.outerLines.push_back(std::move(line));
    });
}

void fitOpeningToRegion(ImportOpening& opening)
{
    if (opening.region3D.empty()) {
        return;
    }
    const Vector2d along = opening.end == opening.start ? Vector2d() : (opening.end - opening.start).unit();
    const double s0 = opening.start.x * along.x + opening.start.y * along.y;
    double tmin = 0;
    double tmax = 0;
    bool first = true;
    for (const Vector3d& p : opening.region3D) {
        const double t = p.x * along.x + p.y * along.y;
        if (first) {
            tmin = tmax = t;
            first = false;
        } else {
            tmin = std::min(tmin, t);
            tmax = std::max(tmax, t);
        }
    }
    opening.width = tmax - tmin;
    const Vector2d read = opening.start;
    opening.start = read + along * (tmin - s0);
    opening.end = read + along * (tmax - s0);
}

void readOpeningSection(XmlNode section, ImportModel& model)
{
    forEachChild(section, "開口", [&](XmlNode node) {
        auto opening = std::make_unique<ImportOpening>();
        opening->storey = intAt(node, "層");
        opening->id = textAt(node, "ID");
        opening->kindCode = toInt(textAt(node, "種類", "コード"));
        opening->kindName = textAt(node, "種類", "名称");
        const XmlNode fitting = findChild(node, "建具");
        opening->maker = textAt(fitting, "メーカー");
        opening->modelNumber = textAt(fitting, "型番");
        opening->fittingName = textAt(fitting, "名称");
        opening->specification = textAt(fitting, "仕様");
        opening->headHeight = numberAt(node, "取付高");
        opening->height = numberAt(node, "開口H");
        opening->width = numberAt(node, "開口W");
        toSegment(attributeAt(node, "線分2D", "始点終点"), opening->start, opening->end);
        opening->region3D = toPoints3(attributeAt(node, "領域3D", "点列"));
        fitOpeningToRegion(*opening);
        model.openings.push_back(std::move(opening));
    });
}

void readStairSection(XmlNode section, ImportModel& model)
{
    forEachChild(section, "階段", [&](XmlNode node) {
        auto stair = std::make_unique<ImportStair>();
        stair->storey = intAt(node, "層");
        stair->id = textAt(node, "ID");
        stair->form = intAt(node, "形式");
        forEachChild(node, "階段ブロック", [&](XmlNode block) {
            stair->turnAngles.push_back(numberAt(block, "回り角度"));
            stair->stepCounts.push_back(intAt(block, "段数"));
            stair->blockOutlines.push_back(toPoints2(attributeAt(block, "領域2D", "点列")));
        });
        model.stairs.push_back(std::move(stair));
    });
}

void readRoofSection(XmlNode section, ImportModel& model)
{
    forEachChild(section, "屋根", [&](XmlNode node) {
        auto roof = std::make_unique<ImportRoof>();
        roof->storey = intAt(node, "層");
        roof->id = textAt(node, "ID");
        roof->kindCode = toInt(textAt(node, "種類", "コード"));
        roof->kindName = textAt(node, "種類", "名称");
        const XmlNode baseLine = findChild(node, "基準線");
        toSegment(attributeAt(baseLine, "線分2D", "始点終点"), roof->baseLineStart, roof->baseLineEnd);
        roof->baseHeight = numberAt(baseLine, "高さ");
        roof->pitch = numberAt(node, "屋根勾配");
        roof->finishThickness = heightAt(node, "仕上げ厚み");
        roof->eavesShapeCode = toInt(textAt(node, "軒先形状", "コード"));
        roof->eavesShapeName = textAt(node, "軒先形状", "名称");
        const XmlNode region = findChild(node, "領域2D");
        roof->outline = toPoints2(attributeText(region, "点列"));
        for (const std::wstring& token : splitBlank(attributeAt(region, "オフセット", "値"))) {
            roof->edgeOffsets.push_back(toSingle(toDouble(token)));
        }
        model.roofs.push_back(std::move(roof));
    });
}

void readSections(XmlNode root, ImportModel& model)
{
    using Reader = void (*)(XmlNode, ImportModel&);
    struct Section {
        std::string_view name;
        Reader reader;  // null: recognised and passed over
    };
    static const Section sections[] = {
        {"入力点情報", readGridSection},   {"ファイル情報", readFileInfoSection}, {"物件情報", readProjectSection},
        {"部屋情報", readRoomSection},     {"壁情報", readWallSection},         {"外壁線情報", readOuterLineSection},
        {"開口情報", readOpeningSection},  {"出窓情報", nullptr},               {"階段情報", readStairSection},
        {"屋根情報", readRoofSection},
    };
    for (XmlNode child = firstChild(root); child != nullptr; child = nextSibling(child)) {
        for (const Section& section : sections) {
            if (hasName(child, section.name)) {
                if (section.reader != nullptr) {
                    section.reader(child, model);
                }
                break;
            }
        }
    }
}

}  // namespace Importer
