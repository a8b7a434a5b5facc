#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace Viewer {

struct ViewerCommandLine {
    std::wstring input;
    std::wstring output;     // the page; empty: FILE.html beside the input (unless only --svg is given)
    std::wstring svgFolder;  // one SVG file per storey
    std::optional<int> storey;
    bool help = false;
};

// False with `error` for a command line that cannot be used.
bool parseViewerCommandLine(const std::vector<std::wstring>& arguments, ViewerCommandLine& commandLine,
                            std::wstring& error);

// The page name used when none is given: the input's name with ".html" in
// place of a final ".xml" (any case), else with ".html" added.
std::wstring defaultPagePath(const std::wstring& input);

extern const char* const kViewerUsage;

// Exit status of CDXVIEW.
enum ViewerStatus { kViewerDone = 0, kViewerFailed = 1, kViewerUsageError = 2 };

// CDXVIEW: reads the CEDXM file and draws it. What was written goes to `out`,
// problems to `err` (UTF-8).
int runCdxView(const std::vector<std::wstring>& arguments, std::ostream& out, std::ostream& err);

}  // namespace Viewer
