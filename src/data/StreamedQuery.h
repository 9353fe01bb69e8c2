#pragma once

#include <velmarith/Collection.h>
#include <velmarith/ResultRows.h>

#include <QString>

#include <memory>

namespace velmarith {

class DataBridge;

namespace detail {

class RowStream;
class TraceScope;

/// A query of an open DataBridge whose rows are taken a part at a time, so a caller can show the
/// first of them while the rest are still to come. The bridge runs nothing else meanwhile.
/// Gone before the last part, it stops the statement on the server. The trace sees the
/// statement once, when it has ended or stopped.
class StreamedQuery
{
public:
    /// Sends `statement`, which the database works on while the caller goes on; a refusal is
    /// raised as Error, as Query raises it, here or by the first describe or next.
    StreamedQuery(DataBridge &bridge, const QString &statement);
    ~StreamedQuery();
    StreamedQuery(const StreamedQuery &) = delete;
    StreamedQuery &operator=(const StreamedQuery &) = delete;

    /// The column names, type codes and sizes, as Query gives them; waits for them where the
    /// database has not sent them yet.
    void describe(Collection *fieldNames, Collection *typeCodes, Collection *sizes);
    /// Up to `atMost` more rows (all the rest where the backend reads them at once); raises
    /// Error as Query does, after which the query is at its end.
    [[nodiscard]] ResultRows next(int atMost);
    [[nodiscard]] bool atEnd() const;

private:
    // Runs a step of the stream: a refusal ends it and is raised as Error, and its end is
    // reported to the trace.
    template<class Step>
    auto guarded(Step step);

    std::unique_ptr<TraceScope> mTrace;
    std::unique_ptr<RowStream> mStream;
};

} // namespace detail
} // namespace velmarith
