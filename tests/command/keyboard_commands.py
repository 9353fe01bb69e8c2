#!/usr/bin/env python3
"""The velmarith command driven with real keys on a private X server, as a person at a shell
would: a directory whose name is not UTF-8 is opened and printed byte for byte, and a keyword
query the database refuses is told and ends the command with exit code 3.

usage: keyboard_commands.py VELMARITH
Exits 77 (skipped) when Xvfb or xdotool is missing."""
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
from private_display import start_display  # noqa: E402

SKIP = 77


def xdotool(display, *arguments):
    return subprocess.run(['xdotool', *arguments], env={**os.environ, 'DISPLAY': display}, check=False,
                          capture_output=True, text=True, timeout=20)


def wait_for_window(display, title):
    """Waits until a window of this title shows, then gives it the keyboard (there is no
    window manager to do so)."""
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        found = xdotool(display, 'search', '--onlyvisible', '--name', title).stdout.split()
        if found:
            xdotool(display, 'windowfocus', '--sync', found[-1])
            time.sleep(0.2)
            return found[-1]
        time.sleep(0.1)
    raise AssertionError('no window titled ' + title)


def keys(display, *names):
    for name in names:
        xdotool(display, 'key', '--delay', '50', name)
        time.sleep(0.15)


def run_command(velmarith, display, arguments, cwd):
    env = {**os.environ, 'DISPLAY': display}
    env.pop('QT_QPA_PLATFORM', None)
    env.pop('WAYLAND_DISPLAY', None)
    return subprocess.Popen([velmarith, *arguments], env=env, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def check_directory_that_is_not_utf8(velmarith, display, folder):
    chosen = os.path.join(folder.encode(), b'\xff\xfe\xe7\x9b\xae')  # ends in half a character
    os.makedirs(os.path.join(chosen, '子目录'.encode()))
    process = run_command(velmarith, display, ['file', '--path', '--dir', chosen], folder)
    wait_for_window(display, '装入路径')
    keys(display, 'Down', 'space', 'BackSpace', 'alt+y')  # into 子目录 and back, then 确定
    out, err = process.communicate(timeout=20)
    assert process.returncode == 0, (process.returncode, err)
    assert out == chosen + b'\n', out


def check_refused_keyword_query(velmarith, display, folder):
    database = os.path.join(folder, 'app.sqlite')
    with sqlite3.connect(database) as connection:
        connection.execute('create table 部门(名称 text)')
        connection.execute("insert into 部门 values ('财务部')")
    process = run_command(velmarith, display, ['search', '--db', database, '--caption', '查找部门', '--list',
                                               'select 名称 from 部门 order by 名称', '--term', '名称'], folder)
    wait_for_window(display, '查找部门')
    keys(display, 'a', 'b')  # the first refusal shows a message box, the second nothing more
    wait_for_window(display, '提示')
    keys(display, 'Return')
    wait_for_window(display, '查找部门')
    keys(display, 'Escape')
    out, err = process.communicate(timeout=20)
    assert process.returncode == 3, (process.returncode, err.decode())
    assert 'velmarith search: 数据库拒绝了这项操作' in err.decode(), err.decode()
    assert out == b'', out


def main():
    if not shutil.which('Xvfb') or not shutil.which('xdotool'):
        print('Xvfb or xdotool is missing')
        return SKIP
    velmarith = sys.argv[1]
    server, display = start_display()
    try:
        with tempfile.TemporaryDirectory() as folder:
            check_directory_that_is_not_utf8(velmarith, display, folder)
            check_refused_keyword_query(velmarith, display, folder)
    finally:
        server.terminate()
        server.wait()
    print('ok')
    return 0


if __name__ == '__main__':
    sys.exit(main())
