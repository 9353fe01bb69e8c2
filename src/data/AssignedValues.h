#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace velmarith {

/// A column and the value a statement gives it.
struct AssignedValue {
    QString column;  ///< as the table names it, without quotes
    QString value;   ///< a string literal's text, else the expression as written
    qsizetype begin; ///< where the value stands in the statement
    qsizetype end;
    bool quoted;     ///< whether the value is a string literal
};

struct Assignments {
    QString table;          ///< without quotes or schema
    QString tableAsWritten; ///< as the statement writes it, quotes and schema included
    std::vector<AssignedValue> values;
};

/// The values an insert ("insert into T(a,b) values(…)", of one row or more) or an update
/// ("update T set a=…,b=… where …") gives its columns, so a refusal can name the column it
/// concerns; nothing for another statement or one written otherwise.
[[nodiscard]] std::optional<Assignments> assignmentsOf(const QString &statement);

/// The first value the insert or update gives `column` (its letter case aside); empty when it
/// gives none or the statement is another.
[[nodiscard]] QString valueGiven(const QString &statement, const QString &column);

} // namespace velmarith
