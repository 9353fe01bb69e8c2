#include "data/AssignedValues.h"

#include "data/SqlTokens.h"

namespace velmarith {
namespace {

// Reads the statement's tokens in order, blanks and comments left out.
class Reader
{
public:
    explicit Reader(const QString &text) : mText(text)
    {
        for (const Token &token : tokenize(text)) {
            if (token.kind != TokenKind::Blank)
                mTokens.push_back(token);
        }
    }

    [[nodiscard]] bool atEnd() const { return mNext >= mTokens.size(); }
    [[nodiscard]] QStringView text(size_t at) const
    {
        return QStringView(mText).mid(mTokens[at].begin, mTokens[at].end - mTokens[at].begin);
    }
    [[nodiscard]] bool at(QStringView word) const { return !atEnd() && text(mNext).compare(word, Qt::CaseInsensitive) == 0; }
    bool take(QStringView word)
    {
        if (!at(word))
            return false;
        ++mNext;
        return true;
    }

    // A name, perhaps qualified (s.t, "s"."t", s."t"): its last part, without quotes; `written`
    // receives the whole name as the statement writes it. Its parts stand side by side.
    std::optional<QString> name(QString *written = nullptr)
    {
        const size_t first = mNext;
        const auto isPart = [&](size_t at) {
            const TokenKind kind = mTokens[at].kind;
            return (kind == TokenKind::Word || kind == TokenKind::QuotedName) && (at == first || mTokens[at].begin == mTokens[at - 1].end);
        };
        while (!atEnd() && isPart(mNext))
            ++mNext;
        if (mNext == first)
            return std::nullopt;
        const size_t last = mNext - 1;
        if (written)
            *written = mText.mid(mTokens[first].begin, mTokens[last].end - mTokens[first].begin);
        return unquoted(mTokens[last].kind, text(last));
    }

    // The tokens up to a "," or ")" outside brackets, or up to `stop` (a keyword).
    std::optional<AssignedValue> value(const QString &column, QStringView stop = {})
    {
        const size_t first = mNext;
        for (int depth = 0; !atEnd(); ++mNext) {
            const TokenKind kind = mTokens[mNext].kind;
            if (depth == 0 && (kind == TokenKind::Close || at(u",") || (!stop.isEmpty() && at(stop))))
                break;
            depth += kind == TokenKind::Open ? 1 : kind == TokenKind::Close ? -1 : 0;
        }
        if (mNext == first)
            return std::nullopt;
        const Token &begin = mTokens[first];
        const Token &end = mTokens[mNext - 1];
        if (mNext - first == 1 && begin.kind == TokenKind::Literal)
            return AssignedValue{column, unquoted(begin.kind, text(first)), begin.begin, end.end, true};
        return AssignedValue{column, mText.mid(begin.begin, end.end - begin.begin), begin.begin, end.end, false};
    }

private:
    // Without its quotes, doubled quotes inside standing for one; a plain word with its
    // qualifier cut off.
    static QString unquoted(TokenKind kind, QStringView token)
    {
        if (kind == TokenKind::Word)
            return token.mid(token.lastIndexOf(u'.') + 1).toString();
        const QChar closing = token.front() == u'[' ? QChar(u']') : token.front();
        QString inner = token.mid(1, token.size() - (token.size() > 1 && token.back() == closing ? 2 : 1)).toString();
        if (closing != u']')
            inner.replace(QString(2, closing), QString(closing));
        return inner;
    }

    const QString &mText;
    std::vector<Token> mTokens;
    size_t mNext = 0;
};

// The table's name, and the word or sign that follows it.
std::optional<Assignments> tableThen(Reader &reader, QStringView following)
{
    Assignments assignments;
    std::optional<QString> table = reader.name(&assignments.tableAsWritten);
    if (!table || !reader.take(following))
        return std::nullopt;
    assignments.table = *table;
    return assignments;
}

std::optional<Assignments> insertValues(Reader &reader)
{
    std::optional<Assignments> assignments = tableThen(reader, u"(");
    if (!assignments)
        return std::nullopt;
    std::vector<QString> columns;
    do {
        std::optional<QString> column = reader.name();
        if (!column)
            return std::nullopt;
        columns.push_back(*column);
    } while (reader.take(u","));
    if (!reader.take(u")") || !reader.take(u"values"))
        return std::nullopt;
    do {
        if (!reader.take(u"("))
            return std::nullopt;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0 && !reader.take(u","))
                return std::nullopt;
            std::optional<AssignedValue> value = reader.value(columns[i]);
            if (!value)
                return std::nullopt;
            assignments->values.push_back(std::move(*value));
        }
        if (!reader.take(u")"))
            return std::nullopt;
    } while (reader.take(u","));
    return assignments;
}

std::optional<Assignments> updateValues(Reader &reader)
{
    std::optional<Assignments> assignments = tableThen(reader, u"set");
    if (!assignments)
        return std::nullopt;
    do {
        std::optional<QString> column = reader.name();
        if (!column || !reader.take(u"="))
            return std::nullopt;
        std::optional<AssignedValue> value = reader.value(*column, u"where");
        if (!value)
            return std::nullopt;
        assignments->values.push_back(std::move(*value));
    } while (reader.take(u","));
    return assignments;
}

} // namespace

std::optional<Assignments> assignmentsOf(const QString &statement)
{
    Reader reader(statement);
    if (reader.take(u"insert") && reader.take(u"into"))
        return insertValues(reader);
    if (reader.take(u"update"))
        return updateValues(reader);
    return std::nullopt;
}

QString valueGiven(const QString &statement, const QString &column)
{
    const std::optional<Assignments> assignments = assignmentsOf(statement);
    for (const AssignedValue &assigned : assignments ? assignments->values : std::vector<AssignedValue>()) {
        if (assigned.column.compare(column, Qt::CaseInsensitive) == 0)
            return assigned.value;
    }
    return {};
}

} // namespace velmarith
