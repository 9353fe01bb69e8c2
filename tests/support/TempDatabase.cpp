#include "TempDatabase.h"

#include <velmarith/SqlText.h>

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <thread>

namespace velmarith::test {

namespace {

QString serverFile(const QString &state, const char *name)
{
    QFile file(state + u'/' + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// The value of one parameter of a test server's URI (host=…, socket=…).
QString uriParameter(const QString &uri, const QString &name)
{
    return QUrlQuery(QUrl(uri)).queryItemValue(name, QUrl::FullyDecoded);
}

void runOnServer(Backend backend, const QString &statement)
{
    DataBridge admin;
    admin.Open(serverUri(backend));
    EXPECT_EQ(admin.Execute(statement), 0) << statement.toStdString();
}

} // namespace

QString pgbouncerUri()
{
    static const QString uri = serverFile(QStringLiteral(VELMARITH_PGBOUNCER_STATE), "uri");
    return uri;
}

QString serverUri(Backend backend)
{
    static const QString postgres = serverFile(QStringLiteral(VELMARITH_PG_STATE), "uri");
    static const QString mariaDb = serverFile(QStringLiteral(VELMARITH_MARIADB_STATE), "uri");
    return backend == Backend::Postgres ? postgres : backend == Backend::MariaDb ? mariaDb : QString();
}

Route testRoute()
{
    static const QString route = qEnvironmentVariable("VELMARITH_TEST_ROUTE").section(u':', 0, 0);
    return route == u"odbc" ? Route::Odbc : route == u"pgbouncer" ? Route::Pooler : Route::Native;
}

QString serverUnavailableReason(Backend backend)
{
    const QString reason = serverFile(backend == Backend::MariaDb ? QStringLiteral(VELMARITH_MARIADB_STATE) : QStringLiteral(VELMARITH_PG_STATE),
                                      "unavailable");
    return (backend == Backend::MariaDb ? QStringLiteral("no MariaDB test server: ") : QStringLiteral("no PostgreSQL test cluster: ")) +
           (reason.isEmpty() ? QStringLiteral("run the suite with ctest, which starts it") : reason);
}

TempDatabase::TempDatabase(Backend backend, Route route) : mBackend(backend)
{
    if (backend == Backend::Sqlite) {
        mNativePath = mDir.filePath(QStringLiteral("test.sqlite"));
        DataBridge bridge;
        bridge.Open(mNativePath, QStringLiteral("Create"));
        mPath = route == Route::Odbc ? QStringLiteral("odbc:Driver={SQLite3};Database=") + mNativePath : mNativePath;
    } else if (!serverUri(backend).isEmpty()) {
        static int made = 0;
        mSchema = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        const QString server = serverUri(backend);
        if (backend == Backend::MariaDb) {
            runOnServer(backend, QStringLiteral("create database ") + mSchema);
            mNativePath = QString(server).replace(QStringLiteral("/velmarith?"), u'/' + mSchema + u'?');
            mPath = route != Route::Odbc ? mNativePath
                                               : QStringLiteral("odbc:Driver={MariaDB Unicode};Socket=%1;Database=%2;User=root")
                                                     .arg(uriParameter(server, QStringLiteral("socket")), mSchema);
        } else if (route == Route::Native) {
            runOnServer(backend, QStringLiteral("create schema ") + mSchema);
            mNativePath = mPath = server + QStringLiteral("&options=-c%20search_path%3D") + mSchema;
        } else {
            // Neither ODBC nor a pooler passes a search path at start-up: a database of its own.
            mOwnDatabase = true;
            runOnServer(backend, QStringLiteral("create database ") + mSchema);
            mNativePath = QString(server).replace(QStringLiteral(":///postgres?"), QStringLiteral(":///%1?").arg(mSchema));
            mPath = route == Route::Odbc
                        ? QStringLiteral("odbc:Driver={PostgreSQL Unicode};Servername=%1;Port=5439;Database=%2;Username=velmarith")
                              .arg(uriParameter(server, QStringLiteral("host")), mSchema)
                        : QString(pgbouncerUri()).replace(QStringLiteral(":///postgres?"), QStringLiteral(":///%1?").arg(mSchema));
        }
    }
    DataBridge::setDefaultDatabase(mPath);
}

TempDatabase::~TempDatabase()
{
    DataBridge::setDefaultDatabase(QString());
    if (mSchema.isEmpty())
        return;
    if (mOwnDatabase)
        runOnServer(mBackend, QStringLiteral("drop database %1 with (force)").arg(mSchema));
    else
        runOnServer(mBackend, mBackend == Backend::MariaDb ? QStringLiteral("drop database %1").arg(mSchema)
                                                           : QStringLiteral("drop schema %1 cascade").arg(mSchema));
}

void TempDatabase::exec(const QStringList &statements) const
{
    DataBridge bridge;
    bridge.Open(mNativePath);
    bridge.setSilentErrors(true);
    for (const QString &statement : statements)
        EXPECT_EQ(bridge.Execute(statement), 0) << "set-up statement failed: " << statement.toStdString();
}

QStringList TempDatabase::column(const QString &query) const
{
    DataBridge bridge;
    bridge.Open(mNativePath);
    ResultRows rows;
    bridge.Query(query, &rows);
    QStringList values;
    for (int r = 1; r <= rows.Count(); ++r)
        values.append(rows.Item(r).Item(1));
    return values;
}

QString TempDatabase::dump() const
{
    DataBridge bridge;
    bridge.Open(mNativePath);
    ResultRows tables;
    bridge.Query(mBackend == Backend::Sqlite
                     ? QStringLiteral("select name, sql from sqlite_schema order by name")
                     : QStringLiteral("select table_name, 'CREATE TABLE' from information_schema.tables "
                                      "where table_schema = %1 order by table_name")
                           .arg(mBackend == Backend::MariaDb ? QStringLiteral("database()") : QStringLiteral("current_schema()")),
                 &tables);
    QString text;
    for (int t = 0; t < tables.Count(); ++t) {
        text += tables.text(t, 0) + u'\n' + tables.text(t, 1) + u'\n';
        if (!tables.text(t, 1).startsWith(u"CREATE TABLE", Qt::CaseInsensitive))
            continue;
        ResultRows rows;
        bridge.Query(QStringLiteral("select * from %1").arg(sqlName(tables.text(t, 0))), &rows);
        QStringList lines;
        for (int r = 0; r < rows.Count(); ++r) {
            QStringList values;
            for (int c = 0; c < rows.columnCount(); ++c)
                values.append(rows.text(r, c));
            lines.append(values.join(u'|'));
        }
        lines.sort();
        text += lines.join(u'\n') + u'\n';
    }
    return text;
}

// Only the statements of the thread that made the log: another session a test runs beside
// the window, on a thread of its own, is neither recorded nor raced with.
StatementLog::StatementLog()
    : mPrevious(DataBridge::setStatementTrace([this, own = std::this_thread::get_id()](const StatementTrace &trace) {
          if (std::this_thread::get_id() == own)
              entries.push_back(trace);
      }))
{
}

StatementLog::~StatementLog()
{
    DataBridge::setStatementTrace(std::move(mPrevious));
}

QStringList StatementLog::statements() const
{
    QStringList texts;
    for (const StatementTrace &entry : entries)
        texts.append(entry.statement);
    return texts;
}

QStringList StatementLog::unguardedStatements() const
{
    QStringList texts;
    bool afterBegin = false;
    for (const StatementTrace &entry : entries) {
        const QString &text = entry.statement;
        const bool guard = text.startsWith(u"begin") || text == u"commit" || text == u"rollback" ||
                           text.endsWith(u" where 1=0") || text.contains(u" is null then 1 else 0 end");
        if (!guard && !afterBegin)
            texts.append(text);
        afterBegin = text.startsWith(u"begin");
    }
    return texts;
}

} // namespace velmarith::test
