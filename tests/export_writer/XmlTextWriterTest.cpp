#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "WriterTestSupport.h"
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
