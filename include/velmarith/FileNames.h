#pragma once

#include <velmarith/Export.h>

#include <QByteArray>
#include <QString>

namespace velmarith {

/// A file name or path as text that keeps every byte: bytes that are not UTF-8 become the lone
/// surrogates U+DC80..U+DCFF (as Python's "surrogateescape" does), so the name goes back to
/// exactly the same bytes with encodeFileName(). The file window hands paths out in this form.
[[nodiscard]] VELMARITH_EXPORT QString decodeFileName(const QByteArray &bytes);
/// The bytes a name or path from decodeFileName() stands for, to open it with the system.
[[nodiscard]] VELMARITH_EXPORT QByteArray encodeFileName(const QString &text);
/// The name as a person reads it: each byte that is not UTF-8 written as \xNN.
[[nodiscard]] VELMARITH_EXPORT QString displayFileName(const QString &text);

} // namespace velmarith
