#include <velmarith/testing.h>

#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Desktop.h"
#include "toolkit/FileSystemLists.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/ListView.h"
#include "toolkit/TextBox.h"
#include "toolkit/TreeView.h"

#include <velmarith/Error.h>

#include <QBuffer>
#include <QPdfWriter>

#include <deque>

namespace velmarith::testing {

using toolkit::Control;
using toolkit::Form;

namespace {

[[noreturn]] void cannot(const QString &control, const char *what)
{
    throw Error(ErrorNumber::UnsupportedMember, QStringLiteral("控件 %1 不能%2").arg(control, QString::fromUtf8(what)));
}

Control &find(Form &form, const QString &name)
{
    Control *control = form.control(name);
    if (!control)
        toolkit::throwNoSuchControl(name);
    return *control;
}

template<class Kind>
Kind *as(Form &form, const QString &name)
{
    return qobject_cast<Kind *>(&find(form, name));
}

QString answerName(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QStringLiteral("OK");
    case MessageAnswer::Yes:
        return QStringLiteral("Yes");
    case MessageAnswer::No:
        return QStringLiteral("No");
    }
    return {};
}

} // namespace

FormDriver::FormDriver(Form &form) : mForm(form) {}

QString FormDriver::formClass() const
{
    return mForm.className();
}

QString FormDriver::caption() const
{
    return mForm.Caption();
}

QStringList FormDriver::controlNames() const
{
    QStringList names;
    for (const Control *control : mForm.Controls())
        names.append(control->Name());
    return names;
}

bool FormDriver::exists(const QString &control) const
{
    return mForm.control(control) != nullptr;
}

bool FormDriver::isVisible(const QString &control) const
{
    return find(mForm, control).isShown();
}

bool FormDriver::isEnabled(const QString &control) const
{
    return find(mForm, control).Enabled();
}

QString FormDriver::text(const QString &control) const
{
    if (auto *button = as<toolkit::CommandButton>(mForm, control))
        return button->Caption();
    if (auto *box = as<toolkit::CheckBox>(mForm, control))
        return box->Caption();
    return find(mForm, control).Text();
}

QString FormDriver::toolTip(const QString &control) const
{
    return find(mForm, control).ToolTipText();
}

QStringList FormDriver::items(const QString &control) const
{
    QStringList entries;
    if (auto *combo = as<toolkit::ComboBox>(mForm, control)) {
        for (int i = 0; i < combo->ListCount(); ++i)
            entries.append(combo->List(i));
    } else if (auto *list = as<toolkit::ListView>(mForm, control)) {
        for (int i = 1; i <= list->itemCount(); ++i)
            entries.append(list->item(i).Text());
    } else if (auto *files = as<toolkit::FileList>(mForm, control)) {
        for (int i = 0; i < files->ListCount(); ++i)
            entries.append(files->List(i));
    } else if (auto *dirs = as<toolkit::DirList>(mForm, control)) {
        entries = dirs->entries();
    } else {
        cannot(control, "列出条目");
    }
    return entries;
}

int FormDriver::value(const QString &control) const
{
    if (auto *box = as<toolkit::CheckBox>(mForm, control))
        return box->Value();
    cannot(control, "给出勾选值");
}

QString FormDriver::activeControl() const
{
    const Control *active = mForm.ActiveControl();
    return active ? active->Name() : QString();
}

QWidget *FormDriver::widget(const QString &control) const
{
    return find(mForm, control).widget();
}

Control &FormDriver::control(const QString &control) const
{
    return find(mForm, control);
}

void FormDriver::setText(const QString &control, const QString &text)
{
    Control &target = find(mForm, control);
    if (auto *combo = qobject_cast<toolkit::ComboBox *>(&target); combo && combo->style() != toolkit::ComboBox::Style::DropDownCombo)
        cannot(control, "输入文字");
    if (!qobject_cast<toolkit::TextBox *>(&target) && !qobject_cast<toolkit::ComboBox *>(&target))
        cannot(control, "输入文字");
    target.SetFocus();
    target.setText(text);
}

