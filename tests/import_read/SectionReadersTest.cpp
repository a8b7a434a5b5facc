#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ReadSupport.h"

using namespace Importer;
using Common::Vector2d;
using Common::Vector3d;
using ReadSupport::cedxm;
using ReadSupport::readInto;

namespace {

ImportModel read(const std::string& body)
{
    ImportModel model;
    EXPECT_TRUE(readInto(cedxm(body), model));
    return model;
}

const std::string kGrid =
    "<入力点情報><通り芯><番付象限>3</番付象限><座標 点=\"10.5,-20.0\"/>"
    "<番付間距離 X=\"910.0\" Y=\"455.0\"/></通り芯></入力点情報>";
const std::string kProject =
    "<物件情報><工事名称>x</工事名称><建物階数><地上>2</地上><地下>1</地下></建物階数>"
    "<基本モジュール>1000.0</基本モジュール>"
    "<構造基準レベル 階数=\"2\"><レベル 階=\"1\">0.0</レベル><レベル 階=\"2\">2900.0</レベル></構造基準レベル>"
    "<基準床高 階=\"2\"><レベル 階=\"1\">500.0</レベル><レベル 階=\"3\">5800.1</レベル></基準床高>"
    "<基準基礎高>400.0</基準基礎高>"
    "<工法 種別=\"0\" 名称=\"在来\"><詳細>0<名称>d</名称></詳細></工法></物件情報>";

}  // namespace

TEST(SectionReaders, GridAndProject)
{
    const ImportModel model = read(kGrid + "<ファイル情報><連携ファイルバージョン>Ver.6.00</連携ファイルバージョン>"
                                           "<CADシステム><メーカー名>タヴレル株式会社</メーカー名><ソフト名>DOMORIAP</ソフト名>"
                                           "<バージョン>Ver.8.10</バージョン></CADシステム><ファイル出力日><年>2026</年>"
                                           "<月>1</月><日>9</日><時>0</時><分>5</分><秒>59</秒></ファイル出力日>"
                                           "</ファイル情報>" +
                                   kProject);
    EXPECT_EQ(model.gridQuadrant, 3);
    EXPECT_EQ(model.gridOrigin, Vector2d(10.5, -20));
    EXPECT_EQ(model.gridSpacing, Vector2d(910, 455));  // a grid read before wins over 基本モジュール
    EXPECT_EQ(model.linkFileVersion, L"Ver.6.00");
    EXPECT_EQ(model.cadMaker, L"タヴレル株式会社");
    EXPECT_EQ(model.cadSoftware, L"DOMORIAP");
    EXPECT_EQ(model.cadVersion, L"Ver.8.10");
    EXPECT_EQ(model.outputYear, L"2026");
    EXPECT_EQ(model.outputMinute, L"5");
    EXPECT_EQ(model.outputSecond, L"59");
    EXPECT_EQ(model.storeysAboveGround, 2);
    EXPECT_EQ(model.storeysBelowGround, 1);
    // Storey 1 is in both tables: the reference floor height wins.
    ASSERT_EQ(model.levelByStorey.size(), 3u);
    EXPECT_EQ(model.levelByStorey.at(1), 500.0f);
    EXPECT_EQ(model.levelByStorey.at(2), 2900.0f);
    EXPECT_EQ(model.levelByStorey.at(3), 5800.1f);
    EXPECT_EQ(model.foundationHeight, 400.0f);
    EXPECT_TRUE(model.floorLevelByStorey.empty());
}

TEST(SectionReaders, GridSpacingFollowsTheOrderOfTheSections)
{
    // Without 番付間距離 the spacing stays 0, so the module fills both axes.
    const std::string gridWithoutSpacing = "<入力点情報><通り芯><番付象限>1</番付象限></通り芯></入力点情報>";
    EXPECT_EQ(read(gridWithoutSpacing + kProject).gridSpacing, Vector2d(1000, 1000));
    // A grid after the project overwrites what the module gave.
    EXPECT_EQ(read(kProject + kGrid).gridSpacing, Vector2d(910, 455));
    EXPECT_EQ(read(kProject).gridSpacing, Vector2d(1000, 1000));
    // Without 通り芯 the spacing is not touched by the grid section.
    EXPECT_EQ(read(kProject + "<入力点情報/>").gridSpacing, Vector2d(1000, 1000));
    // A grid point without a usable comma leaves the origin at (0, 0).
    EXPECT_EQ(read("<入力点情報><通り芯><座標 点=\"15\"/></通り芯></入力点情報>").gridOrigin, Vector2d(0, 0));
}

