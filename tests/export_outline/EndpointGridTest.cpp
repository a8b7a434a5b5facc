// Taking entries out of the end point grid: the others must still be found,
// also where emptied cells lie on the probe sequences of other cells.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "exporter/geometry/EndpointGrid.h"

using Common::Vector2d;
using Exporter::OutlineSteps::EndpointGrid;

namespace {

std::vector<std::uint32_t> near(const EndpointGrid& grid, const Vector2d& p)
{
    std::vector<std::uint32_t> found;
    grid.forEachNear(p, [&](std::uint32_t entry) { found.push_back(entry); });
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

TEST(EndpointGrid, EntriesTakenOutAreGoneAndTheOthersStayFound)
{
    // Thousands of cells (the table grows and its probe sequences cross),
    // two entries at some points; every third point is taken out again.
    std::mt19937 random(5);
    std::uniform_int_distribution<int> coordinate(-400, 400);
    std::vector<Vector2d> points;
    EndpointGrid grid;
    for (std::uint32_t i = 0; i < 3000; ++i) {
        points.push_back(Vector2d(coordinate(random) * 0.37, coordinate(random) * 0.29));
        grid.add(points.back(), 2 * i);
        if (i % 5 == 0) {
            grid.add(points.back(), 2 * i + 1);
        }
    }
    for (std::uint32_t i = 0; i < points.size(); i += 3) {
        grid.remove(points[i], 2 * i);
        grid.remove(points[i], 2 * i);  // a second time: nothing left to take
    }
    for (std::uint32_t i = 0; i < points.size(); ++i) {
        const auto found = near(grid, points[i]);
        const bool taken = i % 3 == 0;
        EXPECT_EQ(std::binary_search(found.begin(), found.end(), 2 * i), !taken) << i;
        if (i % 5 == 0) {
            EXPECT_TRUE(std::binary_search(found.begin(), found.end(), 2 * i + 1)) << i;
        }
    }
    // A cell emptied entirely takes new entries again.
    grid.remove(points[1], 2);
    grid.add(points[1], 7777);
    const auto again = near(grid, points[1]);
    EXPECT_TRUE(std::binary_search(again.begin(), again.end(), 7777u));
}
