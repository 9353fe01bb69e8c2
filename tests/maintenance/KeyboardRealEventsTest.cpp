// The demo's maintenance window driven by real key clicks on the production desktop: Enter walks
// the editors, Alt+Enter looks a value up in a real nested lookup window, Escape closes.
#include "DemoDatabase.h"

#include "maintenance/frmManage.h"
#include "toolkit/ListView.h"

#include "support/QtPrinting.h"
#include "support/ShownWindow.h"

#include <velmarith/DataBridge.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focused = QApplication::focusWidget();
    if (!focused) {
        ADD_FAILURE() << "no control has the focus for key " << key;
        return;
    }
    QTest::keyClick(focused, key, modifiers);
}

// The lookup window that is up: type a keyword, go to the list, pick the first row, confirm.
void pickFirstRowFor(const QString &keyword)
{
    QWidget *lookup = QApplication::activeModalWidget();
    if (!lookup || !QTest::qWaitForWindowExposed(lookup)) {
        ADD_FAILURE() << "the lookup window was not shown";
        return;
    }
    lookup->activateWindow();
    QTest::keyClicks(lookup->findChild<QLineEdit *>(u"txtQuery"_s), keyword);
    press(Qt::Key_Return);
    press(Qt::Key_Down);
    press(Qt::Key_Tab); // the tab control, then 确定
    press(Qt::Key_Tab);
    press(Qt::Key_Space);
}

// The demo's employee window, started on a demo database of its own.
class MaintenanceRealKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString database = folder.filePath(u"demo.sqlite"_s);
        app::ensureDemoDatabase(database);
        DataBridge::setDefaultDatabase(database);
        form.ManageTable(u"员工"_s);
    }
    void TearDown() override { DataBridge::setDefaultDatabase(QString()); }

    QTemporaryDir folder;
    frmManage form;
};

} // namespace

TEST_F(MaintenanceRealKeys, enterWalksTheEditorsAltEnterLoadsALookedUpRowAndEscapeCloses)
{
    QStringList walked;
    QStringList selected;
    QString codeAfterLookup;
    test::runWhileShown(form, [&] {
        form.control(u"txt编号"_s)->SetFocus();
        QTest::keyClicks(QApplication::focusWidget(), u"0099"_s);
        form.control(u"txt姓名"_s)->setText(u"Kim"_s);
        form.control(u"txt简称"_s)->setText(u"K"_s);
        for (int i = 0; i < 2; ++i) {
            press(Qt::Key_Return);
            walked.append(QApplication::focusWidget()->objectName());
            selected.append(static_cast<QLineEdit *>(QApplication::focusWidget())->selectedText());
        }
        form.control(u"txt姓名"_s)->SetFocus();
        QTimer::singleShot(0, [] { pickFirstRowFor(u"O"_s); });
        press(Qt::Key_Return, Qt::AltModifier);
        codeAfterLookup = form.control(u"txt编号"_s)->Text();
        // The focus comes back with the window's activation, which offscreen may lag behind.
        QTest::keyClick(form.control(u"txt姓名"_s)->widget(), Qt::Key_Escape);
    });
    EXPECT_EQ(walked, (QStringList{u"txt姓名"_s, u"txt简称"_s}));
    EXPECT_EQ(selected, (QStringList{u"Kim"_s, u"K"_s})) << "each editor's text is selected on arrival";
    EXPECT_EQ(codeAfterLookup, u"0006") << "O'Brien's row is loaded";
    EXPECT_FALSE(form.window()->isVisible());
}

TEST_F(MaintenanceRealKeys, movingThroughTheListByKeyboardLoadsEachRowAsAClickDoes)
{
    QStringList listed;
    QStringList loaded;
    test::runWhileShown(form, [&] {
        form.control(u"lvwAny"_s)->SetFocus();
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_Up, Qt::Key_Home, Qt::Key_PageDown}) {
            press(key);
            listed.append(form.list().SelectedItem() ? form.list().SelectedItem()->Text() : u"(none)"_s);
            loaded.append(form.control(u"txt编号"_s)->Text());
        }
        press(Qt::Key_Escape);
    });
    const int rows = form.list().itemCount();
    ASSERT_GT(rows, 3);
    EXPECT_EQ(listed.mid(0, 5), (QStringList{form.list().item(1).Text(), form.list().item(2).Text(),
                                             form.list().item(rows).Text(), form.list().item(rows - 1).Text(),
                                             form.list().item(1).Text()}));
    EXPECT_EQ(loaded, listed) << "each row the keys select is loaded into the editors";
}
