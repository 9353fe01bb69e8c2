// The type library read back through ITypeLib and ITypeInfo as a host that builds its wrappers
// from type information reads it, compared with the classes' published contract: entry order,
// kinds, flags, every member's dispatch id, invoke kind, vtable slot, parameters and defaults.
#include "ServerTesting.h"

#include "support/QtPrinting.h"

#include <velmarith/server.h>

#include <QTemporaryDir>

using namespace velmarith::test;
using namespace Qt::StringLiterals;

namespace {

QString guidText(const GUID &guid)
{
    return u"{%1-%2-%3-%4%5-%6%7%8%9%10%11}"_s.arg(guid.Data1, 8, 16, QChar(u'0'))
        .arg(guid.Data2, 4, 16, QChar(u'0'))
        .arg(guid.Data3, 4, 16, QChar(u'0'))
        .arg(guid.Data4[0], 2, 16, QChar(u'0'))
        .arg(guid.Data4[1], 2, 16, QChar(u'0'))
        .arg(guid.Data4[2], 2, 16, QChar(u'0'))
        .arg(guid.Data4[3], 2, 16, QChar(u'0'))
        .arg(guid.Data4[4], 2, 16, QChar(u'0'))
        .arg(guid.Data4[5], 2, 16, QChar(u'0'))
        .arg(guid.Data4[6], 2, 16, QChar(u'0'))
        .arg(guid.Data4[7], 2, 16, QChar(u'0'))
        .toUpper();
}

QString typeName(VARTYPE type)
{
    switch (type) {
    case VT_BSTR: return u"BSTR"_s;
    case VT_I2: return u"I2"_s;
    case VT_I4: return u"I4"_s;
    case VT_DISPATCH: return u"Collection"_s;
    case VT_VOID: return u"void"_s;
    default: return u"vt%1"_s.arg(type);
    }
}

QString nameOf(ITypeInfo *info, MEMBERID member)
{
    BSTR name = nullptr;
    EXPECT_EQ(info->lpVtbl->GetDocumentation(info, member, &name, nullptr, nullptr, nullptr), S_OK);
    const QString text = textOf(name);
    SysFreeString(name);
    return text;
}

QString defaultOf(const PARAMDESCEX &fallback)
{
    const VARIANT &value = fallback.varDefaultValue;
    switch (value.vt) {
    case VT_BSTR: return u"\"%1\""_s.arg(textOf(value.bstrVal));
    case VT_I2: return QString::number(value.iVal);
    case VT_I4: return QString::number(value.lVal);
    case VT_DISPATCH: return value.pdispVal ? u"an object"_s : u"Nothing"_s;
    default: return u"vt%1"_s.arg(value.vt);
    }
}

// One member as a line: kind, name, dispatch id, slot, parameters with names, types, flags and
// defaults, and the value it gives.
QString memberLine(ITypeInfo *info, const FUNCDESC &function)
{
    const char *kinds[] = {"", "method", "get", "", "let", "", "", "", "set"};
    BSTR names[8] = {};
    UINT named = 0;
    EXPECT_EQ(info->lpVtbl->GetNames(info, function.memid, names, 8, &named), S_OK);
    QStringList parameters;
    for (int i = 0; i < function.cParams; ++i) {
        const ELEMDESC &element = function.lprgelemdescParam[i];
        const uint16_t flags = element.paramdesc.wParamFlags;
        const bool isProperty = function.invkind != INVOKE_FUNC;
        QString text = (isProperty ? u"value"_s : textOf(names[i + 1])) + u' ' + typeName(element.tdesc.vt);
        text += (flags & PARAMFLAG_FIN) ? u" in"_s : u""_s;
        text += (flags & PARAMFLAG_FOUT) ? u" out"_s : u""_s;
        if (flags & PARAMFLAG_FOPT)
            text += u" optional"_s;
        if (flags & PARAMFLAG_FHASDEFAULT)
            text += u" = "_s + defaultOf(*element.paramdesc.pparamdescex);
        parameters.append(text);
    }
    const QString line = u"%1 %2 %3 slot %4 (%5) -> %6"_s.arg(QString::fromLatin1(kinds[function.invkind]), textOf(names[0]))
                             .arg(uint32_t(function.memid), 0, 16)
                             .arg(function.oVft / int(sizeof(void *)))
                             .arg(parameters.join(u", "_s), typeName(function.elemdescFunc.tdesc.vt));
    for (UINT i = 0; i < named; ++i)
        SysFreeString(names[i]);
    return line;
}

// An entry as lines: its header, then each member or implemented type.
QStringList describe(ITypeInfo *info)
{
    TYPEATTR *attributes = nullptr;
    EXPECT_EQ(info->lpVtbl->GetTypeAttr(info, &attributes), S_OK);
    const char *kinds[] = {"enum", "record", "module", "interface", "dispatch", "coclass"};
    QStringList flags;
    for (const auto &[bit, word] : {std::pair{TYPEFLAG_FCANCREATE, "cancreate"}, std::pair{TYPEFLAG_FHIDDEN, "hidden"},
                                    std::pair{TYPEFLAG_FNONEXTENSIBLE, "nonextensible"}, std::pair{TYPEFLAG_FDUAL, "dual"},
                                    std::pair{TYPEFLAG_FOLEAUTOMATION, "oleautomation"}}) {
        if (attributes->wTypeFlags & bit)
            flags.append(QString::fromLatin1(word));
    }
    QStringList lines{u"%1 %2 %3 %4 vft %5"_s.arg(nameOf(info, MEMBERID_NIL), QString::fromLatin1(kinds[attributes->typekind]),
                                                   guidText(attributes->guid), flags.join(u','))
                          .arg(attributes->cbSizeVft / int(sizeof(void *)))};
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC *function = nullptr;
        EXPECT_EQ(info->lpVtbl->GetFuncDesc(info, i, &function), S_OK);
        lines.append(u"  "_s + memberLine(info, *function));
        info->lpVtbl->ReleaseFuncDesc(info, function);
    }
    for (UINT i = 0; i < attributes->cImplTypes; ++i) {
        HREFTYPE reference = 0;
        int32_t implementation = 0;
        EXPECT_EQ(info->lpVtbl->GetRefTypeOfImplType(info, i, &reference), S_OK);
        EXPECT_EQ(info->lpVtbl->GetImplTypeFlags(info, i, &implementation), S_OK);
        ITypeInfo *implemented = nullptr;
        EXPECT_EQ(info->lpVtbl->GetRefTypeInfo(info, reference, &implemented), S_OK);
        lines.append(u"  implements %1%2%3"_s.arg(nameOf(implemented, MEMBERID_NIL),
                                                   implementation & IMPLTYPEFLAG_FDEFAULT ? u" default"_s : u""_s,
                                                   implementation & IMPLTYPEFLAG_FSOURCE ? u" source"_s : u""_s));
        implemented->lpVtbl->Release(implemented);
    }
    info->lpVtbl->ReleaseTypeAttr(info, attributes);
    return lines;
}

