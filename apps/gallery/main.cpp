// Renders every dialog in its main states to PNG files, so people can look at them.
#include "DemoDatabase.h"

#include "filedialog/frmFileInOut.h"
#include "input/frmInputAny.h"
#include "maintenance/frmManage.h"
#include "search/frmDataSearch.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>
#include <velmarith/testing.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

using velmarith::Collection;

constexpr int kTitleBarHeight = 26;

// The window's client area under a plain title bar carrying its caption.
QPixmap withTitleBar(QWidget &window)
{
    const QPixmap client = window.grab();
    QPixmap framed(client.width() + 2, client.height() + kTitleBarHeight + 1);
    framed.fill(QColor(0x5B, 0x6B, 0x80));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    QFont font = window.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(8, 0, framed.width() - 16, kTitleBarHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     window.windowTitle());
    painter.drawPixmap(1, kTitleBarHeight, client);
    return framed;
}

bool save(QWidget &window, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = withTitleBar(window).save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

std::shared_ptr<Collection> entries(std::initializer_list<const char *> texts)
{
    auto collection = std::make_shared<Collection>();
    for (const char *text : texts)
        collection->Add(QString::fromUtf8(text));
    return collection;
}

bool renderInputDialog(const QDir &folder)
{
    bool ok = true;
    struct Case {
        const char *file;
        const char *mode;
        std::shared_ptr<Collection> items;
    };
    const Case cases[] = {
        {"input-Input", "Input", entries({"张伟"})},
        {"input-Select", "Select", entries({"销售部", "财务部", "研发部"})},
        {"input-OnlySelect", "OnlySelect", entries({"男", "女"})},
    };
    for (const Case &c : cases) {
        velmarith::frmInputAny form;
        form.InputAny(QStringLiteral("请输入员工的名称："), QStringLiteral("名称"), QString::fromUtf8(c.mode), c.items);
        ok = save(*form.window(), folder, QString::fromUtf8(c.file)) && ok;
    }
    return ok;
}

bool renderMaintenanceWindow(const QDir &folder, const QString &database)
{
    velmarith::DataBridge::setDefaultDatabase(database);
    velmarith::frmManage form;
    form.ManageTable(QStringLiteral("员工"));
    bool ok = save(*form.window(), folder, QStringLiteral("manage-empty"));
    form.list().clickItem(1);
    ok = save(*form.window(), folder, QStringLiteral("manage-row")) && ok;
    return ok;
}

// The lookup window as a script sees it while shown, so its layout has run.
bool renderSearchWindow(velmarith::testing::TestDesktop &desktop, const QDir &folder, const QString &database)
{
    velmarith::DataBridge::setDefaultDatabase(database);
    bool ok = true;
    velmarith::frmDataSearch keywords;
    keywords.SearchCaption = QStringLiteral("查找员工");
    keywords.SearchMainData = QStringLiteral("select 姓名,编号,职务 from 员工");
    keywords.SearchQueryTerm = QStringLiteral("职务");
    keywords.SearchQueryKey = QStringLiteral("0");
    desktop.expectModal(QStringLiteral("frmDataSearch"), [&](velmarith::testing::FormDriver &user) {
        user.setText(QStringLiteral("txtQuery"), QStringLiteral("职员"));
        user.clickItem(QStringLiteral("lvwQuery"), 2);
        ok = save(*keywords.window(), folder, QStringLiteral("search-keyword-list")) && ok;
    });
    keywords.ShowModal();

    velmarith::frmDataSearch tree;
    tree.SearchCaption = QStringLiteral("部门与员工");
    tree.SearchWorkMode = 1;
    tree.SearchDataType = 1;
    tree.SearchMainData = QStringLiteral("select 部门编号,部门名称 from 部门表");
    tree.SearchSubData = QStringLiteral("select 部门,编号,姓名 from 员工");
    desktop.expectModal(QStringLiteral("frmDataSearch"), [&](velmarith::testing::FormDriver &user) {
        user.selectNode(QStringLiteral("tvwQuery"), QStringLiteral("F0003"));
        ok = save(*tree.window(), folder, QStringLiteral("search-tree")) && ok;
    });
    tree.ShowModal();
    return ok;
}

// The file window on a small folder of its own, loading files and choosing a directory to save in.
bool renderFileWindow(velmarith::testing::TestDesktop &desktop, const QDir &folder)
{
    QTemporaryDir files;
    for (const char *name : {"报表 2024.xlsx", "员工名单.txt", "合同.doc", "notes.txt"})
        QFile(QDir(files.path()).filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
    for (const char *name : {"归档", "照片"})
        QDir(files.path()).mkdir(QString::fromUtf8(name));
    bool ok = true;
    struct Case {
        const char *file;
        const char *pattern;
        const char *place;
    };
    for (const Case &c : {Case{"file-load-files", "Load", "File"}, Case{"file-save-path", "Save", "Path"}}) {
        velmarith::frmFileInOut window;
        window.FilePattern = QString::fromUtf8(c.pattern);
        window.FilePlace = QString::fromUtf8(c.place);
        window.FilePath = files.path();
        desktop.expectModal(QStringLiteral("frmFileInOut"), [&](velmarith::testing::FormDriver &user) {
            if (window.FilePlace == u"File")
                user.clickFiles(QStringLiteral("fle文件"), {2, 4});
            ok = save(*window.window(), folder, QString::fromUtf8(c.file)) && ok;
        });
        window.ShowModal();
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery"));
    QDir().mkpath(folder.path());
    // A desktop with a large screen and no person: nothing here may wait for an answer.
    velmarith::testing::TestDesktop desktop;
    desktop.setScreenSize(28800, 16200);
    desktop.setFailureHandler([](const QString &problem) { std::printf("unexpected: %s\n", qPrintable(problem)); });
    QTemporaryDir dataFolder;
    const QString database = dataFolder.filePath(QStringLiteral("demo.sqlite"));
    velmarith::app::ensureDemoDatabase(database);
    const bool input = renderInputDialog(folder);
    const bool maintenance = renderMaintenanceWindow(folder, database);
    const bool search = renderSearchWindow(desktop, folder, database);
    const bool file = renderFileWindow(desktop, folder);
    return input && maintenance && search && file ? 0 : 1;
}
