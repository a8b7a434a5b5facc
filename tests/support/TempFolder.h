#pragma once

// A fresh folder for one test, removed with everything in it afterwards. It
// is made under $CEDXM_TEST_TMP when set (CTest sets it), else under /tmp.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace TestSupport {

class TempFolder {
public:
    TempFolder()
    {
        const char* base = std::getenv("CEDXM_TEST_TMP");
        std::filesystem::path root = base != nullptr && *base != '\0' ? base : "/tmp";
        std::filesystem::create_directories(root);
        std::string pattern = (root / "cedxm-test-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) {
            throw std::runtime_error("cannot make a test folder under " + root.string());
        }
        path_ = buffer.data();
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
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // Writes `bytes` to the named file in the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string p = file(name);
        std::ofstream out(p, std::ios::binary);
        out << bytes;
        return p;
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The names of the entries of the folder.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path path_;
};

}  // namespace TestSupport
