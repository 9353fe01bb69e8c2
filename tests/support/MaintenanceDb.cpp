#include "MaintenanceDb.h"

#include <velmarith/Metadata.h>
#include <velmarith/SqlText.h>


namespace velmarith::test {

MaintenanceDb::MaintenanceDb(Backend backend, Route route) : TempDatabase(backend, route)
{
    if (path().isEmpty())
        return; // no server: the test skips
    exec(Metadata::createStatements());
}

QString MaintenanceDb::literal(const QString &value)
{
    return sqlString(value);
}

void MaintenanceDb::window(const QString &table, const QString &width, const QString &listHeight, const QString &style) const
{
    exec({QStringLiteral("insert into 系统窗体表 values('frmManage',%1,'0',%2,%3,'0',%4)")
              .arg(literal(table), literal(style), literal(width), literal(listHeight))});
}

void MaintenanceDb::displayColumn(const QString &table, int order, const QString &field, const QString &header,
                           const QString &alignment, const QString &width) const
{
    exec({QStringLiteral("insert into 系统显示项目表 values('frmManage','lvwAny',%1,'1',%2,%3,%4,%5,%6,%7)")
              .arg(literal(table), literal(QStringLiteral("%1").arg(order, 2, 10, QLatin1Char('0'))),
                   literal(QString::number(order)), literal(header), literal(width), literal(alignment), literal(field))});
}

void MaintenanceDb::relation(const QString &table, const QString &field, int type, const QString &relatedTable,
                             const QString &relatedField, const QString &description) const
{
    exec({QStringLiteral("insert into 系统约束关联表 values(%1,%2,'%3',%4,%5,%6)")
              .arg(literal(table), literal(field))
              .arg(type)
              .arg(literal(relatedTable), literal(relatedField), literal(description))});
}

void MaintenanceDb::entry(const QString &table, const QString &field, const QString &content, const QString &description) const
{
    exec({QStringLiteral("insert into 系统数据字典表 values(%1,%2,%3,%4)")
              .arg(literal(table), literal(field), literal(content), literal(description))});
}

void MaintenanceDb::departments() const
{
    exec({QStringLiteral("create table 部门表(部门编号 varchar(10), 部门名称 varchar(20))"),
          QStringLiteral("insert into 部门表 values('D01','销售部')"), QStringLiteral("insert into 部门表 values('D02','财务部')")});
}

} // namespace velmarith::test
