#include "importer/xml/XmlDocument.h"

#include <algorithm>
#include <array>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"

namespace Importer {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// The encoding named in the XML declaration of an ASCII-compatible file, or
// empty when there is none.
std::string declaredEncoding(std::string_view bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (!startsWith(bytes, "<?xml")) {
        return {};
    }
    const std::string_view head = bytes.substr(0, std::min<std::size_t>(bytes.size(), 1024));
    const std::size_t close = head.find("?>");
    const std::string_view decl = head.substr(0, close);
    std::size_t pos = decl.find("encoding");
    if (pos == std::string_view::npos) {
        return {};
    }
    pos = decl.find('=', pos);
    if (pos == std::string_view::npos) {
        return {};
    }
    pos = decl.find_first_of("\"'", pos);
    if (pos == std::string_view::npos) {
        return {};
    }
    const std::size_t end = decl.find(decl[pos], pos + 1);
    if (end == std::string_view::npos) {
        return {};
    }
    return std::string(decl.substr(pos + 1, end - pos - 1));
}

// Converts to UTF-8; false with `problem` set when the bytes do not decode.
bool convert(Common::SourceCharset from, std::string_view bytes, std::string& out, std::string& problem)
{
    const char* name = from == Common::SourceCharset::Cp932     ? "CP932"
                       : from == Common::SourceCharset::Utf16Le ? "UTF-16LE"
                                                                : "UTF-16BE";
    std::size_t failedAt = 0;
    if (Common::convertToUtf8(from, bytes, out, failedAt)) {
        return true;
    }
    if (failedAt == std::string::npos) {
        problem = std::string("no converter from ") + name + " is available";
    } else {
        problem = "the bytes at offset " + std::to_string(failedAt) + " are not valid " +
                  (from == Common::SourceCharset::Cp932 ? std::string("Shift-JIS (code page 932)") : std::string(name));
    }
    return false;
}

// The characters that matter inside a tag: quotes, '=' and its ends.
constexpr auto kTagSyntax = [] {
    std::array<bool, 256> syntax{};
    for (const unsigned char c : {'"', '\'', '=', '>', '<'}) {
        syntax[c] = true;
    }
    return syntax;
}();

// Counts the attributes of every start tag without parsing: the parser's
// check for repeated attribute names grows with the square of their number,
// so a tag with millions of them must be refused before parsing.
bool attributesWithinLimit(std::string_view s, std::size_t limit)
{
    const std::size_t n = s.size();
    std::size_t i = 0;
    auto skipTo = [&](std::string_view terminator) {
        const std::size_t at = s.find(terminator, i);
        i = at == std::string_view::npos ? n : at + terminator.size();
    };
    while (i < n) {
        const std::size_t lt = s.find('<', i);
        if (lt == std::string_view::npos) {
            break;
        }
        i = lt;
        // The character after '<' tells most tags apart without comparing
        // strings; only "<!" needs a closer look.
        const char next = i + 1 < n ? s[i + 1] : '\0';
        if (next == '!' && startsWith(s.substr(i), "<!--")) {
            i += 4;
            skipTo("-->");
        } else if (next == '!' && startsWith(s.substr(i), "<![CDATA[")) {
            i += 9;
            skipTo("]]>");
        } else if (next == '?') {
            i += 2;
            skipTo("?>");
        } else if (next == '!' || next == '/') {
            i += 2;
        } else {
            std::size_t count = 0;
            char quote = 0;
            for (++i; i < n; ++i) {
                const char c = s[i];
                if (!kTagSyntax[static_cast<unsigned char>(c)]) {
                    continue;  // names, values and blanks
                }
                if (quote != 0) {
                    if (c == quote) {
                        quote = 0;
                    }
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    if (++count > limit) {
                        return false;
                    }
                } else if (c == '>' || c == '<') {
                    break;
                }
            }
        }
    }
    return true;
}

}  // namespace

