#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Common {

// A node of a parsed XML tree, borrowed from it: valid while the tree lives.
// Any node kind (element, text, comment, processing instruction ...). What
// it is made of belongs to the parser behind XmlTree.
struct XmlNodeData;
using XmlNode = const XmlNodeData*;

// One XML document parsed into memory whole by the platform's parser.
//
// Parsing is safe for text from anywhere: no network access, no DTD or
// external entity is ever loaded or validated, entities are never
// substituted and a text that declares one is refused (so no expansion can
// blow up), nesting depth and single text lengths stay within the parser's
// default limits, no error is recovered from, and the number of elements,
// comments, processing instructions, texts and attributes is bounded while
// parsing.
class XmlTree {
public:
    XmlTree() = default;
    ~XmlTree();
    XmlTree(const XmlTree&) = delete;
    XmlTree& operator=(const XmlTree&) = delete;

    // Parses `text`; with `utf8` set the text is UTF-8 whatever its
    // declaration names, otherwise the parser decodes it by its declaration.
    // False with `problem` set (the reason, without any path) when the text
    // is not well-formed or breaks a limit; the tree is then empty.
    //
    // Nodes counted against `maxNodes`: elements, comments, processing
    // instructions, each piece of text or CDATA the parser hands over (a long
    // text comes in pieces of a few hundred bytes, so text is counted by its
    // length too), and every attribute twice (the attribute and the text of
    // its value). An element with more than `maxAttributes` attributes,
    // defaulted ones included, is refused.
    bool parse(std::string_view text, bool utf8, std::uint64_t maxNodes, std::size_t maxAttributes,
               std::string& problem);

    // First top-level node (null when nothing is parsed).
    XmlNode firstTopLevelNode() const;
    // Frees the tree; every node of it becomes invalid.
    void clear();

private:
    void* document_ = nullptr;
};

// The node's name as a DOM component reports it, in UTF-8: elements and
// attributes by their qualified name (prefix:local), processing
// instructions by their target, a document type by its root name, text
// "#text", CDATA "#cdata-section", comments "#comment".
std::string nodeName(XmlNode node);
bool isElement(XmlNode node);
// Whether the node's name is exactly `name`; false for a null node.
bool hasName(XmlNode node, std::string_view name);

// Plain tree walking over all node kinds; null at the end or for null.
XmlNode firstChild(XmlNode node);
XmlNode nextSibling(XmlNode node);

// First child of any kind whose name is exactly `name` (UTF-8); null when
// none or when `node` is null.
XmlNode findChild(XmlNode node, std::string_view name);
// First following sibling whose name is exactly `name`; null when none.
XmlNode findNextSibling(XmlNode node, std::string_view name);
// Text of the attribute `name`; empty when the node is null, is not an
// element, or has no such attribute.
std::wstring attributeText(XmlNode node, std::string_view name);
// Text content of the node and everything below it, leading and trailing
// white space removed; empty for a null node.
std::wstring nodeText(XmlNode node);

}  // namespace Common
