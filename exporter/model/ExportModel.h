#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/geometry/Vector2.h"
#include "common/geometry/Vector3.h"
#include "common/report/ConversionReport.h"

namespace Exporter {

using Common::Vector2d;
using Common::Vector3d;

struct ExportRoom {
    std::int32_t storey = 0;
    std::wstring name;
    std::int32_t kindCode = 0;
    std::wstring kindName;  // written only when kindCode is 0
    double floorHeight = 0;
    double ceilingHeight = 0;
    std::vector<Vector2d> outline;  // implicitly closed
};

// The code of an exterior line is derived from its orientation when written.
struct ExportOuterLine {
    std::int32_t storey = 0;
    std::vector<Vector2d> points;
};

struct ExportWall {
    std::int32_t storey = 0;
    std::int32_t kindCode = 0;  // 1 full height, 2 hanging, 3 standing, 4 free
    Vector2d start;
    Vector2d end;
    double thickness = 0;
    double bottomHeight = 0;
    double topHeight = 0;
};

struct ExportOpening {
    std::int32_t storey = 0;
    std::int32_t kindCode = 0;  // 1 window-like, 2 door-like, 3 without fitting
    std::wstring modelNumber;
    double headHeight = 0;  // top of the opening
    double width = 0;
    double height = 0;
    Vector2d start;
    Vector2d end;
    std::vector<Vector3d> region3D;
};

struct ExportStair {
    std::int32_t storey = 0;
    std::int32_t form = 0;
    std::vector<double> turnAngles;  // degrees, one per block
    std::vector<std::int32_t> stepCounts;
    std::vector<std::vector<Vector2d>> blockOutlines;  // the block count
};

struct ExportRoof {
    std::int32_t storey = 0;
    Vector2d baseLineStart;
    Vector2d baseLineEnd;
    double baseHeight = 0;
    double pitch = 0;
    double finishThickness = 0;
    std::int32_t eavesShapeCode = 0;
    std::vector<Vector2d> outline;
    std::vector<float> edgeOffsets;  // one per outline edge
};

// One plan on its way from the host to a CEDXM file. Records are kept in the
// order they were appended; the writers emit them in that order.
class ExportModel {
public:
    ExportModel();

    std::map<int, int> roomKindCodes;            // host room type -> CEDXM kind code
    std::map<int, std::wstring> roomKindNames;   // host room type -> kind name
    std::map<std::wstring, std::wstring> fittingTable;  // name fragment -> model number

    std::wstring gridQuadrant;
    Vector2d gridOrigin;
    Vector2d gridSpacing;

    std::wstring linkFileVersion;
    std::wstring cadMaker;
    std::wstring cadSoftware;
    std::wstring cadVersion;
    std::wstring outputYear;
    std::wstring outputMonth;
    std::wstring outputDay;
    std::wstring outputHour;
    std::wstring outputMinute;
    std::wstring outputSecond;

    std::int32_t storeysAboveGround = 0;
    std::int32_t storeysBelowGround = 0;
    std::map<int, float> structuralLevelByStorey;
    std::map<int, float> referenceFloorLevelByStorey;
    float foundationHeight = 0;
    std::int32_t methodType = 0;
    std::wstring methodName;
    std::int32_t methodDetailType = 0;
    std::wstring methodDetailName;

    std::vector<std::unique_ptr<ExportRoom>> rooms;
    std::vector<std::unique_ptr<ExportOuterLine>> outerLines;
    std::vector<std::unique_ptr<ExportWall>> walls;
    std::vector<std::unique_ptr<ExportOpening>> openings;
    std::vector<std::unique_ptr<ExportStair>> stairs;
    std::vector<std::unique_ptr<ExportRoof>> roofs;

    std::size_t roofCount() const { return roofs.size(); }

    // Where the passes note what they leave out or change; null without --report.
    Common::ConversionReport* report = nullptr;
};

}  // namespace Exporter
