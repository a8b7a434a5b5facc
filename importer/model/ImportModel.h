#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/geometry/Vector2.h"
#include "common/geometry/Vector3.h"
#include "common/report/ConversionReport.h"

namespace Importer {

using Common::Vector2d;
using Common::Vector3d;

// A height the file did not give; preparation replaces it.
inline constexpr double kMissingHeight = std::numeric_limits<double>::infinity();

struct ImportRoom {
    int storey = 0;
    std::wstring id;  // ID: names the record in pictures and reports; building ignores it
    std::wstring name;
    int kindCode = 0;
    std::wstring kindName;
    double floorHeight = kMissingHeight;
    double ceilingHeight = kMissingHeight;
    std::vector<Vector2d> outline;
};

struct ImportOuterLine {
    int storey = 0;
    std::wstring id;  // ID: names the record in pictures and reports; building ignores it
    int code = 0;
    std::vector<Vector2d> points;
};

struct ImportWall {
    int storey = 0;
    std::wstring id;  // ID: names the record in pictures and reports; building ignores it
    int kindCode = 0;
    std::wstring kindName;
    float thickness = 0;
    Vector2d start;
    Vector2d end;
    double bottomHeight = 0;  // stored through single precision
    double topHeight = 0;     // stored through single precision
};

struct ImportOpening {
    int storey = 0;
    std::wstring id;  // ID: names the record in pictures and reports; building ignores it
    int kindCode = 0;
    std::wstring kindName;
    std::wstring maker;
    std::wstring modelNumber;
    std::wstring fittingName;
    std::wstring specification;
    double headHeight = 0;  // top of the opening
    double width = 0;
    double height = 0;
    Vector2d start;
    Vector2d end;
    std::vector<Vector3d> region3D;
};

struct ImportStair {
    int storey = 0;
    std::wstring id;  // ID: names the record in pictures and reports; building ignores it
    int form = 0;
    std::vector<double> turnAngles;  // degrees
    std::vector<int> stepCounts;
    std::vector<std::vector<Vector2d>> blockOutlines;
};

struct ImportRoof {
    int storey = 0;
    std::wstring id;  // ID: names the record in pictures and reports; building ignores it
    int kindCode = 0;
    std::wstring kindName;
    Vector2d baseLineStart;
    Vector2d baseLineEnd;
    double baseHeight = 0;
    double pitch = 0;
    double finishThickness = kMissingHeight;
    int eavesShapeCode = 0;
    std::wstring eavesShapeName;
    std::vector<Vector2d> outline;
    std::vector<float> edgeOffsets;
};

// One CEDXM file on its way into the host. Records keep file order.
class ImportModel {
public:
    explicit ImportModel(std::int32_t ownerWindowHandle = 0);

    std::int32_t ownerWindow = 0;
    int gridQuadrant = 0;
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
    int storeysAboveGround = 0;
    int storeysBelowGround = 0;
    std::map<int, float> levelByStorey;
    std::map<int, float> floorLevelByStorey;
    float foundationHeight = 0;
    Vector2d gridOrigin;
    Vector2d gridSpacing;

    std::vector<std::unique_ptr<ImportRoom>> rooms;
    std::vector<std::unique_ptr<ImportOuterLine>> outerLines;
    std::vector<std::unique_ptr<ImportWall>> walls;
    std::vector<std::unique_ptr<ImportOpening>> openings;
    std::vector<std::unique_ptr<ImportStair>> stairs;
    std::vector<std::unique_ptr<ImportRoof>> roofs;

    // Keyed by CEDXM room kind code 0 to 19; a missing key reads as 0.
    std::map<int, int> roomHostType;
    std::map<int, int> roomColourA;
    std::map<int, int> roomClass;
    std::map<int, int> roomColourB;
    std::map<int, int> roomFlag;
    std::map<int, int> stairPatternTable;  // block pattern -> host stair code
    std::map<std::wstring, std::wstring> fittingTable;  // model number -> part file

    std::wstring hostFolder;
    std::wstring programFolder;  // without trailing separator

    // Where preparation and the builders note what they leave out or
    // change; null without --report. Never changes what is built.
    Common::ConversionReport* report = nullptr;

    // Table look-up where a missing key gives 0.
    static int lookup(const std::map<int, int>& table, int key);
};

}  // namespace Importer
