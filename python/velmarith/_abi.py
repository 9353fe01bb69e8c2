"""The C interface of libVelmarith.so as ctypes sees it: the component model's shapes (GUID,
VARIANT, DISPPARAMS, EXCEPINFO), BSTRs, calls through vtable slots and an IDispatch written
in Python for event sinks."""
import ctypes
import os
from ctypes import (CFUNCTYPE, POINTER, Structure, Union, byref, c_char_p, c_double, c_int16, c_int32, c_uint16,
                    c_uint32, c_void_p)

try:
    from . import _location  # written when the package is made beside the library
except ImportError:  # installed on its own (pip): the library is the system's, or $VELMARITH_LIBRARY
    _location = None

S_OK = 0
E_NOINTERFACE = 0x80004002 - (1 << 32)
E_NOTIMPL = 0x80004001 - (1 << 32)
DISP_E_EXCEPTION = 0x80020009 - (1 << 32)
DISP_E_PARAMNOTFOUND = 0x80020004 - (1 << 32)
DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF = 1, 2, 4, 8
DISPID_PROPERTYPUT = -3
VT_EMPTY, VT_I2, VT_I4, VT_R8, VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL = 0, 2, 3, 5, 8, 9, 10, 11


class GUID(Structure):
    _fields_ = [("Data1", c_uint32), ("Data2", c_uint16), ("Data3", c_uint16), ("Data4", ctypes.c_uint8 * 8)]

    @classmethod
    def parse(cls, text):
        digits = text.strip("{}").replace("-", "")
        return cls(int(digits[0:8], 16), int(digits[8:12], 16), int(digits[12:16], 16),
                   (ctypes.c_uint8 * 8)(*bytes.fromhex(digits[16:32])))


class VARIANT(Structure):
    class Value(Union):
        _fields_ = [("iVal", c_int16), ("lVal", c_int32), ("scode", c_int32), ("dblVal", c_double),
                    ("boolVal", c_int16), ("bstrVal", c_void_p), ("pdispVal", c_void_p)]
    _anonymous_ = ("value",)
    _fields_ = [("vt", c_uint16), ("reserved1", c_uint16), ("reserved2", c_uint16), ("reserved3", c_uint16),
                ("value", Value)]


class TYPEDESC(Structure):
    _fields_ = [("lptdesc", c_void_p), ("vt", c_uint16)]


class PARAMDESCEX(Structure):
    _fields_ = [("cBytes", c_uint32), ("varDefaultValue", VARIANT)]


class PARAMDESC(Structure):
    _fields_ = [("pparamdescex", POINTER(PARAMDESCEX)), ("wParamFlags", c_uint16)]


class ELEMDESC(Structure):
    _fields_ = [("tdesc", TYPEDESC), ("paramdesc", PARAMDESC)]


class TYPEATTR(Structure):
    _fields_ = [("guid", GUID), ("lcid", c_uint32), ("dwReserved", c_uint32), ("memidConstructor", c_int32),
                ("memidDestructor", c_int32), ("lpstrSchema", c_void_p), ("cbSizeInstance", c_uint32),
                ("typekind", c_int32), ("cFuncs", c_uint16), ("cVars", c_uint16), ("cImplTypes", c_uint16),
                ("cbSizeVft", c_uint16), ("cbAlignment", c_uint16), ("wTypeFlags", c_uint16),
                ("wMajorVerNum", c_uint16), ("wMinorVerNum", c_uint16), ("tdescAlias", TYPEDESC),
                ("idldescType", c_uint32 * 2)]


class FUNCDESC(Structure):
    _fields_ = [("memid", c_int32), ("lprgscode", c_void_p), ("lprgelemdescParam", POINTER(ELEMDESC)),
                ("funckind", c_int32), ("invkind", c_int32), ("callconv", c_int32), ("cParams", c_int16),
                ("cParamsOpt", c_int16), ("oVft", c_int16), ("cScodes", c_int16), ("elemdescFunc", ELEMDESC),
                ("wFuncFlags", c_uint16)]


class DISPPARAMS(Structure):
    _fields_ = [("rgvarg", POINTER(VARIANT)), ("rgdispidNamedArgs", POINTER(c_int32)),
                ("cArgs", c_uint32), ("cNamedArgs", c_uint32)]


class EXCEPINFO(Structure):
    _fields_ = [("wCode", c_uint16), ("wReserved", c_uint16), ("bstrSource", c_void_p),
                ("bstrDescription", c_void_p), ("bstrHelpFile", c_void_p), ("dwHelpContext", c_uint32),
                ("pvReserved", c_void_p), ("pfnDeferredFillIn", c_void_p), ("scode", c_int32)]


def _load():
    """The library: $VELMARITH_LIBRARY, else the one installed beside this package, else the
    system's search for libVelmarith.so.1."""
    candidates = [os.environ.get("VELMARITH_LIBRARY")]
    if _location:
        candidates.append(os.path.normpath(os.path.join(os.path.dirname(__file__), _location.LIBRARY_DIR,
                                                        "libVelmarith.so.1")))
    for path in candidates:
        if path and os.path.exists(path):
            return ctypes.CDLL(path)
    return ctypes.CDLL("libVelmarith.so.1")


