// Arguments of every kind a host can pass to IDispatch::Invoke, by-reference chains included
// (also ones that lead back to themselves), put into the lookup window's properties: each call
// ends with an automation status, and a put that fails leaves the property as it was.
#include "Property.h"

#include "server/Strings.h"

#include <velmarith/server.h>

#include <array>
#include <cstdint>
#include <cstring>

using namespace velmarith;

namespace {

constexpr int kProperties = 10;
constexpr size_t kMostArguments = 4;

// Reads the fuzzer's bytes one at a time; zero once they run out.
class Bytes
{
public:
    Bytes(const uint8_t *data, size_t size) : mData(data), mSize(size) {}
    uint8_t next() { return mAt < mSize ? mData[mAt++] : 0; }
    int32_t number()
    {
        int32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = int32_t(uint32_t(value) << 8 | next());
        return value;
    }

private:
    const uint8_t *mData;
    size_t mSize;
    size_t mAt = 0;
};

// The arguments of one call and everything their references point at; frees its strings.
struct Arguments {
    std::array<VARIANT, kMostArguments> values{};
    std::array<int16_t, kMostArguments> shorts{};
    std::array<int32_t, kMostArguments> longs{};
    std::array<BSTR, kMostArguments> texts{};
    std::array<IDispatch *, kMostArguments> objects{};
    size_t count = 0;

    ~Arguments()
    {
        for (BSTR text : texts)
            SysFreeString(text);
    }
};

BSTR textFrom(Bytes &bytes)
{
    const uint8_t length = bytes.next() % 12;
    std::array<OLECHAR, 13> text{};
    for (uint8_t i = 0; i < length; ++i)
        text[i] = OLECHAR(bytes.next() % 4 == 0 ? u'0' + bytes.next() % 10 : 0x4E00 + bytes.next());
    return SysAllocString(text.data());
}

void fill(Arguments &arguments, Bytes &bytes, IDispatch *collection)
{
    arguments.count = bytes.next() % (kMostArguments + 1);
    for (size_t i = 0; i < arguments.count; ++i) {
        VARIANT &value = arguments.values[i];
        const uint8_t kind = bytes.next();
        const bool nullReference = kind & 0x80;
        arguments.shorts[i] = int16_t(bytes.number());
        arguments.longs[i] = bytes.number();
        arguments.texts[i] = textFrom(bytes);
        arguments.objects[i] = bytes.next() % 2 ? collection : nullptr;
        switch (kind % 14) {
        case 0: value.vt = VT_EMPTY; break;
        case 1: value.vt = VT_I2; value.iVal = arguments.shorts[i]; break;
        case 2: value.vt = VT_I4; value.lVal = arguments.longs[i]; break;
        case 3: value.vt = VT_R8; value.dblVal = double(arguments.longs[i]) / 3.0; break;
        case 4: value.vt = VT_BOOL; value.boolVal = int16_t(arguments.shorts[i] % 2 ? -1 : 0); break;
        case 5: value.vt = VT_BSTR; value.bstrVal = arguments.texts[i]; break;
        case 6: value.vt = VT_DISPATCH; value.pdispVal = arguments.objects[i]; break;
        case 7: value.vt = VT_ERROR; value.scode = DISP_E_PARAMNOTFOUND; break;
        case 8: value.vt = VT_BYREF | VT_I2; value.piVal = nullReference ? nullptr : &arguments.shorts[i]; break;
        case 9: value.vt = VT_BYREF | VT_I4; value.plVal = nullReference ? nullptr : &arguments.longs[i]; break;
        case 10: value.vt = VT_BYREF | VT_BSTR; value.pbstrVal = nullReference ? nullptr : &arguments.texts[i]; break;
        case 11: value.vt = VT_BYREF | VT_DISPATCH; value.ppdispVal = nullReference ? nullptr : &arguments.objects[i]; break;
        case 12: // any argument of the call, itself included
            value.vt = VT_BYREF | VT_VARIANT;
            value.pvarVal = nullReference ? nullptr : &arguments.values[bytes.next() % kMostArguments];
            break;
        default: value.vt = VARTYPE(bytes.next() | (bytes.next() % 2 ? VT_BYREF : 0)); break;
        }
    }
}

// A property's value as text, to tell whether a call changed it.
QString read(IDispatch *object, DISPID property)
{
    VARIANT result{};
    DISPPARAMS none{};
    if (object->lpVtbl->Invoke(object, property, nullptr, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr) != S_OK)
        return QStringLiteral("<unreadable>");
    QString text;
    switch (result.vt) {
    case VT_BSTR: text = server::textOf(result.bstrVal); break;
    case VT_I2: text = QString::number(result.iVal); break;
    case VT_I4: text = QString::number(result.lVal); break;
    case VT_DISPATCH: text = QString::number(quintptr(result.pdispVal != nullptr)); break;
    default: text = QStringLiteral("<type %1>").arg(result.vt); break;
    }
    VariantClear(&result);
    return text;
}

bool isAutomationStatus(HRESULT status)
{
    for (HRESULT known : {S_OK, DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW, DISP_E_PARAMNOTOPTIONAL, DISP_E_BADPARAMCOUNT,
                          DISP_E_PARAMNOTFOUND, DISP_E_MEMBERNOTFOUND, E_POINTER, E_INVALIDARG}) {
        if (status == known)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static IDispatch *const search = [] {
        IClassFactory *factory = nullptr;
        DllGetClassObject(&CLSID_WinSearch, &IID_IClassFactory, reinterpret_cast<void **>(&factory));
        void *made = nullptr;
        factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IDispatch, &made);
        factory->lpVtbl->Release(factory);
        return static_cast<IDispatch *>(made);
    }();
    static VelmarithCollection *const collection = [] {
        VelmarithCollection *made = nullptr;
        VelmarithCreateCollection(&made);
        return made;
    }();

    Bytes bytes(data, size);
    const DISPID property = 0x40030000 + bytes.next() % kProperties;
    const uint8_t shape = bytes.next();
    const WORD flags = std::array<WORD, 4>{DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, DISPATCH_PROPERTYGET,
                                           DISPATCH_METHOD | DISPATCH_PROPERTYGET}[shape % 4];
    Arguments arguments;
    fill(arguments, bytes, reinterpret_cast<IDispatch *>(collection));
    DISPID named = DISPID_PROPERTYPUT;
    const bool namesThePut = shape & 0x10;
    DISPPARAMS params{arguments.values.data(), namesThePut ? &named : nullptr, UINT(arguments.count),
                      namesThePut && arguments.count > 0 ? 1u : 0u};

    const QString before = read(search, property);
    VARIANT result{};
    UINT argError = 0;
    const HRESULT status = search->lpVtbl->Invoke(search, property, nullptr, 0, flags, &params, &result, nullptr, &argError);
    VariantClear(&result);
    fuzz::require(isAutomationStatus(status), "Invoke answers with an automation status",
                  QString::number(uint32_t(status), 16));
    if (status != S_OK)
        fuzz::require(read(search, property) == before, "a failed call leaves the property as it was", before);
    return 0;
}
