#include "importer/xml/XmlDocument.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "common/text/Encoding.h"
#include "common/text/XmlTextLimit.h"

namespace Importer {

namespace {

// The writer keeps its texts within what this reader takes.
static_assert(Common::kMaxXmlTextBytes == XML_MAX_TEXT_LENGTH);

const char* asChars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// The encoding named in the XML declaration of an ASCII-compatible file, or
// empty when there is none.
std::string declaredEncoding(std::string_view bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (!startsWith(bytes, "<?xml")) {
        return {};
    }
    const std::string_view head = bytes.substr(0, std::min<std::size_t>(bytes.size(), 1024));
    const std::size_t close = head.find("?>");
    const std::string_view decl = head.substr(0, close);
    std::size_t pos = decl.find("encoding");
    if (pos == std::string_view::npos) {
        return {};
    }
    pos = decl.find('=', pos);
    if (pos == std::string_view::npos) {
        return {};
    }
    pos = decl.find_first_of("\"'", pos);
    if (pos == std::string_view::npos) {
        return {};
    }
    const std::size_t end = decl.find(decl[pos], pos + 1);
    if (end == std::string_view::npos) {
        return {};
    }
    return std::string(decl.substr(pos + 1, end - pos - 1));
}

// Converts with iconv; false with `problem` set when the bytes do not decode.
bool convert(const char* from, std::string_view bytes, std::string& out, std::string& problem)
{
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        problem = std::string("no converter from ") + from + " is available";
        return false;
    }
    out.assign(bytes.size() * 3 / 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t done = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* dst = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
        done = out.size() - outLeft;
        if (r != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        problem = std::string("the bytes at offset ") + std::to_string(bytes.size() - inLeft) + " are not valid " +
                  (std::strcmp(from, "CP932") == 0 ? std::string("Shift-JIS (code page 932)") : std::string(from));
        ok = false;
        break;
    }
    iconv_close(cd);
    out.resize(done);
    return ok;
}

// Counts the attributes of every start tag without parsing: the parser's
// check for repeated attribute names grows with the square of their number,
// so a tag with millions of them must be refused before parsing.
bool attributesWithinLimit(std::string_view s, std::size_t limit)
{
    const std::size_t n = s.size();
    std::size_t i = 0;
    auto skipTo = [&](std::string_view terminator) {
        const std::size_t at = s.find(terminator, i);
        i = at == std::string_view::npos ? n : at + terminator.size();
    };
    while (i < n) {
        const std::size_t lt = s.find('<', i);
        if (lt == std::string_view::npos) {
            break;
        }
        i = lt;
        const std::string_view rest = s.substr(i);
        if (startsWith(rest, "<!--")) {
            i += 4;
            skipTo("-->");
        } else if (startsWith(rest, "<![CDATA[")) {
            i += 9;
            skipTo("]]>");
        } else if (startsWith(rest, "<?")) {
            i += 2;
            skipTo("?>");
        } else if (startsWith(rest, "<!") || startsWith(rest, "</")) {
            i += 2;
        } else {
            std::size_t count = 0;
            char quote = 0;
            for (++i; i < n; ++i) {
                const char c = s[i];
                if (quote != 0) {
                    if (c == quote) {
                        quote = 0;
                    }
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    if (++count > limit) {
                        return false;
                    }
                } else if (c == '>' || c == '<') {
                    break;
                }
            }
        }
    }
    return true;
}

// What the parser callbacks watch while the document is built.
struct ParseGuard {
    std::uint64_t nodes = 0;
    std::uint64_t maxNodes = 0;
    std::size_t maxAttributes = 0;
    std::string refusal;
    startElementNsSAX2Func startElement = nullptr;
    commentSAXFunc comment = nullptr;
    processingInstructionSAXFunc processingInstruction = nullptr;
    charactersSAXFunc characters = nullptr;
    ignorableWhitespaceSAXFunc ignorableWhitespace = nullptr;
    cdataBlockSAXFunc cdataBlock = nullptr;
};

ParseGuard* guardOf(void* context)
{
    return static_cast<ParseGuard*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void refuse(void* context, const std::string& reason)
{
    ParseGuard* guard = guardOf(context);
    if (guard->refusal.empty()) {
        guard->refusal = reason;
    }
    xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

bool countNodes(void* context, std::uint64_t count)
{
    ParseGuard* guard = guardOf(context);
    guard->nodes += count;
    if (guard->nodes > guard->maxNodes) {
        refuse(context, "the file holds more than " + std::to_string(guard->maxNodes) + " XML nodes");
        return false;
    }
    return true;
}

void onEntityDecl(void* context, const xmlChar* name, int, const xmlChar*, const xmlChar*, xmlChar*)
{
    refuse(context, std::string("the file declares the entity \"") + asChars(name) +
                        "\"; entity declarations are not accepted in CEDXM files");
}

void onUnparsedEntityDecl(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, const xmlChar*)
{
    onEntityDecl(context, name, 0, nullptr, nullptr, nullptr);
}

void onStartElement(void* context, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                    int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                    const xmlChar** attributes)
{
    // Attributes defaulted by the document's own declarations are among
    // them, so the count holds even for what the pre-scan cannot see.
    const std::size_t attributeCount = nbAttributes > 0 ? static_cast<std::size_t>(nbAttributes) : 0;
    if (attributeCount > guardOf(context)->maxAttributes) {
        refuse(context, "has an element with more than " + std::to_string(guardOf(context)->maxAttributes) +
                            " attributes");
        return;
    }
    if (countNodes(context, 1 + 2 * static_cast<std::uint64_t>(attributeCount))) {
        guardOf(context)->startElement(context, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes,
                                       nbDefaulted, attributes);
    }
}

void onComment(void* context, const xmlChar* value)
{
    if (countNodes(context, 1)) {
        guardOf(context)->comment(context, value);
    }
}

void onProcessingInstruction(void* context, const xmlChar* target, const xmlChar* data)
{
    if (countNodes(context, 1)) {
        guardOf(context)->processingInstruction(context, target, data);
    }
}

void onCharacters(void* context, const xmlChar* text, int length)
{
    if (countNodes(context, 1)) {
        guardOf(context)->characters(context, text, length);
    }
}

void onIgnorableWhitespace(void* context, const xmlChar* text, int length)
{
    if (countNodes(context, 1)) {
        guardOf(context)->ignorableWhitespace(context, text, length);
    }
}

void onCdataBlock(void* context, const xmlChar* text, int length)
{
    if (countNodes(context, 1)) {
        guardOf(context)->cdataBlock(context, text, length);
    }
}

// The first problem the parser met; later ones are mostly its consequences
// (one undecodable byte ends the document early and the rest reads as "extra
// content"), so the first is what the user needs.
struct FirstParserError {
    bool seen = false;
    std::string message;
    int line = 0;
    int column = 0;
};

void keepFirstError(void* context, xmlErrorPtr error)
{
    auto* first = static_cast<FirstParserError*>(context);
    if (first->seen || error == nullptr || error->level < XML_ERR_ERROR) {
        return;
    }
    first->seen = true;
    first->message = error->message != nullptr ? error->message : "";
    first->line = error->line;
    first->column = error->int2;
}

void ignoreGenericError(void*, const char*, ...) {}

// While it lives, every message of the parser goes to `first` instead of
// standard error, also those it raises outside the parser context (encoding
// errors).
class ParserErrorCapture {
public:
    explicit ParserErrorCapture(FirstParserError& first)
        : structured_(xmlStructuredError), structuredContext_(xmlStructuredErrorContext),
          generic_(xmlGenericError), genericContext_(xmlGenericErrorContext)
    {
        xmlSetStructuredErrorFunc(&first, keepFirstError);
        xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
    }
    ~ParserErrorCapture()
    {
        xmlSetStructuredErrorFunc(structuredContext_, structured_);
        xmlSetGenericErrorFunc(genericContext_, generic_);
    }
    ParserErrorCapture(const ParserErrorCapture&) = delete;
    ParserErrorCapture& operator=(const ParserErrorCapture&) = delete;

private:
    xmlStructuredErrorFunc structured_;
    void* structuredContext_;
    xmlGenericErrorFunc generic_;
    void* genericContext_;
};

struct MemorySource {
    const char* data;
    std::size_t left;
};

int readFromMemory(void* context, char* buffer, int length)
{
    auto* source = static_cast<MemorySource*>(context);
    const std::size_t n = std::min(source->left, static_cast<std::size_t>(length > 0 ? length : 0));
    std::memcpy(buffer, source->data, n);
    source->data += n;
    source->left -= n;
    return static_cast<int>(n);
}

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

bool isXmlSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::wstring trimmedWide(const char* text)
{
    if (text == nullptr) {
        return {};
    }
    std::string_view view(text);
    while (!view.empty() && isXmlSpace(static_cast<unsigned char>(view.front()))) {
        view.remove_prefix(1);
    }
    while (!view.empty() && isXmlSpace(static_cast<unsigned char>(view.back()))) {
        view.remove_suffix(1);
    }
    return Common::fromUtf8(view);
}

struct XmlFreer {
    void operator()(xmlChar* p) const { xmlFree(p); }
};
using XmlText = std::unique_ptr<xmlChar, XmlFreer>;

// prefix:local (or local alone) compared with `name`.
bool qualifiedNameEquals(const xmlNs* ns, const xmlChar* localName, std::string_view name)
{
    if (localName == nullptr) {
        return false;
    }
    const char* local = asChars(localName);
    if (ns != nullptr && ns->prefix != nullptr) {
        const std::string_view prefix(asChars(ns->prefix));
        return name.size() > prefix.size() && startsWith(name, prefix) && name[prefix.size()] == ':' &&
               name.substr(prefix.size() + 1) == local;
    }
    return name == local;
}

// Compares a node's DOM name with `name` without building the name.
bool nameEquals(XmlNode node, std::string_view name)
{
    switch (node->type) {
    case XML_ELEMENT_NODE:
        return qualifiedNameEquals(node->ns, node->name, name);
    case XML_TEXT_NODE:
        return name == "#text";
    case XML_CDATA_SECTION_NODE:
        return name == "#cdata-section";
    case XML_COMMENT_NODE:
        return name == "#comment";
    case XML_PI_NODE:
    case XML_DTD_NODE:
    case XML_ENTITY_REF_NODE:
        return node->name != nullptr && name == asChars(node->name);
    default:
        return false;
    }
}

}  // namespace

bool isShiftJisName(std::string_view encodingName)
{
    static const char* const names[] = {"shift-jis", "shift_jis",  "sjis",         "x-sjis",      "windows-31j",
                                        "cp932",     "ms932",      "ms_kanji",     "csshiftjis",  "cswindows31j",
                                        "x-ms-cp932", "windows-932"};
    const std::string lower = lowerAscii(encodingName);
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return lower == n; });
}

XmlDocument::~XmlDocument()
{
    if (doc_ != nullptr) {
        xmlFreeDoc(doc_);
    }
}

bool XmlDocument::loadFile(const std::string& path, std::string& problem, const XmlLimits& limits)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        problem = S_ISDIR(info.st_mode) ? "is a folder, not a file" : std::string("cannot be read: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > limits.maxFileBytes) {
        problem = "is " + std::to_string(info.st_size) + " bytes long, more than the limit of " +
                  std::to_string(limits.maxFileBytes) + " bytes";
        ::close(fd);
        return false;
    }
    std::string bytes;
    if (S_ISREG(info.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            problem = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > limits.maxFileBytes) {
            problem = "is longer than the limit of " + std::to_string(limits.maxFileBytes) + " bytes";
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return loadBytes(bytes, problem, limits);
}

bool XmlDocument::loadBytes(std::string_view bytes, std::string& problem, const XmlLimits& limits)
{
    if (doc_ != nullptr) {
        xmlFreeDoc(doc_);
        doc_ = nullptr;
    }
    if (bytes.size() > limits.maxFileBytes) {
        problem = "is longer than the limit of " + std::to_string(limits.maxFileBytes) + " bytes";
        return false;
    }
    if (bytes.empty()) {
        problem = "is empty";
        return false;
    }

    // Everything is handed to the parser as UTF-8, so that the decoding is
    // ours: Shift-JIS as code page 932, UTF-16 by its byte order mark or by
    // the byte pattern of its declaration.
    std::string converted;
    const char* sourceEncoding = nullptr;
    bool utf8Forced = false;
    if (startsWith(bytes, std::string_view("\xFF\xFE\0\0", 4)) || startsWith(bytes, std::string_view("\0\0\xFE\xFF", 4)) ||
        startsWith(bytes, std::string_view("<\0\0\0", 4)) || startsWith(bytes, std::string_view("\0\0\0<", 4))) {
        // Read as UTF-16 it would give an empty document rather than an error.
        problem = "is in UTF-32, which CEDXM files are not read in (UTF-8, UTF-16 or Shift-JIS)";
        return false;
    }
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        utf8Forced = true;  // a byte order mark outweighs whatever the declaration names
    } else if (startsWith(bytes, "\xFF\xFE")) {
        sourceEncoding = "UTF-16LE";
        bytes.remove_prefix(2);
    } else if (startsWith(bytes, "\xFE\xFF")) {
        sourceEncoding = "UTF-16BE";
        bytes.remove_prefix(2);
    } else if (startsWith(bytes, std::string_view("<\0?\0", 4))) {
        sourceEncoding = "UTF-16LE";
    } else if (startsWith(bytes, std::string_view("\0<\0?", 4))) {
        sourceEncoding = "UTF-16BE";
    } else if (isShiftJisName(declaredEncoding(bytes))) {
        sourceEncoding = "CP932";
    }
    if (sourceEncoding != nullptr) {
        if (!convert(sourceEncoding, bytes, converted, problem)) {
            return false;
        }
        bytes = converted;
        utf8Forced = true;
    }
    if (!attributesWithinLimit(bytes, limits.maxAttributesPerElement)) {
        problem = "has an element with more than " + std::to_string(limits.maxAttributesPerElement) + " attributes";
        return false;
    }

    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt == nullptr) {
        throw std::bad_alloc();
    }
    ParseGuard guard;
    guard.maxNodes = limits.maxNodes;
    guard.maxAttributes = limits.maxAttributesPerElement;
    ctxt->_private = &guard;
    xmlSAXHandler* sax = ctxt->sax;
    guard.startElement = sax->startElementNs != nullptr ? sax->startElementNs : xmlSAX2StartElementNs;
    guard.comment = sax->comment != nullptr ? sax->comment : xmlSAX2Comment;
    guard.processingInstruction =
        sax->processingInstruction != nullptr ? sax->processingInstruction : xmlSAX2ProcessingInstruction;
    guard.characters = sax->characters != nullptr ? sax->characters : xmlSAX2Characters;
    guard.ignorableWhitespace =
        sax->ignorableWhitespace != nullptr ? sax->ignorableWhitespace : xmlSAX2IgnorableWhitespace;
    guard.cdataBlock = sax->cdataBlock != nullptr ? sax->cdataBlock : xmlSAX2CDataBlock;
    sax->startElementNs = onStartElement;
    sax->characters = onCharacters;
    // The parser sorts out ignorable blanks only when the two handlers
    // differ; they stay alike so that white space is kept as before.
    sax->ignorableWhitespace =
        guard.ignorableWhitespace == guard.characters ? onCharacters : onIgnorableWhitespace;
    sax->cdataBlock = onCdataBlock;
    sax->comment = onComment;
    sax->processingInstruction = onProcessingInstruction;
    sax->entityDecl = onEntityDecl;
    sax->unparsedEntityDecl = onUnparsedEntityDecl;

