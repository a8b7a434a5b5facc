// Numbers read in the "C" locale: plain decimal numbers take a quicker path
// than the C runtime's reader, and must come out bit for bit as it reads
// them, rounding included; everything else still goes to the runtime.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "common/text/Numbers.h"

namespace {

std::uint64_t bitsOf(double d) { return std::bit_cast<std::uint64_t>(d); }

// The C runtime's reading (the tests run in the "C" locale).
double runtimeReading(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

}  // namespace

TEST(ClassicNumbers, PlainDecimalsReadAsTheRuntimeReadsThem)
{
    std::mt19937 random(7);
    auto digits = [&](int count) {
        std::string s;
        for (int i = 0; i < count; ++i) {
            s.push_back(static_cast<char>('0' + random() % 10));
        }
        return s;
    };
    for (int i = 0; i < 200000; ++i) {
        std::string text = random() % 2 == 0 ? "-" : "";
        const int whole = 1 + static_cast<int>(random() % 12);
        text += digits(whole);
        if (random() % 4 != 0) {
            text += "." + digits(1 + static_cast<int>(random() % (22 - whole)));
        }
        ASSERT_EQ(bitsOf(Common::parseClassicDouble(text)), bitsOf(runtimeReading(text))) << text;
    }
    // Halfway and near-halfway cases between two doubles, long fractions,
    // negative zero, and the longest text the quick path takes.
    for (const std::string text : {"9007199254740993", "9007199254740995", "0.1", "0.3", "2.675", "-0",
                                   "-0.0", "1.00000000000000011102", "0.000000000000000000001",
                                   "123456789012345678901234", "1234567890123.4567890123"}) {
        EXPECT_EQ(bitsOf(Common::parseClassicDouble(text)), bitsOf(runtimeReading(text))) << text;
    }
}

TEST(ClassicNumbers, EverythingElseReadsAsTheRuntimeReadsIt)
{
    for (const std::string text : {"1e3", "+5", "0x1p4", "inf", "-nan", ".5", "5.", "12.5abc", "1,5", "",
                                   "-", "1e400", "1e-400", "1234567890123456789012345", "00012", "--1"}) {
        EXPECT_EQ(bitsOf(Common::parseClassicDouble(text)), bitsOf(runtimeReading(text))) << text;
    }
}
