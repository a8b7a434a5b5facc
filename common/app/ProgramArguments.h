#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What both programs read from their command line the same way.

namespace Common {

// The host window handle from the first argument, as the host passes it:
// leading blanks and a sign accepted, digits up to the first other
// character, no digits give 0, a value beyond 32 bits stops at the limit.
// No argument gives 0.
std::int32_t hostWindowFromArguments(const std::vector<std::wstring>& args);

// A path given on the command line as the full path a file dialog hands
// back: made absolute against the current folder, "." and ".." resolved.
// The path itself when that is not possible.
std::wstring fullPath(const std::wstring& path);

}  // namespace Common
