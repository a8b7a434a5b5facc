#include "exporter/app/CommandLine.h"

#include <limits>

namespace Exporter {

namespace {

bool isOption(const std::wstring& arg)
{
    return arg.size() > 2 && arg[0] == L'-' && arg[1] == L'-';
}

}  // namespace

bool parseExportCommandLine(const std::vector<std::wstring>& args, ExportCommandLine& cl, std::wstring& error)
{
    cl = ExportCommandLine();
    bool sawWindow = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::wstring arg = args[i];
        std::optional<std::wstring> inlineValue;
        if (isOption(arg)) {
            const auto eq = arg.find(L'=');
            if (eq != std::wstring::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.erase(eq);
            }
        } else {
            if (i == 0 && !sawWindow) {
                sawWindow = true;
                cl.hostWindow = Common::hostWindowFromArguments(args);
                continue;
            }
            error = L"unexpected argument \"" + arg + L"\" (only the host window handle may come first)";
            return false;
        }

        auto takeValue = [&](std::optional<std::wstring>& slot) {
            if (slot) {
                error = arg + L" is given twice";
                return false;
            }
            if (inlineValue) {
                slot = *inlineValue;
            } else if (i + 1 < args.size()) {
                slot = args[++i];
            } else {
                error = arg + L" needs a value";
                return false;
            }
            if (slot->empty()) {
                error = arg + L" needs a value";
                return false;
            }
            return true;
        };
        auto setFlag = [&](bool& flag) {
            if (inlineValue) {
                error = arg + L" takes no value";
                return false;
            }
            if (flag) {
                error = arg + L" is given twice";
                return false;
            }
            flag = true;
            return true;
        };

        bool ok = false;
        if (arg == L"--host") {
            ok = takeValue(cl.hostPlan);
        } else if (arg == L"--output") {
            ok = takeValue(cl.output);
        } else if (arg == L"--fitting-table") {
            ok = takeValue(cl.fittingTable);
        } else if (arg == L"--trace") {
            ok = takeValue(cl.trace);
        } else if (arg == L"--report") {
            ok = takeValue(cl.report);
        } else if (arg == L"--openings-only") {
            ok = setFlag(cl.openingsOnly);
        } else if (arg == L"--first-quadrant") {
            ok = setFlag(cl.firstQuadrant);
        } else if (arg == L"--keep-origin") {
            ok = setFlag(cl.keepOrigin);
        } else if (arg == L"--restore-defaults") {
            ok = setFlag(cl.restoreDefaults);
        } else if (arg == L"--help") {
            ok = setFlag(cl.help);
        } else if (arg == L"--readme") {
            ok = setFlag(cl.readme);
        } else {
            error = L"unknown option " + arg;
        }
        if (!ok) {
            return false;
        }
    }
    if (cl.help) {
        return true;
    }
    if (cl.openingsOnly && cl.fittingTable) {
        error = L"--openings-only and --fitting-table exclude each other";
        return false;
    }
    if (cl.firstQuadrant && cl.keepOrigin) {
        error = L"--first-quadrant and --keep-origin exclude each other";
        return false;
    }
    if (!cl.output && !cl.readme) {
        error = L"--output FILE.xml is missing";
        return false;
    }
    return true;
}

std::wstring exportHelpText(bool simulatedHost)
{
    std::wstring text = simulatedHost ? L"Usage: DM2CDX [HOSTWINDOW] --host PLAN.json --output FILE.xml\n"
                                      : L"Usage: DM2CDX [HOSTWINDOW] --output FILE.xml\n";
    text += LR"(              [--openings-only | --fitting-table FILE.csv] [--first-quadrant | --keep-origin]
              [--restore-defaults] )";
    if (simulatedHost) {
        text += L"[--trace FILE] ";
    }
    text += LR"([--report FILE.json|FILE.html] [--help] [--readme]

Exports the plan open in the host to one CEDXM file (Shift-JIS XML).

  HOSTWINDOW              the host's window handle (decimal); it picks the running host
                          whose window it is. Without it the active host is used.
)";
    if (simulatedHost) {
        text += LR"(  --host PLAN.json        the plan file of the simulated host to export from.
)";
    }
    text += LR"(  --output FILE.xml       the CEDXM file to write (the save dialog's file name). An existing
                          file is replaced only when the new one is complete.
  --openings-only         settings: write openings without fitting information.
  --fitting-table FILE.csv
                          settings: also write fitting model numbers, taken from this
                          correspondence table (as chosen with the browse button).
  --first-quadrant        settings: shift the whole plan by whole grid steps into the
                          first quadrant.
  --keep-origin           settings: keep the plan's coordinates as they are.
  --restore-defaults      settings: first go back to the defaults of DM2CDX.ini, as the
                          "初期設定に戻す" button does; the other settings then apply.
)";
    if (simulatedHost) {
        text += LR"(  --trace FILE            append one JSON line per host call to FILE.
)";
    }
    text += LR"(  --report FILE.json      after the run, write what was written per storey and each
                          record left out or value changed, with its reason (every
                          run prints how many after the completion message); a
                          name ending in .html writes the CDXVIEW page of the CEDXM
                          file with the report on top.
  --readme                open the read-me file (the dialog's "お読みください" button).
                          Without --output the run then ends without writing.
  --help                  show this text and end.

)";
    text += simulatedHost ? LR"(The options not given keep the choices of the last export (stored in the registry
file, $CEDXM_REGISTRY or $XDG_CONFIG_HOME/Tavrel/CEDXM.reg) or, at the first export,
the defaults of DM2CDX.ini beside the program.)"
                          : LR"(The options not given keep the choices of the last export (stored in the registry,
HKEY_CURRENT_USER\Software\Tavrel\CEDXM) or, at the first export, the defaults of
DM2CDX.ini beside the program.)";
    text += LR"( The choices of a run are stored when it
goes past the dialog.

Exit status: 0 done (or ended without writing after --readme), 1 failed (no host, host
error, unwritable output), 2 usage error, 3 another export is running.
)";
    return text;
}

}  // namespace Exporter
