#include "common/settings/Profile.h"

#include <cstdint>
#include <cwctype>
#include <optional>
#include <unordered_map>
#include <string_view>

#include "common/platform/Files.h"
#include "common/text/Compare.h"
#include "common/text/Encoding.h"

namespace Common {

namespace {

// An ini file is a few hundred bytes; anything beyond this is not one and is
// treated like an unreadable file (every value at its default) instead of
// being loaded whole.
constexpr std::size_t kMaxProfileBytes = 16u * 1024u * 1024u;

// The text buffer of the profile reader holds 1024 UTF-16 units, one of
// them the terminating zero.
constexpr std::size_t kMaxValueUnits = 1023;

bool isBlank(wchar_t c)
{
    // 0x1A is the old end-of-file mark that editors leave behind.
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f' || c == 0x1A;
}

std::wstring_view trim(std::wstring_view s)
{
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Names compare case-insensitively character by character; lowering every
// character gives a key under which equal names meet.
std::wstring folded(std::wstring_view name)
{
    std::wstring out(name);
    for (wchar_t& c : out) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return out;
}

}  // namespace

// The values of an ini file by section and key: only the first section of
// a name and the first occurrence of a key in it, values trimmed. A missing
// or unreadable file gives an empty index.
struct ProfileSnapshot::Index {
    std::unordered_map<std::wstring, std::unordered_map<std::wstring, std::wstring>> sections;
    std::string problem;  // why a file that is there could not be read

    static Index read(const std::wstring& iniPath)
    {
        Index index;
        std::string bytes;
        std::string error;
        if (!readWholeFile(toUtf8(iniPath), bytes, error, kMaxProfileBytes)) {
            if (pathKind(toUtf8(iniPath)) != PathKind::Missing) {
                index.problem = std::move(error);
            }
            return index;
        }
        const std::wstring text = fromAnsiFileReplacing(bytes);
        bytes.clear();
        bytes.shrink_to_fit();
        // The keys of the section being read; none when outside any section
        // or inside a later section of a name already seen.
        std::unordered_map<std::wstring, std::wstring>* keys = nullptr;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find(L'\n', pos);
            if (end == std::wstring::npos) {
                end = text.size();
            }
            const std::wstring_view line = trim(std::wstring_view(text).substr(pos, end - pos));
            pos = end + 1;
            if (line.empty() || line.front() == L';') {
                continue;
            }
            if (line.front() == L'[') {
                // Any bracket line ends the section before it, even one
                // that names no section.
                keys = nullptr;
                const std::size_t close = line.rfind(L']');
                if (close == std::wstring_view::npos || close == 0) {
                    continue;
                }
                const auto [it, added] = index.sections.try_emplace(folded(line.substr(1, close - 1)));
                keys = added ? &it->second : nullptr;
                continue;
            }
            if (keys == nullptr) {
                continue;
            }
            // A key line without "=" is the key with an empty value.
            const std::size_t equals = line.find(L'=');
            const std::wstring_view value =
                equals == std::wstring_view::npos ? std::wstring_view() : trim(line.substr(equals + 1));
            keys->try_emplace(folded(trim(line.substr(0, equals))), value);
        }
        return index;
    }

    std::optional<std::wstring> find(const std::wstring& section, const std::wstring& key) const
    {
        const auto s = sections.find(folded(trim(section)));
        if (s == sections.end()) {
            return std::nullopt;
        }
        const auto k = s->second.find(folded(trim(key)));
        if (k == s->second.end()) {
            return std::nullopt;
        }
        return k->second;
    }
};

namespace {

// The snapshot that answers for its path, the innermost one living.
ProfileSnapshot* activeSnapshot = nullptr;

}  // namespace

ProfileSnapshot::ProfileSnapshot(const std::wstring& iniPath)
    : path_(iniPath), index_(std::make_unique<const Index>(Index::read(iniPath))), outer_(activeSnapshot)
{
    activeSnapshot = this;
}

ProfileSnapshot::~ProfileSnapshot() { activeSnapshot = outer_; }

const std::string& ProfileSnapshot::problem() const { return index_->problem; }

namespace {

// The raw value of `key` in the first section named `section` (first
// occurrence of the key), trimmed; nothing when the file, section or key is
// missing.
std::optional<std::wstring> findValue(const std::wstring& section, const std::wstring& key, const std::wstring& iniPath)
{
    for (const ProfileSnapshot* s = activeSnapshot; s != nullptr; s = s->outer()) {
        if (s->path() == iniPath) {
            return s->index().find(section, key);
        }
    }
    return ProfileSnapshot::Index::read(iniPath).find(section, key);
}

// One pair of matching surrounding quotes (" or ') is dropped, then the value
// is cut to what the profile reader's buffer holds. The buffer counts UTF-16
// units, so a character beyond U+FFFF counts twice; it is never split.
std::wstring profileText(std::wstring value)
{
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    std::size_t units = 0;
    std::size_t kept = 0;
    for (; kept < value.size(); ++kept) {
        const std::size_t width = static_cast<std::uint32_t>(value[kept]) > 0xFFFF ? 2 : 1;
        if (units + width > kMaxValueUnits) {
            break;
        }
        units += width;
    }
    value.resize(kept);
    return value;
}

}  // namespace

std::wstring readProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& iniPath)
{
    const std::optional<std::wstring> value = findValue(section, key, iniPath);
    return value ? profileText(*value) : std::wstring();
}

int readProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue, const std::wstring& iniPath)
{
    const std::optional<std::wstring> value = findValue(section, key, iniPath);
    if (!value) {
        return defaultValue;
    }
    const std::wstring text = profileText(*value);
    // An empty value counts as a missing one, as for the platform's reader.
    if (text.empty()) {
        return defaultValue;
    }
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // The profile reader accumulates in 32 bits and wraps around, so
    // "4294967297" reads as 1.
    std::uint32_t number = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        number = number * 10u + static_cast<std::uint32_t>(text[i] - L'0');
    }
    if (negative) {
        number = 0u - number;
    }
    return static_cast<int>(number);
}

bool fileExists(const std::wstring& path)
{
    const PathKind kind = pathKind(toUtf8(path));
    return kind == PathKind::File || kind == PathKind::Other;
}

}  // namespace Common
