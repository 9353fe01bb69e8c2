"""Drives the velmarith command through AT-SPI, as a screen reader does: every control is found
by its accessible role and name only, text is set through the editable-text interface and
buttons and list entries are pressed through their actions."""
import os
import subprocess
import time

import pyatspi

TIMEOUT = 5.0


def until(found, what):
    """The first result of found() that is not None, asked again until TIMEOUT."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        result = found()
        if result is not None:
            return result
        time.sleep(0.03)
    raise AssertionError('not found: ' + what)


def nodes(node):
    """The node and everything under it."""
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def unnamed_focusable(window):
    """The roles of the focusable nodes that have no name."""
    return [node.getRoleName() for node in nodes(window)
            if node.getState().contains(pyatspi.STATE_FOCUSABLE) and not node.name]


class Session:
    """One run of the command, seen through the accessibility bus."""

    def __init__(self, command, arguments, cwd):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        env.pop('QT_QPA_PLATFORM', None)
        self.process = subprocess.Popen([command, *arguments], env=env, cwd=cwd, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        self.application = until(self._application, 'the application of process %d' % self.process.pid)

    def _application(self):
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.get_process_id() == self.process.pid:
                return application
        return None

    def window(self, title=None):
        """The window titled so (or the first one), once it shows."""
        def shown():
            for window in self.application:
                if window is not None and title in (None, window.name) and \
                        window.getState().contains(pyatspi.STATE_SHOWING):
                    return window
            return None
        return until(shown, 'the window %s' % title)

    def find(self, within, role, name):
        """The control of this role and name in a window, once it is there."""
        def match():
            for node in nodes(within):
                if node.getRoleName() == role and node.name == name:
                    return node
            return None
        return until(match, '%s "%s"' % (role, name))

    def press(self, within, role, name):
        node = self.find(within, role, name)
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        wanted = next(n for n in names if n.lower() in ('press', 'click', 'toggle'))
        action.doAction(names.index(wanted))

    def type_into(self, within, role, name, text):
        self.find(within, role, name).queryEditableText().setTextContents(text)

    def choose(self, within, combo_name, entry):
        """Chooses an entry of a combo box by pressing its list item."""
        combo = self.find(within, 'combo box', combo_name)
        self.press(combo, 'list item', entry)

    def select_row(self, within, role, name, row):
        """Selects a row of a list or tree through its table interface."""
        self.find(within, role, name).queryTable().addRowSelection(row)

    def finish(self):
        """Waits for the command to end; (exit code, standard output)."""
        out, err = self.process.communicate(timeout=TIMEOUT)
        return self.process.returncode, out.decode()

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.communicate()
