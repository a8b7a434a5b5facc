#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/host/Variant.h"

using Common::Variant;
using Common::VariantType;

namespace {

// One value of every kind, text and array long enough to live on the heap.
std::vector<Variant> everyKind()
{
    return {Variant(),
            Variant::i2(-2),
            Variant::i4(-70000),
            Variant::ui1(200),
            Variant::ui2(60000),
            Variant::ui4(4000000000u),
            Variant::r8(-0.5),
            Variant::text(L"一階の居間、南向きの掃き出し窓のある部屋"),
            Variant::doubles({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})};
}

}  // namespace

TEST(Variant, CopiesAndMovesBetweenEveryPairOfKindsKeepTheValue)
{
    const std::vector<Variant> kinds = everyKind();
    for (const Variant& from : kinds) {
        for (const Variant& to : kinds) {
            Variant copied = to;
            copied = from;
            EXPECT_EQ(copied, from);
            EXPECT_EQ(copied.type(), from.type());

            Variant source = from;
            Variant moved = to;
            moved = std::move(source);
            EXPECT_EQ(moved, from);

            Variant constructed(std::move(moved));
            EXPECT_EQ(constructed, from);
        }
    }
    Variant self = Variant::text(L"壁");
    const Variant& alias = self;
    self = alias;
    EXPECT_EQ(self.asText(), L"壁");
}

TEST(Variant, EqualityNeedsTheSameTypeAndComparesNumbersAsNumbers)
{
    EXPECT_NE(Variant::i2(1), Variant::i4(1));
    EXPECT_NE(Variant(), Variant::i4(0));
    EXPECT_NE(Variant::text(L""), Variant::doubles({}));
    EXPECT_EQ(Variant::r8(0.0), Variant::r8(-0.0));
    EXPECT_NE(Variant::r8(NAN), Variant::r8(NAN));
    EXPECT_NE(Variant::doubles({1, 2}), Variant::doubles({1, 2, 3}));
}

TEST(Variant, TypedReadsAndWideningFollowTheType)
{
    EXPECT_EQ(Variant::ui4(4000000000u).asInteger(), 4000000000LL);
    EXPECT_EQ(Variant::i2(-2).asInteger(), -2);
    EXPECT_EQ(Variant::r8(2.5).asInteger(), 0);
    EXPECT_EQ(Variant::text(L"3").asNumber(), 0.0);
    EXPECT_EQ(Variant::ui1(200).asNumber(), 200.0);
    EXPECT_THROW(Variant::i2(1).asI4(), std::bad_variant_access);
    EXPECT_THROW(Variant::r8(1).asText(), std::bad_variant_access);
    EXPECT_THROW(Variant().asDoubles(), std::bad_variant_access);
}