TEST(SectionReaders, RoomsFromTwoSectionsInFileOrderAndBayWindowsSkipped)
{
    const std::string room = "<部屋><層>1</層><ID>X</ID><名称>洋室</名称><種類><コード>7</コード></種類>"
                             "<床高>0.0</床高><天井高>2400.0</天井高><領域2D 点数=\"3\" 点列=\"0,0 100,0  100,100 \"/></部屋>";
    const std::string bay = "<出窓情報><部屋情報><部屋><名称>bay</名称></部屋></部屋情報><部屋><名称>bay</名称></部屋></出窓情報>";
    const ImportModel model =
        read("<部屋情報>" + room + "<!-- x --><その他/>" + room + "</部屋情報>" + bay +
             "<部屋情報><部屋><層>2</層><名称>和室</名称><種類><コード>0</コード><名称>茶室</名称></種類><床高/>"
             "<領域2D 点列=\"\"/></部屋><部屋><種類><コード>25</コード></種類><床高>  </床高></部屋></部屋情報>");
    ASSERT_EQ(model.rooms.size(), 4u);
    const ImportRoom& first = *model.rooms[0];
    EXPECT_EQ(first.storey, 1);
    EXPECT_EQ(first.name, L"洋室");
    EXPECT_EQ(first.kindCode, 7);
    EXPECT_EQ(first.floorHeight, 0.0);
    EXPECT_EQ(first.ceilingHeight, 2400.0);
    ASSERT_EQ(first.outline.size(), 3u);
    EXPECT_EQ(first.outline[2], Vector2d(100, 100));
    EXPECT_EQ(model.rooms[1]->name, L"洋室");
    const ImportRoom& third = *model.rooms[2];
    EXPECT_EQ(third.name, L"和室");
    EXPECT_EQ(third.kindName, L"茶室");
    EXPECT_TRUE(std::isinf(third.floorHeight) && third.floorHeight > 0);    // empty element
    EXPECT_TRUE(std::isinf(third.ceilingHeight) && third.ceilingHeight > 0);  // missing element
    EXPECT_TRUE(third.outline.empty());
    const ImportRoom& fourth = *model.rooms[3];
    EXPECT_TRUE(std::isinf(fourth.floorHeight));  // blanks only
    EXPECT_EQ(ImportModel::lookup(model.roomHostType, fourth.kindCode), 0);
    EXPECT_EQ(ImportModel::lookup(model.roomHostType, first.kindCode), 11);
    EXPECT_EQ(ImportModel::lookup(model.roomHostType, -1), 0);
}

TEST(SectionReaders, WallsRoundHeightsThroughSinglePrecision)
{
    const ImportModel model =
        read("<壁情報><壁><層>2</層><種類><コード>3</コード><名称>腰壁</名称></種類>"
             "<線分2D 始点終点=\"0.0,0.0 3640.0,0.0\"/><壁厚>120.5</壁厚><上端高>2400.1</上端高><下端高>0.3</下端高></壁>"
             "<壁><線分2D 始点終点=\"100,200\"/></壁>"
             "<壁><壁厚>-1e300</壁厚><上端高>1e300</上端高><下端高>1e-300</下端高></壁></壁情報>");
    ASSERT_EQ(model.walls.size(), 3u);
    // Beyond single precision a height becomes infinite, as the hardware
    // rounds it; a tiny one becomes 0.
    EXPECT_TRUE(std::isinf(model.walls[2]->topHeight) && model.walls[2]->topHeight > 0);
    EXPECT_TRUE(std::isinf(model.walls[2]->thickness) && model.walls[2]->thickness < 0);
    EXPECT_EQ(model.walls[2]->bottomHeight, 0.0);
    const ImportWall& wall = *model.walls[0];
    EXPECT_EQ(wall.storey, 2);
    EXPECT_EQ(wall.kindCode, 3);
    EXPECT_EQ(wall.kindName, L"腰壁");
    EXPECT_EQ(wall.start, Vector2d(0, 0));
    EXPECT_EQ(wall.end, Vector2d(3640, 0));
    EXPECT_EQ(wall.thickness, 120.5f);
    EXPECT_EQ(wall.topHeight, static_cast<double>(2400.1f));
    EXPECT_NE(wall.topHeight, 2400.1);
    EXPECT_EQ(wall.bottomHeight, static_cast<double>(0.3f));
    EXPECT_EQ(model.walls[1]->start, Vector2d(0, 0));  // one-token segment
    EXPECT_EQ(model.walls[1]->end, Vector2d(0, 0));
    EXPECT_EQ(model.walls[1]->topHeight, 0.0);
}

