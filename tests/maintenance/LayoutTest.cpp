#include "MaintenanceFixture.h"

#include "toolkit/ListView.h"

#include "support/QtPrinting.h"

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

class EditorLayout : public test::MaintenanceTest
{
protected:
    void SetUp() override { db.window(u"t"_s, u"9000"_s, u"3000"_s); }

    struct Place {
        int labelLeft, labelTop, editorLeft, editorTop, editorWidth;
        friend bool operator==(const Place &, const Place &) = default;
    };
    static Place placeOf(frmManage &form, const QString &field)
    {
        const Control &label = *form.control(u"lab"_s + field);
        const Control &editor = *form.control(u"txt"_s + field);
        return {label.Left(), label.Top(), editor.Left(), editor.Top(), editor.Width()};
    }
};

constexpr int kHalf = (9000 - 510) / 2;
constexpr int kFirstRow = 3000 + 570;

} // namespace

TEST_F(EditorLayout, placesEditorsInRowsOfTwoLeftBeforeRight)
{
    db.exec({u"create table t(a varchar(5), b varchar(5), c varchar(5))"_s});
    auto form = start(u"t"_s);
    EXPECT_EQ(placeOf(*form, u"a"_s), (Place{330, kFirstRow, 1530, kFirstRow - 60, kHalf - 1500}));
    EXPECT_EQ(placeOf(*form, u"b"_s), (Place{330 + kHalf, kFirstRow, 1530 + kHalf, kFirstRow - 60, kHalf - 1500}));
    EXPECT_EQ(placeOf(*form, u"c"_s), (Place{330, kFirstRow + 420, 1530, kFirstRow + 360, kHalf - 1500}));
    EXPECT_EQ(form->mLastTop, kFirstRow + 420);
    EXPECT_EQ(form->Height(), kFirstRow + 420 + 1500);
    EXPECT_EQ(form->control(u"shp1"_s)->Height(), kFirstRow + 840);
    EXPECT_EQ(form->control(u"shp2"_s)->Height(), kFirstRow + 840);
    EXPECT_EQ(form->control(u"picCort"_s)->Top(), kFirstRow + 1020);
    EXPECT_EQ(form->control(u"picCort"_s)->Left(), 210 + (9000 - 510) - 4110) << "flush with the list's right edge";
}

TEST_F(EditorLayout, fourEditorsMakeTwoFullRowsInTabOrder)
{
    db.exec({u"create table t(a varchar(5), b varchar(5), c varchar(5), d varchar(5))"_s});
    auto form = start(u"t"_s);
    EXPECT_EQ(form->mLastTop, kFirstRow + 420);
    EXPECT_EQ(placeOf(*form, u"d"_s).labelLeft, 330 + kHalf);
    QStringList tabIndexes;
    for (const QString &field : {u"a"_s, u"b"_s, u"c"_s, u"d"_s})
        tabIndexes.append(QString::number(form->control(u"txt"_s + field)->TabIndex()));
    EXPECT_EQ(tabIndexes, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    EXPECT_LT(form->control(u"lvwAny"_s)->TabIndex(), form->control(u"txta"_s)->TabIndex());
    EXPECT_GT(form->control(u"cmdAdd"_s)->TabIndex(), form->control(u"txtd"_s)->TabIndex())
        << "the buttons come after the editors";
}

TEST_F(EditorLayout, aRemarkFieldAndHiddenFieldsTakeNoPlace)
{
    db.exec({u"create table t(a varchar(5), 备注 text, h varchar(5), b varchar(5))"_s});
    db.relation(u"t"_s, u"h"_s, 0);
    auto form = start(u"t"_s);
    EXPECT_EQ(form->control(u"txt备注"_s), nullptr);
    EXPECT_EQ(form->control(u"lab备注"_s), nullptr);
    EXPECT_EQ(placeOf(*form, u"b"_s).labelLeft, 330 + kHalf);
    EXPECT_EQ(form->control(u"txtb"_s)->TabIndex(), 2);
    EXPECT_EQ(form->list().columnCount(), 4) << "the fields stay in the list";
}

TEST_F(EditorLayout, withoutEditorsTheWindowShrinksAroundTheButtons)
{
    db.exec({u"create table t(备注 text)"_s});
    auto form = start(u"t"_s);
    EXPECT_EQ(form->mLastTop, 0);
    EXPECT_EQ(form->Height(), 1500);
    EXPECT_EQ(form->control(u"shp1"_s)->Height(), 420);
    EXPECT_EQ(form->control(u"picCort"_s)->Top(), 600);
}
