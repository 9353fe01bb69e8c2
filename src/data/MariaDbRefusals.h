#pragma once

#include "data/ValueRefusal.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace velmarith::detail {

/// The question whose rows are the text columns of `table` (all of them, or only `column`):
/// name, character set and length in characters.
[[nodiscard]] QString mariaDbTextColumnsQuestion(const QString &table, const QString &column = {});

/// Completes a refusal of a value in `statement` (as sent) with what the server's words do not
/// say, the column's limit or character set, from the catalog, asked through `rowsOf`.
void completeMariaDbRefusal(ValueRefusal &refusal, const QString &statement,
                            const std::function<std::vector<QStringList>(const QString &question)> &rowsOf);

/// The question whose answer is a column's type as the catalog writes it ("tinyint(1)").
[[nodiscard]] QString mariaDbColumnTypeQuestion(const QString &table, const QString &column);

/// What a strict MariaDB session's refusal of a value says (errors 1264, 1265, 1292, 1366 and
/// 1406), with the column the server names and the value `statement` (as sent) gave it; nothing
/// for any other error. The column's limit and character set are the caller's to ask.
[[nodiscard]] std::optional<ValueRefusal> mariaDbValueRefusal(unsigned error, const QString &serverText,
                                                              const QString &statement);

} // namespace velmarith::detail
