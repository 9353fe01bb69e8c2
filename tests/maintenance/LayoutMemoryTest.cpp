#include "MaintenanceFixture.h"

#include "toolkit/Desktop.h"
#include "toolkit/ListView.h"

#include <QFile>
#include <QTemporaryDir>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

// A list of four fields whose widths the metadata sets to 1000 twips each.
class LayoutMemory : public test::MaintenanceTest
{
protected:
    void SetUp() override
    {
        db.exec({u"create table L(编号 varchar(4), 姓名 varchar(10), 部门 varchar(10), 职务 varchar(10))"_s,
                 u"insert into L values('0001','张三','销售','经理')"_s, u"insert into L values('0002','李四','财务','职员')"_s});
        int order = 0;
        for (const QString &field : {u"编号"_s, u"姓名"_s, u"部门"_s, u"职务"_s})
            db.displayColumn(u"L"_s, ++order, field, field);
    }

    std::unique_ptr<frmManage> open()
    {
        auto form = std::make_unique<frmManage>();
        form->LayoutFile = file;
        form->ManageTable(u"L"_s);
        return form;
    }

    // The shown columns' headers from the left, each with its width.
    static QStringList shown(const frmManage &form)
    {
        const ListView &list = form.list();
        QStringList columns(list.columnCount());
        for (int column = 1; column <= list.columnCount(); ++column)
            columns[list.shownPosition(column)] = u"%1=%2"_s.arg(list.column(column).text).arg(list.shownWidth(column));
        return columns;
    }

    QTemporaryDir folder;
    QString file = folder.filePath(u"velmarith/layouts.json"_s);
};

TEST_F(LayoutMemory, eachSurvivingFieldKeepsItsWidthPlaceAndSortAfterTheMetadataChanges)
{
    {
        auto form = open();
        form->list().setShownWidth(2, 2010);
        form->list().setShownWidth(3, 1500);
        form->list().moveColumnTo(4, 0); // 职务 first
        form->list().sortByColumn(2, Qt::DescendingOrder);
        form->Unload();
    }
    EXPECT_EQ(shown(*open()), (QStringList{u"职务=1005"_s, u"编号*=1005"_s, u"姓名=2010"_s, u"部门=1500"_s}));

    // 编号 removed, 姓名 renamed to 名字, 部门 and 职务 swapped in the metadata.
    db.exec({u"delete from 系统显示项目表 where 项目名称='编号'"_s, u"alter table L rename column 姓名 to 名字"_s,
             u"update 系统显示项目表 set 项目名称='名字', 显示名称='名字' where 项目名称='姓名'"_s,
             u"update 系统显示项目表 set 显示顺序=case 项目名称 when '部门' then '04' else '03' end where 项目名称 in ('部门','职务')"_s});
    auto form = open();
    EXPECT_EQ(shown(*form), (QStringList{u"名字*=1005"_s, u"职务=1005"_s, u"部门=1500"_s}))
        << "the renamed field starts as its metadata says; 职务 and 部门 keep their own widths";
    EXPECT_EQ(form->list().sortedColumn(), 2) << "the sort stays with 部门, wherever the metadata puts it";
    EXPECT_EQ(form->list().sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(form->list().itemValue(1, 2), u"销售");
}

TEST_F(LayoutMemory, aDamagedFileOpensTheDefaultLayoutAndTheTestingDesktopKeepsNone)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"x\": [");
    damaged.close();
    {
        auto form = open();
        EXPECT_EQ(shown(*form), (QStringList{u"编号*=1005"_s, u"姓名=1005"_s, u"部门=1005"_s, u"职务=1005"_s}));
        form->list().setShownWidth(2, 3000);
        form->Unload();
    }
    EXPECT_EQ(shown(*open()).value(1), u"姓名=3000") << "closing replaces the damaged file";
    EXPECT_TRUE(Desktop::current().layoutFile().isEmpty()) << "a host's tests never see an earlier run's layout";
}

} // namespace
