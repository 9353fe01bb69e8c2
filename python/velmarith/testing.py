"""The library's scripted desktop for tests of a host's use of the dialogs: while it is in
place, each window runs a script instead of waiting for a person. The names are the C++
TestDesktop's and FormDriver's, so the C++ examples translate line by line:

    with velmarith.testing.TestDesktop() as desktop:
        def type_name(user):
            user.setText("txt内容", "张三")
            user.click("cmd确定")
        desktop.expectModal("frmInputAny", type_name)
        assert velmarith.WinInput().InputAny("请输入名称", "名称") == "张三"

A message box takes the answers queued with answer(MessageAnswer.Yes); messages(), modals()
and beeps() tell what the desktop saw. A problem (an unexpected window, an unanswered message,
a script that raised) is raised when the desktop is removed, or goes to setFailureHandler's
handler as it happens; a script's own exception is raised again as itself. With pytest,
`pytest_plugins = ["velmarith.testing"]` (or the package installed by pip) gives the fixture
`velmarith_desktop`. The text form of scripts stays: expect(window, ["type txt内容 张三",
"click cmd确定"]) with the actions type, click, item, key and close."""
import ctypes
import json
from ctypes import POINTER, byref, c_char_p, c_int32, c_void_p
from dataclasses import dataclass
from typing import Callable, List, Optional

from . import MessageAnswer, MessageButtons, MessageIcon, VelmarithError, _failure, _run
from . import _abi
from ._abi import S_OK, lib

_SCRIPT = ctypes.CFUNCTYPE(c_int32, c_void_p, c_void_p)
_FAILURE = ctypes.CFUNCTYPE(None, c_char_p, c_void_p)
for _name, _restype, _argtypes in [
        ("VelmarithTestDesktopExpectScript", c_int32, [c_char_p, _SCRIPT, c_void_p]),
        ("VelmarithDriverAct", c_int32, [c_void_p, c_char_p, c_char_p, c_char_p, POINTER(c_void_p)]),
        ("VelmarithTestDesktopAnswer", c_int32, [c_int32]),
        ("VelmarithTestDesktopRecords", c_int32, [POINTER(c_void_p)]),
        ("VelmarithTestDesktopSetFailureHandler", c_int32, [_FAILURE, c_void_p]),
        ("VelmarithTestDesktopVerify", c_int32, [])]:
    _function = getattr(lib, _name)
    _function.restype, _function.argtypes = _restype, _argtypes


@dataclass
class MessageRecord:
    """A message box as it was shown, and the answer it was given."""
    text: str
    title: str
    icon: MessageIcon
    buttons: MessageButtons
    answer: MessageAnswer


@dataclass
class ModalRecord:
    """A window shown modally: its form class ("frmInputAny") and its caption at that moment."""
    formClass: str
    caption: str


class FormDriver:
    """Acts on a shown window as a person would, during its script. Controls are named as on the
    form ("txt内容"); list positions count from 1. A failed action raises VelmarithError."""

    def __init__(self, driver):
        self._driver = driver

    def _act(self, action, control=None, argument=None):
        result = c_void_p()
        encode = lambda text: None if text is None else str(text).encode()
        _run(lib.VelmarithDriverAct, self._driver, action.encode(), encode(control), encode(argument), byref(result))
        return _abi.take_text(result.value) if result.value else ""

    def formClass(self) -> str: return self._act("formClass")
    def caption(self) -> str: return self._act("caption")
    def controlNames(self) -> List[str]: return self._act("controlNames").split("\n")
    def exists(self, control: str) -> bool: return self._act("exists", control) == "1"
    def isVisible(self, control: str) -> bool: return self._act("isVisible", control) == "1"
    def isEnabled(self, control: str) -> bool: return self._act("isEnabled", control) == "1"
    def text(self, control: str) -> str: return self._act("text", control)
    def toolTip(self, control: str) -> str: return self._act("toolTip", control)

    def items(self, control: str) -> List[str]:
        items = self._act("items", control)
        return items.split("\n") if items else []

    def value(self, control: str) -> int: return int(self._act("value", control))
    def activeControl(self) -> str: return self._act("activeControl")
    def setText(self, control: str, text: str) -> None: self._act("setText", control, text)
    def pick(self, control: str, entry: str) -> None: self._act("pick", control, entry)
    def setValue(self, control: str, value: int) -> None: self._act("setValue", control, value)
    def click(self, control: str) -> None: self._act("click", control)
    def clickItem(self, listView: str, position: int) -> None: self._act("clickItem", listView, position)
    def doubleClickItem(self, listView: str, position: int) -> None: self._act("doubleClickItem", listView, position)
    def clickColumn(self, listView: str, position: int) -> None: self._act("clickColumn", listView, position)
    def doubleClickNode(self, treeView: str, key: str) -> None: self._act("doubleClickNode", treeView, key)
    def selectNode(self, treeView: str, key: str) -> None: self._act("selectNode", treeView, key)
    def focus(self, control: str) -> None: self._act("focus", control)

    def pressKey(self, keyCode: int, shift: int = 0) -> None:
        """Key codes: 13 Enter, 27 Escape, 9 Tab, 18 Alt; shift: 1 Shift, 2 Ctrl, 4 Alt."""
        self._act("pressKey", None, f"{keyCode} {shift}")

    def close(self) -> None: self._act("close")