TEST(SectionReaders, ExteriorLinesTakeTheCodeDirectly)
{
    const ImportModel model = read("<外壁線情報><外壁線><層>1</層><コード>1</コード><種類><コード>5</コード></種類>"
                                   "<領域2D 点数=\"2\" 点列=\"1,2 3,4\"/></外壁線></外壁線情報>");
    ASSERT_EQ(model.outerLines.size(), 1u);
    EXPECT_EQ(model.outerLines[0]->code, 1);
    EXPECT_EQ(model.outerLines[0]->points.size(), 2u);
}

TEST(SectionReaders, OpeningsAreFittedToTheirRegion)
{
    const ImportModel model = read(
        "<開口情報><開口><層>1</層><種類><コード>1</コード><名称>窓</名称></種類>"
        "<建具><メーカー>M</メーカー><型番>W-1</型番><名称>引違い</名称><仕様>S</仕様><固定荷重>9</固定荷重></建具>"
        "<取付高>2000.0</取付高><開口H>1100.0</開口H><開口W>800.0</開口W>"
        "<線分2D 始点終点=\"0.0,0.0 1000.0,0.0\"/><領域3D 点数=\"4\" 点列=\"700,5,0 100,9,0 100,9,2000 700,5,2000\"/>"
        "</開口>"
        "<開口><開口W>800.0</開口W><線分2D 始点終点=\"50,50 50,50\"/><領域3D 点列=\"100,0,0 300,0,0\"/></開口>"
        "<開口><開口W>800.0</開口W><線分2D 始点終点=\"0,0 0,1000\"/><領域3D 点列=\"\"/></開口>"
        "<開口><線分2D 始点終点=\"1000,1000 0,0\"/><領域3D 点列=\"100,100,0 400,400,0\"/></開口>"
        "</開口情報>");
    ASSERT_EQ(model.openings.size(), 4u);
    const ImportOpening& window = *model.openings[0];
    EXPECT_EQ(window.kindName, L"窓");
    EXPECT_EQ(window.maker, L"M");
    EXPECT_EQ(window.modelNumber, L"W-1");
    EXPECT_EQ(window.fittingName, L"引違い");
    EXPECT_EQ(window.specification, L"S");
    EXPECT_EQ(window.headHeight, 2000.0);
    EXPECT_EQ(window.height, 1100.0);
    EXPECT_EQ(window.start, Vector2d(100, 0));
    EXPECT_EQ(window.end, Vector2d(700, 0));
    EXPECT_EQ(window.width, 600.0);
    ASSERT_EQ(window.region3D.size(), 4u);
    EXPECT_EQ(window.region3D[2], Vector3d(100, 9, 2000));

    const ImportOpening& point = *model.openings[1];
    EXPECT_EQ(point.width, 0.0);
    EXPECT_EQ(point.start, Vector2d(50, 50));
    EXPECT_EQ(point.end, Vector2d(50, 50));

    const ImportOpening& noRegion = *model.openings[2];
    EXPECT_EQ(noRegion.width, 800.0);
    EXPECT_EQ(noRegion.end, Vector2d(0, 1000));

    // A reversed diagonal keeps its direction: it runs from the far end of
    // the region to the near one.
    const ImportOpening& diagonal = *model.openings[3];
    EXPECT_NEAR(diagonal.start.x, 400, 1e-9);
    EXPECT_NEAR(diagonal.start.y, 400, 1e-9);
    EXPECT_NEAR(diagonal.end.x, 100, 1e-9);
    EXPECT_NEAR(diagonal.end.y, 100, 1e-9);
    EXPECT_NEAR(diagonal.width, 300 * std::sqrt(2.0), 1e-9);
}

