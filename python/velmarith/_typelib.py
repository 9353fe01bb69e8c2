"""The type library kept inside libVelmarith.so, read through its ITypeLib and ITypeInfo as a
host that builds its wrappers from type information reads it: the classes, their members in
order, dispatch ids, types, parameter names, defaults and events."""
import ctypes
from ctypes import POINTER, byref, c_int32, c_uint16, c_uint32, c_void_p
from dataclasses import dataclass, field

from . import _abi

TKIND_COCLASS = 5
INVOKE_KINDS = {1: "method", 2: "get", 4: "let", 8: "set"}
TYPE_NAMES = {_abi.VT_BSTR: "BSTR", _abi.VT_I2: "I2", _abi.VT_I4: "I4", _abi.VT_DISPATCH: "Collection"}
PARAMFLAG_FOPT = 0x10
IMPLTYPEFLAG_FSOURCE = 0x2
MEMBERID_NIL = -1


@dataclass
class Parameter:
    name: str
    type: str
    optional: bool = False
    default: object = None


@dataclass
class Member:
    name: str
    dispid: int
    kinds: set = field(default_factory=set)  # "get", "let", "set" for a property; "method"
    type: str = ""
    parameters: list = field(default_factory=list)


@dataclass
class ClassInfo:
    name: str
    clsid: str
    progid: str
    members: dict
    events: dict        # name -> Member of the event interface
    events_iid: str = ""


def _call(interface, index, *arguments, argtypes=()):
    status = _abi.slot(interface, index, *argtypes)(interface, *arguments)
    if status != _abi.S_OK:
        raise OSError(f"type information call {index} failed: {status & 0xFFFFFFFF:#010x}")


def _name(info, member=MEMBERID_NIL):
    name = c_void_p()
    _call(info, 12, member, byref(name), None, None, None,
          argtypes=(c_int32, POINTER(c_void_p), c_void_p, c_void_p, c_void_p))
    return _abi.take_text(name.value)


def _default(description):
    value = description.varDefaultValue
    if value.vt == _abi.VT_BSTR:
        return _abi.text_of(value.bstrVal)
    if value.vt == _abi.VT_I2:
        return value.iVal
    if value.vt == _abi.VT_I4:
        return value.lVal
    return None


def _members(info):
    attributes = ctypes.POINTER(_abi.TYPEATTR)()
    _call(info, 3, byref(attributes), argtypes=(POINTER(POINTER(_abi.TYPEATTR)),))
    count = attributes.contents.cFuncs
    _abi.slot(info, 19, c_void_p, restype=None)(info, attributes)
    members = {}
    for index in range(count):
        function = ctypes.POINTER(_abi.FUNCDESC)()
        _call(info, 5, index, byref(function), argtypes=(c_uint32, POINTER(POINTER(_abi.FUNCDESC))))
        description = function.contents
        names = (c_void_p * 8)()
        named = c_uint32()
        _call(info, 7, description.memid, names, 8, byref(named),
              argtypes=(c_int32, POINTER(c_void_p), c_uint32, POINTER(c_uint32)))
        texts = [_abi.take_text(names[i]) for i in range(named.value)]
        member = members.setdefault(texts[0], Member(texts[0], description.memid))
        kind = INVOKE_KINDS[description.invkind]
        member.kinds.add(kind)
        if kind == "method":
            member.type = TYPE_NAMES.get(description.elemdescFunc.tdesc.vt, "void")
            for i in range(description.cParams):
                element = description.lprgelemdescParam[i]
                optional = bool(element.paramdesc.wParamFlags & PARAMFLAG_FOPT)
                member.parameters.append(Parameter(texts[i + 1], TYPE_NAMES.get(element.tdesc.vt, "void"), optional,
                                                   _default(element.paramdesc.pparamdescex.contents) if optional else None))
        elif kind == "get":
            member.type = TYPE_NAMES[description.elemdescFunc.tdesc.vt]
        _abi.slot(info, 20, c_void_p, restype=None)(info, function)
    return members


def _implemented(info, index):
    """The type an entry implements at `index`, with its implementation flags."""
    reference = c_uint32()
    flags = c_int32()
    _call(info, 8, index, byref(reference), argtypes=(c_uint32, POINTER(c_uint32)))
    _call(info, 9, index, byref(flags), argtypes=(c_uint32, POINTER(c_int32)))
    implemented = c_void_p()
    _call(info, 14, reference, byref(implemented), argtypes=(c_uint32, POINTER(c_void_p)))
    return implemented.value, flags.value


def _guid_of(info):
    attributes = ctypes.POINTER(_abi.TYPEATTR)()
    _call(info, 3, byref(attributes), argtypes=(POINTER(POINTER(_abi.TYPEATTR)),))
    text = _abi.guid_text(attributes.contents.guid)
    kind = attributes.contents.typekind
    implemented = attributes.contents.cImplTypes
    _abi.slot(info, 19, c_void_p, restype=None)(info, attributes)
    return text, kind, implemented


def load():
    """The classes of the library this package uses, by name."""
    library = c_void_p()
    status = _abi.lib.VelmarithLoadTypeLib(_abi.lib._name.encode(), byref(library))
    if status != _abi.S_OK:
        raise OSError(f"VelmarithLoadTypeLib failed: {status & 0xFFFFFFFF:#010x}")
    lib = library.value
    library_name = c_void_p()
    _call(lib, 9, -1, byref(library_name), None, None, None,
          argtypes=(c_int32, POINTER(c_void_p), c_void_p, c_void_p, c_void_p))
    prefix = _abi.take_text(library_name.value)
    classes = {}
    for index in range(_abi.slot(lib, 3, restype=c_uint32)(lib)):
        info = c_void_p()
        _call(lib, 4, index, byref(info), argtypes=(c_uint32, POINTER(c_void_p)))
        clsid, kind, implemented = _guid_of(info.value)
        if kind == TKIND_COCLASS:
            name = _name(info.value)
            members, events, events_iid = {}, {}, ""
            for i in range(implemented):
                interface, flags = _implemented(info.value, i)
                if flags & IMPLTYPEFLAG_FSOURCE:
                    events, (events_iid, _, _) = _members(interface), _guid_of(interface)
                else:
                    members = _members(interface)
                _abi.release(interface)
            # A ProgID is the library's name and the class's, as registration writes it.
            classes[name] = ClassInfo(name, clsid, f"{prefix}.{name}", members, events, events_iid)
        _abi.release(info.value)
    _abi.release(lib)
    return classes
