// Plan files: a new plan's defaults, what a broken file is told, and saving
// that keeps everything and never leaves a half-written file.

#include <chrono>
#include <filesystem>
#include <limits>

#include "HostFixture.h"

namespace HostSimTests {
namespace {

using HostSim::Json;
using HostSim::PlanDocument;
using HostSim::PlanError;

class PlanFileTest : public ::testing::Test {
protected:
    // The PlanError message for a plan file holding `json`.
    std::string loadError(const std::string& json)
    {
        const std::string path = folder.write("plan.json", json);
        try {
            HostSim::HostSession::open(path, false);
        } catch (const PlanError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
            return message.substr(path.size() + 2);
        }
        return "(loaded)";
    }

    // A plan whose only object is `object`.
    static std::string withObject(const std::string& object)
    {
        return R"({"document": {"objects": [ {"type": 0, "storey": 1}, )" + object + "]}}";
    }

    TestSupport::TempFolder folder;
};

TEST_F(PlanFileTest, MissingFileIsANewEmptyPlanOnlyWhenAsked)
{
    const std::string path = folder.file("absent.json");
    EXPECT_THROW(HostSim::HostSession::open(path, false), PlanError);
    auto session = HostSim::HostSession::open(path, true);
    EXPECT_FALSE(std::filesystem::exists(path));  // nothing written until saved

    const Json saved = session->plan().toJson();
    const Json want = Json::parse(R"({
      "application": { "version": "Ver.8.10", "folder": "C:\\Program Files\\DomoriaRavimo", "windowHandle": 5001 },
      "document": {
        "windowHandle": 5001, "minimized": false, "currentStorey": 1,
        "storeySettings": [0,0,0,0,0, 2900,2900,2900,2900, 1000,500,400,120,0],
        "storeyFlags": { "1": 0, "2": 0, "3": 0, "4": 0 },
        "grid": { "module": 910.0, "setting16": 0, "setting32": 0, "a": 0.0, "b": 0.0 },
        "objects": [], "generatedRoofs": [] } })");
    EXPECT_EQ(saved, want);

