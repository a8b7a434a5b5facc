#include <gtest/gtest.h>

#include "common/app/ProgramArguments.h"
#include "common/host/ObjectWalk.h"

#include <nlohmann/json.hpp>

#include "AppSupport.h"
#include "common/text/Encoding.h"
#include "hostsim/HostSession.h"
#include "hostsim/SimulatedHostConnector.h"
#include "importer/app/ImportCommandLine.h"
#include "importer/app/ImportCommandLineDialogs.h"

using namespace Importer;
using AppSupport::FakePlatform;
using AppSupport::ScriptedConnector;

namespace {

const std::string kRoomFile =
    "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n<CADIF Version=\"1.0\">\r\n"
    "<入力点情報><通り芯><番付象限>1</番付象限><座標 点=\"0.0,0.0\"/><番付間距離 X=\"910.0\" Y=\"910.0\"/></通り芯></入力点情報>"
    "<物件情報><建物階数><地上>1</地上><地下>0</地下></建物階数><基本モジュール>910.0</基本モジュール>"
    "<構造基準レベル 階数=\"1\"><レベル 階=\"1\">0.0</レベル></構造基準レベル>"
    "<基準床高><レベル 階=\"1\">0.0</レベル></基準床高><基準基礎高>400.0</基準基礎高></物件情報>"
    "<部屋情報><部屋><層>1</層><名称>LDK</名称><種類><コード>1</コード></種類><床高>0.0</床高><天井高>2400.0</天井高>"
    "<領域2D 点数=\"4\" 点列=\"0.0,0.0 3640.0,0.0 3640.0,3640.0 0.0,3640.0\"/></部屋></部屋情報>"
    "</CADIF>\r\n";

std::vector<std::wstring> args(std::initializer_list<std::wstring> list) { return std::vector<std::wstring>(list); }

struct ImportRun {
    explicit ImportRun(const std::string& name) : dir(AppSupport::testDir(name)), platform(AppSupport::programIn(dir)) {}
    int operator()(std::initializer_list<std::wstring> list)
    {
        return runCdx2dm(platform, args(list), connector);
    }
    std::wstring path(const std::string& file) const { return Common::fromUtf8((dir / file).string()); }
    std::filesystem::path dir;
    FakePlatform platform;
    ScriptedConnector connector;
};

}  // namespace

TEST(ImportRunFlow, SecondInstanceEndsAndSaysWhy)
{
    ImportRun run("second");
    run.platform.mutexHeldElsewhere = true;
    EXPECT_EQ(run({L"--input", L"x.xml"}), kImportAnotherInstance);
    ASSERT_EQ(run.platform.mutexesTaken.size(), 1u);
    EXPECT_EQ(run.platform.mutexesTaken[0], L"DomoriaCEDXMImport");
    EXPECT_EQ(run.connector.connects, 0);
    EXPECT_TRUE(run.platform.messages.empty());
    ASSERT_EQ(run.platform.errors.size(), 1u);
    EXPECT_NE(run.platform.errors[0].find(L"another import is running"), std::wstring::npos);
}

TEST(ImportRunFlow, DrawingThatIsNotEmptyIsRefusedBeforeAnyDialog)
{
    ImportRun run("refused");
    run.connector.drawing({24, 19, 25});
    EXPECT_EQ(run({L"--input", run.path("x.xml"), L"--openings", L"none"}), kImportRefused);
    EXPECT_EQ(run.connector.document->ops(), (std::vector<int>{62, 64, 63, 64}));
    ASSERT_EQ(run.platform.errors.size(), 1u);
    EXPECT_EQ(run.platform.errors[0],
              L"画面に作業中のデータがあります。\nCEDXMの入力は、画面に何も描いていない状態で実行してください。");
    EXPECT_TRUE(run.platform.memoryRegistry.keys.empty());  // no dialog, nothing stored
    EXPECT_EQ(run.connector.keeps, 0);
}

