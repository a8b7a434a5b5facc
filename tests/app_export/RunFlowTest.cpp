#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <variant>
#include <sstream>
#include <sys/resource.h>

#include "support/FakePlatform.h"
#include "common/host/ObjectWalk.h"
#include "common/text/Encoding.h"
#include "exporter/app/CDM2CDXApp.h"
#include "exporter/app/CommandLineDialogs.h"
#include "hostsim/HostSession.h"
#include "support/ScriptedHost.h"
#include "support/ConnectorFunction.h"
#include "support/TempFolder.h"

using namespace Exporter;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A host application and document answering only what binding and the test
// need; anything else they are asked raises a host error.
class ScriptedTable : public Common::RunningObjectTable {
public:
    std::shared_ptr<TestSupport::ScriptedHost> app = std::make_shared<TestSupport::ScriptedHost>();
    std::shared_ptr<TestSupport::ScriptedHost> doc = std::make_shared<TestSupport::ScriptedHost>();

    std::vector<Entry> entries() override
    {
        return {{L"!DomoriaRavimo.RavimoApp", app}, {L"!DomoriaRavimo.RavimoDoc", doc}};
    }
    std::shared_ptr<Common::AutomationObject> activeObject(const std::wstring& progId) override
    {
        if (progId == Common::kHostApplicationProgId) {
            return app;
        }
        return progId == Common::kHostDocumentProgId ? doc : nullptr;
    }
};

class EmptyTable : public Common::RunningObjectTable {
public:
    std::vector<Entry> entries() override { return {}; }
    std::shared_ptr<Common::AutomationObject> activeObject(const std::wstring&) override { return nullptr; }
};

// Records whether the dialog was shown, and acts as a user who cancels.
class CancellingDialogs : public SaveDialogFrontEnd {
public:
    int shown = 0;
    Common::DialogAnswer showSaveDialog(CDXSaveDialog&, int, std::wstring&) override
    {
        ++shown;
        return Common::DialogAnswer::Cancelled;
    }
};

Common::ProgramOptions windowOptions(std::int32_t window)
{
    Common::ProgramOptions options;
    options.hostWindow = window;
    return options;
}

class RunFlow : public ::testing::Test {
protected:
    TestSupport::TempFolder folder;
    TestSupport::FakePlatform platform;
    std::unique_ptr<HostSim::HostSession> session;
    int connects = 0;

    void SetUp() override
    {
        platform.programFile = Common::fromUtf8(folder.file("DM2CDX"));
        std::ofstream(folder.file("DM2CDX.ini")) << "[EXPORT]\nReadMeFile=readme.txt\nOpeningExtendType=1\n"
                                                    "MethodType=-1\nFittingType=0\n";
    }

    // The whole program as main() runs it, with the sample house as host.
    int runProgram(std::vector<std::wstring> args, const std::string& plan = "")
    {
        const std::string planPath =
            plan.empty() ? std::string(CEDXM_SOURCE_DIR) + "/resources/samples/house.json" : plan;
        args.insert(args.begin(), {L"--host", Common::fromUtf8(planPath)});
        TestSupport::ConnectorFunction host([&](const Common::ProgramOptions& cl) -> Common::RunningObjectTable* {
            ++connects;
            if (!cl.hostPlan) {
                return nullptr;
            }
            session = HostSim::HostSession::open(Common::toUtf8(*cl.hostPlan), false);
            return &session->runningObjectTable();
        });
        return runDm2cdx(platform, args, host);
    }

    std::wstring out(const std::string& name) { return Common::fromUtf8(folder.file(name)); }
};

