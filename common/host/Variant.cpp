#include "common/host/Variant.h"

#include <memory>

namespace Common {

Variant Variant::text(std::wstring v)
{
    Variant out;
    std::construct_at(&out.text_, std::move(v));
    out.type_ = VariantType::Text;
    return out;
}

Variant Variant::doubles(std::vector<double> v)
{
    Variant out;
    std::construct_at(&out.doubles_, std::move(v));
    out.type_ = VariantType::DoubleArray;
    return out;
}

void Variant::dropHeap() noexcept
{
    if (type_ == VariantType::Text) {
        std::destroy_at(&text_);
    } else {
        std::destroy_at(&doubles_);
    }
    type_ = VariantType::Empty;
    std::construct_at(&scalar_);
}

// Expects this value to hold no text or array. Like a moved std::wstring or
// std::vector, `other` keeps its type with an emptied value.
void Variant::takeHeap(Variant&& other) noexcept
{
    if (other.type_ == VariantType::Text) {
        std::construct_at(&text_, std::move(other.text_));
    } else {
        std::construct_at(&doubles_, std::move(other.doubles_));
    }
    type_ = other.type_;
}

void Variant::copyHeap(const Variant& other)
{
    Variant copy = other.type_ == VariantType::Text ? text(other.text_) : doubles(other.doubles_);
    takeHeap(std::move(copy));
}

void Variant::assignHeap(const Variant& other)
{
    if (this != &other) {
        // Copied before this value is dropped, so that a failed copy
        // leaves it as it was.
        Variant copy(other);
        *this = std::move(copy);
    }
}

bool Variant::operator==(const Variant& other) const
{
    if (type_ != other.type_) {
        return false;
    }
    switch (type_) {
    case VariantType::Empty: return true;
    case VariantType::I2: return scalar_.i2 == other.scalar_.i2;
    case VariantType::I4: return scalar_.i4 == other.scalar_.i4;
    case VariantType::UI1: return scalar_.ui1 == other.scalar_.ui1;
    case VariantType::UI2: return scalar_.ui2 == other.scalar_.ui2;
    case VariantType::UI4: return scalar_.ui4 == other.scalar_.ui4;
    case VariantType::R8: return scalar_.r8 == other.scalar_.r8;
    case VariantType::Text: return text_ == other.text_;
    case VariantType::DoubleArray: return doubles_ == other.doubles_;
    }
    return false;
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
