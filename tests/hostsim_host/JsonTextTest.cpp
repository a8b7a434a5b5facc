// The plan file's JSON reading against the JSON library's own parse: the
// same document, the same refusals, in linear time for wide objects.

#include <chrono>
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
