#include "platform/windows/com/ComApartment.h"

#include <objbase.h>

#include "platform/windows/com/ComError.h"

namespace WinCom {

ComApartment::ComApartment()
{
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ok_ = SUCCEEDED(hr);  // S_FALSE too: it was initialised already and must be balanced
    if (!ok_) {
        failure_ = "COM could not be initialised: " + describeHResult(hr);
    }
}

ComApartment::~ComApartment()
{
    if (ok_) {
        CoUninitialize();
    }
}

}  // namespace WinCom
