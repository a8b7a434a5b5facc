// One file under another spelling of its path is the same file here: the
// other case, the other separator, a folder named twice. A folder with a
// Japanese name must not get lost in a code page on the way.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/platform/Files.h"
#include "support/TempFolder.h"

using Common::sameFile;

TEST(WindowsSameFile, SpellingsOfOnePathAndNamesNotThereYet)
{
    TestSupport::TempFolder folder;
    const std::string dir = folder.file("図面");
    std::filesystem::create_directory(folder.path() / std::filesystem::path(u8"図面"));
    folder.write("図面/Plan.xml", "<CADIF/>");
    folder.write("図面/other.xml", "<CADIF/>");
    const std::string plan = dir + "\\Plan.xml";
    EXPECT_TRUE(sameFile(plan, dir + "/PLAN.XML"));
    EXPECT_TRUE(sameFile(plan, dir + "\\..\\図面\\plan.xml"));
    EXPECT_FALSE(sameFile(plan, dir + "\\other.xml"));
    // Not there yet: the same name in the same folder, without regard to case.
    EXPECT_TRUE(sameFile(dir + "\\new.xml", dir + "/NEW.xml"));
    EXPECT_FALSE(sameFile(dir + "\\new.xml", dir + "\\new2.xml"));
    // One there, one not: different files.
    EXPECT_FALSE(sameFile(plan, dir + "\\new.xml"));
    EXPECT_FALSE(sameFile("", ""));
}
