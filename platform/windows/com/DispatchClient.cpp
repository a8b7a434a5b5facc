#include "platform/windows/com/DispatchClient.h"

#include <string>
#include <vector>

#include "platform/windows/com/ComError.h"
#include "platform/windows/com/VariantConversion.h"

namespace WinCom {

namespace {

using Common::VariantType;

// Storage for the values an output argument refers to. Kept in a vector
// sized once, so the references handed to COM stay valid for the call.
struct OutputSlot {
    SHORT i2 = 0;
    LONG i4 = 0;
    BYTE ui1 = 0;
    USHORT ui2 = 0;
    ULONG ui4 = 0;
    double r8 = 0;
    BSTR text = nullptr;
    VARIANT array;
    OutputSlot() { VariantInit(&array); }
};

// The argument list of one call in COM's order (last argument first), and
// everything it owns.
class CallFrame {
public:
    explicit CallFrame(std::size_t count) : slots_(count), args_(count)
    {
        for (VARIANTARG& a : args_) {
            VariantInit(&a);
        }
    }
    ~CallFrame()
    {
        for (VARIANTARG& a : args_) {
            if ((a.vt & VT_BYREF) == 0) {
                VariantClear(&a);
            }
        }
        for (OutputSlot& s : slots_) {
            SysFreeString(s.text);
            VariantClear(&s.array);
        }
    }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;

    VARIANTARG& at(std::size_t callerIndex) { return args_[args_.size() - 1 - callerIndex]; }
    OutputSlot& slot(std::size_t callerIndex) { return slots_[callerIndex]; }
    VARIANTARG* data() { return args_.data(); }
    UINT size() const { return static_cast<UINT>(args_.size()); }

    void setOutput(std::size_t i, const Common::Variant& prepared)
    {
        OutputSlot& s = slots_[i];
        VARIANTARG& a = at(i);
        switch (prepared.type()) {
        case VariantType::I2: s.i2 = prepared.asI2(); a.vt = VT_BYREF | VT_I2; a.piVal = &s.i2; return;
        case VariantType::I4: s.i4 = prepared.asI4(); a.vt = VT_BYREF | VT_I4; a.plVal = &s.i4; return;
        case VariantType::UI1: s.ui1 = prepared.asUI1(); a.vt = VT_BYREF | VT_UI1; a.pbVal = &s.ui1; return;
        case VariantType::UI2: s.ui2 = prepared.asUI2(); a.vt = VT_BYREF | VT_UI2; a.puiVal = &s.ui2; return;
        case VariantType::UI4: s.ui4 = prepared.asUI4(); a.vt = VT_BYREF | VT_UI4; a.pulVal = &s.ui4; return;
        case VariantType::R8: s.r8 = prepared.asR8(); a.vt = VT_BYREF | VT_R8; a.pdblVal = &s.r8; return;
        case VariantType::Text: {
            OwnedVariant text;
            toVariant(prepared, *text.get());
            s.text = text.get()->bstrVal;
            text.get()->vt = VT_EMPTY;  // the slot owns the text now
            a.vt = VT_BYREF | VT_BSTR;
            a.pbstrVal = &s.text;
            return;
        }
        case VariantType::DoubleArray:
            toVariant(prepared, s.array);
            a.vt = VT_BYREF | VT_VARIANT;
            a.pvarVal = &s.array;
            return;
        case VariantType::Empty: break;
        }
        // An output without a prepared type has nothing for the host to fill.
        a.vt = VT_BYREF | VT_VARIANT;
        a.pvarVal = &s.array;
    }

    // The value the host left in output `i`, of the prepared type.
    Common::Variant output(std::size_t i, VariantType prepared)
    {
        const OutputSlot& s = slots_[i];
        switch (prepared) {
        case VariantType::I2: return Common::Variant::i2(s.i2);
        case VariantType::I4: return Common::Variant::i4(s.i4);
        case VariantType::UI1: return Common::Variant::ui1(s.ui1);
        case VariantType::UI2: return Common::Variant::ui2(s.ui2);
        case VariantType::UI4: return Common::Variant::ui4(s.ui4);
        case VariantType::R8: return Common::Variant::r8(s.r8);
        case VariantType::Text:
            return Common::Variant::text(s.text ? std::wstring(s.text, SysStringLen(s.text)) : std::wstring());
        case VariantType::DoubleArray:
            if (s.array.vt == VT_EMPTY) {
                return Common::Variant::doubles({});
            }
            if (s.array.vt != (VT_ARRAY | VT_R8)) {
                throw VariantTypeError("a value of type " + variantTypeName(s.array.vt) +
                                       " where an array of doubles was expected");
            }
            return fromVariant(s.array);
        case VariantType::Empty: break;
        }
        return fromVariant(s.array);
    }

private:
    std::vector<OutputSlot> slots_;
    std::vector<VARIANTARG> args_;
};

// The host's text for a failed call. EXCEPINFO's texts are freed here.
std::string failureText(HRESULT hr, EXCEPINFO& info, UINT argumentError, UINT argumentCount)
{
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn != nullptr) {
            info.pfnDeferredFillIn(&info);
        }
        std::string text;
        if (info.bstrDescription != nullptr && SysStringLen(info.bstrDescription) > 0) {
            text = narrow(std::wstring(info.bstrDescription, SysStringLen(info.bstrDescription)));
        } else if (info.scode != 0) {
            text = describeHResult(info.scode);
        } else {
            text = "the host reported error " + std::to_string(info.wCode) + " without a description";
        }
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        return text;
    }
    if (isHostGone(hr)) {
        return "the host is no longer running: " + describeHResult(hr);
    }
    if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) && argumentError < argumentCount) {
        // COM counts arguments from the last one.
        return "argument " + std::to_string(argumentCount - argumentError) + ": " + describeHResult(hr);
    }
    return describeHResult(hr);
}

}  // namespace

DispatchClient::~DispatchClient()
{
    if (dispatch_ != nullptr) {
        dispatch_->Release();
    }
}

void DispatchClient::invoke(int dispatchNumber, Common::Arguments& args, Common::Variant& result)
{
    CallFrame frame(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].byRef) {
            frame.setOutput(i, args[i].value);
        } else {
            toVariant(args[i].value, frame.at(i));
        }
    }
    DISPPARAMS params{frame.data(), nullptr, frame.size(), 0};
    OwnedVariant answer;
    EXCEPINFO info{};
    UINT argumentError = 0;
    const HRESULT hr = dispatch_->Invoke(dispatchNumber, IID_NULL, LOCALE_USER_DEFAULT,
                                         DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, answer.get(), &info,
                                         &argumentError);
    if (FAILED(hr)) {
        throw Common::HostError(dispatchNumber, failureText(hr, info, argumentError, frame.size()));
    }
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i].byRef) {
                args[i].value = frame.output(i, args[i].value.type());
            }
        }
        result = fromVariant(*answer);
    } catch (const VariantTypeError& e) {
        throw Common::HostError(dispatchNumber, std::string("the host answered ") + e.what());
    }
}

void DispatchClient::putProperty(int dispatchNumber, const Common::Variant& value)
{
    OwnedVariant argument;
    toVariant(value, *argument.get());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{argument.get(), &named, 1, 1};
    EXCEPINFO info{};
    UINT argumentError = 0;
    const HRESULT hr = dispatch_->Invoke(dispatchNumber, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                         &params, nullptr, &info, &argumentError);
    if (FAILED(hr)) {
        throw Common::HostError(dispatchNumber, failureText(hr, info, argumentError, 1));
    }
}

}  // namespace WinCom
