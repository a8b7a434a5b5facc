#pragma once

// Reads a generated page or picture back as XML and collects what a user's
// style sheet or checker would select: elements by class and storey.

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/text/Encoding.h"
#include "importer/xml/XmlDocument.h"

namespace ViewerTests {

struct DrawnElement {
    std::string name;
    std::vector<std::string> classes;
    std::string id;
    std::string storey;  // data-storey of the enclosing picture
};

inline std::vector<std::string> classesOf(Importer::XmlNode node)
{
    std::vector<std::string> classes;
    std::istringstream words(Common::toUtf8(Importer::attributeText(node, "class")));
    for (std::string word; words >> word;) {
        classes.push_back(word);
    }
    return classes;
}

inline void collect(Importer::XmlNode node, const std::string& storey, std::vector<DrawnElement>& into)
{
    for (Importer::XmlNode child = Importer::firstChild(node); child != nullptr; child = Importer::nextSibling(child)) {
        if (!Importer::isElement(child)) {
            continue;
        }
        std::string here = storey;
        if (Importer::nodeName(child) == "svg") {
            here = Common::toUtf8(Importer::attributeText(child, "data-storey"));
        }
        into.push_back({Importer::nodeName(child), classesOf(child),
                        Common::toUtf8(Importer::attributeText(child, "data-id")), here});
        collect(child, here, into);
    }
}

// Every element of the file; fails the reading test when it is not
// well-formed XML.
inline std::vector<DrawnElement> readElements(const std::filesystem::path& file, std::string& problem)
{
    Importer::XmlDocument document;
    std::vector<DrawnElement> elements;
    if (!document.loadFile(file.string(), problem)) {
        return elements;
    }
    for (Importer::XmlNode top = document.firstTopLevelNode(); top != nullptr; top = Importer::nextSibling(top)) {
        if (Importer::isElement(top)) {
            std::string storey = Importer::nodeName(top) == "svg" ? Common::toUtf8(Importer::attributeText(top, "data-storey")) : "";
            elements.push_back({Importer::nodeName(top), classesOf(top), "", storey});
            collect(top, storey, elements);
        }
    }
    return elements;
}

inline bool hasClass(const DrawnElement& e, const std::string& cls)
{
    for (const std::string& c : e.classes) {
        if (c == cls) {
            return true;
        }
    }
    return false;
}

// (storey, class) -> number of elements, for the record classes.
inline std::map<std::pair<std::string, std::string>, int> recordCounts(const std::vector<DrawnElement>& elements)
{
    std::map<std::pair<std::string, std::string>, int> counts;
    for (const DrawnElement& e : elements) {
        for (const char* cls : {"room", "wall", "exterior-line", "opening", "stair", "roof"}) {
            if (hasClass(e, cls)) {
                ++counts[{e.storey, cls}];
            }
        }
    }
    return counts;
}

}  // namespace ViewerTests
