#include "importer/app/ImportCommandLine.h"

#include <map>
#include <set>

#include "common/app/ProgramArguments.h"

namespace Importer {

namespace {

bool choice(const std::wstring& option, const std::wstring& value, const std::map<std::wstring, int>& choices,
            std::optional<int>& target, std::wstring& problem)
{
    const auto it = choices.find(value);
    if (it == choices.end()) {
        problem = option + L": \"" + value + L"\" is not one of";
        for (const auto& [name, number] : choices) {
            (void)number;
            problem += L" " + name;
        }
        return false;
    }
    target = it->second;
    return true;
}

}  // namespace

std::wstring importUsage(bool simulatedHost)
{
    std::wstring text = simulatedHost ? L"Usage: CDX2DM [HOSTWINDOW] --host PLAN.json --input FILE.xml\n"
                                      : L"Usage: CDX2DM [HOSTWINDOW] --input FILE.xml\n";
    text += L"              [--openings frames|none|table] [--fitting-table FILE.csv]\n"
            L"              [--roofs manual|none] [--origin keep|lower-left|centre]\n";
    text += simulatedHost ? L"              [--restore-defaults] [--trace FILE] [--report FILE.json|FILE.html]\n"
                          : L"              [--restore-defaults] [--report FILE.json|FILE.html]\n";
    text += L"              [--help] [--readme]\n"
            L"\n"
            L"Reads a CEDXM file into the empty plan of the host.\n"
            L"\n"
            L"  HOSTWINDOW          the host's window handle in decimal (first argument; 0 when absent)\n";
    if (simulatedHost) {
        text += L"  --host PLAN.json    the host's plan file; a missing file is a new, empty plan.\n"
                L"                      The plan is saved back only after a successful import.\n";
    }
    text += L"  --input FILE.xml    the CEDXM file to read (Shift-JIS, UTF-8 or UTF-16; at most 256 MiB)\n"
            L"  --openings MODE     wall openings: frames = temporary opening frames (recommended),\n"
            L"                      none = leave them as openings, table = fittings through the\n"
            L"                      correspondence table\n"
            L"  --fitting-table F   the correspondence table (CSV); needs the table mode, chosen here\n"
            L"                      or remembered from the last run\n"
            L"  --roofs MODE        manual = each roof face as a manual roof, none = no roofs\n"
            L"  --origin WHERE      keep = no move, lower-left = lower-left corner near the origin,\n"
            L"                      centre = centre of the data at the origin\n"
            L"  --restore-defaults  start the settings from the ini file's defaults (applied before\n"
            L"                      the other settings options)\n";
    if (simulatedHost) {
        text += L"  --trace FILE        append every host call to FILE (JSON Lines)\n";
    }
    text += L"  --report FILE.json  after the run, write what was built per storey and each record\n"
            L"                      left out or value changed, with its reason (every run prints\n"
            L"                      how many after the completion message); a name\n"
            L"                      ending in .html writes the CDXVIEW page of the file with the\n"
            L"                      report on top\n"
            L"  --readme            open the read-me file; without --input nothing is imported\n"
            L"  --help              this text\n"
            L"\n"
            L"Settings not given keep the last run's choices (or the ini defaults on a first run),\n"
            L"and the choices of this run are remembered for the next.\n"
            L"\n"
            L"Exit status: 0 done (or nothing to do), 1 failed (no host, host error, unreadable\n"
            L"file, plan not saved), 2 usage error, 3 another import is running, 4 refused because\n"
            L"the drawing is not empty.\n";
    return text;
}

bool parseImportCommandLine(const std::vector<std::wstring>& arguments, ImportCommandLine& commandLine,
                            std::wstring& problem)
{
    commandLine = ImportCommandLine();
    std::size_t i = 0;
    // The host passes its window handle first; both programs read it alike.
    if (!arguments.empty() && arguments[0].rfind(L"--", 0) != 0) {
        commandLine.hostWindow = Common::hostWindowFromArguments(arguments);
        i = 1;
    }
    std::set<std::wstring> seen;
    for (; i < arguments.size(); ++i) {
        std::wstring option = arguments[i];
        std::optional<std::wstring> inlineValue;
        if (const std::size_t eq = option.find(L'='); option.rfind(L"--", 0) == 0 && eq != std::wstring::npos) {
            inlineValue = option.substr(eq + 1);
            option = option.substr(0, eq);
        }
        if (!seen.insert(option).second) {
            problem = option + L" is given twice";
            return false;
        }
        const bool flag = option == L"--help" || option == L"--readme" || option == L"--restore-defaults";
        if (flag) {
            if (inlineValue) {
                problem = option + L" takes no value";
                return false;
            }
            if (option == L"--help") {
                commandLine.help = true;
            } else if (option == L"--readme") {
                commandLine.readme = true;
            } else {
                commandLine.restoreDefaults = true;
            }
            continue;
        }
        std::wstring value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            problem = option.rfind(L"--", 0) == 0 ? option + L" needs a value" : L"unexpected argument \"" + option + L"\"";
            return false;
        }
        if (option == L"--host") {
            commandLine.hostPlan = value;
        } else if (option == L"--input") {
            commandLine.input = value;
        } else if (option == L"--fitting-table") {
            commandLine.fittingTable = value;
        } else if (option == L"--trace") {
            commandLine.trace = value;
        } else if (option == L"--report") {
            commandLine.report = value;
        } else if (option == L"--openings") {
            if (!choice(option, value, {{L"frames", 0}, {L"none", 1}, {L"table", 2}}, commandLine.openingMode, problem)) {
                return false;
            }
        } else if (option == L"--roofs") {
            if (!choice(option, value, {{L"manual", 0}, {L"none", 1}}, commandLine.roofMode, problem)) {
                return false;
            }
        } else if (option == L"--origin") {
            if (!choice(option, value, {{L"keep", 0}, {L"lower-left", 1}, {L"centre", 2}}, commandLine.originType,
                        problem)) {
                return false;
            }
        } else {
            problem = option.rfind(L"--", 0) == 0 ? L"unknown option " + option
                                                  : L"unexpected argument \"" + option + L"\"";
            return false;
        }
        if (value.empty() && (option == L"--host" || option == L"--input" || option == L"--trace" ||
                                option == L"--report")) {
            problem = option + L" needs a non-empty value";
            return false;
        }
    }
    if (!commandLine.help && !commandLine.readme && commandLine.input.empty()) {
        problem = L"--input FILE.xml is required";
        return false;
    }
    return true;
}

}  // namespace Importer
