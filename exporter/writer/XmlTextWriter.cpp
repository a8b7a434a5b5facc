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
bool isSurrogatePair(std::wstring_view text, std::size_t i)
{
    if constexpr (sizeof(wchar_t) != 2) {
        return false;
    }
    const auto high = static_cast<std::uint32_t>(text[i]);
    const auto low = i + 1 < text.size() ? static_cast<std::uint32_t>(text[i + 1]) : 0u;
    return high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF;
}

// A character written as it stands in texts and attribute values alike:
// no markup, no control, no surrogate half, no non-character.
bool isPlain(wchar_t c)
{
    const auto u = static_cast<std::uint32_t>(c);
    if (u < 0xD800) {
        return u >= 0x20 && u != L'&' && u != L'<' && u != L'"' && u != L'>';
    }
    if (u < 0xE000) {
        return false;
    }
    return u <= 0xFFFD || (sizeof(wchar_t) > 2 && u >= 0x10000 && u <= 0x10FFFF);
}

void appendEscaped(std::wstring& out, std::wstring_view text, bool attribute)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // Runs of plain characters are copied whole.
        std::size_t plainEnd = i;
        while (plainEnd < text.size() && isPlain(text[plainEnd])) {
            ++plainEnd;
        }
        out.append(text.data() + i, plainEnd - i);
        i = plainEnd;
        if (i == text.size()) {
            break;
        }
        const wchar_t c = text[i];
        if (isSurrogatePair(text, i)) {
            out += c;
            out += text[i + 1];
            i += 2;
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
        ++i;
    }
}

// One formatted item (a number, a point, a segment) built in place: up to
// four numbers with "." as separator, of which at most kMaxFormattedLength
// characters are kept.
class FormattedItem {
public:
    FormattedItem& number(double value)
    {
        // "%.1f" of the largest double needs 311 characters.
        const auto result =
            std::to_chars(buffer_ + size_, buffer_ + size_ + kNumberRoom, value, std::chars_format::fixed, 1);
        size_ = static_cast<std::size_t>(result.ptr - buffer_);
        return *this;
    }
    FormattedItem& separator(char c)
    {
        buffer_[size_++] = c;
        return *this;
    }
    void appendTo(std::wstring& out) const
    {
        const std::size_t n = std::min(size_, kMaxFormattedLength);
        const std::size_t old = out.size();
        out.resize(old + n);
        std::copy(buffer_, buffer_ + n, out.begin() + static_cast<std::ptrdiff_t>(old));
    }
    std::wstring text() const
    {
        std::wstring out;
        appendTo(out);
        return out;
    }

private:
    static constexpr std::size_t kNumberRoom = 400;
    char buffer_[4 * (kNumberRoom + 1)];
    std::size_t size_ = 0;
};

}  // namespace

void appendEscapedText(std::wstring& out, std::wstring_view text)
{
    appendEscaped(out, text, false);
}

void appendEscapedAttribute(std::wstring& out, std::wstring_view text)
{
    appendEscaped(out, text, true);
}

std::wstring formatInteger(long long value)
{
    char buffer[24];  // the 20 characters of -9223372036854775808, and room
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::wstring(buffer, result.ptr);
}

std::wstring formatNumber(double value)
{
    return FormattedItem().number(value).text();
}

std::wstring formatPoint(double x, double y)
{
    std::wstring out;
    appendPoint(out, x, y);
    return out;
}

std::wstring formatPoint3(double x, double y, double z)
{
    std::wstring out;
    appendPoint3(out, x, y, z);
    return out;
}

std::wstring formatSegment(double x0, double y0, double x1, double y1)
{
    return FormattedItem()
        .number(x0)
        .separator(',')
        .number(y0)
        .separator(' ')
        .number(x1)
        .separator(',')
        .number(y1)
        .text();
}

void appendPoint(std::wstring& out, double x, double y)
{
    FormattedItem().number(x).separator(',').number(y).appendTo(out);
}

void appendPoint3(std::wstring& out, double x, double y, double z)
{
    FormattedItem().number(x).separator(',').number(y).separator(',').number(z).appendTo(out);
}

XmlTextWriter::~XmlTextWriter()
{
    discard();
}

void XmlTextWriter::discard()
{
    file_.abandon();
}

