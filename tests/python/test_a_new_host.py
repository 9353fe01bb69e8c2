"""A new Python host's own test suite, as its README would have it: a table with a bound field
and an enumeration, its metadata written by `velmarith init`, the database chosen from Python,
the windows answered by the scripted desktop through the pytest fixture."""
import os
import sqlite3
import subprocess

import pytest

import velmarith
from velmarith import MessageAnswer

pytest_plugins = ["velmarith.testing"]


@pytest.fixture
def staff(tmp_path):
    database = tmp_path / "员工.sqlite"
    with sqlite3.connect(database) as connection:
        connection.executescript(
            "create table 部门(编号 varchar(4) primary key, 名称 varchar(20) not null);"
            "insert into 部门 values('D01','销售部'),('D02','财务部');"
            "create table 员工(编号 varchar(4) primary key, 姓名 varchar(20) not null,"
            " 部门 varchar(4) references 部门(编号), 性别 varchar(2) check (性别 in ('男','女')));"
            "insert into 员工 values('0001','张三','D01','男'),('0002','李四','D02','女');")
    subprocess.run([os.environ["VELMARITH_COMMAND"], "init", "--db", str(database), "--table", "部门", "--table", "员工"],
                   check=True, capture_output=True)
    velmarith.set_default_database(str(database))
    yield database
    velmarith.set_default_database(None)


def stored(database):
    with sqlite3.connect(database) as connection:
        return [row[0] for row in connection.execute("select 编号 from 员工 order by 编号")]


def test_an_add_without_a_required_field_is_refused_and_a_delete_asks(staff, velmarith_desktop):
    def work(user):
        assert user.items("cbo部门") == ["D01(销售部)", "D02(财务部)"] and user.items("cbo性别") == ["男", "女"]
        user.setText("txt编号", "0003")
        user.click("cmdAdd")  # 姓名 left empty
        user.clickItem("lvwAny", 1)
        user.click("cmdDelete")  # declined
        user.clickItem("lvwAny", 1)
        user.click("cmdDelete")  # confirmed
        user.close()
    velmarith_desktop.expectModal("frmManage", work)
    velmarith_desktop.answer(MessageAnswer.Ok)
    velmarith_desktop.answer(MessageAnswer.No)
    velmarith_desktop.answer(MessageAnswer.Yes)
    velmarith.WinMagnge().ManageTable("员工")
    asked = velmarith_desktop.messages()
    assert "不能为空" in asked[0].text and asked[0].title == "提示"
    assert [m.answer for m in asked[1:]] == [MessageAnswer.No, MessageAnswer.Yes]
    assert stored(staff) == ["0002"], "nothing added, one row deleted"
    assert [m.formClass for m in velmarith_desktop.modals()] == ["frmManage"]


def test_a_lookup_by_pinyin_and_an_input_box_told_cancelled_from_empty(staff, velmarith_desktop):
    search = velmarith.WinSearch()
    search.keywordMatch = velmarith.KeywordMatch.Pinyin
    search.SearchMainData = "select 姓名,编号 from 员工"
    search.SearchSearchSubData = "姓名"
    search.SearchQueryKey = "0"
    chosen = []
    search.SelectSuccess.connect(chosen.append)

    def pick(user):
        user.setText("txtQuery", "ls")
        assert user.items("lvwQuery") == ["李四"]
        user.clickItem("lvwQuery", 1)
        user.click("cmdOK")
    velmarith_desktop.expectModal("frmDataSearch", pick)
    search.SearchAny()
    assert chosen == ["李四"]

    box = velmarith.WinInput()
    velmarith_desktop.expectModal("frmInputAny", lambda user: user.click("cmd确定"))
    assert box.InputAny("请输入名称", "名称") == "" and box.inputAccepted
    velmarith_desktop.expectModal("frmInputAny", lambda user: user.click("cmd取消"))
    assert box.InputAny("请输入名称", "名称") == "" and not box.inputAccepted


def test_a_scripts_own_exception_and_a_problem_reach_the_host():
    desktop = velmarith.testing.TestDesktop()
    with pytest.raises(ZeroDivisionError):
        with desktop:
            desktop.expectModal("frmInputAny", lambda user: 1 / 0)
            velmarith.WinInput().InputAny("请输入名称", "名称")
    problems = []
    with velmarith.testing.TestDesktop() as desktop:
        desktop.setFailureHandler(problems.append)
        desktop.expectModal("frmFileInOut")
        desktop.verify()
    assert problems and "frmFileInOut" in problems[0]
