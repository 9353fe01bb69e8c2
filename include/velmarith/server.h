/*
 * The Velmarith component server: the four classes WinFile, WinInput, WinSearch and WinMagnge
 * as automation objects that any language with a C foreign-function interface can create and
 * call. The identities, member order, dispatch ids and types are those of the type library
 * kept inside libVelmarith.so (`velmarith typelib` prints it); the shapes are those of the
 * classic in-process component model, so a host written for it ports with few changes.
 *
 * Valid C (C11) and C++. Strings are BSTRs: UTF-16, preceded by their length in bytes, made
 * and freed with SysAllocString and SysFreeString. Every call returns an HRESULT.
 */
#ifndef VELMARITH_SERVER_H
#define VELMARITH_SERVER_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define VELMARITH_API __attribute__((visibility("default")))
#else
#define VELMARITH_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HRESULT;
typedef uint32_t ULONG;
typedef uint32_t UINT;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t LCID;
typedef int32_t DISPID;
typedef uint16_t VARTYPE;
typedef int16_t VARIANT_BOOL;
typedef uint16_t OLECHAR;
typedef OLECHAR *BSTR;

typedef struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID *REFIID;
typedef const GUID *REFCLSID;

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_FAIL ((HRESULT)0x80004005)
#define E_UNEXPECTED ((HRESULT)0x8000FFFF)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define DISP_E_UNKNOWNINTERFACE ((HRESULT)0x80020001)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003)
#define DISP_E_PARAMNOTFOUND ((HRESULT)0x80020004)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005)
#define DISP_E_UNKNOWNNAME ((HRESULT)0x80020006)
#define DISP_E_NONAMEDARGS ((HRESULT)0x80020007)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000A)
#define DISP_E_BADPARAMCOUNT ((HRESULT)0x8002000E)
#define DISP_E_PARAMNOTOPTIONAL ((HRESULT)0x8002000F)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154)
#define CONNECT_E_NOCONNECTION ((HRESULT)0x80040200)
#define CONNECT_E_CANNOTCONNECT ((HRESULT)0x80040202)
#define SELFREG_E_CLASS ((HRESULT)0x80040201)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9)
#define RPC_E_WRONG_THREAD ((HRESULT)0x8001010E)
#define DISP_E_BADINDEX ((HRESULT)0x8002000B)
#define TYPE_E_LIBNOTREGISTERED ((HRESULT)0x8002801D)
#define TYPE_E_ELEMENTNOTFOUND ((HRESULT)0x8002802B)
#define TYPE_E_BADMODULEKIND ((HRESULT)0x800288BD)
#define TYPE_E_CANTLOADLIBRARY ((HRESULT)0x80029C4A)

#define VT_EMPTY 0
#define VT_NULL 1
#define VT_I2 2
#define VT_I4 3
#define VT_R8 5
#define VT_BSTR 8
#define VT_DISPATCH 9
#define VT_ERROR 10
#define VT_BOOL 11
#define VT_VARIANT 12
#define VT_UNKNOWN 13
#define VT_VOID 24
#define VT_HRESULT 25
#define VT_BYREF 0x4000

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8
#define DISPID_UNKNOWN (-1)
#define DISPID_PROPERTYPUT (-3)

typedef struct IUnknown IUnknown;
typedef struct IDispatch IDispatch;
typedef struct ITypeInfo ITypeInfo;
typedef struct ITypeLib ITypeLib;
typedef struct VelmarithCollection VelmarithCollection;

/* One value: vt names the member of the union that holds it. A missing optional argument is
 * VT_ERROR with scode DISP_E_PARAMNOTFOUND. */
typedef struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        int16_t iVal;
        int32_t lVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        double dblVal;
        BSTR bstrVal;
        IUnknown *punkVal;
        IDispatch *pdispVal;
        int16_t *piVal;
        int32_t *plVal;
        BSTR *pbstrVal;
        IDispatch **ppdispVal;
        struct VARIANT *pvarVal;
    };
} VARIANT;

/* Arguments of IDispatch::Invoke, the last argument first, as the component model passes them. */
typedef struct DISPPARAMS {
    VARIANT *rgvarg;
    DISPID *rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
} DISPPARAMS;

/* What a failed call raised: for the library's errors, scode is DISP_E_EXCEPTION's source, wCode
 * the error number and bstrDescription its message. The caller frees the strings. */
