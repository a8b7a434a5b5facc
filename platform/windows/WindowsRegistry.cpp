#include "platform/windows/WindowsRegistry.h"

#include <windows.h>

#include <vector>

namespace Platform {

namespace {

class Key : public Common::RegistryKey {
public:
    explicit Key(HKEY key) : key_(key) {}
    ~Key() override { RegCloseKey(key_); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    std::optional<std::uint32_t> queryDword(const std::wstring& name) override
    {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        const LSTATUS status =
            RegQueryValueExW(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) {
            return std::nullopt;
        }
        return value;
    }

    std::optional<std::wstring> queryString(const std::wstring& name) override
    {
        // The value may change between asking its size and reading it (the
        // other program stores its options meanwhile): a few more tries.
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
                type != REG_SZ) {
                return std::nullopt;
            }
            // Room for the stored bytes and a terminating zero after them.
            std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
            DWORD read = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
            const LSTATUS status = RegQueryValueExW(key_, name.c_str(), nullptr, &type,
                                                    reinterpret_cast<BYTE*>(buffer.data()), &read);
            if (status == ERROR_MORE_DATA) {
                continue;
            }
            if (status != ERROR_SUCCESS || type != REG_SZ) {
                return std::nullopt;
            }
            return std::wstring(buffer.data());
        }
        return std::nullopt;
    }

    bool setDword(const std::wstring& name, std::uint32_t value) override
    {
        const DWORD stored = value;
        return RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                              sizeof stored) == ERROR_SUCCESS;
    }

    bool setString(const std::wstring& name, const std::wstring& value) override
    {
        const std::size_t bytes = value.size() * sizeof(wchar_t);
        if (bytes > 0xFFFFFFF0u) {
            return false;
        }
        return RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<Common::RegistryKey> WindowsRegistry::openKey(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Key>(key);
}

std::unique_ptr<Common::RegistryKey> WindowsRegistry::createKey(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Key>(key);
}

}  // namespace Platform
