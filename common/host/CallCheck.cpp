#include "common/host/CallCheck.h"

#include <cmath>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

#include "common/host/AutomationObject.h"

namespace Common {

using Common::VariantType;

Signature makeSignature(const std::string& args, VariantType result)
{
    Signature sig;
    sig.result = result;
    std::istringstream in(args);
    std::string token;
    while (in >> token) {
        std::size_t pos = 0;
        int count = 0;
        while (pos < token.size() && token[pos] >= '0' && token[pos] <= '9') {
            count = count * 10 + (token[pos] - '0');
            ++pos;
        }
        if (count == 0) {
            count = 1;
        }
        std::string name = token.substr(pos);
        bool byRef = false;
        if (!name.empty() && name.back() == '*') {
            byRef = true;
            name.pop_back();
        }
        VariantType type = VariantType::Empty;
        if (name == "I2") {
            type = VariantType::I2;
        } else if (name == "I4") {
            type = VariantType::I4;
        } else if (name == "UI1") {
            type = VariantType::UI1;
        } else if (name == "UI2") {
            type = VariantType::UI2;
        } else if (name == "UI4") {
            type = VariantType::UI4;
        } else if (name == "R8") {
            type = VariantType::R8;
        } else if (name == "T") {
            type = VariantType::Text;
        } else if (name == "A") {
            type = VariantType::DoubleArray;
        } else {
            throw std::logic_error("bad signature token " + token);
        }
        for (int i = 0; i < count; ++i) {
            sig.args.push_back(ArgumentSpec{type, byRef});
        }
    }
    return sig;
}

namespace {

// What is kept of an operation's list for the calling thread.
struct Parsed {
    std::string arguments;
    Signature signature;
    // The zero outputs, made at the first call that asks for them.
    std::optional<Common::Arguments> outputs;
};

Parsed& parsedOf(const HostOperation& op)
{
    // Parsed once per list and thread, not at every call: reading a plan
    // asks the host millions of times. The operations' lists are fixed texts,
    // so their address finds them; the text and result are compared as well,
    // so a list at an address used before by another is parsed again.
    thread_local std::unordered_map<const char*, Parsed> parsed;
    Parsed& entry = parsed[op.arguments];
    if (entry.arguments != op.arguments || entry.signature.result != op.result) {
        entry = Parsed{op.arguments, makeSignature(op.arguments, op.result), std::nullopt};
    }
    return entry;
}

}  // namespace

const Signature& signatureOf(const HostOperation& op) { return parsedOf(op).signature; }

std::string operationName(const char* object, int op) { return std::string(object) + " operation " + std::to_string(op); }

namespace {

std::string describe(VariantType type, bool byRef)
{
    return std::string(Common::variantTypeName(type)) + (byRef ? " by reference" : " by value");
}

}  // namespace

void checkArguments(const char* object, int op, const Signature& signature, const Common::Arguments& args)
{
    // The name is only made for a message: calls that pass, millions of them
    // when a plan is walked object by object, cost no string.
    const auto name = [&] { return operationName(object, op); };
    if (args.size() != signature.args.size()) {
        throw Common::HostError(op, name() + ": expected " + std::to_string(signature.args.size()) + " argument" +
                                        (signature.args.size() == 1 ? "" : "s") + ", got " +
                                        std::to_string(args.size()));
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ArgumentSpec& want = signature.args[i];
        const Common::Argument& got = args[i];
        if (got.value.type() != want.type) {
            throw Common::HostError(op, name() + ": argument " + std::to_string(i + 1) + ": expected " +
                                            describe(want.type, want.byRef) + ", got " +
                                            Common::variantTypeName(got.value.type()));
        }
        if (got.byRef != want.byRef) {
            throw Common::HostError(op, name() + ": argument " + std::to_string(i + 1) + ": expected " +
                                            describe(want.type, want.byRef) + ", got " +
                                            describe(got.value.type(), got.byRef));
        }
    }
}

void checkCall(const HostOperation& op, const Common::Arguments& args)
{
    checkArguments(op.side == HostSide::Application ? "application" : "document", op.dispatchNumber, signatureOf(op),
                   args);
}

Common::Arguments preparedOutputs(const HostOperation& op)
{
    // Made once per operation and copied at every call: a plan's reading
    // prepares the same few lists for every object it reads.
    Parsed& entry = parsedOf(op);
    if (!entry.outputs) {
        Common::Arguments out;
        out.reserve(entry.signature.args.size());
        for (const ArgumentSpec& slot : entry.signature.args) {
            if (!slot.byRef) {
                throw std::logic_error(operationName("document", op.dispatchNumber) + " takes inputs");
            }
            out.push_back(Common::Argument::out(numberAs(slot.type, 0.0)));
        }
        entry.outputs = std::move(out);
    }
    return *entry.outputs;
}

Common::Variant numberAs(VariantType type, double number)
{
    // Integers go through a 64-bit value first so that the narrowing below is
    // a plain two's-complement cut, never an out-of-range float conversion.
    std::int64_t whole = 0;
    if (std::isfinite(number) && std::fabs(number) < 9.2e18) {
        whole = static_cast<std::int64_t>(number);
    }
    switch (type) {
    case VariantType::I2: return Common::Variant::i2(static_cast<std::int16_t>(whole));
    case VariantType::I4: return Common::Variant::i4(static_cast<std::int32_t>(whole));
    case VariantType::UI1: return Common::Variant::ui1(static_cast<std::uint8_t>(whole));
    case VariantType::UI2: return Common::Variant::ui2(static_cast<std::uint16_t>(whole));
    case VariantType::UI4: return Common::Variant::ui4(static_cast<std::uint32_t>(whole));
    case VariantType::R8: return Common::Variant::r8(number);
    case VariantType::Text: return Common::Variant::text(L"");
    case VariantType::DoubleArray: return Common::Variant::doubles({});
    case VariantType::Empty: break;
    }
    return Common::Variant();
}

}  // namespace Common