class TestDesktop:
    """The scripted desktop, in place from __enter__ to __exit__ (or install() to remove())."""
    __test__ = False  # not a test class, whatever pytest thinks of the name

    def __init__(self):
        self._scripts = []          # the callbacks the library holds, kept alive
        self._script_error = None   # a script's own exception, raised again as itself
        self._failure_handler = None

    def install(self):
        _run(lib.VelmarithTestDesktopInstall)
        return self

    def remove(self):
        _abi.last_exception()  # a report an earlier call left is not this call's
        status = lib.VelmarithTestDesktopRemove()
        self._scripts.clear()
        error, self._script_error = self._script_error, None
        if error is not None:
            raise error
        if status != S_OK:
            raise _failure(status, reported=True)

    def __enter__(self):
        return self.install()

    def __exit__(self, kind, value, traceback):
        if kind is None:
            self.remove()
        else:
            try:
                self.remove()
            except Exception:
                pass  # the exception on its way out says more
        return False

    def expectModal(self, formClassOrCaption: str, script: Optional[Callable[[FormDriver], None]] = None) -> None:
        """The next modal show must be of this form class or caption; the script then acts on
        it. A window still open when its script ends is closed with its close box."""
        def run(driver, _context):
            try:
                script(FormDriver(driver))
                return 0
            except BaseException as error:
                if self._script_error is None:
                    self._script_error = error
                return 1
        callback = _SCRIPT(run) if script else _SCRIPT()
        self._scripts.append(callback)
        _run(lib.VelmarithTestDesktopExpectScript, formClassOrCaption.encode(), callback, None)

    def expect(self, window: str, actions) -> None:
        """The next window shown runs these text actions (type, click, item, key, close)."""
        script = "\n".join(actions) if isinstance(actions, (list, tuple)) else actions
        _run(lib.VelmarithTestDesktopExpect, window.encode(), script.encode())

    def answer(self, answer: MessageAnswer) -> None:
        """Queues the answer to the next message box."""
        _run(lib.VelmarithTestDesktopAnswer, int(answer))

    def _records(self):
        text = c_void_p()
        _run(lib.VelmarithTestDesktopRecords, byref(text))
        return json.loads(_abi.take_text(text.value))

    def messages(self) -> List[MessageRecord]:
        return [MessageRecord(m["text"], m["title"], MessageIcon(m["icon"]), MessageButtons(m["buttons"]),
                              MessageAnswer(m["answer"])) for m in self._records()["messages"]]

    def modals(self) -> List[ModalRecord]:
        return [ModalRecord(m["formClass"], m["caption"]) for m in self._records()["modals"]]

    def beeps(self) -> int:
        return self._records()["beeps"]

    def setFailureHandler(self, handler: Optional[Callable[[str], None]]) -> None:
        """Each problem goes to `handler` as it happens; None keeps them for remove()."""
        callback = _FAILURE(lambda problem, _context: handler(problem.decode())) if handler else _FAILURE()
        self._failure_handler = callback
        _run(lib.VelmarithTestDesktopSetFailureHandler, callback, None)

    def verify(self) -> None:
        """Reports the scripts and answers that were never used, as problems."""
        _run(lib.VelmarithTestDesktopVerify)


try:
    import pytest
except ImportError:  # the fixture is for pytest alone
    pytest = None

if pytest is not None:
    @pytest.fixture
    def velmarith_desktop():
        """A TestDesktop in place for the test, removed (and its problems raised) afterwards."""
        with TestDesktop() as desktop:
            yield desktop


__all__ = ["TestDesktop", "FormDriver", "MessageAnswer", "MessageButtons", "MessageIcon", "MessageRecord",
           "ModalRecord", "VelmarithError"]
