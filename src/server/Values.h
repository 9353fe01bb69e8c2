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

/// argumentValue for a value of the C++ type a property of that type holds; an argument of
/// exactly that type is taken without the general conversion.
HRESULT argumentAs(const VARIANT &value, QString &out);
HRESULT argumentAs(const VARIANT &value, int16_t &out);
HRESULT argumentAs(const VARIANT &value, int32_t &out);
HRESULT argumentAs(const VARIANT &value, Variant::Object &out);
/// putResult for a value of such a C++ type.
void putValue(const QString &value, VARIANT &out);
void putValue(int16_t value, VARIANT &out);
void putValue(int32_t value, VARIANT &out);
void putValue(const Variant::Object &value, VARIANT &out);

/// Calls `action` with a value-initialised object of the C++ type that holds a value type:
/// QString, int16_t, int32_t or Variant::Object; nothing for Void.
template <class Action>
void withCppType(ValueType type, Action &&action)
{
    switch (type) {
    case ValueType::Text: action(QString()); break;
    case ValueType::Int16: action(int16_t()); break;
    case ValueType::Int32: action(int32_t()); break;
    case ValueType::Collection: action(Variant::Object()); break;
    case ValueType::Void: break;
    }
}

/// A collection item from a host's value (empty, numbers, booleans, text, our collections).
HRESULT itemValue(const VARIANT &value, Variant &out);
void putItem(const Variant &value, VARIANT &out);

/// The value a VARIANT stands for in `out` (`scratch` holds a referred value): a VT_BYREF
/// reference is followed, through at most one VARIANT. E_POINTER for a null reference,
/// DISP_E_TYPEMISMATCH for a longer chain or a reference to a type no argument takes.
HRESULT dereferenced(const VARIANT &value, VARIANT &scratch, const VARIANT *&out);

} // namespace velmarith::server
