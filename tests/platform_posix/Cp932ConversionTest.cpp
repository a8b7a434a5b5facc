// Whole Shift-JIS texts converted for the XML parser: the ASCII between
// other characters is copied past the converter, and the result must be the
// system converter's own on the whole text, failures and their offsets
// included, however the one- and two-byte characters fall.

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>
#include <string>

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
