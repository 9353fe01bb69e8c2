#pragma once

#include "TempDatabase.h"

#include <QString>
#include <QStringList>

namespace velmarith::test {

/// A test database with the four metadata tables, and short ways to describe a table's window.
class MaintenanceDb : public TempDatabase
{
public:
    explicit MaintenanceDb(Backend backend = Backend::Sqlite, Route route = testRoute());

    /// A 系统窗体表 row for frmManage.
    void window(const QString &table, const QString &width, const QString &listHeight, const QString &style = QStringLiteral("0")) const;
    /// A 系统显示项目表 row: the column of `field`, shown in `order`.
    void displayColumn(const QString &table, int order, const QString &field, const QString &header,
                const QString &alignment = QStringLiteral("Left"), const QString &width = QStringLiteral("1000")) const;
    /// A 系统约束关联表 row.
    void relation(const QString &table, const QString &field, int type, const QString &relatedTable = {},
                  const QString &relatedField = {}, const QString &description = {}) const;
    /// A 系统数据字典表 row.
    void entry(const QString &table, const QString &field, const QString &content, const QString &description = {}) const;
    /// 部门表(部门编号, 部门名称), the code table of a bound department: D01 销售部, D02 财务部.
    void departments() const;

private:
    static QString literal(const QString &value);
};

} // namespace velmarith::test
