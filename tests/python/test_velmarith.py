"""The Python package as a host uses it: properties by name, a method answered by the scripted
desktop, an event into a callback, errors as VelmarithError, creation through the registry."""
import inspect
import pydoc
import re
import sqlite3
import subprocess
import sys
from pathlib import Path

import pytest

import velmarith
from velmarith.testing import TestDesktop

DISP_E_OVERFLOW = 0x8002000A
REGDB_E_CLASSNOTREG = 0x80040154

# A value of each type, and one of another type that the property converts.
SAMPLES = {"BSTR": ("文字", 12), "I2": (-7, "8"), "I4": (70000, 2.5)}
CONVERTED = {"BSTR": "12", "I2": 8, "I4": 2}


def test_the_classes_are_built_from_the_librarys_type_information():
    search = velmarith.WinSearch._info
    assert search.progid == "Velmarith.WinSearch" and search.clsid == "{86C5B602-81C2-468A-B9CB-E0887512FE33}"
    assert list(search.members)[:3] == ["SearchCaption", "SearchWidth", "SearchHeight"]
    assert search.members["SearchDataColl"].kinds == {"get", "set"} and search.members["SearchWidth"].type == "I4"
    assert search.members["SearchAny"].dispid == 0x60030000
    assert [p.name for p in search.events["SelectSuccess"].parameters] == ["SelectText"]
    manage = velmarith.WinMagnge._info.members["ManageTable"]
    assert [(p.name, p.type, p.optional, p.default) for p in manage.parameters] == [
        ("TableName", "BSTR", False, None), ("ListCol", "I2", True, 0)]
    assert [p.type for p in velmarith.WinFile._info.events["FileSuccess"].parameters] == ["BSTR", "BSTR", "I2", "BSTR", "BSTR"]
    assert velmarith.WinInput._info.events == {}


def test_every_property_of_every_class_reads_back_by_name():
    for name in ("WinFile", "WinInput", "WinSearch", "WinMagnge"):
        dialog = getattr(velmarith, name)()
        for member in dialog._info.members.values():
            if "method" in member.kinds:
                continue
            if member.type == "Collection":
                rows = velmarith.Collection()
                rows.add("甲", "first")
                setattr(dialog, member.name, rows)
                assert getattr(dialog, member.name)["FIRST"] == "甲", member.name
                continue
            value, other = SAMPLES[member.type]
            setattr(dialog, member.name, value)
            assert getattr(dialog, member.name) == value, member.name
            setattr(dialog, member.name, other)
            assert getattr(dialog, member.name) == CONVERTED[member.type], member.name
    with pytest.raises(AttributeError):
        velmarith.WinSearch().NoSuchProperty = 1


def test_a_method_takes_the_type_librarys_defaults_and_is_answered_by_the_testing_desktop():
    box = velmarith.WinInput()
    parameters = inspect.signature(box.InputAny).parameters
    assert list(parameters) == ["InPrmmpt", "InTitle", "InMode", "InDefColl"]
    assert parameters["InMode"].default == "Input" and parameters["InDefColl"].default is None
    with TestDesktop() as desk:
        desk.expect("frmInputAny", ["type txt内容 张三", "click cmd确定"])
        assert box.InputAny("请输入名称", "名称") == "张三"
        items = velmarith.Collection()
        items.add("甲")
        items.add("乙")
        desk.expect("frmInputAny", "type cbo内容 乙\nclick cmd确定")
        assert box.InputAny("请选择", "选择", InMode="Select", InDefColl=items) == "乙"


@pytest.fixture
def customer_search(tmp_path, monkeypatch):
    """A lookup over two customers, and the script that picks 张三."""
    database = tmp_path / "customers.sqlite"
    with sqlite3.connect(database) as connection:
        connection.executescript("create table 客户 (编号 text, 名称 text);"
                                 "insert into 客户 values ('01', '张三'), ('02', '李四');")
    monkeypatch.setenv("DATABRIDGE_DATABASE", str(database))
    search = velmarith.WinSearch()
    search.SearchMainData = "select 名称,编号 from 客户"
    search.SearchSearchSubData = "名称"
    search.SearchQueryKey = "0"
    return search, ["type txtQuery 张", "item lvwQuery 1", "click cmdOK"]


