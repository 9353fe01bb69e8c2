#pragma once

#include <QString>

#include <vector>

namespace velmarith {

/// Blank is white space or a comment; Word a name, keyword or number (dots, "$" and digits
/// inside); the signs the library's rewriting looks at have kinds of their own.
enum class TokenKind { Literal, QuotedName, Word, Plus, Open, Close, Semicolon, Blank, Other };

/// A stretch of a statement's text, from `begin` to just before `end`.
struct Token {
    TokenKind kind;
    qsizetype begin;
    qsizetype end;
};

/// The statement cut into tokens, in order; an unterminated literal, quoted name or comment runs
/// to the end of the text.
[[nodiscard]] std::vector<Token> tokenize(const QString &text);

} // namespace velmarith
