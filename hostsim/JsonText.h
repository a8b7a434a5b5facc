#pragma once

// Reading JSON text into the ordered document the plan file is kept in.

#include <cstddef>
#include <functional>
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

// Thrown when the text nests values deeper than allowed.
struct JsonTooDeep {};

// Receives an element of the plan's object list, numbered from 0 in order;
// it may take the element's value.
using ObjectListReader = std::function<void(std::size_t index, Json& element)>;

// Parses `text` into `root` as parseJsonText does, except that each element
// of the array "objects" of the top-level member "document" is handed to
// `list` as soon as it is complete and is not kept: that array is left
// empty. A plan of many objects is then never held whole as parsed text.
// Returns false when "document" or its "objects" is named twice: the
// elements handed over may then not be those the document keeps (a member
// keeps its last value), and the text must be read again by parseJsonText.
// Text that is not JSON throws as parseJsonText throws; a value opened
// inside `maxDepth` open ones throws JsonTooDeep as soon as it is met.
bool parseJsonTextHandingObjects(const std::string& text, Json& root, const ObjectListReader& list,
                                 std::size_t maxDepth);

}  // namespace HostSim
