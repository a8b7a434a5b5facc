// Every call is checked against the operation's argument list, and the call
// journal holds exactly the calls made, with what the host filled in.

#include <fstream>
#include <sstream>

#include "HostFixture.h"
#include "common/host/Binding.h"
#include "common/host/CallCheck.h"

namespace HostSimTests {
namespace {

std::vector<std::string> lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

class CallCheckTest : public HostFixture {
protected:
    void SetUp() override { openPlan(kSmallPlan); }

    // The message of the HostError the call raises ("" when it succeeds).
    std::string failure(int op, Arguments args)
    {
        try {
            call(op, args);
        } catch (const Common::HostError& e) {
            EXPECT_EQ(e.dispatchNumber(), op);
            return e.what();
        }
        return "";
    }
};

TEST_F(CallCheckTest, WrongTypesCountsAndDirectionsAreNamed)
{
    Arguments attached = outs77();
    attached[2] = Argument::out(Variant::i2(0));
    EXPECT_EQ(failure(77, attached), "document operation 77: argument 3: expected R8 by reference, got I2");

    EXPECT_EQ(failure(39, {}), "document operation 39: expected 1 argument, got 0");
    EXPECT_EQ(failure(62, {i4(1)}), "document operation 62: expected 0 arguments, got 1");
    EXPECT_EQ(failure(41, {ui2(1), r8(0), r8(0), r8(1), r8(1), r8(0)}),
              "document operation 41: expected 7 arguments, got 6");

    // An output where a value is expected, and the other way round.
    Arguments record;
    for (int i = 0; i < 14; ++i) {
        record.push_back(ui2(0));
    }
    EXPECT_EQ(failure(172, record), "document operation 172: argument 1: expected UI2 by reference, got UI2 by value");
    EXPECT_EQ(failure(39, {Argument::out(Variant::i2(1))}),
              "document operation 39: argument 1: expected I2 by value, got I2 by reference");

    // A room outline must come as an array of doubles, not as text.
    Arguments room = outs73();
    room[0] = Argument::out(Variant::text(L""));
    EXPECT_EQ(failure(73, room), "document operation 73: argument 1: expected array of doubles by reference, got text");

    EXPECT_EQ(failure(500, {}), "document operation 500: no such operation");
    Arguments none;
    Variant r;
    try {
        app->invoke(3, none, r);
        ADD_FAILURE() << "application operation 3 answered";
    } catch (const Common::HostError& e) {
        EXPECT_STREQ(e.what(), "application operation 3: no such operation");
    }
}

TEST_F(CallCheckTest, RejectedCallsChangeNothing)
{
    Arguments record;
    for (int i = 0; i < 13; ++i) {
        record.push_back(ui2(9));
    }
    record.push_back(in(Variant::i4(9)));  // the 14th is of the wrong type
    EXPECT_NE(failure(171, record), "");
    Arguments back = outs({UI2(14)});
    call(172, back);
    EXPECT_EQ(back[0].value, Variant::ui2(1));

    EXPECT_NE(failure(39, {i4(5)}), "");
    EXPECT_EQ(call(38), Variant::i2(2));
}

TEST_F(CallCheckTest, PropertyPutsAreCheckedToo)
{
    EXPECT_THROW(doc->putProperty(179, Variant::i4(1)), Common::HostError);
    EXPECT_THROW(doc->putProperty(180, Variant::ui2(1)), Common::HostError);
    EXPECT_THROW(app->putProperty(179, Variant::ui2(1)), Common::HostError);
    try {
        doc->putProperty(179, Variant::i2(1));
    } catch (const Common::HostError& e) {
        EXPECT_STREQ(e.what(), "document property 179: expected UI2, got I2");
    }
    EXPECT_EQ(call(179), Variant::ui2(0));
}

TEST_F(CallCheckTest, JournalHoldsOneLinePerCallAsFilled)
{
    const std::string trace = folder.file("trace.jsonl");
    {
        std::ofstream earlier(trace);
        earlier << "{\"earlier\":true}\n";
    }
    session->setTrace(trace);

    Arguments none;
    Variant r;
    app->invoke(2, none, r);
    call(62);
    Arguments room = outs73();
    call(73, room);
    call(39, {i2(1)});
    doc->putProperty(179, Variant::ui2(1));
    Arguments grid = outs({R8(), UI2(), UI4(), R8(2)});
    call(95, grid);
    call(61, {array({0, 0, 1.5, 0, 1.5, 2}), r8(4.5), r8(5600), r8(0), i4(0), i4(0), r8(150), i4(1)});
    call(98);

    const std::vector<std::string> got = lines(trace);
    const std::vector<std::string> want = {
        R"({"earlier":true})",
        R"({"object":"application","op":2,"put":false,"args":[],"result":"Ver.8.10"})",
        R"({"object":"document","op":62,"put":false,"args":[],"result":1})",
        R"({"object":"document","op":73,"put":false,"args":[[0.0,0.0,3640.0,0.0,3640.0,2730.0,0.0,2730.0],3,"キッチン",1,0,)"
        R"(50.0,0.0,2400.0,0.0,0.0,0.0,0.0,0.0,0,0,0,0,0,0,0,13625577,0,19,"メイリオ",0.0,0,0.0,0],"result":1})",
        R"({"object":"document","op":39,"put":false,"args":[1],"result":1})",
        R"({"object":"document","op":179,"put":true,"args":[1],"result":null})",
        R"({"object":"document","op":95,"put":false,"args":[910.0,7,70000,1.5,-2.5],"result":null})",
        R"({"object":"document","op":61,"put":false,"args":[[0.0,0.0,1.5,0.0,1.5,2.0],4.5,5600.0,0.0,0,0,150.0,1],"result":1})",
        R"({"object":"document","op":98,"put":false,"args":[],"result":null})",
    };
    EXPECT_EQ(got, want);
}

TEST_F(CallCheckTest, JournalNamesFailedCalls)
{
    const std::string trace = folder.file("trace.jsonl");
    session->setTrace(trace);
    EXPECT_NE(failure(39, {i4(5)}), "");
    const std::vector<std::string> got = lines(trace);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], R"({"object":"document","op":39,"put":false,"args":[5],"result":null,)"
                      R"("error":"document operation 39: argument 1: expected I2 by value, got I4"})");
}

