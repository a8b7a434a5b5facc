#pragma once

#include <string>
#include <vector>

namespace Common {

using CsvRow = std::vector<std::wstring>;

// Reads the fitting correspondence table: every line a row, fields decoded
// from the locale's character set (UTF-8 when the file starts with a byte
// order mark). An unreadable or undecodable file gives an empty table, and
// `problem` (when given) says which file and where.
std::vector<CsvRow> readFittingCsv(const std::wstring& path, std::wstring* problem = nullptr);

}  // namespace Common
