// The profile semantics that the Linux build's own ini reader and the
// Windows build's system profile functions share: the Windows build runs
// these same cases.
#include <gtest/gtest.h>

#include "common/settings/Profile.h"
#include "common/text/Encoding.h"
#include "support/TempFolder.h"

using namespace Common;
using TestSupport::TempFolder;

namespace {

std::wstring widePath(const std::string& path)
{
    return fromUtf8(path);
}

}  // namespace

TEST(Profile, SectionsKeysCaseInsensitiveValuesTrimmedAndUnquoted)
{
    TempFolder folder;
    const std::wstring ini = widePath(folder.write("DM2CDX.ini",
                                                   "; delivered defaults\r\n"
                                                   "  [export]  \r\n"
                                                   "ReadMeFile =  readme.txt  \r\n"
                                                   "FittingPath=\"C:\\data\\fitting table.csv\"\r\n"
                                                   "MethodName='  spaced  '\r\n"
                                                   "Half=\"open\r\n"
                                                   "Inner=a \"b\" c\r\n"
                                                   ";MethodType=7\r\n"
                                                   "NoValue\r\n"
                                                   "[COMMON]\r\n"
                                                   "FloorOffset1=-25\r\n"));
    EXPECT_EQ(readProfileString(L"EXPORT", L"ReadMeFile", ini), L"readme.txt");
    EXPECT_EQ(readProfileString(L"Export", L"readmefile", ini), L"readme.txt");
    EXPECT_EQ(readProfileString(L"EXPORT", L"FittingPath", ini), L"C:\\data\\fitting table.csv");
    EXPECT_EQ(readProfileString(L"EXPORT", L"MethodName", ini), L"  spaced  ");
    EXPECT_EQ(readProfileString(L"EXPORT", L"Half", ini), L"\"open");
    EXPECT_EQ(readProfileString(L"EXPORT", L"Inner", ini), L"a \"b\" c");
    EXPECT_EQ(readProfileString(L"EXPORT", L"NoValue", ini), L"");
    EXPECT_EQ(readProfileString(L"EXPORT", L"MethodType", ini), L"");
    EXPECT_EQ(readProfileInt(L"EXPORT", L"MethodType", -1, ini), -1);
    EXPECT_EQ(readProfileInt(L"common", L"floorOffset1", 0, ini), -25);
    // A key of another section is not found.
    EXPECT_EQ(readProfileString(L"COMMON", L"ReadMeFile", ini), L"");
    EXPECT_EQ(readProfileString(L"IMPORT", L"ReadMeFile", ini), L"");
}

TEST(Profile, FirstSectionAndFirstKeyWin)
{
    TempFolder folder;
    const std::wstring ini = widePath(folder.write("a.ini",
                                                   "[IMPORT]\nRoofType=1\nRoofType=2\n"
                                                   "[EXPORT]\nOriginType=1\n"
                                                   "[IMPORT]\nOpeningType=3\n"));
    EXPECT_EQ(readProfileInt(L"IMPORT", L"RoofType", -1, ini), 1);
    EXPECT_EQ(readProfileInt(L"IMPORT", L"OpeningType", -1, ini), -1);
    EXPECT_EQ(readProfileInt(L"EXPORT", L"OriginType", 0, ini), 1);
}

