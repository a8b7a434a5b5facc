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
    unbound.call(HostOps::ReadRoom, args, result);
    EXPECT_EQ(result, Variant::i4(-7));
    EXPECT_EQ(args[0].value, Variant::r8(1.5));
    EXPECT_TRUE(unbound.call(HostOps::CursorToFirst).isEmpty());
    unbound.put(HostOps::SetRebuilding, Variant::ui2(1));
}

TEST(HostObject, BoundCallsReachTheHostAndFailuresPropagate)
{
    auto host = std::make_shared<ScriptedHost>();
    host->on(93, [](Arguments&, Variant& result) { result = Variant::r8(910.0); });
    host->on(38, [](Arguments&, Variant& result) { result = Variant::i2(2); });
    HostObject bound(host);
    EXPECT_EQ(bound.call(HostOps::GridModule), Variant::r8(910.0));
    EXPECT_EQ(bound.call(HostOps::CurrentStorey).asInteger(), 2);
    bound.put(HostOps::SetRebuilding, Variant::ui2(1));
    EXPECT_EQ(host->ops(), (std::vector<int>{93, 38, 179}));
    EXPECT_TRUE(host->calls.back().put);

    try {
        bound.call(HostOps::CursorToFirst);
        FAIL() << "an unscripted operation must raise";
    } catch (const HostError& error) {
        EXPECT_EQ(error.dispatchNumber(), 62);
    }

    bound.release();
    EXPECT_FALSE(bound.isBound());
    EXPECT_TRUE(bound.call(HostOps::GridModule).isEmpty());
}

TEST(HostObject, TestDoublesRefuseCallsThatDoNotMatchTheOperationTable)
{
    auto host = std::make_shared<ScriptedHost>();
    host->on(HostOps::SelectStorey.dispatchNumber, [](Arguments&, Variant&) {});
    HostObject bound(host);
    const auto refused = [&](Arguments args, const std::string& expected) {
        try {
            bound.call(HostOps::SelectStorey, args);
            ADD_FAILURE() << "accepted";
        } catch (const HostError& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
        }
    };
    refused({}, "expected 1 argument, got 0");
    refused({Argument::in(Variant::i4(1))}, "argument 1: expected I2");
    refused({Argument::out(Variant::i2(1))}, "by reference");
    Arguments right{Argument::in(Variant::i2(1))};
    bound.call(HostOps::SelectStorey, right);
    EXPECT_EQ(host->ops(), (std::vector<int>{39}));

    // An operation the host does not have, and a property that is not one.
    Arguments none;
    Variant result;
    EXPECT_THROW(host->invoke(1234, none, result), HostError);
    EXPECT_THROW(host->putProperty(HostOps::GridModule.dispatchNumber, Variant::r8(1)), HostError);
}
