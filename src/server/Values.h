#pragma once

#include "server/TypeInfo.h"

#include <velmarith/Variant.h>
#include <velmarith/server.h>

#include <QVariant>

namespace velmarith::server {

/// Converts a host's argument to the declared type, as the component model coerces:
/// DISP_E_OVERFLOW for a number out of the type's range, DISP_E_TYPEMISMATCH for a value of
/// another kind (an object for text, text that is not a number, a foreign object for a
/// collection). References (VT_BYREF) are followed.
HRESULT argumentValue(const VARIANT &value, ValueType type, QVariant &out);
/// Hands a result to the host in a VARIANT it owns.
void putResult(const QVariant &value, ValueType type, VARIANT &out);

/// A collection item from a host's value (empty, numbers, booleans, text, our collections).
HRESULT itemValue(const VARIANT &value, Variant &out);
void putItem(const Variant &value, VARIANT &out);

/// The value a VARIANT refers to, through VT_BYREF and VT_VARIANT references.
[[nodiscard]] const VARIANT &dereferenced(const VARIANT &value, VARIANT &scratch);

} // namespace velmarith::server
