#include "importer/reading/CedxmReader.h"

#include "common/text/Encoding.h"
#include "importer/reading/SectionReaders.h"
#include "importer/xml/XmlDocument.h"

namespace Importer {

bool loadCedxmFile(ImportModel& model, const std::wstring& path, std::wstring& problem)
{
    XmlDocument document;
    std::string reason;
    if (!document.loadFile(Common::toUtf8(path), reason)) {
        problem = path + L": " + Common::fromUtf8(reason);
        return false;
    }
    // The root is the last top-level node named CADIF; comments, processing
    // instructions and a document type may stand before it.
    XmlNode root = nullptr;
    for (XmlNode node = document.firstTopLevelNode(); node != nullptr; node = nextSibling(node)) {
        if (hasName(node, "CADIF")) {
            root = node;
        }
    }
    if (!isElement(root)) {
        problem = path + L": has no CADIF root element, so it is not a CEDXM file";
        return false;
    }
    readSections(root, model);
    return true;
}

}  // namespace Importer
