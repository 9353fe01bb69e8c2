// The vtables of the four dual interfaces. Every slot packs its typed arguments into
// VARIANTs and takes the same path as IDispatch::Invoke, so both ways behave alike.
#include "server/DualVtables.h"
#include "server/Guid.h"

#include "server/ServerObject.h"
#include "server/TypeInformation.h"

namespace velmarith::server {
namespace {

constexpr DISPID property(int index)
{
    return 0x40030000 + index;
}
constexpr DISPID kMethod = 0x60030000;

template <class Self>
ServerObject &self(Self *This)
{
    return ownerOf<ServerObject>(This);
}

template <class Self>
HRESULT queryInterface(Self *This, REFIID riid, void **object)
{
    return onThreadOf(self(This), [&] { return self(This).queryInterface(riid, object); });
}

template <class Self>
ULONG addRef(Self *This)
{
    return self(This).addRef();
}

template <class Self>
ULONG release(Self *This)
{
    return self(This).release();
}

template <class Self>
HRESULT getTypeInfoCount(Self *, UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

template <class Self>
HRESULT getTypeInfo(Self *This, UINT index, LCID, ITypeInfo **typeInfo)
{
    if (!typeInfo)
        return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    *typeInfo = typeInfoOf(*self(This).classInfo().dual);
    return S_OK;
}

template <class Self>
HRESULT getIDsOfNames(Self *This, REFIID riid, OLECHAR **names, UINT count, LCID, DISPID *ids)
{
    if (!isNullIid(riid))
        return DISP_E_UNKNOWNINTERFACE;
    return onThreadOf(self(This), [&] { return self(This).getIDsOfNames(names, count, ids); });
}

template <class Self>
HRESULT invoke(Self *This, DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
               EXCEPINFO *exception, UINT *argError)
{
    if (!isNullIid(riid))
        return DISP_E_UNKNOWNINTERFACE;
    return onThreadOf(self(This), [&] { return self(This).invoke(id, flags, params, result, exception, argError); });
}

VARIANT borrowed(BSTR text)
{
    VARIANT value{};
    value.vt = VT_BSTR;
    value.bstrVal = text;
    return value;
}

VARIANT borrowed(int16_t number)
{
    VARIANT value{};
    value.vt = VT_I2;
    value.iVal = number;
    return value;
}

VARIANT borrowed(int32_t number)
{
    VARIANT value{};
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

VARIANT borrowed(VelmarithCollection *collection)
{
    VARIANT value{};
    value.vt = VT_DISPATCH;
    value.pdispVal = reinterpret_cast<IDispatch *>(collection);
    return value;
}

// Hands a result over to the caller's out-parameter, ownership included.
void take(VARIANT &result, BSTR &out) { out = result.bstrVal; }
void take(VARIANT &result, int16_t &out) { out = result.iVal; }
void take(VARIANT &result, int32_t &out) { out = result.lVal; }
void take(VARIANT &result, VelmarithCollection *&out) { out = reinterpret_cast<VelmarithCollection *>(result.pdispVal); }

template <class Self, DISPID Id, class T>
HRESULT getProperty(Self *This, T *out)
{
    if (!out)
        return E_POINTER;
    return onThreadOf(self(This), [&] {
        VARIANT result{};
        const HRESULT status = self(This).call(Id, DISPATCH_PROPERTYGET, slotArguments({}), &result, nullptr, nullptr);
        if (status == S_OK)
            take(result, *out);
        return status;
    });
}

template <class Self, DISPID Id, class T, WORD Flags = DISPATCH_PROPERTYPUT>
HRESULT putProperty(Self *This, T value)
{
    return onThreadOf(self(This), [&] {
        const VARIANT given = borrowed(value);
        return self(This).call(Id, Flags, slotArguments({&given}), nullptr, nullptr, nullptr);
    });
}

template <class Self>
HRESULT callWithoutArguments(Self *This)
{
    return onThreadOf(self(This), [&] { return self(This).call(kMethod, DISPATCH_METHOD, slotArguments({}), nullptr, nullptr, nullptr); });
}

HRESULT inputAny(WinInputInterface *This, BSTR prompt, BSTR title, BSTR mode, VelmarithCollection **defaults, BSTR *result)
{
    if (!result)
        return E_POINTER;
    return onThreadOf(self(This), [&] {
        const VARIANT givenPrompt = borrowed(prompt);
        const VARIANT givenTitle = borrowed(title);
        const VARIANT givenMode = borrowed(mode);
        VARIANT givenDefaults{};
        givenDefaults.vt = VT_DISPATCH | VT_BYREF;
        givenDefaults.ppdispVal = reinterpret_cast<IDispatch **>(defaults);
        VARIANT returned{};
        const HRESULT status =
            self(This).call(kMethod, DISPATCH_METHOD,
                            slotArguments({&givenPrompt, &givenTitle, &givenMode, defaults ? &givenDefaults : nullptr}),
                            &returned, nullptr, nullptr);
        if (status == S_OK)
            take(returned, *result);
        return status;
    });
}

HRESULT manageTable(WinMagngeInterface *This, BSTR tableName, int16_t listColumn)
{
    return onThreadOf(self(This), [&] {
        const VARIANT givenName = borrowed(tableName);
        const VARIANT givenColumn = borrowed(listColumn);
        return self(This).call(kMethod, DISPATCH_METHOD, slotArguments({&givenName, &givenColumn}), nullptr, nullptr, nullptr);
    });
}

} // namespace

#define VELMARITH_DISPATCH_SLOTS(Self)                                                          \
    .QueryInterface = queryInterface<Self>, .AddRef = addRef<Self>, .Release = release<Self>,  \
    .GetTypeInfoCount = getTypeInfoCount<Self>, .GetTypeInfo = getTypeInfo<Self>,              \
    .GetIDsOfNames = getIDsOfNames<Self>, .Invoke = invoke<Self>

#define VELMARITH_PROPERTY_SLOTS(Self, Name, Index, Type) \
    .get_##Name = getProperty<Self, property(Index), Type>, .put_##Name = putProperty<Self, property(Index), Type>

const WinFileInterfaceVtbl kWinFileVtable = {
    VELMARITH_DISPATCH_SLOTS(WinFileInterface),
    VELMARITH_PROPERTY_SLOTS(WinFileInterface, FilePattern, 0, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinFileInterface, FilePlace, 1, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinFileInterface, FileType, 2, int16_t),
    VELMARITH_PROPERTY_SLOTS(WinFileInterface, FilePath, 3, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinFileInterface, FileFileName, 4, BSTR),
    .FileAny = callWithoutArguments<WinFileInterface>,
};

const WinInputInterfaceVtbl kWinInputVtable = {
    VELMARITH_DISPATCH_SLOTS(WinInputInterface),
    .InputAny = inputAny,
};

const WinSearchInterfaceVtbl kWinSearchVtable = {
    VELMARITH_DISPATCH_SLOTS(WinSearchInterface),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchCaption, 0, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchWidth, 1, int32_t),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchHeight, 2, int32_t),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchWorkMode, 3, int16_t),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchDataType, 4, int16_t),
    .get_SearchDataColl = getProperty<WinSearchInterface, property(5), VelmarithCollection *>,
    .unassigned18 = [](WinSearchInterface *) { return E_NOTIMPL; },
    .putref_SearchDataColl = putProperty<WinSearchInterface, property(5), VelmarithCollection *, DISPATCH_PROPERTYPUTREF>,
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchMainData, 6, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchSubData, 7, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchSearchSubData, 8, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinSearchInterface, SearchQueryKey, 9, BSTR),
    .SearchAny = callWithoutArguments<WinSearchInterface>,
};

const WinMagngeInterfaceVtbl kWinMagngeVtable = {
    VELMARITH_DISPATCH_SLOTS(WinMagngeInterface),
    VELMARITH_PROPERTY_SLOTS(WinMagngeInterface, MagngeFormat, 0, int16_t),
    VELMARITH_PROPERTY_SLOTS(WinMagngeInterface, MagngeMode, 1, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinMagngeInterface, MagngeTablName, 2, BSTR),
    VELMARITH_PROPERTY_SLOTS(WinMagngeInterface, mDataSql, 3, BSTR),
    .ManageTable = manageTable,
};

#undef VELMARITH_PROPERTY_SLOTS
#undef VELMARITH_DISPATCH_SLOTS

} // namespace velmarith::server
