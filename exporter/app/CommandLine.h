#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/app/ProgramArguments.h"
#include "common/app/ProgramRun.h"

namespace Exporter {

// The command line that stands in for the save dialog and the settings
// dialog:
//   DM2CDX [HOSTWINDOW] --host PLAN.json --output FILE.xml
//          [--openings-only | --fitting-table FILE.csv] [--first-quadrant | --keep-origin]
//          [--restore-defaults] [--trace FILE] [--report FILE.json|FILE.html] [--help] [--readme]
struct ExportCommandLine : Common::ProgramOptions {
    std::optional<std::wstring> output;
    bool openingsOnly = false;
    std::optional<std::wstring> fittingTable;
    bool firstQuadrant = false;
    bool keepOrigin = false;
    bool restoreDefaults = false;

    // Whether the settings dialog is opened at all.
    bool changesSettings() const
    {
        return openingsOnly || fittingTable || firstQuadrant || keepOrigin || restoreDefaults;
    }
};

// Parses the arguments after the program name. False with `error` set when
// they cannot be understood (unknown option, missing value, an option given
// twice, two options that exclude each other, no --output without --help or
// --readme).
bool parseExportCommandLine(const std::vector<std::wstring>& args, ExportCommandLine& commandLine,
                            std::wstring& error);

using Common::hostWindowFromArguments;

// The --help text; the options of the simulated host (--host, --trace) and
// its registry file only where the host is the simulated one.
std::wstring exportHelpText(bool simulatedHost);

}  // namespace Exporter
