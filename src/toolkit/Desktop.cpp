#include "toolkit/Desktop.h"

#include "toolkit/Form.h"
#include "toolkit/SpokenText.h"
#include "toolkit/Twips.h"

#include "common/Feedback.h"

#include <velmarith/Error.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>

namespace velmarith::toolkit {
namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Qt's print preview leaves its zoom and page fields and its page view without a name a screen
// reader could say; they get theirs, in the dialog's language.
void nameThePreviewsParts(QPrintPreviewDialog &preview)
{
    for (QComboBox *zoom : preview.findChildren<QComboBox *>()) {
        zoom->setAccessibleName(QStringLiteral("缩放比例"));
        zoom->view()->setAccessibleName(QStringLiteral("缩放比例"));
    }
    for (QLineEdit *field : preview.findChildren<QLineEdit *>()) {
        if (field->accessibleName().isEmpty())
            field->setAccessibleName(qobject_cast<QComboBox *>(field->parentWidget()) ? QStringLiteral("缩放比例")
                                                                                      : QStringLiteral("页码"));
    }
    for (QPrintPreviewWidget *pages : preview.findChildren<QPrintPreviewWidget *>()) {
        pages->setAccessibleName(QStringLiteral("页面预览"));
        for (QWidget *part : pages->findChildren<QWidget *>())
            part->setAccessibleName(QStringLiteral("页面预览"));
    }
}

/// The desktop of a person: Qt's modal loop and message boxes with Chinese buttons.
class QtDesktop final : public Desktop
{
public:
    void runModal(Form &form, Form *owner) override
    {
        QPointer<QDialog> window = form.window();
        if (owner && owner->window()->windowHandle()) {
            window->winId(); // makes the native window, so it can stand over its owner
            window->windowHandle()->setTransientParent(owner->window()->windowHandle());
        }
        window->setWindowModality(Qt::ApplicationModal);
        window->exec();
    }

    MessageAnswer message(const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons) override
    {
        QMessageBox box(qtIcon(icon), title, text);
        const auto addButton = [&box](const QString &caption, QMessageBox::ButtonRole role) {
            QPushButton *button = box.addButton(caption, role);
            button->setAccessibleName(spokenText(caption));
            return button;
        };
        if (buttons == MessageButtons::YesNo) {
            QPushButton *yes = addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
            addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
            box.setDefaultButton(yes);
            box.exec();
            return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
        }
        box.setDefaultButton(addButton(QStringLiteral("确定"), QMessageBox::AcceptRole));
        box.exec();
        return MessageAnswer::Ok;
    }

    void beep() override { QApplication::beep(); }

    [[nodiscard]] bool readsWhileShown() const override { return true; }
    [[nodiscard]] QString layoutFile() const override
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/velmarith/layouts.json");
    }

    void previewPrint(const QString &title, const QPageLayout &layout, const std::function<void(QPagedPaintDevice &)> &paint) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(title);
        printer.setPageLayout(layout);
        QPrintPreviewDialog preview(&printer, QApplication::activeWindow());
        preview.setWindowTitle(previewCaption(title));
        if (const QScreen *screen = preview.screen())
            preview.resize(screen->availableSize() * 4 / 5);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter *pages) { paint(*pages); });
        nameThePreviewsParts(preview);
        preview.exec();
    }

    [[nodiscard]] QSize screenSize() const override
    {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QSize pixels = screen ? screen->size() : QSize(1024, 768);
        return {toTwips(pixels.width()), toTwips(pixels.height())};
    }
};

// The beep and the information messages of the non-visual layers go through the desktop.
class DesktopFeedback final : public Feedback
{
public:
    void beep() override { Desktop::current().beep(); }
    void inform(const QString &text, const QString &title) override
    {
        Desktop::current().message(text, title, MessageIcon::Information, MessageButtons::Ok);
    }
    void waiting(bool begins) override
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return;
        if (begins) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            // The cursor changes only once the windows hear of it; the person's input waits.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        } else {
            QApplication::restoreOverrideCursor();
        }
    }
};

QtDesktop gQtDesktop;
DesktopFeedback gDesktopFeedback;
Desktop *gInstalled = nullptr;

// Connects the beep and messages of the other layers to the desktop, unless something else
// (a test's recorder) already listens.
void connectFeedback()
{
    if (!Feedback::isInstalled())
        Feedback::install(&gDesktopFeedback);
}

} // namespace

Desktop &Desktop::current()
{
    connectFeedback();
    return gInstalled ? *gInstalled : static_cast<Desktop &>(gQtDesktop);
}

Desktop *Desktop::install(Desktop *desktop)
{
    connectFeedback();
    return std::exchange(gInstalled, desktop);
}

QString Desktop::defaultTitle()
{
    return QStringLiteral("Velmarith");
}

QString Desktop::previewCaption(const QString &title)
{
    return title + QStringLiteral(" - 打印预览");
}

QString Desktop::noticeTitle()
{
    return QStringLiteral("提示");
}

void Desktop::inform(const QString &text)
{
    message(text, noticeTitle(), MessageIcon::Information, MessageButtons::Ok);
}

void ensureApplication()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw Error(ErrorNumber::InvalidArgument,
                    QStringLiteral("宿主程序运行的是没有窗口的 Qt 应用，无法显示对话框"));
    // Qt would end the process when it finds no display; the host hears of it instead.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        throw Error(ErrorNumber::DeviceUnavailable, QStringLiteral("没有可用的显示器，不能显示对话框"));
    // A host that is not a Qt program: the library keeps its own application for the process.
    // It is never destroyed: Qt cannot be torn down by static destructors, after its own
    // statics are gone, and the end of the process frees it.
    static int argc = 1;
    static char name[] = "velmarith";
    static char *argv[] = {name, nullptr};
    [[maybe_unused]] static QApplication *const application = new QApplication(argc, argv);
}

} // namespace velmarith::toolkit
