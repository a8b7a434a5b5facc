#pragma once

// Helpers for the reading tests: temporary files and parsing from text.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "importer/model/ImportModel.h"
#include "importer/reading/SectionReaders.h"
#include "importer/xml/XmlDocument.h"

namespace ReadSupport {

inline std::filesystem::path tempDir()
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? env : std::filesystem::temp_directory_path() / "cedxm_import_read";
    dir /= "import_read";
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string writeTemp(const std::string& name, const std::string& bytes)
{
    const std::filesystem::path path = tempDir() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return path.string();
}

// A UTF-8 CEDXM document around `body` (the children of CADIF).
inline std::string cedxm(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CADIF Version=\"1.0\">\r\n" + body + "</CADIF>\r\n";
}

// Parses the document and dispatches its CADIF children into the model.
inline bool readInto(const std::string& document, Importer::ImportModel& model)
{
    Importer::XmlDocument doc;
    std::string problem;
    if (!doc.loadBytes(document, problem)) {
        return false;
    }
    Importer::XmlNode root = nullptr;
    for (Importer::XmlNode n = doc.firstTopLevelNode(); n != nullptr; n = Importer::nextSibling(n)) {
        if (Importer::hasName(n, "CADIF")) {
            root = n;
        }
    }
    if (root == nullptr) {
        return false;
    }
    Importer::readSections(root, model);
    return true;
}

}  // namespace ReadSupport
