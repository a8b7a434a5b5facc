#include "exporter/reading/HostReading.h"

namespace Exporter {

namespace {

const Common::Variant& slot(int op, const Common::Arguments& args, std::size_t index)
{
    if (index >= args.size()) {
        throw Common::HostError(op, "operation " + std::to_string(op) + " has no argument " +
                                        std::to_string(index + 1));
    }
    return args[index].value;
}

[[noreturn]] void wrongType(int op, std::size_t index, Common::VariantType expected, Common::VariantType got)
{
    throw Common::HostError(op, "operation " + std::to_string(op) + " returned argument " + std::to_string(index + 1) +
                                    " as " + Common::variantTypeName(got) + ", expected " +
                                    Common::variantTypeName(expected));
}

}  // namespace

std::uint32_t currentObjectType(Common::HostObject& document)
{
    return static_cast<std::uint32_t>(document.call(64).asInteger());
}

std::int16_t currentObjectStorey(Common::HostObject& document)
{
    return static_cast<std::int16_t>(document.call(65).asInteger());
}

Common::Argument outUI1() { return Common::Argument::out(Common::Variant::ui1(0)); }
Common::Argument outUI2() { return Common::Argument::out(Common::Variant::ui2(0)); }
Common::Argument outUI4() { return Common::Argument::out(Common::Variant::ui4(0)); }
Common::Argument outR8() { return Common::Argument::out(Common::Variant::r8(0.0)); }
Common::Argument outText() { return Common::Argument::out(Common::Variant::text(std::wstring())); }
Common::Argument outDoubles() { return Common::Argument::out(Common::Variant::doubles({})); }

std::uint16_t argUI2(int op, const Common::Arguments& args, std::size_t index)
{
    return static_cast<std::uint16_t>(slot(op, args, index).asInteger());
}

double argR8(int op, const Common::Arguments& args, std::size_t index)
{
    return slot(op, args, index).asNumber();
}

std::wstring argText(int op, const Common::Arguments& args, std::size_t index)
{
    const Common::Variant& v = slot(op, args, index);
    if (v.type() != Common::VariantType::Text) {
        wrongType(op, index, Common::VariantType::Text, v.type());
    }
    return v.asText();
}

std::vector<double> argDoubles(int op, const Common::Arguments& args, std::size_t index)
{
    const Common::Variant& v = slot(op, args, index);
    if (v.type() != Common::VariantType::DoubleArray) {
        wrongType(op, index, Common::VariantType::DoubleArray, v.type());
    }
    return v.asDoubles();
}

}  // namespace Exporter
