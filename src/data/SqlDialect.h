#pragma once

#include <QString>

namespace velmarith {

/// The library writes text concatenation as "+" next to a string literal
/// (a.部门+'('+b.部门名称+')'); SQLite spells it "||". Rewrites exactly those "+" signs,
/// leaving string literals, quoted identifiers and comments untouched.
[[nodiscard]] QString rewriteConcatenation(const QString &statement);

} // namespace velmarith
