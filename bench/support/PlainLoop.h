#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace velmarith::bench {

using PlainRows = std::vector<std::vector<std::string>>;

/// The reference every benchmark measures against: prepare, step, and copy every column as
/// text into one std::string per cell.
PlainRows readPlain(sqlite3 *db, const std::string &query);

} // namespace velmarith::bench
