#pragma once

#include "data/TableSchema.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmarith::detail {

/// What the library learns of a column beyond the catalog, by its own questions.
struct ColumnFacts {
    QString typeCode;        ///< the column's type code as Query reports it
    QString size;            ///< its size as Query reports it
    QString description{};   ///< for a foreign key: the referenced table's column shown beside its key
    bool digitCodes = false; ///< every stored value is a code of digits, all of one length
};

/// The rows of the four metadata tables that describe one table, each as its column values.
struct MetadataRows {
    QStringList window;                      ///< 系统窗体表
    std::vector<QStringList> display;        ///< 系统显示项目表
    std::vector<QStringList> relations;      ///< 系统约束关联表
    std::vector<QStringList> dictionary;     ///< 系统数据字典表
};

/// The rows a table's schema implies, each field keeping the editor the schema gives it (the
/// highest relation type decides the editor, so only combinations that keep it are written).
/// `facts` follow the schema's columns.
[[nodiscard]] MetadataRows metadataRowsOf(const QString &table, const TableSchema &schema, const std::vector<ColumnFacts> &facts);

} // namespace velmarith::detail
