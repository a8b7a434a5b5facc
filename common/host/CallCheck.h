#pragma once

// Checking a call against the argument list of its operation, so that a
// caller passing the wrong type, a value where an output is expected or the
// wrong number of arguments gets a clear error instead of a misread value.
// The simulated host and the test doubles check every call they answer.

#include <string>
#include <vector>

#include "common/host/HostOperations.h"
#include "common/host/Variant.h"

namespace Common {

struct ArgumentSpec {
    Common::VariantType type = Common::VariantType::Empty;
    bool byRef = false;
};

struct Signature {
    std::vector<ArgumentSpec> args;
    Common::VariantType result = Common::VariantType::Empty;
};

// Parses a list such as "A* UI2* T 2I4 8R8" (see HostOperations.h).
Signature makeSignature(const std::string& args, Common::VariantType result);
// The parsed argument list of `op`, kept for the calling thread until a
// list at the same address differs.
const Signature& signatureOf(const HostOperation& op);

// "document operation 77" style name used in messages.
std::string operationName(const char* object, int op);

// Throws Common::HostError naming the operation and the argument when `args`
// does not match `signature`.
void checkArguments(const char* object, int op, const Signature& signature, const Common::Arguments& args);
// The same for a call of `op`.
void checkCall(const HostOperation& op, const Common::Arguments& args);

// The output slots of `op`, each prepared with the zero (or empty) value of
// its listed type; inputs are not prepared (the list is only right for an
// operation whose arguments the host fills).
Common::Arguments preparedOutputs(const HostOperation& op);

// A value of `type` holding `number` (integers wrap to the type's width as a
// cast would); Text and DoubleArray give empty values.
Common::Variant numberAs(Common::VariantType type, double number);

}  // namespace Common
