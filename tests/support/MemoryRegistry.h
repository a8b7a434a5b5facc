#pragma once

// A registry held in memory for tests: keys by path, typed values, and
// switches that make opening or creating the key fail.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>

#include "common/platform/Registry.h"

namespace TestSupport {

class MemoryRegistry : public Common::Registry {
public:
    using Value = std::variant<std::uint32_t, std::wstring>;
    using Values = std::map<std::wstring, Value>;

    std::map<std::wstring, Values> keys;
    bool failOpen = false;
    bool failCreate = false;

    std::unique_ptr<Common::RegistryKey> openKey(const std::wstring& path) override
    {
        const auto it = keys.find(path);
        if (failOpen || it == keys.end()) {
            return nullptr;
        }
        return std::make_unique<Key>(it->second);
    }

    std::unique_ptr<Common::RegistryKey> createKey(const std::wstring& path) override
    {
        if (failCreate) {
            return nullptr;
        }
        return std::make_unique<Key>(keys[path]);
    }

private:
    class Key : public Common::RegistryKey {
    public:
        explicit Key(Values& values) : values_(values) {}
        std::optional<std::uint32_t> queryDword(const std::wstring& name) override
        {
            const auto it = values_.find(name);
            if (it == values_.end() || !std::holds_alternative<std::uint32_t>(it->second)) {
                return std::nullopt;
            }
            return std::get<std::uint32_t>(it->second);
        }
        std::optional<std::wstring> queryString(const std::wstring& name) override
        {
            const auto it = values_.find(name);
            if (it == values_.end() || !std::holds_alternative<std::wstring>(it->second)) {
                return std::nullopt;
            }
            return std::get<std::wstring>(it->second);
        }
        bool setDword(const std::wstring& name, std::uint32_t value) override
        {
            values_[name] = value;
            return true;
        }
        bool setString(const std::wstring& name, const std::wstring& value) override
        {
            values_[name] = value;
            return true;
        }

    private:
        Values& values_;
    };
};

}  // namespace TestSupport
