#pragma once

// Small helpers for the reading passes: walking the host's object cursor and
// taking typed values out of the output arguments the host filled in.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/host/HostObject.h"

namespace Exporter {

// Upper bound on the objects one walk visits. A host whose cursor never
// reports the end would otherwise keep a pass running for ever; no real plan
// comes near this count.
inline constexpr std::int64_t kMaxHostObjectsPerWalk = 50'000'000;

// Puts the cursor on every object of the plan in turn (operations 62, 63)
// and calls visit() while it stands there. Throws Common::HostError when the
// cursor does not come to an end within `limit` objects.
template <typename Visit>
void forEachHostObject(Common::HostObject& document, Visit&& visit,
                       std::int64_t limit = kMaxHostObjectsPerWalk)
{
    std::int64_t visited = 0;
    for (std::int64_t more = document.call(62).asInteger(); more != 0; more = document.call(63).asInteger()) {
        if (++visited > limit) {
            throw Common::HostError(63, "the host's object list did not come to an end after " +
                                            std::to_string(limit) + " objects");
        }
        visit();
    }
}

// Type number of the object under the cursor (operation 64).
std::uint32_t currentObjectType(Common::HostObject& document);
// Storey number of the object under the cursor (operation 65).
std::int16_t currentObjectStorey(Common::HostObject& document);

// Prepared output slots of the listed types.
Common::Argument outUI1();
Common::Argument outUI2();
Common::Argument outUI4();
Common::Argument outR8();
Common::Argument outText();
Common::Argument outDoubles();

// Values of output slot `index` after operation `op`. Numbers are taken from
// whatever numeric type the host wrote; a text or array slot holding another
// type throws Common::HostError naming the operation and the argument.
std::uint16_t argUI2(int op, const Common::Arguments& args, std::size_t index);
double argR8(int op, const Common::Arguments& args, std::size_t index);
std::wstring argText(int op, const Common::Arguments& args, std::size_t index);
std::vector<double> argDoubles(int op, const Common::Arguments& args, std::size_t index);

}  // namespace Exporter
