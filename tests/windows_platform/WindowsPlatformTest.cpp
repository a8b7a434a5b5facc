#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/windows/WindowsPlatform.h"

using Platform::WindowsPlatform;

TEST(WindowsPlatform, NamedMutexRefusesASecondHolderUntilReleased)
{
    WindowsPlatform platform;
    const std::wstring name = L"DomoriaCEDXMTest" + std::to_wstring(GetCurrentProcessId());
    auto first = platform.createNamedMutex(name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(platform.createNamedMutex(name), nullptr);
    // The other program's mutex is another one.
    EXPECT_NE(platform.createNamedMutex(name + L"Import"), nullptr);
    first.reset();
    EXPECT_NE(platform.createNamedMutex(name), nullptr);
}

TEST(WindowsPlatform, ModuleFileFolderAndWindowTests)
{
    WindowsPlatform platform;
    const std::wstring module = platform.moduleFileName();
    ASSERT_GT(module.size(), 4u);
    EXPECT_EQ(module.substr(module.size() - 4), L".exe");
    const std::wstring folder = module.substr(0, module.find_last_of(L"\\/"));
    EXPECT_TRUE(platform.isDirectory(folder));
    EXPECT_FALSE(platform.isDirectory(module));
    EXPECT_FALSE(platform.isDirectory(folder + L"\\no such folder"));
    // A handle that names no window is neither minimised nor an owner.
    EXPECT_FALSE(platform.isWindowMinimized(0x7FFFFFF0));
}
