#include "exporter/model/ExportModel.h"

namespace Exporter {

namespace {

struct RoomKindRow {
    int hostType;
    int code;
    const wchar_t* name;
};

// Host room type -> CEDXM room kind. The host numbers its room types 1 to 29.
const RoomKindRow kRoomKinds[] = {
    {1, 15, L"玄関"},
    {2, 11, L"廊下（ホール）"},
    {3, 13, L"吹抜（２、３階階段室）"},
    {4, 3, L"洋室（キッチン）"},
    {5, 3, L"洋室（キッチン）"},
    {6, 3, L"洋室（キッチン）"},
    {7, 3, L"洋室（キッチン）"},
    {8, 8, L"浴室（ユニットバス）"},
    {9, 10, L"洗面"},
    {10, 10, L"洗面"},
    {11, 7, L"トイレ"},
    {12, 3, L"洋室（キッチン）"},
    {13, 3, L"洋室（キッチン）"},
    {14, 3, L"洋室（キッチン）"},
    {15, 1, L"和室"},
    {16, 2, L"床の間（広縁）"},
    {17, 5, L"押入れ"},
    {18, 4, L"収納"},
    {19, 6, L"ウォークインクローゼット"},
    {20, 0, L"ポーチ／土間"},
    {21, 18, L"バルコニー（既成）"},
    {22, 15, L"インナーガレージ"},
    {23, 11, L"廊下（ホール）"},
    {24, 3, L"洋室（キッチン）"},
    {25, 3, L"洋室（キッチン）"},
    {26, 1, L"和室"},
    {27, 2, L"床の間（広縁）"},
    {28, 4, L"収納"},
    {29, 15, L"土間"},
};

}  // namespace

ExportModel::ExportModel()
{
    for (const RoomKindRow& row : kRoomKinds) {
        roomKindCodes[row.hostType] = row.code;
        roomKindNames[row.hostType] = row.name;
    }
}

}  // namespace Exporter