void FormDriver::pick(const QString &control, const QString &entry)
{
    auto *combo = as<toolkit::ComboBox>(mForm, control);
    if (!combo)
        cannot(control, "选择条目");
    for (int i = 0; i < combo->ListCount(); ++i) {
        if (combo->List(i) == entry) {
            combo->SetFocus();
            combo->setListIndex(i);
            emit combo->Click();
            return;
        }
    }
    throw Error(ErrorNumber::NoSuchEntry, QStringLiteral("组合框 %1 中没有“%2”").arg(control, entry));
}

void FormDriver::setValue(const QString &control, int value)
{
    auto *box = as<toolkit::CheckBox>(mForm, control);
    if (!box)
        cannot(control, "勾选");
    box->SetFocus();
    box->setValue(int16_t(value));
}

void FormDriver::click(const QString &control)
{
    if (auto *button = as<toolkit::CommandButton>(mForm, control)) {
        if (!button->Enabled() || !button->isShown())
            throw Error(ErrorNumber::InvalidArgument, QStringLiteral("按钮 %1 现在不能点击").arg(control));
        button->click();
    } else if (auto *box = as<toolkit::CheckBox>(mForm, control)) {
        box->setValue(box->Value() == 1 ? 0 : 1);
    } else {
        cannot(control, "点击");
    }
}

void FormDriver::clickItem(const QString &listView, int position)
{
    auto *list = as<toolkit::ListView>(mForm, listView);
    if (!list)
        cannot(listView, "点击条目");
    list->clickItem(position);
}

void FormDriver::doubleClickItem(const QString &listView, int position)
{
    if (auto *files = as<toolkit::FileList>(mForm, listView)) {
        files->doubleClickEntry(position - 1);
        return;
    }
    auto *list = as<toolkit::ListView>(mForm, listView);
    if (!list)
        cannot(listView, "双击条目");
    list->doubleClickItem(position);
}

void FormDriver::clickColumn(const QString &listView, int position)
{
    auto *list = as<toolkit::ListView>(mForm, listView);
    if (!list)
        cannot(listView, "点击列标题");
    list->clickColumn(position);
}

void FormDriver::doubleClickNode(const QString &treeView, const QString &key)
{
    auto *tree = as<toolkit::TreeView>(mForm, treeView);
    if (!tree)
        cannot(treeView, "双击节点");
    tree->doubleClickNode(key);
}

void FormDriver::selectNode(const QString &treeView, const QString &key)
{
    auto *tree = as<toolkit::TreeView>(mForm, treeView);
    if (!tree)
        cannot(treeView, "选择节点");
    tree->select(key);
}

void FormDriver::clickFiles(const QString &fileList, const std::vector<int> &positions)
{
    auto *files = as<toolkit::FileList>(mForm, fileList);
    if (!files)
        cannot(fileList, "选择文件");
    QList<int> indexes;
    for (int position : positions)
        indexes.append(position - 1);
    files->clickEntries(indexes);
}

void FormDriver::focus(const QString &control)
{
    find(mForm, control).SetFocus();
}

void FormDriver::pressKey(int16_t keyCode, int16_t shift)
{
    mForm.pressKey(keyCode, shift);
}

void FormDriver::close()
{
    mForm.closeBox();
}

// Nested in an exported class, but no part of the API.
struct VELMARITH_NO_EXPORT TestDesktop::Impl final : toolkit::Desktop {
    struct Expectation {
        QString formClassOrCaption;
        Script script;
    };

