#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/text/Encoding.h"

namespace WriterTest {

// A fresh folder for one test under the build's test area.
inline std::filesystem::path freshFolder(const std::string& name)
{
    const char* base = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = base != nullptr ? base : std::filesystem::temp_directory_path() / "cedxm-tests";
    dir /= name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::wstring readCp932(const std::filesystem::path& path)
{
    return Common::fromCp932(readBytes(path)).value_or(L"<not code page 932>");
}

// Lines joined with CR LF, the last one ended too.
inline std::wstring crlf(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines) {
        text += line;
        text += L"\r\n";
    }
    return text;
}

// Replaces every identifier by "*" after checking its form.
inline std::wstring maskIds(const std::wstring& text, int* count = nullptr)
{
    static const std::wregex id(L"<ID>[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}</ID>");
    if (count != nullptr) {
        *count = static_cast<int>(std::distance(std::wsregex_iterator(text.begin(), text.end(), id),
                                                std::wsregex_iterator()));
    }
    return std::regex_replace(text, id, L"<ID>*</ID>");
}

}  // namespace WriterTest