typedef struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void *pvReserved;
    HRESULT (*pfnDeferredFillIn)(struct EXCEPINFO *);
    HRESULT scode;
} EXCEPINFO;

/* Strings and values. */
VELMARITH_API BSTR SysAllocString(const OLECHAR *text);
VELMARITH_API BSTR SysAllocStringLen(const OLECHAR *text, UINT length);
VELMARITH_API void SysFreeString(BSTR text);
VELMARITH_API UINT SysStringLen(BSTR text);
VELMARITH_API void VariantInit(VARIANT *value);
/* Frees what the value owns (a string, a reference) and leaves it VT_EMPTY. */
VELMARITH_API HRESULT VariantClear(VARIANT *value);

#define VELMARITH_IUNKNOWN_MEMBERS(Self)                                        \
    HRESULT (*QueryInterface)(Self * This, REFIID riid, void **object);         \
    ULONG (*AddRef)(Self * This);                                               \
    ULONG (*Release)(Self * This)

/* GetTypeInfoCount gives 1 on the four classes' objects, and GetTypeInfo(0) the type
 * information of their default interface (0 and DISP_E_BADINDEX on a collection). */
#define VELMARITH_IDISPATCH_MEMBERS(Self)                                                       \
    VELMARITH_IUNKNOWN_MEMBERS(Self);                                                           \
    HRESULT (*GetTypeInfoCount)(Self * This, UINT * count);                                     \
    HRESULT (*GetTypeInfo)(Self * This, UINT index, LCID locale, ITypeInfo **typeInfo);         \
    HRESULT (*GetIDsOfNames)(Self * This, REFIID riid, OLECHAR **names, UINT count, LCID locale, \
                             DISPID *dispids);                                                   \
    HRESULT (*Invoke)(Self * This, DISPID member, REFIID riid, LCID locale, WORD flags,          \
                      DISPPARAMS *params, VARIANT *result, EXCEPINFO *exception, UINT *argError)

#define VELMARITH_INTERFACE(Name, Members) \
    typedef struct Name##Vtbl {            \
        Members;                           \
    } Name##Vtbl;                          \
    struct Name {                          \
        const Name##Vtbl *lpVtbl;          \
    }

VELMARITH_INTERFACE(IUnknown, VELMARITH_IUNKNOWN_MEMBERS(IUnknown));
VELMARITH_INTERFACE(IDispatch, VELMARITH_IDISPATCH_MEMBERS(IDispatch));

typedef struct IClassFactory IClassFactory;
VELMARITH_INTERFACE(IClassFactory, VELMARITH_IUNKNOWN_MEMBERS(IClassFactory);
                    HRESULT (*CreateInstance)(IClassFactory * This, IUnknown * outer, REFIID riid, void **object);
                    HRESULT (*LockServer)(IClassFactory * This, int32_t lock));

typedef struct IConnectionPoint IConnectionPoint;
typedef struct IConnectionPointContainer IConnectionPointContainer;
/* EnumConnections answers E_NOTIMPL. A cookie is never 0. */
VELMARITH_INTERFACE(IConnectionPoint, VELMARITH_IUNKNOWN_MEMBERS(IConnectionPoint);
                    HRESULT (*GetConnectionInterface)(IConnectionPoint * This, IID * iid);
                    HRESULT (*GetConnectionPointContainer)(IConnectionPoint * This, IConnectionPointContainer **container);
                    HRESULT (*Advise)(IConnectionPoint * This, IUnknown * sink, DWORD * cookie);
                    HRESULT (*Unadvise)(IConnectionPoint * This, DWORD cookie);
                    HRESULT (*EnumConnections)(IConnectionPoint * This, void **connections));
/* EnumConnectionPoints answers E_NOTIMPL; FindConnectionPoint knows the class's event interface. */
VELMARITH_INTERFACE(IConnectionPointContainer, VELMARITH_IUNKNOWN_MEMBERS(IConnectionPointContainer);
                    HRESULT (*EnumConnectionPoints)(IConnectionPointContainer * This, void **points);
                    HRESULT (*FindConnectionPoint)(IConnectionPointContainer * This, REFIID riid, IConnectionPoint **point));

