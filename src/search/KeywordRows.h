#pragma once

#include <velmarith/Collection.h>
#include <velmarith/ResultRows.h>
#include <velmarith/WinSearch.h>

#include <QString>

#include <optional>
#include <vector>

namespace velmarith::search {

/// The keyword list's rows, read once with the value of the keyword's term, and filtered in
/// memory as the keyword changes: by the database's own like rule (Instant), or by that rule
/// with width folding and pinyin besides (Pinyin).
class KeywordRows
{
public:
    /// Reads every row of `select` and its `term`; nullopt when `select` is not a plain select
    /// the term can be added to. Raises the database's error when it refuses the statement.
    [[nodiscard]] static std::optional<KeywordRows> read(const QString &select, const QString &term);

    /// The column names of `select`.
    [[nodiscard]] const Collection &names() const { return mNames; }
    /// The rows whose term holds the keyword, in the statement's order; for Pinyin, then the
    /// rows whose term reads as it.
    [[nodiscard]] ResultRows matching(const QString &keyword, KeywordMatch match) const;

private:
    KeywordRows() = default;
    [[nodiscard]] QStringView term(int row) const;

    ResultRows mRows;             ///< the statement's rows, after the two term columns
    Collection mNames;
    QString mTerms;               ///< every row's term, one after the other
    std::vector<uint32_t> mTermEnds;
    std::vector<bool> mTermIsNull; ///< a null term is never like anything
    bool mIgnoresAsciiCase = true; ///< SQLite's like; PostgreSQL's is case-sensitive
};

} // namespace velmarith::search
