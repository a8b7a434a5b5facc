#include <gtest/gtest.h>

#include <filesystem>

#include "common/text/Encoding.h"
#include "exporter/app/CommandLine.h"

using namespace Exporter;

namespace {

bool parse(const std::vector<std::wstring>& args, ExportCommandLine& cl, std::wstring& error)
{
    return parseExportCommandLine(args, cl, error);
}

TEST(CommandLine, WindowHandleFromTheFirstArgument)
{
    EXPECT_EQ(hostWindowFromArguments({}), 0);
    EXPECT_EQ(hostWindowFromArguments({L"5001", L"--host", L"p.json"}), 5001);
    EXPECT_EQ(hostWindowFromArguments({L"  -12abc"}), -12);
    EXPECT_EQ(hostWindowFromArguments({L"+7"}), 7);
    EXPECT_EQ(hostWindowFromArguments({L"abc"}), 0);
    EXPECT_EQ(hostWindowFromArguments({L"--host", L"5001"}), 0);  // only the first argument counts
    EXPECT_EQ(hostWindowFromArguments({L"99999999999999999999999"}), 2147483647);
    EXPECT_EQ(hostWindowFromArguments({L"-99999999999999999999999"}), -2147483647 - 1);
}

TEST(CommandLine, PathsBecomeFullPathsAsAFileDialogReturnsThem)
{
    const std::wstring here = Common::fromUtf8(std::filesystem::current_path().string());
    EXPECT_EQ(Common::fullPath(L"out/../plans/./山田邸.xml"), here + L"/plans/山田邸.xml");
    EXPECT_EQ(Common::fullPath(L"/a/b/../c.xml"), L"/a/c.xml");
    EXPECT_EQ(Common::fullPath(L""), L"");
}

TEST(CommandLine, OptionsAndValues)
{
    ExportCommandLine cl;
    std::wstring error;
    ASSERT_TRUE(parse({L"5001", L"--host", L"p.json", L"--output=o.xml", L"--fitting-table", L"t.csv",
                       L"--first-quadrant", L"--restore-defaults", L"--trace", L"j.jsonl", L"--readme"},
                      cl, error))
        << error;
    EXPECT_EQ(*cl.hostPlan, L"p.json");
    EXPECT_EQ(*cl.output, L"o.xml");
    EXPECT_EQ(*cl.fittingTable, L"t.csv");
    EXPECT_EQ(*cl.trace, L"j.jsonl");
    EXPECT_TRUE(cl.firstQuadrant && cl.restoreDefaults && cl.readme);
    EXPECT_FALSE(cl.openingsOnly || cl.keepOrigin || cl.help);
    EXPECT_TRUE(cl.changesSettings());

    ASSERT_TRUE(parse({L"--host", L"p.json", L"--output", L"o.xml"}, cl, error));
    EXPECT_FALSE(cl.changesSettings());
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong)
{
    ExportCommandLine cl;
    const std::vector<std::pair<std::vector<std::wstring>, std::wstring>> cases = {
        {{L"--host", L"p.json"}, L"--output"},
        {{L"--output", L"o.xml", L"--openings-only", L"--fitting-table", L"t.csv"}, L"exclude"},
        {{L"--output", L"o.xml", L"--first-quadrant", L"--keep-origin"}, L"exclude"},
        {{L"--output", L"o.xml", L"--output", L"p.xml"}, L"twice"},
        {{L"--output"}, L"needs a value"},
        {{L"--output="}, L"needs a value"},
        {{L"--output", L"o.xml", L"--verbose"}, L"unknown option --verbose"},
        {{L"--output", L"o.xml", L"stray"}, L"stray"},
        {{L"--output", L"o.xml", L"--readme=yes"}, L"takes no value"},
    };
    for (const auto& [args, expected] : cases) {
        std::wstring error;
        EXPECT_FALSE(parse(args, cl, error)) << expected;
        EXPECT_NE(error.find(expected), std::wstring::npos) << std::string(error.begin(), error.end());
    }
    std::wstring error;
    EXPECT_TRUE(parse({L"--readme", L"--host", L"p.json"}, cl, error)) << "the read-me alone needs no output";
    EXPECT_TRUE(parse({L"--keep-origin", L"--help", L"--first-quadrant"}, cl, error));
    EXPECT_TRUE(cl.help);
}

TEST(CommandLine, HelpNamesEveryOptionAndExitStatus)
{
    const std::wstring help = exportHelpText(true);
    for (const wchar_t* option : {L"HOSTWINDOW", L"--host", L"--output", L"--openings-only", L"--fitting-table",
                                  L"--first-quadrant", L"--keep-origin", L"--restore-defaults", L"--trace",
                                  L"--readme", L"--help", L"Exit status", L"0 done", L"1 failed", L"2 usage",
                                  L"3 another"}) {
        EXPECT_NE(help.find(option), std::wstring::npos) << std::wstring(option).size();
    }
    // Where the host is the real one, the simulated host's options and its
    // registry file do not exist: the help names neither.
    const std::wstring real = exportHelpText(false);
    for (const wchar_t* absent : {L"--host", L"--trace", L"CEDXM_REGISTRY", L".reg"}) {
        EXPECT_EQ(real.find(absent), std::wstring::npos) << std::wstring(absent).size();
    }
    EXPECT_NE(real.find(L"HKEY_CURRENT_USER\\Software\\Tavrel\\CEDXM"), std::wstring::npos);
    EXPECT_NE(real.find(L"--output"), std::wstring::npos);
}

}  // namespace