TEST(SectionReaders, StairsAndRoofs)
{
    std::string blocks;
    for (int i = 0; i < 3; ++i) {
        blocks += "<階段ブロック><回り角度>" + std::to_string(90 * i) + ".0</回り角度><段数>" + std::to_string(i + 3) +
                  "</段数><領域2D 点数=\"1\" 点列=\"" + std::to_string(i) + ",0\"/></階段ブロック>";
    }
    const ImportModel model = read(
        "<階段情報><階段><層>1</層><形式>2</形式><階段ブロック数>9</階段ブロック数>" + blocks +
        "</階段><階段/></階段情報>"
        "<屋根情報><屋根><層>2</層><種類><コード>1</コード><名称>切妻</名称></種類>"
        "<基準線><線分2D 始点終点=\"0,0 5000,0\"/><高さ>5500.0</高さ></基準線><屋根勾配>4.5</屋根勾配>"
        "<仕上げ厚み></仕上げ厚み><軒先形状><コード>2</コード><名称>N</名称></軒先形状>"
        "<領域2D 点数=\"4\" 点列=\"0,0 5000,0 5000,3000 0,3000\"><オフセット 値=\"600.0 600.0  450.1 0.0 \"/></領域2D>"
        "</屋根></屋根情報>");
    ASSERT_EQ(model.stairs.size(), 2u);
    const ImportStair& stair = *model.stairs[0];
    EXPECT_EQ(stair.form, 2);
    ASSERT_EQ(stair.turnAngles.size(), 3u);
    ASSERT_EQ(stair.stepCounts.size(), 3u);
    ASSERT_EQ(stair.blockOutlines.size(), 3u);
    EXPECT_EQ(stair.turnAngles[2], 180.0);
    EXPECT_EQ(stair.stepCounts[1], 4);
    EXPECT_EQ(stair.blockOutlines[2][0], Vector2d(2, 0));
    EXPECT_TRUE(model.stairs[1]->turnAngles.empty());

    ASSERT_EQ(model.roofs.size(), 1u);
    const ImportRoof& roof = *model.roofs[0];
    EXPECT_EQ(roof.storey, 2);
    EXPECT_EQ(roof.kindName, L"切妻");
    EXPECT_EQ(roof.baseLineEnd, Vector2d(5000, 0));
    EXPECT_EQ(roof.baseHeight, 5500.0);
    EXPECT_EQ(roof.pitch, 4.5);
    EXPECT_TRUE(std::isinf(roof.finishThickness));
    EXPECT_EQ(roof.eavesShapeCode, 2);
    EXPECT_EQ(roof.eavesShapeName, L"N");
    EXPECT_EQ(roof.outline.size(), 4u);
    ASSERT_EQ(roof.edgeOffsets.size(), 4u);
    EXPECT_EQ(roof.edgeOffsets[2], 450.1f);
}

TEST(SectionReaders, SectionsReadTwiceOverwriteSingleValues)
{
    const ImportModel model = read(kProject + "<物件情報><建物階数><地上>3</地上></建物階数></物件情報>" +
                                   "<ファイル情報/><ファイル情報><連携ファイルバージョン>2</連携ファイルバージョン></ファイル情報>");
    EXPECT_EQ(model.storeysAboveGround, 3);
    EXPECT_EQ(model.storeysBelowGround, 0);
    EXPECT_EQ(model.levelByStorey.at(1), 500.0f);  // levels only add up
    EXPECT_EQ(model.linkFileVersion, L"2");
    EXPECT_EQ(model.foundationHeight, 0.0f);
}

TEST(SectionReaders, NamesCompareExactly)
{
    const ImportModel model = read("<部屋情報 ><部屋 ><名称> 和室 </名称></部屋><部屋x/></部屋情報><部屋情報x><部屋/></部屋情報x>"
                                   "<x:部屋情報 xmlns:x=\"urn:x\"><部屋/></x:部屋情報>");
    ASSERT_EQ(model.rooms.size(), 1u);
    EXPECT_EQ(model.rooms[0]->name, L"和室");
}