    EXPECT_THROW(HostSim::HostSession::open(folder.path().string(), true), PlanError);  // a folder
#ifndef _WIN32
    try {
        HostSim::HostSession::open("/dev/zero", true);  // would never end
        ADD_FAILURE() << "a device was read as a plan";
    } catch (const PlanError& e) {
        EXPECT_STREQ(e.what(), "/dev/zero: not a regular file");
    }
#endif
}

TEST_F(PlanFileTest, OnlyTheDocumentAndEachObjectsTypeStoreyAndGeometryAreRequired)
{
    const std::string path = folder.write("plan.json", withObject(R"({"type": 13, "storey": 2, "start": [1,2], "width": 800})"));
    auto session = HostSim::HostSession::open(path, false);
    const HostSim::PlanDocument& plan = session->plan();
    EXPECT_EQ(plan.application.version, L"Ver.8.10");
    EXPECT_EQ(plan.document.grid.module, 910.0);
    ASSERT_EQ(plan.document.objects.size(), 2u);
    const HostSim::PlanObject& stair = plan.document.objects[1];
    EXPECT_EQ(stair.start, (HostSim::PlanPoint{1, 2}));
    EXPECT_EQ(stair.width, 800.0);
    EXPECT_EQ(stair.counts[0], 0);
    EXPECT_EQ(stair.skip, 0);
}

TEST_F(PlanFileTest, BrokenFilesNameTheFieldAndTheReason)
{
    EXPECT_EQ(loadError("{\"document\": {").rfind("not a JSON plan file: ", 0), 0u);
    EXPECT_EQ(loadError("").rfind("not a JSON plan file: ", 0), 0u);
    EXPECT_EQ(loadError("{\"document\": {\"windowHandle\": \"\xff\"}}").rfind("not a JSON plan file: ", 0), 0u);
    EXPECT_EQ(loadError("[1, 2]"), "(top level): expected an object with \"application\" and \"document\"");
    EXPECT_EQ(loadError("{\"application\": {}}"), "document: missing");
    EXPECT_EQ(loadError(R"({"document": {"objects": {}}})"), "document.objects: expected an array of objects");
    EXPECT_EQ(loadError(withObject(R"({"storey": 1})")), "document.objects[1].type: missing");
    EXPECT_EQ(loadError(withObject(R"({"type": 19, "storey": 1})")), "document.objects[1].outline: missing");
    EXPECT_EQ(loadError(withObject(R"({"type": 19, "storey": 1, "outline": [[0,0],[1]]})")),
              "document.objects[1].outline: expected array of [x,y] pairs (element 1 is not)");
    EXPECT_EQ(loadError(withObject(R"({"type": 19, "storey": "1", "outline": []})")),
              "document.objects[1].storey: expected an integer from -32768 to 32767");
    EXPECT_EQ(loadError(withObject(R"({"type": 19, "storey": 1, "outline": [], "name": 5})")),
              "document.objects[1].name: expected a string");
    EXPECT_EQ(loadError(withObject(R"({"type": 5, "storey": 1, "centre": [0,0], "size": [1,1], "fullHeight": "yes"})")),
              "document.objects[1].fullHeight: expected true, false or an integer from 0 to 65535");
    EXPECT_EQ(loadError(withObject(R"({"type": 21, "storey": 1, "start": [0,0], "end": [1,1,1]})")),
              "document.objects[1].end: expected [x,y]");
    EXPECT_EQ(loadError(withObject(R"({"type": 14, "storey": 1, "start": [0,0], "width": 1, "counts": [1,2]})")),
              "document.objects[1].counts: expected an array of 3 numbers");
    EXPECT_EQ(loadError(withObject(R"({"type": 14, "storey": 1, "start": [0,0], "width": 1, "extra": {"30": 1}})")),
              "document.objects[1].extra.30: not a stair value position (16 to 29, 31 or 32)");
    EXPECT_EQ(loadError(withObject(R"({"type": 8, "storey": 1, "fitting": {"centre": [0,0]}})")),
              "document.objects[1].fitting.part: missing");
    EXPECT_EQ(loadError(R"({"document": {"storeySettings": [1,2,3]}})"),
              "document.storeySettings: expected an array of 14 numbers");
    EXPECT_EQ(loadError(R"({"document": {"storeyFlags": {"first": 1}}})"),
              "document.storeyFlags.first: expected a storey number from -32768 to 32767 as the key");
    EXPECT_EQ(loadError(R"({"document": {"minimized": 0}})"), "document.minimized: expected true or false");
    EXPECT_EQ(loadError(R"({"document": {"generatedRoofs": [{"type": 19, "storey": 1, "outline": []}]}})"),
              "document.generatedRoofs[0].type: a generated roof is of type 24");
}

TEST_F(PlanFileTest, ObjectsReadWhileParsingComplainAsAWholeReadDoes)
{
    // The complaint that comes first in the order of reading wins over a
    // broken object, wherever it stands in the text.
    const std::string broken = R"([{"type": 1, "storey": 1}, {"storey": 1}])";
    EXPECT_EQ(loadError(R"({"document": {"objects": )" + broken + "}}"), "document.objects[1].type: missing");
    EXPECT_EQ(loadError(R"({"document": {"objects": )" + broken + R"(}, "x": tru})").rfind("not a JSON plan file: ", 0),
              0u);
    EXPECT_EQ(loadError(R"({"document": {"objects": )" + broken + R"(, "minimized": 0}})"),
              "document.minimized: expected true or false");
    EXPECT_EQ(loadError(R"({"document": {"objects": )" + broken + R"(}, "application": {"version": 1}})"),
              "application.version: expected a string");
    const std::string deep = std::string(100, '[') + std::string(100, ']');
    EXPECT_EQ(loadError(R"({"document": {"objects": [)" + deep + "]}}"), "not a plan file: nested deeper than 64 levels");
    EXPECT_EQ(loadError(R"({"document": {"objects": )" + broken + R"(}, "x": tru, "y": )" + deep + "}"),
              "not a plan file: nested deeper than 64 levels");

    // A list named twice keeps its last value, as any member does.
    EXPECT_EQ(loadError(R"({"document": {"objects": )" + broken + R"(, "objects": []}})"), "(loaded)");
    EXPECT_EQ(loadError(R"({"document": {"objects": [], "objects": )" + broken + "}}"),
              "document.objects[1].type: missing");
    // Names that begin or end alike are other names.
    const std::string alike = folder.write(
        "alike.json", R"({"document": {"objects": [{"typ": 7, "types": 8, "type": 1, "storey": 2, "Storey": 3}]}})");
    const PlanDocument read = PlanDocument::load(alike);
    ASSERT_EQ(read.document.objects.size(), 1u);
    EXPECT_EQ(read.document.objects[0].type, 1u);
    EXPECT_EQ(read.document.objects[0].storey, 2);
    EXPECT_EQ(read.document.objects[0].unknownFields, Json::parse(R"({"typ": 7, "types": 8, "Storey": 3})"));

    const std::string path = folder.write(
        "twice.json", R"({"document": {"objects": [{"type": 1, "storey": 1}]}, "document": {"objects": [{"type": 2, "storey": 3}, {"type": 4, "storey": 5}]}})");
    const PlanDocument plan = PlanDocument::load(path);
    ASSERT_EQ(plan.document.objects.size(), 2u);
    EXPECT_EQ(plan.document.objects[1].type, 4u);
    EXPECT_EQ(plan.document.objects[1].storey, 5);
}

TEST_F(PlanFileTest, NumbersOutOfTheirRangeAreRefused)
{
    // Beyond a double: the JSON reader itself refuses.
    EXPECT_EQ(loadError(R"({"document": {"grid": {"module": 1e400}}})").rfind("not a JSON plan file: ", 0), 0u);
    EXPECT_EQ(loadError(R"({"document": {"storeySettings": [0,0,0,0,0,0,0,0,0,0,0,0,0,65536]}})"),
              "document.storeySettings[13]: expected an integer from 0 to 65535");
    EXPECT_EQ(loadError(R"({"document": {"currentStorey": 1e300}})"),
              "document.currentStorey: expected an integer from -32768 to 32767");
    EXPECT_EQ(loadError(R"({"document": {"windowHandle": 99999999999999999999999}})"),
              "document.windowHandle: expected an integer from -2147483648 to 2147483647");
    EXPECT_EQ(loadError(R"({"document": {"grid": {"setting32": -1}}})"),
              "document.grid.setting32: expected an integer from 0 to 4294967295");
    EXPECT_EQ(loadError(R"({"document": {"storeyFlags": {"1": 256}}})"),
              "document.storeyFlags.1: expected an integer from 0 to 255");
    EXPECT_EQ(loadError(R"({"document": {"currentStorey": 1.5}})"),
              "document.currentStorey: expected an integer from -32768 to 32767");
    // Nesting far beyond any plan is refused, not followed down.
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_EQ(loadError(R"({"document": {}, "note": )" + deep + "}"),
              "not a plan file: nested deeper than 64 levels");
    // A whole number written with a fraction part is still that number.
    EXPECT_EQ(loadError(R"({"document": {"currentStorey": 3.0}})"), "(loaded)");
    // Brackets inside texts are no nesting.
    EXPECT_EQ(loadError(R"({"document": {}, "note": ")" + std::string(1000, '[') + R"(\"{"})"), "(loaded)");
}

TEST_F(PlanFileTest, PlanOfManyObjectsLoadsInLinearTime)
{
    // 100,000 objects: each took a pass over all the objects before it,
    // five billion steps. The bound leaves room for a sanitizer build on a
    // busy machine (about 6 s there alone) and still catches that.
    std::string objects;
    for (int i = 0; i < 100000; ++i) {
        objects += i == 0 ? "" : ",";
        objects += R"({"type": 1, "storey": 1})";
    }
    const std::string path = folder.write("many.json", R"({"document": {"objects": [)" + objects + "]}}");
    const auto start = std::chrono::steady_clock::now();
    const auto session = HostSim::HostSession::open(path, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(40));
    EXPECT_EQ(session->plan().document.objects.size(), 100000u);
}

TEST_F(PlanFileTest, SaveKeepsEverythingIncludingFieldsItDoesNotKnow)
{
    std::string text = kSmallPlan;
    text.replace(text.find("\"generatedRoofs\""), 0, "\"note\": {\"by\": \"hand\"}, ");
    text.replace(text.find("\"type\": 27"), 0, "\"layer\": 4, ");
    const std::string path = folder.write("plan.json", text);
    const PlanDocument first = PlanDocument::load(path);
    first.save(path);
    const PlanDocument second = PlanDocument::load(path);
    EXPECT_EQ(first.toJson(), second.toJson());

    const Json saved = Json::parse(TestSupport::TempFolder::read(path));
    EXPECT_EQ(saved["document"]["note"], Json::parse(R"({"by": "hand"})"));
    EXPECT_EQ(saved["document"]["objects"][6]["layer"], 4);
    EXPECT_EQ(saved["document"]["objects"][0]["name"], "キッチン");
    EXPECT_EQ(saved["document"]["objects"][3]["fitting"]["part"], "窓\\w1.m3d");
    EXPECT_EQ(saved["document"]["storeyFlags"], Json::parse(R"({"1": 3, "2": 0})"));
    // Nothing but the plan is left in the folder.
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"plan.json"});
}

