#include "ravimosim/ProgramRunner.h"

#include <windows.h>

#include <cstdio>
#include <set>
#include <stdexcept>

#include "platform/windows/com/ComError.h"

namespace RavimoSim {

namespace {

struct BoxSearch {
    DWORD processId;
    std::vector<HWND> found;
};

std::wstring classOf(HWND window)
{
    wchar_t name[32] = {};
    const int length = GetClassNameW(window, name, 32);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// A message box holds its text (static control 0xFFFF), perhaps its icon
// (static 0x0440) and its buttons (IDOK to IDCONTINUE), nothing else; the
// file dialogs and the settings dialogs, dialogs too, hold other controls
// and are left to the user.
BOOL CALLBACK checkBoxControl(HWND control, LPARAM context)
{
    auto* isBox = reinterpret_cast<bool*>(context);
    const int id = GetDlgCtrlID(control);
    const std::wstring kind = classOf(control);
    const bool text = _wcsicmp(kind.c_str(), L"Static") == 0 && (id == 0xFFFF || id == 0x0440);
    const bool button = _wcsicmp(kind.c_str(), L"Button") == 0 && id >= IDOK && id <= IDCONTINUE;
    if (!text && !button) {
        *isBox = false;
        return FALSE;
    }
    return TRUE;
}

bool isMessageBox(HWND window)
{
    if (classOf(window) != L"#32770" || GetDlgItem(window, 0xFFFF) == nullptr) {
        return false;
    }
    bool isBox = true;
    EnumChildWindows(window, checkBoxControl, reinterpret_cast<LPARAM>(&isBox));
    return isBox;
}

BOOL CALLBACK collectBox(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && isMessageBox(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::wstring windowText(HWND window)
{
    wchar_t text[4096] = {};
    DWORD_PTR length = 0;
    if (window == nullptr ||
        SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                            &length) == 0) {
        return L"";
    }
    return std::wstring(text, std::min<DWORD_PTR>(length, 4095));
}

// The program's message boxes: their texts appended to the log, then each
// closed with OK.
class BoxCloser {
public:
    BoxCloser(DWORD processId, const std::wstring& logPath) : processId_(processId), logPath_(logPath) {}

    void closeOpenBoxes()
    {
        BoxSearch search{processId_, {}};
        EnumWindows(collectBox, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.found) {
            if (!closed_.insert(box).second) {
                continue;
            }
            log(windowText(box), windowText(GetDlgItem(box, 0xFFFF)));
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }

private:
    void log(const std::wstring& caption, const std::wstring& text)
    {
        if (logPath_.empty()) {
            return;
        }
        std::wstring line = caption + L"\t";
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                continue;
            }
            line += text[i] == L'\n' ? std::wstring(L"\\n") : std::wstring(1, text[i]);
        }
        const std::string bytes = WinCom::narrow(line) + "\n";
        if (FILE* out = _wfopen(logPath_.c_str(), L"ab")) {
            std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
    }

    DWORD processId_;
    std::wstring logPath_;
    std::set<HWND> closed_;
};

}  // namespace

std::vector<std::wstring> withWindow(const std::vector<std::wstring>& arguments, std::int32_t window)
{
    const std::wstring marker = L"{window}";
    const std::wstring handle = std::to_wstring(window);
    std::vector<std::wstring> out;
    for (std::wstring argument : arguments) {
        for (std::size_t at = argument.find(marker); at != std::wstring::npos;
             at = argument.find(marker, at + handle.size())) {
            argument.replace(at, marker.size(), handle);
        }
        out.push_back(std::move(argument));
    }
    return out;
}

std::wstring quoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped;
        // elsewhere they stand for themselves.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');  // before the closing quote
    quoted += L'"';
    return quoted;
}

bool startProcess(const std::function<bool()>& create, int attempts, const std::function<void()>& retried)
{
    for (int attempt = 1;; ++attempt) {
        if (create()) {
            return true;
        }
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt >= attempts) {
            return false;
        }
        retried();
    }
}

unsigned long runProgram(const ProgramRun& run)
{
    std::wstring commandLine = quoteArgument(run.program);
    for (const std::wstring& argument : withWindow(run.arguments, run.window)) {
        commandLine += L" " + quoteArgument(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const auto create = [&] {
        return CreateProcessW(run.program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &process) != FALSE;
    };
    const auto retried = [&] {
        std::fprintf(stderr, "RavimoSim: %s died while it was being started; starting it again\n",
                     WinCom::narrow(run.program).c_str());
    };
    if (!startProcess(create, 3, retried)) {
        throw std::runtime_error("cannot start " + WinCom::narrow(run.program) + ": " +
                                 WinCom::describeHResult(HRESULT_FROM_WIN32(GetLastError())));
    }
    CloseHandle(process.hThread);

    BoxCloser boxes(process.dwProcessId, run.messagesPath);
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 50, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            break;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        boxes.closeOpenBoxes();
        if (run.idle) {
            run.idle();
        }
    }
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return status;
}

}  // namespace RavimoSim
