#include "DemoDatabase.h"

#include "SqlScript.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>
#include <velmarith/Metadata.h>
#include <velmarith/SqlText.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace velmarith::app {
namespace {

const QString kEmployees = QStringLiteral("员工");

QString insertRow(const QString &table, const QStringList &values)
{
    QStringList literals;
    for (const QString &value : values)
        literals.append(sqlString(value));
    return QStringLiteral("insert into %1 values(%2)").arg(table, literals.join(u','));
}

QStringList sampleTables()
{
    QStringList statements{
        QStringLiteral("create table 部门表(部门编号 varchar(10) primary key, 部门名称 varchar(20))"),
        QStringLiteral("create table 员工(编号 varchar(4), 姓名 varchar(20), 简称 varchar(20), "
                       "部门 varchar(10), 性别 varchar(10), 职务 varchar(20), 在职 char(1), "
                       "国籍 varchar(20), 内部码 varchar(10), 入职日期 date, 工资 numeric(10,2), 备注 text)"),
    };
    const QList<QStringList> departments{
        {"D01", "销售部"}, {"D02", "财务部"}, {"D03", "研发部"}, {"D04", "行政部"}};
    for (const QStringList &row : departments)
        statements.append(insertRow(QStringLiteral("部门表"), row));
    const QList<QStringList> employees{
        {"0001", "张伟", "张伟", "D01", "1", "经理", "1", "中国", "A17", "2019-03-01", "18500", "华东区负责人"},
        {"0002", "王芳", "芳", "D02", "2", "主管", "1", "中国", "A21", "2020-07-15", "12800", ""},
        {"0003", "李娜", "李娜", "D03", "2", "职员", "1", "中国", "B02", "2021-11-08", "11200", "前端开发"},
        {"0004", "刘洋", "刘洋", "D03", "1", "职员", "0", "中国", "B05", "2018-05-20", "9800", "已离职"},
        {"0005", "陈静", "陈静", "D04", "2", "职员", "1", "中国", "C11", "2022-02-14", "7600", ""},
        {"0006", "O'Brien", "Pat", "D01", "1", "职员", "1", "爱尔兰", "C12", "2023-09-01", "10400", "海外销售"},
    };
    for (const QStringList &row : employees)
        statements.append(insertRow(kEmployees, row));
    return statements;
}

QStringList sampleMetadata()
{
    QStringList statements{insertRow(QStringLiteral("系统窗体表"),
                                     {"frmManage", kEmployees, "0", "0", "12000", "0", "3000"})};
    // field, header, width, alignment
    const QList<QStringList> columns{
        {"编号", "编号", "700", "Left"},       {"姓名", "姓名", "900", "Left"},
        {"简称", "简称", "700", "Left"},       {"部门", "部门", "1300", "Left"},
        {"性别", "性别", "600", "Center"},     {"职务", "职务", "700", "Left"},
        {"在职", "在职", "600", "Center"},     {"国籍", "国籍", "800", "Left"},
        {"内部码", "内部码", "800", "Left"},   {"入职日期", "入职日期", "1300", "Left"},
        {"工资", "工资", "1000", "Right"},     {"备注", "备注", "1600", "Left"},
    };
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QStringList &c = columns[i];
        const QString order = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        statements.append(insertRow(QStringLiteral("系统显示项目表"),
                                    {"frmManage", "lvwAny", kEmployees, "1", order, QString::number(i + 1), c[1],
                                     c[2], c[3], c[0]}));
    }
    // table, field, relation type, related table, related field, related description
    const QList<QStringList> constraints{
        {kEmployees, "编号", "2", "", "", ""},           {kEmployees, "编号", "7", "", "", ""},
        {kEmployees, "姓名", "5", "", "简称", ""},       {kEmployees, "姓名", "8", "", "", ""},
        {kEmployees, "部门", "4", "部门表", "部门编号", "部门名称"},
        {kEmployees, "性别", "3", "", "", ""},           {kEmployees, "职务", "3", "", "", ""},
        {kEmployees, "国籍", "1", "", "中国", ""},       {kEmployees, "内部码", "0", "", "", ""},
        {"部门表", "部门编号", "7", "", "", ""},         {"部门表", "部门名称", "8", "", "", ""},
    };
    for (const QStringList &row : constraints)
        statements.append(insertRow(QStringLiteral("系统约束关联表"), row));
    const QList<QStringList> dictionary{
        {kEmployees, "性别", "1", "男"}, {kEmployees, "性别", "2", "女"}, {kEmployees, "职务", "经理", ""},
        {kEmployees, "职务", "主管", ""}, {kEmployees, "职务", "职员", ""}};
    for (const QStringList &row : dictionary)
        statements.append(insertRow(QStringLiteral("系统数据字典表"), row));
    return statements;
}

} // namespace