def test_an_event_reaches_a_python_callback_exactly_once(customer_search):
    search, pick = customer_search
    chosen = []
    search.SelectSuccess.connect(chosen.append)
    with TestDesktop() as desk:
        desk.expect("frmDataSearch", pick)
        search.SearchAny()
    assert chosen == ["张三"]


def test_an_exception_in_a_callback_reaches_the_methods_caller_with_its_own_traceback(customer_search):
    search, pick = customer_search
    after = []

    def refuse(text):
        raise ValueError(f"不要{text}")
    search.SelectSuccess.connect(refuse)
    search.SelectSuccess.connect(after.append)
    with TestDesktop() as desk:
        desk.expect("frmDataSearch", pick)
        with pytest.raises(ValueError, match="不要张三") as raised:
            search.SearchAny()
    assert raised.traceback[-1].name == "refuse"
    assert after == [], "the exception ends the event"
    search.SelectSuccess.disconnect(refuse)
    with TestDesktop() as desk:
        desk.expect("frmDataSearch", pick)
        search.SearchAny()
    assert after == ["张三"], "the next call is not charged with it"


def test_every_failed_status_is_named_as_the_c_header_names_it():
    header = (Path(__file__).parents[2] / "include" / "velmarith" / "server.h").read_text()
    defined = {int(number, 16): name for name, number in
               re.findall(r"#define ([A-Z_]+) \(\(HRESULT\)0x([0-9A-F]{8})\)", header)}
    assert velmarith._STATUS_NAMES == defined


def test_a_failure_is_a_velmarith_error_with_its_number_and_text(tmp_path, monkeypatch):
    search = velmarith.WinSearch()
    with pytest.raises(velmarith.VelmarithError) as overflow:
        search.SearchWorkMode = 70000
    assert overflow.value.number == DISP_E_OVERFLOW and overflow.value.text == "DISP_E_OVERFLOW"
    monkeypatch.setenv("DATABRIDGE_DATABASE", str(tmp_path / "missing.sqlite"))
    with pytest.raises(velmarith.VelmarithError) as refused:
        velmarith.WinMagnge().ManageTable("员工")
    assert refused.value.number < 0x10000 and "missing.sqlite" in refused.value.text


def test_creation_by_progid_after_registration(tmp_path, monkeypatch):
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path))
    with pytest.raises(velmarith.VelmarithError) as unregistered:
        velmarith.create("Velmarith.WinInput")
    assert unregistered.value.number == REGDB_E_CLASSNOTREG
    velmarith.register()
    try:
        box = velmarith.create("velmarith.wininput")
        assert isinstance(box, velmarith.WinInput)
        with TestDesktop() as desk:
            desk.expect("frmInputAny", ["type txt内容 李四", "click cmd确定"])
            assert box.InputAny("请输入名称", "名称") == "李四"
    finally:
        velmarith.unregister()


def test_the_package_reads_like_python_help_types_and_errors_of_their_kind():
    assert velmarith.__version__ == "1.0"
    page = pydoc.render_doc(velmarith.WinSearch, renderer=pydoc.plaintext)
    for name, member in velmarith.WinSearch._info.members.items():
        assert name in page, name
    assert "The column or expression the keyword is matched against." in page
    assert "Raised once by SearchAny after the window has closed" in page
    assert inspect.signature(velmarith.WinMagnge.ManageTable).parameters["ListCol"].annotation is int
    generator = Path(__file__).parents[2] / "tools" / "generate-python-docs.py"
    assert subprocess.run([sys.executable, str(generator), str(generator.parents[1]), "--check"]).returncode == 0, \
        "the docstrings are what the C++ headers say now"

    search = velmarith.WinSearch()
    with pytest.raises(OverflowError) as overflow:
        search.SearchWorkMode = 70000
    assert isinstance(overflow.value, velmarith.VelmarithError) and overflow.value.hresult == DISP_E_OVERFLOW
    assert str(overflow.value).startswith("SearchWorkMode = 70000: ") and "0x8002000a DISP_E_OVERFLOW" in str(overflow.value)
    with pytest.raises(TypeError) as mismatch:
        search.SearchWidth = "宽"
    assert mismatch.value.member == "SearchWidth" and mismatch.value.value == "宽"


