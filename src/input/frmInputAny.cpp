#include "input/frmInputAny.h"

#include "common/Int16.h"
#include "toolkit/ComboBox.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Fonts.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/TextBox.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QStyle>

namespace velmarith {

using namespace toolkit;

namespace {

constexpr int kRaiseAboveCentre = 900;
constexpr int kClientWidth = 4500;
constexpr int kClientHeight = 1965;
constexpr int kBackgroundHeight = 2250;
constexpr int kPromptLeft = 975;
constexpr int kPromptTop = 285;
constexpr int kPromptRightMargin = 285;
constexpr int kEntryTop = 720;
constexpr int kButtonTop = 1380;

QPixmap lightBackground()
{
    QPixmap picture(300, 150);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, 0, picture.height());
    gradient.setColorAt(0, QColor(0xF7, 0xF9, 0xFC));
    gradient.setColorAt(1, QColor(0xE4, 0xEA, 0xF3));
    painter.fillRect(picture.rect(), gradient);
    return picture;
}

} // namespace

frmInputAny::frmInputAny() : Form(QStringLiteral("frmInputAny"))
{
    designCaption(QStringLiteral("信息输入"));
    designClientSize(kClientWidth, kClientHeight);

    imgBackGround = &addControl<Image>(QStringLiteral("imgBackGround"), {0, 0, kClientWidth, kBackgroundHeight});
    imgBackGround->setPicture(lightBackground());
    imgBackGround->setStretch(true);
    imgIcon = &addControl<Image>(QStringLiteral("imgIcon"), {285, 195, 480, 480});
    imgIcon->setPicture(QApplication::style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));

    lab提示 = &addControl<Label>(QStringLiteral("lab提示"), {kPromptLeft, kPromptTop, 720, 180});
    lab提示->setWrapWidth(kClientWidth - kPromptLeft - kPromptRightMargin);
    lab提示->setCaption(QStringLiteral("提示信息"));
    lab提示->setTabIndex(3);

    txt内容 = &addControl<TextBox>(QStringLiteral("txt内容"), {1020, kEntryTop, 3000, 330});
    txt内容->setFont(songTi(), 9);
    txt内容->setTabIndex(0);
    cbo内容 = &addControl<ComboBox>(QStringLiteral("cbo内容"), {1020, kEntryTop, 3000, 330});
    cbo内容->setFont(songTi(), 10.5);
    cbo内容->setTabIndex(4);
    cbo选择 = &addControl<ComboBox>(QStringLiteral("cbo选择"), {1020, kEntryTop, 3000, 330}, ComboBox::Style::DropDownList);
    cbo选择->setFont(songTi(), 10.5);
    cbo选择->setTabIndex(5);

    cmd确定 = &addControl<CommandButton>(QStringLiteral("cmd确定"), {1815, kButtonTop, 1200, 330});
    cmd确定->setCaption(QStringLiteral("确定(&Y)"));
    cmd确定->setTabIndex(1);
    cmd取消 = &addControl<CommandButton>(QStringLiteral("cmd取消"), {3075, kButtonTop, 1200, 330});
    cmd取消->setCaption(QStringLiteral("取消(&X)"));
    cmd取消->setTabIndex(2);
    setDefaultButton(cmd确定);
    setCancelButton(cmd取消);

    on(cmd确定, &CommandButton::Click, this, &frmInputAny::cmd确定_Click);
    on(cmd取消, &CommandButton::Click, this, &frmInputAny::cmd取消_Click);
}

void frmInputAny::Form_Load()
{
    centreOnScreen(kRaiseAboveCentre);
}

void frmInputAny::InputAny(const QString &InPrmmpt, const QString &InTitle, const QString &InMode,
                           const std::shared_ptr<Collection> &InDefColl)
{
    ensureLoaded();
    InputMode = InMode;
    showPrompt(InPrmmpt);
    setCaption(InTitle);
    if (InMode == u"Input") {
        if (InDefColl && InDefColl->Count() > 0)
            txt内容->setText(InDefColl->Item(1).toString());
        showOnly(*txt内容);
    } else if (InMode == u"Select") {
        fillList(*cbo内容, InDefColl);
        showOnly(*cbo内容);
    } else if (InMode == u"OnlySelect") {
        fillList(*cbo选择, InDefColl);
        showOnly(*cbo选择);
    }
}

void frmInputAny::showPrompt(const QString &prompt)
{
    lab提示->setCaption(prompt);
    // A prompt wrapped over several lines pushes the entry and the buttons down, and the
    // window grows with them.
    const int extra = std::max(0, lab提示->Height() - lab提示->lineHeight());
    for (Control *entry : std::initializer_list<Control *>{txt内容, cbo内容, cbo选择})
        entry->setTop(kEntryTop + extra);
    cmd确定->setTop(kButtonTop + extra);
    cmd取消->setTop(kButtonTop + extra);
    imgBackGround->setHeight(kBackgroundHeight + extra);
    setHeight(kClientHeight + kFrameHeight + extra);
    centreOnScreen(kRaiseAboveCentre);
}

void frmInputAny::fillList(ComboBox &list, const std::shared_ptr<Collection> &entries)
{
    list.Clear();
    if (!entries)
        return;
    const Int16 count = Int16::checked(entries->Count());
    for (int i = 1; i <= count.value(); ++i)
        list.AddItem(entries->Item(i).toString());
}

void frmInputAny::showOnly(Control &entry)
{
    for (Control *candidate : std::initializer_list<Control *>{txt内容, cbo内容, cbo选择})
        candidate->setVisible(candidate == &entry);
    lab提示->setBuddy(entry);
    // The entry opens with the focus, so the person can type at once; by tab index alone the
    // focus would start on the confirm button whenever a list is shown.
    entry.SetFocus();
}

void frmInputAny::cmd确定_Click()
{
    if (InputMode == u"Input")
        emit InputSuccess(txt内容->Text());
    else if (InputMode == u"Select")
        emit InputSuccess(cbo内容->Text());
    else if (InputMode == u"OnlySelect")
        emit InputSuccess(cbo选择->Text());
    Unload();
}

void frmInputAny::cmd取消_Click()
{
    Unload();
}

} // namespace velmarith
