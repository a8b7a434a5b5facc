#include "common/settings/Options.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include "common/settings/Profile.h"

namespace Common {

namespace {

int asInt(std::uint32_t value)
{
    return static_cast<int>(static_cast<std::int32_t>(value));
}

// A stored string is used up to its terminating zero, as the dialogs' text
// members would take it.
std::optional<std::wstring> queryPath(RegistryKey& key, const wchar_t* name)
{
    std::optional<std::wstring> value = key.queryString(name);
    if (value) {
        value->resize(std::min(value->size(), value->find(L'\0')));
    }
    return value;
}

}  // namespace

void loadExportOptions(Registry& registry, const std::wstring& iniPath, ExportOptions& options)
{
    options = ExportOptions{};
    if (const std::unique_ptr<RegistryKey> key = registry.openKey(kSettingsRegistryKey)) {
        const std::optional<std::uint32_t> fittingType = key->queryDword(L"ExportFittingType");
        const std::optional<std::wstring> fittingPath = queryPath(*key, L"ExportFittingPath");
        const std::optional<std::uint32_t> originType = key->queryDword(L"ExportOriginType");
        options.originType = asInt(originType.value_or(0));
        if (fittingType && fittingPath) {
            options.fittingType = asInt(*fittingType);
            options.fittingPath = *fittingPath;
            return;
        }
    }
    if (!fileExists(iniPath)) {
        return;
    }
    const int fittingType = readProfileInt(L"EXPORT", L"FittingType", -1, iniPath);
    const std::wstring fittingPath = readProfileString(L"EXPORT", L"FittingPath", iniPath);
    const int originType = readProfileInt(L"EXPORT", L"OriginType", 0, iniPath);
    if (fittingType != -1 && !fittingPath.empty()) {
        options.fittingType = fittingType;
        options.fittingPath = fittingPath;
    }
    options.originType = originType;
}

void storeExportOptions(Registry& registry, const ExportOptions& options)
{
    const std::unique_ptr<RegistryKey> key = registry.createKey(kSettingsRegistryKey);
    if (!key) {
        return;
    }
    key->setDword(L"ExportFittingType", static_cast<std::uint32_t>(options.fittingType));
    key->setString(L"ExportFittingPath", options.fittingPath);
    key->setDword(L"ExportOriginType", static_cast<std::uint32_t>(options.originType));
}

void loadImportOptions(Registry& registry, const std::wstring& iniPath, ImportOptions& options)
{
    options = ImportOptions{};
    if (const std::unique_ptr<RegistryKey> key = registry.openKey(kSettingsRegistryKey)) {
        // Whatever the key holds wins; the ini file is not consulted even for
        // the values it lacks.
        if (const auto v = key->queryDword(L"ImportOpeningType")) {
            options.openingType = asInt(*v);
        }
        if (const auto v = key->queryDword(L"ImportRoofType")) {
            options.roofType = asInt(*v);
        }
        if (const auto v = key->queryDword(L"ImportOriginType")) {
            options.originType = asInt(*v);
        }
        if (const auto v = queryPath(*key, L"ImportFittingPath")) {
            options.fittingPath = *v;
        }
        return;
    }
    if (!fileExists(iniPath)) {
        return;
    }
    // -1 selects no choice in the dialog.
    options.openingType = readProfileInt(L"IMPORT", L"OpeningType", -1, iniPath);
    options.roofType = readProfileInt(L"IMPORT", L"RoofType", -1, iniPath);
    options.originType = readProfileInt(L"IMPORT", L"OriginType", -1, iniPath);
    options.fittingPath = readProfileString(L"IMPORT", L"FittingPath", iniPath);
}

void storeImportOptions(Registry& registry, const ImportOptions& options)
{
    const std::unique_ptr<RegistryKey> key = registry.createKey(kSettingsRegistryKey);
    if (!key) {
        return;
    }
    key->setDword(L"ImportOpeningType", static_cast<std::uint32_t>(options.openingType));
    key->setDword(L"ImportRoofType", static_cast<std::uint32_t>(options.roofType));
    key->setDword(L"ImportOriginType", static_cast<std::uint32_t>(options.originType));
    key->setString(L"ImportFittingPath", options.fittingPath);
}

}  // namespace Common
