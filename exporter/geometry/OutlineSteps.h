#pragma once

// The steps shared by the room-edge wall and exterior outline computations,
// and by their straightforward reference versions (ReferenceOutline.h) which
// the tests use as an oracle for the fast versions. Both versions run the very
// same code wherever the order of work cannot change a result; they differ
// only in how they find the edges of a slab, join sections and chain them.

#include <cstddef>
#include <vector>

#include "common/geometry/Segment.h"
#include "common/geometry/Vector2.h"
#include "exporter/geometry/OutlineAlgorithms.h"

namespace Exporter::OutlineSteps {

using Common::Segment;
using Common::Vector2d;

// Two points closer than 0.001 are the same point.
constexpr double kPointMatchSquared = 0.000001;
// Event heights closer than this are one height.
constexpr double kHeightMerge = 0.001;
// Two edges crossing a slab this close in x are the same edge.
constexpr double kCoincidence = 0.001;
// |cross| of two unit directions below this: parallel.
constexpr double kParallel = 0.001;
// The coincidence walk starts this far left of the first edge.
constexpr double kFirstSlabOffset = 0.01;
// An opening end this close to a wall's line lies on it.
constexpr double kOpeningLineDistance = 0.001;
// Relative margins along a wall segment for opening spans.
constexpr double kOpeningLow = 0.001;
constexpr double kOpeningHigh = 0.999;
// Coordinates beyond this (millimetres, a million kilometres) cannot come from
// a real plan; outlines and openings carrying them are left out so that no
// arithmetic overflows into infinities or NaNs.
constexpr double kLargestCoordinate = 1e12;

inline bool pointsMatch(const Vector2d& a, const Vector2d& b)
{
    return (a - b).lengthSquared() < kPointMatchSquared;
}

// The frame in which no room edge is horizontal: the plan moved to the lower
// corner of its rooms and turned by theta.
struct WorkingFrame {
    Vector2d origin;
    double theta = 0.0;

