#pragma once

// Short spellings for the input arguments of host calls, so that an argument
// list reads in the order and with the types the host expects.

#include <cstdint>
#include <string>
#include <vector>

#include "common/host/Variant.h"

namespace Common::HostArgs {

inline Argument i2(std::int16_t v) { return Argument::in(Variant::i2(v)); }
inline Argument i4(std::int32_t v) { return Argument::in(Variant::i4(v)); }
inline Argument ui1(std::uint8_t v) { return Argument::in(Variant::ui1(v)); }
inline Argument ui2(std::uint16_t v) { return Argument::in(Variant::ui2(v)); }
inline Argument ui4(std::uint32_t v) { return Argument::in(Variant::ui4(v)); }
inline Argument r8(double v) { return Argument::in(Variant::r8(v)); }
inline Argument text(std::wstring v) { return Argument::in(Variant::text(std::move(v))); }
inline Argument doubles(std::vector<double> v) { return Argument::in(Variant::doubles(std::move(v))); }

}  // namespace Common::HostArgs
