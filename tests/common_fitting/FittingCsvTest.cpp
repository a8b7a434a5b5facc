#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/fitting/FittingCsv.h"
#include "common/text/Encoding.h"

using Common::CsvRow;
using Common::readFittingCsv;

namespace {

std::filesystem::path tempDir()
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? std::filesystem::path(env) : std::filesystem::temp_directory_path();
    dir /= "common_fitting";
    std::filesystem::create_directories(dir);
    return dir;
}

// Writes the bytes exactly as given and returns the file's path.
std::wstring writeTable(const std::string& name, const std::string& bytes)
{
    const std::filesystem::path path = tempDir() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return Common::fromUtf8(path.string());
}

std::vector<CsvRow> read(const std::string& name, const std::string& bytes)
{
    return readFittingCsv(writeTable(name, bytes));
}

}  // namespace

TEST(FittingCsv, QuotedCommaIsOneFieldOnEveryLine)
{
    const auto rows = read("quoted.csv", "\"a,b\\c.m3d\",X1\n\"d,e/f.m3d\",X2,\"g,h\"\n");
    ASSERT_EQ(rows.size(), 3u);  // the text after the last line feed is a row too
    EXPECT_EQ(rows[0], (CsvRow{L"a,b\\c.m3d", L"X1"}));
    EXPECT_EQ(rows[1], (CsvRow{L"d,e/f.m3d", L"X2", L"g,h"}));
    EXPECT_TRUE(rows[2].empty());
}

TEST(FittingCsv, DoubledQuotesAndEmptyFields)
{
    // AB""7 inside quotes is AB"7; two adjacent commas give no field, so the
    // model number moves into the second place; "" is kept as an empty field.
    const auto rows = read("quotes.csv", "\"AB\"\"7\",x\ndoor\\a.m3d,,D-1\n\"\",y\n\n");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], (CsvRow{L"AB\"7", L"x"}));
    EXPECT_EQ(rows[1], (CsvRow{L"door\\a.m3d", L"D-1"}));
    EXPECT_EQ(rows[2], (CsvRow{L"", L"y"}));
    EXPECT_TRUE(rows[3].empty());
    EXPECT_TRUE(rows[4].empty());
}

TEST(FittingCsv, QuotedRegionsArePairedOverTheWholeText)
{
    // A region left open on the first line goes on over the line feed: the
    // comma on the second line before its closing quote separates nothing,
    // while the line feed still starts a new row.
    const auto rows = read("regions.csv", "\"a,b\nc,d\",e\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (CsvRow{L"a,"}));  // "a,b loses its quote and its last character
    EXPECT_EQ(rows[1], (CsvRow{L"c,d\"", L"e"}));
    // A last quote without partner opens nothing: its commas still separate.
    const auto open = read("unpaired.csv", "x,\"y,z\n");
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0], (CsvRow{L"x", L"", L"z"}));  // "y loses both characters
}

