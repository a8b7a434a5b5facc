#include <gtest/gtest.h>

#include "common/settings/Options.h"
#include "common/text/Encoding.h"
#include "support/MemoryRegistry.h"
#include "support/TempFolder.h"

using namespace Common;
using TestSupport::MemoryRegistry;
using TestSupport::TempFolder;

namespace {

const std::wstring kKey = L"Software\\Tavrel\\CEDXM";

struct Fixture {
    TempFolder folder;
    MemoryRegistry registry;
    std::wstring ini(const std::string& text) { return fromUtf8(folder.write("CEDXM.ini", text)); }
    std::wstring noIni() { return fromUtf8(folder.file("missing.ini")); }
    MemoryRegistry::Values& key() { return registry.keys[kKey]; }
};

}  // namespace

TEST(ExportOptions, FirstStartTakesIniThenRegistryWins)
{
    Fixture f;
    std::wstring ini = f.ini("[EXPORT]\nFittingType=1\nFittingPath=fitting.csv\n");
    ExportOptions options;
    loadExportOptions(f.registry, ini, options);
    EXPECT_EQ(options.fittingType, 1);
    EXPECT_EQ(options.fittingPath, L"fitting.csv");
    EXPECT_EQ(options.originType, 0);

    options.originType = 1;
    storeExportOptions(f.registry, options);
    ASSERT_EQ(f.key().size(), 3u);
    EXPECT_EQ(std::get<std::uint32_t>(f.key().at(L"ExportFittingType")), 1u);
    EXPECT_EQ(std::get<std::wstring>(f.key().at(L"ExportFittingPath")), L"fitting.csv");
    EXPECT_EQ(std::get<std::uint32_t>(f.key().at(L"ExportOriginType")), 1u);

    ini = f.ini("[EXPORT]\nFittingType=0\nFittingPath=other.csv\nOriginType=0\n");
    ExportOptions next;
    loadExportOptions(f.registry, ini, next);
    EXPECT_EQ(next.fittingType, 1);
    EXPECT_EQ(next.fittingPath, L"fitting.csv");
    EXPECT_EQ(next.originType, 1);

    // An empty stored path is still a stored path.
    f.key()[L"ExportFittingPath"] = std::wstring();
    f.key()[L"ExportFittingType"] = 0u;
    loadExportOptions(f.registry, ini, next);
    EXPECT_EQ(next.fittingType, 0);
    EXPECT_EQ(next.fittingPath, L"");
    EXPECT_EQ(next.originType, 1);
}

TEST(ExportOptions, IncompleteRegistryFallsBackToIni)
{
    Fixture f;
    const std::wstring ini = f.ini("[EXPORT]\nFittingType=1\nFittingPath=table.csv\nOriginType=1\n");
    f.key()[L"ExportFittingType"] = 0u;
    f.key()[L"ExportOriginType"] = 0u;
    ExportOptions options;
    loadExportOptions(f.registry, ini, options);
    EXPECT_EQ(options.fittingType, 1);
    EXPECT_EQ(options.fittingPath, L"table.csv");
    EXPECT_EQ(options.originType, 1);

    // The path stored with the wrong type counts as absent.
    f.key()[L"ExportFittingPath"] = 7u;
    ExportOptions typed;
    loadExportOptions(f.registry, ini, typed);
    EXPECT_EQ(typed.fittingPath, L"table.csv");
    EXPECT_EQ(typed.fittingType, 1);

    // Without an ini file the registry's origin type stays.
    f.key()[L"ExportOriginType"] = 1u;
    ExportOptions noIni;
    loadExportOptions(f.registry, f.noIni(), noIni);
    EXPECT_EQ(noIni.fittingType, 0);
    EXPECT_EQ(noIni.fittingPath, L"");
    EXPECT_EQ(noIni.originType, 1);
}

TEST(ExportOptions, IniDefaultsNeedBothTypeAndPath)
{
    Fixture f;
    ExportOptions options;
    options.fittingType = 1;
    options.fittingPath = L"left over";
    options.originType = 1;
    loadExportOptions(f.registry, f.ini("[EXPORT]\nFittingType=-1\nFittingPath=x.csv\nOriginType=1\n"), options);
    EXPECT_EQ(options.fittingType, 0);
    EXPECT_EQ(options.fittingPath, L"");
    EXPECT_EQ(options.originType, 1);

    loadExportOptions(f.registry, f.ini("[EXPORT]\nFittingType=1\n"), options);
    EXPECT_EQ(options.fittingType, 0);
    EXPECT_EQ(options.originType, 0);

    loadExportOptions(f.registry, f.noIni(), options);
    EXPECT_EQ(options.fittingType, 0);
    EXPECT_EQ(options.fittingPath, L"");
    EXPECT_EQ(options.originType, 0);
}

