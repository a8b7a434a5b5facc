#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/platform/Files.h"

namespace Exporter {

// The attributes of one element, written in the order they were added.
class XmlAttributeList {
public:
    void add(std::wstring name, std::wstring value) { items_.emplace_back(std::move(name), std::move(value)); }
    void clear() { items_.clear(); }
    bool empty() const { return items_.empty(); }
    const std::vector<std::pair<std::wstring, std::wstring>>& items() const { return items_; }

private:
    std::vector<std::pair<std::wstring, std::wstring>> items_;
};

// A small streaming XML writer: one line per call, two blanks of indentation
// per open element, CR LF line ends. Nothing but the current line is held in
// memory; its buffers are kept from line to line, so that writing a line
// allocates nothing once they have grown to the longest line. The file is replaced atomically (Common::ReplacementFile): close()
// puts it in place only when everything was written; a failed or abandoned
// file never touches an existing target.
class XmlTextWriter {
public:
    XmlTextWriter() = default;
    XmlTextWriter(const XmlTextWriter&) = delete;
    XmlTextWriter& operator=(const XmlTextWriter&) = delete;
    // An unclosed writer throws its temporary file away.
    ~XmlTextWriter();

    // Creates the temporary file and writes the declaration. shiftJis selects
    // code page 932 ("Shift-JIS"), otherwise UTF-8. False when the file could
    // not be created; error() then says where and why.
    bool open(const std::string& path, bool shiftJis);

    // "<!DOCTYPE root>" on a line of its own, for pages a browser reads in
    // standards mode; only before the root element.
    bool documentType(std::wstring_view root);
    bool start(std::wstring_view name);
    // The text goes on a line of its own below the start tag.
    bool startWithText(std::wstring_view name, std::wstring_view text);
    bool start(std::wstring_view name, const XmlAttributeList& attributes);
    bool value(std::wstring_view name, std::wstring_view text);
    bool value(std::wstring_view name, const XmlAttributeList& attributes, std::wstring_view text);
    bool empty(std::wstring_view name, const XmlAttributeList& attributes);
    // Closes open elements, innermost first, up to and including the first
    // one called `name`; every open element when none is.
    void end(std::wstring_view name);
    void closeAll();

    // Finishes the file and renames it over the target. False when any write
    // failed or the file could not be completed; the target is then untouched.
    bool close();

    bool isOpen() const { return file_.isOpen(); }
    bool failed() const { return failed_; }
    std::size_t depth() const { return stack_.size(); }
    const std::string& error() const { return error_; }

private:
    // Encodes line_ and writes it.
    void writeLine();
    // Appends a piece of line_ without line feeds to bytes_, encoded.
    void appendEncoded(std::wstring_view piece);
    void indent();
    void appendAttributes(const XmlAttributeList& attributes);
    void beginTag(std::wstring_view name, const XmlAttributeList* attributes);
    bool startElement(std::wstring_view name, const XmlAttributeList* attributes, const std::wstring_view* text);
    bool valueElement(std::wstring_view name, const XmlAttributeList* attributes, std::wstring_view text);
    // False, and the file failed, when a text or attribute value is longer
    // than a reader accepts.
    bool readable(std::wstring_view name, const XmlAttributeList* attributes, const std::wstring_view* text);
    void discard();

    Common::ReplacementFile file_;
    bool shiftJis_ = true;
    bool failed_ = false;
    std::string path_;
    std::string error_;
    std::wstring line_;  // the current line, reused
    std::string bytes_;  // line_ encoded, with CR LF line ends, reused
    std::vector<std::wstring> stack_;
};

// Element text: "&", "<", the ">" of "]]>" and carriage returns escaped.
void appendEscapedText(std::wstring& out, std::wstring_view text);
// Attribute values: "&", "<", '"' and carriage returns escaped.
void appendEscapedAttribute(std::wstring& out, std::wstring_view text);

// Number texts with "." as separator whatever the locale; each formatted item
// keeps at most 1023 characters, as the fixed 1024-character format buffer
// allows.
std::wstring formatInteger(long long value);
std::wstring formatNumber(double value);
std::wstring formatPoint(double x, double y);
std::wstring formatPoint3(double x, double y, double z);
std::wstring formatSegment(double x0, double y0, double x1, double y1);
// The same items appended to a text (point lists).
void appendPoint(std::wstring& out, double x, double y);
void appendPoint3(std::wstring& out, double x, double y, double z);

}  // namespace Exporter
