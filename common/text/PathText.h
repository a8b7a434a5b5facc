#pragma once

#include <filesystem>
#include <string>

#include "common/text/Encoding.h"

// Paths as std::filesystem paths of UTF-8 text, the same on every platform,
// for taking them apart (folder, name, stem): a narrow std::filesystem path
// string is the ANSI code page on Windows, which cannot hold every Japanese
// name. These paths are text, not the system's spelling of it: files are
// reached through common/platform/Files.h (fileSystemPath), which spells
// them as the system takes them.

namespace Common {

inline std::filesystem::path pathFromText(const std::wstring& text)
{
    const std::string utf8 = toUtf8(text);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8OfPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline std::wstring textOfPath(const std::filesystem::path& path)
{
    return fromUtf8(utf8OfPath(path));
}

}  // namespace Common
