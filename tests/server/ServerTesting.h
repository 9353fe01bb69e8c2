#pragma once

// Short ways to call the component server from tests as a C host would.

#include "server/ComObject.h"
#include "server/Strings.h"

#include <velmarith/server.h>

#include <QString>

#include <gtest/gtest.h>

#include <vector>

namespace velmarith::test {

using server::ComRef;

constexpr DISPID property(int index)
{
    return 0x40030000 + index;
}
constexpr DISPID kMethod = 0x60030000;

/// A VARIANT the test owns.
class Value
{
public:
    Value() = default;
    static Value text(const QString &text)
    {
        Value value;
        value.mValue.vt = VT_BSTR;
        value.mValue.bstrVal = server::newBstr(text);
        return value;
    }
    static Value i2(int16_t number) { return Value(VT_I2, [&](VARIANT &v) { v.iVal = number; }); }
    static Value i4(int32_t number) { return Value(VT_I4, [&](VARIANT &v) { v.lVal = number; }); }
    /// Holds its own reference to the object.
    static Value object(void *object)
    {
        auto *dispatch = static_cast<IDispatch *>(object);
        if (dispatch)
            dispatch->lpVtbl->AddRef(dispatch);
        return Value(VT_DISPATCH, [&](VARIANT &v) { v.pdispVal = dispatch; });
    }
    static Value missing() { return Value(VT_ERROR, [](VARIANT &v) { v.scode = DISP_E_PARAMNOTFOUND; }); }

    Value(Value &&other) noexcept : mValue(std::exchange(other.mValue, VARIANT{})) {}
    Value &operator=(Value &&other) noexcept
    {
        std::swap(mValue, other.mValue);
        return *this;
    }
    ~Value() { VariantClear(&mValue); }

    [[nodiscard]] VARIANT &raw() { return mValue; }
    [[nodiscard]] const VARIANT &raw() const { return mValue; }
    [[nodiscard]] QString asText() const { return mValue.vt == VT_BSTR ? server::textOf(mValue.bstrVal) : QStringLiteral("<not text>"); }

private:
    template <class Fill>
    Value(VARTYPE type, Fill &&fill)
    {
        mValue.vt = type;
        fill(mValue);
    }

    VARIANT mValue{};
};

/// The object behind any interface pointer, as its IDispatch.
inline IDispatch *dispatchOf(void *object)
{
    return static_cast<IDispatch *>(object);
}

/// IDispatch::Invoke with the arguments in declared order; a put names its value
/// DISPID_PROPERTYPUT, as automation clients do.
inline HRESULT invoke(void *object, DISPID id, WORD flags, std::vector<const Value *> arguments = {},
                      Value *result = nullptr, EXCEPINFO *exception = nullptr, UINT *argError = nullptr)
{
    std::vector<VARIANT> reversed;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
        reversed.push_back((*it)->raw());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    IDispatch *dispatch = dispatchOf(object);
    return dispatch->lpVtbl->Invoke(dispatch, id, nullptr, 0, flags, &params, result ? &result->raw() : nullptr,
                                    exception, argError);
}

/// A new object of the class, through its class factory, as the interface asked for.
template <class Interface = IDispatch>
ComRef<Interface> createObject(const CLSID &clsid, const IID &iid = IID_IDispatch)
{
    ComRef<IClassFactory> factory;
    EXPECT_EQ(DllGetClassObject(&clsid, &IID_IClassFactory, reinterpret_cast<void **>(factory.receive())), S_OK);
    ComRef<Interface> object;
    if (factory.get()) {
        EXPECT_EQ(factory.get()->lpVtbl->CreateInstance(factory.get(), nullptr, &iid,
                                                        reinterpret_cast<void **>(object.receive())),
                  S_OK);
    }
    return object;
}

/// The strings of an EXCEPINFO, freed when it goes.
struct Exception : EXCEPINFO {
    Exception() : EXCEPINFO{} {}
    ~Exception()
    {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    Exception(const Exception &) = delete;
    Exception &operator=(const Exception &) = delete;
};

} // namespace velmarith::test
