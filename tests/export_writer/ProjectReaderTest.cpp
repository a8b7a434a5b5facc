#include <gtest/gtest.h>

#include <fstream>

#include "exporter/reading/ProjectReader.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"

using namespace Exporter;
using TestSupport::ScriptedHost;

namespace {

// A host whose plan holds one room per listed storey (plus a non-room object
// in between) and answers the storey settings record and grid settings.
struct ProjectHost {
    std::shared_ptr<ScriptedHost> app = std::make_shared<ScriptedHost>();
    std::shared_ptr<ScriptedHost> doc = std::make_shared<ScriptedHost>();
    std::vector<std::pair<std::uint32_t, std::int16_t>> objects;  // type, storey
    std::size_t cursor = 0;

    ProjectHost(std::array<std::uint16_t, 14> h, std::vector<int> roomStoreys, double module = 910.0)
    {
        for (const int s : roomStoreys) {
            objects.emplace_back(19, static_cast<std::int16_t>(s));
            objects.emplace_back(5, static_cast<std::int16_t>(9));  // a wall box on "storey 9"
        }
        app->on(2, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::text(L"Ver.8.10"); });
        doc->on(172, [h](Common::Arguments& args, Common::Variant&) {
            for (std::size_t i = 0; i < 14; ++i) {
                args.at(i).value = Common::Variant::ui2(h[i]);
            }
        });
        doc->on(62, [this](Common::Arguments&, Common::Variant& r) {
            cursor = 0;
            r = Common::Variant::i4(objects.empty() ? 0 : 1);
        });
        doc->on(63, [this](Common::Arguments&, Common::Variant& r) {
            ++cursor;
            r = Common::Variant::i4(cursor < objects.size() ? 1 : 0);
        });
        doc->on(64, [this](Common::Arguments&, Common::Variant& r) { r = Common::Variant::ui4(objects[cursor].first); });
        doc->on(65, [this](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i2(objects[cursor].second); });
        doc->on(95, [module](Common::Arguments& args, Common::Variant&) {
            args.at(0).value = Common::Variant::r8(module);
            args.at(1).value = Common::Variant::ui2(7);
            args.at(2).value = Common::Variant::ui4(8);
            args.at(3).value = Common::Variant::r8(455.0);
            args.at(4).value = Common::Variant::r8(455.0);
        });
    }

    void read(ExportModel& model, const std::wstring& iniPath, const std::tm& t = std::tm{})
    {
        Common::HostApplication a(app);
        Common::HostDocument d(doc);
        readProject(model, a, d, iniPath, t);
    }
};

// h6..h9 storey heights from the top, h10 storey-0 depth, h11 storey-1 level,
// h12 foundation height, h13 wall thickness.
std::array<std::uint16_t, 14> record(std::uint16_t h6, std::uint16_t h7, std::uint16_t h8, std::uint16_t h9,
                                     std::uint16_t h10, std::uint16_t h11, std::uint16_t h12)
{
    return {0, 0, 0, 0, 0, h6, h7, h8, h9, h10, h11, h12, 120, 0};
}

std::wstring writeIni(TestSupport::TempFolder& folder, const std::string& text)
{
    const std::string path = folder.file("DM2CDX.ini");
    std::ofstream(path) << "\xEF\xBB\xBF" << text;  // UTF-8 marked, whatever the locale
    return std::wstring(path.begin(), path.end());
}

TEST(ProjectReader, FixedTextsDateGridAndHostCallOrder)
{
    ProjectHost host(record(2900, 2900, 2900, 2900, 1000, 500, 400), {1});
    ExportModel model;
    std::tm t{};
    t.tm_year = 2015 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 3;
    host.read(model, L"/nonexistent/DM2CDX.ini", t);
    EXPECT_EQ(model.gridQuadrant, L"1");
    EXPECT_EQ(model.linkFileVersion, L"Ver.6.00");
    EXPECT_EQ(model.cadMaker, L"タヴレル株式会社");
    EXPECT_EQ(model.cadSoftware, L"DOMORIAP");
    EXPECT_EQ(model.cadVersion, L"Ver.8.10");
    EXPECT_EQ(std::vector<std::wstring>({model.outputYear, model.outputMonth, model.outputDay, model.outputHour,
                                         model.outputMinute, model.outputSecond}),
              std::vector<std::wstring>({L"2015", L"3", L"7", L"9", L"5", L"3"}));
    EXPECT_EQ(model.gridSpacing.x, 910.0);
    EXPECT_EQ(model.gridSpacing.y, 910.0);
    EXPECT_EQ(model.gridOrigin.x, 0.0);
    EXPECT_EQ(model.foundationHeight, 400.f);
    // No ini file: method kind 0 and detail kind -1.
    EXPECT_EQ(model.methodType, 0);
    EXPECT_EQ(model.methodDetailType, -1);
    EXPECT_TRUE(model.methodName.empty());
    EXPECT_EQ(host.app->ops(), std::vector<int>({2}));
    EXPECT_EQ(host.doc->ops(), std::vector<int>({172, 62, 64, 65, 63, 64, 63, 95}));
}

