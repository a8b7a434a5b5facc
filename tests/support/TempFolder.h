#pragma once

// A fresh folder for one test, removed with everything in it afterwards. It
// is made under $CEDXM_TEST_TMP when set (CTest sets it), else in the
// system's folder for temporary files. Paths go in and out as UTF-8, as the
// programs hand them to the file functions, on every platform.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace TestSupport {

class TempFolder {
public:
    TempFolder()
    {
        const char* base = std::getenv("CEDXM_TEST_TMP");
        // Absolute and in the platform's own form (under Wine a POSIX path
        // becomes "Z:\\..."), as the programs make every path they are given.
        const std::filesystem::path root = std::filesystem::absolute(
            base != nullptr && *base != '\0' ? fromUtf8(base) : std::filesystem::temp_directory_path());
        std::filesystem::create_directories(root);
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate = root / ("cedxm-test-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
            }
        }
        if (path_.empty()) {
            throw std::runtime_error("cannot make a test folder under " + toUtf8(root));
        }
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return toUtf8(path_ / fromUtf8(name)); }

    // Writes `bytes` to the named file in the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string p = file(name);
        std::ofstream out(fromUtf8(p), std::ios::binary);
        out << bytes;
        return p;
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(fromUtf8(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The names of the entries of the folder.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(toUtf8(entry.path().filename()));
        }
        return names;
    }

    static std::filesystem::path fromUtf8(const std::string& path)
    {
        return std::filesystem::path(std::u8string(path.begin(), path.end()));
    }
    static std::string toUtf8(const std::filesystem::path& path)
    {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }

private:
    std::filesystem::path path_;
};

}  // namespace TestSupport