TEST_F(RunFlow, ExportsTheSampleHouseAndStoresTheChoices)
{
    const std::string csv = folder.file("fittings.csv");
    std::ofstream(csv) << "";
    ASSERT_EQ(runProgram({L"--output", out("山田邸.xml"), L"--fitting-table", Common::fromUtf8(csv),
                          L"--first-quadrant"}),
              kExitDone);
    EXPECT_TRUE(platform.errors.empty()) << Common::toUtf8(platform.errors.front());
    // The completion message as it always was, then what was written, also
    // without --report.
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0], L"CEDXMの出力が完了しました");
    EXPECT_EQ(platform.messages[1].rfind(L"DM2CDX wrote ", 0), 0u) << Common::toUtf8(platform.messages[1]);
    EXPECT_NE(platform.messages[1].find(out("山田邸.xml")), std::wstring::npos);
    EXPECT_TRUE(platform.messages[1].ends_with(L"--report FILE.json lists each with its reason."))
        << Common::toUtf8(platform.messages[1]);
    EXPECT_EQ(platform.mutexesTaken, std::vector<std::wstring>({L"DomoriaCEDXMExport"}));
    // The documents folder was asked for with the host's window handle.
    ASSERT_FALSE(platform.documentsOwners.empty());
    EXPECT_EQ(platform.documentsOwners.front(), 5001);

    const std::wstring text = Common::fromCp932(readFile(folder.file("山田邸.xml"))).value_or(L"");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.rfind(L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n<CADIF Version=\"1.0\">\r\n", 0), 0u);
    EXPECT_NE(text.find(L"    <工事名称>山田邸</工事名称>\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"      <地上>2</地上>\r\n      <地下>0</地下>\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"<バージョン>Ver.8.10</バージョン>"), std::wstring::npos);
    EXPECT_EQ(text.find(L"<工法"), std::wstring::npos);  // MethodType -1
    EXPECT_NE(text.find(L"<部屋>"), std::wstring::npos);
    EXPECT_NE(text.find(L"<屋根>"), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 10), L"</CADIF>\r\n");

    const auto& values = platform.memoryRegistry.keys.at(Common::kSettingsRegistryKey);
    EXPECT_EQ(std::get<std::uint32_t>(values.at(L"ExportFittingType")), 1u);
    EXPECT_EQ(std::get<std::wstring>(values.at(L"ExportFittingPath")), Common::fromUtf8(csv));
    EXPECT_EQ(std::get<std::uint32_t>(values.at(L"ExportOriginType")), 1u);

    if (std::system("command -v xmllint >/dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("xmllint --noout '" + folder.file("山田邸.xml") + "'").c_str()), 0);
    }
}

TEST_F(RunFlow, SecondInstanceEndsAtOnce)
{
    platform.mutexHeldElsewhere = true;
    EXPECT_EQ(runProgram({L"--output", out("a.xml")}), kExitAnotherInstance);
    EXPECT_EQ(connects, 0);
    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"another export is running"), std::wstring::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("a.xml")));
}

TEST_F(RunFlow, MissingHostIsToldBeforeAnyDialog)
{
    CancellingDialogs dialogs;
    TestSupport::ConnectorFunction appHost([] { return nullptr; });
    CDM2CDXApp app(platform, appHost, windowOptions(5001), dialogs);
    EXPECT_EQ(app.run(), kExitFailed);
    EXPECT_EQ(dialogs.shown, 0);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"no running host"), std::wstring::npos);
    EXPECT_NE(platform.errors[0].find(L"5001"), std::wstring::npos);
    EXPECT_TRUE(platform.messages.empty());

    // A table in which no host is registered binds nothing either.
    EmptyTable empty;
    platform.errors.clear();
    TestSupport::ConnectorFunction noneHost([&] { return &empty; });
    CDM2CDXApp none(platform, noneHost, Common::ProgramOptions{}, dialogs);
    EXPECT_EQ(none.run(), kExitFailed);
    EXPECT_EQ(dialogs.shown, 0);
    ASSERT_EQ(platform.errors.size(), 1u);
}

TEST_F(RunFlow, CancelledDialogWritesNothingAndStoresNothing)
{
    ScriptedTable table;
    table.doc->on(186, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(77); });
    CancellingDialogs dialogs;
    TestSupport::ConnectorFunction appHost([&] { return &table; });
    CDM2CDXApp app(platform, appHost, Common::ProgramOptions{}, dialogs);
    EXPECT_EQ(app.run(), kExitDone);
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_TRUE(platform.memoryRegistry.keys.empty());
    EXPECT_EQ(table.doc->ops(), std::vector<int>({186}));
    EXPECT_EQ(platform.documentsOwners, std::vector<std::int32_t>({77}));
    // What start-up prepared on the way.
    EXPECT_EQ(app.programDirectory(), Common::fromUtf8(folder.path().string() + "/"));
    EXPECT_EQ(app.iniPath(), app.programDirectory() + L"DM2CDX.ini");
    EXPECT_EQ(app.readMePath(), app.programDirectory() + L"readme.txt");
    EXPECT_EQ(app.openingExtendType(), 1);
    EXPECT_EQ(app.screenScale(), 100);
}

TEST_F(RunFlow, ScreenScaleFromPixelsPerInch)
{
    ScriptedTable table;
    table.doc->on(186, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(1); });
    CancellingDialogs dialogs;
    for (const auto& [ppi, scale] : std::vector<std::pair<int, int>>{{96, 100}, {120, 125}, {144, 150}, {0, 100}, {100, 104}}) {
        platform.pixelsPerInch = ppi;
        TestSupport::ConnectorFunction appHost([&] { return &table; });
        CDM2CDXApp app(platform, appHost, Common::ProgramOptions{}, dialogs);
        app.run();
        EXPECT_EQ(app.screenScale(), scale) << ppi;
    }
}