bool XmlTextWriter::readable(std::wstring_view name, const XmlAttributeList* attributes,
                             const std::wstring_view* text)
{
    // The message is only made for a value that is too long.
    const auto tooLong = [&](std::wstring_view value, const auto& what) {
        const std::size_t bytes = Common::utf8Length(value);
        if (bytes <= Common::kMaxXmlTextBytes) {
            return false;
        }
        failed_ = true;
        error_ = Common::toUtf8(what()) + " is " + std::to_string(bytes) + " bytes long in UTF-8, more than the " +
                 std::to_string(Common::kMaxXmlTextBytes) + " a CEDXM reader accepts; \"" + path_ +
                 "\" was not written";
        return true;
    };
    if (text != nullptr && tooLong(*text, [&] { return L"the text of " + std::wstring(name); })) {
        return false;
    }
    if (attributes != nullptr) {
        for (const auto& item : attributes->items()) {
            if (tooLong(item.second, [&] { return L"the attribute " + item.first + L" of " + std::wstring(name); })) {
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

    line_ = L"<?xml version=\"1.0\" encoding=\"";
    line_ += shiftJis ? L"Shift-JIS" : L"UTF-8";
    line_ += L"\"?>\n";
    writeLine();
    return !failed_;
}

void XmlTextWriter::indent()
{
    line_.assign(stack_.size() * 2, L' ');
}

void XmlTextWriter::appendAttributes(const XmlAttributeList& attributes)
{
    for (const auto& [name, value] : attributes.items()) {
        line_ += L' ';
        line_ += name;
        line_ += L"=\"";
        appendEscapedAttribute(line_, value);
        line_ += L'"';
    }
}

// Encodes the current line and writes it; every line feed goes out as
// CR LF, as a text-mode stream on the host's platform writes it.
void XmlTextWriter::writeLine()
{
    if (!file_.isOpen() || failed_) {
        return;
    }
    // Neither code page uses the byte of a line feed inside a character, so
    // the pieces between line feeds are encoded one after the other straight
    // into the output.
    bytes_.clear();
    std::wstring_view rest(line_);
    while (true) {
        const std::size_t at = rest.find(L'\n');
        appendEncoded(rest.substr(0, at));
        if (at == std::wstring_view::npos) {
            break;
        }
        bytes_ += "\r\n";
        rest.remove_prefix(at + 1);
    }
    if (!file_.write(bytes_)) {
        failed_ = true;
        error_ = file_.error();
    }
}

void XmlTextWriter::appendEncoded(std::wstring_view piece)
{
    const auto isAscii = [](wchar_t c) { return static_cast<std::uint32_t>(c) < 0x80; };
    if (std::all_of(piece.begin(), piece.end(), isAscii)) {
        const std::size_t old = bytes_.size();
        bytes_.resize(old + piece.size());
        std::transform(piece.begin(), piece.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(old),
                       [](wchar_t c) { return static_cast<char>(c); });
    } else if (shiftJis_) {
        Common::appendCp932WithReferences(piece, bytes_);
    } else {
        bytes_ += Common::toUtf8(piece);
    }
}

// "<name a=\"v\"" at the current indentation; the caller ends the tag.
void XmlTextWriter::beginTag(std::wstring_view name, const XmlAttributeList* attributes)
{
    indent();
    line_ += L'<';
    line_ += name;
    if (attributes != nullptr) {
        appendAttributes(*attributes);
    }
}

bool XmlTextWriter::startElement(std::wstring_view name, const XmlAttributeList* attributes,
                                 const std::wstring_view* text)
{
    if (!file_.isOpen() || failed_ || !readable(name, attributes, text)) {
        return false;
    }
    beginTag(name, attributes);
    line_ += L">\n";
    if (text != nullptr) {
        // Mixed content: the text on a line of its own at the tag's level.
        line_.append(stack_.size() * 2, L' ');
        appendEscapedText(line_, *text);
        line_ += L'\n';
    }
    writeLine();
    stack_.emplace_back(name);
    return !failed_;
}

bool XmlTextWriter::valueElement(std::wstring_view name, const XmlAttributeList* attributes, std::wstring_view text)
{
    if (!file_.isOpen() || failed_ || !readable(name, attributes, &text)) {
        return false;
    }
    beginTag(name, attributes);
    line_ += L'>';
    appendEscapedText(line_, text);
    line_ += L"</";
    line_ += name;
    line_ += L">\n";
    writeLine();
    return !failed_;
}

bool XmlTextWriter::documentType(std::wstring_view root)
{
    if (!file_.isOpen() || failed_ || !stack_.empty()) {
        return false;
    }
    line_ = L"<!DOCTYPE ";
    line_ += root;
    line_ += L">\n";
    writeLine();
    return !failed_;
}

bool XmlTextWriter::start(std::wstring_view name)
{
    return startElement(name, nullptr, nullptr);
}

bool XmlTextWriter::startWithText(std::wstring_view name, std::wstring_view text)
{
    return startElement(name, nullptr, &text);
}

bool XmlTextWriter::start(std::wstring_view name, const XmlAttributeList& attributes)
{
    return startElement(name, &attributes, nullptr);
}

bool XmlTextWriter::value(std::wstring_view name, std::wstring_view text)
{
    return valueElement(name, nullptr, text);
}

bool XmlTextWriter::value(std::wstring_view name, const XmlAttributeList& attributes, std::wstring_view text)
{
    return valueElement(name, &attributes, text);
}

bool XmlTextWriter::empty(std::wstring_view name, const XmlAttributeList& attributes)
{
    if (!file_.isOpen() || failed_ || !readable(name, &attributes, nullptr)) {
        return false;
    }
    beginTag(name, &attributes);
    line_ += L"/>\n";
    writeLine();
    return !failed_;
}

void XmlTextWriter::end(std::wstring_view name)
{
    while (!stack_.empty()) {
        // At the level of the element's own start tag.
        line_.assign((stack_.size() - 1) * 2, L' ');
        line_ += L"</";
        line_ += stack_.back();
        line_ += L">\n";
        writeLine();
        const bool found = stack_.back() == name;
        stack_.pop_back();
        if (found) {
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
