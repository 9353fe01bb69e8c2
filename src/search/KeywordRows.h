#pragma once

#include <velmarith/Collection.h>
#include <velmarith/ResultRows.h>
#include <velmarith/WinSearch.h>

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmarith {
class DataBridge;
namespace detail {
class StreamedQuery;
}
} // namespace velmarith

namespace velmarith::search {

class PinyinKeyword;

/// The keyword list's rows, read once with the value of the keyword's term, and filtered in
/// memory as the keyword changes: by the database's own like rule (Instant), or by that rule
/// with width folding and pinyin besides (Pinyin).
class KeywordRows
{
public:
    /// Reads every row of `select` and its `term`; nullopt when `select` is not a plain select
    /// the term can be added to. Raises the database's error when it refuses the statement.
    [[nodiscard]] static std::optional<KeywordRows> read(const QString &select, const QString &term, KeywordMatch match);

    /// The rows read a part at a time, so that the keystrokes meanwhile are answered otherwise.
    class Reader
    {
    public:
        /// Starts the statement; raises the database's error when it refuses it.
        Reader(const QString &statement, KeywordMatch match);
        ~Reader();
        Reader(const Reader &) = delete;
        Reader &operator=(const Reader &) = delete;
        /// Reads the next part; true once every row is in. Raises the database's error.
        bool readPart();
        /// The rows, once every one is in.
        [[nodiscard]] KeywordRows finish();
        /// Reads the parts still to come, then gives the rows.
        [[nodiscard]] KeywordRows readRest();

    private:
        std::unique_ptr<DataBridge> mBridge;
        std::unique_ptr<detail::StreamedQuery> mQuery;
        KeywordMatch mMatch;
        Collection mNames;
        std::unique_ptr<ResultRows::Builder> mShown;
        std::string mTerms; // one conversion of all of them is much faster than one per row
    };
    /// A reader of every row of `select` and its `term`; null when `select` is not a plain
    /// select the term can be added to.
    [[nodiscard]] static std::unique_ptr<Reader> startReading(const QString &select, const QString &term, KeywordMatch match);

    /// The column names of `select`.
    [[nodiscard]] const Collection &names() const { return mNames; }
    /// The rows whose term holds the keyword, in the statement's order; for Pinyin, then the
    /// rows whose term reads as it. The keyword is not empty: only the database tells a null
    /// term, which even an empty pattern does not match, from an empty one.
    [[nodiscard]] ResultRows matching(const QString &keyword) const;

private:
    KeywordRows() = default;
    [[nodiscard]] qsizetype termStart(size_t row) const;
    [[nodiscard]] QStringView term(size_t row) const;
    [[nodiscard]] std::vector<size_t> rowsHolding(const QString &needle) const;
    /// The rows not `holding` the keyword whose term reads as it, in order.
    [[nodiscard]] std::vector<size_t> rowsReading(const PinyinKeyword &reading, const std::vector<size_t> &holding) const;

    KeywordMatch mMatch = KeywordMatch::Instant;
    bool mIgnoresAsciiCase = true; ///< SQLite's like; PostgreSQL's is case-sensitive
    ResultRows mRows;              ///< the statement's rows, after the term column
    Collection mNames;
    /// Every row's term, folded as the match compares it, each followed by a separator that no
    /// keyword holds, so that one search over all of them finds the rows at once.
    QString mTerms;
    std::vector<uint32_t> mTermEnds; ///< where each row's separator stands
};

} // namespace velmarith::search
