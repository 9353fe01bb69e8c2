#pragma once

#include "server/TypeInfo.h"

#include <velmarith/Variant.h>
#include <velmarith/server.h>

#include <QVariant>

namespace velmarith::server {

/// Converts a host's argument to the declared type, as the component model coerces:
/// DISP_E_OVERFLOW for a number out of the type's range, DISP_E_TYPEMISMATCH for a value of
/// another kind (an object for text, text that is not a number, a foreign object for a
/// collection). References (VT_BYREF) are followed as dereferenced() says.
HRESULT argumentValue(const VARIANT &value, ValueType type, QVariant &out);
/// Hands a result to the host in a VARIANT it owns.
void putResult(const QVariant &value, ValueType type, VARIANT &out);

/// A collection item from a host's value (empty, numbers, booleans, text, our collections).
HRESULT itemValue(const VARIANT &value, Variant &out);
void putItem(const Variant &value, VARIANT &out);

/// The value a VARIANT stands for in `out` (`scratch` holds a referred value): a VT_BYREF
/// reference is followed, through at most one VARIANT. E_POINTER for a null reference,
/// DISP_E_TYPEMISMATCH for a longer chain or a reference to a type no argument takes.
HRESULT dereferenced(const VARIANT &value, VARIANT &scratch, const VARIANT *&out);

} // namespace velmarith::server
