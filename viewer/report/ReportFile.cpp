// The converters' --report file: JSON, or the CDXVIEW page of the CEDXM file
// with the report on top.

#include <algorithm>
#include <cwctype>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "common/app/ProgramRun.h"
#include "common/platform/Files.h"
#include "common/report/ConversionReport.h"
#include "common/text/Encoding.h"
#include "common/text/PathText.h"
#include "importer/reading/CedxmReader.h"
#include "viewer/drawing/PlanPage.h"

namespace Common {

namespace {

using Exporter::XmlAttributeList;
using Exporter::XmlTextWriter;

nlohmann::json entries(const std::vector<ReportEntry>& list, const char* textName)
{
    nlohmann::json array = nlohmann::json::array();
    for (const ReportEntry& e : list) {
        array.push_back({{"kind", toUtf8(e.kind)}, {"storey", e.storey}, {"id", toUtf8(e.id)}, {textName, toUtf8(e.text)}});
    }
    return array;
}

std::string reportJson(const ConversionReport& report)
{
    nlohmann::json storeys = nlohmann::json::array();
    for (const auto& [storey, c] : report.counts) {
        storeys.push_back({{"storey", storey},
                           {"counts",
                            {{"rooms", c.rooms},
                             {"walls", c.walls},
                             {"exteriorLines", c.exteriorLines},
                             {"openings", c.openings},
                             {"stairs", c.stairs},
                             {"roofs", c.roofs}}}});
    }
    nlohmann::ordered_json json;
    json["program"] = toUtf8(report.program);
    json["file"] = toUtf8(report.file);
    json["status"] = report.status;
    json["storeys"] = storeys;
    json["leftOut"] = entries(report.leftOut, "reason");
    json["changed"] = entries(report.changed, "what");
    // Texts from a plan may hold anything; invalid sequences are replaced
    // rather than refused.
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

XmlAttributeList attribute(const wchar_t* name, const std::wstring& value)
{
    XmlAttributeList a;
    a.add(name, value);
    return a;
}

void entryTable(XmlTextWriter& out, const wchar_t* cls, const wchar_t* heading, const std::vector<ReportEntry>& list,
                const wchar_t* textHeading)
{
    out.value(L"h3", heading);
    if (list.empty()) {
        out.value(L"p", L"None.");
        return;
    }
    out.start(L"table", attribute(L"class", cls));
    out.start(L"tr");
    for (const wchar_t* head : {L"kind", L"storey", L"ID", textHeading}) {
        out.value(L"th", head);
    }
    out.end(L"tr");
    for (const ReportEntry& e : list) {
        out.start(L"tr");
        out.value(L"td", e.kind);
        out.value(L"td", std::to_wstring(e.storey));
        out.value(L"td", e.id);
        out.value(L"td", e.text);
        out.end(L"tr");
    }
    out.end(L"table");
}

void reportSection(XmlTextWriter& out, const ConversionReport& report)
{
    out.start(L"section", attribute(L"class", L"report"));
    out.value(L"h2", L"Conversion report (" + report.program + L", status " + std::to_wstring(report.status) + L")");
    out.value(L"p", report.summary(true));
    out.start(L"table", attribute(L"class", L"report-counts"));
    out.start(L"tr");
    for (const wchar_t* head : {L"storey", L"rooms", L"walls", L"exterior lines", L"openings", L"stairs", L"roofs"}) {
        out.value(L"th", head);
    }
    out.end(L"tr");
    for (const auto& [storey, c] : report.counts) {
        out.start(L"tr");
        for (const int n : {storey, c.rooms, c.walls, c.exteriorLines, c.openings, c.stairs, c.roofs}) {
            out.value(L"td", std::to_wstring(n));
        }
        out.end(L"tr");
    }
    out.end(L"table");
    entryTable(out, L"left-out", L"Left out", report.leftOut, L"reason");
    entryTable(out, L"changed", L"Changed", report.changed, L"what");
    out.end(L"section");
}

bool endsWithHtml(const std::wstring& path)
{
    if (path.size() < 5) {
        return false;
    }
    std::wstring tail = path.substr(path.size() - 5);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](wchar_t c) { return std::towlower(c); });
    return tail == L".html";
}

}  // namespace

bool writeConversionReport(const ConversionReport& report, const std::wstring& path, std::wstring& error)
{
    std::string problem;
    if (!endsWithHtml(path)) {
        if (!writeFileAtomically(toUtf8(path), reportJson(report), problem)) {
            error = fromUtf8(problem);
            return false;
        }
        return true;
    }
    // The page draws the CEDXM file as it stands; a file that cannot be read
    // (a failed run) leaves the report alone on the page.
    Importer::ImportModel model;
    std::wstring unreadable;
    if (!report.file.empty()) {
        Importer::loadCedxmFile(model, report.file, unreadable);
    }
    const std::wstring name = textOfPath(pathFromText(report.file).filename());
    if (!Viewer::writePlanPage(toUtf8(path), model, name, Viewer::recordsByStorey(model),
                               [&](XmlTextWriter& out) { reportSection(out, report); }, problem)) {
        error = fromUtf8(problem);
        return false;
    }
    return true;
}

int finishConversionReport(Platform& platform, ConversionReport& report, const std::optional<std::wstring>& path,
                           int status, const std::wstring& program, const std::wstring& caption, std::int32_t owner)
{
    report.status = status;
    std::wstring error;
    if (path && !writeConversionReport(report, *path, error)) {
        platform.reportError(program + L"the report was not written: " + error);
        return status == kRunDone ? kRunFailed : status;
    }
    if (status == kRunDone) {
        platform.messageBox(report.summary(path.has_value()), caption, owner);
    }
    return status;
}

}  // namespace Common
