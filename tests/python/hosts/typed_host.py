"""A host script as a type checker sees it through the package's stub."""
import velmarith

search = velmarith.WinSearch()
search.SearchCaption = "查找部门"
search.SearchWidth = 4000
search.keywordMatch = velmarith.KeywordMatch.Pinyin
search.SelectSuccess.connect(print)
width: int = search.SearchWidth
box = velmarith.WinInput()
name: str = box.InputAny("请输入名称", "名称", InMode="Input")
accepted: bool = box.inputAccepted
velmarith.set_default_database("app.sqlite")
