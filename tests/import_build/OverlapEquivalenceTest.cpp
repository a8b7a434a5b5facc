// The overlap resolution uses a spatial index to find the first overlapping
// record quickly. These tests run the plain scheme (scan the whole work list
// in order, one pass at a time) side by side on dense random plans and
// require the very same records in the very same order.

#include <deque>
#include <random>

#include "BuildFixture.h"
#include "importer/preparation/OverlapResolution.h"

using namespace ImportBuildTest;
using Importer::ImportOpening;
using Importer::ImportWall;
using Importer::overlapInterval;
using Importer::pointAt;

namespace {

template <typename R>
std::unique_ptr<R> cut(const R& source, const Vector2d& a, const Vector2d& b)
{
    auto c = std::make_unique<R>(source);
    c->start = a;
    c->end = b;
    return c;
}

std::vector<std::unique_ptr<ImportWall>> plainWalls(std::vector<std::unique_ptr<ImportWall>> walls)
{
    std::vector<std::unique_ptr<ImportWall>> out;
    std::deque<std::unique_ptr<ImportWall>> work;
    for (auto& w : walls) {
        work.push_back(std::move(w));
    }
    const std::size_t limit = 1000 * walls.size();
    for (std::size_t pass = 1; !work.empty(); ++pass) {
        if (pass > limit) {
            for (auto& w : work) {
                if ((w->end - w->start).lengthSquared() > 0.0001) out.push_back(std::move(w));
            }
            break;
        }
        std::unique_ptr<ImportWall> v = std::move(work.front());
        work.pop_front();
        std::size_t found = work.size();
        Importer::OverlapInterval onV;
        for (std::size_t i = 0; i < work.size(); ++i) {
            if (work[i]->storey == v->storey) {
                onV = overlapInterval(v->start, v->end, work[i]->start, work[i]->end);
                if (onV.overlaps()) {
                    found = i;
                    break;
                }
            }
        }
        if (found == work.size()) {
            out.push_back(std::move(v));
        } else {
            std::unique_ptr<ImportWall> w = std::move(work[found]);
            work.erase(work.begin() + static_cast<std::ptrdiff_t>(found));
            const auto onW = overlapInterval(w->start, w->end, v->start, v->end);
            work.push_back(cut(*v, pointAt(v->start, v->end, onV.t0), pointAt(v->start, v->end, onV.t1)));
            if (onV.t0 > 0) work.push_back(cut(*v, v->start, pointAt(v->start, v->end, onV.t0)));
            if (onV.t1 < 1) work.push_back(cut(*v, pointAt(v->start, v->end, onV.t1), v->end));
            if (onW.t0 > 0) work.push_back(cut(*w, w->start, pointAt(w->start, w->end, onW.t0)));
            if (onW.t1 < 1) work.push_back(cut(*w, pointAt(w->start, w->end, onW.t1), w->end));
        }
        std::erase_if(work, [](const auto& x) { return (x->end - x->start).lengthSquared() <= 0.0001; });
    }
    return out;
}

std::vector<std::unique_ptr<ImportOpening>> plainOpenings(std::vector<std::unique_ptr<ImportOpening>> openings)
{
    std::vector<std::unique_ptr<ImportOpening>> out;
    std::deque<std::unique_ptr<ImportOpening>> work;
    for (auto& o : openings) {
        work.push_back(std::move(o));
    }
    const auto part = [&](const ImportOpening& s, const Vector2d& a, const Vector2d& b) {
        auto p = cut(s, a, b);
        p->width = (b - a).length();
        work.push_back(std::move(p));
    };
    const std::size_t limit = 1000 * openings.size();
    for (std::size_t pass = 1; !work.empty(); ++pass) {
        if (pass > limit) {
            for (auto& o : work) out.push_back(std::move(o));
            break;
        }
        std::unique_ptr<ImportOpening> v = std::move(work.front());
        work.pop_front();
        std::size_t found = work.size();
        Importer::OverlapInterval onV;
        for (std::size_t i = 0; i < work.size(); ++i) {
            if (work[i]->storey == v->storey) {
                onV = overlapInterval(v->start, v->end, work[i]->start, work[i]->end);
                if (onV.overlaps()) {
                    found = i;
                    break;
                }
            }
        }
        if (found == work.size()) {
            out.push_back(std::move(v));
            continue;
        }
        std::unique_ptr<ImportOpening> x = std::move(work[found]);
        work.erase(work.begin() + static_cast<std::ptrdiff_t>(found));
        const auto onX = overlapInterval(x->start, x->end, v->start, v->end);
        auto common = cut(*v, pointAt(v->start, v->end, onV.t0), pointAt(v->start, v->end, onV.t1));
        common->headHeight = std::max(v->headHeight, x->headHeight);
        common->height = common->headHeight - std::min(v->headHeight - v->height, x->headHeight - x->height);
        common->width = (common->end - common->start).length();
        work.push_back(std::move(common));
        if (onV.t0 > 0) part(*v, v->start, pointAt(v->start, v->end, onV.t0));
        if (onV.t1 < 1) part(*v, pointAt(v->start, v->end, onV.t1), v->end);
        if (onX.t0 > 0) part(*x, x->start, pointAt(x->start, x->end, onX.t0));
        if (onX.t1 < 1) part(*x, pointAt(x->start, x->end, onX.t1), x->end);
    }
    return out;
}

// Segments crowded onto a few lines (some of them 0.005 apart, within the
// collinearity tolerance), across cell borders, a few oblique, two storeys.
template <typename R>
std::vector<std::unique_ptr<R>> crowded(std::mt19937& rng, int count, bool nearLines = false)
{
    std::uniform_int_distribution<int> coord(-6, 30);
    std::uniform_int_distribution<int> line(0, 3);
    std::uniform_int_distribution<int> pick(0, 9);
    const double lines[] = {0.0, nearLines ? 0.005 : 1.0, 1999.0, 2000.0};
    std::vector<std::unique_ptr<R>> out;
    for (int i = 0; i < count; ++i) {
        auto r = std::make_unique<R>();
        r->storey = pick(rng) < 8 ? 1 : 2;
        const double x0 = coord(rng) * 250.0, x1 = coord(rng) * 250.0;
        const double y = lines[line(rng)];
        const int kind = pick(rng);
        if (kind == 0) {
            r->start = Vector2d(x0, y);
            r->end = Vector2d(x1, y + 500);
        } else if (kind == 1) {
            r->start = Vector2d(y, x0);
            r->end = Vector2d(y, x1);
        } else {
            r->start = Vector2d(x0, y);
            r->end = Vector2d(x1, y);
        }
        out.push_back(std::move(r));
    }
    return out;
}

template <typename R>
void expectSame(const std::vector<std::unique_ptr<R>>& a, const std::vector<std::unique_ptr<R>>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i]->storey, b[i]->storey) << i;
        EXPECT_TRUE(a[i]->start == b[i]->start && a[i]->end == b[i]->end) << i;
    }
}

