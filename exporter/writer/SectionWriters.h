#pragma once

#include <string>

#include "exporter/model/ExportModel.h"
#include "exporter/writer/XmlTextWriter.h"

namespace Exporter {

// Writes the whole CEDXM document for `model` to `outputPath`: declaration,
// CADIF and the nine sections in their fixed order. shiftJis selects code
// page 932 (the exporter always asks for it), otherwise UTF-8. False with
// `error` (path and reason) when the file could not be written; an existing
// file at that path is then left as it was.
bool writeCedxmDocument(const ExportModel& model, const std::string& outputPath, const std::wstring& projectName,
                        bool shiftJis, std::string& error);

// The section writers, in the order the document holds them.
void writeGridSection(const ExportModel& model, XmlTextWriter& xml);
void writeFileInfoSection(const ExportModel& model, XmlTextWriter& xml);
void writeProjectSection(const ExportModel& model, const std::wstring& projectName, XmlTextWriter& xml);
void writeRoomSection(const ExportModel& model, XmlTextWriter& xml);
void writeWallSection(const ExportModel& model, XmlTextWriter& xml);
void writeOuterLineSection(const ExportModel& model, XmlTextWriter& xml);
void writeOpeningSection(const ExportModel& model, XmlTextWriter& xml);
void writeStairSection(const ExportModel& model, XmlTextWriter& xml);
void writeRoofSection(const ExportModel& model, XmlTextWriter& xml);

// 点列: the points one by one, joined by single blanks, appended to a text.
void appendPointList(std::wstring& out, const std::vector<Common::Vector2d>& points);
void appendPoint3List(std::wstring& out, const std::vector<Common::Vector3d>& points);

}  // namespace Exporter
