#include "exporter/writer/XmlTextWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// One formatted item (a number, a point, a segment) built in place: up to
// four numbers with "." as separator, of which at most kMaxFormattedLength
// characters are kept.
class FormattedItem {
public:
    FormattedItem& number(double value)
    {
        // Plan coordinates and heights are mostly whole millimetres: "%.1f"
        // of a whole number below 2^53 is its digits and ".0" (the sign of
        // -0.0 kept), which integer formatting gives far quicker.
        if (std::fabs(value) < kWholeLimit && value == std::trunc(value)) {
            if (std::signbit(value)) {
                buffer_[size_++] = '-';
            }
            const auto digits = static_cast<long long>(std::fabs(value));
            size_ = static_cast<std::size_t>(std::to_chars(buffer_ + size_, buffer_ + size_ + 20, digits).ptr - buffer_);
            buffer_[size_++] = '.';
            buffer_[size_++] = '0';
            return *this;
        }
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
    // The kept characters (all ASCII).
    std::string_view kept() const { return {buffer_, std::min(size_, kMaxFormattedLength)}; }
    void appendTo(std::wstring& out) const { out.append(kept().begin(), kept().end()); }
    std::wstring text() const
    {
        std::wstring out;
        appendTo(out);
        return out;
    }

private:
    static constexpr std::size_t kNumberRoom = 400;
    static constexpr double kWholeLimit = 9007199254740992.0;  // 2^53
    char buffer_[4 * (kNumberRoom + 1)];
    std::size_t size_ = 0;
};

// The digits of an integer, in a buffer of their own.
class FormattedInteger {
public:
    explicit FormattedInteger(long long value) : end_(std::to_chars(buffer_, buffer_ + sizeof buffer_, value).ptr) {}
    std::string_view text() const { return {buffer_, static_cast<std::size_t>(end_ - buffer_)}; }

private:
    char buffer_[24];  // the 20 characters of -9223372036854775808, and room
    char* end_;
};

}  // namespace

std::wstring formatInteger(long long value)
{
    std::wstring out;
    appendInteger(out, value);
    return out;
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
    std::wstring out;
    appendSegment(out, x0, y0, x1, y1);
    return out;
}

void appendInteger(std::wstring& out, long long value)
{
    const FormattedInteger digits(value);
    out.append(digits.text().begin(), digits.text().end());
}

void appendNumber(std::wstring& out, double value)
{
    FormattedItem().number(value).appendTo(out);
}

void appendSegment(std::wstring& out, double x0, double y0, double x1, double y1)
{
    FormattedItem().number(x0).separator(',').number(y0).separator(' ').number(x1).separator(',').number(y1).appendTo(
        out);
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
    // The message is only made for a value that is too long; a value too
    // short to reach the limit even at four bytes a character is not counted.
    const auto tooLong = [&](std::wstring_view value, const auto& what) {
        if (value.size() <= Common::kMaxXmlTextBytes / 4) {
            return false;
        }
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
        for (std::size_t i = 0; i < attributes->size(); ++i) {
            if (tooLong(attributes->value(i), [&] {
                    return L"the attribute " + std::wstring(attributes->name(i)) + L" of " + std::wstring(name);
                })) {
                return false;
            }
        }
    }
    return true;
}

bool XmlTextWriter::open(const std::string& path, bool shiftJis)
{
    discard();
    memory_ = false;
    bytes_.clear();
    depth_ = 0;
    failed_ = false;
    error_.clear();
    shiftJis_ = shiftJis;
    knownNames_ = {};  // their bytes are of the encoding before
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

    bytes_ = "<?xml version=\"1.0\" encoding=\"";
    bytes_ += shiftJis ? "Shift-JIS" : "UTF-8";
    bytes_ += "\"?>\r\n";
    writeLine();
    return !failed_;
}

void XmlTextWriter::writeLine()
{
    if (!memory_ && bytes_.size() >= kFlushAt) {
        flush();
    }
}

void XmlTextWriter::flush()
{
    if (!file_.isOpen() || failed_) {
        bytes_.clear();  // nothing more goes to a failed file
        return;
    }
    if (!file_.write(bytes_)) {
        failed_ = true;
        error_ = file_.error();
    }
    bytes_.clear();
}

