#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Common {

// Writes `bytes` to a temporary file in the target's folder and renames it
// over the target only when everything was written and flushed, so that a
// failed or interrupted write never leaves a half-written target behind.
// False with `error` set (path and reason) when that was not possible; the
// existing target is then untouched.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Reads a whole file; false with `error` set (path and reason) on failure.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);
// The same, refusing (false, `error` set) a file larger than `maxBytes`, so
// that a huge file or an endless device cannot exhaust memory or hang.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error, std::size_t maxBytes);

}  // namespace Common
