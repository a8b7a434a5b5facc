#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "importer/xml/XmlDocument.h"
#include "support/TempFolder.h"
#include "viewer/app/CdxView.h"
#include "viewer/drawing/SvgStorey.h"
#include "viewer/PageReading.h"  // tests/viewer

namespace {

namespace fs = std::filesystem;
using ViewerTests::DrawnElement;

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// One of the hand-checked sample exports, declared as the UTF-8 it is kept
// in and with a distinct ID for every record in place of the masked ones.
fs::path sampleFile(const TestSupport::TempFolder& folder, const std::string& name)
{
    std::string text = readBytes(fs::path(CEDXM_SOURCE_DIR) / "tests" / "app_e2e" / "expected" / (name + ".xml"));
    const std::string sjis = "encoding=\"Shift-JIS\"";
    text.replace(text.find(sjis), sjis.size(), "encoding=\"UTF-8\"");
    int n = 0;
    for (std::size_t at = text.find("<ID>*</ID>"); at != std::string::npos; at = text.find("<ID>*</ID>", at)) {
        const std::string id = "<ID>" + name + "-" + std::to_string(++n) + "</ID>";
        text.replace(at, 10, id);
        at += id.size();
    }
    const fs::path file = folder.path() / (name + ".xml");
    writeBytes(file, text);
    return file;
}

using IdsByStoreyAndClass = std::map<std::pair<std::string, std::string>, std::multiset<std::string>>;

// The records of a CEDXM file straight from its XML: (層, drawing class) ->
// IDs.
IdsByStoreyAndClass fileRecords(const fs::path& file)
{
    Importer::XmlDocument document;
    std::string problem;
    EXPECT_TRUE(document.loadFile(file.string(), problem)) << problem;
    Importer::XmlNode root = nullptr;
    for (Importer::XmlNode top = document.firstTopLevelNode(); top != nullptr; top = Importer::nextSibling(top)) {
        if (Importer::hasName(top, "CADIF")) {
            root = top;
        }
    }
    IdsByStoreyAndClass records;
    const struct {
        const char* section;
        const char* record;
        const char* cls;
    } kinds[] = {{"部屋情報", "部屋", "room"},       {"壁情報", "壁", "wall"},
                 {"外壁線情報", "外壁線", "exterior-line"}, {"開口情報", "開口", "opening"},
                 {"階段情報", "階段", "stair"},     {"屋根情報", "屋根", "roof"}};
    for (const auto& k : kinds) {
        for (auto s = Importer::findChild(root, k.section); s != nullptr; s = Importer::findNextSibling(s, k.section)) {
            for (auto r = Importer::findChild(s, k.record); r != nullptr; r = Importer::findNextSibling(r, k.record)) {
                records[{Common::toUtf8(Importer::nodeText(Importer::findChild(r, "層"))), k.cls}].insert(
                    Common::toUtf8(Importer::nodeText(Importer::findChild(r, "ID"))));
            }
        }
    }
    return records;
}

IdsByStoreyAndClass drawnRecords(const std::vector<DrawnElement>& elements)
{
    IdsByStoreyAndClass drawn;
    for (const DrawnElement& e : elements) {
        for (const char* cls : {"room", "wall", "exterior-line", "opening", "stair", "roof"}) {
            if (ViewerTests::hasClass(e, cls)) {
                drawn[{e.storey, cls}].insert(e.id);
            }
        }
    }
    return drawn;
}

int run(std::vector<std::wstring> arguments, std::string* out = nullptr, std::string* err = nullptr)
{
    std::ostringstream o;
    std::ostringstream e;
    const int status = Viewer::runCdxView(arguments, o, e);
    if (out != nullptr) {
        *out = o.str();
    }
    if (err != nullptr) {
        *err = e.str();
    }
    return status;
}

std::wstring wide(const fs::path& path) { return Common::fromUtf8(path.string()); }

TEST(ViewerPage, DrawsEveryRecordOfTheSamplesOnceInItsStoreyWithItsId)
{
    for (const std::string name : {"house", "courtyard", "features"}) {
        SCOPED_TRACE(name);
        TestSupport::TempFolder folder;
        const fs::path file = sampleFile(folder, name);
        ASSERT_EQ(run({wide(file)}), 0);
        std::string problem;
        const auto elements = ViewerTests::readElements(folder.path() / (name + ".html"), problem);
        ASSERT_TRUE(problem.empty()) << problem;
        const IdsByStoreyAndClass expected = fileRecords(file);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(drawnRecords(elements), expected);

        // One picture per storey that holds records, none twice.
        std::set<std::string> storeys;
        for (const auto& [key, ids] : expected) {
            storeys.insert(key.first);
        }
        std::multiset<std::string> pictures;
        for (const DrawnElement& e : elements) {
            if (e.name == "svg") {
                pictures.insert(e.storey);
            }
        }
        EXPECT_EQ(pictures, std::multiset<std::string>(storeys.begin(), storeys.end()));
    }
}

TEST(ViewerPage, SvgFolderHoldsOnePictureForEachStoreyOrTheOneAskedFor)
{
    TestSupport::TempFolder folder;
    const fs::path file = sampleFile(folder, "house");
    const IdsByStoreyAndClass expected = fileRecords(file);
    ASSERT_EQ(run({wide(file), L"--svg", wide(folder.path() / "pictures")}), 0);
    EXPECT_FALSE(fs::exists(folder.path() / "house.html"));  // only the pictures were asked for
    IdsByStoreyAndClass drawn;
    for (const std::string storey : {"1", "2", "3"}) {
        std::string problem;
        const auto elements =
            ViewerTests::readElements(folder.path() / "pictures" / ("house.storey" + storey + ".svg"), problem);
        ASSERT_TRUE(problem.empty()) << problem;
        ASSERT_FALSE(elements.empty());
        EXPECT_EQ(elements.front().name, "svg");
        EXPECT_EQ(elements.front().storey, storey);
        for (auto& [key, ids] : drawnRecords(elements)) {
            drawn[key] = ids;
        }
    }
    EXPECT_EQ(drawn, expected);

    ASSERT_EQ(run({wide(file), L"--storey", L"2", L"--svg", wide(folder.path() / "two")}), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "two"), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::exists(folder.path() / "two" / "house.storey2.svg"));
}

