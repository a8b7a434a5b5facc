#include "viewer/app/CdxView.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"
#include "common/text/PathText.h"
#include "importer/reading/CedxmReader.h"
#include "viewer/drawing/PlanPage.h"

namespace Viewer {

const char* const kViewerUsage =
    "usage: CDXVIEW FILE.xml [--output PAGE.html] [--svg DIR] [--storey N] [--help]\n"
    "\n"
    "Draws every storey of a CEDXM file: rooms filled by kind with name and area\n"
    "(m² and 畳), walls with their thickness, exterior wall lines, openings by kind\n"
    "with model numbers, stairs with treads and walking direction, roofs with their\n"
    "reference line and downhill direction, the grid, a scale bar.\n"
    "\n"
    "  --output PAGE.html  one self-contained page: a table of records per storey and\n"
    "                      section and one picture per storey (default: FILE.html\n"
    "                      beside FILE.xml, when --svg is not given)\n"
    "  --svg DIR           one SVG file per storey in DIR (made when missing), named\n"
    "                      FILE.storeyN.svg\n"
    "  --storey N          only storey N (the 層 value of the file)\n"
    "  --help              this text\n"
    "\n"
    "The file is read with the importer's limits for untrusted files. An existing\n"
    "page or picture is replaced only by a complete new one.\n"
    "Exit status: 0 done, 1 failed (unreadable file, no such storey, output not\n"
    "written), 2 usage error.\n";

namespace {

bool parseStorey(const std::wstring& text, int& storey)
{
    if (text.empty() || text.size() > 11) {
        return false;
    }
    std::size_t i = text[0] == L'-' ? 1 : 0;
    if (i == text.size()) {
        return false;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            return false;
        }
        value = value * 10 + (text[i] - L'0');
    }
    value = text[0] == L'-' ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    storey = static_cast<int>(value);
    return true;
}

std::filesystem::path pathOf(const std::wstring& text) { return Common::pathFromText(text); }

bool samePlace(const std::wstring& a, const std::wstring& b)
{
    return Common::sameFile(Common::toUtf8(a), Common::toUtf8(b));
}

}  // namespace

bool parseViewerCommandLine(const std::vector<std::wstring>& arguments, ViewerCommandLine& commandLine,
                            std::wstring& error)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& a = arguments[i];
        auto value = [&](std::wstring& into) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                error = a + L" needs a value";
                return false;
            }
            if (!into.empty()) {
                error = a + L" is given twice";
                return false;
            }
            into = arguments[++i];
            return true;
        };
        if (a == L"--help" || a == L"-h") {
            commandLine.help = true;
        } else if (a == L"--output") {
            if (!value(commandLine.output)) {
                return false;
            }
        } else if (a == L"--svg") {
            if (!value(commandLine.svgFolder)) {
                return false;
            }
        } else if (a == L"--storey") {
            std::wstring text;
            if (!value(text)) {
                return false;
            }
            int storey = 0;
            if (commandLine.storey || !parseStorey(text, storey)) {
                error = L"--storey needs one whole number, not \"" + text + L"\"";
                return false;
            }
            commandLine.storey = storey;
        } else if (a.size() > 1 && a[0] == L'-') {
            error = L"unknown option " + a;
            return false;
        } else if (commandLine.input.empty()) {
            commandLine.input = a;
        } else {
            error = L"only one CEDXM file can be drawn at a time (\"" + a + L"\" is one too many)";
            return false;
        }
    }
    if (!commandLine.help && commandLine.input.empty()) {
        error = L"no CEDXM file was given";
        return false;
    }
    return true;
}

std::wstring defaultPagePath(const std::wstring& input)
{
    if (input.size() > 4) {
        std::wstring tail = input.substr(input.size() - 4);
        std::transform(tail.begin(), tail.end(), tail.begin(), [](wchar_t c) { return std::towlower(c); });
        if (tail == L".xml") {
            return input.substr(0, input.size() - 4) + L".html";
        }
    }
    return input + L".html";
}

int runCdxView(const std::vector<std::wstring>& arguments, std::ostream& out, std::ostream& err)
{
    ViewerCommandLine commandLine;
    std::wstring usageError;
    if (!parseViewerCommandLine(arguments, commandLine, usageError)) {
        err << "CDXVIEW: " << Common::toUtf8(usageError) << "\n" << kViewerUsage;
        return kViewerUsageError;
    }
    if (commandLine.help) {
        out << kViewerUsage;
        return kViewerDone;
    }
    std::wstring page = commandLine.output;
    if (page.empty() && commandLine.svgFolder.empty()) {
        page = defaultPagePath(commandLine.input);
    }
    if (!page.empty() && samePlace(page, commandLine.input)) {
        err << "CDXVIEW: the page " << Common::toUtf8(page)
            << " is the CEDXM file itself; choose another --output\n";
        return kViewerUsageError;
    }

    Importer::ImportModel model;
    std::wstring problem;
    if (!Importer::loadCedxmFile(model, commandLine.input, problem)) {
        err << "CDXVIEW: " << Common::toUtf8(problem) << "\n";
        return kViewerFailed;
    }
    std::vector<StoreyRecords> storeys = recordsByStorey(model);
    if (commandLine.storey) {
        const int wanted = *commandLine.storey;
        const auto found = std::find_if(storeys.begin(), storeys.end(),
                                        [&](const StoreyRecords& s) { return s.storey == wanted; });
        if (found == storeys.end()) {
            std::string present;
            for (const StoreyRecords& s : storeys) {
                present += (present.empty() ? "" : ", ") + std::to_string(s.storey);
            }
            err << "CDXVIEW: " << Common::toUtf8(commandLine.input) << " has no records on storey " << wanted
                << (present.empty() ? std::string(" (it has none on any storey)") : " (storeys in the file: " + present + ")")
                << "\n";
            return kViewerFailed;
        }
        storeys = {*found};
    }

    const std::filesystem::path inputPath = pathOf(commandLine.input);
    if (!page.empty()) {
        std::string error;
        if (!writePlanPage(Common::toUtf8(page), model, Common::textOfPath(inputPath.filename()), storeys, {},
                           error)) {
            err << "CDXVIEW: the page was not written: " << error << "\n";
            return kViewerFailed;
        }
        out << "CDXVIEW: " << Common::toUtf8(page) << "\n";
    }
    if (!commandLine.svgFolder.empty()) {
        const std::filesystem::path folder = pathOf(commandLine.svgFolder);
        std::error_code e;
        std::filesystem::create_directories(Common::fileSystemPath(Common::utf8OfPath(folder)), e);
        if (e) {
            err << "CDXVIEW: cannot make the folder " << Common::utf8OfPath(folder) << ": " << e.message() << "\n";
            return kViewerFailed;
        }
        for (const StoreyRecords& s : storeys) {
            const std::filesystem::path file =
                folder / Common::pathFromText(Common::textOfPath(inputPath.stem()) + L".storey" +
                                             std::to_wstring(s.storey) + L".svg");
            std::string error;
            if (!writeStoreySvg(Common::utf8OfPath(file), model, s, error)) {
                err << "CDXVIEW: the picture of storey " << s.storey << " was not written: " << error << "\n";
                return kViewerFailed;
            }
            out << "CDXVIEW: " << Common::utf8OfPath(file) << "\n";
        }
    }
    return kViewerDone;
}

}  // namespace Viewer
