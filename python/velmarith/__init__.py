"""Velmarith for Python: the four dialogs of libVelmarith.so through its C interface, with the
names, types and defaults of its type library.

    import velmarith
    search = velmarith.WinSearch()
    search.SearchCaption = "查找"
    search.SelectSuccess.connect(print)
    search.SearchAny()

Every failure raises VelmarithError, which carries the error's number and text."""
import ctypes
import enum
import inspect
from ctypes import POINTER, byref, c_int32, c_uint16, c_uint32, c_void_p

import importlib.metadata

from . import _abi, _docs, _typelib
from ._abi import VARIANT, lib

__version__ = _abi._location.VERSION if _abi._location else importlib.metadata.version("velmarith")

__all__ = ["WinFile", "WinInput", "WinSearch", "WinMagnge", "Collection", "KeywordMatch", "MessageAnswer",
           "MessageButtons", "MessageIcon", "VelmarithError",
           "VelmarithTypeError", "VelmarithOverflowError", "VelmarithValueError", "create", "default_database",
           "default_keyword_match", "register", "set_busy_timeout", "set_default_database", "set_default_keyword_match",
           "unregister"]

# The failed statuses of velmarith/server.h, by number.
_STATUS_NAMES = {
    0x80004001: "E_NOTIMPL", 0x80004002: "E_NOINTERFACE", 0x80004003: "E_POINTER", 0x80004005: "E_FAIL",
    0x8000FFFF: "E_UNEXPECTED", 0x8007000E: "E_OUTOFMEMORY", 0x80070057: "E_INVALIDARG",
    0x80020001: "DISP_E_UNKNOWNINTERFACE", 0x80020003: "DISP_E_MEMBERNOTFOUND", 0x80020004: "DISP_E_PARAMNOTFOUND",
    0x80020005: "DISP_E_TYPEMISMATCH", 0x80020006: "DISP_E_UNKNOWNNAME", 0x80020007: "DISP_E_NONAMEDARGS",
    0x80020008: "DISP_E_BADVARTYPE", 0x80020009: "DISP_E_EXCEPTION", 0x8002000A: "DISP_E_OVERFLOW",
    0x8002000B: "DISP_E_BADINDEX", 0x8002000E: "DISP_E_BADPARAMCOUNT", 0x8002000F: "DISP_E_PARAMNOTOPTIONAL",
    0x80040110: "CLASS_E_NOAGGREGATION", 0x80040111: "CLASS_E_CLASSNOTAVAILABLE", 0x80040154: "REGDB_E_CLASSNOTREG",
    0x80040200: "CONNECT_E_NOCONNECTION", 0x80040201: "SELFREG_E_CLASS", 0x80040202: "CONNECT_E_CANNOTCONNECT",
    0x800401F8: "CO_E_DLLNOTFOUND", 0x800401F9: "CO_E_ERRORINDLL", 0x8001010E: "RPC_E_WRONG_THREAD",
    0x8002801D: "TYPE_E_LIBNOTREGISTERED", 0x8002802B: "TYPE_E_ELEMENTNOTFOUND", 0x800288BD: "TYPE_E_BADMODULEKIND",
    0x80029C4A: "TYPE_E_CANTLOADLIBRARY"}


# The facility an automation runtime gives its own error numbers, as in 0x800A000D for 13.
_FACILITY_CONTROL = 0x800A0000


class VelmarithError(Exception):
    """A failed call: `number` is the library's error number (VB style, 5, 13, 68, …) or the
    call's HRESULT, `hresult` always the HRESULT (0x800A000D for 13), `text` what went wrong;
    `member` and `value` name the member and the value it refused, where one did. A type
    mismatch is also a TypeError, an overflow an OverflowError, a bad value a ValueError."""

    def __init__(self, number, text, member=None, value=None):
        self.number = number
        self.hresult = number & 0xFFFFFFFF if number >= 0x10000 or number < 0 else _FACILITY_CONTROL | number
        self.text = text
        self.member = member
        self.value = value
        name = _STATUS_NAMES.get(self.hresult)
        where = f"{member} = {value!r}: " if member is not None else ""
        super().__init__(f"{where}{text} (HRESULT {self.hresult:#010x}{' ' + name if name else ''})")


