#include "common/fitting/FittingCsv.h"

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"

namespace Common {

namespace {

// A correspondence table is a few hundred lines; anything this large is not
// one, and refusing it keeps memory and time bounded.
constexpr std::size_t kMaxTableBytes = 16u * 1024u * 1024u;

std::wstring widen(std::string_view text)
{
    return fromUtf8(text);
}

std::wstring describePath(const std::wstring& path)
{
    return L"the fitting table \"" + path + L"\"";
}

enum class ReadOutcome { Ok, Missing, NotRegular, TooLarge, Unreadable };

// Reads the raw bytes of the file; nothing is read from anything but a
// regular file of bounded size.
ReadOutcome readRawBytes(const std::wstring& path, std::string& bytes)
{
    const std::string narrow = toUtf8(path);
    if (pathKind(narrow) == PathKind::Missing) {
        return ReadOutcome::Missing;
    }
    switch (readRegularFile(narrow, kMaxTableBytes, bytes).status) {
    case ReadStatus::Read: return ReadOutcome::Ok;
    case ReadStatus::Folder:
    case ReadStatus::NotRegular: return ReadOutcome::NotRegular;
    case ReadStatus::TooLarge: return ReadOutcome::TooLarge;
    case ReadStatus::CannotOpen:
    case ReadStatus::Failed: break;
    }
    return ReadOutcome::Unreadable;
}

// What a text-mode read delivers: each CR LF pair as a single LF, and the
// content ending at the first Ctrl+Z. The content also ends at the first zero
// byte, as the text is taken from a zero-filled buffer.
std::string asTextModeContent(const std::string& raw)
{
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\x1A' || c == '\0') {
            break;
        }
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
            continue;
        }
        text.push_back(c);
    }
    return text;
}

// Strict UTF-8: overlong forms, surrogates, values above U+10FFFF and cut
// sequences are errors. On error `errorAt` gets the offset of the bad byte.
std::optional<std::wstring> decodeUtf8Strict(std::string_view bytes, std::size_t& errorAt)
{
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        int trail = 0;
        char32_t value = 0;
        char32_t lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
            value = lead & 0x1Fu;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            value = lead & 0x0Fu;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            value = lead & 0x07u;
            lowest = 0x10000;
        } else {
            errorAt = i;
            return std::nullopt;
        }
        if (bytes.size() - i <= static_cast<std::size_t>(trail)) {
            errorAt = i;
            return std::nullopt;
        }
        for (int k = 1; k <= trail; ++k) {
            const unsigned char b = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0u) != 0x80u) {
                errorAt = i;
                return std::nullopt;
            }
            value = (value << 6) | (b & 0x3Fu);
        }
        if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            errorAt = i;
            return std::nullopt;
        }
        out.push_back(static_cast<wchar_t>(value));
        i += static_cast<std::size_t>(trail) + 1;
    }
    return out;
}

// The runtime locale is set to the user's default just before converting, as
// the programs do at start-up: character type first, then every category to
// the name that call returned.
void useUserDefaultLocale()
{
    const char* name = std::setlocale(LC_CTYPE, "");
    if (name != nullptr) {
        const std::string copy(name);
        std::setlocale(LC_ALL, copy.c_str());
    }
}

// Finds the first byte the locale's multibyte conversion rejects, for the
// message only; the decision itself is the locale conversion's.
std::optional<std::size_t> firstUndecodableByte(std::string_view bytes)
{
    std::mbstate_t state{};
    std::size_t i = 0;
    while (i < bytes.size()) {
        wchar_t wc = 0;
        const std::size_t used = std::mbrtowc(&wc, bytes.data() + i, bytes.size() - i, &state);
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
            return i;
        }
        i += used == 0 ? 1 : used;
    }
    return std::nullopt;
}

