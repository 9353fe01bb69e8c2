"""What a property get and put cost through the Python package, beside the same IDispatch::Invoke
through plain ctypes (its prototype bound once) and a plain ctypes call into C, the floor.

    PYTHONPATH=build/python QT_QPA_PLATFORM=offscreen python3 bench/python_calls.py"""
import ctypes
import timeit
from ctypes import POINTER, byref, c_int32, c_uint16, c_uint32, c_void_p

import velmarith
from velmarith import _abi

ROUNDS = 200000


def per_call(statement):
    """The best of five runs, in microseconds a call."""
    return min(timeit.repeat(statement, number=ROUNDS, repeat=5)) / ROUNDS * 1e6


def main():
    search = velmarith.WinSearch()
    search.SearchWidth = 4000
    dispid = search._info.members["SearchWidth"].dispid
    invoke = ctypes.CFUNCTYPE(c_int32, c_void_p, c_int32, c_void_p, c_uint32, c_uint16, POINTER(_abi.DISPPARAMS),
                              POINTER(_abi.VARIANT), POINTER(_abi.EXCEPINFO), POINTER(c_uint32))(
        ctypes.cast(search._dispatch, POINTER(POINTER(c_void_p)))[0][6])
    no_arguments = _abi.DISPPARAMS(None, None, 0, 0)

    def plain_get():
        result = _abi.VARIANT()
        invoke(search._dispatch, dispid, None, 0, _abi.DISPATCH_PROPERTYGET, byref(no_arguments), byref(result), None, None)
        return result.lVal

    value = _abi.VARIANT()
    named = c_int32(_abi.DISPID_PROPERTYPUT)
    put_arguments = _abi.DISPPARAMS(ctypes.pointer(value), ctypes.pointer(named), 1, 1)

    def plain_put():
        value.vt, value.lVal = _abi.VT_I4, 4000
        invoke(search._dispatch, dispid, None, 0, _abi.DISPATCH_PROPERTYPUT, byref(put_arguments), None, None, None)

    def package_get():
        return search.SearchWidth

    def package_put():
        search.SearchWidth = 4000

    floor = _abi.lib.SysStringLen
    figures = {"package get": per_call(package_get), "package put": per_call(package_put),
               "plain ctypes Invoke get": per_call(plain_get), "plain ctypes Invoke put": per_call(plain_put),
               "plain ctypes call into C": per_call(lambda: floor(None))}
    for name, microseconds in figures.items():
        print(f"{name:28} {microseconds:6.2f} µs")
    for kind in ("get", "put"):
        ratio = figures[f"package {kind}"] / figures[f"plain ctypes Invoke {kind}"]
        print(f"{kind} through the package / plain Invoke: {ratio:.2f}×")


if __name__ == "__main__":
    main()