class VelmarithTypeError(VelmarithError, TypeError):
    """A value of a type the member cannot take."""


class VelmarithOverflowError(VelmarithError, OverflowError):
    """A number outside what the member holds."""


class VelmarithValueError(VelmarithError, ValueError):
    """A value the member refuses: a bad argument, index or property value."""


_KINDS = {0x80020005: VelmarithTypeError, _FACILITY_CONTROL | 13: VelmarithTypeError,
          0x8002000A: VelmarithOverflowError, _FACILITY_CONTROL | 6: VelmarithOverflowError,
          0x80070057: VelmarithValueError, 0x8002000B: VelmarithValueError, _FACILITY_CONTROL | 5: VelmarithValueError,
          _FACILITY_CONTROL | 380: VelmarithValueError, _FACILITY_CONTROL | 381: VelmarithValueError}


def _error(number, text, member=None, value=None):
    """The error of its kind: a VelmarithError, and the built-in Python code would expect."""
    error = VelmarithError(number, text)
    return _KINDS.get(error.hresult, VelmarithError)(number, text, member, value)


def _failure(status, reported):
    """The error behind a failed status: the library's report, for an entry point that leaves
    one, else the status itself."""
    report = _abi.last_exception() if reported else None
    if report:
        return _error(*report)
    status &= 0xFFFFFFFF
    return _error(status, _STATUS_NAMES.get(status, f"HRESULT {status:#010x}"))


def _check(status, reported=False):
    if status != _abi.S_OK:
        raise _failure(status, reported)


def _run(function, *arguments):
    """Calls an entry point that reports its errors for VelmarithGetLastException."""
    _abi.last_exception()  # a report an earlier call left is not this call's
    _check(function(*arguments), reported=True)


def _to_variant(value):
    """A VARIANT the caller clears; it holds its own reference to a collection."""
    return _fill_variant(VARIANT(), value)


def _fill_variant(variant, value):
    """Puts `value` into an empty VARIANT, which the caller clears."""
    if value is None:
        variant.vt = _abi.VT_EMPTY
    elif isinstance(value, bool):
        variant.vt, variant.boolVal = _abi.VT_BOOL, -1 if value else 0
    elif isinstance(value, int) and -2**31 <= value < 2**31:
        variant.vt, variant.lVal = _abi.VT_I4, value
    elif isinstance(value, (int, float)):
        variant.vt, variant.dblVal = _abi.VT_R8, float(value)
    elif isinstance(value, str):
        variant.vt, variant.bstrVal = _abi.VT_BSTR, _abi.bstr(value)
    elif isinstance(value, Collection):
        _abi.add_ref(value._pointer)
        variant.vt, variant.pdispVal = _abi.VT_DISPATCH, value._pointer
    else:
        raise TypeError(f"a {type(value).__name__} cannot be passed to Velmarith")
    return variant


def _missing():
    variant = VARIANT()
    variant.vt, variant.scode = _abi.VT_ERROR, _abi.DISP_E_PARAMNOTFOUND
    return variant


def _from_variant(variant, take=False):
    """The Python value of a VARIANT; `take` for one whose references the caller hands over."""
    vt = variant.vt
    if vt == _abi.VT_BSTR:
        return _abi.take_text(variant.bstrVal) if take else _abi.text_of(variant.bstrVal)
    if vt == _abi.VT_I2:
        return variant.iVal
    if vt == _abi.VT_I4:
        return variant.lVal
    if vt == _abi.VT_R8:
        return variant.dblVal
    if vt == _abi.VT_BOOL:
        return variant.boolVal != 0
    if vt == _abi.VT_DISPATCH:
        if not variant.pdispVal:
            return None
        if not take:
            _abi.add_ref(variant.pdispVal)
        return Collection(_pointer=variant.pdispVal)
    return None


