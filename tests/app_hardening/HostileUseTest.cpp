// Both programs started as a careless or hostile user would start them:
// whatever they are given, nothing is destroyed, nothing wrong is written
// and nothing is silently lost.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using TestSupport::runProgram;

const std::string kExporter = CEDXM_BINARY_DIR "/exporter/DM2CDX";
const std::string kImporter = CEDXM_BINARY_DIR "/importer/CDX2DM";
const std::string kHouse = CEDXM_SOURCE_DIR "/resources/samples/house.json";

const char* const kSmallCedxm =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CADIF Version=\"1.0\">\n<部屋情報>\n<部屋><層>1</層>"
    "<名称>洋室</名称><種類><コード>1</コード></種類><床高>0.0</床高><天井高>2400.0</天井高>"
    "<領域2D 点数=\"4\" 点列=\"0.0,0.0 3640.0,0.0 3640.0,3640.0 0.0,3640.0\"/></部屋>\n</部屋情報>\n</CADIF>\n";

std::string plan(bool minimized)
{
    return std::string("{\"application\":{\"windowHandle\":5001},\"document\":{\"windowHandle\":5001,\"minimized\":") +
           (minimized ? "true" : "false") + "}}";
}

// The host's own window decides the final redraw, not the environment.
TEST(HostileUse, ImportIntoAMinimisedHostWindowMakesNoRedraw)
{
    TestSupport::TempFolder folder;
    const std::string input = folder.write("in.xml", kSmallCedxm);
    for (const bool minimized : {true, false}) {
        SCOPED_TRACE(minimized ? "minimised" : "shown");
        const std::string host = folder.write("plan.json", plan(minimized));
        const std::string trace = folder.file("trace.jsonl");
        fs::remove(trace);
        const auto run = runProgram(kImporter, {"--host", host, "--input", input, "--trace", trace}, folder.path(),
                                    {{"CEDXM_WINDOW_MINIMIZED", minimized ? "0" : "1"}});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string journal = TestSupport::TempFolder::read(trace);
        EXPECT_NE(journal.find("\"op\":186"), std::string::npos);
        EXPECT_EQ(journal.find("\"op\":98,") == std::string::npos, minimized) << journal;
    }
}

// A lock that cannot be made fails with its reason (status 1); a real second
// instance ends with status 3 and says so.
TEST(HostileUse, LockErrorsAreFailuresAndASecondInstanceSaysWhy)
{
    TestSupport::TempFolder folder;
    fs::create_directory(folder.path() / "DomoriaCEDXMExport");
    const auto broken = runProgram(kExporter, {"--host", kHouse, "--output", folder.file("a.xml")}, folder.path());
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("DomoriaCEDXMExport\": Is a directory"), std::string::npos) << broken.err;
    EXPECT_FALSE(fs::exists(folder.file("a.xml")));

    const int held = ::open(folder.file("DomoriaCEDXMImport").c_str(), O_RDONLY | O_CREAT, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const std::string input = folder.write("in.xml", kSmallCedxm);
    const auto second = runProgram(kImporter, {"--host", folder.file("p.json"), "--input", input}, folder.path());
    ::close(held);
    EXPECT_EQ(second.status, 3);
    EXPECT_NE(second.err.find("another import is running"), std::string::npos) << second.err;
    EXPECT_FALSE(fs::exists(folder.file("p.json")));
}

// Files to be written: a pipe, a device or a folder is never written over or
// waited on, and a replaced file keeps its permissions. A pipe given as a
// file to be read is not waited on either.
TEST(HostileUse, FilesThatAreNotRegularAreRefusedAndModesKept)
{
    TestSupport::TempFolder folder;
    const std::string pipe = folder.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string output = folder.file("out.xml");
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{kExporter, "--host", kHouse, "--output", pipe}, "not a regular file"},
        {{kExporter, "--host", kHouse, "--output", "."}, "is a folder; name a file in it"},
        {{kExporter, "--host", kHouse, "--output", output, "--trace", pipe}, "not a regular file"},
        {{kExporter, "--host", kHouse, "--output", output, "--report", pipe}, "not a regular file"},
        {{kImporter, "--host", folder.file("p.json"), "--input", folder.write("in.xml", kSmallCedxm), "--trace", pipe},
         "not a regular file"},
        {{kImporter, "--host", folder.file("p.json"), "--input", pipe}, "not a regular file"},
        {{kExporter, "--host", pipe, "--output", output}, "not a regular file"},
    };
    for (const auto& [args, message] : refused) {
        SCOPED_TRACE(args.back());
        std::vector<std::string> timed = {"10"};
        timed.insert(timed.end(), args.begin(), args.end());
        const auto run = runProgram("/usr/bin/timeout", timed, folder.path());
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(folder.file("p.json")));

    folder.write("out.xml", "old");
    ASSERT_EQ(::chmod(output.c_str(), 0600), 0);
    const auto replaced = runProgram(kExporter, {"--host", kHouse, "--output", output}, folder.path());
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    struct stat info {};
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_NE(TestSupport::TempFolder::read(output), "old");
}

// A file the run would write that is one it reads, by whatever spelling, is
// refused before anything is touched; so is a file written twice. A file
// written into a folder that is not there fails before the conversion.
TEST(HostileUse, OutputsThatAliasInputsOrLackAFolderAreRefusedBeforeAnythingIsTouched)
{
    TestSupport::TempFolder folder;
    const std::string planText = TestSupport::TempFolder::read(kHouse);
    const std::string planPath = folder.write("plan.json", planText);
    ASSERT_EQ(::symlink(planPath.c_str(), folder.file("link.json").c_str()), 0);
    const std::string input = folder.write("in.xml", kSmallCedxm);
    const std::string table = folder.write("table.csv", "a,b\n");
    const std::string sub = folder.file("sub");
    fs::create_directory(sub);
    const std::string respelled = sub + "/../in.xml";
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{kExporter, "--host", planPath, "--output", folder.file("link.json")}, "--output and --host"},
        {{kExporter, "--host", planPath, "--output", folder.file("out.xml"), "--fitting-table", table, "--report",
          table},
         "--report and --fitting-table"},
        {{kExporter, "--host", planPath, "--output", folder.file("out.xml"), "--trace", planPath},
         "--trace and --host"},
        {{kExporter, "--host", planPath, "--output", folder.file("out.xml"), "--report", sub + "/../out.xml"},
         "written twice"},
        {{kImporter, "--host", folder.file("new.json"), "--input", input, "--trace", respelled}, "--trace and --input"},
        {{kImporter, "--host", input, "--input", respelled}, "--host and --input"},
    };
    for (const auto& [args, message] : refused) {
        SCOPED_TRACE(args.back());
        const auto run = runProgram(args.front(), {args.begin() + 1, args.end()}, folder.path());
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_EQ(TestSupport::TempFolder::read(planPath), planText);
    EXPECT_EQ(TestSupport::TempFolder::read(input), kSmallCedxm);
    EXPECT_EQ(TestSupport::TempFolder::read(table), "a,b\n");
    EXPECT_FALSE(fs::exists(folder.file("out.xml")));
    EXPECT_FALSE(fs::exists(folder.file("new.json")));

    const auto missing = runProgram(kImporter, {"--host", folder.file("gone/plan.json"), "--input", input}, folder.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
    EXPECT_TRUE(missing.out.empty()) << missing.out;  // no completion message, nothing built
}

}  // namespace
