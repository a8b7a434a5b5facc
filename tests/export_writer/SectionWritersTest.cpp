#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "WriterTestSupport.h"
#include "exporter/model/ExportModel.h"
#include "exporter/writer/SectionWriters.h"

using namespace Exporter;
using Common::Vector2d;
using Common::Vector3d;
using WriterTest::crlf;

namespace {

class SectionWritersTest : public ::testing::Test {
protected:
    std::filesystem::path dir = WriterTest::freshFolder(
        std::string("sections_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::path file = dir / "plan.xml";

    std::wstring write(const ExportModel& model, const std::wstring& project = L"plan")
    {
        std::string error;
        EXPECT_TRUE(writeCedxmDocument(model, file.string(), project, true, error)) << error;
        return WriterTest::readCp932(file);
    }

    // The lines of the 物件情報 section from 基準基礎高 to its end tag.
    std::wstring methodPart(const ExportModel& model)
    {
        const std::wstring text = write(model);
        const auto from = text.find(L"    <基準基礎高>");
        const auto to = text.find(L"  </物件情報>");
        return text.substr(from, to - from);
    }
};

const std::vector<std::wstring> kListSectionsEmpty = {
    L"  <部屋情報>", L"  </部屋情報>", L"  <壁情報>",   L"  </壁情報>",   L"  <外壁線情報>", L"  </外壁線情報>",
    L"  <開口情報>", L"  </開口情報>", L"  <階段情報>", L"  </階段情報>", L"  <屋根情報>",   L"  </屋根情報>",
};

TEST_F(SectionWritersTest, NewModelGivesEverySectionWithNothingInTheLists)
{
    const ExportModel model;  // fresh: numbers 0, texts empty, method kind 0 with detail kind 0
    std::vector<std::wstring> lines = {
        L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>",
        L"<CADIF Version=\"1.0\">",
        L"  <入力点情報>",
        L"    <通り芯>",
        L"      <番付象限></番付象限>",
        L"      <座標 点=\"0.0,0.0\"/>",
        L"      <番付間距離 X=\"0.0\" Y=\"0.0\"/>",
        L"    </通り芯>",
        L"  </入力点情報>",
        L"  <ファイル情報>",
        L"    <連携ファイルバージョン></連携ファイルバージョン>",
        L"    <CADシステム>",
        L"      <メーカー名></メーカー名>",
        L"      <ソフト名></ソフト名>",
        L"      <バージョン></バージョン>",
        L"    </CADシステム>",
        L"    <ファイル出力日>",
        L"      <年></年>",
        L"      <月></月>",
        L"      <日></日>",
        L"      <時></時>",
        L"      <分></分>",
        L"      <秒></秒>",
        L"    </ファイル出力日>",
        L"  </ファイル情報>",
        L"  <物件情報>",
        L"    <工事名称>plan</工事名称>",
        L"    <建物階数>",
        L"      <地上>0</地上>",
        L"      <地下>0</地下>",
        L"    </建物階数>",
        L"    <基本モジュール>0.0</基本モジュール>",
        L"    <構造基準レベル 階数=\"0\">",
        L"    </構造基準レベル>",
        L"    <基準床高>",
        L"    </基準床高>",
        L"    <基準基礎高>0.0</基準基礎高>",
        L"    <工法 種別=\"0\" 名称=\"\">",
        L"      <詳細>",
        L"      0",
        L"        <名称></名称>",
        L"      </詳細>",
        L"    </工法>",
        L"  </物件情報>",
    };
    lines.insert(lines.end(), kListSectionsEmpty.begin(), kListSectionsEmpty.end());
    lines.push_back(L"</CADIF>");
    EXPECT_EQ(write(model), crlf(lines));
}

ExportModel modelWithValues()
{
    ExportModel m;
    m.gridQuadrant = L"1";
    m.gridSpacing = Vector2d(910, 910);
    m.linkFileVersion = L"Ver.6.00";
    m.cadMaker = L"タヴレル株式会社";
    m.cadSoftware = L"DOMORIAP";
    m.cadVersion = L"Ver.8.10";
    m.outputYear = L"2015";
    m.outputMonth = L"3";
    m.outputDay = L"7";
    m.outputHour = L"9";
    m.outputMinute = L"5";
    m.outputSecond = L"3";
    m.storeysAboveGround = 2;
    m.storeysBelowGround = 0;
    m.referenceFloorLevelByStorey = {{1, 500.f}, {2, 3400.f}, {3, 6300.f}};
    m.structuralLevelByStorey = {{1, 500.f}, {2, 3450.f}, {3, 6300.f}};
    m.foundationHeight = 400.f;
    m.methodType = 2;
    m.methodDetailType = -1;

    auto room = std::make_unique<ExportRoom>();
    room->storey = 1;
    room->name = L"LDK&家事";
    room->kindCode = 3;
    room->kindName = L"洋室（キッチン）";  // not written: code is not 0
    room->floorHeight = 500;
    room->ceilingHeight = 2400;
    room->outline = {{0, 0}, {0, 3640}, {4550, 3640}, {4550, 0}};
    m.rooms.push_back(std::move(room));
    auto porch = std::make_unique<ExportRoom>();
    porch->storey = 1;
    porch->name = L"ポーチ";
    porch->kindCode = 0;
    porch->kindName = L"ポーチ／土間";
    porch->floorHeight = 150;
    porch->ceilingHeight = -0.04;
    m.rooms.push_back(std::move(porch));

    auto wall = std::make_unique<ExportWall>();
    wall->storey = 1;
    wall->kindCode = 2;
    wall->start = Vector2d(0, 0);
    wall->end = Vector2d(0, 3640);
    wall->thickness = 120;
    wall->bottomHeight = 2000;
    wall->topHeight = 2400;
    m.walls.push_back(std::move(wall));

    auto clockwise = std::make_unique<ExportOuterLine>();
    clockwise->storey = 1;
    clockwise->points = {{0, 0}, {0, 3640}, {4550, 3640}, {4550, 0}};
    m.outerLines.push_back(std::move(clockwise));
    auto counter = std::make_unique<ExportOuterLine>();
    counter->storey = 2;
    counter->points = {{4550, 0}, {4550, 3640}, {0, 3640}, {0, 0}};
    m.outerLines.push_back(std::move(counter));

    auto window = std::make_unique<ExportOpening>();
    window->storey = 1;
    window->kindCode = 1;
    window->modelNumber = L"W-1690";
    window->headHeight = 2000;
    window->width = 1690;
    window->height = 1100;
    window->start = Vector2d(455, 0);
    window->end = Vector2d(2145, 0);
    window->region3D = {{455, 0, 900}, {2145, 0, 900}, {2145, 0, 2000}, {455, 0, 2000}};
    m.openings.push_back(std::move(window));
    auto hole = std::make_unique<ExportOpening>();
    hole->storey = 2;
    hole->kindCode = 3;
    m.openings.push_back(std::move(hole));

    auto stair = std::make_unique<ExportStair>();
    stair->storey = 1;
    stair->form = 3;
    stair->turnAngles = {0, 90};
    stair->stepCounts = {4, 9};
    stair->blockOutlines = {{{0, 0}, {0, 910}, {910, 910}, {910, 0}}, {{910, 0}, {910, 910}, {2730, 910}}};
    m.stairs.push_back(std::move(stair));
    auto flat = std::make_unique<ExportStair>();
    flat->storey = 2;
    flat->form = 1;
    m.stairs.push_back(std::move(flat));

    auto roof = std::make_unique<ExportRoof>();
    roof->storey = 2;
    roof->baseLineStart = Vector2d(-455, -455);
    roof->baseLineEnd = Vector2d(5005, -455);
    roof->baseHeight = 6300;
    roof->pitch = 4.5;
    roof->finishThickness = 30;
    roof->eavesShapeCode = 2;
    roof->outline = {{-455, -455}, {5005, -455}, {5005, 1820}};
    roof->edgeOffsets = {455.f, 0.f, -0.04f};
    m.roofs.push_back(std::move(roof));
    return m;
}

TEST_F(SectionWritersTest, ModelWithValuesGivesTheExactDocument)
{
    int ids = 0;
    const std::wstring text = WriterTest::maskIds(write(modelWithValues(), L"山田邸 & 車庫"), &ids);
    EXPECT_EQ(ids, 10);  // two rooms, a wall, two lines, two openings, two stairs, a roof
    EXPECT_EQ(text, crlf({
                        L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>",
                        L"<CADIF Version=\"1.0\">",
                        L"  <入力点情報>",
                        L"    <通り芯>",
                        L"      <番付象限>1</番付象限>",
                        L"      <座標 点=\"0.0,0.0\"/>",
                        L"      <番付間距離 X=\"910.0\" Y=\"910.0\"/>",
                        L"    </通り芯>",
                        L"  </入力点情報>",
                        L"  <ファイル情報>",
                        L"    <連携ファイルバージョン>Ver.6.00</連携ファイルバージョン>",
                        L"    <CADシステム>",
                        L"      <メーカー名>タヴレル株式会社</メーカー名>",
                        L"      <ソフト名>DOMORIAP</ソフト名>",
                        L"      <バージョン>Ver.8.10</バージョン>",
                        L"    </CADシステム>",
                        L"    <ファイル出力日>",
                        L"      <年>2015</年>",
                        L"      <月>3</月>",
                        L"      <日>7</日>",
                        L"      <時>9</時>",
                        L"      <分>5</分>",
                        L"      <秒>3</秒>",
                        L"    </ファイル出力日>",
                        L"  </ファイル情報>",
                        L"  <物件情報>",
                        L"    <工事名称>山田邸 &amp; 車庫</工事名称>",
                        L"    <建物階数>",
                        L"      <地上>2</地上>",
                        L"      <地下>0</地下>",
                        L"    </建物階数>",
                        L"    <基本モジュール>910.0</基本モジュール>",
                        L"    <構造基準レベル 階数=\"3\">",
                        L"      <レベル 階=\"1\">500.0</レベル>",
                        L"      <レベル 階=\"2\">3450.0</レベル>",
                        L"      <レベル 階=\"3\">6300.0</レベル>",
                        L"    </構造基準レベル>",
                        L"    <基準床高>",
                        L"      <レベル 階=\"1\">500.0</レベル>",
                        L"      <レベル 階=\"2\">3400.0</レベル>",
                        L"      <レベル 階=\"3\">6300.0</レベル>",
                        L"    </基準床高>",
                        L"    <基準基礎高>400.0</基準基礎高>",
                        L"    <工法 種別=\"2\">",
                        L"    </工法>",
                        L"  </物件情報>",
                        L"  <部屋情報>",
                        L"    <部屋>",
                        L"      <層>1</層>",
                        L"      <ID>*</ID>",
                        L"      <名称>LDK&amp;家事</名称>",
                        L"      <種類>",
                        L"        <コード>3</コード>",
                        L"      </種類>",
                        L"      <床高>500.0</床高>",
                        L"      <天井高>2400.0</天井高>",
                        L"      <領域2D 点数=\"4\" 点列=\"0.0,0.0 0.0,3640.0 4550.0,3640.0 4550.0,0.0\"/>",
                        L"    </部屋>",
                        L"    <部屋>",
                        L"      <層>1</層>",
                        L"      <ID>*</ID>",
                        L"      <名称>ポーチ</名称>",
                        L"      <種類>",
                        L"        <コード>0</コード>",
                        L"        <名称>ポーチ／土間</名称>",
                        L"      </種類>",
                        L"      <床高>150.0</床高>",
                        L"      <天井高>-0.0</天井高>",
                        L"      <領域2D 点数=\"0\" 点列=\"\"/>",
                        L"    </部屋>",
                        L"  </部屋情報>",
                        L"  <壁情報>",
                        L"    <壁>",
                        L"      <層>1</層>",
                        L"      <ID>*</ID>",
                        L"      <種類>",
                        L"        <コード>2</コード>",
                        L"      </種類>",
                        L"      <線分2D 始点終点=\"0.0,0.0 0.0,3640.0\"/>",
                        L"      <壁厚>120.0</壁厚>",
                        L"      <上端高>2400.0</上端高>",
                        L"      <下端高>2000.0</下端高>",
                        L"    </壁>",
                        L"  </壁情報>",
                        L"  <外壁線情報>",
                        L"    <外壁線>",
                        L"      <層>1</層>",
                        L"      <ID>*</ID>",
                        L"      <コード>0</コード>",
                        L"      <領域2D 点数=\"4\" 点列=\"0.0,0.0 0.0,3640.0 4550.0,3640.0 4550.0,0.0\"/>",
                        L"    </外壁線>",
                        L"    <外壁線>",
                        L"      <層>2</層>",
                        L"      <ID>*</ID>",
                        L"      <コード>1</コード>",
                        L"      <領域2D 点数=\"4\" 点列=\"4550.0,0.0 4550.0,3640.0 0.0,3640.0 0.0,0.0\"/>",
                        L"    </外壁線>",
                        L"  </外壁線情報>",
                        L"  <開口情報>",
                        L"    <開口>",
                        L"      <層>1</層>",
                        L"      <ID>*</ID>",
                        L"      <種類>",
                        L"        <コード>1</コード>",
                        L"      </種類>",
                        L"      <建具>",
                        L"        <型番>W-1690</型番>",
                        L"      </建具>",
                        L"      <取付高>2000.0</取付高>",
                        L"      <開口H>1100.0</開口H>",
                        L"      <開口W>1690.0</開口W>",
                        L"      <線分2D 始点終点=\"455.0,0.0 2145.0,0.0\"/>",
                        L"      <領域3D 点数=\"4\" 点列=\"455.0,0.0,900.0 2145.0,0.0,900.0 2145.0,0.0,2000.0 "
                        L"455.0,0.0,2000.0\"/>",
                        L"    </開口>",
                        L"    <開口>",
                        L"      <層>2</層>",
                        L"      <ID>*</ID>",
                        L"      <種類>",
                        L"        <コード>3</コード>",
                        L"      </種類>",
                        L"      <取付高>0.0</取付高>",
                        L"      <開口H>0.0</開口H>",
                        L"      <開口W>0.0</開口W>",
                        L"      <線分2D 始点終点=\"0.0,0.0 0.0,0.0\"/>",
                        L"      <領域3D 点数=\"0\" 点列=\"\"/>",
                        L"    </開口>",
                        L"  </開口情報>",
                        L"  <階段情報>",
                        L"    <階段>",
                        L"      <層>1</層>",
                        L"      <ID>*</ID>",
                        L"      <形式>3</形式>",
                        L"      <階段ブロック数>2</階段ブロック数>",
                        L"      <階段ブロック>",
                        L"        <回り角度>0.0</回り角度>",
                        L"        <段数>4</段数>",
                        L"        <領域2D 点数=\"4\" 点列=\"0.0,0.0 0.0,910.0 910.0,910.0 910.0,0.0\"/>",
                        L"      </階段ブロック>",
                        L"      <階段ブロック>",
                        L"        <回り角度>90.0</回り角度>",
                        L"        <段数>9</段数>",
                        L"        <領域2D 点数=\"3\" 点列=\"910.0,0.0 910.0,910.0 2730.0,910.0\"/>",
                        L"      </階段ブロック>",
                        L"    </階段>",
                        L"    <階段>",
                        L"      <層>2</層>",
                        L"      <ID>*</ID>",
                        L"      <形式>1</形式>",
                        L"      <階段ブロック数>0</階段ブロック数>",
                        L"    </階段>",
                        L"  </階段情報>",
                        L"  <屋根情報>",
                        L"    <屋根>",
                        L"      <層>2</層>",
                        L"      <ID>*</ID>",
                        L"      <種類>",
                        L"        <コード>1</コード>",
                        L"      </種類>",
                        L"      <基準線>",
                        L"        <線分2D 始点終点=\"-455.0,-455.0 5005.0,-455.0\"/>",
                        L"        <高さ>6300.0</高さ>",
                        L"      </基準線>",
                        L"      <屋根勾配>4.5</屋根勾配>",
                        L"      <仕上げ厚み>30.0</仕上げ厚み>",
                        L"      <軒先形状>",
                        L"        <コード>2</コード>",
                        L"      </軒先形状>",
                        L"      <領域2D 点数=\"3\" 点列=\"-455.0,-455.0 5005.0,-455.0 5005.0,1820.0\">",
                        L"        <オフセット 値=\"455.0 0.0 -0.0\"/>",
                        L"      </領域2D>",
                        L"    </屋根>",
                        L"  </屋根情報>",
                        L"</CADIF>",
                    }));
}

TEST_F(SectionWritersTest, EveryRecordGetsItsOwnIdentifierEachTime)
{
    const ExportModel model = modelWithValues();
    std::set<std::wstring> seen;
    for (int run = 0; run < 2; ++run) {
        const std::wstring text = write(model);
        for (std::size_t at = text.find(L"<ID>"); at != std::wstring::npos; at = text.find(L"<ID>", at + 1)) {
            EXPECT_TRUE(seen.insert(text.substr(at + 4, 36)).second) << "identifier used twice";
        }
    }
    EXPECT_EQ(seen.size(), 20u);
}

TEST_F(SectionWritersTest, ConstructionMethodVariants)
{
    ExportModel m;
    m.methodType = -1;
    m.methodDetailType = 5;  // no method element, so no detail either
    EXPECT_EQ(methodPart(m), crlf({L"    <基準基礎高>0.0</基準基礎高>"}));

    m.methodType = 0;
    m.methodName = L"木造\"軸組\"";
    m.methodDetailType = -1;
    EXPECT_EQ(methodPart(m), crlf({
                                 L"    <基準基礎高>0.0</基準基礎高>",
                                 L"    <工法 種別=\"0\" 名称=\"木造&quot;軸組&quot;\">",
                                 L"    </工法>",
                             }));

    m.methodType = 3;  // the name goes only with kind 0
    m.methodDetailType = 12;
    EXPECT_EQ(methodPart(m), crlf({
                                 L"    <基準基礎高>0.0</基準基礎高>",
                                 L"    <工法 種別=\"3\">",
                                 L"      <詳細>12</詳細>",
                                 L"    </工法>",
                             }));

    m.methodDetailType = 0;
    m.methodDetailName = L"2x4 <枠組>";
    EXPECT_EQ(methodPart(m), crlf({
                                 L"    <基準基礎高>0.0</基準基礎高>",
                                 L"    <工法 種別=\"3\">",
                                 L"      <詳細>",
                                 L"      0",
                                 L"        <名称>2x4 &lt;枠組></名称>",
                                 L"      </詳細>",
                                 L"    </工法>",
                             }));
}

TEST_F(SectionWritersTest, OutputIsWellFormedForAnXmlReader)
{
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
    }
    ExportModel model = modelWithValues();
    model.rooms.front()->name = L"和室 \U0001F600 <\"&\">";
    write(model);
    const std::string command = "xmllint --noout '" + file.string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST_F(SectionWritersTest, UnwritableTargetReportsPathAndKeepsTheOldFile)
{
    std::filesystem::create_directories(file);  // the target is a folder
    std::string error;
    EXPECT_FALSE(writeCedxmDocument(modelWithValues(), file.string(), L"x", true, error));
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}

}  // namespace