# IDispatch::Invoke's prototype, made once: a call then costs the call alone.
_INVOKE = ctypes.CFUNCTYPE(c_int32, c_void_p, c_int32, c_void_p, c_uint32, c_uint16, POINTER(_abi.DISPPARAMS),
                           POINTER(VARIANT), POINTER(_abi.EXCEPINFO), POINTER(c_uint32))
_NO_ARGUMENTS = byref(_abi.DISPPARAMS(None, None, 0, 0))


class _CallState:
    """What a call on one object needs, made once: its Invoke, and for property gets and puts a
    value, a result and an exception record to reuse (the windows live on one thread, and each
    is cleared or taken before the next call)."""
    __slots__ = ("function", "dispatch", "value", "value_ref", "put_ref", "result", "result_ref", "exception",
                 "exception_ref", "_named", "_put")

    def __init__(self, dispatch):
        self.function = _INVOKE(ctypes.cast(dispatch, POINTER(POINTER(c_void_p)))[0][6])
        self.dispatch = dispatch
        self.value = VARIANT()
        self.value_ref = byref(self.value)
        self._named = c_int32(_abi.DISPID_PROPERTYPUT)
        self._put = _abi.DISPPARAMS(ctypes.pointer(self.value), ctypes.pointer(self._named), 1, 1)
        self.put_ref = byref(self._put)
        self.result = VARIANT()
        self.result_ref = byref(self.result)
        self.exception = _abi.EXCEPINFO()
        self.exception_ref = byref(self.exception)


def _raise_invoke_failure(status, exception, member=None, value=None):
    if status == _abi.DISP_E_EXCEPTION:
        lib.SysFreeString(exception.bstrSource)
        raise _error(exception.wCode or exception.scode, _abi.take_text(exception.bstrDescription), member, value)
    status &= 0xFFFFFFFF
    raise _error(status, _STATUS_NAMES.get(status, f"HRESULT {status:#010x}"), member, value)


def _call_method(state, dispid, arguments, member):
    """A method through an object's Invoke, with arguments in declared order (_MISSING where an
    optional one is left out); a refusal names the method."""
    variants = [_missing() if value is _MISSING else _to_variant(value) for value in arguments]
    given = (VARIANT * max(len(variants), 1))(*reversed(variants))
    params = _abi.DISPPARAMS(given, None, len(variants), 0)
    result = VARIANT()
    exception = _abi.EXCEPINFO()
    status = state.function(state.dispatch, dispid, None, 0, _abi.DISPATCH_METHOD, byref(params), byref(result),
                            byref(exception), None)
    for index in range(len(variants)):
        lib.VariantClear(byref(given[index]))
    if status != _abi.S_OK:
        _raise_invoke_failure(status, exception, member)
    return _from_variant(result, take=True)


_MISSING = object()


class Collection:
    """The library's automation collection: 1-based items (text, numbers, flags, collections),
    optionally keyed by text compared ignoring letter case."""

    def __init__(self, _pointer=None):
        if _pointer is None:
            made = c_void_p()
            _run(lib.VelmarithCreateCollection, byref(made))
            _pointer = made.value
        self._pointer = _pointer

    def __del__(self):
        if getattr(self, "_pointer", None):
            _abi.release(self._pointer)
            self._pointer = None

    def _call(self, index, *variants):
        _run(_abi.slot(self._pointer, index, *[POINTER(VARIANT)] * len(variants)), self._pointer, *map(byref, variants))

    def add(self, item, key=None):
        given, named = _to_variant(item), _to_variant(key) if key is not None else _missing()
        try:
            self._call(8, given, named, _missing(), _missing())
        finally:
            lib.VariantClear(byref(given))
            lib.VariantClear(byref(named))

    def item(self, index):
        """The item at a position from 1, or under a key."""
        where, found = _to_variant(index), VARIANT()
        try:
            self._call(7, where, found)
        finally:
            lib.VariantClear(byref(where))
        return _from_variant(found, take=True)

    def remove(self, index):
        where = _to_variant(index)
        try:
            self._call(10, where)
        finally:
            lib.VariantClear(byref(where))

    def __len__(self):
        count = c_int32()
        _check(_abi.slot(self._pointer, 9, POINTER(c_int32))(self._pointer, byref(count)))
        return count.value

    def __getitem__(self, index):
        return self.item(index)

    def __iter__(self):
        return (self.item(i) for i in range(1, len(self) + 1))


