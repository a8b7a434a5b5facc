// The sample plans exported through the whole DM2CDX run flow against the
// simulated host, compared with expected files whose values were worked out
// by hand from the plans (rooms, room-edge walls with the opening spans cut
// out, the courtyard's hole written the other way round with code 1, wall
// boxes and wall-attached objects by their kind table, openings and their
// model numbers, every stair form, roof base lines, offsets and eaves codes).
// Identifiers and the output date differ per run and are masked.

#include <gtest/gtest.h>

#include "SampleRuns.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"

namespace {

struct Case {
    const char* plan;
    const char* expected;
    std::vector<std::wstring> options;
};

class ExpectedOutput : public ::testing::Test {
protected:
    E2e::Workspace work;

    // The masked text of one export, with LF line ends; checks the file's
    // outer form on the way.
    std::wstring exportMasked(const std::string& plan, const std::vector<std::wstring>& options,
                              const std::string& outName)
    {
        const auto output = work.file(outName);
        std::filesystem::create_directories(output.parent_path());
        std::string errors;
        EXPECT_EQ(work.exportPlan(E2e::sampleDir() / plan, output, options, errors), Exporter::kExitDone) << errors;
        EXPECT_EQ(errors, "");
        const std::string bytes = E2e::readBytes(output);
        const auto text = Common::fromCp932(bytes);
        EXPECT_TRUE(text.has_value()) << outName << " is not Shift-JIS";
        if (!text) {
            return L"";
        }
        // Every line ends with CR LF, and nothing else is a line end.
        std::wstring lf;
        for (std::size_t i = 0; i < text->size(); ++i) {
            const wchar_t c = (*text)[i];
            if (c == L'\r') {
                EXPECT_TRUE(i + 1 < text->size() && (*text)[i + 1] == L'\n') << "lone CR at " << i;
                continue;
            }
            if (c == L'\n') {
                EXPECT_TRUE(i > 0 && (*text)[i - 1] == L'\r') << "lone LF at " << i;
            }
            lf += c;
        }
        std::vector<std::string> problems;
        std::wstring masked = E2e::maskVolatile(lf, problems);
        EXPECT_EQ(problems, std::vector<std::string>());
        return masked;
    }

    void expectSame(const std::wstring& actual, const std::string& expectedName)
    {
        const auto expectedPath = E2e::sourceDir() / "tests" / "app_e2e" / "expected" / expectedName;
        const std::wstring expected = Common::fromUtf8(E2e::readBytes(expectedPath));
        ASSERT_FALSE(expected.empty()) << expectedPath;
        if (actual == expected) {
            return;
        }
        const auto actualPath = work.file(expectedName + ".actual");
        std::filesystem::create_directories(actualPath.parent_path());
        E2e::writeBytes(actualPath, Common::toUtf8(actual));
        // Point at the first line that differs.
        std::size_t line = 1, i = 0;
        while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) {
            line += actual[i] == L'\n' ? 1 : 0;
            ++i;
        }
        const auto lineOf = [](const std::wstring& t, std::size_t at) {
            const std::size_t from = t.rfind(L'\n', at == 0 ? 0 : at - 1);
            const std::size_t start = from == std::wstring::npos ? 0 : from + 1;
            return Common::toUtf8(t.substr(start, t.find(L'\n', start) - start));
        };
        ADD_FAILURE() << expectedName << " differs from line " << line << ":\n  expected: " << lineOf(expected, i)
                      << "\n  actual:   " << lineOf(actual, i);
    }
};

// The two-storey house: levels of three storeys, a porch (kind 20) left out,
// an entrance floor kept absolute, a balcony that gives no walls but counts
// for heights, a stair with a U-turn landing, roofs on storey 3.
TEST_F(ExpectedOutput, HousePlanWithOpeningsOnly)
{
    expectSame(exportMasked("house.json", {L"--openings-only", L"--keep-origin"}, "house.xml"), "house.xml");
}

TEST_F(ExpectedOutput, CourtyardPlanWithOpeningsOnly)
{
    expectSame(exportMasked("courtyard.json", {L"--openings-only", L"--keep-origin"}, "courtyard.xml"),
               "courtyard.xml");
}

TEST_F(ExpectedOutput, FeaturesPlanWithFittingTable)
{
    const std::wstring table = Common::fromUtf8((E2e::sampleDir() / "features-fittings.csv").string());
    expectSame(exportMasked("features.json", {L"--fitting-table", table, L"--keep-origin"}, "features.xml"),
               "features.xml");
}

// The project name follows the output file name, so these go to a folder of
// their own. The plans lie on the axes; a door on x = 0 at 90 degrees comes out at
// x = -2.4e-14 ("-0.0"), which must not move the whole plan a grid step.
TEST_F(ExpectedOutput, FirstQuadrantLeavesAPlanOnTheAxesWhereItIs)
{
    const std::wstring table = Common::fromUtf8((E2e::sampleDir() / "features-fittings.csv").string());
    expectSame(exportMasked("features.json", {L"--fitting-table", table, L"--first-quadrant"}, "fq/features.xml"),
               "features.xml");
    expectSame(exportMasked("courtyard.json", {L"--openings-only", L"--first-quadrant"}, "fq/courtyard.xml"),
               "courtyard.xml");
}

