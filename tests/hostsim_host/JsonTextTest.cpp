// The plan file's JSON reading against the JSON library's own parse: the
// same document, the same refusals, in linear time for wide objects.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostsim/JsonText.h"

namespace HostSimTests {
namespace {

using HostSim::Json;
using HostSim::parseJsonText;

// The library's message for `text`, or "(parsed)".
template <typename Parse>
std::string refusal(Parse parse, const std::string& text)
{
    try {
        parse(text);
    } catch (const Json::exception& e) {
        return e.what();
    }
    return "(parsed)";
}

// Members named twice in objects below, at and past the size where names
// are looked up by index rather than looked through.
std::string wideObject(int members, int repeatEvery)
{
    std::string text = "{";
    for (int i = 0; i < members; ++i) {
        text += (i == 0 ? "\"" : ",\"") + std::to_string(i % repeatEvery) + "\":" + std::to_string(i);
    }
    return text + "}";
}

TEST(JsonTextTest, ReadsWhatTheLibraryReadsInTheSameOrder)
{
    const std::vector<std::string> texts = {
        R"({"b": 1, "a": [true, null, -2, 18446744073709551615, 2.5e3, "x\u00e9"], "c": {}})",
        R"({"a": 1, "b": 2, "a": {"z": 3}})",
        R"([{"k": 1, "k": 2}, [], [[{"": "empty name"}]]])",
        R"("just text")",
        "  7  ",
        wideObject(15, 15) , wideObject(17, 17),
        wideObject(40, 7),
        wideObject(40, 16),
        "{\"w\": " + wideObject(100, 30) + ", \"w\": [" + wideObject(20, 3) + "]}",
    };
    for (const std::string& text : texts) {
        const Json ours = parseJsonText(text);
        const Json theirs = Json::parse(text);
        EXPECT_EQ(ours, theirs) << text;
        // Equal ordered documents also print alike: the member order holds.
        EXPECT_EQ(ours.dump(), theirs.dump()) << text;
    }
}

TEST(JsonTextTest, RefusesWhatTheLibraryRefusesWithItsMessage)
{
    const auto library = [](const std::string& t) { return Json::parse(t); };
    for (const std::string text : {"", "{", R"({"a": 1,})", R"({"a" 1})", "[1, 2] 3", "nul", "\"\\u12\"",
                                   "{\"a\": [1, {\"b\": tru}]}", "[1e999]", "\"\xff\"", "// note\n{}"}) {
        const std::string message = refusal(library, text);
        EXPECT_NE(message, "(parsed)") << text;
        EXPECT_EQ(refusal(parseJsonText, text), message) << text;
    }
}

// The document as read while handing the plan's objects over, with the
// objects handed put back where they were left out.
Json readHandingObjects(const std::string& text, bool& unique, std::size_t& handed)
{
    Json root;
    std::vector<Json> objects;
    std::size_t lists = 0;
    unique = HostSim::parseJsonTextHandingObjects(
        text, root,
        [&](std::size_t index, Json& element) {
            lists += index == 0 ? 1 : 0;
            objects.push_back(std::move(element));
        },
        64);
    handed = objects.size();
    if (unique && !objects.empty()) {
        EXPECT_EQ(lists, 1u) << text;
        Json& list = root.at("document").at("objects");
        EXPECT_TRUE(list.empty());
        for (Json& object : objects) {
            list.push_back(std::move(object));
        }
    }
    return root;
}

TEST(JsonTextTest, HandsOverOnlyTheElementsOfTheDocumentsObjectList)
{
    struct Case {
        std::string text;
        std::size_t handed;
    };
    const std::vector<Case> cases = {
        {R"({"application": {"objects": [1]}, "document": {"grid": {"objects": [2]}, "objects": [{"a": [1]}, 3, [4, {}], "x"]}, "objects": [5]})",
         4},
        {R"({"document": {"objects": {"0": {}}}})", 0},
        {R"({"document": [{"objects": [1]}]})", 0},
        {R"([{"document": {"objects": [1]}}])", 0},
        {R"({"document": {"objects": []}})", 0},
    };
    for (const Case& c : cases) {
        bool unique = false;
        std::size_t handed = 0;
        EXPECT_EQ(readHandingObjects(c.text, unique, handed), Json::parse(c.text)) << c.text;
        EXPECT_TRUE(unique) << c.text;
        EXPECT_EQ(handed, c.handed) << c.text;
    }
    // The list or its document named twice: what was handed over need not be
    // what the document keeps, and the reader is told.
    for (const std::string text : {R"({"document": {"objects": [1], "objects": [2]}})",
                                   R"({"document": {"objects": [1]}, "document": {}})"}) {
        bool unique = true;
        std::size_t handed = 0;
        readHandingObjects(text, unique, handed);
        EXPECT_FALSE(unique) << text;
    }
}

TEST(JsonTextTest, NestingPastTheLimitIsRefusedWhereItIsMet)
{
    Json root;
    const auto ignore = [](std::size_t, Json&) {};
    const std::string deepest = std::string(65, '[') + std::string(65, ']');
    EXPECT_NO_THROW(HostSim::parseJsonTextHandingObjects(deepest, root, ignore, 64));
    EXPECT_THROW(HostSim::parseJsonTextHandingObjects("[" + deepest + "]", root, ignore, 64), HostSim::JsonTooDeep);
    // Met before a fault of the text further on.
    EXPECT_THROW(HostSim::parseJsonTextHandingObjects(R"({"document": {"objects": [)" + deepest + "]}, tru", root, ignore, 64),
                 HostSim::JsonTooDeep);
}

TEST(JsonTextTest, ObjectOfManyMembersReadsInLinearTime)
{
    // 200,000 members: comparing each with all before it takes twenty
    // billion steps; a linear read takes well under a second.
    const std::string text = wideObject(200000, 200000);
    const auto start = std::chrono::steady_clock::now();
    const Json read = parseJsonText(text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    ASSERT_EQ(read.size(), 200000u);
    EXPECT_EQ(read.begin().key(), "0");
    EXPECT_EQ(read.back(), 199999);
}

}  // namespace
}  // namespace HostSimTests
