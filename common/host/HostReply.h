#pragma once

// What the host filled in for one reading operation: the output arguments
// in the operation's order and the result.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/host/HostOperations.h"
#include "common/host/Variant.h"

namespace Common {

class HostReply {
public:
    HostReply(const HostOperation& op, Arguments args, Variant result)
        : op_(&op), args(std::move(args)), result(std::move(result))
    {
    }

    // The host answered that the current object is of the operation's kind.
    bool found() const { return result.asInteger() != 0; }

    // Values of output `index` (from 0). Numbers are taken from whatever
    // numeric type the host wrote; a text or array output holding another
    // type throws HostError naming the operation and the argument, and so
    // does an index beyond the list.
    double number(std::size_t index) const;
    std::int64_t integer(std::size_t index) const;
    std::uint16_t ui2(std::size_t index) const;
    std::wstring text(std::size_t index) const;
    std::vector<double> doubles(std::size_t index) const;
    // The raw value, for callers that decide themselves what a type means.
    const Variant& value(std::size_t index) const;

private:
    const HostOperation* op_;

public:
    Arguments args;
    Variant result;
};

}  // namespace Common