/* Type information, served from the type library kept inside the library file, in the
 * component model's shapes. Its entries, in order: _WinFile, WinFile, _WinInput, WinInput,
 * _WinSearch, WinSearch, _WinMagnge, WinMagnge, __WinFile, __WinSearch, __WinMagnge. A dual
 * interface is TKIND_INTERFACE (flags dual, hidden, nonextensible, oleautomation) whose
 * FUNCDESCs give each slot's byte offset in oVft and the value a member gives in elemdescFunc
 * (the slot itself returns an HRESULT and hands that value out through its last parameter); an
 * event interface is TKIND_DISPATCH; a class TKIND_COCLASS with its default interface and,
 * where it has one, its default source interface. Every TYPEATTR, FUNCDESC and TLIBATTR handed
 * out is freed by its Release call. Not offered (E_NOTIMPL): GetTypeComp, GetVarDesc (there are
 * no variables), GetDllEntry, AddressOfMember, GetMops. */
typedef int32_t MEMBERID;
typedef uint32_t HREFTYPE;
#define MEMBERID_NIL (-1)

typedef enum TYPEKIND { TKIND_ENUM, TKIND_RECORD, TKIND_MODULE, TKIND_INTERFACE, TKIND_DISPATCH, TKIND_COCLASS,
                        TKIND_ALIAS, TKIND_UNION, TKIND_MAX } TYPEKIND;
typedef enum FUNCKIND { FUNC_VIRTUAL, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH } FUNCKIND;
typedef enum INVOKEKIND { INVOKE_FUNC = 1, INVOKE_PROPERTYGET = 2, INVOKE_PROPERTYPUT = 4,
                          INVOKE_PROPERTYPUTREF = 8 } INVOKEKIND;
typedef enum CALLCONV { CC_FASTCALL, CC_CDECL, CC_MSCPASCAL, CC_MACPASCAL, CC_STDCALL } CALLCONV;
typedef enum SYSKIND { SYS_WIN16, SYS_WIN32, SYS_MAC, SYS_WIN64 } SYSKIND;

#define TYPEFLAG_FCANCREATE 0x2
#define TYPEFLAG_FHIDDEN 0x10
#define TYPEFLAG_FDUAL 0x40
#define TYPEFLAG_FNONEXTENSIBLE 0x80
#define TYPEFLAG_FOLEAUTOMATION 0x100
#define IMPLTYPEFLAG_FDEFAULT 0x1
#define IMPLTYPEFLAG_FSOURCE 0x2
#define PARAMFLAG_FIN 0x1
#define PARAMFLAG_FOUT 0x2
#define PARAMFLAG_FOPT 0x10
#define PARAMFLAG_FHASDEFAULT 0x20

typedef struct TYPEDESC {
    union {
        struct TYPEDESC *lptdesc;
        HREFTYPE hreftype;
    };
    VARTYPE vt; /* VT_BSTR, VT_I2, VT_I4, VT_DISPATCH (a Collection) or VT_VOID */
} TYPEDESC;
typedef struct PARAMDESCEX {
    ULONG cBytes;
    VARIANT varDefaultValue;
} PARAMDESCEX;
typedef struct PARAMDESC {
    PARAMDESCEX *pparamdescex; /* set with PARAMFLAG_FHASDEFAULT */
    uint16_t wParamFlags;
} PARAMDESC;
typedef struct ELEMDESC {
    TYPEDESC tdesc;
    PARAMDESC paramdesc;
} ELEMDESC;
typedef struct IDLDESC {
    ULONG dwReserved;
    uint16_t wIDLFlags;
} IDLDESC;
typedef struct TYPEATTR {
    GUID guid;
    LCID lcid;
    DWORD dwReserved;
    MEMBERID memidConstructor;
    MEMBERID memidDestructor;
    OLECHAR *lpstrSchema;
    ULONG cbSizeInstance;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cVars;
    WORD cImplTypes;
    WORD cbSizeVft;
    WORD cbAlignment;
    WORD wTypeFlags;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    TYPEDESC tdescAlias;
    IDLDESC idldescType;
} TYPEATTR;
typedef struct FUNCDESC {
    MEMBERID memid;
    HRESULT *lprgscode;
    ELEMDESC *lprgelemdescParam;
    FUNCKIND funckind;
    INVOKEKIND invkind;
    CALLCONV callconv;
    int16_t cParams;
    int16_t cParamsOpt;
    int16_t oVft;
    int16_t cScodes;
    ELEMDESC elemdescFunc;
    WORD wFuncFlags;
} FUNCDESC;
typedef struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
} TLIBATTR;

