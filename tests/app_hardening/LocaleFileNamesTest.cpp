// File names typed under a Shift-JIS locale are opened as the very bytes
// typed: the files a run reads and writes are the ones the user named, and a
// name that is not Shift-JIS is refused instead of becoming another name.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/ProgramRun.h"
#include "support/ShiftJisLocale.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::runProgram;

const std::string kExporter = CEDXM_BINARY_DIR "/exporter/DM2CDX";
const std::string kHouse = CEDXM_SOURCE_DIR "/resources/samples/house.json";

// The entries of the folder as the system spells them.
std::set<std::string> entryBytes(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().native());
    }
    return names;
}

class LocaleFileNames : public ::testing::Test {
protected:
    // Built once: localedef takes most of a second.
    static void SetUpTestSuite() { shiftJis = new TestSupport::ShiftJisLocale; }
    static void TearDownTestSuite()
    {
        delete shiftJis;
        shiftJis = nullptr;
    }

    void SetUp() override
    {
        std::filesystem::create_directory(files);
        if (!shiftJis->available()) {
            GTEST_SKIP() << "localedef could not build a Shift-JIS locale here";
        }
    }

    TestSupport::ProgramResult run(const std::vector<std::string>& args)
    {
        const std::string locpath = shiftJis->folder();
        return runProgram(kExporter, args, folder.path(),
                          {{"LOCPATH", locpath.c_str()}, {"LC_ALL", TestSupport::ShiftJisLocale::kName}});
    }

    static TestSupport::ShiftJisLocale* shiftJis;
    TestSupport::TempFolder folder;
    // What the run reads and writes, apart from its settings and lock.
    std::filesystem::path files = folder.path() / "files";
};

TestSupport::ShiftJisLocale* LocaleFileNames::shiftJis = nullptr;

TEST_F(LocaleFileNames, ShiftJisNamesAreReadAndWrittenAsTheBytesTyped)
{
    // 山田邸.json, 表.xml (its second byte is 0x5C, the backslash) and 記録.jsonl
    const std::string plan = "\x8E\x52\x93\x63\x93\x40.json";
    const std::string output = "\x95\x5C.xml";
    const std::string trace = "\x8B\x4C\x98\x5E.jsonl";
    std::filesystem::copy_file(kHouse, files / plan);
    const std::string base = files.string() + "/";

    const auto result = run({"--host", base + plan, "--output", base + output, "--trace", base + trace});
    ASSERT_EQ(result.status, 0) << result.err;
    // Exactly these entries: no name spelled in UTF-8, no temporary file left.
    EXPECT_EQ(entryBytes(files), (std::set<std::string>{plan, output, trace}));
    EXPECT_TRUE(TestSupport::TempFolder::read(base + output).starts_with("<?xml"));
    EXPECT_NE(TestSupport::TempFolder::read(base + trace).find("\"op\""), std::string::npos);
}

TEST_F(LocaleFileNames, NameThatIsNotShiftJisIsRefusedAndNothingIsWritten)
{
    const std::string notShiftJis = files.string() + "/\x81\x20.xml";  // a lead byte without its second
    const auto result = run({"--host", kHouse, "--output", notShiftJis});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("argument 4 (the value of --output)"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("\\x81 .xml"), std::string::npos) << result.err;
    EXPECT_TRUE(entryBytes(files).empty());
}

}  // namespace
