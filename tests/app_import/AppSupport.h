#pragma once

// A platform and host connection for running CCDX2DMApp inside a test.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/host/Binding.h"
#include "common/platform/Platform.h"
#include "common/text/Encoding.h"
#include "importer/app/CCDX2DMApp.h"
#include "support/FakePlatform.h"
#include "support/ScriptedHost.h"

namespace AppSupport {

inline std::filesystem::path testDir(const std::string& name)
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? env : std::filesystem::temp_directory_path() / "cedxm_app_import";
    // Absolute and in the platform's own form, as the programs make paths.
    dir = std::filesystem::absolute(dir) / "app_import" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

using FakePlatform = TestSupport::FakePlatform;

// The program file of a CDX2DM installed in `folder`.
inline std::wstring programIn(const std::filesystem::path& folder)
{
    return Common::fromUtf8((folder / "CDX2DM").string());
}

// A host made of two scripted automation objects.
class ScriptedConnector : public Common::HostConnector, public Common::RunningObjectTable {
public:
    ScriptedConnector()
        : application(std::make_shared<TestSupport::ScriptedHost>()),
          document(std::make_shared<TestSupport::ScriptedHost>())
    {
    }

    std::shared_ptr<TestSupport::ScriptedHost> application;
    std::shared_ptr<TestSupport::ScriptedHost> document;
    bool hostRunning = true;
    int connects = 0;
    int keeps = 0;

    Common::RunningObjectTable* connect(const Common::ProgramOptions&) override
    {
        ++connects;
        return hostRunning ? this : nullptr;
    }
    bool keepImport(std::wstring&) override
    {
        ++keeps;
        return true;
    }
    std::vector<Entry> entries() override { return {}; }
    std::shared_ptr<Common::AutomationObject> activeObject(const std::wstring& progId) override
    {
        if (progId == Common::kHostApplicationProgId) {
            return application;
        }
        return document;
    }

    // The document answers the element walk with these types.
    void drawing(std::vector<std::uint32_t> types)
    {
        auto index = std::make_shared<std::size_t>(0);
        document->on(62, [types, index](Common::Arguments&, Common::Variant& r) {
            *index = 0;
            r = Common::Variant::i4(types.empty() ? 0 : 1);
        });
        document->on(63, [types, index](Common::Arguments&, Common::Variant& r) {
            ++*index;
            r = Common::Variant::i4(*index < types.size() ? 1 : 0);
        });
        document->on(64, [types, index](Common::Arguments&, Common::Variant& r) {
            r = Common::Variant::ui4(types.at(*index));
        });
        document->on(186, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(5001); });
    }
};

}  // namespace AppSupport
