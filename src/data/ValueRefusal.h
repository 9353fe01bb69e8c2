#pragma once

#include "data/Connection.h"

#include <QString>

namespace velmarith::detail {

/// A value a column could not hold as it was given: found before the statement went out, or
/// read from the database's refusal.
struct ValueRefusal {
    enum class Kind {
        TooLong,     ///< more characters than the column holds
        OutOfRange,  ///< a number beyond the column's type
        NotANumber,  ///< text where the column holds numbers
        NotADate,    ///< no such date or time
        NotAccepted, ///< the column would not take it as it stands (it would be cut or changed)
        Unstorable,  ///< a character the column's character set has no room for
    };
    Kind kind = Kind::NotAccepted;
    QString column{};  ///< empty where neither the database nor the statement tells
    QString value{};   ///< the value as the statement gave it, where known
    int limit = 0;     ///< TooLong: how many characters the column holds; 0 when unknown
    QString character{}; ///< Unstorable: the first character the column cannot hold
    QString charset{};   ///< Unstorable: the column's character set, where known
};

/// What a person is told, in Chinese: the field, what it could not hold, and that nothing was
/// saved ("[姓名]的内容太长：最多只能有 10 个字符，没有保存！").
[[nodiscard]] QString messageOf(const ValueRefusal &refusal);

/// The refusal as a statement's failure; `databaseText` is the database's own words, for the trace.
[[nodiscard]] StatementFailure failureOf(const ValueRefusal &refusal, const QString &databaseText);

/// The first character of UTF-8 bytes a database quoted from a refused value ("\xF0\xA0\x80\x80").
[[nodiscard]] QString firstCharacterOf(const QByteArray &utf8);

} // namespace velmarith::detail