def test_the_library_wide_settings_are_chosen_from_python(tmp_path, monkeypatch):
    monkeypatch.setenv("DATABRIDGE_DATABASE", str(tmp_path / "from-the-variable.sqlite"))
    chosen = tmp_path / "员工.sqlite"
    velmarith.set_default_database(str(chosen))
    try:
        assert velmarith.default_database() == str(chosen)
        with pytest.raises(velmarith.VelmarithError) as refused:
            velmarith.WinMagnge().ManageTable("员工")
        assert "员工.sqlite" in refused.value.text, "the window opened the database chosen after the import"
    finally:
        velmarith.set_default_database(None)
    assert velmarith.default_database().endswith("from-the-variable.sqlite")

    assert velmarith.default_keyword_match() is velmarith.KeywordMatch.Like
    velmarith.set_default_keyword_match(velmarith.KeywordMatch.Pinyin)
    try:
        assert velmarith.default_keyword_match() is velmarith.KeywordMatch.Pinyin
    finally:
        velmarith.set_default_keyword_match(velmarith.KeywordMatch.Like)
    with pytest.raises(ValueError):
        velmarith.set_default_keyword_match(7)
    with pytest.raises(ValueError):
        velmarith.set_busy_timeout(-1)
    velmarith.set_busy_timeout(5000)


def test_the_members_beyond_the_type_library_tell_a_cancel_from_an_empty_answer():
    box = velmarith.WinInput()
    assert box.inputAccepted is False
    with TestDesktop() as desk:
        desk.expect("frmInputAny", ["click cmd确定"])
        assert box.InputAny("请输入名称", "名称") == ""
    assert box.inputAccepted is True, "an empty answer, confirmed"
    with TestDesktop() as desk:
        desk.expect("frmInputAny", ["click cmd取消"])
        assert box.InputAny("请输入名称", "名称") == ""
    assert box.inputAccepted is False, "a cancel"
    with pytest.raises(AttributeError):
        box.inputAccepted = True

    search = velmarith.WinSearch()
    assert search.keywordMatch is velmarith.KeywordMatch.Like and search.queryFailures == []
    search.keywordMatch = velmarith.KeywordMatch.Pinyin
    assert search.keywordMatch is velmarith.KeywordMatch.Pinyin
    with pytest.raises(ValueError) as refused:
        search.keywordMatch = 9
    assert refused.value.member == "keywordMatch" and refused.value.value == 9
    manage = velmarith.WinMagnge()
    assert manage.checksWriteConflicts is True and manage.remembersLayout is True
    manage.checksWriteConflicts = False
    assert manage.checksWriteConflicts is False
    assert velmarith.WinFile().fileAccepted is False and velmarith.WinFile().selectedFiles == []


def test_the_stub_is_what_the_type_library_gives_and_a_type_checker_reads_it(monkeypatch):
    source = Path(__file__).parents[2]
    stub = subprocess.run([sys.executable, str(source / "tools" / "generate-python-stub.py"), str(source), "--check"])
    assert stub.returncode == 0, "a member the type library has and the stub lacks"
    try:
        import mypy.api
    except ImportError:
        pytest.skip("no mypy to read the stub")
    monkeypatch.setenv("MYPYPATH", str(Path(velmarith.__file__).parent.parent))
    checked = lambda host: mypy.api.run(["--no-incremental", "--cache-dir", "/dev/null", "--python-executable",
                                         sys.executable, str(Path(__file__).parent / "hosts" / host)])
    out, _, status = checked("typed_host.py")
    assert status == 0, out
    out, _, status = checked("mistyped_host.py")
    assert status == 1 and out.count("error:") == 3, out
    for found in ("py:5: error: Incompatible types", '"SearchAnyy"', 'argument "InTitle"'):
        assert found in out, out