TEST(ImportRunFlow, RoofsAloneCountAsEmptyAndAnEmptyDrawingIsNotWalked)
{
    ImportRun roofs("roofs-only");
    roofs.connector.drawing({24, 25, 24});
    EXPECT_EQ(roofs({L"7", L"--readme"}), kImportDone);  // read-me only: the dialog is left without a file
    EXPECT_EQ(roofs.connector.document->ops(), (std::vector<int>{62, 64, 63, 64, 63, 64, 63, 186}));
    ASSERT_EQ(roofs.platform.opened.size(), 1u);
    EXPECT_EQ(roofs.platform.opened[0], roofs.path(""));  // no ReadMeFile: the program folder itself
    EXPECT_TRUE(roofs.platform.memoryRegistry.keys.empty());  // a dialog left without a file stores nothing
    EXPECT_TRUE(roofs.platform.messages.empty());

    ImportRun empty("empty");
    empty.connector.drawing({});
    AppSupport::writeFile(empty.dir / "CDX2DM.ini", "[IMPORT]\r\nReadMeFile=read.txt\r\n");
    EXPECT_EQ(empty({L"--readme"}), kImportDone);
    EXPECT_EQ(empty.connector.document->ops(), (std::vector<int>{62, 186}));
    EXPECT_EQ(empty.platform.opened.at(0), empty.path("read.txt"));
    EXPECT_TRUE(empty.platform.messages.empty());
}

TEST(ImportRunFlow, AnObjectListThatNeverEndsStopsTheEmptyDrawingCheck)
{
    const Common::ScopedHostObjectWalkLimit limit(100);
    ImportRun run("endless");
    // Roofs for ever: every object passes the check, and the cursor never
    // reports the end.
    run.connector.document->on(62, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(1); });
    run.connector.document->on(63, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(1); });
    run.connector.document->on(64, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::ui4(24); });
    EXPECT_EQ(run({L"--input", L"a.xml"}), kImportFailed);
    EXPECT_NE(run.platform.allErrors().find("did not come to an end after 100 objects"), std::string::npos)
        << run.platform.allErrors();
    EXPECT_EQ(run.connector.document->ops().size(), 201u);  // 62, then 64 and 63 for each object
    EXPECT_EQ(run.connector.keeps, 0);
}

TEST(ImportRunFlow, UnreadableFileFailsWithPathAndReasonAndBuildsNothing)
{
    for (const std::string& content : {std::string("not xml at all"), std::string("<cadif/>"), std::string()}) {
        ImportRun run("unreadable");
        run.connector.drawing({});
        const std::wstring input = run.path("bad.xml");
        if (!content.empty()) {
            AppSupport::writeFile(run.dir / "bad.xml", content);
        }
        EXPECT_EQ(run({L"--input", input}), kImportFailed);
        ASSERT_EQ(run.platform.errors.size(), 1u);
        EXPECT_NE(run.platform.errors[0].find(input), std::wstring::npos) << Common::toUtf8(run.platform.errors[0]);
        EXPECT_TRUE(run.platform.messages.empty());  // no completion message
        EXPECT_EQ(run.connector.keeps, 0);
        EXPECT_EQ(run.connector.document->ops(), (std::vector<int>{62, 186}));  // nothing built
    }
}

