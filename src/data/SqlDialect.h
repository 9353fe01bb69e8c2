#pragma once

#include <QString>

namespace velmarith {

/// The library writes text concatenation as "+" next to a string literal
/// (a.部门+'('+b.部门名称+')'); SQLite and PostgreSQL spell it "||". Rewrites exactly the "+"
/// signs that stand between two operands one of which is a string literal, leaving unary signs,
/// string literals, quoted identifiers and comments untouched.
[[nodiscard]] QString rewriteConcatenation(const QString &statement);

/// Whether the text holds at most one statement: nothing but blanks, comments and semicolons
/// after the first semicolon outside literals, quoted names and comments.
[[nodiscard]] bool isSingleStatement(const QString &statement);

} // namespace velmarith