TEST(FittingCsv, HeaderLineIsAnOrdinaryRow)
{
    const auto rows = read("header.csv", "part,model\nwin\\w1.m3d,W-1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (CsvRow{L"part", L"model"}));
    EXPECT_EQ(rows[1], (CsvRow{L"win\\w1.m3d", L"W-1"}));
}

TEST(FittingCsv, TextModeLineEndsCtrlZAndZeroByte)
{
    const auto lf = read("lf.csv", "a\\b,1\nc/d,2\n");
    const auto crlf = read("crlf.csv", "a\\b,1\r\nc/d,2\r\n");
    EXPECT_EQ(lf, crlf);
    // A carriage return not followed by a line feed stays in the field.
    EXPECT_EQ(read("cr.csv", "a,b\rc")[0], (CsvRow{L"a", L"b\rc"}));
    // Ctrl+Z and a zero byte both end the content.
    const auto z = read("ctrlz.csv", std::string("a/b,1\n\x1A" "c/d,2\n"));
    ASSERT_EQ(z.size(), 2u);
    EXPECT_TRUE(z[1].empty());
    // (Not "nul.csv": on Windows that names the null device.)
    const auto nul = read("zero-byte.csv", std::string("a/b,1\nc/d", 9) + std::string(1, '\0') + ",2\n");
    ASSERT_EQ(nul.size(), 2u);
    EXPECT_EQ(nul[1], (CsvRow{L"c/d"}));
}

TEST(FittingCsv, ByteOrderMarkMeansUtf8WhateverTheLocale)
{
    // Under the plain C locale (ASCII) the Japanese bytes only decode because
    // of the mark; the same bytes without it are undecodable there. Windows
    // has no such locale to switch to (the ANSI code page is the system's):
    // there the mark alone is checked.
#ifndef _WIN32
    const char* previous = std::getenv("LC_ALL");
    const std::string saved = previous != nullptr ? previous : "";
    ::setenv("LC_ALL", "C", 1);
#endif
    const auto rows = read("bom.csv", "\xEF\xBB\xBF" "建具\\窓.m3d,窓-1\r\n");
#ifndef _WIN32
    const auto plain = read("nobom.csv", "建具\\窓.m3d,窓-1\r\n");
    if (previous != nullptr) {
        ::setenv("LC_ALL", saved.c_str(), 1);
    } else {
        ::unsetenv("LC_ALL");
    }
    std::setlocale(LC_ALL, "");
    EXPECT_TRUE(plain.empty());
#endif
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (CsvRow{L"建具\\窓.m3d", L"窓-1"}));
}

TEST(FittingCsv, UndecodableFileGivesNoRowsAndSaysWhere)
{
    std::wstring problem;
    // 0xFF is no character in UTF-8, ASCII or code page 932.
    const std::wstring path = writeTable("bad.csv", "a/b,1\r\nc/d,\xFF\xFF\n");
    EXPECT_TRUE(readFittingCsv(path, &problem).empty());
    EXPECT_NE(problem.find(path), std::wstring::npos);
    EXPECT_NE(problem.find(L"line 2, byte 5"), std::wstring::npos) << Common::toUtf8(problem);
    EXPECT_NE(problem.find(L"file offset 11"), std::wstring::npos) << Common::toUtf8(problem);

    // With a byte order mark the bytes are judged as UTF-8: a cut sequence
    // at the end is an error there.
    const std::wstring cut = writeTable("badbom.csv", "\xEF\xBB\xBF" "a/b,\xE7\xAA");
    EXPECT_TRUE(readFittingCsv(cut, &problem).empty());
    EXPECT_NE(problem.find(L"UTF-8"), std::wstring::npos);
    EXPECT_NE(problem.find(L"line 1, byte 8"), std::wstring::npos) << Common::toUtf8(problem);
}

TEST(FittingCsv, MissingOrNonRegularFileGivesNoRows)
{
    std::wstring problem;
    const std::wstring missing = Common::fromUtf8((tempDir() / "missing.csv").string());
    EXPECT_TRUE(readFittingCsv(missing, &problem).empty());
    EXPECT_NE(problem.find(missing), std::wstring::npos);
    EXPECT_TRUE(readFittingCsv(Common::fromUtf8(tempDir().string()), &problem).empty());
    EXPECT_FALSE(problem.empty());
    // A good file clears an earlier problem.
    EXPECT_EQ(readFittingCsv(writeTable("ok.csv", "a/b,1"), &problem).size(), 1u);
    EXPECT_TRUE(problem.empty());
}

TEST(FittingCsv, HostileInputStaysBounded)
{
    // Many quotes, commas and empty lines: every line is still a row and the
    // reader finishes.
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "\"\"\"\",,,\n";
    }
    const auto rows = read("hostile.csv", text);
    ASSERT_EQ(rows.size(), 20001u);
    EXPECT_EQ(rows[0], (CsvRow{L"\""}));

    std::wstring problem;
    const std::wstring big = writeTable("big.csv", std::string(17u * 1024u * 1024u, 'a'));
    EXPECT_TRUE(readFittingCsv(big, &problem).empty());
    EXPECT_NE(problem.find(L"larger"), std::wstring::npos);
    std::filesystem::remove(tempDir() / "big.csv");
}
