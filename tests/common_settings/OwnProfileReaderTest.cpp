// What the Linux build's own ini reader adds to the profile semantics that
// both platforms share (ProfileTest.cpp): the locale's character set, the
// size limit and the snapshot of a run. The Windows build reads ini files
// through the system's profile functions, which have rules of their own
// there.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <clocale>

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

// A pipe named like the ini file is not waited on; a snapshot says why it
// was not read, where a missing file is simply missing.
TEST(OwnProfileReader, SnapshotSaysWhyAFileThatIsThereWasNotRead)
{
    TempFolder folder;
    const std::string pipe = folder.file("pipe.ini");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    {
        const Common::ProfileSnapshot snapshot(widePath(pipe));
        EXPECT_NE(snapshot.problem().find("not a regular file"), std::string::npos) << snapshot.problem();
        EXPECT_NE(snapshot.problem().find(pipe), std::string::npos) << snapshot.problem();
        EXPECT_EQ(readProfileInt(L"EXPORT", L"FittingType", -1, widePath(pipe)), -1);
    }
    EXPECT_TRUE(Common::ProfileSnapshot(widePath(folder.file("none.ini"))).problem().empty());
    const std::string ini = folder.write("good.ini", "[EXPORT]\nFittingType=2\n");
    EXPECT_TRUE(Common::ProfileSnapshot(widePath(ini)).problem().empty());
}

}  // namespace

TEST(OwnProfileReader, CharacterSetFromTheLocale)
{
    TempFolder folder;
    // Without a byte order mark the locale decides; in the "C" locale the
    // bytes are not ASCII and each becomes U+FFFD, without costing the other
    // values.
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
    const std::wstring plain = widePath(folder.write("p.ini", "[EXPORT]\nMethodName=\xE5\x9C\xA8\nMethodType=2\n"));
    EXPECT_EQ(readProfileString(L"EXPORT", L"MethodName", plain), L"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(readProfileInt(L"EXPORT", L"MethodType", 0, plain), 2);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    EXPECT_EQ(readProfileString(L"EXPORT", L"MethodName", plain), L"在");
    std::setlocale(LC_CTYPE, previous.c_str());
}

TEST(OwnProfileReader, HugeFileCountsAsMissing)
{
    TempFolder folder;
    const std::wstring huge = widePath(folder.write("huge.ini", "[S]\nk=1\n" + std::string(17u << 20, ';')));
    EXPECT_EQ(readProfileInt(L"S", L"k", 9, huge), 9);
}

TEST(OwnProfileReader, SnapshotReadsTheFileOnceForItsPathOnly)
{
    TempFolder folder;
    const std::string path = folder.write("run.ini", "[S]\nk=1\n[broken\nlate=2\n[T]\nk=3\n");
    const std::wstring ini = widePath(path);
    const std::wstring other = widePath(folder.write("other.ini", "[S]\nk=7\n"));
    {
        const ProfileSnapshot snapshot(ini);
        folder.write("run.ini", "[S]\nk=5\n");
        folder.write("other.ini", "[S]\nk=8\n");
        EXPECT_EQ(readProfileInt(L"S", L"k", 0, ini), 1);
        EXPECT_EQ(readProfileString(L" s ", L"K", ini), L"1");
        // A bracket line that names no section still ends the one before it.
        EXPECT_EQ(readProfileInt(L"S", L"late", 0, ini), 0);
        EXPECT_EQ(readProfileInt(L"T", L"k", 0, ini), 3);
        EXPECT_EQ(readProfileInt(L"S", L"k", 0, other), 8);
    }
    EXPECT_EQ(readProfileInt(L"S", L"k", 0, ini), 5);
}