VELMARITH_INTERFACE(ITypeInfo, VELMARITH_IUNKNOWN_MEMBERS(ITypeInfo);
                    HRESULT (*GetTypeAttr)(ITypeInfo * This, TYPEATTR **attributes);
                    HRESULT (*GetTypeComp)(ITypeInfo * This, void **typeComp);
                    HRESULT (*GetFuncDesc)(ITypeInfo * This, UINT index, FUNCDESC **description);
                    HRESULT (*GetVarDesc)(ITypeInfo * This, UINT index, void **description);
                    HRESULT (*GetNames)(ITypeInfo * This, MEMBERID member, BSTR *names, UINT maxNames, UINT *count);
                    HRESULT (*GetRefTypeOfImplType)(ITypeInfo * This, UINT index, HREFTYPE *reference);
                    HRESULT (*GetImplTypeFlags)(ITypeInfo * This, UINT index, int32_t *flags);
                    HRESULT (*GetIDsOfNames)(ITypeInfo * This, OLECHAR **names, UINT count, MEMBERID *ids);
                    HRESULT (*Invoke)(ITypeInfo * This, void *instance, MEMBERID member, WORD flags,
                                      DISPPARAMS *params, VARIANT *result, EXCEPINFO *exception, UINT *argError);
                    HRESULT (*GetDocumentation)(ITypeInfo * This, MEMBERID member, BSTR *name, BSTR *doc,
                                                DWORD *helpContext, BSTR *helpFile);
                    HRESULT (*GetDllEntry)(ITypeInfo * This, MEMBERID member, INVOKEKIND kind, BSTR *dll, BSTR *name,
                                           WORD *ordinal);
                    HRESULT (*GetRefTypeInfo)(ITypeInfo * This, HREFTYPE reference, ITypeInfo **typeInfo);
                    HRESULT (*AddressOfMember)(ITypeInfo * This, MEMBERID member, INVOKEKIND kind, void **address);
                    HRESULT (*CreateInstance)(ITypeInfo * This, IUnknown *outer, REFIID riid, void **object);
                    HRESULT (*GetMops)(ITypeInfo * This, MEMBERID member, BSTR *marshalling);
                    HRESULT (*GetContainingTypeLib)(ITypeInfo * This, ITypeLib **library, UINT *index);
                    void (*ReleaseTypeAttr)(ITypeInfo * This, TYPEATTR *attributes);
                    void (*ReleaseFuncDesc)(ITypeInfo * This, FUNCDESC *description);
                    void (*ReleaseVarDesc)(ITypeInfo * This, void *description));

/* IsName and FindName compare names ignoring letter case; their hash argument is not used. */
VELMARITH_INTERFACE(ITypeLib, VELMARITH_IUNKNOWN_MEMBERS(ITypeLib);
                    UINT (*GetTypeInfoCount)(ITypeLib * This);
                    HRESULT (*GetTypeInfo)(ITypeLib * This, UINT index, ITypeInfo **typeInfo);
                    HRESULT (*GetTypeInfoType)(ITypeLib * This, UINT index, TYPEKIND *kind);
                    HRESULT (*GetTypeInfoOfGuid)(ITypeLib * This, REFIID guid, ITypeInfo **typeInfo);
                    HRESULT (*GetLibAttr)(ITypeLib * This, TLIBATTR **attributes);
                    HRESULT (*GetTypeComp)(ITypeLib * This, void **typeComp);
                    HRESULT (*GetDocumentation)(ITypeLib * This, int32_t index, BSTR *name, BSTR *doc,
                                                DWORD *helpContext, BSTR *helpFile);
                    HRESULT (*IsName)(ITypeLib * This, OLECHAR *name, ULONG hash, int32_t *found);
                    HRESULT (*FindName)(ITypeLib * This, OLECHAR *name, ULONG hash, ITypeInfo **typeInfos,
                                        MEMBERID *members, uint16_t *found);
                    void (*ReleaseTLibAttr)(ITypeLib * This, TLIBATTR *attributes));

