#include <gtest/gtest.h>

#include <memory>

#include "common/host/Binding.h"
#include "support/ScriptedHost.h"

using namespace Common;
using TestSupport::ScriptedHost;

namespace {

std::shared_ptr<ScriptedHost> hostAnswering(int op, std::int32_t handle)
{
    auto host = std::make_shared<ScriptedHost>();
    host->on(op, [handle](Arguments&, Variant& result) { result = Variant::i4(handle); });
    return host;
}

class FakeTable : public RunningObjectTable {
public:
    std::vector<std::pair<std::wstring, std::shared_ptr<ScriptedHost>>> registered;
    std::shared_ptr<ScriptedHost> active;
    std::vector<std::wstring> activeAskedFor;

    std::vector<Entry> entries() override
    {
        std::vector<Entry> out;
        for (const auto& [name, object] : registered) {
            out.push_back(Entry{name, object});
        }
        return out;
    }
    std::shared_ptr<AutomationObject> activeObject(const std::wstring& progId) override
    {
        activeAskedFor.push_back(progId);
        return active;
    }
};

const std::wstring kApp = kHostApplicationProgId;
const std::wstring kDoc = kHostDocumentProgId;

}  // namespace

TEST(Binding, WalkBindsTheObjectWhoseWindowMatches)
{
    FakeTable table;
    auto other = hostAnswering(4, 100);
    auto ours = hostAnswering(4, 200);
    auto twin = hostAnswering(4, 200);
    auto document = hostAnswering(186, 200);
    table.registered = {{L"!" + kDoc + L":1", document},
                        {L"!" + kApp + L":1", other},
                        {L"!" + kApp + L":2", ours},
                        {L"!" + kApp + L":3", twin}};
    table.active = hostAnswering(4, 999);

    const HostObject bound = bindHostObject(table, kApp, 200);
    EXPECT_EQ(bound.get(), ours.get());
    EXPECT_EQ(other->ops(), std::vector<int>{4});
    EXPECT_EQ(ours->ops(), std::vector<int>{4});
    // The walk stops at the first match; documents are not asked for the
    // application.
    EXPECT_TRUE(twin->ops().empty());
    EXPECT_TRUE(document->ops().empty());
    EXPECT_TRUE(table.activeAskedFor.empty());
    // The object that did not match is not held.
    EXPECT_EQ(other.use_count(), 2);  // the test and the table
}

TEST(Binding, DocumentIsAskedWithItsOwnOperation)
{
    FakeTable table;
    auto app = hostAnswering(4, 300);
    auto document = hostAnswering(186, 300);
    table.registered = {{L"!" + kApp, app}, {L"!" + kDoc, document}};
    const HostObject bound = bindHostObject(table, kDoc, 300);
    EXPECT_EQ(bound.get(), document.get());
    EXPECT_EQ(document->ops(), std::vector<int>{186});
    EXPECT_TRUE(app->ops().empty());
}

TEST(Binding, FallsBackToActiveObject)
{
    FakeTable table;
    auto running = hostAnswering(4, 100);
    auto unnamed = hostAnswering(4, 200);
    table.registered = {{L"!" + kApp, running}, {kApp, unnamed}, {L"!DomoriaRavimo.Other", hostAnswering(4, 200)}};
    table.active = hostAnswering(4, 555);

    // No window matches: the active object.
    HostObject bound = bindHostObject(table, kApp, 200);
    EXPECT_EQ(bound.get(), table.active.get());
    EXPECT_EQ(running->ops(), std::vector<int>{4});
    // A display name without "!" is not looked at.
    EXPECT_TRUE(unnamed->ops().empty());
    EXPECT_EQ(table.activeAskedFor, std::vector<std::wstring>{kApp});

    // Handle 0 skips the walk altogether.
    running->calls.clear();
    bound = bindHostObject(table, kApp, 0);
    EXPECT_EQ(bound.get(), table.active.get());
    EXPECT_TRUE(running->ops().empty());

    // Nothing active either: the reference stays empty.
    table.active.reset();
    EXPECT_FALSE(bindHostObject(table, kApp, 200).isBound());
    EXPECT_FALSE(bindHostObject(table, kApp, 0).isBound());
}

TEST(Binding, HostThatFailsToAnswerIsPassedOver)
{
    FakeTable table;
    auto silent = std::make_shared<ScriptedHost>();  // op 4 not scripted: throws HostError
    auto ours = hostAnswering(4, 42);
    table.registered = {{L"!" + kApp, silent}, {L"!" + kApp, nullptr}, {L"!" + kApp, ours}};
    const HostObject bound = bindHostObject(table, kApp, 42);
    EXPECT_EQ(bound.get(), ours.get());
}