void XmlTextWriter::beginFormatting(const XmlTextWriter& like)
{
    discard();
    memory_ = true;
    failed_ = like.failed_;
    error_ = like.error_;
    path_ = like.path_;
    if (shiftJis_ != like.shiftJis_) {
        knownNames_ = {};  // their bytes are of the other encoding
        shiftJis_ = like.shiftJis_;
    }
    bytes_.clear();
    if (stack_.size() < like.depth_) {
        stack_.resize(like.depth_);
    }
    for (std::size_t i = 0; i < like.depth_; ++i) {
        stack_[i].name = like.stack_[i].name;
        stack_[i].bytes = like.stack_[i].bytes;
    }
    depth_ = like.depth_;
}

bool XmlTextWriter::writeFormatted(const XmlTextWriter& formatted)
{
    if (!writable()) {
        return false;
    }
    if (formatted.failed_) {
        failed_ = true;
        error_ = formatted.error_;
        return false;
    }
    if (memory_) {
        bytes_ += formatted.bytes_;
        return true;
    }
    // What is pending goes first; the formatted lines, being long, are
    // handed to the file as they are rather than copied once more.
    flush();
    if (!failed_ && !file_.write(formatted.bytes_)) {
        failed_ = true;
        error_ = file_.error();
    }
    return !failed_;
}

void XmlTextWriter::putName(std::wstring_view name)
{
    if (name.size() > kLongestKnownName) {
        encodeName(name);
        return;
    }
    KnownName& known = knownNames_[(reinterpret_cast<std::uintptr_t>(name.data()) / sizeof(wchar_t)) % kKnownNames];
    if (known.at == name.data() && known.name == name) {
        bytes_ += known.bytes;
        return;
    }
    const std::size_t at = bytes_.size();
    encodeName(name);
    known.at = name.data();
    known.name.assign(name);
    known.bytes.assign(bytes_, at, bytes_.size() - at);
}

// Every line feed goes out as CR LF, as a text-mode stream on the host's
// platform writes it. Neither code page uses the byte of a line feed inside
// a character, so the pieces between line feeds are encoded one by one.
void XmlTextWriter::encodeName(std::wstring_view name)
{
    while (true) {
        const std::size_t at = name.find(L'\n');
        putEncoded(name.substr(0, at));
        if (at == std::wstring_view::npos) {
            return;
        }
        bytes_ += "\r\n";
        name.remove_prefix(at + 1);
    }
}

void XmlTextWriter::putEncoded(std::wstring_view run)
{
    if (run.empty()) {
        return;
    }
    if (shiftJis_) {
        Common::appendCp932WithReferences(run, bytes_);
        return;
    }
    // UTF-8: the ASCII at the start is copied, the rest converted.
    std::size_t ascii = 0;
    while (ascii < run.size() && static_cast<std::uint32_t>(run[ascii]) < 0x80) {
        bytes_ += static_cast<char>(run[ascii++]);
    }
    if (ascii < run.size()) {
        bytes_ += Common::toUtf8(run.substr(ascii));
    }
}

void XmlTextWriter::putEscaped(std::wstring_view text, bool attribute)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // Runs of plain characters, and the surrogate pairs among them, are
        // encoded whole.
        std::size_t plainEnd = i;
        while (plainEnd < text.size()) {
            if (isPlain(text[plainEnd])) {
                ++plainEnd;
            } else if (isSurrogatePair(text, plainEnd)) {
                plainEnd += 2;
            } else {
                break;
            }
        }
        putEncoded(text.substr(i, plainEnd - i));
        i = plainEnd;
        if (i == text.size()) {
            break;
        }
        const wchar_t c = text[i];
        switch (c) {
        case L'&':
            bytes_ += "&amp;";
            break;
        case L'<':
            bytes_ += "&lt;";
            break;
        case L'"':
            bytes_ += attribute ? "&quot;" : "\"";
            break;
        case L'>':
            // "]]>" may not stand in element text; everywhere else ">" is
            // written as it is.
            bytes_ += !attribute && i >= 2 && text[i - 1] == L']' && text[i - 2] == L']' ? "&gt;" : ">";
            break;
        case L'\r':
            // A reader turns a carriage return into a line feed unless it
            // comes as a reference.
            bytes_ += "&#xD;";
            break;
        case L'\n':
            bytes_ += "\r\n";
            break;
        default: {
            // Characters XML cannot carry, not even as a reference, become
            // U+FFFD so that the file stays well-formed.
            const wchar_t kept = isXmlChar(c) ? c : L'\uFFFD';
            putEncoded(std::wstring_view(&kept, 1));
            break;
        }
        }
        ++i;
    }
}

