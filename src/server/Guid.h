#pragma once

#include <velmarith/server.h>

#include <QString>

#include <optional>

namespace velmarith::server {

/// Reads "{AF0940A8-FE9F-4AC3-A506-7E3FA0C5516B}" (braces required, any letter case).
[[nodiscard]] std::optional<GUID> parseGuid(const QString &text);
/// The registry form: braces, upper-case hexadecimal.
[[nodiscard]] QString guidText(const GUID &guid);
[[nodiscard]] bool sameGuid(const GUID &a, const GUID &b);
/// Null-safe form for the REFIID arguments a host may pass as NULL.
[[nodiscard]] inline bool sameGuid(REFIID a, const GUID &b) { return a && sameGuid(*a, b); }

/// Whether an interface id is the IID_NULL that GetIDsOfNames and Invoke require; a host that
/// passes no pointer at all is taken to mean it too.
[[nodiscard]] inline bool isNullIid(REFIID riid) { return !riid || sameGuid(*riid, IID_NULL); }

} // namespace velmarith::server
