#pragma once

#include <velmarith/Export.h>

#include <QString>
#include <QStringList>

namespace velmarith {

/// The four metadata tables the maintenance window reads its appearance from (系统窗体表,
/// 系统显示项目表, 系统约束关联表 and 系统数据字典表), in the database DataBridge opens by default:
/// a SQLite file, a PostgreSQL server or a MariaDB or MySQL server. Every function raises
/// velmarith::Error with the reason in Chinese, and then has written nothing.
class VELMARITH_EXPORT Metadata
{
public:
    Metadata() = delete;

    /// The names of the four tables, in the order above.
    [[nodiscard]] static QStringList tableNames();
    /// The statements that create the four tables where missing (every column text), for a host
    /// that makes its schema with its own tools.
    [[nodiscard]] static QStringList createStatements();
    /// Creates the four tables where missing.
    static void createTables();

    /// Writes the metadata of `table` from the database's own description of it: its window,
    /// one list column per column (the column's comment, where it has one, as the header), and
    /// the relations its keys, NOT NULL, foreign keys, value lists (CHECK (c IN (…)), ENUM) and
    /// text defaults imply, with the values of its value lists. What the four tables hold for
    /// `table` already (rows a person edited) stays as it is, unless `replace`, which writes the
    /// table's rows afresh. Returns whether anything was written. Raises Error for a table the
    /// database cannot describe or a name it refuses.
    static bool describeTable(const QString &table, bool replace = false);

    /// Writes the metadata of the four tables themselves, so that the maintenance window edits
    /// them with a proper window: 关联类型, 显示方式 and 是否显示 as enumerations whose entries
    /// carry their meanings (4(绑定)), the fields that name a row required. As describeTable
    /// for what is there already.
    static bool describeMetadataTables(bool replace = false);
};

} // namespace velmarith