class Event:
    """An event of one object: `connect(callback)` and each callback is called once per event
    with the event's arguments."""

    def __init__(self, owner, member):
        self._owner = owner
        self._member = member
        self._callbacks = []

    def connect(self, callback):
        self._owner._listen()
        self._callbacks.append(callback)

    def disconnect(self, callback):
        self._callbacks.remove(callback)

    def _fire(self, arguments):
        """Calls each callback; the first exception ends the event and is kept for the caller
        of the method that raised it, since it cannot pass through the library."""
        for callback in list(self._callbacks):
            try:
                callback(*arguments)
            except BaseException as exception:
                self._owner._keep_callback_exception(exception)
                return


class _Dialog:
    """One object of a Velmarith class; its attributes are the type library's members. Slots
    and no instance dictionary: a name the class lacks cannot be set by mistake."""
    __slots__ = ("_dispatch", "_got", "_events", "_advised", "_callback_exception", "__weakref__")
    _info = None

    def __init__(self, _dispatch=None):
        self._dispatch = None
        self._advised = None
        if _dispatch is None:
            _dispatch = _make(self._info)
        self._dispatch = _dispatch
        self._got = _CallState(_dispatch)
        self._events = {name: Event(self, member) for name, member in self._info.events.items()}
        self._callback_exception = None

    def __del__(self):
        dispatch = getattr(self, "_dispatch", None)
        if not dispatch:
            return
        if self._advised:
            point, cookie, _sink = self._advised
            _abi.slot(point, 6, c_uint32)(point, cookie)
            _abi.release(point)
        _abi.release(dispatch)
        self._dispatch = None

    def __getattr__(self, name):
        raise AttributeError(f"{self._info.name} has no member {name}")

    def _listen(self):
        """Advises a sink of ours on the object's event interface, once."""
        if self._advised:
            return
        iid = _abi.GUID.parse(self._info.events_iid)
        container = _abi.query_interface(self._dispatch, _abi.IID_IConnectionPointContainer)
        if not container:
            raise VelmarithError(0x80004002, f"{self._info.name} raises no events")
        point = c_void_p()
        status = _abi.slot(container, 4, POINTER(_abi.GUID), POINTER(c_void_p))(container, byref(iid), byref(point))
        _abi.release(container)
        _check(status)
        sink = _abi.Sink(iid, self._on_event)
        cookie = c_uint32()
        _check(_abi.slot(point.value, 5, c_void_p, POINTER(c_uint32))(point.value, sink.pointer, byref(cookie)))
        self._advised = (point.value, cookie.value, sink)

    def _keep_callback_exception(self, exception):
        if self._callback_exception is None:
            self._callback_exception = exception

    def _raise_callback_exception(self):
        """Raises, with its own traceback, what an event's callback raised during the last call."""
        exception = self._callback_exception
        if exception is not None:
            self._callback_exception = None
            raise exception

    def _on_event(self, dispid, arguments):
        for event in self._events.values():
            if event._member.dispid == dispid:
                event._fire([_from_variant(argument) for argument in arguments])


def _make(info):
    factory = c_void_p()
    _check(lib.DllGetClassObject(byref(_abi.GUID.parse(info.clsid)), byref(_abi.IID_IClassFactory), byref(factory)))
    made = c_void_p()
    status = _abi.slot(factory.value, 3, c_void_p, POINTER(_abi.GUID), POINTER(c_void_p))(
        factory.value, None, byref(_abi.IID_IDispatch), byref(made))
    _abi.release(factory.value)
    _check(status)
    return made.value


_PYTHON_TYPES = {"BSTR": str, "I2": int, "I4": int, "Collection": "Collection", "void": None}


