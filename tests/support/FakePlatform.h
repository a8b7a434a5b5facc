#pragma once

// The platform for tests and benchmarks: answers set by the test, an
// in-memory registry, and every message, lock and opened file kept instead
// of shown.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/platform/Platform.h"
#include "common/text/Encoding.h"
#include "MemoryRegistry.h"

namespace TestSupport {

class FakePlatform : public Common::Platform {
public:
    FakePlatform() = default;
    explicit FakePlatform(std::wstring program) : programFile(std::move(program)) {}

    // What the platform answers.
    std::wstring programFile = L"/opt/cedxm/CEDXM";
    bool mutexHeldElsewhere = false;
    int pixelsPerInch = 96;
    std::wstring documents = L"/home/user/Documents";
    bool minimized = false;
    bool shellOpens = true;
    MemoryRegistry memoryRegistry;

    // What the run did.
    std::vector<std::wstring> mutexesTaken;
    std::vector<std::wstring> messages;  // message box texts, with their captions and owners
    std::vector<std::wstring> captions;
    std::vector<std::int32_t> messageOwners;
    std::vector<std::wstring> errors;
    std::vector<std::wstring> opened;  // shell "open"
    std::vector<std::int32_t> documentsOwners;

    std::unique_ptr<Common::NamedMutex> createNamedMutex(const std::wstring& name) override
    {
        mutexesTaken.push_back(name);
        return mutexHeldElsewhere ? nullptr : std::make_unique<Common::NamedMutex>();
    }
    int screenPixelsPerInch() override { return pixelsPerInch; }
    void setUserLocale() override {}
    std::wstring moduleFileName() override { return programFile; }
    bool isDirectory(const std::wstring& path) override
    {
        std::error_code ignored;
        return !path.empty() && std::filesystem::is_directory(Common::toUtf8(path), ignored);
    }
    std::wstring documentsFolder(std::int32_t owner) override
    {
        documentsOwners.push_back(owner);
        return documents;
    }
    bool shellOpen(const std::wstring& path) override
    {
        opened.push_back(path);
        return shellOpens;
    }
    void messageBox(const std::wstring& text, const std::wstring& caption, std::int32_t owner) override
    {
        messages.push_back(text);
        captions.push_back(caption);
        messageOwners.push_back(owner);
    }
    void reportError(const std::wstring& text) override { errors.push_back(text); }
    bool isWindowMinimized(std::int32_t) override { return minimized; }
    Common::Registry& registry() override { return memoryRegistry; }

    // Every error, one a line.
    std::string allErrors() const
    {
        std::string all;
        for (const std::wstring& e : errors) {
            all += Common::toUtf8(e) + "\n";
        }
        return all;
    }
};

}  // namespace TestSupport
