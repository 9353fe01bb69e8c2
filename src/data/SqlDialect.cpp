#include "data/SqlDialect.h"

#include <vector>

namespace velmarith {
namespace {

enum class TokenKind { Literal, Plus, Blank, Other };

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

Token nextToken(const QString &text, qsizetype i)
{
    const QChar c = text[i];
    const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
    if (c == u'\'')
        return {TokenKind::Literal, i, endOfQuoted(text, i, u'\'', true)};
    if (c == u'"')
        return {TokenKind::Other, i, endOfQuoted(text, i, u'"', true)};
    if (c == u'`')
        return {TokenKind::Other, i, endOfQuoted(text, i, u'`', true)};
    if (c == u'[')
        return {TokenKind::Other, i, endOfQuoted(text, i, u']', false)};
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
    if (c == u'+')
        return {TokenKind::Plus, i, i + 1};
    return {TokenKind::Other, i, i + 1};
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

bool literalNextTo(const std::vector<Token> &tokens, size_t plus)
{
    for (size_t i = plus; i-- > 0;) {
        if (tokens[i].kind != TokenKind::Blank) {
            if (tokens[i].kind == TokenKind::Literal)
                return true;
            break;
        }
    }
    for (size_t i = plus + 1; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::Blank)
            return tokens[i].kind == TokenKind::Literal;
    }
    return false;
}

} // namespace

QString rewriteConcatenation(const QString &statement)
{
    if (!statement.contains(u'+'))
        return statement;
    const std::vector<Token> tokens = tokenize(statement);
    QString rewritten;
    rewritten.reserve(statement.size() + 16);
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token &token = tokens[i];
        if (token.kind == TokenKind::Plus && literalNextTo(tokens, i))
            rewritten += QStringLiteral("||");
        else
            rewritten += QStringView(statement).mid(token.begin, token.end - token.begin);
    }
    return rewritten;
}

} // namespace velmarith
