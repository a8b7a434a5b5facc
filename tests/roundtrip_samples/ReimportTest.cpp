// Each sample plan exported by DM2CDX, imported by CDX2DM into an empty plan
// and exported again gives back the same plan: rooms (storey, name, kind,
// heights, outline up to its starting vertex), openings, stairs and roofs,
// every length within 0.05 mm; also the storeys, levels, grid, the exterior
// wall lines and every wall the importer builds as an object of its own.
//
// What may legitimately differ, and why:
// - identifiers and the output date: fresh per export;
// - where a room outline (and so an exterior chain) starts: the importer
//   sends every outline from its vertex of smallest x + y;
// - the order of walls and openings: the importer builds storey by storey,
//   walls and passages before fittings, and the host lists objects in the
//   order they were made;
// - full-height walls of the standard thickness lying on room edges: the host
//   derives those from the rooms, so the importer builds nothing for them; a
//   wall-attached object of that kind (type 48) therefore no longer cuts the
//   room-edge wall it stood on, and the room-edge walls there come out whole;
// - openings that lie on exactly the same span (a full-height opening whose
//   object also carries a fitting) are merged into one by the importer;
// - the eaves shape code: the host's roof-face creation takes no eaves shape,
//   so every re-exported roof reads eaves shape 0 (code 2).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "app_e2e/SampleRuns.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"

using Common::Vector2d;
using Common::Vector3d;

