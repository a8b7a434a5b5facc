#pragma once

// A host automation object for unit tests: each operation answers through a
// handler the test installs, and every call is recorded. Calls are checked
// against the host's operation table first (known operation, argument count,
// types, outputs), as the simulated host checks them, so that a caller
// sending a wrong list fails its test here too.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/host/AutomationObject.h"
#include "common/host/CallCheck.h"
#include "common/host/HostOperations.h"

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
        Common::checkCall(known(op, false), args);
        const auto it = handlers_.find(op);
        if (it == handlers_.end()) {
            throw Common::HostError(op, "operation " + std::to_string(op) + " not scripted");
        }
        it->second(args, result);
        calls.push_back(RecordedCall{op, false, args, result});
    }

    void putProperty(int op, const Common::Variant& value) override
    {
        Common::checkCall(known(op, true), Common::Arguments{Common::Argument::in(value)});
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
    // The operation of either object with that number (the application's and
    // the document's numbers do not overlap).
    static const Common::HostOperation& known(int op, bool put)
    {
        for (Common::HostSide side : {Common::HostSide::Document, Common::HostSide::Application}) {
            if (const Common::HostOperation* found = Common::findHostOperation(side, op, put)) {
                return *found;
            }
        }
        throw Common::HostError(op, "operation " + std::to_string(op) + " is not one the host has");
    }

    std::map<int, Handler> handlers_;
};

}  // namespace TestSupport
