#include "exporter/writer/XmlTextWriter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "common/text/Encoding.h"
#include "common/text/XmlTextLimit.h"

namespace Exporter {

namespace {

// A formatted item never exceeds what the 1024-character format buffer holds.
constexpr std::size_t kMaxFormattedLength = 1023;

// Characters XML 1.0 cannot carry, not even as a reference: most C0 controls,
// surrogate halves, U+FFFE, U+FFFF and anything beyond U+10FFFF. They become
// U+FFFD so that the file stays well-formed.
bool isXmlChar(wchar_t c)
{
    const auto u = static_cast<std::uint32_t>(c);
    if (u < 0x20) {
        return u == 0x09 || u == 0x0A || u == 0x0D;
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
        return false;
    }
    if (u == 0xFFFE || u == 0xFFFF) {
        return false;
    }
    return u <= 0x10FFFF;
}

// Where wide characters are 16 bits (Windows), a character beyond U+FFFF is
// a surrogate pair: the pair starting at `text[i]`, if one does.
bool isSurrogatePair(const std::wstring& text, std::size_t i)
{
    if constexpr (sizeof(wchar_t) != 2) {
        return false;
    }
    const auto high = static_cast<std::uint32_t>(text[i]);
    const auto low = i + 1 < text.size() ? static_cast<std::uint32_t>(text[i + 1]) : 0u;
    return high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF;
}

void appendEscaped(std::wstring& out, const std::wstring& text, bool attribute)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (isSurrogatePair(text, i)) {
            out += c;
            out += text[++i];
            continue;
        }
        switch (c) {
        case L'&':
            out += L"&amp;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'"':
            if (attribute) {
                out += L"&quot;";
            } else {
                out += c;
            }
            break;
        case L'>':
            // "]]>" may not stand in element text; everywhere else ">" is
            // written as it is.
            if (!attribute && i >= 2 && text[i - 1] == L']' && text[i - 2] == L']') {
                out += L"&gt;";
            } else {
                out += c;
            }
            break;
        case L'\r':
            // A reader turns a carriage return into a line feed unless it
            // comes as a reference.
            out += L"&#xD;";
            break;
        default:
            out += isXmlChar(c) ? c : L'\uFFFD';
            break;
        }
    }
}

void appendDouble(std::string& out, double value)
{
    char buffer[400];  // "%.1f" of the largest double needs 311 characters
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    out.append(buffer, result.ptr);
}