    // No network, no DTD loading or validation, no entity substitution, no
    // recovery from errors, no "huge" relaxation of the parser's limits.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (utf8Forced) {
        options |= XML_PARSE_IGNORE_ENC;
    }
    // Streamed to the parser from memory, so that no further whole copy of
    // the file is made; decoded text is UTF-8 and needs no converter.
    MemorySource source{bytes.data(), bytes.size()};
    FirstParserError first;
    xmlDocPtr doc = nullptr;
    {
        const ParserErrorCapture capture(first);
        doc = xmlCtxtReadIO(ctxt, readFromMemory, nullptr, &source, nullptr, nullptr, options);
    }
    const bool wellFormed = ctxt->wellFormed != 0;
    if (!first.seen) {
        if (const xmlError* error = xmlCtxtGetLastError(ctxt); error != nullptr && error->message != nullptr) {
            first.message = error->message;
            first.line = error->line;
            first.column = error->int2;
        }
    }
    const std::string parserMessage = trimmed(first.message);
    const int line = first.line;
    xmlFreeParserCtxt(ctxt);

    if (!guard.refusal.empty()) {
        problem = guard.refusal;
    } else if (doc == nullptr || !wellFormed) {
        problem = "is not well-formed XML";
        if (line > 0) {
            problem += " (line " + std::to_string(line);
            if (first.column > 0) {
                problem += ", column " + std::to_string(first.column);
            }
            problem += ")";
        }
        if (!parserMessage.empty()) {
            problem += ": " + parserMessage;
        }
    } else {
        doc_ = doc;
        return true;
    }
    if (doc != nullptr) {
        xmlFreeDoc(doc);
    }
    return false;
}

