#include "common/text/Encoding.h"
#include "common/text/Cp932References.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Common {

namespace {

// What a conversion does with a unit that the target cannot take or that is
// not valid in the source.
enum class OnInvalid { Fail, Replace, Reference };

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("character set conversion from ") + from + " to " + to +
                                     " is not available");
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; `unit` is the size of one source character (skipped on
    // an invalid one), `substitute` what stands in for it. False only when
    // `mode` is Fail and something did not convert.
    template <typename Substitute>
    bool run(const char* in, std::size_t inLeft, std::size_t unit, OnInvalid mode, std::string& out,
             Substitute substitute)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        std::size_t used = 0;
        out.resize(inLeft * 2 + 16);
        char* source = const_cast<char*>(in);
        while (true) {
            char* target = out.data() + used;
            std::size_t targetLeft = out.size() - used;
            const std::size_t rc = inLeft == 0 ? iconv(cd_, nullptr, nullptr, &target, &targetLeft)
                                               : iconv(cd_, &source, &inLeft, &target, &targetLeft);
            const int error = errno;
            used = out.size() - targetLeft;
            if (rc != static_cast<std::size_t>(-1)) {
                if (inLeft == 0) {
                    break;
                }
                continue;
            }
            if (error == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            if (error != EILSEQ && error != EINVAL) {
                return false;
            }
            // EILSEQ: an invalid or unconvertible character; EINVAL: an
            // incomplete sequence at the end of the input.
            if (mode == OnInvalid::Fail) {
                return false;
            }
            const std::size_t skip = error == EINVAL ? inLeft : std::min(unit, inLeft);
            out.resize(used);
            substitute(std::string_view(source, skip), out);
            used = out.size();
            out.resize(used + inLeft * 2 + 16);
            source += skip;
            inLeft -= skip;
        }
        out.resize(used);
        return true;
    }

private:
    iconv_t cd_;
};

// Opening a conversion costs more than converting a short text, and the
// writers convert every text of a file; one open conversion per pair of
// character sets is kept for the thread. run() resets its state each time.
// The pairs are few, so a short list found by name is quicker than a map
// whose key would be built anew for every text.
Converter& converterFor(const char* to, const char* from)
{
    struct Open {
        std::string to;
        std::string from;
        std::unique_ptr<Converter> converter;
    };
    thread_local std::vector<Open> open;
    for (Open& o : open) {
        if (o.to == to && o.from == from) {
            return *o.converter;
        }
    }
    open.push_back(Open{to, from, std::make_unique<Converter>(to, from)});
    return *open.back().converter;
}

// Texts of plain ASCII read the same in every encoding these conversions
// handle, and most texts of a CEDXM file (numbers, codes, point lists) are
// such; they are widened or narrowed unit by unit without a converter.
bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAscii(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0 && c < 0x80; });
}

