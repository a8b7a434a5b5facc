#include "common/text/Encoding.h"
#include "common/text/Cp932References.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

// What the system's code page 932 converter writes for each character of
// the Basic Multilingual Plane, asked the first time the character is
// written: writing a file then costs a lookup per character instead of a
// pass of the converter over every text. Characters are converted one by one
// either way (the code page has no state), so the bytes are the same. The
// characters always written as references are entered as characters the
// code page lacks, so that a whole text goes through in one pass.
class Cp932Writing {
public:
    // Appends the bytes of `run`; false (nothing appended) when a character
    // lies beyond the table.
    bool append(std::wstring_view run, std::string& out)
    {
        const std::size_t start = out.size();
        // The bytes of one or two byte characters go straight into room made
        // for two bytes a character; a character reference, or a longer
        // sequence, is appended after cutting the room back to what was
        // written, and the room made again for the rest.
        std::size_t at = start;
        const auto makeRoom = [&](std::size_t characters) {
            const std::size_t needed = at + 2 * characters;
            if (needed > out.capacity()) {
                // Grown geometrically, as a buffer appended to run after run
                // would otherwise be copied whole for every run.
                out.reserve(std::max(needed, 2 * out.capacity()));
            }
            out.resize(needed);
        };
        makeRoom(run.size());
        std::size_t i = 0;
        while (i < run.size()) {
            // Most of what is written is ASCII (numbers, markup): a block of
            // it is copied at once when the code page writes ASCII as itself.
            const std::size_t blockEnd = std::min(run.size(), i + kBlock);
            if (asciiIsItself_ && blockEnd - i == kBlock && isAsciiBlock(run.data() + i)) {
                for (std::size_t k = 0; k < kBlock; ++k) {
                    out[at + k] = static_cast<char>(run[i + k]);
                }
                at += kBlock;
                i = blockEnd;
                continue;
            }
            for (; i < blockEnd; ++i) {
                const wchar_t c = run[i];
                if (asciiIsItself_ && c >= 0 && c < 0x80) {
                    out[at++] = static_cast<char>(c);
                    continue;
                }
                if (c < 0 || c > 0xFFFF) {
                    out.resize(start);
                    return false;
                }
                Entry& entry = entries_[static_cast<std::size_t>(c)];
                if (!entry.known) {
                    learn(c, entry);
                }
                if (entry.written && entry.length <= 2) {
                    out[at] = entry.bytes[0];
                    out[at + 1] = entry.bytes[1];
                    at += entry.length;
                    continue;
                }
                out.resize(at);
                if (entry.written) {
                    out.append(entry.bytes, entry.length);
                } else {
                    appendCharacterReference(
                        isScalarValue(static_cast<std::uint32_t>(c)) ? static_cast<std::uint32_t>(c) : 0xFFFD, out);
                }
                at = out.size();
                makeRoom(run.size() - i - 1);
            }
        }
        out.resize(at);
        return true;
    }

private:
    struct Entry {
        char bytes[4] = {};
        std::uint8_t length = 0;
        bool written = false;  // false: the code page has no such character
        bool known = false;
    };

    static void learn(wchar_t c, Entry& entry)
    {
        entry.known = true;
        if (cp932WrittenAsReference(static_cast<std::uint32_t>(c))) {
            return;
        }
        const std::string in = bytesOf(std::wstring_view(&c, 1));
        std::string converted;
        if (converterFor("CP932", "WCHAR_T")
                .run(in.data(), in.size(), sizeof(wchar_t), OnInvalid::Fail, converted,
                     [](std::string_view, std::string&) {}) &&
            converted.size() <= sizeof entry.bytes) {
            std::memcpy(entry.bytes, converted.data(), converted.size());
            entry.length = static_cast<std::uint8_t>(converted.size());
            entry.written = true;
        }
    }

    static constexpr std::size_t kBlock = 8;

    static bool isAsciiBlock(const wchar_t* block)
    {
        std::uint32_t bits = 0;
        for (std::size_t k = 0; k < kBlock; ++k) {
            bits |= static_cast<std::uint32_t>(block[k]);
        }
        return bits < 0x80;
    }