TEST_F(PlanFileTest, StoreyFlagsAreOnePerStoreyAndSavedInStoreyOrder)
{
    EXPECT_EQ(loadError(R"({"document": {"storeyFlags": {"1": 1, "-32768": 2, "01": 3}}})"),
              "document.storeyFlags.01: storey given twice");
    const std::string path =
        folder.write("plan.json", R"({"document": {"storeyFlags": {"32767": 1, "2": 9, "-32768": 5, "-1": 0}}})");
    const PlanDocument plan = PlanDocument::load(path);
    plan.save(path);
    const Json flags = Json::parse(TestSupport::TempFolder::read(path))["document"]["storeyFlags"];
    std::vector<std::pair<std::string, int>> saved;
    for (const auto& [storey, value] : flags.items()) {
        saved.emplace_back(storey, value.get<int>());
    }
    EXPECT_EQ(saved, (std::vector<std::pair<std::string, int>>{{"-32768", 5}, {"-1", 0}, {"2", 9}, {"32767", 1}}));
}

TEST_F(PlanFileTest, MinimisedWindowIsTheHostsOnly)
{
    const std::string path = folder.write(
        "plan.json", R"({"application": {"windowHandle": 7}, "document": {"windowHandle": 8, "minimized": true}})");
    auto session = HostSim::HostSession::open(path, false);
    EXPECT_TRUE(session->isWindowMinimized(7));
    EXPECT_TRUE(session->isWindowMinimized(8));
    EXPECT_FALSE(session->isWindowMinimized(9));
    session->plan().document.minimized = false;
    EXPECT_FALSE(session->isWindowMinimized(8));
}