def _property(member, doc):
    dispid = member.dispid
    # A collection is handed on by reference, as the type library's put-by-reference says.
    flags = _abi.DISPATCH_PROPERTYPUTREF if "set" in member.kinds else _abi.DISPATCH_PROPERTYPUT

    # The hottest path of a host: one Python frame, a number read as it is.
    def get(self) -> _PYTHON_TYPES[member.type]:
        got = self._got
        status = got.function(got.dispatch, dispid, None, 0, _abi.DISPATCH_PROPERTYGET, _NO_ARGUMENTS, got.result_ref,
                              got.exception_ref, None)
        if status:
            _raise_invoke_failure(status, got.exception, member.name)
        vt = got.result.vt
        if vt == _abi.VT_I4:
            return got.result.lVal
        if vt == _abi.VT_I2:
            return got.result.iVal
        return _from_variant(got.result, take=True)

    def put(self, value: _PYTHON_TYPES[member.type]) -> None:
        got = self._got
        # A number holds nothing to free; anything else is cleared after the call.
        number = type(value) is int and -2**31 <= value < 2**31
        if number:
            got.value.vt = _abi.VT_I4
            got.value.lVal = value
        else:
            _fill_variant(got.value, value)
        status = got.function(got.dispatch, dispid, None, 0, flags, got.put_ref, None, got.exception_ref, None)
        if not number:
            lib.VariantClear(got.value_ref)
        if status:
            _raise_invoke_failure(status, got.exception, member.name, value)

    return property(get, put, doc=doc)


def _method(member, doc):
    parameters = [inspect.Parameter(p.name, inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                    default=p.default if p.optional else inspect.Parameter.empty,
                                    annotation=_PYTHON_TYPES[p.type])
                  for p in member.parameters]
    signature = inspect.Signature(parameters, return_annotation=_PYTHON_TYPES[member.type])

    def call(self, *arguments, **named):
        bound = signature.bind_partial(*arguments, **named)
        values = [bound.arguments.get(p.name, _MISSING) for p in member.parameters]
        missing = [p.name for p, v in zip(member.parameters, values) if v is _MISSING and not p.optional]
        if missing:
            raise TypeError(f"{member.name}() needs {', '.join(missing)}")
        while values and values[-1] is _MISSING:
            values.pop()
        try:
            result = _call_method(self._got, member.dispid, values, member.name)
        except BaseException:
            self._raise_callback_exception()
            raise
        self._raise_callback_exception()
        return result

    call.__name__ = call.__qualname__ = member.name
    call.__doc__ = doc
    call.__signature__ = signature.replace(
        parameters=[inspect.Parameter("self", inspect.Parameter.POSITIONAL_OR_KEYWORD)] + parameters)
    return call


# The members of each class that its type library lacks, as the C++ classes name them: how a
# value comes back, and whether it may be put.
_BEYOND_THE_TYPE_LIBRARY = {
    "WinInput": {"inputAccepted": (bool, False)},
    "WinFile": {"fileAccepted": (bool, False), "selectedFiles": (list, False)},
    "WinSearch": {"queryFailures": (list, False), "keywordMatch": ("KeywordMatch", True)},
    "WinMagnge": {"checksWriteConflicts": (bool, True), "remembersLayout": (bool, True)},
}


def _member_beyond(name, kind, settable, doc):
    encoded = name.encode()

    def get(self):
        value = VARIANT()
        _check(lib.VelmarithGetMember(self._dispatch, encoded, byref(value)))
        got = _from_variant(value, take=True)
        return list(got) if kind is list else KeywordMatch(got) if kind == "KeywordMatch" else got

    def put(self, value):
        given = _to_variant(value)
        try:
            status = lib.VelmarithPutMember(self._dispatch, encoded, byref(given))
        finally:
            lib.VariantClear(byref(given))
        if status:
            status &= 0xFFFFFFFF
            raise _error(status, _STATUS_NAMES.get(status, f"HRESULT {status:#010x}"), name, value)

    get.__annotations__ = {"return": kind}
    return property(get, put if settable else None, doc=doc)


