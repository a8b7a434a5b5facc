#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/platform/Platform.h"

namespace Common {

// One record a conversion did not write or build, or one value it altered.
struct ReportEntry {
    std::wstring kind;  // room, wall, exteriorLine, opening, stair, roof, or plan for the whole plan
    int storey = 0;     // the 層 value of the file
    std::wstring id;    // the record's ID in the file; empty where it has none (yet)
    std::wstring text;  // why it was left out, or what was changed, in the user's words
};

// Records written (export) or built (import) on one storey.
struct StoreyCounts {
    int rooms = 0;
    int walls = 0;
    int exteriorLines = 0;
    int openings = 0;
    int stairs = 0;
    int roofs = 0;
};

// What one conversion did with the plan, for the user who asked for a
// report: counts per storey, what was left out and what was changed. The
// passes note into it through the hooks below; a pass given no report
// notes nothing. The notes never change what is written or built.
struct ConversionReport {
    std::wstring program;  // DM2CDX or CDX2DM
    std::wstring file;     // the CEDXM file written or read
    int status = 0;
    std::map<int, StoreyCounts> counts;
    std::vector<ReportEntry> leftOut;
    std::vector<ReportEntry> changed;

    // The one paragraph printed after the completion message of every run;
    // `written` tells whether a report file lists the entries.
    std::wstring summary(bool written) const;
};

inline void reportLeftOut(ConversionReport* report, const wchar_t* kind, int storey, const std::wstring& id,
                          const std::wstring& reason)
{
    if (report != nullptr) {
        report->leftOut.push_back({kind, storey, id, reason});
    }
}

inline void reportChanged(ConversionReport* report, const wchar_t* kind, int storey, const std::wstring& id,
                          const std::wstring& what)
{
    if (report != nullptr) {
        report->changed.push_back({kind, storey, id, what});
    }
}

// A length for a report text: one decimal, "." as separator.
std::wstring reportLength(double mm);

// Writes the report as JSON, or, for a name ending in ".html", as the
// CDXVIEW page of the CEDXM file with the report on top. Replaces `path`
// only when complete; false with `error` saying where and why otherwise.
bool writeConversionReport(const ConversionReport& report, const std::wstring& path, std::wstring& error);

// The end of a run that got as far as reading: `status` recorded in the
// report, the report file written when `path` is given (one that cannot be
// written turns a completed run into a failed one, told with `program`
// before the reason), and after a completed run the summary shown in a
// message box with `caption` owned by `owner`. Returns the run's status.
int finishConversionReport(Platform& platform, ConversionReport& report, const std::optional<std::wstring>& path,
                           int status, const std::wstring& program, const std::wstring& caption, std::int32_t owner);

}  // namespace Common