TEST_F(PlanFileTest, SessionSavesWhatWasBuilt)
{
    const std::string path = folder.file("plan.json");
    {
        auto session = HostSim::HostSession::open(path, true);
        auto doc = session->runningObjectTable().activeObject(Common::kHostDocumentProgId);
        Arguments args{i2(2)};
        Variant r;
        doc->invoke(39, args, r);
        Arguments wall{ui2(3), r8(0), r8(0), r8(910), r8(0), r8(0), r8(1100)};
        doc->invoke(41, wall, r);
        session->save();
    }
    const Json saved = Json::parse(TestSupport::TempFolder::read(path));
    EXPECT_EQ(saved["document"]["currentStorey"], 2);
    EXPECT_EQ(saved["document"]["objects"][0],
              Json::parse(R"({"type": 23, "storey": 2, "start": [0.0, 0.0], "end": [910.0, 0.0], "upper": 0.0, "lower": 1100.0})"));
}

TEST_F(PlanFileTest, FailedSaveLeavesNothingBehindAndSaysWhere)
{
    const std::string path = folder.file("missing-folder/plan.json");
    auto session = HostSim::HostSession::open(path, true);
    try {
        session->save();
        ADD_FAILURE() << "saved into a folder that does not exist";
    } catch (const PlanError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(path + ": the plan was not saved: ", 0), 0u) << e.what();
    }
    EXPECT_TRUE(folder.entries().empty());
}

// A number that is not finite would be saved as null, and every later run on
// the plan would fail: the old plan stays instead.
TEST_F(PlanFileTest, PlanThatWouldNotLoadAgainIsNotSaved)
{
    const std::string path = folder.write("plan.json", kSmallPlan);
    auto session = HostSim::HostSession::open(path, false);
    auto doc = session->runningObjectTable().activeObject(Common::kHostDocumentProgId);
    Arguments wall{ui2(3), r8(0), r8(0), r8(std::numeric_limits<double>::infinity()), r8(0), r8(0), r8(1100)};
    Variant r;
    doc->invoke(41, wall, r);
    try {
        session->save();
        ADD_FAILURE() << "a plan holding an infinite coordinate was saved";
    } catch (const PlanError& e) {
        EXPECT_NE(std::string(e.what()).find("would not load again"), std::string::npos) << e.what();
    }
    EXPECT_EQ(TestSupport::TempFolder::read(path), kSmallPlan);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"plan.json"});
}

}  // namespace
}  // namespace HostSimTests
