#pragma once

#include <windows.h>

#include <string>

namespace WinCom {

// The system's own text for a COM or Win32 failure code, followed by the
// code itself ("The RPC server is unavailable. (0x800706BA)").
std::string describeHResult(HRESULT hr);

// Whether `hr` says that the process on the other side of a call is gone
// (it quit or crashed), as opposed to a call it refused.
bool isHostGone(HRESULT hr);

// UTF-8 of a wide text (the host error's message is UTF-8), and back.
// Unpaired surrogates and invalid bytes become U+FFFD.
std::string narrow(const std::wstring& text);
std::wstring widen(const std::string& text);

}  // namespace WinCom
