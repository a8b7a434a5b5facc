#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/xml/XmlTree.h"

namespace Importer {

// A node of a loaded document, borrowed from it: valid while the document
// lives. Any node kind (element, text, comment, processing instruction ...).
using Common::XmlNode;

// Limits that keep a hostile file from exhausting the machine. A house plan
// is a few megabytes; these are far above that, and together they keep any
// accepted file under about 600 MB of memory while it is read: the bytes of
// the file and their decoded copy, plus some 130 bytes for every node the
// tree holds.
//
// Nodes counted: elements, comments, processing instructions, each piece of
// text or CDATA the parser hands over (a long text comes in pieces of a few
// hundred bytes, so text is counted by its length too), and every attribute
// twice (the attribute and the text of its value).
inline constexpr std::uint64_t kMaxCedxmFileBytes = 32ull * 1024 * 1024;  // 32 MiB
inline constexpr std::uint64_t kMaxCedxmNodes = 2'500'000;
// A CEDXM element carries a handful of attributes; the parser's check for
// repeated names grows with the square of their number per element.
inline constexpr std::size_t kMaxCedxmAttributesPerElement = 256;

struct XmlLimits {
    std::uint64_t maxFileBytes = kMaxCedxmFileBytes;
    std::uint64_t maxNodes = kMaxCedxmNodes;
    std::size_t maxAttributesPerElement = kMaxCedxmAttributesPerElement;
};

// One XML document loaded from a file, held in memory whole.
//
// Loading is safe for files from anywhere: no network access, no DTD or
// external entity is ever loaded, a file that declares entities is refused
// (so no expansion can blow up), nesting depth and single text lengths stay
// within the parser's default limits, and the limits above are enforced
// before and while parsing.
//
// Files that declare Shift-JIS under any of its usual names are decoded as
// code page 932 (the Windows flavour of Shift-JIS, which is what CAD systems
// write), so characters such as ～ or ¬ come back as written. UTF-8 and
// UTF-16 files (with or without byte order mark) read as well.
class XmlDocument {
public:
    XmlDocument() = default;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Loads the file; false with `problem` set (the reason, without the
    // path) when it cannot be read as well-formed XML within the limits.
    bool loadFile(const std::string& path, std::string& problem, const XmlLimits& limits = XmlLimits());
    // The same from bytes already in memory.
    bool loadBytes(std::string_view bytes, std::string& problem, const XmlLimits& limits = XmlLimits());

    // First top-level node of the document (null when nothing is loaded).
    XmlNode firstTopLevelNode() const { return tree_.firstTopLevelNode(); }

private:
    Common::XmlTree tree_;
};

// Node access (common/xml/XmlTree.h): names, tree walking, attributes, text.
using Common::attributeText;
using Common::findChild;
using Common::findNextSibling;
using Common::firstChild;
using Common::hasName;
using Common::isElement;
using Common::nextSibling;
using Common::nodeName;
using Common::nodeText;

// Whether the encoding name declared by a file means Shift-JIS.
bool isShiftJisName(std::string_view encodingName);

}  // namespace Importer
