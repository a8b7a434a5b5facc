// Where the programs look for their ini file, read-me and fitting models:
// beside themselves, whichever separator the path uses and whatever
// characters the folder's name holds.
#include <gtest/gtest.h>

#include "common/app/ProgramLocation.h"

using Common::programLocation;

TEST(ProgramLocation, FolderKeepsItsSeparatorAndTheNameLosesItsLastExtension)
{
    const auto windows = programLocation(L"C:\\ドモリア\\CEDXM\\CDX2DM.exe");
    EXPECT_EQ(windows.folder, L"C:\\ドモリア\\CEDXM\\");
    EXPECT_EQ(windows.baseName, L"CDX2DM");
    const auto posix = programLocation(L"/opt/cedxm.1/DM2CDX");
    EXPECT_EQ(posix.folder, L"/opt/cedxm.1/");
    EXPECT_EQ(posix.baseName, L"DM2CDX");
    const auto mixed = programLocation(L"C:/a\\b/x.y.exe");
    EXPECT_EQ(mixed.folder, L"C:/a\\b/");
    EXPECT_EQ(mixed.baseName, L"x.y");
    const auto bare = programLocation(L"CDX2DM.exe");
    EXPECT_EQ(bare.folder, L"");
    EXPECT_EQ(bare.baseName, L"CDX2DM");
    EXPECT_EQ(programLocation(L"/opt/.cedxm").baseName, L".cedxm");
    EXPECT_EQ(programLocation(L"/").folder, L"/");
}