bool isShiftJisName(std::string_view encodingName)
{
    static const char* const names[] = {"shift-jis", "shift_jis",  "sjis",         "x-sjis",      "windows-31j",
                                        "cp932",     "ms932",      "ms_kanji",     "csshiftjis",  "cswindows31j",
                                        "x-ms-cp932", "windows-932"};
    const std::string lower = lowerAscii(encodingName);
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return lower == n; });
}

bool XmlDocument::loadFile(const std::string& path, std::string& problem, const XmlLimits& limits)
{
    std::string bytes;
    const Common::FileRead read = Common::readRegularFile(path, limits.maxFileBytes, bytes);
    switch (read.status) {
    case Common::ReadStatus::Read:
        return loadBytes(bytes, problem, limits);
    case Common::ReadStatus::CannotOpen:
        problem = "cannot be opened: " + read.reason;
        break;
    case Common::ReadStatus::Folder:
        problem = "is a folder, not a file";
        break;
    case Common::ReadStatus::NotRegular:
        problem = "is not a regular file";
        break;
    case Common::ReadStatus::TooLarge:
        problem = read.size != 0 ? "is " + std::to_string(read.size) + " bytes long, more than the limit of " +
                                       std::to_string(limits.maxFileBytes) + " bytes"
                                 : "is longer than the limit of " + std::to_string(limits.maxFileBytes) + " bytes";
        break;
    case Common::ReadStatus::Failed:
        problem = "cannot be read: " + read.reason;
        break;
    }
    tree_.clear();
    return false;
}

bool XmlDocument::loadBytes(std::string_view bytes, std::string& problem, const XmlLimits& limits)
{
    tree_.clear();
    if (bytes.size() > limits.maxFileBytes) {
        problem = "is longer than the limit of " + std::to_string(limits.maxFileBytes) + " bytes";
        return false;
    }
    if (bytes.empty()) {
        problem = "is empty";
        return false;
    }

    // Everything is handed to the parser as UTF-8, so that the decoding is
    // ours: Shift-JIS as code page 932, UTF-16 by its byte order mark or by
    // the byte pattern of its declaration.
    std::string converted;
    std::optional<Common::SourceCharset> sourceEncoding;
    bool utf8Forced = false;
    if (startsWith(bytes, std::string_view("\xFF\xFE\0\0", 4)) || startsWith(bytes, std::string_view("\0\0\xFE\xFF", 4)) ||
        startsWith(bytes, std::string_view("<\0\0\0", 4)) || startsWith(bytes, std::string_view("\0\0\0<", 4))) {
        // Read as UTF-16 it would give an empty document rather than an error.
        problem = "is in UTF-32, which CEDXM files are not read in (UTF-8, UTF-16 or Shift-JIS)";
        return false;
    }
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        utf8Forced = true;  // a byte order mark outweighs whatever the declaration names
    } else if (startsWith(bytes, "\xFF\xFE")) {
        sourceEncoding = Common::SourceCharset::Utf16Le;
        bytes.remove_prefix(2);
    } else if (startsWith(bytes, "\xFE\xFF")) {
        sourceEncoding = Common::SourceCharset::Utf16Be;
        bytes.remove_prefix(2);
    } else if (startsWith(bytes, std::string_view("<\0?\0", 4))) {
        sourceEncoding = Common::SourceCharset::Utf16Le;
    } else if (startsWith(bytes, std::string_view("\0<\0?", 4))) {
        sourceEncoding = Common::SourceCharset::Utf16Be;
    } else if (isShiftJisName(declaredEncoding(bytes))) {
        sourceEncoding = Common::SourceCharset::Cp932;
    }
    if (sourceEncoding) {
        if (!convert(*sourceEncoding, bytes, converted, problem)) {
            return false;
        }
        bytes = converted;
        utf8Forced = true;
    }
    if (!attributesWithinLimit(bytes, limits.maxAttributesPerElement)) {
        problem = "has an element with more than " + std::to_string(limits.maxAttributesPerElement) + " attributes";
        return false;
    }

    return tree_.parse(bytes, utf8Forced, limits.maxNodes, limits.maxAttributesPerElement, problem);
}

}  // namespace Importer
