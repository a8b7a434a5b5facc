#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exporter/writer/XmlTextWriter.h"
#include "importer/model/ImportModel.h"
#include "viewer/drawing/StoreyRecords.h"

namespace Viewer {

// Writes something of the caller's at the top of the page body (the
// conversion report of the converters).
using PagePrelude = std::function<void(Exporter::XmlTextWriter&)>;

// One self-contained page (no script, nothing fetched): the file's name and
// origin, a table of records per storey and section, and one picture per
// storey. The page is well-formed XML as well as HTML. Written to a
// temporary file that replaces `path` only when complete; false with
// `error` saying where and why otherwise.
bool writePlanPage(const std::string& path, const Importer::ImportModel& model, const std::wstring& fileName,
                   const std::vector<StoreyRecords>& storeys, const PagePrelude& prelude, std::string& error);

// One storey picture as an SVG file of its own.
bool writeStoreySvg(const std::string& path, const Importer::ImportModel& model, const StoreyRecords& storey,
                    std::string& error);

}  // namespace Viewer