std::wstring widenCut(const std::string& text)
{
    const std::size_t n = std::min(text.size(), kMaxFormattedLength);
    return std::wstring(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

}  // namespace

void appendEscapedText(std::wstring& out, const std::wstring& text)
{
    appendEscaped(out, text, false);
}

void appendEscapedAttribute(std::wstring& out, const std::wstring& text)
{
    appendEscaped(out, text, true);
}

std::wstring formatInteger(long long value)
{
    return std::to_wstring(value);
}

std::wstring formatNumber(double value)
{
    std::string s;
    appendDouble(s, value);
    return widenCut(s);
}

std::wstring formatPoint(double x, double y)
{
    std::string s;
    appendDouble(s, x);
    s += ',';
    appendDouble(s, y);
    return widenCut(s);
}

std::wstring formatPoint3(double x, double y, double z)
{
    std::string s;
    appendDouble(s, x);
    s += ',';
    appendDouble(s, y);
    s += ',';
    appendDouble(s, z);
    return widenCut(s);
}

std::wstring formatSegment(double x0, double y0, double x1, double y1)
{
    std::string s;
    appendDouble(s, x0);
    s += ',';
    appendDouble(s, y0);
    s += ' ';
    appendDouble(s, x1);
    s += ',';
    appendDouble(s, y1);
    return widenCut(s);
}

XmlTextWriter::~XmlTextWriter()
{
    discard();
}

void XmlTextWriter::discard()
{
    file_.abandon();
}

bool XmlTextWriter::readable(const std::wstring& name, const XmlAttributeList* attributes, const std::wstring* text)
{
    const auto tooLong = [&](const std::wstring& value, const std::wstring& what) {
        const std::size_t bytes = Common::utf8Length(value);
        if (bytes <= Common::kMaxXmlTextBytes) {
            return false;
        }
        failed_ = true;
        error_ = Common::toUtf8(what) + " is " + std::to_string(bytes) + " bytes long in UTF-8, more than the " +
                 std::to_string(Common::kMaxXmlTextBytes) + " a CEDXM reader accepts; \"" + path_ +
                 "\" was not written";
        return true;
    };
    if (text != nullptr && tooLong(*text, L"the text of " + name)) {
        return false;
    }
    if (attributes != nullptr) {
        for (const auto& [attribute, value] : attributes->items()) {
            if (tooLong(value, L"the attribute " + attribute + L" of " + name)) {
                return false;
            }
        }
    }
    return true;
}

bool XmlTextWriter::open(const std::string& path, bool shiftJis)
{
    discard();
    stack_.clear();
    failed_ = false;
    error_.clear();
    shiftJis_ = shiftJis;
    path_ = path;
    if (path.empty()) {
        failed_ = true;
        error_ = "no output file was given";
        return false;
    }
    if (!file_.begin(path)) {
        failed_ = true;
        error_ = file_.error();
        return false;
    }

    std::wstring line = L"<?xml version=\"1.0\" encoding=\"";
    line += shiftJis ? L"Shift-JIS" : L"UTF-8";
    line += L"\"?>\n";
    writeLine(line);
    return !failed_;
}

void XmlTextWriter::indent(std::wstring& line) const
{
    line.assign(stack_.size() * 2, L' ');
}

void XmlTextWriter::appendAttributes(std::wstring& line, const XmlAttributeList& attributes) const
{
    for (const auto& [name, value] : attributes.items()) {
        line += L' ';
        line += name;
        line += L"=\"";
        appendEscapedAttribute(line, value);
        line += L'"';
    }
}

// Encodes one complete line and writes it; every line feed goes out as
// CR LF, as a text-mode stream on the host's platform writes it.
void XmlTextWriter::writeLine(std::wstring& line)
{
    if (!file_.isOpen() || failed_) {
        return;
    }
    bool ascii = true;
    for (const wchar_t c : line) {
        if (static_cast<std::uint32_t>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    std::string encoded;
    if (ascii) {
        encoded.assign(line.begin(), line.end());
    } else {
        encoded = shiftJis_ ? Common::toCp932WithReferences(line) : Common::toUtf8(line);
    }
    bytes_.clear();
    for (const char c : encoded) {
        if (c == '\n') {
            bytes_ += '\r';
        }
        bytes_ += c;
    }
    if (!file_.write(bytes_)) {
        failed_ = true;
        error_ = file_.error();
    }
}

// "<name a=\"v\"" at the current indentation; the caller ends the tag.
void XmlTextWriter::beginTag(std::wstring& line, const std::wstring& name, const XmlAttributeList* attributes) const
{
    indent(line);
    line += L'<';
    line += name;
    if (attributes != nullptr) {
        appendAttributes(line, *attributes);
    }
}

bool XmlTextWriter::startElement(const std::wstring& name, const XmlAttributeList* attributes,
                                 const std::wstring* text)
{
    if (!file_.isOpen() || failed_ || !readable(name, attributes, text)) {
        return false;
    }
    std::wstring line;
    beginTag(line, name, attributes);
    line += L">\n";
    if (text != nullptr) {
        // Mixed content: the text on a line of its own at the tag's level.
        line.append(stack_.size() * 2, L' ');
        appendEscapedText(line, *text);
        line += L'\n';
    }
    writeLine(line);
    stack_.push_back(name);
    return !failed_;
}

bool XmlTextWriter::valueElement(const std::wstring& name, const XmlAttributeList* attributes,
                                 const std::wstring& text)
{
    if (!file_.isOpen() || failed_ || !readable(name, attributes, &text)) {
        return false;
    }
    std::wstring line;
    beginTag(line, name, attributes);
    line += L'>';
    appendEscapedText(line, text);
    line += L"</";
    line += name;
    line += L">\n";
    writeLine(line);
    return !failed_;
}

bool XmlTextWriter::documentType(const std::wstring& root)
{
    if (!file_.isOpen() || failed_ || !stack_.empty()) {
        return false;
    }
    std::wstring line = L"<!DOCTYPE " + root + L">\n";
    writeLine(line);
    return !failed_;
}

bool XmlTextWriter::start(const std::wstring& name)
{
    return startElement(name, nullptr, nullptr);
}

bool XmlTextWriter::startWithText(const std::wstring& name, const std::wstring& text)
{
    return startElement(name, nullptr, &text);
}

bool XmlTextWriter::start(const std::wstring& name, const XmlAttributeList& attributes)
{
    return startElement(name, &attributes, nullptr);
}

bool XmlTextWriter::value(const std::wstring& name, const std::wstring& text)
{
    return valueElement(name, nullptr, text);
}

bool XmlTextWriter::value(const std::wstring& name, const XmlAttributeList& attributes, const std::wstring& text)
{
    return valueElement(name, &attributes, text);
}

bool XmlTextWriter::empty(const std::wstring& name, const XmlAttributeList& attributes)
{
    if (!file_.isOpen() || failed_ || !readable(name, &attributes, nullptr)) {
        return false;
    }
    std::wstring line;
    beginTag(line, name, &attributes);
    line += L"/>\n";
    writeLine(line);
    return !failed_;
}

void XmlTextWriter::end(const std::wstring& name)
{
    while (!stack_.empty()) {
        const std::wstring top = std::move(stack_.back());
        stack_.pop_back();
        std::wstring line;
        indent(line);
        line += L"</";
        line += top;
        line += L">\n";
        writeLine(line);
        if (top == name) {
            break;
        }
    }
}

void XmlTextWriter::closeAll()
{
    while (!stack_.empty()) {
        end(stack_.back());
    }
}

bool XmlTextWriter::close()
{
    if (failed_) {
        discard();
        return false;
    }
    if (!file_.isOpen()) {
        failed_ = true;
        error_ = "the output file was never opened";
        return false;
    }
    if (!file_.commit()) {
        failed_ = true;
        error_ = file_.error();
        return false;
    }
    return true;
}

}  // namespace Exporter
