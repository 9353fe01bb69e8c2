#include "TempDatabase.h"

#include "common/SqlText.h"

#include <gtest/gtest.h>

namespace velmarith::test {

TempDatabase::TempDatabase() : mPath(mDir.filePath(QStringLiteral("test.sqlite")))
{
    DataBridge bridge;
    bridge.Open(mPath, QStringLiteral("Create"));
    DataBridge::setDefaultDatabase(mPath);
}

TempDatabase::~TempDatabase()
{
    DataBridge::setDefaultDatabase(QString());
}

void TempDatabase::exec(const QStringList &statements) const
{
    DataBridge bridge;
    bridge.Open(mPath);
    bridge.setSilentErrors(true);
    for (const QString &statement : statements)
        EXPECT_EQ(bridge.Execute(statement), 0) << "set-up statement failed: " << statement.toStdString();
}

QStringList TempDatabase::column(const QString &query) const
{
    DataBridge bridge;
    bridge.Open(mPath);
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
    bridge.Open(mPath);
    ResultRows tables;
    bridge.Query(QStringLiteral("select name, sql from sqlite_schema order by name"), &tables);
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

StatementLog::StatementLog()
    : mPrevious(DataBridge::setStatementTrace([this](const StatementTrace &trace) { entries.push_back(trace); }))
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

} // namespace velmarith::test
