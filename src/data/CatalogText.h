#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace velmarith::detail {

/// The text of an expression that is one string literal ('中国', or PostgreSQL's
/// '中国'::character varying), its doubled quotes undone; nothing for any other expression.
[[nodiscard]] std::optional<QString> textLiteral(const QString &expression);

/// Every string literal in a text, in order, its doubled quotes undone ('A','B' of ENUM('A','B')).
[[nodiscard]] QStringList literalsIn(const QString &text);

/// The column and values of a check that holds only "c IN (…)" of string literals; nothing for
/// any other check.
[[nodiscard]] std::optional<std::pair<QString, QStringList>> valueListOf(const QString &check);

/// The conditions of every CHECK (…) in a CREATE TABLE statement, in order.
[[nodiscard]] QStringList checksIn(const QString &createTable);

} // namespace velmarith::detail
