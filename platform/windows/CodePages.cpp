#include "common/text/Encoding.h"
#include "common/text/Cp932References.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

// Texts are UTF-16 here (wchar_t is 16 bits): a character beyond U+FFFF is
// a surrogate pair. Code pages go through the system's own converters; the
// few rules that the system words differently from the Linux build (what a
// bad byte becomes, which bytes code page 932 accepts) are kept the Linux
// way, so that both builds read and write the same files the same way.

namespace Common {

namespace {

constexpr UINT kCp932 = 932;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr wchar_t kReplacement = L'\uFFFD';

bool isHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The next Unicode scalar value of `text` at `i` (advanced past it), or
// -1 for a lone surrogate.
std::int32_t nextCodePoint(std::wstring_view text, std::size_t& i)
{
    const std::uint32_t u = static_cast<std::uint16_t>(text[i++]);
    if (isHighSurrogate(u) && i < text.size() && isLowSurrogate(static_cast<std::uint16_t>(text[i]))) {
        const std::uint32_t low = static_cast<std::uint16_t>(text[i++]);
        return static_cast<std::int32_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
    }
    if (isHighSurrogate(u) || isLowSurrogate(u)) {
        return -1;
    }
    return static_cast<std::int32_t>(u);
}

void appendCodePoint(std::wstring& out, std::uint32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the whole of `bytes` in code page `codePage` with the system's
// converter; false when a byte does not decode.
bool decodeWhole(UINT codePage, std::string_view bytes, std::wstring& out)
{
    out.clear();
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() > 0x7FFFFFFF) {
        return false;
    }
    const int inLength = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, out.data(), length) == length;
}

// Single bytes that Windows decodes in code page 932 but that are no
// characters of it elsewhere (0x80, 0xA0, 0xFD to 0xFF: U+0080 and private
// use characters): refused, as the Linux build refuses them.
bool cp932RefusedSingleByte(unsigned char b)
{
    return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

// Length of the character that starts at `bytes[i]` in a double-byte code
// page (1 or 2), or 0 when a lead byte ends the text.
std::size_t characterLength(UINT codePage, std::string_view bytes, std::size_t i)
{
    if (!IsDBCSLeadByteEx(codePage, static_cast<BYTE>(bytes[i]))) {
        return 1;
    }
    return i + 1 < bytes.size() ? 2 : 0;
}

// Decodes character by character. A byte that does not begin a valid
// character becomes one U+FFFD (or ends the decoding when `failedAt` is
// given: its offset is stored there). An incomplete character at the end
// becomes one U+FFFD.
bool decodeByCharacter(UINT codePage, std::string_view bytes, std::wstring& out, std::size_t* failedAt)
{
    out.clear();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t length = characterLength(codePage, bytes, i);
        std::wstring piece;
        bool ok = length > 0 && decodeWhole(codePage, bytes.substr(i, length), piece);
        if (ok && codePage == kCp932 && length == 1 && cp932RefusedSingleByte(static_cast<unsigned char>(bytes[i]))) {
            ok = false;
        }
        if (!ok) {
            if (failedAt != nullptr) {
                *failedAt = i;
                return false;
            }
            out += kReplacement;
            i = length == 0 ? bytes.size() : i + 1;
            continue;
        }
        out += piece;
        i += length;
    }
    return true;
}

bool hasRefusedCp932Byte(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t length = characterLength(kCp932, bytes, i);
        if (length == 1 && cp932RefusedSingleByte(static_cast<unsigned char>(bytes[i]))) {
            return true;
        }
        if (length == 0) {
            break;
        }
        i += length - 1;
    }
    return false;
}

// Strict decoding in a code page: the system's converter on the whole text
// (the common case), then the Linux build's rules.
std::optional<std::wstring> decodeStrict(UINT codePage, std::string_view bytes)
{
    std::wstring out;
    if (codePage == CP_UTF8) {
        return fromUtf8Strict(bytes);
    }
    if (!decodeWhole(codePage, bytes, out) || (codePage == kCp932 && hasRefusedCp932Byte(bytes))) {
        return std::nullopt;
    }
    return out;
}

std::wstring decodeReplacing(UINT codePage, std::string_view bytes)
{
    if (codePage == CP_UTF8) {
        return fromUtf8(bytes);
    }
    std::wstring out;
    if (decodeWhole(codePage, bytes, out) && !(codePage == kCp932 && hasRefusedCp932Byte(bytes))) {
        return out;
    }
    decodeByCharacter(codePage, bytes, out, nullptr);
    return out;
}

// UTF-8 decoding with the Linux build's rules: a byte that does not begin
// a valid sequence (overlong forms, surrogates and values beyond U+10FFFF
// are not valid) is one error; a valid beginning cut off by the end of the
// text is one error for the rest. Returns false at the first error when
// `strict`, else puts U+FFFD for each.
bool decodeUtf8(std::string_view bytes, bool strict, std::wstring& out)
{
    out.clear();
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        std::uint32_t c = 0;
        std::uint32_t minimum = 0;
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2, c = b & 0x1F, minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, c = b & 0x0F, minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, c = b & 0x07, minimum = 0x10000;
        }
        bool valid = length > 0;
        bool cutOff = false;
        for (std::size_t k = 1; valid && k < length; ++k) {
            if (i + k >= bytes.size()) {
                cutOff = true;
                break;
            }
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (valid && !cutOff && (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) {
            valid = false;
        }
        if (valid && !cutOff) {
            appendCodePoint(out, c);
            i += length;
            continue;
        }
        if (strict) {
            return false;
        }
        out += kReplacement;
        i = valid && cutOff ? bytes.size() : i + 1;
    }
    return true;
}