QString demoDatabasePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/velmarith/demo.sqlite");
}

// On a server the demo is made in one transaction, which the server undoes whole when a run is
// interrupted; a database that has the employee table already is left as it is.
bool ensureDemoOnServer(const QString &uri)
{
    DataBridge bridge;
    bridge.Open(uri);
    bridge.setSilentErrors(true);
    Collection columns;
    bridge.Query(QStringLiteral("select * from 员工 where 1=0"), nullptr, &columns);
    if (columns.Count() > 0)
        return false;
    bridge.setSilentErrors(false);
    runInTransaction(bridge, Metadata::createStatements() + sampleTables() + sampleMetadata());
    return true;
}

bool ensureDemoDatabase(const QString &path)
{
    if (DataBridge::isServerDatabase(path))
        return ensureDemoOnServer(path);
    // A URI of no backend or a server's written wrong (a typo in the scheme, a slash too few):
    // Open says so, before a folder is made after it.
    static const QRegularExpression uriLike(QStringLiteral("^([a-z][a-z0-9+.-]*://|(postgresql|postgres|mariadb|mysql|odbc):)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (uriLike.match(path).hasMatch() && !path.startsWith(QLatin1String("file:"))) {
        DataBridge refused;
        refused.Open(path);
    }
    if (QFileInfo::exists(path))
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw Error(ErrorNumber::Database, QStringLiteral("无法创建目录 %1").arg(QFileInfo(path).absolutePath()));
    // Built under a temporary name and renamed at the end, so an interrupted run leaves no
    // half-filled demo database behind.
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    {
        DataBridge bridge;
        bridge.Open(partial, QStringLiteral("Create"));
        runInTransaction(bridge, Metadata::createStatements() + sampleTables() + sampleMetadata());
    }
    if (!QFile::rename(partial, path))
        throw Error(ErrorNumber::Database, QStringLiteral("无法保存 %1").arg(path));
    return true;
}

void printDatabase(const QString &path, QTextStream &out)
{
    DataBridge bridge;
    bridge.Open(path);
    // The tables of the schema the connection works in, asked as each database names it (an
    // ODBC source may be any of them): the first question answered tells.
    ResultRows tables;
    bridge.setSilentErrors(true);
    for (const QString &question : {QStringLiteral("select name from sqlite_schema where type='table' order by name"),
                                    QStringLiteral("select table_name from information_schema.tables "
                                                   "where table_schema = current_schema() order by table_name"),
                                    QStringLiteral("select table_name from information_schema.tables "
                                                   "where table_schema = database() order by table_name")}) {
        Collection columns;
        bridge.Query(question, &tables, &columns);
        if (columns.Count() > 0)
            break;
    }
    bridge.setSilentErrors(false);
    for (int t = 1; t <= tables.Count(); ++t) {
        const QString table = tables.Item(t).Item(1);
        ResultRows rows;
        Collection names;
        bridge.Query(QStringLiteral("select * from \"%1\"").arg(table), &rows, &names);
        out << "\n" << table << " (" << rows.Count() << " 行)\n";
        QStringList header;
        for (int c = 1; c <= names.Count(); ++c)
            header.append(names.Item(c).toString());
        out << "  " << header.join(QStringLiteral(" | ")) << "\n";
        for (int r = 1; r <= rows.Count(); ++r) {
            QStringList values;
            for (int c = 1; c <= rows.Item(r).Count(); ++c)
                values.append(rows.Item(r).Item(c));
            out << "  " << values.join(QStringLiteral(" | ")) << "\n";
        }
    }
}

} // namespace velmarith::app
