"""Fixtures of the AT-SPI suite: a private X server for the whole run (the session bus comes
from dbus-run-session around pytest), and the velmarith command started under it."""
import os
import shutil
import sqlite3
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
from private_display import start_display  # noqa: E402

import screen_reader  # noqa: E402

# A table none of the demo's code knows: the window is built from these rows alone.
GOODS_METADATA = [
    "create table 商品(货号 integer primary key, 品名 varchar(40), 单位 varchar(4), 单价 numeric(10,2), 在售 varchar(1))",
    "insert into 商品 values(1, '铅笔', '支', 1.5, '1')",
    "insert into 系统窗体表 values('frmManage', '商品', '0', '0', '9000', '0', '2400')",
    "insert into 系统约束关联表 values('商品', '货号', '2', '', '', '')",
    "insert into 系统约束关联表 values('商品', '品名', '8', '', '', '')",
    "insert into 系统约束关联表 values('商品', '单位', '3', '', '', '')",
    "insert into 系统数据字典表 values('商品', '单位', '支', '')",
    "insert into 系统数据字典表 values('商品', '单位', '盒', '')",
] + ["insert into 系统显示项目表 values('frmManage', 'lvwAny', '商品', '1', '0%d', %d, '%s', 1000, 'Left', '%s')"
     % (i, i, name, name) for i, name in enumerate(['货号', '品名', '单位', '单价', '在售'], 1)]


@pytest.fixture(scope='session', autouse=True)
def display():
    server, number = start_display()
    os.environ['DISPLAY'] = number
    yield number
    server.terminate()
    server.wait()


@pytest.fixture(scope='session')
def velmarith():
    return os.environ['VELMARITH_COMMAND']


@pytest.fixture
def run(velmarith, tmp_path):
    """Starts the command with these arguments; stopped at the end of the test if still running."""
    sessions = []

    def start(*arguments):
        sessions.append(screen_reader.Session(velmarith, [str(a) for a in arguments], tmp_path))
        return sessions[-1]
    yield start
    for session in sessions:
        session.stop()


@pytest.fixture(scope='session')
def demo_template(velmarith, tmp_path_factory):
    """The demo database, with the goods table beside it; made once, copied by each test."""
    path = tmp_path_factory.mktemp('demo') / 'demo.sqlite'
    session = screen_reader.Session(velmarith, ['demo', '--db', str(path)], path.parent)
    session.press(session.window(), 'push button', '取消')
    assert session.finish()[0] == 0
    with sqlite3.connect(path) as connection:
        for statement in GOODS_METADATA:
            connection.execute(statement)
    return path


@pytest.fixture
def database(demo_template, tmp_path):
    path = tmp_path / 'app.sqlite'
    shutil.copy(demo_template, path)
    return path


def rows(path, query):
    with sqlite3.connect(path) as connection:
        return connection.execute(query).fetchall()