lib = _load()
for name, restype, argtypes in [
        ("SysAllocStringLen", c_void_p, [c_void_p, c_uint32]),
        ("SysFreeString", None, [c_void_p]),
        ("SysStringLen", c_uint32, [c_void_p]),
        ("VariantClear", c_int32, [POINTER(VARIANT)]),
        ("DllGetClassObject", c_int32, [POINTER(GUID), POINTER(GUID), POINTER(c_void_p)]),
        ("DllRegisterServer", c_int32, []),
        ("DllUnregisterServer", c_int32, []),
        ("VelmarithCreateInstance", c_int32, [c_char_p, POINTER(GUID), POINTER(c_void_p)]),
        ("VelmarithGetLastException", c_int32, [POINTER(EXCEPINFO)]),
        ("VelmarithCreateCollection", c_int32, [POINTER(c_void_p)]),
        ("VelmarithLoadTypeLib", c_int32, [c_char_p, POINTER(c_void_p)]),
        ("VelmarithSetDefaultDatabase", c_int32, [c_char_p]),
        ("VelmarithGetDefaultDatabase", c_int32, [POINTER(c_void_p)]),
        ("VelmarithSetBusyTimeout", c_int32, [c_int32]),
        ("VelmarithSetDefaultKeywordMatch", c_int32, [c_int32]),
        ("VelmarithGetDefaultKeywordMatch", c_int32, [POINTER(c_int32)]),
        ("VelmarithGetMember", c_int32, [c_void_p, c_char_p, POINTER(VARIANT)]),
        ("VelmarithPutMember", c_int32, [c_void_p, c_char_p, POINTER(VARIANT)]),
        ("VelmarithTestDesktopInstall", c_int32, []),
        ("VelmarithTestDesktopExpect", c_int32, [c_char_p, c_char_p]),
        ("VelmarithTestDesktopRemove", c_int32, [])]:
    function = getattr(lib, name)
    function.restype, function.argtypes = restype, argtypes

IID_IUnknown = GUID.in_dll(lib, "IID_IUnknown")
IID_IDispatch = GUID.in_dll(lib, "IID_IDispatch")
IID_IClassFactory = GUID.in_dll(lib, "IID_IClassFactory")
IID_IConnectionPointContainer = GUID.in_dll(lib, "IID_IConnectionPointContainer")


def guid_text(guid):
    return "{%08X-%04X-%04X-%s-%s}" % (guid.Data1, guid.Data2, guid.Data3, bytes(guid.Data4[:2]).hex().upper(),
                                       bytes(guid.Data4[2:]).hex().upper())


def bstr(text):
    units = text.encode("utf-16-le", "surrogatepass")
    return lib.SysAllocStringLen(ctypes.create_string_buffer(units, len(units)), len(units) // 2)


def text_of(value):
    if not value:
        return ""
    return ctypes.string_at(value, lib.SysStringLen(value) * 2).decode("utf-16-le", "surrogatepass")


def take_text(value):
    """The text of a BSTR the library handed over, which is freed."""
    text = text_of(value)
    lib.SysFreeString(value)
    return text


def slot(interface, index, *argtypes, restype=c_int32):
    """The function in a vtable slot of an interface pointer."""
    vtable = ctypes.cast(interface, POINTER(POINTER(c_void_p)))[0]
    return CFUNCTYPE(restype, c_void_p, *argtypes)(vtable[index])


def add_ref(interface):
    slot(interface, 1, restype=c_uint32)(interface)


def release(interface):
    slot(interface, 2, restype=c_uint32)(interface)


def query_interface(interface, iid):
    """The interface asked for, with a reference the caller releases; None when unsupported."""
    found = c_void_p()
    status = slot(interface, 0, POINTER(GUID), POINTER(c_void_p))(interface, byref(iid), byref(found))
    return found.value if status == S_OK else None


def last_exception():
    """The calling thread's latest error report from the library: (number, text)."""
    report = EXCEPINFO()
    if lib.VelmarithGetLastException(byref(report)) != S_OK:
        return None
    lib.SysFreeString(report.bstrSource)
    return report.wCode or report.scode, take_text(report.bstrDescription)


class Sink:
    """IDispatch written in Python: the library calls Invoke once per event, with the event's
    dispatch id and arguments; `on_invoke` receives them."""

    def __init__(self, iid, on_invoke):
        self._iid = iid
        self._on_invoke = on_invoke
        # Each CFUNCTYPE object must live as long as the vtable that points at it.
        self._functions = [
            CFUNCTYPE(c_int32, c_void_p, POINTER(GUID), POINTER(c_void_p))(self._query_interface),
            CFUNCTYPE(c_uint32, c_void_p)(lambda this: 2),
            CFUNCTYPE(c_uint32, c_void_p)(lambda this: 1),
            CFUNCTYPE(c_int32, c_void_p, c_void_p)(lambda this, count: E_NOTIMPL),
            CFUNCTYPE(c_int32, c_void_p, c_uint32, c_uint32, c_void_p)(lambda *unused: E_NOTIMPL),
            CFUNCTYPE(c_int32, c_void_p, c_void_p, c_void_p, c_uint32, c_uint32, c_void_p)(lambda *unused: E_NOTIMPL),
            CFUNCTYPE(c_int32, c_void_p, c_int32, c_void_p, c_uint32, c_uint16, POINTER(DISPPARAMS), c_void_p,
                      c_void_p, c_void_p)(self._invoke),
        ]
        self._vtable = (c_void_p * len(self._functions))(*[ctypes.cast(f, c_void_p) for f in self._functions])
        # The object is a cell holding the vtable's address, as a C struct's lpVtbl.
        self._object = c_void_p(ctypes.addressof(self._vtable))

    @property
    def pointer(self):
        return ctypes.addressof(self._object)

    def _query_interface(self, this, riid, out):
        if any(bytes(riid.contents) == bytes(iid) for iid in (IID_IUnknown, IID_IDispatch, self._iid)):
            out[0] = this
            return S_OK
        out[0] = None
        return E_NOINTERFACE

    def _invoke(self, this, dispid, riid, lcid, flags, params, result, exception, arg_error):
        given = params.contents
        self._on_invoke(dispid, [given.rgvarg[i] for i in reversed(range(given.cArgs))])
        return S_OK
