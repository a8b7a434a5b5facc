// The fast computations must give exactly what the step-by-step reference
// gives: the same segments and points, bit for bit, in the same order. Plans
// are random grids of rectangles and L-shaped rooms sharing edges, with
// courtyards left empty, a few opening segments, and in some runs the whole
// plan turned or its points moved by less than the tolerances.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "OutlineTestSupport.h"
#include "exporter/geometry/OutlineAlgorithms.h"
#include "exporter/geometry/ReferenceOutline.h"

using namespace OutlineTest;
using Exporter::StoreyOutlineSet;

namespace {

struct PlanOptions {
    int blocks = 3;           // blocks of 2 x 2 cells per side
    bool turned = false;      // turn the plan by a random angle
    double jitter = 0.0;      // move every point by up to this much
    int openings = 4;
};

class PlanMaker {
public:
    explicit PlanMaker(unsigned seed) : random_(seed) {}

    StoreyOutlineSet make(const PlanOptions& options)
    {
        const int cells = 2 * options.blocks;
        std::vector<double> xs{0.0};
        std::vector<double> ys{0.0};
        for (int i = 0; i < cells; ++i) {
            xs.push_back(xs.back() + width());
            ys.push_back(ys.back() + width());
        }
        StoreyOutlineSet set;
        for (int bx = 0; bx < options.blocks; ++bx) {
            for (int by = 0; by < options.blocks; ++by) {
                block(set, xs[2 * bx], xs[2 * bx + 1], xs[2 * bx + 2], ys[2 * by], ys[2 * by + 1], ys[2 * by + 2]);
            }
        }
        std::shuffle(set.outlines.begin(), set.outlines.end(), random_);
        for (auto& outline : set.outlines) {
            // Any point may come first.
            std::rotate(outline.begin(), outline.begin() + pick(static_cast<int>(outline.size())), outline.end());
        }
        addOpenings(set, options.openings);

        const double angle = options.turned ? uniform(0.0, 6.3) : 0.0;
        auto move = [&](Vector2d& p) {
            p.rotate(angle);
            p = p + Vector2d(uniform(-options.jitter, options.jitter), uniform(-options.jitter, options.jitter));
        };
        for (auto& outline : set.outlines) {
            for (auto& p : outline) {
                move(p);
            }
        }
        for (auto& q : set.openingSegments) {
            move(q.start);
            move(q.end);
        }
        return set;
    }

private:
    double width()
    {
        // Mostly module multiples (many equal heights), sometimes odd sizes.
        static const double modules[] = {910.0, 1365.0, 1820.0, 2730.0, 3640.0};
        if (pick(4) == 0) {
            return uniform(500.0, 4000.0);
        }
        return modules[pick(5)];
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    double uniform(double a, double b) { return a == b ? a : std::uniform_real_distribution<double>(a, b)(random_); }

    static std::vector<Vector2d> rect(double x0, double y0, double x1, double y1)
    {
        return {Vector2d(x0, y0), Vector2d(x0, y1), Vector2d(x1, y1), Vector2d(x1, y0)};
    }

    void block(StoreyOutlineSet& set, double x0, double x1, double x2, double y0, double y1, double y2)
    {
        switch (pick(6)) {
        case 0:  // four rooms
            set.outlines.push_back(rect(x0, y0, x1, y1));
            set.outlines.push_back(rect(x1, y0, x2, y1));
            set.outlines.push_back(rect(x0, y1, x1, y2));
            set.outlines.push_back(rect(x1, y1, x2, y2));
            break;
        case 1:  // one big room
            set.outlines.push_back(rect(x0, y0, x2, y2));
            break;
        case 2:  // two long rooms
            if (pick(2) == 0) {
                set.outlines.push_back(rect(x0, y0, x2, y1));
                set.outlines.push_back(rect(x0, y1, x2, y2));
            } else {
                set.outlines.push_back(rect(x0, y0, x1, y2));
                set.outlines.push_back(rect(x1, y0, x2, y2));
            }
            break;
        case 3:
        case 4: {  // an L-shaped room, the fourth cell a room or empty
            std::vector<Vector2d> l = {Vector2d(x0, y0), Vector2d(x0, y2), Vector2d(x1, y2),
                                       Vector2d(x1, y1), Vector2d(x2, y1), Vector2d(x2, y0)};
            std::vector<Vector2d> rest = rect(x1, y1, x2, y2);
            const bool mirrorX = pick(2) == 0;
            const bool mirrorY = pick(2) == 0;
            for (auto* outline : {&l, &rest}) {
                for (auto& p : *outline) {
                    if (mirrorX) p.x = x0 + x2 - p.x;
                    if (mirrorY) p.y = y0 + y2 - p.y;
                }
                // A single mirror turns the outline around; keep it clockwise.
                if (mirrorX != mirrorY) {
                    std::reverse(outline->begin(), outline->end());
                }
            }
            set.outlines.push_back(l);
            if (pick(2) == 0) {
                set.outlines.push_back(rest);
            }
            break;
        }
        default:  // a courtyard or a gap in the plan
            if (pick(2) == 0) {
                set.outlines.push_back(rect(x0, y0, x1, y2));
            }
            break;
        }
    }

    void addOpenings(StoreyOutlineSet& set, int count)
    {
        if (set.outlines.empty()) {
            return;
        }
        for (int i = 0; i < count; ++i) {
            const auto& outline = set.outlines[static_cast<std::size_t>(pick(static_cast<int>(set.outlines.size())))];
            const std::size_t k = static_cast<std::size_t>(pick(static_cast<int>(outline.size())));
            const Vector2d a = outline[k];
            const Vector2d b = outline[(k + 1) % outline.size()];
            const double s = uniform(-0.2, 0.9);
            const double t = std::min(1.2, s + uniform(0.05, 0.6));
            const Vector2d p = a + (b - a) * s;
            switch (pick(3)) {
            case 0:  // along the edge
                set.openingSegments.push_back(Segment{p, a + (b - a) * t});
                break;
            case 1: {  // across the edge, one end on it
                const Vector2d u = (b - a).unit();
                set.openingSegments.push_back(Segment{p, p + Vector2d(-u.y, u.x) * 150.0});
                break;
            }
            default:  // the whole edge
                set.openingSegments.push_back(Segment{a, b});
                break;
            }
        }
    }

    std::mt19937 random_;
};

void expectIdentical(const StoreyOutlineSet& set, const std::string& what, bool exact = true)
{
    const auto walls = Exporter::roomEdgeWallLines(set);
    const auto wallsReference = Exporter::referenceRoomEdgeWallLines(set);
    ASSERT_EQ(walls.size(), wallsReference.size()) << what;
    for (std::size_t i = 0; i < walls.size(); ++i) {
        ASSERT_TRUE(walls[i].start == wallsReference[i].start && walls[i].end == wallsReference[i].end)
            << what << " wall " << i << ": " << show(walls[i]) << " vs " << show(wallsReference[i]);
    }

    const auto outlines = Exporter::exteriorOutlines(set);
    const auto outlinesReference = Exporter::referenceExteriorOutlines(set);
    ASSERT_EQ(outlines.size(), outlinesReference.size()) << what;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        ASSERT_EQ(outlines[i], outlinesReference[i]) << what << " chain " << i;
    }
    // Both at once, as the exporter asks for them, give the same.
    std::vector<std::vector<Vector2d>> unclosed;
    const auto separateOutlines = Exporter::exteriorOutlines(set, &unclosed);
    const Exporter::StoreyLines lines = Exporter::storeyLines(set, true);
    EXPECT_EQ(lines.exteriorOutlines, separateOutlines) << what;
    EXPECT_EQ(lines.unclosed, unclosed) << what;
    ASSERT_EQ(lines.roomEdgeWalls.size(), walls.size()) << what;
    for (std::size_t i = 0; i < walls.size(); ++i) {
        ASSERT_TRUE(lines.roomEdgeWalls[i].start == walls[i].start && lines.roomEdgeWalls[i].end == walls[i].end)
            << what << " wall " << i;
    }
    // A plan of rooms always has walls and an outline around them; with
    // points moved apart by up to 0.0008 a chain may find no successor
    // within the point-match distance and be dropped.
    if (exact && !set.outlines.empty()) {
        EXPECT_FALSE(outlines.empty()) << what;
        EXPECT_FALSE(walls.empty()) << what;
    }
}

}  // namespace

