#include "exporter/writer/Guid.h"

#include "common/platform/RandomGuid.h"

namespace Exporter {

std::wstring newElementId()
{
    const auto b = Common::newRandomGuid();
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring id;
    id.reserve(36);
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            id += L'-';
        }
        id += hex[b[i] >> 4];
        id += hex[b[i] & 15];
    }
    return id;
}

}  // namespace Exporter
