#pragma once

#include "common/platform/Registry.h"

namespace Platform {

// The current user's registry (HKEY_CURRENT_USER) itself. Values are read
// with their stored type only: a REG_DWORD as a number, a REG_SZ as a text
// that ends at its first zero (whatever its stored length, odd byte counts
// included); a value of any other type reads as absent. Texts are written
// as their characters without the terminating zero.
class WindowsRegistry : public Common::Registry {
public:
    std::unique_ptr<Common::RegistryKey> openKey(const std::wstring& path) override;
    std::unique_ptr<Common::RegistryKey> createKey(const std::wstring& path) override;
};

}  // namespace Platform