TEST(FastMatchesReference, AxisParallelGrids)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        PlanMaker maker(seed);
        PlanOptions options;
        options.blocks = 1 + static_cast<int>(seed % 4);
        expectIdentical(maker.make(options), "seed " + std::to_string(seed));
    }
}

TEST(FastMatchesReference, TurnedAndJitteredGrids)
{
    for (unsigned seed = 100; seed <= 140; ++seed) {
        PlanMaker maker(seed);
        PlanOptions options;
        options.blocks = 1 + static_cast<int>(seed % 3);
        options.turned = seed % 2 == 0;
        // Below the point-match and coincidence tolerances, so rooms still
        // share their edges only approximately.
        options.jitter = (seed % 3 == 0) ? 0.0004 : 0.0;
        options.openings = 6;
        expectIdentical(maker.make(options), "seed " + std::to_string(seed), options.jitter == 0.0);
    }
}

TEST(FastMatchesReference, LongRowsOfRooms)
{
    // Fronts and backs of many sections in one line, joined into one wall
    // each: the join moves the end of each merged section to the row's
    // first point again and again. Rows along the axes and turned, some
    // rooms deeper than the others, a window on some fronts.
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        const double angle = seed % 2 == 0 ? 0.0 : 3 * unit(random);
        const Vector2d u(std::cos(angle), std::sin(angle));
        const Vector2d v(-u.y, u.x);
        StoreyOutlineSet set;
        double along = 0;
        for (int k = 0; k < 80 + static_cast<int>(seed) * 7; ++k) {
            const double width = 455.0 * (1 + static_cast<int>(random() % 4));
            const double depth = k % 11 == 5 ? 3640 : 2730;
            const Vector2d a = u * along;
            const Vector2d b = u * (along + width);
            set.outlines.push_back({a, a + v * depth, b + v * depth, b});
            if (k % 4 == 1) {
                set.openingSegments.push_back(Segment{a + u * 100.0, a + u * (width - 100.0)});
            }
            along += width;
        }
        expectIdentical(set, "row " + std::to_string(seed));
    }
}

