#pragma once

// Shared pieces of the fuzz targets: a scratch folder of this process for the
// files the readers want on disk, and a platform that shows nothing.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/platform/Platform.h"
#include "tests/support/FakePlatform.h"

namespace Fuzz {

// A folder of this process under the system's temporary folder, made once
// and removed when the fuzzer ends normally.
inline const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path p =
            std::filesystem::temp_directory_path() / ("cedxm-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return p;
    }();
    return folder;
}

// Writes the bytes to `name` in the scratch folder and returns its path.
inline std::string writeScratch(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = (scratchFolder() / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        std::abort();  // the scratch folder itself failed, not the code under test
    }
    return path;
}

inline std::wstring wide(const std::string& path)
{
    return std::wstring(path.begin(), path.end());
}

}  // namespace Fuzz
