#pragma once

#include "data/Connection.h"
#include "data/SqlFlavour.h"

#include <QString>

namespace velmarith::detail {

/// One diagnostic record of an ODBC handle, as the driver gave it.
struct OdbcDiagnostic {
    QString sqlState;
    int native = 0;
    QString text;
};

/// The server's own words in a driver's message: without the bracketed names of the driver
/// manager, driver and server ("[unixODBC][ma-3.1.20][10.11.6-MariaDB]"), psqlODBC's "ERROR:"
/// and the lines it adds, or the SQLite driver's trailing " (19)".
[[nodiscard]] QString normalizedOdbcText(const QString &driverText);

/// What a refusal through a driver is, read from its SQLSTATE and native code as the source's
/// own backend reads its server's.
struct OdbcRefusal {
    enum class Kind {
        Refused,        ///< any other refusal: a duplicate key, a missing table, a syntax error
        Busy,           ///< a lock wait that ran out, a deadlock or a serialization failure
        ReadOnly,       ///< the database, or the server, takes no writes
        Value,          ///< a value its column could not hold
        LostConnection, ///< the session ended
    };
    Kind kind = Kind::Refused;
    QString text;         ///< the server's words
    QString databaseText; ///< with the SQLSTATE, for the trace and the message
    bool mayRunAgain = false; ///< nothing was applied, so the same command may run once more
    /// The failure the person is told of; a Value refusal the caller could not read further is
    /// told as Refused.
    [[nodiscard]] StatementFailure failure() const;
};

[[nodiscard]] OdbcRefusal classifyOdbcDiagnostic(SqlFlavour flavour, const OdbcDiagnostic &diagnostic);

} // namespace velmarith::detail
