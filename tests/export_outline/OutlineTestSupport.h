#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/geometry/Segment.h"
#include "common/geometry/Vector2.h"
#include "exporter/geometry/OutlineAlgorithms.h"

namespace OutlineTest {

using Common::Segment;
using Common::Vector2d;
using Outline = std::vector<Vector2d>;

// The working frame turns the plan by an angle whose sine and cosine are not
// exact, so results carry rounding noise far below this.
constexpr double kNoise = 1e-9;

inline bool near(const Vector2d& a, const Vector2d& b)
{
    return std::fabs(a.x - b.x) < kNoise && std::fabs(a.y - b.y) < kNoise;
}

inline std::string show(const Vector2d& p)
{
    std::ostringstream out;
    out << "(" << p.x << ", " << p.y << ")";
    return out.str();
}

inline std::string show(const Segment& s)
{
    return show(s.start) + "->" + show(s.end);
}

inline std::string show(const std::vector<Segment>& list)
{
    std::string text;
    for (const auto& s : list) {
        text += show(s) + "\n";
    }
    return text;
}

inline Segment seg(double x0, double y0, double x1, double y1)
{
    return Segment{Vector2d(x0, y0), Vector2d(x1, y1)};
}

inline bool sameDirected(const Segment& a, const Segment& b)
{
    return near(a.start, b.start) && near(a.end, b.end);
}

inline bool sameUndirected(const Segment& a, const Segment& b)
{
    return sameDirected(a, b) || (near(a.start, b.end) && near(a.end, b.start));
}

// The same segments, same directions, same order.
inline void expectSegments(const std::vector<Segment>& actual, const std::vector<Segment>& expected)
{
    ASSERT_EQ(actual.size(), expected.size()) << show(actual);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(sameDirected(actual[i], expected[i]))
            << "segment " << i << ": " << show(actual[i]) << " expected " << show(expected[i]) << "\n"
            << show(actual);
    }
}

// The same segments in any order and direction (used where a shared edge may
// come from either room).
inline void expectSegmentSet(const std::vector<Segment>& actual, const std::vector<Segment>& expected)
{
    ASSERT_EQ(actual.size(), expected.size()) << show(actual);
    std::vector<bool> used(actual.size(), false);
    for (const auto& e : expected) {
        bool found = false;
        for (std::size_t i = 0; i < actual.size() && !found; ++i) {
            if (!used[i] && sameUndirected(actual[i], e)) {
                used[i] = true;
                found = true;
            }
        }
        EXPECT_TRUE(found) << "missing " << show(e) << "\n" << show(actual);
    }
}

inline void expectPoints(const Outline& actual, const Outline& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(near(actual[i], expected[i])) << "point " << i << ": " << show(actual[i]) << " expected " << show(expected[i]);
    }
}

// Same closed sequence, whatever point it starts with.
inline bool sameCycle(const Outline& actual, const Outline& expected)
{
    if (actual.size() != expected.size()) {
        return false;
    }
    for (std::size_t shift = 0; shift < actual.size(); ++shift) {
        bool all = true;
        for (std::size_t i = 0; i < actual.size() && all; ++i) {
            all = near(actual[(i + shift) % actual.size()], expected[i]);
        }
        if (all) {
            return true;
        }
    }
    return false;
}

}  // namespace OutlineTest
