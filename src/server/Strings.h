#pragma once

#include <velmarith/server.h>

#include <QString>

namespace velmarith::server {

/// A new BSTR holding the text; the receiver frees it with SysFreeString.
[[nodiscard]] BSTR newBstr(const QString &text);
/// The text of a BSTR; NULL is the empty string, as the component model treats it.
[[nodiscard]] QString textOf(BSTR text);
/// The text of a zero-terminated string that need not be a BSTR (GetIDsOfNames' names).
[[nodiscard]] QString textOfTerminated(const OLECHAR *text);

} // namespace velmarith::server
