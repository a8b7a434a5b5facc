#include "platform/windows/com/VariantConversion.h"

#include <algorithm>
#include <new>

namespace WinCom {

namespace {

BSTR makeText(const std::wstring& text)
{
    if (text.size() > 0x7FFFFFFFu / sizeof(wchar_t)) {
        throw std::bad_alloc();
    }
    BSTR out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (out == nullptr) {
        throw std::bad_alloc();
    }
    return out;
}

}  // namespace

SAFEARRAY* makeDoubleArray(const std::vector<double>& values)
{
    if (values.size() > 0x7FFFFFFFu) {
        throw std::bad_alloc();
    }
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
    if (array == nullptr) {
        throw std::bad_alloc();
    }
    if (!values.empty()) {
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(array, &data))) {
            SafeArrayDestroy(array);
            throw std::bad_alloc();
        }
        std::copy(values.begin(), values.end(), static_cast<double*>(data));
        SafeArrayUnaccessData(array);
    }
    return array;
}

std::vector<double> readDoubleArray(SAFEARRAY* array)
{
    if (array == nullptr) {
        return {};
    }
    VARTYPE type = VT_EMPTY;
    if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_R8 ||
        SafeArrayGetElemsize(array) != sizeof(double)) {
        throw VariantTypeError("an array that is not one-dimensional doubles");
    }
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper))) {
        throw VariantTypeError("an array without bounds");
    }
    if (upper < lower) {
        return {};
    }
    const std::size_t count = static_cast<std::size_t>(static_cast<LONGLONG>(upper) - lower + 1);
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
        throw VariantTypeError("an array whose data cannot be read");
    }
    const double* first = static_cast<const double*>(data);
    std::vector<double> values;
    try {
        values.assign(first, first + count);
    } catch (...) {
        SafeArrayUnaccessData(array);
        throw;
    }
    SafeArrayUnaccessData(array);
    return values;
}

void toVariant(const Common::Variant& value, VARIANT& out)
{
    VariantClear(&out);
    switch (value.type()) {
    case Common::VariantType::Empty: break;
    case Common::VariantType::I2: out.vt = VT_I2; out.iVal = value.asI2(); break;
    case Common::VariantType::I4: out.vt = VT_I4; out.lVal = value.asI4(); break;
    case Common::VariantType::UI1: out.vt = VT_UI1; out.bVal = value.asUI1(); break;
    case Common::VariantType::UI2: out.vt = VT_UI2; out.uiVal = value.asUI2(); break;
    case Common::VariantType::UI4: out.vt = VT_UI4; out.ulVal = value.asUI4(); break;
    case Common::VariantType::R8: out.vt = VT_R8; out.dblVal = value.asR8(); break;
    case Common::VariantType::Text:
        out.bstrVal = makeText(value.asText());
        out.vt = VT_BSTR;
        break;
    case Common::VariantType::DoubleArray:
        out.parray = makeDoubleArray(value.asDoubles());
        out.vt = VT_ARRAY | VT_R8;
        break;
    }
}

Common::Variant fromVariant(const VARIANT& value)
{
    switch (value.vt) {
    case VT_EMPTY: return Common::Variant();
    case VT_I2: return Common::Variant::i2(value.iVal);
    case VT_I4: return Common::Variant::i4(value.lVal);
    case VT_UI1: return Common::Variant::ui1(value.bVal);
    case VT_UI2: return Common::Variant::ui2(value.uiVal);
    case VT_UI4: return Common::Variant::ui4(value.ulVal);
    case VT_R8: return Common::Variant::r8(value.dblVal);
    case VT_BSTR:
        return Common::Variant::text(value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal))
                                                   : std::wstring());
    case VT_ARRAY | VT_R8: return Common::Variant::doubles(readDoubleArray(value.parray));
    default: break;
    }
    throw VariantTypeError("a value of type " + variantTypeName(value.vt));
}

std::string variantTypeName(VARTYPE type)
{
    std::string name;
    if (type & VT_BYREF) {
        name += "VT_BYREF|";
    }
    if (type & VT_ARRAY) {
        name += "VT_ARRAY|";
    }
    switch (type & VT_TYPEMASK) {
    case VT_EMPTY: return name + "VT_EMPTY";
    case VT_NULL: return name + "VT_NULL";
    case VT_I2: return name + "VT_I2";
    case VT_I4: return name + "VT_I4";
    case VT_R4: return name + "VT_R4";
    case VT_R8: return name + "VT_R8";
    case VT_BSTR: return name + "VT_BSTR";
    case VT_DISPATCH: return name + "VT_DISPATCH";
    case VT_ERROR: return name + "VT_ERROR";
    case VT_BOOL: return name + "VT_BOOL";
    case VT_VARIANT: return name + "VT_VARIANT";
    case VT_UNKNOWN: return name + "VT_UNKNOWN";
    case VT_I1: return name + "VT_I1";
    case VT_UI1: return name + "VT_UI1";
    case VT_UI2: return name + "VT_UI2";
    case VT_UI4: return name + "VT_UI4";
    case VT_I8: return name + "VT_I8";
    case VT_UI8: return name + "VT_UI8";
    case VT_INT: return name + "VT_INT";
    case VT_UINT: return name + "VT_UINT";
    default: break;
    }
    return name + "VT " + std::to_string(type & VT_TYPEMASK);
}

}  // namespace WinCom