/* Every object of the four classes answers it: the type information of its class. */
typedef struct IProvideClassInfo IProvideClassInfo;
VELMARITH_INTERFACE(IProvideClassInfo, VELMARITH_IUNKNOWN_MEMBERS(IProvideClassInfo);
                    HRESULT (*GetClassInfo)(IProvideClassInfo * This, ITypeInfo **typeInfo));

/* The automation Collection: items from 1, optionally under a text key (any letter case).
 * Add's Before and After must be missing; _NewEnum answers E_NOTIMPL. */
VELMARITH_INTERFACE(VelmarithCollection, VELMARITH_IDISPATCH_MEMBERS(VelmarithCollection);
                    HRESULT (*Item)(VelmarithCollection * This, VARIANT * index, VARIANT * item);
                    HRESULT (*Add)(VelmarithCollection * This, VARIANT * item, VARIANT * key, VARIANT * before, VARIANT * after);
                    HRESULT (*Count)(VelmarithCollection * This, int32_t * count);
                    HRESULT (*Remove)(VelmarithCollection * This, VARIANT * index);
                    HRESULT (*NewEnum)(VelmarithCollection * This, IUnknown **enumerator));

/* The default interfaces, named after the classes: _WinFile is WinFileInterface. Slots from 7 on
 * are in the type library's order; a property's get returns through its last parameter. */
typedef struct WinFileInterface WinFileInterface;
VELMARITH_INTERFACE(WinFileInterface, VELMARITH_IDISPATCH_MEMBERS(WinFileInterface);
                    HRESULT (*get_FilePattern)(WinFileInterface * This, BSTR * FilePattern);
                    HRESULT (*put_FilePattern)(WinFileInterface * This, BSTR value);
                    HRESULT (*get_FilePlace)(WinFileInterface * This, BSTR * FilePlace);
                    HRESULT (*put_FilePlace)(WinFileInterface * This, BSTR value);
                    HRESULT (*get_FileType)(WinFileInterface * This, int16_t * FileType);
                    HRESULT (*put_FileType)(WinFileInterface * This, int16_t value);
                    HRESULT (*get_FilePath)(WinFileInterface * This, BSTR * FilePath);
                    HRESULT (*put_FilePath)(WinFileInterface * This, BSTR value);
                    HRESULT (*get_FileFileName)(WinFileInterface * This, BSTR * FileFileName);
                    HRESULT (*put_FileFileName)(WinFileInterface * This, BSTR value);
                    HRESULT (*FileAny)(WinFileInterface * This));

/* InDefColl may be NULL (not given) or point to NULL (no collection). */
typedef struct WinInputInterface WinInputInterface;
VELMARITH_INTERFACE(WinInputInterface, VELMARITH_IDISPATCH_MEMBERS(WinInputInterface);
                    HRESULT (*InputAny)(WinInputInterface * This, BSTR InPrmmpt, BSTR InTitle, BSTR InMode,
                                        VelmarithCollection **InDefColl, BSTR *result));

/* Slot 18 is unassigned in the type library; it answers E_NOTIMPL. */
typedef struct WinSearchInterface WinSearchInterface;
VELMARITH_INTERFACE(WinSearchInterface, VELMARITH_IDISPATCH_MEMBERS(WinSearchInterface);
                    HRESULT (*get_SearchCaption)(WinSearchInterface * This, BSTR * SearchCaption);
                    HRESULT (*put_SearchCaption)(WinSearchInterface * This, BSTR value);
                    HRESULT (*get_SearchWidth)(WinSearchInterface * This, int32_t * SearchWidth);
                    HRESULT (*put_SearchWidth)(WinSearchInterface * This, int32_t value);
                    HRESULT (*get_SearchHeight)(WinSearchInterface * This, int32_t * SearchHeight);
                    HRESULT (*put_SearchHeight)(WinSearchInterface * This, int32_t value);
                    HRESULT (*get_SearchWorkMode)(WinSearchInterface * This, int16_t * SearchWorkMode);
                    HRESULT (*put_SearchWorkMode)(WinSearchInterface * This, int16_t value);
                    HRESULT (*get_SearchDataType)(WinSearchInterface * This, int16_t * SearchDataType);
                    HRESULT (*put_SearchDataType)(WinSearchInterface * This, int16_t value);
                    HRESULT (*get_SearchDataColl)(WinSearchInterface * This, VelmarithCollection **SearchDataColl);
                    HRESULT (*unassigned18)(WinSearchInterface * This);
                    HRESULT (*putref_SearchDataColl)(WinSearchInterface * This, VelmarithCollection *value);
                    HRESULT (*get_SearchMainData)(WinSearchInterface * This, BSTR * SearchMainData);
                    HRESULT (*put_SearchMainData)(WinSearchInterface * This, BSTR value);
                    HRESULT (*get_SearchSubData)(WinSearchInterface * This, BSTR * SearchSubData);
                    HRESULT (*put_SearchSubData)(WinSearchInterface * This, BSTR value);
                    HRESULT (*get_SearchSearchSubData)(WinSearchInterface * This, BSTR * SearchSearchSubData);
                    HRESULT (*put_SearchSearchSubData)(WinSearchInterface * This, BSTR value);
                    HRESULT (*get_SearchQueryKey)(WinSearchInterface * This, BSTR * SearchQueryKey);
                    HRESULT (*put_SearchQueryKey)(WinSearchInterface * This, BSTR value);
                    HRESULT (*SearchAny)(WinSearchInterface * This));