TEST(ProjectReader, RoomsOnStoreyOneEnterStoreysOneAndTwo)
{
    ProjectHost host(record(2800, 2700, 2600, 2900, 1000, 500, 400), {1, 1});
    ExportModel model;
    host.read(model, L"/nonexistent/DM2CDX.ini");
    EXPECT_EQ(model.storeysAboveGround, 1);
    EXPECT_EQ(model.storeysBelowGround, 0);
    EXPECT_EQ(model.referenceFloorLevelByStorey, (std::map<int, float>{{1, 500.f}, {2, 3400.f}}));
    EXPECT_EQ(model.structuralLevelByStorey, model.referenceFloorLevelByStorey);
}

TEST(ProjectReader, StoreyZeroAndLevelsAboveWithOffsets)
{
    TestSupport::TempFolder folder;
    const std::wstring ini = writeIni(folder,
                                      "[COMMON]\nFloorOffset0=-10\nFloorOffset2=50\nFloorOffset3=70000\n"
                                      "[EXPORT]\nMethodType=1\nMethodName=木造\nMethodDetailType=0\n"
                                      "MethodDetailName=在来\n");
    ProjectHost host(record(2800, 2700, 2600, 2900, 1000, 500, 400), {3, 0, 2, 0});
    ExportModel model;
    host.read(model, ini);
    EXPECT_EQ(model.storeysAboveGround, 2);
    EXPECT_EQ(model.storeysBelowGround, 1);
    // L0 = 500 - 1000, L1 = 500, L2 = 3400, L3 = 6000, L4 = 8700.
    EXPECT_EQ(model.referenceFloorLevelByStorey,
              (std::map<int, float>{{0, -500.f}, {1, 500.f}, {2, 3400.f}, {3, 6000.f}, {4, 8700.f}}));
    // 70000 cut to 16 bits is 4464.
    EXPECT_EQ(model.structuralLevelByStorey,
              (std::map<int, float>{{0, -510.f}, {1, 500.f}, {2, 3450.f}, {3, 10464.f}, {4, 8700.f}}));
    EXPECT_EQ(model.methodType, 1);
    EXPECT_EQ(model.methodName, L"木造");
    EXPECT_EQ(model.methodDetailType, 0);
    EXPECT_EQ(model.methodDetailName, L"在来");
}

TEST(ProjectReader, LevelsWrapAroundIn16Bits)
{
    TestSupport::TempFolder folder;
    const std::wstring ini = writeIni(folder, "[COMMON]\nFloorOffset4=1000\n");
    // L1 = 30000, L2 = 30000 + 3000 wraps to -32536, L3 = -29536, L4 = -26536,
    // L5 = -23536; L0 = 30000 - 65000 wraps to 30536.
    ProjectHost host(record(3000, 3000, 3000, 3000, 65000, 30000, 65535), {0, 4});
    ExportModel model;
    host.read(model, ini);
    EXPECT_EQ(model.referenceFloorLevelByStorey,
              (std::map<int, float>{{0, 30536.f}, {1, 30000.f}, {4, -26536.f}, {5, -23536.f}}));
    EXPECT_EQ(model.structuralLevelByStorey,
              (std::map<int, float>{{0, 30536.f}, {1, 30000.f}, {4, -25536.f}, {5, -23536.f}}));
    EXPECT_EQ(model.foundationHeight, 65535.f);  // unsigned, not wrapped
}

TEST(ProjectReader, StoreysOutsideTheHostsLevelsCountButEnterNoLevel)
{
    ProjectHost host(record(2800, 2700, 2600, 2900, 1000, 500, 400), {-1, 5, 7});
    ExportModel model;
    host.read(model, L"/nonexistent/DM2CDX.ini");
    EXPECT_EQ(model.storeysAboveGround, 2);
    EXPECT_EQ(model.storeysBelowGround, 1);
    // -1 enters its ceiling side (storey 0), 5 enters itself, 7 nothing.
    EXPECT_EQ(model.referenceFloorLevelByStorey, (std::map<int, float>{{0, -500.f}, {5, 11500.f}}));
}

TEST(ProjectReader, PlanWithoutRoomsHasNoLevels)
{
    ProjectHost host(record(2800, 2700, 2600, 2900, 1000, 500, 400), {});
    ExportModel model;
    host.read(model, L"/nonexistent/DM2CDX.ini");
    EXPECT_EQ(model.storeysAboveGround, 0);
    EXPECT_EQ(model.storeysBelowGround, 0);
    EXPECT_TRUE(model.referenceFloorLevelByStorey.empty());
    EXPECT_TRUE(model.structuralLevelByStorey.empty());
    EXPECT_EQ(host.doc->ops(), std::vector<int>({172, 62, 95}));
}

}  // namespace
