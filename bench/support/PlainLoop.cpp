#include "support/PlainLoop.h"

namespace velmarith::bench {

PlainRows readPlain(sqlite3 *db, const std::string &query)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    PlainRows rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        row.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, c));
            row.emplace_back(text ? text : "", size_t(sqlite3_column_bytes(statement, c)));
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    return rows;
}

} // namespace velmarith::bench
