#include "viewer/drawing/PlanPage.h"

#include "viewer/drawing/SvgStorey.h"

namespace Viewer {

using Exporter::XmlAttributeList;
using Exporter::XmlTextWriter;

namespace {

const wchar_t* const kPageStyle =
    L"body{font-family:'Noto Sans CJK JP','Noto Sans JP','Hiragino Sans','Yu Gothic',Meiryo,sans-serif;"
    L"margin:1.5em;color:#222}"
    L"table{border-collapse:collapse;margin:1em 0}"
    L"th,td{border:1px solid #bbb;padding:.25em .6em;text-align:right}"
    L"th:first-child,td:first-child{text-align:left}"
    L"table.left-out td,table.left-out th,table.changed td,table.changed th{text-align:left}"
    L"section.storey{margin:2em 0}"
    L"svg.storey{width:100%;height:auto;max-height:92vh;border:1px solid #ddd;background:#fff}"
    L".note{color:#a00}";

XmlAttributeList attribute(const wchar_t* name, const std::wstring& value)
{
    XmlAttributeList a;
    a.add(name, value);
    return a;
}

bool finish(XmlTextWriter& out, std::string& error)
{
    out.closeAll();
    if (!out.close()) {
        error = out.error();
        return false;
    }
    return true;
}

void summaryTable(XmlTextWriter& out, const Importer::ImportModel& model, const std::vector<StoreyRecords>& storeys)
{
    out.start(L"table", attribute(L"class", L"summary"));
    out.start(L"tr");
    for (const wchar_t* head : {L"storey", L"level (mm)", L"rooms", L"walls", L"exterior lines", L"openings",
                                L"stairs", L"roofs"}) {
        out.value(L"th", head);
    }
    out.end(L"tr");
    for (const StoreyRecords& s : storeys) {
        out.start(L"tr", attribute(L"data-storey", std::to_wstring(s.storey)));
        out.value(L"td", std::to_wstring(s.storey));
        const auto level = model.levelByStorey.find(s.storey);
        out.value(L"td", level == model.levelByStorey.end() ? L"none" : Exporter::formatNumber(level->second));
        for (const std::size_t n : {s.rooms.size(), s.walls.size(), s.outerLines.size(), s.openings.size(),
                                    s.stairs.size(), s.roofs.size()}) {
            out.value(L"td", std::to_wstring(n));
        }
        out.end(L"tr");
    }
    out.end(L"table");
}

}  // namespace

bool writePlanPage(const std::string& path, const Importer::ImportModel& model, const std::wstring& fileName,
                   const std::vector<StoreyRecords>& storeys, const PagePrelude& prelude, std::string& error)
{
    XmlTextWriter out;
    if (!out.open(path, false)) {
        error = out.error();
        return false;
    }
    out.documentType(L"html");
    out.start(L"html", attribute(L"lang", L"ja"));
    out.start(L"head");
    out.empty(L"meta", attribute(L"charset", L"UTF-8"));
    out.value(L"title", fileName);
    out.value(L"style", kPageStyle);
    out.end(L"head");
    out.start(L"body");
    out.value(L"h1", fileName);
    std::wstring origin = model.cadSoftware;
    if (!model.cadVersion.empty()) {
        origin += L" " + model.cadVersion;
    }
    if (!model.cadMaker.empty()) {
        origin += L" (" + model.cadMaker + L")";
    }
    if (!model.outputYear.empty()) {
        origin += L", written " + model.outputYear + L"-" + model.outputMonth + L"-" + model.outputDay + L" " +
                  model.outputHour + L":" + (model.outputMinute.size() == 1 ? L"0" : L"") + model.outputMinute;
    }
    if (!origin.empty()) {
        out.value(L"p", L"From " + origin + L".");
    }
    if (prelude) {
        prelude(out);
    }
    if (storeys.empty()) {
        out.value(L"p", attribute(L"class", L"note"), L"The file holds no rooms, walls, exterior lines, openings, "
                                                      L"stairs or roofs.");
    }
    summaryTable(out, model, storeys);
    for (const StoreyRecords& s : storeys) {
        out.start(L"section", attribute(L"class", L"storey"));
        out.value(L"h2", L"Storey " + std::to_wstring(s.storey));
        const DrawnCounts drawn = drawStorey(out, model, s);
        out.end(L"section");
        if (drawn.notDrawn > 0) {
            // Said after the picture so that the section stays one heading
            // and one picture.
            out.value(L"p", attribute(L"class", L"note"),
                      std::to_wstring(drawn.notDrawn) + L" record(s) of storey " + std::to_wstring(s.storey) +
                          L" have coordinates that are not numbers or lie beyond 1,000 km and are not drawn.");
        }
    }
    return finish(out, error);
}

bool writeStoreySvg(const std::string& path, const Importer::ImportModel& model, const StoreyRecords& storey,
                    std::string& error)
{
    XmlTextWriter out;
    if (!out.open(path, false)) {
        error = out.error();
        return false;
    }
    drawStorey(out, model, storey);
    return finish(out, error);
}

}  // namespace Viewer
