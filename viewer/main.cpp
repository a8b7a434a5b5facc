// CDXVIEW: draws the storeys of a CEDXM file as one HTML page or as SVG
// files, so that a designer can see what a file holds without a CAD.

#include <iostream>
#include <string>
#include <vector>

#include "platform/posix/PosixPlatform.h"
#include "viewer/app/CdxView.h"

int main(int argc, char** argv)
{
    // File names as the user typed them, in the locale's character set.
    const std::vector<std::wstring> arguments = Platform::localeArguments(argc, argv);
    const int status = Viewer::runCdxView(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
