#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/platform/Files.h"

namespace Exporter {

// The attributes of one element, written in the order they were added. A
// list cleared and filled again keeps its texts' room, so that a list used
// for element after element allocates nothing once it has grown.
class XmlAttributeList {
public:
    void add(std::wstring_view name, std::wstring_view value) { add(name).assign(value); }
    // Adds an attribute with an empty value and returns the value, for the
    // caller to append to (numbers, point lists).
    std::wstring& add(std::wstring_view name)
    {
        if (size_ == items_.size()) {
            items_.emplace_back();
        }
        Item& item = items_[size_++];
        item.name.assign(name);
        item.value.clear();
        return item.value;
    }
    void clear() { size_ = 0; }
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    std::wstring_view name(std::size_t i) const { return items_[i].name; }
    std::wstring_view value(std::size_t i) const { return items_[i].value; }

private:
    struct Item {
        std::wstring name;
        std::wstring value;
    };
    std::vector<Item> items_;  // the first size_ are the list; the rest keep their room
    std::size_t size_ = 0;
};

// A small streaming XML writer: one line per call, two blanks of indentation
// per open element, CR LF line ends. Little is held in memory: each line is
// escaped and encoded straight onto the end of one byte buffer, handed to
// the file every 64 KiB, and the buffers are kept with the names of the open
// elements, so that writing a line allocates nothing once they have grown. The file is replaced atomically (Common::ReplacementFile):
// close() puts it in place only when everything was written; a failed or
// abandoned file never touches an existing target.
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
    // value() with the number as formatInteger() or formatNumber() gives it,
    // formatted straight into the line.
    bool valueInteger(std::wstring_view name, long long number);
    bool valueNumber(std::wstring_view name, double number);
    bool empty(std::wstring_view name, const XmlAttributeList& attributes);
    // Closes open elements, innermost first, up to and including the first
    // one called `name`; every open element when none is.
    void end(std::wstring_view name);
    void closeAll();

    // The writer's own attribute list, emptied, for the next element written:
    // it keeps its room from element to element. Valid until the next call.
    XmlAttributeList& attributes()
    {
        attributes_.clear();
        return attributes_;
    }

    // Long record lists are formatted side by side: a writer that keeps
    // its lines in memory, in the state `like` is in now (encoding, open
    // elements, the target's name for messages, a failure). The lines
    // written from here on are handed to writeFormatted(), records
    // complete, in the order they belong in the file. Throws away a file
    // this writer had open.
    void beginFormatting(const XmlTextWriter& like);
    // Writes the lines `formatted` holds, or takes its failure and its
    // message. False when this writer has failed.
    bool writeFormatted(const XmlTextWriter& formatted);

    // Finishes the file and renames it over the target. False when any write
    // failed or the file could not be completed; the target is then untouched.
    bool close();

    bool isOpen() const { return file_.isOpen(); }
    bool failed() const { return failed_; }
    std::size_t depth() const { return depth_; }
    const std::string& error() const { return error_; }

private:
    // An open element: its name, and the name's bytes for the end tag.
    struct OpenElement {
        std::wstring name;
        std::string bytes;
    };
    // A name written before, with its bytes: the section writers pass the
    // same few fixed names over and over.
    struct KnownName {
        const wchar_t* at = nullptr;  // where the caller held it
        std::wstring name;
        std::string bytes;
    };
    static constexpr std::size_t kKnownNames = 64;
    static constexpr std::size_t kLongestKnownName = 64;  // longer ones are encoded each time

    bool writable() const { return (memory_ || file_.isOpen()) && !failed_; }
    // Called at the end of every line: bytes_ goes to the file once it
    // holds kFlushAt bytes or more.
    void writeLine();
    // Hands bytes_ to the file and empties it; what a failed file would get
    // is dropped.
    void flush();
    // Appends to bytes_: a name as it stands, a line feed as CR LF.
    void putName(std::wstring_view name);
    void encodeName(std::wstring_view name);
    // Appends to bytes_: element text or an attribute value, escaped. Text:
    // "&", "<", the ">" of "]]>" and carriage returns; attribute values:
    // "&", "<", '"' and carriage returns.
    void putEscaped(std::wstring_view text, bool attribute);
    // Appends to bytes_: characters without line feeds, encoded.
    void putEncoded(std::wstring_view run);
    void putIndent(std::size_t depth) { bytes_.append(2 * depth, ' '); }
    void putAttributes(const XmlAttributeList& attributes);
    // "<name a=\"v\"" at the current indentation; the caller ends the tag.
    void beginTag(std::wstring_view name, const XmlAttributeList* attributes);
    bool startElement(std::wstring_view name, const XmlAttributeList* attributes, const std::wstring_view* text);
    bool valueElement(std::wstring_view name, const XmlAttributeList* attributes, std::wstring_view text);
    // The value line of an ASCII text that needs no escaping (a number).
    bool valueAscii(std::wstring_view name, std::string_view text);
    // False, and the file failed, when a text or attribute value is longer
    // than a reader accepts.
    bool readable(std::wstring_view name, const XmlAttributeList* attributes, const std::wstring_view* text);
    void discard();

    static constexpr std::size_t kFlushAt = 1 << 16;

    Common::ReplacementFile file_;
    bool memory_ = false;  // lines kept in bytes_ for writeFormatted(), not written
    bool shiftJis_ = true;
    bool failed_ = false;
    std::string path_;
    std::string error_;
    // The lines not yet handed to the file (up to kFlushAt bytes, or all
    // that a formatting writer was given), encoded, with CR LF line ends.
    std::string bytes_;
    std::size_t nameAt_ = 0;  // where beginTag() put the name's bytes in bytes_
    std::size_t nameEnd_ = 0;
    std::vector<OpenElement> stack_;  // the first depth_ are open, the rest keep their room
    // Found by where the caller holds the name and checked by its characters,
    // so that a name held where another was before is never mistaken for it.
    std::array<KnownName, kKnownNames> knownNames_;
    std::size_t depth_ = 0;
    XmlAttributeList attributes_;
};

// Number texts with "." as separator whatever the locale; each formatted item
// keeps at most 1023 characters, as the fixed 1024-character format buffer
// allows.
std::wstring formatInteger(long long value);
std::wstring formatNumber(double value);
std::wstring formatPoint(double x, double y);
std::wstring formatPoint3(double x, double y, double z);
std::wstring formatSegment(double x0, double y0, double x1, double y1);
// The same items appended to a text (attribute values built in place).
void appendInteger(std::wstring& out, long long value);
void appendNumber(std::wstring& out, double value);
void appendSegment(std::wstring& out, double x0, double y0, double x1, double y1);
void appendPoint(std::wstring& out, double x, double y);
void appendPoint3(std::wstring& out, double x, double y, double z);

}  // namespace Exporter
