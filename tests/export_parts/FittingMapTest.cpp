#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/text/Encoding.h"
#include "exporter/reading/FittingMap.h"

using Exporter::ExportModel;
using Exporter::lookupModelNumber;

namespace {

std::wstring writeTable(const std::string& name, const std::string& bytes)
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? std::filesystem::path(env) : std::filesystem::temp_directory_path();
    dir /= "export_parts";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return Common::fromUtf8(path.string());
}

}  // namespace

TEST(ExportFittingMap, LowerCasedKeysFirstRowWinsPartPathsOnly)
{
    ExportModel model;
    Exporter::loadExportFittingMap(model, writeTable("map.csv",
                                                     "part,model\n"
                                                     "Win\\W1.m3d,W-1\n"
                                                     "WIN\\w1.M3D,W-2\n"
                                                     "door.m3d,D-1\n"
                                                     "a/b.m3d\n"
                                                     "x/y.m3d,,Z-9,extra\n"));
    EXPECT_EQ(model.fittingTable, (std::map<std::wstring, std::wstring>{{L"win\\w1.m3d", L"W-1"}, {L"x/y.m3d", L"Z-9"}}));
    EXPECT_EQ(lookupModelNumber(model, L"C:\\Parts\\WIN\\W1.m3d"), L"W-1");
    EXPECT_EQ(lookupModelNumber(model, L"C:\\Parts\\door.m3d"), L"");
}

TEST(ExportFittingMap, UnreadableTableIsToldWithItsName)
{
    ExportModel model;
    const std::wstring path = writeTable("bad.csv", "a/b,\xFF\n");
    testing::internal::CaptureStderr();
    Exporter::loadExportFittingMap(model, path);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(model.fittingTable.empty());
    EXPECT_NE(err.find(Common::toUtf8(path)), std::string::npos) << err;
    EXPECT_NE(err.find("line 1"), std::string::npos) << err;
}

TEST(ExportFittingMap, ShorterKeySortingFirstShadowsTheLongerOne)
{
    ExportModel model;
    model.fittingTable = {{L"doors\\", L"D-ANY"}, {L"doors\\sliding\\", L"D-SL"}};
    EXPECT_EQ(lookupModelNumber(model, L"C:\\Doors\\Sliding\\s1.m3d"), L"D-ANY");
    // Whatever their lengths, the key that sorts first wins.
    model.fittingTable = {{L"b\\long\\key", L"B"}, {L"a\\", L"A"}};
    EXPECT_EQ(lookupModelNumber(model, L"b\\long\\key\\a\\x"), L"A");
    model.fittingTable.clear();
    EXPECT_EQ(lookupModelNumber(model, L"b\\long\\key"), L"");
}

TEST(ExportFittingMap, OnlyTheFirstDoubledBackslashIsUndone)
{
    ExportModel model;
    model.fittingTable = {{L"win\\w1.m3d", L"W-1"}};
    EXPECT_EQ(lookupModelNumber(model, L"parts\\Win\\\\W1.m3d"), L"W-1");
    EXPECT_EQ(lookupModelNumber(model, L"parts\\\\Win\\\\W1.m3d"), L"");
    // Three in a row become two: still no single backslash between the names.
    EXPECT_EQ(lookupModelNumber(model, L"win\\\\\\w1.m3d"), L"");
}

TEST(ExportFittingMap, KeysAreOrderedByUtf16CodeUnits)
{
    // U+1F6AA is stored as the surrogates D83D DEAA, which sort below U+FF71;
    // as wide characters here it would sort above.
    ExportModel model;
    model.fittingTable = {{L"x/\U0000FF71", L"HALFWIDTH"}, {L"x/\U0001F6AA", L"SUPPLEMENTARY"}};
    EXPECT_EQ(lookupModelNumber(model, L"x/\U0000FF71 x/\U0001F6AA"), L"SUPPLEMENTARY");
    model.fittingTable = {{L"x/\U0000D7FF", L"BELOW"}, {L"x/\U0001F6AA", L"SUPPLEMENTARY"}};
    EXPECT_EQ(lookupModelNumber(model, L"x/\U0000D7FF x/\U0001F6AA"), L"BELOW");
}
