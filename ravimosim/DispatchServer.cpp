#include "ravimosim/DispatchServer.h"

#include <new>
#include <string>
#include <vector>

#include "platform/windows/com/ComError.h"
#include "platform/windows/com/VariantConversion.h"

namespace RavimoSim {

namespace {

using WinCom::VariantTypeError;

// One argument as the host's objects take it: a value, or an output with the
// value the caller prepared.
Common::Argument readArgument(const VARIANTARG& a)
{
    if ((a.vt & VT_BYREF) == 0) {
        return Common::Argument::in(WinCom::fromVariant(a));
    }
    if (a.byref == nullptr) {
        throw VariantTypeError("a reference to nothing");
    }
    switch (a.vt & ~VT_BYREF) {
    case VT_I2: return Common::Argument::out(Common::Variant::i2(*a.piVal));
    case VT_I4: return Common::Argument::out(Common::Variant::i4(*a.plVal));
    case VT_UI1: return Common::Argument::out(Common::Variant::ui1(*a.pbVal));
    case VT_UI2: return Common::Argument::out(Common::Variant::ui2(*a.puiVal));
    case VT_UI4: return Common::Argument::out(Common::Variant::ui4(*a.pulVal));
    case VT_R8: return Common::Argument::out(Common::Variant::r8(*a.pdblVal));
    case VT_BSTR: {
        const BSTR text = *a.pbstrVal;
        return Common::Argument::out(
            Common::Variant::text(text ? std::wstring(text, SysStringLen(text)) : std::wstring()));
    }
    case VT_VARIANT:
        // An output array travels as a reference to a VARIANT; before the
        // call it may hold nothing yet.
        if (a.pvarVal->vt == VT_EMPTY) {
            return Common::Argument::out(Common::Variant::doubles({}));
        }
        if (a.pvarVal->vt == (VT_ARRAY | VT_R8)) {
            return Common::Argument::out(WinCom::fromVariant(*a.pvarVal));
        }
        break;
    case VT_ARRAY | VT_R8: return Common::Argument::out(Common::Variant::doubles(WinCom::readDoubleArray(*a.pparray)));
    default: break;
    }
    throw VariantTypeError("a value of type " + WinCom::variantTypeName(a.vt));
}

// Writes an output back through the caller's reference, in the reference's
// own type.
void writeOutput(VARIANTARG& a, const Common::Variant& value)
{
    switch (a.vt & ~VT_BYREF) {
    case VT_I2: *a.piVal = static_cast<SHORT>(value.asInteger()); return;
    case VT_I4: *a.plVal = static_cast<LONG>(value.asInteger()); return;
    case VT_UI1: *a.pbVal = static_cast<BYTE>(value.asInteger()); return;
    case VT_UI2: *a.puiVal = static_cast<USHORT>(value.asInteger()); return;
    case VT_UI4: *a.pulVal = static_cast<ULONG>(value.asInteger()); return;
    case VT_R8: *a.pdblVal = value.asNumber(); return;
    case VT_BSTR: {
        VARIANT text;
        VariantInit(&text);
        WinCom::toVariant(value.type() == Common::VariantType::Text ? value : Common::Variant::text(L""), text);
        SysFreeString(*a.pbstrVal);
        *a.pbstrVal = text.bstrVal;
        return;
    }
    case VT_VARIANT: WinCom::toVariant(value, *a.pvarVal); return;
    case VT_ARRAY | VT_R8: {
        SAFEARRAY* array = WinCom::makeDoubleArray(
            value.type() == Common::VariantType::DoubleArray ? value.asDoubles() : std::vector<double>());
        if (*a.pparray != nullptr) {
            SafeArrayDestroy(*a.pparray);
        }
        *a.pparray = array;
        return;
    }
    default: return;
    }
}

HRESULT refuse(EXCEPINFO* exception, const std::string& message)
{
    if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->scode = DISP_E_EXCEPTION;
        exception->bstrSource = SysAllocString(L"DomoriaRavimo");
        const std::wstring text = WinCom::widen(message);
        exception->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT DispatchServer::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchServer::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG DispatchServer::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT DispatchServer::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;  // called by number only
    return S_OK;
}

HRESULT DispatchServer::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT DispatchServer::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids)
{
    for (UINT i = 0; ids != nullptr && i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchServer::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argumentError)
{
    if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr)) {
        return E_INVALIDARG;
    }
    try {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (params->cArgs != 1 || params->cNamedArgs != 1 || params->rgdispidNamedArgs == nullptr ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                return DISP_E_PARAMNOTOPTIONAL;
            }
            object_->putProperty(id, WinCom::fromVariant(params->rgvarg[0]));
            return S_OK;
        }
        if (params->cNamedArgs != 0) {
            return DISP_E_NONAMEDARGS;
        }
        const UINT count = params->cArgs;
        Common::Arguments args;
        args.reserve(count);
        for (UINT i = 0; i < count; ++i) {
            try {
                args.push_back(readArgument(params->rgvarg[count - 1 - i]));
            } catch (const VariantTypeError& e) {
                if (argumentError != nullptr) {
                    *argumentError = count - 1 - i;
                }
                return refuse(exception, "operation " + std::to_string(id) + ": argument " +
                                             std::to_string(i + 1) + ": " + e.what() + " is not accepted");
            }
        }
        Common::Variant answer;
        object_->invoke(id, args, answer);
        for (UINT i = 0; i < count; ++i) {
            if (args[i].byRef) {
                writeOutput(params->rgvarg[count - 1 - i], args[i].value);
            }
        }
        if (result != nullptr) {
            WinCom::toVariant(answer, *result);
        }
        return S_OK;
    } catch (const Common::HostError& e) {
        return refuse(exception, e.what());
    } catch (const VariantTypeError& e) {
        return refuse(exception, "operation " + std::to_string(id) + ": " + e.what() + " is not accepted");
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        return refuse(exception, e.what());
    }
}

}  // namespace RavimoSim
