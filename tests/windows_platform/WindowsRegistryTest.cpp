#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/windows/WindowsRegistry.h"

using Platform::WindowsRegistry;

namespace {

// A key of its own per test program, so that runs in parallel and the
// programs' real settings key are never touched.
class WindowsRegistryTest : public ::testing::Test {
protected:
    const std::wstring path = L"Software\\Tavrel\\CEDXM-test-" + std::to_wstring(GetCurrentProcessId());

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }

    void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

}  // namespace

TEST_F(WindowsRegistryTest, KeyExistsOnlyOnceCreatedAndValuesKeepTheirTypes)
{
    WindowsRegistry registry;
    EXPECT_EQ(registry.openKey(path), nullptr);
    auto created = registry.createKey(path);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->setDword(L"ExportFittingType", 0xFFFFFFFFu));
    EXPECT_TRUE(created->setString(L"ExportFittingPath", L"C:\\データ\\表 😀.csv"));
    EXPECT_TRUE(created->setString(L"ImportFittingPath", L""));

    auto opened = registry.openKey(path);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->queryDword(L"exportfittingtype"), 0xFFFFFFFFu);
    EXPECT_EQ(opened->queryString(L"ExportFittingPath"), L"C:\\データ\\表 😀.csv");
    EXPECT_EQ(opened->queryString(L"ImportFittingPath"), L"");
    // The wrong type reads as absent, both ways; so does a missing value.
    EXPECT_EQ(opened->queryString(L"ExportFittingType"), std::nullopt);
    EXPECT_EQ(opened->queryDword(L"ExportFittingPath"), std::nullopt);
    EXPECT_EQ(opened->queryDword(L"ExportOriginType"), std::nullopt);
}

TEST_F(WindowsRegistryTest, TextIsReadUpToItsFirstZeroAndOnlyAsText)
{
    WindowsRegistry registry;
    auto key = registry.createKey(path);
    ASSERT_NE(key, nullptr);
    const wchar_t embedded[] = L"C:\\a\0hidden";
    setRaw(L"ImportFittingPath", REG_SZ, embedded, sizeof embedded);
    EXPECT_EQ(key->queryString(L"ImportFittingPath"), L"C:\\a");
    // An odd byte count: the half character is kept with a zero high byte.
    setRaw(L"ImportFittingPath", REG_SZ, "x\0y", 3);
    EXPECT_EQ(key->queryString(L"ImportFittingPath"), std::wstring(L"xy"));
    const wchar_t expandable[] = L"%TEMP%\\t.csv";
    setRaw(L"ImportFittingPath", REG_EXPAND_SZ, expandable, sizeof expandable);
    EXPECT_EQ(key->queryString(L"ImportFittingPath"), std::nullopt);
    const unsigned char shortDword[2] = {1, 0};
    setRaw(L"ImportRoofType", REG_BINARY, shortDword, sizeof shortDword);
    EXPECT_EQ(key->queryDword(L"ImportRoofType"), std::nullopt);
}
