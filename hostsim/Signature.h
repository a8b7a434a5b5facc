#pragma once

// The argument lists of the host operations, written compactly and checked
// on every call, so that a caller passing the wrong type, a value where an
// output is expected or the wrong number of arguments gets a clear error
// instead of a misread value.

#include <string>
#include <vector>

#include "common/host/Variant.h"

namespace HostSim {

struct ArgumentSpec {
    Common::VariantType type = Common::VariantType::Empty;
    bool byRef = false;
};

struct Signature {
    std::vector<ArgumentSpec> args;
    Common::VariantType result = Common::VariantType::Empty;
};

// Parses a list such as "A* UI2* T 2I4 8R8": tokens I2, I4, UI1, UI2, UI4,
// R8, T (text) and A (array of doubles), an optional repeat count in front
// and "*" behind for an argument the host fills.
Signature makeSignature(const std::string& args, Common::VariantType result);

// "document operation 77" style name used in messages.
std::string operationName(const char* object, int op);

// Throws Common::HostError naming the operation and the argument when `args`
// does not match `signature`.
void checkArguments(const char* object, int op, const Signature& signature, const Common::Arguments& args);

// A value of `type` holding `number` (integers wrap to the type's width as a
// cast would); Text and DoubleArray give empty values.
Common::Variant numberAs(Common::VariantType type, double number);

}  // namespace HostSim
