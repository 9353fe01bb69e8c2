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
    /// Starts `statement`; raises Error as Query does.
    StreamedQuery(DataBridge &bridge, const QString &statement);
    ~StreamedQuery();
    StreamedQuery(const StreamedQuery &) = delete;
    StreamedQuery &operator=(const StreamedQuery &) = delete;

    /// The column names, type codes and sizes, as Query gives them.
    void describe(Collection *fieldNames, Collection *typeCodes, Collection *sizes) const;
    /// Up to `atMost` more rows (all the rest where the backend reads them at once); raises
    /// Error as Query does, after which the query is at its end.
    [[nodiscard]] ResultRows next(int atMost);
    [[nodiscard]] bool atEnd() const;

private:
    std::unique_ptr<TraceScope> mTrace;
    std::unique_ptr<RowStream> mStream;
};

} // namespace detail
} // namespace velmarith
