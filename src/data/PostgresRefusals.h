#pragma once

#include "data/ValueRefusal.h"

#include <functional>
#include <optional>
#include <vector>

namespace velmarith::detail {

/// A table's column as PostgreSQL's catalog writes its type ("character varying(10)",
/// "integer", "numeric(5,2)").
struct TypedColumn {
    QString name;
    QString type;
};

/// The question whose rows are the columns of `table` (named as a statement names it) with
/// their types, for postgresValueRefusal.
[[nodiscard]] QString postgresColumnTypesQuestion(const QString &table);

/// What PostgreSQL's refusal of a value says (SQLSTATE 22001, 22003, 22007, 22008, 22P02 and
/// 22P05), with the column it concerns: the server seldom names it, so it is found by the
/// error's position in `statement` (as sent; 0 for none), by the value the message quotes, or
/// among `columnsOf(table)` (the table as the statement writes it) by the type the message
/// names. Nothing for any other refusal.
[[nodiscard]] std::optional<ValueRefusal>
postgresValueRefusal(const QString &sqlState, const QString &serverText, int position, const QString &statement,
                     const std::function<std::vector<TypedColumn>(const QString &table)> &columnsOf);

} // namespace velmarith::detail
