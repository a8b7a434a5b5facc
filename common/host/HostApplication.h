#pragma once

#include <cstdint>
#include <string>

#include "common/host/HostObject.h"

namespace Common {

// The host's application object, its operations by name.
class HostApplication : public HostObject {
public:
    HostApplication() = default;
    HostApplication(HostObject bound) : HostObject(std::move(bound)) {}  // NOLINT: a bound reference becomes one
    explicit HostApplication(std::shared_ptr<AutomationObject> object) : HostObject(std::move(object)) {}

    // The host's version text; empty when the host gives none.
    std::wstring version();
    // The folder the host is installed in; empty when the host gives none.
    std::wstring hostFolder();
    std::int32_t windowHandle();
};

}  // namespace Common
