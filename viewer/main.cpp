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
    const Platform::LocaleArguments arguments = Platform::localeArguments(argc, argv);
    if (!arguments.problem.empty()) {
        std::cerr << "CDXVIEW: " << arguments.problem << std::endl;
        return 2;
    }
    const int status = Viewer::runCdxView(arguments.arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
