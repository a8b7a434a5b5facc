#include "common/host/HostApplication.h"

namespace Common {

namespace {

std::wstring textOrEmpty(const Variant& v) { return v.type() == VariantType::Text ? v.asText() : std::wstring(); }

}  // namespace

std::wstring HostApplication::version() { return textOrEmpty(call(HostOps::ApplicationVersion)); }

std::wstring HostApplication::hostFolder() { return textOrEmpty(call(HostOps::HostFolder)); }

std::int32_t HostApplication::windowHandle()
{
    return static_cast<std::int32_t>(call(HostOps::ApplicationWindow).asInteger());
}

}  // namespace Common