// UTF-16 code units from bytes of either order; a lone surrogate is one
// error. An odd byte at the end is an error for the rest. With `failedAt`
// the decoding stops at the first error and stores its offset.
bool decodeUtf16(std::string_view bytes, bool bigEndian, std::wstring& out, std::size_t* failedAt)
{
    out.clear();
    out.reserve(bytes.size() / 2);
    auto unitAt = [&](std::size_t i) -> std::uint32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (first << 8) | second : (second << 8) | first;
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t used = 0;
        if (i + 1 < bytes.size()) {
            const std::uint32_t u = unitAt(i);
            if (!isHighSurrogate(u) && !isLowSurrogate(u)) {
                out += static_cast<wchar_t>(u);
                used = 2;
            } else if (isHighSurrogate(u) && i + 3 < bytes.size() && isLowSurrogate(unitAt(i + 2))) {
                out += static_cast<wchar_t>(u);
                out += static_cast<wchar_t>(unitAt(i + 2));
                used = 4;
            }
        }
        if (used == 0) {
            if (failedAt != nullptr) {
                *failedAt = i;
                return false;
            }
            out += kReplacement;
            used = i + 1 < bytes.size() ? 2 : 1;
        }
        i += used;
    }
    return true;
}

// Encodes `run` (characters of the Basic Multilingual Plane) in code page
// 932 without best-fit substitutes; false when one of them has no code.
bool encodeCp932(std::wstring_view run, std::string& out)
{
    if (run.empty()) {
        return true;
    }
    const int inLength = static_cast<int>(run.size());
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, run.data(), inLength, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, run.data(), inLength, bytes.data(), length, nullptr,
                            &usedDefault) != length ||
        usedDefault) {
        return false;
    }
    out += bytes;
    return true;
}

void appendCp932Run(std::wstring_view run, std::string& out)
{
    if (encodeCp932(run, out)) {
        return;
    }
    // Some character has no code: one at a time, references for those.
    for (const wchar_t c : run) {
        if (!encodeCp932(std::wstring_view(&c, 1), out)) {
            appendCharacterReference(static_cast<std::uint16_t>(c), out);
        }
    }
}

}  // namespace

std::string toUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::int32_t c = nextCodePoint(text, i);
        appendUtf8(out, c < 0 ? 0xFFFD : static_cast<std::uint32_t>(c));
    }
    return out;
}

std::wstring fromUtf8(std::string_view bytes)
{
    std::wstring out;
    decodeUtf8(bytes, false, out);
    return out;
}

std::optional<std::wstring> fromUtf8Strict(std::string_view bytes)
{
    std::wstring out;
    if (!decodeUtf8(bytes, true, out)) {
        return std::nullopt;
    }
    return out;
}

std::string toUtf16Le(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    std::wstring units;
    for (std::size_t i = 0; i < text.size();) {
        const std::int32_t c = nextCodePoint(text, i);
        units.clear();
        appendCodePoint(units, c < 0 ? 0xFFFD : static_cast<std::uint32_t>(c));
        for (const wchar_t u : units) {
            out += static_cast<char>(u & 0xFF);
            out += static_cast<char>((u >> 8) & 0xFF);
        }
    }
    return out;
}

std::wstring fromUtf16Le(std::string_view bytes)
{
    std::wstring out;
    decodeUtf16(bytes, false, out, nullptr);
    return out;
}

void appendCp932WithReferences(std::wstring_view text, std::string& out)
{
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t at = i;
        const std::int32_t c = nextCodePoint(text, i);
        if (c >= 0 && c < 0x10000 && !cp932WrittenAsReference(static_cast<std::uint32_t>(c))) {
            continue;
        }
        appendCp932Run(text.substr(runStart, at - runStart), out);
        appendCharacterReference(c < 0 ? 0xFFFD : static_cast<std::uint32_t>(c), out);
        runStart = i;
    }
    appendCp932Run(text.substr(runStart), out);
}

std::string toCp932WithReferences(std::wstring_view text)
{
    std::string out;
    appendCp932WithReferences(text, out);
    return out;
}

std::optional<std::wstring> fromCp932(std::string_view bytes)
{
    return decodeStrict(kCp932, bytes);
}

bool convertToUtf8(SourceCharset from, std::string_view bytes, std::string& out, std::size_t& failedAt)
{
    out.clear();
    std::wstring wide;
    bool ok = false;
    if (from == SourceCharset::Cp932) {
        ok = decodeWhole(kCp932, bytes, wide) && !hasRefusedCp932Byte(bytes);
        if (!ok) {
            decodeByCharacter(kCp932, bytes, wide, &failedAt);
        }
    } else {
        ok = decodeUtf16(bytes, from == SourceCharset::Utf16Be, wide, &failedAt);
    }
    if (!ok) {
        return false;
    }
    out = toUtf8(wide);
    return true;
}

std::optional<std::wstring> fromLocaleCharset(std::string_view bytes)
{
    return decodeStrict(GetACP(), bytes);
}

std::string localeCharsetName()
{
    const UINT codePage = GetACP();
    return codePage == CP_UTF8 ? "UTF-8" : "code page " + std::to_string(codePage);
}

std::optional<std::wstring> fromAnsiFile(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        return fromUtf8Strict(bytes.substr(kUtf8ByteOrderMark.size()));
    }
    return fromLocaleCharset(bytes);
}

std::wstring fromAnsiFileReplacing(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        return fromUtf8(bytes.substr(kUtf8ByteOrderMark.size()));
    }
    return decodeReplacing(GetACP(), bytes);
}

}  // namespace Common
