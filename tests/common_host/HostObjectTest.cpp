#include <gtest/gtest.h>

#include <memory>

#include "common/host/HostObject.h"
#include "support/ScriptedHost.h"

using namespace Common;
using TestSupport::ScriptedHost;

TEST(HostObject, UnboundCallsLeaveValuesAsPrepared)
{
    HostObject unbound;
    EXPECT_FALSE(unbound.isBound());
    Arguments args{Argument::out(Variant::r8(1.5)), Argument::in(Variant::i2(3))};
    Variant result = Variant::i4(-7);
    unbound.call(73, args, result);
    EXPECT_EQ(result, Variant::i4(-7));
    EXPECT_EQ(args[0].value, Variant::r8(1.5));
    EXPECT_TRUE(unbound.call(62).isEmpty());
    unbound.put(179, Variant::ui2(1));
}

TEST(HostObject, BoundCallsReachTheHostAndFailuresPropagate)
{
    auto host = std::make_shared<ScriptedHost>();
    host->on(93, [](Arguments&, Variant& result) { result = Variant::r8(910.0); });
    host->on(38, [](Arguments&, Variant& result) { result = Variant::i2(2); });
    HostObject bound(host);
    EXPECT_EQ(bound.call(93), Variant::r8(910.0));
    EXPECT_EQ(bound.call(38).asInteger(), 2);
    bound.put(179, Variant::ui2(1));
    EXPECT_EQ(host->ops(), (std::vector<int>{93, 38, 179}));
    EXPECT_TRUE(host->calls.back().put);

    try {
        bound.call(62);
        FAIL() << "an unscripted operation must raise";
    } catch (const HostError& error) {
        EXPECT_EQ(error.dispatchNumber(), 62);
    }

    bound.release();
    EXPECT_FALSE(bound.isBound());
    EXPECT_TRUE(bound.call(93).isEmpty());
}
