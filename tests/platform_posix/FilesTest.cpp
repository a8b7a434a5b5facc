#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "common/platform/Files.h"
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

TEST(AtomicFile, FolderAsTargetIsRefusedSayingAFileIsWanted)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    for (const std::string& target : {folder.file("sub"), folder.file("sub/"), folder.file("sub/."),
                                      folder.file("sub/.."), folder.path().string() + "/"}) {
        std::string error;
        EXPECT_FALSE(writeFileAtomically(target, "x", error)) << target;
        EXPECT_NE(error.find(target), std::string::npos) << error;
        EXPECT_NE(error.find("is a folder; name a file in it"), std::string::npos) << error;
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "sub"));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"sub"});
}

// A pipe or device is never replaced by a regular file, neither named
// directly nor through a link; a link to a regular file still is written.
TEST(AtomicFile, TargetThatIsNotARegularFileIsNeverReplaced)
{
    TempFolder folder;
    const std::string pipe = folder.file("pipe.xml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string link = folder.file("link.xml");
    ASSERT_EQ(::symlink(pipe.c_str(), link.c_str()), 0);
    for (const std::string& target : {pipe, link}) {
        std::string error;
        EXPECT_FALSE(writeFileAtomically(target, "x", error)) << target;
        EXPECT_NE(error.find(target), std::string::npos) << error;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.entries().size(), 2u);
}

// The temporary file's name must not push a legal target name over the
// file system's limit of 255 bytes, nor cut a character in two.
TEST(AtomicFile, LongestLegalNamesCanBeWritten)
{
    TempFolder folder;
    std::string house;  // 85 times 家, 255 bytes of UTF-8
    for (int i = 0; i < 85; ++i) {
        house += "\xE5\xAE\xB6";
    }
    for (const std::string& name : {std::string(255, 'a'), std::string(245, 'b') + ".xml", house}) {
        const std::string target = folder.file(name);
        Common::ReplacementFile file;
        ASSERT_TRUE(file.begin(target)) << file.error();
        ASSERT_TRUE(file.write("contents"));
        const std::vector<std::string> during = folder.entries();
        ASSERT_EQ(during.size(), 1u);
        const std::string& temporary = during.front();
        EXPECT_EQ(temporary.front(), '.');
        if (name == house) {
            // Only whole characters of the name: 1 dot, then a multiple of 3 bytes.
            EXPECT_EQ((temporary.find(".tmp-") - 1) % 3, 0u) << temporary;
        }
        ASSERT_TRUE(file.commit()) << file.error();
        EXPECT_EQ(TempFolder::read(target), "contents");
        EXPECT_EQ(folder.entries(), std::vector<std::string>{name});
        std::filesystem::remove(target);
    }
}

TEST(ReadWholeFile, ReadsAllAndReportsMissingOrOversized)
{
    TempFolder folder;
    const std::string big(200000, 'x');
    const std::string path = folder.write("big.bin", big);
    std::string bytes;
    std::string error;
    ASSERT_TRUE(readWholeFile(path, bytes, error, big.size())) << error;
    EXPECT_EQ(bytes, big);

    EXPECT_FALSE(readWholeFile(path, bytes, error, 1000));
    EXPECT_TRUE(bytes.empty());
    EXPECT_NE(error.find(path), std::string::npos);

    // Nothing is read from a device, so an endless one cannot hang the read.
    EXPECT_FALSE(readWholeFile("/dev/zero", bytes, error, 1 << 20));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;

    const std::string missing = folder.file("none.ini");
    EXPECT_FALSE(readWholeFile(missing, bytes, error, 1000));
    EXPECT_NE(error.find(missing), std::string::npos);
    EXPECT_NE(error.find("No such file or directory"), std::string::npos);
}

TEST(ReadRegularFile, SaysWhatStandsInTheWayAndNeverBlocksOnAPipe)
{
    TempFolder folder;
    std::string bytes = "left over";
    EXPECT_EQ(Common::readRegularFile(folder.path().string(), 100, bytes).status, Common::ReadStatus::Folder);
    EXPECT_TRUE(bytes.empty());

    // Opening a pipe nobody writes to would wait for ever.
    const std::string pipe = folder.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(Common::readRegularFile(pipe, 100, bytes).status, Common::ReadStatus::NotRegular);
    EXPECT_EQ(Common::pathKind(pipe), Common::PathKind::Other);

    const std::string file = folder.write("ten.bin", "0123456789");
    const Common::FileRead tooLarge = Common::readRegularFile(file, 9, bytes);
    EXPECT_EQ(tooLarge.status, Common::ReadStatus::TooLarge);
    EXPECT_EQ(tooLarge.size, 10u);
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(Common::readRegularFile(file, 10, bytes).ok());
    EXPECT_EQ(bytes, "0123456789");

    const Common::FileRead missing = Common::readRegularFile(folder.file("none"), 10, bytes);
    EXPECT_EQ(missing.status, Common::ReadStatus::CannotOpen);
    EXPECT_EQ(missing.reason, "No such file or directory");
    EXPECT_EQ(Common::pathKind(folder.file("none")), Common::PathKind::Missing);
}

TEST(ReplacementFile, WritesInPiecesAndLeavesTheTargetAloneUntilCommitted)
{
    TempFolder folder;
    const std::string target = folder.write("out.xml", "old");
    // More than one write buffer, in uneven pieces.
    std::string expected;
    {
        Common::ReplacementFile file;
        ASSERT_TRUE(file.begin(target)) << file.error();
        for (int i = 0; i < 5000; ++i) {
            const std::string piece(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26));
            ASSERT_TRUE(file.write(piece));
            expected += piece;
        }
        EXPECT_EQ(TempFolder::read(target), "old");
        EXPECT_EQ(folder.entries().size(), 2u);  // the target and the temporary file
        // Destroyed without commit.
    }
    EXPECT_EQ(TempFolder::read(target), "old");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.xml"});

    Common::ReplacementFile file;
    ASSERT_TRUE(file.begin(target));
    file.write(expected.substr(0, 70000));
    file.write(expected.substr(70000));
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(TempFolder::read(target), expected);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.xml"});

    // A second commit has nothing to put in place.
    EXPECT_FALSE(file.commit());
    EXPECT_NE(file.error().find(target), std::string::npos);
}
