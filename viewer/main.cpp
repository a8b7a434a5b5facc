// CDXVIEW: draws the storeys of a CEDXM file as one HTML page or as SVG
// files, so that a designer can see what a file holds without a CAD.

#include <iostream>
#include <string>
#include <vector>

#include "common/text/Encoding.h"
#include "viewer/app/CdxView.h"

int main(int argc, char** argv)
{
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(Common::fromUtf8(argv[i]));
    }
    const int status = Viewer::runCdxView(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
