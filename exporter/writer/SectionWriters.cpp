#include "exporter/writer/SectionWriters.h"

#include "common/geometry/Geometry.h"
#include "exporter/writer/Guid.h"
#include "exporter/writer/SideBySideRecords.h"

namespace Exporter {

namespace {

// 点数 and 点列 of a point list.
XmlAttributeList& pointListAttributes(XmlTextWriter& xml, const std::vector<Common::Vector2d>& points)
{
    XmlAttributeList& attributes = xml.attributes();
    appendInteger(attributes.add(L"点数"), static_cast<long long>(points.size()));
    appendPointList(attributes.add(L"点列"), points);
    return attributes;
}

void writeRegion2D(XmlTextWriter& xml, const std::vector<Common::Vector2d>& points)
{
    xml.empty(L"領域2D", pointListAttributes(xml, points));
}

void writeSegment(XmlTextWriter& xml, const Common::Vector2d& start, const Common::Vector2d& end)
{
    XmlAttributeList& attributes = xml.attributes();
    appendSegment(attributes.add(L"始点終点"), start.x, start.y, end.x, end.y);
    xml.empty(L"線分2D", attributes);
}

// Every record opens with its storey and a fresh identifier.
void startRecord(XmlTextWriter& xml, const wchar_t* element, std::int32_t storey)
{
    xml.start(element);
    xml.valueInteger(L"層", storey);
    xml.value(L"ID", ElementId().text());
}

void writeKind(XmlTextWriter& xml, std::int32_t code)
{
    xml.start(L"種類");
    xml.valueInteger(L"コード", code);
    xml.end(L"種類");
}

void writeLevels(XmlTextWriter& xml, const std::map<int, float>& levels)
{
    for (const auto& [storey, level] : levels) {
        XmlAttributeList& attributes = xml.attributes();
        appendInteger(attributes.add(L"階"), storey);
        xml.value(L"レベル", attributes, formatNumber(static_cast<double>(level)));
    }
}

}  // namespace

void appendPointList(std::wstring& out, const std::vector<Common::Vector2d>& points)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            out += L' ';
        }
        appendPoint(out, points[i].x, points[i].y);
    }
}

void appendPoint3List(std::wstring& out, const std::vector<Common::Vector3d>& points)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            out += L' ';
        }
        appendPoint3(out, points[i].x, points[i].y, points[i].z);
    }
}

void writeGridSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"入力点情報");
    xml.start(L"通り芯");
    xml.value(L"番付象限", model.gridQuadrant);
    XmlAttributeList origin;
    origin.add(L"点", formatPoint(model.gridOrigin.x, model.gridOrigin.y));
    xml.empty(L"座標", origin);
    XmlAttributeList spacing;
    spacing.add(L"X", formatNumber(model.gridSpacing.x));
    spacing.add(L"Y", formatNumber(model.gridSpacing.y));
    xml.empty(L"番付間距離", spacing);
    xml.end(L"入力点情報");
}

void writeFileInfoSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"ファイル情報");
    xml.value(L"連携ファイルバージョン", model.linkFileVersion);
    xml.start(L"CADシステム");
    xml.value(L"メーカー名", model.cadMaker);
    xml.value(L"ソフト名", model.cadSoftware);
    xml.value(L"バージョン", model.cadVersion);
    xml.end(L"CADシステム");
    xml.start(L"ファイル出力日");
    xml.value(L"年", model.outputYear);
    xml.value(L"月", model.outputMonth);
    xml.value(L"日", model.outputDay);
    xml.value(L"時", model.outputHour);
    xml.value(L"分", model.outputMinute);
    xml.value(L"秒", model.outputSecond);
    xml.end(L"ファイル出力日");
    xml.end(L"ファイル情報");
}