// Without the table the same plan gives the same file without any 建具.
TEST_F(ExpectedOutput, OpeningsOnlyDropsEveryModelNumber)
{
    const std::wstring text = exportMasked("features.json", {L"--openings-only", L"--keep-origin"}, "features.xml");
    const std::wstring withTable = Common::fromUtf8(
        E2e::readBytes(E2e::sourceDir() / "tests" / "app_e2e" / "expected" / "features.xml"));
    std::wstring expected;
    int fittings = 0;
    bool inFitting = false;
    for (std::size_t at = 0; at < withTable.size();) {
        const std::size_t next = withTable.find(L'\n', at) + 1;
        const std::wstring line = withTable.substr(at, next - at);
        if (line.find(L"<建具>") != std::wstring::npos) {
            inFitting = true;
            ++fittings;
        }
        if (!inFitting) {
            expected += line;
        }
        if (line.find(L"</建具>") != std::wstring::npos) {
            inFitting = false;
        }
        at = next;
    }
    EXPECT_EQ(fittings, 4);
    EXPECT_EQ(text, expected);
}

}  // namespace

namespace {

// The house reaches below both axes: its roofs overhang to x = -455 and its
// balcony lies at y = -910 to 0. With a 910 grid the first-quadrant export
// is the same file with every plan coordinate moved by exactly (910, 910),
// the grid origin and every height staying where they were.
TEST(FirstQuadrantExport, MovesTheHouseByOneGridStepOnBothAxes)
{
    E2e::Workspace work;
    std::string errors;
    std::filesystem::create_directories(work.file("a"));
    std::filesystem::create_directories(work.file("b"));
    ASSERT_EQ(work.exportPlan(E2e::sampleDir() / "house.json", work.file("a/house.xml"),
                              {L"--openings-only", L"--keep-origin"}, errors), 0) << errors;
    ASSERT_EQ(work.exportPlan(E2e::sampleDir() / "house.json", work.file("b/house.xml"),
                              {L"--openings-only", L"--first-quadrant"}, errors), 0) << errors;
    Importer::ImportModel a, b;
    std::wstring problem;
    ASSERT_TRUE(Importer::loadCedxmFile(a, Common::fromUtf8(work.file("a/house.xml").string()), problem));
    ASSERT_TRUE(Importer::loadCedxmFile(b, Common::fromUtf8(work.file("b/house.xml").string()), problem));

    const Common::Vector2d step(910, 910);
    const auto moved = [&](std::vector<Common::Vector2d> points) {
        for (auto& p : points) {
            p = p + step;
        }
        return points;
    };
    EXPECT_EQ(b.gridOrigin, a.gridOrigin);
    ASSERT_EQ(b.rooms.size(), a.rooms.size());
    for (std::size_t i = 0; i < a.rooms.size(); ++i) {
        EXPECT_EQ(b.rooms[i]->outline, moved(a.rooms[i]->outline));
        EXPECT_EQ(b.rooms[i]->floorHeight, a.rooms[i]->floorHeight);
    }
    ASSERT_EQ(b.outerLines.size(), a.outerLines.size());
    for (std::size_t i = 0; i < a.outerLines.size(); ++i) {
        EXPECT_EQ(b.outerLines[i]->points, moved(a.outerLines[i]->points));
    }
    ASSERT_EQ(b.walls.size(), a.walls.size());
    for (std::size_t i = 0; i < a.walls.size(); ++i) {
        EXPECT_EQ(b.walls[i]->start, a.walls[i]->start + step);
        EXPECT_EQ(b.walls[i]->end, a.walls[i]->end + step);
        EXPECT_EQ(b.walls[i]->topHeight, a.walls[i]->topHeight);
    }
    ASSERT_EQ(b.openings.size(), a.openings.size());
    for (std::size_t i = 0; i < a.openings.size(); ++i) {
        EXPECT_EQ(b.openings[i]->start, a.openings[i]->start + step);
        EXPECT_EQ(b.openings[i]->end, a.openings[i]->end + step);
        ASSERT_EQ(b.openings[i]->region3D.size(), a.openings[i]->region3D.size());
        for (std::size_t k = 0; k < a.openings[i]->region3D.size(); ++k) {
            const auto& p = a.openings[i]->region3D[k];
            EXPECT_EQ(b.openings[i]->region3D[k], Common::Vector3d(p.x + 910, p.y + 910, p.z));
        }
    }
    ASSERT_EQ(b.stairs.size(), a.stairs.size());
    for (std::size_t i = 0; i < a.stairs.size(); ++i) {
        ASSERT_EQ(b.stairs[i]->blockOutlines.size(), a.stairs[i]->blockOutlines.size());
        for (std::size_t k = 0; k < a.stairs[i]->blockOutlines.size(); ++k) {
            EXPECT_EQ(b.stairs[i]->blockOutlines[k], moved(a.stairs[i]->blockOutlines[k]));
        }
    }
    ASSERT_EQ(b.roofs.size(), a.roofs.size());
    for (std::size_t i = 0; i < a.roofs.size(); ++i) {
        EXPECT_EQ(b.roofs[i]->outline, moved(a.roofs[i]->outline));
        EXPECT_EQ(b.roofs[i]->baseLineStart, a.roofs[i]->baseLineStart + step);
        EXPECT_EQ(b.roofs[i]->baseLineEnd, a.roofs[i]->baseLineEnd + step);
        EXPECT_EQ(b.roofs[i]->baseHeight, a.roofs[i]->baseHeight);
    }
}

}  // namespace
