#include "maintenance/data/ListFiller.h"
#include "toolkit/Form.h"
#include "toolkit/ListView.h"

#include "support/Errors.h"
#include "support/QtPrinting.h"
#include "support/Rows.h"

#include <QCoreApplication>
#include <QTableView>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;
using velmarith::test::errorNumberOf;
using velmarith::test::makeRows;

namespace {

class ListForm final : public Form
{
public:
    ListForm() : Form(QStringLiteral("frmList")) { list = &addControl<ListView>(QStringLiteral("lvwAny"), {210, 360, 7500, 2700}); }
    ListView *list;
};

QStringList texts(const ListView &list)
{
    QStringList values;
    for (int i = 1; i <= list.itemCount(); ++i)
        values.append(list.item(i).Text());
    return values;
}

ResultRows staff()
{
    return makeRows({u"编号"_s, u"姓名"_s, u"工资"_s},
                    {{u"0003"_s, u"李娜"_s, u"11200"_s}, {u"0001"_s, u"张伟"_s, u"9800"_s}, {u"0002"_s, u"Ann"_s, u"100000"_s}});
}

// A list bound to a filler, with the staff columns as headers.
class ListFillerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        filler.BindList(*form.list);
        Collection names;
        const ResultRows rows = staff(); // the names belong to the rows, which must outlive the loop
        for (const QString &name : rows.columnNames())
            names.Add(name);
        filler.FillHeads(names, u"Yes"_s);
    }
    ListForm form;
    ListFiller filler;
};

} // namespace

TEST_F(ListFillerTest, fillsOneColumnPerNameAndOneItemPerRowReadInPlace)
{
    filler.FillRows(staff(), nullptr, u"Yes"_s, u"No"_s);

    ASSERT_EQ(form.list->columnCount(), 3);
    EXPECT_EQ(form.list->column(2).text, u"姓名");
    EXPECT_EQ(texts(*form.list), (QStringList{u"0003"_s, u"0001"_s, u"0002"_s}));
    EXPECT_EQ(form.list->item(2).SubItems(1), u"张伟");
    EXPECT_EQ(form.list->item(2).SubItems(2), u"9800");
    EXPECT_EQ(form.list->item(2).SubItems(7), u"") << "beyond the row's values";
    auto *view = form.window()->findChild<QTableView *>(u"lvwAny"_s);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->data(view->model()->index(1, 1)).toString(), u"张伟");

    filler.FillRows(makeRows({u"编号"_s}, {{u"9"_s}}), nullptr, u"Yes"_s, u"No"_s);
    EXPECT_EQ(texts(*form.list), QStringList{u"9"_s}) << "each fill replaces what the list showed";
}

TEST_F(ListFillerTest, sortsByAColumnAscendingThenDescendingAndNumbersByValue)
{
    filler.FillRows(staff(), nullptr, u"No"_s, u"No"_s);

    filler.SortList(2);
    EXPECT_EQ(texts(*form.list), (QStringList{u"0001"_s, u"0003"_s, u"0002"_s})) << "9800 < 11200 < 100000";
    filler.SortList(2);
    EXPECT_EQ(texts(*form.list), (QStringList{u"0002"_s, u"0003"_s, u"0001"_s}));
    filler.SortList(1);
    EXPECT_EQ(form.list->item(1).SubItems(1), u"Ann") << "texts ignore letter case and Latin sorts before Han";
    filler.SortList(0);
    EXPECT_EQ(texts(*form.list), (QStringList{u"0001"_s, u"0002"_s, u"0003"_s}));
}

TEST_F(ListFillerTest, selectsTheRowHoldingTheKeptValuesAndCanClickIt)
{
    int clicked = 0;
    QObject::connect(form.list, &ListView::ItemClick, [&](const ListItem &item) { clicked = item.Index(); });

    auto keep = std::make_shared<Collection>();
    auto pair = std::make_shared<Collection>();
    pair->Add(u"编号"_s, u"项目名称"_s);
    pair->Add(u"0002"_s, u"项目内容"_s);
    keep->Add(pair);
    filler.FillRows(staff(), keep, u"Yes"_s, u"No"_s);
    ASSERT_TRUE(form.list->SelectedItem());
    EXPECT_EQ(form.list->SelectedItem()->Index(), 3);
    EXPECT_EQ(clicked, 0);
    filler.FillRows(staff(), keep, u"Yes"_s, u"Yes"_s);
    EXPECT_EQ(clicked, 3);
}