TEST(ImportRunFlow, UsageErrorsAndMissingHost)
{
    ImportRun usage("usage");
    EXPECT_EQ(usage({L"--input", L"a.xml", L"--openings", L"doors"}), kImportUsage);
    EXPECT_EQ(usage.connector.connects, 0);
    EXPECT_EQ(usage({L"--host", L"p.json"}), kImportUsage);  // no input
    EXPECT_EQ(usage({L"--input", L"a.xml", L"--input", L"b.xml"}), kImportUsage);
    EXPECT_EQ(usage({L"--input", L"a.xml", L"--bogus"}), kImportUsage);
    usage.platform.errors.clear();
    // Help goes to standard output, as DM2CDX's does, and touches nothing.
    testing::internal::CaptureStdout();
    EXPECT_EQ(usage({L"--help"}), kImportDone);
    const std::string help = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(usage.platform.messages.empty());
    EXPECT_TRUE(usage.platform.errors.empty());
    for (const char* option : {"--input", "--openings", "--fitting-table", "--roofs", "--origin",
                               "--restore-defaults", "--readme", "frames|none|table",
                               "keep|lower-left|centre", "manual|none"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    // The options of the simulated host exist only where it is the host.
    EXPECT_EQ(help.find("--host"), std::string::npos);
    EXPECT_EQ(help.find("--trace"), std::string::npos);
    const std::wstring simulated = importUsage(true);
    EXPECT_NE(simulated.find(L"--host PLAN.json"), std::wstring::npos);
    EXPECT_NE(simulated.find(L"--trace FILE"), std::wstring::npos);

    // The table path can only be typed when the table mode is chosen.
    ImportRun table("table-path");
    table.connector.drawing({});
    EXPECT_EQ(table({L"--input", L"a.xml", L"--fitting-table", L"t.csv"}), kImportUsage);
    EXPECT_NE(table.platform.allErrors().find("--openings table"), std::string::npos);

    ImportRun nohost("no-host");
    nohost.connector.hostRunning = false;
    EXPECT_EQ(nohost({L"--input", L"a.xml"}), kImportFailed);
    EXPECT_NE(nohost.platform.allErrors().find("no running host"), std::string::npos);
}

TEST(ImportRunFlow, HostErrorIsReportedWithTheOperation)
{
    ImportRun run("host-error");
    run.connector.document->on(62, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(1); });
    // Operation 64 is not scripted: the host call fails.
    EXPECT_EQ(run({L"--input", L"a.xml"}), kImportFailed);
    EXPECT_NE(run.platform.allErrors().find("host operation 64"), std::string::npos)
        << run.platform.allErrors();
    EXPECT_EQ(run.connector.keeps, 0);
}

TEST(ImportRunFlow, CommandLineActsOnTheDialogAndTheChoicesAreStored)
{
    ImportRun run("options");
    run.connector.drawing({});
    AppSupport::writeFile(run.dir / "CDX2DM.ini",
                          "[IMPORT]\r\nOpeningType=1\r\nFittingType=2\r\nRoofType=1\r\nOriginType=1\r\nFittingPath=d.csv\r\n");
    // Stops at reading (no such file), after the options were stored.
    EXPECT_EQ(run({L"--input", run.path("missing.xml"), L"--restore-defaults", L"--fitting-table", L"mine.csv",
                   L"--roofs", L"manual", L"--origin", L"centre"}),
              kImportFailed);
    auto& values = run.platform.memoryRegistry.keys[L"Software\\Tavrel\\CEDXM"];
    EXPECT_EQ(std::get<std::uint32_t>(values.at(L"ImportOpeningType")), 2u);  // FittingType, by the button
    EXPECT_EQ(std::get<std::uint32_t>(values.at(L"ImportRoofType")), 0u);
    EXPECT_EQ(std::get<std::uint32_t>(values.at(L"ImportOriginType")), 2u);
    EXPECT_EQ(std::get<std::wstring>(values.at(L"ImportFittingPath")), L"mine.csv");

    // The next start takes the stored choices, not the ini file.
    ImportRun next("options");
    next.platform.memoryRegistry = run.platform.memoryRegistry;
    next.connector.drawing({});
    EXPECT_EQ(next({L"--input", next.path("missing.xml"), L"--origin", L"keep"}), kImportFailed);
    auto& again = next.platform.memoryRegistry.keys[L"Software\\Tavrel\\CEDXM"];
    EXPECT_EQ(std::get<std::uint32_t>(again.at(L"ImportOpeningType")), 2u);
    EXPECT_EQ(std::get<std::uint32_t>(again.at(L"ImportOriginType")), 0u);
}

TEST(ImportRunFlow, SimulatedHostImportSavesThePlanOnlyOnSuccess)
{
    const auto dir = AppSupport::testDir("simulated");
    AppSupport::writeFile(dir / "house.xml",
                          Common::toCp932WithReferences(Common::fromUtf8(kRoomFile)));
    AppSupport::writeFile(dir / "broken.xml", "<CADIF>");
    const std::string plan = (dir / "plan.json").string();
    const std::string trace = (dir / "trace.jsonl").string();

    {
        FakePlatform platform(AppSupport::programIn(dir));
        HostSim::SimulatedHostConnector connector(true);
        EXPECT_EQ(runCdx2dm(platform, args({L"--host", Common::fromUtf8(plan), L"--input",
                                            Common::fromUtf8((dir / "broken.xml").string())}), connector),
                  kImportFailed);
        EXPECT_FALSE(std::filesystem::exists(plan));  // a failed import never writes the plan
    }
    FakePlatform platform(AppSupport::programIn(dir));
    HostSim::SimulatedHostConnector connector(true);
    ASSERT_EQ(runCdx2dm(platform, args({L"--host", Common::fromUtf8(plan), L"--trace", Common::fromUtf8(trace),
                                        L"--input", Common::fromUtf8((dir / "house.xml").string())}), connector),
              kImportDone)
        << platform.allErrors();
    // The completion message as it always was, then what was built.
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0], L"CEDXMの入力が完了しました");
    EXPECT_EQ(platform.messages[1].rfind(L"CDX2DM built ", 0), 0u) << Common::toUtf8(platform.messages[1]);
    EXPECT_EQ(platform.captions[0], L"CEDXM入力");

    std::ifstream in(plan);
    const nlohmann::json saved = nlohmann::json::parse(in);
    int rooms = 0;
    for (const auto& object : saved["document"]["objects"]) {
        rooms += object["type"] == 19 ? 1 : 0;
    }
    EXPECT_EQ(rooms, 1);
    std::string line;
    bool walkedFirst = false;
    std::ifstream journal(trace);
    while (std::getline(journal, line)) {
        const nlohmann::json c = nlohmann::json::parse(line);
        if (c["object"] == "document") {
            walkedFirst = c["op"] == 62;
            break;
        }
    }
    EXPECT_TRUE(walkedFirst);  // the first document call is the empty-drawing check
}

