"""The four windows driven the way a screen reader drives them: every control is found by its
accessible role and name, and the outcome is read from the exit code, the output and the
database."""
import os
import sqlite3

import pyatspi
import pytest

from conftest import rows
from screen_reader import unnamed_focusable, until


@pytest.mark.parametrize('mode, arguments, choose', [
    ('Input', ['--item', '默认'], lambda s, w: s.type_into(w, 'text', '客户名称', '张三')),
    ('Select', ['--item', '李四', '--item', '张三'], lambda s, w: s.choose(w, '客户名称', '张三')),
    ('OnlySelect', ['--item', '李四', '--item', '张三'], lambda s, w: s.choose(w, '客户名称', '张三')),
])
def test_the_input_box_is_filled_and_confirmed_in_each_mode(run, mode, arguments, choose):
    session = run('input', '--title', '客户', '--prompt', '客户名称：', '--mode', mode, *arguments)
    window = session.window('客户')
    assert unnamed_focusable(window) == []
    choose(session, window)
    session.press(window, 'push button', '确定')
    assert session.finish() == (0, '张三\n')


def test_the_input_box_cancelled_exits_1_and_its_prompt_labels_the_entry(run):
    session = run('input', '--title', '客户', '--prompt', '客户名称')
    window = session.window('客户')
    entry = session.find(window, 'text', '客户名称')
    assert [relation.getTarget(0).getRoleName() for relation in entry.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY] == ['label']
    session.press(window, 'push button', '取消')
    assert session.finish()[0] == 1


@pytest.mark.parametrize('table, fields, combo, entry, check, added', [
    ('员工', {'编号': '0100', '姓名': '赵六'}, '部门', 'D02(财务部)', "select 姓名, 部门 from 员工 where 编号 = '0100'",
     ('赵六', 'D02')),
    ('商品', {'品名': '橡皮', '单价': '2'}, '单位', '盒', "select 品名, 单位 from 商品 where 品名 = '橡皮'", ('橡皮', '盒')),
])
def test_a_record_is_added_by_field_label_on_any_metadata(run, database, table, fields, combo, entry, check, added):
    session = run('manage', '--db', database, '--table', table)
    window = session.window()
    assert unnamed_focusable(window) == []
    for label, value in fields.items():
        session.type_into(window, 'text', label, value)
    session.choose(window, combo, entry)
    session.press(window, 'push button', '增加')
    assert until(lambda: rows(database, check) or None, 'the added row') == [added]


def employee_chosen(run, database, row):
    """The maintenance window on the employees, once a row chosen in its list fills the editors."""
    session = run('manage', '--db', database, '--table', '员工')
    window = session.window()
    session.select_row(window, 'table', '记录列表', row)
    until(lambda: session.find(window, 'text', '编号').queryText().getText(0, -1) or None, 'the row in the editors')
    return session, window


def test_a_record_is_edited_after_choosing_its_row(run, database):
    session, window = employee_chosen(run, database, 0)
    session.type_into(window, 'text', '姓名', '张伟伟')
    session.press(window, 'push button', '修改')
    until(lambda: rows(database, "select 1 from 员工 where 编号 = '0001' and 姓名 = '张伟伟'") or None, 'the edit')


def test_a_record_is_deleted_after_its_confirmation(run, database):
    session, window = employee_chosen(run, database, 1)
    session.press(window, 'push button', '删除')
    session.press(session.window('提示'), 'push button', '是')
    until(lambda: rows(database, "select 1 from 员工 where 编号 = '0002'") == [] or None, 'the delete')
    assert rows(database, 'select count(*) from 员工') == [(5,)]