TEST(ExportOptions, StoreWithoutKeyWritesNothingAndStoredTextStopsAtZero)
{
    Fixture f;
    f.registry.failCreate = true;
    storeExportOptions(f.registry, ExportOptions{1, L"a.csv", 1});
    EXPECT_TRUE(f.registry.keys.empty());

    f.registry.failCreate = false;
    f.key()[L"ExportFittingType"] = 1u;
    f.key()[L"ExportFittingPath"] = std::wstring(L"a.csv\0junk", 10);
    ExportOptions options;
    loadExportOptions(f.registry, f.noIni(), options);
    EXPECT_EQ(options.fittingPath, L"a.csv");
}

TEST(ImportOptions, ExistingKeyWinsValueByValueWithoutIni)
{
    Fixture f;
    const std::wstring ini = f.ini("[IMPORT]\nOpeningType=2\nRoofType=1\nOriginType=2\nFittingPath=ini.csv\n");
    f.key()[L"ImportOpeningType"] = 1u;
    f.key()[L"ImportOriginType"] = 0xFFFFFFFFu;
    f.key()[L"ImportFittingPath"] = std::wstring(L"reg.csv");
    ImportOptions options;
    options.roofType = 5;
    loadImportOptions(f.registry, ini, options);
    EXPECT_EQ(options.openingType, 1);
    EXPECT_EQ(options.roofType, 0);
    EXPECT_EQ(options.originType, -1);
    EXPECT_EQ(options.fittingPath, L"reg.csv");

    // An empty key still counts as opened: no value from the ini file.
    f.key().clear();
    loadImportOptions(f.registry, ini, options);
    EXPECT_EQ(options.openingType, 0);
    EXPECT_EQ(options.roofType, 0);
    EXPECT_EQ(options.originType, 0);
    EXPECT_EQ(options.fittingPath, L"");
}

TEST(ImportOptions, NoKeyTakesIniWithMinusOneDefaults)
{
    Fixture f;
    ImportOptions options;
    loadImportOptions(f.registry, f.ini("[IMPORT]\nRoofType=1\nFittingPath=t.csv\n"), options);
    EXPECT_EQ(options.openingType, -1);
    EXPECT_EQ(options.roofType, 1);
    EXPECT_EQ(options.originType, -1);
    EXPECT_EQ(options.fittingPath, L"t.csv");

    loadImportOptions(f.registry, f.noIni(), options);
    EXPECT_EQ(options.openingType, 0);
    EXPECT_EQ(options.roofType, 0);
    EXPECT_EQ(options.originType, 0);
    EXPECT_EQ(options.fittingPath, L"");

    // A key that cannot be read falls back to the ini file too.
    f.key()[L"ImportRoofType"] = 2u;
    f.registry.failOpen = true;
    loadImportOptions(f.registry, f.ini("[IMPORT]\nRoofType=1\n"), options);
    EXPECT_EQ(options.roofType, 1);
}

TEST(ImportOptions, StoreRoundTrip)
{
    Fixture f;
    storeImportOptions(f.registry, ImportOptions{2, 1, -1, L"C:\\t.csv"});
    ASSERT_EQ(f.key().size(), 4u);
    EXPECT_EQ(std::get<std::uint32_t>(f.key().at(L"ImportOpeningType")), 2u);
    EXPECT_EQ(std::get<std::uint32_t>(f.key().at(L"ImportRoofType")), 1u);
    EXPECT_EQ(std::get<std::uint32_t>(f.key().at(L"ImportOriginType")), 0xFFFFFFFFu);
    ImportOptions back;
    loadImportOptions(f.registry, f.noIni(), back);
    EXPECT_EQ(back.openingType, 2);
    EXPECT_EQ(back.roofType, 1);
    EXPECT_EQ(back.originType, -1);
    EXPECT_EQ(back.fittingPath, L"C:\\t.csv");

    f.registry.keys.clear();
    f.registry.failCreate = true;
    storeImportOptions(f.registry, back);
    EXPECT_TRUE(f.registry.keys.empty());
}
