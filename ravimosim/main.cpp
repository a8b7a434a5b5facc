// RavimoSim: the simulated host served through COM, as the real host serves
// itself to the programs it starts. Loads a plan file, registers its
// application and document objects, starts a converter with the host's
// window handle and answers its calls until it ends.

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/host/Binding.h"
#include "hostsim/HostSession.h"
#include "hostsim/PlanDocument.h"
#include "platform/windows/com/ComApartment.h"
#include "platform/windows/com/ComError.h"
#include "ravimosim/DispatchServer.h"
#include "ravimosim/FaultInjection.h"
#include "ravimosim/HostRegistration.h"
#include "ravimosim/ProgramRunner.h"

namespace {

// Statuses of RavimoSim itself; otherwise it exits with the program's.
constexpr int kStatusUsage = 124;
constexpr int kStatusHostFailed = 125;

// The classes under which the two objects are active.
constexpr CLSID kApplicationClass = {0x4a1c0c24, 0xd2e0, 0x4a9a, {0x89, 0xf0, 0xb9, 0x78, 0xea, 0x38, 0xe5, 0x1a}};
constexpr CLSID kDocumentClass = {0xbc63f00f, 0x4289, 0x4298, {0xbe, 0xcb, 0x47, 0x63, 0xff, 0x3d, 0x11, 0xb4}};

const char* const kUsage =
    "usage: RavimoSim --plan PLAN.json [--trace FILE] [--save] [--messages FILE]\n"
    "                 [--fail-at N] [--quit-after N] [--hold-mutex NAME] -- PROGRAM.exe ARGS...\n"
    "\n"
    "Serves the plan of PLAN.json as the running host (a missing file is a new,\n"
    "empty plan): its application and document objects are registered in the\n"
    "running object table (\"!DomoriaRavimo.RavimoApp:PID\", \"!DomoriaRavimo.RavimoDoc:PID\")\n"
    "and as the active objects of both ProgIDs. Then PROGRAM is started with\n"
    "ARGS, every {window} in them replaced by the host's window handle, and its\n"
    "calls are answered until it ends. The exit status is PROGRAM's.\n"
    "\n"
    "  --trace FILE      append one JSON line per host call to FILE\n"
    "  --save            save the plan back to PLAN.json when PROGRAM ends with status 0\n"
    "  --messages FILE   append the caption and text of each of PROGRAM's message\n"
    "                    boxes to FILE (UTF-8, tab between them); every message box is\n"
    "                    closed with OK, its other dialogs are left to the user\n"
    "  --fail-at N       the Nth host call fails with the host's error message\n"
    "  --quit-after N    after the Nth host call the host is gone for PROGRAM\n"
    "  --hold-mutex NAME hold the named mutex while PROGRAM runs\n"
    "\n"
    "Status 124: usage error; 125: the host could not be set up (plan file,\n"
    "registration) or PROGRAM could not be started; 126: the plan was not saved.\n";

void say(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

struct Options {
    std::wstring plan;
    std::wstring trace;
    std::wstring messages;
    std::wstring mutex;
    bool save = false;
    long failAt = 0;
    long quitAfter = 0;
    std::wstring program;
    std::vector<std::wstring> arguments;
};

bool parseCount(const std::wstring& text, long& out)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of(L"0123456789") != std::wstring::npos) {
        return false;
    }
    out = std::stol(text);
    return out > 0;
}

bool parse(int argc, wchar_t** argv, Options& options, std::string& problem)
{
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--") {
            ++i;
            break;
        }
        if (option == L"--save") {
            options.save = true;
            continue;
        }
        const bool takesValue = option == L"--plan" || option == L"--trace" || option == L"--messages" ||
                                option == L"--fail-at" || option == L"--quit-after" || option == L"--hold-mutex";
        if (!takesValue) {
            problem = "unknown option " + WinCom::narrow(option);
            return false;
        }
        if (i + 1 >= argc) {
            problem = WinCom::narrow(option) + " needs a value";
            return false;
        }
        const std::wstring value = argv[++i];
        if (option == L"--plan") {
            options.plan = value;
        } else if (option == L"--trace") {
            options.trace = value;
        } else if (option == L"--messages") {
            options.messages = value;
        } else if (option == L"--hold-mutex") {
            options.mutex = value;
        } else if (!parseCount(value, option == L"--fail-at" ? options.failAt : options.quitAfter)) {
            problem = WinCom::narrow(option) + " needs a call number from 1";
            return false;
        }
    }
    if (options.plan.empty()) {
        problem = "--plan PLAN.json is required";
        return false;
    }
    if (i >= argc) {
        problem = "no program to start after --";
        return false;
    }
    options.program = argv[i++];
    for (; i < argc; ++i) {
        options.arguments.emplace_back(argv[i]);
    }
    return true;
}

// Serves the plan while the program runs; the program's status.
int serve(const Options& options, HostSim::HostSession& session)
{
    auto faults = std::make_shared<RavimoSim::FaultPlan>();
    faults->failAt = options.failAt;
    faults->quitAfter = options.quitAfter;
    Common::RunningObjectTable& hostTable = session.runningObjectTable();

    RavimoSim::HostRegistration registration;
    const struct {
        const wchar_t* progId;
        const CLSID& clsid;
    } objects[] = {{Common::kHostApplicationProgId, kApplicationClass},
                   {Common::kHostDocumentProgId, kDocumentClass}};
    for (const auto& o : objects) {
        auto* server = new RavimoSim::DispatchServer(RavimoSim::withFaults(hostTable.activeObject(o.progId), faults));
        try {
            registration.add(o.progId, o.clsid, server);
        } catch (...) {
            server->Release();
            throw;
        }
        server->Release();  // the registration holds it now
    }

    RavimoSim::ProgramRun run;
    run.program = options.program;
    run.arguments = options.arguments;
    run.window = session.plan().document.windowHandle;
    run.messagesPath = options.messages;
    run.idle = [&] {
        if (faults->quitNow) {
            registration.revokeAll();
        }
    };
    const unsigned long status = RavimoSim::runProgram(run);
    registration.revokeAll();
    return static_cast<int>(status);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && (std::wstring(argv[1]) == L"--help" || std::wstring(argv[1]) == L"-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Options options;
    std::string problem;
    if (!parse(argc, argv, options, problem)) {
        say("RavimoSim: " + problem + "\n" + kUsage);
        return kStatusUsage;
    }

    HANDLE mutex = nullptr;
    if (!options.mutex.empty()) {
        mutex = CreateMutexW(nullptr, TRUE, options.mutex.c_str());
    }
    int status = kStatusHostFailed;
    {
        WinCom::ComApartment apartment;
        if (!apartment.ok()) {
            say("RavimoSim: " + apartment.failure() + "\n");
        } else {
            try {
                auto session = HostSim::HostSession::open(WinCom::narrow(options.plan), true);
                if (!options.trace.empty()) {
                    session->setTrace(WinCom::narrow(options.trace));
                }
                status = serve(options, *session);
                if (options.save && status == 0) {
                    try {
                        session->save();
                    } catch (const std::exception& e) {
                        say(std::string("RavimoSim: ") + e.what() + "\n");
                        status = 126;
                    }
                }
            } catch (const std::exception& e) {
                say(std::string("RavimoSim: ") + e.what() + "\n");
                status = kStatusHostFailed;
            }
        }
    }
    if (mutex != nullptr) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return status;
}
