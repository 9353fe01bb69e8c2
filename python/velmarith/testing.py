"""The library's scripted desktop for tests of a host's use of the dialogs: while it is in
place, each window runs a script of actions instead of waiting for a person.

    with velmarith.testing.TestDesktop() as desk:
        desk.expect("frmInputAny", ["type txt内容 张三", "click cmd确定"])
        assert velmarith.WinInput().InputAny("请输入名称", "名称") == "张三"

Actions, one a line: type CONTROL TEXT, click CONTROL, item LIST N, key CODE, close."""
from . import VelmarithError, _failure, _run
from . import _abi
from ._abi import S_OK, lib


class TestDesktop:
    def __enter__(self):
        _run(lib.VelmarithTestDesktopInstall)
        return self

    def expect(self, window, actions):
        """The next window shown, by form class ("frmInputAny") or caption, runs these actions."""
        script = "\n".join(actions) if isinstance(actions, (list, tuple)) else actions
        _run(lib.VelmarithTestDesktopExpect, window.encode(), script.encode())

    def __exit__(self, kind, value, traceback):
        _abi.last_exception()  # a report an earlier call left is not this call's
        status = lib.VelmarithTestDesktopRemove()
        if status != S_OK and kind is None:
            raise _failure(status, reported=True)
        return False


__all__ = ["TestDesktop", "VelmarithError"]
