#pragma once

#include <string>

namespace velmarith::bench {

/// A SQLite file holding table `big` with `rows` rows of 30 columns: 10 VARCHAR(20), 5 CHAR(1),
/// 5 INTEGER, 5 NUMERIC(10,2), 5 TEXT, indexed on the first. Made once and kept in the build
/// folder, so later runs measure reading only.
std::string wideTableDatabase(int rows);

/// The statement every benchmark reads the table with.
inline constexpr const char *kWideTableQuery = "select * from big order by c01";

} // namespace velmarith::bench
