#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app_e2e/SampleRuns.h"
#include "importer/reading/CedxmReader.h"

namespace {

namespace fs = std::filesystem;
using E2e::readBytes;
using E2e::sampleDir;
using E2e::Workspace;
using E2e::writeBytes;

nlohmann::json readJson(const fs::path& file) { return nlohmann::json::parse(readBytes(file)); }

// Records per storey of a CEDXM file, read back through the importer.
std::map<int, std::vector<int>> sectionCounts(const fs::path& file)
{
    Importer::ImportModel model;
    std::wstring problem;
    EXPECT_TRUE(Importer::loadCedxmFile(model, Common::fromUtf8(file.string()), problem));
    std::map<int, std::vector<int>> counts;
    const auto add = [&](const auto& records, std::size_t column) {
        for (const auto& r : records) {
            counts[r->storey].resize(6);
            ++counts[r->storey][column];
        }
    };
    add(model.rooms, 0);
    add(model.walls, 1);
    add(model.outerLines, 2);
    add(model.openings, 3);
    add(model.stairs, 4);
    add(model.roofs, 5);
    return counts;
}

std::map<int, std::vector<int>> reportCounts(const nlohmann::json& report)
{
    std::map<int, std::vector<int>> counts;
    for (const auto& s : report["storeys"]) {
        const auto& c = s["counts"];
        counts[s["storey"].get<int>()] = {c["rooms"].get<int>(),    c["walls"].get<int>(),  c["exteriorLines"].get<int>(),
                                          c["openings"].get<int>(), c["stairs"].get<int>(), c["roofs"].get<int>()};
    }
    return counts;
}

// Whether the report lists an entry of that kind and storey whose text
// holds `words`.
bool lists(const nlohmann::json& entries, const std::string& kind, int storey, const std::string& words)
{
    for (const auto& e : entries) {
        const std::string text = e.contains("reason") ? e["reason"].get<std::string>() : e["what"].get<std::string>();
        if (e["kind"] == kind && e["storey"] == storey && text.find(words) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string masked(const fs::path& file)
{
    std::vector<std::string> problems;
    const auto text = Common::fromCp932(readBytes(file));
    EXPECT_TRUE(text.has_value()) << file;
    return Common::toUtf8(E2e::maskVolatile(text.value_or(L""), problems));
}

TEST(ConversionReport, ExportCountsAreTheFileSectionsAndTheFileIsUnchanged)
{
    Workspace w;
    std::string errors;
    const std::vector<std::wstring> options = {L"--fitting-table",
                                               Common::fromUtf8((sampleDir() / "features-fittings.csv").string()),
                                               L"--keep-origin"};
    // The same file name in two folders, as the project name is the file's.
    fs::create_directories(w.file("plain"));
    fs::create_directories(w.file("reported"));
    ASSERT_EQ(w.exportPlan(sampleDir() / "features.json", w.file("plain/features.xml"), options, errors), 0) << errors;
    auto withReport = options;
    withReport.insert(withReport.end(), {L"--report", Common::fromUtf8(w.file("report.json").string())});
    ASSERT_EQ(w.exportPlan(sampleDir() / "features.json", w.file("reported/features.xml"), withReport, errors), 0)
        << errors;
    EXPECT_EQ(masked(w.file("reported/features.xml")), masked(w.file("plain/features.xml")));

    const nlohmann::json report = readJson(w.file("report.json"));
    EXPECT_EQ(report["program"], "DM2CDX");
    EXPECT_EQ(report["status"], 0);
    // The full path as the program made it (on Windows with its own separators).
    EXPECT_EQ(report["file"], fs::path(w.file("reported/features.xml")).make_preferred().string());
    EXPECT_EQ(reportCounts(report), sectionCounts(w.file("reported/features.xml")));
    // The features plan holds one stair marked to be skipped, and fittings
    // the table gives no model number.
    EXPECT_TRUE(lists(report["leftOut"], "stair", 1, "skipped")) << report.dump(1);
    EXPECT_TRUE(lists(report["changed"], "opening", 1, "plain opening")) << report.dump(1);
}

TEST(ConversionReport, ExportListsPorchesAndTheFirstQuadrantMoveAndWritesThePage)
{
    Workspace w;
    nlohmann::json plan = nlohmann::json::parse(readBytes(sampleDir() / "house.json"));
    plan["document"]["objects"].push_back({{"type", 19}, {"storey", 1}, {"kind", 20}, {"name", "ポーチ"},
                                           {"floor", 0}, {"height", 2400},
                                           {"outline", {{-910, 0}, {0, 0}, {0, 910}, {-910, 910}}}});
    writeBytes(w.file("porch.json"), plan.dump());
    std::string errors;
    ASSERT_EQ(w.exportPlan(w.file("porch.json"), w.file("porch.xml"),
                           {L"--first-quadrant", L"--report", Common::fromUtf8(w.file("porch.json.json").string())},
                           errors),
              0)
        << errors;
    const nlohmann::json report = readJson(w.file("porch.json.json"));
    EXPECT_TRUE(lists(report["leftOut"], "room", 1, "ポーチ")) << report.dump(1);
    EXPECT_TRUE(lists(report["changed"], "plan", 0, "moved by 910.0 mm along x")) << report.dump(1);
    EXPECT_EQ(reportCounts(report), sectionCounts(w.file("porch.xml")));

    // The page form: the CDXVIEW page of the file written, the report on top.
    ASSERT_EQ(w.exportPlan(w.file("porch.json"), w.file("porch2.xml"),
                           {L"--report", Common::fromUtf8(w.file("porch.html").string())}, errors),
              0)
        << errors;
    const std::string page = readBytes(w.file("porch.html"));
    EXPECT_NE(page.find("<section class=\"report\">"), std::string::npos);
    EXPECT_NE(page.find("ポーチ"), std::string::npos);
    EXPECT_NE(page.find("<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"storey\" data-storey=\"2\""), std::string::npos);
}

TEST(ConversionReport, ImportListsWhatIsNotBuiltOrChangedAndBuildsTheSamePlan)
{
    Workspace w;
    writeBytes(w.file("odd.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<CADIF Version="1.0">
  <入力点情報><通り芯><番付象限>1</番付象限><座標 点="0.0,0.0"/><番付間距離 X="910.0" Y="910.0"/></通り芯></入力点情報>
  <物件情報><建物階数><地上>1</地上><地下>0</地下></建物階数><基本モジュール>910.0</基本モジュール>
    <構造基準レベル 階数="2"><レベル 階="1">500.0</レベル><レベル 階="2">3400.0</レベル></構造基準レベル>
    <基準床高><レベル 階="1">500.0</レベル><レベル 階="2">3400.0</レベル></基準床高><基準基礎高>400.0</基準基礎高></物件情報>
  <部屋情報>
    <部屋><層>1</層><ID>R1</ID><名称>居間</名称><種類><コード>25</コード></種類><床高>500.0</床高><天井高>2900.0</天井高><領域2D 点列="0,0 3640,0 3640,3640 0,3640"/></部屋>
    <部屋><層>4</層><ID>R4</ID><名称>屋根裏</名称><種類><コード>3</コード></種類><床高>9000.0</床高><天井高>11000.0</天井高><領域2D 点列="0,0 910,0 910,910 0,910"/></部屋>
  </部屋情報>
  <壁情報><壁><層>1</層><ID>W1</ID><種類><コード>4</コード></種類><線分2D 始点終点="5000,5000 6000,6000"/><壁厚>120.0</壁厚><上端高>2000.0</上端高><下端高>1000.0</下端高></壁></壁情報>
  <外壁線情報><外壁線><層>1</層><ID>E1</ID><コード>1</コード><領域2D 点列="0,0 3640,0 3640,3640 0,3640"/></外壁線></外壁線情報>
  <開口情報></開口情報>
  <階段情報><階段><層>1</層><ID>S1</ID><形式>1</形式><階段ブロック><回り角度>37.0</回り角度><段数>3</段数><領域2D 点列="0,0 910,0 910,910 0,910"/></階段ブロック></階段></階段情報>
  <屋根情報>
    <屋根><層>2</層><ID>F2</ID><種類><コード>1</コード></種類><基準線><線分2D 始点終点="0,0 3640,0"/><高さ>3400.0</高さ></基準線><屋根勾配>4.0</屋根勾配><仕上げ厚み>0.0</仕上げ厚み><軒先形状><コード>0</コード></軒先形状><領域2D 点列="0,0 3640,0 3640,3640 0,3640"><オフセット 値="0 0 0 0"/></領域2D></屋根>
    <屋根><層>4</層><ID>F4</ID><種類><コード>1</コード></種類><基準線><線分2D 始点終点="0,0 910,0"/><高さ>9000.0</高さ></基準線><屋根勾配>4.0</屋根勾配><仕上げ厚み>20.0</仕上げ厚み><軒先形状><コード>0</コード></軒先形状><領域2D 点列="0,0 910,0 910,910 0,910"><オフセット 値="0 0 0 0"/></領域2D></屋根>
  </屋根情報>
</CADIF>
)");
    std::string errors;
    ASSERT_EQ(w.importFile(w.file("odd.xml"), w.file("plain.json"), {L"--origin", L"keep"}, errors), 0) << errors;
    ASSERT_EQ(w.importFile(w.file("odd.xml"), w.file("reported.json"),
                           {L"--origin", L"keep", L"--report", Common::fromUtf8(w.file("report.json").string())}, errors),
              0)
        << errors;
    EXPECT_EQ(readBytes(w.file("reported.json")), readBytes(w.file("plain.json")));

    const nlohmann::json report = readJson(w.file("report.json"));
    EXPECT_EQ(report["program"], "CDX2DM");
    const auto& leftOut = report["leftOut"];
    const auto& changed = report["changed"];
    EXPECT_TRUE(lists(leftOut, "room", 4, "no level")) << report.dump(1);
    EXPECT_TRUE(lists(leftOut, "roof", 4, "storey 3 has no level")) << report.dump(1);
    EXPECT_TRUE(lists(leftOut, "wall", 1, "neither along x nor along y")) << report.dump(1);
    EXPECT_TRUE(lists(leftOut, "stair", 1, "no stair of this shape")) << report.dump(1);
    EXPECT_TRUE(lists(leftOut, "exteriorLine", 1, "not built")) << report.dump(1);
    EXPECT_TRUE(lists(changed, "room", 1, "room kind 25")) << report.dump(1);
    EXPECT_TRUE(lists(changed, "roof", 2, "150")) << report.dump(1);
    for (const auto& e : leftOut) {
        EXPECT_FALSE(e["id"].get<std::string>().empty()) << e.dump();
    }
    // Built: the one room and the roof of storey 2; nothing on storey 4.
    const std::map<int, std::vector<int>> built = {{1, {1, 0, 0, 0, 0, 0}}, {2, {0, 0, 0, 0, 0, 1}},
                                                   {4, {0, 0, 0, 0, 0, 0}}};
    EXPECT_EQ(reportCounts(report), built);

    // Without --roofs: every roof is left out by choice.
    ASSERT_EQ(w.importFile(w.file("odd.xml"), w.file("noroofs.json"),
                           {L"--roofs", L"none", L"--report", Common::fromUtf8(w.file("noroofs.report").string())},
                           errors),
              0)
        << errors;
    EXPECT_TRUE(lists(readJson(w.file("noroofs.report"))["leftOut"], "roof", 2, "chosen not to be built"));
}

// Two rooms whose shared corners lie up to 0.0015 apart: the outline of
// the union breaks into pieces that meet nowhere within the point-match
// distance, so no exterior wall line closes and none is written.
TEST(ConversionReport, ExportListsExteriorLinesThatCannotClose)
{
    Workspace w;
    const nlohmann::json rooms = nlohmann::json::array(
        {{{"type", 19}, {"storey", 1}, {"kind", 4}, {"name", "LDK"}, {"floor", 0}, {"height", 2400},
          {"outline", {{7280.000731, 3639.999271}, {-0.000181, 3639.999214}, {0.000156, -0.000538},
                       {3640.000773, 0.000581}, {3639.999516, 2730.000447}, {7279.999896, 2729.999605}}}},
         {{"type", 19}, {"storey", 1}, {"kind", 4}, {"name", "和室"}, {"floor", 0}, {"height", 2400},
          {"outline", {{3639.999469, 2730.000161}, {3639.999320, -0.000523}, {7280.000586, 0.000458},
                       {7280.000718, 2729.999898}}}}});
    writeBytes(w.file("gap.json"), nlohmann::json{{"application", {{"windowHandle", 5001}}},
                                                  {"document", {{"windowHandle", 5001}, {"objects", rooms}}}}
                                       .dump());
    std::string errors;
    ASSERT_EQ(w.exportPlan(w.file("gap.json"), w.file("gap.xml"),
                           {L"--report", Common::fromUtf8(w.file("gap.report.json").string())}, errors),
              0)
        << errors;
    const nlohmann::json report = readJson(w.file("gap.report.json"));
    EXPECT_EQ(reportCounts(report), sectionCounts(w.file("gap.xml")));
    EXPECT_EQ(report["storeys"][0]["counts"]["exteriorLines"], 0);
    ASSERT_FALSE(report["leftOut"].empty());
    for (const auto& e : report["leftOut"]) {
        EXPECT_EQ(e["kind"], "exteriorLine");
        EXPECT_EQ(e["storey"], 1);
        EXPECT_NE(e["reason"].get<std::string>().find("does not close around the rooms"), std::string::npos) << e;
        EXPECT_EQ(e["reason"].get<std::string>().find("-0.0"), std::string::npos) << e;
    }
}

// A record with a value that is not a finite number is left out with its
// ID; with OpeningExtendType=1 every opening pulled back is a change.
TEST(ConversionReport, ImportListsNonFiniteRecordsAndOpeningsPulledBack)
{
    Workspace w(1);
    writeBytes(w.file("inf.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<CADIF Version="1.0">
  <物件情報><建物階数><地上>1</地上><地下>0</地下></建物階数><基本モジュール>910.0</基本モジュール>
    <構造基準レベル 階数="1"><レベル 階="1">500.0</レベル></構造基準レベル>
    <基準床高><レベル 階="1">500.0</レベル></基準床高><基準基礎高>400.0</基準基礎高></物件情報>
  <部屋情報>
    <部屋><層>1</層><ID>R1</ID><名称>洋室</名称><種類><コード>1</コード></種類><床高>0.0</床高><天井高>2400.0</天井高><領域2D 点列="0,0 3640,0 3640,3640 0,3640"/></部屋>
    <部屋><層>1</層><ID>R2</ID><名称>和室</名称><種類><コード>1</コード></種類><床高>0.0</床高><天井高>2400.0</天井高><領域2D 点列="3640,0 1e999,0 7280,3640 3640,3640"/></部屋>
  </部屋情報>
</CADIF>
)");
    std::string errors;
    ASSERT_EQ(w.importFile(w.file("inf.xml"), w.file("inf.json"),
                           {L"--report", Common::fromUtf8(w.file("inf.report.json").string())}, errors),
              0)
        << errors;
    const nlohmann::json report = readJson(w.file("inf.report.json"));
    ASSERT_EQ(report["leftOut"].size(), 1u) << report.dump(1);
    EXPECT_EQ(report["leftOut"][0]["id"], "R2");
    EXPECT_TRUE(lists(report["leftOut"], "room", 1, "not a finite number")) << report.dump(1);
    EXPECT_EQ(report["storeys"][0]["counts"]["rooms"], 1);

    // The house's openings were lengthened by 60 mm (half the standard wall
    // of 120 mm) at each end on export; each is pulled back on import.
    ASSERT_EQ(w.exportPlan(sampleDir() / "house.json", w.file("house.xml"), {}, errors), 0) << errors;
    ASSERT_EQ(w.importFile(w.file("house.xml"), w.file("house.json"),
                           {L"--report", Common::fromUtf8(w.file("house.report.json").string())}, errors),
              0)
        << errors;
    const nlohmann::json house = readJson(w.file("house.report.json"));
    int openings = 0;
    for (const auto& [storey, counts] : sectionCounts(w.file("house.xml"))) {
        openings += counts[3];
    }
    int pulledBack = 0;
    for (const auto& e : house["changed"]) {
        const std::string what = e["what"];
        if (e["kind"] == "opening" && what.starts_with("pulled back by 60.0 mm at each end")) {
            ++pulledBack;
        }
    }
    EXPECT_GT(openings, 0);
    EXPECT_EQ(pulledBack, openings) << house.dump(1);
}

}  // namespace
