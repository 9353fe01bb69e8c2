#include "data/OdbcDiagnostics.h"

#include <QRegularExpression>

#include <array>

namespace velmarith::detail {
namespace {

// MariaDB's error numbers, as its own backend reads them.
constexpr int kLockWaitTimeout = 1205;
constexpr int kDeadlock = 1213;
constexpr int kReadOnly = 1290;
constexpr int kServerGone = 2006;
constexpr int kServerLost = 2013;
constexpr std::array kMariaDbValueErrors{1264, 1265, 1292, 1366, 1406};
// SQLite's result codes, which its driver gives as the native code.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;

bool isPostgresValueState(const QString &state)
{
    static const QStringList states{QStringLiteral("22001"), QStringLiteral("22003"), QStringLiteral("22007"),
                                    QStringLiteral("22008"), QStringLiteral("22P02"), QStringLiteral("22P05")};
    return states.contains(state);
}

OdbcRefusal::Kind kindOf(SqlFlavour flavour, const OdbcDiagnostic &diagnostic, bool &mayRunAgain)
{
    const QString &state = diagnostic.sqlState;
    const int native = diagnostic.native;
    // 08…: the connection failed or ended; HYT01: the driver gave up waiting for the server.
    if (state.startsWith(u"08") || state == u"HYT01" || state.startsWith(u"57P"))
        return OdbcRefusal::Kind::LostConnection;
    switch (flavour) {
    case SqlFlavour::Postgres:
        mayRunAgain = state == u"40001" || state == u"40P01" || state == u"25006";
        if (state == u"40001" || state == u"40P01" || state == u"55P03")
            return OdbcRefusal::Kind::Busy;
        if (state == u"25006")
            return OdbcRefusal::Kind::ReadOnly;
        return isPostgresValueState(state) ? OdbcRefusal::Kind::Value : OdbcRefusal::Kind::Refused;
    case SqlFlavour::MariaDb:
        mayRunAgain = native == kDeadlock;
        if (native == kServerGone || native == kServerLost)
            return OdbcRefusal::Kind::LostConnection;
        if (native == kLockWaitTimeout || native == kDeadlock)
            return OdbcRefusal::Kind::Busy;
        if (native == kReadOnly)
            return OdbcRefusal::Kind::ReadOnly;
        return std::find(kMariaDbValueErrors.begin(), kMariaDbValueErrors.end(), native) != kMariaDbValueErrors.end()
                   ? OdbcRefusal::Kind::Value
                   : OdbcRefusal::Kind::Refused;
    case SqlFlavour::Sqlite:
        if (native == kSqliteBusy || native == kSqliteLocked || diagnostic.text.contains(u"database is locked"))
            return OdbcRefusal::Kind::Busy;
        if (native == kSqliteReadOnly || diagnostic.text.contains(u"readonly database"))
            return OdbcRefusal::Kind::ReadOnly;
        return OdbcRefusal::Kind::Refused;
    }
    return OdbcRefusal::Kind::Refused;
}

} // namespace

QString normalizedOdbcText(const QString &driverText)
{
    static const QRegularExpression brackets(QStringLiteral("^(\\s*\\[[^\\]]*\\])+\\s*"));
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s*"));
    static const QRegularExpression sqliteCode(QStringLiteral("\\s+\\(\\d+\\)$"));
    QString text = driverText;
    text.remove(brackets);
    text = text.section(u'\n', 0, 0).trimmed(); // psqlODBC adds its own line, "Error while executing the query"
    text.remove(severity);
    if (text.endsWith(u';'))
        text.chop(1);
    text.remove(sqliteCode);
    return text.trimmed();
}

StatementFailure OdbcRefusal::failure() const
{
    QString message;
    switch (kind) {
    case Kind::Busy: message = QStringLiteral("数据库正被其他程序使用，这项修改没有完成："); break;
    case Kind::ReadOnly: message = QStringLiteral("数据库不能写入："); break;
    case Kind::LostConnection: return StatementFailure{databaseText, databaseText, 1};
    case Kind::Refused:
    case Kind::Value: message = QStringLiteral("数据库拒绝了这项操作："); break;
    }
    StatementFailure failure{databaseText, message + databaseText, 1};
    failure.mayRunAgain = mayRunAgain;
    return failure;
}

OdbcRefusal classifyOdbcDiagnostic(SqlFlavour flavour, const OdbcDiagnostic &diagnostic)
{
    OdbcRefusal refusal;
    refusal.kind = kindOf(flavour, diagnostic, refusal.mayRunAgain);
    refusal.text = normalizedOdbcText(diagnostic.text);
    // SQLite says no SQLSTATE of its own (HY000 for everything), so its words stand alone.
    refusal.databaseText = flavour == SqlFlavour::Sqlite || diagnostic.sqlState.isEmpty()
                               ? refusal.text
                               : QStringLiteral("%1（SQLSTATE %2）").arg(refusal.text, diagnostic.sqlState);
    return refusal;
}

} // namespace velmarith::detail
