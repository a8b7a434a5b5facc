// The fitting correspondence table from random bytes.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "common/fitting/FittingCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Fuzz::writeScratch("table.csv", data, size);
    std::wstring problem;
    const std::vector<Common::CsvRow> rows = Common::readFittingCsv(Fuzz::wide(path), &problem);
    if (!problem.empty() && !rows.empty()) {
        __builtin_trap();  // an unreadable table is an empty table
    }
    return 0;
}
