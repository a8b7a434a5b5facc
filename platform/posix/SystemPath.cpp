#include "platform/posix/SystemPath.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

#include "common/text/Encoding.h"

namespace Platform {

namespace {

std::string_view codeset()
{
    const char* name = nl_langinfo(CODESET);
    return name != nullptr ? std::string_view(name) : std::string_view();
}

// Converts all of `in` or nothing: a path is never opened half converted.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in)
{
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(in.size() * 4 + 16, '\0');
    char* source = const_cast<char*>(in.data());
    std::size_t sourceLeft = in.size();
    char* target = out.data();
    std::size_t targetLeft = out.size();
    // A path of n bytes never needs more than 4n + 16 bytes in either
    // direction between the locale's sets and UTF-8 (a shift state ending
    // included), so one call converts it or fails on a bad character.
    const bool done = iconv(cd, &source, &sourceLeft, &target, &targetLeft) != static_cast<std::size_t>(-1) &&
                      iconv(cd, nullptr, nullptr, &target, &targetLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!done || sourceLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - targetLeft);
    return out;
}

}  // namespace

bool pathsAreUtf8()
{
    const std::string_view name = codeset();
    return name == "UTF-8" || name == "ANSI_X3.4-1968" || name.empty();
}

std::optional<std::string> pathBytes(std::string_view text)
{
    if (pathsAreUtf8()) {
        return std::string(text);
    }
    const std::string locale(codeset());
    if (!Common::fromUtf8Strict(text)) {
        return std::nullopt;
    }
    return convert(locale.c_str(), "UTF-8", text);
}

std::optional<std::string> pathTextOf(std::string_view bytes)
{
    if (pathsAreUtf8()) {
        if (!Common::fromUtf8Strict(bytes)) {
            return std::nullopt;
        }
        return std::string(bytes);
    }
    const std::string locale(codeset());
    std::optional<std::string> text = convert("UTF-8", locale.c_str(), bytes);
    // A character set may read two spellings as one character (or iconv may
    // pass a byte it does not know): only a text that gives the same bytes
    // back names the file the user named.
    if (!text || convert(locale.c_str(), "UTF-8", *text) != std::string(bytes)) {
        return std::nullopt;
    }
    return text;
}

std::string unspellablePathReason()
{
    return "the name cannot be spelled in the character set of the locale (" + std::string(codeset()) + ")";
}

}  // namespace Platform
