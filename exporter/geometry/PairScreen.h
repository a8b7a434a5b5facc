#pragma once

// Screening many pairs of edges at once for the crossing search.
//
// Edges lying on one line (the fronts of a long row of rooms) leave the
// crossing search no choice but to test every pair of them, because rounding
// noise decides each pair's test. The screen below does the first steps of
// that test for a whole column of edges against one edge, several pairs per
// instruction, with the very same floating-point operations in the same
// order as the crossing test (so a pair it leaves out is one the test
// rejects), and hands on only the pairs that might add an event height.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

// Edges as columns of coordinates, in the order given.
struct EdgeColumns {
    std::vector<double> startX;
    std::vector<double> startY;
    std::vector<double> endX;
    std::vector<double> endY;
    // end - start, as the crossing test computes it.
    std::vector<double> directionX;
    std::vector<double> directionY;

    EdgeColumns(const std::vector<Edge>& edges, const std::vector<std::size_t>& which);
    std::size_t size() const { return startX.size(); }
};

// One row of pairs: an edge against the positions of the columns from
// `from` on.
struct ScreenRow {
    const Edge* edge;
    std::size_t from;
};

// Sets kept[r] to every position k >= rows[r].from of `columns`, in
// increasing order, whose pair with rows[r].edge may give an event height
// that is not a vertex height: the pairs that pass both side tests of the
// crossing test (in either order), except those whose crossing parameter
// comes out exactly 0 or 1 or undefined, which give the y of an end of an
// edge or nothing. That exception holds only where every edge's end is also
// the start of an edge (closed outlines); say otherwise with
// `endsAreVertices` false. The rows are screened together, a stretch of the
// columns at a time, so that each stretch is read from memory once for all
// of them rather than once per row.
void screenRows(const std::vector<ScreenRow>& rows, const EdgeColumns& columns, bool endsAreVertices,
                std::vector<std::vector<std::uint32_t>>& kept);

// The same with the positions [begin, end) of `columns` as the columns: the
// rows' `from` and the kept positions count from begin.
void screenRows(const std::vector<ScreenRow>& rows, const EdgeColumns& columns, std::size_t begin, std::size_t end,
                bool endsAreVertices, std::vector<std::vector<std::uint32_t>>& kept);

}  // namespace Exporter::OutlineSteps