    Vector2d toWorking(const Vector2d& p) const;
    Vector2d toPlan(const Vector2d& p) const;
};

// The outlines of the set that can take part (every point finite and within
// kLargestCoordinate), in their order.
std::vector<std::vector<Vector2d>> usableOutlines(const StoreyOutlineSet& set);
std::vector<Segment> usableOpenings(const StoreyOutlineSet& set);

WorkingFrame makeWorkingFrame(const std::vector<std::vector<Vector2d>>& outlines);

struct Edge {
    Vector2d start;
    Vector2d end;
};

// The edges of the outlines in the working frame, outline by outline (a
// one-point outline gives one zero-length edge).
std::vector<Edge> workingEdges(const std::vector<std::vector<Vector2d>>& outlines, const WorkingFrame& frame);

// The y of the crossing point of edges a and b (a earlier in edge order), or
// false when the pair is skipped or does not cross.
bool crossingHeight(const Edge& a, const Edge& b, double& y);

// Event heights from the vertex heights (any order, duplicates allowed).
std::vector<double> eventHeights(std::vector<double> vertexHeights);

// Middle heights of the slabs between consecutive event heights.
std::vector<double> slabMiddles(const std::vector<double>& heights);

// True when the edge crosses the height strictly.
inline bool crossesHeight(const Edge& e, double mid)
{
    return (e.start.y - mid) * (e.end.y - mid) < 0.0;
}

// x of the edge's line at height y.
inline double xAt(const Edge& e, double y)
{
    return e.start.x + (e.end.x - e.start.x) * (y - e.start.y) / (e.end.y - e.start.y);
}

inline bool runsDownward(const Edge& e)
{
    return e.end.y <= e.start.y;
}

// The part of the edge between the two heights, in the edge's own direction.
Segment slabSection(const Edge& e, double lower, double upper);

// One edge crossing a slab, at x = x at the slab's middle.
struct SlabCrossing {
    std::size_t edge;
    double x;
};

enum class KeepRule { RoomEdges, Exterior };

// Orders the crossings of one slab by x (equal x keep their order) and keeps
// those the rule asks for, in x order.
std::vector<std::size_t> keptEdges(std::vector<SlabCrossing>& crossings, const std::vector<Edge>& edges, KeepRule rule);

// The kept sections of every slab, lowest slab first, and within a slab in x
// order. The reference rebuilds each slab from all edges; the fast version
// hands each edge to the slabs it spans.
std::vector<Segment> keptSectionsReference(const std::vector<Edge>& edges, const std::vector<double>& heights, KeepRule rule);
std::vector<Segment> keptSectionsFast(const std::vector<Edge>& edges, const std::vector<double>& heights, KeepRule rule);

// Event heights from the vertices and the crossings of every pair of edges.
std::vector<double> eventHeightsReference(const std::vector<Edge>& edges);
std::vector<double> eventHeightsFast(const std::vector<Edge>& edges);

// How the fast search spreads the screening of nearly collinear pairs over
// threads: the work is cut into chunks of about `pairsPerChunk` pairs, run
// on at most `threads` threads. Work of a single chunk starts no thread.
// The heights do not depend on it.
struct ScreenSplit {
    std::size_t threads;
    std::size_t pairsPerChunk;
};
ScreenSplit machineScreenSplit();
std::vector<double> eventHeightsFast(const std::vector<Edge>& edges, const ScreenSplit& split);

// Joins collinear sections meeting end to end (only where exactly one other
// section meets there).
void joinReference(std::vector<Segment>& sections);
void joinFast(std::vector<Segment>& sections);

// Maps the joined segments back into the plan.
void toPlan(std::vector<Segment>& segments, const WorkingFrame& frame);

// Cuts the opening spans out of the wall lines: each wall line (and each
// piece cut from one, queued after them) by the first opening in list order
// that cuts it. The reference tries every opening on every wall line; the
// fast version only the openings with an end near the wall's line.
std::vector<Segment> removeOpeningSpansReference(const std::vector<Segment>& walls, const std::vector<Segment>& openings);
std::vector<Segment> removeOpeningSpansFast(const std::vector<Segment>& walls, const std::vector<Segment>& openings);

// Chains exterior segments into closed point sequences; the chains that
// cannot be closed are dropped and, when `unclosed` is given, added to it
// as open point sequences (the last end included).
std::vector<std::vector<Vector2d>> chainReference(const std::vector<Segment>& segments,
                                                  std::vector<std::vector<Vector2d>>* unclosed = nullptr);
std::vector<std::vector<Vector2d>> chainFast(const std::vector<Segment>& segments,
                                             std::vector<std::vector<Vector2d>>* unclosed = nullptr);

// How a computation does the steps whose work can be organised differently
// without changing the result.
struct Strategy {
    std::vector<double> (*eventHeights)(const std::vector<Edge>&);
    std::vector<Segment> (*keptSections)(const std::vector<Edge>&, const std::vector<double>&, KeepRule);
    void (*join)(std::vector<Segment>&);
    std::vector<std::vector<Vector2d>> (*chain)(const std::vector<Segment>&, std::vector<std::vector<Vector2d>>*);
    std::vector<Segment> (*removeOpeningSpans)(const std::vector<Segment>&, const std::vector<Segment>&);
};

extern const Strategy kReferenceStrategy;
extern const Strategy kFastStrategy;

// The two computations, done with the given strategy.
std::vector<Segment> roomEdgeWallLinesWith(const StoreyOutlineSet& set, const Strategy& strategy);
std::vector<std::vector<Vector2d>> exteriorOutlinesWith(const StoreyOutlineSet& set, const Strategy& strategy,
                                                        std::vector<std::vector<Vector2d>>* unclosed = nullptr);
StoreyLines storeyLinesWith(const StoreyOutlineSet& set, const Strategy& strategy, bool keepUnclosed);

}  // namespace Exporter::OutlineSteps
