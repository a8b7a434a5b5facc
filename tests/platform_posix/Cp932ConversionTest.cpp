// Whole Shift-JIS texts converted for the XML parser, and texts written in
// code page 932 by the exporter: the ASCII between
// other characters is copied past the converter, and the result must be the
// system converter's own on the whole text, failures and their offsets
// included, however the one- and two-byte characters fall.

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "common/text/Cp932References.h"
#include "common/text/Encoding.h"

namespace {

struct Converted {
    bool ok = false;
    std::string text;
    std::size_t failedAt = 0;
};

// The system converter on the whole text at once.
Converted wholeText(const std::string& bytes)
{
    Converted result;
    const iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    result.ok = iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1);
    result.failedAt = bytes.size() - inLeft;
    out.resize(out.size() - outLeft);
    result.text = out;
    iconv_close(cd);
    return result;
}

}  // namespace

TEST(Cp932Conversion, SameAsTheConverterOnTheWholeText)
{
    std::mt19937 random(11);
    auto byteIn = [&](int lo, int hi) { return static_cast<char>(lo + static_cast<int>(random() % (hi - lo + 1))); };
    int failures = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        const int pieces = 1 + static_cast<int>(random() % 12);
        for (int p = 0; p < pieces; ++p) {
            switch (random() % 8) {
            case 0:
            case 1:  // markup and numbers
                bytes += "<a x=\"12.5\">\\~</a>";
                break;
            case 2:  // a two-byte character whose second byte is ASCII
                bytes += byteIn(0x81, 0x9F);
                bytes += byteIn(0x40, 0x7E);
                break;
            case 3:  // a two-byte character whose second byte is not
                bytes += byteIn(0xE0, 0xEA);
                bytes += byteIn(0x80, 0xFC);
                break;
            case 4:  // half-width katakana
                bytes += byteIn(0xA1, 0xDF);
                break;
            case 5:  // bytes that are no character, or odd ones
                bytes += "\x80\xA0\xFD\xFE\xFF"[random() % 5];
                break;
            case 6:  // a first byte with an ASCII byte that cannot follow it
                bytes += byteIn(0x81, 0x9F);
                bytes += byteIn(0x20, 0x3F);
                break;
            default:  // a single ASCII byte
                bytes += byteIn(0x20, 0x7E);
                break;
            }
        }
        if (random() % 10 == 0) {
            bytes += byteIn(0x81, 0x9F);  // cut off at the end
        }
        const Converted expected = wholeText(bytes);
        Converted got;
        got.ok = Common::convertToUtf8(Common::SourceCharset::Cp932, bytes, got.text, got.failedAt);
        ASSERT_EQ(got.ok, expected.ok) << round;
        if (expected.ok) {
            ASSERT_EQ(got.text, expected.text) << round;
        } else {
            ASSERT_EQ(got.failedAt, expected.failedAt) << round;
            ++failures;
        }
    }
    // Texts that grow to three times their length (half-width katakana),
    // then long runs of ASCII after them.
    for (const std::size_t length : {1u, 7u, 1000u, 100000u}) {
        const std::string bytes = std::string(length, '\xB1') + std::string(length, 'a') + "\x82\xA0";
        const Converted expected = wholeText(bytes);
        Converted got;
        got.ok = Common::convertToUtf8(Common::SourceCharset::Cp932, bytes, got.text, got.failedAt);
        ASSERT_TRUE(expected.ok);
        ASSERT_TRUE(got.ok);
        EXPECT_EQ(got.text, expected.text) << length;
    }
    // Both outcomes were tried many times.
    EXPECT_GT(failures, 1000);
    EXPECT_LT(failures, 19000);
}

namespace {

// Text written in code page 932 by the system converter over the whole text,
// a reference for each character it cannot write and for those written as
// references anyway.
std::string writtenWhole(const std::wstring& text)
{
    std::string out;
    const iconv_t cd = iconv_open("CP932", "WCHAR_T");
    std::wstring run;
    auto flush = [&] {
        std::string bytes(reinterpret_cast<const char*>(run.data()), run.size() * sizeof(wchar_t));
        char* in = bytes.data();
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char buffer[4096];
            char* dst = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
            out.append(buffer, sizeof buffer - outLeft);
            if (rc == static_cast<std::size_t>(-1) && errno == EILSEQ) {
                wchar_t w;
                std::memcpy(&w, in, sizeof w);
                const auto c = static_cast<std::uint32_t>(w);
                Common::appendCharacterReference(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF) ? c : 0xFFFD, out);
                in += sizeof w;
                inLeft -= sizeof w;
            }
        }
        run.clear();
    };
    for (const wchar_t c : text) {
        if (Common::cp932WrittenAsReference(static_cast<std::uint32_t>(c))) {
            flush();
            Common::appendCharacterReference(static_cast<std::uint32_t>(c), out);
        } else {
            run.push_back(c);
        }
    }
    flush();
    iconv_close(cd);
    return out;
}

}  // namespace

TEST(Cp932Conversion, WritingIsTheConvertersOwnOnTheWholeText)
{
    std::mt19937 random(5);
    // ASCII, kana and kanji, full-width forms, characters the code page maps
    // one way only, characters it does not have (accents, emoji beyond the
    // table), lone surrogates and the byte order mark.
    const std::wstring pool = L"aZ09<>&\\~ \t\r\n洋室和室ｱｶﾞ～－￢①№\u00A5\u2212\u301C\u00E9\u0416\uFEFF\U0001F600\U00020B9F";
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            if (random() % 25 == 0) {
                text.push_back(static_cast<wchar_t>(0xD800 + random() % 0x800));
            } else {
                text.push_back(pool[random() % pool.size()]);
            }
        }
        ASSERT_EQ(Common::toCp932WithReferences(text), writtenWhole(text)) << round;
    }
    // Every character of the Basic Multilingual Plane once, in one text.
    std::wstring all;
    for (wchar_t c = 1; c <= 0xFFFF; ++c) {
        all.push_back(c);
    }
    EXPECT_EQ(Common::toCp932WithReferences(all), writtenWhole(all));
}

// ASCII is copied a block of characters at a time: runs of it that end at
// every place of a block, then a character the code page has, one it lacks,
// one always written as a reference, one beyond the table, a lone surrogate,
// or the end; the backslash and the tilde, which some code pages give other
// characters, among them. Appended to bytes already there, which a text
// that falls back to the converter must keep.
TEST(Cp932Conversion, AsciiRunsEndingAnywhereInABlock)
{
    const std::wstring ascii = L"\\~a0<\"&\t \x7F\x01";
    const std::wstring followers[] = {L"洋", L"é", L"\u00A5", L"\U0001F600", std::wstring(1, wchar_t(0xDC00)), L""};
    for (std::size_t lead = 0; lead <= 9; ++lead) {
        for (std::size_t run = 0; run <= 25; ++run) {
            for (const std::wstring& follower : followers) {
                std::wstring text(lead, L'ｱ');
                for (std::size_t i = 0; i < run; ++i) {
                    text += ascii[(i + lead) % ascii.size()];
                }
                text += follower + L"~\\" + std::wstring(run % 9, L'x');
                std::string out = "\x82\xA0";
                Common::appendCp932WithReferences(text, out);
                ASSERT_EQ(out, "\x82\xA0" + writtenWhole(text)) << lead << " " << run;
            }
        }
    }
}