TEST(ViewerPage, HostileValuesGiveAWellFormedPageWithoutTheUnplaceableRecords)
{
    TestSupport::TempFolder folder;
    const fs::path file = folder.path() / "hostile.xml";
    writeBytes(file, R"(<?xml version="1.0" encoding="UTF-8"?>
<CADIF Version="1.0">
  <入力点情報><通り芯><座標 点="0.0,0.0"/><番付間距離 X="0.000001" Y="-910"/></通り芯></入力点情報>
  <部屋情報>
    <部屋><層>1</層><ID>a&amp;"b</ID><名称>&lt;script&gt;&amp;"x"</名称><領域2D 点列="0,0 1000,0 1000,1000"/></部屋>
    <部屋><層>1</層><ID>far</ID><名称>far</名称><領域2D 点列="0,0 1e999,0 5,5"/></部屋>
  </部屋情報>
  <壁情報><壁><層>1</層><ID>w</ID><線分2D 始点終点="0,0 3e9,0"/><壁厚>nan</壁厚></壁></壁情報>
  <階段情報><階段><層>1</層><ID>s</ID><階段ブロック><回り角度>0</回り角度><段数>2147483647</段数><領域2D 点列="0,0 10,0 10,10 0,10"/></階段ブロック></階段></階段情報>
  <屋根情報><屋根><層>1</層><ID>r</ID><基準線><線分2D 始点終点="5,5 5,5"/></基準線><領域2D 点列=""/></屋根></屋根情報>
</CADIF>
)");
    ASSERT_EQ(run({wide(file)}), 0);
    const fs::path page = folder.path() / "hostile.html";
    std::string problem;
    const auto elements = ViewerTests::readElements(page, problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const IdsByStoreyAndClass drawn = drawnRecords(elements);
    const IdsByStoreyAndClass expected = {{{"1", "room"}, {"a&\"b"}}, {{"1", "stair"}, {"s"}}, {{"1", "roof"}, {"r"}}};
    EXPECT_EQ(drawn, expected);
    for (const DrawnElement& e : elements) {
        EXPECT_FALSE(ViewerTests::hasClass(e, "grid")) << "a grid of 1e-6 mm steps was drawn";
        EXPECT_FALSE(ViewerTests::hasClass(e, "tread")) << "two billion treads were drawn";
        EXPECT_NE(e.name, "script");
    }
    const std::string bytes = readBytes(page);
    EXPECT_NE(bytes.find("&lt;script>&amp;\"x\"</text>"), std::string::npos);
    EXPECT_NE(bytes.find("2 record(s) of storey 1"), std::string::npos);
}

TEST(ViewerPage, CommandLineProblemsAreNamedAndNothingIsOverwritten)
{
    TestSupport::TempFolder folder;
    const fs::path file = sampleFile(folder, "courtyard");
    const std::string original = readBytes(file);
    std::string err;
    EXPECT_EQ(run({wide(folder.path() / "missing.xml")}, nullptr, &err), 1);
    EXPECT_NE(err.find("missing.xml"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(folder.path() / "missing.html"));

    EXPECT_EQ(run({wide(file), L"--storey", L"7"}, nullptr, &err), 1);
    EXPECT_NE(err.find("no records on storey 7 (storeys in the file: 1)"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(folder.path() / "courtyard.html"));

    EXPECT_EQ(run({wide(file), L"--output", wide(file)}, nullptr, &err), 2);
    EXPECT_EQ(readBytes(file), original);
    EXPECT_EQ(run({wide(file), L"--storey", L"1x"}), 2);
    EXPECT_EQ(run({wide(file), L"--storey", L"99999999999"}), 2);
    EXPECT_EQ(run({wide(file), L"--frobnicate"}), 2);
    EXPECT_EQ(run({wide(file), wide(file)}), 2);
    EXPECT_EQ(run({}), 2);
    std::string out;
    EXPECT_EQ(run({L"--help"}, &out), 0);
    EXPECT_NE(out.find("--svg DIR"), std::string::npos);

    EXPECT_EQ(Viewer::defaultPagePath(L"a/b.XML"), L"a/b.html");
    EXPECT_EQ(Viewer::defaultPagePath(L"plan.cedxm"), L"plan.cedxm.html");
    EXPECT_EQ(Viewer::defaultPagePath(L".xml"), L".xml.html");
}

TEST(ViewerPage, AreaInSquareMetresAndTatamiWhateverTheTurningSense)
{
    using Common::Vector2d;
    // An L of three 1820 mm squares, once anticlockwise and once clockwise.
    std::vector<Vector2d> l = {{0, 0}, {3640, 0}, {3640, 1820}, {1820, 1820}, {1820, 3640}, {0, 3640}};
    EXPECT_NEAR(Viewer::areaSquareMetres(l), 3 * 3.3124, 1e-9);
    std::reverse(l.begin(), l.end());
    EXPECT_NEAR(Viewer::areaSquareMetres(l), 3 * 3.3124, 1e-9);
    EXPECT_NEAR(Viewer::tatami(3.24), 2.0, 1e-12);
    EXPECT_EQ(Viewer::areaSquareMetres({}), 0.0);
}

}  // namespace
