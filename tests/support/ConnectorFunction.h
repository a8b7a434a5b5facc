#pragma once

#include <functional>
#include <utility>

#include "common/app/ProgramRun.h"

namespace TestSupport {

// A host connector made of one function, for runs whose host a test
// supplies.
class ConnectorFunction : public Common::HostConnector {
public:
    using Connect = std::function<Common::RunningObjectTable*(const Common::ProgramOptions&)>;
    explicit ConnectorFunction(Connect connect) : connect_(std::move(connect)) {}
    // A connector that ignores the options.
    template <typename F>
        requires std::is_invocable_r_v<Common::RunningObjectTable*, F>
    explicit ConnectorFunction(F connect) : connect_([connect](const Common::ProgramOptions&) { return connect(); })
    {
    }

    Common::RunningObjectTable* connect(const Common::ProgramOptions& options) override { return connect_(options); }

private:
    Connect connect_;
};

}  // namespace TestSupport
