// Asks for a name in Velmarith's input box; here a scripted desktop answers, as in a host's test.
#include <velmarith/WinInput.h>
#include <velmarith/testing.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    velmarith::testing::TestDesktop desktop;
    desktop.expectModal("frmInputAny", [](velmarith::testing::FormDriver &user) {
        user.setText("txt内容", "张三");
        user.click("cmd确定");
    });
    velmarith::WinInput input;
    const QString name = input.InputAny("请输入名称", "名称");
    std::printf("%s\n", qUtf8Printable(name));
    return name == "张三" ? 0 : 1;
}
