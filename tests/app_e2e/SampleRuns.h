#pragma once

// Runs DM2CDX and CDX2DM in-process the way their main() does: the real
// simulated host (HostSim::HostSession) over a plan file, and a platform that
// keeps messages instead of showing them, an in-memory registry, and a program
// folder holding copies of the shipped ini and placeholder files.

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/platform/Platform.h"
#include "common/text/Encoding.h"
#include "exporter/app/CommandLineDialogs.h"
#include "hostsim/SimulatedHostConnector.h"
#include "importer/app/ImportCommandLineDialogs.h"
#include "support/FakePlatform.h"
#include "support/TempFolder.h"

namespace E2e {

inline std::filesystem::path sourceDir() { return std::filesystem::path(CEDXM_SOURCE_DIR); }
inline std::filesystem::path sampleDir() { return sourceDir() / "resources" / "samples"; }

inline std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// One folder per test with the two programs' support files beside where the
// programs would be, so that the shipped defaults are the ones in force.
class Workspace {
public:
    // `openingExtendType` replaces that value in both ini files when given.
    explicit Workspace(int openingExtendType = -1)
    {
        const auto resources = sourceDir() / "resources";
        std::filesystem::copy_file(resources / "exporter" / "DM2CDX.ini", folder_.path() / "DM2CDX.ini");
        std::filesystem::copy_file(resources / "importer" / "CDX2DM.ini", folder_.path() / "CDX2DM.ini");
        for (const char* part : {"窓開口.m3d", "ドア開口.m3d"}) {
            std::filesystem::copy_file(resources / "importer" / std::filesystem::u8path(part),
                                       folder_.path() / std::filesystem::u8path(part));
        }
        if (openingExtendType >= 0) {
            for (const char* ini : {"DM2CDX.ini", "CDX2DM.ini"}) {
                const std::string text = readBytes(file(ini));
                const std::string key = "\nOpeningExtendType=";
                const std::size_t at = text.find(key);
                if (at == std::string::npos) {
                    throw std::runtime_error(std::string(ini) + " has no OpeningExtendType");
                }
                const std::size_t end = text.find('\n', at + key.size());
                writeBytes(file(ini), text.substr(0, at + key.size()) + std::to_string(openingExtendType) +
                                          (end == std::string::npos ? "" : text.substr(end)));
            }
        }
    }

    std::filesystem::path file(const std::string& name) const { return folder_.path() / std::filesystem::u8path(name); }

    // DM2CDX with `options` after --host and --output; the exit status.
    int exportPlan(const std::filesystem::path& plan, const std::filesystem::path& output,
                   const std::vector<std::wstring>& options, std::string& errors) const
    {
        TestSupport::FakePlatform platform(Common::fromUtf8(file("DM2CDX").string()));
        std::vector<std::wstring> args = {L"--host", Common::fromUtf8(plan.string()), L"--output",
                                          Common::fromUtf8(output.string()), L"--restore-defaults"};
        args.insert(args.end(), options.begin(), options.end());
        HostSim::SimulatedHostConnector connector(false);
        const int status = Exporter::runDm2cdx(platform, args, connector);
        errors = platform.allErrors();
        return status;
    }

    // CDX2DM into `plan` (a missing file is a new, empty plan), saved on success.
    int importFile(const std::filesystem::path& input, const std::filesystem::path& plan,
                   const std::vector<std::wstring>& options, std::string& errors) const
    {
        TestSupport::FakePlatform platform(Common::fromUtf8(file("CDX2DM").string()));
        HostSim::SimulatedHostConnector connector(true);
        std::vector<std::wstring> args = {L"--host", Common::fromUtf8(plan.string()), L"--input",
                                          Common::fromUtf8(input.string()), L"--restore-defaults"};
        args.insert(args.end(), options.begin(), options.end());
        const int status = Importer::runCdx2dm(platform, args, connector);
        errors = platform.allErrors();
        return status;
    }

private:
    TestSupport::TempFolder folder_;
};

// The parts of an exported file that change from run to run: element
// identifiers (fresh GUIDs) and the output date. `problems` collects what is
// malformed about them (a GUID of the wrong form, a repeated GUID, a date
// field with leading zeros).
inline std::wstring maskVolatile(const std::wstring& text, std::vector<std::string>& problems)
{
    static const std::wregex id(L"<ID>([^<]*)</ID>");
    static const std::wregex guid(L"[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    static const std::wregex date(L"<(年|月|日|時|分|秒)>([^<]*)</(年|月|日|時|分|秒)>");
    static const std::wregex number(L"0|[1-9][0-9]*");
    std::set<std::wstring> seen;
    std::wstring out;
    auto last = text.cbegin();
    for (std::wsregex_iterator it(text.begin(), text.end(), id), end; it != end; ++it) {
        const std::wstring value = (*it)[1].str();
        if (!std::regex_match(value, guid)) {
            problems.push_back("identifier of the wrong form: " + Common::toUtf8(value));
        }
        if (!seen.insert(value).second) {
            problems.push_back("identifier used twice: " + Common::toUtf8(value));
        }
        out.append(last, (*it)[0].first);
        out += L"<ID>*</ID>";
        last = (*it)[0].second;
    }
    out.append(last, text.cend());
    std::wstring masked;
    last = out.cbegin();
    for (std::wsregex_iterator it(out.begin(), out.end(), date), end; it != end; ++it) {
        if (!std::regex_match((*it)[2].str(), number)) {
            problems.push_back("date field not a plain number: " + Common::toUtf8((*it)[0].str()));
        }
        masked.append(last, (*it)[0].first);
        masked += L"<" + (*it)[1].str() + L">*</" + (*it)[3].str() + L">";
        last = (*it)[0].second;
    }
    masked.append(last, out.cend());
    return masked;
}

}  // namespace E2e
