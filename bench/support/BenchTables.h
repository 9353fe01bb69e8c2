#pragma once

#include <string>
#include <vector>

namespace velmarith::bench {

/// A SQLite file holding table `big` with `rows` rows of 30 columns: 10 VARCHAR(20), 5 CHAR(1),
/// 5 INTEGER, 5 NUMERIC(10,2), 5 TEXT, indexed on the first. Made once and kept in the build
/// folder, so later runs measure reading only.
std::string wideTableDatabase(int rows);

/// A SQLite file holding the metadata tables and table 宽表 with `rows` rows of 30 fields
/// (f01–f30): a unique auto-increment code, 9 texts, 4 fields bound to lookup tables,
/// 4 enumerations, 4 flags, 4 integers and 4 decimals, described for the maintenance window.
std::string maintenanceDatabase(int rows);

/// The name of field `number` of 宽表: "f01" … "f30".
std::string field(int number);

/// The statements that make the metadata tables and describe 宽表 for the maintenance window,
/// on any backend.
std::vector<std::string> maintenanceDescription();

/// A SQLite file holding table 人员(编号, 姓名, 部门) with `rows` rows of Chinese names of two or
/// three characters.
std::string namesDatabase(int rows);

/// The statement every benchmark reads the table with.
inline constexpr const char *kWideTableQuery = "select * from big order by c01";

} // namespace velmarith::bench
