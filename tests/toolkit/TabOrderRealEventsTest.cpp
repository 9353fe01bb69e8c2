// Tab and Shift+Tab pressed as real keys on the production desktop follow each window's tab
// indexes, whether a control sits on the form, in a picture box or on a tab control's page;
// hidden and disabled controls are passed over.
#include "DemoDatabase.h"

#include "filedialog/frmFileInOut.h"
#include "input/frmInputAny.h"
#include "maintenance/frmManage.h"
#include "search/frmDataSearch.h"

#include "support/QtPrinting.h"
#include "support/ShownWindow.h"

#include <velmarith/DataBridge.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

// The control that holds the focus, by name.
QString focused(toolkit::Form &form)
{
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        for (const toolkit::Control *control : form.Controls()) {
            if (control->widget() == widget)
                return control->Name();
        }
    }
    return u"(none)"_s;
}

// The focus after each of `presses` Tab (or Shift+Tab) keys, starting where the window put it.
struct Cycles {
    QString start;
    QStringList forward;
    QStringList backward;
};

Cycles cyclesOf(toolkit::Form &form, int presses)
{
    Cycles cycles;
    test::runWhileShown(form, [&] {
        cycles.start = focused(form);
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            cycles.forward.append(focused(form));
        }
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            cycles.backward.append(focused(form));
        }
        form.Unload();
    });
    return cycles;
}

// Checks one full cycle each way: `order` from the starting control round to it again.
void expectCycle(toolkit::Form &form, const QStringList &order)
{
    const Cycles cycles = cyclesOf(form, int(order.size()));
    EXPECT_EQ(cycles.start, order.front());
    EXPECT_EQ(cycles.forward, order.mid(1) + QStringList{order.front()});
    EXPECT_EQ(cycles.backward, QStringList(order.rbegin(), order.rend())) << "Shift+Tab walks back";
}

} // namespace

TEST(TabOrder, theInputBoxInEachMode)
{
    const QList<std::pair<QString, QString>> modes{{u"Input"_s, u"txt内容"_s}, {u"Select"_s, u"cbo内容"_s},
                                                    {u"OnlySelect"_s, u"cbo选择"_s}};
    for (const auto &[mode, entry] : modes) {
        SCOPED_TRACE(mode.toStdString());
        frmInputAny box;
        auto items = std::make_shared<Collection>();
        items->Add(u"甲"_s);
        box.InputAny(u"请输入"_s, u"输入"_s, mode, items);
        expectCycle(box, {entry, u"cmd确定"_s, u"cmd取消"_s});
    }
}

TEST(TabOrder, theLookupWindowInEachWorkMode)
{
    QTemporaryDir folder;
    const QString database = folder.filePath(u"demo.sqlite"_s);
    app::ensureDemoDatabase(database);
    DataBridge::setDefaultDatabase(database);
    const QList<std::pair<int16_t, QStringList>> modes{
        {0, {u"txtQuery"_s, u"lvwQuery"_s, u"stbQuery"_s, u"cmdOK"_s}},
        {1, {u"tvwQuery"_s, u"cmdOK"_s, u"stbQuery"_s}},
        {2, {u"stbQuery"_s, u"cmdOK"_s, u"lvwList"_s}},
    };
    for (const auto &[mode, order] : modes) {
        SCOPED_TRACE(mode);
        frmDataSearch form;
        form.SearchWorkMode = mode;
        form.SearchDataType = 1;
        form.SearchMainData = u"select 部门编号,部门名称 from 部门表"_s;
        form.SearchQueryTerm = u"部门名称"_s;
        expectCycle(form, order);
    }
    DataBridge::setDefaultDatabase(QString());
}

TEST(TabOrder, theFileWindowInBothPatterns)
{
    QTemporaryDir folder;
    // The page buttons sit in a picture box; only the first is enabled. Load hides the name box
    // and disables 创建目录.
    const QList<std::pair<QString, QStringList>> patterns{
        {u"Load"_s, {u"fle文件"_s, u"cmd取消"_s, u"cmd确定"_s, u"cmdPage"_s, u"drv磁盘"_s, u"dir目录"_s}},
        {u"Save"_s,
         {u"fle文件"_s, u"txt文件"_s, u"cmd取消"_s, u"cmd确定"_s, u"cmd创建"_s, u"cmdPage"_s, u"drv磁盘"_s, u"dir目录"_s}},
    };
    for (const auto &[pattern, order] : patterns) {
        SCOPED_TRACE(pattern.toStdString());
        frmFileInOut form;
        form.FilePattern = pattern;
        form.FilePlace = u"File"_s;
        form.FilePath = folder.path();
        expectCycle(form, order);
    }
}

TEST(TabOrder, theMaintenanceWindowWithItsGeneratedEditors)
{
    QTemporaryDir folder;
    const QString database = folder.filePath(u"demo.sqlite"_s);
    app::ensureDemoDatabase(database);
    DataBridge::setDefaultDatabase(database);
    frmManage form;
    form.ManageTable(u"员工"_s);
    // The buttons sit in a picture box; the hidden field has no editor to stop at.
    expectCycle(form, {u"lvwAny"_s, u"txt编号"_s, u"txt姓名"_s, u"txt简称"_s, u"cbo部门"_s, u"cbo性别"_s, u"cbo职务"_s,
                       u"chk在职"_s, u"txt国籍"_s, u"txt入职日期"_s, u"txt工资"_s, u"cmdAdd"_s, u"cmdDelete"_s,
                       u"cmdEdit"_s, u"cmdCancel"_s});
    DataBridge::setDefaultDatabase(QString());
}

TEST(TabOrder, aTextBoxEnteredByTabSelectsItsTextSoTypingReplacesIt)
{
    QTemporaryDir folder;
    frmFileInOut form;
    form.FilePattern = u"Save"_s;
    form.FilePlace = u"File"_s;
    form.FilePath = folder.path();
    QStringList typed;
    test::runWhileShown(form, [&] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // from the file list to the name
        QTest::keyClicks(QApplication::focusWidget(), u"report.txt"_s);
        typed.append(form.control(u"txt文件"_s)->Text());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClicks(QApplication::focusWidget(), u"total.txt"_s);
        typed.append(form.control(u"txt文件"_s)->Text());
        form.Unload();
    });
    EXPECT_EQ(typed, (QStringList{u"report.txt"_s, u"total.txt"_s})) << "the name replaces *.*, both ways round";
}
