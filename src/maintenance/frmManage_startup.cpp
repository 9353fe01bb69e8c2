#include "maintenance/frmManage.h"

#include "maintenance/Editors.h"
#include "maintenance/ListRead.h"
#include "search/frmDataSearch.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Desktop.h"
#include "toolkit/Image.h"
#include "toolkit/ListView.h"
#include "toolkit/PictureBox.h"

#include <QTimer>

namespace velmarith {

using namespace toolkit;

namespace {

const QStringList kTooTallWarning{
    QStringLiteral("    请注意！即将打开的窗口将会超出了您显示器屏幕的可视范围，这"),
    QStringLiteral("可能是因为您所要维护的表中项目过多所致。"),
    QStringLiteral("    一般这类表是由专门的程序进行维护的，这种程序可以把界面做得"),
    QStringLiteral("更加美观和方便。"),
    QStringLiteral("    您可以通过按下[ESC]键，退出这个超出范围的窗口！"),
};

} // namespace

frmManage::frmManage()
    : Form(QStringLiteral("frmManage")), ReadsWhileShown(Desktop::current().readsWhileShown()), mReadTimer(new QTimer(this))
{
    designCaption(QStringLiteral("seting"));
    designClientSize(8010, 3825);
    setKeyPreview(true);

    shp1 = &addControl<Shape>(QStringLiteral("shp1"), {60, 90, 7800, 3000});
    shp1->setBorderColor(QColor(128, 128, 128));
    shp2 = &addControl<Shape>(QStringLiteral("shp2"), {75, 105, 7800, 3000});
    shp2->setBorderColor(Qt::white);
    lvwAny = &addControl<ListView>(QStringLiteral("lvwAny"), {210, 360, 7500, 2700});
    lvwAny->setTabIndex(0);
    lvwAny->setAccessibleName(QStringLiteral("记录列表"));
    lvwAny->addMenuEntry(QStringLiteral("撤销(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { dispatch([this] { undoLastCommand(); }); });
    lvwAny->addMenuEntry(QStringLiteral("导出(&X)…"), QKeySequence(Qt::CTRL | Qt::Key_E), [this] { dispatch([this] { exportShownList(); }); });
    lvwAny->addMenuEntry(QStringLiteral("打印(&P)…"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { dispatch([this] { printShownList(); }); });
    picCort = &addControl<PictureBox>(QStringLiteral("picCort"), {1050, 3150, 4110, 450});
    picCort->setTabIndex(1);

    const struct {
        CommandButton **button;
        const char16_t *name;
        const char16_t *caption;
        int left;
    } buttons[] = {
        {&cmdAdd, u"cmdAdd", u"增加(&A)", 0},
        {&cmdDelete, u"cmdDelete", u"删除(&D)", 1020},
        {&cmdEdit, u"cmdEdit", u"修改(&E)", 2040},
        {&cmdCancel, u"cmdCancel", u"取消(&N)", 3060},
    };
    int16_t tabIndex = 2;
    for (const auto &b : buttons) {
        *b.button = &addControlIn<CommandButton>(*picCort, QString::fromUtf16(b.name), {b.left, 0, 990, 330});
        (*b.button)->setCaption(QString::fromUtf16(b.caption));
        (*b.button)->setTabIndex(tabIndex++);
        (*b.button)->setEnabled(false);
    }

    on(cmdAdd, &CommandButton::Click, this, &frmManage::cmdAdd_Click);
    on(cmdDelete, &CommandButton::Click, this, &frmManage::cmdDelete_Click);
    on(cmdEdit, &CommandButton::Click, this, &frmManage::cmdEdit_Click);
    on(cmdCancel, &CommandButton::Click, this, &frmManage::cmdCancel_Click);
    on(lvwAny, &ListView::ItemClick, this, &frmManage::lvwAny_ItemClick);
    on(lvwAny, &ListView::ColumnClick, this, &frmManage::lvwAny_ColumnClick);
    lvwAny->setBeforeWholeListNeeded([this] { dispatch([this] { waitForWholeList(); }); });
    connect(mReadTimer, &QTimer::timeout, this, [this] { dispatch([this] { readListWhileIdle(); }); });
}

frmManage::~frmManage() = default; // here, where frmDataSearch and ListRead are complete

void frmManage::Form_Load()
{
    centreOnScreen();
}

void frmManage::ManageTable(const QString &TableName, int16_t)
{
    mTableName = TableName;
    FrmPrepare();
    FrmSetButtons();
    warnWhenTallerThanScreen();
    applyRememberedLayout();
}

void frmManage::FrmPrepare()
{
    FrmGetWindow();
    // Shown, the window reads the fields' relations while a server works out the list's first
    // rows; read whole, it keeps the order of statements hosts' own tests have seen.
    getList(ReadsWhileShown ? std::function<void()>([this] { readRelationsAhead(); }) : nullptr);
    FrmMakeItems(mFieldList, mTypeList, mSizeList);
    mItemSnap = snapshot(QStringLiteral("All"));
    sizeAroundEditors();
    centreOnScreen();
    setCaption(mTableName + QStringLiteral("维护"));
}

void frmManage::FrmSetButtons()
{
    const bool editOnly = WorkMode == u"Edit";
    cmdAdd->setEnabled(!editOnly);
    cmdDelete->setEnabled(!editOnly);
    cmdEdit->setEnabled(true);
    cmdCancel->setEnabled(true);
}

void frmManage::warnWhenTallerThanScreen()
{
    if (Height() >= Desktop::current().screenSize().height())
        Desktop::current().message(kTooTallWarning.join(QStringLiteral("\r\n")), Desktop::noticeTitle(),
                                   MessageIcon::Information, MessageButtons::Ok);
}

void frmManage::sizeAroundEditors()
{
    const Int16 lastTop(mLastTop);
    setHeight(lastTop + Int16(1500));
    shp1->setHeight(lastTop + Int16(420));
    shp2->setHeight(shp1->Height());
    picCort->setTop(lastTop + Int16(600));
    picCort->setLeft(Int16::checked(lvwAny->Left()) + Int16::checked(lvwAny->Width()) - Int16::checked(picCort->Width()));
}

} // namespace velmarith
