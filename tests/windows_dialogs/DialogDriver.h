#pragma once

// Acts on the first dialog box this thread shows, from inside its modal
// loop, as a user would; a dialog still open after ten seconds is cancelled
// and fails the test, so that a test never hangs.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace DialogDriver {

inline std::function<void(HWND)> script;
inline UINT_PTR actTimer = 0;
inline UINT_PTR guardTimer = 0;

inline HWND shownDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline void CALLBACK act(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = shownDialog();
    if (dialog == nullptr) {
        return;  // not shown yet
    }
    KillTimer(nullptr, actTimer);
    script(dialog);
}

inline void CALLBACK guard(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, guardTimer);
    if (HWND dialog = shownDialog()) {
        ADD_FAILURE() << "the dialog was still open after 10 s";
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

// `actions` runs once the dialog is shown; call finish() after it closed.
inline void whenShown(std::function<void(HWND)> actions)
{
    script = std::move(actions);
    actTimer = SetTimer(nullptr, 0, 50, act);
    guardTimer = SetTimer(nullptr, 0, 10000, guard);
}

inline void finish()
{
    KillTimer(nullptr, actTimer);
    KillTimer(nullptr, guardTimer);
}

inline void click(HWND control)
{
    SendMessageW(control, BM_CLICK, 0, 0);
}

inline void click(HWND dialog, int id)
{
    click(GetDlgItem(dialog, id));
}

}  // namespace DialogDriver
