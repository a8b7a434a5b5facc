// The ini reader from random bytes: the values both programs read, and the
// option defaults taken from it.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "common/settings/Options.h"
#include "common/settings/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring path = Fuzz::wide(Fuzz::writeScratch("settings.ini", data, size));
    static const wchar_t* const sections[] = {L"EXPORT", L"IMPORT", L"export", L""};
    static const wchar_t* const keys[] = {L"ReadMeFile", L"OpeningExtendType", L"FittingType", L"OriginType",
                                          L"BarrierFreeGrace", L"k", L""};
    for (const wchar_t* section : sections) {
        for (const wchar_t* key : keys) {
            const std::wstring value = Common::readProfileString(section, key, path);
            if (value.size() > 1023) {
                __builtin_trap();  // the profile reader never gives more than 1023 characters
            }
            (void)Common::readProfileInt(section, key, -7, path);
        }
    }
    TestSupport::MemoryRegistry registry;  // a first start: no stored choices
    Common::ExportOptions exportOptions;
    Common::loadExportOptions(registry, path, exportOptions);
    Common::ImportOptions importOptions;
    Common::loadImportOptions(registry, path, importOptions);
    return 0;
}
