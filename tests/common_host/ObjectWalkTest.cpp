#include <gtest/gtest.h>

#include <memory>

#include "common/host/ObjectWalk.h"
#include "support/ScriptedHost.h"

using namespace Common;

TEST(HostObjectWalk, ACursorThatNeverEndsIsStoppedAtTheBound)
{
    const ScopedHostObjectWalkLimit limit(10);
    auto host = std::make_shared<TestSupport::ScriptedHost>();
    host->on(62, [](Arguments&, Variant& r) { r = Variant::i4(1); });
    host->on(63, [](Arguments&, Variant& r) { r = Variant::i4(1); });
    HostDocument document(host);
    int visits = 0;
    try {
        forEachHostObject(document, [&] { ++visits; });
        ADD_FAILURE() << "the walk did not stop";
    } catch (const HostError& error) {
        EXPECT_EQ(error.dispatchNumber(), 63);
        EXPECT_STREQ(error.what(), "the host's object list did not come to an end after 10 objects");
    }
    EXPECT_EQ(visits, 10);

    int nextObjects = 9;
    host->on(63, [&](Arguments&, Variant& r) { r = Variant::i4(nextObjects-- > 0 ? 1 : 0); });
    visits = 0;
    forEachHostObject(document, [&] { ++visits; });
    EXPECT_EQ(visits, 10);  // ten objects: exactly the bound is fine

    // A visit answering false ends the walk where it stands.
    nextObjects = 9;
    visits = 0;
    forEachHostObject(document, [&] { return ++visits < 3; });
    EXPECT_EQ(visits, 3);
    EXPECT_EQ(nextObjects, 7);  // the cursor moved on twice, not a third time
}

TEST(HostObjectWalk, TheBoundComesBackAfterATestLoweredIt)
{
    {
        const ScopedHostObjectWalkLimit limit(5);
        EXPECT_EQ(hostObjectWalkLimit(), 5);
    }
    EXPECT_EQ(hostObjectWalkLimit(), kMaxHostObjectsPerWalk);
}