typedef struct WinMagngeInterface WinMagngeInterface;
VELMARITH_INTERFACE(WinMagngeInterface, VELMARITH_IDISPATCH_MEMBERS(WinMagngeInterface);
                    HRESULT (*get_MagngeFormat)(WinMagngeInterface * This, int16_t * MagngeFormat);
                    HRESULT (*put_MagngeFormat)(WinMagngeInterface * This, int16_t value);
                    HRESULT (*get_MagngeMode)(WinMagngeInterface * This, BSTR * MagngeMode);
                    HRESULT (*put_MagngeMode)(WinMagngeInterface * This, BSTR value);
                    HRESULT (*get_MagngeTablName)(WinMagngeInterface * This, BSTR * MagngeTablName);
                    HRESULT (*put_MagngeTablName)(WinMagngeInterface * This, BSTR value);
                    HRESULT (*get_mDataSql)(WinMagngeInterface * This, BSTR * mDataSql);
                    HRESULT (*put_mDataSql)(WinMagngeInterface * This, BSTR value);
                    HRESULT (*ManageTable)(WinMagngeInterface * This, BSTR TableName, int16_t ListCol));

/* Identities. The event interfaces (__WinFile, __WinSearch, __WinMagnge) are plain IDispatch: a
 * sink answers QueryInterface for IID_IUnknown, IID_IDispatch or the event IID. */
/* The interface id a caller of GetIDsOfNames and Invoke passes: all zeros. */
VELMARITH_API extern const IID IID_NULL;
VELMARITH_API extern const IID IID_IUnknown;
VELMARITH_API extern const IID IID_IDispatch;
VELMARITH_API extern const IID IID_IClassFactory;
VELMARITH_API extern const IID IID_IConnectionPoint;
VELMARITH_API extern const IID IID_IConnectionPointContainer;
VELMARITH_API extern const IID IID_Collection;
VELMARITH_API extern const IID IID_ITypeInfo;
VELMARITH_API extern const IID IID_ITypeLib;
VELMARITH_API extern const IID IID_IProvideClassInfo;
VELMARITH_API extern const GUID LIBID_Velmarith;
VELMARITH_API extern const CLSID CLSID_WinFile;
VELMARITH_API extern const CLSID CLSID_WinInput;
VELMARITH_API extern const CLSID CLSID_WinSearch;
VELMARITH_API extern const CLSID CLSID_WinMagnge;
VELMARITH_API extern const IID IID_WinFileInterface;
VELMARITH_API extern const IID IID_WinInputInterface;
VELMARITH_API extern const IID IID_WinSearchInterface;
VELMARITH_API extern const IID IID_WinMagngeInterface;
VELMARITH_API extern const IID DIID_WinFileEvents;
VELMARITH_API extern const IID DIID_WinSearchEvents;
VELMARITH_API extern const IID DIID_WinMagngeEvents;

