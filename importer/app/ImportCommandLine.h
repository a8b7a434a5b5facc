#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/app/ProgramRun.h"

namespace Importer {

// The command line of CDX2DM. The host window handle comes first, as the
// host passes it; the options stand in for what a user would choose in the
// open dialog and its detailed settings.
struct ImportCommandLine : Common::ProgramOptions {
    std::wstring input;         // --input
    std::optional<int> openingMode;  // --openings frames|none|table -> 0|1|2
    std::optional<std::wstring> fittingTable;  // --fitting-table
    std::optional<int> roofMode;     // --roofs manual|none -> 0|1
    std::optional<int> originType;   // --origin keep|lower-left|centre -> 0|1|2
    bool restoreDefaults = false;

    // Whether the detailed settings dialog is needed at all.
    bool changesSettings() const
    {
        return restoreDefaults || openingMode || fittingTable || roofMode || originType;
    }
};

// Parses the arguments after the program name. False with `problem` set
// for a usage error (unknown option, missing or bad value, option given
// twice, no input file).
bool parseImportCommandLine(const std::vector<std::wstring>& arguments, ImportCommandLine& commandLine,
                            std::wstring& problem);

// The --help text; the options of the simulated host (--host, --trace) only
// where the host is the simulated one.
std::wstring importUsage(bool simulatedHost);

}  // namespace Importer