TEST(FastMatchesReference, BothComputationsOfALargeStoreyAtOnce)
{
    // A storey of over a thousand rooms, large enough for the two computations to
    // run side by side, gives what each gives alone.
    PlanMaker maker(7);
    PlanOptions options;
    options.blocks = 25;
    options.turned = true;
    options.openings = 300;
    const StoreyOutlineSet set = maker.make(options);
    std::size_t points = 0;
    for (const auto& outline : set.outlines) {
        points += outline.size();
    }
    ASSERT_GE(points, 4096U);

    std::vector<std::vector<Vector2d>> unclosed;
    const auto outlines = Exporter::exteriorOutlines(set, &unclosed);
    const auto walls = Exporter::roomEdgeWallLines(set);
    const Exporter::StoreyLines lines = Exporter::storeyLines(set, true);
    EXPECT_EQ(lines.exteriorOutlines, outlines);
    EXPECT_EQ(lines.unclosed, unclosed);
    ASSERT_EQ(lines.roomEdgeWalls.size(), walls.size());
    EXPECT_FALSE(walls.empty());
    for (std::size_t i = 0; i < walls.size(); ++i) {
        ASSERT_TRUE(lines.roomEdgeWalls[i].start == walls[i].start && lines.roomEdgeWalls[i].end == walls[i].end)
            << "wall " << i;
    }
}