const QStringList kDualFlags{u"hidden,nonextensible,dual,oleautomation"_s};

// The published contract, entry by entry.
const QStringList kExpected = {
    u"_WinFile interface {2A3FAC9D-1C9E-4CC7-AD8B-8C3B019F0ACA} hidden,nonextensible,dual,oleautomation vft 18"_s,
    u"  get FilePattern 40030000 slot 7 () -> BSTR"_s,
    u"  let FilePattern 40030000 slot 8 (value BSTR in) -> void"_s,
    u"  get FilePlace 40030001 slot 9 () -> BSTR"_s,
    u"  let FilePlace 40030001 slot 10 (value BSTR in) -> void"_s,
    u"  get FileType 40030002 slot 11 () -> I2"_s,
    u"  let FileType 40030002 slot 12 (value I2 in) -> void"_s,
    u"  get FilePath 40030003 slot 13 () -> BSTR"_s,
    u"  let FilePath 40030003 slot 14 (value BSTR in) -> void"_s,
    u"  get FileFileName 40030004 slot 15 () -> BSTR"_s,
    u"  let FileFileName 40030004 slot 16 (value BSTR in) -> void"_s,
    u"  method FileAny 60030000 slot 17 () -> void"_s,
    u"  implements IDispatch"_s,
    u"WinFile coclass {AF0940A8-FE9F-4AC3-A506-7E3FA0C5516B} cancreate vft 0"_s,
    u"  implements _WinFile default"_s,
    u"  implements __WinFile default source"_s,
    u"_WinInput interface {D3766772-DA11-4998-909D-0F3EB3688F13} hidden,nonextensible,dual,oleautomation vft 8"_s,
    u"  method InputAny 60030000 slot 7 (InPrmmpt BSTR in, InTitle BSTR in, InMode BSTR in optional = \"Input\", "
    u"InDefColl Collection in out optional = Nothing) -> BSTR"_s,
    u"  implements IDispatch"_s,
    u"WinInput coclass {D410CD48-58FE-40D9-AC36-A08364DA4410} cancreate vft 0"_s,
    u"  implements _WinInput default"_s,
    u"_WinSearch interface {9F2A09B6-56EE-416F-9487-C96A2285C207} hidden,nonextensible,dual,oleautomation vft 29"_s,
    u"  get SearchCaption 40030000 slot 7 () -> BSTR"_s,
    u"  let SearchCaption 40030000 slot 8 (value BSTR in) -> void"_s,
    u"  get SearchWidth 40030001 slot 9 () -> I4"_s,
    u"  let SearchWidth 40030001 slot 10 (value I4 in) -> void"_s,
    u"  get SearchHeight 40030002 slot 11 () -> I4"_s,
    u"  let SearchHeight 40030002 slot 12 (value I4 in) -> void"_s,
    u"  get SearchWorkMode 40030003 slot 13 () -> I2"_s,
    u"  let SearchWorkMode 40030003 slot 14 (value I2 in) -> void"_s,
    u"  get SearchDataType 40030004 slot 15 () -> I2"_s,
    u"  let SearchDataType 40030004 slot 16 (value I2 in) -> void"_s,
    u"  get SearchDataColl 40030005 slot 17 () -> Collection"_s,
    u"  set SearchDataColl 40030005 slot 19 (value Collection in) -> void"_s,
    u"  get SearchMainData 40030006 slot 20 () -> BSTR"_s,
    u"  let SearchMainData 40030006 slot 21 (value BSTR in) -> void"_s,
    u"  get SearchSubData 40030007 slot 22 () -> BSTR"_s,
    u"  let SearchSubData 40030007 slot 23 (value BSTR in) -> void"_s,
    u"  get SearchSearchSubData 40030008 slot 24 () -> BSTR"_s,
    u"  let SearchSearchSubData 40030008 slot 25 (value BSTR in) -> void"_s,
    u"  get SearchQueryKey 40030009 slot 26 () -> BSTR"_s,
    u"  let SearchQueryKey 40030009 slot 27 (value BSTR in) -> void"_s,
    u"  method SearchAny 60030000 slot 28 () -> void"_s,
    u"  implements IDispatch"_s,
    u"WinSearch coclass {86C5B602-81C2-468A-B9CB-E0887512FE33} cancreate vft 0"_s,
    u"  implements _WinSearch default"_s,
    u"  implements __WinSearch default source"_s,
    u"_WinMagnge interface {686E568F-5BE4-4053-B2AF-107C5BA5C22F} hidden,nonextensible,dual,oleautomation vft 16"_s,
    u"  get MagngeFormat 40030000 slot 7 () -> I2"_s,
    u"  let MagngeFormat 40030000 slot 8 (value I2 in) -> void"_s,
    u"  get MagngeMode 40030001 slot 9 () -> BSTR"_s,
    u"  let MagngeMode 40030001 slot 10 (value BSTR in) -> void"_s,
    u"  get MagngeTablName 40030002 slot 11 () -> BSTR"_s,
    u"  let MagngeTablName 40030002 slot 12 (value BSTR in) -> void"_s,
    u"  get mDataSql 40030003 slot 13 () -> BSTR"_s,
    u"  let mDataSql 40030003 slot 14 (value BSTR in) -> void"_s,
    u"  method ManageTable 60030000 slot 15 (TableName BSTR in, ListCol I2 in optional = 0) -> void"_s,
    u"  implements IDispatch"_s,
    u"WinMagnge coclass {E21C8EEB-8DFF-4F93-B150-171F04C7B800} cancreate vft 0"_s,
    u"  implements _WinMagnge default"_s,
    u"  implements __WinMagnge default source"_s,
    u"__WinFile dispatch {26E820F3-5BCE-49AD-87B3-CF275C533386} hidden,nonextensible vft 7"_s,
    u"  method FileSuccess 1 slot 0 (SelectPattern BSTR in, SelectPlace BSTR in, SelectType I2 in, SelectPath BSTR in, "
    u"SelectFileName BSTR in) -> void"_s,
    u"  implements IDispatch"_s,
    u"__WinSearch dispatch {6FDEDE02-3ECC-476C-8E62-93D54253EF50} hidden,nonextensible vft 7"_s,
    u"  method SelectSuccess 1 slot 0 (SelectText BSTR in) -> void"_s,
    u"  implements IDispatch"_s,
    u"__WinMagnge dispatch {9303D6BB-4E3E-4861-BA42-69885936FDAE} hidden,nonextensible vft 7"_s,
    u"  method SelectSuccess 1 slot 0 (SelectText BSTR in) -> void"_s,
    u"  implements IDispatch"_s,
};

