// The lexical pieces of a statement, as every backend's reader agrees on them: literals and
// quoted names with their doubled quotes, "--" and "/* */" comments, words and signs.
#include "data/SqlTokens.h"

namespace velmarith {
namespace {

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

} // namespace

std::vector<Token> tokenize(const QString &text)
{
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < text.size();) {
        tokens.push_back(nextToken(text, i));
        i = tokens.back().end;
    }
    return tokens;
}

} // namespace velmarith
