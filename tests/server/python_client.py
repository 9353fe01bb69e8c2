#!/usr/bin/python3
"""A host in another language: Debian's Python 3 with ctypes and nothing else.

It registers the server in a temporary XDG_DATA_HOME, creates Velmarith.WinInput and
Velmarith.WinSearch by ProgID, sets and reads properties by dispatch id, calls InputAny and
SearchAny with the windows answered by the library's scripted test desktop, and receives
SelectSuccess in an event sink written here. Usage: python_client.py path/to/libVelmarith.so
"""
import ctypes
import json
import os
import sqlite3
import sys
import tempfile
from ctypes import POINTER, CFUNCTYPE, Structure, Union, byref, c_double, c_int16, c_int32, c_uint16, c_uint32, c_void_p

S_OK = 0
DISP_E_OVERFLOW = 0x8002000A - (1 << 32)
DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT = 1, 2, 4
DISPID_PROPERTYPUT = -3
VT_I2, VT_I4, VT_BSTR = 2, 3, 8
PROPERTY, METHOD = 0x40030000, 0x60030000


class GUID(Structure):
    _fields_ = [("Data1", c_uint32), ("Data2", c_uint16), ("Data3", c_uint16), ("Data4", ctypes.c_uint8 * 8)]


class VARIANT(Structure):
    class Value(Union):
        _fields_ = [("iVal", c_int16), ("lVal", c_int32), ("scode", c_int32), ("dblVal", c_double),
                    ("bstrVal", c_void_p), ("pdispVal", c_void_p)]
    _anonymous_ = ("value",)
    _fields_ = [("vt", c_uint16), ("reserved1", c_uint16), ("reserved2", c_uint16), ("reserved3", c_uint16),
                ("value", Value)]


class DISPPARAMS(Structure):
    _fields_ = [("rgvarg", POINTER(VARIANT)), ("rgdispidNamedArgs", POINTER(c_int32)),
                ("cArgs", c_uint32), ("cNamedArgs", c_uint32)]