    void runModal(Form &form, Form *) override
    {
        modals.push_back({form.className(), form.Caption()});
        if (expectations.empty() || (expectations.front().formClassOrCaption != form.className() &&
                                     expectations.front().formClassOrCaption != form.Caption())) {
            const QString expected = expectations.empty() ? QStringLiteral("none") : expectations.front().formClassOrCaption;
            form.Unload();
            fail(QStringLiteral("unexpected modal window %1 (caption \"%2\"); expected: %3")
                     .arg(form.className(), form.Caption(), expected));
            return;
        }
        const Expectation expectation = std::move(expectations.front());
        expectations.pop_front();
        if (expectation.script) {
            FormDriver driver(form);
            try {
                expectation.script(driver);
            } catch (const Error &error) {
                fail(QStringLiteral("the script for %1 raised error %2: %3")
                         .arg(form.className())
                         .arg(error.number())
                         .arg(error.message()));
            }
        }
        if (form.isShowing())
            form.closeBox();
    }

    MessageAnswer message(const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons) override
    {
        const MessageAnswer fallback = buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
        MessageAnswer given = fallback;
        if (answers.empty()) {
            messages.push_back({text, title, icon, buttons, fallback});
            fail(QStringLiteral("unanswered message box \"%1\": %2").arg(title, text));
            return fallback;
        }
        given = answers.front();
        answers.pop_front();
        const bool fits = (buttons == MessageButtons::Ok) == (given == MessageAnswer::Ok);
        messages.push_back({text, title, icon, buttons, fits ? given : fallback});
        if (!fits) {
            fail(QStringLiteral("the answer %1 does not fit the message box \"%2\"").arg(answerName(given), text));
            return fallback;
        }
        return given;
    }

    void beep() override { ++beepCount; }
    [[nodiscard]] QSize screenSize() const override { return screen; }

    // Painted where nobody sees it, so a fault in the pages still shows in a test.
    void previewPrint(const QString &title, const QPageLayout &layout, const std::function<void(QPagedPaintDevice &)> &paint) override
    {
        modals.push_back({QStringLiteral("QPrintPreviewDialog"), Desktop::previewCaption(title)});
        QBuffer pages;
        pages.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pages);
        writer.setPageLayout(layout);
        paint(writer);
    }

    void fail(const QString &problem)
    {
        if (failureHandler)
            failureHandler(problem);
        else
            throw Error(ErrorNumber::InvalidArgument, QStringLiteral("TestDesktop: ") + problem);
    }

    std::deque<Expectation> expectations;
    std::deque<MessageAnswer> answers;
    std::vector<MessageRecord> messages;
    std::vector<ModalRecord> modals;
    int beepCount = 0;
    QSize screen{15360, 11520};
    std::function<void(const QString &)> failureHandler;
    toolkit::Desktop *previous = nullptr;
};

TestDesktop::TestDesktop() : d(std::make_unique<Impl>())
{
    d->previous = toolkit::Desktop::install(d.get());
}

TestDesktop::~TestDesktop()
{
    toolkit::Desktop::install(d->previous);
}

void TestDesktop::setScreenSize(int widthTwips, int heightTwips)
{
    d->screen = QSize(widthTwips, heightTwips);
}

void TestDesktop::expectModal(const QString &formClassOrCaption, Script script)
{
    d->expectations.push_back({formClassOrCaption, std::move(script)});
}

void TestDesktop::answer(MessageAnswer answer)
{
    d->answers.push_back(answer);
}

void TestDesktop::setFailureHandler(std::function<void(const QString &)> handler)
{
    d->failureHandler = std::move(handler);
}

void TestDesktop::verify()
{
    for (const Impl::Expectation &expectation : d->expectations)
        d->fail(QStringLiteral("expected modal window %1 was never shown").arg(expectation.formClassOrCaption));
    for (const MessageAnswer answer : d->answers)
        d->fail(QStringLiteral("answer %1 was never asked for").arg(answerName(answer)));
    d->expectations.clear();
    d->answers.clear();
}

const std::vector<MessageRecord> &TestDesktop::messages() const
{
    return d->messages;
}

const std::vector<ModalRecord> &TestDesktop::modals() const
{
    return d->modals;
}

int TestDesktop::beeps() const
{
    return d->beepCount;
}

} // namespace velmarith::testing
