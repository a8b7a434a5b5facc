#include "exporter/writer/Guid.h"

#include "common/platform/RandomGuid.h"

namespace Exporter {

ElementId::ElementId()
{
    const auto b = Common::newRandomGuid();
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::size_t at = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text_[at++] = L'-';
        }
        text_[at++] = hex[b[i] >> 4];
        text_[at++] = hex[b[i] & 15];
    }
}

}  // namespace Exporter