def test_cancel_reviews_the_changes_and_leaves_them_out_when_declined(run, database):
    session, window = employee_chosen(run, database, 0)
    session.type_into(window, 'text', '姓名', '张伟伟')
    session.press(window, 'push button', '取消')
    review = session.window('提示')
    assert any('[姓名]="张伟" -> "张伟伟"' in node.name for node in review if node is not None)
    session.press(review, 'push button', '否')
    assert session.finish()[0] == 0
    assert rows(database, "select 姓名 from 员工 where 编号 = '0001'") == [('张伟',)]


@pytest.mark.parametrize('statements', [
    ['--list', 'select 部门名称, 部门编号 from 部门表', '--term', '部门名称'],
    ['--list', 'select 部门名称, 部门编号 from 部门表', '--term', '部门名称', '--on-enter'],
    ['--tree', 'select 部门编号, 部门名称 from 部门表', '--sub', 'select 部门, 编号, 姓名 from 员工'],
])
def test_the_lookup_window_names_every_control_in_each_mode(run, database, statements):
    session = run('search', '--db', database, '--caption', '查找部门', *statements)
    assert unnamed_focusable(session.window('查找部门')) == []


def test_the_maintenance_window_names_every_control_in_edit_mode(run, database):
    session = run('manage', '--db', database, '--table', '员工', '--mode', 'Edit')
    window = session.window()
    assert unnamed_focusable(window) == []
    session.find(window, 'push button', '修改')


def pick_the_only_result(session, window, keyword):
    """Types the keyword, waits for one row listed, picks it with 确定; (exit code, output)."""
    session.type_into(window, 'text', '键入要查找的关键字', keyword)
    results = session.find(window, 'table', '查找结果')
    until(lambda: results.queryTable().nRows == 1 or None, 'one row listed')
    session.select_row(window, 'table', '查找结果', 0)
    session.press(window, 'push button', '确定')
    return session.finish()


def test_a_lookup_row_is_picked_after_typing_a_keyword(run, database):
    session = run('search', '--db', database, '--caption', '查找部门', '--list',
                  'select 部门名称, 部门编号 from 部门表', '--term', '部门名称')
    assert pick_the_only_result(session, session.window('查找部门'), '财务') == (0, '财务部\n')


@pytest.mark.parametrize('save', [False, True])
def test_the_file_window_names_every_control(run, tmp_path, save):
    session = run('file', '--dir', tmp_path, *(['--save'] if save else []))
    assert unnamed_focusable(session.window()) == []


def test_a_file_is_chosen_from_the_file_list(run, tmp_path):
    for name in ('甲.txt', '乙.txt'):
        (tmp_path / name).write_text('')
    session = run('file', '--dir', tmp_path)
    window = session.window()
    files = session.find(window, 'list', '文件列表')
    names = [files.getChildAtIndex(i).name for i in range(files.childCount)]
    session.select_row(window, 'list', '文件列表', names.index('乙.txt'))
    session.press(window, 'push button', '确定')
    assert session.finish() == (0, os.path.join(tmp_path, '乙.txt') + '\n')


def test_a_directory_is_made_through_the_input_box(run, tmp_path):
    session = run('file', '--save', '--dir', tmp_path)
    window = session.window()
    session.press(window, 'push button', '创建目录')
    box = session.window('目录名称')
    session.type_into(box, 'text', '请输入要创建的目录名称', '新目录')
    session.press(box, 'push button', '确定')
    until(lambda: (tmp_path / '新目录').is_dir() or None, 'the new directory')
    session.press(window, 'push button', '取消')
    assert session.finish()[0] == 1


def test_a_city_is_found_by_the_initials_of_its_pinyin(run, database):
    with sqlite3.connect(database) as connection:
        connection.execute('create table 城市(名称 text)')
        connection.executemany('insert into 城市 values(?)', [('北京',), ('重庆',), ('长沙',)])
    session = run('search', '--db', database, '--caption', '城市', '--list', 'select 名称 from 城市',
                  '--term', '名称', '--match', 'pinyin')
    assert pick_the_only_result(session, session.window('城市'), 'cq') == (0, '重庆\n')
