#pragma once

// A host automation object for unit tests: each operation answers through a
// handler the test installs, and every call is recorded.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/host/AutomationObject.h"

namespace TestSupport {

struct RecordedCall {
    int op = 0;
    bool put = false;
    Common::Arguments args;  // as filled in after the call
    Common::Variant result;
};

class ScriptedHost : public Common::AutomationObject {
public:
    using Handler = std::function<void(Common::Arguments&, Common::Variant&)>;

    // Installs the handler of an operation (replacing an earlier one).
    void on(int op, Handler handler) { handlers_[op] = std::move(handler); }

    void invoke(int op, Common::Arguments& args, Common::Variant& result) override
    {
        const auto it = handlers_.find(op);
        if (it == handlers_.end()) {
            throw Common::HostError(op, "operation " + std::to_string(op) + " not scripted");
        }
        it->second(args, result);
        calls.push_back(RecordedCall{op, false, args, result});
    }

    void putProperty(int op, const Common::Variant& value) override
    {
        calls.push_back(RecordedCall{op, true, Common::Arguments{Common::Argument::in(value)}, Common::Variant()});
    }

    // The operation numbers called so far, in order.
    std::vector<int> ops() const
    {
        std::vector<int> out;
        for (const RecordedCall& c : calls) {
            out.push_back(c.op);
        }
        return out;
    }

    std::vector<RecordedCall> calls;

private:
    std::map<int, Handler> handlers_;
};

}  // namespace TestSupport
