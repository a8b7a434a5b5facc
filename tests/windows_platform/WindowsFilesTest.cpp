#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"

// The file services as Windows gives them: atomic replacement, the targets
// that are never replaced, the longest names, and files compared by what
// they are rather than how they are spelled.

namespace {

std::string folderForTest()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp) + L"cedxm-files-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return Common::toUtf8(folder);
}

std::string readAll(const std::string& path)
{
    std::string bytes;
    std::string error;
    return Common::readWholeFile(path, bytes, error, 1 << 20) ? bytes : "(unreadable: " + error + ")";
}

}  // namespace

TEST(WindowsFiles, ReplacesWholeAndRefusesFoldersAndDevices)
{
    const std::string folder = folderForTest();
    const std::string target = folder + "\\山田邸.xml";
    std::string error;
    ASSERT_TRUE(Common::writeFileAtomically(target, "old", error)) << error;
    ASSERT_TRUE(Common::writeFileAtomically(target, "new contents", error)) << error;
    EXPECT_EQ(readAll(target), "new contents");

    // A replacement abandoned half-way leaves the old file and nothing else.
    {
        Common::ReplacementFile file;
        ASSERT_TRUE(file.begin(target)) << file.error();
        ASSERT_TRUE(file.write("half"));
    }
    EXPECT_EQ(readAll(target), "new contents");

    EXPECT_FALSE(Common::writeFileAtomically(folder, "x", error));
    EXPECT_NE(error.find("that is a folder"), std::string::npos) << error;
    EXPECT_FALSE(Common::writeFileAtomically("NUL", "x", error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;

    // The longest name the file system takes still leaves room for the
    // temporary file beside it.
    const std::string longest = folder + "\\" + Common::toUtf8(std::wstring(251, L'家')) + ".xml";
    ASSERT_TRUE(Common::writeFileAtomically(longest, "long", error)) << error;
    EXPECT_EQ(readAll(longest), "long");

    // Another spelling (case, "..") of the same file is the same file; a
    // file not there yet is the same as itself only.
    EXPECT_TRUE(Common::sameFile(target, folder + "\\..\\" + folder.substr(folder.find_last_of('\\') + 1) +
                                             "\\山田邸.XML"));
    EXPECT_FALSE(Common::sameFile(target, longest));
    EXPECT_TRUE(Common::sameFile(folder + "\\new.xml", folder + "\\NEW.xml"));
    EXPECT_FALSE(Common::sameFile(folder + "\\new.xml", folder + "\\other.xml"));

    DeleteFileW(Common::fromUtf8(target).c_str());
    DeleteFileW(Common::fromUtf8(longest).c_str());
    RemoveDirectoryW(Common::fromUtf8(folder).c_str());
}
