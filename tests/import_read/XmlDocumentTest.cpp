#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ReadSupport.h"
#include "common/text/Encoding.h"
#include "importer/reading/CedxmReader.h"
#include "importer/xml/XmlDocument.h"

using namespace Importer;
using ReadSupport::cedxm;
using ReadSupport::writeTemp;

namespace {

bool load(const std::string& bytes, std::string& problem, const XmlLimits& limits = XmlLimits())
{
    XmlDocument doc;
    return doc.loadBytes(bytes, problem, limits);
}

std::wstring firstRoomName(const std::string& path)
{
    ImportModel model;
    std::wstring problem;
    if (!loadCedxmFile(model, Common::fromUtf8(path), problem) || model.rooms.empty()) {
        return L"<nothing read: " + problem + L">";
    }
    return model.rooms[0]->name;
}

const char* const kRoomBody = "<部屋情報><部屋><層>1</層><名称>NAME</名称></部屋></部屋情報>";

std::string withName(const std::string& head, const std::string& name)
{
    std::string body = kRoomBody;
    body.replace(body.find("NAME"), 4, name);
    return head + "<CADIF Version=\"1.0\">" + body + "</CADIF>";
}

}  // namespace

TEST(XmlDocument, RootIsFoundAmongTopLevelNodesByExactName)
{
    const std::string body = "<部屋情報><部屋><名称>a</名称></部屋></部屋情報>";
    ImportModel model;
    ASSERT_TRUE(ReadSupport::readInto("<?xml version=\"1.0\"?>\n<?pi data?>\n<!-- note -->\n<CADIF>" + body +
                                          "</CADIF>",
                                      model));
    ASSERT_EQ(model.rooms.size(), 1u);

    const std::string path = writeTemp("lower.xml", "<?xml version=\"1.0\"?><cadif>" + body + "</cadif>");
    ImportModel lower;
    std::wstring problem;
    EXPECT_FALSE(loadCedxmFile(lower, Common::fromUtf8(path), problem));
    EXPECT_TRUE(lower.rooms.empty());
    EXPECT_NE(problem.find(L"CADIF"), std::wstring::npos);
    EXPECT_NE(problem.find(Common::fromUtf8(path)), std::wstring::npos);
}

TEST(XmlDocument, ChildLookupSeesEveryNodeKindInOrder)
{
    XmlDocument doc;
    std::string problem;
    ASSERT_TRUE(doc.loadBytes("<r>  <!--c--><?p x?><a k=\"v\"> x <b>y</b> z </a><![CDATA[q]]><a>second</a></r>",
                              problem))
        << problem;
    const XmlNode root = doc.firstTopLevelNode();
    ASSERT_EQ(nodeName(root), "r");
    EXPECT_EQ(nodeName(firstChild(root)), "#text");
    EXPECT_NE(findChild(root, "#comment"), nullptr);
    EXPECT_NE(findChild(root, "p"), nullptr);
    EXPECT_NE(findChild(root, "#cdata-section"), nullptr);
    const XmlNode a = findChild(root, "a");
    EXPECT_EQ(nodeText(a), L"x y z");
    EXPECT_EQ(attributeText(a, "k"), L"v");
    EXPECT_EQ(attributeText(a, "missing"), L"");
    EXPECT_EQ(attributeText(findChild(root, "#comment"), "k"), L"");
    EXPECT_EQ(nodeText(findNextSibling(a, "a")), L"second");
    EXPECT_EQ(findNextSibling(findNextSibling(a, "a"), "a"), nullptr);
    EXPECT_EQ(findChild(nullptr, "a"), nullptr);
    EXPECT_EQ(nodeText(nullptr), L"");
    EXPECT_EQ(attributeText(nullptr, "k"), L"");
}