// A user who answers the real open dialog: picks a file with the table mode,
// or cancels.
class AnsweringDialogs : public OpenDialogFrontEnd {
public:
    std::wstring file;  // empty: cancel
    std::wstring failWith;
    std::int32_t window = 0;
    int shown = 0;
    Common::DialogAnswer showOpenDialog(CDXLoadDialog& dialog, std::int32_t hostWindow,
                                        std::wstring& failure) override
    {
        ++shown;
        window = hostWindow;
        if (!failWith.empty()) {
            failure = failWith;
            return Common::DialogAnswer::Failed;
        }
        if (file.empty()) {
            return Common::DialogAnswer::Cancelled;
        }
        dialog.options.openingType = 2;
        dialog.chooseFile(file);
        return Common::DialogAnswer::Chosen;
    }
};

TEST(ImportRunFlow, HostStartWithTheWindowHandleAloneAsksTheUserAndAnyOptionUsesTheCommandLine)
{
    ImportRun run("user-dialogs");
    run.connector.drawing({});
    AnsweringDialogs user;
    EXPECT_EQ(runCdx2dm(run.platform, args({L"5001"}), run.connector, &user), kImportDone);
    EXPECT_EQ(user.shown, 1);
    EXPECT_EQ(user.window, 5001);
    EXPECT_TRUE(run.platform.memoryRegistry.keys.empty());  // nothing stored on cancel

    // Stops at reading (no such file), after the choice was stored.
    user.file = run.path("missing.xml");
    run.connector.drawing({});
    EXPECT_EQ(runCdx2dm(run.platform, args({L"5001"}), run.connector, &user), kImportFailed);
    EXPECT_EQ(user.shown, 2);
    EXPECT_NE(run.platform.allErrors().find("missing.xml"), std::string::npos);
    EXPECT_EQ(std::get<std::uint32_t>(
                  run.platform.memoryRegistry.keys.at(L"Software\\Tavrel\\CEDXM").at(L"ImportOpeningType")),
              2u);

    // Any option: the command line stands in for the dialogs.
    run.connector.drawing({});
    EXPECT_EQ(runCdx2dm(run.platform, args({L"5001", L"--readme"}), run.connector, &user), kImportDone);
    EXPECT_EQ(user.shown, 2);

    // An open dialog that cannot be shown is a failure the user is told of,
    // not a cancel.
    user.failWith = L"no file dialog on this desktop";
    run.connector.drawing({});
    EXPECT_EQ(runCdx2dm(run.platform, args({L"5001"}), run.connector, &user), kImportFailed);
    EXPECT_NE(run.platform.allErrors().find("no file dialog on this desktop"), std::string::npos);
}

TEST(ImportCommandLine, WindowHandleIsReadAsDM2CDXReadsIt)
{
    for (const auto& [argument, expected] : std::vector<std::pair<std::wstring, std::int32_t>>{
             {L"  -12abc", -12}, {L"+7", 7}, {L"abc", 0}, {L"99999999999999999999999", 2147483647}}) {
        Importer::ImportCommandLine commandLine;
        std::wstring problem;
        ASSERT_TRUE(Importer::parseImportCommandLine({argument, L"--input", L"a.xml"}, commandLine, problem))
            << Common::toUtf8(problem);
        EXPECT_EQ(commandLine.hostWindow, expected) << Common::toUtf8(argument);
        EXPECT_EQ(commandLine.hostWindow, Common::hostWindowFromArguments({argument}));
    }
}