XmlNode XmlDocument::firstTopLevelNode() const { return doc_ != nullptr ? doc_->children : nullptr; }

std::string nodeName(XmlNode node)
{
    if (node == nullptr) {
        return {};
    }
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
        if (node->ns != nullptr && node->ns->prefix != nullptr) {
            return std::string(asChars(node->ns->prefix)) + ":" + asChars(node->name);
        }
        return node->name != nullptr ? asChars(node->name) : "";
    case XML_TEXT_NODE:
        return "#text";
    case XML_CDATA_SECTION_NODE:
        return "#cdata-section";
    case XML_COMMENT_NODE:
        return "#comment";
    default:
        return node->name != nullptr ? asChars(node->name) : "";
    }
}

bool isElement(XmlNode node) { return node != nullptr && node->type == XML_ELEMENT_NODE; }

bool hasName(XmlNode node, std::string_view name) { return node != nullptr && nameEquals(node, name); }

XmlNode firstChild(XmlNode node) { return node != nullptr ? node->children : nullptr; }

XmlNode nextSibling(XmlNode node) { return node != nullptr ? node->next : nullptr; }

XmlNode findChild(XmlNode node, std::string_view name)
{
    if (node == nullptr) {
        return nullptr;
    }
    for (XmlNode child = node->children; child != nullptr; child = child->next) {
        if (nameEquals(child, name)) {
            return child;
        }
    }
    return nullptr;
}

XmlNode findNextSibling(XmlNode node, std::string_view name)
{
    if (node == nullptr) {
        return nullptr;
    }
    for (XmlNode next = node->next; next != nullptr; next = next->next) {
        if (nameEquals(next, name)) {
            return next;
        }
    }
    return nullptr;
}

std::wstring attributeText(XmlNode node, std::string_view name)
{
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        return {};
    }
    for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
        if (qualifiedNameEquals(attr->ns, attr->name, name)) {
            const XmlText value(xmlNodeListGetString(node->doc, attr->children, 1));
            return value ? Common::fromUtf8(asChars(value.get())) : std::wstring();
        }
    }
    return {};
}

std::wstring nodeText(XmlNode node)
{
    if (node == nullptr) {
        return {};
    }
    const XmlText content(xmlNodeGetContent(node));
    return trimmedWide(content ? asChars(content.get()) : nullptr);
}

}  // namespace Importer