TEST(XmlDocument, NamesMatchWholeAndTextsReadWholeWithTheirReferences)
{
    XmlDocument doc;
    std::string problem;
    ASSERT_TRUE(doc.loadBytes("<r xmlns:x=\"u\"><ab/><x:e/><a k=\"x &amp; y &#x5BA4;\" j=\"\">p &lt; q</a>"
                              "<b><![CDATA[ c ]]></b><c>one<![CDATA[two]]>three</c><d/></r>",
                              problem))
        << problem;
    const XmlNode root = doc.firstTopLevelNode();
    // A name that another begins with, or that begins another, is not it.
    const XmlNode a = findChild(root, "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(nodeName(a), "a");
    EXPECT_EQ(findChild(root, "abc"), nullptr);
    EXPECT_EQ(findChild(root, std::string_view("a\0", 2)), nullptr);
    EXPECT_EQ(nodeName(findChild(root, "x:e")), "x:e");
    EXPECT_EQ(findChild(root, "e"), nullptr);
    EXPECT_EQ(findChild(root, "x:"), nullptr);
    EXPECT_EQ(findChild(root, "x:ee"), nullptr);
    // Values and texts come with their references read, in one piece or many.
    EXPECT_EQ(attributeText(a, "k"), L"x & y \u5BA4");
    EXPECT_EQ(attributeText(a, "j"), L"");
    EXPECT_EQ(nodeText(a), L"p < q");
    EXPECT_EQ(nodeText(findChild(root, "b")), L"c");
    EXPECT_EQ(nodeText(findChild(root, "c")), L"onetwothree");
    EXPECT_EQ(nodeText(findChild(root, "d")), L"");
}

TEST(XmlDocument, ShiftJisInEverySpellingIsCodePage932)
{
    // 〜 as code page 932 writes it (0x8160) must come back as U+FF5E, not as
    // the JIS wave dash; likewise 0x817C (U+FF0D) and 0x81CA (U+FFE2).
    const std::string sjisName = "\x81\x60\x81\x7C\x81\xCA\x8E\xBA";  // ～－￢室
    const std::wstring expected = L"\uFF5E\uFF0D\uFFE2\u5BA4";
    for (const char* spelling : {"Shift-JIS", "Shift_JIS", "SJIS", "x-sjis", "windows-31j", "cp932", "CP932"}) {
        const std::string head = std::string("<?xml version=\"1.0\" encoding=\"") + spelling + "\"?>\r\n";
        // The element names themselves are Shift-JIS too.
        std::string direct = head + Common::toCp932WithReferences(Common::fromUtf8(withName("", "@")));
        direct.replace(direct.find('@'), 1, sjisName);
        EXPECT_EQ(firstRoomName(writeTemp("sjis2.xml", direct)), expected) << spelling;
    }
}

TEST(XmlDocument, WhatTheExporterWritesInCodePage932ReadsBack)
{
    // The full-width forms are code page 932's own characters for these
    // bytes; outside the code page, and for the characters the code page maps
    // only one way (yen sign, minus sign, wave dash), the exporter writes
    // references.
    const std::wstring name = L"洋室\uFF5E\uFF0D\uFFE2①\U0001F600&<\"\u00A5\u2212\u301C";
    std::wstring escaped;
    for (wchar_t c : name) {
        escaped += c == L'&' ? L"&amp;" : c == L'<' ? L"&lt;" : std::wstring(1, c);
    }
    const std::string head = "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n";
    const std::string bytes = head + Common::toCp932WithReferences(Common::fromUtf8(withName("", "@")).replace(
                                         Common::fromUtf8(withName("", "@")).find(L'@'), 1, escaped));
    EXPECT_EQ(firstRoomName(writeTemp("exported.xml", bytes)), name);
}

TEST(XmlDocument, Utf8AndUtf16FilesRead)
{
    const std::string utf8 = withName("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "和室");
    EXPECT_EQ(firstRoomName(writeTemp("utf8.xml", utf8)), L"和室");
    EXPECT_EQ(firstRoomName(writeTemp("utf8bom.xml", "\xEF\xBB\xBF" + utf8)), L"和室");
    // The byte order mark wins over a declaration that names Shift-JIS.
    EXPECT_EQ(firstRoomName(writeTemp("utf8bomsjis.xml",
                                      "\xEF\xBB\xBF" + withName("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>", "和室"))),
              L"和室");

    const std::wstring wide = Common::fromUtf8(withName("<?xml version=\"1.0\" encoding=\"UTF-16\"?>", "和室"));
    std::string le = "\xFF\xFE";
    std::string be = "\xFE\xFF";
    std::string leNoBom;
    for (wchar_t c : wide) {
        ASSERT_LT(static_cast<unsigned>(c), 0x10000u);
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>((c >> 8) & 0xFF);
        be += static_cast<char>((c >> 8) & 0xFF);
        be += static_cast<char>(c & 0xFF);
    }
    leNoBom = le.substr(2);
    EXPECT_EQ(firstRoomName(writeTemp("utf16le.xml", le)), L"和室");
    EXPECT_EQ(firstRoomName(writeTemp("utf16be.xml", be)), L"和室");
    EXPECT_EQ(firstRoomName(writeTemp("utf16nobom.xml", leNoBom)), L"和室");
}

TEST(XmlDocument, UnreadableFilesAreReportedWithPathAndReason)
{
    ImportModel model;
    std::wstring problem;
    const std::string missing = (ReadSupport::tempDir() / "does-not-exist.xml").string();
    EXPECT_FALSE(loadCedxmFile(model, Common::fromUtf8(missing), problem));
    EXPECT_NE(problem.find(Common::fromUtf8(missing)), std::wstring::npos);

    const std::string broken = writeTemp("broken.xml", "<CADIF><部屋情報>\n<部屋></部屋情報></CADIF>");
    EXPECT_FALSE(loadCedxmFile(model, Common::fromUtf8(broken), problem));
    EXPECT_NE(problem.find(L"not well-formed XML (line 2, column "), std::wstring::npos) << Common::toUtf8(problem);

    const std::string badBytes = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><CADIF>\x81</CADIF>";
    const std::string badSjis = writeTemp("badsjis.xml", badBytes);
    EXPECT_FALSE(loadCedxmFile(model, Common::fromUtf8(badSjis), problem));
    EXPECT_NE(problem.find(L"the bytes at offset " + std::to_wstring(badBytes.find('\x81')) +
                           L" are not valid Shift-JIS"),
              std::wstring::npos)
        << Common::toUtf8(problem);

    EXPECT_FALSE(loadCedxmFile(model, Common::fromUtf8(writeTemp("empty.xml", "")), problem));
    EXPECT_FALSE(loadCedxmFile(model, Common::fromUtf8(ReadSupport::tempDir().string()), problem));
    EXPECT_TRUE(model.rooms.empty());
}

// One bad byte early in a file makes the parser stumble over everything after
// it; the message must name that byte, and the parser's own lines must not
// reach the terminal.
TEST(XmlDocument, FirstParserErrorIsReportedAndNothingLeaksToTheTerminal)
{
    ImportModel model;
    std::wstring problem;
    // Shift-JIS bytes ("部屋") without a declaration, so read as UTF-8.
    const std::string undeclared =
        writeTemp("undeclared.xml", "<CADIF Version=\"1.0\">\n<部屋情報>\n<名称>\x95\x94\x89\xae</名称>\n</部屋情報>\n</CADIF>\n");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(loadCedxmFile(model, Common::fromUtf8(undeclared), problem));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(problem.find(L"(line 3, column"), std::wstring::npos) << Common::toUtf8(problem);
    EXPECT_NE(problem.find(L"UTF-8"), std::wstring::npos) << Common::toUtf8(problem);
    EXPECT_EQ(problem.find(L"Extra content"), std::wstring::npos) << Common::toUtf8(problem);
}

// UTF-32 read as UTF-16 gave an empty document and a successful import.
TEST(XmlDocument, Utf32IsRefusedWithOrWithoutByteOrderMark)
{
    const std::string text = "<CADIF><部屋情報/></CADIF>";
    const std::wstring wide = Common::fromUtf8(text);
    std::string le, be;
    for (const wchar_t c : wide) {
        const auto u = static_cast<std::uint32_t>(c);
        for (int i = 0; i < 4; ++i) {
            le += static_cast<char>((u >> (8 * i)) & 0xFF);
            be += static_cast<char>((u >> (8 * (3 - i))) & 0xFF);
        }
    }
    for (const std::string& bytes : {std::string("\xFF\xFE\0\0", 4) + le, std::string("\0\0\xFE\xFF", 4) + be, le, be}) {
        std::string problem;
        EXPECT_FALSE(load(bytes, problem));
        EXPECT_NE(problem.find("UTF-32"), std::string::npos) << problem;
    }
}

TEST(XmlDocument, LimitsAreEnforced)
{
    std::string problem;
    XmlLimits small;
    small.maxFileBytes = 100;
    EXPECT_FALSE(load(cedxm(std::string(200, ' ')), problem, small));
    EXPECT_NE(problem.find("limit of 100 bytes"), std::string::npos) << problem;

    const std::string path = writeTemp("big.xml", cedxm(std::string(200, ' ')));
    XmlDocument doc;
    EXPECT_FALSE(doc.loadFile(path, problem, small));
    EXPECT_NE(problem.find("limit"), std::string::npos);

    XmlLimits fewNodes;
    fewNodes.maxNodes = 50;
    std::string many;
    for (int i = 0; i < 100; ++i) {
        many += "<a/><!--c-->";
    }
    EXPECT_FALSE(load(cedxm(many), problem, fewNodes));
    EXPECT_NE(problem.find("more than 50 XML nodes"), std::string::npos) << problem;

    // Every node the tree would hold counts: the element, each attribute
    // twice (itself and its value), text, CDATA, comment and processing
    // instruction; exactly at the limit the file is read.
    const std::string seven = "<CADIF a=\"1\"><!--c--><?p?>t<![CDATA[x]]></CADIF>";
    XmlLimits sevenNodes;
    sevenNodes.maxNodes = 7;
    EXPECT_TRUE(load(seven, problem, sevenNodes)) << problem;
    sevenNodes.maxNodes = 6;
    EXPECT_FALSE(load(seven, problem, sevenNodes));
    EXPECT_NE(problem.find("more than 6 XML nodes"), std::string::npos) << problem;

    // The file size limit as delivered, exactly at it and one byte above.
    // (White space in pieces, as no single text may exceed the parser's own
    // limit.)
    std::string full = "<CADIF>";
    while (full.size() < kMaxCedxmFileBytes - (1u << 20)) {
        full += "<b/>" + std::string(1u << 20, ' ');
    }
    full += std::string(kMaxCedxmFileBytes - 8 - full.size(), ' ') + "</CADIF>";
    ASSERT_EQ(full.size(), kMaxCedxmFileBytes);
    EXPECT_TRUE(load(full, problem)) << problem;
    full.insert(7, " ");
    EXPECT_FALSE(load(full, problem));
    EXPECT_NE(problem.find("limit of 33554432 bytes"), std::string::npos) << problem;

    // The attribute limit as delivered, exactly at it and one above.
    std::string tagAtLimit = "<CADIF";
    for (std::size_t i = 0; i < kMaxCedxmAttributesPerElement; ++i) {
        tagAtLimit += " a" + std::to_string(i) + "=\"x\"";
    }
    EXPECT_TRUE(load(tagAtLimit + "/>", problem)) << problem;
    EXPECT_FALSE(load(tagAtLimit + " z=\"x\"/>", problem));
    EXPECT_NE(problem.find("more than 256 attributes"), std::string::npos) << problem;

    // Nesting stays within the parser's depth limit.
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<a>";
    }
    const auto deepStart = std::chrono::steady_clock::now();
    EXPECT_FALSE(load(deep, problem));
    EXPECT_LT(std::chrono::steady_clock::now() - deepStart, std::chrono::seconds(2));

    // A start tag with a huge number of attributes would take the parser
    // quadratic time; it is refused before parsing.
    std::string tag = "<CADIF";
    for (int i = 0; i < 20000; ++i) {
        tag += " a" + std::to_string(i) + "=\"x>\"";
    }
    tag += "/>";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(load(tag, problem));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(problem.find("attributes"), std::string::npos) << problem;
    // Attribute-like text in comments and values does not count.
    EXPECT_TRUE(load("<r><!-- a=b a=b --><x v=\"a=b=c\"/></r>", problem, [] {
        XmlLimits l;
        l.maxAttributesPerElement = 1;
        return l;
    }())) << problem;
}

// A file of exactly the node limit loads, one node more is refused, whatever
// kind of node it is.
TEST(XmlDocument, NodeLimitHoldsExactlyAtItsValue)
{
    XmlLimits limits;
    limits.maxNodes = 50;
    std::string body;
    for (int i = 0; i < 47; ++i) {
        body += "<a/>";
    }
    body += "<!--c--><?pi x?>";  // with the root: 50 nodes
    const auto file = [](const std::string& inside) { return "<CADIF>" + inside + "</CADIF>"; };
    std::string problem;
    EXPECT_TRUE(load(file(body), problem, limits)) << problem;
    for (const char* more : {"<!--one more-->", "<b/>", "t", "<?pi y?>"}) {
        EXPECT_FALSE(load(file(body + more), problem, limits)) << more;
        EXPECT_NE(problem.find("more than 50"), std::string::npos) << problem;
    }
}

TEST(XmlDocument, EntityBombsAndExternalEntitiesAreRefused)
{
    std::string problem;
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE CADIF [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 12; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            laughs += "&l" + std::to_string(i - 1) + ";";
        }
        laughs += "\">";
    }
    laughs += "]><CADIF><部屋情報><部屋><名称>&l11;</名称></部屋></部屋情報></CADIF>";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(load(laughs, problem));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(problem.find("entity"), std::string::npos) << problem;

    // A secret beside the file must never find its way into the model.
    const std::string secret = writeTemp("secret.txt", "TOP-SECRET");
    const std::string dtd = writeTemp("secret.dtd", "<!ENTITY s SYSTEM \"file://" + secret + "\">");
    const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE CADIF [<!ENTITY s SYSTEM \"file://" + secret +
                                 "\">]><CADIF><部屋情報><部屋><名称>&s;</名称></部屋></部屋情報></CADIF>";
    EXPECT_FALSE(load(external, problem));
    const std::string parameter = "<?xml version=\"1.0\"?><!DOCTYPE CADIF [<!ENTITY % p SYSTEM \"file://" + dtd +
                                  "\"> %p;]><CADIF><部屋情報><部屋><名称>&s;</名称></部屋></部屋情報></CADIF>";
    EXPECT_FALSE(load(parameter, problem));
    const std::string externalSubset = "<?xml version=\"1.0\"?><!DOCTYPE CADIF SYSTEM \"file://" + dtd +
                                       "\"><CADIF><部屋情報><部屋><名称>&s;</名称></部屋></部屋情報></CADIF>";
    // The external subset is never loaded: the reference stays unresolved.
    EXPECT_EQ(firstRoomName(writeTemp("external.xml", externalSubset)), L"");
    for (const std::string& doc : {external, parameter, externalSubset}) {
        EXPECT_EQ(firstRoomName(writeTemp("ext.xml", doc)).find(L"TOP-SECRET"), std::wstring::npos);
    }

    // A document type without entities is harmless and reads.
    EXPECT_TRUE(load("<!DOCTYPE CADIF><CADIF/>", problem)) << problem;
}