// Walls carry their list position as thickness, so that the attributes of
// every piece show which wall it came from.
void expectWallsResolveAsThePlainScheme(std::vector<std::unique_ptr<ImportWall>> walls)
{
    std::vector<std::unique_ptr<ImportWall>> copy;
    for (const auto& w : walls) {
        copy.push_back(std::make_unique<ImportWall>(*w));
    }
    bool gaveUp = true;
    const auto fast = Importer::resolveOverlappingWalls(std::move(walls), gaveUp);
    const auto plain = plainWalls(std::move(copy));
    expectSame(fast, plain);
    for (std::size_t i = 0; i < fast.size() && i < plain.size(); ++i) {
        EXPECT_EQ(fast[i]->thickness, plain[i]->thickness);
    }
}

}  // namespace

TEST(OverlapEquivalenceTest, WallsResolveExactlyAsThePlainScheme)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        auto walls = crowded<ImportWall>(rng, 8 + round);
        for (std::size_t i = 0; i < walls.size(); ++i) {
            walls[i]->thickness = static_cast<float>(i);
        }
        expectWallsResolveAsThePlainScheme(std::move(walls));
    }
}

TEST(OverlapEquivalenceTest, WallsCrowdedOnOneLineResolveExactlyAsThePlainScheme)
{
    // Many walls on one line, each overlapping dozens of others, some of
    // them 0.005 off the line, across cell borders and on the border row of
    // the index: the index must still hand out the first overlapping wall.
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> length(20, 900);
    std::uniform_int_distribution<int> pick(0, 9);
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<ImportWall>> walls;
        for (int i = 0; i < 60 + 30 * round; ++i) {
            auto w = std::make_unique<ImportWall>();
            w->storey = 1;
            w->thickness = static_cast<float>(i);
            const double x = 1700.0 + i * 7.0;
            const double y = pick(rng) == 0 ? 0.005 : 0.0;
            w->start = Vector2d(x, y);
            w->end = Vector2d(x + length(rng), y);
            if (pick(rng) < 3) {
                std::swap(w->start, w->end);
            }
            walls.push_back(std::move(w));
        }
        expectWallsResolveAsThePlainScheme(std::move(walls));
    }
}