TEST_F(RunFlow, HostErrorNamesTheOperationAndWritesNothing)
{
    ScriptedTable table;
    table.doc->on(186, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(1); });
    table.app->on(2, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::text(L"Ver.8.10"); });
    // Operation 172 (storey settings) is not scripted: the host fails it.
    CommandLineDialogs dialogs(platform, [&] {
        ExportCommandLine cl;
        cl.output = out("failed.xml");
        return cl;
    }());
    TestSupport::ConnectorFunction appHost([&] { return &table; });
    CDM2CDXApp app(platform, appHost, Common::ProgramOptions{}, dialogs);
    EXPECT_EQ(app.run(), kExitFailed);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"host operation 172 failed"), std::wstring::npos)
        << Common::toUtf8(platform.errors[0]);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.file("failed.xml")));
}

TEST_F(RunFlow, AnObjectListThatNeverEndsStopsTheStairAndRoofPasses)
{
    // The plan is empty for the first walks (storeys with rooms, rooms,
    // walls); from walk `endlessFrom` on, the cursor never reports the end
    // and every object is of `type`.
    struct Case {
        int endlessFrom;
        std::uint32_t type;
        int readingOp;
    };
    for (const Case c : {Case{4, 13, 76}, Case{5, 24, 222}}) {
        const Common::ScopedHostObjectWalkLimit limit(50);
        ScriptedTable table;
        for (const Common::HostOperation* op : Common::allHostOperations()) {
            auto& host = op->side == Common::HostSide::Application ? table.app : table.doc;
            host->on(op->dispatchNumber, [](Common::Arguments&, Common::Variant&) {});
        }
        int walks = 0;
        table.doc->on(62, [&](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(++walks >= c.endlessFrom); });
        table.doc->on(63, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(1); });
        table.doc->on(64, [&](Common::Arguments&, Common::Variant& r) { r = Common::Variant::ui4(c.type); });
        table.doc->on(65, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i2(1); });
        CommandLineDialogs dialogs(platform, [&] {
            ExportCommandLine cl;
            cl.output = out("endless.xml");
            return cl;
        }());
        TestSupport::ConnectorFunction appHost([&] { return &table; });
        CDM2CDXApp app(platform, appHost, Common::ProgramOptions{}, dialogs);
        platform.errors.clear();
        EXPECT_EQ(app.run(), kExitFailed);
        ASSERT_EQ(platform.errors.size(), 1u);
        EXPECT_NE(platform.errors[0].find(L"did not come to an end after 50 objects"), std::wstring::npos)
            << Common::toUtf8(platform.errors[0]);
        const std::vector<int> ops = table.doc->ops();
        EXPECT_EQ(std::count(ops.begin(), ops.end(), c.readingOp), 50) << "walk " << c.endlessFrom;
        EXPECT_FALSE(std::filesystem::exists(folder.file("endless.xml")));
    }
}

TEST_F(RunFlow, UnwritableOutputIsToldWithPathAndReason)
{
    const std::wstring target = out("no-such-folder/house.xml");
    EXPECT_EQ(runProgram({L"--output", target}), kExitFailed);
    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(target), std::wstring::npos) << Common::toUtf8(platform.errors[0]);
    EXPECT_NE(platform.errors[0].find(L"does not exist"), std::wstring::npos);
}

TEST_F(RunFlow, FailedWriteLeavesTheOldFileUntouched)
{
    const std::string target = folder.file("house.xml");
    std::ofstream(target) << "old contents";
    // The file system refuses to let any file grow beyond 1000 bytes: the new
    // document fails half-way, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int status = runProgram({L"--output", Common::fromUtf8(target)});
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(status, kExitFailed);
    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(Common::fromUtf8(target)), std::wstring::npos);
    EXPECT_EQ(readFile(target), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), std::filesystem::directory_iterator()),
              2);  // the ini file and the old file; no temporary left behind
}

TEST_F(RunFlow, UsageErrorAndHelp)
{
    TestSupport::ConnectorFunction noHost([] { return nullptr; });
    EXPECT_EQ(runDm2cdx(platform, {L"--output"}, noHost), kExitUsage);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"--output needs a value"), std::wstring::npos);
    EXPECT_TRUE(platform.mutexesTaken.empty());

    testing::internal::CaptureStdout();
    EXPECT_EQ(runDm2cdx(platform, {L"--help"}, noHost), kExitDone);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Usage: DM2CDX"), std::string::npos);
}

TEST_F(RunFlow, ReadMeAloneOpensTheReadMeAndWritesNothing)
{
    EXPECT_EQ(runProgram({L"--readme"}), kExitDone);
    EXPECT_EQ(platform.opened, std::vector<std::wstring>({Common::fromUtf8(folder.file("readme.txt"))}));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.memoryRegistry.keys.empty());
}

