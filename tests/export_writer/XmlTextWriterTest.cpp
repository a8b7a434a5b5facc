#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <vector>

#include "WriterTestSupport.h"
#include "common/text/Encoding.h"
#include "exporter/writer/XmlTextWriter.h"

using namespace Exporter;
using WriterTest::crlf;

namespace {

class XmlTextWriterTest : public ::testing::Test {
protected:
    std::filesystem::path dir = WriterTest::freshFolder(
        std::string("xml_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::path file = dir / "out.xml";
};

TEST_F(XmlTextWriterTest, EmptyDocumentIsThreeCrLfLines)
{
    XmlTextWriter xml;
    ASSERT_TRUE(xml.open(file.string(), true));
    XmlAttributeList a;
    a.add(L"Version", L"1.0");
    EXPECT_TRUE(xml.start(L"CADIF", a));
    xml.end(L"CADIF");
    ASSERT_TRUE(xml.close());
    EXPECT_EQ(WriterTest::readBytes(file),
              "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n<CADIF Version=\"1.0\">\r\n</CADIF>\r\n");
}

TEST_F(XmlTextWriterTest, Utf8DeclarationAndBytesWithoutByteOrderMark)
{
    XmlTextWriter xml;
    ASSERT_TRUE(xml.open(file.string(), false));
    xml.value(L"床高", L"2400.0");
    ASSERT_TRUE(xml.close());
    EXPECT_EQ(WriterTest::readBytes(file), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                           "<\xE5\xBA\x8A\xE9\xAB\x98>2400.0</\xE5\xBA\x8A\xE9\xAB\x98>\r\n");
}

TEST_F(XmlTextWriterTest, LineKindsAndIndentation)
{
    XmlTextWriter xml;
    ASSERT_TRUE(xml.open(file.string(), true));
    XmlAttributeList two;
    two.add(L"a", L"v");
    two.add(L"b", L"w");
    XmlAttributeList none;
    xml.start(L"A");
    xml.start(L"B", two);
    xml.start(L"C");
    xml.value(L"床高", L"2400.0");  // depth 3: six blanks
    xml.value(L"E", L"");
    xml.value(L"V", two, L"t");
    xml.empty(L"P", two);
    xml.empty(L"Q", none);
    xml.startWithText(L"詳細", L"0");
    xml.value(L"名称", L"x");
    xml.closeAll();
    EXPECT_EQ(xml.depth(), 0u);
    ASSERT_TRUE(xml.close());
    EXPECT_EQ(WriterTest::readCp932(file), crlf({
                                               L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>",
                                               L"<A>",
                                               L"  <B a=\"v\" b=\"w\">",
                                               L"    <C>",
                                               L"      <床高>2400.0</床高>",
                                               L"      <E></E>",
                                               L"      <V a=\"v\" b=\"w\">t</V>",
                                               L"      <P a=\"v\" b=\"w\"/>",
                                               L"      <Q/>",
                                               L"      <詳細>",
                                               L"      0",
                                               L"        <名称>x</名称>",
                                               L"      </詳細>",
                                               L"    </C>",
                                               L"  </B>",
                                               L"</A>",
                                           }));
}

// The writer keeps the bytes of names it has written: a name changed in
// place, or written again after the writer was opened in the other
// encoding, is encoded anew.
TEST_F(XmlTextWriterTest, NamesChangedInPlaceOrInAnotherEncodingAreWrittenAnew)
{
    XmlTextWriter xml;
    std::wstring name = L"床高";
    ASSERT_TRUE(xml.open(file.string(), false));
    xml.value(name, L"1");
    ASSERT_TRUE(xml.close());
    ASSERT_TRUE(xml.open(file.string(), true));
    xml.value(name, L"2");
    name[1] = L'A';  // the same characters' place, another name
    xml.value(name, L"3");
    xml.start(name);
    name[1] = L'B';
    xml.end(name);  // closes 床A, which is not 床B, and everything else
    ASSERT_TRUE(xml.close());
    EXPECT_EQ(WriterTest::readCp932(file), crlf({
                                               L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>",
                                               L"<床高>2</床高>",
                                               L"<床A>3</床A>",
                                               L"<床A>",
                                               L"</床A>",
                                           }));
}

TEST_F(XmlTextWriterTest, EndByNameClosesInnerElementsAndStopsAtTheName)
{
    XmlTextWriter xml;
    ASSERT_TRUE(xml.open(file.string(), true));
    xml.start(L"A");
    xml.start(L"B");
    xml.start(L"C");
    xml.end(L"B");
    EXPECT_EQ(xml.depth(), 1u);  // A stays open
    xml.start(L"D");
    xml.start(L"b");
    xml.end(L"X");  // not open (names compare case-sensitively): closes all
    EXPECT_EQ(xml.depth(), 0u);
    ASSERT_TRUE(xml.close());
    EXPECT_EQ(WriterTest::readCp932(file), crlf({
                                               L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>",
                                               L"<A>",
                                               L"  <B>",
                                               L"    <C>",
                                               L"    </C>",
                                               L"  </B>",
                                               L"  <D>",
                                               L"    <b>",
                                               L"    </b>",
                                               L"  </D>",
                                               L"</A>",
                                           }));
}

TEST_F(XmlTextWriterTest, EscapingOfTextsAndAttributes)
{
    XmlTextWriter xml;
    ASSERT_TRUE(xml.open(file.string(), true));
    XmlAttributeList a;
    a.add(L"名称", L"a&b<c>\"d'");
    xml.value(L"名称", a, L"A&B <x> \"q\"");
    // Characters XML cannot carry at all become U+FFFD, written as a reference.
    xml.value(L"T", std::wstring(L"x") + wchar_t(1) + L"y");
    // Outside code page 932: a character reference keeps the file complete.
    xml.value(L"U", L"\U0001F600");
    // Only the ">" that closes "]]>" in text, and every carriage return.
    XmlAttributeList b;
    b.add(L"v", L"]]>\r");
    xml.value(L"M", b, L"]]>]>]]]>>\r\n");
    ASSERT_TRUE(xml.close());
    EXPECT_EQ(WriterTest::readCp932(file),
              crlf({
                  L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>",
                  L"<名称 名称=\"a&amp;b&lt;c>&quot;d'\">A&amp;B &lt;x> \"q\"</名称>",
                  L"<T>x&#xFFFD;y</T>",
                  L"<U>&#x1F600;</U>",
                  L"<M v=\"]]>&#xD;\">]]&gt;]>]]]&gt;>&#xD;",
                  L"</M>",
              }));
}

// The plain way to write a line: escaped into a wide text, then the whole
// line encoded, its line feeds turned into CR LF.
std::wstring escapedPlainly(const std::wstring& text, bool attribute)
{
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const auto u = static_cast<std::uint32_t>(c);
        const bool pair = sizeof(wchar_t) == 2 && u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() &&
                          static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
                          static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF;
        if (pair) {
            out += c;
            out += text[++i];
        } else if (c == L'&') {
            out += L"&amp;";
        } else if (c == L'<') {
            out += L"&lt;";
        } else if (c == L'"' && attribute) {
            out += L"&quot;";
        } else if (c == L'>' && !attribute && i >= 2 && text.compare(i - 2, 2, L"]]") == 0) {
            out += L"&gt;";
        } else if (c == L'\r') {
            out += L"&#xD;";
        } else if ((u < 0x20 && c != L'\t' && c != L'\n') || (u >= 0xD800 && u <= 0xDFFF) || u == 0xFFFE ||
                   u == 0xFFFF || u > 0x10FFFF) {
            out += L'\uFFFD';
        } else {
            out += c;
        }
    }
    return out;
}

std::string encodedPlainly(const std::wstring& line, bool shiftJis)
{
    const std::string bytes = shiftJis ? Common::toCp932WithReferences(line) : Common::toUtf8(line);
    std::string out;
    for (const char b : bytes) {
        out += b == '\n' ? "\r\n" : std::string(1, b);
    }
    return out;
}

// Lines escaped and encoded in one pass, element after element with one
// attribute list refilled, give the bytes of the plain way: runs of ASCII
// and other characters broken by markup, line feeds, characters XML cannot
// carry and characters the code page lacks, at every place of a text.
TEST_F(XmlTextWriterTest, OnePassGivesTheBytesOfThePlainWay)
{
    std::wstring pool = L"a0 &<>\"]\r\n\t\\~洋室ｱé\u00A5\u2212\uFFFE\uFFFF\U0001F600";
    pool += static_cast<wchar_t>(1);
    pool += static_cast<wchar_t>(0xD800);
    pool += static_cast<wchar_t>(0xDC00);
    std::mt19937 random(3);
    const auto randomText = [&] {
        std::wstring text;
        const std::size_t length = random() % 24;
        for (std::size_t i = 0; i < length; ++i) {
            text += random() % 3 == 0 ? pool[random() % pool.size()] : L"xyz洋"[random() % 4];
        }
        return text;
    };
    for (const bool shiftJis : {true, false}) {
        XmlTextWriter xml;
        ASSERT_TRUE(xml.open(file.string(), shiftJis));
        std::wstring expected = std::wstring(L"<?xml version=\"1.0\" encoding=\"") +
                                (shiftJis ? L"Shift-JIS" : L"UTF-8") + L"\"?>\n";
        for (int round = 0; round < 400; ++round) {
            const std::wstring text = randomText();
            XmlAttributeList& attributes = xml.attributes();
            std::wstring line = L"<要素";
            for (std::size_t n = random() % 4; n > 0; --n) {
                const std::wstring value = randomText();
                const std::wstring name = n % 2 == 0 ? L"属性" : L"a";
                attributes.add(name, value);
                line += L" " + name + L"=\"" + escapedPlainly(value, true) + L"\"";
            }
            if (round % 3 == 0) {
                xml.empty(L"要素", attributes);
                expected += line + L"/>\n";
            } else if (round % 3 == 1) {
                xml.value(L"要素", attributes, text);
                expected += line + L">" + escapedPlainly(text, false) + L"</要素>\n";
            } else {
                xml.startWithText(L"要素", text);
                xml.valueNumber(L"数", -0.04 * round);
                xml.valueInteger(L"整数", -round);
                xml.end(L"要素");
                expected += L"<要素>\n" + escapedPlainly(text, false) + L"\n  <数>" + formatNumber(-0.04 * round) +
                            L"</数>\n  <整数>" + formatInteger(-round) + L"</整数>\n</要素>\n";
            }
        }
        ASSERT_TRUE(xml.close());
        std::string plain;
        for (std::size_t at = 0; at < expected.size();) {
            // Encoded a line at a time, as the plain way wrote them.
            const std::size_t next = std::min(expected.size(), expected.find(L"\n", at) + 1);
            plain += encodedPlainly(expected.substr(at, next - at), shiftJis);
            at = next;
        }
        EXPECT_EQ(WriterTest::readBytes(file), plain) << shiftJis;
    }
}

TEST(NumberFormat, OneDecimalWithPointAndSignOfZero)
{
    EXPECT_EQ(formatNumber(2400), L"2400.0");
    EXPECT_EQ(formatNumber(0.04), L"0.0");
    EXPECT_EQ(formatNumber(-0.04), L"-0.0");
    EXPECT_EQ(formatNumber(0.05), L"0.1");  // 0.05 is stored slightly above 0.05
    EXPECT_EQ(formatNumber(0.25), L"0.2");  // exact tie: round half to even, as printf
    EXPECT_EQ(formatNumber(-1234.56), L"-1234.6");
    EXPECT_EQ(formatInteger(-7), L"-7");
    EXPECT_EQ(formatInteger(std::numeric_limits<long long>::min()), L"-9223372036854775808");
    EXPECT_EQ(formatPoint(1, -2), L"1.0,-2.0");
    EXPECT_EQ(formatPoint3(1, 2, 3.25), L"1.0,2.0,3.2");
    EXPECT_EQ(formatSegment(0, 0, 910, -0.01), L"0.0,0.0 910.0,-0.0");
}

// Whole numbers take a quicker way than the others: both give what "%.1f"
// gives, at the edges of that way (the sign of zero, 2^53, beyond) too.
TEST(NumberFormat, WholeNumbersAsFormattedInFull)
{
    const auto inFull = [](double value) {
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
        return std::wstring(buffer, result.ptr);
    };
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 9.95, 9007199254740991.0, 9007199254740992.0,
                                  9007199254740994.0, -9007199254740991.0, 1e15, 1e16, -1e300, 1e308,
                                  std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min()};
    for (double p = 1; p < 1e20; p *= 10) {
        for (const double v : {p - 1, p, p + 1, p - 0.5, p + 0.05}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    for (const double v : values) {
        EXPECT_EQ(formatNumber(v), inFull(v)) << v;
    }
}

TEST(NumberFormat, FormattedItemIsCutAt1023Characters)
{
    // "%.1f" of 1e300 is 301 digits, ".0": 303 characters.
    const std::wstring one = formatNumber(1e300);
    ASSERT_EQ(one.size(), 303u);
    EXPECT_EQ(formatPoint(1e300, 1e300).size(), 607u);
    EXPECT_EQ(formatPoint3(1e300, 1e300, 1e300).size(), 911u);
    // A segment of four such numbers would be 1215 characters.
    const std::wstring segment = formatSegment(1e300, 1e300, 1e300, 1e300);
    ASSERT_EQ(segment.size(), 1023u);
    EXPECT_EQ(segment, (one + L"," + one + L" " + one + L"," + one).substr(0, 1023));
}

TEST_F(XmlTextWriterTest, ExistingTargetIsReplacedOnlyOnClose)
{
    {
        std::ofstream old(file, std::ios::binary);
        old << "old";
    }
    {
        XmlTextWriter xml;
        ASSERT_TRUE(xml.open(file.string(), true));
        xml.value(L"A", L"new");
        EXPECT_EQ(WriterTest::readBytes(file), "old");
        // Destroyed without close: the target stays and no temporary is left.
    }
    EXPECT_EQ(WriterTest::readBytes(file), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    XmlTextWriter xml;
    ASSERT_TRUE(xml.open(file.string(), true));
    xml.value(L"A", L"new");
    ASSERT_TRUE(xml.close());
    EXPECT_EQ(WriterTest::readBytes(file), "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n<A>new</A>\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}

TEST_F(XmlTextWriterTest, FolderMissingFailsWithPathAndReason)
{
    const std::string target = (dir / "missing" / "out.xml").string();
    XmlTextWriter xml;
    EXPECT_FALSE(xml.open(target, true));
    EXPECT_NE(xml.error().find(target), std::string::npos) << xml.error();
    EXPECT_NE(xml.error().find("No such file or directory"), std::string::npos) << xml.error();
    EXPECT_FALSE(xml.start(L"A"));
    EXPECT_FALSE(xml.value(L"A", L"x"));
    xml.end(L"A");
    EXPECT_FALSE(xml.close());
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(XmlTextWriterTest, TargetThatIsAFolderIsRefusedAndLeavesNoTemporary)
{
    std::filesystem::create_directories(file / "inner");
    XmlTextWriter xml;
    EXPECT_FALSE(xml.open(file.string(), true));
    EXPECT_FALSE(xml.value(L"A", L"x"));
    EXPECT_FALSE(xml.close());
    EXPECT_NE(xml.error().find(file.string()), std::string::npos) << xml.error();
    EXPECT_TRUE(std::filesystem::is_directory(file / "inner"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}

}  // namespace
