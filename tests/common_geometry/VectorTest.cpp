#include <gtest/gtest.h>

#include "common/geometry/Vector2.h"

using Common::Vector2d;

TEST(Vector2, DivisionByZeroAndUnitOfZeroGiveZero)
{
    const Vector2d v(3, 4);
    EXPECT_EQ(v / 0.0, Vector2d(0, 0));
    EXPECT_EQ(Vector2d().unit(), Vector2d(0, 0));
    EXPECT_DOUBLE_EQ(v.unit().x, 0.6);
    EXPECT_EQ(v[5], 3.0);
    EXPECT_EQ(v[1], 4.0);
}
