#include "importer/model/ImportModel.h"

namespace Importer {

namespace {

struct RoomKindRow {
    int code;
    int hostType;
    int roomClass;
    int colourA;
    int colourB;
    int flag;
};

// CEDXM room kind code -> host room type, class, colours (0x00BBGGRR), flag.
const RoomKindRow kRoomKinds[] = {
    {0, 12, 2, 0xCFEFFA, 0xAFD2E0, 1},  {1, 15, 1, 0xBFD5D0, 0xBFD5D0, 1},  {2, 16, 18, 0xCFE9E9, 0xA3BBBC, 0},
    {3, 12, 2, 0xCFEFFA, 0xAFD2E0, 1},  {4, 28, 1, 0xD0DBEB, 0xD0DBEB, 0},  {5, 17, 1, 0xD0DBEB, 0xD0DBEB, 0},
    {6, 19, 1, 0xD0DBEB, 0xD0DBEB, 1},  {7, 11, 1, 0xFFE1D7, 0xFFE1D7, 1},  {8, 8, 6, 0xFFE1D7, 0xFFFFFF, 1},
    {9, 8, 6, 0xFFE1D7, 0xFFFFFF, 1},   {10, 9, 1, 0xFFE1D7, 0xFFE1D7, 1},  {11, 2, 1, 0xF7F7F7, 0xF7F7F7, 1},
    {12, 23, 1, 0xF7F7F7, 0xF7F7F7, 1}, {13, 3, 1, 0xF7F7F7, 0xF7F7F7, 0},  {14, 28, 1, 0xD0DBEB, 0xD0DBEB, 0},
    {15, 1, 6, 0xEEEEEE, 0x9B9B9B, 0},  {16, 1, 6, 0xEEEEEE, 0x9B9B9B, 0},  {17, 21, 1, 0xF2F2F2, 0xF2F2F2, 0},
    {18, 21, 1, 0xF2F2F2, 0xF2F2F2, 0}, {19, 12, 2, 0xCFEFFA, 0xAFD2E0, 1},
};

// Block pattern (one hex digit per block, first block most significant) ->
// host stair code.
const int kStairPatterns[][2] = {
    {0x4, 0x0200004},     {0x44, 0x1200044},    {0x444, 0x1200444},   {0x6, 0x2300060},     {0x2, 0x2100020},
    {0x46, 0x2300460},    {0x42, 0x2100420},    {0x64, 0x2300064},    {0x24, 0x2100024},    {0x464, 0x2300464},
    {0x424, 0x2100424},   {0x7, 0x3300070},     {0x1, 0x3100010},     {0x66, 0x3300660},    {0x22, 0x3100220},
    {0x47, 0x3340070},    {0x41, 0x3140010},    {0x14, 0x3300014},    {0x74, 0x3100074},    {0x466, 0x3340066},
    {0x422, 0x3140022},   {0x664, 0x3300664},   {0x224, 0x3100224},   {0x555, 0x3305550},   {0x333, 0x3103330},
    {0x474, 0x3340074},   {0x414, 0x3140014},   {0x4664, 0x3340664},  {0x4224, 0x3140224},  {0x4555, 0x3345550},
    {0x4333, 0x3143330},  {0x5554, 0x3305554},  {0x3334, 0x3103334},  {0x45554, 0x3345554}, {0x43334, 0x3143334},
    {0x646, 0x4306460},   {0x242, 0x4102420},   {0x4646, 0x4346460},  {0x4242, 0x4142420},  {0x6464, 0x4306464},
    {0x2424, 0x4102424},  {0x46464, 0x4346464}, {0x42424, 0x4142424}, {0x462, 0x5346020},   {0x426, 0x5142060},
    {0x642, 0x5306420},   {0x624, 0x5306024},   {0x246, 0x5102460},   {0x264, 0x5102064},   {0x4642, 0x5346420},
    {0x4246, 0x5142460},  {0x6424, 0x5306424},  {0x2464, 0x5102464},  {0x4624, 0x5304624},  {0x4264, 0x5104264},
    {0x46424, 0x5346424}, {0x42464, 0x5142464},
};

}  // namespace

ImportModel::ImportModel(std::int32_t ownerWindowHandle) : ownerWindow(ownerWindowHandle)
{
    for (const RoomKindRow& row : kRoomKinds) {
        roomHostType[row.code] = row.hostType;
        roomClass[row.code] = row.roomClass;
        roomColourA[row.code] = row.colourA;
        roomColourB[row.code] = row.colourB;
        roomFlag[row.code] = row.flag;
    }
    for (const auto& entry : kStairPatterns) {
        stairPatternTable[entry[0]] = entry[1];
    }
}

int ImportModel::lookup(const std::map<int, int>& table, int key)
{
    const auto it = table.find(key);
    return it == table.end() ? 0 : it->second;
}

}  // namespace Importer
