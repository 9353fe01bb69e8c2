#include "data/Catalog.h"

namespace velmarith::detail {

ResultRows askCatalog(Connection &connection, const QString &question)
{
    TraceScope trace(question);
    try {
        QueryResult result = connection.query(question, trace, true);
        trace.succeeded();
        return std::move(result.rows);
    } catch (const StatementFailure &failure) {
        trace.failed(failure.databaseText);
        throw;
    }
}

std::vector<std::pair<int, int>> runsOf(const ResultRows &rows, int column)
{
    std::vector<std::pair<int, int>> runs;
    for (int row = 0; row < rows.Count(); ++row) {
        if (row == 0 || rows.text(row, column) != rows.text(row - 1, column))
            runs.emplace_back(row, row + 1);
        else
            runs.back().second = row + 1;
    }
    return runs;
}

std::optional<TableSchema> Catalog::describe(DataBridge &bridge, const QString &table)
{
    return bridge.connection().describe(table);
}

} // namespace velmarith::detail
