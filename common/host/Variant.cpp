#include "common/host/Variant.h"

namespace Common {

std::int64_t Variant::asInteger() const
{
    switch (type()) {
    case VariantType::I2: return asI2();
    case VariantType::I4: return asI4();
    case VariantType::UI1: return asUI1();
    case VariantType::UI2: return asUI2();
    case VariantType::UI4: return asUI4();
    default: return 0;
    }
}

double Variant::asNumber() const
{
    if (type() == VariantType::R8) {
        return asR8();
    }
    return static_cast<double>(asInteger());
}

const char* variantTypeName(VariantType type)
{
    switch (type) {
    case VariantType::Empty: return "empty";
    case VariantType::I2: return "I2";
    case VariantType::I4: return "I4";
    case VariantType::UI1: return "UI1";
    case VariantType::UI2: return "UI2";
    case VariantType::UI4: return "UI4";
    case VariantType::R8: return "R8";
    case VariantType::Text: return "text";
    case VariantType::DoubleArray: return "array of doubles";
    }
    return "unknown";
}

}  // namespace Common
