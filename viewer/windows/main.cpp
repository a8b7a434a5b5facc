// CDXVIEW for Windows: the same plan pictures as on Linux, from a console
// (a command prompt or a script). Arguments come as the system's wide
// command line holds them, so Japanese file names arrive whole.

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "viewer/app/CdxView.h"

int wmain(int argc, wchar_t** argv)
{
    // What the program says is UTF-8; the console shows it as such.
    SetConsoleOutputCP(CP_UTF8);
    const std::vector<std::wstring> arguments(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const int status = Viewer::runCdxView(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
