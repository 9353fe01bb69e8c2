#include "TempDatabase.h"

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
