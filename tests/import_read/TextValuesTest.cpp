#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "importer/xml/TextValues.h"

using namespace Importer;
using Common::Vector2d;
using Common::Vector3d;

TEST(TextValues, IntegersTakeTheLeadingNumberAndSaturate)
{
    EXPECT_EQ(toInt(L"  -42abc"), -42);
    EXPECT_EQ(toInt(L"+7"), 7);
    EXPECT_EQ(toInt(L"12mm"), 12);
    EXPECT_EQ(toInt(L"abc"), 0);
    EXPECT_EQ(toInt(L""), 0);
    EXPECT_EQ(toInt(L"- 5"), 0);
    EXPECT_EQ(toInt(L"2147483647"), INT_MAX);
    EXPECT_EQ(toInt(L"2147483648"), INT_MAX);
    EXPECT_EQ(toInt(L"99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(toInt(L"-2147483648"), INT_MIN);
    EXPECT_EQ(toInt(L"-99999999999999999999999999"), INT_MIN);
    EXPECT_EQ(toInt(L"2400.0"), 2400);
}

namespace {

// Switches to a locale that writes decimals with a comma, compiling one into
// the test folder when the system has none installed.
bool useCommaLocale()
{
#ifdef _WIN32
    return std::setlocale(LC_ALL, "German_Germany.1252") != nullptr;
#else
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        return true;
    }
    const char* tmp = std::getenv("CEDXM_TEST_TMP");
    const std::filesystem::path dir = std::filesystem::path(tmp != nullptr ? tmp : "/tmp") / "locales";
    std::filesystem::create_directories(dir);
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !std::filesystem::exists(dir / "de_DE.UTF-8")) {
        return false;
    }
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
#endif
}

}  // namespace

TEST(TextValues, NumbersUseThePointWhateverTheLocale)
{
    // A user whose locale writes decimals with a comma must not get every
    // coordinate of the file cut at the point.
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const bool haveCommaLocale = useCommaLocale();
    if (haveCommaLocale) {
        EXPECT_EQ(std::strtod("2,5", nullptr), 2.5);  // the locale really is a comma locale
    }
    EXPECT_DOUBLE_EQ(toDouble(L"2400.5"), 2400.5);
    EXPECT_DOUBLE_EQ(toDouble(L"  -12.25e1x"), -122.5);
    EXPECT_DOUBLE_EQ(toDouble(L"2,5"), 2.0);
    std::setlocale(LC_ALL, before.c_str());
    if (!haveCommaLocale) {
        GTEST_LOG_(INFO) << "no comma locale could be made; checked under the current locale only";
    }
    EXPECT_DOUBLE_EQ(toDouble(L"12mm"), 12.0);
    EXPECT_DOUBLE_EQ(toDouble(L"abc"), 0.0);
    EXPECT_DOUBLE_EQ(toDouble(L""), 0.0);
    EXPECT_DOUBLE_EQ(toDouble(L"12,5"), 12.0);
    EXPECT_DOUBLE_EQ(toDouble(L"-0.0"), 0.0);
    EXPECT_TRUE(std::signbit(toDouble(L"-0.0")));
    EXPECT_DOUBLE_EQ(toDouble(L"1.5\u3000"), 1.5);  // stops at a non-ASCII character
}

TEST(TextValues, SplitBlankCutsAtBlanksOnly)
{
    const auto tokens = splitBlank(L"10,20  30,40 ");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0], L"10,20");
    EXPECT_EQ(tokens[1], L"30,40");
    EXPECT_TRUE(splitBlank(L"").empty());
    EXPECT_TRUE(splitBlank(L"   ").empty());
    // Tabs and line breaks are ordinary characters.
    const auto tabbed = splitBlank(L"1,2\t3,4 5,6\n");
    ASSERT_EQ(tabbed.size(), 2u);
    EXPECT_EQ(tabbed[0], L"1,2\t3,4");
    EXPECT_EQ(tabbed[1], L"5,6\n");
}

TEST(TextValues, PointTokens)
{
    Vector2d p(9, 9);
    toPoint2(L"1,2,3", p);
    EXPECT_EQ(p, Vector2d(1, 2));
    p = Vector2d(9, 9);
    toPoint2(L",5", p);
    EXPECT_EQ(p, Vector2d(9, 9));
    toPoint2(L"5", p);
    EXPECT_EQ(p, Vector2d(9, 9));
    toPoint2(L"12,5", p);  // a decimal comma reads as two coordinates
    EXPECT_EQ(p, Vector2d(12, 5));
    toPoint2(L"-0.5,", p);
    EXPECT_EQ(p, Vector2d(-0.5, 0));

    Vector3d q(9, 9, 9);
    toPoint3(L"1,2", q);  // only one comma: unchanged
    EXPECT_EQ(q, Vector3d(9, 9, 9));
    toPoint3(L",1,2", q);
    EXPECT_EQ(q, Vector3d(9, 9, 9));
    toPoint3(L"1.5,2.5,3.5", q);
    EXPECT_EQ(q, Vector3d(1.5, 2.5, 3.5));
    toPoint3(L"1,2,3,4", q);  // y ends at its own number, z follows the last comma
    EXPECT_EQ(q, Vector3d(1, 2, 4));
}

TEST(TextValues, PointListsKeepOnePointPerToken)
{
    const auto points = toPoints2(L"0,0 100,0  100,100 ");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[2], Vector2d(100, 100));
    const auto flat = toPoints2(L"0,0,5 7 ,3");
    ASSERT_EQ(flat.size(), 3u);
    EXPECT_EQ(flat[0], Vector2d(0, 0));
    EXPECT_EQ(flat[1], Vector2d(0, 0));  // no usable comma: a fresh point
    EXPECT_EQ(flat[2], Vector2d(0, 0));
    const auto region = toPoints3(L"1,2,3 4,5");
    ASSERT_EQ(region.size(), 2u);
    EXPECT_EQ(region[0], Vector3d(1, 2, 3));
    EXPECT_EQ(region[1], Vector3d(0, 0, 0));
}

TEST(TextValues, SegmentsNeedTwoTokens)
{
    Vector2d a(5, 5), b(6, 6);
    toSegment(L"10,20", a, b);
    EXPECT_EQ(a, Vector2d(0, 0));
    EXPECT_EQ(b, Vector2d(0, 0));
    toSegment(L"10,20 30,40 50,60", a, b);
    EXPECT_EQ(a, Vector2d(10, 20));
    EXPECT_EQ(b, Vector2d(30, 40));
}
