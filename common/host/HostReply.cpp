#include "common/host/HostReply.h"

#include "common/host/AutomationObject.h"

namespace Common {

namespace {

[[noreturn]] void wrongType(int op, std::size_t index, VariantType expected, VariantType got)
{
    throw HostError(op, "operation " + std::to_string(op) + " returned argument " + std::to_string(index + 1) +
                            " as " + variantTypeName(got) + ", expected " + variantTypeName(expected));
}

}  // namespace

const Variant& HostReply::value(std::size_t index) const
{
    if (index >= args.size()) {
        throw HostError(op_->dispatchNumber, "operation " + std::to_string(op_->dispatchNumber) +
                                                 " has no argument " + std::to_string(index + 1));
    }
    return args[index].value;
}

double HostReply::number(std::size_t index) const { return value(index).asNumber(); }

std::int64_t HostReply::integer(std::size_t index) const { return value(index).asInteger(); }

std::uint16_t HostReply::ui2(std::size_t index) const { return static_cast<std::uint16_t>(integer(index)); }

std::wstring HostReply::text(std::size_t index) const
{
    const Variant& v = value(index);
    if (v.type() != VariantType::Text) {
        wrongType(op_->dispatchNumber, index, VariantType::Text, v.type());
    }
    return v.asText();
}

std::vector<double> HostReply::doubles(std::size_t index) const
{
    const Variant& v = value(index);
    if (v.type() != VariantType::DoubleArray) {
        wrongType(op_->dispatchNumber, index, VariantType::DoubleArray, v.type());
    }
    return v.asDoubles();
}

}  // namespace Common
