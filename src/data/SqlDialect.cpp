#include "data/SqlDialect.h"

#include <array>
#include <vector>

namespace velmarith {
namespace {

enum class TokenKind { Literal, QuotedName, Word, Plus, Open, Close, Semicolon, Blank, Other };

struct Token {
    TokenKind kind;
    qsizetype begin;
    qsizetype end;
};

// Position just past a quoted run that starts at `begin` and closes with `closing`, where a
// doubled closing character stands for itself; an unterminated run ends the text.
qsizetype endOfQuoted(const QString &text, qsizetype begin, QChar closing, bool doubledEscapes)
{
    qsizetype i = begin + 1;
    while (i < text.size()) {
        if (text[i] == closing) {
            if (doubledEscapes && i + 1 < text.size() && text[i + 1] == closing) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return text.size();
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'$' || c.isSurrogate();
}

Token nextToken(const QString &text, qsizetype i)
{
    const QChar c = text[i];
    const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
    if (c == u'\'')
        return {TokenKind::Literal, i, endOfQuoted(text, i, u'\'', true)};
    if (c == u'"')
        return {TokenKind::QuotedName, i, endOfQuoted(text, i, u'"', true)};
    if (c == u'`')
        return {TokenKind::QuotedName, i, endOfQuoted(text, i, u'`', true)};
    if (c == u'[')
        return {TokenKind::QuotedName, i, endOfQuoted(text, i, u']', false)};
    if (c == u'-' && next == u'-') {
        const qsizetype lineEnd = text.indexOf(u'\n', i);
        return {TokenKind::Blank, i, lineEnd < 0 ? text.size() : lineEnd};
    }
    if (c == u'/' && next == u'*') {
        const qsizetype close = text.indexOf(QStringLiteral("*/"), i + 2);
        return {TokenKind::Blank, i, close < 0 ? text.size() : close + 2};
    }
    if (c.isSpace())
        return {TokenKind::Blank, i, i + 1};
    if (isWordCharacter(c)) {
        qsizetype end = i + 1;
        while (end < text.size() && isWordCharacter(text[end]))
            ++end;
        return {TokenKind::Word, i, end};
    }
    switch (c.unicode()) {
    case u'+':
        return {TokenKind::Plus, i, i + 1};
    case u'(':
        return {TokenKind::Open, i, i + 1};
    case u')':
        return {TokenKind::Close, i, i + 1};
    case u';':
        return {TokenKind::Semicolon, i, i + 1};
    default:
        return {TokenKind::Other, i, i + 1};
    }
}

std::vector<Token> tokenize(const QString &text)
{
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < text.size();) {
        tokens.push_back(nextToken(text, i));
        i = tokens.back().end;
    }
    return tokens;
}

// Words after which an operand begins rather than ends: "select +'5'" is a unary plus.
bool introducesOperand(QStringView word)
{
    static constexpr std::array<const char16_t *, 36> kWords{
        u"SELECT", u"WHERE", u"AND",    u"OR",     u"NOT",    u"LIKE",   u"GLOB",     u"REGEXP", u"MATCH",
        u"IN",     u"IS",    u"BETWEEN", u"WHEN",  u"THEN",   u"ELSE",   u"CASE",     u"ON",     u"BY",
        u"HAVING", u"SET",   u"VALUES", u"DISTINCT", u"ALL",  u"AS",     u"ESCAPE",   u"FROM",   u"RETURNING",
        u"LIMIT",  u"OFFSET", u"EXISTS", u"UNION", u"EXCEPT", u"INTERSECT", u"RETURN", u"ANY",   u"SOME"};
    for (const char16_t *candidate : kWords) {
        if (word.compare(QStringView(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class Statement
{
public:
    explicit Statement(const QString &text) : mText(text), mTokens(tokenize(text)) {}

    [[nodiscard]] const std::vector<Token> &tokens() const { return mTokens; }
    [[nodiscard]] QStringView textOf(const Token &token) const
    {
        return QStringView(mText).mid(token.begin, token.end - token.begin);
    }

    // A "+" joins text when it stands between two operands and one of them is a string literal.
    [[nodiscard]] bool isConcatenation(size_t plus) const
    {
        const Token *before = neighbour(plus, -1);
        const Token *after = neighbour(plus, +1);
        if (!before || !after || !endsOperand(*before) || !beginsOperand(*after))
            return false;
        return before->kind == TokenKind::Literal || after->kind == TokenKind::Literal;
    }

private:
    [[nodiscard]] const Token *neighbour(size_t from, int direction) const
    {
        for (ptrdiff_t i = ptrdiff_t(from) + direction; i >= 0 && i < ptrdiff_t(mTokens.size()); i += direction) {
            if (mTokens[size_t(i)].kind != TokenKind::Blank)
                return &mTokens[size_t(i)];
        }
        return nullptr;
    }
    [[nodiscard]] bool endsOperand(const Token &token) const
    {
        switch (token.kind) {
        case TokenKind::Literal:
        case TokenKind::QuotedName:
        case TokenKind::Close:
            return true;
        case TokenKind::Word:
            return !introducesOperand(textOf(token));
        default:
            return false;
        }
    }
    [[nodiscard]] static bool beginsOperand(const Token &token)
    {
        return token.kind == TokenKind::Literal || token.kind == TokenKind::QuotedName ||
               token.kind == TokenKind::Word || token.kind == TokenKind::Open;
    }

    const QString &mText;
    std::vector<Token> mTokens;
};

} // namespace

QString rewriteConcatenation(const QString &statement)
{
    if (!statement.contains(u'+'))
        return statement;
    const Statement parsed(statement);
    QString rewritten;
    rewritten.reserve(statement.size() + 16);
    const std::vector<Token> &tokens = parsed.tokens();
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::Plus && parsed.isConcatenation(i))
            rewritten += QStringLiteral("||");
        else
            rewritten += parsed.textOf(tokens[i]);
    }
    return rewritten;
}

bool isSingleStatement(const QString &statement)
{
    bool ended = false;
    for (const Token &token : tokenize(statement)) {
        if (token.kind == TokenKind::Semicolon)
            ended = true;
        else if (token.kind != TokenKind::Blank && ended)
            return false;
    }
    return true;
}

} // namespace velmarith