bool isScalarValue(std::uint32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

std::string bytesOf(std::wstring_view text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring wideOf(const std::string& bytes)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

void appendWide(std::string& out, wchar_t c)
{
    out.append(reinterpret_cast<const char*>(&c), sizeof c);
}

std::optional<std::wstring> decodeStrict(const char* charset, std::string_view bytes)
{
    Converter& converter = converterFor("WCHAR_T", charset);
    std::string out;
    if (!converter.run(bytes.data(), bytes.size(), 1, OnInvalid::Fail, out, [](std::string_view, std::string&) {})) {
        return std::nullopt;
    }
    return wideOf(out);
}

std::wstring decodeReplacing(const char* charset, std::string_view bytes)
{
    Converter& converter = converterFor("WCHAR_T", charset);
    std::string out;
    converter.run(bytes.data(), bytes.size(), 1, OnInvalid::Replace, out,
                  [](std::string_view, std::string& o) { appendWide(o, L'\uFFFD'); });
    return wideOf(out);
}

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::string toUtf8(std::wstring_view text)
{
    if (isAscii(text)) {
        return std::string(text.begin(), text.end());
    }
    Converter& converter = converterFor("UTF-8", "WCHAR_T");
    const std::string in = bytesOf(text);
    std::string out;
    converter.run(in.data(), in.size(), sizeof(wchar_t), OnInvalid::Replace, out,
                  [](std::string_view, std::string& o) { o += "\xEF\xBF\xBD"; });
    return out;
}

std::wstring fromUtf8(std::string_view bytes)
{
    if (isAscii(bytes)) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    // Each byte that does not begin a valid sequence becomes one U+FFFD.
    return decodeReplacing("UTF-8", bytes);
}

std::optional<std::wstring> fromUtf8Strict(std::string_view bytes)
{
    if (isAscii(bytes)) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    return decodeStrict("UTF-8", bytes);
}

std::string toUtf16Le(std::wstring_view text)
{
    Converter& converter = converterFor("UTF-16LE", "WCHAR_T");
    const std::string in = bytesOf(text);
    std::string out;
    converter.run(in.data(), in.size(), sizeof(wchar_t), OnInvalid::Replace, out,
                  [](std::string_view, std::string& o) { o += "\xFD\xFF"; });
    return out;
}

std::wstring fromUtf16Le(std::string_view bytes)
{
    // An unpaired surrogate is two bytes; skipping one byte would misalign
    // the rest, so two are replaced at a time.
    Converter& converter = converterFor("WCHAR_T", "UTF-16LE");
    std::string out;
    converter.run(bytes.data(), bytes.size(), 2, OnInvalid::Replace, out,
                  [](std::string_view, std::string& o) { appendWide(o, L'\uFFFD'); });
    return wideOf(out);
}

namespace {

void appendCp932Run(std::wstring_view run, std::string& out)
{
    if (run.empty()) {
        return;
    }
    Converter& converter = converterFor("CP932", "WCHAR_T");
    const std::string in = bytesOf(run);
    std::string converted;
    converter.run(in.data(), in.size(), sizeof(wchar_t), OnInvalid::Reference, converted,
                  [](std::string_view unit, std::string& o) {
                      std::uint32_t c = 0xFFFD;
                      if (unit.size() == sizeof(wchar_t)) {
                          wchar_t w;
                          std::copy(unit.begin(), unit.end(), reinterpret_cast<char*>(&w));
                          c = static_cast<std::uint32_t>(w);
                          if (!isScalarValue(c)) {
                              c = 0xFFFD;
                          }
                      }
                      appendCharacterReference(c, o);
                  });
    out += converted;
}

}  // namespace

std::string toCp932WithReferences(std::wstring_view text)
{
    std::string out;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (cp932WrittenAsReference(static_cast<std::uint32_t>(text[i]))) {
            appendCp932Run(text.substr(runStart, i - runStart), out);
            appendCharacterReference(static_cast<std::uint32_t>(text[i]), out);
            runStart = i + 1;
        }
    }
    appendCp932Run(text.substr(runStart), out);
    return out;
}

std::optional<std::wstring> fromCp932(std::string_view bytes)
{
    return decodeStrict("CP932", bytes);
}

std::optional<std::wstring> fromLocaleCharset(std::string_view bytes)
{
    return decodeStrict(nl_langinfo(CODESET), bytes);
}

bool convertToUtf8(SourceCharset from, std::string_view bytes, std::string& out, std::size_t& failedAt)
{
    const char* name = from == SourceCharset::Cp932 ? "CP932" : from == SourceCharset::Utf16Le ? "UTF-16LE" : "UTF-16BE";
    out.clear();
    iconv_t cd = iconv_open("UTF-8", name);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        failedAt = std::string::npos;
        return false;
    }
    out.assign(bytes.size() * 3 / 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t done = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* dst = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
        done = out.size() - outLeft;
        if (r != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // An invalid sequence, or an incomplete one at the end.
        failedAt = bytes.size() - inLeft;
        ok = false;
        break;
    }
    iconv_close(cd);
    out.resize(done);
    return ok;
}

std::string localeCharsetName()
{
    const char* name = nl_langinfo(CODESET);
    return name != nullptr ? name : "";
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
    return decodeReplacing(nl_langinfo(CODESET), bytes);
}

}  // namespace Common