void writeProjectSection(const ExportModel& model, const std::wstring& projectName, XmlTextWriter& xml)
{
    xml.start(L"物件情報");
    xml.value(L"工事名称", projectName);
    xml.start(L"建物階数");
    xml.valueInteger(L"地上", model.storeysAboveGround);
    xml.valueInteger(L"地下", model.storeysBelowGround);
    xml.end(L"建物階数");
    xml.valueNumber(L"基本モジュール", model.gridSpacing.x);

    XmlAttributeList count;
    count.add(L"階数", formatInteger(static_cast<long long>(model.referenceFloorLevelByStorey.size())));
    xml.start(L"構造基準レベル", count);
    writeLevels(xml, model.structuralLevelByStorey);
    xml.end(L"構造基準レベル");

    // The reader takes nothing from this start tag, so it carries no attribute.
    xml.start(L"基準床高");
    writeLevels(xml, model.referenceFloorLevelByStorey);
    xml.end(L"基準床高");

    xml.valueNumber(L"基準基礎高", static_cast<double>(model.foundationHeight));

    if (model.methodType >= 0) {
        XmlAttributeList method;
        if (model.methodType == 0) {
            method.add(L"種別", L"0");
            method.add(L"名称", model.methodName);
        } else {
            method.add(L"種別", formatInteger(model.methodType));
        }
        xml.start(L"工法", method);
        if (model.methodDetailType > 0) {
            xml.valueInteger(L"詳細", model.methodDetailType);
        } else if (model.methodDetailType == 0) {
            xml.startWithText(L"詳細", L"0");
            xml.value(L"名称", model.methodDetailName);
            xml.end(L"詳細");
        }
        xml.end(L"工法");
    }
    xml.end(L"物件情報");
}

void writeRoomSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"部屋情報");
    writeRecords(xml, model.rooms.size(), [&model](XmlTextWriter& xml, std::size_t i) {
        const auto& room = model.rooms[i];
        startRecord(xml, L"部屋", room->storey);
        xml.value(L"名称", room->name);
        xml.start(L"種類");
        xml.valueInteger(L"コード", room->kindCode);
        if (room->kindCode == 0) {
            xml.value(L"名称", room->kindName);
        }
        xml.end(L"種類");
        xml.valueNumber(L"床高", room->floorHeight);
        xml.valueNumber(L"天井高", room->ceilingHeight);
        writeRegion2D(xml, room->outline);
        xml.end(L"部屋");
    });
    xml.end(L"部屋情報");
}

void writeWallSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"壁情報");
    writeRecords(xml, model.walls.size(), [&model](XmlTextWriter& xml, std::size_t i) {
        const auto& wall = model.walls[i];
        startRecord(xml, L"壁", wall->storey);
        writeKind(xml, wall->kindCode);
        writeSegment(xml, wall->start, wall->end);
        xml.valueNumber(L"壁厚", wall->thickness);
        xml.valueNumber(L"上端高", wall->topHeight);
        xml.valueNumber(L"下端高", wall->bottomHeight);
        xml.end(L"壁");
    });
    xml.end(L"壁情報");
}

void writeOuterLineSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"外壁線情報");
    writeRecords(xml, model.outerLines.size(), [&model](XmlTextWriter& xml, std::size_t i) {
        const auto& line = model.outerLines[i];
        startRecord(xml, L"外壁線", line->storey);
        xml.value(L"コード", Common::runsClockwise(line->points) ? L"0" : L"1");
        writeRegion2D(xml, line->points);
        xml.end(L"外壁線");
    });
    xml.end(L"外壁線情報");
}

void writeOpeningSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"開口情報");
    writeRecords(xml, model.openings.size(), [&model](XmlTextWriter& xml, std::size_t i) {
        const auto& opening = model.openings[i];
        startRecord(xml, L"開口", opening->storey);
        writeKind(xml, opening->kindCode);
        if (!opening->modelNumber.empty()) {
            xml.start(L"建具");
            xml.value(L"型番", opening->modelNumber);
            xml.end(L"建具");
        }
        xml.valueNumber(L"取付高", opening->headHeight);
        xml.valueNumber(L"開口H", opening->height);
        xml.valueNumber(L"開口W", opening->width);
        writeSegment(xml, opening->start, opening->end);
        XmlAttributeList& region = xml.attributes();
        appendInteger(region.add(L"点数"), static_cast<long long>(opening->region3D.size()));
        appendPoint3List(region.add(L"点列"), opening->region3D);
        xml.empty(L"領域3D", region);
        xml.end(L"開口");
    });
    xml.end(L"開口情報");
}

void writeStairSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"階段情報");
    writeRecords(xml, model.stairs.size(), [&model](XmlTextWriter& xml, std::size_t i) {
        const auto& stair = model.stairs[i];
        startRecord(xml, L"階段", stair->storey);
        xml.valueInteger(L"形式", stair->form);
        const std::size_t n = stair->blockOutlines.size();
        xml.valueInteger(L"階段ブロック数", static_cast<long long>(n));
        for (std::size_t i = 0; i < n; ++i) {
            xml.start(L"階段ブロック");
            // The per-block sequences should be as long as the outlines; a
            // shorter one is read as 0 rather than past its end.
            const double angle = i < stair->turnAngles.size() ? stair->turnAngles[i] : 0.0;
            const std::int32_t steps = i < stair->stepCounts.size() ? stair->stepCounts[i] : 0;
            xml.valueNumber(L"回り角度", angle);
            xml.valueInteger(L"段数", steps);
            writeRegion2D(xml, stair->blockOutlines[i]);
            xml.end(L"階段ブロック");
        }
        xml.end(L"階段");
    });
    xml.end(L"階段情報");
}

void writeRoofSection(const ExportModel& model, XmlTextWriter& xml)
{
    xml.start(L"屋根情報");
    writeRecords(xml, model.roofs.size(), [&model](XmlTextWriter& xml, std::size_t i) {
        const auto& roof = model.roofs[i];
        startRecord(xml, L"屋根", roof->storey);
        writeKind(xml, 1);
        xml.start(L"基準線");
        writeSegment(xml, roof->baseLineStart, roof->baseLineEnd);
        xml.valueNumber(L"高さ", roof->baseHeight);
        xml.end(L"基準線");
        xml.valueNumber(L"屋根勾配", roof->pitch);
        xml.valueNumber(L"仕上げ厚み", roof->finishThickness);
        xml.start(L"軒先形状");
        xml.valueInteger(L"コード", roof->eavesShapeCode);
        xml.end(L"軒先形状");
        xml.start(L"領域2D", pointListAttributes(xml, roof->outline));
        XmlAttributeList& values = xml.attributes();
        std::wstring& offsets = values.add(L"値");
        for (std::size_t i = 0; i < roof->edgeOffsets.size(); ++i) {
            if (i > 0) {
                offsets += L' ';
            }
            appendNumber(offsets, static_cast<double>(roof->edgeOffsets[i]));
        }
        xml.empty(L"オフセット", values);
        xml.end(L"領域2D");
        xml.end(L"屋根");
    });
    xml.end(L"屋根情報");
}

bool writeCedxmDocument(const ExportModel& model, const std::string& outputPath, const std::wstring& projectName,
                        bool shiftJis, std::string& error)
{
    XmlTextWriter xml;
    if (!xml.open(outputPath, shiftJis)) {
        error = xml.error();
        return false;
    }
    XmlAttributeList root;
    root.add(L"Version", L"1.0");
    xml.start(L"CADIF", root);
    writeGridSection(model, xml);
    writeFileInfoSection(model, xml);
    writeProjectSection(model, projectName, xml);
    writeRoomSection(model, xml);
    writeWallSection(model, xml);
    writeOuterLineSection(model, xml);
    writeOpeningSection(model, xml);
    writeStairSection(model, xml);
    writeRoofSection(model, xml);
    xml.end(L"CADIF");
    xml.closeAll();
    if (!xml.close()) {
        error = xml.error();
        return false;
    }
    return true;
}

}  // namespace Exporter