def _event(name, doc):
    return property(lambda self: self._events[name], doc=f"An event: connect(callback). {doc}")


def _class(info):
    """The Python class of a type library class: a property, method or event per member, each
    with what the C++ header says of it."""
    docs = _docs.DOCS.get(info.name, {})
    attributes = {"__slots__": (), "_info": info, "__doc__": docs.get("", f"The Velmarith class {info.name}.") + f" ({info.progid})",
                  "__module__": __name__}
    for name, member in info.members.items():
        doc = docs.get(name, "")
        attributes[name] = _method(member, doc) if "method" in member.kinds else _property(member, doc)
    for name in info.events:
        attributes[name] = _event(name, docs.get(name, ""))
    for name, (kind, settable) in _BEYOND_THE_TYPE_LIBRARY.get(info.name, {}).items():
        attributes[name] = _member_beyond(name, kind, settable, docs.get(name, ""))
    return type(info.name, (_Dialog,), attributes)


_CLASSES = _typelib.load()
for _name, _info in _CLASSES.items():
    globals()[_name] = _class(_info)


def create(name):
    """An object made through the user's registry, by ProgID ("Velmarith.WinInput") or CLSID,
    as a host of the component model makes one: the registered library file is loaded."""
    made = c_void_p()
    _run(lib.VelmarithCreateInstance, name.encode(), byref(_abi.IID_IDispatch), byref(made))
    wanted = name.strip("{}").upper()
    for info in _CLASSES.values():
        if info.progid.lower() == name.lower() or info.clsid.strip("{}").upper() == wanted:
            return globals()[info.name](_dispatch=made.value)
    _abi.release(made.value)
    raise VelmarithError(0x80040154, f"{name} is no Velmarith class")


class MessageIcon(enum.IntEnum):
    """A message box's icon, as velmarith/MessageBox.h numbers them."""
    None_ = 0
    Information = 1
    Question = 2
    Exclamation = 3
    Critical = 4


class MessageButtons(enum.IntEnum):
    Ok = 0
    YesNo = 1


class MessageAnswer(enum.IntEnum):
    """The answer a message box was given; the testing desktop's answer() queues one."""
    Ok = 0
    Yes = 1
    No = 2


class KeywordMatch(enum.IntEnum):
    """How a lookup window's keyword list finds its rows as the keyword changes."""
    Like = 0     #: a like-query at each change (the default)
    Instant = 1  #: the rows read once, then filtered in memory as the database's like would
    Pinyin = 2   #: as Instant, the keyword also read as pinyin (张三 by zs and zhangsan)


def set_default_database(database):
    """The database the windows open from now on, as DataBridge opens it: a SQLite file's path
    or a server's URI (postgresql://…, mariadb://…, odbc:…); None or "" goes back to
    $DATABRIDGE_DATABASE."""
    _check(lib.VelmarithSetDefaultDatabase(database.encode() if database else None))


def default_database() -> str:
    """The database the windows open: set_default_database's, else $DATABRIDGE_DATABASE."""
    text = c_void_p()
    _check(lib.VelmarithGetDefaultDatabase(byref(text)))
    return _abi.take_text(text.value)


def set_busy_timeout(milliseconds: int):
    """How long a statement waits for another program's lock before it fails (5000 ms)."""
    _check(lib.VelmarithSetBusyTimeout(milliseconds))


def set_default_keyword_match(match: KeywordMatch):
    """The keyword matching of every lookup window made from now on, the maintenance window's
    lookups included."""
    _check(lib.VelmarithSetDefaultKeywordMatch(int(match)))


def default_keyword_match() -> KeywordMatch:
    match = c_int32()
    _check(lib.VelmarithGetDefaultKeywordMatch(byref(match)))
    return KeywordMatch(match.value)


def register():
    """Registers the four classes and the type library in the user's registry."""
    _run(lib.DllRegisterServer)


def unregister():
    """Removes exactly the entries register() wrote."""
    _run(lib.DllUnregisterServer)