    // Whether the converter writes every ASCII character as its own byte,
    // as code page 932 does; asked once, so that a converter that did not
    // still has every character looked up.
    bool asksAsciiIsItself()
    {
        for (wchar_t c = 0; c < 0x80; ++c) {
            Entry& entry = entries_[static_cast<std::size_t>(c)];
            learn(c, entry);
            if (!entry.written || entry.length != 1 || entry.bytes[0] != static_cast<char>(c)) {
                return false;
            }
        }
        return true;
    }

    std::vector<Entry> entries_ = std::vector<Entry>(0x10000);
    bool asciiIsItself_ = asksAsciiIsItself();
};

Cp932Writing& cp932Writing()
{
    thread_local Cp932Writing writing;
    return writing;
}

void appendCp932Run(std::wstring_view run, std::string& out)
{
    if (run.empty()) {
        return;
    }
    if (cp932Writing().append(run, out)) {
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

void appendCp932WithReferences(std::wstring_view text, std::string& out)
{
    if (cp932Writing().append(text, out)) {
        return;
    }
    // A character beyond the Basic Multilingual Plane: the runs between the
    // characters written as references go through the converter.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (cp932WrittenAsReference(static_cast<std::uint32_t>(text[i]))) {
            appendCp932Run(text.substr(runStart, i - runStart), out);
            appendCharacterReference(static_cast<std::uint32_t>(text[i]), out);
            runStart = i + 1;
        }
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
    return decodeStrict("CP932", bytes);
}

std::optional<std::wstring> fromLocaleCharset(std::string_view bytes)
{
    return decodeStrict(nl_langinfo(CODESET), bytes);
}

namespace {

// Converts `size` bytes at `data` with `cd`, appending to `out`; false with
// `failedAt` (counted from `data`) at an invalid sequence or an incomplete
// one at the end.
bool appendConverted(iconv_t cd, const char* data, std::size_t size, std::string& out, std::size_t& failedAt)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::size_t done = out.size();
    out.resize(done + size * 3 / 2 + 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
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
        failedAt = size - inLeft;
        out.resize(done);
        return false;
    }
    out.resize(done);
    return true;
}

// Code page 932 read through a table of what the system's converter makes of
// every byte and every pair of bytes, filled from the converter itself at
// first use: converting a whole file then costs a lookup per character
// instead of the converter's own, much slower, loop. Every entry is the
// converter's answer, so the result is the same, failures included.
class Cp932Table {
public:
    // Null when the system has no code page 932 converter.
    static const Cp932Table* get()
    {
        static const std::unique_ptr<Cp932Table> table = make();
        return table.get();
    }

    // Appends the UTF-8 of `bytes`; false with `failedAt` at the first byte
    // that does not begin a character the converter reads.
    bool convert(std::string_view bytes, std::string& out, std::size_t& failedAt) const
    {
        // Written through a pointer into room made ahead, a whole entry at a
        // time (entries are shorter than the room kept free).
        const std::size_t n = bytes.size();
        std::size_t used = out.size();
        out.resize(used + n + n / 4 + 16);
        char* dst = out.data() + used;
        char* limit = out.data() + out.size();
        auto put = [&](const Entry& entry) {
            if (limit - dst < static_cast<std::ptrdiff_t>(sizeof entry.utf8) + 1) {
                used = static_cast<std::size_t>(dst - out.data());
                out.resize(out.size() * 2);
                dst = out.data() + used;
                limit = out.data() + out.size();
            }
            std::memcpy(dst, entry.utf8, sizeof entry.utf8);
            dst += entry.length;
        };
        bool ok = true;
        std::size_t i = 0;
        while (i < n) {
            // Runs of bytes that stand for themselves (ASCII, markup and
            // numbers, most of a file) are copied whole.
            std::size_t same = i;
            while (same < n && itself_[static_cast<unsigned char>(bytes[same])]) {
                ++same;
            }
            if (same > i) {
                if (limit - dst < static_cast<std::ptrdiff_t>(same - i)) {
                    used = static_cast<std::size_t>(dst - out.data());
                    out.resize(used + (same - i) + n / 4 + 16);
                    dst = out.data() + used;
                    limit = out.data() + out.size();
                }
                std::memcpy(dst, bytes.data() + i, same - i);
                dst += same - i;
                i = same;
                continue;
            }
            const auto b = static_cast<unsigned char>(bytes[i]);
            const Entry& single = singles_[b];
            if (single.length > 0) {
                put(single);
                ++i;
                continue;
            }
            if (single.lead && i + 1 < n) {
                const Entry& pair = pairs_[(static_cast<std::size_t>(b) << 8) | static_cast<unsigned char>(bytes[i + 1])];
                if (pair.length > 0) {
                    put(pair);
                    i += 2;
                    continue;
                }
            }
            failedAt = i;
            ok = false;
            break;
        }
        out.resize(static_cast<std::size_t>(dst - out.data()));
        return ok;
    }

private:
    struct Entry {
        char utf8[7] = {};
        std::uint8_t length = 0;  // 0: no character
        bool lead = false;        // a first byte that needs a second
    };

    static std::unique_ptr<Cp932Table> make()
    {
        const iconv_t cd = iconv_open("UTF-8", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return nullptr;
        }
        auto table = std::make_unique<Cp932Table>();
        table->pairs_.resize(256 * 256);
        // What the converter makes of exactly these bytes: the UTF-8 when it
        // reads them whole as one text, and whether it wants more.
        auto ask = [&](const char* in, std::size_t size, Entry& entry) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            char out[16];
            char* source = const_cast<char*>(in);
            std::size_t inLeft = size;
            char* target = out;
            std::size_t outLeft = sizeof out;
            const std::size_t rc = iconv(cd, &source, &inLeft, &target, &outLeft);
            const int error = errno;
            const std::size_t made = sizeof out - outLeft;
            if (rc != static_cast<std::size_t>(-1) && inLeft == 0 && made > 0 && made <= sizeof entry.utf8) {
                std::memcpy(entry.utf8, out, made);
                entry.length = static_cast<std::uint8_t>(made);
            } else if (rc == static_cast<std::size_t>(-1) && error == EINVAL && size == 1) {
                entry.lead = true;
            }
        };
        for (int b = 0; b < 256; ++b) {
            const char one = static_cast<char>(b);
            Entry& single = table->singles_[static_cast<std::size_t>(b)];
            ask(&one, 1, single);
            table->itself_[static_cast<std::size_t>(b)] = single.length == 1 && single.utf8[0] == one;
        }
        for (int b = 0; b < 256; ++b) {
            if (!table->singles_[static_cast<std::size_t>(b)].lead) {
                continue;
            }
            for (int t = 0; t < 256; ++t) {
                const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
                ask(two, 2, table->pairs_[(static_cast<std::size_t>(b) << 8) | static_cast<std::size_t>(t)]);
            }
        }
        iconv_close(cd);
        return table;
    }

    Entry singles_[256];
    bool itself_[256] = {};  // the byte alone reads as the same one byte
    std::vector<Entry> pairs_;
};

}  // namespace

bool convertToUtf8(SourceCharset from, std::string_view bytes, std::string& out, std::size_t& failedAt)
{
    const char* name = from == SourceCharset::Cp932 ? "CP932" : from == SourceCharset::Utf16Le ? "UTF-16LE" : "UTF-16BE";
    out.clear();
    iconv_t cd = iconv_open("UTF-8", name);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        failedAt = std::string::npos;
        return false;
    }
    bool ok = true;
    const Cp932Table* table = from == SourceCharset::Cp932 ? Cp932Table::get() : nullptr;
    if (table != nullptr) {
        out.reserve(bytes.size() + bytes.size() / 4);
        ok = table->convert(bytes, out, failedAt);
    } else {
        out.reserve(bytes.size() * 3 / 2 + 16);
        ok = appendConverted(cd, bytes.data(), bytes.size(), out, failedAt);
    }
    iconv_close(cd);
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
