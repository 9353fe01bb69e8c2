#include "MaintenanceFixture.h"

#include "toolkit/KeyCodes.h"
#include "toolkit/ListView.h"

#include <random>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

// Staff with a unique code, an enumerated post that may be NULL, an amount and a remark the
// window shows but gives no editor.
class Undo : public test::MaintenanceOnEachBackend
{
protected:
    void SetUp() override
    {
        MaintenanceOnEachBackend::SetUp();
        if (IsSkipped())
            return;
        db.exec({u"create table U(编号 varchar(4), 名称 varchar(20), 职务 varchar(10), 工资 numeric(8,2), 备注 varchar(20))"_s,
                 u"insert into U values('0001','甲',NULL,1.50,'注一')"_s, u"insert into U values('0002','乙','经理',NULL,NULL)"_s});
        db.relation(u"U"_s, u"编号"_s, 7);
        db.relation(u"U"_s, u"职务"_s, 3);
        db.entry(u"U"_s, u"职务"_s, u"经理"_s);
        db.entry(u"U"_s, u"职务"_s, u"职员"_s);
    }

    // Every row exactly as stored: each value with its type on SQLite, NULL told from ''.
    QStringList stored() const
    {
        const bool sqlite = GetParam() == test::Backend::Sqlite;
        QStringList columns;
        for (const QString &column : {u"编号"_s, u"名称"_s, u"职务"_s, u"工资"_s, u"备注"_s})
            columns.append(sqlite ? u"quote(%1)"_s.arg(column) : u"case when %1 is null then 'NULL' else concat('[', %1, ']') end"_s.arg(column));
        return db.column(u"select %1 from U order by 编号"_s.arg(columns.join(u" + '|' + "_s)));
    }

    void pressUndo(frmManage &form) { form.pressKey('Z', ShiftState::Ctrl, &form.list()); }

    QString lastMessage() const { return desktop.messages().empty() ? QString() : desktop.messages().back().text; }
};

TEST_P(Undo, ctrlZUndoesEachCommandBackToTheFirstRestoringEveryValueAsStored)
{
    const QStringList original = stored();
    auto form = start(u"U"_s);
    EXPECT_EQ(form->list().menuEntries(), (QStringList{u"撤销(&U)"_s, u"导出(&X)…"_s, u"打印(&P)…"_s}));

    form->list().clickItem(1); // 职务 NULL shows as the first entry, and the edit writes it
    form->control(u"txt名称"_s)->setText(u"甲改"_s);
    form->cmdEdit_Click();
    const QStringList edited = stored();
    form->list().clickItem(2);
    desktop.answer(MessageAnswer::Yes);
    form->cmdDelete_Click();
    const QStringList deleted = stored();
    form->control(u"txt编号"_s)->setText(u"0003"_s);
    form->control(u"txt名称"_s)->setText(u"丙"_s);
    form->cmdAdd_Click();
    ASSERT_EQ(stored().size(), 2);
    EXPECT_EQ(form->undoableCommands(), 3u);

    pressUndo(*form);
    EXPECT_EQ(stored(), deleted) << "the add is gone";
    form->list().pickMenuEntry(u"撤销(&U)"_s);
    EXPECT_EQ(stored(), edited) << "the deleted row is back, its NULLs and remark as they were";
    pressUndo(*form);
    EXPECT_EQ(stored(), original) << "the edit's every column is back, 职务 NULL again";
    EXPECT_EQ(form->list().itemCount(), 2);
    EXPECT_EQ(form->mItemKey, nullptr) << "as after any command, no row is loaded";
    EXPECT_TRUE(desktop.messages().size() == 1u) << "no question where the rows were as the commands left them";

    desktop.answer(MessageAnswer::Ok);
    pressUndo(*form);
    EXPECT_EQ(lastMessage(), u"没有可以撤销的操作！");
}

TEST_P(Undo, anUndoOverAnotherUsersChangeAsksFirst)
{
    auto form = start(u"U"_s);
    form->list().clickItem(2);
    form->control(u"txt名称"_s)->setText(u"乙改"_s);
    form->cmdEdit_Click();
    db.exec({u"update U set 名称='他人' where 编号='0002'"_s});

    desktop.answer(MessageAnswer::No);
    pressUndo(*form);
    EXPECT_EQ(lastMessage(), u"该记录已被其他用户修改：\r\n[名称]：原来是“乙改”，现在是“他人”\r\n是否仍然撤销？");
    EXPECT_EQ(db.column(u"select 名称 from U where 编号='0002'"_s), QStringList{u"他人"_s}) << "No leaves the other's change";
    EXPECT_EQ(form->undoableCommands(), 1u) << "and the undo still waits";

    desktop.answer(MessageAnswer::Yes);
    pressUndo(*form);
    EXPECT_EQ(db.column(u"select 名称 from U where 编号='0002'"_s), QStringList{u"乙"_s});

    form->list().clickItem(1);
    desktop.answer(MessageAnswer::Yes);
    form->cmdDelete_Click();
    db.exec({u"insert into U(编号, 名称) values('0001','重来')"_s});
    desktop.answer(MessageAnswer::Ok);
    pressUndo(*form);
    EXPECT_EQ(lastMessage(), u"该记录已被其他用户重新增加，不能撤销删除！");
    EXPECT_EQ(db.column(u"select 名称 from U where 编号='0001'"_s), QStringList{u"重来"_s}) << "no second row of the key";
}

// Commands and undos in a random order: every undo brings back the table exactly as it was
// before the command it undoes.
TEST_P(Undo, randomCommandsAndUndosRestoreTheTableExactly)
{
    auto form = start(u"U"_s);
    std::mt19937 random(20261211);
    std::vector<QStringList> beforeEach;
    int undone = 0;
    for (int step = 0; step < 120; ++step) {
        const unsigned kind = random() % 5;
        const QStringList now = stored();
        const size_t undoable = form->undoableCommands();
        if (kind == 0 && undoable > 0) {
            pressUndo(*form);
            ASSERT_EQ(form->undoableCommands(), undoable - 1) << "step " << step;
            EXPECT_EQ(stored(), beforeEach.back()) << "step " << step;
            beforeEach.pop_back();
            ++undone;
            continue;
        }
        const int rows = form->list().itemCount();
        if (kind == 1 || rows == 0) {
            form->control(u"txt编号"_s)->setText(u"%1"_s.arg(100 + step, 4, 10, QChar(u'0')));
            form->control(u"txt名称"_s)->setText(u"加%1"_s.arg(step));
            form->cmdAdd_Click();
        } else {
            form->list().clickItem(1 + int(random() % unsigned(rows)));
            if (kind == 2) {
                desktop.answer(MessageAnswer::Yes);
                form->cmdDelete_Click();
            } else {
                form->control(u"txt名称"_s)->setText(u"改%1"_s.arg(step));
                form->cmdEdit_Click();
            }
        }
        ASSERT_EQ(form->undoableCommands(), undoable + 1) << "step " << step;
        beforeEach.push_back(now);
    }
    EXPECT_GT(undone, 10);
}

INSTANTIATE_TEST_SUITE_P(Backends, Undo, ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres, test::Backend::MariaDb),
                         test::backendName);

} // namespace
