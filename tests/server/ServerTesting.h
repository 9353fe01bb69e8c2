#pragma once

// Short ways to call the component server from tests as a C host would: through the exports
// of libVelmarith.so alone.

#include <velmarith/server.h>

#include <QString>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace velmarith::test {

/// Holds one reference to an interface and releases it when it goes.
template <class Interface>
class ComRef
{
public:
    ComRef() = default;
    /// Takes over a reference the caller already holds.
    explicit ComRef(Interface *held) : mInterface(held) {}
    ComRef(ComRef &&other) noexcept : mInterface(std::exchange(other.mInterface, nullptr)) {}
    ComRef &operator=(ComRef &&other) noexcept
    {
        std::swap(mInterface, other.mInterface);
        return *this;
    }
    ~ComRef()
    {
        if (mInterface)
            mInterface->lpVtbl->Release(mInterface);
    }

    [[nodiscard]] Interface *get() const { return mInterface; }
    /// For an out-parameter that receives a new reference.
    [[nodiscard]] Interface **receive() { return &mInterface; }

private:
    Interface *mInterface = nullptr;
};

/// A BSTR made from text; the caller frees it.
inline BSTR bstrOf(const QString &text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), static_cast<UINT>(text.size()));
}

inline QString textOf(BSTR text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), static_cast<qsizetype>(SysStringLen(text)));
}

inline bool sameGuid(const GUID &a, const GUID &b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

/// For the REFIID a caller may pass as NULL.
inline bool sameGuid(REFIID a, const GUID &b)
{
    return a && sameGuid(*a, b);
}

/// Reads "{AF0940A8-FE9F-4AC3-A506-7E3FA0C5516B}".
inline std::optional<GUID> parseGuid(const QString &text)
{
    const QString digits = QString(text).remove(u'{').remove(u'}').remove(u'-');
    if (digits.size() != 32)
        return std::nullopt;
    GUID guid{};
    guid.Data1 = digits.left(8).toUInt(nullptr, 16);
    guid.Data2 = static_cast<uint16_t>(digits.mid(8, 4).toUInt(nullptr, 16));
    guid.Data3 = static_cast<uint16_t>(digits.mid(12, 4).toUInt(nullptr, 16));
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<uint8_t>(digits.mid(16 + 2 * i, 2).toUInt(nullptr, 16));
    return guid;
}

/// The object's identity: its IUnknown, as the component model compares objects.
inline IUnknown *identityOf(void *object)
{
    auto *unknown = static_cast<IUnknown *>(object);
    IUnknown *identity = nullptr;
    if (!unknown || unknown->lpVtbl->QueryInterface(unknown, &IID_IUnknown, reinterpret_cast<void **>(&identity)) != S_OK)
        return nullptr;
    identity->lpVtbl->Release(identity);
    return identity;
}

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
        value.mValue.bstrVal = bstrOf(text);
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
    [[nodiscard]] QString asText() const { return mValue.vt == VT_BSTR ? textOf(mValue.bstrVal) : QStringLiteral("<not text>"); }

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
