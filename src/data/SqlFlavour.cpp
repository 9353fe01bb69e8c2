#include "data/SqlFlavour.h"

#include <velmarith/DataBridge.h>

#include "data/MariaDbConnection.h"

#include <QHash>

#include <mutex>

namespace velmarith::detail {
namespace {

struct LearnedFlavours {
    std::mutex lock;
    QHash<QString, SqlFlavour> byDatabase;
};

LearnedFlavours &learned()
{
    static LearnedFlavours flavours;
    return flavours;
}

} // namespace

SqlFlavour flavourOf(const QString &database)
{
    if (isOdbcUri(database)) {
        LearnedFlavours &flavours = learned();
        const std::lock_guard guard(flavours.lock);
        return flavours.byDatabase.value(database, SqlFlavour::Postgres);
    }
    if (isMariaDbUri(database))
        return SqlFlavour::MariaDb;
    return DataBridge::isServerDatabase(database) ? SqlFlavour::Postgres : SqlFlavour::Sqlite;
}

void learnFlavour(const QString &database, SqlFlavour flavour)
{
    LearnedFlavours &flavours = learned();
    const std::lock_guard guard(flavours.lock);
    flavours.byDatabase.insert(database, flavour);
}

QString transactionStartOf(SqlFlavour flavour)
{
    return flavour == SqlFlavour::Sqlite ? QStringLiteral("begin immediate") : QStringLiteral("begin");
}

QString rowLockClauseOf(SqlFlavour flavour, const QString &alias)
{
    switch (flavour) {
    case SqlFlavour::Sqlite: return {};
    // Only the table's own rows: a joined code table's may lie on the nullable side.
    case SqlFlavour::Postgres: return QStringLiteral(" for update of ") + alias;
    case SqlFlavour::MariaDb: return QStringLiteral(" for update");
    }
    return {};
}

} // namespace velmarith::detail
