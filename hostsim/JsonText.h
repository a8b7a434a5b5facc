#pragma once

// Reading JSON text into the ordered document the plan file is kept in.

#include <string>

#include "hostsim/PlanDocument.h"

namespace HostSim {

// Parses `text` as Json::parse does: the same values in the same member
// order, a member named twice keeping its first place and its last value,
// and the same Json::exception (with the same message) for text that is not
// JSON. Unlike Json::parse, a new member is not compared with every earlier
// one of its object, so an object of many members (the storey flags of a
// tall plan) takes linear time.
Json parseJsonText(const std::string& text);

}  // namespace HostSim
