// The file window driven by real key and mouse clicks on the production desktop: Enter walks
// the controls by tab index, a click and a Ctrl+click pick two files, Escape closes.
#include <velmarith/WinFile.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

QString focusedControl()
{
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (!widget->objectName().isEmpty())
            return widget->objectName();
    }
    return u"(nothing)"_s;
}

void clickFile(QListView *files, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QRect place = files->visualRect(files->model()->index(row, 0));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, modifiers, place.center());
}

} // namespace

TEST(FileWindowRealEvents, enterWalksByTabIndexClicksPickFilesAndEscapeCloses)
{
    QTemporaryDir folder;
    for (const QString &name : {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    WinFile window;
    window.setFilePattern(u"Save"_s);
    window.setFilePlace(u"File"_s);
    window.setFilePath(folder.path());
    int events = 0;
    QString names;
    QObject::connect(&window, &WinFile::FileSuccess, [&](auto, auto, auto, auto, const QString &fileName) {
        ++events;
        names = fileName;
    });

    QStringList walked;
    QString nameBox;
    QTimer::singleShot(0, &window, [&] {
        QWidget *shown = QApplication::activeModalWidget();
        if (!shown || !QTest::qWaitForWindowExposed(shown)) {
            ADD_FAILURE() << "the file window was not shown";
            return;
        }
        shown->activateWindow();
        walked.append(focusedControl());
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            walked.append(focusedControl());
        }
        auto *files = shown->findChild<QListView *>(u"fle文件"_s);
        clickFile(files, 0);
        clickFile(files, 2, Qt::ControlModifier);
        nameBox = shown->findChild<QWidget *>(u"txt文件"_s)->property("text").toString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    QTimer::singleShot(10000, &window, [] {
        ADD_FAILURE() << "the file window did not close";
        if (QWidget *shown = QApplication::activeModalWidget())
            shown->close();
    });
    window.FileAny();

    EXPECT_EQ(walked, (QStringList{u"fle文件"_s, u"txt文件"_s, u"cmd取消"_s, u"cmd确定"_s, u"cmd创建"_s, u"cmdPage"_s,
                                   u"drv磁盘"_s, u"dir目录"_s, u"fle文件"_s}));
    EXPECT_EQ(nameBox, u"a.txt,c.txt");
    EXPECT_EQ(events, 1) << "FileSuccess follows the Escape";
    EXPECT_EQ(names, u"a.txt,c.txt");
    EXPECT_FALSE(window.fileAccepted());
}