// A stair direction near the end of the number range is finite in the plan,
// but the stair's outline computed from it is not: that stair is left out
// and named, everything else is written, and the file holds no nan or inf.
TEST_F(RunFlow, RecordsWithValuesThatAreNotFiniteAreLeftOutAndNamed)
{
    const std::string stair = R"({"type": 13, "storey": 1, "start": [0, 0], "width": 900, "form": 0,
        "treads": [250, 250, 250], "counts": [14, 0, 0], "patterns": [0, 0], "side": 0, "direction": DIR,
        "formFlag": 0, "skip": 0})";
    std::string objects = R"({"type": 19, "storey": 1, "kind": 4, "name": "LDK", "floor": 0, "height": 2400,
        "outline": [[0, 0], [3640, 0], [3640, 3640], [0, 3640]]})";
    for (const char* direction : {"0", "-1.797e308"}) {
        std::string s = stair;
        s.replace(s.find("DIR"), 3, direction);
        objects += ", " + s;
    }
    const std::string plan = folder.file("overflow.json");
    std::ofstream(plan) << R"({"document": {"objects": [)" << objects << "]}}";
    ASSERT_EQ(runProgram({L"--output", out("overflow.xml"), L"--openings-only"}, plan), kExitDone);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"stair 2 (storey 1) is not written"), std::wstring::npos)
        << Common::toUtf8(platform.errors[0]);
    const std::wstring text = Common::fromCp932(readFile(folder.file("overflow.xml"))).value_or(L"");
    EXPECT_EQ(text.find(L"nan"), std::wstring::npos);
    EXPECT_EQ(text.find(L"inf"), std::wstring::npos);
    EXPECT_NE(text.find(L"<階段ブロック数>"), std::wstring::npos);  // the first stair is there
}

TEST_F(RunFlow, BrokenPlanFileIsReportedAsAFailure)
{
    const std::string plan = folder.file("broken.json");
    std::ofstream(plan) << "{ \"document\": { \"objects\": [ { \"type\": 19 } ] } }";
    EXPECT_EQ(runProgram({L"--output", out("x.xml")}, plan), kExitFailed);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"broken.json"), std::wstring::npos) << Common::toUtf8(platform.errors[0]);
    EXPECT_FALSE(std::filesystem::exists(folder.file("x.xml")));
}

}  // namespace

// A user who picks a file and the first-quadrant option in the real dialogs.
class ChoosingDialogs : public SaveDialogFrontEnd {
public:
    std::wstring file;
    int shown = 0;
    Common::DialogAnswer showSaveDialog(CDXSaveDialog& dialog, int, std::wstring& failure) override
    {
        ++shown;
        if (!failWith.empty()) {
            failure = failWith;
            return Common::DialogAnswer::Failed;
        }
        dialog.options.originType = 1;
        dialog.chooseFile(file);
        return Common::DialogAnswer::Chosen;
    }
    std::wstring failWith;
};

TEST_F(RunFlow, HostStartWithTheWindowHandleAloneAsksTheUserAndAnyOptionUsesTheCommandLine)
{
    const std::string plan = std::string(CEDXM_SOURCE_DIR) + "/resources/samples/house.json";
    int connected = 0;
    TestSupport::ConnectorFunction connect([&]() -> Common::RunningObjectTable* {
        ++connected;
        session = HostSim::HostSession::open(plan, false);
        return &session->runningObjectTable();
    });
    ChoosingDialogs user;
    user.file = out("chosen.xml");
    EXPECT_EQ(runDm2cdx(platform, {L"5001"}, connect, &user), kExitDone);
    EXPECT_EQ(user.shown, 1);
    EXPECT_EQ(connected, 1);
    EXPECT_FALSE(readFile(folder.file("chosen.xml")).empty());
    EXPECT_EQ(std::get<std::uint32_t>(platform.memoryRegistry.keys.at(L"Software\\Tavrel\\CEDXM").at(L"ExportOriginType")),
              1u);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0], L"CEDXMの出力が完了しました");

    // With options the command line stands in for the dialogs; without
    // dialogs a user answers, the window handle alone is a usage error.
    EXPECT_EQ(runDm2cdx(platform, {L"5001", L"--output", out("given.xml")}, connect, &user), kExitDone);
    EXPECT_EQ(user.shown, 1);
    EXPECT_FALSE(readFile(folder.file("given.xml")).empty());
    EXPECT_EQ(runDm2cdx(platform, {L"5001"}, connect), kExitUsage);

    // A save dialog that cannot be shown is a failure the user is told of,
    // not a cancel.
    platform.errors.clear();
    user.failWith = L"no file dialog on this desktop";
    EXPECT_EQ(runDm2cdx(platform, {L"5001"}, connect, &user), kExitFailed);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"no file dialog on this desktop"), std::wstring::npos);
}