TEST(Profile, IntegerParsingLikeTheProfileIntegerReader)
{
    TempFolder folder;
    const std::wstring ini = widePath(folder.write("n.ini",
                                                   "[S]\n"
                                                   "plain=42\n"
                                                   "plus=+7\n"
                                                   "minus=-1\n"
                                                   "tail=42A94967297\n"
                                                   "letters=B12\n"
                                                   "empty=\n"
                                                   "quoted=\"12\"\n"
                                                   "quotedEmpty=  \"\"  \n"
                                                   "wrap=4294967297\n"
                                                   "wrapNegative=-4294967297\n"
                                                   "big=2147483648\n"
                                                   "sign=-\n"
                                                   "decimal=3.9\n"));
    EXPECT_EQ(readProfileInt(L"S", L"plain", 5, ini), 42);
    EXPECT_EQ(readProfileInt(L"S", L"plus", 5, ini), 7);
    EXPECT_EQ(readProfileInt(L"S", L"minus", 5, ini), -1);
    EXPECT_EQ(readProfileInt(L"S", L"tail", 5, ini), 42);
    EXPECT_EQ(readProfileInt(L"S", L"letters", 5, ini), 0);
    EXPECT_EQ(readProfileInt(L"S", L"empty", 5, ini), 5);
    EXPECT_EQ(readProfileInt(L"S", L"quotedEmpty", 5, ini), 5);
    EXPECT_EQ(readProfileInt(L"S", L"quoted", 5, ini), 12);
    EXPECT_EQ(readProfileInt(L"S", L"wrap", 5, ini), 1);
    EXPECT_EQ(readProfileInt(L"S", L"wrapNegative", 5, ini), -1);
    EXPECT_EQ(readProfileInt(L"S", L"big", 5, ini), -2147483647 - 1);
    EXPECT_EQ(readProfileInt(L"S", L"sign", 5, ini), 0);
    EXPECT_EQ(readProfileInt(L"S", L"decimal", 5, ini), 3);
    EXPECT_EQ(readProfileInt(L"S", L"absent", 5, ini), 5);
}

TEST(Profile, MissingFileGivesDefaults)
{
    TempFolder folder;
    const std::wstring ini = widePath(folder.file("none.ini"));
    EXPECT_FALSE(fileExists(ini));
    EXPECT_EQ(readProfileString(L"EXPORT", L"ReadMeFile", ini), L"");
    EXPECT_EQ(readProfileInt(L"EXPORT", L"FittingType", -1, ini), -1);
    // A folder of that name is no ini file either.
    EXPECT_FALSE(fileExists(widePath(folder.path().string())));
    EXPECT_EQ(readProfileInt(L"EXPORT", L"FittingType", -1, widePath(folder.path().string())), -1);
}

TEST(Profile, LongValueCutTo1023Characters)
{
    TempFolder folder;
    const std::string value(1500, 'v');
    const std::wstring ini = widePath(folder.write("long.ini", "[EXPORT]\nFittingPath=  \"" + value + "\"\n"));
    EXPECT_TRUE(fileExists(ini));
    EXPECT_EQ(readProfileString(L"EXPORT", L"FittingPath", ini), std::wstring(1023, L'v'));

    // Characters beyond U+FFFF take two of the 1023 units and are not split.
    std::string emojis;
    for (int i = 0; i < 600; ++i) {
        emojis += "\xF0\x9F\x98\x80";
    }
    const std::wstring bomIni = widePath(folder.write("emoji.ini", "\xEF\xBB\xBF[E]\nk=" + emojis + "\n"));
    EXPECT_EQ(readProfileString(L"E", L"k", bomIni), fromUtf8(emojis.substr(0, 511 * 4)));
}

TEST(Profile, Utf8ByteOrderMarkDecidesTheCharacterSet)
{
    TempFolder folder;
    const std::wstring utf8 = widePath(folder.write("u.ini", "\xEF\xBB\xBF[EXPORT]\nMethodName=\xE5\x9C\xA8\xE6\x9D\xA5\n"));
    EXPECT_EQ(readProfileString(L"EXPORT", L"MethodName", utf8), L"在来");
}

TEST(Profile, BinaryBytesDoNotBreakTheReader)
{
    TempFolder folder;
    std::string binary;
    for (int i = 0; i < 70000; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    const std::wstring junk = widePath(folder.write("junk.ini", binary + "\n[S]\nk=1\n"));
    EXPECT_EQ(readProfileInt(L"S", L"k", 9, junk), 1);
}
