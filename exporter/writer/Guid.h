#pragma once

#include <string>

namespace Exporter {

// A new random (version 4) identifier in the registry form without braces:
// 8-4-4-4-12 upper-case hexadecimal digits.
std::wstring newElementId();

}  // namespace Exporter
