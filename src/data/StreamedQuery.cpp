#include "data/StreamedQuery.h"

#include "data/Connection.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

namespace velmarith::detail {
namespace {

// The rows of a backend that reads them all at once, handed over as one part.
class WholeResult final : public RowStream
{
public:
    explicit WholeResult(QueryResult result) : mRows(std::move(result.rows))
    {
        mNames = std::move(result.names);
        mTypes = std::move(result.types);
    }
    ResultRows next(int) override { return std::exchange(mRows, ResultRows()); }
    [[nodiscard]] bool atEnd() const override { return mRows.Count() == 0; }

private:
    ResultRows mRows;
};

} // namespace

std::unique_ptr<RowStream> Connection::stream(const QString &statement, TraceScope &trace)
{
    return std::make_unique<WholeResult>(query(statement, trace, true));
}

template<class Step>
auto StreamedQuery::guarded(Step step)
{
    try {
        auto result = step();
        if (mStream && mStream->atEnd())
            mTrace->succeeded();
        return result;
    } catch (const StatementFailure &failure) {
        mTrace->failed(failure.databaseText);
        mStream.reset();
        throw Error(ErrorNumber::Database, failure.message);
    }
}

StreamedQuery::StreamedQuery(DataBridge &bridge, const QString &statement)
    : mTrace(std::make_unique<TraceScope>(statement))
{
    guarded([&] {
        refuseInvalidText(statement);
        mStream = bridge.connection().stream(statement, *mTrace);
        return 0;
    });
}

StreamedQuery::~StreamedQuery()
{
    mStream.reset(); // stops the statement before the trace reports it
}

void StreamedQuery::describe(Collection *fieldNames, Collection *typeCodes, Collection *sizes)
{
    for (Collection *collection : {fieldNames, typeCodes, sizes}) {
        if (collection)
            collection->clear();
    }
    if (!mStream)
        return;
    guarded([&] {
        mStream->readColumns();
        return 0;
    });
    describeColumns(mStream->names(), mStream->types(), fieldNames, typeCodes, sizes);
}

ResultRows StreamedQuery::next(int atMost)
{
    if (!mStream)
        return {};
    return guarded([&] {
        mStream->readColumns();
        return mStream->next(atMost);
    });
}

bool StreamedQuery::atEnd() const
{
    return !mStream || mStream->atEnd();
}

} // namespace velmarith::detail