namespace {

constexpr double kTolerance = 0.05;

bool near(double a, double b) { return std::fabs(a - b) <= kTolerance; }
bool near(const Vector2d& a, const Vector2d& b) { return near(a.x, b.x) && near(a.y, b.y); }
bool near(const Vector3d& a, const Vector3d& b) { return near(a.x, b.x) && near(a.y, b.y) && near(a.z, b.z); }
template <class T>
bool near(const std::vector<T>& a, const std::vector<T>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!near(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

// Equal as closed outlines: the same points in the same turning order, from
// whichever vertex.
bool sameOutline(const std::vector<Vector2d>& a, const std::vector<Vector2d>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    if (a.empty()) {
        return true;
    }
    for (std::size_t shift = 0; shift < b.size(); ++shift) {
        bool all = true;
        for (std::size_t i = 0; i < a.size() && all; ++i) {
            all = near(a[i], b[(i + shift) % b.size()]);
        }
        if (all) {
            return true;
        }
    }
    return false;
}

std::string show(const std::vector<Vector2d>& points)
{
    std::string s;
    for (const Vector2d& p : points) {
        s += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ") ";
    }
    return s;
}

bool sameOpening(const Importer::ImportOpening& a, const Importer::ImportOpening& b)
{
    return a.storey == b.storey && a.kindCode == b.kindCode && a.modelNumber == b.modelNumber &&
           near(a.headHeight, b.headHeight) && near(a.height, b.height) && near(a.width, b.width) &&
           near(a.start, b.start) && near(a.end, b.end) && near(a.region3D, b.region3D);
}

bool sameWall(const Importer::ImportWall& a, const Importer::ImportWall& b)
{
    return a.storey == b.storey && a.kindCode == b.kindCode && near(a.thickness, b.thickness) &&
           near(a.start, b.start) && near(a.end, b.end) && near(a.bottomHeight, b.bottomHeight) &&
           near(a.topHeight, b.topHeight);
}

std::string show(const Importer::ImportOpening& o)
{
    return "storey " + std::to_string(o.storey) + " kind " + std::to_string(o.kindCode) + " model '" +
           Common::toUtf8(o.modelNumber) + "' head " + std::to_string(o.headHeight) + " height " +
           std::to_string(o.height) + " width " + std::to_string(o.width) + " " + show({o.start, o.end});
}

std::string show(const Importer::ImportWall& w)
{
    return "storey " + std::to_string(w.storey) + " kind " + std::to_string(w.kindCode) + " thickness " +
           std::to_string(w.thickness) + " " + show({w.start, w.end}) + std::to_string(w.bottomHeight) + " to " +
           std::to_string(w.topHeight);
}

// Every item of `before` finds its own partner in `after`, and nothing is left over.
template <class T, class Same>
void expectSameItems(const std::vector<const T*>& before, const std::vector<const T*>& after, Same same,
                     const char* what)
{
    std::vector<bool> used(after.size(), false);
    for (const T* item : before) {
        bool found = false;
        for (std::size_t k = 0; k < after.size() && !found; ++k) {
            if (!used[k] && same(*item, *after[k])) {
                used[k] = found = true;
            }
        }
        EXPECT_TRUE(found) << what << " lost: " << show(*item);
    }
    for (std::size_t k = 0; k < after.size(); ++k) {
        EXPECT_TRUE(used[k]) << what << " added: " << show(*after[k]);
    }
}

Importer::ImportModel load(const std::filesystem::path& file)
{
    Importer::ImportModel m;
    std::wstring problem;
    EXPECT_TRUE(Importer::loadCedxmFile(m, Common::fromUtf8(file.string()), problem)) << Common::toUtf8(problem);
    return m;
}

struct Sample {
    const char* plan;
    int openingExtendType;  // in both programs' ini files
    std::vector<std::wstring> exportOptions;
    std::vector<std::wstring> importOptions;
};

class Reimport : public ::testing::TestWithParam<int> {
protected:

    static std::vector<Sample> samples()
    {
        const std::wstring table = Common::fromUtf8((E2e::sampleDir() / "features-fittings.csv").string());
        return {
            {"house.json", 0, {L"--openings-only", L"--keep-origin"}, {L"--openings", L"frames"}},
            {"courtyard.json", 0, {L"--openings-only", L"--keep-origin"}, {L"--openings", L"frames"}},
            // The exporter lengthens openings by half a wall thickness at
            // each end and the importer takes that back.
            {"courtyard.json", 1, {L"--openings-only", L"--keep-origin"}, {L"--openings", L"frames"}},
            // Model numbers go back to the part files of the table and come
            // out as the same model numbers again.
            {"features.json", 0,
             {L"--fitting-table", table, L"--keep-origin"},
             {L"--openings", L"table", L"--fitting-table", table}},
        };
    }
};

TEST_P(Reimport, GivesBackTheSamePlan)
{
    const Sample sample = samples()[static_cast<std::size_t>(GetParam())];
    SCOPED_TRACE(sample.plan);
    const E2e::Workspace work(sample.openingExtendType);
    std::string errors;
    const auto first = work.file("first.xml");
    const auto plan = work.file("imported.json");
    const auto second = work.file("second.xml");
    ASSERT_EQ(work.exportPlan(E2e::sampleDir() / sample.plan, first, sample.exportOptions, errors), 0) << errors;
    if (sample.openingExtendType == 1) {
        // The courtyard's south window, 1885 to 3575, lengthened by 60 at each end.
        const auto text = Common::fromCp932(E2e::readBytes(first));
        ASSERT_TRUE(text.has_value());
        EXPECT_NE(text->find(L"始点終点=\"1825.0,0.0 3635.0,0.0\""), std::wstring::npos);
    }
    std::vector<std::wstring> importOptions = sample.importOptions;
    importOptions.insert(importOptions.end(), {L"--roofs", L"manual", L"--origin", L"keep"});
    ASSERT_EQ(work.importFile(first, plan, importOptions, errors), 0) << errors;
    EXPECT_EQ(errors, "");
    ASSERT_EQ(work.exportPlan(plan, second, sample.exportOptions, errors), 0) << errors;

    const Importer::ImportModel a = load(first);
    const Importer::ImportModel b = load(second);

    EXPECT_EQ(b.storeysAboveGround, a.storeysAboveGround);
    EXPECT_EQ(b.storeysBelowGround, a.storeysBelowGround);
    EXPECT_EQ(b.levelByStorey, a.levelByStorey);
    EXPECT_EQ(b.foundationHeight, a.foundationHeight);
    EXPECT_EQ(b.gridSpacing, a.gridSpacing);

    ASSERT_FALSE(a.rooms.empty());
    ASSERT_EQ(b.rooms.size(), a.rooms.size());
    for (std::size_t i = 0; i < a.rooms.size(); ++i) {
        const auto& x = *a.rooms[i];
        const auto& y = *b.rooms[i];
        SCOPED_TRACE("room " + std::to_string(i) + " " + Common::toUtf8(x.name));
        EXPECT_EQ(y.storey, x.storey);
        EXPECT_EQ(y.name, x.name);
        EXPECT_EQ(y.kindCode, x.kindCode);
        EXPECT_NEAR(y.floorHeight, x.floorHeight, kTolerance);
        EXPECT_NEAR(y.ceilingHeight, x.ceilingHeight, kTolerance);
        EXPECT_TRUE(sameOutline(x.outline, y.outline)) << show(x.outline) << "\n" << show(y.outline);
    }

    ASSERT_EQ(b.outerLines.size(), a.outerLines.size());
    for (std::size_t i = 0; i < a.outerLines.size(); ++i) {
        EXPECT_EQ(b.outerLines[i]->storey, a.outerLines[i]->storey);
        EXPECT_EQ(b.outerLines[i]->code, a.outerLines[i]->code);
        EXPECT_TRUE(sameOutline(a.outerLines[i]->points, b.outerLines[i]->points))
            << show(a.outerLines[i]->points) << "\n" << show(b.outerLines[i]->points);
    }

    // Openings: the first export's, with exact duplicates taken once.
    std::vector<const Importer::ImportOpening*> openingsBefore, openingsAfter;
    for (const auto& o : a.openings) {
        const bool repeated = std::any_of(openingsBefore.begin(), openingsBefore.end(),
                                          [&](const Importer::ImportOpening* p) {
                                              return p->kindCode == o->kindCode && sameOpening(*p, *o);
                                          });
        if (!repeated) {
            openingsBefore.push_back(o.get());
        }
    }
    for (const auto& o : b.openings) {
        openingsAfter.push_back(o.get());
    }
    EXPECT_FALSE(openingsBefore.empty());
    expectSameItems(openingsBefore, openingsAfter, sameOpening, "opening");

    // Walls built as objects of their own: all but the full-height walls of
    // the standard thickness, which the host derives from the rooms.
    const auto ownWalls = [](const Importer::ImportModel& m) {
        std::vector<const Importer::ImportWall*> walls;
        for (const auto& w : m.walls) {
            if (!(w->kindCode == 1 && w->thickness == 120.0f)) {
                walls.push_back(w.get());
            }
        }
        return walls;
    };
    expectSameItems(ownWalls(a), ownWalls(b), sameWall, "wall");

    ASSERT_EQ(b.stairs.size(), a.stairs.size());
    for (std::size_t i = 0; i < a.stairs.size(); ++i) {
        SCOPED_TRACE("stair " + std::to_string(i));
        const auto& x = *a.stairs[i];
        const auto& y = *b.stairs[i];
        EXPECT_EQ(y.storey, x.storey);
        EXPECT_EQ(y.form, x.form);
        EXPECT_EQ(y.stepCounts, x.stepCounts);
        EXPECT_TRUE(near(y.turnAngles, x.turnAngles));
        ASSERT_EQ(y.blockOutlines.size(), x.blockOutlines.size());
        for (std::size_t k = 0; k < x.blockOutlines.size(); ++k) {
            EXPECT_TRUE(near(y.blockOutlines[k], x.blockOutlines[k]))
                << "block " << k << ": " << show(x.blockOutlines[k]) << "\n" << show(y.blockOutlines[k]);
        }
    }

    ASSERT_EQ(b.roofs.size(), a.roofs.size());
    for (std::size_t i = 0; i < a.roofs.size(); ++i) {
        SCOPED_TRACE("roof " + std::to_string(i));
        const auto& x = *a.roofs[i];
        const auto& y = *b.roofs[i];
        EXPECT_EQ(y.storey, x.storey);
        EXPECT_TRUE(near(y.outline, x.outline)) << show(x.outline) << "\n" << show(y.outline);
        EXPECT_TRUE(near(y.baseLineStart, x.baseLineStart));
        EXPECT_TRUE(near(y.baseLineEnd, x.baseLineEnd));
        EXPECT_NEAR(y.baseHeight, x.baseHeight, kTolerance);
        EXPECT_NEAR(y.pitch, x.pitch, kTolerance);
        EXPECT_NEAR(y.finishThickness, x.finishThickness, kTolerance);
        EXPECT_EQ(y.edgeOffsets, x.edgeOffsets);
        EXPECT_EQ(y.eavesShapeCode, 2);  // see above
    }
}

std::string sampleName(const ::testing::TestParamInfo<int>& info)
{
    static const char* const names[] = {"House", "Courtyard", "CourtyardLengthenedOpenings", "Features"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(SamplePlans, Reimport, ::testing::Values(0, 1, 2, 3), sampleName);

}  // namespace