lib = ctypes.CDLL(sys.argv[1])
lib.SysAllocStringLen.restype = c_void_p
lib.SysAllocStringLen.argtypes = [c_void_p, c_uint32]
lib.SysFreeString.argtypes = [c_void_p]
lib.SysStringLen.restype = c_uint32
lib.SysStringLen.argtypes = [c_void_p]
lib.VariantClear.argtypes = [POINTER(VARIANT)]
lib.VelmarithCreateInstance.argtypes = [ctypes.c_char_p, POINTER(GUID), POINTER(c_void_p)]
lib.VelmarithTestDesktopExpect.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
IID_IUnknown = GUID.in_dll(lib, "IID_IUnknown")
IID_IDispatch = GUID.in_dll(lib, "IID_IDispatch")
IID_IConnectionPointContainer = GUID.in_dll(lib, "IID_IConnectionPointContainer")
DIID_WinSearchEvents = GUID.in_dll(lib, "DIID_WinSearchEvents")

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def bstr(text):
    units = text.encode("utf-16-le")
    return lib.SysAllocStringLen(ctypes.create_string_buffer(units, len(units)), len(units) // 2)


def text_of(value):
    return ctypes.string_at(value, lib.SysStringLen(value) * 2).decode("utf-16-le") if value else ""


def slot(interface, index, *argtypes):
    """The function in a vtable slot of an interface pointer, callable with its arguments."""
    vtable = ctypes.cast(interface, POINTER(POINTER(c_void_p)))[0]
    return CFUNCTYPE(c_int32, c_void_p, *argtypes)(vtable[index])


def release(interface):
    CFUNCTYPE(c_uint32, c_void_p)(ctypes.cast(interface, POINTER(POINTER(c_void_p)))[0][2])(interface)


def text_variant(text):
    value = VARIANT()
    value.vt, value.bstrVal = VT_BSTR, bstr(text)
    return value


def invoke(dispatch, dispid, flags, arguments=()):
    """IDispatch::Invoke (slot 6) with arguments in declared order; returns (status, result)."""
    given = (VARIANT * max(len(arguments), 1))(*reversed(arguments))
    named = c_int32(DISPID_PROPERTYPUT)
    put = bool(flags & DISPATCH_PROPERTYPUT)
    params = DISPPARAMS(given, ctypes.pointer(named) if put else None, len(arguments), 1 if put else 0)
    result = VARIANT()
    status = slot(dispatch, 6, c_int32, c_void_p, c_uint32, c_uint16, POINTER(DISPPARAMS), POINTER(VARIANT),
                  c_void_p, c_void_p)(dispatch, dispid, None, 0, flags, byref(params), byref(result), None, None)
    return status, result


def create(progid):
    dispatch = c_void_p()
    status = lib.VelmarithCreateInstance(progid.encode(), byref(IID_IDispatch), byref(dispatch))
    check(status == S_OK and dispatch.value, "VelmarithCreateInstance(%s)" % progid)
    return dispatch.value


def same_guid(pointer, guid):
    return ctypes.string_at(pointer, ctypes.sizeof(GUID)) == bytes(guid)


class EventSink:
    """IDispatch in Python: Invoke records each event's dispatch id and text arguments."""

    def __init__(self):
        self.calls = []
        self.functions = [
            CFUNCTYPE(c_int32, c_void_p, c_void_p, POINTER(c_void_p))(self.query_interface),
            CFUNCTYPE(c_uint32, c_void_p)(lambda this: 2),
            CFUNCTYPE(c_uint32, c_void_p)(lambda this: 1),
            CFUNCTYPE(c_int32, c_void_p, c_void_p)(lambda this, count: 0x80004001),
            CFUNCTYPE(c_int32, c_void_p, c_uint32, c_uint32, c_void_p)(lambda *unused: 0x80004001),
            CFUNCTYPE(c_int32, c_void_p, c_void_p, c_void_p, c_uint32, c_uint32, c_void_p)(lambda *unused: 0x80004001),
            CFUNCTYPE(c_int32, c_void_p, c_int32, c_void_p, c_uint32, c_uint16, POINTER(DISPPARAMS), c_void_p,
                      c_void_p, c_void_p)(self.invoke),
        ]
        self.vtable = (c_void_p * 7)(*[ctypes.cast(f, c_void_p) for f in self.functions])
        # The object is a cell holding the vtable's address, as a C struct's lpVtbl.
        self.object = c_void_p(ctypes.addressof(self.vtable))

    @property
    def pointer(self):
        return ctypes.addressof(self.object)

    def query_interface(self, this, riid, out):
        if same_guid(riid, IID_IUnknown) or same_guid(riid, IID_IDispatch) or same_guid(riid, DIID_WinSearchEvents):
            out[0] = this
            return S_OK
        out[0] = None
        return 0x80004002 - (1 << 32)

    def invoke(self, this, dispid, riid, lcid, flags, params, result, exception, arg_error):
        p = params.contents
        self.calls.append((dispid, [text_of(p.rgvarg[i].bstrVal) for i in reversed(range(p.cArgs))]))
        return S_OK


def main(home):
    os.environ["XDG_DATA_HOME"] = home
    database = os.path.join(home, "customers.sqlite")
    with sqlite3.connect(database) as connection:
        connection.executescript("create table 客户 (编号 text, 名称 text);"
                                 "insert into 客户 values ('01', '张三'), ('02', '李四');")
    os.environ["DATABRIDGE_DATABASE"] = database

    check(lib.DllRegisterServer() == S_OK, "DllRegisterServer")
    with open(os.path.join(home, "velmarith", "registry.json"), encoding="utf-8") as registry:
        entry = json.load(registry)["CLSID"]["{D410CD48-58FE-40D9-AC36-A08364DA4410}"]
    check(entry["ThreadingModel"] == "Apartment" and os.path.isabs(entry["InprocServer32"]),
          "the registry names the library file and Apartment")

    check(lib.VelmarithTestDesktopInstall() == S_OK, "the scripted desktop")
    input_box = create("Velmarith.WinInput")
    lib.VelmarithTestDesktopExpect(b"frmInputAny", "type txt内容 张三\nclick cmd确定".encode())
    prompt, title = text_variant("请输入客户名称"), text_variant("客户")
    status, result = invoke(input_box, METHOD, DISPATCH_METHOD, [prompt, title])
    check(status == S_OK and text_of(result.bstrVal) == "张三", "InputAny with two arguments returns the typed text")
    for value in (prompt, title, result):
        lib.VariantClear(byref(value))
    release(input_box)

    search = create("Velmarith.WinSearch")
    for dispid, text in ((PROPERTY + 0, "查找客户"), (PROPERTY + 6, "select 名称,编号 from 客户"),
                         (PROPERTY + 8, "名称"), (PROPERTY + 9, "0")):
        value = text_variant(text)
        check(invoke(search, dispid, DISPATCH_PROPERTYPUT, [value])[0] == S_OK, "put %#x" % dispid)
        lib.VariantClear(byref(value))
    status, caption = invoke(search, PROPERTY, DISPATCH_PROPERTYGET)
    check(status == S_OK and text_of(caption.bstrVal) == "查找客户", "SearchCaption reads back")
    lib.VariantClear(byref(caption))
    width = VARIANT()
    width.vt, width.lVal = VT_I4, 70000
    check(invoke(search, PROPERTY + 1, DISPATCH_PROPERTYPUT, [width])[0] == S_OK, "SearchWidth takes 70000")
    check(invoke(search, PROPERTY + 3, DISPATCH_PROPERTYPUT, [width])[0] == DISP_E_OVERFLOW,
          "SearchWorkMode refuses 70000 with DISP_E_OVERFLOW")

    container = c_void_p()
    check(slot(search, 0, POINTER(GUID), POINTER(c_void_p))(search, byref(IID_IConnectionPointContainer),
                                                             byref(container)) == S_OK, "the connection point container")
    point = c_void_p()
    slot(container.value, 4, POINTER(GUID), POINTER(c_void_p))(container.value, byref(DIID_WinSearchEvents), byref(point))
    sink = EventSink()
    cookie = c_uint32()
    check(slot(point.value, 5, c_void_p, POINTER(c_uint32))(point.value, sink.pointer, byref(cookie)) == S_OK,
          "Advise")

    lib.VelmarithTestDesktopExpect(b"frmDataSearch", "type txtQuery 张\nitem lvwQuery 1\nclick cmdOK".encode())
    check(invoke(search, METHOD, DISPATCH_METHOD)[0] == S_OK, "SearchAny")
    lib.VelmarithTestDesktopExpect(b"frmDataSearch", b"key 27")
    check(invoke(search, METHOD, DISPATCH_METHOD)[0] == S_OK, "SearchAny closed with Escape")
    check(sink.calls == [(1, ["张三"]), (1, [""])], "SelectSuccess once per SearchAny: %r" % sink.calls)

    slot(point.value, 6, c_uint32)(point.value, cookie.value)
    for interface in (point.value, container.value, search):
        release(interface)
    check(lib.VelmarithTestDesktopRemove() == S_OK, "every scripted window came")
    check(lib.DllCanUnloadNow() == S_OK, "nothing keeps the library loaded")
    check(lib.DllUnregisterServer() == S_OK, "DllUnregisterServer")
    with open(os.path.join(home, "velmarith", "registry.json"), encoding="utf-8") as registry:
        check(json.load(registry) == {}, "unregistering removed every entry it wrote")
    return 1 if failures else 0


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as folder:
        status = main(folder)
    sys.exit(status)