TEST(OverlapEquivalenceTest, OpeningsMergeExactlyAsThePlainScheme)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> h(10, 25);
    for (int round = 0; round < 12; ++round) {
        auto openings = crowded<ImportOpening>(rng, 8 + round);
        for (auto& o : openings) {
            o->headHeight = h(rng) * 100.0;
            o->height = h(rng) * 50.0;
        }
        std::vector<std::unique_ptr<ImportOpening>> copy;
        for (const auto& o : openings) {
            copy.push_back(std::make_unique<ImportOpening>(*o));
        }
        bool gaveUp = true;
        const auto fast = Importer::mergeOverlappingOpenings(std::move(openings), gaveUp);
        const auto plain = plainOpenings(std::move(copy));
        expectSame(fast, plain);
        for (std::size_t i = 0; i < fast.size() && i < plain.size(); ++i) {
            EXPECT_EQ(fast[i]->headHeight, plain[i]->headHeight);
            EXPECT_EQ(fast[i]->height, plain[i]->height);
            EXPECT_EQ(fast[i]->width, plain[i]->width);
        }
    }
}

TEST(OverlapEquivalenceTest, CutsAtPartialWallsMatchAPlainScan)
{
    std::mt19937 rng(3);
    for (int round = 0; round < 30; ++round) {
        auto walls = crowded<ImportWall>(rng, 12);
        for (std::size_t i = 0; i < walls.size(); ++i) {
            walls[i]->kindCode = static_cast<int>(i % 3) + 1;
        }
        auto openings = crowded<ImportOpening>(rng, 12);
        // The plain scan: first partial wall of the storey that overlaps.
        std::deque<std::unique_ptr<ImportOpening>> work;
        for (const auto& o : openings) {
            work.push_back(std::make_unique<ImportOpening>(*o));
        }
        std::vector<std::unique_ptr<ImportOpening>> plain;
        const std::size_t limit = 1000 * openings.size();
        for (std::size_t pass = 1; !work.empty(); ++pass) {
            if (pass > limit) {
                for (auto& o : work) plain.push_back(std::move(o));
                break;
            }
            auto g = std::move(work.front());
            work.pop_front();
            bool cutAny = false;
            for (const auto& w : walls) {
                if (w->storey != g->storey || w->kindCode == 1) continue;
                const auto i = overlapInterval(g->start, g->end, w->start, w->end);
                if (!i.overlaps()) continue;
                if (i.t0 > 0) work.push_back(cut(*g, g->start, pointAt(g->start, g->end, i.t0)));
                if (i.t1 < 1) work.push_back(cut(*g, pointAt(g->start, g->end, i.t1), g->end));
                cutAny = true;
                break;
            }
            if (!cutAny) plain.push_back(std::move(g));
        }
        bool gaveUp = true;
        const auto fast = Importer::cutOpeningsAtPartialWalls(std::move(openings), walls, gaveUp);
        expectSame(fast, plain);
    }
}
