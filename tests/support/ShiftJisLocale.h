#pragma once

// A Shift-JIS locale for the tests that need one: none is installed, so it
// is built with localedef into a folder of its own. A test points LOCPATH
// at folder() and names the locale kName (LC_ALL).

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempFolder.h"

namespace TestSupport {

class ShiftJisLocale {
public:
    static constexpr const char* kName = "ja_JP.SJIS";

    ShiftJisLocale()
    {
        const std::string build = "localedef -i ja_JP -f SHIFT_JIS '" + folder_.file(kName) + "' >/dev/null 2>&1";
        (void)std::system(build.c_str());  // warns (and says so in its status) that Shift-JIS is not ASCII-safe
        available_ = std::filesystem::exists(folder_.file(kName));
    }

    // False when localedef could not build it here (the test then skips).
    bool available() const { return available_; }
    std::string folder() const { return folder_.path().string(); }

private:
    TempFolder folder_;
    bool available_ = false;
};

}  // namespace TestSupport
