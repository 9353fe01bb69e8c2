#include "server/Values.h"

#include "server/CollectionObject.h"
#include "server/ComObject.h"
#include "server/Strings.h"

#include <velmarith/Error.h>

#include <QLocale>

#include <cmath>
#include <limits>

namespace velmarith::server {
namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>; // clang 14 does not deduce aggregates yet

// Text is read whole, in the C locale; "12abc" is not a number.
HRESULT numberOf(const Variant &value, double &out)
{
    if (value.isObject())
        return DISP_E_TYPEMISMATCH;
    if (!value.isText()) {
        out = value.toDouble();
        return S_OK;
    }
    bool ok = false;
    out = QLocale::c().toDouble(value.toString().trimmed(), &ok);
    return ok ? S_OK : DISP_E_TYPEMISMATCH;
}

template <class Integer>
HRESULT integerOf(const Variant &value, QVariant &out)
{
    double number = 0;
    if (const HRESULT status = numberOf(value, number); status != S_OK)
        return status;
    const double rounded = std::nearbyint(number); // halves to even, as automation rounds
    if (!(rounded >= std::numeric_limits<Integer>::min() && rounded <= std::numeric_limits<Integer>::max()))
        return DISP_E_OVERFLOW;
    out = QVariant::fromValue(static_cast<Integer>(rounded));
    return S_OK;
}

template <class Value>
HRESULT copyReferred(const Value *reference, Value &target)
{
    if (!reference)
        return E_POINTER;
    target = *reference;
    return S_OK;
}

} // namespace

HRESULT dereferenced(const VARIANT &value, VARIANT &scratch, const VARIANT *&out)
{
    const VARIANT *current = &value;
    if (current->vt == (VT_BYREF | VT_VARIANT)) {
        if (!current->pvarVal)
            return E_POINTER;
        current = current->pvarVal;
        // A chain could lead back to itself; automation follows one VARIANT reference only.
        if (current->vt == (VT_BYREF | VT_VARIANT))
            return DISP_E_TYPEMISMATCH;
    }
    out = current;
    if (!(current->vt & VT_BYREF))
        return S_OK;
    scratch = VARIANT{};
    scratch.vt = current->vt & ~VT_BYREF;
    HRESULT status = DISP_E_TYPEMISMATCH;
    switch (scratch.vt) {
    case VT_I2: status = copyReferred(current->piVal, scratch.iVal); break;
    case VT_I4: status = copyReferred(current->plVal, scratch.lVal); break;
    case VT_BSTR: status = copyReferred(current->pbstrVal, scratch.bstrVal); break;
    case VT_DISPATCH: status = copyReferred(current->ppdispVal, scratch.pdispVal); break;
    default: break;
    }
    if (status != S_OK)
        return status;
    out = &scratch;
    return S_OK;
}

