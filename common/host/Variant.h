#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace Common {

// The value types that cross the host automation boundary.
enum class VariantType { Empty, I2, I4, UI1, UI2, UI4, R8, Text, DoubleArray };

// One automation value; Empty is what an operation without a result gives.
//
// Walking a plan makes tens of millions of host calls, each answered with a
// small number, so the numbers are kept apart from the text and the array:
// making, copying and dropping a number touches neither, and only a value
// that holds text or an array pays for them.
class Variant {
public:
    Variant() noexcept : scalar_{} {}
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant()
    {
        if (holdsHeap()) {
            dropHeap();
        }
    }

    static Variant i2(std::int16_t v) { return number(VariantType::I2, Scalar{.i2 = v}); }
    static Variant i4(std::int32_t v) { return number(VariantType::I4, Scalar{.i4 = v}); }
    static Variant ui1(std::uint8_t v) { return number(VariantType::UI1, Scalar{.ui1 = v}); }
    static Variant ui2(std::uint16_t v) { return number(VariantType::UI2, Scalar{.ui2 = v}); }
    static Variant ui4(std::uint32_t v) { return number(VariantType::UI4, Scalar{.ui4 = v}); }
    static Variant r8(double v) { return number(VariantType::R8, Scalar{.r8 = v}); }
    static Variant text(std::wstring v);
    static Variant doubles(std::vector<double> v);

    VariantType type() const { return type_; }
    bool isEmpty() const { return type_ == VariantType::Empty; }

    // Typed access; asking for the wrong type throws std::bad_variant_access.
    std::int16_t asI2() const { return expect(VariantType::I2).scalar_.i2; }
    std::int32_t asI4() const { return expect(VariantType::I4).scalar_.i4; }
    std::uint8_t asUI1() const { return expect(VariantType::UI1).scalar_.ui1; }
    std::uint16_t asUI2() const { return expect(VariantType::UI2).scalar_.ui2; }
    std::uint32_t asUI4() const { return expect(VariantType::UI4).scalar_.ui4; }
    double asR8() const { return expect(VariantType::R8).scalar_.r8; }
    const std::wstring& asText() const { return expect(VariantType::Text).text_; }
    const std::vector<double>& asDoubles() const { return expect(VariantType::DoubleArray).doubles_; }

    // Any integer type widened to 64 bits; 0 for non-integer values.
    std::int64_t asInteger() const
    {
        switch (type_) {
        case VariantType::I2: return scalar_.i2;
        case VariantType::I4: return scalar_.i4;
        case VariantType::UI1: return scalar_.ui1;
        case VariantType::UI2: return scalar_.ui2;
        case VariantType::UI4: return scalar_.ui4;
        default: return 0;
        }
    }
    // Any numeric type as a double; 0 for non-numeric values.
    double asNumber() const
    {
        return type_ == VariantType::R8 ? scalar_.r8 : static_cast<double>(asInteger());
    }

    // Same type and equal value (numbers compare as numbers: NaN equals
    // nothing, -0.0 equals 0.0).
    bool operator==(const Variant& other) const;

private:
    union Scalar {
        std::int16_t i2;
        std::int32_t i4;
        std::uint8_t ui1;
        std::uint16_t ui2;
        std::uint32_t ui4;
        double r8;
    };

    static Variant number(VariantType type, Scalar value)
    {
        Variant out;
        out.type_ = type;
        out.scalar_ = value;
        return out;
    }
    bool holdsHeap() const { return type_ == VariantType::Text || type_ == VariantType::DoubleArray; }
    const Variant& expect(VariantType type) const
    {
        if (type_ != type) [[unlikely]] {
            throw std::bad_variant_access();
        }
        return *this;
    }
    // The slow paths, for text and arrays.
    void dropHeap() noexcept;
    void takeHeap(Variant&& other) noexcept;
    // Copying text or an array; copyHeap expects this value to hold neither.
    void copyHeap(const Variant& other);
    void assignHeap(const Variant& other);

    VariantType type_ = VariantType::Empty;
    // scalar_ is the live member for Empty and the numbers.
    union {
        Scalar scalar_;
        std::wstring text_;
        std::vector<double> doubles_;
    };
};

inline Variant::Variant(Variant&& other) noexcept : scalar_{}
{
    if (other.holdsHeap()) {
        takeHeap(std::move(other));
    } else {
        type_ = other.type_;
        scalar_ = other.scalar_;
    }
}

inline Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        if (holdsHeap()) {
            dropHeap();
        }
        if (other.holdsHeap()) {
            takeHeap(std::move(other));
        } else {
            type_ = other.type_;
            scalar_ = other.scalar_;
        }
    }
    return *this;
}

inline Variant::Variant(const Variant& other) : scalar_{}
{
    if (other.holdsHeap()) {
        copyHeap(other);
    } else {
        type_ = other.type_;
        scalar_ = other.scalar_;
    }
}

inline Variant& Variant::operator=(const Variant& other)
{
    if (other.holdsHeap()) {
        assignHeap(other);
        return *this;
    }
    if (holdsHeap()) {
        dropHeap();
    }
    type_ = other.type_;
    scalar_ = other.scalar_;
    return *this;
}

const char* variantTypeName(VariantType type);

// One argument of an automation call: an input value, or an output slot the
// host fills (passed by reference). An output slot starts with the type the
// caller prepared, and the host writes a value of that type back.
struct Argument {
    Variant value;
    bool byRef = false;

    static Argument in(Variant v) { return Argument{std::move(v), false}; }
    static Argument out(Variant prepared) { return Argument{std::move(prepared), true}; }
};

using Arguments = std::vector<Argument>;

}  // namespace Common
