#pragma once

#include <string>

namespace Common {

// Where a program file lies: its folder with the trailing separator as the
// path writes it ("" for a bare file name), and its name without the last
// extension. Both separators count, so that a Windows path with a Japanese
// folder name is split as it stands, without passing through any code page.
// The ini file, read-me and fitting models are found beside the program.
struct ProgramLocation {
    std::wstring folder;
    std::wstring baseName;
};

ProgramLocation programLocation(const std::wstring& moduleFile);

}  // namespace Common
