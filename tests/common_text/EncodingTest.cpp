#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>

#include "common/text/Encoding.h"

using namespace Common;

namespace {

// Sets LC_CTYPE for one test and restores the previous one.
class CtypeLocale {
public:
    explicit CtypeLocale(const char* name) : previous_(std::setlocale(LC_CTYPE, nullptr))
    {
        ok_ = std::setlocale(LC_CTYPE, name) != nullptr;
    }
    ~CtypeLocale() { std::setlocale(LC_CTYPE, previous_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

const std::wstring kJapanese = L"CEDXMの出力が完了しました";
const std::string kJapaneseUtf8 = "CEDXM\xE3\x81\xAE\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\x8C\xE5\xAE\x8C\xE4\xBA\x86"
                                  "\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F";

}  // namespace

TEST(Utf8, RoundTripOfJapaneseAndEmoji)
{
    EXPECT_EQ(toUtf8(kJapanese), kJapaneseUtf8);
    EXPECT_EQ(fromUtf8(kJapaneseUtf8), kJapanese);
    const std::wstring emoji = L"a\U0001F600b";
    EXPECT_EQ(toUtf8(emoji), "a\xF0\x9F\x98\x80" "b");
    EXPECT_EQ(fromUtf8(toUtf8(emoji)), emoji);
    EXPECT_EQ(toUtf8(L""), "");
    EXPECT_EQ(fromUtf8(""), L"");
    // Embedded NUL characters survive.
    EXPECT_EQ(fromUtf8(std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf8, InvalidInputBecomesReplacementCharacter)
{
    EXPECT_EQ(fromUtf8("a\xFF" "b"), L"a\uFFFDb");
    // Overlong form and encoded surrogate are not valid UTF-8.
    EXPECT_EQ(fromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD");
    EXPECT_EQ(fromUtf8("x\xED\xA0\x80").substr(0, 2), L"x\uFFFD");
    EXPECT_EQ(fromUtf8("x\xED\xA0\x80").find_first_not_of(L"x\uFFFD"), std::wstring::npos);
    // A sequence cut off at the end.
    EXPECT_EQ(fromUtf8("ok\xE3\x81"), L"ok\uFFFD");
    // A lone surrogate inside a wide string cannot be written as UTF-8.
    EXPECT_EQ(toUtf8(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(fromUtf8Strict("a\xFF"), std::nullopt);
    EXPECT_EQ(fromUtf8Strict("ok\xE3\x81"), std::nullopt);
    EXPECT_EQ(fromUtf8Strict(kJapaneseUtf8), kJapanese);
}

TEST(Cp932, WritesShiftJisAndReferencesWhatItCannotHold)
{
    // の = 82 CC, 出 = 8F 6F, 高 = 8D 82
    EXPECT_EQ(toCp932WithReferences(L"の出高"), "\x82\xCC\x8F\x6F\x8D\x82");
    EXPECT_EQ(toCp932WithReferences(L"a\\~"), "a\\~");
    // Half-width katakana ｱ is one byte.
    EXPECT_EQ(toCp932WithReferences(L"\uFF71"), "\xB1");
    // NEC special character ① (87 40) and IBM extension 髙 (FB FC).
    EXPECT_EQ(toCp932WithReferences(L"\u2460\u9AD9"), "\x87\x40\xFB\xFC");
    EXPECT_EQ(toCp932WithReferences(L"\U0001F600"), "&#x1F600;");
    EXPECT_EQ(toCp932WithReferences(L"x\u00E9y"), "x&#xE9;y");
    EXPECT_EQ(toCp932WithReferences(L"の\U0001F600の\u20AC"), "\x82\xCC&#x1F600;\x82\xCC&#x20AC;");
    EXPECT_EQ(toCp932WithReferences(std::wstring(1, wchar_t(0xDC00))), "&#xFFFD;");
    EXPECT_EQ(toCp932WithReferences(L""), "");
}

TEST(Cp932, ReadsShiftJisAndRefusesInvalidBytes)
{
    EXPECT_EQ(fromCp932("\x82\xCC\x8F\x6F\x8D\x82"), std::optional<std::wstring>(L"の出高"));
    const std::wstring japanese = L"基準床高 窓開口.m3d ドア開口";
    EXPECT_EQ(fromCp932(toCp932WithReferences(japanese)), japanese);
    // A lead byte without its trail byte, and an unassigned lead byte.
    EXPECT_EQ(fromCp932("ab\x82"), std::nullopt);
    EXPECT_EQ(fromCp932("\xA0"), std::nullopt);
    EXPECT_EQ(fromCp932(""), std::optional<std::wstring>(L""));
}

// The C library's locale decides the character set on POSIX; Windows has
// one ANSI code page for the whole session instead.
#ifndef _WIN32
TEST(LocaleCharset, FollowsCtypeLocaleAndByteOrderMark)
{
    {
        CtypeLocale c("C");
        ASSERT_TRUE(c.ok());
        EXPECT_EQ(fromLocaleCharset("plain"), std::optional<std::wstring>(L"plain"));
        EXPECT_EQ(fromLocaleCharset("\xE3\x81\xAE"), std::nullopt);
        // With a byte order mark the file is UTF-8 whatever the locale.
        EXPECT_EQ(fromAnsiFile("\xEF\xBB\xBF\xE3\x81\xAE=1"), std::optional<std::wstring>(L"の=1"));
        EXPECT_EQ(fromAnsiFile("\xEF\xBB\xBF\xFF"), std::nullopt);
    }
    {
        CtypeLocale utf8("C.UTF-8");
        ASSERT_TRUE(utf8.ok());
        EXPECT_EQ(fromLocaleCharset("\xE3\x81\xAE"), std::optional<std::wstring>(L"の"));
        EXPECT_EQ(fromAnsiFile("\xE3\x81\xAE"), std::optional<std::wstring>(L"の"));
    }
}
#endif

TEST(Utf16Le, RoundTripWithSurrogatePairsAndBrokenInput)
{
    const std::wstring text = L"C:\\表\U0001F600";
    const std::string bytes = toUtf16Le(text);
    EXPECT_EQ(bytes, std::string("C\0:\0\\\0\x68\x88\x3D\xD8\x00\xDE", 12));
    EXPECT_EQ(fromUtf16Le(bytes), text);
    // A lone high surrogate in the middle, then an odd trailing byte.
    EXPECT_EQ(fromUtf16Le(std::string("a\0\x3D\xD8" "b\0", 6)), L"a\uFFFDb");
    EXPECT_EQ(fromUtf16Le(std::string("a\0b", 3)), L"a\uFFFD");
}

// Whatever the writer puts in a file must read back as the same text: either
// as code page 932 bytes that decode to the same character, or as a character
// reference. The yen sign, for one, would otherwise come back as a backslash.
TEST(Cp932, EveryCharacterReadsBackAsWritten)
{
    EXPECT_EQ(Common::toCp932WithReferences(L"\u00A5100"), "&#xA5;100");
    EXPECT_EQ(Common::toCp932WithReferences(L"a\u301Cb\u2212"), "a&#x301C;b&#x2212;");
    for (std::uint32_t code = 0x20; code < 0x10000; ++code) {
        if (code >= 0xD800 && code < 0xE000) {
            continue;
        }
        const wchar_t c = static_cast<wchar_t>(code);
        const std::wstring text(1, c);
        const std::string bytes = Common::toCp932WithReferences(text);
        if (bytes.starts_with("&#x")) {
            continue;
        }
        const auto back = Common::fromCp932(bytes);
        ASSERT_TRUE(back.has_value()) << std::hex << static_cast<unsigned>(c);
        EXPECT_EQ(*back, text) << std::hex << static_cast<unsigned>(c);
    }
}