ComRef<ITypeLib> ownTypeLib()
{
    ComRef<ITypeLib> library;
    EXPECT_EQ(VelmarithLoadTypeLib(VELMARITH_LIBRARY, library.receive()), S_OK);
    return library;
}

} // namespace

TEST(TypeInformation, theWholeLibraryReadsBackAsTheClassesPublishIt)
{
    {
        const ComRef<ITypeLib> library = ownTypeLib();
        ASSERT_TRUE(library.get());
        ITypeLib *lib = library.get();
        TLIBATTR *attributes = nullptr;
        ASSERT_EQ(lib->lpVtbl->GetLibAttr(lib, &attributes), S_OK);
        EXPECT_TRUE(sameGuid(attributes->guid, LIBID_Velmarith));
        EXPECT_EQ(attributes->lcid, 0x409u);
        EXPECT_EQ(attributes->wMajorVerNum, 1);
        EXPECT_EQ(attributes->wMinorVerNum, 0);
        lib->lpVtbl->ReleaseTLibAttr(lib, attributes);

        ASSERT_EQ(lib->lpVtbl->GetTypeInfoCount(lib), 11u);
        QStringList described;
        for (UINT i = 0; i < 11; ++i) {
            ComRef<ITypeInfo> info;
            ASSERT_EQ(lib->lpVtbl->GetTypeInfo(lib, i, info.receive()), S_OK);
            described += describe(info.get());
            ComRef<ITypeLib> containing;
            UINT index = 99;
            ASSERT_EQ(info.get()->lpVtbl->GetContainingTypeLib(info.get(), containing.receive(), &index), S_OK);
            EXPECT_EQ(index, i);
        }
        EXPECT_EQ(described, kExpected);

        TYPEKIND kind = TKIND_MAX;
        EXPECT_EQ(lib->lpVtbl->GetTypeInfoType(lib, 8, &kind), S_OK);
        EXPECT_EQ(kind, TKIND_DISPATCH);
        ComRef<ITypeInfo> search;
        ASSERT_EQ(lib->lpVtbl->GetTypeInfoOfGuid(lib, &CLSID_WinSearch, search.receive()), S_OK);
        EXPECT_EQ(describe(search.get()).front(), kExpected[44]);
        OLECHAR name[] = {u's', u'e', u'l', u'e', u'c', u't', u's', u'u', u'c', u'c', u'e', u's', u's', 0};
        int32_t isName = 0;
        EXPECT_EQ(lib->lpVtbl->IsName(lib, name, 0, &isName), S_OK);
        EXPECT_TRUE(isName) << "any letter case";
        ITypeInfo *found[4] = {};
        MEMBERID ids[4] = {};
        uint16_t count = 4;
        EXPECT_EQ(lib->lpVtbl->FindName(lib, name, 0, found, ids, &count), S_OK);
        ASSERT_EQ(count, 2) << "the events of WinSearch and WinMagnge";
        EXPECT_EQ(nameOf(found[0], MEMBERID_NIL) + nameOf(found[1], MEMBERID_NIL), u"__WinSearch__WinMagnge");
        EXPECT_EQ(ids[0], 1);
        for (uint16_t i = 0; i < count; ++i)
            found[i]->lpVtbl->Release(found[i]);
        EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "type information keeps the library loaded";
    }
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(TypeInformation, everyObjectHandsOutItsTypesAndTheLibraryIsFoundByItsRegisteredId)
{
    ComRef<IDispatch> input = createObject(CLSID_WinInput);
    UINT count = 0;
    ASSERT_EQ(input.get()->lpVtbl->GetTypeInfoCount(input.get(), &count), S_OK);
    EXPECT_EQ(count, 1u);
    ComRef<ITypeInfo> dual;
    ASSERT_EQ(input.get()->lpVtbl->GetTypeInfo(input.get(), 0, 0, dual.receive()), S_OK);
    EXPECT_EQ(nameOf(dual.get(), MEMBERID_NIL), u"_WinInput");
    ITypeInfo *none = nullptr;
    EXPECT_EQ(input.get()->lpVtbl->GetTypeInfo(input.get(), 1, 0, &none), DISP_E_BADINDEX);

    ComRef<IProvideClassInfo> provider;
    ASSERT_EQ(input.get()->lpVtbl->QueryInterface(input.get(), &IID_IProvideClassInfo, reinterpret_cast<void **>(provider.receive())),
              S_OK);
    ComRef<ITypeInfo> coclass;
    ASSERT_EQ(provider.get()->lpVtbl->GetClassInfo(provider.get(), coclass.receive()), S_OK);
    EXPECT_EQ(nameOf(coclass.get(), MEMBERID_NIL), u"WinInput");

    // Made through the class's type information, called through the interface's.
    ComRef<IDispatch> search;
    {
        const ComRef<ITypeLib> library = ownTypeLib();
        ComRef<ITypeInfo> searchClass;
        ASSERT_EQ(library.get()->lpVtbl->GetTypeInfoOfGuid(library.get(), &CLSID_WinSearch, searchClass.receive()), S_OK);
        ASSERT_EQ(searchClass.get()->lpVtbl->CreateInstance(searchClass.get(), nullptr, &IID_IDispatch,
                                                           reinterpret_cast<void **>(search.receive())),
                  S_OK);
        ComRef<ITypeInfo> searchInterface;
        ASSERT_EQ(library.get()->lpVtbl->GetTypeInfoOfGuid(library.get(), &IID_WinSearchInterface, searchInterface.receive()),
                  S_OK);
        Value caption = Value::text(u"查找"_s);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS put{&caption.raw(), &named, 1, 1};
        EXPECT_EQ(searchInterface.get()->lpVtbl->Invoke(searchInterface.get(), search.get(), property(0), DISPATCH_PROPERTYPUT,
                                                        &put, nullptr, nullptr, nullptr),
                  S_OK);
        // Another class's type runs nothing on it, though its ids are the same numbers.
        ComRef<ITypeInfo> fileInterface;
        ASSERT_EQ(library.get()->lpVtbl->GetTypeInfoOfGuid(library.get(), &IID_WinFileInterface, fileInterface.receive()), S_OK);
        Value pattern;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        EXPECT_EQ(fileInterface.get()->lpVtbl->Invoke(fileInterface.get(), search.get(), property(0), DISPATCH_PROPERTYGET,
                                                      &none, &pattern.raw(), nullptr, nullptr),
                  E_INVALIDARG);
        EXPECT_EQ(pattern.raw().vt, VT_EMPTY);
    }
    Value read;
    ASSERT_EQ(invoke(search.get(), property(0), DISPATCH_PROPERTYGET, {}, &read), S_OK);
    EXPECT_EQ(read.asText(), u"查找");

    // By LIBID, through the user's registry, as LoadRegTypeLib finds a library.
    QTemporaryDir home;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    ComRef<ITypeLib> byId;
    EXPECT_EQ(VelmarithLoadTypeLib("{2E2BE76F-7A65-4062-9005-DC42269B785E}", byId.receive()), TYPE_E_LIBNOTREGISTERED);
    ASSERT_EQ(DllRegisterServer(), S_OK);
    EXPECT_EQ(VelmarithLoadTypeLib("{2E2BE76F-7A65-4062-9005-DC42269B785E}", byId.receive()), S_OK);
    EXPECT_TRUE(byId.get());
    EXPECT_EQ(DllUnregisterServer(), S_OK);
    qputenv("XDG_DATA_HOME", previous);
    ComRef<ITypeLib> missing;
    EXPECT_EQ(VelmarithLoadTypeLib("/nonexistent/libVelmarith.so.1", missing.receive()), TYPE_E_CANTLOADLIBRARY);
}
