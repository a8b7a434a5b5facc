#pragma once

// A platform for run-flow tests: a program file in a test folder, an
// in-memory registry, and every message kept instead of shown.

#include <filesystem>
#include <string>
#include <vector>

#include "common/platform/Platform.h"
#include "support/MemoryRegistry.h"

namespace AppTest {

class FakePlatform : public Common::Platform {
public:
    std::wstring programFile;
    bool mutexHeldElsewhere = false;
    int pixelsPerInch = 96;
    std::wstring documents = L"/home/user/Documents";
    bool openFails = false;  // shell "open" finds nothing to open

    std::vector<std::wstring> mutexesTaken;
    std::vector<std::wstring> messages;  // message boxes
    std::vector<std::int32_t> messageOwners;
    std::vector<std::wstring> errors;
    std::vector<std::wstring> opened;  // shell "open"
    std::vector<std::int32_t> documentsOwners;
    TestSupport::MemoryRegistry memoryRegistry;

    std::unique_ptr<Common::NamedMutex> createNamedMutex(const std::wstring& name) override
    {
        mutexesTaken.push_back(name);
        if (mutexHeldElsewhere) {
            return nullptr;
        }
        return std::make_unique<Common::NamedMutex>();
    }
    int screenPixelsPerInch() override { return pixelsPerInch; }
    void setUserLocale() override {}
    std::wstring moduleFileName() override { return programFile; }
    bool isDirectory(const std::wstring& path) override
    {
        std::error_code ignored;
        return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), ignored);
    }
    std::wstring documentsFolder(std::int32_t owner) override
    {
        documentsOwners.push_back(owner);
        return documents;
    }
    bool shellOpen(const std::wstring& path) override
    {
        opened.push_back(path);
        return !openFails;
    }
    void messageBox(const std::wstring& text, const std::wstring&, std::int32_t owner) override
    {
        messages.push_back(text);
        messageOwners.push_back(owner);
    }
    void reportError(const std::wstring& text) override { errors.push_back(text); }
    bool isWindowMinimized(std::int32_t) override { return false; }
    Common::Registry& registry() override { return memoryRegistry; }
};

}  // namespace AppTest