TEST(ListView, findsByTextPrefixFirstThenBySubItemsIgnoringCase)
{
    ListForm form;
    form.list->setRows(staff());
    EXPECT_EQ(form.list->findItem(u"0002"_s)->Index(), 3);
    EXPECT_EQ(form.list->findItem(u"00"_s)->Index(), 1);
    EXPECT_EQ(form.list->findItem(u"张"_s)->Index(), 2) << "found in a sub-item";
    EXPECT_EQ(form.list->findItem(u"ann"_s)->Index(), 3);
    EXPECT_EQ(form.list->findItem(u"1"_s)->Index(), 1) << "the first row whose other column begins with it";
    EXPECT_FALSE(form.list->findItem(u"王"_s));
}

TEST(ListView, refusesARepeatedColumnKeyAndHidesHiddenColumns)
{
    ListForm form;
    form.list->addColumn({u"K1"_s, u"编号*"_s, 700, Qt::AlignLeft, false});
    form.list->addColumn({u"K2"_s, u"姓名"_s, 900, Qt::AlignLeft, true});
    EXPECT_EQ(errorNumberOf([&] { form.list->addColumn({u"k1"_s, u"x"_s, 10, Qt::AlignLeft, false}); }),
              ErrorNumber::KeyNotUnique);
    auto *view = form.window()->findChild<QTableView *>(u"lvwAny"_s);
    EXPECT_FALSE(view->isColumnHidden(0));
    EXPECT_TRUE(view->isColumnHidden(1));
    EXPECT_EQ(view->columnWidth(0), toPixels(700));
    EXPECT_EQ(errorNumberOf([&] { (void)form.list->item(1); }), ErrorNumber::IndexOutOfBounds);
}

TEST_F(ListFillerTest, onlySelectedRowsAreDrawnHighlightedWhileTheListHasNoFocus)
{
    filler.FillRows(staff(), nullptr, u"Yes"_s, u"No"_s);
    auto *view = qobject_cast<QTableView *>(form.list->widget());
    ASSERT_TRUE(view);
    form.list->select(2);
    view->selectionModel()->setCurrentIndex(view->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    const QImage picture = view->viewport()->grab().toImage();
    const QColor highlight = view->palette().color(QPalette::Inactive, QPalette::Highlight);
    auto highlighted = [&](int row) {
        const QRect rect = view->visualRect(view->model()->index(row, 1));
        return picture.pixelColor(rect.right() - 3, rect.center().y()) == highlight; // beside the text
    };
    EXPECT_FALSE(highlighted(0)) << "the current row without a selection is not drawn as one";
    EXPECT_TRUE(highlighted(1)) << "the selected row stays visible without the focus";
    EXPECT_FALSE(highlighted(2));
}

namespace {

ResultRows numbered(int first, int count)
{
    ResultRows::Builder builder(QStringList{u"编号"_s});
    for (int n = first; n < first + count; ++n)
        builder.addCell(QString::number(n).toStdString());
    return builder.finish();
}

} // namespace

// The view lays rows out by a row header that follows the count, not each change; every row
// must still be where the person scrolls to it, and the last one reachable.
TEST(ListView, everyRowStaysReachableAsRowsArePutInTakenOutAndReplaced)
{
    ListForm form;
    form.list->addColumn({u"K1"_s, u"编号"_s, 1500, Qt::AlignLeft, false});
    auto *view = form.window()->findChild<QTableView *>(u"lvwAny"_s);
    form.window()->show();
    auto lastRowShownAtTheBottom = [&] {
        const int last = form.list->itemCount();
        QCoreApplication::processEvents(); // the view lays itself out again when events run
        form.list->ensureVisible(last);
        const QRect rect = view->visualRect(view->model()->index(last - 1, 0));
        return view->viewport()->rect().contains(rect) && view->indexAt(rect.center()).row() == last - 1
               && view->rowAt(rect.bottom() + 1) == -1;
    };

    form.list->setRows(numbered(1, 60));
    EXPECT_TRUE(lastRowShownAtTheBottom());
    form.list->insertListRows(30, numbered(1000, 5));
    form.list->insertListRows(0, numbered(2000, 1));
    EXPECT_EQ(form.list->itemCount(), 66);
    EXPECT_EQ(form.list->item(32).Text(), u"1000");
    EXPECT_TRUE(lastRowShownAtTheBottom());
    for (const int row : {65, 0, 30})
        form.list->removeListRow(row);
    EXPECT_EQ(form.list->itemCount(), 63);
    EXPECT_EQ(form.list->item(63).Text(), u"59");
    EXPECT_TRUE(lastRowShownAtTheBottom()) << "no room is left below the last row";
    form.list->setRows(numbered(1, 0));
    EXPECT_EQ(view->rowAt(0), -1);
    form.list->setRows(numbered(1, 20));
    EXPECT_TRUE(lastRowShownAtTheBottom());
    EXPECT_EQ(view->indexAt(view->visualRect(view->model()->index(19, 0)).center()).data().toString(), u"20");
}
