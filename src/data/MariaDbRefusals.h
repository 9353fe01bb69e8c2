#pragma once

#include "data/ValueRefusal.h"

#include <optional>

namespace velmarith::detail {

/// What a strict MariaDB session's refusal of a value says (errors 1264, 1265, 1292, 1366 and
/// 1406), with the column the server names and the value `statement` (as sent) gave it; nothing
/// for any other error. The column's limit and character set are the caller's to ask.
[[nodiscard]] std::optional<ValueRefusal> mariaDbValueRefusal(unsigned error, const QString &serverText,
                                                              const QString &statement);

} // namespace velmarith::detail
