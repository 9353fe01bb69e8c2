// After every add, edit and delete the list shows exactly what a reload would show: the rows in
// their order, the bound descriptions, the sort the person chose and the highlighted row. A few
// hundred random commands on tables the list can update in place and tables it cannot.
#include "MaintenanceFixture.h"

#include <velmarith/Error.h>

#include "toolkit/ListView.h"

#include "support/QtPrinting.h"

#include <algorithm>
#include <random>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

QStringList shownRows(const ListView &list)
{
    QStringList rows;
    for (int item = 1; item <= list.itemCount(); ++item) {
        QStringList values;
        for (int column = 0; column < list.columnCount(); ++column)
            values.append(list.itemValue(item, column));
        rows.append(values.join(u'|'));
    }
    return rows;
}

// Rows sharing a first value (made before the code was unique) have no order of their own: a
// server may read them back in any order, so they are compared as a set.
QStringList withTiesSorted(QStringList rows)
{
    const auto firstValue = [](const QString &row) { return row.section(u'|', 0, 0); };
    for (auto run = rows.begin(); run != rows.end();) {
        const auto end = std::find_if(run, rows.end(), [&](const QString &row) { return firstValue(row) != firstValue(*run); });
        std::sort(run, end);
        run = end;
    }
    return rows;
}

// The highlighted row's first value; rows made before the code was unique may share it, and
// either of them is the loaded row.
QString highlighted(const ListView &list)
{
    const std::optional<ListItem> item = list.SelectedItem();
    return item ? u"row "_s + item->Text() : u"none"_s;
}

struct Table {
    QString name;
    QString firstField;   // typed into on add and edit
    QString secondField;
    bool integerFirst = false;
    bool mixedCase = false; // codes a collation may order otherwise than their bytes
};

class ListUpdate : public test::MaintenanceOnEachBackend
{
protected:
    void SetUp() override
    {
        MaintenanceOnEachBackend::SetUp();
        if (IsSkipped())
            return;
        // Refused commands show messages nobody answers here; each is a case like any other.
        desktop.setFailureHandler([](const QString &) {});
        db.exec({u"create table 部门表(部门编号 varchar(10), 部门名称 varchar(20))"_s,
                 u"insert into 部门表 values('D01','销售部')"_s, u"insert into 部门表 values('D02','财务部')"_s});
    }

    QString randomText(const QStringList &choices) { return choices[int(mRandom() % uint32_t(choices.size()))]; }
    int randomBelow(int limit) { return int(mRandom() % uint32_t(limit)); }

    void fillRandomly(frmManage &form, const Table &table)
    {
        const QString first = table.integerFirst ? QString::number(randomBelow(40))
                              : table.mixedCase   ? randomText({u"a1"_s, u"A2"_s, u"b1"_s, u"B2"_s, u"_c"_s, u"Ä"_s, u"ä"_s, u"z"_s})
                                                  : u"%1"_s.arg(randomBelow(40), 4, 10, QChar(u'0'));
        if (auto *box = form.control(u"txt"_s + table.firstField))
            box->setText(randomBelow(4) == 0 ? randomText({u"甲"_s, u"乙"_s}) : first);
        if (auto *box = form.control(u"txt"_s + table.secondField))
            box->setText(randomText({u"张三"_s, u"李四"_s, u"O'Brien"_s, u"王五"_s}));
        if (auto *combo = form.control(u"cbo部门"_s))
            combo->setText(randomText({u"D01(销售部)"_s, u"D02(财务部)"_s}));
        if (auto *combo = form.control(u"cbo性别"_s))
            combo->setText(randomText({u"1(男)"_s, u"2(女)"_s}));
    }

