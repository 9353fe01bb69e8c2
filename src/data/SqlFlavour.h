#pragma once

#include <QString>

namespace velmarith::detail {

/// The SQL a database speaks, which decides how the library's statements are written for it:
/// concatenation, the keyword condition, the names it refuses.
enum class SqlFlavour { Sqlite, Postgres, MariaDb };

/// Whether `database` is an ODBC connection string (odbc:DSN=… or odbc:Driver={…};…).
[[nodiscard]] inline bool isOdbcUri(const QString &database)
{
    return database.startsWith(QLatin1String("odbc:"));
}

/// The flavour of `database`: by its scheme, or for an ODBC source what its server said when
/// this process last connected to it (PostgreSQL until then).
[[nodiscard]] SqlFlavour flavourOf(const QString &database);

/// Notes what an ODBC source turned out to speak, for flavourOf.
void learnFlavour(const QString &database, SqlFlavour flavour);

/// How a transaction that reads and then writes begins: SQLite takes the write lock at once,
/// since it cannot lock single rows; a server locks the rows read (rowLockClauseOf).
[[nodiscard]] QString transactionStartOf(SqlFlavour flavour);

/// The end of a query of a table aliased `alias` that locks the rows it reads of that table.
[[nodiscard]] QString rowLockClauseOf(SqlFlavour flavour, const QString &alias);

} // namespace velmarith::detail