HRESULT itemValue(const VARIANT &given, Variant &out)
{
    VARIANT scratch;
    const VARIANT *referred = nullptr;
    if (const HRESULT status = dereferenced(given, scratch, referred); status != S_OK)
        return status;
    const VARIANT &value = *referred;
    switch (value.vt) {
    case VT_EMPTY: out = Variant(); return S_OK;
    case VT_I2: out = Variant(value.iVal); return S_OK;
    case VT_I4: out = Variant(value.lVal); return S_OK;
    case VT_R8: out = Variant(value.dblVal); return S_OK;
    case VT_BOOL: out = Variant(value.boolVal != 0); return S_OK;
    case VT_BSTR: out = Variant(textOf(value.bstrVal)); return S_OK;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (auto collection = collectionBehind(value.pdispVal)) {
            out = Variant(std::move(*collection));
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    default: return DISP_E_TYPEMISMATCH;
    }
}

HRESULT argumentValue(const VARIANT &value, ValueType type, QVariant &out)
{
    Variant item;
    if (const HRESULT status = itemValue(value, item); status != S_OK)
        return status;
    switch (type) {
    case ValueType::Text:
        if (item.isObject())
            return DISP_E_TYPEMISMATCH;
        out = item.toString();
        return S_OK;
    case ValueType::Int16: return integerOf<int16_t>(item, out);
    case ValueType::Int32: return integerOf<int32_t>(item, out);
    case ValueType::Collection:
        if (item.isEmpty())
            out = QVariant::fromValue(Variant::Object());
        else if (item.isObject())
            out = QVariant::fromValue(item.toObject());
        else
            return DISP_E_TYPEMISMATCH;
        return S_OK;
    case ValueType::Void: break;
    }
    return DISP_E_TYPEMISMATCH;
}

namespace {

template <class T>
HRESULT convertedArgument(const VARIANT &value, ValueType type, T &out)
{
    QVariant converted;
    const HRESULT status = argumentValue(value, type, converted);
    if (status == S_OK)
        out = converted.value<T>();
    return status;
}

} // namespace

HRESULT argumentAs(const VARIANT &value, QString &out)
{
    if (value.vt != VT_BSTR)
        return convertedArgument(value, ValueType::Text, out);
    out = textOf(value.bstrVal);
    return S_OK;
}

HRESULT argumentAs(const VARIANT &value, int16_t &out)
{
    if (value.vt != VT_I2)
        return convertedArgument(value, ValueType::Int16, out);
    out = value.iVal;
    return S_OK;
}

HRESULT argumentAs(const VARIANT &value, int32_t &out)
{
    if (value.vt != VT_I4)
        return convertedArgument(value, ValueType::Int32, out);
    out = value.lVal;
    return S_OK;
}

HRESULT argumentAs(const VARIANT &value, Variant::Object &out)
{
    return convertedArgument(value, ValueType::Collection, out);
}

void putValue(const QString &value, VARIANT &out)
{
    out = VARIANT{};
    out.vt = VT_BSTR;
    out.bstrVal = newBstr(value);
}

void putValue(int16_t value, VARIANT &out)
{
    out = VARIANT{};
    out.vt = VT_I2;
    out.iVal = value;
}

void putValue(int32_t value, VARIANT &out)
{
    out = VARIANT{};
    out.vt = VT_I4;
    out.lVal = value;
}

void putValue(const Variant::Object &value, VARIANT &out)
{
    putItem(Variant(value), out);
}

void putResult(const QVariant &value, ValueType type, VARIANT &out)
{
    out = VARIANT{};
    withCppType(type, [&](auto held) { putValue(value.value<decltype(held)>(), out); });
}

void putItem(const Variant &value, VARIANT &out)
{
    out = VARIANT{};
    value.visit(Overloaded{
        [&](std::monostate) { out.vt = VT_EMPTY; },
        [&](const QString &text) { out.vt = VT_BSTR; out.bstrVal = newBstr(text); },
        [&](int16_t number) { out.vt = VT_I2; out.iVal = number; },
        [&](int32_t number) { out.vt = VT_I4; out.lVal = number; },
        [&](double number) { out.vt = VT_R8; out.dblVal = number; },
        [&](bool flag) { out.vt = VT_BOOL; out.boolVal = flag ? -1 : 0; },
        [&](const Variant::Object &object) {
            out.vt = VT_DISPATCH;
            out.pdispVal = object ? reinterpret_cast<IDispatch *>(collectionObject(object)) : nullptr;
        },
    });
}

} // namespace velmarith::server

extern "C" {

void VariantInit(VARIANT *value)
{
    if (value)
        *value = VARIANT{};
}

VELMARITH_CALLS_THROUGH_BASE_INTERFACE HRESULT VariantClear(VARIANT *value)
{
    if (!value)
        return E_POINTER;
    if (value->vt == VT_BSTR)
        SysFreeString(value->bstrVal);
    else if ((value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) && value->punkVal)
        value->punkVal->lpVtbl->Release(value->punkVal);
    *value = VARIANT{};
    return S_OK;
}

}
