#include "maintenance/FieldRelations.h"

#include "data/Connection.h"

#include <velmarith/DataBridge.h>
#include <velmarith/ResultRows.h>
#include <velmarith/SqlText.h>

namespace velmarith {
namespace {

QString relationStatement(const QString &select, int type, const QString &table, const QString &field)
{
    return select + QStringLiteral("from 系统约束关联表 where 关联类型='%1' and 表名=").arg(type) + sqlString(table) +
           QStringLiteral(" and 项目=") + sqlString(field);
}

QStringList comboEntries(const ResultRows &rows)
{
    QStringList entries;
    for (int r = 0; r < rows.Count(); ++r) {
        const QString key = rows.text(r, 0);
        const QString description = rows.columnCount() > 1 ? rows.text(r, 1) : QString();
        entries.append(description.isEmpty() ? key : key + QStringLiteral("(") + description + QStringLiteral(")"));
    }
    return entries;
}

} // namespace

FieldRelations readFieldRelations(const QString &table, const QString &field)
{
    FieldRelations relations;
    DataBridge bridge;
    bridge.Open();
    bridge.setSilentErrors(true);
    const detail::SharedReads oneLock(bridge);
    if (bridge.Execute(QStringLiteral("select 0 from 系统约束关联表")) != 0)
        return relations;

    const QString typeOnly = QStringLiteral("select 关联类型 ");
    const QString tableFirst = QStringLiteral("select 关联表名,关联项目,关联说明 ");
    const QString fieldFirst = QStringLiteral("select 关联项目,关联说明,关联表名 ");
    const std::array<const char16_t *, 9> words{u"", nullptr, u"自增", u"枚举", u"绑定", u"等同到[", u"译形到[", u"唯一", u"非空"};
    for (int type = 0; type <= 8; ++type) {
        if (type == 0 || type == 2 || type == 7 || type == 8) {
            QString value;
            bridge.QueryValue(relationStatement(typeOnly, type, table, field), value);
            if (!value.isEmpty())
                relations.add(type, QString::fromUtf16(words[size_t(type)]));
            continue;
        }
        ResultRows rows;
        bridge.Query(relationStatement(type == 3 ? fieldFirst : tableFirst, type, table, field), &rows);
        if (rows.Count() == 0)
            continue;
        const ResultRow row = rows.Item(1);
        const QString related = row.Item(QStringLiteral("关联项目"));
        switch (type) {
        case 1:
            relations.presetText = related;
            relations.add(type, related);
            break;
        case 3: {
            ResultRows list;
            bridge.Query(QStringLiteral("select 内容,说明 from 系统数据字典表 where 表名=") + sqlString(table) +
                             QStringLiteral(" and 项目=") + sqlString(field),
                         &list);
            relations.entries = comboEntries(list);
            relations.add(type, QString::fromUtf16(words[size_t(type)]));
            break;
        }
        case 4: {
            ResultRows list;
            bridge.Query(QStringLiteral("select ") + sqlName(related) + QStringLiteral(",") +
                             sqlName(row.Item(QStringLiteral("关联说明"))) + QStringLiteral(" from ") +
                             sqlName(row.Item(QStringLiteral("关联表名"))),
                         &list);
            relations.entries = comboEntries(list);
            relations.add(type, QString::fromUtf16(words[size_t(type)]));
            break;
        }
        default: // 5 and 6 name the partner field
            relations.add(type, QString::fromUtf16(words[size_t(type)]) + related + QStringLiteral("]"));
            break;
        }
    }
    bridge.Close();
    return relations;
}

} // namespace velmarith
