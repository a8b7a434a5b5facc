#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Common {

// One open key of the current user's registry.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // A value counts only when it exists with the asked type (REG_DWORD /
    // REG_SZ); a value of another type reads as absent.
    virtual std::optional<std::uint32_t> queryDword(const std::wstring& name) = 0;
    virtual std::optional<std::wstring> queryString(const std::wstring& name) = 0;
    // Writes are kept durably (the store is rewritten atomically); false when
    // the value could not be written.
    virtual bool setDword(const std::wstring& name, std::uint32_t value) = 0;
    virtual bool setString(const std::wstring& name, const std::wstring& value) = 0;
};

// The current user's registry hive.
class Registry {
public:
    virtual ~Registry() = default;
    // Null when the key does not exist or cannot be read.
    virtual std::unique_ptr<RegistryKey> openKey(const std::wstring& path) = 0;
    // Null when the key cannot be created.
    virtual std::unique_ptr<RegistryKey> createKey(const std::wstring& path) = 0;
};

inline constexpr const wchar_t* kSettingsRegistryKey = L"Software\\Tavrel\\CEDXM";

}  // namespace Common
