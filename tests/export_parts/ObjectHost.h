#pragma once

// A scripted document holding a list of objects behind the host's object
// cursor (operations 62 to 65), each answering its reading operation through
// a fill function.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/host/HostDocument.h"
#include "support/ScriptedHost.h"

namespace PartsTest {

using Common::Argument;
using Common::Arguments;
using Common::Variant;
using Common::VariantType;

struct FakeObject {
    std::uint32_t type = 0;
    std::int16_t storey = 1;
    // Called for the object's reading operation (76 or 222).
    std::function<void(Arguments&)> fill;
    // When set, the first type answer of a pair (64 asked twice) differs.
    std::optional<std::uint32_t> firstTypeAnswer;
};

class ObjectHost {
public:
    ObjectHost() : host_(std::make_shared<TestSupport::ScriptedHost>()), document(host_)
    {
        host_->on(62, [this](Arguments&, Variant& r) {
            cursor_ = 0;
            typeAsked_ = 0;
            r = Variant::i4(objects.empty() ? 0 : 1);
        });
        host_->on(63, [this](Arguments&, Variant& r) {
            ++cursor_;
            typeAsked_ = 0;
            r = Variant::i4(cursor_ < objects.size() ? static_cast<std::int32_t>(cursor_ + 1) : 0);
        });
        host_->on(64, [this](Arguments&, Variant& r) {
            const FakeObject& o = objects.at(cursor_);
            const bool first = typeAsked_++ == 0;
            r = Variant::ui4(first && o.firstTypeAnswer ? *o.firstTypeAnswer : o.type);
        });
        host_->on(65, [this](Arguments&, Variant& r) { r = Variant::i2(objects.at(cursor_).storey); });
        auto read = [this](Arguments& args, Variant& r) {
            const FakeObject& o = objects.at(cursor_);
            if (o.fill) {
                o.fill(args);
            }
            r = Variant::i4(1);
        };
        host_->on(76, read);
        host_->on(222, read);
    }

    TestSupport::ScriptedHost& host() { return *host_; }

    std::vector<FakeObject> objects;

private:
    std::shared_ptr<TestSupport::ScriptedHost> host_;
    std::size_t cursor_ = 0;
    int typeAsked_ = 0;

public:
    Common::HostDocument document;
};

// Checks that the arguments are all output slots of the given types, in order.
inline void expectOutputs(const Arguments& args, const std::vector<VariantType>& types)
{
    ASSERT_EQ(args.size(), types.size());
    for (std::size_t i = 0; i < types.size(); ++i) {
        EXPECT_TRUE(args[i].byRef) << "argument " << i + 1;
        EXPECT_EQ(args[i].value.type(), types[i]) << "argument " << i + 1;
    }
}

inline std::vector<VariantType> repeated(std::initializer_list<std::pair<int, VariantType>> runs)
{
    std::vector<VariantType> out;
    for (const auto& [count, type] : runs) {
        out.insert(out.end(), static_cast<std::size_t>(count), type);
    }
    return out;
}

}  // namespace PartsTest