/* The in-process server protocol. */
VELMARITH_API HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void **object);
VELMARITH_API HRESULT DllCanUnloadNow(void);
/* Registration in one JSON file, $XDG_DATA_HOME/velmarith/registry.json (else
 * ~/.local/share/velmarith/registry.json), replaced whole on each change. DllRegisterServer
 * writes each class's CLSID entry (the absolute path of this library file, ThreadingModel
 * Apartment, ProgID, TypeLib and Version), its ProgID entry and the type library's entry;
 * DllUnregisterServer removes exactly those and keeps other servers' entries. Both answer
 * SELFREG_E_CLASS when the registry cannot be read or written (VelmarithGetLastException says
 * why) and leave the file as it was. */
VELMARITH_API HRESULT DllRegisterServer(void);
VELMARITH_API HRESULT DllUnregisterServer(void);
/* The registry file's path as registration uses it now, to tell a person where it wrote: S_OK
 * and a BSTR the caller frees. */
VELMARITH_API HRESULT VelmarithGetRegistryPath(BSTR *path);

/* Creates a registered class by ProgID ("Velmarith.WinInput") or CLSID ("{D410CD48-...}", in
 * UTF-8): reads the registry, loads the library file registered for it and asks its class
 * factory. REGDB_E_CLASSNOTREG when the name is not registered, CO_E_DLLNOTFOUND when the
 * registered file cannot be loaded, CO_E_ERRORINDLL when it is no component server. */
VELMARITH_API HRESULT VelmarithCreateInstance(const char *name, REFIID riid, void **object);

/* The error behind the calling thread's latest DISP_E_EXCEPTION, for calls through a vtable
 * slot, which have no EXCEPINFO: S_OK and the report (the caller frees its strings), then
 * S_FALSE until the next error. */
VELMARITH_API HRESULT VelmarithGetLastException(EXCEPINFO *exception);

/* The type library: `name` is a library file's path (this file's own, or another file of this
 * layout, which is loaded) or a LIBID ("{2E2BE76F-...}"), looked up in the registry as the
 * platform's LoadRegTypeLib does. TYPE_E_LIBNOTREGISTERED for an unknown LIBID,
 * TYPE_E_CANTLOADLIBRARY for a file that cannot be loaded or holds none. */
VELMARITH_API HRESULT VelmarithLoadTypeLib(const char *name, ITypeLib **library);

/* An empty collection, for InDefColl and SearchDataColl. */
VELMARITH_API HRESULT VelmarithCreateCollection(VelmarithCollection **collection);

/* The settings of the whole library that a host chooses, as the C++ statics of DataBridge and
 * WinSearch set them. The database the windows open: a SQLite path or a server's URI in UTF-8
 * (NULL or "" goes back to $DATABRIDGE_DATABASE); read back as the windows would use it, in a
 * BSTR the caller frees. */
VELMARITH_API HRESULT VelmarithSetDefaultDatabase(const char *database);
VELMARITH_API HRESULT VelmarithGetDefaultDatabase(BSTR *database);
/* How long a statement waits for another program's lock, in milliseconds (E_INVALIDARG below 0). */
VELMARITH_API HRESULT VelmarithSetBusyTimeout(int32_t milliseconds);
/* The keyword matching of every lookup window made from now on: 0 like (the default), 1
 * instant, 2 pinyin (E_INVALIDARG for another value). */
VELMARITH_API HRESULT VelmarithSetDefaultKeywordMatch(int32_t match);
VELMARITH_API HRESULT VelmarithGetDefaultKeywordMatch(int32_t *match);

/* The members of an object that its type library lacks, by their C++ names: "inputAccepted"
 * (WinInput), "fileAccepted" and "selectedFiles" (WinFile), "queryFailures" and "keywordMatch"
 * (WinSearch), "checksWriteConflicts" and "remembersLayout" (WinMagnge). Flags come as VT_BOOL,
 * lists as a collection of texts, the match as VT_I4 (0 like, 1 instant, 2 pinyin); the last
 * three may also be put. DISP_E_MEMBERNOTFOUND for another name or a get-only member put,
 * E_INVALIDARG for an object that is not one of this library's, RPC_E_WRONG_THREAD off its
 * thread; the caller clears the VARIANT it gets. */
VELMARITH_API HRESULT VelmarithGetMember(IDispatch *object, const char *name, VARIANT *value);
VELMARITH_API HRESULT VelmarithPutMember(IDispatch *object, const char *name, const VARIANT *value);

#ifdef __cplusplus
}
#endif

#endif
