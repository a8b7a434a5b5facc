// The registry file from random bytes: values read from it, then one value of
// each type written and read back, which rewrites the whole file.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "common/platform/Registry.h"
#include "platform/posix/RegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Fuzz::writeScratch("CEDXM.reg", data, size);
    Platform::RegistryFile registry(path);
    static const wchar_t* const names[] = {L"ExportFittingType", L"ExportFittingPath", L"ImportOpeningType", L"x",
                                           L""};
    if (auto key = registry.openKey(Common::kSettingsRegistryKey)) {
        for (const wchar_t* name : names) {
            (void)key->queryDword(name);
            (void)key->queryString(name);
        }
    }
    // The value written is taken from the input, so odd texts (quotes,
    // backslashes, line breaks, zeros) go through the writer too.
    std::wstring text;
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        text.push_back(static_cast<wchar_t>(data[i]));
    }
    auto key = registry.createKey(Common::kSettingsRegistryKey);
    if (!key) {
        return 0;  // an unreadable file is never overwritten
    }
    if (key->setString(L"FuzzText", text)) {
        // A registry string ends at its first zero, as the platform's does.
        const std::wstring stored = text.substr(0, text.find(L'\0'));
        auto again = registry.openKey(Common::kSettingsRegistryKey);
        if (!again || again->queryString(L"FuzzText") != stored) {
            __builtin_trap();  // a written text must read back the same
        }
    }
    if (key->setDword(L"FuzzNumber", static_cast<std::uint32_t>(size) * 2654435761U)) {
        auto again = registry.openKey(Common::kSettingsRegistryKey);
        if (!again || again->queryDword(L"FuzzNumber") != static_cast<std::uint32_t>(size) * 2654435761U) {
            __builtin_trap();
        }
    }
    return 0;
}
