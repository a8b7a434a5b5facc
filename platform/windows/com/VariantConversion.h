#pragma once

// Conversions between the host boundary's values and COM's VARIANTs, used
// on both sides of a call: by the converters calling the host and by the
// simulated host answering them.

#include <windows.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/host/Variant.h"

namespace WinCom {

// A VARIANT that cannot be one of the boundary's values (another type, an
// array that is not one-dimensional doubles).
class VariantTypeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A VARIANT cleared when it goes out of scope.
class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&v_); }
    ~OwnedVariant() { VariantClear(&v_); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    VARIANT* get() { return &v_; }
    const VARIANT& operator*() const { return v_; }

private:
    VARIANT v_;
};

// Fills `out` (cleared first) with `value` by value: VT_I2, VT_I4, VT_UI1,
// VT_UI2, VT_UI4, VT_R8, VT_BSTR, VT_ARRAY | VT_R8, or VT_EMPTY.
// Throws std::bad_alloc when COM's allocator fails.
void toVariant(const Common::Variant& value, VARIANT& out);

// The value a VARIANT holds by value. Throws VariantTypeError for any other
// type.
Common::Variant fromVariant(const VARIANT& value);

// A safe array of doubles made from `values`; throws std::bad_alloc.
SAFEARRAY* makeDoubleArray(const std::vector<double>& values);
// The doubles of a one-dimensional safe array of VT_R8; throws
// VariantTypeError for any other array.
std::vector<double> readDoubleArray(SAFEARRAY* array);

// Names a VARIANT type for messages ("VT_I2", "VT_ARRAY|VT_R8", "VT_BYREF|VT_I4").
std::string variantTypeName(VARTYPE type);

}  // namespace WinCom
