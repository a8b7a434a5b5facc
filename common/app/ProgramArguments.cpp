#include "common/app/ProgramArguments.h"

#include <filesystem>
#include <limits>
#include <optional>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"

namespace Common {

std::int32_t hostWindowFromArguments(const std::vector<std::wstring>& args)
{
    if (args.empty()) {
        return 0;
    }
    const std::wstring& text = args.front();
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::wstring fullPath(const std::wstring& path)
{
    if (path.empty()) {
        return path;
    }
    // In the file system's own spelling, so that the current folder joins
    // the name as the system spells both; back to text afterwards.
    const std::filesystem::path named = fileSystemPath(toUtf8(path));
    if (named.empty()) {
        return path;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(named, error);
    if (error || absolute.empty()) {
        return path;
    }
    const std::optional<std::string> text = textOfFileSystemPath(absolute.lexically_normal());
    return text ? fromUtf8(*text) : path;
}

}  // namespace Common
