#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace Common {

// The value types that cross the host automation boundary.
enum class VariantType { Empty, I2, I4, UI1, UI2, UI4, R8, Text, DoubleArray };

// One automation value. The active alternative is the value's type; Empty is
// what an operation without a result gives.
class Variant {
public:
    using Value = std::variant<std::monostate, std::int16_t, std::int32_t, std::uint8_t, std::uint16_t, std::uint32_t,
                               double, std::wstring, std::vector<double>>;

    Variant() = default;
    static Variant i2(std::int16_t v) { return make<1>(v); }
    static Variant i4(std::int32_t v) { return make<2>(v); }
    static Variant ui1(std::uint8_t v) { return make<3>(v); }
    static Variant ui2(std::uint16_t v) { return make<4>(v); }
    static Variant ui4(std::uint32_t v) { return make<5>(v); }
    static Variant r8(double v) { return make<6>(v); }
    static Variant text(std::wstring v) { return make<7>(std::move(v)); }
    static Variant doubles(std::vector<double> v) { return make<8>(std::move(v)); }

    VariantType type() const { return static_cast<VariantType>(value_.index()); }
    bool isEmpty() const { return value_.index() == 0; }

    // Typed access; asking for the wrong type throws std::bad_variant_access.
    std::int16_t asI2() const { return std::get<1>(value_); }
    std::int32_t asI4() const { return std::get<2>(value_); }
    std::uint8_t asUI1() const { return std::get<3>(value_); }
    std::uint16_t asUI2() const { return std::get<4>(value_); }
    std::uint32_t asUI4() const { return std::get<5>(value_); }
    double asR8() const { return std::get<6>(value_); }
    const std::wstring& asText() const { return std::get<7>(value_); }
    const std::vector<double>& asDoubles() const { return std::get<8>(value_); }

    // Any integer type widened to 64 bits; 0 for non-integer values.
    std::int64_t asInteger() const;
    // Any numeric type as a double; 0 for non-numeric values.
    double asNumber() const;

    const Value& value() const { return value_; }
    Value& value() { return value_; }

    bool operator==(const Variant& other) const { return value_ == other.value_; }

private:
    // Emplacing into a default-constructed value (rather than constructing a
    // temporary Value) keeps GCC 12's optimiser from a false
    // free-nonheap-object warning in release builds.
    template <std::size_t Index, typename T>
    static Variant make(T&& v)
    {
        Variant out;
        out.value_.template emplace<Index>(std::forward<T>(v));
        return out;
    }
    Value value_;
};

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