void XmlTextWriter::putAttributes(const XmlAttributeList& attributes)
{
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        bytes_ += ' ';
        putName(attributes.name(i));
        bytes_ += "=\"";
        putEscaped(attributes.value(i), true);
        bytes_ += '"';
    }
}

void XmlTextWriter::beginTag(std::wstring_view name, const XmlAttributeList* attributes)
{
    putIndent(depth_);
    bytes_ += '<';
    nameAt_ = bytes_.size();
    putName(name);
    nameEnd_ = bytes_.size();
    if (attributes != nullptr) {
        putAttributes(*attributes);
    }
}

bool XmlTextWriter::startElement(std::wstring_view name, const XmlAttributeList* attributes,
                                 const std::wstring_view* text)
{
    if (!writable() || !readable(name, attributes, text)) {
        return false;
    }
    beginTag(name, attributes);
    bytes_ += ">\r\n";
    if (text != nullptr) {
        // Mixed content: the text on a line of its own at the tag's level.
        putIndent(depth_);
        putEscaped(*text, false);
        bytes_ += "\r\n";
    }
    // The name and its bytes for the end tag, in room kept from earlier
    // elements at this depth; taken before the line may go to the file.
    if (depth_ == stack_.size()) {
        stack_.emplace_back();
    }
    OpenElement& open = stack_[depth_++];
    open.name.assign(name);
    open.bytes.assign(bytes_, nameAt_, nameEnd_ - nameAt_);
    writeLine();
    return !failed_;
}

bool XmlTextWriter::valueElement(std::wstring_view name, const XmlAttributeList* attributes, std::wstring_view text)
{
    if (!writable() || !readable(name, attributes, &text)) {
        return false;
    }
    beginTag(name, attributes);
    bytes_ += '>';
    putEscaped(text, false);
    bytes_ += "</";
    bytes_.append(bytes_, nameAt_, nameEnd_ - nameAt_);
    bytes_ += ">\r\n";
    writeLine();
    return !failed_;
}

bool XmlTextWriter::valueAscii(std::wstring_view name, std::string_view text)
{
    if (!writable()) {
        return false;
    }
    beginTag(name, nullptr);
    bytes_ += '>';
    bytes_ += text;
    bytes_ += "</";
    bytes_.append(bytes_, nameAt_, nameEnd_ - nameAt_);
    bytes_ += ">\r\n";
    writeLine();
    return !failed_;
}

bool XmlTextWriter::documentType(std::wstring_view root)
{
    if (!writable() || depth_ != 0) {
        return false;
    }
    bytes_ += "<!DOCTYPE ";
    putName(root);
    bytes_ += ">\r\n";
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

bool XmlTextWriter::valueInteger(std::wstring_view name, long long number)
{
    return valueAscii(name, FormattedInteger(number).text());
}

bool XmlTextWriter::valueNumber(std::wstring_view name, double number)
{
    return valueAscii(name, FormattedItem().number(number).kept());
}

bool XmlTextWriter::empty(std::wstring_view name, const XmlAttributeList& attributes)
{
    if (!writable() || !readable(name, &attributes, nullptr)) {
        return false;
    }
    beginTag(name, &attributes);
    bytes_ += "/>\r\n";
    writeLine();
    return !failed_;
}

void XmlTextWriter::end(std::wstring_view name)
{
    while (depth_ > 0) {
        const OpenElement& open = stack_[--depth_];
        if (writable()) {
            // At the level of the element's own start tag.
            putIndent(depth_);
            bytes_ += "</";
            bytes_ += open.bytes;
            bytes_ += ">\r\n";
            writeLine();
        }
        if (open.name == name) {
            break;
        }
    }
}

void XmlTextWriter::closeAll()
{
    while (depth_ > 0) {
        end(stack_[depth_ - 1].name);
    }
}

bool XmlTextWriter::close()
{
    if (memory_) {
        failed_ = true;
        error_ = "lines formatted in memory have no file to close";
        return false;
    }
    flush();
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