TEST_F(CallCheckTest, JournalThatCannotBeOpenedIsAPlanError)
{
    EXPECT_THROW(session->setTrace(folder.file("no/such/folder/trace.jsonl")), HostSim::PlanError);
}

TEST_F(CallCheckTest, RunningObjectTableNamesBothObjects)
{
    const auto entries = session->runningObjectTable().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].displayName, L"!DomoriaRavimo.RavimoApp");
    EXPECT_EQ(entries[0].object, app);
    EXPECT_EQ(entries[1].displayName, L"!DomoriaRavimo.RavimoDoc");
    EXPECT_EQ(entries[1].object, doc);
    EXPECT_EQ(session->runningObjectTable().activeObject(L"Other.Thing"), nullptr);
}

// Binding as the programs do it finds both objects by their window handles,
// asking each registered object once, and falls back to the active objects.
TEST_F(CallCheckTest, ProgramsBindThroughTheTable)
{
    const std::string trace = folder.file("trace.jsonl");
    session->setTrace(trace);
    auto& table = session->runningObjectTable();
    EXPECT_EQ(Common::bindHostObject(table, Common::kHostApplicationProgId, 4242).get(), app.get());
    EXPECT_EQ(Common::bindHostObject(table, Common::kHostDocumentProgId, 4343).get(), doc.get());
    EXPECT_EQ(Common::bindHostObject(table, Common::kHostDocumentProgId, 0).get(), doc.get());
    EXPECT_EQ(lines(trace), (std::vector<std::string>{
                                R"({"object":"application","op":4,"put":false,"args":[],"result":4242})",
                                R"({"object":"document","op":186,"put":false,"args":[],"result":4343})"}));
}

}  // namespace
// The parsed lists are kept between calls: a list whose text changes in
// place, or an operation with another result, is parsed anew.
TEST(SignatureOf, KeptListsFollowTheirTextAndResult)
{
    char list[] = "2I4 R8*";
    const Common::HostOperation op{Common::HostSide::Document, 1, "test", list, Common::VariantType::I4};
    ASSERT_EQ(Common::signatureOf(op).args.size(), 3u);
    EXPECT_EQ(Common::signatureOf(op).args[2].type, Common::VariantType::R8);
    EXPECT_TRUE(Common::signatureOf(op).args[2].byRef);

    list[0] = '3';
    EXPECT_EQ(Common::signatureOf(op).args.size(), 4u);
    list[4] = 'T';
    list[5] = ' ';
    list[6] = ' ';
    EXPECT_EQ(Common::signatureOf(op).args[3].type, Common::VariantType::Text);
    EXPECT_FALSE(Common::signatureOf(op).args[3].byRef);

    const Common::HostOperation other{Common::HostSide::Document, 1, "test", list, Common::VariantType::R8};
    EXPECT_EQ(Common::signatureOf(other).result, Common::VariantType::R8);
    EXPECT_EQ(Common::signatureOf(op).result, Common::VariantType::I4);
}

// The prepared outputs are kept too: each call gets its own fresh list,
// whatever the one before did with its list, and follows a changed list.
TEST(PreparedOutputs, EachCallGetsFreshZeroOutputsOfTheListInForce)
{
    char list[] = "T* A* R8*";
    const Common::HostOperation op{Common::HostSide::Document, 2, "test", list, Common::VariantType::I4};
    Common::Arguments first = Common::preparedOutputs(op);
    ASSERT_EQ(first.size(), 3u);
    first[0].value = Common::Variant::text(L"filled");
    first[1].value = Common::Variant::doubles({1.0, 2.0});
    first[2].value = Common::Variant::r8(5.0);
    const Common::Arguments second = Common::preparedOutputs(op);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0].value, Common::Variant::text(L""));
    EXPECT_EQ(second[1].value, Common::Variant::doubles({}));
    EXPECT_EQ(second[2].value, Common::Variant::r8(0.0));
    EXPECT_TRUE(second[2].byRef);

    list[6] = 'I';
    list[7] = '2';
    EXPECT_EQ(Common::preparedOutputs(op).at(2).value, Common::Variant::i2(0));
    // An input in the list is refused at every call, not only the first.
    list[1] = ' ';
    EXPECT_THROW(Common::preparedOutputs(op), std::logic_error);
    EXPECT_THROW(Common::preparedOutputs(op), std::logic_error);
}

}  // namespace HostSimTests
