#include "maintenance/frmManage.h"

#include "common/IgnoringErrors.h"
#include "common/Numbers.h"
#include "data/Connection.h"
#include "maintenance/Editors.h"
#include "maintenance/data/ListFiller.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Image.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>
#include <velmarith/SqlText.h>

namespace velmarith {

using namespace toolkit;

namespace {

const QString kWindowName = QStringLiteral("frmManage");
const QString kListName = QStringLiteral("lvwAny");
constexpr int kTypicalValueRows = 50;

Int16 metadataNumber(const ResultRow &row, const QString &column)
{
    return Int16(toInt16(leadingNumber(row.Item(column))));
}

std::optional<Qt::Alignment> alignmentOf(const QString &word)
{
    if (word == u"Left")
        return Qt::AlignLeft;
    if (word == u"Right")
        return Qt::AlignRight;
    if (word == u"Center")
        return Qt::AlignHCenter;
    return std::nullopt;
}

} // namespace

void frmManage::FrmGetWindow()
{
    ResultRows rows;
    {
        DataBridge bridge;
        bridge.Open();
        bridge.Query(QStringLiteral("select * from 系统窗体表 where 窗体名称=") + sqlString(kWindowName) +
                         QStringLiteral(" and 识别码=") + sqlString(mTableName) + QStringLiteral(" "),
                     &rows);
        bridge.Close();
    }
    Int16 listHeight = Int16::checked(lvwAny->Height());
    if (rows.Count() == 0) {
        mFormPlace = 0;
        mFormStyle = 0;
        mFormWidth = Int16::checked(Width());
        mFormHeight = 0;
    } else {
        const ResultRow row = rows.Item(1);
        mFormPlace = metadataNumber(row, QStringLiteral("窗体位置"));
        mFormStyle = metadataNumber(row, QStringLiteral("窗体样式"));
        mFormWidth = metadataNumber(row, QStringLiteral("窗体宽度"));
        mFormHeight = metadataNumber(row, QStringLiteral("窗体高度"));
        if (leadingNumber(row.Item(QStringLiteral("列表高度"))) != 0)
            listHeight = metadataNumber(row, QStringLiteral("列表高度"));
    }
    const Int16 width(mFormWidth);
    setWidth(width);
    shp1->setWidth(width - Int16(210));
    shp2->setWidth(width - Int16(210));
    lvwAny->setWidth(width - Int16(510));
    lvwAny->setHeight(listHeight);
    mItemTop = listHeight + Int16::checked(lvwAny->Top()) + Int16(210);

    // Every window style gets the two-column layout; only style 0 is defined, and leaving the
    // others without positions would stack every editor at the left edge.
    const Int16 listLeft = Int16::checked(lvwAny->Left());
    const Int16 half = Int16::checked(lvwAny->Width()) / Int16(2);
    mLeftX = QString::number((listLeft + Int16(120)).value());
    mRightX = QString::number((listLeft + half + Int16(120)).value());
    mItemWidth = half - Int16(1200) - Int16(300);
}

void frmManage::FrmGetList()
{
    getList({});
}

void frmManage::getList(const std::function<void()> &whileTheStatementRuns)
{
    auto bridge = std::make_unique<DataBridge>();
    bridge->Open();
    ResultRows display;
    bridge->Query(QStringLiteral("select * from 系统显示项目表 where 窗体名称=") + sqlString(kWindowName) +
                      QStringLiteral(" and 显示区域名称=") + sqlString(kListName) + QStringLiteral(" and 识别码=") +
                      sqlString(mTableName) + QStringLiteral(" and 是否显示='1' order by 显示顺序"),
                  &display);

    mFieldList = Collection();
    const bool headersMade = display.Count() > 0;
    if (headersMade) {
        lvwAny->clearColumns();
        for (Int16 i(1); i <= Int16::checked(display.Count()); ++i) {
            const ResultRow row = display.Item(i);
            const QString key = QStringLiteral("K") + row.Item(QStringLiteral("序号"));
            const QString text = row.Item(QStringLiteral("显示名称"));
            const int width = toInt32(leadingNumber(row.Item(QStringLiteral("显示宽度"))));
            if (i == Int16(1)) {
                lvwAny->addColumn({key, text + QStringLiteral("*"), width, Qt::AlignLeft, false});
            } else {
                // A column with an unknown alignment is kept, hidden, so the columns after it
                // still line up with the fields.
                const std::optional<Qt::Alignment> alignment = alignmentOf(row.Item(QStringLiteral("显示方式")));
                lvwAny->addColumn({key, text, width, alignment.value_or(Qt::AlignLeft), !alignment});
            }
            mFieldList.Add(row.Item(QStringLiteral("项目名称")));
        }
    }
    if (mFieldList.Count() == 0)
        bridge->Query(QStringLiteral("select * from ") + sqlName(mTableName), nullptr, &mFieldList);
    if (!headersMade) {
        ListFiller filler;
        filler.BindList(*lvwAny);
        filler.FillHeads(mFieldList, QStringLiteral("Yes"));
    }

    mListStatement = listStatementOf(mTableName, mFieldList);
    const int sortedColumn = lvwAny->sortedColumn();
    const Qt::SortOrder sortOrder = lvwAny->sortOrder();
    startListRead(std::move(bridge), mListStatement->whole(), whileTheStatementRuns);
    // Columns sized by their header alone would cut most values of a table without display rows.
    if (!headersMade)
        lvwAny->widenColumnsToValues(kTypicalValueRows);
    // A list the person sorted stays sorted, which takes all of its rows.
    if (sortedColumn >= 0) {
        waitForWholeList();
        lvwAny->sortByColumn(sortedColumn, sortOrder);
        showLoadedRow();
    }
}

QString frmManage::FrmListSql(const QString &TableName, const Collection &FieldList)
{
    return listStatementOf(TableName, FieldList).whole();
}

frmManage::ListStatement frmManage::listStatementOf(const QString &TableName, const Collection &FieldList)
{
    DataBridge bridge;
    bridge.Open();
    const detail::SharedReads oneLock(bridge);
    ListStatement statement;
    QStringList selectItems;
    statement.from = sqlName(TableName) + QStringLiteral(" a");
    char16_t alias = u'b';
    QStringList joinedColumns; // of the bound tables, as the relations name them
    for (int i = 1; i <= FieldList.Count(); ++i) {
        const QString field = FieldList.Item(i).toString();
        const QString name = sqlName(field);
        if (i == 1) {
            statement.order = QStringLiteral(" order by ") + name;
            statement.firstColumn = QStringLiteral("a.") + name;
        }
        ResultRows bound;
        bridge.Query(QStringLiteral("select * from 系统约束关联表 where 表名=") + sqlString(TableName) +
                         QStringLiteral(" and 项目=") + sqlString(field) + QStringLiteral(" and 关联类型='4'"),
                     &bound);
        statement.bound.push_back(bound.Count() > 0);
        if (bound.Count() == 0) {
            selectItems.append(QStringLiteral("a.") + name);
            continue;
        }
        const ResultRow relation = bound.Item(1);
        joinedColumns << relation.Item(QStringLiteral("关联项目")) << relation.Item(QStringLiteral("关联说明"));
        const QString x(QChar{alias});
        selectItems.append(
            QStringLiteral("a.%1+'('+%2.%3+')' as %1").arg(name, x, sqlName(relation.Item(QStringLiteral("关联说明")))));
        statement.from += QStringLiteral(",") + sqlName(relation.Item(QStringLiteral("关联表名"))) + QStringLiteral(" ") + x;
        statement.joins.append(QStringLiteral("a.%1=%2.%3").arg(name, x, sqlName(relation.Item(QStringLiteral("关联项目")))));
        ++alias;
    }
    bridge.Close();
    statement.select = QStringLiteral("select ") + selectItems.join(u',');
    // A bound table with a column of the first field's name (both keyed by 编号) makes the
    // order ambiguous where an unqualified name finds input columns first (SQLite).
    if (!statement.bound.empty() && !statement.bound.front() && joinedColumns.contains(FieldList.Item(1).toString()))
        statement.order = QStringLiteral(" order by ") + statement.firstColumn;
    return statement;
}

QString frmManage::ListStatement::whole() const
{
    return restrictedTo({}) + order;
}

QString frmManage::ListStatement::restrictedTo(const QString &condition) const
{
    QStringList conditions = joins;
    if (!condition.isEmpty())
        conditions.append(condition);
    QString text = select + QStringLiteral(" from ") + from;
    if (!conditions.isEmpty())
        text += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    return text;
}

void frmManage::lvwAny_ItemClick(const ListItem &Item)
{
    mLoadedCells.clear();
    for (Int16 i(1); i <= Int16::checked(mFieldList.Count()); ++i) {
        mLoadedCells.append(i == Int16(1) ? Item.Text() : Item.SubItems(i - Int16(1)));
        FrmItemShow(mFieldList.Item(i).toString(), mLoadedCells.back());
    }
    mItemSnap = snapshot(QStringLiteral("All"));
    mItemKey = snapshot(QStringLiteral("Only"));
    if (mItemKey->Count() == 0)
        mItemKey = mItemSnap;
}

void frmManage::FrmItemShow(const QString &FieldName, const QString &Value)
{
    for (const Editor &editor : editors()) {
        if (editor.field != FieldName)
            continue;
        switch (editor.kind) {
        case EditorKind::TextBox:
            ranWithoutError([&] { editor.control->setText(Value); });
            break;
        case EditorKind::ComboBox: {
            auto &combo = static_cast<ComboBox &>(*editor.control);
            if (combo.ListCount() == 0)
                break;
            int found = -1;
            for (int entry = 0; entry < combo.ListCount() && found < 0; ++entry) {
                if (combo.List(entry).contains(Value))
                    found = entry;
            }
            ranWithoutError([&] {
                if (found >= 0)
                    combo.setListIndex(found);
                else
                    combo.setText(Value);
            });
            break;
        }
        case EditorKind::CheckBox: {
            // Any value but 0 shows ticked; one the box cannot show exactly (5, -1, Y) stays
            // the field's value until the person changes the box.
            const bool ticked = leadingNumber(Value) != 0;
            static_cast<CheckBox &>(*editor.control).setValue(ticked ? 1 : 0);
            if (Value.isEmpty() || Value == QString::number(ticked ? 1 : 0))
                mUnshownValues.erase(FieldName);
            else
                mUnshownValues[FieldName] = {Value, ticked};
            break;
        }
        }
        return;
    }
}

void frmManage::lvwAny_ColumnClick(int ColumnHeader)
{
    waitForWholeList();
    ListFiller filler;
    filler.BindList(*lvwAny);
    filler.SortList(int16_t(ColumnHeader - 1));
}

} // namespace velmarith