// Describes a position of the decoded content as a line, a byte within that
// line and an offset into the file itself.
std::wstring describePosition(const std::string& raw, const std::string& content, std::size_t offset)
{
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset && i < content.size(); ++i) {
        if (content[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    const std::size_t column = offset - lineStart;
    // Line feeds are the same in the file as in the content, so the line
    // starts at the same place there; only its end may hold a dropped CR.
    std::size_t rawLineStart = 0;
    std::size_t seen = 1;
    for (std::size_t i = 0; i < raw.size() && seen < line; ++i) {
        if (raw[i] == '\n') {
            ++seen;
            rawLineStart = i + 1;
        }
    }
    return L"line " + std::to_wstring(line) + L", byte " + std::to_wstring(column + 1) + L" of the line (file offset " +
           std::to_wstring(rawLineStart + column) + L")";
}

// Marks the commas that separate fields: a comma inside a quoted region does
// not. Regions are paired over the whole text: a quote opens one, the next
// quote not followed by another quote closes it, a doubled quote inside is
// skipped, and a last quote without a partner opens nothing.
std::vector<bool> separatingCommas(const std::wstring& text)
{
    std::vector<bool> separates(text.size(), false);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L',') {
            separates[i] = true;
        }
    }
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != L'"') {
            ++i;
            continue;
        }
        const std::size_t open = i;
        std::size_t j = open + 1;
        std::optional<std::size_t> close;
        while (j < text.size()) {
            if (text[j] == L'"') {
                if (j + 1 < text.size() && text[j + 1] == L'"') {
                    j += 2;
                    continue;
                }
                close = j;
                break;
            }
            ++j;
        }
        if (!close) {
            break;
        }
        for (std::size_t k = open + 1; k < *close; ++k) {
            if (text[k] == L',') {
                separates[k] = false;
            }
        }
        i = *close + 1;
    }
    return separates;
}

std::wstring unquoteField(std::wstring field)
{
    if (!field.empty() && field.front() == L'"') {
        field.erase(0, 1);
        if (!field.empty()) {
            field.pop_back();
        }
    }
    std::wstring out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        out.push_back(field[i]);
        if (field[i] == L'"' && i + 1 < field.size() && field[i + 1] == L'"') {
            ++i;
        }
    }
    return out;
}

std::vector<CsvRow> splitRows(const std::wstring& text)
{
    const std::vector<bool> separates = separatingCommas(text);
    std::vector<CsvRow> rows;
    std::size_t lineStart = 0;
    for (;;) {
        std::size_t lineEnd = text.find(L'\n', lineStart);
        const bool last = lineEnd == std::wstring::npos;
        if (last) {
            lineEnd = text.size();
        }
        CsvRow row;
        std::size_t fieldStart = lineStart;
        for (std::size_t i = lineStart; i <= lineEnd; ++i) {
            if (i < lineEnd && !separates[i]) {
                continue;
            }
            if (i > fieldStart) {
                row.push_back(unquoteField(text.substr(fieldStart, i - fieldStart)));
            }
            fieldStart = i + 1;
        }
        rows.push_back(std::move(row));
        if (last) {
            break;
        }
        lineStart = lineEnd + 1;
    }
    return rows;
}

std::wstring localeCharsetLabel()
{
    const std::string name = localeCharsetName();
    return !name.empty() ? widen(name) : std::wstring(L"the locale's character set");
}

}  // namespace

std::vector<CsvRow> readFittingCsv(const std::wstring& path, std::wstring* problem)
{
    auto tell = [&](const std::wstring& message) {
        if (problem != nullptr) {
            *problem = message;
        }
    };
    tell(std::wstring());

    std::string raw;
    switch (readRawBytes(path, raw)) {
    case ReadOutcome::Ok: break;
    case ReadOutcome::Missing: tell(describePath(path) + L" does not exist; no fitting correspondences were read."); return {};
    case ReadOutcome::NotRegular: tell(describePath(path) + L" is not a regular file; no fitting correspondences were read."); return {};
    case ReadOutcome::TooLarge:
        tell(describePath(path) + L" is larger than " + std::to_wstring(kMaxTableBytes / (1024 * 1024)) +
             L" MiB; no fitting correspondences were read.");
        return {};
    case ReadOutcome::Unreadable: tell(describePath(path) + L" cannot be read; no fitting correspondences were read."); return {};
    }

    const std::string content = asTextModeContent(raw);

    std::optional<std::wstring> text;
    std::optional<std::size_t> errorAt;
    std::wstring charset;
    // A table saved as "CSV UTF-8" starts with a byte order mark; reading it
    // in the locale's character set would garble every Japanese model number.
    if (content.size() >= 3 && content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        charset = L"UTF-8";
        std::size_t at = 0;
        text = decodeUtf8Strict(std::string_view(content).substr(3), at);
        if (!text) {
            errorAt = at + 3;
        }
    } else {
        useUserDefaultLocale();
        charset = localeCharsetLabel();
        text = fromLocaleCharset(content);
        if (!text) {
            errorAt = firstUndecodableByte(content);
        }
    }
    if (!text) {
        std::wstring where = errorAt ? L" at " + describePosition(raw, content, *errorAt) : std::wstring();
        tell(describePath(path) + L" is not valid " + charset + L" text" + where +
             L"; no fitting correspondences were read.");
        return {};
    }
    return splitRows(*text);
}

}  // namespace Common
