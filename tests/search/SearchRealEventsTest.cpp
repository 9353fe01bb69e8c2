// The lookup window on the production desktop: real key clicks typed into the keyword box.
#include "search/frmDataSearch.h"
#include "toolkit/ListView.h"

#include "support/QtPrinting.h"
#include "support/ShownWindow.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {
// A keyword list over the departments `names`, filtered as `queryKey` says.
void listDepartments(test::TempDatabase &db, frmDataSearch &form, const QStringList &names, const QString &queryKey)
{
    db.exec({u"create table 部门(名称 varchar(20))"_s});
    for (const QString &name : names)
        db.exec({u"insert into 部门 values('%1')"_s.arg(name)});
    form.SearchMainData = u"select 名称 from 部门"_s;
    form.SearchQueryTerm = u"名称"_s;
    form.SearchQueryKey = queryKey;
}
} // namespace

TEST(SearchRealEvents, aKeywordArrowsAndTheConfirmButtonChooseARowByKeyboard)
{
    test::TempDatabase db;
    frmDataSearch form;
    listDepartments(db, form, {u"Finance"_s, u"Audit and Finance"_s, u"Sales"_s}, u"0"_s);
    QStringList listed;
    QString focusAfterEnter;
    QString focusAfterTab;
    test::runWhileShown(form, [&] {
        form.control(u"txtQuery"_s)->SetFocus();
        QTest::keyClicks(QApplication::focusWidget(), u"fin"_s);
        const auto &list = static_cast<toolkit::ListView &>(*form.control(u"lvwQuery"_s));
        for (int i = 1; i <= list.itemCount(); ++i)
            listed.append(list.item(i).Text());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        focusAfterEnter = QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // the tab control, by its tab index
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        focusAfterTab = QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    });
    EXPECT_EQ(listed, (QStringList{u"Finance"_s, u"Audit and Finance"_s}));
    EXPECT_EQ(focusAfterEnter, u"lvwQuery");
    EXPECT_EQ(focusAfterTab, u"cmdOK");
    EXPECT_FALSE(form.window()->isVisible());
    EXPECT_EQ(form.SearchSelect, u"Audit and Finance") << "arrows pick the row, Space on 确定 confirms it";
}

TEST(SearchRealEvents, endAndHomeInAFreshlyFilledListSelectTheLastAndTheFirstRow)
{
    test::TempDatabase db;
    frmDataSearch form;
    listDepartments(db, form, {u"Finance"_s, u"Audit"_s, u"Sales"_s}, u"1"_s);
    QStringList chosen;
    test::runWhileShown(form, [&] {
        const auto &list = static_cast<toolkit::ListView &>(*form.control(u"lvwQuery"_s));
        form.control(u"txtQuery"_s)->SetFocus();
        QTest::keyClicks(QApplication::focusWidget(), u"a"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // fills the list, moves to it
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        chosen.append(list.SelectedItem() ? list.SelectedItem()->Text() : u"(none)"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        chosen.append(list.SelectedItem() ? list.SelectedItem()->Text() : u"(none)"_s);
        form.Unload();
    });
    EXPECT_EQ(chosen, (QStringList{u"Sales"_s, u"Finance"_s}));
}