    // One random command, then the list compared with a reload of the same table. Returns how
    // many times a command read only the rows it touched.
    int runRandomCommands(const Table &table, int commands, int sortColumn = 0)
    {
        test::StatementLog log;
        auto form = start(table.name);
        auto reference = start(table.name);
        if (sortColumn > 0) {
            form->list().clickColumn(sortColumn);
            reference->list().clickColumn(sortColumn);
        }
        for (int step = 0; step < commands; ++step) {
            const int kind = randomBelow(9);
            const bool loaded = form->mItemKey != nullptr;
            try {
                if (kind < 2 && form->list().itemCount() > 0) {
                    form->list().clickItem(1 + randomBelow(form->list().itemCount()));
                } else if (kind < 5) {
                    fillRandomly(*form, table);
                    form->cmdAdd_Click();
                } else if (kind < 7 && loaded) {
                    fillRandomly(*form, table);
                    form->cmdEdit_Click();
                } else if (loaded) {
                    desktop.answer(MessageAnswer::Yes);
                    form->cmdDelete_Click();
                }
            } catch (const Error &) {
                // A server refuses "甲" for an integer code while checking it is unique; the
                // person would read why, and nothing was written.
            }
            reference->mItemKey = form->mItemKey;
            reference->FrmGetList();
            const QStringList shown = withTiesSorted(shownRows(form->list()));
            const QStringList reloaded = withTiesSorted(shownRows(reference->list()));
            const bool same = shown == reloaded && highlighted(form->list()) == highlighted(reference->list());
            EXPECT_EQ(shown, reloaded) << table.name.toStdString() << " step " << step;
            if (!same) {
                ADD_FAILURE() << table.name.toStdString() << " differs from a reload at step " << step << " kind " << kind
                              << " highlight " << highlighted(form->list()).toStdString() << " vs "
                              << highlighted(reference->list()).toStdString();
                return -1;
            }
        }
        EXPECT_GT(form->list().itemCount(), 3) << "the commands did change the table";
        const QStringList statements = log.statements();
        EXPECT_FALSE(statements.join(u'\n').contains(u"sqlite_"_s)) << "the window asks no backend about another's schema";
        // The rows a command reads back into the list; not the check of the loaded row, which
        // opens each edit's and delete's transaction.
        int readBack = 0;
        for (qsizetype i = 0; i < statements.size(); ++i) {
            const bool checksLoadedRow = i > 0 && statements[i - 1].startsWith(u"begin");
            readBack += statements[i].startsWith(u"select a.") && !statements[i].contains(u" order by ") && !checksLoadedRow;
        }
        return readBack;
    }

    std::mt19937 mRandom{20261209};
};

} // namespace

TEST_P(ListUpdate, aUniqueTextCodeFirstWithBoundAndEnumeratedFieldsEqualsAReloadSortedOrNot)
{
    db.exec({u"create table T(编号 varchar(4), 名称 varchar(20), 部门 varchar(10), 性别 varchar(4), 备注 text)"_s,
             u"insert into T values('0012','甲','D01','1','')"_s, u"insert into T values('0020','乙','D02','2','x')"_s,
             u"insert into T values('0030','丙','D09','1','no description')"_s,
             u"insert into T values('0020','丁','D01','1','a duplicate made before the code was unique')"_s});
    db.relation(u"T"_s, u"编号"_s, 7);
    db.relation(u"T"_s, u"名称"_s, 8);
    db.relation(u"T"_s, u"部门"_s, 4, u"部门表"_s, u"部门编号"_s, u"部门名称"_s);
    db.relation(u"T"_s, u"性别"_s, 3);
    db.entry(u"T"_s, u"性别"_s, u"1"_s, u"男"_s);
    db.entry(u"T"_s, u"性别"_s, u"2"_s, u"女"_s);
    const Table table{u"T"_s, u"编号"_s, u"名称"_s};
    EXPECT_GT(runRandomCommands(table, 120), 20);
    EXPECT_GT(runRandomCommands(table, 80, 2), 10);
}

TEST_P(ListUpdate, anIntegerCodeFirstEqualsAReload)
{
    db.exec({u"create table N(号 integer, 名称 varchar(20))"_s, u"insert into N values(5,'甲')"_s,
             u"insert into N values(17,'乙')"_s});
    db.relation(u"N"_s, u"号"_s, 7);
    EXPECT_GT(runRandomCommands({u"N"_s, u"号"_s, u"名称"_s, true}, 120), 20);
}

TEST_P(ListUpdate, tablesWhoseRowsCannotBeToldApartAreReadAgainWhole)
{
    // Duplicate values of the first field, and a table without any unique field.
    db.exec({u"create table D(名称 varchar(20), 编号 varchar(4))"_s, u"insert into D values('张三','0001')"_s,
             u"create table P(名称 varchar(20), 编号 varchar(4))"_s, u"insert into P values('张三','0001')"_s});
    db.relation(u"D"_s, u"编号"_s, 7);
    EXPECT_EQ(runRandomCommands({u"D"_s, u"编号"_s, u"名称"_s}, 80), 0);
    EXPECT_EQ(runRandomCommands({u"P"_s, u"编号"_s, u"名称"_s}, 80), 0);
}

TEST_P(ListUpdate, aCodeTheDatabaseOrdersByItsOwnCollationEqualsAReload)
{
    const QString collation = GetParam() == test::Backend::Sqlite     ? u"nocase"_s
                              : GetParam() == test::Backend::Postgres ? u"\"und-x-icu\""_s
                                                                      : u"utf8mb4_unicode_ci"_s;
    db.exec({u"create table K(编号 varchar(6) collate %1, 名称 varchar(20))"_s.arg(collation),
             u"insert into K values('B1','甲')"_s, u"insert into K values('a2','乙')"_s});
    db.relation(u"K"_s, u"编号"_s, 7);
    const Table table{u"K"_s, u"编号"_s, u"名称"_s, false, true};
    EXPECT_GT(runRandomCommands(table, 120), 20) << "the database tells where a new row goes";
}

INSTANTIATE_TEST_SUITE_P(Backends, ListUpdate, ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres, test::Backend::MariaDb),
                         test::backendName);
