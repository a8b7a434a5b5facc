#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "common/io/AtomicFile.h"
#include "support/TempFolder.h"

using Common::readWholeFile;
using Common::writeFileAtomically;
using TestSupport::TempFolder;

TEST(AtomicFile, WritesNewAndReplacesExistingWithoutLeftovers)
{
    TempFolder folder;
    const std::string target = folder.file("plan.xml");
    std::string error;
    ASSERT_TRUE(writeFileAtomically(target, "first", error)) << error;
    EXPECT_EQ(TempFolder::read(target), "first");
    ASSERT_TRUE(writeFileAtomically(target, std::string("sec\0ond", 7), error)) << error;
    EXPECT_EQ(TempFolder::read(target), std::string("sec\0ond", 7));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"plan.xml"});

    // A replaced file keeps its permissions.
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(target, "third", error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, MissingFolderLeavesNothingAndNamesPathAndReason)
{
    TempFolder folder;
    const std::string target = folder.file("missing/out.xml");
    std::string error;
    EXPECT_FALSE(writeFileAtomically(target, "data", error));
    EXPECT_NE(error.find(target), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_TRUE(folder.entries().empty());
}

TEST(AtomicFile, UnwritableFolderLeavesTargetUntouched)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "folder permissions do not bind the superuser";
    }
    TempFolder folder;
    const std::string target = folder.write("out.xml", "old contents");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    std::string error;
    EXPECT_FALSE(writeFileAtomically(target, "new contents", error));
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_NE(error.find(target), std::string::npos) << error;
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
    EXPECT_EQ(TempFolder::read(target), "old contents");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.xml"});
}

TEST(AtomicFile, FailedWriteLeavesTargetUntouchedAndRemovesTemporary)
{
    TempFolder folder;
    const std::string target = folder.write("out.xml", "old contents");
    // Limit the file size so that writing fails halfway (EFBIG).
    struct rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = writeFileAtomically(target, "new contents that do not fit", error);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find(target), std::string::npos) << error;
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(TempFolder::read(target), "old contents");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.xml"});
}

TEST(AtomicFile, SymbolicLinkIsWrittenThrough)
{
    TempFolder folder;
    const std::string real = folder.write("real.json", "old");
    const std::string link = folder.file("link.json");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    std::string error;
    ASSERT_TRUE(writeFileAtomically(link, "new", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempFolder::read(real), "new");
}

TEST(AtomicFile, DirectoryAsTargetIsRefused)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    std::string error;
    EXPECT_FALSE(writeFileAtomically(folder.file("sub"), "x", error));
    EXPECT_NE(error.find("sub"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "sub"));
}

TEST(ReadWholeFile, ReadsAllAndReportsMissingOrOversized)
{
    TempFolder folder;
    const std::string big(200000, 'x');
    const std::string path = folder.write("big.bin", big);
    std::string bytes;
    std::string error;
    ASSERT_TRUE(readWholeFile(path, bytes, error)) << error;
    EXPECT_EQ(bytes, big);

    EXPECT_FALSE(readWholeFile(path, bytes, error, 1000));
    EXPECT_TRUE(bytes.empty());
    EXPECT_NE(error.find(path), std::string::npos);

    // An endless device stops at the limit instead of hanging.
    EXPECT_FALSE(readWholeFile("/dev/zero", bytes, error, 1 << 20));

    const std::string missing = folder.file("none.ini");
    EXPECT_FALSE(readWholeFile(missing, bytes, error));
    EXPECT_NE(error.find(missing), std::string::npos);
    EXPECT_NE(error.find("No such file or directory"), std::string::npos);
}
