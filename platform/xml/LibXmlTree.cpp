#include "common/xml/XmlTree.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "common/text/Encoding.h"
#include "common/text/XmlTextLimit.h"

// The tree is libxml2's own: a node handle is an xmlNode. The parser is
// linked statically on every platform and is told not to touch the file
// system, the network or any character set converter: it sees UTF-8 or the
// encodings it decodes by itself.

namespace Common {

namespace {

// The writer keeps its texts within what this reader takes.
static_assert(kMaxXmlTextBytes == XML_MAX_TEXT_LENGTH);

const char* asChars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

const xmlNode* raw(XmlNode node) { return reinterpret_cast<const xmlNode*>(node); }
XmlNode handle(const xmlNode* node) { return reinterpret_cast<XmlNode>(node); }

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

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
        if (!(name.size() > prefix.size() && startsWith(name, prefix) && name[prefix.size()] == ':')) {
            return false;
        }
        name.remove_prefix(prefix.size() + 1);
    }
    // Compared as it goes, so that the sibling names a search passes over
    // cost a character or two each rather than a length and a comparison.
    for (const char c : name) {
        if (*local == '\0' || *local != c) {
            return false;
        }
        ++local;
    }
    return *local == '\0';
}

// Compares a node's DOM name with `name` without building the name.
bool nameEquals(const xmlNode* node, std::string_view name)
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

XmlTree::~XmlTree()
{
    clear();
}

void XmlTree::clear()
{
    if (document_ != nullptr) {
        xmlFreeDoc(static_cast<xmlDocPtr>(document_));
        document_ = nullptr;
    }
}

bool XmlTree::parse(std::string_view text, bool utf8, std::uint64_t maxNodes, std::size_t maxAttributes,
                    std::string& problem)
{
    clear();
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt == nullptr) {
        throw std::bad_alloc();
    }
    ParseGuard guard;
    guard.maxNodes = maxNodes;
    guard.maxAttributes = maxAttributes;
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
    if (utf8) {
        options |= XML_PARSE_IGNORE_ENC;
    }
    // Streamed to the parser from memory, so that no further whole copy of
    // the file is made; decoded text is UTF-8 and needs no converter.
    MemorySource source{text.data(), text.size()};
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
        document_ = doc;
        return true;
    }
    if (doc != nullptr) {
        xmlFreeDoc(doc);
    }
    return false;
}

XmlNode XmlTree::firstTopLevelNode() const
{
    return document_ != nullptr ? handle(static_cast<xmlDocPtr>(document_)->children) : nullptr;
}


std::string nodeName(XmlNode handleOfNode)
{
    const xmlNode* node = raw(handleOfNode);
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

bool isElement(XmlNode node) { return node != nullptr && raw(node)->type == XML_ELEMENT_NODE; }

bool hasName(XmlNode node, std::string_view name) { return node != nullptr && nameEquals(raw(node), name); }

XmlNode firstChild(XmlNode node) { return node != nullptr ? handle(raw(node)->children) : nullptr; }

XmlNode nextSibling(XmlNode node) { return node != nullptr ? handle(raw(node)->next) : nullptr; }

XmlNode findChild(XmlNode node, std::string_view name)
{
    if (node == nullptr) {
        return nullptr;
    }
    for (const xmlNode* child = raw(node)->children; child != nullptr; child = child->next) {
        if (nameEquals(child, name)) {
            return handle(child);
        }
    }
    return nullptr;
}

XmlNode findNextSibling(XmlNode node, std::string_view name)
{
    if (node == nullptr) {
        return nullptr;
    }
    for (const xmlNode* next = raw(node)->next; next != nullptr; next = next->next) {
        if (nameEquals(next, name)) {
            return handle(next);
        }
    }
    return nullptr;
}

std::wstring attributeText(XmlNode handleOfNode, std::string_view name)
{
    const xmlNode* node = raw(handleOfNode);
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        return {};
    }
    for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
        if (qualifiedNameEquals(attr->ns, attr->name, name)) {
            // A value of one piece of text (entities are never substituted)
            // is read where it lies, without a copy.
            const xmlNode* only = attr->children;
            if (only != nullptr && only->next == nullptr && only->type == XML_TEXT_NODE) {
                return only->content != nullptr ? Common::fromUtf8(asChars(only->content)) : std::wstring();
            }
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
    // An element holding one piece of text, as most CEDXM values are, is
    // read where the text lies, without a copy.
    const xmlNode* only = raw(node)->type == XML_ELEMENT_NODE ? raw(node)->children : nullptr;
    if (only != nullptr && only->next == nullptr &&
        (only->type == XML_TEXT_NODE || only->type == XML_CDATA_SECTION_NODE)) {
        return trimmedWide(asChars(only->content));
    }
    const XmlText content(xmlNodeGetContent(raw(node)));
    return trimmedWide(content ? asChars(content.get()) : nullptr);
}

}  // namespace Common
