#pragma once

#include <QString>

namespace velmarith {

/// The library writes text concatenation as "+" next to a string literal
/// (a.部门+'('+b.部门名称+')'); SQLite and PostgreSQL spell it "||". Rewrites exactly the "+"
/// signs that stand between two operands one of which is a string literal, leaving unary signs,
/// string literals, quoted identifiers and comments untouched.
[[nodiscard]] QString rewriteConcatenation(const QString &statement);

/// The same concatenations written as CONCAT(…) calls, for MariaDB and MySQL, where "||" is OR:
/// a.部门+'('+b.部门名称+')' becomes CONCAT(a.部门, '(', b.部门名称, ')').
[[nodiscard]] QString rewriteConcatenationAsCall(const QString &statement);

/// Whether the text holds at most one statement: nothing but blanks, comments and semicolons
/// after the first semicolon outside literals, quoted names and comments.
[[nodiscard]] bool isSingleStatement(const QString &statement);

/// The statement with whatever comment it ends in closed, so text appended to it is read as
/// SQL: a line break after a line comment ("--", or MariaDB's "#"), "*/" after a block comment
/// left open. Any other statement comes back as it is.
[[nodiscard]] QString withTrailingCommentClosed(const QString &statement);

/// The longest name PostgreSQL keeps, in bytes of UTF-8 (NAMEDATALEN - 1).
constexpr int kLongestPostgresName = 63;

/// The first name in a statement longer than PostgreSQL keeps, which the server would cut
/// silently; empty when there is none. Literals and comments are skipped.
[[nodiscard]] QString overlongName(const QString &statement);

/// Why MariaDB cannot take a name in the statement, in Chinese; empty when it takes them all.
/// It refuses a name over 64 characters, and a table's name whose file name would pass the
/// file system's 255 bytes (51 CJK characters), rather than cut either.
[[nodiscard]] QString nameMariaDbRefuses(const QString &statement);

} // namespace velmarith
