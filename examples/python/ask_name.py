"""Asks for a name in Velmarith's input box; here a scripted desktop answers, as in a host's test."""
import velmarith
import velmarith.testing

with velmarith.testing.TestDesktop() as desk:
    desk.expect("frmInputAny", ["type txt内容 张三", "click cmd确定"])
    name = velmarith.WinInput().InputAny("请输入名称", "名称")
print(name)
assert name == "张三"
