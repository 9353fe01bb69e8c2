// Reading the pieces of SQL a catalog hands back: defaults, value lists and checks.
#include "data/CatalogText.h"

#include "data/SqlTokens.h"

#include <QRegularExpression>

namespace velmarith::detail {
namespace {

// The tokens of a text, blanks and comments left out.
struct Pieces {
    QString text;
    std::vector<Token> tokens;

    explicit Pieces(const QString &source) : text(source)
    {
        for (const Token &token : tokenize(source)) {
            if (token.kind != TokenKind::Blank)
                tokens.push_back(token);
        }
    }
    [[nodiscard]] QStringView of(const Token &token) const { return QStringView(text).mid(token.begin, token.end - token.begin); }
    [[nodiscard]] bool is(size_t at, QStringView word) const
    {
        return at < tokens.size() && of(tokens[at]).compare(word, Qt::CaseInsensitive) == 0;
    }
};

// A literal or quoted name without its quotes, its doubled closing quotes undone.
QString unquoted(QStringView token)
{
    if (token.size() < 2)
        return token.toString();
    const QChar opening = token.front();
    const QChar closing = opening == u'[' ? QChar(u']') : opening;
    if (opening != u'\'' && opening != u'"' && opening != u'`' && opening != u'[')
        return token.toString();
    QString inner = token.mid(1, token.size() - (token.back() == closing ? 2 : 1)).toString();
    if (closing != u']')
        inner.replace(QString(2, closing), QString(closing));
    return inner;
}

// The range inside as many brackets as enclose the whole of [first, last].
std::pair<size_t, size_t> withoutOuterBrackets(const Pieces &pieces, size_t first, size_t last)
{
    while (last > first && pieces.tokens[first].kind == TokenKind::Open && pieces.tokens[last].kind == TokenKind::Close) {
        int depth = 0;
        bool enclosesAll = true;
        for (size_t i = first; i < last && enclosesAll; ++i) {
            depth += pieces.tokens[i].kind == TokenKind::Open ? 1 : pieces.tokens[i].kind == TokenKind::Close ? -1 : 0;
            enclosesAll = depth > 0;
        }
        if (!enclosesAll)
            break;
        ++first;
        --last;
    }
    return {first, last};
}

} // namespace

std::optional<QString> textLiteral(const QString &expression)
{
    const Pieces pieces(expression);
    if (pieces.tokens.empty())
        return std::nullopt;
    const auto [first, last] = withoutOuterBrackets(pieces, 0, pieces.tokens.size() - 1);
    if (pieces.tokens[first].kind != TokenKind::Literal)
        return std::nullopt;
    // Only a cast may follow the literal: '中国'::character varying.
    static const QRegularExpression cast(QStringLiteral(R"(^\s*(::[\w ]+(\(\d+(,\s*\d+)?\))?(\[\])?)?\s*$)"));
    const Token &literal = pieces.tokens[first];
    if (!cast.match(expression.mid(literal.end, pieces.tokens[last].end - literal.end)).hasMatch())
        return std::nullopt;
    return unquoted(pieces.of(literal));
}

QStringList literalsIn(const QString &text)
{
    QStringList literals;
    const Pieces pieces(text);
    for (const Token &token : pieces.tokens) {
        if (token.kind == TokenKind::Literal)
            literals.append(unquoted(pieces.of(token)));
    }
    return literals;
}

std::optional<std::pair<QString, QStringList>> valueListOf(const QString &check)
{
    const Pieces pieces(check);
    if (pieces.tokens.size() < 5)
        return std::nullopt;
    const auto [first, last] = withoutOuterBrackets(pieces, 0, pieces.tokens.size() - 1);
    const TokenKind nameKind = pieces.tokens[first].kind;
    if ((nameKind != TokenKind::Word && nameKind != TokenKind::QuotedName) || !pieces.is(first + 1, u"in") ||
        pieces.tokens[first + 2].kind != TokenKind::Open || pieces.tokens[last].kind != TokenKind::Close)
        return std::nullopt;
    QStringList values;
    for (size_t i = first + 3; i < last; i += 2) {
        if (pieces.tokens[i].kind != TokenKind::Literal || (i + 1 < last && !pieces.is(i + 1, u",")))
            return std::nullopt;
        values.append(unquoted(pieces.of(pieces.tokens[i])));
    }
    if (values.isEmpty())
        return std::nullopt;
    return std::pair{unquoted(pieces.of(pieces.tokens[first])), values};
}

QStringList checksIn(const QString &createTable)
{
    QStringList checks;
    const Pieces pieces(createTable);
    for (size_t i = 0; i + 1 < pieces.tokens.size(); ++i) {
        if (!pieces.is(i, u"check") || pieces.tokens[i + 1].kind != TokenKind::Open)
            continue;
        int depth = 0;
        size_t close = i + 1;
        for (; close < pieces.tokens.size(); ++close) {
            depth += pieces.tokens[close].kind == TokenKind::Open ? 1 : pieces.tokens[close].kind == TokenKind::Close ? -1 : 0;
            if (depth == 0)
                break;
        }
        if (close >= pieces.tokens.size())
            break;
        checks.append(createTable.mid(pieces.tokens[i + 1].end, pieces.tokens[close].begin - pieces.tokens[i + 1].end));
        i = close;
    }
    return checks;
}

} // namespace velmarith::detail
